// The mod folder and its liblist.gam: which folder is the mod, which systems
// the installation serves, and what each system's engine loads as the game.
#include <map>
#include <vector>

#include "install.h"

namespace fs = std::filesystem;

namespace nuvcheck {

namespace {

struct Entry {
    std::string value;
    int line = 0;
    int count = 0;
    size_t begin = 0, end = 0;  // the value's bytes in the file, quotes left out
};

struct Word {
    std::string text;
    int line;
    size_t begin, end;
};

// Read as the engine reads it: quoted or bare words in key-value pairs, "//"
// comments to the end of the line, CR LF or LF, keys in any case.
std::map<std::string, Entry> parseLibList(const std::string& text) {
    std::map<std::string, Entry> keys;
    std::vector<Word> words;
    size_t i = 0;
    int line = 1;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\n') ++line;
        if (static_cast<unsigned char>(c) <= ' ') {
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n') ++i;
            continue;
        }
        Word word{"", line, 0, 0};
        if (c == '"') {
            word.begin = ++i;
            for (; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\n') ++line;
                word.text += text[i];
            }
            word.end = i++;
        } else {
            word.begin = i;
            for (; i < text.size() && static_cast<unsigned char>(text[i]) > ' ' && text[i] != '"'; ++i)
                word.text += text[i];
            word.end = i;
        }
        words.push_back(word);
    }
    for (size_t w = 0; w + 1 < words.size(); w += 2) {
        Entry& e = keys[lowerCase(words[w].text)];
        if (e.count++ == 0) {
            e.value = words[w + 1].text;
            e.line = words[w].line;
            e.begin = words[w + 1].begin;
            e.end = words[w + 1].end;
        }
    }
    return keys;
}

const char* keyOf(System s) { return s == System::Linux ? "gamedll_linux" : "gamedll"; }

// Names of the server programs that tell which system a game folder serves.
const struct {
    System system;
    const char* name;
} kServerPrograms[] = {
    {System::Linux, "hlds_run"}, {System::Linux, "hlds_linux"},
    {System::Windows, "hlds.exe"}, {System::Windows, "hl.exe"},
};

}  // namespace

bool findModFolder(Install& in) {
    const fs::path folder = fs::absolute(in.options.folder).lexically_normal();
    const fs::path base = folder.has_filename() ? folder : folder.parent_path();
    if (!entryNamed(base, "liblist.gam", true).empty()) {
        in.mod = base;
    } else if (std::string cs = entryNamed(base, "cstrike", true);
               !cs.empty() && !entryNamed(base / cs, "liblist.gam", true).empty()) {
        in.mod = base / cs;
    } else {
        std::error_code ec;
        std::vector<fs::path> mods;
        for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec))
            if (isFolder(it->path()) && !entryNamed(it->path(), "liblist.gam", true).empty())
                mods.push_back(it->path());
        if (mods.size() != 1) {
            in.report.fail("folder", base.string() + " holds no liblist.gam, nor does " +
                                         (mods.empty() ? "a folder below it" : "exactly one folder below it"),
                           "run nuvdm-check in the game folder (the one that holds cstrike), or give "
                           "the mod folder: nuvdm-check path/to/cstrike");
            return false;
        }
        in.mod = mods.front();
    }
    in.game = in.mod.parent_path();
    in.modName = in.mod.filename().string();
    in.report.modFolder = in.mod;
    in.report.ok("folder", "mod folder " + in.mod.string() + " (the server's -game " + in.modName + ")");
    return true;
}

void checkLibList(Install& in) {
    const std::string name = entryNamed(in.mod, "liblist.gam", true);
    std::string text;
    if (name.empty() || !readText(in.mod / name, text)) {
        in.report.fail("liblist.gam", "cannot be read", "the engine needs it: restore the game's liblist.gam");
        in.inUse[static_cast<int>(in.options.host)] = true;
        return;
    }
    const auto keys = parseLibList(text);

    // The systems served: those whose game library is here, or whose server
    // program is in the game folder; else the one the checker runs on.
    Found found[2];
    for (System s : {System::Linux, System::Windows}) {
        const auto it = keys.find(keyOf(s));
        if (it == keys.end()) continue;
        found[static_cast<int>(s)] = lookUp(in.mod, it->second.value, s, in.options.host);
        const Found::What what = found[static_cast<int>(s)].what;
        if (what == Found::Here || what == Found::OtherCase) in.inUse[static_cast<int>(s)] = true;
    }
    for (const auto& program : kServerPrograms)
        if (!entryNamed(in.game, program.name, program.system == System::Windows).empty())
            in.inUse[static_cast<int>(program.system)] = true;
    if (!in.inUse[0] && !in.inUse[1]) in.inUse[static_cast<int>(in.options.host)] = true;
    for (System s : {System::Linux, System::Windows})
        if (in.used(s)) in.report.systems.push_back(systemWord(s));

    if (name != "liblist.gam" && in.used(System::Linux))
        in.report.fail(name, "a Linux server reads only liblist.gam, in lower case", "rename it to liblist.gam");

    for (System s : {System::Linux, System::Windows}) {
        const int si = static_cast<int>(s);
        const std::string key = keyOf(s);
        const auto it = keys.find(key);
        if (it == keys.end()) {
            if (in.used(s))
                in.report.fail("liblist.gam", std::string("has no ") + key + " line: a " + systemName(s) +
                                                  " server does not know what to load",
                               "add a " + key + " line: " + pointAtMetamod(in, s, key));
            continue;
        }
        const Entry& e = it->second;
        const std::string where = "liblist.gam:" + std::to_string(e.line);
        const std::string what = key + " \"" + e.value + "\"";
        if (e.count > 1)
            in.report.warn(where, key + " is given " + std::to_string(e.count) + " times; this check reads the first",
                           "keep one " + key + " line");
        const Found& f = found[si];
        if (f.what == Found::NotCheckable) {
            in.report.ok(where, what + ": a path of another system, not checked here");
            continue;
        }
        if (f.what == Found::Missing) {
            if (!in.used(s))
                in.report.ok(where, what + " is not here: this folder does not serve " + systemName(s) +
                                        ", not checked");
            else
                in.report.fail(where, what + ": no such file below " + in.modName,
                               "install the library there, or " + pointAtMetamod(in, s, key));
            continue;
        }
        if (f.what == Found::OtherCase || !isFile(f.path)) {
            in.report.fail(where, what + ": the file is " + in.shown(f.path) +
                                      (f.what == Found::OtherCase ? " (Linux tells upper and lower case apart)"
                                                                  : ", not a file"),
                           "make the line and the file name agree");
            continue;
        }
        const Library& lib = in.library(f.path);
        const std::string problem = kindProblem(in, lib, s);
        if (!problem.empty()) {
            in.report.fail(where, what + " " + problem,
                           std::string("name a 32-bit ") + (s == System::Linux ? "Linux library (.so)" : "Windows DLL") +
                               " here");
            continue;
        }
        const Role role = roleOf(f.path, lib.info);
        const std::string is = what + " is " + roleName(role) + " (" + lib.info.describe() + ")";
        switch (role) {
            case Role::Metamod:
                in.mode[si] = Mode::Metamod;
                in.report.ok(where, is + ": it loads the plugins of addons/metamod/plugins.ini");
                break;
            case Role::Grapnel:
                in.mode[si] = Mode::Standalone;
                in.report.ok(where, is + ", standing in front of the game library (no Metamod)");
                in.report.warn(where, "without Metamod rix_mm does not run: its rix_* lines in server.cfg do "
                                      "nothing (\"Unknown command\" on most engines, silence on ReHLDS)",
                               "for rix_mm, " + pointAtMetamod(in, s, key));
                break;
            case Role::GameLibrary: {
                in.mode[si] = Mode::Game;
                const std::string metamod = metamodHere(in, s);
                // A value on one line, read once: --fix may point it at Metamod.
                if (!metamod.empty() && e.count == 1 && e.value.find('\n') == std::string::npos) {
                    in.mends.libList = in.mod / name;
                    in.mends.values.push_back({key, e.value, metamod, e.line, e.begin, e.end});
                }
                in.report.warn(where, is + ": the pack is switched off on " + systemName(s),
                               pointAtMetamod(in, s, key) + " to load the pack's plugins" +
                                   (metamod.empty() ? "" : " (nuvdm-check --fix does it)"));
                break;
            }
            default:
                in.report.fail(where, is + ": the engine cannot run it as the game",
                               pointAtMetamod(in, s, key) + ", and list the plugin in addons/metamod/plugins.ini");
                continue;
        }
        checkRuntime(in, f.path, lib.info, s);
    }
}

}  // namespace nuvcheck
