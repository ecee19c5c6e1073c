// Round events in the server log under Metamod: the game's world-event lines
// that start, end or restart a round release every hook; others do nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_game.h"
#include "host.h"

namespace {

// The server with the fake game and the plugin under Metamod, players who
// stay where they are put, and a wall ahead of them.
struct Session {
  Session() {
    EXPECT_TRUE(sv.loadGame());
    EXPECT_TRUE(sv.loadPlugin(GRAPNEL_MM_PATH).loaded);
    sv.startMap();
    sv.world().addRoom({-1024, -1024, 0}, {1024, 1024, 512});
    sv.world().addSolid({400, -512, 0}, {416, 512, 512});
    sv.playerMove = [](host::Server&, int, float) {};
  }
  int Join(const std::string& name, host::Vec3 origin) {
    int id = sv.connect(name);
    sv.place(id, origin);
    entvars_t& v = sv.vars(id);
    v.maxspeed = 250;
    v.health = 100;
    v.deadflag = DEAD_NO;
    v.movetype = MOVETYPE_WALK;
    return id;
  }
  void Command(int id, const std::string& line) { sv.clientCommand(id, line); }
  std::vector<edict_t*> Live(const std::string& cls) {
    std::vector<edict_t*> out;
    for (edict_t* e : sv.findByClass(cls))
      if (!(e->v.flags & FL_KILLME)) out.push_back(e);
    return out;
  }
  int HookCount() { return static_cast<int>(Live("GP_hook").size()); }
  int BeamCount() { return static_cast<int>(Live("beam").size()); }
  bool Attached(int id) {
    for (edict_t* e : Live("GP_hook"))
      if (e->v.euser1 && sv.indexOf(e->v.euser1) == id) return e->v.movetype == MOVETYPE_NOCLIP;
    return false;
  }
  bool RunUntilAttached(int id) {
    for (int i = 0; i < 200 && !Attached(id); ++i) sv.runFrame(0.01f);
    return Attached(id);
  }
  host::Server sv;
};

class FrameRound : public ::testing::Test {
 protected:
  void SetUp() override {
    alice = s.Join("Alice", {0, 0, 36});
    bob = s.Join("Bob", {0, 200, 36});
    ASSERT_TRUE(s.sv.hasFakeGame());
  }
  void hookBoth() {
    s.Command(alice, "+hook");
    s.Command(bob, "+hook");
    ASSERT_TRUE(s.RunUntilAttached(alice));
    ASSERT_TRUE(s.RunUntilAttached(bob));
  }
  int roundStarts() {
    int n = 0;
    for (const std::string& t : s.sv.alertTexts(at_console)) n += t == "Round Start!\n";
    return n;
  }

  Session s;
  int alice = 0, bob = 0;
};

TEST_F(FrameRound, RoundStartEndAndRestartReleaseEveryHook) {
  const char* events[] = {"Round_Start", "Round_End", "Restart_Round_(1_second)"};
  int expected = 0;
  for (const char* event : events) {
    SCOPED_TRACE(event);
    hookBoth();
    EXPECT_EQ(s.HookCount(), 2);
    s.sv.game().logWorldEvent(event);
    EXPECT_EQ(roundStarts(), ++expected);
    EXPECT_EQ(s.HookCount(), 0);
    EXPECT_EQ(s.BeamCount(), 0);
    s.Command(alice, "-hook");
    s.Command(bob, "-hook");
    s.sv.runFor(1.0f);  // past the wait between hooks
  }
}

TEST_F(FrameRound, OtherLinesReleaseNothing) {
  hookBoth();
  const std::string junk(1100, 'x');
  const std::string lines[] = {
      "World triggered \"Round_Draw\"\n",
      "World triggered \"Game_Commencing\"\n",
      "World triggered \"Round_Start\n",  // no closing quote
      "World triggered \"\"\n",           // empty name
      "Team \"CT\" triggered \"Round_Start\"\n",
      // The closing quote lies past the 1023 characters that are examined.
      "World triggered \"Restart_Round" + junk + "\"\n",
  };
  for (const std::string& line : lines) s.sv.game().logLine(line);
  // A console-level message is never examined.
  s.sv.game().api()->engine()->pfnAlertMessage(at_console, const_cast<char*>("%s"),
                                               "World triggered \"Round_Start\"\n");
  EXPECT_EQ(roundStarts(), 0);
  EXPECT_EQ(s.HookCount(), 2);

  // A shortened name still reads as the event it begins.
  s.sv.game().logLine("World triggered \"Round\"\n");
  EXPECT_EQ(roundStarts(), 1);
  EXPECT_EQ(s.HookCount(), 0);
}

// Under Metamod the plugin's alert hook answers every level but at_logged
// with MRES_IGNORED, unread, and every at_logged line, event or not, with
// MRES_HANDLED; only the logged round line releases the hooks.
TEST_F(FrameRound, AlertHookAnswersByLevel) {
  hookBoth();
  auto hook = s.sv.plugins().at(0)->eng.pfnAlertMessage;
  ASSERT_NE(hook, nullptr);
  meta_globals_t* meta = s.sv.metaGlobals();
  for (int level : {at_notice, at_console, at_aiconsole, at_warning, at_error}) {
    SCOPED_TRACE(level);
    meta->mres = MRES_UNSET;
    hook(static_cast<ALERT_TYPE>(level), const_cast<char*>("%s"), "World triggered \"Round_Start\"\n");
    EXPECT_EQ(meta->mres, MRES_IGNORED);
  }
  EXPECT_EQ(s.HookCount(), 2);
  meta->mres = MRES_UNSET;
  hook(at_logged, const_cast<char*>("%s"), "World triggered \"Round_Draw\"\n");
  EXPECT_EQ(meta->mres, MRES_HANDLED);
  EXPECT_EQ(s.HookCount(), 2);
  meta->mres = MRES_UNSET;
  hook(at_logged, const_cast<char*>("%s"), "World triggered \"Round_Start\"\n");
  EXPECT_EQ(meta->mres, MRES_HANDLED);
  EXPECT_EQ(s.HookCount(), 0);
}

}  // namespace
