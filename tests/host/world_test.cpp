#include "world.h"

#include <gtest/gtest.h>

using namespace host;

namespace {

constexpr float kEps = 1e-3f;

TEST(World, LineTraceStopsShortOfAWallWithItsNormal) {
  World w;
  int wall = w.addSolid({100, -50, -50}, {110, 50, 50});
  Trace t = w.trace({0, 0, 0}, {200, 0, 0});
  ASSERT_TRUE(t.hit());
  EXPECT_EQ(t.boxId, wall);
  EXPECT_EQ(t.hitOwner, 0);
  EXPECT_NEAR(t.fraction, (100 - kDistEpsilon) / 200, kEps);
  EXPECT_NEAR(t.endpos.x, 100 - kDistEpsilon, kEps);
  EXPECT_EQ(t.normal, Vec3(-1, 0, 0));
  EXPECT_NEAR(t.planeDist, -100, kEps);
  EXPECT_FALSE(t.startsolid);
  EXPECT_TRUE(t.inopen);
}

TEST(World, MissingTraceGoesAllTheWay) {
  World w;
  w.addSolid({100, 100, 100}, {110, 110, 110});
  Trace t = w.trace({0, 0, 0}, {50, 0, 0});
  EXPECT_FALSE(t.hit());
  EXPECT_EQ(t.fraction, 1.0f);
  EXPECT_EQ(t.endpos, Vec3(50, 0, 0));
  EXPECT_EQ(t.hitOwner, -1);
}

TEST(World, NearestOfTwoBoxesWinsAndOwnerIsReported) {
  World w;
  w.addSolid({200, -10, -10}, {210, 10, 10});
  int near = w.addSolid({100, -10, -10}, {110, 10, 10}, 42);
  Trace t = w.trace({0, 0, 0}, {300, 0, 0});
  EXPECT_EQ(t.boxId, near);
  EXPECT_EQ(t.hitOwner, 42);
}

TEST(World, HullTraceHitsEarlierByTheHullsExtent) {
  World w;
  w.addSolid({-100, -100, -10}, {100, 100, 0});  // a floor at z = 0
  Trace t = w.trace({0, 0, 100}, {0, 0, -100}, kHumanHull);
  ASSERT_TRUE(t.hit());
  EXPECT_NEAR(t.endpos.z, 36 + kDistEpsilon, kEps);
  EXPECT_EQ(t.normal, Vec3(0, 0, 1));
  Trace ducked = w.trace({0, 0, 100}, {0, 0, -100}, engineHull(3));
  EXPECT_NEAR(ducked.endpos.z, 18 + kDistEpsilon, kEps);
}

TEST(World, StartInsideIsStartSolidAndStayingInsideIsAllSolid) {
  World w;
  w.addSolid({-10, -10, -10}, {10, 10, 10}, 7);
  Trace inside = w.trace({0, 0, 0}, {5, 0, 0});
  EXPECT_TRUE(inside.startsolid);
  EXPECT_EQ(inside.startOwner, 7);
  EXPECT_TRUE(inside.allsolid);
  EXPECT_EQ(inside.fraction, 0.0f);
  EXPECT_EQ(inside.endpos, Vec3(0, 0, 0));
  Trace out = w.trace({0, 0, 0}, {50, 0, 0});
  EXPECT_TRUE(out.startsolid);
  EXPECT_FALSE(out.allsolid);
}

TEST(World, TouchingOrSlidingAlongASurfaceIsNoHit) {
  World w;
  w.addSolid({-100, -100, -10}, {100, 100, 0});
  EXPECT_FALSE(w.trace({0, 0, 0}, {0, 0, 50}).hit());     // leaving it
  EXPECT_FALSE(w.trace({-50, 0, 0}, {50, 0, 0}).hit());   // along it
  EXPECT_TRUE(w.trace({0, 0, 0}, {0, 0, -5}).hit());      // into it
}

TEST(World, FilterSkipsBoxesAndRoomsEncloseTheirInside) {
  World w;
  int floor = w.addRoom({-100, -100, 0}, {100, 100, 200});
  Trace down = w.trace({0, 0, 100}, {0, 0, -500});
  EXPECT_EQ(down.boxId, floor);
  Trace up = w.trace({0, 0, 100}, {0, 0, 500});
  EXPECT_EQ(up.boxId, floor + 1);
  Trace through = w.trace({0, 0, 100}, {0, 0, -500}, kPointHull,
                          [floor](const Box& b) { return b.id != floor; });
  EXPECT_FALSE(through.hit());
  for (Vec3 dir : {Vec3(1, 0, 0), Vec3(-1, 0, 0), Vec3(0, 1, 0), Vec3(0, -1, 0)})
    EXPECT_TRUE(w.trace({0, 0, 100}, Vec3(0, 0, 100) + dir * 500).hit());
}

TEST(World, PointContentsOfVolumesSolidsAndSky) {
  World w;
  w.addVolume({0, 0, 0}, {100, 100, 50}, contents::kWater);
  w.addVolume({200, 0, 0}, {300, 100, 100}, contents::kLadder);
  w.addSolid({-50, -50, -50}, {-10, -10, -10});
  w.addSky({0, 0, 500}, {100, 100, 600});
  EXPECT_EQ(w.pointContents({50, 50, 25}), contents::kWater);
  EXPECT_EQ(w.pointContents({250, 50, 50}), contents::kLadder);
  EXPECT_EQ(w.pointContents({-20, -20, -20}), contents::kSolid);
  EXPECT_EQ(w.pointContents({50, 50, 550}), contents::kSky);
  EXPECT_EQ(w.pointContents({500, 500, 500}), contents::kEmpty);
  // A line stopped by the sky ends where the contents are sky.
  Trace t = w.trace({50, 50, 100}, {50, 50, 1000});
  ASSERT_TRUE(t.hit());
  EXPECT_EQ(t.hitContents, contents::kSky);
  EXPECT_EQ(w.pointContents(t.endpos), contents::kSky);
  // Water does not stop a trace, but is reported.
  Trace wet = w.trace({50, 50, 25}, {50, 50, 45});
  EXPECT_FALSE(wet.hit());
  EXPECT_TRUE(wet.inwater);
}

TEST(World, EntityBoxesFollowAndGo) {
  World w;
  w.setEntityBox(7, {0, 0, 0}, {10, 10, 10});
  EXPECT_EQ(w.trace({-20, 5, 5}, {20, 5, 5}).hitOwner, 7);
  w.setEntityBox(7, {100, 0, 0}, {110, 10, 10});
  EXPECT_FALSE(w.trace({-20, 5, 5}, {20, 5, 5}).hit());
  w.clearEntityBox(7);
  EXPECT_FALSE(w.trace({-20, 5, 5}, {200, 5, 5}).hit());
  EXPECT_TRUE(w.boxes().empty());
}

TEST(World, DiagonalHitPicksTheFaceEnteredLast) {
  World w;
  w.addSolid({10, 10, -100}, {20, 20, 100});
  Trace t = w.trace({5, 0, 0}, {35, 30, 0});  // enters through the y face
  ASSERT_TRUE(t.hit());
  EXPECT_EQ(t.normal, Vec3(0, -1, 0));
  EXPECT_NEAR(t.endpos.y, 10 - kDistEpsilon, kEps);
}

// A 45 degree ramp rising along +x from x = 0 to x = 100 (z = x on the slope).
TEST(World, HullDroppedOnARampStopsOnTheSlope) {
  World w;
  int ramp = w.addRamp({0, -100, 0}, {100, 100, 100}, Uphill::kPlusX);
  const float r = std::sqrt(0.5f);
  // Standing hull over x = 50: its lower corner at x = 66 meets the slope at
  // z = 66, so its origin stops at 102, 1/32 unit off along the slope's normal.
  Trace down = w.trace({50, 0, 300}, {50, 0, 0}, kHumanHull);
  ASSERT_EQ(down.boxId, ramp);
  EXPECT_NEAR(down.endpos.z, 102 + kDistEpsilon / r, kEps);
  EXPECT_NEAR(down.normal.x, -r, kEps);
  EXPECT_NEAR(down.normal.z, r, kEps);
  // Moving level into the slope, 10 units up: the front lower edge meets it.
  Trace level = w.trace({-100, 0, 46}, {100, 0, 46}, kHumanHull);
  ASSERT_EQ(level.boxId, ramp);
  EXPECT_NEAR(level.endpos.x, -6 - kDistEpsilon / r, kEps);
  // A point goes down to the slope itself; points under it are solid.
  EXPECT_NEAR(w.trace({30, 0, 200}, {30, 0, -50}).endpos.z, 30 + kDistEpsilon / r, kEps);
  EXPECT_EQ(w.pointContents({50, 0, 40}), contents::kSolid);
  EXPECT_EQ(w.pointContents({50, 0, 60}), contents::kEmpty);
  // Over the top edge the ramp is a plain top face.
  Trace top = w.trace({99, 0, 300}, {99, 0, 0}, kHumanHull);
  EXPECT_NEAR(top.endpos.z, 136 + kDistEpsilon, kEps);
  EXPECT_EQ(top.normal, Vec3(0, 0, 1));
}

TEST(World, RampsRiseTheWayTheyFaceAndMoveWhole) {
  World w;
  // 30 degrees, rising toward -y: 100 long, 57.735 high.
  int ramp = w.addRamp({-50, -100, 0}, {50, 0, 57.735f}, Uphill::kMinusY);
  Trace t = w.trace({0, -50, 100}, {0, -50, -10});
  ASSERT_EQ(t.boxId, ramp);
  EXPECT_NEAR(t.endpos.z, 28.87f, 0.05f);
  EXPECT_NEAR(t.normal.y, 0.5f, kEps);
  EXPECT_NEAR(t.normal.z, std::sqrt(0.75f), kEps);
  w.moveBox(ramp, {-50, -100, 100}, {});
  EXPECT_NEAR(w.trace({0, -50, 300}, {0, -50, -10}).endpos.z, 128.87f, 0.05f);
  EXPECT_NEAR(w.find(ramp)->maxs.z, 157.735f, kEps);
}

TEST(World, StairsAreBoxesOneRiseAndRunApart) {
  World w;
  int first = w.addStairs({0, 0, 0}, Uphill::kPlusX, 3, 16, 32, 64);
  Trace onSecond = w.trace({48, 0, 200}, {48, 0, 0}, kHumanHull);
  EXPECT_EQ(onSecond.boxId, first + 1);
  EXPECT_NEAR(onSecond.endpos.z, 32 + 36 + kDistEpsilon, kEps);
  Trace riser = w.trace({-100, 0, 36 + 20}, {200, 0, 36 + 20}, kHumanHull);
  EXPECT_EQ(riser.boxId, first + 1);  // the first step is only 16 high
  EXPECT_NEAR(riser.endpos.x, 32 - 16 - kDistEpsilon, kEps);
  EXPECT_EQ(w.pointContents({10, 31, 15}), contents::kSolid);
  EXPECT_EQ(w.pointContents({10, 33, 15}), contents::kEmpty);
}

TEST(World, AngledWallStopsAHullWhereItsCornerMeetsTheFace) {
  World w;
  // A wall along x - y = 300 (45 degrees), 10 thick.
  int wall = w.addAngledWall({100, -200, 0}, {300, 0, 0}, 10, 0, 100);
  const float r = std::sqrt(0.5f);
  // Its face toward -x lies on x - y = 300 - 5 sqrt(2); the hull's corner
  // (x + 16, y - 16) touches it when x - y = 300 - 5 sqrt(2) - 32.
  Trace t = w.trace({0, -100, 50}, {400, -100, 50}, kHumanHull);
  ASSERT_EQ(t.boxId, wall);
  EXPECT_NEAR(t.endpos.x, 300 - 5 / r - 32 - 100 - kDistEpsilon / r, kEps);
  EXPECT_NEAR(t.normal.x, -r, kEps);
  EXPECT_NEAR(t.normal.y, r, kEps);
  EXPECT_EQ(t.normal.z, 0.0f);
  // Past its end the way is free.
  EXPECT_FALSE(w.trace({0, 40, 50}, {400, 40, 50}, kHumanHull).hit());
}

// A cube with its top corner cut off by x + y + z <= 150: the hull's corner
// reaches round the cut's lower edge, which only a bevel plane through that
// edge describes (x + y <= 214 for the 64-unit hull).
TEST(World, BevelsKeepAHullOffOnlyWhereItWouldTouch) {
  World w;
  int cut = w.addConvex({0, 0, 0}, {100, 100, 100}, {{{1, 1, 1}, 150}});
  ASSERT_GE(cut, 0);
  EXPECT_EQ(w.blockerAt({120, 120, -20}, kLargeHull), nullptr);
  EXPECT_NE(w.blockerAt({100, 100, -20}, kLargeHull), nullptr);
  Trace t = w.trace({140, 140, -20}, {60, 60, -20}, kLargeHull);
  ASSERT_EQ(t.boxId, cut);
  const float r = std::sqrt(0.5f);
  EXPECT_NEAR(t.endpos.x, 107 + kDistEpsilon * r, 0.01f);
  EXPECT_NEAR(t.normal.x, r, kEps);
  EXPECT_NEAR(t.normal.y, r, kEps);
  // Cuts that leave nothing make no solid.
  EXPECT_EQ(w.addConvex({0, 0, 0}, {10, 10, 10}, {{{1, 0, 0}, -5}}), -1);
}

}  // namespace
