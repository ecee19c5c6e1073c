// nuvdm-check --fix on servers as admins have them: the files it mends come
// out byte for byte as expected, each changed file's old content is kept once
// as NAME.bak, nothing else changes, and a second run changes nothing.
#include <gtest/gtest.h>

#include "support/installation.h"

namespace {

using checktest::find;
using checktest::findChange;
using checktest::hostLine;
using checktest::Installation;
using checktest::kLinuxHost;
using checktest::kPaths;
using nuvcheck::Did;
using nuvcheck::Report;
using nuvcheck::Status;

const std::string kList = "addons/metamod/plugins.ini";
const std::string kGpConfig = "addons/GrapnelMod/GP_config.txt";
const std::string kUserConfig = "dm_userconfig.cfg";
const std::string kEnd = kLinuxHost ? "\n" : "\r\n";  // the host system's line end in new files

// A second --fix changes nothing, and writes nothing.
void expectSecondFixChangesNothing(const Installation& in) {
    const auto before = in.files();
    const Report again = in.fix();
    EXPECT_TRUE(again.changes.empty()) << checktest::text(again);
    EXPECT_EQ(in.files(), before);
}

TEST(CheckFix, AdminsPluginListGainsExactlyTheMissingLines) {
    const std::string crlf = "\r\n";
    const std::string grapnel = hostLine(kPaths.grapnel), rix = hostLine(kPaths.rix), amx = hostLine(kPaths.amx);
    const struct {
        const char* name;
        std::string before, added;
        bool amxWarns;  // the AMX Mod X warning stays after the fix
    } cases[] = {
        {"CrLfWithCommentsAndAmxLastLineWithoutEnd",
         "; my server's plugins" + crlf + hostLine(kPaths.amx, crlf) + crlf + "// last line, no line end",
         crlf + hostLine(kPaths.grapnel, crlf) + hostLine(kPaths.rix, crlf), false},
        {"AmxInstalledWithoutItsLine", "; plugins\n", grapnel + rix + amx, false},
        {"AmxPutOutOfUseStaysSo", "\t;" + amx, grapnel + rix, true},
        {"OnePackLineThere", rix + amx, grapnel, false},
        {"NothingMissing", grapnel + amx + rix, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Installation in;
        in.copy(NUVDM_CHECK_RIX, kPaths.amx);
        in.write(kList, c.before);
        const Report r = in.fix();
        EXPECT_EQ(in.read(kList), c.before + c.added);
        EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
        EXPECT_EQ(find(r, Status::Warn, kList, "AMX Mod X is installed") != nullptr, c.amxWarns) << checktest::text(r);
        if (c.added.empty()) {
            EXPECT_TRUE(r.changes.empty()) << checktest::text(r);
            EXPECT_FALSE(std::filesystem::exists(in.mod() / (kList + ".bak")));
        } else {
            EXPECT_EQ(in.read(kList + ".bak"), c.before);
            EXPECT_NE(findChange(r, Did::Kept, kList + ".bak", "the content before this fix"), nullptr);
            EXPECT_NE(findChange(r, Did::Fixed, kList + ":", std::string("added ") + kPaths.system), nullptr)
                << checktest::text(r);
        }
        expectSecondFixChangesNothing(in);
    }
}

TEST(CheckFix, LibListGetsTheMetamodThereInTheGameLibrarysValueOnly) {
    const std::string key = kPaths.gamedllKey;
    const std::string game = std::string(kLinuxHost ? "dlls/" : "dlls\\") + kPaths.gameLibrary;
    const std::string quoted = "// the server's list\r\ngame \"Counter-Strike\"\r\n" + key + "  \"@\" // the game\r\nsecure 1";
    const struct {
        const char* name;
        bool linuxOnly;
        void (*setUp)(const Installation&);
        std::string text;  // liblist.gam with @ for the value
        std::string value;  // what --fix makes of it; the game library: unchanged
    } cases[] = {
        {"TodaysMetamod", false, [](const Installation&) {}, quoted, kPaths.metamod},
        {"BareValue", false, [](const Installation&) {}, key + " @\n", kPaths.metamod},
        {"OlderMetamod", true,
         [](const Installation& in) {
             in.remove(kPaths.metamod);
             in.copy(NUVDM_CHECK_METAMOD, "addons/metamod/dlls/metamod.so");
         },
         quoted, "addons/metamod/dlls/metamod.so"},
        {"NoMetamod", false, [](const Installation& in) { in.remove(kPaths.metamod); }, quoted, game},
        {"GivenTwice", false, [](const Installation&) {}, key + " \"@\"\r\n" + key + " \"@\"\r\n", game},
    };
    auto with = [](std::string text, const std::string& value) {
        for (size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, value);
        return text;
    };
    for (const auto& c : cases) {
        if (c.linuxOnly && !kLinuxHost) continue;
        SCOPED_TRACE(c.name);
        Installation in;
        c.setUp(in);
        in.write("liblist.gam", with(c.text, game));
        const Report r = in.fix();
        EXPECT_EQ(in.read("liblist.gam"), with(c.text, c.value));
        if (c.value == game) {
            EXPECT_TRUE(r.changes.empty()) << checktest::text(r);
            continue;
        }
        EXPECT_EQ(in.read("liblist.gam.bak"), with(c.text, game));
        EXPECT_NE(findChange(r, Did::Fixed, "liblist.gam:", "now names Metamod: \"" + c.value + "\""), nullptr)
            << checktest::text(r);
        EXPECT_NE(find(r, Status::Ok, "liblist.gam:", "is Metamod"), nullptr) << checktest::text(r);
        expectSecondFixChangesNothing(in);
    }
}

TEST(CheckFix, MissingFilesAreWrittenFromThePacksDefaults) {
    const std::string packLines = hostLine(kPaths.grapnel, kEnd) + hostLine(kPaths.rix, kEnd);
    const struct {
        const char* name;
        bool linuxOnly;
        bool defaults;
        void (*setUp)(const Installation&);
        std::string gpConfig;  // empty: not written
        std::string list, userConfig;
    } cases[] = {
        {"FromTheDefaults", false, true, [](const Installation&) {},
         kPaths.gameLibrary + kEnd + kEnd + "The first word names the game library." + kEnd,
         "; Metamod's plugins of the NUV DM pack" + kEnd + packLines, "// NUV DM settings: the menu's Save writes them." + kEnd},
        {"TodaysCsSoInTheDefaultsText", true, true,
         [](const Installation& in) { in.copy(NUVDM_CHECK_GAME, "dlls/cs.so"); },
         "cs.so\n\nThe first word names the game library.\n", "; Metamod's plugins of the NUV DM pack\n" + packLines,
         "// NUV DM settings: the menu's Save writes them.\n"},
        {"WithoutTheDefaults", false, false, [](const Installation&) {}, kPaths.gameLibrary + kEnd, packLines,
         "// NUV DM settings: the menu's SAVE SETTINGS writes them here." + kEnd},
        {"OnlyCsSo", true, false,
         [](const Installation& in) {
             in.remove("dlls/cs_i386.so");
             in.copy(NUVDM_CHECK_GAME, "dlls/cs.so");
         },
         "cs.so\n", packLines, "// NUV DM settings: the menu's SAVE SETTINGS writes them here.\n"},
        {"NoGameLibrary", false, false,
         [](const Installation& in) { in.remove(std::string("dlls/") + kPaths.gameLibrary); }, "", packLines,
         "// NUV DM settings: the menu's SAVE SETTINGS writes them here." + kEnd},
    };
    for (const auto& c : cases) {
        if (c.linuxOnly && !kLinuxHost) continue;
        SCOPED_TRACE(c.name);
        Installation in;
        if (c.defaults) in.writeDefaults();
        c.setUp(in);
        for (const std::string& file : {kList, kGpConfig, kUserConfig}) in.remove(file);
        const Report r = in.fix();
        EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
        EXPECT_EQ(in.read(kList), c.list);
        EXPECT_EQ(in.read(kUserConfig), c.userConfig);
        if (c.gpConfig.empty())
            EXPECT_FALSE(std::filesystem::exists(in.mod() / kGpConfig));
        else
            EXPECT_EQ(in.read(kGpConfig), c.gpConfig);
        EXPECT_EQ(findChange(r, Did::Kept, ""), nullptr) << checktest::text(r);  // nothing was there before
        EXPECT_EQ(find(r, Status::Warn, "menu: dm_userconfig.cfg"), nullptr) << checktest::text(r);
        expectSecondFixChangesNothing(in);
    }
}

// A server as an admin has it, the pack switched off: without --fix nothing
// is written; with it, only the files it names change.
TEST(CheckFix, OnlyWithFixAndOnlyTheFilesItNames) {
    Installation in;
    in.pointLibListAt(std::string(kLinuxHost ? "dlls/" : "dlls\\") + kPaths.gameLibrary);
    in.copy(NUVDM_CHECK_RIX, kPaths.amx);
    for (const std::string& file : {kList, kGpConfig, kUserConfig}) in.remove(file);
    const auto before = in.files();
    const Report checked = in.check();
    EXPECT_TRUE(checked.changes.empty());
    EXPECT_EQ(in.files(), before);

    const Report r = in.fix();
    EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
    EXPECT_EQ(find(r, Status::Warn, "liblist.gam:", "switched off"), nullptr) << checktest::text(r);
    EXPECT_EQ(find(r, Status::Warn, kList, "AMX Mod X"), nullptr) << checktest::text(r);
    auto others = [](std::map<std::string, std::string> files) {
        for (const std::string& file : {kList, kGpConfig, kUserConfig, std::string("liblist.gam"),
                                        std::string("liblist.gam.bak")})
            files.erase("cstrike/" + file);
        return files;
    };
    EXPECT_EQ(others(in.files()), others(before));
    EXPECT_EQ(in.files().size(), before.size() + 4);  // three written, one backup
}

TEST(CheckFix, TheBackupIsKeptOnce) {
    Installation in;
    const std::string first = "; first\n", second = "; second\n";
    in.write(kList, first);
    in.fix();
    in.write(kList, second);
    const Report r = in.fix();
    EXPECT_EQ(in.read(kList + ".bak"), first);
    EXPECT_EQ(in.read(kList), second + hostLine(kPaths.grapnel) + hostLine(kPaths.rix));
    EXPECT_NE(findChange(r, Did::Kept, kList + ".bak", "from an earlier fix, left as it is"), nullptr)
        << checktest::text(r);
}

TEST(CheckFix, AFileItCannotWriteStaysAsItWasAndFails) {
    namespace fs = std::filesystem;
    Installation in;
    in.write(kList, "; mine\n");
    fs::permissions(in.mod() / kList, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const Report r = in.fix();
    EXPECT_EQ(r.exitCode(), 1);
    EXPECT_NE(findChange(r, Did::Failed, kList, "not changed: it is write-protected"), nullptr) << checktest::text(r);
    EXPECT_EQ(in.read(kList), "; mine\n");
    EXPECT_FALSE(fs::exists(in.mod() / (kList + ".bak")));
}

}  // namespace
