// Pull and swing physics of an attached hook, read from the player's
// velocity after each frame.
#include "hook_session.h"

namespace {

using hooktest::HookSession;
using hooktest::Len;

// Rope length the swing step worked with: after a step the speed toward the
// anchor is exactly 4 x (distance - rope length).
float RopeLength(HookSession& s, int id) {
  vec3_t r = s.Hook(id)->v.origin - s.sv.vars(id).origin;
  float d = Len(r);
  return d - s.sv.vars(id).velocity.dot(r) / d / 4.0f;
}

// A player standing still below the ceiling, hooked straight up to it.
int HookedToCeiling(HookSession& s, host::Vec3 at = {0, 0, 36}) {
  int id = s.Join("Alice", at, {-90, 0, 0});
  s.Command(id, "+hook");
  EXPECT_TRUE(s.RunUntilAttached(id));
  return id;
}

TEST(HookPull, PullsAtOneAndAHalfTimesMaxspeedOrAtTheForcedSpeed) {
  HookSession s;
  s.FreeFlight();
  int id = HookedToCeiling(s);
  s.sv.runFrame(0.01f);
  EXPECT_NEAR(Len(s.sv.vars(id).velocity), 375, 0.01);
  EXPECT_GT(s.sv.vars(id).velocity.z, 370);
  s.Command(id, "-hook");

  s.CvarAndRefresh("GP_hook_forcespeed", "1000");
  s.sv.vars(id).maxspeed = 900;
  s.sv.place(id, {0, 0, 36}, {-90, 0, 0});
  s.Command(id, "+hook");
  ASSERT_TRUE(s.RunUntilAttached(id));
  s.sv.runFrame(0.01f);
  EXPECT_NEAR(Len(s.sv.vars(id).velocity), 1000, 0.05);
}

TEST(HookPull, NoDownwardPullWhileGroundIsZero) {
  HookSession s;
  s.Frozen();
  s.Cvar("GP_hook_instant", "1");
  int id = s.Join("Alice", {0, 0, 300}, {80, 0, 0});  // hanging in the air, aiming at the floor
  s.sv.vars(id).velocity = vec3_t(0, 0, 30);
  s.Command(id, "+hook");
  ASSERT_TRUE(s.Attached(id));
  s.sv.runFrame(0.01f);
  vec3_t v = s.sv.vars(id).velocity;
  EXPECT_FLOAT_EQ(v.z, 30) << "the vertical motion stays as it was";
  EXPECT_GT(v.x, 0);

  s.Cvar("GP_hook_ground", "1");
  s.sv.runFrame(0.01f);
  v = s.sv.vars(id).velocity;
  EXPECT_LT(v.z, -300);
  EXPECT_NEAR(Len(v), 375, 0.01);
}

TEST(HookPull, HookOnAMovingDoorFollowsIt) {
  HookSession s;
  s.Frozen();
  s.Cvar("GP_hook_instant", "1");
  edict_t* door = s.sv.spawn("info_target", {300, 0, 100});
  door->v.classname = s.sv.allocString("func_door");
  door->v.solid = SOLID_BSP;
  door->v.movetype = MOVETYPE_PUSH;
  s.sv.engineTable()->pfnSetSize(door, vec3_t(-8, -64, -64), vec3_t(8, 64, 64));
  s.sv.engineTable()->pfnSetOrigin(door, vec3_t(300, 0, 100));

  int id = s.Join("Alice", {0, 0, 36}, {0, 0, 0});
  s.Command(id, "+hook");
  ASSERT_TRUE(s.Attached(id));
  vec3_t start = s.Hook(id)->v.origin;
  EXPECT_NEAR(start.x, 292, 0.5);

  for (int i = 1; i <= 20; ++i) {
    s.sv.engineTable()->pfnSetOrigin(door, vec3_t(300, 0, 100 + 5.0f * i));
    s.sv.runFrame(0.01f);
  }
  vec3_t now = s.Hook(id)->v.origin;
  EXPECT_NEAR(now.z - start.z, 100, 0.01);
  EXPECT_NEAR(now.x, start.x, 0.01);
  vec3_t v = s.sv.vars(id).velocity;
  vec3_t to = now - s.sv.vars(id).origin;
  EXPECT_GT(v.dot(to) / (Len(v) * Len(to)), 0.999) << "pulled toward the door's new place";
  ASSERT_NE(s.Beam(id), nullptr);
  EXPECT_EQ(s.Beam(id)->v.aiment, s.Hook(id)) << "the beam ends on the hook entity";
}

TEST(HookSwing, ReelingTwoHundredUnitsASecondDownToTheMinimum) {
  HookSession s;
  s.Frozen();
  s.Cvar("GP_hook_swing", "1");
  int id = HookedToCeiling(s);
  float start = (s.Hook(id)->v.origin - s.sv.vars(id).origin).length();
  ASSERT_GT(start, 400);

  s.sv.vars(id).button = IN_JUMP;
  s.sv.runFor(0.15f);
  float before = RopeLength(s, id);
  EXPECT_LT(before, start);
  s.sv.runFor(1.0f);  // ten steps, one every 0.1 s
  EXPECT_NEAR(RopeLength(s, id), before - 200, 0.5);
  s.sv.runFor(2.0f);
  EXPECT_NEAR(RopeLength(s, id), 100, 0.5);

  s.sv.vars(id).button = IN_DUCK;
  s.sv.runFor(3.0f);
  EXPECT_NEAR(RopeLength(s, id), 700, 0.5) << "duck lengthens without limit";
}

TEST(HookSwing, GravityAlongTheArcOnlyAwayFromTheVertical) {
  HookSession s;
  s.Frozen();
  s.Cvar("GP_hook_swing", "1");
  s.Cvar("GP_hook_instant", "1");
  // Hanging straight below the anchor: the step leaves him at rest.
  int a = s.Join("Alice", {0, 0, 36}, {-90, 0, 0});
  s.Command(a, "+hook");
  ASSERT_TRUE(s.Attached(a));
  s.sv.runFor(0.15f);
  EXPECT_LT(Len(s.sv.vars(a).velocity), 0.01);

  // Hooked at 60 degrees up: gravity swings him toward below the anchor,
  // about sv_gravity x sin(angle) x 0.1 s along the arc.
  int b = s.Join("Bob", {-300, 300, 36}, {-60, 0, 0});
  s.Command(b, "+hook");
  ASSERT_TRUE(s.Attached(b));
  s.sv.runFor(0.15f);
  vec3_t v = s.sv.vars(b).velocity;
  EXPECT_GT(v.x, 20);
  EXPECT_LT(v.z, -5);
  vec3_t r = s.Hook(b)->v.origin - s.sv.vars(b).origin;
  // The rope term uses the speed toward the anchor from before the rounded
  // gravity step, so up to the rounding remains.
  EXPECT_NEAR(v.dot(r) / Len(r), 0, 1.5) << "the rope keeps him at its length";
}

TEST(HookSwing, MovementKeysSteerTowardTheAim) {
  HookSession s;
  s.Frozen();
  s.Cvar("GP_hook_swing", "1");
  int id = HookedToCeiling(s);
  s.sv.vars(id).v_angle = vec3_t(0, 0, 0);  // now looking along +x
  s.sv.vars(id).button = IN_FORWARD;
  s.sv.runFor(0.15f);
  vec3_t v = s.sv.vars(id).velocity;
  EXPECT_NEAR(v.x, 15, 0.5);  // 150 units/s^2 for 0.1 s
  EXPECT_NEAR(v.y, 0, 0.5);

  s.sv.vars(id).velocity = vec3_t(0, 0, 0);
  s.sv.vars(id).button = IN_MOVERIGHT;
  s.sv.runFor(0.1f);
  v = s.sv.vars(id).velocity;
  EXPECT_NEAR(v.y, -15, 0.5);  // a quarter turn clockwise from the aim
  EXPECT_NEAR(v.x, 0, 0.5);
}

}  // namespace
