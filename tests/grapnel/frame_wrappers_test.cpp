// Result codes and results of the plugin's wrappers under Metamod, called
// straight from the tables the built library handed to the Metamod driver.
#include <gtest/gtest.h>

#include <string.h>

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

TEST_F(FrameWrappers, EnginePassThroughReportsHandledAndDoesNothing) {
  float a[3] = {0, 0, 0}, b[3] = {100, 0, 0};
  TraceResult tr;
  memset(&tr, 0x5a, sizeof(tr));
  TraceResult untouched = tr;
  int traces = server.engineCalls("pfnTraceLine");

  unset();
  plugin->eng.pfnTraceLine(a, b, 0, nullptr, &tr);
  EXPECT_EQ(mres(), MRES_HANDLED);
  EXPECT_EQ(memcmp(&tr, &untouched, sizeof(tr)), 0);
  EXPECT_EQ(server.engineCalls("pfnTraceLine"), traces);

  // Zero of each result type.
  unset();
  EXPECT_EQ(plugin->eng.pfnPrecacheModel(const_cast<char*>("models/x.mdl")), 0);
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  EXPECT_EQ(plugin->eng.pfnVecToYaw(b), 0.0f);
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  EXPECT_EQ(plugin->eng.pfnCmd_Argv(0), nullptr);
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  EXPECT_EQ(plugin->eng.pfnPEntityOfEntIndex(1), nullptr);
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  EXPECT_EQ(plugin->eng.pfnGetPlayerAuthId(server.edict(0)), nullptr);
  EXPECT_EQ(mres(), MRES_HANDLED);
}

TEST_F(FrameWrappers, GamePassThroughReportsHandled) {
  edict_t* world = server.edict(0);
  unset();
  plugin->dll.pfnUse(world, world);
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  EXPECT_EQ(plugin->dll.pfnGetGameDescription(), nullptr);
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  EXPECT_EQ(plugin->dll.pfnAllowLagCompensation(), 0);
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  plugin->dll.pfnCreateBaseline(0, 1, nullptr, world, 0, vec3_t(1, 2, 3), vec3_t(4, 5, 6));
  EXPECT_EQ(mres(), MRES_HANDLED);
  unset();
  EXPECT_EQ(plugin->dll.pfnPM_FindTextureType(const_cast<char*>("x")), 0);
  EXPECT_EQ(mres(), MRES_HANDLED);
}

TEST_F(FrameWrappers, PostCallsReportIgnoredWithAnUnusedValue) {
  edict_t* world = server.edict(0);
  unset();
  EXPECT_EQ(plugin->dllPost.pfnGetWeaponData(world, nullptr), 1);
  EXPECT_EQ(mres(), MRES_IGNORED);
  unset();
  EXPECT_EQ(plugin->dllPost.pfnAllowLagCompensation(), 1);
  EXPECT_EQ(mres(), MRES_IGNORED);
  unset();
  const char* description = plugin->dllPost.pfnGetGameDescription();
  ASSERT_NE(description, nullptr);
  EXPECT_STREQ(description, "");
  EXPECT_EQ(mres(), MRES_IGNORED);
  unset();
  EXPECT_EQ(plugin->dllPost.pfnSpawn(world), 0);
  EXPECT_EQ(mres(), MRES_IGNORED);
  unset();
  EXPECT_EQ(plugin->dllPost.pfnAddToFullPack(nullptr, 0, world, world, 0, 0, nullptr), 0);
  EXPECT_EQ(mres(), MRES_IGNORED);

  unset();
  EXPECT_EQ(plugin->engPost.pfnVecToYaw(nullptr), 0.0f);
  EXPECT_EQ(mres(), MRES_IGNORED);
  unset();
  plugin->engPost.pfnAlertMessage(at_logged, const_cast<char*>("World triggered \"Round_Start\"\n"));
  EXPECT_EQ(mres(), MRES_IGNORED);
  unset();
  plugin->engPost.pfnClientCommand(world, const_cast<char*>("%s"), "echo");
  EXPECT_EQ(mres(), MRES_IGNORED);
  unset();
  plugin->engPost.pfnEngineFprintf(nullptr, const_cast<char*>("%d"), 1);
  EXPECT_EQ(mres(), MRES_IGNORED);

  // The new-DLL tables ignore everything, in front of and behind the game.
  for (NEW_DLL_FUNCTIONS* table : {&plugin->newDll, &plugin->newDllPost}) {
    unset();
    EXPECT_EQ(table->pfnShouldCollide(world, world), 1);
    EXPECT_EQ(mres(), MRES_IGNORED);
    unset();
    table->pfnGameShutdown();
    EXPECT_EQ(mres(), MRES_IGNORED);
    unset();
    table->pfnOnFreeEntPrivateData(world);
    EXPECT_EQ(mres(), MRES_IGNORED);
  }
}

TEST_F(FrameWrappers, EngineClientCommandPassesUnderMetamod) {
  int before = server.engineCalls("pfnClientCommand");
  unset();
  plugin->eng.pfnClientCommand(server.edict(0), const_cast<char*>("%s\n"), "echo hi");
  EXPECT_EQ(mres(), MRES_HANDLED);
  EXPECT_EQ(server.engineCalls("pfnClientCommand"), before);
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
