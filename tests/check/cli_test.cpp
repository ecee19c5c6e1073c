// The nuvdm-check program as an admin or a script runs it: output forms and
// exit codes.
#include <gtest/gtest.h>

#include "support/installation.h"
#include "support/process.h"

namespace {

using Args = std::vector<std::string>;

nuvtest::ProcessRun run(const Args& args) { return nuvtest::runProgram(NUVDM_CHECK_CLI, args); }

size_t countOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

TEST(CheckCli, HelpAndUsageErrors) {
    const nuvtest::ProcessRun help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("usage: nuvdm-check [--fix] [--json] [FOLDER]", 0), 0u) << help.out;
    nuvtest::ScratchDir a, b;
    for (const Args& args : {Args{"--verbose"}, Args{a.path().string(), b.path().string()},
                             Args{(a.path() / "missing").string()}}) {
        const nuvtest::ProcessRun r = run(args);
        EXPECT_EQ(r.code, 2) << args[0];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("nuvdm-check: ", 0), 0u) << r.err;
    }
}

TEST(CheckCli, FaultsExitOneInTextAndJson) {
    checktest::Installation in;
    in.remove(checktest::kPaths.rix);
    const nuvtest::ProcessRun text = run({in.game().string()});
    EXPECT_EQ(text.code, 1) << text.out;
    EXPECT_NE(text.out.find("\nFAIL  addons/metamod/plugins.ini:4: "), std::string::npos) << text.out;
    const nuvtest::ProcessRun json = run({"--json", in.game().string()});
    EXPECT_EQ(json.code, 1);
    EXPECT_EQ(json.out.rfind("{\n", 0), 0u);
    EXPECT_NE(json.out.find("\"exit_code\": 1\n}"), std::string::npos) << json.out;
    // The same results: one per line of the text form, less its summary.
    EXPECT_EQ(countOf(json.out, "{\"status\": "), countOf(text.out, "\n") - 1);
    EXPECT_NE(json.out.find("{\"status\": \"FAIL\", \"where\": \"addons/metamod/plugins.ini:4\""), std::string::npos);
}

// The changes come first, one line each, then the report; in JSON as "changes".
TEST(CheckCli, FixPrintsItsChangesBeforeTheReport) {
    checktest::Installation in;
    in.remove("addons/metamod/plugins.ini");
    const nuvtest::ProcessRun text = run({"--fix", in.game().string()});
    EXPECT_EQ(text.out.rfind("fixed addons/metamod/plugins.ini: written\n"
                             "fixed addons/metamod/plugins.ini:1: added " +
                                 checktest::hostLine(checktest::kPaths.grapnel, ", which loads grapnel_mm\n") +
                                 "fixed addons/metamod/plugins.ini:2: added ",
                             0),
              0u)
        << text.out;
    EXPECT_NE(text.out.find("\nok    folder: "), std::string::npos) << text.out;
    in.write("addons/metamod/plugins.ini", "; mine\n");
    const nuvtest::ProcessRun json = run({"--json", "--fix", in.game().string()});
    EXPECT_NE(json.out.find("\"changes\": [\n    {\"did\": \"fixed\", \"where\": \"addons/metamod/plugins.ini:2\", "
                            "\"what\": \"added "),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("{\"did\": \"kept\", \"where\": \"addons/metamod/plugins.ini.bak\""), std::string::npos);
    EXPECT_EQ(countOf(json.out, "{\"did\": "), 3u) << json.out;
    // Without --fix, the list of changes is empty.
    EXPECT_NE(run({"--json", in.game().string()}).out.find("\"changes\": [],\n"), std::string::npos);
}

TEST(CheckCli, GoodInstallExitsZero) {
    if (checktest::kBits != 32) GTEST_SKIP() << "the program checks for 32-bit libraries; this build's are 64-bit";
    checktest::Installation in;
    const nuvtest::ProcessRun r = run({in.mod().string()});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(countOf(r.out, "\nFAIL"), 0u) << r.out;
}

}  // namespace
