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
  w.addSolid({-10, -10, -10}, {10, 10, 10});
  Trace inside = w.trace({0, 0, 0}, {5, 0, 0});
  EXPECT_TRUE(inside.startsolid);
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

}  // namespace
