// Footsteps by material, landings, wading, and the materials file.
#include "movement_fixture.h"

namespace movetest {
namespace {

class MovementSoundTest : public MovementTest {
 protected:
  // Runs on the floor at a steady speed along +x for the given time.
  void runAt(float speed, int moves) {
    standAt({-800, 0, 0});
    pmv->setVelocity({speed, 0, 0});
    pmv->setMoves(speed);
    pmv->move(moves);
  }

  // The sample of the first running step on a floor of the given texture.
  std::string stepSampleOn(const std::string& texture) {
    pmv->setTexture(floorId, texture);
    pmv->pm().flTimeStepSound = 0;
    pmv->clearRecords();
    runAt(250, 1);
    if (pmv->sounds().empty()) return "";
    return pmv->sounds().back().sample;
  }

  void land(float speed) {
    pmv->pm().multiplayer = 0;
    pmv->clearRecords();
    pmv->setOrigin({0, 0, 36 + 2.5f});
    pmv->setVelocity({0, 0, -speed});
    pmv->pm().onground = -1;
    pmv->pm().flTimeStepSound = 0;
    pmv->move(1);
    ASSERT_TRUE(pmv->onGround());
  }
};

TEST_F(MovementSoundTest, LandingSoundsByFallSpeed) {
  land(600);
  ASSERT_EQ(pmv->sounds().size(), 2u);
  EXPECT_EQ(pmv->sounds()[0].sample, "player/pl_fallpain3.wav");
  EXPECT_EQ(pmv->sounds()[0].channel, CHAN_VOICE);
  EXPECT_FLOAT_EQ(pmv->sounds()[0].volume, 1.0f);
  EXPECT_EQ(pmv->sounds()[1].sample.rfind("player/pl_step", 0), 0u);
  EXPECT_FLOAT_EQ(pmv->sounds()[1].volume, 1.0f);
  EXPECT_NEAR(pmv->pm().punchangle.z, 600 * 0.013f, 0.01f);

  land(400);
  ASSERT_EQ(pmv->sounds().size(), 1u);
  EXPECT_EQ(pmv->sounds()[0].sample.rfind("player/pl_step", 0), 0u);
  EXPECT_FLOAT_EQ(pmv->sounds()[0].volume, 0.85f);
  EXPECT_EQ(pmv->sounds()[0].channel, CHAN_BODY);
  EXPECT_FLOAT_EQ(pmv->sounds()[0].attenuation, ATTN_NORM);
  EXPECT_EQ(pmv->sounds()[0].pitch, PITCH_NORM);

  land(300);
  EXPECT_TRUE(pmv->sounds().empty());
  EXPECT_EQ(pmv->pm().flFallVelocity, 0.0f);
}

TEST_F(MovementSoundTest, MultiplayerStepsOnlyWhenRunning) {
  runAt(200, 100);
  EXPECT_TRUE(pmv->sounds().empty());

  pmv->clearRecords();
  runAt(250, 100);  // one second, a step each 300 ms
  auto steps = pmv->soundsMatching("player/pl_step");
  ASSERT_GE(steps.size(), 3u);
  EXPECT_EQ(steps.size(), pmv->sounds().size());
  EXPECT_FLOAT_EQ(steps[0].volume, 0.5f);
  EXPECT_EQ(steps[1].move - steps[0].move, 30);

  // No sounds when the record says functions do not run.
  pmv->clearRecords();
  pmv->pm().runfuncs = 0;
  runAt(250, 100);
  EXPECT_TRUE(pmv->sounds().empty());
  pmv->pm().runfuncs = 1;

  // Nor with the server's footsteps off.
  pmv->movevars().footsteps = 0;
  runAt(250, 100);
  EXPECT_TRUE(pmv->sounds().empty());
}

TEST_F(MovementSoundTest, MaterialsChooseTheStepSamples) {
  // Lower-case letter, upper-case name, and the other way round.
  EXPECT_EQ(stepSampleOn("metalfloor").rfind("player/pl_metal", 0), 0u);
  EXPECT_EQ(stepSampleOn("METALPLATE").rfind("player/pl_metal", 0), 0u);
  // Lines starting with a slash or a digit are not materials.
  EXPECT_EQ(stepSampleOn("slashdirt").rfind("player/pl_step", 0), 0u);
  EXPECT_EQ(stepSampleOn("digitdirt").rfind("player/pl_step", 0), 0u);
  // Animation and transparency prefixes are not part of the name.
  EXPECT_EQ(stepSampleOn("-0crate").rfind("player/pl_dirt", 0), 0u);
  EXPECT_EQ(stepSampleOn("{grate").rfind("player/pl_grate", 0), 0u);
  EXPECT_EQ(stepSampleOn("!grate").rfind("player/pl_grate", 0), 0u);
  // Only the first 12 characters count, in the file and on the map.
  EXPECT_EQ(stepSampleOn("ventilationsXYZ").rfind("player/pl_duct", 0), 0u);
  EXPECT_EQ(stepSampleOn("ventilation").rfind("player/pl_step", 0), 0u);
  // A letter glued to its name still makes a material.
  EXPECT_EQ(stepSampleOn("glued").rfind("player/pl_dirt", 0), 0u);
  // Unknown textures are concrete; the last line needs no line break.
  EXPECT_EQ(stepSampleOn("brick").rfind("player/pl_step", 0), 0u);
  std::string tile = stepSampleOn("tilefloor");
  EXPECT_EQ(tile.rfind("player/pl_tile", 0), 0u);
}

TEST_F(MovementSoundTest, StepVolumeByMaterialAndDucking) {
  pmv->setTexture(floorId, "dirtfloor");
  runAt(250, 1);
  ASSERT_EQ(pmv->sounds().size(), 1u);
  EXPECT_FLOAT_EQ(pmv->sounds()[0].volume, 0.55f);

  // Ducked: lower thresholds, longer delay, a third of the volume.
  pmv->setTexture(floorId, "brick");
  pmv->clearRecords();
  pmv->pm().flTimeStepSound = 0;
  pmv->pm().flags |= FL_DUCKING;
  pmv->pm().usehull = 1;
  pmv->setOrigin({-800, 0, 18});
  pmv->setVelocity({250, 0, 0});
  pmv->setButtons(IN_DUCK);
  pmv->pm().oldbuttons = IN_DUCK;
  pmv->move(1);
  ASSERT_EQ(pmv->sounds().size(), 1u);
  EXPECT_FLOAT_EQ(pmv->sounds()[0].volume, 0.5f * 0.35f);
  EXPECT_EQ(pmv->pm().flTimeStepSound, 300 + 100);
}

TEST_F(MovementSoundTest, WadingSoundsOnThreeStepsOfFour) {
  sv->world().addVolume({-1024, -1024, 0}, {1024, 1024, 30}, host::contents::kWater);
  // Eight wading steps, 600 ms apart.
  runAt(250, 8 * 60);
  auto wade = pmv->soundsMatching("player/pl_wade");
  EXPECT_EQ(wade.size(), 6u);
  EXPECT_EQ(wade.size(), pmv->sounds().size());
  for (size_t i = 1; i < wade.size(); ++i) {
    int gap = wade[i].move - wade[i - 1].move;
    EXPECT_TRUE(gap == 60 || gap == 120) << gap;
    EXPECT_FLOAT_EQ(wade[i].volume, 0.65f);
  }
}

TEST_F(MovementSoundTest, SloshingWithFeetInWater) {
  sv->world().addVolume({-1024, -1024, 0}, {1024, 1024, 10}, host::contents::kWater);
  standAt({-800, 0, 0});
  pmv->setOrigin({-800, 0, 36.03125f});  // as a landing leaves him, just above the floor
  pmv->setVelocity({250, 0, 0});
  pmv->setMoves(250);
  pmv->move(1);
  ASSERT_EQ(pmv->sounds().size(), 1u);
  EXPECT_EQ(pmv->sounds()[0].sample.rfind("player/pl_slosh", 0), 0u);
  EXPECT_FLOAT_EQ(pmv->sounds()[0].volume, 0.5f);
}

}  // namespace
}  // namespace movetest
