// Result codes and results of the plugin's wrappers under Metamod, called
// straight from the tables the built library handed to the Metamod driver.
#include <gtest/gtest.h>

#include "fake_game.h"
#include "host.h"

namespace {

class FrameWrappers : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.loadGame());
    plugin = &server.loadPlugin(GRAPNEL_MM_PATH);
    ASSERT_TRUE(plugin->loaded);
    server.startMap();
  }
  META_RES& mres() { return server.metaGlobals()->mres; }
  void unset() { mres() = MRES_UNSET; }

  host::Server server;
  host::Plugin* plugin = nullptr;
};

// Calls the plugin has no work in do not pass it at all: no wrapper runs,
// so Metamod's combined status stays "ignored" and the targets run as ever.
TEST_F(FrameWrappers, UntouchedCallsDoNotPassThePlugin) {
  edict_t* world = server.edict(0);
  ASSERT_TRUE(server.hasFakeGame());
  long hooks = server.pluginHookCalls;
  int traces = server.engineCalls("pfnTraceLine");
  TraceResult tr = server.game().traceLine({0, 0, 100}, {0, 0, 50});
  EXPECT_EQ(server.engineCalls("pfnTraceLine"), traces + 1);
  EXPECT_FLOAT_EQ(tr.flFraction, 1.0f);
  int uses = server.game().calls("pfnUse");
  server.callGame(&DLL_FUNCTIONS::pfnUse, world, world);
  EXPECT_EQ(server.game().calls("pfnUse"), uses + 1);
  EXPECT_STREQ(server.callGame(&DLL_FUNCTIONS::pfnGetGameDescription), "Counter-Strike");
  EXPECT_EQ(server.pluginHookCalls, hooks);

  // The game's command to a client reaches the engine as the game wrote it.
  int commands = server.engineCalls("pfnClientCommand");
  server.gameEngineTable()->pfnClientCommand(world, const_cast<char*>("echo %s\n"), "hi");
  EXPECT_EQ(server.engineCalls("pfnClientCommand"), commands + 1);
  EXPECT_EQ(server.pluginHookCalls, hooks);
  EXPECT_TRUE(server.driverErrors().empty());
}

TEST_F(FrameWrappers, AlertMessageExaminesOnlyLoggedLines) {
  int alerts = static_cast<int>(server.alerts().size());
  unset();
  plugin->eng.pfnAlertMessage(at_console, const_cast<char*>("World triggered \"%s\"\n"), "Round_Start");
  EXPECT_EQ(mres(), MRES_IGNORED);
  unset();
  plugin->eng.pfnAlertMessage(at_logged, const_cast<char*>("World triggered \"%s\"\n"), "Round_Draw");
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  plugin->eng.pfnAlertMessage(at_error, const_cast<char*>("%s"), "anything");
  EXPECT_EQ(mres(), MRES_IGNORED);
  // Under Metamod the wrapper forwards nothing itself.
  EXPECT_EQ(static_cast<int>(server.alerts().size()), alerts);
}

TEST_F(FrameWrappers, NotifyAndConnectHooks) {
  int id = server.connect("Alice");
  edict_t* player = server.edict(id);
  unset();
  plugin->dll.pfnClientDisconnect(player);
  EXPECT_EQ(mres(), MRES_HANDLED);

  char reason[128] = "";
  unset();
  EXPECT_EQ(plugin->dll.pfnClientConnect(player, "Alice", "127.0.0.1:27005", reason), 1);
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  EXPECT_EQ(plugin->dllPost.pfnClientConnect(player, "Alice", "127.0.0.1:27005", reason), 1);
  EXPECT_EQ(mres(), MRES_IGNORED);

  // Vetoes that let the call go on report HANDLED.
  unset();
  plugin->dll.pfnStartFrame();
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  plugin->dll.pfnPlayerPreThink(player);
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  plugin->dll.pfnThink(server.edict(0));
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  plugin->dll.pfnTouch(server.edict(0), player);
  EXPECT_EQ(mres(), MRES_HANDLED);
}

}  // namespace
