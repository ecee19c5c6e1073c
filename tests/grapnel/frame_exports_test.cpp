// The export table of the built library: the 13 entry points, the base-class
// use toggle and the 612 entity link functions, and no other name.
#include <gtest/gtest.h>

#include <stdio.h>

#include <fstream>
#include <set>
#include <string>

#include "os/os.h"

namespace {

std::set<std::string> ExpectedExports() {
  std::set<std::string> names = {
      "Meta_Init",          "GiveFnptrsToDll",         "Meta_Query",          "Meta_Attach",
      "Meta_Detach",        "GetEntityAPI",            "GetEntityAPI2",       "GetEntityAPI_Post",
      "GetEntityAPI2_Post", "GetNewDLLFunctions",      "GetNewDLLFunctions_Post",
      "GetEngineFunctions", "GetEngineFunctions_Post", "_ZN11CBaseEntity17SUB_CallUseToggleEv",
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

std::set<std::string> DefinedDynamicSymbols(const std::string& library) {
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

TEST(FrameExports, TheLibraryExportsExactlyItsNames) {
  std::set<std::string> expected = ExpectedExports();
  ASSERT_EQ(expected.size(), 626u);
  EXPECT_EQ(expected.count("DelayedUse"), 1u);
  EXPECT_EQ(expected.count("kwSpikeProjectile"), 1u);
  EXPECT_EQ(expected.count("monster_ShockTrooper_dead"), 1u);
  EXPECT_EQ(expected.count("adminmod_timer"), 1u);

  std::set<std::string> exported = DefinedDynamicSymbols(GRAPNEL_MM_PATH);
  ASSERT_FALSE(exported.empty()) << "nm found no symbols in " << GRAPNEL_MM_PATH;
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

void RecordUse(FakeEntity* self, FakeEntity* activator, FakeEntity* caller, int useType, float value) {
  g_use = {self, activator, caller, useType, value, g_use.calls + 1};
}
void Untouched() { ADD_FAILURE() << "a virtual function other than Use was called"; }

TEST(FrameExports, CallUseToggleUsesTheEntityOnItself) {
  os::Library lib = os::loadLibrary(GRAPNEL_MM_PATH);
  ASSERT_NE(lib, nullptr);
  auto toggle = reinterpret_cast<void (*)(FakeEntity*)>(os::findSymbol(lib, "_ZN11CBaseEntity17SUB_CallUseToggleEv"));
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
