// The map's removal and addition files at map start.
#include <string>

#include "rix_session.h"

using rixtest::RixSession;

namespace {

int countRecords(RixSession& s, const std::string& prefix) {
  return static_cast<int>(s.gameRecords(prefix).size());
}

edict_t* withTargetName(RixSession& s, const std::string& cls, const std::string& name) {
  for (edict_t* e : s.sv.findByClass(cls))
    if (s.sv.str(e->v.targetname) == name) return e;
  return nullptr;
}

TEST(RixMapFiles, RemovalFileRemovesEveryEntityOfAClassButNeverTheWorld) {
  RixSession s;
  s.sv.writeFile("maps/de_nuvdm.rement",
                 "func_breakable\n\"worldspawn\" ; the world is never removed\n# a comment\n"
                 "Func_Door // case counts\n");
  s.startMap("de_nuvdm");
  EXPECT_EQ(countRecords(s, "pfnSpawn 0 worldspawn"), 1);
  EXPECT_EQ(s.sv.str(s.sv.edict(0)->v.classname), "worldspawn");
  for (int i = 0; i < 3; i++)
    s.sv.spawnMapEntity({{"classname", "func_breakable"}, {"targetname", "glass"}});
  s.sv.spawn("func_door");
  s.sv.spawn("func_wall");
  EXPECT_TRUE(s.sv.findByClass("func_breakable").empty());
  EXPECT_EQ(countRecords(s, "pfnSpawn"), 3);  // the world, the door, the wall
  EXPECT_EQ(s.sv.findByClass("func_door").size(), 1u);
  EXPECT_EQ(s.sv.findByClass("func_wall").size(), 1u);
  EXPECT_TRUE(s.sv.driverErrors().empty());
}

TEST(RixMapFiles, RemovalListIsReadAgainAtEveryMapStart) {
  RixSession s;
  s.sv.writeFile("maps/de_first.rement", "func_wall\n");
  s.startMap("de_first");
  s.sv.spawn("func_wall");
  EXPECT_TRUE(s.sv.findByClass("func_wall").empty());
  s.startMap("de_second");  // no file: nothing is removed
  s.sv.spawn("func_wall");
  EXPECT_EQ(s.sv.findByClass("func_wall").size(), 1u);
}

TEST(RixMapFiles, WorldspawnBlockSetsTheSkyAndSpawnsNothing) {
  RixSession s;
  s.sv.writeFile("maps/de_nuvdm.addent", "{\n\"classname\" \"worldspawn\"\n\"skyname\" \"space\"\n}\n");
  s.startMap("de_nuvdm");
  EXPECT_EQ(s.sv.cvarString("sv_skyname"), "space");
  EXPECT_EQ(s.sv.findByClass("worldspawn").size(), 1u);
  EXPECT_EQ(countRecords(s, "pfnKeyValue worldspawn skyname"), 0);
}

TEST(RixMapFiles, AddedEntitiesSpawnWithTheWorld) {
  RixSession s;
  s.sv.writeFile("maps/de_nuvdm.addent",
                 "// two walls\n"
                 "{\n\"classname\" \"func_wall\"\n\"origin\" \"10 20 30\"\n\"targetname\" \"w1\"\n"
                 "\"mins\" \"-1 -2 -3\"\n\"maxs\" \"4 5 6\"\n}\n"
                 "{ classname func_wall targetname w2 maxs \"8 8\" }\n");
  s.startMap("de_nuvdm");
  edict_t* w1 = withTargetName(s, "func_wall", "w1");
  ASSERT_NE(w1, nullptr);
  EXPECT_EQ(w1->v.origin, vec3_t(10, 20, 30));
  EXPECT_EQ(w1->v.mins, vec3_t(-1, -2, -3));
  EXPECT_EQ(w1->v.maxs, vec3_t(4, 5, 6));
  // Size keys are not handed to the game; the pairs go newest first.
  EXPECT_EQ(countRecords(s, "pfnKeyValue func_wall mins"), 0);
  auto kv = s.gameRecords("pfnKeyValue func_wall");
  ASSERT_GE(kv.size(), 3u);
  EXPECT_EQ(kv[0], "pfnKeyValue func_wall targetname w1");
  EXPECT_EQ(kv[1], "pfnKeyValue func_wall origin 10 20 30");
  EXPECT_EQ(kv[2], "pfnKeyValue func_wall classname func_wall");
  // Only maxs given: the size is left to the game.
  edict_t* w2 = withTargetName(s, "func_wall", "w2");
  ASSERT_NE(w2, nullptr);
  EXPECT_EQ(w2->v.maxs, vec3_t(0, 0, 0));
  EXPECT_EQ(countRecords(s, "pfnSpawn"), 3);  // the world and two walls
}

// Files saved on Windows end their lines in CR LF: the same entities, keys
// and values as with bare line feeds.
TEST(RixMapFiles, FilesWithWindowsLineEndsReadTheSame) {
  RixSession s;
  s.sv.writeFile("maps/de_nuvdm.rement", "func_breakable\r\n# glass\r\nfunc_door\r\n");
  s.sv.writeFile("maps/de_nuvdm.addent",
                 "// a wall\r\n{\r\n\"classname\" \"func_wall\"\r\n\"targetname\" \"w1\"\r\n"
                 "\"origin\" \"10 20 30\"\r\n}\r\n{\r\nclassname info_target\r\ntargetname bare\r\n}\r\n");
  s.startMap("de_nuvdm");
  edict_t* w1 = withTargetName(s, "func_wall", "w1");
  ASSERT_NE(w1, nullptr);
  EXPECT_EQ(w1->v.origin, vec3_t(10, 20, 30));
  EXPECT_NE(withTargetName(s, "info_target", "bare"), nullptr);
  auto kv = s.gameRecords("pfnKeyValue func_wall");
  ASSERT_EQ(kv.size(), 3u);
  EXPECT_EQ(kv[0], "pfnKeyValue func_wall origin 10 20 30");
  EXPECT_EQ(kv[1], "pfnKeyValue func_wall targetname w1");
  EXPECT_EQ(kv[2], "pfnKeyValue func_wall classname func_wall");
  s.sv.spawn("func_breakable");
  s.sv.spawn("func_door");
  EXPECT_TRUE(s.sv.findByClass("func_breakable").empty());
  EXPECT_TRUE(s.sv.findByClass("func_door").empty());
}

TEST(RixMapFiles, BlockWithoutClosingBraceIsStillSpawned) {
  RixSession s;
  s.sv.writeFile("maps/de_nuvdm.addent",
                 "{\n\"classname\" \"info_target\"\n\"targetname\" \"closed\"\n}\n"
                 "{\n\"classname\" \"info_target\"\n\"targetname\" \"left_open\"\n");
  s.startMap("de_nuvdm");
  EXPECT_NE(withTargetName(s, "info_target", "closed"), nullptr);
  EXPECT_NE(withTargetName(s, "info_target", "left_open"), nullptr);
}

TEST(RixMapFiles, ReadingStopsAtAKeyThatIsTooLong) {
  RixSession s;
  s.sv.writeFile("maps/de_nuvdm.addent",
                 "{ classname info_target targetname first }\n"
                 "{ classname info_target a_key_of_thirty_one_characters_ v }\n"
                 "{ classname info_target targetname third }\n");
  s.startMap("de_nuvdm");
  EXPECT_NE(withTargetName(s, "info_target", "first"), nullptr);
  // The broken block keeps what was read before the key.
  EXPECT_EQ(s.sv.findByClass("info_target").size(), 2u);
  EXPECT_EQ(withTargetName(s, "info_target", "third"), nullptr);
}

// 30 characters is the longest key the table holds; one more ends the file
// (above).
TEST(RixMapFiles, KeyOfThirtyCharactersIsKeptAndThePairsAfterItArrive) {
  RixSession s;
  const std::string key(30, 'k');
  s.sv.writeFile("maps/de_nuvdm.addent",
                 "{ classname info_target " + key + " long targetname after }\n"
                 "{ classname info_target targetname second }\n");
  s.startMap("de_nuvdm");
  EXPECT_EQ(countRecords(s, "pfnKeyValue info_target " + key + " long"), 1);
  EXPECT_NE(withTargetName(s, "info_target", "after"), nullptr);
  EXPECT_NE(withTargetName(s, "info_target", "second"), nullptr);
}

// "#" begins a comment at the start of a word, like ";" and "//"; inside a
// word it is a plain character.
TEST(RixMapFiles, HashAtTheStartOfAWordBeginsAComment) {
  RixSession s;
  s.sv.writeFile("maps/de_nuvdm.rement", "# func_wall\nfunc_door#1 # func_breakable\n");
  s.sv.writeFile("maps/de_nuvdm.addent",
                 "{ classname info_target #targetname hidden\ntargetname shown }\n");
  s.startMap("de_nuvdm");
  s.sv.spawn("func_wall");
  s.sv.spawn("func_breakable");
  s.sv.spawn("func_door#1");
  EXPECT_EQ(s.sv.findByClass("func_wall").size(), 1u);
  EXPECT_EQ(s.sv.findByClass("func_breakable").size(), 1u);
  EXPECT_TRUE(s.sv.findByClass("func_door#1").empty());
  EXPECT_NE(withTargetName(s, "info_target", "shown"), nullptr);
  EXPECT_EQ(countRecords(s, "pfnKeyValue info_target targetname hidden"), 0);
}

// ";" ends an unquoted word and begins a comment to the end of the line;
// between quotes it is a plain character.
TEST(RixMapFiles, SemicolonEndsAnUnquotedWordAndBeginsAComment) {
  RixSession s;
  s.sv.writeFile("maps/de_nuvdm.rement", "func_wall;func_door\nfunc_breakable;\n");
  s.sv.writeFile("maps/de_nuvdm.addent",
                 "{ classname info_target;targetname hidden }\n"
                 "targetname semi;colon\nmessage \"a;b\"\n}\n");
  s.startMap("de_nuvdm");
  for (const char* cls : {"func_wall", "func_door", "func_breakable"}) ASSERT_NE(s.sv.spawn(cls), nullptr);
  EXPECT_TRUE(s.sv.findByClass("func_wall").empty());
  EXPECT_EQ(s.sv.findByClass("func_door").size(), 1u);  // in the comment
  EXPECT_TRUE(s.sv.findByClass("func_breakable").empty());
  EXPECT_NE(withTargetName(s, "info_target", "semi"), nullptr);
  EXPECT_EQ(countRecords(s, "pfnKeyValue info_target targetname hidden"), 0);
  EXPECT_EQ(countRecords(s, "pfnKeyValue info_target message a;b"), 1);
  EXPECT_EQ(s.sv.findByClass("info_target").size(), 1u);
}

// The list holds 200 names: the 200th is acted on, the 201st is not.
TEST(RixMapFiles, RemovalListHoldsTwoHundredNames) {
  RixSession s;
  std::string text = "func_breakable\n";
  for (int i = 2; i <= 199; i++) text += "class_" + std::to_string(i) + "\n";
  text += "func_wall\nfunc_door\n";  // the 200th and the 201st
  s.sv.writeFile("maps/de_nuvdm.rement", text);
  s.startMap("de_nuvdm");
  for (const char* cls : {"func_breakable", "func_wall", "func_door"}) ASSERT_NE(s.sv.spawn(cls), nullptr);
  EXPECT_TRUE(s.sv.findByClass("func_breakable").empty());
  EXPECT_TRUE(s.sv.findByClass("func_wall").empty());
  EXPECT_EQ(s.sv.findByClass("func_door").size(), 1u);
}

TEST(RixMapFiles, KeyWithoutValueTakesItsOwnTextAndBlockWithoutClassIsSkipped) {
  RixSession s;
  s.sv.writeFile("maps/de_nuvdm.addent",
                 "{ \"targetname\" \"nobody\" }\n"
                 "{\nclassname info_target\ntargetname\n}\n"
                 "{ classname info_target targetname after }\n");
  s.startMap("de_nuvdm");
  EXPECT_EQ(countRecords(s, "pfnKeyValue info_target targetname nobody"), 0);
  EXPECT_EQ(countRecords(s, "pfnKeyValue  targetname nobody"), 0);
  EXPECT_NE(withTargetName(s, "info_target", "targetname"), nullptr);
  EXPECT_NE(withTargetName(s, "info_target", "after"), nullptr);
  EXPECT_EQ(s.sv.findByClass("info_target").size(), 2u);
}

TEST(RixMapFiles, ModelsAndSoundsOfAddedEntitiesArePrecached) {
  RixSession s;
  s.sv.writeFile("maps/de_nuvdm.addent",
                 "{ classname func_wall model models/props/crate.mdl }\n"
                 "{ classname func_wall model *3 }\n"
                 "{ classname info_target message Ambience/Wind.WAV }\n"
                 "{ classname info_target message \"Hello there\" }\n");
  s.startMap("de_nuvdm");
  EXPECT_NE(s.sv.modelIndex("models/props/crate.mdl"), 0);
  EXPECT_EQ(s.sv.modelIndex("*3"), 0);
  EXPECT_NE(s.sv.soundIndex("Ambience/Wind.WAV"), 0);
  EXPECT_EQ(s.sv.soundIndex("Hello there"), 0);
  EXPECT_EQ(countRecords(s, "pfnKeyValue func_wall model models/props/crate.mdl"), 1);
  EXPECT_EQ(countRecords(s, "pfnKeyValue info_target message Ambience/Wind.WAV"), 1);
}

TEST(RixMapFiles, LongValuesReachTheGameWhole) {
  RixSession s;
  std::string path = "models/" + std::string(60, 'p') + ".mdl";
  s.sv.writeFile("maps/de_nuvdm.addent", "{ classname func_wall model " + path + " }\n");
  s.startMap("de_nuvdm");
  EXPECT_EQ(countRecords(s, "pfnKeyValue func_wall model " + path), 1);
  EXPECT_NE(s.sv.modelIndex(path), 0);
}

TEST(RixMapFiles, AdditionFileOfMoreThanTheTableHolds) {
  host::Server::Options o;
  o.maxEntities = 2200;
  RixSession s(o);
  std::string text;
  for (int i = 0; i < 1030; i++) text += "{ classname info_target }\n";
  s.sv.writeFile("maps/de_nuvdm.addent", text);
  s.startMap("de_nuvdm");
  EXPECT_EQ(s.sv.findByClass("info_target").size(), 1024u);
  // The table is full: the editor has no pending record.
  int hostIndex = s.connectHost();
  s.say(hostIndex, "ent classname func_wall");
  s.say(hostIndex, "ent add");
  EXPECT_TRUE(s.sv.findByClass("func_wall").empty());
  EXPECT_TRUE(s.hudTexts(hostIndex).empty());
  bool told = false;
  for (auto& p : s.sv.prints())
    told = told || (p.entity == hostIndex && p.text.find("full") != std::string::npos);
  EXPECT_TRUE(told);
}

}  // namespace
