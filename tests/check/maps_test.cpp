// The map entity files read with rix_mm's own readers: what the plugin would
// skip or refuse, at the line where it happens. Warnings only.
#include <gtest/gtest.h>

#include "support/installation.h"

namespace {

using checktest::find;
using checktest::Installation;
using nuvcheck::Report;
using nuvcheck::Status;

TEST(CheckMaps, AdditionFileFindingsCarryTheirLines) {
    Installation in;
    in.write("maps/de_test.addent",
             "// walls\r\n"
             "{ classname func_wall\r\n"
             "  a_key_of_thirty_characters_xyz v\r\n"  // 30 characters: kept
             "}\r\n"
             "{ targetname nobody\r\n"
             "}\r\n"
             "{ classname info_target\r\n"
             "  origin\r\n"
             "  a_key_of_thirty_one_characters_ v\r\n"
             "}\r\n"
             "{ classname never_read }\r\n");
    const Report r = in.check();
    EXPECT_EQ(r.exitCode(), 0) << checktest::text(r);
    EXPECT_NE(find(r, Status::Warn, "maps/de_test.addent:5", "without \"classname\""), nullptr) << checktest::text(r);
    EXPECT_NE(find(r, Status::Warn, "maps/de_test.addent:8", "value"), nullptr) << checktest::text(r);
    EXPECT_NE(find(r, Status::Warn, "maps/de_test.addent:9", "31 or more"), nullptr) << checktest::text(r);
    int findings = 0;
    for (const nuvcheck::Result& x : r.results) findings += x.where.rfind("maps/de_test.addent", 0) == 0;
    EXPECT_EQ(findings, 3) << checktest::text(r);
    EXPECT_NE(find(r, Status::Ok, "maps", "0 removal and 1 addition files"), nullptr);
}

TEST(CheckMaps, RemovalFileBeyondTwoHundredNamesAndTheWorld) {
    Installation in;
    std::string text = "worldspawn\n# func_wall is a comment\n";
    for (int i = 0; i < 200; ++i) text += "class_" + std::to_string(i) + "\n";
    in.write("maps/de_test.rement", text);
    const Report r = in.check();
    EXPECT_NE(find(r, Status::Warn, "maps/de_test.rement:1", "never removed"), nullptr) << checktest::text(r);
    // worldspawn is the first of the 200; class_199 on line 202 is the 201st.
    EXPECT_NE(find(r, Status::Warn, "maps/de_test.rement:202", "201st name"), nullptr) << checktest::text(r);
}

TEST(CheckMaps, AdditionsBeyondTheTableAndManyFindingsAreCounted) {
    Installation in;
    std::string text;
    for (int i = 0; i < 1025; ++i) text += "{ classname info_target }\n";
    in.write("maps/de_full.addent", text);
    std::string blocks;
    for (int i = 0; i < 8; ++i) blocks += "{ origin \"0 0 0\" }\n";
    in.write("maps/de_many.addent", blocks);
    const Report r = in.check();
    EXPECT_NE(find(r, Status::Warn, "maps/de_full.addent:1025", "1024"), nullptr) << checktest::text(r);
    EXPECT_NE(find(r, Status::Warn, "maps/de_many.addent:5"), nullptr);
    EXPECT_EQ(find(r, Status::Warn, "maps/de_many.addent:6"), nullptr);
    EXPECT_NE(find(r, Status::Warn, "maps/de_many.addent", "3 more findings"), nullptr) << checktest::text(r);
}

}  // namespace
