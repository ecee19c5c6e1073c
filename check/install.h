// What the checks share while they walk one installation: the folders, the
// systems found, how each system's engine starts the game, and the libraries
// read so far (each file is read once).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "binary.h"
#include "check.h"

namespace nuvcheck {

// What liblist.gam has a system's engine load.
enum class Mode {
    Unknown,     // no usable entry
    Metamod,     // Metamod, which loads the plugins of addons/metamod/plugins.ini
    Standalone,  // grapnel_mm in front of the game library named in GP_config.txt
    Game,        // the game library itself: the pack is switched off
};

// What a library is, from its name and its exports.
enum class Role { GameLibrary, Metamod, Grapnel, Rix, MetamodPlugin, Other };

struct Library {
    bool read = false;   // false: reason tells why
    std::string reason;
    BinaryInfo info;
};

// What the checks saw that nuvdm-check --fix mends for sure. The checks only
// note it here; fix.cpp makes the changes.
struct Mends {
    // Lines that Metamod's list lacks (no line, commented or not, names their
    // library), each naming a library that is here: the pack's plugins and
    // AMX Mod X. `list` is the list's file, created when missing.
    struct Line {
        std::string line;  // "linux addons/grapnel/dlls/grapnel_mm_i386.so"
        std::string what;  // what it loads: "grapnel_mm", "AMX Mod X"
    };
    std::filesystem::path list;
    std::vector<Line> listLines;
    // liblist.gam values that name the game library, with the Metamod
    // library to name instead.
    struct Value {
        std::string key, from, to;
        int line = 0;
        size_t begin = 0, end = 0;  // the value's bytes in the file
    };
    std::filesystem::path libList;
    std::vector<Value> values;
    // Missing files to put in place (empty: none): GP_config.txt naming the
    // game library `gpConfigWord`, the menu's stand-in dm_userconfig.cfg.
    std::filesystem::path gpConfig, userConfig;
    std::string gpConfigWord;
};

struct Install {
    Install(const Options& o, Report& r) : options(o), report(r) {}

    const Options& options;
    Report& report;
    std::filesystem::path game;  // the folder that holds the mod folder
    std::filesystem::path mod;
    std::string modName;         // the mod folder's name, as the server is given it
    bool inUse[2] = {false, false};
    Mode mode[2] = {Mode::Unknown, Mode::Unknown};

    bool used(System s) const { return inUse[static_cast<int>(s)]; }
    Mode modeOf(System s) const { return mode[static_cast<int>(s)]; }

    const Library& library(const std::filesystem::path& file);
    // A path below the mod folder as the report shows it.
    std::string shown(const std::filesystem::path& p) const;

    // Libraries whose needs were reported already.
    std::set<std::filesystem::path> needsReported;
    Mends mends;

private:
    std::map<std::filesystem::path, Library> libraries_;
};

// The library checks shared by liblist.gam, plugins.ini and GP_config.txt.
// A library's name without its folder, ".so" / ".dll" and "_i386", in lower
// case: "metamod" for metamod_i386.so and metamod.so alike.
std::string libraryStem(const std::string& path);
Role roleOf(const std::filesystem::path& file, const BinaryInfo& info);
const char* roleName(Role r);
// Empty when the library is one a 32-bit server of `system` can load (of
// options.bits, in the tests); else what it is instead.
std::string kindProblem(const Install& in, const Library& lib, System system);
// One line on what a library needs from the server: the newest C library
// version and the shared libraries a bare server lacks. Once per file.
void checkRuntime(Install& in, const std::filesystem::path& file, const BinaryInfo& info, System system);
// The libraries a system's server has, as its lists name them below the mod
// folder; empty when none is there. Metamod: Linux metamod_i386.so (Metamod-P,
// -R), else the older metamod.so; Windows metamod.dll. The game library in
// dlls/: Linux cs.so, else cs_i386.so; Windows mp.dll.
std::string metamodHere(Install& in, System s);
std::string gameLibraryHere(Install& in, System s);
// What to do to have a system's engine load Metamod through `key`.
std::string pointAtMetamod(Install& in, System s, const std::string& key);

// Metamod's list line by line as Metamod reads it (comment false): leading
// blanks skipped, blank lines and comments (";" or "//") left out; the system
// word, the path, and a description that Metamod does not use. Besides, the
// comments that read like a list line put out of use ("; linux addons/...").
struct ListLine {
    int number;
    bool comment;
    std::string system, path;
};
std::vector<ListLine> parsePluginList(const std::string& text);
// The first line, commented or not, that names a library of the stem for the
// system (its word in any case); null when none.
const ListLine* lineNaming(const std::vector<ListLine>& lines, const std::string& system, const std::string& stem);

// The checks, in the order of the report.
bool findModFolder(Install& in);
void checkLibList(Install& in);
void checkMetamodList(Install& in);
void checkStandalone(Install& in);
void checkMenu(Install& in);
void checkMapFiles(Install& in);

// Makes the changes noted in in.mends (nuvdm-check --fix).
std::vector<Change> applyMends(Install& in);

}  // namespace nuvcheck
