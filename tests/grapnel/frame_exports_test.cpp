// The export table of the built library: the 14 entry points, the base-class
// use toggle and the 612 entity link functions, and no other name.
#include <gtest/gtest.h>

#include <stdio.h>

#include <fstream>
#include <set>
#include <string>

#include "os/os.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The base-class use toggle is a member routine, exported under the name the
// platform's game compiler gives it: MSVC's decoration on Windows, GNU's on
// Linux. Member routines take the object in ECX on 32-bit Windows (thiscall,
// the callee pops its arguments); elsewhere the object is the first argument.
#ifdef _WIN32
const char kUseToggle[] = "?SUB_CallUseToggle@CBaseEntity@@QAEXXZ";
#define MEMBER_CALL __attribute__((thiscall))
#else
const char kUseToggle[] = "_ZN11CBaseEntity17SUB_CallUseToggleEv";
#define MEMBER_CALL
#endif

std::set<std::string> ExpectedExports() {
  std::set<std::string> names = {
      "Meta_Init",          "GiveFnptrsToDll",         "Meta_Query",          "Meta_Attach",
      "Meta_Detach",        "GetEntityAPI",            "GetEntityAPI2",       "GetEntityAPI_Post",
      "GetEntityAPI2_Post", "GetNewDLLFunctions",      "GetNewDLLFunctions_Post",
      "GetEngineFunctions", "GetEngineFunctions_Post", "Server_GetBlendingInterface", kUseToggle,
  };
  std::ifstream list(GRAPNEL_ENTITY_LIST);
  const std::string head = "GRAPNEL_ENTITY(";
  std::string line;
  while (std::getline(list, line)) {
    if (line.rfind(head, 0) != 0) continue;
    size_t close = line.find(')');
    if (close != std::string::npos) names.insert(line.substr(head.size(), close - head.size()));
  }
  return names;
}

#ifdef _WIN32
// The names of the DLL's export directory, read from the loaded image as the
// engine's loader sees them.
std::set<std::string> ExportedNames(const std::string& library) {
  std::set<std::string> names;
  HMODULE module = LoadLibraryExA(library.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (!module) return names;
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (dir.VirtualAddress && dir.Size) {
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
      names.insert(reinterpret_cast<const char*>(base + nameRvas[i]));
  }
  FreeLibrary(module);
  return names;
}
#else
// The defined dynamic symbols, as nm lists them.
std::set<std::string> ExportedNames(const std::string& library) {
  std::set<std::string> names;
  std::string command = "nm -D --defined-only '" + library + "' 2>/dev/null";
  FILE* nm = popen(command.c_str(), "r");
  if (!nm) return names;
  char line[1024];
  while (fgets(line, sizeof(line), nm)) {
    char address[64], type[8], name[900];
    if (sscanf(line, "%63s %7s %899s", address, type, name) == 3) names.insert(name);
  }
  pclose(nm);
  return names;
}
#endif

TEST(FrameExports, TheLibraryExportsExactlyItsNames) {
  std::set<std::string> expected = ExpectedExports();
  ASSERT_EQ(expected.size(), 627u);
  EXPECT_EQ(expected.count("DelayedUse"), 1u);
  EXPECT_EQ(expected.count("kwSpikeProjectile"), 1u);
  EXPECT_EQ(expected.count("monster_ShockTrooper_dead"), 1u);
  EXPECT_EQ(expected.count("adminmod_timer"), 1u);

  std::set<std::string> exported = ExportedNames(GRAPNEL_MM_PATH);
  ASSERT_FALSE(exported.empty()) << "no exports found in " << GRAPNEL_MM_PATH;
  EXPECT_EQ(exported, expected);

  // Every one is found by name, as the engine finds them.
  os::Library lib = os::loadLibrary(GRAPNEL_MM_PATH);
  ASSERT_NE(lib, nullptr);
  for (const std::string& name : expected) EXPECT_NE(os::findSymbol(lib, name.c_str()), nullptr) << name;
  EXPECT_EQ(os::findSymbol(lib, "weapon_not_a_class"), nullptr);
  os::freeLibrary(lib);
}

// A stand-in for a game entity: a virtual table whose position 45 is Use.
struct FakeEntity;
struct UseCall {
  FakeEntity* self;
  FakeEntity* activator;
  FakeEntity* caller;
  int useType;
  float value;
  int calls;
};
UseCall g_use;
void (*g_vtable[46])();

struct FakeEntity {
  void (**vtable)();
};

MEMBER_CALL void RecordUse(FakeEntity* self, FakeEntity* activator, FakeEntity* caller, int useType, float value) {
  g_use = {self, activator, caller, useType, value, g_use.calls + 1};
}
void Untouched() { ADD_FAILURE() << "a virtual function other than Use was called"; }

TEST(FrameExports, CallUseToggleUsesTheEntityOnItself) {
  os::Library lib = os::loadLibrary(GRAPNEL_MM_PATH);
  ASSERT_NE(lib, nullptr);
  using Toggle = void(MEMBER_CALL*)(FakeEntity*);
  auto toggle = reinterpret_cast<Toggle>(os::findSymbol(lib, kUseToggle));
  ASSERT_NE(toggle, nullptr);
  for (auto& slot : g_vtable) slot = Untouched;
  g_vtable[45] = reinterpret_cast<void (*)()>(RecordUse);
  FakeEntity entity{g_vtable};
  g_use = {};
  toggle(&entity);
  EXPECT_EQ(g_use.calls, 1);
  EXPECT_EQ(g_use.self, &entity);
  EXPECT_EQ(g_use.activator, &entity);
  EXPECT_EQ(g_use.caller, &entity);
  EXPECT_EQ(g_use.useType, 3);  // USE_TOGGLE
  EXPECT_EQ(g_use.value, 0.0f);
  os::freeLibrary(lib);
}

}  // namespace
