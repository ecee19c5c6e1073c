// The plugin's movement in the box world: steps, walls, edges, ducking,
// ladders, water, the stuck check and the repair of bad velocities.
#include <algorithm>

#include "movement_fixture.h"

namespace movetest {
namespace {

using MovementWorldTest = MovementTest;

bool landed(const playermove_t& pm) { return pm.onground != -1; }

TEST_F(MovementWorldTest, WalksUpAStepButNotAWall) {
  sv->world().addSolid({100, -200, 0}, {300, 200, 18});  // one stepsize high
  sv->world().addSolid({100, 300, 0}, {300, 600, 19});   // a little higher
  standAt({0, 0, 0});
  pmv->setMoves(250);
  pmv->move(100);
  EXPECT_GT(pmv->origin().x, 150.0f);
  EXPECT_NEAR(pmv->origin().z, 18.0f + 36.0f, 0.1f);
  EXPECT_TRUE(pmv->onGround());

  standAt({0, 450, 0});
  pmv->setVelocity({0, 0, 0});
  pmv->move(100);
  EXPECT_LT(pmv->origin().x, 100.0f - 16.0f + 0.01f);
  EXPECT_NEAR(pmv->origin().z, 36.0f, 0.1f);
}

TEST_F(MovementWorldTest, SlidesAlongAWall) {
  sv->world().addSolid({100, -1000, 0}, {120, 1000, 200});
  standAt({50, 0, 0});
  pmv->setViewAngles({0, 45, 0});
  pmv->setMoves(250);
  pmv->move(100);
  EXPECT_NEAR(pmv->origin().x, 100.0f - 16.0f, 0.1f);
  EXPECT_GT(pmv->origin().y, 100.0f);
  EXPECT_GT(pmv->velocity().y, 100.0f);
  EXPECT_NEAR(pmv->velocity().x, 0.0f, 0.01f);
}

TEST_F(MovementWorldTest, EdgeFrictionStopsHarderAtALedge) {
  sv->world().addSolid({-600, -300, 0}, {0, 300, 100});  // a raised platform
  auto speedAfterOneMove = [&](float x) {
    standAt({x, 0, 100});
    pmv->setVelocity({100, 0, 0});
    pmv->move(1);
    return hspeed();
  };
  // friction 4, stopspeed 100: 4 units per 10 ms, twice that at the edge
  EXPECT_NEAR(speedAfterOneMove(-200), 96.0f, 0.01f);
  EXPECT_NEAR(speedAfterOneMove(4), 92.0f, 0.01f);
}

TEST_F(MovementWorldTest, DucksUnderALowCeilingAndCannotStandThere) {
  sv->world().addSolid({200, -200, 40}, {600, 200, 100});  // leaves 40 units below
  standAt({0, 0, 0});
  pmv->setButtons(IN_DUCK);
  pmv->move(50);
  const playermove_t& pm = pmv->pm();
  EXPECT_NE(pm.flags & FL_DUCKING, 0);
  EXPECT_EQ(pm.usehull, 1);
  EXPECT_NEAR(pm.origin.z, 18.0f, 0.1f);
  EXPECT_FLOAT_EQ(pm.view_ofs.z, 12.0f);

  // Crawls in: a third of the speed.
  pmv->setMoves(250);
  ASSERT_TRUE(pmv->moveUntil([](const playermove_t& p) { return p.origin.x > 300; }, 600));
  EXPECT_LT(hspeed(), 90.0f);

  // Lets go of duck: stays down under the ceiling.
  pmv->setMoves(0);
  pmv->setButtons(0);
  pmv->move(30);
  EXPECT_NE(pm.flags & FL_DUCKING, 0);
  EXPECT_EQ(pm.usehull, 1);
  EXPECT_NEAR(pm.origin.z, 18.0f, 0.1f);

  // Out in the open he stands up again.
  pmv->setOrigin({0, 0, 18});
  pmv->move(2);
  EXPECT_EQ(pm.flags & FL_DUCKING, 0);
  EXPECT_EQ(pm.usehull, 0);
  EXPECT_NEAR(pm.origin.z, 36.0f, 0.1f);
  EXPECT_FLOAT_EQ(pm.view_ofs.z, 18.0f);
}

TEST_F(MovementWorldTest, ClimbsALadderAndJumpsOff) {
  pmv->addLadder({100, -20, 0}, {110, 20, 400});
  standAt({86, 0, 0});
  pmv->setButtons(IN_FORWARD);
  pmv->setMoves(250);
  pmv->move(50);
  const playermove_t& pm = pmv->pm();
  EXPECT_EQ(pm.movetype, MOVETYPE_FLY);
  EXPECT_NEAR(pm.origin.z, 36.0f + 100.0f, 3.0f);  // 200 units/s up
  EXPECT_NEAR(pm.origin.x, 86.0f, 0.01f);

  // Ladder steps sound although nothing moves sideways.
  auto ladder = pmv->soundsMatching("pl_ladder");
  ASSERT_FALSE(ladder.empty());
  EXPECT_FLOAT_EQ(ladder[0].volume, 0.35f);
  EXPECT_EQ(ladder[0].channel, CHAN_BODY);

  // No buttons: he hangs still.
  pmv->setButtons(0);
  pmv->setMoves(0);
  pmv->move(5);
  EXPECT_NEAR(pmv->velocity().length(), 0.0f, 0.01f);

  pmv->setButtons(IN_JUMP);
  pmv->move(1);
  EXPECT_EQ(pm.movetype, MOVETYPE_WALK);
  EXPECT_LT(pm.velocity.x, -250.0f);
  pmv->setButtons(0);
  pmv->move(5);
  EXPECT_LT(pm.origin.x, 80.0f);
  EXPECT_EQ(pm.movetype, MOVETYPE_WALK);
}

TEST_F(MovementWorldTest, SwimsAndWaterJumpsOntoTheShore) {
  sv->world().addSolid({200, -1024, 0}, {1024, 1024, 100});        // shore, top at 100
  sv->world().addVolume({-1024, -1024, 0}, {200, 1024, 95}, host::contents::kWater);

  // Deep in the water: level 3, swimming at 0.8 of maxspeed.
  pmv->setOrigin({-500, 0, 40});
  pmv->setMoves(250);
  pmv->move(100);
  const playermove_t& pm = pmv->pm();
  EXPECT_EQ(pm.waterlevel, 3);
  EXPECT_EQ(pm.watertype, CONTENTS_WATER);
  EXPECT_NEAR(hspeed(), 200.0f, 1.0f);

  // Without input he sinks slowly.
  pmv->setMoves(0);
  pmv->setOrigin({-500, 0, 60});
  pmv->setVelocity({0, 0, 0});
  pmv->move(20);
  EXPECT_LT(pm.velocity.z, 0.0f);
  EXPECT_GT(pm.velocity.z, -60.0f);

  // At the surface against the shore: a water jump lifts him out.
  pmv->setOrigin({180, 0, 80});
  pmv->setVelocity({0, 0, 0});
  pmv->setMoves(250);
  pmv->clearRecords();
  pmv->move(1);
  EXPECT_NE(pm.flags & FL_WATERJUMP, 0);
  EXPECT_GT(pm.waterjumptime, 0.0f);
  ASSERT_TRUE(pmv->moveUntil(landed, 300));
  EXPECT_GT(pm.origin.x, 200.0f - 16.0f);  // standing on the shore
  EXPECT_NEAR(pm.origin.z, 136.0f, 0.1f);
  EXPECT_EQ(pm.flags & FL_WATERJUMP, 0);
}

TEST_F(MovementWorldTest, FallingIntoWaterSplashes) {
  sv->world().addVolume({-1024, -1024, 0}, {1024, 1024, 95}, host::contents::kWater);
  pmv->setOrigin({0, 0, 200});
  ASSERT_TRUE(pmv->moveUntil([](const playermove_t& p) { return p.waterlevel > 0; }, 200));
  auto splash = pmv->soundsMatching("pl_wade");
  ASSERT_EQ(splash.size(), 1u);
  EXPECT_EQ(splash[0].move, pmv->moves());
  EXPECT_FLOAT_EQ(splash[0].volume, 1.0f);
}

TEST_F(MovementWorldTest, RepairsNaNAndTooFastVelocities) {
  standAt({0, 0, 0});
  pmv->setVelocity({std::nanf(""), 0, 0});
  pmv->move(1);
  EXPECT_TRUE(std::isfinite(pmv->velocity().x));
  const auto& lines = pmv->consoleLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "PM  Got a NaN velocity 0\n"), lines.end());

  pmv->clearRecords();
  pmv->setOrigin({0, 0, 300});
  pmv->setVelocity({0, -5000, 0});
  pmv->move(1);
  EXPECT_FLOAT_EQ(pmv->velocity().y, -2000.0f);
  const auto& debug = pmv->debugLines();
  EXPECT_NE(std::find(debug.begin(), debug.end(), "PM  Got a velocity too low on 1\n"),
            debug.end());
}

TEST_F(MovementWorldTest, StuckInsideAnotherPlayer) {
  pmv->addPlayer(2, {20, 0, 36});
  standAt({0, 0, 0});
  pmv->setVelocity({50, 0, 0});

  // Not pressing anything: the move is skipped.
  pmv->move(1);
  EXPECT_EQ(pmv->origin(), Vec3(0, 0, 36));
  ASSERT_EQ(pmv->stuckTouches().size(), 1u);
  EXPECT_EQ(pmv->pm().physents[pmv->stuckTouches()[0]].info, 2);
  // Within 50 ms no new full check.
  pmv->move(1);
  EXPECT_EQ(pmv->stuckTouches().size(), 1u);

  // Jumping lifts him clear of the other player.
  pmv->sysTime += 1.0;
  pmv->setButtons(IN_JUMP);
  pmv->move(1);
  EXPECT_GE(pmv->origin().z, 36.0f + 72.0f - 20.0f);
}

TEST_F(MovementWorldTest, BogusMoveTypeIsReported) {
  standAt({0, 0, 0});
  pmv->pm().flags |= FL_ONTRAIN;
  pmv->pm().movetype = MOVETYPE_PUSH;
  pmv->move(1);
  const auto& debug = pmv->debugLines();
  EXPECT_NE(std::find(debug.begin(), debug.end(), "Bogus pmove player movetype 7 on (1) 0=cl 1=sv\n"),
            debug.end());
  EXPECT_EQ(pmv->origin(), Vec3(0, 0, 36));
}

TEST_F(MovementWorldTest, RoamingSpectatorFliesThroughWalls) {
  sv->world().addSolid({100, -1000, 0}, {120, 1000, 500});
  pmv->setOrigin({0, 0, 100});
  pmv->pm().iuser1 = OBS_ROAMING;
  pmv->setMoves(250);
  pmv->move(200);
  EXPECT_GT(pmv->origin().x, 200.0f);
}

TEST_F(MovementWorldTest, DeadBodyFallsAsATossedObject) {
  pmv->setOrigin({0, 0, 200});
  pmv->pm().dead = 1;
  pmv->pm().movetype = MOVETYPE_TOSS;
  ASSERT_TRUE(pmv->moveUntil(landed, 200));
  pmv->move(2);
  EXPECT_NEAR(pmv->origin().z, 36.0f, 0.1f);
  EXPECT_EQ(pmv->velocity(), Vec3(0, 0, 0));
}

}  // namespace
}  // namespace movetest
