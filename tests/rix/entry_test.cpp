// Loading rix_mm through Metamod: the information record, the settings and
// the interface checks of the table getters.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "rix_session.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

using rixtest::RixSession;

namespace {

bool contains(const std::vector<std::string>& lines, const std::string& text) {
  return std::find(lines.begin(), lines.end(), text) != lines.end();
}

bool metaLogged(const host::Server& sv, const std::string& kind, const std::string& text) {
  for (auto& l : sv.metaLogs())
    if (l.kind == kind && l.text == text) return true;
  return false;
}

TEST(RixEntry, InformationRecordAllowsLoadingAndUnloadingAtAnyTime) {
  RixSession s;
  const plugin_info_t* info = s.rix->info;
  ASSERT_NE(info, nullptr);
  EXPECT_STREQ(info->ifvers, "5:9");
  EXPECT_STREQ(info->name, "RIX");
  EXPECT_STREQ(info->version, "1.05 ");
  EXPECT_STREQ(info->date, "Jun  4 2003");
  EXPECT_STREQ(info->url, "");
  EXPECT_STREQ(info->logtag, "RIX");
  EXPECT_GT(std::strlen(info->author), 0u);
  EXPECT_EQ(info->loadable, PT_ANYTIME);
  EXPECT_EQ(info->unloadable, PT_ANYTIME);
  EXPECT_EQ(PT_ANYTIME, 3);
  // Only the three getters are handed over.
  EXPECT_NE(s.rix->meta.pfnGetEntityAPI2, nullptr);
  EXPECT_NE(s.rix->meta.pfnGetEngineFunctions, nullptr);
  EXPECT_NE(s.rix->meta.pfnGetEngineFunctions_Post, nullptr);
  EXPECT_EQ(s.rix->meta.pfnGetEntityAPI, nullptr);
  EXPECT_EQ(s.rix->meta.pfnGetEntityAPI_Post, nullptr);
  EXPECT_EQ(s.rix->meta.pfnGetEntityAPI2_Post, nullptr);
  EXPECT_EQ(s.rix->meta.pfnGetNewDLLFunctions, nullptr);
  EXPECT_EQ(s.rix->meta.pfnGetNewDLLFunctions_Post, nullptr);
  EXPECT_TRUE(s.sv.driverErrors().empty());
}

TEST(RixEntry, SettingsAndDefaultsInCounterStrike) {
  RixSession s;
  const std::vector<std::pair<std::string, std::string>> defaults = {
      {"rix_version", "1.05 "},   {"rix_showaddress", "0"}, {"rix_tracer", "0"},
      {"rix_starthealth", "100"}, {"rix_statustext", "0"},  {"rix_noheadshot", "0"},
      {"rix_damageimpact", "0"},  {"rix_longjump", "0"},    {"rix_bunnyjump", "0"},
      {"rix_jumpability", "1"},   {"rix_flashtime", "1"},   {"rix_smokeradius", "0"},
      {"rix_smokegasp", "0"}};
  for (auto& [name, value] : defaults) {
    ASSERT_NE(s.sv.cvar(name), nullptr) << name;
    EXPECT_EQ(s.sv.cvarString(name), value) << name;
  }
  EXPECT_EQ(s.sv.cvar("rix_version")->flags & FCVAR_SERVER, FCVAR_SERVER);
  EXPECT_EQ(s.sv.cvar("rix_tracer")->flags, 0);
}

TEST(RixEntry, NoSmokeSettingsOrHostagePrecachesOutsideCounterStrike) {
  // The game directory must be exactly "cstrike".
  RixSession s(rixtest::optionsFor("CStrike"));
  EXPECT_NE(s.sv.cvar("rix_flashtime"), nullptr);
  EXPECT_EQ(s.sv.cvar("rix_smokeradius"), nullptr);
  EXPECT_EQ(s.sv.cvar("rix_smokegasp"), nullptr);
  s.startMap();
  EXPECT_NE(s.sv.modelIndex("models/office_gibs.mdl"), 0);
  EXPECT_EQ(s.sv.modelIndex("models/hostage.mdl"), 0);
  EXPECT_EQ(s.sv.soundIndex("player/gasp1.wav"), 0);
}

TEST(RixEntry, WorldSpawnPrecachesInOrder) {
  RixSession s;
  s.startMap();
  const char* models[] = {"models/w_oxygen.mdl", "models/w_medkit.mdl", "models/can.mdl",
                          "sprites/laserbeam.spr", "models/office_gibs.mdl",
                          "models/scientist.mdl", "models/hostage.mdl"};
  int last = 0;
  for (const char* m : models) {
    int index = s.sv.modelIndex(m);
    EXPECT_GT(index, last) << m;
    last = index;
  }
  for (const char* snd : {"fvox/bell.wav", "hostage/hos1.wav", "hostage/hos5.wav",
                          "player/gasp1.wav", "player/gasp2.wav"})
    EXPECT_NE(s.sv.soundIndex(snd), 0) << snd;
}

TEST(RixEntry, GameTableVersionMismatchIsLoggedAndCorrected) {
  RixSession s;
  int version = 139;
  EXPECT_EQ(s.sv.callGetter(*s.rix, "GetEntityAPI2", &version), 0);
  EXPECT_EQ(version, 140);
  EXPECT_TRUE(contains(s.sv.alertTexts(at_logged),
                       "GetEntityAPI2 version mismatch; requested=139 ours=140"));
  version = 140;
  EXPECT_EQ(s.sv.callGetter(*s.rix, "GetEntityAPI2", &version), 1);
}

TEST(RixEntry, EngineTableVersionMismatchIsLoggedAndCorrected) {
  RixSession s;
  for (const char* getter : {"GetEngineFunctions", "GetEngineFunctions_Post"}) {
    s.sv.clearRecords();
    int version = 137;
    EXPECT_EQ(s.sv.callGetter(*s.rix, getter, &version), 0) << getter;
    EXPECT_EQ(version, 138);
    EXPECT_TRUE(metaLogged(s.sv, "developer", "called: GetEngineFunctions; version=137"));
    EXPECT_TRUE(metaLogged(s.sv, "error", "GetEngineFunctions version mismatch; requested=137 ours=138"));
  }
}

TEST(RixEntry, NullTablesAreRefused) {
  RixSession s;
  auto api2 = reinterpret_cast<GETENTITYAPI2_FN>(os::findSymbol(s.rix->library, "GetEntityAPI2"));
  auto eng = reinterpret_cast<GET_ENGINE_FUNCTIONS_FN>(os::findSymbol(s.rix->library, "GetEngineFunctions"));
  auto attach = reinterpret_cast<META_ATTACH_FN>(os::findSymbol(s.rix->library, "Meta_Attach"));
  ASSERT_TRUE(api2 && eng && attach);
  int version = 140;
  EXPECT_EQ(api2(nullptr, &version), 0);
  EXPECT_TRUE(contains(s.sv.alertTexts(at_logged), "GetEntityAPI2 called with null pFunctionTable"));
  version = 138;
  EXPECT_EQ(eng(nullptr, &version), 0);
  EXPECT_TRUE(metaLogged(s.sv, "error", "GetEngineFunctions called with null pengfuncsFromEngine"));
  META_FUNCTIONS table{};
  EXPECT_EQ(attach(PT_ANYTIME, &table, nullptr, nullptr), 0);
  EXPECT_TRUE(metaLogged(s.sv, "error", "Meta_Attach called with null pMGlobals"));
  EXPECT_EQ(attach(PT_ANYTIME, nullptr, s.sv.metaGlobals(), nullptr), 0);
  EXPECT_TRUE(metaLogged(s.sv, "error", "Meta_Attach called with null pFunctionTable"));
}

// Host tables of exactly 143 engine entries, followed by guard values up to
// the full table: the plugin keeps the 143 entries and writes its hook tables
// into no more than 143. With AddressSanitizer the guards cannot even be
// read while the plugin has the table.
TEST(RixEntry, EngineTablesEndAfter143Entries) {
  using Slot = void (*)();
  constexpr size_t kEntries = 143;
  constexpr size_t kSlots = sizeof(enginefuncs_t) / sizeof(Slot);
  const Slot guard = reinterpret_cast<Slot>(uintptr_t{0x5a5a5a5a});
  auto tableWithGuards = [&](const enginefuncs_t* entries) {
    std::vector<Slot> t(kSlots, guard);
    std::memcpy(t.data(), entries, kEntries * sizeof(Slot));
    return t;
  };
  auto guarded = [&](std::vector<Slot>& t, bool on) {
#if defined(__SANITIZE_ADDRESS__)
    if (on) ASAN_POISON_MEMORY_REGION(t.data() + kEntries, (kSlots - kEntries) * sizeof(Slot));
    else ASAN_UNPOISON_MEMORY_REGION(t.data() + kEntries, (kSlots - kEntries) * sizeof(Slot));
#else
    (void)t;
    (void)on;
#endif
  };
  auto guardsIntact = [&](const std::vector<Slot>& t) {
    return std::all_of(t.begin() + kEntries, t.end(), [&](Slot p) { return p == guard; });
  };
  auto slotOf = [](size_t offset) { return offset / sizeof(Slot); };

  RixSession s;
  auto give = reinterpret_cast<GIVE_ENGINE_FUNCTIONS_FN>(
      os::findSymbol(s.rix->library, "GiveFnptrsToDll"));
  ASSERT_NE(give, nullptr);
  std::vector<Slot> engine = tableWithGuards(s.sv.engineTable());
  guarded(engine, true);
  give(reinterpret_cast<enginefuncs_t*>(engine.data()), s.sv.globals());
  guarded(engine, false);
  EXPECT_TRUE(guardsIntact(engine));
  // The kept entries still reach the engine.
  s.startMap();
  EXPECT_NE(s.sv.modelIndex("models/w_medkit.mdl"), 0);

  // Metamod's tables arrive with old contents: all 143 entries are written.
  const Slot stale = reinterpret_cast<Slot>(uintptr_t{0xa5a5a5a5});
  enginefuncs_t old;
  std::fill_n(reinterpret_cast<Slot*>(&old), kSlots, stale);
  for (const char* getter : {"GetEngineFunctions", "GetEngineFunctions_Post"}) {
    SCOPED_TRACE(getter);
    std::vector<Slot> hooks = tableWithGuards(&old);
    int version = ENGINE_INTERFACE_VERSION;
    auto get = reinterpret_cast<GET_ENGINE_FUNCTIONS_FN>(os::findSymbol(s.rix->library, getter));
    ASSERT_NE(get, nullptr);
    guarded(hooks, true);
    EXPECT_EQ(get(reinterpret_cast<enginefuncs_t*>(hooks.data()), &version), 1);
    guarded(hooks, false);
    EXPECT_TRUE(guardsIntact(hooks));
    for (size_t i = 0; i < kEntries; ++i) EXPECT_NE(hooks[i], stale) << "entry " << i << " not written";
    const size_t hooked = std::string(getter) == "GetEngineFunctions"
                              ? slotOf(offsetof(enginefuncs_t, pfnTraceLine))
                              : slotOf(offsetof(enginefuncs_t, pfnMessageEnd));
    EXPECT_NE(hooks[hooked], nullptr);
    EXPECT_EQ(hooks[slotOf(offsetof(enginefuncs_t, pfnPrecacheModel))], nullptr);
  }
}

// 143 table entries that end where a readable page ends: reading or writing
// past the last one faults, in every build.
class PageEndTable {
 public:
  using Slot = void (*)();
  static constexpr size_t kEntries = 143;

  PageEndTable() {
#ifdef _WIN32
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    page_ = info.dwPageSize;
    base_ = static_cast<char*>(VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD was = 0;
    if (base_ && !VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &was)) base_ = nullptr;
#else
    page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* p = mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base_ = p == MAP_FAILED ? nullptr : static_cast<char*>(p);
    if (base_ && mprotect(base_ + page_, page_, PROT_NONE) != 0) base_ = nullptr;
#endif
  }
  ~PageEndTable() {
#ifdef _WIN32
    if (base_) VirtualFree(base_, 0, MEM_RELEASE);
#else
    if (base_) munmap(base_, 2 * page_);
#endif
  }
  PageEndTable(const PageEndTable&) = delete;
  PageEndTable& operator=(const PageEndTable&) = delete;

  bool ready() const { return base_ != nullptr; }
  Slot* entries() { return reinterpret_cast<Slot*>(base_ + page_) - kEntries; }
  enginefuncs_t* table() { return reinterpret_cast<enginefuncs_t*>(entries()); }

 private:
  size_t page_ = 0;
  char* base_ = nullptr;
};

// The same limit without the sanitizers: a plugin that read or wrote a slot
// past the 143rd would die of the fault, not exit with "tables kept".
TEST(RixEntryDeathTest, EngineTablesEndingAtAnUnreadablePage) {
  RixSession s;
  auto give = reinterpret_cast<GIVE_ENGINE_FUNCTIONS_FN>(
      os::findSymbol(s.rix->library, "GiveFnptrsToDll"));
  ASSERT_NE(give, nullptr);
  EXPECT_EXIT(
      {
        PageEndTable engine;
        if (!engine.ready()) std::exit(2);
        std::memcpy(engine.entries(), s.sv.engineTable(), PageEndTable::kEntries * sizeof(PageEndTable::Slot));
        give(engine.table(), s.sv.globals());
        for (const char* getter : {"GetEngineFunctions", "GetEngineFunctions_Post"}) {
          PageEndTable hooks;
          int version = ENGINE_INTERFACE_VERSION;
          auto get = reinterpret_cast<GET_ENGINE_FUNCTIONS_FN>(os::findSymbol(s.rix->library, getter));
          if (!hooks.ready() || !get || get(hooks.table(), &version) != 1) std::exit(3);
        }
        std::fprintf(stderr, "tables kept\n");
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "tables kept");
}

TEST(RixEntry, AnyMetamodInterfaceVersionIsAccepted) {
  host::Server sv;
  ASSERT_TRUE(sv.loadGame());
  host::PluginOptions po;
  po.ifvers = "1:0";
  EXPECT_TRUE(sv.loadPlugin(RIX_MM_PATH, po).loaded);
}

TEST(RixEntry, DetachThenAttachRegistersTheSettingsAgain) {
  RixSession s;
  auto detach = reinterpret_cast<META_DETACH_FN>(os::findSymbol(s.rix->library, "Meta_Detach"));
  auto attach = reinterpret_cast<META_ATTACH_FN>(os::findSymbol(s.rix->library, "Meta_Attach"));
  ASSERT_TRUE(detach && attach);
  int registrations = s.sv.engineCalls("pfnCVarRegister");
  EXPECT_EQ(detach(PT_ANYTIME, PNL_COMMAND), 1);
  META_FUNCTIONS table{};
  gamedll_funcs_t game{&s.sv.gameDll, nullptr};
  EXPECT_EQ(attach(PT_ANYTIME, &table, s.sv.metaGlobals(), &game), 1);
  EXPECT_EQ(s.sv.engineCalls("pfnCVarRegister") - registrations, 13);
  EXPECT_NE(table.pfnGetEntityAPI2, nullptr);
  EXPECT_NE(s.sv.cvar("rix_starthealth"), nullptr);
}

// The member routine is exported under the name the platform's game
// compiler gives it: MSVC's decoration on Windows, GNU's on Linux. Member
// routines take the object in ECX on 32-bit Windows (thiscall, the callee
// pops its arguments); elsewhere the object is the first argument.
#ifdef _WIN32
const char kUseToggle[] = "?SUB_CallUseToggle@CBaseEntity@@QAEXXZ";
#define MEMBER_CALL __attribute__((thiscall))
#else
const char kUseToggle[] = "_ZN11CBaseEntity17SUB_CallUseToggleEv";
#define MEMBER_CALL
#endif

// The exported member routine calls the entity's own Use (virtual table
// entry 45) with the entity as activator and caller, USE_TOGGLE and 0.
struct UseCall {
  void* self = nullptr;
  void* activator = nullptr;
  void* caller = nullptr;
  int type = -1;
  float value = -1;
  int calls = 0;
} lastUse;

MEMBER_CALL void recordUse(void* self, void* activator, void* caller, int type, float value) {
  lastUse = {self, activator, caller, type, value, lastUse.calls + 1};
}

TEST(RixEntry, SubCallUseToggleCallsTheEntitysUse) {
  RixSession s;
  auto toggle = reinterpret_cast<void(MEMBER_CALL*)(void*)>(os::findSymbol(s.rix->library, kUseToggle));
  ASSERT_NE(toggle, nullptr);
  void* vtable[46] = {};
  vtable[45] = reinterpret_cast<void*>(&recordUse);
  struct { void** vptr; } entity = {vtable};
  toggle(&entity);
  EXPECT_EQ(lastUse.calls, 1);
  EXPECT_EQ(lastUse.self, &entity);
  EXPECT_EQ(lastUse.activator, &entity);
  EXPECT_EQ(lastUse.caller, &entity);
  EXPECT_EQ(lastUse.type, USE_TOGGLE);
  EXPECT_EQ(lastUse.value, 0.0f);
}

TEST(RixEntry, DefaultJumpSettingsLeaveTheGamesMovement) {
  RixSession s;
  s.startMap();
  auto pm = std::make_unique<playermove_t>();
  std::memset(pm.get(), 0, sizeof(playermove_t));
  s.sv.game().clearRecords();
  s.sv.callGame(&DLL_FUNCTIONS::pfnPM_Move, pm.get(), 1);
  EXPECT_EQ(s.sv.game().calls("pfnPM_Move"), 1);
  EXPECT_TRUE(s.sv.driverErrors().empty());
}

}  // namespace
