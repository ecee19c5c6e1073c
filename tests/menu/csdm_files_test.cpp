// csdm.cfg and plugins.ini, and every file Save writes after each preset (byte
// for byte against golden/presets/<preset>/), the single conditions, the failure
// at a missing configs folder, and the command line driving it all.
#include "writers/csdm_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "form/form.h"
#include "support/menu_support.h"
#include "support/process.h"
#include "writers/save.h"

namespace fs = std::filesystem;

namespace {

using nuv::Form;

const char* const kCsdm = "addons/amxmodx/configs/csdm.cfg";
const char* const kPlugins = "addons/amxmodx/configs/plugins.ini";

void click(Form& f, const std::string& name) {
    const nuv::ClickResult r = f.click(name);
    ASSERT_TRUE(r.ok()) << name << ": " << r.message;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CsdmSave : public ::testing::Test {
  protected:
    CsdmSave() { dir.modFolder(); }
    std::string saved(const char* file) { return nuvtest::readFile(dir.path() / file); }

    nuvtest::ScratchDir dir;
    nuvtest::RecordingFrontEnd fe;
    Form form{fe, dir.path()};
};

TEST_F(CsdmSave, StartUpState) {
    ASSERT_EQ(nuv::save(form), nuv::SaveOutcome::Written);
    EXPECT_EQ(saved(kCsdm), nuvtest::golden("presets/startup/csdm.cfg", dir.path()));
    EXPECT_EQ(saved(kPlugins), nuvtest::golden("presets/startup/plugins.ini", dir.path()));
}

class CsdmPresetSave : public CsdmSave, public ::testing::WithParamInterface<const char*> {};

TEST_P(CsdmPresetSave, MatchesTheExpectedFiles) {
    const std::string preset = GetParam();
    const std::string button = preset == "standard"  ? "nuvdm_std"
                               : preset == "extreme" ? "nuvdm_x"
                               : preset == "editor"  ? "medit"
                                                     : "nuvdm_" + preset;
    click(form, button);
    click(form, "btn_save");
    ASSERT_EQ(form.lastSave(), nuv::SaveOutcome::Written);
    EXPECT_EQ(form.statusColour(), nuv::kGreen);
    const fs::path d = dir.path();
    EXPECT_EQ(saved("dm_userconfig.cfg"),
              nuvtest::golden("presets/" + preset + "/dm_userconfig.cfg", d));
#if defined(_WIN32)
    EXPECT_EQ(saved("liblist.gam"), nuvtest::golden("startup/liblist_win.gam", d));
#else
    EXPECT_EQ(saved("liblist.gam"), nuvtest::golden("startup/liblist.gam", d));
#endif
    // Switcher runs without CSDM; every other preset with CSDM in FFA mode.
    const bool csdmOff = preset == "switcher";
    EXPECT_EQ(
        saved("addons/nuv/dm_enable.cfg"),
        nuvtest::golden(csdmOff ? "startup/dm_enable_csdm_off.cfg" : "startup/dm_enable.cfg", d));
    EXPECT_EQ(saved("addons/nuv/dm_enable_ffa.cfg"),
              nuvtest::golden(
                  csdmOff ? "startup/dm_enable_csdm_off.cfg" : "startup/dm_enable_ffa.cfg", d));
    EXPECT_EQ(saved(kCsdm), nuvtest::golden("presets/" + preset + "/csdm.cfg", d));
    EXPECT_EQ(saved(kPlugins), nuvtest::golden("presets/" + preset + "/plugins.ini", d));
    // A second Save writes the same bytes.
    const std::string first = saved(kPlugins);
    ASSERT_EQ(nuv::save(form), nuv::SaveOutcome::Written);
    EXPECT_EQ(saved(kPlugins), first);
}

INSTANTIATE_TEST_SUITE_P(Presets, CsdmPresetSave,
                         ::testing::Values("standard", "pure", "extreme", "high", "easy",
                                           "switcher", "editor"),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(CsdmSave, DisablePresetWritesNeither) {
    nuvtest::writeFile(dir.path() / kCsdm, "old csdm\r\n");
    click(form, "nuvdm_disable");
    EXPECT_EQ(nuv::save(form), nuv::SaveOutcome::Disabled);
    EXPECT_EQ(saved(kCsdm), "old csdm\r\n");
    EXPECT_FALSE(fs::exists(dir.path() / kPlugins));
}

TEST_F(CsdmSave, CsdmOffWithFfaOnKeepsTheEnableFiles) {
    nuvtest::writeFile(dir.path() / "addons/nuv/dm_enable.cfg", "old enable\r\n");
    nuvtest::writeFile(dir.path() / "addons/nuv/dm_enable_ffa.cfg", "old ffa\r\n");
    click(form, "csdm");
    ASSERT_TRUE(form.checked("ffa"));
    ASSERT_EQ(nuv::save(form), nuv::SaveOutcome::Written);
    EXPECT_EQ(saved("addons/nuv/dm_enable.cfg"), "old enable\r\n");
    EXPECT_EQ(saved("addons/nuv/dm_enable_ffa.cfg"), "old ffa\r\n");
    const std::string csdm = saved(kCsdm);
    EXPECT_TRUE(contains(csdm, "[settings]\r\nenabled = 0\r\n"));
    EXPECT_TRUE(contains(csdm, "[ffa]\r\nenabled = 1\r\nradar_disable = 1\r\n"));
    EXPECT_TRUE(fs::exists(dir.path() / kPlugins));
    EXPECT_EQ(form.statusColour(), nuv::kGreen);
}

TEST_F(CsdmSave, MissingConfigsFolderStopsAtCsdm) {
    fs::remove_all(dir.path() / "addons/amxmodx/configs");
    EXPECT_EQ(nuv::save(form), nuv::SaveOutcome::Failed);
    EXPECT_NE(form.statusColour(), nuv::kGreen);
    ASSERT_EQ(fe.boxes.size(), 1u);
    EXPECT_TRUE(contains(fe.boxes[0].text, "csdm.cfg")) << fe.boxes[0].text;
    EXPECT_FALSE(fs::exists(dir.path() / "addons/amxmodx/configs"));
    // The files before it are new.
    EXPECT_NE(saved("dm_userconfig.cfg"), "old user config\r\n");
    EXPECT_TRUE(fs::exists(dir.path() / "addons/nuv/dm_enable.cfg"));

    nuv::WriteError error;
    EXPECT_FALSE(nuv::writeCsdmFiles(form, dir.path(), error));
    EXPECT_EQ(error.file.filename(), "csdm.cfg");
    EXPECT_FALSE(error.reason.empty());
}

TEST_F(CsdmSave, WriteProtectedPluginListKeepsItsContent) {
    nuvtest::writeFile(dir.path() / kPlugins, "old list\r\n");
    fs::permissions(dir.path() / kPlugins,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    nuv::WriteError error;
    EXPECT_FALSE(nuv::writeCsdmFiles(form, dir.path(), error));
    EXPECT_EQ(error.file.filename(), "plugins.ini");
    EXPECT_EQ(saved(kPlugins), "old list\r\n");
    EXPECT_EQ(saved(kCsdm), nuv::csdmSettingsText(form));  // written before it
}

// --- single conditions, on the text --------------------------------------------

class CsdmText : public ::testing::Test {
  protected:
    nuvtest::RecordingFrontEnd fe;
    Form form{fe, fs::temp_directory_path()};
};

TEST_F(CsdmText, BotPrimaryWeapons) {
    auto section = [&] {
        const std::string t = nuv::csdmSettingsText(form);
        const size_t from = t.find("[botprimary]\r\n") + 14;
        return t.substr(from, t.find("[items]") - from);
    };
    EXPECT_EQ(section(), "ak47\r\nm4a1\r\nfamas\r\ngalil\r\n");
    form.setChecked("awp", true);
    EXPECT_EQ(section(), "ak47\r\nm4a1\r\nawp \r\nfamas\r\ngalil\r\n");
    form.setChecked("famasgalil", false);
    EXPECT_EQ(section(), "ak47\r\nm4a1\r\nawp \r\n");
    form.setChecked("pistols", true);
    form.setChecked("famasgalil", true);
    EXPECT_EQ(section(), "");
}

TEST_F(CsdmText, AutoItemsAndGrenades) {
    auto text = [&] { return nuv::csdmSettingsText(form); };
    EXPECT_TRUE(contains(text(), "\r\nautoitems = a\r\n"));
    EXPECT_TRUE(contains(text(), "[item_restrictions]\r\nhegrenade\r\n"));
    form.setChecked("helmet", true);
    EXPECT_TRUE(contains(text(), "\r\nautoitems = ah\r\n"));
    form.setChecked("grenades", true);
    EXPECT_TRUE(contains(text(), "\r\nautoitems = ahg\r\n"));
    EXPECT_TRUE(contains(text(), "[item_restrictions]\r\n//hegrenade\r\n"));
    form.setChecked("helmet", false);
    EXPECT_TRUE(contains(text(), "\r\nautoitems = ag\r\n"));
    form.setChecked("hideradar", false);
    form.setChecked("ffa", false);
    EXPECT_TRUE(contains(text(), "[ffa]\r\nenabled = 0\r\nradar_disable = 0\r\n"));
}

TEST_F(CsdmText, SpawnProtectionLineInTheDetailedList) {
    form.setChecked("plugins", true);
    const std::string on =
        "\r\nSpawnprotetionZRE_70.amxx            NEW SPAWNPROTECTION (kestrel/ZORED)[v3.7.0]\r\n";
    const std::string off =
        "\r\n;SpawnprotetionZRE_70.amxx           NEW SPAWNPROTECTION (kestrel/ZORED)[v3.7.0]\r\n";
    auto isOn = [&] {
        const std::string t = nuv::pluginListText(form);
        EXPECT_NE(contains(t, on), contains(t, off));
        return contains(t, on);
    };
    EXPECT_TRUE(isOn());  // start-up: sp_one, spb_off, spb_extra
    form.select("sp_off");
    EXPECT_TRUE(isOn());
    form.setChecked("spb_extra", false);
    EXPECT_FALSE(isOn());  // all three off
    form.select("spb_one");
    EXPECT_TRUE(isOn());
    form.select("spb_off");
    form.select("sp_two");
    EXPECT_TRUE(isOn());
    form.select("sp_off");
    form.setChecked("spb_extra", true);
    EXPECT_TRUE(isOn());
}

TEST_F(CsdmText, PhysicsAndKreedzLines) {
    form.setChecked("plugins", true);
    auto has = [&](const std::string& line) {
        return contains(nuv::pluginListText(form), "\r\n" + line + "\r\n");
    };
    const std::string comment = "CHANGES CS PHYSICS (MOVEMENT SPEED, JUMPBLOCK, AIRMOVE,...)";
    EXPECT_TRUE(has("myphysics.amxx                   " + comment));  // fall_low
    form.select("fall_off");
    EXPECT_TRUE(has(";myphysics.amxx                  " + comment));
    form.setChecked("jump", true);
    EXPECT_TRUE(has("myphysics.amxx                       " + comment));
    form.setChecked("jump", false);
    form.setChecked("beta", true);
    EXPECT_TRUE(has("myphysics.amxx                       " + comment));

    const std::string timer = std::string("KZ_2 --KREEDZ SUPPORT BY ") + nuv::kKreedzUrl + "--";
    EXPECT_TRUE(has("xj_timer.amxx                        " + timer));  // kreedz checked
    form.setChecked("kreedz", false);
    EXPECT_TRUE(
        has(";kz_ljs_xm.amxx                      KZ_1 -------------------------------------"));
    EXPECT_TRUE(has(";xj_timer.amxx                       " + timer));
    EXPECT_TRUE(
        has(";xtreme-jumps.amxx                   KZ_3 -------------------------------------"));
    form.setChecked("xjumps", true);
    EXPECT_TRUE(
        has("xtreme-jumps.amxx                    KZ_3 -------------------------------------"));
    // The detailed list never loads the model switcher.
    form.setChecked("cmodels", true);
    EXPECT_FALSE(contains(nuv::pluginListText(form), "players_models.amxx"));
}

TEST_F(CsdmText, FullListFollowsSpawnEditorAndModels) {
    auto text = [&] { return nuv::pluginListText(form); };
    EXPECT_TRUE(contains(text(), "\r\n;spawn_editor.amxx               CSDM SPAWN EDITOR\r\n"));
    EXPECT_TRUE(contains(text(),
                         "\r\n;players_models.amxx                     ACTIVATES RED(T)/BLUE(CT) "
                         "MODELSWITCHER\r\n// File created with "));
    form.setChecked("spawnedit", true);
    form.setChecked("cmodels", true);
    EXPECT_TRUE(contains(text(), "\r\nspawn_editor.amxx                CSDM SPAWN EDITOR\r\n"));
    EXPECT_TRUE(contains(text(),
                         "\r\nplayers_models.amxx                     ACTIVATES RED(T)/BLUE(CT) "
                         "MODELSWITCHER\r\n"));
    // Everything else of the full list does not depend on the window.
    form.setChecked("vampire", false);
    form.select("wi_off");
    form.setChecked("zorbotz", false);
    EXPECT_TRUE(contains(text(), "\r\nvampire_zre.amxx                  GAIN HP FOR FRAGS\r\n"));
    EXPECT_TRUE(text().starts_with("weapon_icon_ZRE3.amxx            HUD-WEAPONICON"));
}

// --- the command line ------------------------------------------------------------

TEST(CsdmCli, PurePresetThenFfaThenSave) {
    nuvtest::ScratchDir dir;
    dir.modFolder();
    const nuvtest::ProcessRun run = nuvtest::runProgram(
        NUVDM_MENU_CLI,
        {"--dir", dir.path().string(), "--click", "nuvdm_pure", "--click", "ffa", "--save", "--state"},
        true);
    const std::string& state = run.out;
    EXPECT_EQ(run.code, 0) << state;
    EXPECT_TRUE(contains(state, "\nffa 0 1 1\n")) << state;
    EXPECT_TRUE(contains(state, "\nnuvdm_custom 1 0 1\n")) << state;
    EXPECT_TRUE(contains(state, "\nnuvdm_pure 0 1 1\n")) << state;
    EXPECT_TRUE(contains(state, "\nhideradar 1 1 1\n")) << state;  // free again, still checked
    EXPECT_TRUE(contains(state, "\nskillrating 263\n")) << state;
    EXPECT_TRUE(contains(state, "\nstatus 30000\n")) << state;

    // The Pure files, except that FFA is off now.
    std::string csdm = nuvtest::golden("presets/pure/csdm.cfg", dir.path());
    const std::string ffaOn = "[ffa]\r\nenabled = 1\r\n";
    ASSERT_TRUE(contains(csdm, ffaOn));
    csdm.replace(csdm.find(ffaOn), ffaOn.size(), "[ffa]\r\nenabled = 0\r\n");
    EXPECT_EQ(nuvtest::readFile(dir.path() / kCsdm), csdm);
    EXPECT_EQ(nuvtest::readFile(dir.path() / kPlugins),
              nuvtest::golden("presets/pure/plugins.ini", dir.path()));
}

}  // namespace
