// What the checks share while they walk one installation: the folders, the
// systems found, how each system's engine starts the game, and the libraries
// read so far (each file is read once).
#pragma once

#include <map>
#include <set>
#include <string>

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

private:
    std::map<std::filesystem::path, Library> libraries_;
};

// The library checks shared by liblist.gam, plugins.ini and GP_config.txt.
Role roleOf(const std::filesystem::path& file, const BinaryInfo& info);
const char* roleName(Role r);
// Empty when the library is one a 32-bit server of `system` can load (of
// options.bits, in the tests); else what it is instead.
std::string kindProblem(const Install& in, const Library& lib, System system);
// One line on what a library needs from the server: the newest C library
// version and the shared libraries a bare server lacks. Once per file.
void checkRuntime(Install& in, const std::filesystem::path& file, const BinaryInfo& info, System system);

// The checks, in the order of the report.
bool findModFolder(Install& in);
void checkLibList(Install& in);
void checkMetamodList(Install& in);
void checkStandalone(Install& in);
void checkMenu(Install& in);
void checkMapFiles(Install& in);

}  // namespace nuvcheck
