// The hook's console variables, its client commands, the password gate, the
// wait between fires and the use key.
#include "hook_session.h"

namespace {

using hooktest::HookSession;

const std::string kRefusal1 =
    "The hook has a password set and you have not yet logged in with the correct password.\n";
const std::string kRefusal2 =
    "To log in, type in the console:\nhook_login password\nReplace password with the password that has "
    "been set.\n";
const std::string kRefusal3 =
    "The hook has a password set.\nRead the information in\nyour console for more info.\n";
const std::string kLoggedIn = "You are now logged in with that password.\n";

TEST(HookSettings, RegistersTheTwentyFourVariablesWithDefaultsAndFlags) {
  HookSession s;
  struct Expected {
    const char* name;
    const char* value;
    int flags;
  };
  const Expected all[] = {
      {"GP_hook_on", "1", FCVAR_ARCHIVE | FCVAR_SERVER},
      {"GP_hook_deployspeed", "1500", FCVAR_ARCHIVE},
      {"GP_hook_speed", "1.5", FCVAR_ARCHIVE},
      {"GP_hook_ground", "0", FCVAR_ARCHIVE},
      {"GP_hook_showspy", "0", FCVAR_ARCHIVE},
      {"GP_hook_sound", "1", FCVAR_ARCHIVE},
      {"GP_hook_hold", "15", FCVAR_ARCHIVE},
      {"GP_hook_sky", "0", FCVAR_ARCHIVE},
      {"GP_hook_players", "0", FCVAR_ARCHIVE},
      {"GP_hook_onlywalls", "0", FCVAR_ARCHIVE},
      {"GP_hook_color", "1", FCVAR_ARCHIVE},
      {"GP_hook_gravity", "0.5", FCVAR_ARCHIVE},
      {"GP_hook_instant", "0", FCVAR_ARCHIVE},
      {"GP_hook_swing", "0", FCVAR_ARCHIVE},
      {"GP_hook_swing_acceleration", "150", FCVAR_ARCHIVE},
      {"GP_hook_swing_reelspeed", "200", FCVAR_ARCHIVE},
      {"GP_hook_swing_minlength", "100", FCVAR_ARCHIVE},
      {"GP_hook_wait", "0.05", FCVAR_ARCHIVE},
      {"GP_hook_forcespeed", "0", FCVAR_ARCHIVE},
      {"GP_hook_width", "20", FCVAR_ARCHIVE},
      {"GP_hook_noise", "1", FCVAR_ARCHIVE},
      {"GP_hook_weapon", "0", FCVAR_ARCHIVE},
      {"GP_hook_usekey", "0", FCVAR_ARCHIVE},
      {"GP_hook_password", "0", FCVAR_ARCHIVE},
  };
  std::vector<std::string> order;
  for (const Expected& e : all) {
    SCOPED_TRACE(e.name);
    cvar_t* c = s.sv.cvar(e.name);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->string, e.value);
    EXPECT_EQ(c->flags, e.flags);
    order.push_back(e.name);
  }
  std::vector<std::string> registered;
  for (const std::string& name : s.sv.cvarOrder())
    if (name.rfind("GP_hook_", 0) == 0) registered.push_back(name);
  EXPECT_EQ(registered, order) << "registered in table order";
  EXPECT_EQ(s.sv.engineCalls("pfnCVarRegister"), 24);
  // A second game initialisation does not link the records twice.
  s.sv.callGame(&DLL_FUNCTIONS::pfnGameInit);
  EXPECT_EQ(s.sv.engineCalls("pfnCVarRegister"), 24);
}

TEST(HookSettings, HookOffLeavesPlusHookToTheGameButNotTheOtherCommands) {
  HookSession s;
  int id = s.Join("Alice");
  std::string me = "pfnClientCommand " + std::to_string(id) + " ";
  s.Cvar("GP_hook_on", "0");
  s.sv.game().clearRecords();
  s.Command(id, "+hook");
  EXPECT_EQ(s.HookCount(), 0);
  EXPECT_TRUE(s.sv.game().reached(me + "+hook")) << "+hook goes on to the game library";
  s.Command(id, "hook_login abc");
  s.Command(id, "-hook");
  EXPECT_FALSE(s.sv.game().reached(me + "hook_login"));
  EXPECT_FALSE(s.sv.game().reached(me + "-hook"));
  s.Command(id, "say hello");
  EXPECT_TRUE(s.sv.game().reached(me + "say hello"));
  s.Command(id, "+HOOK");
  EXPECT_TRUE(s.sv.game().reached(me + "+HOOK")) << "names are case-sensitive";

  s.Cvar("GP_hook_on", "1");
  s.sv.game().clearRecords();
  s.Command(id, "+hook");
  EXPECT_FALSE(s.sv.game().reached(me + "+hook"));
  EXPECT_EQ(s.HookCount(), 1);
}

TEST(HookSettings, PasswordRefusalLoginAndLongPasswords) {
  HookSession s;
  int id = s.Join("Alice");
  s.Cvar("GP_hook_password", "secret");
  s.Command(id, "+hook");
  EXPECT_EQ(s.HookCount(), 0);
  auto texts = s.TextsTo(id);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], std::make_pair(HUD_PRINTNOTIFY, kRefusal1));
  EXPECT_EQ(texts[1], std::make_pair(HUD_PRINTNOTIFY, kRefusal2));
  EXPECT_EQ(texts[2], std::make_pair(HUD_PRINTCENTER, kRefusal3));

  s.sv.clearRecords();
  s.Command(id, "hook_login");
  s.Command(id, "hook_login wrong");
  texts = s.TextsTo(id);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], std::make_pair(HUD_PRINTNOTIFY, std::string("Invalid login format.\n")));
  EXPECT_EQ(texts[1], std::make_pair(HUD_PRINTNOTIFY, kLoggedIn));
  s.sv.runFor(0.1f);
  s.Command(id, "+hook");
  EXPECT_EQ(s.HookCount(), 0) << "a wrong password shows at the next fire";
  EXPECT_EQ(s.TextsTo(id).size(), 5u);

  s.Command(id, "hook_login secret");
  s.Command(id, "+hook");
  EXPECT_EQ(s.HookCount(), 0) << "the refusal started the wait";
  s.sv.runFor(0.1f);
  s.Command(id, "+hook");
  EXPECT_EQ(s.HookCount(), 1);
  s.Command(id, "-hook");

  // Only the first 23 characters count, on both sides.
  s.Cvar("GP_hook_password", "abcdefghijklmnopqrstuvwXYZ");
  s.Command(id, "hook_login abcdefghijklmnopqrstuvw_and_more_than_a_buffer_holds_0123456789");
  s.sv.runFor(0.1f);
  s.Command(id, "+hook");
  EXPECT_EQ(s.HookCount(), 1);
  s.Command(id, "-hook");

  // "0" and the empty text mean no password.
  for (const char* none : {"0", ""}) {
    s.Cvar("GP_hook_password", none);
    int other = s.Join(std::string("Bob") + none, {0, 200, 36});
    s.sv.runFor(0.1f);
    s.Command(other, "+hook");
    EXPECT_NE(s.Hook(other), nullptr) << "password '" << none << "'";
    s.Command(other, "-hook");
  }

  // A reconnecting player has to log in again.
  s.Cvar("GP_hook_password", "secret");
  s.Command(id, "hook_login secret");
  s.sv.disconnect(id);
  id = s.Join("Alice");
  s.sv.runFor(0.1f);
  s.Command(id, "+hook");
  EXPECT_EQ(s.Hook(id), nullptr);
}

// The password compares exactly, case included: a login that differs from
// it only in case is refused at the fire with the three messages.
TEST(HookSettings, PasswordComparesWithItsCase) {
  struct Case {
    const char* login;
    bool fires;
  };
  const Case cases[] = {{"secret", false}, {"SECRET", false}, {"SeCrEt", false}, {"Secret ", false},
                        {"Secret", true}};
  HookSession s;
  s.Cvar("GP_hook_password", "Secret");
  int id = s.Join("Alice");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.login);
    s.Command(id, std::string("hook_login \"") + c.login + "\"");
    s.sv.clearRecords();
    s.sv.runFor(0.1f);
    s.Command(id, "+hook");
    EXPECT_EQ(s.HookCount(), c.fires ? 1 : 0);
    auto texts = s.TextsTo(id);
    if (c.fires) {
      EXPECT_TRUE(texts.empty());
    } else {
      ASSERT_EQ(texts.size(), 3u);
      EXPECT_EQ(texts[0], std::make_pair(HUD_PRINTNOTIFY, kRefusal1));
      EXPECT_EQ(texts[2], std::make_pair(HUD_PRINTCENTER, kRefusal3));
    }
    s.Command(id, "-hook");
  }
}

// Time after a release until +hook fires again, found by trying every 1 ms.
float EffectiveWait(HookSession& s, int id) {
  s.Command(id, "+hook");
  EXPECT_NE(s.Hook(id), nullptr);
  s.Command(id, "-hook");
  float released = s.sv.time();
  for (int i = 0; i < 200; ++i) {
    s.sv.runFrame(0.001f);
    s.Command(id, "+hook");
    if (s.Hook(id)) {
      float wait = s.sv.time() - released;
      s.Command(id, "-hook");
      s.sv.runFor(0.2f);
      return wait;
    }
  }
  return -1;
}

TEST(HookSettings, WaitHasAFloorPerMode) {
  HookSession s;
  s.sv.world().addSolid({400, -512, 0}, {416, 512, 512});
  int id = s.Join("Alice");
  s.Cvar("GP_hook_wait", "0");
  EXPECT_NEAR(EffectiveWait(s, id), 0.05, 0.0015);
  s.Cvar("GP_hook_wait", "0.1");
  EXPECT_NEAR(EffectiveWait(s, id), 0.1, 0.0015);
  s.Cvar("GP_hook_instant", "1");
  s.Cvar("GP_hook_wait", "0");
  EXPECT_NEAR(EffectiveWait(s, id), 0.001, 0.0015);
  s.Cvar("GP_hook_instant", "0.5");  // truncated at fire: projectile mode
  EXPECT_NEAR(EffectiveWait(s, id), 0.05, 0.0015);
}

TEST(HookSettings, NoReactionWhenDeadNotWalkingOrAlreadyOut) {
  HookSession s;
  int id = s.Join("Alice");
  s.sv.vars(id).movetype = MOVETYPE_FLY;
  s.Command(id, "+hook");
  EXPECT_EQ(s.HookCount(), 0);
  s.sv.vars(id).movetype = MOVETYPE_WALK;
  s.sv.vars(id).health = 0;
  s.Command(id, "+hook");
  EXPECT_EQ(s.HookCount(), 0);
  s.sv.vars(id).health = 100;
  s.Command(id, "+hook");  // refusals left the wait alone: fires at once
  EXPECT_EQ(s.HookCount(), 1);
  edict_t* first = s.Hook(id);
  s.Command(id, "+hook");
  EXPECT_EQ(s.HookCount(), 1);
  EXPECT_EQ(s.Hook(id), first);
  EXPECT_TRUE(s.sv.messagesNamed("TextMsg").empty());
}

TEST(HookSettings, UseKeyFiresOnceAndReleasesWithinFiveSecondsOfTheSetting) {
  HookSession s;
  s.Frozen();
  int id = s.Join("Alice");
  s.sv.vars(id).button = IN_USE;
  s.sv.runFor(0.2f);
  EXPECT_EQ(s.HookCount(), 0) << "the use key is off by default";

  s.sv.vars(id).button = 0;
  s.CvarAndRefresh("GP_hook_usekey", "1");
  s.sv.vars(id).button = IN_USE;
  s.sv.runFor(0.5f);
  EXPECT_EQ(s.HookCount(), 1);
  edict_t* first = s.Hook(id);
  s.sv.runFor(0.5f);
  EXPECT_EQ(s.Hook(id), first) << "holding the key fires once";
  s.sv.vars(id).button = 0;
  s.sv.runFrame(0.01f);
  EXPECT_EQ(s.HookCount(), 0) << "letting go releases";

  s.CvarAndRefresh("GP_hook_usekey", "0");
  s.sv.vars(id).button = IN_USE;
  s.sv.runFor(0.5f);
  EXPECT_EQ(s.HookCount(), 0);
}

// No value an admin can type makes the plugin compute out of range: every
// numeric setting, and the engine's two it reads, at an extreme through
// firing, attaching, pulling, swinging with every key and releasing. The
// sanitizer build stops at the first undefined operation (signed overflow,
// a float out of an int's range).
TEST(HookSettings, ExtremeValuesStayDefined) {
  const char* const numeric[] = {
      "GP_hook_deployspeed", "GP_hook_speed", "GP_hook_ground", "GP_hook_showspy", "GP_hook_sound",
      "GP_hook_sky", "GP_hook_players", "GP_hook_onlywalls", "GP_hook_color", "GP_hook_gravity",
      "GP_hook_swing_acceleration", "GP_hook_swing_reelspeed", "GP_hook_swing_minlength",
      "GP_hook_forcespeed", "GP_hook_width", "GP_hook_noise", "GP_hook_weapon", "GP_hook_usekey",
      "sv_gravity", "sv_maxspeed"};
  // Those that decide whether a hook goes out and holds at all come last.
  const char* const gates[] = {"GP_hook_on", "GP_hook_hold", "GP_hook_wait", "GP_hook_instant", "GP_hook_swing"};
  const int keysA = IN_JUMP | IN_FORWARD | IN_MOVERIGHT | IN_USE;
  const int keysB = IN_DUCK | IN_BACK | IN_MOVELEFT;
  for (const char* value : {"3e9", "-3e9", "2147483647", "-2147483648", "1e38", "-1e38", "inf", "-inf", "nan"}) {
    SCOPED_TRACE(value);
    HookSession s;
    s.Frozen();
    for (const char* name : numeric) s.Cvar(name, value);
    s.sv.runFor(5.1f);  // the cached ones too
    int a = s.Join("Alice", {0, 0, 36}, {-60, 30, 0});
    int b = s.Join("Bob", {300, 0, 36}, {-90, 0, 0});
    for (const char* instant : {"0", "1"}) {
      for (const char* swing : {"0", "1"}) {
        s.Cvar("GP_hook_instant", instant);
        s.Cvar("GP_hook_swing", swing);
        s.Command(a, "+hook");
        s.Command(b, "+hook");
        s.sv.vars(a).button = keysA;
        s.sv.vars(b).button = keysB;
        s.sv.runFor(0.35f);
        s.sv.vars(a).button = keysB;
        s.sv.vars(b).button = keysA;
        s.sv.runFor(0.35f);
        s.sv.vars(a).button = s.sv.vars(b).button = 0;
        s.Command(a, "-hook");
        s.Command(b, "-hook");
        s.sv.runFor(0.1f);
      }
    }
    for (const char* name : gates) s.Cvar(name, value);
    s.Command(a, "+hook");
    s.Command(b, "+hook");
    s.sv.runFor(0.3f);
    s.Command(a, "-hook");
    s.Command(b, "-hook");
    s.sv.runFor(0.1f);
    EXPECT_TRUE(s.sv.driverErrors().empty());
  }
}

}  // namespace
