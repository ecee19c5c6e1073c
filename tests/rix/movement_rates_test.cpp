// Friction and acceleration pinned to their figures with the fixture's
// movement values: accelerate 5, airaccelerate 10, friction 4, stopspeed
// 100, maxspeed 250, 10 ms commands.
#include <algorithm>

#include "movement_fixture.h"

namespace movetest {
namespace {

using MovementRatesTest = MovementTest;

// drop = max(speed, stopspeed) x friction x frametime: below the stop speed
// a player loses the stop speed's share, 4 units/s a move.
TEST_F(MovementRatesTest, FrictionTakesAtLeastTheStopSpeedsShare) {
  const struct {
    float from, to;
  } cases[] = {{50, 46}, {100, 96}, {200, 192}, {3, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    standAt({0, 0, 0});
    pmv->setMoves(0);
    pmv->setVelocity({c.from, 0, 0});
    pmv->move(1);
    EXPECT_NEAR(hspeed(), c.to, 0.001f);
  }
}

// Ground acceleration adds accelerate x frametime x wishspeed (12.5) a
// move, but never more than the speed still missing: holding forward the
// speed settles at 250 and never goes past it.
TEST_F(MovementRatesTest, GroundAccelerationStopsAtTheWishSpeed) {
  standAt({-900, 0, 0});
  pmv->setMoves(250);
  pmv->move(1);
  EXPECT_NEAR(hspeed(), 12.5f, 0.001f);
  float fastest = 0;
  for (int n = 0; n < 150; ++n) {
    pmv->move(1);
    fastest = std::max(fastest, hspeed());
  }
  EXPECT_LE(fastest, 250.0f);
  EXPECT_NEAR(hspeed(), 250.0f, 0.001f);
}

// In the air the speed aimed at is capped at 30, but the rate still uses
// the whole wish speed: min(30, 10 x 250 x 0.01) = 25 the first move, then
// the 5 still missing, and no more.
TEST_F(MovementRatesTest, AirAccelerationUsesTheWholeWishSpeedForItsRate) {
  pmv->setOrigin({0, 0, 400});
  pmv->setVelocity({0, 0, 0});
  pmv->setMoves(250);
  pmv->move(1);
  ASSERT_FALSE(pmv->onGround());
  EXPECT_NEAR(hspeed(), 25.0f, 0.001f);
  pmv->move(1);
  EXPECT_NEAR(hspeed(), 30.0f, 0.001f);
  pmv->move(10);
  EXPECT_NEAR(hspeed(), 30.0f, 0.001f);
}

}  // namespace
}  // namespace movetest
