// The plugin frame under Metamod: the entry points and their order, the
// information record, the table getters with their checks and messages, and
// the shape of the six hook tables, on the built library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host.h"
#include "os/os.h"

namespace {

using FnPtr = void (*)();

int CountNonNull(const void* table, int entries) {
  const FnPtr* slots = static_cast<const FnPtr*>(table);
  int n = 0;
  for (int i = 0; i < entries; ++i) n += slots[i] != nullptr;
  return n;
}

int SlotIndex(size_t offset) { return static_cast<int>(offset / sizeof(FnPtr)); }

class FrameMetamod : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.loadGame());
    plugin = &server.loadPlugin(GRAPNEL_MM_PATH);
    ASSERT_TRUE(plugin->loaded);
  }

  template <typename Fn>
  Fn entry(const char* name) {
    return reinterpret_cast<Fn>(os::findSymbol(plugin->library, name));
  }

  std::vector<host::MetaLog> logsOfKind(const std::string& kind) {
    std::vector<host::MetaLog> out;
    for (const auto& l : server.metaLogs())
      if (l.kind == kind) out.push_back(l);
    return out;
  }

  host::Server server;
  host::Plugin* plugin = nullptr;
};

TEST_F(FrameMetamod, LoadsInMetamodOrderWithItsInformationRecord) {
  ASSERT_GE(plugin->lifecycle.size(), 4u);
  EXPECT_EQ(plugin->lifecycle[0], "Meta_Init");
  EXPECT_EQ(plugin->lifecycle[1], "GiveFnptrsToDll");
  EXPECT_EQ(plugin->lifecycle[2], "Meta_Query");
  EXPECT_EQ(plugin->lifecycle[3], "Meta_Attach");
  EXPECT_EQ(plugin->queryResult, 1);
  EXPECT_EQ(plugin->attachResult, 1);

  ASSERT_NE(plugin->info, nullptr);
  EXPECT_STREQ(plugin->info->ifvers, "5:10");
  EXPECT_STREQ(plugin->info->name, "Grapnel Mod");
  EXPECT_STREQ(plugin->info->version, "5");
  EXPECT_STREQ(plugin->info->date, "07/24/2004");
  EXPECT_STREQ(plugin->info->logtag, "HOOK");
  EXPECT_EQ(plugin->info->loadable, PT_STARTUP);
  EXPECT_EQ(plugin->info->unloadable, PT_STARTUP);

  // The plain getters are library exports only; the other six are handed over.
  EXPECT_EQ(plugin->meta.pfnGetEntityAPI, nullptr);
  EXPECT_EQ(plugin->meta.pfnGetEntityAPI_Post, nullptr);
  EXPECT_NE(plugin->meta.pfnGetEntityAPI2, nullptr);
  EXPECT_NE(plugin->meta.pfnGetEntityAPI2_Post, nullptr);
  EXPECT_NE(plugin->meta.pfnGetNewDLLFunctions, nullptr);
  EXPECT_NE(plugin->meta.pfnGetNewDLLFunctions_Post, nullptr);
  EXPECT_NE(plugin->meta.pfnGetEngineFunctions, nullptr);
  EXPECT_NE(plugin->meta.pfnGetEngineFunctions_Post, nullptr);
  EXPECT_TRUE(plugin->hasDll && plugin->hasDllPost && plugin->hasNewDll && plugin->hasNewDllPost &&
              plugin->hasEng && plugin->hasEngPost);

  // The getters that log a developer line name the version they were asked.
  std::vector<std::string> developer;
  for (const auto& l : logsOfKind("developer")) developer.push_back(l.text);
  EXPECT_NE(std::find(developer.begin(), developer.end(), "called: GetEntityAPI2; version=140"), developer.end());
  EXPECT_NE(std::find(developer.begin(), developer.end(), "called: GetEngineFunctions_Post; version=138"),
            developer.end());
  EXPECT_TRUE(logsOfKind("error").empty());
  EXPECT_EQ(entry<META_DETACH_FN>("Meta_Detach")(PT_ANYTIME, PNL_COMMAND), 1);
}

TEST_F(FrameMetamod, QueryAnswersAnyInterfaceVersion) {
  auto query = entry<META_QUERY_FN>("Meta_Query");
  plugin_info_t* info = nullptr;
  char old[] = "4:0";
  EXPECT_EQ(query(old, &info, nullptr), 1);
  EXPECT_EQ(info, plugin->info);
}

TEST_F(FrameMetamod, GetterVersionMismatchIsLoggedAndWrittenBack) {
  server.clearRecords();
  int version = 139;
  EXPECT_EQ(server.callGetter(*plugin, "GetEntityAPI2", &version), 0);
  EXPECT_EQ(version, 140);
  ASSERT_EQ(server.metaLogs().size(), 2u);
  EXPECT_EQ(server.metaLogs()[0].kind, "developer");
  EXPECT_EQ(server.metaLogs()[0].text, "called: GetEntityAPI2; version=139");
  EXPECT_EQ(server.metaLogs()[1].kind, "error");
  EXPECT_EQ(server.metaLogs()[1].text, "GetEntityAPI2 version mismatch; requested=139 ours=140");

  struct Case {
    const char* getter;
    int asked, writtenBack;
    const char* developer;
    const char* error;
  };
  const Case cases[] = {
      {"GetEntityAPI2_Post", 1, 140, "called: GetEntityAPI2_Post; version=1",
       "GetEntityAPI2_Post version mismatch; requested=1 ours=140"},
      {"GetNewDLLFunctions", 2, 1, nullptr, "GetNewDLLFunctions version mismatch; requested=2 ours=1"},
      {"GetNewDLLFunctions_Post", 0, 1, "called: GetNewDLLFunctions_Post; version=0",
       "GetNewDLLFunctions_Post version mismatch; requested=0 ours=1"},
      {"GetEngineFunctions", 137, 138, nullptr, nullptr},
      {"GetEngineFunctions_Post", 139, 138, "called: GetEngineFunctions_Post; version=139",
       "GetEngineFunctions_Post version mismatch; requested=139 ours=138"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.getter);
    server.clearRecords();
    int v = c.asked;
    EXPECT_EQ(server.callGetter(*plugin, c.getter, &v), 0);
    EXPECT_EQ(v, c.writtenBack);
    std::vector<std::string> expected;
    if (c.developer) expected.push_back(c.developer);
    if (c.error) expected.push_back(c.error);
    std::vector<std::string> got;
    for (const auto& l : server.metaLogs()) got.push_back(l.text);
    EXPECT_EQ(got, expected);
  }

  // The getters by value are library exports only (Metamod is not handed
  // them); nothing can be written back.
  server.clearRecords();
  DLL_FUNCTIONS scratch{};
  EXPECT_EQ(entry<GETENTITYAPI_FN>("GetEntityAPI_Post")(&scratch, 139), 0);
  EXPECT_EQ(entry<GETENTITYAPI_FN>("GetEntityAPI")(&scratch, 139), 0);
  EXPECT_EQ(scratch.pfnSpawn, nullptr);
  std::vector<std::string> got;
  for (const auto& l : server.metaLogs()) got.push_back(l.text);
  const std::vector<std::string> expected = {"called: GetEntityAPI_Post; version=139",
                                             "GetEntityAPI_Post version mismatch; requested=139 ours=140"};
  EXPECT_EQ(got, expected);
}

TEST_F(FrameMetamod, GettersCopyTheirTablesOnTheRightVersion) {
  const char* getters[] = {"GetEntityAPI2",      "GetEntityAPI2_Post", "GetNewDLLFunctions",
                           "GetNewDLLFunctions_Post", "GetEngineFunctions", "GetEngineFunctions_Post"};
  const int versions[] = {140, 140, 1, 1, 138, 138};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(getters[i]);
    int v = versions[i];
    EXPECT_EQ(server.callGetter(*plugin, getters[i], &v), 1);
    EXPECT_EQ(v, versions[i]);
  }
  DLL_FUNCTIONS pre{}, post{};
  EXPECT_EQ(entry<GETENTITYAPI_FN>("GetEntityAPI")(&pre, 140), 1);
  EXPECT_EQ(entry<GETENTITYAPI_FN>("GetEntityAPI_Post")(&post, 140), 1);
  EXPECT_EQ(pre.pfnSpawn, plugin->dll.pfnSpawn);
  EXPECT_EQ(post.pfnSpawn, plugin->dllPost.pfnSpawn);
}

TEST_F(FrameMetamod, GettersRefuseANullTable) {
  server.clearRecords();
  int v = 140;
  EXPECT_EQ(entry<GETENTITYAPI2_FN>("GetEntityAPI2")(nullptr, &v), 0);
  EXPECT_EQ(entry<GETENTITYAPI_FN>("GetEntityAPI")(nullptr, 140), 0);
  EXPECT_EQ(entry<GETENTITYAPI_FN>("GetEntityAPI_Post")(nullptr, 140), 0);
  v = 1;
  EXPECT_EQ(entry<GETNEWDLLFUNCTIONS_FN>("GetNewDLLFunctions_Post")(nullptr, &v), 0);
  v = 138;
  EXPECT_EQ(entry<GET_ENGINE_FUNCTIONS_FN>("GetEngineFunctions")(nullptr, &v), 0);
  EXPECT_EQ(entry<GET_ENGINE_FUNCTIONS_FN>("GetEngineFunctions_Post")(nullptr, &v), 0);
  std::vector<std::string> got;
  for (const auto& l : server.metaLogs()) got.push_back(l.kind + ": " + l.text);
  const std::vector<std::string> expected = {
      "developer: called: GetEntityAPI2; version=140",
      "error: GetEntityAPI2 called with null pFunctionTable",
      "developer: called: GetEntityAPI_Post; version=140",
      "error: GetEntityAPI_Post called with null pFunctionTable",
      "developer: called: GetNewDLLFunctions_Post; version=1",
      "error: GetNewDLLFunctions_Post called with null pNewFunctionTable",
      "developer: called: GetEngineFunctions_Post; version=138",
      "error: GetEngineFunctions_Post called with null pengfuncsFromEngine",
  };
  EXPECT_EQ(got, expected);
}

TEST_F(FrameMetamod, AttachRefusesNullRecords) {
  auto attach = entry<META_ATTACH_FN>("Meta_Attach");
  server.clearRecords();
  META_FUNCTIONS table{};
  // Static: the plugin keeps these pointers beyond the test's statements.
  static gamedll_funcs_t game;
  static meta_globals_t other;
  game.dllapi_table = &server.gameDll;
  EXPECT_EQ(attach(PT_STARTUP, &table, nullptr, &game), 0);
  ASSERT_EQ(server.metaLogs().size(), 1u);
  EXPECT_EQ(server.metaLogs()[0].kind, "error");
  EXPECT_EQ(server.metaLogs()[0].text, "Meta_Attach called with null pMGlobals");

  // A valid globals record is kept even when the table is missing.
  server.clearRecords();
  EXPECT_EQ(attach(PT_STARTUP, nullptr, &other, &game), 0);
  ASSERT_EQ(server.metaLogs().size(), 1u);
  EXPECT_EQ(server.metaLogs()[0].text, "Meta_Attach called with null pFunctionTable");
  other.mres = MRES_UNSET;
  plugin->eng.pfnAlertMessage(at_console, const_cast<char*>("%s"), "kept");
  EXPECT_EQ(other.mres, MRES_IGNORED);
  EXPECT_EQ(attach(PT_STARTUP, &table, server.metaGlobals(), &game), 1);
  EXPECT_EQ(table.pfnGetEntityAPI2, plugin->meta.pfnGetEntityAPI2);
}

// Under Metamod the engine asks Metamod, never the plugin, for the game's
// hitbox blending; asked anyway, the plugin has no game library and answers 0.
TEST_F(FrameMetamod, BlendingExportAnswersNoneWithoutAGameLibrary) {
  auto blend = entry<SERVER_BLENDING_FN>("Server_GetBlendingInterface");
  ASSERT_NE(blend, nullptr);
  void* blending = nullptr;
  float matrix[3][4] = {};
  EXPECT_EQ(blend(SERVER_BLENDING_INTERFACE_VERSION, &blending, matrix, matrix, matrix), 0);
  EXPECT_EQ(blending, nullptr);
}

// Metamod routes a call through the plugin only where its entry is set, so
// the tables hold the wrappers that carry work and nothing else.
TEST_F(FrameMetamod, TablesHoldOnlyTheWorkingEntries) {
  const DLL_FUNCTIONS& d = plugin->dll;
  EXPECT_TRUE(d.pfnGameInit && d.pfnSpawn && d.pfnThink && d.pfnTouch && d.pfnClientConnect &&
              d.pfnClientDisconnect && d.pfnClientCommand && d.pfnPlayerPreThink && d.pfnStartFrame);
  EXPECT_EQ(CountNonNull(&plugin->dll, 50), 9);
  EXPECT_EQ(CountNonNull(&plugin->dllPost, 50), 1);
  EXPECT_NE(plugin->dllPost.pfnClientConnect, nullptr);
  EXPECT_EQ(CountNonNull(&plugin->newDll, 5), 0);
  EXPECT_EQ(CountNonNull(&plugin->newDllPost, 5), 0);
  EXPECT_EQ(CountNonNull(&plugin->eng, ENGINE_FUNCTIONS_SLOTS), 1);
  EXPECT_NE(plugin->eng.pfnAlertMessage, nullptr);
  EXPECT_EQ(CountNonNull(&plugin->engPost, ENGINE_FUNCTIONS_SLOTS), 0);
  EXPECT_EQ(SlotIndex(offsetof(enginefuncs_t, pfnGetPlayerAuthId)), 143);
  // Every getter still answers: Metamod sees a plugin with six tables.
  for (const auto& [getter, answer] : plugin->getters) EXPECT_EQ(answer.first, 1) << getter;
  EXPECT_EQ(plugin->getters.size(), 6u);
}

}  // namespace
