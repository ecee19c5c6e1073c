// The hook's projectile and attachment in a game session: flight, the touch
// rules, instant hooks, release by every cause, precaching.
#include "hook_session.h"

namespace {

using hooktest::HookSession;
using hooktest::Len;

constexpr float kEye = 36;

// A solid entity of the given class occupying mins..maxs around origin.
edict_t* SolidEntity(HookSession& s, const std::string& cls, host::Vec3 origin, host::Vec3 mins,
                     host::Vec3 maxs, int solid = SOLID_BSP) {
  edict_t* e = s.sv.spawn("info_target", origin);
  e->v.classname = s.sv.allocString(cls);
  e->v.solid = solid;
  e->v.movetype = MOVETYPE_PUSH;
  s.sv.engineTable()->pfnSetSize(e, host::toVec3(mins), host::toVec3(maxs));
  s.sv.engineTable()->pfnSetOrigin(e, host::toVec3(origin));
  return e;
}

// A wall of the world across the x axis at x = 400..416.
void WallAhead(HookSession& s) { s.sv.world().addSolid({400, -512, 0}, {416, 512, 512}); }

void Touch(HookSession& s, edict_t* touched, edict_t* other) {
  s.sv.callGame(&DLL_FUNCTIONS::pfnTouch, touched, other);
}

TEST(HookFire, ProjectileFliesAttachesToAWallAndPulls) {
  HookSession s;
  s.Frozen();
  WallAhead(s);
  int id = s.Join("Alice", {0, 0, kEye}, {-10, 0, 0});
  s.Command(id, "+hook");

  edict_t* hook = s.Hook(id);
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(s.sv.str(hook->v.classname), "GP_hook");
  EXPECT_EQ(hook->v.solid, SOLID_BBOX);
  EXPECT_EQ(hook->v.movetype, MOVETYPE_BOUNCE);
  EXPECT_EQ(s.sv.str(hook->v.model), "models/crossbow_bolt.mdl");
  EXPECT_FLOAT_EQ(hook->v.mins.y, -8);
  EXPECT_FLOAT_EQ(hook->v.maxs.y, 8);
  EXPECT_FLOAT_EQ(hook->v.angles.x, 10);  // the view pitch, negated
  EXPECT_EQ(hook->v.owner, s.sv.edict(id));
  EXPECT_NEAR(Len(hook->v.velocity), 1500, 0.1);
  EXPECT_GT(hook->v.velocity.z, 0);  // toward the aim point, up the wall
  EXPECT_FLOAT_EQ(hook->v.gravity, 0.5f);
  EXPECT_FLOAT_EQ(hook->v.friction, 0.5f);
  EXPECT_EQ(s.SoundCount("weapons/xbow_fire1.wav"), 1);
  ASSERT_FALSE(s.sv.sounds().empty());
  EXPECT_EQ(s.sv.sounds().front().channel, CHAN_STATIC);
  EXPECT_FLOAT_EQ(s.sv.sounds().front().attenuation, ATTN_NORM);
  EXPECT_EQ(s.sv.sounds().front().pitch, PITCH_NORM);

  ASSERT_TRUE(s.RunUntilAttached(id));
  EXPECT_EQ(hook->v.solid, SOLID_NOT);
  EXPECT_NEAR(hook->v.origin.x, 400, 2);
  EXPECT_EQ(s.SoundCount("weapons/xbow_hit1.wav"), 1);
  ASSERT_EQ(s.sv.tempEntities(TE_SPARKS).size(), 1u);
  EXPECT_EQ(s.sv.tempEntities(TE_SPARKS)[0].dest, MSG_PVS);

  s.sv.runFrame(0.01f);
  vec3_t v = s.sv.vars(id).velocity;
  vec3_t toAnchor = hook->v.origin - s.sv.vars(id).origin;
  EXPECT_NEAR(Len(v), 375, 0.01);  // 1.5 x maxspeed 250
  EXPECT_GT(v.dot(toAnchor) / (Len(v) * Len(toAnchor)), 0.999);
}

TEST(HookFire, RoomCheckStopsOnlyTheProjectile) {
  HookSession s;
  s.sv.world().addSolid({30, -64, 0}, {46, 64, 128});  // right in front of the eyes
  int id = s.Join("Alice");
  s.Command(id, "+hook");
  EXPECT_EQ(s.HookCount(), 0);
  EXPECT_EQ(s.sv.sounds().size(), 0u);

  s.Cvar("GP_hook_instant", "1");
  s.Command(id, "+hook");
  EXPECT_TRUE(s.Attached(id));
  EXPECT_NE(s.Beam(id), nullptr);
}

TEST(HookFire, TouchRefusesTriggersNonSolidsAndTheOwner) {
  HookSession s;
  int id = s.Join("Alice");
  s.Command(id, "+hook");
  edict_t* hook = s.Hook(id);
  ASSERT_NE(hook, nullptr);

  edict_t* trigger = SolidEntity(s, "trigger_multiple", {0, 300, 64}, {-8, -8, -8}, {8, 8, 8});
  Touch(s, trigger, hook);
  edict_t* illusion = SolidEntity(s, "func_illusionary", {0, -300, 64}, {-8, -8, -8}, {8, 8, 8}, SOLID_TRIGGER);
  Touch(s, illusion, hook);
  Touch(s, s.sv.edict(id), hook);
  EXPECT_EQ(hook->v.movetype, MOVETYPE_BOUNCE);

  // Touches that do not involve a hook entity change nothing.
  edict_t* wall = SolidEntity(s, "func_wall", {0, 300, 300}, {-8, -8, -8}, {8, 8, 8});
  Touch(s, wall, trigger);
  EXPECT_EQ(hook->v.movetype, MOVETYPE_BOUNCE);
  Touch(s, wall, hook);
  EXPECT_EQ(hook->v.movetype, MOVETYPE_NOCLIP);
}

// With GP_hook_onlywalls the projectile attaches to the world and to
// func_wall, both named exactly; every other class, func_wall_toggle
// included, lets it bounce on. Without the setting all of them hold it.
TEST(HookFire, OnlyWallsAcceptsTheWorldAndFuncWallOnly) {
  struct Case {
    const char* cls;
    bool wall;
  };
  const Case cases[] = {{"worldspawn", true},        {"func_wall", true},    {"func_wall_toggle", false},
                        {"func_door", false},        {"func_breakable", false}, {"func_train", false},
                        {"func_door_rotating", false}, {"FUNC_WALL", false}};
  for (const char* onlyWalls : {"1", "0"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.cls) + " with GP_hook_onlywalls " + onlyWalls);
      HookSession s;
      s.Cvar("GP_hook_onlywalls", onlyWalls);
      int id = s.Join("Alice");
      s.Command(id, "+hook");
      edict_t* hook = s.Hook(id);
      ASSERT_NE(hook, nullptr);
      edict_t* touched = std::string(c.cls) == "worldspawn"
                             ? s.sv.edict(0)
                             : SolidEntity(s, c.cls, {0, 300, 64}, {-32, -8, -32}, {32, 8, 32});
      Touch(s, touched, hook);
      const bool holds = c.wall || std::string(onlyWalls) == "0";
      EXPECT_EQ(hook->v.movetype, holds ? MOVETYPE_NOCLIP : MOVETYPE_BOUNCE);
      EXPECT_EQ(s.Attached(id), holds);
    }
  }
}

TEST(HookFire, OnlyWallsAndSkyAndGroundRefusals) {
  HookSession s;
  s.sv.world().addSky({-256, -256, 900}, {256, 256, 1000});
  int id = s.Join("Alice");
  s.Cvar("GP_hook_onlywalls", "1");
  s.Command(id, "+hook");
  edict_t* hook = s.Hook(id);
  ASSERT_NE(hook, nullptr);

  edict_t* door = SolidEntity(s, "func_door", {0, 300, 64}, {-32, -8, -32}, {32, 8, 32});
  Touch(s, door, hook);
  EXPECT_EQ(hook->v.movetype, MOVETYPE_BOUNCE) << "a door is no wall";

  // On the ground the projectile never attaches.
  hook->v.flags |= FL_ONGROUND;
  Touch(s, s.sv.edict(0), hook);
  EXPECT_EQ(hook->v.movetype, MOVETYPE_BOUNCE);
  hook->v.flags &= ~FL_ONGROUND;

  // In the sky it bounces on, until the sky is allowed.
  hook->v.origin = vec3_t(0, 0, 950);
  Touch(s, s.sv.edict(0), hook);
  EXPECT_EQ(hook->v.movetype, MOVETYPE_BOUNCE);
  s.Cvar("GP_hook_sky", "1");
  Touch(s, s.sv.edict(0), hook);
  EXPECT_EQ(hook->v.movetype, MOVETYPE_NOCLIP);
  EXPECT_TRUE(s.Attached(id));
}

TEST(HookFire, FlyingHookIsReleasedByMinusHook) {
  HookSession s;
  int id = s.Join("Alice", {0, 0, kEye}, {-89, 0, 0});  // straight up, into the ceiling
  s.Command(id, "+hook");
  edict_t* hook = s.Hook(id);
  edict_t* beam = s.Beam(id);
  ASSERT_NE(hook, nullptr);
  ASSERT_NE(beam, nullptr);
  s.Command(id, "-hook");
  EXPECT_TRUE(hook->free || (hook->v.flags & FL_KILLME));
  EXPECT_TRUE(beam->free || (beam->v.flags & FL_KILLME));
  EXPECT_EQ(s.Hook(id), nullptr);
}

TEST(HookFire, HitBodySoundAtMostEveryHalfSecondEvenWithSoundOff) {
  HookSession s;
  s.Cvar("GP_hook_sound", "0");
  int a = s.Join("Alice");
  int b = s.Join("Bob", {300, 0, kEye});
  s.Command(a, "+hook");
  edict_t* hook = s.Hook(a);
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(s.SoundCount("weapons/xbow_fire1.wav"), 0);

  Touch(s, s.sv.edict(b), hook);
  s.sv.runFrame(0.2f);
  Touch(s, s.sv.edict(b), hook);
  s.sv.runFrame(0.35f);
  Touch(s, s.sv.edict(b), hook);
  EXPECT_EQ(s.SoundCount("weapons/xbow_hitbod1.wav"), 2);
  EXPECT_EQ(hook->v.movetype, MOVETYPE_BOUNCE) << "players are not hooked by default";

  s.Cvar("GP_hook_players", "1");
  Touch(s, s.sv.edict(b), hook);
  EXPECT_TRUE(s.Attached(a));
  EXPECT_EQ(s.SoundCount("weapons/xbow_hit1.wav"), 0);
  EXPECT_TRUE(s.sv.tempEntities(TE_SPARKS).empty());
}

TEST(HookFire, InstantHookAttachesAtOnceOrFailsSilently) {
  HookSession s;
  s.Cvar("GP_hook_instant", "1");
  WallAhead(s);
  int a = s.Join("Alice");
  s.Command(a, "+hook");
  edict_t* hook = s.Hook(a);
  ASSERT_NE(hook, nullptr);
  EXPECT_TRUE(s.Attached(a));
  EXPECT_NEAR(hook->v.origin.x, 400, 0.1);
  EXPECT_EQ(s.SoundCount("weapons/xbow_fire1.wav"), 0);
  EXPECT_EQ(s.SoundCount("weapons/xbow_hit1.wav"), 1);
  s.Command(a, "-hook");

  // A player in the line of fire, with players not allowed: nothing fires.
  int b = s.Join("Bob", {200, 0, kEye});
  s.sv.runFrame(0.01f);
  s.Command(a, "+hook");
  EXPECT_EQ(s.Hook(a), nullptr);
  EXPECT_EQ(s.Beam(a), nullptr);
  EXPECT_TRUE(s.TextsTo(a).empty());

  // Allowed: the hook sticks to him and follows him.
  s.Cvar("GP_hook_players", "1");
  s.sv.runFor(0.1f);
  s.Command(a, "+hook");
  ASSERT_TRUE(s.Attached(a));
  s.sv.vars(b).origin = s.sv.vars(b).origin + vec3_t(0, 50, 0);
  s.sv.runFrame(0.01f);
  EXPECT_NEAR(s.Hook(a)->v.origin.y, 50, 0.5);
}

// An instant trace that hits nothing (the engine then reports the world at
// fraction 1) attaches nowhere, sky allowed or not: in a world with nothing
// in it, and out of the room aiming away from it. The miss counts as a
// refused fire for the wait, and no entity stays behind.
TEST(HookFire, InstantHookIntoNothingDoesNotAttach) {
  for (const char* sky : {"0", "1"}) {
    for (bool empty : {true, false}) {
      SCOPED_TRACE(std::string("GP_hook_sky ") + sky + (empty ? ", no world" : ", above the room"));
      HookSession s;
      s.Frozen();
      s.Cvar("GP_hook_instant", "1");
      s.Cvar("GP_hook_sky", sky);
      s.Cvar("GP_hook_wait", "0.5");
      if (empty) s.sv.world().clear();
      int a = s.Join("Alice", empty ? host::Vec3{0, 0, kEye} : host::Vec3{0, 0, 2000}, {-90, 0, 0});
      ASSERT_FLOAT_EQ(s.sv.trace({0, 0, 2100}, {0, 0, 12340}).flFraction, 1.0f);
      const int entities = s.sv.entityCount();
      s.Command(a, "+hook");
      EXPECT_EQ(s.Hook(a), nullptr);
      EXPECT_EQ(s.Beam(a), nullptr);
      EXPECT_FALSE(s.Attached(a));
      EXPECT_EQ(s.HookCount(), 0);
      s.sv.runFrame(0.01f);
      EXPECT_EQ(s.sv.entityCount(), entities) << "the hook entity made for the fire is removed";
      EXPECT_FLOAT_EQ(s.sv.vars(a).velocity.z, 0) << "no pull toward the trace's end";

      // The wait runs from the miss: a wall placed in the aim at once is
      // hooked only half a second later.
      s.sv.world().addSolid({-64, -64, 2400}, {64, 64, 2416});
      s.sv.world().addSolid({-64, -64, 400}, {64, 64, 416});
      s.Command(a, "+hook");
      EXPECT_EQ(s.Hook(a), nullptr);
      s.sv.runFor(0.5f);
      s.Command(a, "+hook");
      EXPECT_TRUE(s.Attached(a));
    }
  }
}

TEST(HookFire, InstantHookIntoTheSkyDrawsFromTheFixedPoint) {
  HookSession s;
  s.Cvar("GP_hook_instant", "1");
  s.sv.world().addSky({200, -512, 0}, {216, 512, 512});
  int a = s.Join("Alice");
  s.Command(a, "+hook");
  EXPECT_EQ(s.Hook(a), nullptr) << "sky not allowed";

  s.Cvar("GP_hook_sky", "1");
  s.sv.runFor(0.1f);
  s.Command(a, "+hook");
  ASSERT_TRUE(s.Attached(a));
  edict_t* beam = s.Beam(a);
  ASSERT_NE(beam, nullptr);
  EXPECT_EQ(beam->v.rendermode & 0x0F, BEAM_ENTPOINT);
  EXPECT_EQ(beam->v.skin & 0xFFF, a);
  EXPECT_NEAR(beam->v.origin.x, 200, 0.5);
}

TEST(HookFire, OwnerWhoChangedTeamLosesTheHookAtItsThink) {
  HookSession s;
  int a = s.Join("Alice");
  s.sv.vars(a).team = 1;
  s.Command(a, "+hook");
  ASSERT_NE(s.Hook(a), nullptr);
  s.sv.runFor(0.2f);
  ASSERT_NE(s.Hook(a), nullptr) << "same team: the hook stays out";
  s.Command(a, "-hook");

  s.sv.runFor(0.1f);
  s.Command(a, "+hook");
  edict_t* hook = s.Hook(a);
  ASSERT_NE(hook, nullptr);
  s.sv.vars(a).team = 2;
  s.sv.runFor(0.2f);
  EXPECT_EQ(s.Hook(a), nullptr);
  EXPECT_EQ(s.Beam(a), nullptr);
}

TEST(HookFire, ReleasedByDeathHoldTimeOutAndDisconnect) {
  HookSession s;
  s.Frozen();
  WallAhead(s);
  int a = s.Join("Alice");
  s.Command(a, "+hook");
  ASSERT_TRUE(s.RunUntilAttached(a));
  s.sv.vars(a).health = 0;
  s.sv.vars(a).deadflag = DEAD_DEAD;
  s.sv.runFrame(0.01f);
  EXPECT_EQ(s.Hook(a), nullptr);
  EXPECT_EQ(s.Beam(a), nullptr);

  // A dead player cannot fire; alive again he can, at once.
  s.sv.runFor(0.1f);
  s.Command(a, "+hook");
  EXPECT_EQ(s.Hook(a), nullptr);
  s.sv.vars(a).health = 100;
  s.sv.vars(a).deadflag = DEAD_NO;
  s.Command(a, "+hook");
  ASSERT_TRUE(s.RunUntilAttached(a));
  float attachedAt = s.sv.time();
  // Let go by itself after GP_hook_hold (15) seconds.
  s.sv.runFor(14.8f, 0.05f);
  EXPECT_TRUE(s.Attached(a));
  s.sv.runFor(0.4f, 0.05f);
  EXPECT_FALSE(s.Attached(a));
  EXPECT_NEAR(s.sv.time() - attachedAt, 15.2, 0.1);

  // Disconnect releases the leaving player's hook.
  s.sv.runFor(0.1f);
  s.Command(a, "+hook");
  ASSERT_TRUE(s.RunUntilAttached(a));
  edict_t* hook = s.Hook(a);
  edict_t* beam = s.Beam(a);
  s.sv.disconnect(a);
  EXPECT_TRUE(hook->free || (hook->v.flags & FL_KILLME));
  EXPECT_TRUE(beam->free || (beam->v.flags & FL_KILLME));
}

// A hook still in flight when its owner leaves goes with him, and so does
// its beam; the next player in the slot starts without it.
TEST(HookFire, FlyingHookIsRemovedAtDisconnect) {
  HookSession s;
  int a = s.Join("Alice", {0, 0, kEye}, {-30, 0, 0});
  s.Command(a, "+hook");
  s.sv.runFrame(0.01f);
  edict_t* hook = s.Hook(a);
  edict_t* beam = s.Beam(a);
  ASSERT_NE(hook, nullptr);
  ASSERT_NE(beam, nullptr);
  ASSERT_EQ(hook->v.movetype, MOVETYPE_BOUNCE) << "still flying";
  s.sv.disconnect(a);
  EXPECT_TRUE(hook->free || (hook->v.flags & FL_KILLME));
  EXPECT_TRUE(beam->free || (beam->v.flags & FL_KILLME));
  EXPECT_EQ(s.HookCount(), 0);
  EXPECT_TRUE(s.Live("beam").empty());

  int b = s.Join("Bob", {0, 0, kEye}, {-30, 0, 0});
  ASSERT_EQ(b, a);
  s.sv.runFor(1.0f);
  EXPECT_EQ(s.HookCount(), 0);
  s.Command(b, "+hook");
  EXPECT_EQ(s.HookCount(), 1) << "the slot's new player fires at once";
}

// A round start releases the hooks of every player slot up to maxClients,
// the last one included, whichever slots are in use.
TEST(HookFire, RoundStartReleasesEverySlotUpToTheLast) {
  for (int maxClients : {1, 2, 5}) {
    SCOPED_TRACE(maxClients);
    host::Server::Options o = hooktest::SessionOptions();
    o.maxClients = maxClients;
    HookSession s(o);
    s.Frozen();
    s.Cvar("GP_hook_instant", "1");
    std::vector<int> ids;
    for (int i = 0; i < maxClients; ++i) {
      const host::Vec3 at{static_cast<float>(i * 100), 0, kEye};
      ids.push_back(s.Join(std::string("P").append(std::to_string(i)), at, {-90, 0, 0}));
    }
    ASSERT_EQ(ids.back(), maxClients);
    for (int id : ids) s.Command(id, "+hook");
    for (int id : ids) ASSERT_TRUE(s.Attached(id)) << "slot " << id;
    s.sv.game().logWorldEvent("Round_Start");
    for (int id : ids) {
      EXPECT_EQ(s.Hook(id), nullptr) << "slot " << id;
      EXPECT_EQ(s.Beam(id), nullptr) << "slot " << id;
    }
    EXPECT_EQ(s.HookCount(), 0);
  }
}

// The round lines are the game's server log: only a line logged at
// at_logged is examined. The same text at any other level releases nothing,
// under Metamod and standalone; at at_logged it does.
TEST(HookFire, RoundLinesCountOnlyAtTheLoggedLevel) {
  HookSession s;
  s.Frozen();
  s.Cvar("GP_hook_instant", "1");
  int a = s.Join("Alice", {0, 0, kEye}, {-90, 0, 0});
  s.Command(a, "+hook");
  ASSERT_TRUE(s.Attached(a));
  const enginefuncs_t* gameEngine = s.sv.game().api()->engine();
  for (int level : {at_notice, at_console, at_aiconsole, at_warning, at_error}) {
    SCOPED_TRACE(level);
    for (const char* event : {"Round_Start", "Round_End", "Restart_Round_(1_second)"})
      gameEngine->pfnAlertMessage(static_cast<ALERT_TYPE>(level), const_cast<char*>("World triggered \"%s\"\n"),
                                  event);
    s.sv.runFrame(0.01f);
    EXPECT_TRUE(s.Attached(a));
  }
  auto starts = [&] {
    int n = 0;
    for (const std::string& t : s.sv.alertTexts(at_console)) n += t == "Round Start!\n";
    return n;
  };
  EXPECT_EQ(starts(), 0);
  gameEngine->pfnAlertMessage(at_logged, const_cast<char*>("World triggered \"%s\"\n"), "Round_Start");
  EXPECT_EQ(s.Hook(a), nullptr);
  EXPECT_EQ(starts(), 1);
}

TEST(HookFire, PrecachesModelsAndSoundsAtTheWorldSpawn) {
  HookSession s;
  int beam = s.sv.modelIndex("sprites/laserbeam.spr");
  int bolt = s.sv.modelIndex("models/crossbow_bolt.mdl");
  EXPECT_GT(beam, 0);
  EXPECT_GT(bolt, beam);
  int hit = s.sv.soundIndex("weapons/xbow_hit1.wav");
  EXPECT_GT(hit, 0);
  EXPECT_GT(s.sv.soundIndex("weapons/xbow_fire1.wav"), hit);
  EXPECT_GT(s.sv.soundIndex("weapons/xbow_hitbod1.wav"), s.sv.soundIndex("weapons/xbow_fire1.wav"));
  EXPECT_GT(s.sv.soundIndex("weapons/xbow_hitbod2.wav"), s.sv.soundIndex("weapons/xbow_hitbod1.wav"));
}

TEST(HookFire, SwingGravityIsGivenBackAtRelease) {
  HookSession s;
  s.Frozen();
  WallAhead(s);
  s.Cvar("GP_hook_swing", "1");
  int a = s.Join("Alice");
  s.sv.vars(a).gravity = 0.7f;
  s.Command(a, "+hook");
  ASSERT_TRUE(s.RunUntilAttached(a));
  EXPECT_FLOAT_EQ(s.sv.vars(a).gravity, 0.0001f);
  s.Command(a, "-hook");
  EXPECT_FLOAT_EQ(s.sv.vars(a).gravity, 0.7f);

  s.Cvar("GP_hook_swing", "0");
  s.sv.runFor(0.1f);
  s.Command(a, "+hook");
  ASSERT_TRUE(s.RunUntilAttached(a));
  EXPECT_FLOAT_EQ(s.sv.vars(a).gravity, 0.7f) << "a pull never changes gravity";
}

}  // namespace
