// The plugin's movement on the shapes of real maps: ramps, stairs, a ledge,
// acute corners and creases, and a player caught inside a floor or a wall.
// Expected figures come from the geometry and the classic movement rules:
// gravity 800, jump 268.3 units/s, maxspeed 250, 10 ms commands, the
// ground check 2 units deep, no ground below 0.7 of a floor's normal.
#include <algorithm>
#include <cmath>

#include "movement_fixture.h"

namespace movetest {
namespace {

using host::Uphill;

constexpr float kPi = 3.14159265f;
constexpr float kStand = 36.0f;  // origin above the feet, standing hull

class MovementSlopesTest : public MovementTest {
 protected:
  // A ramp rising along +x from x = 0 at the given angle, `length` long,
  // with a platform at its top; returns the top's height.
  float rampWithPlatform(float degrees, float length = 300) {
    const float height = length * std::tan(degrees * kPi / 180);
    sv->world().addRamp({0, -200, 0}, {length, 200, height}, Uphill::kPlusX);
    sv->world().addSolid({length, -200, 0}, {length + 400, 200, height});
    return height;
  }

  // Runs along +x at 250 units/s from feet at `from`, holding forward.
  void runFrom(Vec3 from) {
    standAt(from);
    pmv->setViewAngles({0, 0, 0});
    pmv->setVelocity({250, 0, 0});
    pmv->setMoves(250);
    pmv->setButtons(0);
    pmv->pm().oldbuttons = 0;
  }

  // Moves until the player stands on the ground again; the number of moves.
  int movesUntilLanded(int limit = 200) {
    for (int n = 1; n <= limit; ++n) {
      pmv->move(1);
      if (pmv->onGround()) return n;
    }
    return limit + 1;
  }

  float feet() const { return pmv->origin().z - kStand; }
};

// ------------------------------------------------------------ jumping

// Running up a ramp and jumping, the player comes back to the slope (45
// degrees: after the rise, he meets the slope in 4.6 frames and slides up it
// in the air until his upward speed is down to 180; 30 degrees: the slope
// catches up with him at 0.31 s) and runs on to the top.
TEST_F(MovementSlopesTest, JumpUpARampLandsOnItAndRunsOnToTheTop) {
  struct Case {
    float degrees;
    float landsAfter;  // seconds
  } cases[] = {{45, 0.21f}, {30, 0.30f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.degrees);
    sv->world().clear();
    sv->world().addRoom({-1024, -1024, 0}, {1024, 1024, 512});
    const float top = rampWithPlatform(c.degrees);
    runFrom({-200, 0, 0});
    ASSERT_TRUE(pmv->moveUntil([](const playermove_t& pm) { return pm.origin.x >= 100; }, 200));
    ASSERT_TRUE(pmv->onGround());
    pmv->setButtons(IN_JUMP);
    pmv->move(1);
    ASSERT_FALSE(pmv->onGround());
    EXPECT_NEAR((movesUntilLanded() + 1) * kFrame, c.landsAfter, 0.021f);
    pmv->setButtons(0);
    ASSERT_TRUE(pmv->moveUntil([](const playermove_t& pm) { return pm.origin.x > 320; }, 200));
    pmv->move(5);
    EXPECT_TRUE(pmv->onGround());
    EXPECT_NEAR(feet(), top, 0.05f);
    EXPECT_NEAR(hspeed(), 250, 0.5f);
  }
}

// Jumping with the origin 55 units before a 32-unit ledge: his box clears
// the edge at 0.16 s with his feet 0.7 above its top, rising at 140 units/s:
// within the ground check's reach, so he stands on the ledge.
TEST_F(MovementSlopesTest, RunningJumpOntoALedgeStandsOnItAtOnce) {
  sv->world().addSolid({0, -200, 0}, {400, 200, 32});
  runFrom({-155, 0, 0});
  pmv->move(40);
  ASSERT_NEAR(pmv->origin().x, -55, 0.01f);
  pmv->setButtons(IN_JUMP);
  float highest = 0;
  int moves = 0;
  for (moves = 1; moves <= 100; ++moves) {
    pmv->move(1);
    highest = std::max(highest, feet());
    if (pmv->onGround()) break;
  }
  EXPECT_NEAR(moves * kFrame, 0.16f, 0.005f);
  EXPECT_NEAR(feet(), 32, 0.05f);
  EXPECT_LT(highest, 34.0f);  // not the jump's full 45-unit rise
}

// A jump launched slower than 180 units/s is not pulled back to the floor
// it leaves; once he is out of its reach it is an ordinary jump that lands,
// on a 4-unit step he clears while still rising as well. Running up a ramp
// the slope stays in reach and he is not rising away from it, so the slow
// jump gives way to the ground at once.
TEST_F(MovementSlopesTest, SlowJumpLeavesTheFloorOnlyWhileRisingAwayFromIt) {
  pmv->setPhysicsKey("ja", "0.500000");
  standAt({0, 0, 0});
  pmv->setButtons(IN_JUMP | IN_ALT1);
  pmv->move(1);
  EXPECT_FALSE(pmv->onGround());
  EXPECT_GT(feet(), 1.0f);
  // 134.2 units/s up: back down after 2 x 134.2 / 800 = 0.335 s, less the
  // 0.015 s of the last 2 units, which the ground check covers.
  EXPECT_NEAR((movesUntilLanded() + 1) * kFrame, 0.32f, 0.005f);

  // Out of the floor's reach after two moves, over the step's edge after
  // four, 1.6 above its top after five: he stands on it, not at the apex.
  sv->world().addSolid({-500, 400, 0}, {-300, 600, 4});
  runFrom({-526, 500, 0});
  pmv->setButtons(IN_JUMP | IN_ALT1);
  EXPECT_EQ(movesUntilLanded(), 5);
  EXPECT_NEAR(feet(), 4, 0.05f);

  rampWithPlatform(30);
  runFrom({-200, 0, 0});
  ASSERT_TRUE(pmv->moveUntil([](const playermove_t& pm) { return pm.origin.x >= 100; }, 200));
  const float climbAt = pmv->origin().x;
  pmv->setButtons(IN_JUMP | IN_ALT1);
  EXPECT_LE(movesUntilLanded(), 3);
  pmv->setButtons(0);
  pmv->move(40);
  EXPECT_TRUE(pmv->onGround());
  EXPECT_GT(pmv->origin().x, climbAt + 90);  // ran on at full speed
}

// A ladder ends the slow jump as the floor's reach does. Jumping onto a
// ladder at its foot and pressing forward there, looking 40 degrees down,
// climbs at 200 x (cos 40 - sin 40) = 24.6 units/s: less than the ground
// check's 2 units before the next move, so the floor takes him back every
// move, as it takes a player who walked there. Were the jump still rising,
// he would leave the floor and climb.
TEST_F(MovementSlopesTest, SlowJumpEndsOnALadder) {
  pmv->addLadder({100, -20, 0}, {110, 20, 400});  // touched from x = 84
  pmv->setPhysicsKey("ja", "0.500000");
  standAt({82, 0, 0});
  pmv->setViewAngles({40, 0, 0});
  pmv->setVelocity({250, 0, 0});
  pmv->setMoves(250);
  pmv->setButtons(IN_JUMP | IN_ALT1 | IN_FORWARD);
  pmv->move(1);
  ASSERT_FALSE(pmv->onGround());
  ASSERT_GT(pmv->origin().x, 84.0f);  // on the ladder from the next move
  ASSERT_NEAR(feet(), 1.3f, 0.1f);    // 134.2 units/s up, within the floor's reach
  pmv->setButtons(IN_FORWARD);
  pmv->move(1);
  ASSERT_EQ(pmv->pm().movetype, MOVETYPE_FLY);
  for (int n = 0; n < 20; ++n) {
    pmv->move(1);
    ASSERT_TRUE(pmv->onGround()) << "move " << n;
    ASSERT_LT(feet(), 0.3f) << "move " << n;
  }
  EXPECT_NEAR(pmv->velocity().z, 24.6f, 0.1f);
}

// Bunny jumps up a 30 degree ramp: each jump lands on the slope (0.30 s,
// as above) and, without the speed cap, keeps the full running speed.
TEST_F(MovementSlopesTest, BunnyJumpChainUpARamp) {
  pmv->setPhysicsKey("bj", "1");
  const float top = rampWithPlatform(30, 600);
  runFrom({-200, 0, 0});
  ASSERT_TRUE(pmv->moveUntil([](const playermove_t& pm) { return pm.origin.x >= 20; }, 200));
  float lastX = pmv->origin().x;
  for (int jump = 0; jump < 4; ++jump) {
    SCOPED_TRACE(jump);
    pmv->setButtons(IN_JUMP);
    pmv->move(1);
    ASSERT_FALSE(pmv->onGround());
    pmv->setButtons(0);  // released in the air, pressed again on landing
    EXPECT_NEAR((movesUntilLanded() + 1) * kFrame, 0.30f, 0.021f);
    EXPECT_NEAR(hspeed(), 250, 1.0f);
    EXPECT_NEAR(pmv->origin().x - lastX, 250 * 0.30f, 6.0f);
    // On the slope: the front lower edge of his box rests on it.
    EXPECT_NEAR(feet(), (pmv->origin().x + 16) * std::tan(30 * kPi / 180), 0.1f);
    lastX = pmv->origin().x;
  }
  EXPECT_LT(feet(), top);
}

// ------------------------------------------------- walking the shapes

TEST_F(MovementSlopesTest, WalksUpAndDownRampsOnTheGround) {
  for (float degrees : {30.0f, 45.0f}) {
    SCOPED_TRACE(degrees);
    sv->world().clear();
    sv->world().addRoom({-1024, -1024, 0}, {1024, 1024, 512});
    const float top = rampWithPlatform(degrees);
    // Up: every move ends on the ground, at full speed.
    runFrom({-100, 0, 0});
    for (int n = 0; n < 220; ++n) {
      pmv->move(1);
      ASSERT_TRUE(pmv->onGround()) << "move " << n;
      ASSERT_NEAR(hspeed(), 250, 0.5f) << "move " << n;
    }
    EXPECT_NEAR(feet(), top, 0.05f);
    // Down, turned round: on the ground all the way where the slope falls
    // less than the ground check's 2 units a move (30 degrees: 1.44); at 45
    // degrees (2.5 a move) he runs off into the air and comes down on it.
    pmv->setViewAngles({0, 180, 0});
    pmv->setVelocity({-250, 0, 0});
    int airborne = 0;
    for (int n = 0; n < 220; ++n) {
      pmv->move(1);
      if (!pmv->onGround()) ++airborne;
    }
    EXPECT_NEAR(feet(), 0, 0.05f);
    EXPECT_TRUE(pmv->onGround());
    EXPECT_LT(pmv->origin().x, -50);
    if (degrees == 30) {
      EXPECT_EQ(airborne, 0);
    } else {
      EXPECT_GT(airborne, 0);
    }
  }
}

TEST_F(MovementSlopesTest, WalksUpAndDownStairs) {
  for (float rise : {16.0f, 18.0f}) {
    SCOPED_TRACE(rise);
    sv->world().clear();
    sv->world().addRoom({-1024, -1024, 0}, {1024, 1024, 512});
    sv->world().addStairs({0, 0, 0}, Uphill::kPlusX, 8, rise, 24, 300);
    sv->world().addSolid({8 * 24, -150, 0}, {600, 150, 8 * rise});
    runFrom({-100, 0, 0});
    float lastFeet = 0;
    for (int n = 0; n < 150; ++n) {
      pmv->move(1);
      ASSERT_GE(feet(), lastFeet - 0.01f);  // never back down a step
      lastFeet = feet();
    }
    EXPECT_NEAR(feet(), 8 * rise, 0.05f);
    EXPECT_TRUE(pmv->onGround());
    EXPECT_GT(pmv->origin().x, 250);
    pmv->setViewAngles({0, 180, 0});
    pmv->setVelocity({-250, 0, 0});
    pmv->move(200);
    EXPECT_NEAR(feet(), 0, 0.05f);
    EXPECT_TRUE(pmv->onGround());
  }
}

// A step up the stepsize would climb, but onto a 50 degree slope (normal
// 0.64 up, below the 0.7 of a floor): the step is refused and the player
// stays on the floor against the riser, on the ground every move. With a 45
// degree ramp (0.71) on the 16-unit box he steps up and runs on.
TEST_F(MovementSlopesTest, StepOntoASlopeTooSteepToStandOnIsRefused) {
  struct Case {
    float degrees;
    bool steps;
  } cases[] = {{50, false}, {45, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.degrees);
    sv->world().clear();
    sv->world().addRoom({-1024, -1024, 0}, {1024, 1024, 512});
    sv->world().addSolid({100, -200, 0}, {700, 200, 16});
    sv->world().addRamp({100, -200, 16}, {400, 200, 16 + 300 * std::tan(c.degrees * kPi / 180)},
                        Uphill::kPlusX);
    runFrom({40, 0, 0});
    for (int n = 0; n < 40; ++n) {
      pmv->move(1);
      if (c.steps) continue;
      ASSERT_TRUE(pmv->onGround()) << "move " << n;
      ASSERT_NEAR(feet(), 0, 0.01f) << "move " << n;
      ASSERT_LE(pmv->origin().x, 84.0f + 0.01f) << "move " << n;
    }
    if (c.steps) {
      EXPECT_TRUE(pmv->onGround());
      EXPECT_GT(feet(), 16.0f);
      EXPECT_GT(pmv->origin().x, 100.0f);
    }
  }
}

// ---------------------------------------------------- walls and corners

// Player friction 0.5 (multiplayer keeps it): running into a wall
// reflects him with overbounce 1 + bounce x (1 - 0.5) = 1.5, so 250 units/s
// come back as -125.
TEST_F(MovementSlopesTest, WallBouncesAPlayerWithLowFrictionBack) {
  sv->world().addSolid({100, -500, 0}, {120, 500, 200});
  pmv->pm().friction = 0.5f;
  runFrom({83, 0, 0});  // one unit short of the wall
  pmv->move(1);
  // Friction took 5 and acceleration gave them back before the wall.
  EXPECT_NEAR(pmv->velocity().x, -125, 0.5f);
  EXPECT_LT(pmv->origin().x, 84);
  EXPECT_FLOAT_EQ(pmv->pm().friction, 0.5f);
}

// Two walls meeting at 30 degrees; pushed into the corner, the player is
// wedged: a jump there goes nowhere, and its speed is cancelled instead of
// leaving him hovering in place while it runs out.
class AcuteCornerTest : public MovementSlopesTest {
 protected:
  void SetUp() override {
    MovementSlopesTest::SetUp();
    // One wall along y = 0 (solid above), one along the line through the
    // origin at 30 degrees to it (solid below); the corner points to +x.
    sv->world().addSolid({-400, 0, 0}, {100, 400, 300});
    sv->world().addConvex({-400, -400, 0}, {100, 0, 300},
                          {{{-0.5f, std::sqrt(0.75f), 0}, 0}});
  }
};

TEST_F(AcuteCornerTest, JumpWhileWedgedIsCancelled) {
  runFrom({-200, -30, 0});
  pmv->move(200);
  const Vec3 wedged = pmv->origin();
  ASSERT_NEAR(wedged.y, -16, 0.05f);
  ASSERT_NEAR(hspeed(), 0, 0.01f);
  pmv->setButtons(IN_JUMP);
  for (int n = 0; n < 5; ++n) {
    pmv->move(1);
    EXPECT_EQ(pmv->origin(), wedged);
    EXPECT_EQ(pmv->velocity(), Vec3(0, 0, 0));
    EXPECT_TRUE(pmv->onGround());
  }
}

// On a ladder in the same corner, climbing while stepping sideways into it:
// the slide follows the corner's crease n1 x n2, which is not normalised,
// so the climb keeps sin^2 of the 150 degrees between the walls' normals,
// a quarter of the ladder's 200 units/s.
TEST_F(AcuteCornerTest, LadderClimbAlongTheCreaseIsSlowedBySineSquared) {
  pmv->addLadder({-400, -10, 0}, {0, 0, 300});  // on the wall along y = 0
  standAt({-200, -16.03125f, 0});
  pmv->setViewAngles({0, 90, 0});  // facing the ladder
  pmv->setMoves(0);
  pmv->setButtons(IN_FORWARD | IN_MOVERIGHT);  // up, and toward the corner
  ASSERT_TRUE(pmv->moveUntil([](const playermove_t& pm) { return pm.origin.x > -80; }, 200));
  pmv->move(20);  // wedged in the corner
  ASSERT_EQ(pmv->pm().movetype, MOVETYPE_FLY);
  const float z0 = pmv->origin().z;
  const float x0 = pmv->origin().x;
  pmv->move(50);
  EXPECT_NEAR((pmv->origin().z - z0) / 0.5f, 200 * 0.25f, 1.0f);
  EXPECT_NEAR(pmv->origin().x, x0, 0.01f);
}

// ------------------------------------------------------------- stuck

// Server side, one nudge of the table per check (at most one check per
// 0.05 s): 0.1 inside the floor, the third offset (z + 1/8) frees him; 0.1
// inside a wall at +x, the seventh (x - 1/8).
TEST_F(MovementSlopesTest, ServerNudgesAPlayerOutOfAFloorOrAWall) {
  struct Case {
    const char* what;
    Vec3 origin;
    Vec3 freedAt;
    size_t checks;
  } cases[] = {
      {"floor", {0, 0, kStand - 0.1f}, {0, 0, kStand + 0.025f}, 3},
      {"wall", {1024 - 16 + 0.1f, 0, kStand}, {1024 - 16 - 0.025f, 0, kStand}, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    pmv->clearRecords();
    pmv->sysTime += 1.0;
    pmv->setOrigin(c.origin);
    pmv->setVelocity({0, 0, 0});
    pmv->setMoves(0);
    int moves = 0;
    while (moves < 100 && pmv->origin() == c.origin) {
      pmv->move(1);
      ++moves;
      if (pmv->origin() == c.origin) {
        EXPECT_EQ(pmv->velocity(), Vec3(0, 0, 0));  // no move while stuck
      }
    }
    EXPECT_EQ(pmv->stuckTouches().size(), c.checks);
    EXPECT_NEAR(pmv->origin().x, c.freedAt.x, 0.001f);
    EXPECT_NEAR(pmv->origin().z, c.freedAt.z, 0.001f);
    EXPECT_LE((moves - 1) * kFrame, (c.checks - 1) * 0.06f + 0.001f);
  }
}

// Client side, the whole table is tried at once from its first offset, even
// after checks against another player walked the table on.
TEST_F(MovementSlopesTest, ClientTriesTheSmallestNudgeFirst) {
  pmv->serverSide = 0;
  pmv->addPlayer(2, {10, 0, kStand});
  standAt({0, 0, 0});
  for (int i = 0; i < 4; ++i) {
    pmv->sysTime += 1.0;
    pmv->move(1);
  }
  ASSERT_EQ(pmv->stuckTouches().size(), 4u);
  sv->world().setEntityBox(2, {500, 500, 0}, {532, 532, 72});
  pmv->setOrigin({0, 0, kStand - 0.1f});
  pmv->move(1);
  EXPECT_EQ(pmv->origin().x, 0.0f);
  EXPECT_EQ(pmv->origin().y, 0.0f);
  EXPECT_NEAR(pmv->origin().z, kStand + 0.025f, 0.001f);
}

}  // namespace
}  // namespace movetest
