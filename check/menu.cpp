// What the menu's SAVE SETTINGS needs in the mod folder: the two files of its
// gate, named exactly, and the folders and files it writes. Then the AMX Mod
// X plugins its plugin list switches on. All warn only: a server set up by
// hand does without the menu.
#include <sstream>

#include "install.h"

namespace fs = std::filesystem;

namespace nuvcheck {

namespace {

struct GateFile {
    const char* name;
    const char* missingTodo;
    bool standIn;  // --fix puts the pack's stand-in in place when it is missing
};

const GateFile kGate[] = {
    {"dm_userconfig.cfg", "nuvdm-check --fix puts the menu's stand-in in place", true},
    {"config.cfg", "start the game once (it writes config.cfg); a dedicated server without the menu can ignore this",
     false},
};

// The folders Save writes into, and the files it replaces, in Save's order.
const struct {
    const char* name;
    const char* todo;
} kFolders[] = {
    {"addons/nuv", "unpack the pack again: it holds addons/nuv"},
    {"addons/amxmodx/configs", "install AMX Mod X (and CSDM), which bring addons/amxmodx/configs"},
};
const char* const kSavedFiles[] = {
    "dm_userconfig.cfg", "liblist.gam", "addons/nuv/dm_enable.cfg", "addons/nuv/dm_enable_ffa.cfg",
    "addons/amxmodx/configs/csdm.cfg", "addons/amxmodx/configs/plugins.ini",
};

const char* const kAmxList = "addons/amxmodx/configs/plugins.ini";
const char* const kAmxPlugins = "addons/amxmodx/plugins";

void checkGate(Install& in) {
    // The gate compares the listed names exactly, on Windows too.
    for (const GateFile& g : kGate) {
        const std::string where = std::string("menu: ") + g.name;
        const std::string exact = entryNamed(in.mod, g.name, false);
        const std::string other = exact.empty() ? entryNamed(in.mod, g.name, true) : "";
        if (!exact.empty())
            in.report.ok(where, "present, as Save's gate wants it");
        else if (!other.empty())
            in.report.warn(where, "is named " + other + ": Save looks for exactly " + g.name +
                                      " and stops with \"Menu ERROR #002\"",
                           std::string("rename it to ") + g.name);
        else
            in.report.warn(where, "missing: Save stops with \"Menu ERROR #002\"", g.missingTodo);
        if (exact.empty() && other.empty() && g.standIn) in.mends.userConfig = in.mod / g.name;
    }
}

void checkWritable(Install& in) {
    const System s = in.options.host;
    std::string unwritable;
    for (const auto& folder : kFolders) {
        const std::string where = std::string("menu: ") + folder.name;
        const Found f = lookUp(in.mod, folder.name, s, s);
        if (f.what != Found::Here || !isFolder(f.path))
            in.report.warn(where, "missing: Save stops at the first file it writes there (\"Could not write ...\")",
                           folder.todo);
        else if (!canWrite(f.path))
            in.report.warn(where, "cannot be written by this user: Save stops there", "make the folder writable");
        else
            in.report.ok(where, "present and writable");
    }
    if (!canWrite(in.mod)) unwritable = in.modName;
    for (const char* file : kSavedFiles) {
        const Found f = lookUp(in.mod, file, s, s);
        if (f.what == Found::Here && isFile(f.path) && !canWrite(f.path))
            unwritable += (unwritable.empty() ? "" : ", ") + std::string(file);
    }
    if (!unwritable.empty())
        in.report.warn("menu: files Save replaces", "write-protected: " + unwritable + "; Save stops at the first",
                       "allow writing them");
}

void checkAmxPlugins(Install& in) {
    const System s = in.options.host;
    const Found list = lookUp(in.mod, kAmxList, s, s);
    std::string text;
    if (list.what != Found::Here || !readText(list.path, text)) return;
    const Found folder = lookUp(in.mod, kAmxPlugins, s, s);
    std::istringstream lines(text);
    std::string line, missing;
    int enabled = 0, absent = 0;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string name;
        if (!(words >> name) || name[0] == ';' || name.rfind("//", 0) == 0) continue;
        ++enabled;
        const bool here = folder.what == Found::Here && !entryNamed(folder.path, name, s == System::Windows).empty();
        if (here) continue;
        ++absent;
        if (absent <= 8) missing += (missing.empty() ? "" : ", ") + name;
    }
    if (absent > 8) missing += " and " + std::to_string(absent - 8) + " more";
    if (absent == 0)
        in.report.ok(kAmxList, std::to_string(enabled) + " AMX Mod X plugins switched on, all in " + kAmxPlugins);
    else
        in.report.warn(kAmxList, std::to_string(absent) + " of " + std::to_string(enabled) +
                                     " AMX Mod X plugins switched on are not in " + kAmxPlugins + ": " + missing,
                       "install the packs they come from, or switch them off with the menu");
}

}  // namespace

void checkMenu(Install& in) {
    checkGate(in);
    checkWritable(in);
    checkAmxPlugins(in);
}

}  // namespace nuvcheck
