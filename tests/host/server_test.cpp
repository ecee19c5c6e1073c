// The engine slots and the frames, driven like a game session.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "engine_impl.h"
#include "fake_game.h"
#include "host.h"

using namespace host;

namespace {

class Session : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sv.loadGame());
    sv.startMap();
    eng = sv.engineTable();
  }
  Server sv;
  enginefuncs_t* eng = nullptr;
};

TEST_F(Session, ConnectSpawnsAPlayerWithThePhysicsKeyAfterHealth) {
  int p = sv.connect("Alice", "10.0.0.2:27005");
  ASSERT_EQ(p, 1);
  entvars_t& v = sv.vars(p);
  EXPECT_EQ(sv.str(v.classname), "player");
  EXPECT_TRUE(v.flags & FL_CLIENT);
  EXPECT_EQ(v.health, 100);
  EXPECT_EQ(sv.physicsKey(p, "hl"), "1");
  EXPECT_EQ(sv.physicsInfo(p), "\\hl\\1");
  EXPECT_EQ(sv.str(v.netname), "Alice");
  EXPECT_TRUE(sv.game().reached("pfnClientConnect 1 Alice 10.0.0.2:27005"));
  EXPECT_EQ(eng->pfnGetPlayerUserId(sv.edict(p)) > 0, true);
  EXPECT_STRNE(eng->pfnGetPlayerAuthId(sv.edict(p)), "");
  EXPECT_EQ(sv.messagesNamed("ResetHUD").size(), 1u);
  EXPECT_EQ(sv.connect("reject_me"), 0);
  EXPECT_EQ(sv.lastRejectReason(), "You are banned");
  EXPECT_EQ(sv.players(), std::vector<int>{1});
  sv.disconnect(p);
  EXPECT_FALSE(sv.connected(p));
  EXPECT_TRUE(sv.game().reached("pfnClientDisconnect 1"));
}

// After loading its game library the engine asks it for the server-side
// hitbox blending (version 1) and keeps the interface the game hands back.
TEST_F(Session, EngineAsksTheGameForItsBlendingAtLoad) {
  auto records = sv.game().records();
  EXPECT_NE(std::find(records.begin(), records.end(), "Server_GetBlendingInterface 1"), records.end());
  EXPECT_EQ(sv.blendingAnswer, 1);
  EXPECT_NE(sv.blendingInterface, nullptr);
}

TEST_F(Session, GameRegistersItsMessagesWithTheirLayouts) {
  int p = sv.connect("Alice");
  for (const char* n : {"CurWeapon", "Damage", "ScreenFade", "StatusText", "WeaponList", "SayText",
                        "TextMsg", "DeathMsg", "TeamInfo", "ResetHUD"})
    EXPECT_GE(sv.userMsgId(n), 64) << n;
  sv.clearRecords();
  sv.game().curWeapon(p, 1, 28, 29);
  sv.game().damage(p, 0, 12, 0, {10, 20, 30});
  sv.game().screenFade(p, 100, 3, 0, 255, 255, 255, 255);
  sv.game().statusText(p, 0, "1 Bob");
  ASSERT_EQ(sv.messagesTo(p).size(), 4u);
  Message cw = sv.messagesNamed("CurWeapon").at(0);
  EXPECT_EQ(cw.dest, MSG_ONE);
  EXPECT_EQ(cw.receiver, p);
  EXPECT_TRUE(cw.fromGame);
  EXPECT_EQ(cw.intAt(1), 28);
  EXPECT_EQ(cw.intAt(2), 29);
  Message dm = sv.messagesNamed("Damage").at(0);
  ASSERT_EQ(dm.size(), 6u);
  EXPECT_EQ(dm.values[2].kind, MsgValue::Long);
  EXPECT_EQ(dm.floatAt(5), 30.0f);
  EXPECT_EQ(sv.messagesNamed("ScreenFade").at(0).values[1].kind, MsgValue::Short);
  EXPECT_EQ(sv.messagesNamed("StatusText").at(0).stringAt(1), "1 Bob");
  sv.game().setTeam(p, 2);
  EXPECT_EQ(sv.vars(p).team, 2);
  EXPECT_EQ(sv.infoKey(p, "model"), "urban");
  EXPECT_EQ(sv.messagesNamed("TeamInfo").at(0).stringAt(1), "CT");
}

TEST_F(Session, MessagesOfPluginsAreRecordedWithBytesWrapped) {
  float org[3] = {1, 2, 3};
  eng->pfnMessageBegin(MSG_PAS, SVC_TEMPENTITY, org, nullptr);
  eng->pfnWriteByte(TE_TRACER);
  eng->pfnWriteByte(300);
  eng->pfnWriteChar(200);
  eng->pfnWriteShort(70000);
  eng->pfnWriteCoord(1.5f);
  eng->pfnMessageEnd();
  auto te = sv.tempEntities(TE_TRACER);
  ASSERT_EQ(te.size(), 1u);
  EXPECT_FALSE(te[0].fromGame);
  EXPECT_TRUE(te[0].hasOrigin);
  EXPECT_EQ(te[0].origin, vec3_t(1, 2, 3));
  EXPECT_EQ(te[0].intAt(1), 300 & 0xFF);
  EXPECT_EQ(te[0].intAt(2), static_cast<signed char>(200));
  EXPECT_EQ(te[0].intAt(3), static_cast<short>(70000));
  EXPECT_EQ(te[0].floatAt(4), 1.5f);
  eng->pfnWriteByte(1);  // outside a message
  eng->pfnMessageEnd();
  EXPECT_EQ(sv.driverErrors().size(), 2u);
}

TEST_F(Session, StringsAreOffsetsFromTheStringBase) {
  string_t a = eng->pfnAllocString("models/hook.mdl");
  string_t b = eng->pfnAllocString("beam");
  EXPECT_GT(a, 0);
  EXPECT_NE(a, b);
  EXPECT_STREQ(sv.globals()->pStringBase + a, "models/hook.mdl");
  EXPECT_STREQ(eng->pfnSzFromIndex(b), "beam");
  EXPECT_EQ(sv.str(sv.globals()->mapname), "de_nuvdm");
}

TEST_F(Session, EntitiesHaveIndexesOffsetsAndClassExports) {
  edict_t* e = eng->pfnCreateNamedEntity(eng->pfnAllocString("info_target"));
  ASSERT_NE(e, nullptr);
  int i = eng->pfnIndexOfEdict(e);
  EXPECT_GT(i, sv.globals()->maxClients);
  EXPECT_EQ(eng->pfnPEntityOfEntIndex(i), e);
  int off = eng->pfnEntOffsetOfPEntity(e);
  EXPECT_NE(off, 0);
  EXPECT_EQ(eng->pfnPEntityOfEntOffset(off), e);
  EXPECT_EQ(eng->pfnEntOffsetOfPEntity(sv.edict(0)), 0);
  EXPECT_EQ(eng->pfnFindEntityByVars(&e->v), e);
  EXPECT_NE(e->pvPrivateData, nullptr);  // the class export linked it
  EXPECT_TRUE(sv.game().reached("link info_target"));
  EXPECT_EQ(eng->pfnFindEntityByString(nullptr, "classname", "info_target"), e);
  EXPECT_EQ(eng->pfnFindEntityByString(e, "classname", "info_target"), sv.edict(0));
  EXPECT_EQ(eng->pfnCreateNamedEntity(eng->pfnAllocString("no_such_class")), nullptr);
  eng->pfnRemoveEntity(e);
  EXPECT_TRUE(e->free);
  EXPECT_EQ(eng->pfnPEntityOfEntIndex(i), nullptr);
  EXPECT_TRUE(sv.game().reached("pfnOnFreeEntPrivateData"));
}

TEST_F(Session, PrecacheReturnsStableIndexes) {
  char m1[] = "sprites/rope.spr", m2[] = "models/hook.mdl", s1[] = "weapons/hook.wav";
  int a = eng->pfnPrecacheModel(m1);
  EXPECT_EQ(eng->pfnPrecacheModel(m2), a + 1);
  EXPECT_EQ(eng->pfnPrecacheModel(m1), a);
  EXPECT_EQ(eng->pfnModelIndex("models/hook.mdl"), a + 1);
  EXPECT_GT(eng->pfnPrecacheSound(s1), 0);
  EXPECT_EQ(sv.soundIndex("weapons/hook.wav"), eng->pfnPrecacheSound(s1));
  edict_t* e = sv.spawn("info_target");
  eng->pfnSetModel(e, "models/hook.mdl");
  EXPECT_EQ(e->v.modelindex, a + 1);
  eng->pfnEmitSound(e, CHAN_WEAPON, "weapons/hook.wav", 1.0f, ATTN_NORM, 0, PITCH_NORM);
  ASSERT_EQ(sv.sounds().size(), 1u);
  EXPECT_EQ(sv.sounds()[0].channel, CHAN_WEAPON);
  EXPECT_TRUE(sv.driverErrors().empty());
  eng->pfnEmitSound(e, CHAN_WEAPON, "weapons/other.wav", 1.0f, ATTN_NORM, 0, PITCH_NORM);
  EXPECT_EQ(sv.driverErrors().size(), 1u);
}

TEST_F(Session, ConsoleVariablesAndCommands) {
  static cvar_t speed = {"GP_hook_speed", "850", FCVAR_SERVER, 0, nullptr};
  eng->pfnCVarRegister(&speed);
  EXPECT_EQ(eng->pfnCVarGetFloat("GP_hook_speed"), 850.0f);
  EXPECT_EQ(speed.value, 850.0f);
  sv.serverCommand("GP_hook_speed 1200.5");
  EXPECT_EQ(speed.value, 1200.5f);
  EXPECT_STREQ(eng->pfnCVarGetString("GP_hook_speed"), "1200.5");
  eng->pfnCVarSetFloat("GP_hook_speed", 2);
  EXPECT_EQ(sv.cvarString("GP_hook_speed"), "2");
  char v[] = "7";
  eng->pfnCvar_DirectSet(&speed, v);
  EXPECT_EQ(eng->pfnCVarGetPointer("GP_hook_speed"), &speed);
  EXPECT_EQ(speed.value, 7.0f);
  EXPECT_EQ(sv.cvarFloat("sv_gravity"), 800.0f);
  // A value set before the library registers its record is kept.
  sv.setCvar("rix_tracer", "1");
  static cvar_t tracer = {"rix_tracer", "0", FCVAR_SERVER, 0, nullptr};
  eng->pfnCVarRegister(&tracer);
  EXPECT_EQ(tracer.value, 1.0f);

  // A command added by a library sees its words; pfnServerCommand runs at execute.
  static std::string seen;
  char name[] = "ent_list";
  eng->pfnAddServerCommand(name, [] {
    enginefuncs_t* e = Server::current()->engineTable();
    seen = std::string(e->pfnCmd_Argv(1)) + "/" + std::to_string(e->pfnCmd_Argc()) + "/" +
           e->pfnCmd_Args();
  });
  EXPECT_TRUE(sv.serverCommand("ent_list all \"of them\""));
  EXPECT_EQ(seen, "all/3/all \"of them\"");
  char line[] = "GP_hook_speed 5;ent_list x\n";
  eng->pfnServerCommand(line);
  EXPECT_EQ(speed.value, 7.0f);
  eng->pfnServerExecute();
  EXPECT_EQ(speed.value, 5.0f);
  EXPECT_EQ(seen, "x/2/x");
  EXPECT_FALSE(sv.serverCommand("no_such_command"));
}

// Alert lines reach the console only in developer mode; every one is recorded.
TEST_F(Session, AlertsShowOnTheConsoleOnlyInDeveloperMode) {
  sv.clearRecords();
  std::vector<std::string> console;
  sv.onAlert = [&](const Alert& a) {
    if (a.shown) console.push_back(a.text);
  };
  auto alertAll = [&](const char* mark) {
    for (int level : {at_notice, at_console, at_aiconsole, at_warning, at_error, at_logged})
      eng->pfnAlertMessage(static_cast<ALERT_TYPE>(level), const_cast<char*>("%s %d\n"), mark, level);
  };
  alertAll("dev0");
  EXPECT_TRUE(console.empty());
  sv.serverCommand("developer 1");
  alertAll("dev1");
  EXPECT_EQ(console, (std::vector<std::string>{"dev1 0\n", "dev1 1\n", "dev1 3\n", "dev1 4\n"}));
  console.clear();
  sv.setCvar("developer", "2");
  alertAll("dev2");
  EXPECT_EQ(console.size(), 5u);  // at_aiconsole too; at_logged goes to the log only
  EXPECT_EQ(sv.alerts().size(), 18u);
  EXPECT_EQ(sv.alertTexts(at_logged), (std::vector<std::string>{"dev0 5\n", "dev1 5\n", "dev2 5\n"}));
}

TEST_F(Session, ClientCommandWordsFollowTheEngineTokenizer) {
  int p = sv.connect("Alice");
  sv.game().clearRecords();
  sv.clientCommand(p, "say \"hello there\" friend");
  EXPECT_TRUE(sv.game().reached("pfnClientCommand 1 say hello there friend"));
  std::vector<std::string> argv;
  std::string args;
  tokenize("say \"hello there\" friend\n", argv, args);
  EXPECT_EQ(argv, (std::vector<std::string>{"say", "hello there", "friend"}));
  EXPECT_EQ(args, "\"hello there\" friend");
  EXPECT_EQ(eng->pfnCmd_Argc(), 0);  // nothing dispatched now
}

TEST_F(Session, InfoAndPhysicsKeysAndFiles) {
  int p = sv.connect("Alice");
  char* buf = eng->pfnGetInfoKeyBuffer(sv.edict(p));
  char key[] = "name", model[] = "model", value[] = "leet";
  EXPECT_STREQ(eng->pfnInfoKeyValue(buf, key), "Alice");
  eng->pfnSetClientKeyValue(p, buf, model, value);
  EXPECT_EQ(sv.infoKey(p, "model"), "leet");
  EXPECT_STREQ(eng->pfnInfoKeyValue(eng->pfnGetInfoKeyBuffer(sv.edict(p)), model), "leet");
  eng->pfnSetPhysicsKeyValue(sv.edict(p), "slj", "1");
  EXPECT_STREQ(eng->pfnGetPhysicsKeyValue(sv.edict(p), "slj"), "1");
  EXPECT_STREQ(eng->pfnGetPhysicsInfoString(sv.edict(p)), "\\hl\\1\\slj\\1");

  sv.writeFile("maps/de_nuvdm.rement", "light\nenv_sprite\n");
  char name[] = "maps/de_nuvdm.rement";
  int len = 0;
  byte* data = eng->pfnLoadFileForMe(name, &len);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(len, 17);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "light\nenv_sprite\n");
  eng->pfnFreeFile(data);
  char missing[] = "maps/none.txt";
  EXPECT_EQ(eng->pfnLoadFileForMe(missing, &len), nullptr);
  EXPECT_EQ(len, 0);
  char dir[256];
  eng->pfnGetGameDir(dir);
  EXPECT_STREQ(dir, "cstrike");
}

TEST_F(Session, VectorMathsFollowTheEngine) {
  float angles[3] = {0, 90, 0};
  eng->pfnMakeVectors(angles);
  globalvars_t* g = sv.globals();
  EXPECT_NEAR(g->v_forward.x, 0, 1e-5);
  EXPECT_NEAR(g->v_forward.y, 1, 1e-5);
  EXPECT_NEAR(g->v_right.x, 1, 1e-5);  // yaw 90: right points along +x
  EXPECT_NEAR(g->v_up.z, 1, 1e-5);
  float down[3] = {45, 0, 0};  // positive view pitch looks down
  float f[3], r[3], u[3];
  eng->pfnAngleVectors(down, f, r, u);
  EXPECT_NEAR(f[0], std::sqrt(0.5f), 1e-5);
  EXPECT_NEAR(f[2], -std::sqrt(0.5f), 1e-5);
  float dir[3] = {1, 1, std::sqrt(2.0f)}, out[3];
  eng->pfnVecToAngles(dir, out);
  EXPECT_NEAR(out[0], 45, 1e-4);  // upward is positive here
  EXPECT_NEAR(out[1], 45, 1e-4);
  float back[3] = {-1, -1, 0};
  EXPECT_NEAR(eng->pfnVecToYaw(back), 225, 1e-4);
}

TEST_F(Session, RandomNumbersAreSeededAndInRange) {
  sv.seed(7);
  int a = eng->pfnRandomLong(0, 1000);
  float fa = eng->pfnRandomFloat(1.0f, 1.5f);
  sv.seed(7);
  EXPECT_EQ(eng->pfnRandomLong(0, 1000), a);
  EXPECT_EQ(eng->pfnRandomFloat(1.0f, 1.5f), fa);
  for (int i = 0; i < 200; ++i) {
    int v = eng->pfnRandomLong(100, 110);
    EXPECT_GE(v, 100);
    EXPECT_LE(v, 110);
  }
  EXPECT_EQ(eng->pfnRandomLong(5, 5), 5);
}

TEST_F(Session, TracesHitSolidEntitiesAndSkipWhatTheyAreTold) {
  sv.world().addRoom({-512, -512, 0}, {512, 512, 256});
  int p = sv.connect("Alice");
  int q = sv.connect("Bob");
  sv.place(p, {0, 0, 36});
  sv.place(q, {200, 0, 36});
  TraceResult tr = sv.trace({0, 0, 60}, {400, 0, 60}, 0, sv.edict(p));
  EXPECT_EQ(tr.pHit, sv.edict(q));
  EXPECT_NEAR(tr.vecEndPos.x, 184, 0.1);
  EXPECT_EQ(tr.iHitgroup, 1);  // at eye height: the head
  EXPECT_EQ(sv.globals()->trace_ent, sv.edict(q));
  tr = sv.trace({0, 0, 40}, {400, 0, 40}, 0, sv.edict(p));
  EXPECT_EQ(tr.iHitgroup, 2);
  tr = sv.trace({0, 0, 60}, {1000, 0, 60}, 1 /* ignore_monsters */, sv.edict(p));
  EXPECT_EQ(tr.pHit, sv.edict(0));  // the wall
  EXPECT_NEAR(tr.vecEndPos.x, 512, 0.1);
  // Nothing in the way: the engine still names the world as the hit entity.
  tr = sv.trace({0, 0, 100}, {0, 0, 200});
  EXPECT_EQ(tr.flFraction, 1.0f);
  EXPECT_EQ(tr.pHit, sv.edict(0));
  EXPECT_EQ(tr.iHitgroup, 0);
  EXPECT_EQ(sv.globals()->trace_ent, sv.edict(0));
  // A solid brush entity is hit; ignore_monsters does not skip it.
  edict_t* wall = sv.spawn("func_wall");
  float mn[3] = {-10, -100, 0}, mx[3] = {10, 100, 200}, at[3] = {-100, 0, 0};
  eng->pfnSetSize(wall, mn, mx);
  eng->pfnSetOrigin(wall, at);
  tr = sv.trace({-300, 0, 60}, {0, 0, 60}, 1, nullptr);
  EXPECT_EQ(tr.pHit, wall);
  EXPECT_EQ(tr.vecPlaneNormal, vec3_t(-1, 0, 0));
}

// The engine's traces and the entities' own movement meet the same slope.
TEST_F(Session, EngineTracesAndEntityMovementMeetTheSameRamp) {
  sv.world().addRoom({-512, -512, 0}, {512, 512, 256});
  sv.world().addRamp({0, -100, 0}, {100, 100, 100}, Uphill::kPlusX);  // z = x
  const float r = std::sqrt(0.5f);
  TraceResult tr = sv.trace({30, 0, 200}, {30, 0, 0});
  EXPECT_EQ(tr.pHit, sv.edict(0));
  EXPECT_NEAR(tr.vecEndPos.z, 30 + kDistEpsilon / r, 0.01);
  EXPECT_NEAR(tr.vecPlaneNormal.x, -r, 0.001);
  EXPECT_NEAR(tr.vecPlaneNormal.z, r, 0.001);
  // A tossed 16-unit box comes to rest where its lower corner meets the slope.
  edict_t* box = sv.spawn("info_target");
  float mn[3] = {-8, -8, -8}, mx[3] = {8, 8, 8}, at[3] = {50, 0, 200};
  eng->pfnSetSize(box, mn, mx);
  eng->pfnSetOrigin(box, at);
  box->v.movetype = MOVETYPE_TOSS;
  sv.runFor(1.0f);
  EXPECT_NEAR(box->v.origin.x, 50, 0.01);
  EXPECT_NEAR(box->v.origin.z, 50 + 16 + kDistEpsilon / r, 0.01);
}

TEST_F(Session, PointContentsSeeVolumesAndSky) {
  sv.world().addRoom({-512, -512, 0}, {512, 512, 256}, 16, true);
  sv.world().addVolume({-100, -100, 0}, {100, 100, 50}, contents::kWater);
  float wet[3] = {0, 0, 20}, dry[3] = {0, 0, 100}, wall[3] = {520, 0, 100};
  EXPECT_EQ(eng->pfnPointContents(wet), CONTENTS_WATER);
  EXPECT_EQ(eng->pfnPointContents(dry), CONTENTS_EMPTY);
  EXPECT_EQ(eng->pfnPointContents(wall), CONTENTS_SOLID);
  TraceResult tr = sv.trace({0, 0, 100}, {0, 0, 10000});
  EXPECT_EQ(tr.pHit, sv.edict(0));
  EXPECT_EQ(eng->pfnPointContents(tr.vecEndPos), CONTENTS_SKY);
}

TEST_F(Session, FramesMoveThinkAndTouch) {
  sv.world().addRoom({-512, -512, 0}, {512, 512, 256});
  int p = sv.connect("Alice");
  sv.place(p, {0, 0, 100});
  sv.runFor(1.0f);
  EXPECT_NEAR(sv.vars(p).origin.z, 36, 0.1);  // fell to the floor
  EXPECT_TRUE(sv.vars(p).flags & FL_ONGROUND);
  sv.vars(p).velocity = vec3_t(300, 0, 0);
  sv.runFor(0.5f);
  EXPECT_NEAR(sv.vars(p).origin.x, 150, 1.0);
  sv.runFor(5.0f);
  EXPECT_NEAR(sv.vars(p).origin.x, 512 - 16, 0.1);  // stopped by the wall
  EXPECT_EQ(sv.vars(p).velocity.x, 0);
  EXPECT_TRUE(sv.game().reached("pfnTouch 1 0"));

  float t0 = sv.time();
  edict_t* e = sv.spawn("info_target");
  e->v.nextthink = t0 + 0.05f;
  sv.game().clearRecords();
  sv.runFor(0.2f);
  auto recs = sv.game().records();
  EXPECT_EQ(std::count_if(recs.begin(), recs.end(),
                          [](const std::string& r) { return r.rfind("pfnThink", 0) == 0; }),
            1);
  EXPECT_EQ(e->v.nextthink, 0);

  // A flying entity hits the wall and touches it.
  edict_t* hook = sv.spawn("info_target");
  hook->v.movetype = MOVETYPE_FLY;
  hook->v.solid = SOLID_BBOX;
  hook->v.owner = sv.edict(p);
  eng->pfnSetOrigin(hook, sv.vars(p).origin);
  hook->v.velocity = vec3_t(-1000, 0, 0);
  sv.game().clearRecords();
  sv.runFor(1.5f);
  EXPECT_NEAR(hook->v.origin.x, -512, 0.1);
  EXPECT_TRUE(sv.game().reached("pfnTouch " + std::to_string(sv.indexOf(hook)) + " 0"));
  EXPECT_GT(sv.game().calls("pfnStartFrame"), 100);
  EXPECT_GT(sv.game().calls("pfnPlayerPreThink"), 100);
}

TEST_F(Session, KilledEntitiesAreRemovedAtTheFrame) {
  edict_t* e = sv.spawn("beam");
  EXPECT_TRUE(e->v.flags & FL_CUSTOMENTITY);
  e->v.flags |= FL_KILLME;
  sv.runFrame();
  EXPECT_TRUE(e->free);
}

TEST_F(Session, UnimplementedSlotsAreCounted) {
  float o[3] = {0, 0, 0};
  eng->pfnParticleEffect(o, o, 1, 1);
  eng->pfnParticleEffect(o, o, 1, 1);
  EXPECT_EQ(sv.engineCalls("pfnParticleEffect"), 2);
  EXPECT_EQ(eng->pfnIsCareerMatch(), 0);
  EXPECT_EQ(sv.engineCalls("pfnIsCareerMatch"), 1);
}

}  // namespace

namespace {

// The engine loads a library that stands in front of the game library; here
// the fake game is copied into the mod folder and found again by file name.
TEST(Standalone, GameCopyInTheModFolderIsFoundByName) {
  Server sv;
  sv.copyIntoMod(Server::defaultGameLibrary(), "dlls/mp.so");
  ASSERT_TRUE(sv.fileExists("dlls/mp.so"));
  ASSERT_TRUE(sv.loadGame(sv.modPath() + "/dlls/mp.so"));
  EXPECT_TRUE(sv.attachFakeGame("mp.so"));
  sv.startMap();
  EXPECT_TRUE(sv.game().reached("GiveFnptrsToDll"));
  EXPECT_TRUE(sv.game().reached("GetEntityAPI2 140"));
  EXPECT_TRUE(sv.game().reached("GetNewDLLFunctions 1"));
  EXPECT_TRUE(sv.game().reached("pfnGameInit"));
  EXPECT_TRUE(sv.game().reached("pfnSpawn 0 worldspawn"));
  EXPECT_EQ(sv.root(), std::filesystem::current_path().string());  // cwd is the server folder
}

}  // namespace

namespace {

TEST(MapEntities, KeysReachTheGameBeforeTheSpawn) {
  Server sv;
  ASSERT_TRUE(sv.loadGame());
  sv.startMap();
  sv.game().clearRecords();
  char model[] = "*1";
  sv.engineTable()->pfnPrecacheModel(model);
  edict_t* e = sv.spawnMapEntity(
      {{"classname", "func_wall"}, {"targetname", "gate"}, {"origin", "10 20 30"}, {"model", "*1"}});
  ASSERT_NE(e, nullptr);
  auto r = sv.game().records();
  std::vector<std::string> want = {"link func_wall", "pfnKeyValue func_wall classname func_wall",
                                   "pfnKeyValue func_wall targetname gate",
                                   "pfnKeyValue func_wall origin 10 20 30",
                                   "pfnKeyValue func_wall model *1"};
  ASSERT_GE(r.size(), want.size() + 1);
  EXPECT_EQ(std::vector<std::string>(r.begin(), r.begin() + 5), want);
  EXPECT_EQ(r[5].rfind("pfnSpawn", 0), 0u);
  EXPECT_EQ(sv.str(e->v.targetname), "gate");
  EXPECT_EQ(e->v.origin, vec3_t(10, 20, 30));
  EXPECT_EQ(e->v.solid, SOLID_BSP);
  EXPECT_EQ(sv.spawnMapEntity({{"classname", "no_such_thing"}}), nullptr);
}

}  // namespace
