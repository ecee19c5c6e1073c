// The plugin under Metamod in a game session: which calls reach the game
// library past the plugin's hooks, and how the hook entity is spawned.
#include <gtest/gtest.h>

#include <string>

#include "fake_game.h"
#include "host.h"

namespace {

class FrameSession : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.loadGame());
    plugin = &server.loadPlugin(GRAPNEL_MM_PATH);
    ASSERT_TRUE(plugin->loaded);
    server.startMap();
    server.world().addRoom({-512, -512, 0}, {512, 512, 256});
    ASSERT_TRUE(server.hasFakeGame());
  }

  bool gameGot(const std::string& record) {
    for (const auto& r : server.game().records())
      if (r == record) return true;
    return false;
  }

  host::Server server;
  host::Plugin* plugin = nullptr;
};

TEST_F(FrameSession, HookCommandsAreKeptFromTheGameOthersReachIt) {
  int id = server.connect("Alice");
  server.place(id, {0, 0, 36});
  server.game().clearRecords();
  const std::string who = std::to_string(id);

  server.clientCommand(id, "+hook");
  server.clientCommand(id, "-hook");
  server.clientCommand(id, "hook_login secret");
  EXPECT_EQ(server.game().calls("pfnClientCommand"), 0);

  server.clientCommand(id, "say hello");
  EXPECT_TRUE(gameGot("pfnClientCommand " + who + " say hello"));
  server.clientCommand(id, "buy");
  EXPECT_TRUE(gameGot("pfnClientCommand " + who + " buy"));
  EXPECT_TRUE(server.driverErrors().empty());
}

TEST_F(FrameSession, PassThroughsReachTheGameAndTheEngine) {
  edict_t* world = server.edict(0);
  int uses = server.game().calls("pfnUse");
  server.callGame(&DLL_FUNCTIONS::pfnUse, world, world);
  EXPECT_EQ(server.game().calls("pfnUse"), uses + 1);

  int descriptions = server.game().calls("pfnGetGameDescription");
  server.callGame(&DLL_FUNCTIONS::pfnGetGameDescription);
  EXPECT_EQ(server.game().calls("pfnGetGameDescription"), descriptions + 1);

  // A think of an entity that is not the plugin's reaches the game.
  edict_t* wall = server.spawn("func_wall", {100, 0, 0});
  ASSERT_NE(wall, nullptr);
  int thinks = server.game().calls("pfnThink");
  server.callGame(&DLL_FUNCTIONS::pfnThink, wall);
  EXPECT_EQ(server.game().calls("pfnThink"), thinks + 1);

  // The game's trace passes the plugin's engine hook and is traced by the
  // engine behind it.
  int traces = server.engineCalls("pfnTraceLine");
  TraceResult tr = server.game().traceLine({0, 0, 100}, {0, 0, -1000});
  EXPECT_EQ(server.engineCalls("pfnTraceLine"), traces + 1);
  EXPECT_LT(tr.flFraction, 1.0f);
  EXPECT_TRUE(server.driverErrors().empty());
}

// Counts the calls of the plugin's own spawn hook, in front of the real one.
int (*g_pluginSpawn)(edict_t*);
int g_pluginSpawnCalls;
int CountingSpawn(edict_t* e) {
  ++g_pluginSpawnCalls;
  return g_pluginSpawn(e);
}

TEST_F(FrameSession, HookEntityIsSpawnedPastThePluginsSpawnHook) {
  int id = server.connect("Alice");
  server.place(id, {0, 0, 36}, {0, 0, 0});
  server.runFor(0.1f);
  g_pluginSpawn = plugin->dll.pfnSpawn;
  g_pluginSpawnCalls = 0;
  plugin->dll.pfnSpawn = CountingSpawn;
  server.game().clearRecords();

  server.clientCommand(id, "+hook");
  server.runFrame();

  int gameSpawns = 0;
  for (const auto& r : server.game().records())
    if (r.rfind("pfnSpawn ", 0) == 0) ++gameSpawns;
  EXPECT_GE(gameSpawns, 1) << "the hook entity reaches the game's spawn";
  EXPECT_EQ(g_pluginSpawnCalls, 0) << "the plugin's spawn hook does not run for it again";
  plugin->dll.pfnSpawn = g_pluginSpawn;
}

}  // namespace
