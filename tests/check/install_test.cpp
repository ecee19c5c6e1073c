// Installations of the pack, good and broken one fault at a time: each fault
// gives its FAIL line, a good one only ok and warn.
#include <gtest/gtest.h>

#include "support/installation.h"

namespace {

using checktest::find;
using checktest::Installation;
using checktest::kPaths;
using nuvcheck::Report;
using nuvcheck::Status;
namespace fs = std::filesystem;

const std::string kExt = checktest::kLinuxHost ? ".so" : ".dll";
const std::string kList = "addons/metamod/plugins.ini";
const int kBitsOther = checktest::kBits == 32 ? 64 : 32;

std::string hostLine(const std::string& path) { return std::string(kPaths.system) + " " + path + "\n"; }

TEST(CheckInstall, GoodInstallGivesOnlyOkAndWarn) {
    Installation in;
    const Report r = in.check();
    EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
    EXPECT_EQ(r.count(Status::Fail), 0) << checktest::text(r);
    EXPECT_EQ(r.modFolder, in.mod());
    EXPECT_NE(find(r, Status::Ok, "liblist.gam:", "is Metamod"), nullptr) << checktest::text(r);
    EXPECT_NE(find(r, Status::Ok, kList + ":3", "is grapnel_mm"), nullptr) << checktest::text(r);
    EXPECT_NE(find(r, Status::Ok, kList + ":4", "is rix_mm"), nullptr) << checktest::text(r);
    // The pack's plugins need no C++ runtime and no new C library.
    if (!checktest::kSanitized) {
        EXPECT_NE(find(r, Status::Ok, fs::path(kPaths.grapnel).generic_string(), "system libraries"), nullptr)
            << checktest::text(r);
    }
    EXPECT_EQ(find(r, Status::Warn, "menu:"), nullptr) << checktest::text(r);
    // The mod folder given itself reads the same.
    const Report fromMod = in.check(in.mod());
    EXPECT_EQ(fromMod.modFolder, in.mod());
    EXPECT_EQ(fromMod.results.size(), r.results.size());
}

// The archive's plugin list has both systems' lines; the other system's
// libraries are not in a one-system folder, and that is no fault.
TEST(CheckInstall, OtherSystemsLinesAreLeftUncheckedWhenItsFilesAreAbsent) {
    Installation in;
    const std::string other = checktest::kLinuxHost ? "win32 addons\\grapnel\\dlls\\grapnel_mm.dll\n"
                                                    : "linux addons/grapnel/dlls/grapnel_mm_i386.so\n";
    in.writePluginList(other);
    const Report r = in.check();
    EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
    EXPECT_NE(find(r, Status::Ok, kList + ":5", "not checked"), nullptr) << checktest::text(r);
    ASSERT_EQ(r.systems.size(), 1u);
    EXPECT_EQ(r.systems[0], kPaths.system);
}

struct Fault {
    const char* name;
    void (*apply)(const Installation&);
    const char* where;  // start of the FAIL line's place
    const char* saw;    // part of what it saw
};

const Fault kFaults[] = {
    {"WrongWordSize",
     [](const Installation& in) {
         in.write(kPaths.grapnel, checktest::kLinuxHost ? checktest::elfHeader(kBitsOther)
                                                        : checktest::peHeader(kBitsOther));
     },
     "addons/metamod/plugins.ini:3", "-bit build"},
    {"WindowsDllInALinuxLine",
     [](const Installation& in) {
         in.write("addons/other/other.dll", checktest::peHeader(32));
         in.writePluginList("linux addons/other/other.dll\n");
     },
     "addons/metamod/plugins.ini:5", "is a Windows file (PE32 i386 DLL), not a Linux library"},
    {"TextFileNamedLikeALibrary",
     [](const Installation& in) {
         in.write("addons/text/notes" + kExt, "not a library\n");
         in.writePluginList(hostLine("addons/text/notes" + kExt));
     },
     "addons/metamod/plugins.ini:5", "no library at all"},
    {"LibraryWithoutMetaQuery",
     [](const Installation& in) { in.writePluginList(hostLine(std::string("dlls/") + kPaths.gameLibrary)); },
     "addons/metamod/plugins.ini:5", "exports no Meta_Query"},
    {"MissingPlugin",
     [](const Installation& in) { in.remove(kPaths.rix); },
     "addons/metamod/plugins.ini:4", "no such file"},
    {"LinuxNameInOtherCase",
     [](const Installation& in) {
         in.write("addons/case/lib_i386.so", checktest::elfHeader(32));
         in.writePluginList("linux addons/CASE/lib_i386.so\n");
     },
     "addons/metamod/plugins.ini:5", "upper and lower case"},
    {"PackPluginNotListed",
     [](const Installation& in) { in.writePluginList("", false); },
     "addons/metamod/plugins.ini", "line loads grapnel_mm"},
    {"PluginListMissing",
     [](const Installation& in) { in.remove("addons/metamod/plugins.ini"); },
     "addons/metamod/plugins.ini", "is missing"},
    {"LibListPointsNowhere",
     [](const Installation& in) { in.pointLibListAt("addons/metamod/dlls/nothing" + kExt); },
     "liblist.gam:", "no such file"},
    {"LibListWithoutTheHostsEntry",
     [](const Installation& in) { in.write("liblist.gam", "game \"Counter-Strike\"\r\n"); },
     "liblist.gam", "has no "},
    {"LibListNamingAPlugin",
     [](const Installation& in) { in.pointLibListAt(kPaths.rix); },
     "liblist.gam:", "is rix_mm"},
    {"StandaloneWithoutConfig",
     [](const Installation& in) {
         in.pointLibListAt(kPaths.grapnel);
         in.remove("addons/GrapnelMod/GP_config.txt");
     },
     "standalone", "{GrapnelMod} Error reading from GP_config.txt!"},
    {"StandaloneNamingAPlugin",
     [](const Installation& in) {
         in.pointLibListAt(kPaths.grapnel);
         in.copy(NUVDM_CHECK_RIX, "dlls/tweaks" + kExt);
         in.write("addons/GrapnelMod/GP_config.txt", "tweaks" + kExt);
     },
     "standalone", "{GrapnelMod} Can't get mod's GetEntityAPI!"},
    {"StandaloneNamingAMissingLibrary",
     [](const Installation& in) {
         in.pointLibListAt(kPaths.grapnel);
         in.write("addons/GrapnelMod/GP_config.txt", "nothing" + kExt + " rest");
     },
     "standalone", "not found!"},
};

void PrintTo(const Fault& f, std::ostream* os) { *os << f.name; }

class CheckFault : public ::testing::TestWithParam<Fault> {};

TEST_P(CheckFault, NamesTheFaultAndExitsOne) {
    Installation in;
    GetParam().apply(in);
    const Report r = in.check();
    EXPECT_EQ(r.exitCode(), 1);
    EXPECT_NE(find(r, Status::Fail, GetParam().where, GetParam().saw), nullptr) << checktest::text(r);
}

INSTANTIATE_TEST_SUITE_P(Faults, CheckFault, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<Fault>& info) { return info.param.name; });

TEST(CheckInstall, StandaloneTellsWhatThePluginPrintsAtStartUp) {
    Installation in;
    in.pointLibListAt(kPaths.grapnel);
    const Report r = in.check();
    EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
    const char sep = checktest::kLinuxHost ? '/' : '\\';
    const std::string loaded = std::string("\"{GrapnelMod} Loaded cstrike") + sep + "dlls" + sep +
                               kPaths.gameLibrary + ".\"";
    EXPECT_NE(find(r, Status::Ok, "standalone", "\"Loaded GrapnelMod - not using metamod.\", " + loaded), nullptr)
        << checktest::text(r);
    // Without Metamod the tweaks plugin does not run; the list is not needed.
    EXPECT_NE(find(r, Status::Warn, "liblist.gam:", "rix_mm does not run"), nullptr);
    in.remove("addons/metamod/plugins.ini");
    EXPECT_EQ(in.check().exitCode(), 0);
}

TEST(CheckInstall, GameLibraryInTheListSwitchesThePackOffWithAWarning) {
    Installation in;
    in.pointLibListAt(std::string(checktest::kLinuxHost ? "dlls/" : "dlls\\") + kPaths.gameLibrary);
    const Report r = in.check();
    EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
    EXPECT_NE(find(r, Status::Warn, "liblist.gam:", "switched off"), nullptr) << checktest::text(r);
}

TEST(CheckInstall, APluginListedTwiceIsAWarning) {
    Installation in;
    in.writePluginList(hostLine(kPaths.grapnel) + "; " + hostLine(kPaths.rix));
    const Report r = in.check();
    EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
    EXPECT_NE(find(r, Status::Warn, kList + ":5", "grapnel_mm is loaded again (first on line 3)"), nullptr)
        << checktest::text(r);
    EXPECT_EQ(find(r, Status::Warn, kList + ":6"), nullptr);  // a comment
}

TEST(CheckInstall, FolderWithoutAModFails) {
    nuvtest::ScratchDir empty;
    nuvcheck::Options o;
    o.folder = empty.path();
    const Report r = nuvcheck::checkInstall(o);
    EXPECT_EQ(r.exitCode(), 1);
    EXPECT_NE(find(r, Status::Fail, "folder", "holds no liblist.gam"), nullptr) << checktest::text(r);
}

// Windows builds of the plugins beside the Linux ones, when the mingw build
// is there: both systems' lines are checked.
TEST(CheckInstall, BothSystemsWhenTheWindowsBuildIsThere) {
    if (!checktest::kLinuxHost || checktest::kBits != 32) GTEST_SKIP() << "a 32-bit Linux build checks this";
    const fs::path windows = NUVDM_CHECK_WINDOWS_BIN;
    if (!fs::exists(windows / "grapnel_mm.dll") || !fs::exists(windows / "rix_mm.dll"))
        GTEST_SKIP() << "no Windows build in " << windows;
    Installation in;
    in.copy((windows / "grapnel_mm.dll").string(), "addons/grapnel/dlls/grapnel_mm.dll");
    in.copy((windows / "rix_mm.dll").string(), "addons/rix/dlls/rix_mm.dll");
    in.writePluginList("win32 addons\\grapnel\\dlls\\grapnel_mm.dll\nwin32 addons\\rix\\dlls\\rix_mm.dll\n");
    const Report r = in.check();
    EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
    EXPECT_NE(find(r, Status::Ok, kList + ":5", "is grapnel_mm (PE32 i386 DLL)"), nullptr) << checktest::text(r);
    EXPECT_NE(find(r, Status::Ok, "addons/rix/dlls/rix_mm.dll", "system libraries KERNEL32.dll"), nullptr)
        << checktest::text(r);
}

}  // namespace
