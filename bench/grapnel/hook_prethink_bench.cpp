// Cost of the hook's per-frame step, Hook_PreThink behind the plugin's
// pfnPlayerPreThink wrapper: for a player without a hook, and for a player
// being pulled. A private copy of the built plugin runs against a minimal
// engine of plain arrays, so the figures are the plugin's own work and not
// the simulated server's bookkeeping. Prints the instructions of one call.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "hl/hl.h"
#include "instruction_count.h"
#include "metamod/metamod.h"

namespace {

constexpr long kIdleLimit = 100;
constexpr long kPullLimit = 600;
constexpr int kEdicts = 64;

// --- a minimal engine ---------------------------------------------------------
edict_t g_edicts[kEdicts];
int g_used = 2;  // world and one player
char g_pool[1 << 16];
size_t g_poolUsed = 1;
globalvars_t g_globals;
cvar_t* g_cvars[64];
int g_cvarCount = 0;
cvar_t g_gravity = {const_cast<char*>("sv_gravity"), const_cast<char*>("800"), 0, 800.0f, nullptr};
const char* g_argv[2] = {"", ""};
int g_argc = 0;

int AllocString(const char* s) {
  size_t n = strlen(s) + 1;
  memcpy(g_pool + g_poolUsed, s, n);
  int off = static_cast<int>(g_poolUsed);
  g_poolUsed += n;
  return off;
}
cvar_t* FindCvar(const char* name) {
  if (strcmp(name, "sv_gravity") == 0) return &g_gravity;
  for (int i = 0; i < g_cvarCount; ++i)
    if (strcmp(g_cvars[i]->name, name) == 0) return g_cvars[i];
  return nullptr;
}
void CvarRegister(cvar_t* c) {
  c->value = static_cast<float>(atof(c->string));
  g_cvars[g_cvarCount++] = c;
}
float CvarFloat(const char* n) {
  cvar_t* c = FindCvar(n);
  return c ? c->value : 0.0f;
}
const char* CvarString(const char* n) {
  cvar_t* c = FindCvar(n);
  return c ? c->string : "";
}
cvar_t* CvarPointer(const char* n) { return FindCvar(n); }
int IndexOf(const edict_t* e) { return static_cast<int>(e - g_edicts); }
edict_t* EntOfIndex(int i) { return i >= 0 && i < kEdicts ? &g_edicts[i] : nullptr; }
int OffsetOf(const edict_t* e) { return static_cast<int>(reinterpret_cast<const char*>(e) - reinterpret_cast<const char*>(g_edicts)); }
edict_t* CreateNamed(int cls) {
  edict_t* e = &g_edicts[g_used++ % kEdicts];
  memset(static_cast<void*>(e), 0, sizeof(*e));
  e->v.classname = cls;
  e->v.pContainingEntity = e;
  return e;
}
int Precache(char*) { return 1; }
void SetModel(edict_t* e, const char* m) { e->v.model = AllocString(m); }
void SetSize(edict_t* e, const float* a, const float* b) {
  e->v.mins = vec3_t::from(a);
  e->v.maxs = vec3_t::from(b);
}
void SetOrigin(edict_t* e, const float* o) { e->v.origin = vec3_t::from(o); }
void MakeVectors(const float*) { g_globals.v_forward = vec3_t(0, 0, 1); }
void TraceLine(const float*, const float* b, int, edict_t*, TraceResult* tr) {
  tr->flFraction = 1.0f;
  tr->vecEndPos = vec3_t::from(b);
  tr->pHit = nullptr;
}
void EmitSound(edict_t*, int, const char*, float, float, int, int) {}
int PointContents(const float*) { return CONTENTS_EMPTY; }
void MessageBegin(int, int, const float*, edict_t*) {}
void MessageEnd() {}
void WriteInt(int) {}
void WriteFloat(float) {}
void WriteString(const char*) {}
int RegUserMsg(const char*, int) { return 70; }
void ClientPrintf(edict_t*, PRINT_TYPE, const char*) {}
const char* Argv(int i) { return i < 2 ? g_argv[i] : ""; }
int Argc() { return g_argc; }
char g_info[] = "\\model\\gign";
char* InfoBuffer(edict_t*) { return g_info; }
char* InfoValue(char*, char* key) { return const_cast<char*>(strcmp(key, "model") == 0 ? "gign" : ""); }
void Alert(ALERT_TYPE, char*, ...) {}
void GameDir(char* out) { strcpy(out, "/srv/hlds/cstrike"); }
void Log(plid_t, const char*, ...) {}
int GameSpawn(edict_t*) { return 0; }

enginefuncs_t MakeEngine() {
  enginefuncs_t t;
  memset(&t, 0, sizeof(t));
  t.pfnPrecacheModel = Precache;
  t.pfnPrecacheSound = Precache;
  t.pfnSetModel = SetModel;
  t.pfnSetSize = SetSize;
  t.pfnSetOrigin = SetOrigin;
  t.pfnMakeVectors = MakeVectors;
  t.pfnTraceLine = TraceLine;
  t.pfnEmitSound = EmitSound;
  t.pfnPointContents = PointContents;
  t.pfnMessageBegin = MessageBegin;
  t.pfnMessageEnd = MessageEnd;
  t.pfnWriteByte = WriteInt;
  t.pfnWriteCoord = WriteFloat;
  t.pfnWriteString = WriteString;
  t.pfnCVarRegister = CvarRegister;
  t.pfnCVarGetFloat = CvarFloat;
  t.pfnCVarGetString = CvarString;
  t.pfnCVarGetPointer = CvarPointer;
  t.pfnAlertMessage = Alert;
  t.pfnAllocString = AllocString;
  t.pfnEntOffsetOfPEntity = OffsetOf;
  t.pfnIndexOfEdict = IndexOf;
  t.pfnPEntityOfEntIndex = EntOfIndex;
  t.pfnCreateNamedEntity = CreateNamed;
  t.pfnRegUserMsg = RegUserMsg;
  t.pfnClientPrintf = ClientPrintf;
  t.pfnCmd_Argv = Argv;
  t.pfnCmd_Argc = Argc;
  t.pfnGetInfoKeyBuffer = InfoBuffer;
  t.pfnInfoKeyValue = InfoValue;
  t.pfnGetGameDir = GameDir;
  return t;
}

// --- the plugin, loaded as Metamod loads it ------------------------------------
struct Plugin {
  DLL_FUNCTIONS dll{};
  bool ok = false;
};

template <typename T>
T Sym(void* lib, const char* name) {
  return reinterpret_cast<T>(dlsym(lib, name));
}

Plugin& Load() {
  static Plugin p;
  static bool done = false;
  if (done) return p;
  done = true;
  // A private copy, so this instance's globals are not shared with the
  // copy the simulated server of the other benchmarks loads.
  char path[] = "/tmp/hook_bench_XXXXXX.so";
  int fd = mkstemps(path, 3);
  FILE* in = fopen(GRAPNEL_MM_PATH, "rb");
  if (fd < 0 || !in) return p;
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, in)) > 0)
    if (write(fd, buf, n) != static_cast<ssize_t>(n)) break;
  fclose(in);
  close(fd);
  void* lib = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  unlink(path);
  if (!lib) return p;

  static enginefuncs_t engine = MakeEngine();
  static mutil_funcs_t util;
  memset(&util, 0, sizeof(util));
  util.pfnLogError = Log;
  util.pfnLogDeveloper = Log;
  util.pfnLogConsole = Log;
  util.pfnLogMessage = Log;
  static meta_globals_t metaGlobals;
  static DLL_FUNCTIONS game;
  memset(&game, 0, sizeof(game));
  game.pfnSpawn = GameSpawn;
  static gamedll_funcs_t gamedll = {&game, nullptr};
  g_globals.pStringBase = g_pool;
  g_globals.maxClients = 1;
  g_globals.maxEntities = kEdicts;
  g_globals.time = 10.0f;
  for (int i = 0; i < kEdicts; ++i) g_edicts[i].v.pContainingEntity = &g_edicts[i];

  Sym<void (*)()>(lib, "Meta_Init")();
  Sym<void (*)(enginefuncs_t*, globalvars_t*)>(lib, "GiveFnptrsToDll")(&engine, &g_globals);
  plugin_info_t* info = nullptr;
  Sym<int (*)(const char*, plugin_info_t**, mutil_funcs_t*)>(lib, "Meta_Query")("5:13", &info, &util);
  META_FUNCTIONS meta{};
  Sym<int (*)(PLUG_LOADTIME, META_FUNCTIONS*, meta_globals_t*, gamedll_funcs_t*)>(lib, "Meta_Attach")(
      PT_STARTUP, &meta, &metaGlobals, &gamedll);
  int version = INTERFACE_VERSION;
  if (!meta.pfnGetEntityAPI2 || !meta.pfnGetEntityAPI2(&p.dll, &version)) return p;

  edict_t* world = &g_edicts[0];
  edict_t* player = &g_edicts[1];
  world->v.classname = AllocString("worldspawn");
  world->v.solid = SOLID_BSP;
  p.dll.pfnGameInit();
  p.dll.pfnSpawn(world);
  player->v.classname = AllocString("player");
  player->v.netname = AllocString("Bench");
  player->v.health = 100;
  player->v.movetype = MOVETYPE_WALK;
  player->v.maxspeed = 250;
  player->v.origin = vec3_t(0, 0, 36);
  char reject[128];
  p.dll.pfnClientConnect(player, "Bench", "127.0.0.1", reject);
  p.ok = true;
  return p;
}

edict_t* Player() { return &g_edicts[1]; }

// Fires and attaches the player's hook to the world above him.
void Attach(Plugin& p) {
  g_argv[0] = "+hook";
  g_argc = 1;
  g_globals.time += 1.0f;
  int hookIndex = g_used;
  p.dll.pfnClientCommand(Player());
  edict_t* hook = &g_edicts[hookIndex];
  hook->v.origin = vec3_t(0, 0, 400);
  p.dll.pfnTouch(&g_edicts[0], hook);
}

void Report(benchmark::State& state, long instructions, long limit, const char* what) {
  state.counters["instructions"] = static_cast<double>(instructions);
#if GRAPNEL_BENCH_SANITIZED
  (void)limit;
  (void)what;
  state.SetLabel("sanitized build: instruction figure includes the sanitizer's checks");
#else
  if (instructions < 0)
    state.SkipWithError("process cannot be traced; instructions not counted");
  else if (instructions > limit)
    state.SkipWithError(what);
#endif
}

void BM_HookPreThinkIdle(benchmark::State& state) {
  Plugin& p = Load();
  if (!p.ok) {
    state.SkipWithError("plugin did not load");
    return;
  }
  auto preThink = p.dll.pfnPlayerPreThink;
  static const long instructions = [&] {
    long n = bench_grapnel::CountInstructions(reinterpret_cast<const void*>(preThink), [&] { preThink(Player()); });
    printf("Hook_PreThink, player without a hook: %ld machine instructions per call (limit %ld)\n", n, kIdleLimit);
    return n;
  }();
  for (auto _ : state) {
    preThink(Player());
    benchmark::ClobberMemory();
  }
  Report(state, instructions, kIdleLimit, "Hook_PreThink without a hook executes more than 100 instructions");
}
BENCHMARK(BM_HookPreThinkIdle);

void BM_HookPullStep(benchmark::State& state) {
  Plugin& p = Load();
  if (!p.ok) {
    state.SkipWithError("plugin did not load");
    return;
  }
  Attach(p);
  auto preThink = p.dll.pfnPlayerPreThink;
  preThink(Player());
  static const long instructions = [&] {
    long n = bench_grapnel::CountInstructions(reinterpret_cast<const void*>(preThink), [&] { preThink(Player()); });
    printf("Hook_PreThink, pull step: %ld machine instructions per call (limit %ld)\n", n, kPullLimit);
    return n;
  }();
  float speed = Player()->v.velocity.length();
  for (auto _ : state) {
    Player()->v.origin = vec3_t(0, 0, 36);
    preThink(Player());
    benchmark::ClobberMemory();
  }
  if (speed < 374.0f || speed > 376.0f) state.SkipWithError("the pull did not run");
  Report(state, instructions, kPullLimit, "a pull step executes more than 600 instructions");
}
BENCHMARK(BM_HookPullStep);

}  // namespace
