// A file that cannot be written stops Save there: the files before it are
// new, that file and the later ones keep their old content whole.
#include <gtest/gtest.h>

#include "form/form.h"
#include "support/menu_support.h"
#include "writers/files.h"
#include "writers/save.h"

namespace {

namespace fs = std::filesystem;
using nuv::Form;
using nuv::SaveOutcome;
using nuvtest::readFile;
using nuvtest::RecordingFrontEnd;
using nuvtest::ScratchDir;
using nuvtest::writeFile;

// Every file the write path may write, in the order it writes them.
const std::vector<std::string> kWriteOrder = {
    "dm_userconfig.cfg",           "liblist.gam",
    "addons/nuv/dm_enable.cfg",    "addons/nuv/dm_enable_ffa.cfg",
    "addons/amxmodx/configs/csdm.cfg", "addons/amxmodx/configs/plugins.ini"};

std::string oldContent(const std::string& name) { return "old " + name + "\r\n"; }

void seed(const ScratchDir& dir) {
    dir.modFolder();
    for (const auto& f : kWriteOrder) writeFile(dir.path() / f, oldContent(f));
}

void makeReadOnly(const fs::path& p) {
    fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

TEST(SaveFailure, EachFileThatCannotBeWrittenStopsSaveThere) {
    // What a successful Save makes of the same folder.
    ScratchDir reference;
    seed(reference);
    {
        RecordingFrontEnd fe;
        Form form(fe, reference.path());
        ASSERT_EQ(nuv::save(form), SaveOutcome::Written);
    }
    for (size_t k = 0; k < kWriteOrder.size(); ++k) {
        // A file that Save does not write cannot make it fail.
        if (readFile(reference.path() / kWriteOrder[k]) == oldContent(kWriteOrder[k])) continue;
        SCOPED_TRACE(kWriteOrder[k]);
        ScratchDir dir;
        seed(dir);
        makeReadOnly(dir.path() / kWriteOrder[k]);
        RecordingFrontEnd fe;
        Form form(fe, dir.path());
        EXPECT_EQ(nuv::save(form), SaveOutcome::Failed);
        for (size_t i = 0; i < kWriteOrder.size(); ++i) {
            const std::string got = readFile(dir.path() / kWriteOrder[i]);
            if (i < k) {
                // Written files carry their folder in footers; compare by shape.
                EXPECT_NE(got, oldContent(kWriteOrder[i])) << kWriteOrder[i];
            } else {
                EXPECT_EQ(got, oldContent(kWriteOrder[i])) << kWriteOrder[i];
            }
        }
        ASSERT_EQ(fe.boxes.size(), 1u);
        EXPECT_EQ(fe.boxes[0].style, nuv::MessageStyle::Exclamation);
        EXPECT_NE(fe.boxes[0].text.find("Permission denied"), std::string::npos) << fe.boxes[0].text;
        EXPECT_NE(fe.boxes[0].text.find(fs::path(kWriteOrder[k]).filename().string()),
                  std::string::npos);
        EXPECT_EQ(form.statusColour(), nuv::kRed);
        EXPECT_EQ(form.statusText(), fe.boxes[0].text);
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            EXPECT_EQ(e.path().string().find(".nuvtmp"), std::string::npos) << e.path();
    }
}

TEST(SaveFailure, MissingAddonsFolderStopsAtTheEnableFiles) {
    ScratchDir dir;
    dir.modFolder();
    fs::remove_all(dir.path() / "addons");
    writeFile(dir.path() / "liblist.gam", "old\r\n");
    RecordingFrontEnd fe;
    Form form(fe, dir.path());
    EXPECT_EQ(nuv::save(form), SaveOutcome::Failed);
    EXPECT_NE(readFile(dir.path() / "dm_userconfig.cfg"), "old user config\r\n");
    EXPECT_NE(readFile(dir.path() / "liblist.gam"), "old\r\n");
    ASSERT_EQ(fe.boxes.size(), 1u);
    EXPECT_NE(fe.boxes[0].text.find("dm_enable.cfg"), std::string::npos);
    EXPECT_NE(fe.boxes[0].text.find("No such file or directory"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.path() / "addons"));
}

TEST(SaveFailure, CsdmOffWithFfaOnKeepsTheEnableFiles) {
    ScratchDir dir;
    seed(dir);
    RecordingFrontEnd fe;
    Form form(fe, dir.path());
    form.setChecked("csdm", false);
    EXPECT_EQ(nuv::save(form), SaveOutcome::Written);
    EXPECT_NE(readFile(dir.path() / "dm_userconfig.cfg"), oldContent("dm_userconfig.cfg"));
    EXPECT_NE(readFile(dir.path() / "liblist.gam"), oldContent("liblist.gam"));
    for (const char* f : {"addons/nuv/dm_enable.cfg", "addons/nuv/dm_enable_ffa.cfg"})
        EXPECT_EQ(readFile(dir.path() / f), oldContent(f));
    EXPECT_EQ(form.statusColour(), nuv::kGreen);
}

TEST(WriteTextFile, ReplacesWholeAndRefusesFoldersAndProtectedFiles) {
    ScratchDir dir;
    nuv::WriteError error;
    const fs::path target = dir.path() / "a.cfg";
    writeFile(target, std::string(10000, 'x'));
    ASSERT_TRUE(nuv::writeTextFile(target, "short\r\n", error));
    EXPECT_EQ(readFile(target), "short\r\n");
    fs::create_directory(dir.path() / "sub.cfg");
    EXPECT_FALSE(nuv::writeTextFile(dir.path() / "sub.cfg", "x", error));
    EXPECT_EQ(error.file, dir.path() / "sub.cfg");
    EXPECT_FALSE(error.reason.empty());
    makeReadOnly(target);
    EXPECT_FALSE(nuv::writeTextFile(target, "new", error));
    EXPECT_EQ(readFile(target), "short\r\n");
}

TEST(ModFile, BackslashesNameFolderSteps) {
    EXPECT_EQ(nuv::modFile("/m", "addons\\amxmodx\\configs\\csdm.cfg"),
              fs::path("/m") / "addons" / "amxmodx" / "configs" / "csdm.cfg");
    EXPECT_EQ(nuv::modFile("/m", "liblist.gam"), fs::path("/m") / "liblist.gam");
}

}  // namespace
