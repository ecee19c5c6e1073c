// The plugin's jump rules and the switch between its movement and the game's.
#include <algorithm>

#include "movement_fixture.h"

namespace movetest {
namespace {

constexpr float kJump = 268.328157f;      // sqrt(72000)
constexpr float kLongJump = 299.332591f;  // sqrt(89600)

// Upward speed the jump gave: one whole frame of gravity ran after it.
float launchSpeed(const playermove_t& pm) { return pm.velocity.z + kGravity * kFrame; }

class MovementJumpTest : public MovementTest {
 protected:
  void jumpOnce(int extraButtons = 0) {
    standAt({0, 0, 0});
    pmv->setButtons(IN_JUMP | extraButtons);
    pmv->move(1);
  }
};

#ifndef MOVEMENT_DIRECT
TEST_F(MovementJumpTest, GameMovementRunsWithDefaultsAndWithHighJumpAbility) {
  struct Case {
    const char* longjump;
    const char* bunnyjump;
    const char* jumpability;
    bool plugin;
  } cases[] = {
      {"0", "0", "1", false}, {"0", "0", "2", false}, {"0", "0", "0.5", true},
      {"1", "0", "1", true},  {"0", "1", "1", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.longjump) + " " + c.bunnyjump + " " + c.jumpability);
    sv->setCvar("rix_longjump", c.longjump);
    sv->setCvar("rix_bunnyjump", c.bunnyjump);
    sv->setCvar("rix_jumpability", c.jumpability);
    sv->game().clearRecords();
    pmv->setVelocity({0, 0, 0});
    jumpOnce();
    bool gameMoved = sv->game().calls("pfnPM_Move") == 1;
    EXPECT_EQ(gameMoved, !c.plugin);
    // The fake game does not move the player; the plugin does.
    if (c.plugin) {
      EXPECT_GT(pmv->pm().velocity.z, 200.0f);
    } else {
      EXPECT_EQ(pmv->pm().velocity.z, 0.0f);
    }
    pmv->pm().oldbuttons = 0;
  }
}
#endif

TEST_F(MovementJumpTest, JumpAbilityScalesTheJumpOnlyWithTheAltButton) {
  pmv->setPhysicsKey("ja", "0.500000");
  jumpOnce(IN_ALT1);
  EXPECT_NEAR(launchSpeed(pmv->pm()), 0.5f * kJump, 0.05f);  // about 134.2
  // The low jump leaves the ground and comes down again.
  EXPECT_FALSE(pmv->onGround());
  float top = 0;
  ASSERT_TRUE(pmv->moveUntil(
      [&](const playermove_t& pm) {
        top = std::max(top, pm.origin.z);
        return pm.onground != -1;
      },
      100));
  EXPECT_NEAR(top - 36.0f, 134.16f * 134.16f / (2 * kGravity), 1.5f);

  pmv->pm().oldbuttons = 0;
  pmv->setVelocity({0, 0, 0});
  jumpOnce();
  EXPECT_NEAR(launchSpeed(pmv->pm()), kJump, 0.05f);  // about 268.3
}

TEST_F(MovementJumpTest, HeldJumpDoesNotRepeatUntilReleased) {
  jumpOnce();
  // Falls back down with the button still held: no second jump on landing.
  ASSERT_TRUE(pmv->moveUntil([](const playermove_t& pm) { return pm.onground != -1; }, 200));
  pmv->move(5);
  EXPECT_TRUE(pmv->onGround());
  pmv->setButtons(0);
  pmv->move(1);
  pmv->setButtons(IN_JUMP);
  pmv->move(1);
  EXPECT_FALSE(pmv->onGround());
}

TEST_F(MovementJumpTest, BunnyJumpKeepsLandingSpeedElseItIsCut) {
  for (const char* bj : {"1", "0"}) {
    SCOPED_TRACE(bj);
    pmv->setPhysicsKey("bj", bj);
    pmv->pm().oldbuttons = 0;
    pmv->setButtons(0);
    pmv->setOrigin({-600, 0, 36 + 20});
    pmv->setVelocity({500, 0, 0});
    pmv->pm().onground = -1;
    ASSERT_TRUE(pmv->moveUntil([](const playermove_t& pm) { return pm.onground != -1; }, 100));
    ASSERT_NEAR(hspeed(), 500.0f, 0.01f);
    pmv->setButtons(IN_JUMP);
    pmv->move(1);
    EXPECT_FALSE(pmv->onGround());
    if (bj[0] == '1') {
      EXPECT_NEAR(hspeed(), 500.0f, 0.01f);
    } else {
      EXPECT_NEAR(hspeed(), 0.65f * 425.0f, 0.1f);  // limit 1.7 x maxspeed 250
    }
  }
}

TEST_F(MovementJumpTest, LongJumpWhileDuckingAlongTheFacing) {
  auto setUpDuckedRun = [&](float yaw) {
    pmv->pm().flags |= FL_DUCKING;
    pmv->pm().usehull = 1;
    pmv->pm().view_ofs.z = 12;
    pmv->pm().flDuckTime = 500;
    pmv->pm().oldbuttons = IN_DUCK;
    pmv->setViewAngles({0, yaw, 0});
    pmv->setOrigin({0, 0, 18});
    pmv->pm().onground = 0;
    float rad = yaw * 3.14159265f / 180.0f;
    pmv->setVelocity({60 * std::cos(rad), 60 * std::sin(rad), 0});
    pmv->setButtons(IN_DUCK | IN_JUMP);
  };

  pmv->setPhysicsKey("slj", "1");
  setUpDuckedRun(90);
  pmv->move(1);
  const playermove_t& pm = pmv->pm();
  EXPECT_NEAR(pm.velocity.x, 0.0f, 0.01f);
  EXPECT_NEAR(pm.velocity.y, 560.0f, 0.01f);
  EXPECT_NEAR(launchSpeed(pm), kLongJump, 0.05f);
  EXPECT_FLOAT_EQ(pm.punchangle.x, -5.0f);

  // Without the key the same jump is an ordinary one.
  pmv->setPhysicsKey("slj", "0");
  setUpDuckedRun(0);
  pmv->pm().punchangle = vec3_t(0, 0, 0);
  pmv->move(1);
  EXPECT_NEAR(pmv->pm().velocity.x, 60.0f, 0.5f);
  EXPECT_NEAR(launchSpeed(pmv->pm()), kJump, 0.05f);
  EXPECT_FLOAT_EQ(pmv->pm().punchangle.x, 0.0f);

  // Too slow for a long jump.
  pmv->setPhysicsKey("slj", "1");
  setUpDuckedRun(0);
  pmv->setVelocity({40, 0, 0});
  pmv->move(1);
  EXPECT_NEAR(launchSpeed(pmv->pm()), kJump, 0.05f);
}

TEST_F(MovementJumpTest, MissingJumpFactorLeavesTheJumpWhole) {
  pmv->setPhysinfo("");
  jumpOnce(IN_ALT1);
  EXPECT_NEAR(launchSpeed(pmv->pm()), kJump, 0.05f);
}

TEST_F(MovementJumpTest, OnGroundFlagFollowsTheGroundAndSinglePlayerFriction) {
  standAt({0, 0, 0});
  pmv->pm().friction = 0.5f;
  pmv->pm().multiplayer = 0;
  pmv->move(1);
  EXPECT_NE(pmv->pm().flags & FL_ONGROUND, 0);
  EXPECT_FLOAT_EQ(pmv->pm().friction, 1.0f);
  pmv->setButtons(IN_JUMP);
  pmv->move(1);
  EXPECT_EQ(pmv->pm().flags & FL_ONGROUND, 0);
}

}  // namespace
}  // namespace movetest
