// The window as it opens, and what a click may and may not do.
#include <gtest/gtest.h>

#include "form/controls.h"
#include "form/form.h"
#include "support/menu_support.h"

namespace {

using nuv::Form;
using nuvtest::RecordingFrontEnd;

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
}

}  // namespace
