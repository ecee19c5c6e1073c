// The window as it opens, and what a click may and may not do.
#include <gtest/gtest.h>

#include <set>

#include "form/controls.h"
#include "form/form.h"
#include "support/menu_support.h"

namespace {

using nuv::ClickStatus;
using nuv::Form;
using nuv::Kind;
using nuvtest::RecordingFrontEnd;

struct Snapshot {
    std::vector<nuv::Control> controls;
    explicit Snapshot(const Form& f) : controls(f.controls()) {}
    bool sameAs(const Form& f) const {
        const auto& now = f.controls();
        if (now.size() != controls.size()) return false;
        for (size_t i = 0; i < now.size(); ++i) {
            const auto &a = now[i], &b = controls[i];
            if (a.value != b.value || a.enabled != b.enabled || a.visible != b.visible ||
                a.caption != b.caption || a.captionColour != b.captionColour ||
                a.backColour != b.backColour)
                return false;
        }
        return true;
    }
};

TEST(FormStartup, OpensWithStandardPresetWhiteStatusAndRating140) {
    RecordingFrontEnd fe;
    Form form(fe, ".");
    EXPECT_TRUE(form.selected("nuvdm_std"));
    EXPECT_EQ(form.skillRating(), "140");
    EXPECT_EQ(form.statusColour(), nuv::kWhite);
    EXPECT_EQ(form.statusText(),
              "This field will show you status messages, basic errors messages and further "
              "information of the loading status of NUV MOD.\r\n"
              "You should use the \"Predefined NUVDM Settings\" for setting up your game.\r\n"
              "You can afterwards make personal custom changes\r\n");
    EXPECT_EQ(form.at("Form1").caption, "NUV DM - Windows Menu 1.1.0.1");
    EXPECT_FALSE(form.lastSave().has_value());
}

TEST(FormStartup, ControlStatesMatchTheWindowTables) {
    RecordingFrontEnd fe;
    Form form(fe, ".");
    // name, value, enabled, visible
    struct Row {
        const char* name;
        int value;
        bool enabled, visible;
    };
    const Row rows[] = {
        {"nuvdm", 1, false, true},       {"zorbotz", 1, false, true},
        {"csdm", 1, true, true},         {"ffa", 1, true, true},
        {"nuvdm_custom", 0, false, true}, {"dm_ultra", 1, true, true},
        {"knives_only", 0, true, false}, {"famasgalil", 1, true, true},
        {"autostart", 1, true, true},    {"shooterb", 1, false, true},
        {"norecoilb", 0, false, true},   {"moneyhackb", 1, false, true},
        {"team_all", 1, true, true},     {"maxbots_std", 1, true, true},
        {"spb_off", 1, true, true},      {"intro", 1, true, false},
        {"interp", 1, true, true},       {"kreedz", 1, true, true},
        {"hideradar", 1, false, true},   {"xenabled", 0, false, false},
        {"time_nine", 1, true, true},    {"fall_low", 1, true, true},
        {"sp_one", 1, true, true},       {"wi_left", 1, true, true},
        {"shooter", 0, false, true},     {"norecoil", 0, false, true},
        {"beta", 0, false, true},        {"footsteps", 0, true, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(form.value(r.name), r.value);
        EXPECT_EQ(form.enabled(r.name), r.enabled);
        EXPECT_EQ(form.visible(r.name), r.visible);
    }
    EXPECT_EQ(form.at("autostart").captionColour, 0x00008000u);
    EXPECT_EQ(form.at("btn_save").backColour, 0x00E0E0E0u);
    EXPECT_EQ(form.at("btn_save").font.face, "Comic Sans MS");
    EXPECT_EQ(form.at("intro").font.points, 6.75);
    EXPECT_TRUE(form.at("intro").font.underline);
    // The "Forced:" indicators belong to Frame4, not to the frame drawn around them.
    EXPECT_EQ(form.at("inhumen").container, "Frame4");
    EXPECT_EQ(form.at("footsteps").container, "Form1");
    const nuv::Place p = form.at("dm_free").place;
    EXPECT_EQ(p.left, 2160);
    EXPECT_EQ(p.top, 360);
    EXPECT_EQ(p.width, 1575);
    EXPECT_EQ(p.height, 195);
}

TEST(FormStartup, NamesAreUniqueAndEachGroupHasOneSelectionAtMost) {
    RecordingFrontEnd fe;
    Form form(fe, ".");
    std::set<std::string> names, containers;
    for (const auto& c : form.controls()) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        if (c.kind == Kind::OptionButton) containers.insert(c.container);
        if (!c.container.empty()) {
            EXPECT_NE(form.find(c.container), nullptr) << c.name;
        }
    }
    EXPECT_EQ(containers, (std::set<std::string>{"Frame3", "Frame14", "Frame15", "Frame12",
                                                 "Frame8", "Frame16", "Frame10", "Frame7",
                                                 "Frame6"}));
    for (const auto& g : containers) {
        int on = 0;
        for (const auto& n : form.groupOf(g)) on += form.selected(n);
        EXPECT_EQ(on, 1) << g;
    }
    EXPECT_EQ(form.groupOf("Frame14").size(), 8u);
    EXPECT_EQ(form.groupOf("Frame3").size(), 9u);
}

TEST(FormClick, CheckBoxToggles) {
    RecordingFrontEnd fe;
    Form form(fe, ".");
    ASSERT_TRUE(form.click("footsteps").ok());
    EXPECT_TRUE(form.checked("footsteps"));
    ASSERT_TRUE(form.click("footsteps").ok());
    EXPECT_FALSE(form.checked("footsteps"));
}

TEST(FormClick, OptionButtonDeselectsOnlyItsOwnContainer) {
    RecordingFrontEnd fe;
    Form form(fe, ".");
    ASSERT_TRUE(form.click("dm_free").ok());
    EXPECT_TRUE(form.selected("dm_free"));
    EXPECT_FALSE(form.selected("dm_ultra"));
    EXPECT_EQ(form.selectedIn("Frame14"), "dm_free");
    // Other groups keep their selection.
    EXPECT_TRUE(form.selected("team_all"));
    EXPECT_TRUE(form.selected("maxbots_std"));
    ASSERT_TRUE(form.click("sp_two").ok());
    EXPECT_EQ(form.selectedIn("Frame7"), "sp_two");
    EXPECT_EQ(form.selectedIn("Frame14"), "dm_free");
}

TEST(FormClick, RefusesUnknownDisabledAndHiddenControlsWithoutChange) {
    RecordingFrontEnd fe;
    Form form(fe, ".");
    const Snapshot before(form);
    auto r = form.click("no_such_box");
    EXPECT_EQ(r.status, ClickStatus::UnknownControl);
    EXPECT_NE(r.message.find("no_such_box"), std::string::npos);
    r = form.click("nuvdm_custom");
    EXPECT_EQ(r.status, ClickStatus::Disabled);
    EXPECT_NE(r.message.find("nuvdm_custom"), std::string::npos);
    EXPECT_EQ(form.click("nuvdm").status, ClickStatus::Disabled);
    EXPECT_EQ(form.click("shooterb").status, ClickStatus::Disabled);
    EXPECT_EQ(form.click("knives_only").status, ClickStatus::Hidden);
    EXPECT_EQ(form.click("xenabled").status, ClickStatus::Hidden);
    EXPECT_TRUE(before.sameAs(form));
    EXPECT_TRUE(fe.boxes.empty());
}

TEST(FormClick, ControlInsideHiddenOrDisabledFrameIsRefused) {
    RecordingFrontEnd fe;
    Form form(fe, ".");
    form.setVisible("Frame12", false);
    EXPECT_EQ(form.click("maxbots_few").status, ClickStatus::Hidden);
    form.setVisible("Frame12", true);
    form.setEnabled("Frame5", false);  // outer frame of Frame12
    EXPECT_EQ(form.click("maxbots_few").status, ClickStatus::Disabled);
    EXPECT_TRUE(form.selected("maxbots_std"));
}

TEST(FormClick, LinksOpenTheirPagesAndChangeNothing) {
    RecordingFrontEnd fe;
    Form form(fe, ".");
    const Snapshot before(form);
    ASSERT_TRUE(form.click("Label1").ok());
    ASSERT_TRUE(form.click("Label4").ok());
    ASSERT_EQ(fe.pages.size(), 2u);
    EXPECT_EQ(fe.pages[0], nuv::kDownloadUrl);
    EXPECT_EQ(fe.pages[1], nuv::kAuthorUrl);
    EXPECT_TRUE(before.sameAs(form));
}

TEST(FormClick, InertControlsAcceptAClickThatDoesNothing) {
    RecordingFrontEnd fe;
    Form form(fe, ".");
    const Snapshot before(form);
    for (const char* n : {"Frame3", "Label3", "status", "Image2", "skillrating"})
        EXPECT_TRUE(form.click(n).ok()) << n;
    EXPECT_TRUE(before.sameAs(form));
    EXPECT_TRUE(fe.pages.empty());
}

TEST(FormSetters, ProgramChangesFollowGroupRulesAndAutostartColour) {
    RecordingFrontEnd fe;
    Form form(fe, ".");
    form.select("team_t");
    EXPECT_EQ(form.selectedIn("Frame15"), "team_t");
    form.deselectAll("Frame15");
    EXPECT_EQ(form.selectedIn("Frame15"), "");
    form.setValue("maxbots_many", 1);
    EXPECT_EQ(form.selectedIn("Frame12"), "maxbots_many");
    form.setChecked("autostart", false);
    EXPECT_EQ(form.at("autostart").captionColour, nuv::kAutostartOff);
    form.setChecked("autostart", true);
    EXPECT_EQ(form.at("autostart").captionColour, nuv::kAutostartOn);
    form.setStatus("x", nuv::kBlack);
    EXPECT_EQ(form.statusText(), "x");
    EXPECT_EQ(form.statusColour(), nuv::kBlack);
    EXPECT_THROW(form.at("nope"), std::out_of_range);
    EXPECT_THROW(form.setChecked("nope", true), std::out_of_range);
}

}  // namespace
