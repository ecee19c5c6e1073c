// The Metamod driver with the host's test plugin in front of the fake game.
#include <gtest/gtest.h>

#include <string>

#include "fake_game.h"
#include "host.h"
#include "os/os.h"
#include "test_plugin_control.h"

using namespace host;

namespace {

class MetamodTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sv.loadGame());
    plugin = &sv.loadPlugin(HOST_TEST_PLUGIN_PATH);
    ASSERT_TRUE(plugin->loaded);
    auto fn = reinterpret_cast<TestPluginControl* (*)()>(
        os::findSymbol(plugin->library, "TestPlugin_Control"));
    ASSERT_NE(fn, nullptr);
    ctl = fn();
    sv.startMap();
  }
  Server sv;
  Plugin* plugin = nullptr;
  TestPluginControl* ctl = nullptr;
};

TEST_F(MetamodTest, LifecycleRunsInMetamodsOrder) {
  EXPECT_EQ(std::string(ctl->log).rfind(
                "Meta_Init|GiveFnptrsToDll|Meta_Query|Meta_Attach|GetEntityAPI2|"
                "GetEntityAPI2_Post|GetEngineFunctions|GetEngineFunctions_Post",
                0),
            0u);
  std::vector<std::string> expected = {"Meta_Init",          "GiveFnptrsToDll",  "Meta_Query",
                                       "Meta_Attach",        "GetEntityAPI2",    "GetEntityAPI2_Post",
                                       "GetEngineFunctions", "GetEngineFunctions_Post"};
  EXPECT_EQ(plugin->lifecycle, expected);
  EXPECT_EQ(ctl->attachNowSeen, PT_STARTUP);
  ASSERT_EQ(sv.metaLogs().size(), 1u);
  EXPECT_EQ(sv.metaLogs()[0].kind, "developer");
  EXPECT_EQ(sv.metaLogs()[0].plugin, "HOSTTEST");
  EXPECT_EQ(sv.metaLogs()[0].text, "attached at 1");
  EXPECT_EQ(sv.unloadPlugin(*plugin, PNL_COMMAND), 1);
  EXPECT_EQ(plugin->lifecycle.back(), "Meta_Detach");
  EXPECT_EQ(ctl->detachReason, PNL_COMMAND);
  EXPECT_FALSE(plugin->loaded);
}

TEST_F(MetamodTest, GetterWritesBackItsVersionOnMismatch) {
  int version = 139;
  EXPECT_EQ(sv.callGetter(*plugin, "GetEntityAPI2", &version), 0);
  EXPECT_EQ(version, INTERFACE_VERSION);
  version = INTERFACE_VERSION;
  EXPECT_EQ(sv.callGetter(*plugin, "GetEntityAPI2", &version), 1);
  int engine = 137;
  EXPECT_EQ(sv.callGetter(*plugin, "GetEngineFunctions", &engine), 0);
  EXPECT_EQ(engine, ENGINE_INTERFACE_VERSION);
  EXPECT_EQ(plugin->getters["GetEntityAPI2"], std::make_pair(1, INTERFACE_VERSION));
}

TEST_F(MetamodTest, ResultCodesDecideWhetherTheGameRuns) {
  int p = sv.connect("Alice");
  ASSERT_EQ(p, 1);
  struct Case {
    META_RES mres;
    bool gameRuns;
  } cases[] = {{MRES_IGNORED, true}, {MRES_HANDLED, true}, {MRES_OVERRIDE, true},
               {MRES_SUPERCEDE, false}};
  for (const Case& c : cases) {
    sv.game().clearRecords();
    ctl->mresClientCommand = c.mres;
    sv.clientCommand(p, "say hello world");
    EXPECT_EQ(sv.game().reached("pfnClientCommand 1 say hello world"), c.gameRuns) << c.mres;
  }
  EXPECT_TRUE(sv.driverErrors().empty());
}

TEST_F(MetamodTest, UnsetResultIsReportedAndTreatedAsIgnored) {
  int p = sv.connect("Alice");
  ctl->mresClientCommand = MRES_UNSET;
  sv.game().clearRecords();
  sv.clientCommand(p, "kill");
  EXPECT_TRUE(sv.game().reached("pfnClientCommand 1 kill"));
  ASSERT_EQ(sv.driverErrors().size(), 1u);
  EXPECT_NE(sv.driverErrors()[0].find("left mres unset"), std::string::npos);
}

TEST_F(MetamodTest, PostHookSeesTheRealResultAndSupercedeSuppliesTheValue) {
  edict_t* e = sv.spawn("info_target");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(ctl->postSpawnSawOrig, 1);
  EXPECT_EQ(ctl->postSpawnOrigRet, 0);  // the game's own result
  ctl->mresSpawn = MRES_SUPERCEDE;
  ctl->spawnValue = -1;
  sv.game().clearRecords();
  int r = sv.callGame(&DLL_FUNCTIONS::pfnSpawn, e);
  EXPECT_EQ(r, -1);
  EXPECT_FALSE(sv.game().reached("pfnSpawn"));
  EXPECT_EQ(ctl->postSpawnOrigRet, -1);  // superseded: the plugin's value
  ctl->mresSpawn = MRES_HANDLED;
  ctl->spawnValue = 7;
  EXPECT_EQ(sv.callGame(&DLL_FUNCTIONS::pfnSpawn, e), 0);  // handled: the game's value
  ctl->mresSpawn = MRES_OVERRIDE;
  EXPECT_EQ(sv.callGame(&DLL_FUNCTIONS::pfnSpawn, e), 7);
  EXPECT_TRUE(sv.game().reached("pfnSpawn"));  // override still runs the game
}

TEST_F(MetamodTest, GamesEngineCallsPassThePluginsEngineHooks) {
  sv.world().addSolid({100, -50, -50}, {110, 50, 50});
  int before = sv.engineCalls("pfnTraceLine");
  long hookCalls = sv.pluginHookCalls;
  TraceResult tr = sv.game().traceLine({0, 0, 0}, {200, 0, 0});
  EXPECT_LT(tr.flFraction, 1.0f);
  EXPECT_EQ(sv.engineCalls("pfnTraceLine"), before + 1);
  EXPECT_EQ(sv.pluginHookCalls, hookCalls + 2);  // the pre and the post hook
  EXPECT_NE(std::string(ctl->log).find("TraceLine"), std::string::npos);
  EXPECT_EQ(ctl->postTraceLines, 1);

  // A superseding hook traces itself through its own table and changes the result.
  ctl->mresTraceLine = MRES_SUPERCEDE;
  ctl->traceFraction = 0.25f;
  tr = sv.game().traceLine({0, 0, 0}, {200, 0, 0});
  EXPECT_EQ(tr.flFraction, 0.25f);
  EXPECT_EQ(ctl->ownEngineTraces, 1);
  EXPECT_EQ(sv.engineCalls("pfnTraceLine"), before + 2);  // once, by the plugin

  // A trace of the host (or a plugin) does not pass the hooks.
  int hooked = ctl->postTraceLines;
  sv.trace({0, 0, 0}, {200, 0, 0});
  EXPECT_EQ(ctl->postTraceLines, hooked);

  // Variadic slots reach the hooks formatted.
  sv.game().logWorldEvent("Round_Start");
  EXPECT_EQ(ctl->engineAlerts, 1);
  EXPECT_STREQ(ctl->lastAlert, "World triggered \"Round_Start\"\n");
  ASSERT_FALSE(sv.alerts().empty());
  EXPECT_EQ(sv.alerts().back().type, at_logged);
  EXPECT_EQ(sv.alerts().back().text, "World triggered \"Round_Start\"\n");
}

TEST(MetamodLoad, RefusedQueryStopsBeforeAttach) {
  Server sv;
  ASSERT_TRUE(sv.loadGame());
  PluginOptions o;
  o.ifvers = "4:0";
  Plugin& p = sv.loadPlugin(HOST_TEST_PLUGIN_PATH, o);
  EXPECT_FALSE(p.loaded);
  EXPECT_EQ(p.queryResult, 0);
  EXPECT_EQ(p.lifecycle.back(), "Meta_Query");
}

TEST(MetamodLoad, LoadTimeIsPassedOnAndCanBeEnforced) {
  Server sv;
  ASSERT_TRUE(sv.loadGame());
  PluginOptions o;
  o.now = PT_CHANGELEVEL;
  Plugin& p = sv.loadPlugin(HOST_TEST_PLUGIN_PATH, o);
  EXPECT_TRUE(p.loaded);  // the test plugin is loadable any time
  auto fn = reinterpret_cast<TestPluginControl* (*)()>(
      os::findSymbol(p.library, "TestPlugin_Control"));
  EXPECT_EQ(fn()->attachNowSeen, PT_CHANGELEVEL);
  sv.unloadPlugin(p);
  o.now = PT_ANYPAUSE;  // later than PT_ANYTIME
  o.enforceLoadTime = true;
  Plugin& q = sv.loadPlugin(HOST_TEST_PLUGIN_PATH, o);
  EXPECT_FALSE(q.loaded);
  EXPECT_EQ(q.lifecycle.back(), "Meta_Query");
}

// As the real Metamod does, the driver registers a copy of a plugin's
// console variable: a server command changes the engine's copy only, and the
// plugin's own record keeps what it held.
TEST(MetamodLoad, APluginsConsoleVariableIsRegisteredAsACopy) {
  Server sv;
  ASSERT_TRUE(sv.loadGame());
  static cvar_t speed = {"test_speed", "1.5", FCVAR_ARCHIVE, 0, nullptr};
  sv.pluginEngineTable()->pfnCVarRegister(&speed);
  cvar_t* copy = sv.engineTable()->pfnCVarGetPointer("test_speed");
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, &speed);
  EXPECT_EQ(copy, sv.cvar("test_speed"));
  EXPECT_STREQ(copy->name, "test_speed");
  EXPECT_EQ(copy->flags, FCVAR_ARCHIVE);
  EXPECT_EQ(copy->value, 1.5f);

  EXPECT_TRUE(sv.serverCommand("test_speed 3"));
  EXPECT_EQ(sv.cvarFloat("test_speed"), 3.0f);
  EXPECT_EQ(copy->value, 3.0f);
  EXPECT_EQ(speed.value, 0.0f);
  EXPECT_STREQ(speed.string, "1.5");
  EXPECT_EQ(speed.next, nullptr);
  // Everything else of the table a plugin gets is the engine's.
  EXPECT_EQ(sv.pluginEngineTable()->pfnCVarGetPointer, sv.engineTable()->pfnCVarGetPointer);
}

TEST(MetamodLoad, MissingLibraryIsADriverError) {
  Server sv;
  Plugin& p = sv.loadPlugin("/nonexistent/plugin.so");
  EXPECT_FALSE(p.loaded);
  EXPECT_EQ(sv.driverErrors().size(), 1u);
}

}  // namespace
