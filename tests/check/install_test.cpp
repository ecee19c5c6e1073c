// Installations of the pack, good and broken one fault at a time: each fault
// gives its FAIL line, a good one only ok and warn.
#include <gtest/gtest.h>

#include "binary.h"
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

using checktest::hostLine;

TEST(CheckInstall, GoodInstallGivesOnlyOkAndWarn) {
    Installation in;
    const Report r = in.check();
    EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
    EXPECT_EQ(r.count(Status::Fail), 0) << checktest::text(r);
    EXPECT_EQ(r.modFolder, in.mod());
    EXPECT_NE(find(r, Status::Ok, "liblist.gam:", "is Metamod"), nullptr) << checktest::text(r);
    EXPECT_NE(find(r, Status::Ok, kList + ":3", "is grapnel_mm"), nullptr) << checktest::text(r);
    EXPECT_NE(find(r, Status::Ok, kList + ":4", "is rix_mm"), nullptr) << checktest::text(r);
    // The pack's plugins need nothing but the system's libraries (a sanitizer
    // build's need its runtimes besides). Which C library they need is the
    // build machine's: the line holds them to the version this reading finds,
    // ok up to GLIBC_2.17 (the limit is held to its images in binary_test.cpp).
    for (const char* plugin : {kPaths.grapnel, kPaths.rix}) {
        const std::string where = fs::path(plugin).generic_string();
        std::string glibc, needs;
        if (checktest::kLinuxHost) {
            nuvcheck::BinaryInfo info;
            std::string reason;
            ASSERT_TRUE(nuvcheck::readBinaryFile(in.mod() / where, info, reason)) << reason;
            glibc = info.newestGlibc();
            ASSERT_NE(glibc, "") << where;
            needs = nuvcheck::compareVersions(glibc.substr(6), "2.17") > 0 ? "needs " + glibc + " of the C library; "
                                                                           : glibc + " at newest; ";
        }
        const bool newer = needs.rfind("needs ", 0) == 0;
        const nuvcheck::Result* line = find(r, Status::Ok, where);
        if (!line) line = find(r, Status::Warn, where);
        ASSERT_NE(line, nullptr) << checktest::text(r);
        if (checktest::kSanitized) {
            EXPECT_EQ(line->status, Status::Warn) << line->saw;
            EXPECT_NE(line->saw.find(needs + "system libraries "), std::string::npos) << line->saw;
        } else {
            EXPECT_EQ(line->status, newer ? Status::Warn : Status::Ok) << line->saw;
            EXPECT_EQ(line->saw.rfind(needs + "system libraries ", 0), 0u) << line->saw;
        }
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
    const char* fixed;  // --fix mends it: part of its change's text; null: --fix leaves it
};

const Fault kFaults[] = {
    {"WrongWordSize",
     [](const Installation& in) {
         in.write(kPaths.grapnel, checktest::kLinuxHost ? checktest::elfHeader(kBitsOther)
                                                        : checktest::peHeader(kBitsOther));
     },
     "addons/metamod/plugins.ini:3", "-bit build", nullptr},
    {"WindowsDllInALinuxLine",
     [](const Installation& in) {
         in.write("addons/other/other.dll", checktest::peHeader(32));
         in.writePluginList("linux addons/other/other.dll\n");
     },
     "addons/metamod/plugins.ini:5", "is a Windows file (PE32 i386 DLL), not a Linux library", nullptr},
    {"TextFileNamedLikeALibrary",
     [](const Installation& in) {
         in.write("addons/text/notes" + kExt, "not a library\n");
         in.writePluginList(hostLine("addons/text/notes" + kExt));
     },
     "addons/metamod/plugins.ini:5", "no library at all", nullptr},
    {"LibraryWithoutMetaQuery",
     [](const Installation& in) { in.writePluginList(hostLine(std::string("dlls/") + kPaths.gameLibrary)); },
     "addons/metamod/plugins.ini:5", "exports no Meta_Query", nullptr},
    {"MissingPlugin",
     [](const Installation& in) { in.remove(kPaths.rix); },
     "addons/metamod/plugins.ini:4", "no such file", nullptr},
    {"LinuxNameInOtherCase",
     [](const Installation& in) {
         in.write("addons/case/lib_i386.so", checktest::elfHeader(32));
         in.writePluginList("linux addons/CASE/lib_i386.so\n");
     },
     "addons/metamod/plugins.ini:5", "upper and lower case", nullptr},
    {"PackPluginNotListed",
     [](const Installation& in) { in.writePluginList("", false); },
     "addons/metamod/plugins.ini", "line loads grapnel_mm", "added "},
    {"PackPluginNeitherInstalledNorListed",
     [](const Installation& in) {
         in.remove(kPaths.rix);
         in.writePluginList(hostLine(kPaths.grapnel), false);
     },
     "addons/metamod/plugins.ini", "line loads rix_mm", nullptr},
    {"PluginListMissing",
     [](const Installation& in) { in.remove("addons/metamod/plugins.ini"); },
     "addons/metamod/plugins.ini", "is missing", "written"},
    {"LibListPointsNowhere",
     [](const Installation& in) { in.pointLibListAt("addons/metamod/dlls/nothing" + kExt); },
     "liblist.gam:", "no such file", nullptr},
    {"LibListWithoutTheHostsEntry",
     [](const Installation& in) { in.write("liblist.gam", "game \"Counter-Strike\"\r\n"); },
     "liblist.gam", "has no ", nullptr},
    {"LibListNamingAPlugin",
     [](const Installation& in) { in.pointLibListAt(kPaths.rix); },
     "liblist.gam:", "is rix_mm", nullptr},
    {"StandaloneWithoutConfig",
     [](const Installation& in) {
         in.pointLibListAt(kPaths.grapnel);
         in.remove("addons/GrapnelMod/GP_config.txt");
     },
     "standalone", "{GrapnelMod} Error reading from GP_config.txt!", "written, naming "},
    {"StandaloneNamingAPlugin",
     [](const Installation& in) {
         in.pointLibListAt(kPaths.grapnel);
         in.copy(NUVDM_CHECK_RIX, "dlls/tweaks" + kExt);
         in.write("addons/GrapnelMod/GP_config.txt", "tweaks" + kExt);
     },
     "standalone", "(no GetEntityAPI entry point); exiting.\" (developer mode shows \"{GrapnelMod} Loaded", nullptr},
    {"StandaloneNamingAMissingLibrary",
     [](const Installation& in) {
         in.pointLibListAt(kPaths.grapnel);
         in.write("addons/GrapnelMod/GP_config.txt", "nothing" + kExt + " rest");
     },
     "standalone", "(no such file); exiting.\" (developer mode shows \"{GrapnelMod} File", nullptr},
    {"StandaloneNamingALibraryTheLoaderRefuses",
     [](const Installation& in) {
         in.pointLibListAt(kPaths.grapnel);
         in.write(std::string("dlls/") + kPaths.gameLibrary, checktest::kLinuxHost ? checktest::elfHeader(kBitsOther)
                                                                      : checktest::peHeader(kBitsOther));
     },
     "standalone", "(REASON); exiting.\", REASON in the system loader's words", nullptr},
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

// --fix on the same faults mends what it is sure of; what it leaves keeps its
// FAIL, and every file stays byte for byte as it was. A second run changes nothing.
TEST_P(CheckFault, FixMendsWhatIsSureAndLeavesTheRest) {
    Installation in;
    GetParam().apply(in);
    const auto before = in.files();
    const Report r = in.fix();
    const char* fixed = GetParam().fixed;
    EXPECT_EQ(find(r, Status::Fail, GetParam().where, GetParam().saw) == nullptr, fixed != nullptr)
        << checktest::text(r);
    if (fixed) {
        EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
        EXPECT_NE(checktest::findChange(r, nuvcheck::Did::Fixed, "", fixed), nullptr) << checktest::text(r);
    } else {
        EXPECT_TRUE(r.changes.empty()) << checktest::text(r);
        EXPECT_EQ(in.files(), before);
    }
    const auto after = in.files();
    EXPECT_TRUE(in.fix().changes.empty());
    EXPECT_EQ(in.files(), after);
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
    EXPECT_NE(find(r, Status::Ok, "standalone",
                   "\"Loaded GrapnelMod - not using metamod.\" (developer mode adds " + loaded + ")"),
              nullptr)
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

// The advice names what the server has: the game library and Metamod under
// either of their names, AMX Mod X when it is installed but not loaded.
struct Advice {
    const char* name;
    bool linuxOnly;
    void (*apply)(const Installation&);
    Status status;
    const char* where;
    const char* saw;
    const char* todo;  // part of what to do
};

const char* const kGpConfig = "addons/GrapnelMod/GP_config.txt";
const char* const kOlderMetamod = "addons/metamod/dlls/metamod.so";

const Advice kAdvice[] = {
    {"StandaloneNamesTodaysCsSo", true,
     [](const Installation& in) {
         in.pointLibListAt(kPaths.grapnel);
         in.remove("dlls/cs_i386.so");
         in.copy(NUVDM_CHECK_GAME, "dlls/cs.so");
         in.write(kGpConfig, "cs_i386.so\n");
     },
     Status::Fail, "standalone", "not found!", "dlls (cs.so)"},
    {"StandaloneNamesCsI386WhereThatIsAll", true,
     [](const Installation& in) {
         in.pointLibListAt(kPaths.grapnel);
         in.write(kGpConfig, "cs.so\n");
     },
     Status::Fail, "standalone", "not found!", "dlls (cs_i386.so)"},
    {"StandaloneWithoutAGameLibrary", true,
     [](const Installation& in) {
         in.pointLibListAt(kPaths.grapnel);
         in.remove("dlls/cs_i386.so");
     },
     Status::Fail, "standalone", "not found!", "(cs.so or cs_i386.so, neither of which is a game library in dlls)"},
    {"OlderMetamodIsMetamod", true,
     [](const Installation& in) {
         in.remove(kPaths.metamod);
         in.copy(NUVDM_CHECK_METAMOD, kOlderMetamod);
         in.pointLibListAt(kOlderMetamod);
     },
     Status::Ok, "liblist.gam:", "is Metamod", ""},
    {"ListNamingAMissingMetamodGetsTheOneThere", true,
     [](const Installation& in) {
         in.remove(kPaths.metamod);
         in.copy(NUVDM_CHECK_METAMOD, kOlderMetamod);
     },
     Status::Fail, "liblist.gam:", "no such file", "point gamedll_linux at Metamod (addons/metamod/dlls/metamod.so)"},
    {"NoMetamodAtAll", false, [](const Installation& in) { in.remove(kPaths.metamod); }, Status::Fail,
     "liblist.gam:", "no such file",
     checktest::kLinuxHost ? "or metamod.so of older builds; Xash3D FWGS drops _i386 from the name in liblist.gam"
                           : "install Metamod (addons\\metamod\\dlls\\metamod.dll)"},
    {"SwitchedOffWithMetamodThere", false,
     [](const Installation& in) {
         in.pointLibListAt(std::string(checktest::kLinuxHost ? "dlls/" : "dlls\\") + kPaths.gameLibrary);
     },
     Status::Warn, "liblist.gam:", "switched off", "(nuvdm-check --fix does it)"},
    {"AmxInstalledButNotLoaded", false, [](const Installation& in) { in.copy(NUVDM_CHECK_RIX, kPaths.amx); },
     Status::Warn, "addons/metamod/plugins.ini", "AMX Mod X is installed",
     checktest::kLinuxHost ? "add the line: linux addons/amxmodx/dlls/amxmodx_mm_i386.so (nuvdm-check --fix adds it)"
                           : "add the line: win32 addons\\amxmodx\\dlls\\amxmodx_mm.dll (nuvdm-check --fix adds it)"},
    {"AmxInAComment", false,
     [](const Installation& in) {
         in.copy(NUVDM_CHECK_RIX, kPaths.amx);
         in.writePluginList(std::string(";").append(hostLine(kPaths.amx)));
     },
     Status::Warn, "addons/metamod/plugins.ini", "AMX Mod X is installed",
     "line 5 names it, but Metamod skips that line: make it read "},
    {"PackPluginInAComment", false,
     [](const Installation& in) { in.writePluginList(hostLine(kPaths.grapnel) + "; " + hostLine(kPaths.rix), false); },
     Status::Fail, "addons/metamod/plugins.ini", "line loads rix_mm", "line 4 names it, but Metamod skips that line"},
    {"PackPluginNotInstalled", false,
     [](const Installation& in) {
         in.remove(kPaths.rix);
         in.writePluginList(hostLine(kPaths.grapnel), false);
     },
     Status::Fail, "addons/metamod/plugins.ini", "line loads rix_mm", "unpack the pack's "},
};

void PrintTo(const Advice& a, std::ostream* os) { *os << a.name; }

class CheckAdvice : public ::testing::TestWithParam<Advice> {};

TEST_P(CheckAdvice, NamesWhatTheServerHas) {
    const Advice& a = GetParam();
    if (a.linuxOnly && !checktest::kLinuxHost) GTEST_SKIP() << "Linux names";
    Installation in;
    a.apply(in);
    const Report r = in.check();
    const nuvcheck::Result* line = find(r, a.status, a.where, a.saw);
    ASSERT_NE(line, nullptr) << checktest::text(r);
    EXPECT_NE(line->todo.find(a.todo), std::string::npos) << line->todo;
}

INSTANTIATE_TEST_SUITE_P(Advice, CheckAdvice, ::testing::ValuesIn(kAdvice),
                         [](const ::testing::TestParamInfo<Advice>& info) { return info.param.name; });

TEST(CheckInstall, AmxLoadedByItsLineGivesNoWarning) {
    Installation in;
    in.copy(NUVDM_CHECK_RIX, kPaths.amx);
    in.writePluginList(hostLine(kPaths.amx));
    const Report r = in.check();
    EXPECT_NE(find(r, Status::Ok, kList + ":5", "is a Metamod plugin"), nullptr) << checktest::text(r);
    EXPECT_EQ(find(r, Status::Warn, kList, "AMX Mod X"), nullptr) << checktest::text(r);
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
