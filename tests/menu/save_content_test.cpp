// What the written files say for states other than the start-up one.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "form/form.h"
#include "support/menu_support.h"
#include "writers/liblist.h"
#include "writers/files.h"
#include "writers/lines.h"
#include "writers/userconfig.h"

namespace {

using nuv::Form;
using nuvtest::golden;
using nuvtest::RecordingFrontEnd;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

size_t countPrefix(const std::vector<std::string>& lines, const std::string& prefix) {
    return std::count_if(lines.begin(), lines.end(),
                         [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

class UserConfig : public ::testing::Test {
protected:
    std::vector<std::string> lines() const { return linesOf(nuv::userConfigText(form, "/m")); }
    RecordingFrontEnd fe;
    Form form{fe, "/m"};
};

TEST(LineForms, EveryFormEndsInCrLf) {
    nuv::LineWriter w;
    w.plain("a").empty().keyValue("k", "v").keyValue("url_dl", "").footer(" @ x");
    EXPECT_EQ(w.text(), "a\r\n\r\nk \"v\"\r\nurl_dl \"\"\r\n// File created with NUVDM_Menu @ x\r\n");
}

TEST_F(UserConfig, FreeFragsWithAutostartExecsTheSecondSkillConfig) {
    form.select("dm_free");
    EXPECT_TRUE(has(lines(), "exec addons/nuv/dm_2.cfg;                // Skillconfig"));
    form.select("dm_normalplus");
    EXPECT_TRUE(has(lines(), "exec addons/nuv/dm_3.cfg;                // Skillconfig"));
    form.select("dm_easy");
    EXPECT_TRUE(has(lines(), "exec addons/nuv/dm_4.cfg;                // Skillconfig"));
    EXPECT_EQ(countPrefix(lines(), "exec addons/nuv/dm_"), 1u);
}

TEST_F(UserConfig, AutostartOffDropsRestartAndSkillConfig) {
    form.setChecked("autostart", false);
    const auto l = lines();
    EXPECT_EQ(l[2], "sv_autoinfo 0;                           // Intro without autostart");
    EXPECT_EQ(l[3].rfind("ex_interp 0;", 0), 0u);
    EXPECT_TRUE(has(l, "//exec addons/nuv/dm_X.cfg;                  // Skillconfig "));
    EXPECT_EQ(countPrefix(l, "exec addons/nuv/dm_"), 0u);
}

TEST_F(UserConfig, BotWeaponRestrictionByTheThreeBoxes) {
    struct Case {
        int pistols, famas, awp;
        const char* value;
    } cases[] = {
        {1, 1, 1, "00001111111111111111111111"}, {1, 0, 0, "00001111111111111111111111"},
        {0, 1, 1, "00001111111111010001101111"}, {0, 1, 0, "00001111111111010001111111"},
        {0, 0, 1, "00001111111111010111101111"}, {0, 0, 0, "00001111111111010111111111"},
    };
    for (const Case& c : cases) {
        form.setValue("pistols", c.pistols);
        form.setValue("famasgalil", c.famas);
        form.setValue("awp", c.awp);
        EXPECT_TRUE(has(lines(), std::string("pb_restrweapons \"") + c.value + "\""))
            << c.pistols << c.famas << c.awp;
    }
}

TEST_F(UserConfig, BotCountsByTheCountButton) {
    form.select("maxbots_many");
    auto l = lines();
    EXPECT_TRUE(has(l, "alias pb_count1 \"pb_maxbots 20\""));
    EXPECT_TRUE(has(l, "alias pb_count6 \"pb_maxbots 11\""));
    EXPECT_TRUE(has(l, "alias pb_count4 \"pb_maxbots 4\""));
    form.select("maxbots_few");
    l = lines();
    EXPECT_TRUE(has(l, "alias pb_count1 \"pb_maxbots 8\""));
    EXPECT_TRUE(has(l, "alias pb_count5 \"pb_maxbots 6\""));
}

TEST_F(UserConfig, GroupsWithoutSelectionWriteNoLine) {
    // The High preset leaves the bot team empty.
    form.deselectAll("Frame15");
    EXPECT_EQ(countPrefix(lines(), "pb_bot_join_team"), 0u);
    form.select("team_t");
    EXPECT_TRUE(has(lines(), "pb_bot_join_team T;                      // Force Team for bots <ALL|CT|T>"));
}

TEST_F(UserConfig, RecoilLinesFromPlayersAndBots) {
    form.setChecked("norecoilb", true);
    auto l = lines();
    EXPECT_TRUE(has(l, "amx_recoil_mode 2;                       // <0|2> 2 turn on NoRecoil for Bots"));
    EXPECT_EQ(countPrefix(l, "sv_NoRecoil"), 0u);
    EXPECT_EQ(countPrefix(l, ";sv_NoRecoil"), 0u);
    form.setChecked("norecoil", true);
    l = lines();
    EXPECT_TRUE(has(l, "sv_NoRecoil 1;                           // Unlocks norecoild for everybody"));
    EXPECT_TRUE(has(l, "amx_recoil_mode 2;                       // Enables norecoil"));
}

TEST_F(UserConfig, EditorKeysWhenTheEditorPresetIsSelected) {
    form.select("medit");
    const auto l = lines();
    EXPECT_TRUE(has(l, "bind mouse5 \"pb wpmenu                            // Set mouse5 Waypointmenu\""));
    EXPECT_TRUE(has(l, "bind mouse4 edit_spawns                      // Set mouse4 CSDM spawn_editor"));
    EXPECT_TRUE(has(l, "bind mouse3 walkguardmenu                    // Set mouse3 to the walkguardmenu Cfg menu"));
}

TEST_F(UserConfig, EndsWithTwoEmptyLinesAndTheFooter) {
    const auto l = lines();
    ASSERT_GE(l.size(), 3u);
    EXPECT_EQ(l[l.size() - 3], "");
    EXPECT_EQ(l[l.size() - 2], "");
    EXPECT_EQ(l.back(), "// File created with NUVDM_Menu @ " + nuv::fullPath("/m", "dm_userconfig.cfg"));
}

TEST_F(UserConfig, VampireAndFallingDamage) {
    form.setChecked("vampire", true);
    form.select("fall_std");
    const auto l = lines();
    EXPECT_TRUE(has(l, "amx_vampire_max_hp 100                   // Min HP/AP after frag"));
    EXPECT_TRUE(has(l, "my_falldamage -1;                                // -1 = off // else <1-100> max damage"));
    EXPECT_EQ(countPrefix(l, "my_falldamage"), 1u);
}

TEST(EnableFiles, ByCsdmAndFfa) {
    RecordingFrontEnd fe;
    Form form(fe, "/m");
    form.setChecked("ffa", false);
    auto e = nuv::enableFilesText(form);
    ASSERT_TRUE(e.write);
    EXPECT_EQ(e.plain, golden("startup/dm_enable.cfg", "/m"));
    EXPECT_EQ(e.ffa, e.plain);
    form.setChecked("csdm", false);
    e = nuv::enableFilesText(form);
    ASSERT_TRUE(e.write);
    EXPECT_EQ(e.plain, golden("startup/dm_enable_csdm_off.cfg", "/m"));
    EXPECT_EQ(e.ffa, e.plain);
    form.setChecked("ffa", true);
    EXPECT_FALSE(nuv::enableFilesText(form).write);
}

// gamedll_linux names the libraries a Linux server has (the game library
// switching off, Metamod's switching on); the Windows build writes the list
// as it always read.
TEST(LibList, LinuxLibrariesFollowWhatTheServerHas) {
    struct Case {
        std::vector<const char*> files;
        const char* on;
        const char* off;
    };
    const Case cases[] = {
        {{}, "addons/metamod/dlls/metamod_i386.so", "dlls/cs.so"},
        {{"dlls/cs_i386.so", "addons/metamod/dlls/metamod.so"}, "addons/metamod/dlls/metamod.so", "dlls/cs_i386.so"},
        {{"dlls/cs.so", "dlls/cs_i386.so", "addons/metamod/dlls/metamod.so", "addons/metamod/dlls/metamod_i386.so"},
         "addons/metamod/dlls/metamod_i386.so", "dlls/cs.so"},
    };
    for (const Case& c : cases) {
        nuvtest::ScratchDir dir;
        for (const char* file : c.files) {
            std::filesystem::create_directories((dir.path() / file).parent_path());
            nuvtest::writeFile(dir.path() / file, "");
        }
        SCOPED_TRACE(c.files.size());
#if defined(_WIN32)
        const std::string on = "dlls/cs_i386.so", off = on;
#else
        const std::string on = c.on, off = c.off;
#endif
        EXPECT_TRUE(has(linesOf(nuv::libListText(true, dir.path())), "gamedll_linux \"" + on + "\""));
        EXPECT_TRUE(has(linesOf(nuv::libListText(false, dir.path())), "gamedll_linux \"" + off + "\""));
    }
}

}  // namespace
