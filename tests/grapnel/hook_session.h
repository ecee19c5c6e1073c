// A game session for the hook tests: the simulated server with the fake game
// library and the built grapnel plugin, a room to play in, and helpers to
// find the hook's entities. The plugin runs under the Metamod driver, or,
// with GRAPNEL_SESSION=standalone in the environment, as the engine's game
// library in front of the fake game: CTest runs the suite both ways.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host.h"
#include "fake_game.h"

#ifndef GRAPNEL_MM_PATH
#error "GRAPNEL_MM_PATH must name the built grapnel plugin"
#endif

namespace hooktest {

inline host::Server::Options SessionOptions(const std::string& modDir = "cstrike") {
  host::Server::Options o;
  o.modDir = modDir;
  return o;
}

inline bool StandaloneSessions() {
  const char* mode = std::getenv("GRAPNEL_SESSION");
  return mode && std::strcmp(mode, "standalone") == 0;
}

class HookSession {
 public:
  explicit HookSession(host::Server::Options opts = SessionOptions()) : sv(std::move(opts)) {
    if (StandaloneSessions()) {
      LoadStandalone();
    } else {
      EXPECT_TRUE(sv.loadGame());
      plugin = &sv.loadPlugin(GRAPNEL_MM_PATH);
      EXPECT_TRUE(plugin->loaded);
    }
    sv.startMap();
    // A large room: the floor's top at z = 0, walls at x, y = +-1024, ceiling at 512.
    sv.world().addRoom({-1024, -1024, 0}, {1024, 1024, 512});
  }

  // Player movement without friction and gravity: he moves with the velocity
  // the hook gave him, so a test reads exactly what the hook computed.
  void FreeFlight() {
    sv.playerMove = [](host::Server& s, int id, float dt) {
      entvars_t& v = s.vars(id);
      v.origin = v.origin + v.velocity * dt;
    };
  }
  // Player movement that keeps him where he is (the velocity stays as set).
  void Frozen() {
    sv.playerMove = [](host::Server&, int, float) {};
  }

  int Join(const std::string& name, host::Vec3 origin = {0, 0, 36}, host::Vec3 angles = {}) {
    int id = sv.connect(name);
    sv.place(id, origin, angles);
    entvars_t& v = sv.vars(id);
    v.maxspeed = 250;
    v.health = 100;
    v.deadflag = DEAD_NO;
    v.movetype = MOVETYPE_WALK;
    return id;
  }

  void Cvar(const std::string& name, const std::string& value) { sv.setCvar(name, value); }
  // Cached settings are re-read every 5 seconds.
  void CvarAndRefresh(const std::string& name, const std::string& value) {
    sv.setCvar(name, value);
    sv.runFor(5.1f);
  }

  void Command(int id, const std::string& line) { sv.clientCommand(id, line); }

  edict_t* Hook(int id) { return FindOwned("GP_hook", id, /*byEuser1=*/true); }
  edict_t* Beam(int id) { return FindOwned("beam", id, /*byEuser1=*/false); }
  int HookCount() { return static_cast<int>(Live("GP_hook").size()); }

  bool Attached(int id) {
    edict_t* h = Hook(id);
    return h && h->v.movetype == MOVETYPE_NOCLIP;
  }
  // Runs frames until the player's hook has attached, at most `seconds`.
  bool RunUntilAttached(int id, float seconds = 2.0f) {
    for (float t = 0; t < seconds; t += 0.01f) {
      if (Attached(id)) return true;
      sv.runFrame(0.01f);
    }
    return Attached(id);
  }

  // Entities of a class that are not free and not marked for deletion.
  std::vector<edict_t*> Live(const std::string& cls) {
    std::vector<edict_t*> out;
    for (edict_t* e : sv.findByClass(cls))
      if (!(e->v.flags & FL_KILLME)) out.push_back(e);
    return out;
  }

  // Texts of the "TextMsg" messages sent to a player, with their destination.
  std::vector<std::pair<int, std::string>> TextsTo(int id) {
    std::vector<std::pair<int, std::string>> out;
    for (const host::Message& m : sv.messagesNamed("TextMsg"))
      if (m.receiver == id) out.push_back({m.intAt(0), m.stringAt(1)});
    return out;
  }

  int SoundCount(const std::string& sample) {
    int n = 0;
    for (const host::Sound& s : sv.sounds())
      if (s.sample == sample) ++n;
    return n;
  }

  // An address inside the plugin's code: its player pre-think wrapper.
  const void* PluginCode() {
    auto preThink = plugin ? plugin->dll.pfnPlayerPreThink : sv.gameDll.pfnPlayerPreThink;
    return reinterpret_cast<const void*>(preThink);
  }

  host::Server sv;
  host::Plugin* plugin = nullptr;  // null standalone

 private:
  // The plugin installed as the engine's game library, its configuration
  // naming the fake game copied beside it.
  void LoadStandalone() {
    const std::string ending = std::filesystem::path(GRAPNEL_MM_PATH).extension().string();
    sv.copyIntoMod(host::Server::defaultGameLibrary(), "dlls/cs" + ending);
    sv.copyIntoMod(GRAPNEL_MM_PATH, "dlls/grapnel_mm" + ending);
    sv.writeFile("addons/GrapnelMod/GP_config.txt", "cs" + ending + "\n");
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(sv.loadGame(sv.modPath() + "/dlls/grapnel_mm" + ending));
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(sv.hasFakeGame());
  }

  edict_t* FindOwned(const std::string& cls, int id, bool byEuser1) {
    for (edict_t* e : Live(cls)) {
      edict_t* owner = byEuser1 ? e->v.euser1 : e->v.owner;
      if (owner && sv.indexOf(owner) == id) return e;
    }
    return nullptr;
  }
};

inline float Len(const vec3_t& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

}  // namespace hooktest
