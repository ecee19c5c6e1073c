// A game session for the movement tests: the simulated server with the fake
// game library and the built rix_mm behind the Metamod driver, a closed room,
// the materials file in the game folder, and a playermove_t whose moves go
// through the driver's pfnPM_Move.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "host.h"
#include "pmove.h"

#ifdef MOVEMENT_DIRECT
#include "movement/movement.h"
#endif

namespace movetest {

using host::Vec3;

// The same file in every session: the plugin reads it once per process.
inline const char* kMaterialsFile =
    "// materials of the test maps\n"
    "m METALFLOOR\n"
    "M MetalPlate\n"
    "/D slashdirt\n"
    "1D digitdirt\n"
    "   D crate\n"
    "G grate\r\n"  // lines saved by a Windows editor end in CR LF
    "V ventilationshaft\n"
    "D dirtfloor\r\n"
    "Dglued\n"
    "T tilefloor";  // the last line has no line break

constexpr float kFrame = 0.01f;     // seconds per command (10 ms)
constexpr float kGravity = 800.0f;

class MovementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sv = std::make_unique<host::Server>();
    sv->writeFile("sound/materials.txt", kMaterialsFile);
#ifndef MOVEMENT_DIRECT
    ASSERT_TRUE(sv->loadGame());
    plugin = &sv->loadPlugin(RIX_MM_PATH);
    ASSERT_TRUE(plugin->loaded);
    sv->startMap();
    // Any jump setting off its default switches the plugin's movement on;
    // the per-player rules come from the physics keys set below.
    sv->setCvar("rix_bunnyjump", "1");
#endif
    floorId = sv->world().addRoom({-1024, -1024, 0}, {1024, 1024, 512});
    pmv = std::make_unique<host::PlayerMove>(*sv);
#ifdef MOVEMENT_DIRECT
    pmv->mover = [](playermove_t* p, int server) { PM_Move(p, server); };
    pmv->initialiser = [](playermove_t* p) { PM_Init(p); };
#endif
    pmv->setPhysinfo("\\slj\\0\\bj\\0\\ja\\1.000000");
    pmv->init();
  }

  // Stands the player with his feet at z (standing hull) and lets him settle.
  void standAt(Vec3 feet) {
    pmv->setOrigin({feet.x, feet.y, feet.z + 36});
    pmv->pm().onground = 0;
  }

  float hspeed() const {
    Vec3 v = pmv->velocity();
    return std::sqrt(v.x * v.x + v.y * v.y);
  }

  std::unique_ptr<host::Server> sv;
  std::unique_ptr<host::PlayerMove> pmv;
  host::Plugin* plugin = nullptr;
  int floorId = 0;
};

}  // namespace movetest
