// The OS seam: loading a real shared library, finding symbols, the error
// text, paths, the current folder and the web-page opener.
#include "os/os.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <string>

#include "metamod/metamod.h"

namespace {

using AnswerFn = int (*)();

AnswerFn answerOf(os::Library lib, const char* name) {
    return reinterpret_cast<AnswerFn>(os::findSymbol(lib, name));
}

// The folder separator differs: '\\' on Windows, '/' elsewhere.
#ifdef _WIN32
constexpr char kSep = '\\';
#else
constexpr char kSep = '/';
#endif

// "a" + separator + "b", with the platform's separator.
std::string joined(const char* a, const char* b) {
    return std::string(a) + kSep + b;
}

}  // namespace

TEST(OsLibrary, LoadsFindsCallsAndFrees) {
    os::Library lib = os::loadLibrary(NUVDM_SEAM_LIB);
    ASSERT_NE(lib, nullptr) << os::lastError();
    AnswerFn answer = answerOf(lib, "seam_answer");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(answerOf(lib, "seam_calls")(), 1);
    os::freeLibrary(lib);
}

TEST(OsLibrary, MissingSymbolGivesNullAndTheSystemText) {
    os::Library lib = os::loadLibrary(NUVDM_SEAM_LIB);
    ASSERT_NE(lib, nullptr) << os::lastError();
    EXPECT_EQ(os::findSymbol(lib, "seam_no_such_symbol"), nullptr);
    EXPECT_NE(strstr(os::lastError(), "seam_no_such_symbol"), nullptr) << os::lastError();
    EXPECT_EQ(os::findSymbol(lib, "seam_hidden"), nullptr) << "hidden symbols stay hidden";
    EXPECT_EQ(os::findSymbol(lib, nullptr), nullptr);
    EXPECT_EQ(os::findSymbol(nullptr, "seam_answer"), nullptr);
    os::freeLibrary(lib);
}

TEST(OsLibrary, MissingLibraryGivesNullAndTheSystemText) {
    EXPECT_EQ(os::loadLibrary("/nonexistent/folder/seam_nothing.so"), nullptr);
    EXPECT_NE(strstr(os::lastError(), "seam_nothing.so"), nullptr) << os::lastError();
    EXPECT_EQ(os::loadLibrary(""), nullptr);
    EXPECT_STRNE(os::lastError(), "");
    EXPECT_EQ(os::loadLibrary(nullptr), nullptr);
    os::freeLibrary(nullptr);  // harmless
}

// The loader's own words for a file that is there but is no library; on
// POSIX without the path the caller gave, which it names itself.
TEST(OsLibrary, LoadErrorKeepsTheLoadersTextForTheLastLoad) {
    const std::string file = (std::filesystem::temp_directory_path() / "nuvdm_seam_text.so").string();
    std::ofstream(file) << "not a library, only text\n";
    EXPECT_EQ(os::loadLibrary(file.c_str()), nullptr);
    const std::string text = os::lastLoadError();
    std::filesystem::remove(file);
    EXPECT_FALSE(text.empty());
#ifndef _WIN32
    EXPECT_NE(text.rfind(file, 0), 0u) << text;
    EXPECT_NE(strstr(os::lastError(), file.c_str()), nullptr) << "lastError keeps the path";
#endif
    EXPECT_EQ(text.find("%1"), std::string::npos) << text;
    // Other calls of the seam leave it alone; the next load replaces it.
    os::Library lib = os::loadLibrary(NUVDM_SEAM_LIB);
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(os::findSymbol(lib, "seam_no_such_symbol"), nullptr);
    EXPECT_EQ(os::lastLoadError(), text);
    os::freeLibrary(lib);
    EXPECT_EQ(os::loadLibrary("/nonexistent/folder/seam_nothing.so"), nullptr);
    EXPECT_NE(os::lastLoadError(), text);
}

int g_inTheProgram = 0;

TEST(OsLibrary, FindsTheLibraryThatHoldsAnAddress) {
    os::Library lib = os::loadLibrary(NUVDM_SEAM_LIB);
    ASSERT_NE(lib, nullptr) << os::lastError();
    void* code = os::findSymbol(lib, "seam_answer");
    auto counter = reinterpret_cast<const int* (*)()>(os::findSymbol(lib, "seam_counter"));
    ASSERT_NE(code, nullptr);
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(os::libraryAt(code), lib);
    EXPECT_EQ(os::libraryAt(counter()), lib) << "data counts too";
    EXPECT_EQ(answerOf(os::libraryAt(code), "seam_answer")(), 42);
    // The program itself, memory of no file, nothing.
    EXPECT_EQ(os::libraryAt(&g_inTheProgram), nullptr);
    EXPECT_STRNE(os::lastError(), "");
    int onTheStack = 0;
    EXPECT_EQ(os::libraryAt(&onTheStack), nullptr);
    EXPECT_EQ(os::libraryAt(nullptr), nullptr);
    // Borrowed: one free of our own handle unloads the library.
    os::freeLibrary(lib);
    EXPECT_EQ(os::findLoadedLibrary(NUVDM_SEAM_LIB_NAME), nullptr);
}

TEST(OsLibrary, FindsALoadedLibraryByFileNameOnly) {
    EXPECT_EQ(os::findLoadedLibrary(NUVDM_SEAM_LIB_NAME), nullptr) << "not loaded yet";
    os::Library lib = os::loadLibrary(NUVDM_SEAM_LIB);
    ASSERT_NE(lib, nullptr) << os::lastError();

    os::Library found = os::findLoadedLibrary(NUVDM_SEAM_LIB_NAME);
    ASSERT_NE(found, nullptr) << os::lastError();
    EXPECT_EQ(answerOf(found, "seam_answer")(), 42);

    std::string upper = NUVDM_SEAM_LIB_NAME;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_NE(os::findLoadedLibrary(upper.c_str()), nullptr) << "file names compare without case";
    EXPECT_NE(os::findLoadedLibrary(NUVDM_SEAM_LIB), nullptr) << "a full path works too";

    // The found handles are borrowed: one free of our own handle unloads it.
    os::freeLibrary(lib);
    EXPECT_EQ(os::findLoadedLibrary(NUVDM_SEAM_LIB_NAME), nullptr);
    EXPECT_EQ(os::findLoadedLibrary(""), nullptr);
}

TEST(OsPaths, JoinsWithOneSeparator) {
    char out[64];
    EXPECT_TRUE(os::joinPath(out, sizeof out, "cstrike", "addons"));
    EXPECT_EQ(std::string(out), joined("cstrike", "addons"));
    EXPECT_TRUE(os::joinPath(out, sizeof out, "cstrike/", "addons"));
    EXPECT_STREQ(out, "cstrike/addons") << "an existing separator is kept";
    EXPECT_TRUE(os::joinPath(out, sizeof out, "cstrike\\", "addons"));
    EXPECT_STREQ(out, "cstrike\\addons") << "either separator counts";
    EXPECT_TRUE(os::joinPath(out, sizeof out, "", "addons"));
    EXPECT_STREQ(out, "addons");
    EXPECT_TRUE(os::joinPath(out, sizeof out, "cstrike", ""));
    EXPECT_STREQ(out, "cstrike");
    EXPECT_TRUE(os::joinPath(out, sizeof out, nullptr, nullptr));
    EXPECT_STREQ(out, "");
    EXPECT_EQ(os::pathSeparator(), kSep);
}

TEST(OsPaths, ReportsACutAndStaysTerminated) {
    char out[8];
    memset(out, 'x', sizeof out);
    EXPECT_TRUE(os::joinPath(out, sizeof out, "abc", "def"));  // 7 + terminator fits
    EXPECT_EQ(std::string(out), joined("abc", "def"));
    EXPECT_FALSE(os::joinPath(out, sizeof out, "abcd", "efgh"));
    EXPECT_EQ(std::string(out), joined("abcd", "ef"));
    EXPECT_FALSE(os::joinPath(out, 1, "a", "b"));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(os::joinPath(out, 0, "a", "b"));
}

TEST(OsPaths, RewritesSeparators) {
    char path[] = "cstrike\\addons/metamod\\dlls";
    os::toNativeSeparators(path);
    std::string expected = joined(joined(joined("cstrike", "addons").c_str(), "metamod").c_str(), "dlls");
    EXPECT_EQ(std::string(path), expected);
    os::toNativeSeparators(nullptr);
}

TEST(OsPaths, CurrentDirectory) {
    std::string expected = std::filesystem::current_path().string();
    char out[4096];
    ASSERT_TRUE(os::currentDirectory(out, sizeof out));
    EXPECT_EQ(std::string(out), expected);

    char tooSmall[2];
    EXPECT_FALSE(os::currentDirectory(tooSmall, sizeof tooSmall));
    EXPECT_STREQ(tooSmall, "");
    EXPECT_STRNE(os::lastError(), "");
}

#ifndef _WIN32
// A stand-in xdg-open on the search path records the address it was given.
class OsWebPage : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() / ("nuvdm_os_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        const char* path = getenv("PATH");
        oldPath_ = path ? path : "";
    }
    void TearDown() override {
        setenv("PATH", oldPath_.c_str(), 1);
        std::filesystem::remove_all(dir_);
    }
    void installOpener() {
        std::filesystem::path script = dir_ / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << (dir_ / "opened").string()
                              << ".tmp\"\nmv \"" << (dir_ / "opened").string() << ".tmp\" \""
                              << (dir_ / "opened").string() << "\"\n";
        chmod(script.c_str(), 0755);
    }
    std::string waitForOpened() {
        std::filesystem::path opened = dir_ / "opened";
        for (int i = 0; i < 500 && !std::filesystem::exists(opened); ++i) usleep(10000);
        std::ifstream in(opened);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::filesystem::path dir_;
    std::string oldPath_;
};

TEST_F(OsWebPage, HandsTheAddressToTheDesktopOpener) {
    installOpener();
    setenv("PATH", (dir_.string() + ":/usr/bin:/bin").c_str(), 1);
    const char* url = "http://example.com/a b;$(touch x)";
    EXPECT_TRUE(os::openWebPage(url)) << os::lastError();
    EXPECT_EQ(waitForOpened(), url) << "passed as one argument, no shell";
}

TEST_F(OsWebPage, ReportsAMissingOpener) {
    setenv("PATH", dir_.c_str(), 1);  // empty folder: no xdg-open
    EXPECT_FALSE(os::openWebPage("http://example.com/"));
    EXPECT_STRNE(os::lastError(), "");
}

TEST_F(OsWebPage, RefusesWhatIsNoAddress) {
    installOpener();
    setenv("PATH", dir_.c_str(), 1);
    EXPECT_FALSE(os::openWebPage(nullptr));
    EXPECT_FALSE(os::openWebPage(""));
    EXPECT_FALSE(os::openWebPage("--help")) << "would be read as an option";
}
#else
// On Windows the opener is the shell (ShellExecute): a test must not start a
// browser, so only the refusals, which never reach the shell, are checked.
TEST(OsWebPage, RefusesWhatIsNoAddress) {
    EXPECT_FALSE(os::openWebPage(nullptr));
    EXPECT_STRNE(os::lastError(), "");
    EXPECT_FALSE(os::openWebPage(""));
}
#endif

// The export macros and the calling conventions, seen from a loader.
TEST(OsLibrary, PluginEntryPointsAreExportedUnderTheirPlainNames) {
    os::Library lib = os::loadLibrary(NUVDM_PROBE_PLUGIN);
    ASSERT_NE(lib, nullptr) << os::lastError();
    auto give = reinterpret_cast<GIVE_ENGINE_FUNCTIONS_FN>(os::findSymbol(lib, "GiveFnptrsToDll"));
    auto query = reinterpret_cast<META_QUERY_FN>(os::findSymbol(lib, "Meta_Query"));
    ASSERT_NE(give, nullptr);
    ASSERT_NE(query, nullptr);
    EXPECT_EQ(os::findSymbol(lib, "_ZN12_GLOBAL__N_18g_engineE"), nullptr);

    enginefuncs_t engine;
    memset(&engine, 0, sizeof engine);
    globalvars_t globals;
    memset(&globals, 0, sizeof globals);
    give(&engine, &globals);
    plugin_info_t* info = nullptr;
    char version[] = META_INTERFACE_VERSION;
    EXPECT_EQ(query(version, &info, nullptr), 1);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->ifvers, "5:13");
    EXPECT_STREQ(info->logtag, "PROBE");
    EXPECT_EQ(info->loadable, PT_ANYTIME);

    auto join = reinterpret_cast<int (*)(char*, int, const char*, const char*)>(
        os::findSymbol(lib, "probe_join"));
    ASSERT_NE(join, nullptr);
    char out[32];
    EXPECT_EQ(join(out, sizeof out, "maps", "de_dust.bsp"), 1);
    EXPECT_EQ(std::string(out), joined("maps", "de_dust.bsp"));
    auto length =
        reinterpret_cast<float (*)(float, float, float)>(os::findSymbol(lib, "probe_length"));
    ASSERT_NE(length, nullptr);
    EXPECT_FLOAT_EQ(length(3, 4, 12), 13.0f);
    os::freeLibrary(lib);
}
