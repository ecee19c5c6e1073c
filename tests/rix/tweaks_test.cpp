// Combat and player tweaks in game sessions: spawn set-up, headshots,
// damage push, screen fades, status text, tracers, smoke and the connect
// announcement.
#include <cstdio>

#include "rix_session.h"

using host::Vec3;
using rixtest::RixSession;

namespace {

struct TweakSession : RixSession {
  int alice = 0;
  TweakSession() {
    startMap();
    sv.world().addRoom({-512, -512, 0}, {512, 512, 256});
    alice = sv.connect("Alice");
    sv.place(alice, {0, 0, 36});
  }
  // Messages of a name that the plugin let through or changed.
  host::Message last(const std::string& name) {
    auto all = sv.messagesNamed(name);
    return all.empty() ? host::Message{} : all.back();
  }
};

TEST(RixTweaks, StartHealthAndMaximumHealthAtEverySpawn) {
  TweakSession s;
  EXPECT_EQ(s.sv.vars(s.alice).health, 100.0f);
  s.sv.setCvar("rix_starthealth", "250");
  s.sv.game().spawnPlayer(s.alice);
  EXPECT_EQ(s.sv.vars(s.alice).health, 250.0f);
  EXPECT_EQ(s.sv.vars(s.alice).max_health, 250.0f);
  s.sv.setCvar("rix_starthealth", "0.5");
  s.sv.game().spawnPlayer(s.alice);
  EXPECT_EQ(s.sv.vars(s.alice).health, 0.5f);
  EXPECT_EQ(s.sv.vars(s.alice).max_health, 0.5f);
  int bob = s.sv.connect("Bob");
  EXPECT_EQ(s.sv.vars(bob).health, 0.5f);
}

TEST(RixTweaks, JumpSettingsBecomePhysicsKeysAtSpawn) {
  TweakSession s;
  EXPECT_EQ(s.sv.physicsKey(s.alice, "slj"), "0");
  EXPECT_EQ(s.sv.physicsKey(s.alice, "bj"), "0");
  EXPECT_EQ(s.sv.physicsKey(s.alice, "ja"), "1.000000");
  EXPECT_EQ(s.sv.physicsKey(s.alice, "hl"), "1");  // the game's own call goes on
  s.sv.setCvar("rix_longjump", "2");  // only exactly 1 switches it on
  s.sv.setCvar("rix_bunnyjump", "1");
  s.sv.setCvar("rix_jumpability", "0.5");
  s.sv.game().spawnPlayer(s.alice);
  EXPECT_EQ(s.sv.physicsKey(s.alice, "slj"), "0");
  EXPECT_EQ(s.sv.physicsKey(s.alice, "bj"), "1");
  EXPECT_EQ(s.sv.physicsKey(s.alice, "ja"), "0.500000");
  s.sv.setCvar("rix_longjump", "1");
  s.sv.game().spawnPlayer(s.alice);
  EXPECT_EQ(s.sv.physicsKey(s.alice, "slj"), "1");
}

TEST(RixTweaks, NoHeadshotTurnsTheHeadIntoGeneric) {
  TweakSession s;
  int bob = s.sv.connect("Bob");
  s.sv.place(bob, {200, 0, 36});
  s.sv.syncEntityBoxes();
  auto shoot = [&] {
    return s.sv.game().traceLine({0, 0, 60}, {400, 0, 60}, 0, s.alice);
  };
  TraceResult tr = shoot();
  ASSERT_EQ(s.sv.indexOf(tr.pHit), bob);
  EXPECT_EQ(tr.iHitgroup, 1);
  s.sv.setCvar("rix_noheadshot", "1");
  tr = shoot();
  EXPECT_EQ(s.sv.indexOf(tr.pHit), bob);
  EXPECT_EQ(tr.iHitgroup, 0);
  // Other hit groups stay.
  tr = s.sv.game().traceLine({0, 0, 40}, {400, 0, 40}, 0, s.alice);
  EXPECT_EQ(tr.iHitgroup, 2);
}

TEST(RixTweaks, DamagePushesAwayFromTheDamagesOrigin) {
  TweakSession s;
  s.sv.place(s.alice, {100, 0, 36});
  s.sv.game().damagePlayer(s.alice, 10, {0, 0, 36});
  EXPECT_EQ(s.sv.vars(s.alice).velocity, vec3_t(0, 0, 0));  // factor 0
  s.sv.setCvar("rix_damageimpact", "2");
  s.sv.game().damagePlayer(s.alice, 10, {0, 0, 36});
  vec3_t v = s.sv.vars(s.alice).velocity;
  float expected = 2 * s.sv.vars(s.alice).dmg_take;
  EXPECT_GT(expected, 0);
  EXPECT_NEAR(v.x, expected, 1e-3);
  EXPECT_NEAR(v.y, 0, 1e-3);
  EXPECT_NEAR(v.z, 0, 1e-3);
  // Damage from the player's own position pushes straight up.
  s.sv.place(s.alice, {0, 0, 36});
  s.sv.game().damagePlayer(s.alice, 10, {0, 0, 36});
  v = s.sv.vars(s.alice).velocity;
  EXPECT_NEAR(v.x, 0, 1e-3);
  EXPECT_NEAR(v.z, 2 * s.sv.vars(s.alice).dmg_take, 1e-3);
  // A message without a receiving player changes nothing.
  s.sv.place(s.alice, {0, 0, 36});
  float origin[3] = {0, 0, 0};
  s.sv.game().api()->sendDamage(nullptr, 0, 10, 0, origin);
  EXPECT_EQ(s.sv.vars(s.alice).velocity, vec3_t(0, 0, 0));
}

TEST(RixTweaks, FlashTimeStretchesTheHoldTimeOfEveryScreenFade) {
  TweakSession s;
  auto holdAfterFade = [&](int hold) {
    s.sv.game().screenFade(s.alice, 1000, hold, 0, 255, 255, 255, 255);
    return s.last("ScreenFade").intAt(1) & 0xFFFF;  // an unsigned short on the wire
  };
  EXPECT_EQ(holdAfterFade(3), 3);
  s.sv.setCvar("rix_flashtime", "2.5");
  EXPECT_EQ(holdAfterFade(3), 7);
  EXPECT_EQ(s.last("ScreenFade").intAt(0), 1000);  // other values unchanged
  EXPECT_EQ(s.last("ScreenFade").intAt(6), 255);
  s.sv.setCvar("rix_flashtime", "0");
  EXPECT_EQ(holdAfterFade(3), 0);
  // The hold time is 16 bits on the wire: it is limited, not wrapped.
  s.sv.setCvar("rix_flashtime", "4");
  EXPECT_EQ(holdAfterFade(40000), 65535);
  s.sv.setCvar("rix_flashtime", "-1");
  EXPECT_EQ(holdAfterFade(100), 0);
}

TEST(RixTweaks, StatusTextIsBlankedForLivingPlayers) {
  TweakSession s;
  s.sv.game().statusText(s.alice, 1, "1 %p2");
  EXPECT_EQ(s.last("StatusText").stringAt(1), "1 %p2");
  s.sv.setCvar("rix_statustext", "1");
  s.sv.game().statusText(s.alice, 1, "1 %p2");
  EXPECT_EQ(s.last("StatusText").intAt(0), 1);
  EXPECT_EQ(s.last("StatusText").stringAt(1), "");
  s.sv.vars(s.alice).deadflag = DEAD_DEAD;
  s.sv.game().statusText(s.alice, 1, "1 %p2");
  EXPECT_EQ(s.last("StatusText").stringAt(1), "1 %p2");
}

struct TracerSession : TweakSession {
  static constexpr int kRifle = 28, kPistol = 1, kKnife = 29;
  TracerSession() {
    sv.game().weaponList("weapon_ak47", 2, 90, -1, -1, 0, 1, kRifle, 0, alice);
    sv.game().weaponList("weapon_p228", 9, 52, -1, -1, 1, 3, kPistol, 0, alice);
    sv.game().weaponList("weapon_knife", -1, -1, -1, -1, 2, 1, kKnife, 0, alice);
  }
  size_t tracers() { return sv.tempEntities(TE_TRACER).size(); }
};

TEST(RixTweaks, TracerOnlyForAShotOfTheSameWeapon) {
  TracerSession s;
  s.sv.setCvar("rix_tracer", "1");
  s.sv.game().curWeapon(s.alice, 1, s.kRifle, 30);  // first report: recorded only
  EXPECT_EQ(s.tracers(), 0u);
  s.sv.game().curWeapon(s.alice, 1, s.kRifle, 29);  // a shot
  ASSERT_EQ(s.tracers(), 1u);
  host::Message t = s.sv.tempEntities(TE_TRACER).back();
  EXPECT_EQ(t.dest, MSG_PAS);
  ASSERT_EQ(t.size(), 7u);
  vec3_t eye = s.sv.vars(s.alice).origin + s.sv.vars(s.alice).view_ofs;
  EXPECT_FLOAT_EQ(t.floatAt(1), eye.x);
  EXPECT_FLOAT_EQ(t.floatAt(3), eye.z);
  EXPECT_NEAR(t.floatAt(4), 512, 0.5);  // ends at the wall ahead
  EXPECT_NEAR(t.floatAt(5), eye.y, 1e-3);
  s.sv.game().curWeapon(s.alice, 1, s.kPistol, 12);  // weapon change: recorded only
  s.sv.game().curWeapon(s.alice, 1, s.kPistol, 12);  // no shot
  EXPECT_EQ(s.tracers(), 1u);
  s.sv.game().curWeapon(s.alice, 1, s.kPistol, 11);
  EXPECT_EQ(s.tracers(), 2u);
  s.sv.game().curWeapon(s.alice, 1, s.kKnife, 5);
  s.sv.game().curWeapon(s.alice, 1, s.kKnife, 4);  // not a primary or secondary weapon
  EXPECT_EQ(s.tracers(), 2u);
}

TEST(RixTweaks, TracerModes) {
  TracerSession s;
  auto shot = [&] {
    s.sv.game().curWeapon(s.alice, 1, s.kRifle, 30);
    s.sv.game().curWeapon(s.alice, 1, s.kRifle, 29);
  };
  shot();
  EXPECT_EQ(s.tracers(), 0u);  // off by default
  s.sv.setCvar("rix_tracer", "1.9");
  shot();
  ASSERT_EQ(s.tracers(), 1u);
  EXPECT_EQ(s.sv.tempEntities(TE_TRACER).back().dest, MSG_PAS);
  s.sv.setCvar("rix_tracer", "2");
  shot();
  ASSERT_EQ(s.tracers(), 2u);
  EXPECT_EQ(s.sv.tempEntities(TE_TRACER).back().dest, MSG_SPEC);
  s.sv.setCvar("rix_tracer", "3");
  shot();
  EXPECT_EQ(s.tracers(), 2u);
  s.sv.setCvar("rix_tracer", "1");
  s.sv.vars(s.alice).health = 0;  // the dead draw nothing
  shot();
  EXPECT_EQ(s.tracers(), 2u);
}

struct SmokeSession : TweakSession {
  edict_t* grenade = nullptr;
  SmokeSession() {
    sv.setCvar("rix_smokeradius", "100");
    grenade = sv.engineTable()->pfnCreateEntity();
    grenade->v.classname = sv.allocString("grenade");
    grenade->v.model = sv.allocString("models/w_smokegrenade.mdl");
    grenade->v.origin = vec3_t(50, 0, 10);
    sv.vars(alice).health = 23;
  }
  float health() { return sv.vars(alice).health; }
};

TEST(RixTweaks, SmokeTakesHealthDownToTwentyAndGivesItBack) {
  SmokeSession s;
  s.sv.runFrame();
  EXPECT_EQ(s.health(), 20.0f);
  s.sv.runFor(3);
  EXPECT_EQ(s.health(), 20.0f);  // never below 20
  s.grenade->v.origin = vec3_t(400, 0, 10);
  s.sv.runFor(1.1f);
  EXPECT_EQ(s.health(), 23.0f);
  s.sv.runFor(2);
  EXPECT_EQ(s.health(), 23.0f);  // nothing more to give back
  EXPECT_TRUE(s.sv.sounds().empty());
}

TEST(RixTweaks, SmokeTakesAtMostFiveAPerSecond) {
  SmokeSession s;
  s.sv.vars(s.alice).health = 100;
  s.sv.runFrame();
  EXPECT_EQ(s.health(), 95.0f);
  s.sv.runFor(1.05f);
  EXPECT_EQ(s.health(), 90.0f);
}

TEST(RixTweaks, FlyingSmokeGrenadeDoesNotCount) {
  SmokeSession s;
  s.grenade->v.velocity = vec3_t(0, 0, -1);
  s.sv.runFor(2);
  EXPECT_EQ(s.health(), 23.0f);
  s.grenade->v.velocity = vec3_t(0, 0, 0);
  s.grenade->v.model = s.sv.allocString("models/w_hegrenade.mdl");
  s.sv.runFor(2);
  EXPECT_EQ(s.health(), 23.0f);
}

TEST(RixTweaks, PlayersInSmokeGasp) {
  SmokeSession s;
  s.sv.setCvar("rix_smokegasp", "1");
  s.sv.runFor(2.5f);
  ASSERT_GE(s.sv.sounds().size(), 2u);
  for (const host::Sound& snd : s.sv.sounds()) {
    EXPECT_EQ(snd.entity, s.alice);
    EXPECT_EQ(snd.channel, CHAN_VOICE);
    EXPECT_TRUE(snd.sample == "player/gasp1.wav" || snd.sample == "player/gasp2.wav") << snd.sample;
    EXPECT_GE(snd.pitch, 100);
    EXPECT_LE(snd.pitch, 110);
    EXPECT_GE(snd.volume, 0.3f);
    EXPECT_LE(snd.volume, 0.8f);
    EXPECT_GE(snd.attenuation, 1.0f);
    EXPECT_LE(snd.attenuation, 1.5f);
    EXPECT_EQ(snd.flags, 0);
  }
}

TEST(RixTweaks, SmokeHealthIsNotGivenBackAfterDeath) {
  SmokeSession s;
  s.sv.runFrame();
  EXPECT_EQ(s.health(), 20.0f);
  s.sv.vars(s.alice).deadflag = DEAD_DEAD;
  s.sv.runFor(1.1f);
  s.sv.vars(s.alice).deadflag = DEAD_NO;
  s.grenade->v.origin = vec3_t(400, 0, 10);
  s.sv.runFor(1.1f);
  EXPECT_EQ(s.health(), 20.0f);
}

TEST(RixTweaks, ConnectAnnouncementWithAddress) {
  TweakSession s;
  s.sv.setCvar("rix_showaddress", "1");
  // A player connecting again while still a client in the game is announced.
  char reason[128] = "";
  edict_t* e = s.sv.edict(s.alice);
  s.sv.callGame(&DLL_FUNCTIONS::pfnClientConnect, e, "Alice", "10.1.2.3:27005", reason);
  auto said = s.sv.messagesNamed("SayText");
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0].dest, MSG_ALL);
  EXPECT_EQ(said[0].intAt(0), s.alice);
  char text[128];
  std::snprintf(text, sizeof text, "Alice(%d@10.1.2.3:27005) is trying to connect.\n",
                static_cast<int>(s.sv.engineTable()->pfnGetPlayerWONId(e)));
  EXPECT_EQ(said[0].stringAt(1), text);
  // Off by default, and never for an edict that is not a client yet.
  s.sv.setCvar("rix_showaddress", "0");
  s.sv.callGame(&DLL_FUNCTIONS::pfnClientConnect, e, "Alice", "10.1.2.3:27005", reason);
  s.sv.setCvar("rix_showaddress", "1");
  s.sv.connect("Carol", "10.9.9.9:27005");
  EXPECT_EQ(s.sv.messagesNamed("SayText").size(), 1u);
}

}  // namespace
