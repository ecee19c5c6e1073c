// The eight preset profiles: the whole window state each one leaves (against
// expected listings in golden/presets/<preset>/state.txt), its status
// message and rating, and that a preset undoes manual changes and the unlock.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "form/form.h"
#include "support/menu_support.h"

namespace {

using nuv::Form;

struct PresetCase {
    const char* dir;
    const char* button;
    std::string message;
    const char* rating;
};

const PresetCase kPresets[] = {
    {"standard", "nuvdm_std", "ZORYS LAN DEATHMATCH PREDEFINED ->STANDARD<- PROFILE SETTING.",
     "255"},
    {"pure", "nuvdm_pure", "ZORYS LAN DEATHMATCH PREDEFINED ->PURE<- PROFILE SETTING.", "263"},
    {"extreme", "nuvdm_x", "ZORYS LAN DEATHMATCH PREDEFINED ->E[X]TREME MOD<- PROFILE SETTING.",
     "207"},
    {"high", "nuvdm_high",
     "ZORYS LAN DEATHMATCH PREDEFINED ->HIGH<- SETTING." + std::string(96, ' ') +
         "ACTIVATED NIGHTMARE! MODE. HIGHEST POSSIBLE SKILLEVEL YOU CAN PLAY ON",
     "300"},
    {"easy", "nuvdm_easy",
     "ZORYS LAN DEATHMATCH PREDEFINED ->LOW<- SETTING." + std::string(98, ' ') +
         "ACTIVATED 'I'M TO YOUNG TO DIE' MODE. NEARLY THE LOWEST POSSIBLE SKILLEVEL YOU CAN "
         "PLAY ON.",
     "75"},
    {"switcher", "nuvdm_switcher", "ZORYS LAN NOCSDM PREDEFINED ->STD<- PROFILE SETTING.", "250"},
    {"disable", "nuvdm_disable", "SAVE AND NUV MOD WILL BE DISABLED.", "160"},
    {"editor", "medit",
     "Spawneditor settings loaded. 'mouse5 = pb wpmenu'; 'mouse4 = spawneditor'; 'mouse3 = "
     "walkguardmenu';",
     "256"},
};

// Every check box and option button as "name value enabled visible", then
// the rating and the status colour.
std::string listing(const Form& f) {
    std::ostringstream s;
    for (const nuv::Control& c : f.controls())
        if (c.kind == nuv::Kind::CheckBox || c.kind == nuv::Kind::OptionButton)
            s << c.name << ' ' << c.value << ' ' << c.enabled << ' ' << c.visible << '\n';
    s << "skillrating " << f.skillRating() << '\n' << "status " << f.statusColour() << '\n';
    return s.str();
}

std::string expected(const PresetCase& p) {
    return nuvtest::golden(std::string("presets/") + p.dir + "/state.txt", {});
}

void click(Form& f, const std::string& name) {
    const nuv::ClickResult r = f.click(name);
    ASSERT_TRUE(r.ok()) << name << ": " << r.message;
}

class Presets : public ::testing::TestWithParam<PresetCase> {
  protected:
    nuvtest::RecordingFrontEnd fe;
    Form form{fe, std::filesystem::temp_directory_path()};
};

TEST_P(Presets, SetsTheWholeWindow) {
    const PresetCase& p = GetParam();
    click(form, p.button);
    EXPECT_EQ(listing(form), expected(p));
    EXPECT_EQ(form.statusText(), p.message);
    EXPECT_EQ(form.statusColour(), nuv::kBlack);
    EXPECT_EQ(form.skillRating(), p.rating);
    EXPECT_EQ(form.at("autostart").captionColour,
              form.checked("autostart") ? nuv::kAutostartOn : nuv::kAutostartOff);
    EXPECT_TRUE(fe.boxes.empty());
}

TEST_P(Presets, RestoresItselfAfterManualChanges) {
    const PresetCase& p = GetParam();
    click(form, p.button);
    click(form, "Image3");
    for (const char* n :
         {"footsteps", "pistols", "ffa", "shooter", "dm_free", "team_ct", "maxbots_few", "spb_two",
          "sp_two", "time_fifteen", "fall_std", "wi_off", "nuvdm", "xjumps", "knives_only"}) {
        if (form.enabled(n) && form.visible(n)) click(form, n);
    }
    click(form, p.button);
    EXPECT_EQ(form.statusText(), p.message);
    // The unlock's shown xenabled stays shown; the rest is the preset's.
    std::string want = expected(p);
    const std::string hidden = "xenabled " + std::to_string(form.value("xenabled")) + " 0 0\n";
    const std::string shown = "xenabled " + std::to_string(form.value("xenabled")) + " 0 1\n";
    ASSERT_NE(want.find(hidden), std::string::npos);
    want.replace(want.find(hidden), hidden.size(), shown);
    EXPECT_EQ(listing(form), want);
}

TEST_P(Presets, OverEveryOtherPreset) {
    const PresetCase& p = GetParam();
    for (const PresetCase& before : kPresets) {
        SCOPED_TRACE(before.dir);
        nuvtest::RecordingFrontEnd fe2;
        Form f(fe2, std::filesystem::temp_directory_path());
        click(f, before.button);
        click(f, p.button);
        EXPECT_EQ(listing(f), expected(p));
    }
}

INSTANTIATE_TEST_SUITE_P(All, Presets, ::testing::ValuesIn(kPresets),
                         [](const auto& info) { return std::string(info.param.dir); });

TEST(PresetEdges, UnlockThenPresetBringsBackTheLockedSet) {
    nuvtest::RecordingFrontEnd fe;
    Form f(fe, std::filesystem::temp_directory_path());
    click(f, "Image3");
    EXPECT_TRUE(f.enabled("nuvdm"));
    EXPECT_TRUE(f.selected("nuvdm_std"));  // the unlock leaves the preset selected
    click(f, "nuvdm_pure");
    for (const char* n : {"nuvdm", "zorbotz", "hideradar", "knives_only", "shooterb", "norecoilb",
                          "inhumen", "ammob", "moneyhackb", "shooter", "norecoil", "beta"})
        EXPECT_FALSE(f.enabled(n)) << n;
    EXPECT_FALSE(f.visible("knives_only"));
    EXPECT_FALSE(f.visible("intro"));
}

TEST(PresetEdges, NamedCases) {
    nuvtest::RecordingFrontEnd fe;
    Form f(fe, std::filesystem::temp_directory_path());
    click(f, "nuvdm_easy");  // the Easy level itself would uncheck ammob
    EXPECT_TRUE(f.checked("ammob"));
    EXPECT_TRUE(f.checked("awp"));
    EXPECT_TRUE(f.enabled("awp"));
    click(f, "nuvdm_high");
    EXPECT_EQ(f.selectedIn("Frame15"), "");
    click(f, "nuvdm_x");
    EXPECT_TRUE(f.checked("xenabled"));
    EXPECT_FALSE(f.enabled("xenabled"));
    EXPECT_FALSE(f.visible("xenabled"));
    click(f, "nuvdm_switcher");
    EXPECT_FALSE(f.checked("csdm"));
    EXPECT_FALSE(f.checked("ffa"));
    EXPECT_FALSE(f.enabled("helmet"));
    click(f, "nuvdm_disable");
    EXPECT_FALSE(f.checked("nuvdm"));
    for (const char* c :
         {"Frame14", "Frame15", "Frame12", "Frame8", "Frame7", "Frame16", "Frame10", "Frame6"})
        EXPECT_EQ(f.selectedIn(c), "") << c;
    for (const nuv::Control& c : f.controls()) {
        if ((c.kind == nuv::Kind::CheckBox || c.kind == nuv::Kind::OptionButton) &&
            c.container != "Frame3") {
            EXPECT_FALSE(c.enabled) << c.name;
        }
    }
}

}  // namespace
