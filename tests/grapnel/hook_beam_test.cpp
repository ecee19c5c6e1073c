// The beam drawn from the player to his hook, its colour per team and game,
// and the banner a connecting player is sent.
#include "hook_session.h"

namespace {

using hooktest::HookSession;
using hooktest::SessionOptions;

vec3_t Color(HookSession& s, int id) {
  s.Command(id, "+hook");
  edict_t* beam = s.Beam(id);
  EXPECT_NE(beam, nullptr);
  vec3_t c = beam ? beam->v.rendercolor : vec3_t(-1, -1, -1);
  s.Command(id, "-hook");
  s.sv.runFor(0.1f);
  return c;
}

const vec3_t kBlue(0, 0, 255), kRed(255, 0, 0), kYellow(255, 255, 0), kGreen(0, 255, 0),
    kWhite(255, 255, 255);

TEST(HookBeam, BetweenThePlayerAndTheHookEntity) {
  HookSession s;
  int id = s.Join("Alice");
  s.Command(id, "+hook");
  edict_t* hook = s.Hook(id);
  edict_t* beam = s.Beam(id);
  ASSERT_NE(hook, nullptr);
  ASSERT_NE(beam, nullptr);
  int hookIndex = s.sv.indexOf(hook);
  EXPECT_EQ(s.sv.str(beam->v.classname), "beam");
  EXPECT_TRUE(beam->v.flags & FL_CUSTOMENTITY);
  EXPECT_EQ(beam->v.rendermode, BEAM_ENTS);
  EXPECT_EQ(beam->v.sequence, id);
  EXPECT_EQ(beam->v.skin, hookIndex);
  EXPECT_EQ(beam->v.owner, s.sv.edict(id));
  EXPECT_EQ(beam->v.aiment, hook);
  EXPECT_EQ(s.sv.str(beam->v.model), "sprites/laserbeam.spr");
  EXPECT_EQ(beam->v.modelindex, s.sv.modelIndex("sprites/laserbeam.spr"));
  EXPECT_FLOAT_EQ(beam->v.scale, 20);
  EXPECT_EQ(beam->v.body, 1);
  EXPECT_TRUE(beam->v.spawnflags & SF_BEAM_TEMPORARY);
  EXPECT_FLOAT_EQ(beam->v.animtime, 2);
  EXPECT_FLOAT_EQ(beam->v.renderamt, 128);
  EXPECT_FLOAT_EQ(beam->v.frame, 1);
  // Its bounds span both ends.
  EXPECT_LE(beam->v.absmin.x, std::min(s.sv.vars(id).origin.x, hook->v.origin.x) + 0.01f);
  EXPECT_GE(beam->v.absmax.x, std::max(s.sv.vars(id).origin.x, hook->v.origin.x) - 0.01f);

  // A new fire replaces the beam; the release removes it.
  s.Command(id, "-hook");
  EXPECT_TRUE(beam->free || (beam->v.flags & FL_KILLME));
  s.Cvar("GP_hook_weapon", "1");
  s.Cvar("GP_hook_width", "7.9");
  s.Cvar("GP_hook_noise", "3.5");
  s.sv.runFor(0.1f);
  s.Command(id, "+hook");
  beam = s.Beam(id);
  ASSERT_NE(beam, nullptr);
  EXPECT_EQ(beam->v.sequence, id | 0x1000) << "starts at the weapon attachment";
  EXPECT_FLOAT_EQ(beam->v.scale, 7);
  EXPECT_EQ(beam->v.body, 3);
  EXPECT_EQ(static_cast<int>(s.Live("beam").size()), 1);
}

TEST(HookBeam, CounterStrikeColoursFromThePlayerModel) {
  HookSession s;
  int id = s.Join("Alice");
  s.sv.vars(id).team = 2;
  s.sv.setInfoKey(id, "model", "leet");
  EXPECT_EQ(Color(s, id), kRed);
  s.sv.setInfoKey(id, "model", "guerilla");
  EXPECT_EQ(Color(s, id), kRed);
  s.sv.setInfoKey(id, "model", "gign");
  EXPECT_EQ(Color(s, id), kBlue);
  s.sv.setInfoKey(id, "model", "vip");
  EXPECT_EQ(Color(s, id), kGreen);
  s.sv.setInfoKey(id, "model", "Leet");
  EXPECT_EQ(Color(s, id), kBlue) << "models compare case-sensitively; others are blue";

  // From the team number instead; out of range is white.
  s.Cvar("GP_hook_showspy", "1");
  s.sv.vars(id).team = 3;
  EXPECT_EQ(Color(s, id), kYellow);
  s.sv.vars(id).team = 4;
  EXPECT_EQ(Color(s, id), kGreen);
  s.sv.vars(id).team = 7;
  EXPECT_EQ(Color(s, id), kWhite);
  s.sv.vars(id).team = 1;
  EXPECT_EQ(Color(s, id), kBlue);

  s.Cvar("GP_hook_color", "0");
  EXPECT_EQ(Color(s, id), kWhite);
}

// Every Counter-Strike model by name: the five terrorist models red, the
// four counter-terrorist ones blue, the VIP green, anything else blue.
TEST(HookBeam, CounterStrikeColourOfEveryModel) {
  struct Case {
    const char* model;
    vec3_t colour;
  };
  const Case cases[] = {{"arctic", kRed}, {"leet", kRed},  {"arab", kRed},  {"guerilla", kRed},
                        {"terror", kRed}, {"sas", kBlue},  {"gsg9", kBlue}, {"gign", kBlue},
                        {"urban", kBlue}, {"vip", kGreen}, {"gordon", kBlue}, {"terrorist", kBlue},
                        {"Terror", kBlue}, {"", kBlue}};
  HookSession s;
  int id = s.Join("Alice");
  s.sv.vars(id).team = 3;  // the team number plays no part
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    s.sv.setInfoKey(id, "model", c.model);
    EXPECT_EQ(Color(s, id), c.colour);
  }
}

// The mod folder name picks the colour rules whatever its case; a name that
// only begins like a known one takes the team number.
TEST(HookBeam, ModFolderNameInAnyCasePicksTheColourRules) {
  struct Case {
    const char* modDir;
    const char* key;
    const char* value;
    vec3_t colour;  // with the player in team 3 (yellow by number)
  };
  const Case cases[] = {
      {"cstrike", "model", "terror", kRed},   {"CSTRIKE", "model", "terror", kRed},
      {"CStrike", "model", "sas", kBlue},     {"Cstrike", "model", "vip", kGreen},
      {"firearms", "model", "red1", kRed},    {"FIREARMS", "model", "blue1", kBlue},
      {"TFC", "topcolor", "5", kRed},         {"Tfc", "topcolor", "80", kGreen},
      {"cstrike2", "model", "terror", kYellow}, {"tfc_old", "topcolor", "5", kYellow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.modDir);
    HookSession s(SessionOptions(c.modDir));
    int id = s.Join("Alice");
    s.sv.vars(id).team = 3;
    s.sv.setInfoKey(id, c.key, c.value);
    EXPECT_EQ(Color(s, id), c.colour);
  }
}

TEST(HookBeam, ColoursInOtherGames) {
  {
    HookSession s(SessionOptions("FireArms"));
    int id = s.Join("Alice");
    s.sv.vars(id).team = 3;
    s.sv.setInfoKey(id, "model", "red1");
    EXPECT_EQ(Color(s, id), kRed);
    s.sv.setInfoKey(id, "model", "blue1");
    EXPECT_EQ(Color(s, id), kBlue);
    s.sv.setInfoKey(id, "model", "green9");
    EXPECT_EQ(Color(s, id), kYellow) << "the team number";
  }
  {
    HookSession s(SessionOptions("tfc"));
    int id = s.Join("Alice");
    s.sv.vars(id).team = 4;
    s.sv.setInfoKey(id, "topcolor", "153");
    EXPECT_EQ(Color(s, id), kBlue);
    s.sv.setInfoKey(id, "topcolor", "5");
    EXPECT_EQ(Color(s, id), kRed);
    s.sv.setInfoKey(id, "topcolor", "45");
    EXPECT_EQ(Color(s, id), kYellow);
    s.sv.setInfoKey(id, "topcolor", "80");
    EXPECT_EQ(Color(s, id), kGreen);
    s.sv.vars(id).team = 2;
    s.sv.setInfoKey(id, "topcolor", "99");
    EXPECT_EQ(Color(s, id), kRed);
  }
  {
    HookSession s(SessionOptions("valve"));
    int id = s.Join("Alice");
    s.sv.setInfoKey(id, "model", "leet");
    s.sv.vars(id).team = 0;
    EXPECT_EQ(Color(s, id), kWhite);
  }
}

std::vector<std::string> ConsoleTo(HookSession& s, int id) {
  std::vector<std::string> out;
  for (const host::ClientPrint& p : s.sv.prints())
    if (p.entity == id && p.type == print_console) out.push_back(p.text);
  return out;
}

TEST(HookBeam, BannerAtConnectAndAgainOnTheFirstFrame) {
  HookSession s;
  int id = s.Join("Alice");
  std::vector<std::string> texts = ConsoleTo(s, id);
  ASSERT_EQ(texts.size(), 2u) << "banner and credit line at connect";
  const std::string banner = texts[0];
  EXPECT_NE(banner.find("+hook"), std::string::npos);
  EXPECT_NE(banner.find("hook_login"), std::string::npos);
  EXPECT_NE(banner.find("Grapnel Mod 5"), std::string::npos);
  EXPECT_EQ(texts[1].size(), 63u);
  EXPECT_EQ(texts[1].back(), '\n');

  s.sv.runFrame(0.01f);
  texts = ConsoleTo(s, id);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[2], "\n" + banner);
  EXPECT_EQ(texts[3], texts[1]);

  s.sv.runFor(1.0f);
  EXPECT_EQ(ConsoleTo(s, id).size(), 4u) << "twice, never more";
}

}  // namespace
