// The plugin loaded by the engine in place of the game library: it loads the
// game library named in its configuration file and stands in front of it.
// Each test installs a fresh copy of the built plugin in the mod's dlls
// folder, as a standalone install does, so each copy starts with its own state.
#include <gtest/gtest.h>
#include <unistd.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_game.h"
#include "host.h"
#include "os/os.h"

#ifdef _WIN32
#include "import_patch.h"
#else
#include <dlfcn.h>
#endif

namespace {

// The libraries carry the platform's file name ending, and the plugin builds
// its paths with the platform's folder separator.
#ifdef _WIN32
const char kGameFile[] = "cs.dll";
const char kPluginFile[] = "dlls/grapnel_mm.dll";
const char kLoadedGame[] = "{GrapnelMod} Loaded cstrike\\dlls\\cs.dll.\n";
const char kModDlls[] = "cstrike\\dlls\\";
const char kLibraryEnding[] = ".dll";
#else
const char kGameFile[] = "cs.so";
const char kPluginFile[] = "dlls/grapnel_mm.so";
const char kLoadedGame[] = "{GrapnelMod} Loaded cstrike/dlls/cs.so.\n";
const char kModDlls[] = "cstrike/dlls/";
const char kLibraryEnding[] = ".so";
#endif

class FrameStandalone : public ::testing::Test {
 protected:
  void install(const std::string& config) {
    server.copyIntoMod(host::Server::defaultGameLibrary(), std::string("dlls/") + kGameFile);
    server.copyIntoMod(GRAPNEL_MM_PATH, kPluginFile);
    server.writeFile("addons/GrapnelMod/GP_config.txt", config);
  }
  std::string pluginPath() { return server.modPath() + "/" + kPluginFile; }

  // Installs with a configuration naming the fake game and loads the plugin
  // as the engine's game library; returns what it printed.
  std::string load(const std::string& config = std::string(kGameFile) + "\n") {
    install(config);
    ::testing::internal::CaptureStdout();
    loaded = server.loadGame(pluginPath());
    return ::testing::internal::GetCapturedStdout();
  }

  // Without capturing standard output (for the death tests).
  void loadPlain(const std::string& config) {
    install(config);
    loaded = server.loadGame(pluginPath());
  }

  template <typename Fn>
  Fn entry(const char* name) {
    return reinterpret_cast<Fn>(os::findSymbol(server.gameLibrary, name));
  }

  std::vector<std::string> gameRecords() { return server.game().records(); }
  bool gameGot(const std::string& record) {
    auto r = gameRecords();
    return std::find(r.begin(), r.end(), record) != r.end();
  }
  bool alerted(int type, const std::string& text) {
    auto a = server.alertTexts(type);
    return std::find(a.begin(), a.end(), text) != a.end();
  }
  int alertCount(const std::string& text) {
    auto a = server.alertTexts();
    return static_cast<int>(std::count(a.begin(), a.end(), text));
  }

  // Hook entities not yet marked for deletion.
  size_t liveHooks() {
    size_t n = 0;
    for (edict_t* e : server.findByClass("GP_hook")) n += !(e->v.flags & FL_KILLME);
    return n;
  }

  host::Server server;
  bool loaded = false;
};

TEST_F(FrameStandalone, LoadsTheGameLibraryNamedInTheConfiguration) {
  std::string out = load(std::string(kGameFile) + "\nanything after the first word\n");
  ASSERT_TRUE(loaded);
  EXPECT_NE(out.find("Loaded GrapnelMod - not using metamod.\n"), std::string::npos);
  EXPECT_TRUE(alerted(at_console, kLoadedGame));
  ASSERT_TRUE(server.hasFakeGame());
  // The game got the engine table, and was asked for its table through its
  // plain GetEntityAPI, then for its new-DLL table.
  auto records = gameRecords();
  ASSERT_GE(records.size(), 3u);
  EXPECT_EQ(records[0], "GiveFnptrsToDll");
  EXPECT_EQ(records[1], "GetEntityAPI 140");
  EXPECT_EQ(records[2], "GetNewDLLFunctions 1");
  EXPECT_TRUE(server.hasGameNewDll);
}

// A configuration saved by a Windows editor: the line ends in CR LF.
TEST_F(FrameStandalone, ConfigurationWithWindowsLineEndsLoadsTheSame) {
  load(std::string(kGameFile) + "\r\nmp.dll\r\n");
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(alerted(at_console, kLoadedGame));
  EXPECT_TRUE(server.hasFakeGame());
}

// The game directory as an engine may report it, for the mod folder name.
std::string g_gameDir;
void ReportedGameDir(char* out) { strcpy(out, g_gameDir.c_str()); }

TEST_F(FrameStandalone, ModFolderNameIsTheLastElementOfTheGameDirectory) {
  install(std::string(kGameFile) + "\n");
  struct Case {
    const char* reported;
    bool error;
  };
  const Case cases[] = {{"cstrike", false}, {"/home/hlds/cstrike", false}, {"/cstrike", true}};
  int copy = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reported);
    // A fresh copy of the plugin each time: it keeps its globals for life.
    std::string file = "dlls/grapnel_copy" + std::to_string(++copy) + kLibraryEnding;
    server.copyIntoMod(GRAPNEL_MM_PATH, file);
    os::Library lib = os::loadLibrary((server.modPath() + "/" + file).c_str());
    ASSERT_NE(lib, nullptr);
    auto give = reinterpret_cast<GIVE_ENGINE_FUNCTIONS_FN>(os::findSymbol(lib, "GiveFnptrsToDll"));
    ASSERT_NE(give, nullptr);
    static enginefuncs_t engines[3];
    enginefuncs_t& engine = engines[copy - 1];
    engine = *server.gameEngineTable();
    engine.pfnGetGameDir = ReportedGameDir;
    g_gameDir = c.reported;
    server.clearRecords();
    ::testing::internal::CaptureStdout();
    give(&engine, server.globals());
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(alerted(at_error, "{GrapnelMod} Error determining MOD directory name!"), c.error);
    // The configuration and the game library were found below "cstrike".
    EXPECT_TRUE(alerted(at_console, kLoadedGame));
    // Unloading the copy lets its game library go too: a later session must
    // not find this one (Windows finds a loaded library by its file name).
    os::freeLibrary(lib);
  }
}

TEST_F(FrameStandalone, GameCallsPassThePluginToTheGame) {
  load();
  ASSERT_TRUE(loaded);
  server.startMap();
  server.world().addRoom({-512, -512, 0}, {512, 512, 256});
  int id = server.connect("Alice");
  server.place(id, {0, 0, 36});
  const std::string who = std::to_string(id);
  EXPECT_TRUE(gameGot("pfnClientConnect " + who + " Alice 127.0.0.1:27005"));
  EXPECT_TRUE(gameGot("pfnClientPutInServer " + who));
  server.game().clearRecords();

  server.clientCommand(id, "+hook");
  server.clientCommand(id, "-hook");
  EXPECT_EQ(server.game().calls("pfnClientCommand"), 0);
  server.clientCommand(id, "say hello");
  EXPECT_TRUE(gameGot("pfnClientCommand " + who + " say hello"));

  // Pass-throughs call the game; so does a think of any other entity.
  edict_t* world = server.edict(0);
  server.callGame(&DLL_FUNCTIONS::pfnUse, world, world);
  EXPECT_TRUE(gameGot("pfnUse 0 0"));
  edict_t* wall = server.spawn("func_wall", {100, 0, 0});
  ASSERT_NE(wall, nullptr);
  server.callGame(&DLL_FUNCTIONS::pfnThink, wall);
  EXPECT_TRUE(gameGot("pfnThink " + std::to_string(server.indexOf(wall)) + " func_wall"));
  int frames = server.game().calls("pfnStartFrame");
  server.runFrame();
  EXPECT_EQ(server.game().calls("pfnStartFrame"), frames + 1);
  server.disconnect(id);
  EXPECT_TRUE(gameGot("pfnClientDisconnect " + who));
}

// The file of the loaded library that holds the address.
std::string LibraryOf(const void* address) {
#ifdef _WIN32
  HMODULE module = address ? importpatch::ModuleOf(address) : nullptr;
  char name[MAX_PATH];
  DWORD n = module ? GetModuleFileNameA(module, name, sizeof name) : 0;
  return n > 0 && n < sizeof name ? std::string(name, n) : std::string();
#else
  Dl_info info{};
  if (!address || !dladdr(address, &info) || !info.dli_fname) return "";
  return info.dli_fname;
#endif
}

TEST_F(FrameStandalone, GameEngineCallsPassThePluginsWrappers) {
  load();
  ASSERT_TRUE(loaded);
  server.startMap();
  server.world().addRoom({-512, -512, 0}, {512, 512, 256});

  // The game's engine table: the patched range points into the plugin, the
  // rest at the engine's own functions.
  const enginefuncs_t* gameEngine = server.game().api()->engine();
  const std::string plugin = LibraryOf(reinterpret_cast<void*>(entry<void (*)()>("GetEntityAPI")));
  ASSERT_FALSE(plugin.empty());
  EXPECT_EQ(LibraryOf(reinterpret_cast<void*>(gameEngine->pfnTraceLine)), plugin);
  EXPECT_EQ(LibraryOf(reinterpret_cast<void*>(gameEngine->pfnPrecacheModel)), plugin);
  EXPECT_EQ(LibraryOf(reinterpret_cast<void*>(gameEngine->pfnAlertMessage)), plugin);
  EXPECT_EQ(LibraryOf(reinterpret_cast<void*>(gameEngine->pfnClientCommand)), plugin);
  EXPECT_EQ(LibraryOf(reinterpret_cast<void*>(gameEngine->pfnGetPlayerWONId)), plugin);
  EXPECT_EQ(LibraryOf(reinterpret_cast<void*>(gameEngine->pfnGetPlayerAuthId)), plugin);
  // The engine patched in place is the table compared with here, so the
  // entries the engine keeps are also held to lie outside the plugin.
  EXPECT_EQ(gameEngine->pfnEngineFprintf, server.gameEngineTable()->pfnEngineFprintf);
  ASSERT_NE(gameEngine->pfnEngineFprintf, nullptr);
  const std::string host = LibraryOf(reinterpret_cast<void*>(server.engineTable()->pfnTraceLine));
  EXPECT_EQ(LibraryOf(reinterpret_cast<void*>(gameEngine->pfnEngineFprintf)), host)
      << "pfnEngineFprintf stays the engine's own";
  EXPECT_EQ(LibraryOf(reinterpret_cast<void*>(gameEngine->pfnInfo_RemoveKey)), host);
  EXPECT_EQ(LibraryOf(reinterpret_cast<void*>(gameEngine->pfnVoice_SetClientListening)), host);
  // The game's own fprintf reaches the engine as the engine's call.
  FILE* file = tmpfile();
  ASSERT_NE(file, nullptr);
  int fprintfs = server.engineCalls("pfnEngineFprintf");
  gameEngine->pfnEngineFprintf(file, const_cast<char*>("%s %d\n"), "fprintf", 7);
  EXPECT_EQ(server.engineCalls("pfnEngineFprintf"), fprintfs + 1);
  char written[32] = {};
  rewind(file);
  EXPECT_NE(fgets(written, sizeof written, file), nullptr);
  fclose(file);
  EXPECT_STREQ(written, "fprintf 7\n");
  EXPECT_EQ(gameEngine->pfnInfo_RemoveKey, server.gameEngineTable()->pfnInfo_RemoveKey);
  EXPECT_EQ(gameEngine->pfnGetPlayerStats, server.gameEngineTable()->pfnGetPlayerStats);
  EXPECT_EQ(gameEngine->pfnVoice_SetClientListening, server.gameEngineTable()->pfnVoice_SetClientListening);
  EXPECT_EQ(gameEngine->pfnSequenceGet, server.gameEngineTable()->pfnSequenceGet);
  // The engine's game-library table: every one of the 50 entries is the plugin's.
  using Fn = void (*)();
  const Fn* slots = reinterpret_cast<const Fn*>(&server.gameDll);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(LibraryOf(reinterpret_cast<void*>(slots[i])), plugin) << "entry " << i;

  // A trace of the game goes through the plugin's wrapper to the engine.
  int traces = server.engineCalls("pfnTraceLine");
  TraceResult tr = server.game().traceLine({0, 0, 100}, {0, 0, -1000});
  EXPECT_EQ(server.engineCalls("pfnTraceLine"), traces + 1);
  EXPECT_LT(tr.flFraction, 1.0f);

  // The engine client command gets the finished text, not the format.
  int commands = server.engineCalls("pfnClientCommand");
  gameEngine->pfnClientCommand(server.edict(0), const_cast<char*>("echo %s %d\n"), "round", 3);
  EXPECT_EQ(server.engineCalls("pfnClientCommand"), commands + 1);
  ASSERT_FALSE(server.prints().empty());
  EXPECT_EQ(server.prints().back().type, host::kStuffText);
  EXPECT_EQ(server.prints().back().text, "echo round 3\n");
}

// The engine asks the library it loaded as the game for the hitbox blending;
// the plugin passes the question to the game library behind it.
TEST_F(FrameStandalone, BlendingLookUpReachesTheGameLibrary) {
  load();
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(gameGot("Server_GetBlendingInterface 1"));
  EXPECT_EQ(server.blendingAnswer, 1);
  ASSERT_NE(server.blendingInterface, nullptr);
  const std::string game = LibraryOf(server.blendingInterface);
  EXPECT_NE(game.find(kGameFile), std::string::npos) << game;

  // Another version: the game's answer, unchanged.
  auto blend = entry<SERVER_BLENDING_FN>("Server_GetBlendingInterface");
  ASSERT_NE(blend, nullptr);
  void* other = nullptr;
  float matrix[3][4] = {};
  EXPECT_EQ(blend(2, &other, matrix, matrix, matrix), 0);
  EXPECT_EQ(other, nullptr);

  // Each argument reaches the game in its own place: the version, the
  // interface slot, the studio record, the rotation matrix, the bones.
  void* studio[32] = {};
  float rotation[3][4] = {};
  float bones[128][3][4] = {};
  void* mine = nullptr;
  for (int version : {1, 2}) {
    SCOPED_TRACE(version);
    EXPECT_EQ(blend(version, &mine, studio, rotation, bones), version == 1 ? 1 : 0);
    int got = 0;
    void* args[4] = {};
    server.game().api()->lastBlending(&got, args);
    EXPECT_EQ(got, version);
    EXPECT_EQ(args[0], static_cast<void*>(&mine)) << "ppinterface";
    EXPECT_EQ(args[1], static_cast<void*>(studio)) << "pstudio";
    EXPECT_EQ(args[2], static_cast<void*>(rotation)) << "rotationmatrix";
    EXPECT_EQ(args[3], static_cast<void*>(bones)) << "bonetransform";
  }
  EXPECT_EQ(mine, server.blendingInterface) << "the game's interface record, filled in";
}

// The engine hands the two vectors of a baseline as pointers to three
// floats; they reach the game through the plugin as it sent them.
TEST_F(FrameStandalone, BaselineVectorsPassAsPointers) {
  load();
  ASSERT_TRUE(loaded);
  server.startMap();
  int id = server.connect("Alice");
  float mins[3] = {-16, -16, -36}, maxs[3] = {16, 16, 36};
  entity_state_t state{};
  server.callGame(&DLL_FUNCTIONS::pfnCreateBaseline, 1, id, &state, server.edict(id), 0, mins, maxs);
  EXPECT_TRUE(gameGot("pfnCreateBaseline 1 " + std::to_string(id) + " -16 -16 -36 16 16 36"));
}

TEST_F(FrameStandalone, EveryAlertOfTheGameReachesTheEngine) {
  load();
  ASSERT_TRUE(loaded);
  const enginefuncs_t* gameEngine = server.game().api()->engine();
  for (int level : {at_notice, at_console, at_aiconsole, at_warning, at_error, at_logged}) {
    std::string text = "level " + std::to_string(level) + " 100% sure\n";
    gameEngine->pfnAlertMessage(static_cast<ALERT_TYPE>(level), const_cast<char*>("level %d %s\n"), level,
                                "100% sure");
    EXPECT_TRUE(alerted(level, text)) << text;
  }
  server.game().logWorldEvent("Round_Start");
  EXPECT_TRUE(alerted(at_logged, "World triggered \"Round_Start\"\n"));
  EXPECT_EQ(alertCount("Round Start!\n"), 1);
}

TEST_F(FrameStandalone, RoundEventsReleaseEveryHook) {
  load();
  ASSERT_TRUE(loaded);
  server.startMap();
  server.world().addRoom({-512, -512, 0}, {512, 512, 256});
  int a = server.connect("Alice");
  int b = server.connect("Bob");
  server.place(a, {0, 0, 36});
  server.place(b, {0, 100, 36});
  for (int id : {a, b}) {
    entvars_t& v = server.vars(id);
    v.health = 100;
    v.deadflag = DEAD_NO;
    v.movetype = MOVETYPE_WALK;
    server.clientCommand(id, "+hook");
  }
  server.runFor(0.2f);
  ASSERT_EQ(liveHooks(), 2u);

  for (const char* line : {"World triggered \"Round_Draw\"\n", "World triggered \"Game_Commencing\"\n",
                           "World triggered \"Round_Start\n", "World triggered \"\"\n"})
    server.game().logLine(line);
  EXPECT_EQ(alertCount("Round Start!\n"), 0);
  EXPECT_EQ(liveHooks(), 2u);

  server.game().logWorldEvent("Round_Start");
  EXPECT_EQ(alertCount("Round Start!\n"), 1);
  EXPECT_EQ(liveHooks(), 0u);

  server.game().logWorldEvent("Round_End");
  server.game().logWorldEvent("Restart_Round_(1_second)");
  EXPECT_EQ(alertCount("Round Start!\n"), 3);
}

TEST_F(FrameStandalone, EntityExportsForwardToTheGameOnce) {
  load();
  ASSERT_TRUE(loaded);
  server.startMap();
  using Link = void (*)(entvars_t*);

  edict_t* e = server.engineTable()->pfnCreateEntity();
  ASSERT_NE(e, nullptr);
  server.game().clearRecords();
  Link ak47 = entry<Link>("weapon_ak47");
  ASSERT_NE(ak47, nullptr);
  ak47(&e->v);
  EXPECT_EQ(gameRecords(), std::vector<std::string>{"link weapon_ak47"});
  // The game set up the very entity it was handed.
  ASSERT_NE(e->pvPrivateData, nullptr);
  EXPECT_STREQ(static_cast<const char*>(e->pvPrivateData), "weapon_ak47");

  // A class the game does not have: nothing happens, now or later.
  server.game().clearRecords();
  Link tfc = entry<Link>("tf_weapon_ac");
  ASSERT_NE(tfc, nullptr);
  edict_t* other = server.engineTable()->pfnCreateEntity();
  tfc(&other->v);
  tfc(&other->v);
  EXPECT_TRUE(gameRecords().empty());
  EXPECT_EQ(other->pvPrivateData, nullptr);

  // Entities the engine creates by class name go through the forwarders.
  edict_t* wall = server.spawn("func_wall", {0, 0, 0});
  ASSERT_NE(wall, nullptr);
  EXPECT_TRUE(gameGot("link func_wall"));
}

#ifdef _WIN32
// The plugin finds the game's functions through its own import of
// GetProcAddress: count the look-ups of one name there.
std::string g_countedName;
int g_lookups = 0;
FARPROC(WINAPI* g_getProcAddress)(HMODULE, LPCSTR);
FARPROC WINAPI CountingGetProcAddress(HMODULE module, LPCSTR name) {
  if (reinterpret_cast<uintptr_t>(name) > 0xffff && g_countedName == name) ++g_lookups;
  return g_getProcAddress(module, name);
}

TEST_F(FrameStandalone, LooksUpAMissingClassOnce) {
  load();
  ASSERT_TRUE(loaded);
  auto* module = reinterpret_cast<HMODULE>(server.gameLibrary);
  void* before = importpatch::Replace(module, "kernel32.dll", "GetProcAddress",
                                      reinterpret_cast<void*>(&CountingGetProcAddress));
  ASSERT_NE(before, nullptr) << "the plugin imports no GetProcAddress";
  g_getProcAddress = reinterpret_cast<FARPROC(WINAPI*)(HMODULE, LPCSTR)>(before);
  g_countedName = "tf_weapon_ac";
  g_lookups = 0;
  auto tfc = entry<void (*)(entvars_t*)>("tf_weapon_ac");
  edict_t* e = server.engineTable()->pfnCreateEntity();
  for (int i = 0; i < 3; ++i) tfc(&e->v);
  importpatch::Replace(module, "kernel32.dll", "GetProcAddress", before);
  EXPECT_EQ(g_lookups, 1);
}
#else
// Run by LooksUpAMissingClassOnce in a child process traced by the dynamic
// loader: loads standalone and calls tf_weapon_ac as often as asked.
TEST_F(FrameStandalone, DISABLED_CallMissingClass) {
  const char* times = getenv("GRAPNEL_CALLS");
  load();
  ASSERT_TRUE(loaded);
  auto tfc = entry<void (*)(entvars_t*)>("tf_weapon_ac");
  edict_t* e = server.engineTable()->pfnCreateEntity();
  for (int i = 0; i < (times ? atoi(times) : 1); ++i) tfc(&e->v);
}

// Number of symbol look-ups of tf_weapon_ac the dynamic loader logs for a
// child that calls it `calls` times.
int LookupsInChild(int calls) {
  char log[] = "/tmp/grapnel_lookups_XXXXXX";
  int fd = mkstemp(log);
  if (fd < 0) return -1;
  close(fd);
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (n <= 0) return -1;
  self[n] = '\0';
  std::string command = "GRAPNEL_CALLS=" + std::to_string(calls) + " LD_DEBUG=symbols LD_DEBUG_OUTPUT=" + log + " " +
                        self + " --gtest_also_run_disabled_tests" +
                        " --gtest_filter=FrameStandalone.DISABLED_CallMissingClass >/dev/null 2>&1";
  int status = system(command.c_str());
  int lookups = 0;
  // The loader appends its process id to the output name.
  std::string pattern = std::string("ls ") + log + ".* 2>/dev/null";
  FILE* list = popen(pattern.c_str(), "r");
  char name[512];
  while (list && fgets(name, sizeof(name), list)) {
    name[strcspn(name, "\n")] = '\0';
    FILE* f = fopen(name, "r");
    char line[1024];
    while (f && fgets(line, sizeof(line), f))
      if (strstr(line, "symbol=tf_weapon_ac;")) ++lookups;
    if (f) fclose(f);
    unlink(name);
  }
  if (list) pclose(list);
  unlink(log);
  return status == 0 ? lookups : -1;
}

TEST(FrameStandaloneExports, LooksUpAMissingClassOnce) {
  int once = LookupsInChild(1);
  int thrice = LookupsInChild(3);
  ASSERT_GT(once, 0) << "the dynamic loader's symbol log is not available";
  EXPECT_EQ(thrice, once);
}
#endif

using FailedLoad = FrameStandalone;

// A death test's pattern for exactly this text.
std::string Exactly(const std::string& text) {
  std::string pattern = "^";
  for (char c : text) {
    if (strchr("\\^$.|?*+()[]{}", c)) pattern += '\\';
    pattern += c;
  }
  return pattern + "$";
}

// A failed start says why on standard output, where a dedicated server's
// console shows it; the alert lines of the standalone loading show there only
// in developer mode. Death tests: the plugin ends the process. Standard
// output goes to the error stream inside, where the death test reads it.
TEST_F(FailedLoad, EachMissingPieceIsNamedOnStandardOutput) {
  // A name no earlier session loaded: the loader knows loaded libraries by
  // the name they were loaded under.
  const std::string name = std::string("unusable") + kLibraryEnding;
  const std::string library = kModDlls + name;
  const std::string gameFile = "dlls/" + name;
  // The loader's own words for a file that is no library, as the plugin gets them.
  server.writeFile(gameFile, "not a library\n");
  ASSERT_EQ(os::loadLibrary(library.c_str()), nullptr);
  const std::string notALibrary = os::lastLoadError();
  ASSERT_FALSE(notALibrary.empty());

  const std::string loading = "Loaded GrapnelMod - not using metamod.\n";
  const std::string loaded = "{GrapnelMod} Loaded " + library + ".\n";
  const std::string notFound = "{GrapnelMod} File " + library + " not found!\n";
  const std::string noApi = "{GrapnelMod} Can't get mod's GetEntityAPI!\n";
  const std::string noGive = "{GrapnelMod} Can't get mod's GiveFnptrsToDll!\n";
  auto closing = [&](const std::string& reason) {
    return "{GrapnelMod} The server cannot run without its game library " + library + " (" + reason +
           "); exiting.\n";
  };
  const std::string noConfig = "{GrapnelMod} Error reading from GP_config.txt!\n{GrapnelMod} Exiting...\n";
  const std::string empty = "{GrapnelMod} GP_config.txt names no game library!\n"
                            "{GrapnelMod} The server cannot run without its game library; exiting.\n";
  const std::string noEntries = "no GetEntityAPI and no GiveFnptrsToDll entry point";
  struct Case {
    const char* what;
    const char* config;   // GP_config.txt, null: none
    const char* game;     // the file installed as the game library; null: none, "": a text file
    int exitCode;
    std::string shown;    // standard output with developer 0
    std::string alerts;   // the alert lines that developer 1 adds after the first line
  };
  const std::string named = name + "\n";
  const Case cases[] = {
      {"no GP_config.txt", nullptr, FAKE_GAMEDLL_PATH, 0, noConfig, ""},
      {"an empty GP_config.txt", " \n\t\n", FAKE_GAMEDLL_PATH, 1, empty, ""},
      {"no such library", named.c_str(), nullptr, 1, loading + closing("no such file"), notFound + noApi + noGive},
      {"not a library", named.c_str(), "", 1, loading + closing(notALibrary), notFound + noApi + noGive},
      {"no GetEntityAPI", named.c_str(), PARTIAL_GAME_WITHOUT_GETENTITYAPI_PATH, 1,
       loading + closing("no GetEntityAPI entry point"), loaded + noApi},
      {"no GiveFnptrsToDll", named.c_str(), PARTIAL_GAME_WITHOUT_GIVEFNPTRSTODLL_PATH, 1,
       loading + closing("no GiveFnptrsToDll entry point"), loaded + noGive},
      {"neither", named.c_str(), PARTIAL_GAME_WITHOUT_BOTH_PATH, 1, loading + closing(noEntries),
       loaded + noApi + noGive},
  };
  for (const Case& c : cases) {
    for (int developer : {0, 1}) {
      SCOPED_TRACE(std::string(c.what) + ", developer " + std::to_string(developer));
      // The first line comes before the alerts; the closing line after them.
      std::string expected = c.shown;
      if (developer) expected.insert(c.shown.find('\n') + 1, c.alerts);
      EXPECT_EXIT(
          {
            dup2(2, 1);
            // Death tests may share the folder: install every piece afresh.
            server.copyIntoMod(GRAPNEL_MM_PATH, kPluginFile);
            std::remove((server.modPath() + "/addons/GrapnelMod/GP_config.txt").c_str());
            if (c.config) server.writeFile("addons/GrapnelMod/GP_config.txt", c.config);
            std::remove((server.modPath() + "/" + gameFile).c_str());
            if (c.game && *c.game) server.copyIntoMod(c.game, gameFile);
            if (c.game && !*c.game) server.writeFile(gameFile, "not a library\n");
            server.setCvar("developer", developer ? "1" : "0");
            server.onAlert = host::printShownAlert;
            server.loadGame(pluginPath());
          },
          ::testing::ExitedWithCode(c.exitCode), Exactly(expected));
    }
  }
}

TEST_F(FailedLoad, OverlongLibraryNameStopsTheServer) {
  EXPECT_EXIT(
      {
        dup2(2, 1);
        loadPlain(std::string(300, 'x') + kLibraryEnding);
      },
      ::testing::ExitedWithCode(1), "too long!\n.*cannot run without its game library");
}

}  // namespace
