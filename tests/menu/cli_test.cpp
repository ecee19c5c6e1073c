// nuvdm-menu as scripts use it: output format and exit codes.
#include <gtest/gtest.h>

#include "support/menu_support.h"
#include "support/process.h"

namespace {

namespace fs = std::filesystem;
using nuvtest::readFile;
using nuvtest::ScratchDir;
using Args = std::vector<std::string>;

nuvtest::ProcessRun runCli(const Args& args) { return nuvtest::runProgram(NUVDM_MENU_CLI, args); }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> l;
    size_t start = 0, end;
    while ((end = text.find('\n', start)) != std::string::npos) {
        l.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size()) l.push_back(text.substr(start));
    return l;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        mod.modFolder();
    }
    // The arguments after "--dir <the mod folder>".
    nuvtest::ProcessRun run(const Args& args) const {
        Args all = {"--dir", mod.path().string()};
        all.insert(all.end(), args.begin(), args.end());
        return runCli(all);
    }
    ScratchDir mod;
};

TEST_F(Cli, StateListsEveryBoxAndButtonThenRatingStatusAndText) {
    const nuvtest::ProcessRun r = run({"--state"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    const auto l = lines(r.out);
    ASSERT_GE(l.size(), 5u);
    EXPECT_EQ(l[0], "nuvdm 1 0 1");
    EXPECT_EQ(l[1], "zorbotz 1 0 1");
    EXPECT_EQ(l[2], "csdm 1 1 1");
    EXPECT_EQ(l[3], "ffa 1 1 1");
    EXPECT_EQ(l[4], "medit 0 1 1");
    size_t rating = 0;
    while (rating < l.size() && l[rating].rfind("skillrating ", 0) != 0) ++rating;
    ASSERT_LT(rating + 1, l.size());
    // 45 check boxes and 38 option buttons come before the rating.
    EXPECT_EQ(rating, 83u);
    EXPECT_EQ(l[rating], "skillrating 140");
    EXPECT_EQ(l[rating + 1], "status 16777215");
    EXPECT_EQ(l[rating - 1], "beta 0 0 1");
    EXPECT_EQ(l[rating + 2].rfind("This field will show you status messages", 0), 0u);
    EXPECT_EQ(l.back(), "You can afterwards make personal custom changes");
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

TEST_F(Cli, SaveWritesAndExitsZero) {
    const nuvtest::ProcessRun r = run({"--save"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              "Settings loaded correctly. Start a New Game (local LAN Server) and choose your map. "
              "Game should start automaticly.\n");
    EXPECT_EQ(readFile(mod.path() / "dm_userconfig.cfg"),
              nuvtest::golden("startup/dm_userconfig.cfg", mod.path()));
}

TEST_F(Cli, RefusedSaveExitsOne) {
    fs::remove(mod.path() / "config.cfg");
    const nuvtest::ProcessRun r = run({"--save"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "Menu ERROR #002\n");
    EXPECT_EQ(readFile(mod.path() / "dm_userconfig.cfg"), "old user config\r\n");
}

TEST_F(Cli, MessageBoxGoesToStandardErrorAsTitleColonText) {
    nuvtest::writeFile(mod.path() / "liblist.gam", "old\r\n");
    // A write-protected liblist.gam fails the second file.
    fs::permissions(mod.path() / "liblist.gam", fs::perms::owner_write | fs::perms::group_write |
                                                    fs::perms::others_write,
                    fs::perm_options::remove);
    const nuvtest::ProcessRun r = run({"--save"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "NUVDM_Menu: Could not write " + (mod.path() / "liblist.gam").string() +
                         ": Permission denied\n");
}

TEST_F(Cli, LastSaveDecidesTheExitStatus) {
    fs::remove(mod.path() / "config.cfg");
    EXPECT_EQ(run({"--save", "--state"}).code, 1);
    nuvtest::writeFile(mod.path() / "config.cfg", "x\r\n");
    EXPECT_EQ(run({"--save", "--save"}).code, 0);
}

TEST_F(Cli, UsageErrorsExitTwoAndSayWhich) {
    nuvtest::ProcessRun r = run({"--bogus"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("--bogus"), std::string::npos);
    r = run({"--click", "no_such_control"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("no_such_control"), std::string::npos);
    r = run({"--click", "nuvdm_custom"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("disabled"), std::string::npos);
    r = run({"--click", "knives_only"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("hidden"), std::string::npos);
    r = run({"--click"});
    EXPECT_EQ(r.code, 2);
    r = runCli({"--dir", (mod.path() / "missing").string(), "--state"});
    EXPECT_EQ(r.code, 2);
    // A usage error is found before anything runs.
    r = run({"--save", "--bogus"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(readFile(mod.path() / "dm_userconfig.cfg"), "old user config\r\n");
}

TEST_F(Cli, DisableRunExitsZeroAndShowsItsBox) {
    const nuvtest::ProcessRun r = run({"--click", "nuvdm_disable", "--save"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err.rfind("NUVDM_Menu: NUV DM HAS BEEN DISABLED.", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "SAVE AND NUV MOD WILL BE DISABLED.\n");
    EXPECT_NE(readFile(mod.path() / "liblist.gam").find("gamedll \"dlls\\mp.dll\""),
              std::string::npos);
}

TEST_F(Cli, HelpExitsZero) {
    const nuvtest::ProcessRun r = runCli({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("--click NAME"), std::string::npos);
    // The terminal menu and its keys, where there is one (not on Windows).
    for (const char* key : {"full-screen menu", "Tab, Shift-Tab, arrows", "Space or Enter", "  s  ",
                            "q or Esc"})
        EXPECT_EQ(r.out.find(key) != std::string::npos, NUVDM_MENU_TERMINAL != 0) << key;
}

TEST_F(Cli, ClicksRunInOrderAndLinksPrintTheirAddress) {
    const nuvtest::ProcessRun r = run({"--click", "footsteps", "--click", "Label1", "--state"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("\nfootsteps 1 1 1\n"), std::string::npos);
    EXPECT_EQ(r.err, "web page: https://nuvdm.example.org/\n");
}

}  // namespace
