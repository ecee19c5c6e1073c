// The option rules: custom step, status texts, dependent options, skill
// levels, rating, unlock and lock, driven through clicks as the player
// makes them.
#include <gtest/gtest.h>

#include <string>

#include "form/form.h"
#include "form/skill.h"
#include "support/menu_support.h"

namespace {

using nuv::Form;

const std::string kCustom = "Switched to custom settings.";

class Rules : public ::testing::Test {
  protected:
    void click(const std::string& name) {
        const nuv::ClickResult r = form.click(name);
        ASSERT_TRUE(r.ok()) << name << ": " << r.message;
    }
    void expectCustom(const std::string& text, nuv::Colour colour) {
        EXPECT_EQ(form.statusText(), text);
        EXPECT_EQ(form.statusColour(), colour);
        EXPECT_TRUE(form.selected("nuvdm_custom"));
        EXPECT_EQ(form.selectedIn("Frame3"), "nuvdm_custom");
    }

    nuvtest::RecordingFrontEnd fe;
    Form form{fe, std::filesystem::temp_directory_path()};
};

TEST_F(Rules, RatingShows140UntilTheFirstCalculation) {
    EXPECT_EQ(form.skillRating(), "140");
    // A click that only changes its box computes nothing.
    click("counter");
    EXPECT_EQ(form.skillRating(), "140");
    click("counter");
    // The first real calculation on the start-up state.
    click("spb_off");
    EXPECT_EQ(form.skillRating(), "255");
}

TEST_F(Rules, CustomStepSelectsCustomAndDeselectsThePreset) {
    click("footsteps");
    expectCustom(kCustom, nuv::kBlack);
    EXPECT_FALSE(form.selected("nuvdm_std"));
    EXPECT_EQ(form.skillRating(), "250");  // 255 - 5 for footsteps
    click("footsteps");
    expectCustom(kCustom, nuv::kBlack);
    EXPECT_EQ(form.skillRating(), "255");
}

TEST_F(Rules, OwnTextStaysAlsoOnTheClickThatFirstSelectsCustom) {
    const std::string weapons =
        "Warning: The Weaponswitcher plugin does only work with 99% of the maps (Known for "
        "crashes on: de_airstrip)." +
        std::string(23, ' ') + "Switched to custom settings.";
    const struct {
        const char* name;
        std::string text;
    } rows[] = {
        {"awp", "Info: Bots usually arn't the smartest AWP users. Switched to custom settings."},
        {"grenades",
         "Info: Bots usually arn't the smartest nade throwers. Switched to custom settings."},
        {"trans", weapons},
        {"cross", weapons},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        nuvtest::RecordingFrontEnd fe2;
        Form f(fe2, std::filesystem::temp_directory_path());
        ASSERT_TRUE(f.click(row.name).ok());
        EXPECT_EQ(f.statusText(), row.text);
        EXPECT_EQ(f.statusColour(), 25000u);
        EXPECT_TRUE(f.selected("nuvdm_custom"));
        // Once custom is selected the text is the row's as well.
        ASSERT_TRUE(f.click(row.name).ok());
        EXPECT_EQ(f.statusText(), row.text);
    }
}

TEST_F(Rules, NuvdmShowsDisabledOnEveryClickEitherWay) {
    click("Image3");  // nuvdm is locked until the unlock
    click("nuvdm");
    EXPECT_FALSE(form.checked("nuvdm"));
    expectCustom("NUVDM DISABLED.", nuv::kBlack);
    click("nuvdm");
    EXPECT_TRUE(form.checked("nuvdm"));
    expectCustom("NUVDM DISABLED.", nuv::kBlack);
}

TEST_F(Rules, BoxOnlyControlsChangeNothingElse) {
    const std::string intro = form.statusText();
    for (const char* name : {"counter", "plugins", "spawnedit"}) {
        const int before = form.value(name);
        click(name);
        EXPECT_NE(form.value(name), before) << name;
    }
    EXPECT_EQ(form.statusText(), intro);
    EXPECT_EQ(form.statusColour(), nuv::kWhite);
    EXPECT_TRUE(form.selected("nuvdm_std"));
    EXPECT_FALSE(form.selected("nuvdm_custom"));
    EXPECT_EQ(form.skillRating(), "140");

    // The indicators, once unlocked, behave the same.
    click("nuvdm_pure");
    click("Image3");
    const std::string unlocked = form.statusText();
    for (const char* name : {"shooterb", "norecoilb", "inhumen", "ammob"}) {
        const int before = form.value(name);
        click(name);
        EXPECT_NE(form.value(name), before) << name;
    }
    EXPECT_EQ(form.statusText(), unlocked);
    EXPECT_TRUE(form.selected("nuvdm_pure"));
    EXPECT_FALSE(form.click("moneyhackb").ok());   // stays locked after the unlock
    EXPECT_FALSE(form.click("knives_only").ok());  // locked by the preset

    // Before any preset knives_only is free; the unlock shows it.
    nuvtest::RecordingFrontEnd fe2;
    Form fresh(fe2, std::filesystem::temp_directory_path());
    EXPECT_FALSE(fresh.click("knives_only").ok());  // hidden
    ASSERT_TRUE(fresh.click("Image3").ok());
    const std::string text = fresh.statusText();
    ASSERT_TRUE(fresh.click("knives_only").ok());
    EXPECT_TRUE(fresh.checked("knives_only"));
    EXPECT_EQ(fresh.statusText(), text);
    EXPECT_FALSE(fresh.selected("nuvdm_custom"));
}

TEST_F(Rules, AutostartCaptionFollowsItsValue) {
    click("autostart");
    EXPECT_EQ(form.at("autostart").captionColour, 22010u);
    expectCustom(kCustom, nuv::kBlack);
    click("autostart");
    EXPECT_EQ(form.at("autostart").captionColour, 22025u);
    click("nuvdm_high");  // a preset unchecks it
    EXPECT_EQ(form.at("autostart").captionColour, 22010u);
    click("nuvdm_std");
    EXPECT_EQ(form.at("autostart").captionColour, 22025u);
}

TEST_F(Rules, FfaLocksTheRadarAndPullsCsdm) {
    click("csdm");
    EXPECT_FALSE(form.checked("csdm"));
    click("ffa");  // now unchecked: radar free, csdm left alone
    EXPECT_FALSE(form.checked("ffa"));
    EXPECT_TRUE(form.enabled("hideradar"));
    EXPECT_TRUE(form.checked("hideradar"));
    EXPECT_FALSE(form.checked("csdm"));
    expectCustom(kCustom, nuv::kBlack);

    click("hideradar");
    EXPECT_FALSE(form.checked("hideradar"));
    click("ffa");  // checked again: radar hidden and locked, csdm back on
    EXPECT_TRUE(form.checked("hideradar"));
    EXPECT_FALSE(form.enabled("hideradar"));
    EXPECT_TRUE(form.checked("csdm"));
    // The rating sees csdm's and the radar's new values.
    EXPECT_EQ(form.skillRating(), std::to_string(nuv::skill::rating(form) + 180));
    EXPECT_EQ(form.skillRating(), "255");
}

TEST_F(Rules, CsdmOffWithFfaOnKeepsFfa) {
    click("csdm");
    EXPECT_FALSE(form.checked("csdm"));
    EXPECT_TRUE(form.checked("ffa"));
    expectCustom(kCustom, nuv::kBlack);
}

TEST_F(Rules, PistolsLocksTheRifles) {
    click("awp");
    ASSERT_TRUE(form.checked("awp"));
    click("pistols");
    EXPECT_FALSE(form.checked("famasgalil"));
    EXPECT_FALSE(form.checked("awp"));
    EXPECT_FALSE(form.enabled("famasgalil"));
    EXPECT_FALSE(form.enabled("awp"));
    expectCustom(kCustom, nuv::kBlack);
    EXPECT_EQ(form.skillRating(), "235");  // 255 + 5 famasgalil - 25 pistols
    click("pistols");
    EXPECT_TRUE(form.enabled("famasgalil"));
    EXPECT_TRUE(form.enabled("awp"));
    EXPECT_FALSE(form.checked("famasgalil"));
    EXPECT_FALSE(form.checked("awp"));
}

TEST_F(Rules, PistolsAfterExtremeLeavesTheAwpLocked) {
    click("nuvdm_x");
    click("pistols");
    click("pistols");
    EXPECT_TRUE(form.enabled("famasgalil"));
    EXPECT_FALSE(form.enabled("awp"));
}

TEST_F(Rules, XjumpsLocksJump) {
    click("jump");
    ASSERT_TRUE(form.checked("jump"));
    click("xjumps");
    EXPECT_FALSE(form.checked("jump"));
    EXPECT_FALSE(form.enabled("jump"));
    expectCustom(kCustom, nuv::kBlack);
    click("xjumps");
    EXPECT_TRUE(form.enabled("jump"));
    EXPECT_FALSE(form.checked("jump"));
}

TEST_F(Rules, SkillLevelsSetTheIndicators) {
    // level, shooterb, inhumen, norecoilb, ammob, moneyhackb, knives_only, base
    const struct {
        const char* level;
        int box[6];
        int base;
    } rows[] = {
        {"dm_ultraplus", {1, 1, 1, 1, 1, 0}, 100}, {"dm_ultra", {1, 1, 0, 1, 1, 0}, 95},
        {"dm_highplus", {1, 0, 1, 1, 1, 0}, 85},   {"dm_high", {1, 0, 0, 1, 1, 0}, 80},
        {"dm_normalplus", {0, 1, 1, 0, 1, 0}, 60}, {"dm_normal", {0, 1, 0, 0, 1, 0}, 55},
        {"dm_easy", {0, 0, 0, 0, 1, 0}, 20},       {"dm_free", {1, 0, 0, 0, 1, 1}, 0},
    };
    const char* boxes[] = {"shooterb", "inhumen",    "norecoilb",
                           "ammob",    "moneyhackb", "knives_only"};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.level);
        click(row.level);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(form.value(boxes[i]), row.box[i]) << boxes[i];
        expectCustom(kCustom, nuv::kBlack);
        // Start-up adjustments: -5 ammo, -5 sp_one, -5 famasgalil, -5 bulletdamage.
        EXPECT_EQ(form.skillRating(), std::to_string(row.base - 20 + 180));
    }
}

TEST_F(Rules, RatingAdjustmentsInFull) {
    // dm_free with nothing else in force shows the bare offset.
    for (const char* off : {"ammo", "famasgalil", "bulletdamage"}) form.setChecked(off, false);
    form.select("sp_off");
    form.select("dm_free");
    nuv::skill::calc(form);
    EXPECT_EQ(form.skillRating(), "180");

    struct Case {
        void (*set)(Form&);
        int change;
    };
    const Case cases[] = {
        {[](Form& f) { f.setChecked("footsteps", true); }, -5},
        {[](Form& f) { f.setChecked("hsmod", true); }, +10},
        {[](Form& f) { f.setChecked("bullets", true); }, -5},
        {[](Form& f) { f.setChecked("cross", true); }, -5},
        {[](Form& f) { f.setChecked("bhop", true); }, -2},
        {[](Form& f) { f.setChecked("trans", true); }, -1},
        {[](Form& f) { f.setChecked("hideradar", false); }, -10},
        {[](Form& f) { f.setChecked("helmet", true); }, -5},
        {[](Form& f) { f.setChecked("grenades", true); }, -5},
        {[](Form& f) { f.select("sp_one"); }, -5},
        {[](Form& f) { f.select("sp_two"); }, -10},
        {[](Form& f) { f.setChecked("shooter", true); }, -35},
        {[](Form& f) { f.setChecked("norecoil", true); }, -15},
        {[](Form& f) { f.setChecked("beta", true); }, -10},
        {[](Form& f) { f.select("spb_one"); }, +5},
        {[](Form& f) { f.select("spb_two"); }, +10},
        {[](Form& f) { f.setChecked("awp", true); }, -10},
        {[](Form& f) { f.setChecked("pistols", true); }, -25},
        {[](Form& f) { f.setChecked("spb_extra", false); }, -15},
        {[](Form& f) { f.setChecked("interp", false); }, -5},
        {[](Form& f) { f.setChecked("autoswitch", true); }, -2},
        {[](Form& f) { f.setChecked("vampire", true); }, -25},
        {[](Form& f) { f.setChecked("cmodels", true); }, -15},
        {[](Form& f) {
             f.setEnabled("interp", false);
             f.setChecked("xenabled", true);
         },
         +60},
        {[](Form& f) { f.setEnabled("interp", false); }, 0},
        {[](Form& f) { f.setChecked("xenabled", true); }, 0},
        {[](Form& f) {
             f.setChecked("hideradar", false);
             f.setChecked("ffa", false);
         },
         0},
        {[](Form& f) { f.deselectAll("Frame14"); }, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        nuvtest::RecordingFrontEnd fe2;
        Form f(fe2, std::filesystem::temp_directory_path());
        for (const char* off : {"ammo", "famasgalil", "bulletdamage"}) f.setChecked(off, false);
        f.select("sp_off");
        f.select("dm_free");
        cases[i].set(f);
        EXPECT_EQ(nuv::skill::rating(f), cases[i].change);
    }

    // Everything against the player at once goes below zero.
    for (const char* on :
         {"footsteps", "shooter", "norecoil", "beta", "pistols", "vampire", "cmodels"})
        form.setChecked(on, true);
    nuv::skill::calc(form);
    EXPECT_EQ(form.skillRating(), "50");  // 180 - 130
    form.setChecked("spb_extra", false);
    form.setChecked("interp", false);
    form.select("sp_two");
    form.setChecked("helmet", true);
    form.setChecked("grenades", true);
    form.setChecked("awp", true);
    form.setChecked("ammo", true);
    form.setChecked("bullets", true);
    form.setChecked("cross", true);
    form.setChecked("famasgalil", true);
    form.setChecked("bulletdamage", true);
    form.setChecked("hideradar", false);
    form.setChecked("autoswitch", true);
    form.setChecked("bhop", true);
    form.setChecked("trans", true);
    nuv::skill::calc(form);
    // 50 - 15 - 5 - 10 - 5 - 5 - 10 - 5 - 5 - 5 - 5 - 5 - 10 - 2 - 2 - 1
    EXPECT_EQ(form.skillRating(), "-40");
}

TEST_F(Rules, UnlockShowsAndEnablesTheHiddenSettings) {
    click("nuvdm_std");
    click("Image3");
    for (const char* n : {"knives_only", "intro", "xenabled"}) EXPECT_TRUE(form.visible(n)) << n;
    for (const char* n :
         {"shooter",   "norecoil",  "beta",         "moneyhack", "intro",         "footsteps",
          "hsmod",     "bhop",      "bulletdamage", "counter",   "trans",         "kreedz",
          "interp",    "ammo",      "bullets",      "showspeed", "bulletdamage2", "rlimit",
          "cross",     "xjumps",    "nuvdm",        "zorbotz",   "csdm",          "ffa",
          "autostart", "spb_extra", "shooterb",     "inhumen",   "norecoilb",     "ammob"})
        EXPECT_TRUE(form.enabled(n)) << n;
    for (const char* c :
         {"Frame10", "Frame6", "Frame7", "Frame14", "Frame15", "Frame8", "Frame12", "Frame16"})
        for (const std::string& b : form.groupOf(c)) EXPECT_TRUE(form.enabled(b)) << b;
    EXPECT_FALSE(form.enabled("moneyhackb"));
    EXPECT_FALSE(form.enabled("xenabled"));
    // Not part of the unlock: what the preset locked stays locked.
    EXPECT_FALSE(form.enabled("knives_only"));
    EXPECT_FALSE(form.enabled("hideradar"));
    EXPECT_EQ(form.statusText(),
              "You have unlocked all possible settings of NUVDM by clicking on the Kessel "
              "Terrorist models." +
                  std::string(53, ' ') +
                  "By clicking on the Kessel Counter models or one of the predefined settings "
                  "you lock the settings again.");
    EXPECT_EQ(form.statusColour(), 20000u);
    EXPECT_TRUE(form.selected("nuvdm_std"));
    EXPECT_FALSE(form.selected("nuvdm_custom"));
    EXPECT_EQ(form.skillRating(), "255");
}

TEST_F(Rules, LockHidesAndDisablesOnlyItsList) {
    click("Image3");
    click("shooter");
    click("Image5");
    for (const char* n : {"knives_only", "intro", "xenabled"}) EXPECT_FALSE(form.visible(n)) << n;
    for (const char* n : {"shooter", "norecoil", "beta", "moneyhack"})
        EXPECT_FALSE(form.enabled(n)) << n;
    EXPECT_TRUE(form.checked("shooter"));  // values stay
    EXPECT_TRUE(form.enabled("nuvdm"));    // the rest stays unlocked
    EXPECT_TRUE(form.enabled("ammob"));
    EXPECT_EQ(form.statusColour(), 20000u);
    EXPECT_FALSE(form.statusText().empty());
    EXPECT_EQ(form.skillRating(), "220");  // 255 - 35 for shooter
}

TEST_F(Rules, ProgramChangesAreNotClicks) {
    // Presets, unlock and lock neither select custom nor show its text.
    click("nuvdm_easy");
    click("Image3");
    click("Image5");
    EXPECT_TRUE(form.selected("nuvdm_easy"));
    EXPECT_FALSE(form.selected("nuvdm_custom"));
    EXPECT_NE(form.statusText(), kCustom);
    // Setters run no rule at all.
    form.setChecked("pistols", true);
    EXPECT_TRUE(form.enabled("famasgalil"));
    EXPECT_TRUE(form.selected("nuvdm_easy"));
}

TEST_F(Rules, AnyPresetDeselectsCustom) {
    for (const char* preset : {"nuvdm_std", "nuvdm_pure", "nuvdm_x", "nuvdm_high", "nuvdm_easy",
                               "nuvdm_switcher", "nuvdm_disable", "medit"}) {
        SCOPED_TRACE(preset);
        click("Image3");  // the disable preset locks everything; unlock to get a click in
        click("team_all");
        ASSERT_TRUE(form.selected("nuvdm_custom"));
        click(preset);
        EXPECT_FALSE(form.selected("nuvdm_custom"));
        EXPECT_EQ(form.selectedIn("Frame3"), preset);
    }
}

TEST_F(Rules, OtherControlsHaveNoRule) {
    click("Label1");
    click("Label4");
    EXPECT_EQ(form.statusColour(), nuv::kWhite);
    EXPECT_EQ(form.skillRating(), "140");
    EXPECT_TRUE(form.selected("nuvdm_std"));
}

}  // namespace
