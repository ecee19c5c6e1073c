// Pull and swing physics of an attached hook, read from the player's
// velocity after each frame.
#include <cstdlib>

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

// The rounding of the swing step: truncate toward zero, then one up when the
// dropped part is a half or more (so -2.7 gives -2, 2.7 gives 3).
float StepRound(double x) {
  double n = std::trunc(x);
  return static_cast<float>(x - n >= 0.5 ? n + 1 : n);
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

// A non-zero GP_hook_forcespeed is the pull speed as it stands, also below
// 100 and below 0 (then away from the anchor); nothing raises or clamps it.
TEST(HookPull, AnyNonZeroForcedSpeedIsTheSpeedAsGiven) {
  const float speeds[] = {50, 99.5f, 1, 0.25f, 100, -150};
  for (float speed : speeds) {
    SCOPED_TRACE(speed);
    HookSession s;
    s.Frozen();
    s.Cvar("GP_hook_instant", "1");
    s.CvarAndRefresh("GP_hook_forcespeed", std::to_string(speed));
    int id = s.Join("Alice", {990, 0, 36}, {0, 0, 0});  // close to the wall ahead
    s.Command(id, "+hook");
    ASSERT_TRUE(s.Attached(id));
    const vec3_t d = s.Hook(id)->v.origin - s.sv.vars(id).origin;
    ASSERT_GT(d.x, 30);
    s.sv.runFrame(0.01f);
    const vec3_t v = s.sv.vars(id).velocity;
    EXPECT_NEAR(v.x, d.x / Len(d) * speed, 0.001);
    EXPECT_NEAR(v.y, 0, 0.001);
    // Pushed away, the downward part is left out while GP_hook_ground is 0.
    EXPECT_NEAR(v.z, speed > 0 ? d.z / Len(d) * speed : 0, 0.001);
  }
}

// The old velocity enters the direction: W = D x (0.2 s + 400) + 0.2 v.
TEST(HookPull, PullFromAMovingStartBlendsAFifthOfTheOldVelocity) {
  HookSession s;
  s.Frozen();
  s.Cvar("GP_hook_instant", "1");
  int id = s.Join("Alice", {990, 0, 36}, {0, 0, 0});  // close to the wall ahead
  s.Command(id, "+hook");
  ASSERT_TRUE(s.Attached(id));
  const vec3_t v0(0, 500, 40);
  s.sv.vars(id).velocity = v0;
  const vec3_t d = s.Hook(id)->v.origin - s.sv.vars(id).origin;
  ASSERT_GT(d.x, 30);
  s.sv.runFrame(0.01f);

  const vec3_t w = d * (0.2f * Len(v0) + 400.0f) + v0 * 0.2f;
  const vec3_t expected = w / Len(w) * 375.0f;
  const vec3_t v = s.sv.vars(id).velocity;
  EXPECT_NEAR(v.x, expected.x, 0.01);
  EXPECT_NEAR(v.y, expected.y, 0.01);  // about 2: the sideways fifth
  EXPECT_NEAR(v.z, expected.z, 0.01);
  EXPECT_GT(v.y, 1.5);
}

// The Half-Life game leaves maxspeed at 0: the engine's sv_maxspeed limits
// the player, and the pull takes it in its place.
TEST(HookPull, WithoutAMaxspeedThePullUsesTheEnginesLimit) {
  HookSession s;
  s.Frozen();
  int id = HookedToCeiling(s);
  s.sv.vars(id).maxspeed = 0;
  s.sv.runFrame(0.01f);
  EXPECT_NEAR(Len(s.sv.vars(id).velocity), 480, 0.01);  // 1.5 x sv_maxspeed 320
  ASSERT_TRUE(s.sv.serverCommand("sv_maxspeed 200"));
  s.sv.runFrame(0.01f);
  EXPECT_NEAR(Len(s.sv.vars(id).velocity), 300, 0.01);
  s.sv.vars(id).maxspeed = 250;
  s.sv.runFrame(0.01f);
  EXPECT_NEAR(Len(s.sv.vars(id).velocity), 375, 0.01) << "a game's own maxspeed still counts";
}

// The engine's records of the variables read per frame are taken again at
// each map start: here the engine's sv_maxspeed becomes a library's own
// record in place of the one the plugin took at registration, and from the
// next map on the pull reads the new record.
TEST(HookPull, EnginesRecordsAreTakenAgainAtAMapStart) {
  HookSession s;
  s.Frozen();
  static char name[] = "sv_maxspeed";
  static char value[] = "320";
  static cvar_t record;
  record = cvar_t{name, value, FCVAR_SERVER, 0.0f, nullptr};
  const cvar_t* before = s.sv.cvar("sv_maxspeed");
  s.sv.engineTable()->pfnCVarRegister(&record);
  ASSERT_EQ(s.sv.cvar("sv_maxspeed"), &record);
  ASSERT_NE(before, &record);
  s.sv.startMap("de_second");

  int id = HookedToCeiling(s);
  s.sv.vars(id).maxspeed = 0;
  s.sv.runFrame(0.01f);
  EXPECT_NEAR(Len(s.sv.vars(id).velocity), 480, 0.01);  // 1.5 x 320
  ASSERT_TRUE(s.sv.serverCommand("sv_maxspeed 200"));
  EXPECT_FLOAT_EQ(record.value, 200);
  s.sv.runFrame(0.01f);
  EXPECT_NEAR(Len(s.sv.vars(id).velocity), 300, 0.01) << "1.5 x sv_maxspeed 200, read from the new record";
}

// GP_hook_speed is cached: a change shows at the next read, 5 s after the last.
TEST(HookPull, ChangedSpeedWaitsForTheNextSettingsRead) {
  HookSession s;
  s.Frozen();
  s.Cvar("GP_hook_instant", "1");
  int id = s.Join("Alice", {0, 0, 36}, {-90, 0, 0});
  s.Command(id, "+hook");
  ASSERT_TRUE(s.Attached(id));
  s.sv.runFrame(0.01f);  // the first frame reads the settings
  const float read = s.sv.time();
  EXPECT_NEAR(Len(s.sv.vars(id).velocity), 375, 0.01);

  ASSERT_TRUE(s.sv.serverCommand("GP_hook_speed 2"));
  while (s.sv.time() < read + 4.95f) s.sv.runFrame(0.01f);
  EXPECT_NEAR(Len(s.sv.vars(id).velocity), 375, 0.01) << "still the cached speed";
  while (s.sv.time() < read + 5.05f) s.sv.runFrame(0.01f);
  EXPECT_NEAR(Len(s.sv.vars(id).velocity), 500, 0.01);
}

// Server commands reach the settings read every step, also under Metamod,
// where the engine holds a copy of each variable and not the plugin's record.
TEST(HookPull, GroundAndSwingFollowServerCommands) {
  HookSession s;
  s.Frozen();
  ASSERT_TRUE(s.sv.serverCommand("GP_hook_instant 1"));
  int id = s.Join("Alice", {0, 0, 300}, {80, 0, 0});  // in the air, aiming at the floor
  s.sv.vars(id).velocity = vec3_t(0, 0, 30);
  s.Command(id, "+hook");
  ASSERT_TRUE(s.Attached(id));
  s.sv.runFrame(0.01f);
  EXPECT_FLOAT_EQ(s.sv.vars(id).velocity.z, 30);
  ASSERT_TRUE(s.sv.serverCommand("GP_hook_ground 1"));
  s.sv.runFrame(0.01f);
  EXPECT_LT(s.sv.vars(id).velocity.z, -300) << "dragged downward";

  s.Command(id, "-hook");
  ASSERT_TRUE(s.sv.serverCommand("GP_hook_swing 1"));
  s.sv.place(id, {0, 0, 36}, {-90, 0, 0});
  s.sv.runFor(0.1f);
  s.Command(id, "+hook");
  ASSERT_TRUE(s.Attached(id));
  s.sv.vars(id).button = IN_JUMP;
  s.sv.runFor(0.15f);
  // One rope step: 20 units reeled in and closed at 4 per second, not a pull
  // at 375 units/s.
  EXPECT_NEAR(s.sv.vars(id).velocity.z, 80, 0.5);
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

// Close to the vertical the rope lets no gravity through: none while the
// horizontal distance to the anchor is 10 units or less, some from above 10.
// The player hangs below the ceiling anchor at (0, 0, 512), moved sideways by
// the offset after the attachment; what the step adds along x is gravity's
// (the rope's own correction along x stays below 0.05 here).
TEST(HookSwing, NoGravityAlongTheArcWithinTenUnitsOfTheVertical) {
  struct Case {
    float offset;
    float vx;  // rounded T.x x G x 0.1 / t: negative rounds toward zero
  };
  const Case cases[] = {{0, 0}, {4, 0}, {9, 0}, {9.9f, 0}, {10.5f, -1}, {11, -1}, {12, -2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    HookSession s;
    s.Frozen();
    s.Cvar("GP_hook_swing", "1");
    s.Cvar("GP_hook_instant", "1");
    int id = s.Join("Alice", {0, 0, 36}, {-90, 0, 0});
    s.Command(id, "+hook");
    ASSERT_TRUE(s.Attached(id));
    ASSERT_NEAR(s.Hook(id)->v.origin.x, 0, 0.001);
    s.sv.place(id, {c.offset, 0, 36}, {-90, 0, 0});
    s.sv.runFor(0.15f);  // one step
    EXPECT_NEAR(s.sv.vars(id).velocity.x, c.vx, 0.05);
  }
}

// One swing step hooked at 60 degrees up, from rest: gravity along the arc,
// T x G x 0.1 / t with G = sv_gravity x sin(angle), each part rounded, and the
// rope (no speed toward the anchor yet, no stretch) adding nothing.
TEST(HookSwing, GravityAlongTheArcHasTheEnginesStrength) {
  for (const char* gravity : {"800", "400"}) {
    SCOPED_TRACE(gravity);
    HookSession s;
    s.Frozen();
    s.Cvar("GP_hook_swing", "1");
    s.Cvar("GP_hook_instant", "1");
    ASSERT_TRUE(s.sv.serverCommand(std::string("sv_gravity ") + gravity));
    int id = s.Join("Bob", {-300, 300, 36}, {-60, 0, 0});
    s.Command(id, "+hook");
    ASSERT_TRUE(s.Attached(id));
    const vec3_t r = s.Hook(id)->v.origin - s.sv.vars(id).origin;
    s.sv.runFor(0.15f);  // one step, 0.1 s after the attachment

    const double d = Len(r);
    const double tx = r.x * r.z / d, ty = r.y * r.z / d, tz = -(r.x * r.x + r.y * r.y) / d;
    const double t = std::sqrt(tx * tx + ty * ty + tz * tz);
    const double g = -std::atof(gravity) * tz / t;
    const vec3_t v = s.sv.vars(id).velocity;
    EXPECT_NEAR(v.x, StepRound(tx * g * 0.1 / t), 0.05);
    EXPECT_NEAR(v.y, StepRound(ty * g * 0.1 / t), 0.05);
    EXPECT_NEAR(v.z, StepRound(tz * g * 0.1 / t), 0.05);
  }
}

// Negative amounts are rounded toward zero: steering backward and left, and
// reeling out, as against reeling in.
TEST(HookSwing, NegativeStepsRoundTowardZero) {
  HookSession s;
  s.Frozen();
  s.Cvar("GP_hook_swing", "1");
  s.Cvar("GP_hook_instant", "1");
  s.CvarAndRefresh("GP_hook_swing_reelspeed", "155");
  int id = s.Join("Alice", {0, 0, 36}, {-90, 0, 0});
  s.Command(id, "+hook");
  ASSERT_TRUE(s.Attached(id));
  // Hanging straight below the anchor: no gravity along the arc, and the rope
  // acts only vertically, so the horizontal velocity is the steering alone.
  s.sv.vars(id).v_angle = vec3_t(0, 30, 0);
  s.sv.vars(id).button = IN_BACK;
  s.sv.runFor(0.15f);
  vec3_t v = s.sv.vars(id).velocity;
  EXPECT_FLOAT_EQ(v.x, -12);  // -15 cos 30 = -12.99
  EXPECT_FLOAT_EQ(v.y, -7);   // -15 sin 30 = -7.5

  s.sv.vars(id).velocity = vec3_t(0, 0, 0);
  s.sv.vars(id).button = IN_MOVELEFT;
  s.sv.runFor(0.1f);
  v = s.sv.vars(id).velocity;
  EXPECT_FLOAT_EQ(v.x, -7);  // -15 sin 30
  EXPECT_FLOAT_EQ(v.y, 13);  // 15 cos 30 = 12.99

  // 155 units/s for 0.1 s: 15.5 in (rounded to 16), 15.5 out (to 15).
  float before = RopeLength(s, id);
  s.sv.vars(id).button = IN_JUMP;
  s.sv.runFor(0.1f);
  float in = RopeLength(s, id);
  EXPECT_NEAR(in, before - 16, 0.05);
  s.sv.vars(id).button = IN_DUCK;
  s.sv.runFor(0.1f);
  EXPECT_NEAR(RopeLength(s, id), in + 15, 0.05);
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
