// Save of the start-up window: the written files byte for byte, repeated
// Saves, the gate refusals and the disable run.
#include <gtest/gtest.h>

#include "form/form.h"
#include "support/menu_support.h"
#include "writers/save.h"

namespace {

namespace fs = std::filesystem;
using nuv::Form;
using nuv::SaveOutcome;
using nuvtest::golden;
using nuvtest::readFile;
using nuvtest::RecordingFrontEnd;
using nuvtest::ScratchDir;
using nuvtest::writeFile;

const char* const kGreenAuto =
    "Settings loaded correctly. Start a New Game (local LAN Server) and choose your map. Game "
    "should start automaticly.";

TEST(SaveStartup, WritesTheExpectedFilesByteForByte) {
    ScratchDir dir;
    dir.modFolder();
    RecordingFrontEnd fe;
    Form form(fe, dir.path());
    ASSERT_TRUE(form.click("btn_save").ok());
    EXPECT_EQ(form.lastSave(), SaveOutcome::Written);
    const fs::path d = dir.path();
    EXPECT_EQ(readFile(d / "dm_userconfig.cfg"), golden("startup/dm_userconfig.cfg", d));
#if defined(_WIN32)
    EXPECT_EQ(readFile(d / "liblist.gam"), golden("startup/liblist_win.gam", d));
#else
    EXPECT_EQ(readFile(d / "liblist.gam"), golden("startup/liblist.gam", d));
#endif
    EXPECT_EQ(readFile(d / "addons/nuv/dm_enable.cfg"), golden("startup/dm_enable.cfg", d));
    EXPECT_EQ(readFile(d / "addons/nuv/dm_enable_ffa.cfg"), golden("startup/dm_enable_ffa.cfg", d));
    EXPECT_EQ(form.statusText(), kGreenAuto);
    EXPECT_EQ(form.statusColour(), nuv::kGreen);
    EXPECT_TRUE(fe.boxes.empty());
    // No temporary file is left beside the targets.
    for (const auto& e : fs::recursive_directory_iterator(d))
        EXPECT_EQ(e.path().string().find(".nuvtmp"), std::string::npos) << e.path();
}

TEST(SaveStartup, TwoSavesGiveIdenticalFilesAndLeaveTheWindowAlone) {
    ScratchDir dir;
    dir.modFolder();
    RecordingFrontEnd fe;
    Form form(fe, dir.path());
    nuv::save(form);
    std::vector<std::string> first;
    for (const auto& f : nuvtest::savedFiles()) first.push_back(readFile(dir.path() / f));
    const auto controls = form.controls();
    nuv::save(form);
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(readFile(dir.path() / nuvtest::savedFiles()[i]), first[i]);
    for (size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].name == "status") continue;
        EXPECT_EQ(form.controls()[i].value, controls[i].value) << controls[i].name;
    }
}

TEST(SaveStartup, ManualModeMessageWhenAutostartIsOff) {
    ScratchDir dir;
    dir.modFolder();
    RecordingFrontEnd fe;
    Form form(fe, dir.path());
    form.setChecked("autostart", false);
    EXPECT_EQ(nuv::save(form), SaveOutcome::Written);
    EXPECT_EQ(form.statusText(),
              "Settings loaded correctly. Start a New Game (local LAN Server) and then type "
              "'<dm_x>' into your CS1.6 Console to start NUV MOD");
    EXPECT_EQ(form.statusColour(), nuv::kGreen);
}

// The gate: every refusal leaves every file as it was.
class SaveGate : public ::testing::Test {
protected:
    void SetUp() override {
        dir.modFolder();
        writeFile(dir.path() / "liblist.gam", "old liblist\r\n");
        writeFile(dir.path() / "addons/nuv/dm_enable.cfg", "old enable\r\n");
    }
    void expectUntouched() {
        EXPECT_EQ(readFile(dir.path() / "liblist.gam"), "old liblist\r\n");
        EXPECT_EQ(readFile(dir.path() / "addons/nuv/dm_enable.cfg"), "old enable\r\n");
        if (fs::exists(dir.path() / "dm_userconfig.cfg")) {
            EXPECT_EQ(readFile(dir.path() / "dm_userconfig.cfg"), "old user config\r\n");
        }
        EXPECT_FALSE(fs::exists(dir.path() / "addons/nuv/dm_enable_ffa.cfg"));
    }
    // What the disable preset leaves for Save to see.
    void disablePreset(Form& form) {
        form.select("nuvdm_disable");
        form.setChecked("nuvdm", false);
    }
    ScratchDir dir;
    RecordingFrontEnd fe;
};

TEST_F(SaveGate, MissingConfigCfgRefusesWithError002) {
    fs::remove(dir.path() / "config.cfg");
    Form form(fe, dir.path());
    EXPECT_EQ(nuv::save(form), SaveOutcome::Refused);
    EXPECT_EQ(form.statusText(), "Menu ERROR #002");
    EXPECT_EQ(form.statusColour(), nuv::kRed);
    EXPECT_TRUE(fe.boxes.empty());
    expectUntouched();
}

TEST_F(SaveGate, MissingUserConfigRefusesWithError002) {
    fs::remove(dir.path() / "dm_userconfig.cfg");
    Form form(fe, dir.path());
    EXPECT_EQ(nuv::save(form), SaveOutcome::Refused);
    EXPECT_EQ(form.statusText(), "Menu ERROR #002");
    EXPECT_TRUE(fe.boxes.empty());
    EXPECT_FALSE(fs::exists(dir.path() / "dm_userconfig.cfg"));
    expectUntouched();
}

TEST_F(SaveGate, FileNamesAreComparedCaseSensitively) {
    // Remove and create rather than rename: a rename that changes only the
    // letter case is a no-op on some file systems.
    const std::string content = readFile(dir.path() / "config.cfg");
    fs::remove(dir.path() / "config.cfg");
    writeFile(dir.path() / "Config.cfg", content);
    Form form(fe, dir.path());
    EXPECT_EQ(nuv::save(form), SaveOutcome::Refused);
    EXPECT_EQ(form.statusText(), "Menu ERROR #002");
    expectUntouched();
}

TEST_F(SaveGate, NuvdmUncheckedRefusesWithError002) {
    Form form(fe, dir.path());
    form.setChecked("nuvdm", false);
    EXPECT_EQ(nuv::save(form), SaveOutcome::Refused);
    EXPECT_EQ(form.statusText(), "Menu ERROR #002");
    EXPECT_EQ(form.statusColour(), nuv::kRed);
    EXPECT_TRUE(fe.boxes.empty());
    expectUntouched();
}

TEST_F(SaveGate, DisableOutsideTheModFolderShowsTheInstallMessage) {
    fs::remove(dir.path() / "dm_userconfig.cfg");
    Form form(fe, dir.path());
    disablePreset(form);
    form.setStatus("SAVE AND NUV MOD WILL BE DISABLED.", nuv::kBlack);
    EXPECT_EQ(nuv::save(form), SaveOutcome::Refused);
    EXPECT_EQ(form.statusText(),
              "Menu has not been installed correctly. NUVDM_MENU.exe has to be under: "
              "'Steam\\steamapps\\YOUREMAIL\\Counter-Strike\\Cstrike'");
    EXPECT_EQ(form.statusColour(), nuv::kRed);
    ASSERT_EQ(fe.boxes.size(), 1u);
    EXPECT_EQ(fe.boxes[0].title, dir.path().string());
    EXPECT_EQ(fe.boxes[0].text, "NUV DM HAS NOT BEEN DISABLED - READ STATUS INFO");
    EXPECT_EQ(fe.boxes[0].style, nuv::MessageStyle::Exclamation);
    expectUntouched();
}

TEST_F(SaveGate, DisableRunWritesTheSwitchingOffListEvenWithoutConfigCfg) {
    fs::remove(dir.path() / "config.cfg");
    // An older Linux server's game library: the list names it on both systems.
    fs::create_directories(dir.path() / "dlls");
    writeFile(dir.path() / "dlls/cs_i386.so", "");
    Form form(fe, dir.path());
    disablePreset(form);
    form.setStatus("SAVE AND NUV MOD WILL BE DISABLED.", nuv::kBlack);
    EXPECT_EQ(nuv::save(form), SaveOutcome::Disabled);
    EXPECT_EQ(readFile(dir.path() / "liblist.gam"), golden("startup/liblist_off.gam", dir.path()));
    EXPECT_EQ(readFile(dir.path() / "dm_userconfig.cfg"), "old user config\r\n");
    EXPECT_EQ(readFile(dir.path() / "addons/nuv/dm_enable.cfg"), "old enable\r\n");
    EXPECT_EQ(form.statusText(), "SAVE AND NUV MOD WILL BE DISABLED.");
    EXPECT_EQ(form.statusColour(), nuv::kBlack);
    ASSERT_EQ(fe.boxes.size(), 1u);
    EXPECT_EQ(fe.boxes[0].title, nuv::kProgramTitle);
    EXPECT_EQ(fe.boxes[0].text,
              "NUV DM HAS BEEN DISABLED. FOR FULL DEINSTALLATION DELETE THE ADDONS FOLDER AND THE "
              "DM_USERCONFIG.CFG AND MOTD.TXT FILES UNDER YOUR CSTRIKE FOLDER. - CYA SOON :-]");
    EXPECT_EQ(fe.boxes[0].style, nuv::MessageStyle::Plain);
}

TEST_F(SaveGate, DisableSelectedButNuvdmCheckedStillWrites) {
    // The gate looks at nuvdm and the two files; the preset button alone
    // does not switch the pack off.
    Form form(fe, dir.path());
    form.select("nuvdm_disable");
    EXPECT_EQ(nuv::save(form), SaveOutcome::Written);
    EXPECT_NE(readFile(dir.path() / "liblist.gam").find("metamod.dll"), std::string::npos);
}

}  // namespace
