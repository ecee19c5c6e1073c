// What the menu's Save needs in the mod folder, and the AMX Mod X plugins its
// list switches on. Warnings only: a server set up by hand needs no menu.
#include <gtest/gtest.h>

#include "support/installation.h"

namespace {

using checktest::find;
using checktest::Installation;
using nuvcheck::Report;
using nuvcheck::Status;
namespace fs = std::filesystem;

TEST(CheckMenu, GateWantsTheExactNamesAndSavesFoldersAndFiles) {
    Installation in;
    in.remove("config.cfg");
    in.write("Config.cfg", "name player\r\n");
    in.remove("addons/amxmodx/configs");
    fs::permissions(in.mod() / "liblist.gam", fs::perms::owner_write | fs::perms::group_write |
                                                  fs::perms::others_write, fs::perm_options::remove);
    const Report r = in.check();
    EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
    EXPECT_NE(find(r, Status::Ok, "menu: dm_userconfig.cfg"), nullptr);
    EXPECT_NE(find(r, Status::Warn, "menu: config.cfg", "is named Config.cfg"), nullptr) << checktest::text(r);
    EXPECT_NE(find(r, Status::Warn, "menu: addons/amxmodx/configs", "missing"), nullptr) << checktest::text(r);
    EXPECT_NE(find(r, Status::Ok, "menu: addons/nuv"), nullptr);
    EXPECT_NE(find(r, Status::Warn, "menu: files Save replaces", "liblist.gam"), nullptr) << checktest::text(r);
}

TEST(CheckMenu, AmxPluginsSwitchedOnMustBeInstalled) {
    Installation in;
    in.write("addons/amxmodx/configs/plugins.ini",
             "admin.amxx                       NEEDED FOR AUTO CFGs\r\n"
             ";vampire_zre.amxx                GAIN HP FOR FRAGS\r\n"
             "\r\n"
             "walkguard.amxx                   Brush Map support\r\n"
             "// File created with NUVDM_Menu\r\n");
    in.write("addons/amxmodx/plugins/admin.amxx", "plugin");
    const Report r = in.check();
    EXPECT_EQ(r.exitCode(), 0);
    EXPECT_NE(find(r, Status::Warn, "addons/amxmodx/configs/plugins.ini", "1 of 2 AMX Mod X plugins"), nullptr)
        << checktest::text(r);
    EXPECT_NE(find(r, Status::Warn, "addons/amxmodx/configs/plugins.ini", ": walkguard.amxx"), nullptr);
    in.write("addons/amxmodx/plugins/walkguard.amxx", "plugin");
    EXPECT_NE(find(in.check(), Status::Ok, "addons/amxmodx/configs/plugins.ini", "2 AMX Mod X plugins"), nullptr);
}

}  // namespace
