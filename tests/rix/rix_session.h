// A simulated server with the built rix_mm plugin loaded through Metamod.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_game.h"
#include "host.h"
#include "os/os.h"

namespace rixtest {

inline host::Server::Options optionsFor(const std::string& modDir) {
  host::Server::Options o;
  o.modDir = modDir;
  return o;
}

// The Metamod library of a session, loaded from the file given (the editor
// asks it which entity classes exist) and let go after the session. With
// handsOver, Metamod's utility table that the plugin gets lies in it, as a
// real Metamod's does; otherwise it is the driver's, of the test program.
struct MetamodLibrary {
  explicit MetamodLibrary(const std::string& file = RIX_METAMOD_STANDIN_PATH, bool handsOver = true)
      : lib(os::loadLibrary(file.c_str())) {
    EXPECT_NE(lib, nullptr) << file << ": " << os::lastError();
    using UtilFuncs = mutil_funcs_t* (*)(const mutil_funcs_t*);
    auto own = lib ? reinterpret_cast<UtilFuncs>(os::findSymbol(lib, "MetamodStandin_UtilFuncs")) : nullptr;
    if (handsOver && own) utilFuncs = own(host::Server::metaUtilFuncs());
  }
  ~MetamodLibrary() {
    if (lib) os::freeLibrary(lib);
  }
  MetamodLibrary(const MetamodLibrary&) = delete;
  MetamodLibrary& operator=(const MetamodLibrary&) = delete;

  os::Library lib = nullptr;
  const mutil_funcs_t* utilFuncs = nullptr;  // for PluginOptions
};

struct RixSession {
  MetamodLibrary metamod;  // outlives the server and its plugins
  host::Server sv;
  host::Plugin* rix = nullptr;

  explicit RixSession(host::Server::Options o = {}, const std::string& metamodFile = RIX_METAMOD_STANDIN_PATH,
                      bool handsOver = true)
      : metamod(metamodFile, handsOver), sv(o) {
    EXPECT_TRUE(sv.loadGame());
    sv.game().clearRecords();  // the game library outlives earlier sessions
    host::PluginOptions po;
    po.now = PT_ANYTIME;
    po.utilFuncs = metamod.utilFuncs;
    rix = &sv.loadPlugin(RIX_MM_PATH, po);
    EXPECT_TRUE(rix->loaded);
  }

  // Map start as the engine runs it: the world's key values, then its spawn.
  void startMap(const std::string& map = "") {
    if (!map.empty()) sv.globals()->mapname = sv.allocString(map);
    sv.keyValue(sv.edict(0), "classname", "worldspawn");
    sv.startMap(map);
  }

  // The game's first search by a string field, which closes precaching.
  void gameSearches() {
    sv.game().api()->engine()->pfnFindEntityByString(nullptr, "classname", "info_player_start");
  }

  int connectHost(const std::string& name = "Host") { return sv.connect(name, "loopback"); }

  // A chat line as a client sends it: "say" and one quoted text.
  void say(int player, const std::string& text) { sv.clientCommand(player, "say \"" + text + "\""); }

  // Texts of the HUD text messages (TE_TEXTMESSAGE) sent to a player.
  std::vector<std::string> hudTexts(int player) const {
    std::vector<std::string> out;
    for (auto& m : sv.messagesTo(player))
      if (m.teCode() == TE_TEXTMESSAGE) out.push_back(m.stringAt(m.size() - 1));
    return out;
  }

  std::vector<std::string> gameRecords(const std::string& prefix) {
    std::vector<std::string> out;
    for (auto& r : sv.game().records())
      if (r.rfind(prefix, 0) == 0) out.push_back(r);
    return out;
  }
};

}  // namespace rixtest
