// The listen-server host's entity editor, driven by chat lines.
#include <string>
#include <vector>

#include "rix_session.h"

using host::Vec3;
using rixtest::RixSession;

namespace {

// The editor appends in text mode: Windows ends each written line in CR LF.
#ifdef _WIN32
const std::string kLineEnd = "\r\n";
#else
const std::string kLineEnd = "\n";
#endif

// The text with every line feed as the platform's text mode writes it.
std::string textModeLines(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += kLineEnd;
    else
      out += c;
  }
  return out;
}

struct EditorSession : RixSession {
  int hostIndex = 0;
  explicit EditorSession(host::Server::Options o = {}, const std::string& metamodFile = RIX_METAMOD_STANDIN_PATH,
                         bool handsOver = true)
      : RixSession(o, metamodFile, handsOver) {
    sv.writeFile("maps/readme.txt", "the maps folder\n");
    startMap("de_nuvdm");
    gameSearches();  // the map runs: precaching has closed
    hostIndex = connectHost();
    sv.place(hostIndex, {100, 0, 36});
  }
  std::string lastHud() {
    auto texts = hudTexts(hostIndex);
    return texts.empty() ? "<none>" : texts.back();
  }
  std::string addFile() { return sv.readFile("maps/de_nuvdm.addent"); }
  bool toldHost(const std::string& part) {
    for (auto& p : sv.prints())
      if (p.entity == hostIndex && p.text.find(part) != std::string::npos) return true;
    return false;
  }
};

TEST(RixEditor, ClassnameMaxsAddWritesABlockThatReadsBackInOrder) {
  EditorSession s;
  s.say(s.hostIndex, "ent classname func_wall");
  EXPECT_EQ(s.lastHud(), "origin 100 0 36\nclassname func_wall\n");
  auto markers = s.sv.tempEntities(TE_PROJECTILE);
  ASSERT_EQ(markers.size(), 1u);
  EXPECT_EQ(markers[0].dest, MSG_PAS);
  EXPECT_EQ(markers[0].floatAt(1), 100);
  EXPECT_EQ(markers[0].floatAt(3), 36);
  EXPECT_EQ(markers[0].intAt(7), s.sv.modelIndex("models/office_gibs.mdl"));
  EXPECT_EQ(markers[0].intAt(8), 30);
  EXPECT_EQ(markers[0].intAt(9), s.hostIndex);
  EXPECT_EQ(s.sv.tempEntities(TE_SPARKS).size(), 1u);

  s.sv.place(s.hostIndex, {36, 0, 36});  // 64 units back along x
  s.say(s.hostIndex, "ent maxs");
  EXPECT_EQ(s.lastHud(), "maxs 64 0 0\norigin 100 0 36\nclassname func_wall\n");
  auto boxes = s.sv.tempEntities(TE_BOX);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].floatAt(1), 99);  // editOrigin + (-1, -1, -1)
  EXPECT_EQ(boxes[0].floatAt(4), 164);
  EXPECT_EQ(boxes[0].intAt(7), 300);
  EXPECT_EQ(boxes[0].intAt(9), 255);

  s.say(s.hostIndex, "ent add");
  EXPECT_EQ(s.addFile(), textModeLines("{\n\"maxs\" \"64 0 0\"\n\"origin\" \"100 0 36\"\n\"classname\" \"func_wall\"\n}\n"));
  ASSERT_EQ(s.sv.findByClass("func_wall").size(), 1u);
  EXPECT_EQ(s.sv.findByClass("func_wall")[0]->v.origin, vec3_t(100, 0, 36));

  // At the next map start the pairs come back in the order they were set.
  s.sv.game().clearRecords();
  s.startMap("de_nuvdm");
  auto kv = s.gameRecords("pfnKeyValue func_wall");
  ASSERT_EQ(kv.size(), 2u);
  EXPECT_EQ(kv[0], "pfnKeyValue func_wall classname func_wall");
  EXPECT_EQ(kv[1], "pfnKeyValue func_wall origin 100 0 36");
}

TEST(RixEditor, PendingPairsShowAsATextOverlayForTheHost) {
  EditorSession s;
  s.say(s.hostIndex, "ent classname light");
  host::Message hud;
  for (auto& m : s.sv.messagesTo(s.hostIndex))
    if (m.teCode() == TE_TEXTMESSAGE) hud = m;
  ASSERT_EQ(hud.size(), 17u);
  EXPECT_EQ(hud.dest, MSG_ONE);
  EXPECT_EQ(hud.type, SVC_TEMPENTITY);
  const int expected[] = {TE_TEXTMESSAGE, 5, 0, 4096, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 2560};
  for (size_t i = 0; i < 16; i++) EXPECT_EQ(hud.intAt(i), expected[i]) << "value " << i;
  EXPECT_EQ(hud.stringAt(16), "origin 100 0 36\nclassname light\n");
  // A long value is cut to what the overlay carries.
  s.say(s.hostIndex, "ent message " + std::string(300, 'm'));
  s.say(s.hostIndex, "ent target " + std::string(300, 't'));
  EXPECT_EQ(s.lastHud().size(), 511u);
}

TEST(RixEditor, BoxSizesAreAbsoluteOnEveryAxis) {
  EditorSession s;
  s.say(s.hostIndex, "ent classname func_wall");
  s.sv.place(s.hostIndex, {100, 0, 20});  // a step down
  s.say(s.hostIndex, "ent maxs");
  s.say(s.hostIndex, "ent mins");
  EXPECT_EQ(s.lastHud(), "mins 0 0 -16\nmaxs 0 0 16\norigin 100 0 36\nclassname func_wall\n");
  s.say(s.hostIndex, "ent add");
  edict_t* wall = s.sv.findByClass("func_wall").at(0);
  EXPECT_EQ(wall->v.mins, vec3_t(0, 0, -16));
  EXPECT_EQ(wall->v.maxs, vec3_t(0, 0, 16));
}

TEST(RixEditor, AddWithNothingPendingDoesNothing) {
  EditorSession s;
  s.say(s.hostIndex, "ent add");
  EXPECT_TRUE(s.hudTexts(s.hostIndex).empty());
  EXPECT_FALSE(s.sv.fileExists("maps/de_nuvdm.addent"));
  s.say(s.hostIndex, "ent classname func_wall");
  s.say(s.hostIndex, "ent delete");
  EXPECT_EQ(s.lastHud(), "");
  s.say(s.hostIndex, "ent add");
  s.say(s.hostIndex, "ent maxs");
  EXPECT_FALSE(s.sv.fileExists("maps/de_nuvdm.addent"));
  EXPECT_TRUE(s.sv.findByClass("func_wall").empty());
}

TEST(RixEditor, ChatLinesStillReachTheGame) {
  EditorSession s;
  s.sv.game().clearRecords();
  s.say(s.hostIndex, "ent classname func_wall");
  s.say(s.hostIndex, "hello all");
  EXPECT_EQ(s.gameRecords("pfnClientCommand").size(), 2u);
}

TEST(RixEditor, SearchMarksEveryEntityOfTheClass) {
  EditorSession s;
  s.sv.spawn("info_player_start", {10, 20, 30});
  s.sv.spawn("info_player_start", {-40, 50, 0});
  s.sv.game().clearRecords();
  s.say(s.hostIndex, "ent search info_player_start");
  auto markers = s.sv.tempEntities(TE_PROJECTILE);
  ASSERT_EQ(markers.size(), 2u);
  EXPECT_EQ(markers[0].floatAt(1), 10);
  EXPECT_EQ(markers[1].floatAt(1), -40);
  EXPECT_EQ(markers[1].floatAt(2), 50);
  EXPECT_EQ(s.sv.tempEntities(TE_SPARKS).size(), 2u);
  EXPECT_TRUE(s.hudTexts(s.hostIndex).empty());  // the pending record is untouched
  EXPECT_EQ(s.gameRecords("pfnClientCommand").size(), 1u);
}

TEST(RixEditor, OnlyTheListenServerHostEdits) {
  EditorSession s;
  int bob = s.sv.connect("Bob", "10.0.0.7:27005");
  s.say(bob, "ent classname func_wall");
  s.say(bob, "ent add");
  EXPECT_TRUE(s.sv.tempEntities().empty());
  EXPECT_TRUE(s.sv.findByClass("func_wall").empty());
}

TEST(RixEditor, NoEditorOnADedicatedServer) {
  host::Server::Options o;
  o.dedicated = true;
  EditorSession s(o);
  s.say(s.hostIndex, "ent classname func_wall");
  EXPECT_TRUE(s.hudTexts(s.hostIndex).empty());
}

TEST(RixEditor, UnknownClassLeavesAnEmptyRecord) {
  EditorSession s;
  s.say(s.hostIndex, "ent classname no_such_class");
  EXPECT_TRUE(s.hudTexts(s.hostIndex).empty());
  s.say(s.hostIndex, "ent targetname t1");  // a pair without a class
  s.say(s.hostIndex, "ent add");
  EXPECT_EQ(s.sv.engineCalls("pfnCreateNamedEntity"), 0);
}

// The class check asks the Metamod library the server runs, whatever its file
// is called: the one that holds the utility table Metamod handed over, else
// (a table that lies in no library of its own) a file of a Metamod build's name.
TEST(RixEditor, ClassCheckFindsMetamodUnderAnyName) {
#ifdef _WIN32
  const std::vector<std::string> buildNames = {"metamod.dll"};
#else
  const std::vector<std::string> buildNames = {"metamod_i386.so", "metamod.so"};
#endif
  struct Case {
    std::string file;
    bool handsOver;
    bool known;
  };
  std::vector<Case> cases = {{RIX_METAMOD_STANDIN_PATH, true, true}, {RIX_METAMOD_STANDIN_PATH, false, false}};
  for (const std::string& name : buildNames) {
    cases.push_back({std::string(RIX_STANDIN_DIR) + "/" + name, true, true});
    cases.push_back({std::string(RIX_STANDIN_DIR) + "/" + name, false, true});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + (c.handsOver ? ", its own utility table" : ", the driver's utility table"));
    EditorSession s({}, c.file, c.handsOver);
    s.say(s.hostIndex, "ent classname func_wall");
    EXPECT_EQ(s.hudTexts(s.hostIndex).empty(), !c.known);
    s.say(s.hostIndex, "ent classname no_such_class");
    EXPECT_EQ(s.lastHud(), c.known ? "origin 100 0 36\nclassname func_wall\n" : "<none>");
  }
}

TEST(RixEditor, OtherWordsSetOrAddPairsAndOriginAndAngles) {
  EditorSession s;
  s.say(s.hostIndex, "ent classname info_target");
  s.say(s.hostIndex, "ent targetname one");
  s.say(s.hostIndex, "ent targetname two");
  EXPECT_EQ(s.lastHud(), "targetname two\norigin 100 0 36\nclassname info_target\n");
  s.sv.place(s.hostIndex, {-5.5f, 7.9f, 36}, {10.7f, -20.9f, 0});
  s.say(s.hostIndex, "ent origin");
  s.say(s.hostIndex, "ent angles");
  EXPECT_EQ(s.lastHud(),
            "angles 10 -20 0\ntargetname two\norigin -5 7 36\nclassname info_target\n");
  // Console form: the words arrive as separate arguments.
  s.sv.clientCommand(s.hostIndex, "say ent message \"two words\"");
  EXPECT_EQ(s.lastHud(), "message two words\nangles 10 -20 0\ntargetname two\n"
                         "origin -5 7 36\nclassname info_target\n");
}

TEST(RixEditor, ValuesThatCannotBeReadBackAreRefused) {
  EditorSession s;
  s.say(s.hostIndex, "ent classname info_target");
  size_t shown = s.hudTexts(s.hostIndex).size();
  s.sv.clientCommand(s.hostIndex, "say ent message a\"b");
  EXPECT_TRUE(s.toldHost("double quotes"));
  s.sv.clientCommand(s.hostIndex, "say ent a_key_of_thirty_one_characters_ v");
  EXPECT_TRUE(s.toldHost("30 characters"));
  EXPECT_EQ(s.hudTexts(s.hostIndex).size(), shown);
  s.say(s.hostIndex, "ent add");
  std::string file = s.addFile();
  EXPECT_EQ(file.find("message"), std::string::npos);
  EXPECT_EQ(file.find("a_key"), std::string::npos);
  // The file reads back whole: one more target, and only the refused pairs missing.
  s.sv.game().clearRecords();
  s.startMap("de_nuvdm");
  EXPECT_EQ(s.sv.findByClass("info_target").size(), 2u);
  EXPECT_EQ(s.gameRecords("pfnKeyValue info_target").size(), 2u);
}

TEST(RixEditor, AddedModelIsSwappedUntilTheNextMapStart) {
  EditorSession s;
  s.say(s.hostIndex, "ent classname func_wall");
  s.say(s.hostIndex, "ent model models/w_medkit.mdl");
  s.say(s.hostIndex, "ent message Ambience/Custom.wav");
  s.say(s.hostIndex, "ent add");
  edict_t* wall = s.sv.findByClass("func_wall").at(0);
  EXPECT_EQ(s.sv.str(wall->v.model), "models/office_gibs.mdl");
  EXPECT_EQ(s.gameRecords("pfnKeyValue func_wall message fvox/bell.wav").size(), 1u);
  // The file keeps what the host asked for.
  EXPECT_NE(s.addFile().find("\"model\" \"models/w_medkit.mdl\""), std::string::npos);
  s.startMap("de_nuvdm");
  wall = s.sv.findByClass("func_wall").back();
  EXPECT_EQ(s.sv.str(wall->v.model), "models/w_medkit.mdl");
  EXPECT_NE(s.sv.soundIndex("Ambience/Custom.wav"), 0);
}

TEST(RixEditor, PluginLoadedDuringAMapAddsNoFileThatIsNotPrecached) {
  rixtest::MetamodLibrary metamod;
  host::Server sv;
  ASSERT_TRUE(sv.loadGame());
  sv.writeFile("maps/readme.txt", "");
  sv.startMap("de_nuvdm");
  host::PluginOptions po;
  po.now = PT_ANYTIME;
  po.utilFuncs = metamod.utilFuncs;
  ASSERT_TRUE(sv.loadPlugin(RIX_MM_PATH, po).loaded);
  sv.game().clearRecords();
  int hostIndex = sv.connect("Host", "loopback");
  sv.place(hostIndex, {0, 0, 36});
  sv.clientCommand(hostIndex, "say \"ent classname func_wall\"");
  sv.clientCommand(hostIndex, "say \"ent model models/can.mdl\"");
  sv.clientCommand(hostIndex, "say \"ent add\"");
  ASSERT_EQ(sv.findByClass("func_wall").size(), 1u);
  EXPECT_EQ(sv.modelIndex("models/office_gibs.mdl"), 0);
  for (auto& r : sv.game().records()) EXPECT_EQ(r.find("pfnKeyValue func_wall model"), std::string::npos);
  EXPECT_TRUE(sv.tempEntities(TE_PROJECTILE).empty());  // no marker model either
  EXPECT_EQ(sv.tempEntities(TE_SPARKS).size(), 1u);
}

TEST(RixEditor, EntityIsAddedEvenWhenTheFileCannotBeWritten) {
  RixSession s;
  s.startMap("de_nomaps");  // no maps folder below the mod folder
  int hostIndex = s.connectHost();
  s.sv.place(hostIndex, {0, 0, 36});
  s.say(hostIndex, "ent classname func_wall");
  s.say(hostIndex, "ent add");
  EXPECT_EQ(s.sv.findByClass("func_wall").size(), 1u);
  EXPECT_FALSE(s.sv.fileExists("maps/de_nomaps.addent"));
  // The next record starts empty.
  s.say(hostIndex, "ent add");
  EXPECT_EQ(s.sv.findByClass("func_wall").size(), 1u);
}

}  // namespace
