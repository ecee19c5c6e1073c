// Metamod's plugin list, addons/metamod/plugins.ini: each line as Metamod
// reads it, each library it names, and the pack's two plugins.
#include <map>
#include <sstream>

#include "install.h"

namespace fs = std::filesystem;

namespace nuvcheck {

namespace {

const char* const kListName = "addons/metamod/plugins.ini";

struct PackPlugin {
    Role role;
    const char* name;
    const char* line[2];  // by system: Linux, Windows
};

const PackPlugin kPackPlugins[] = {
    {Role::Grapnel, "grapnel_mm",
     {"linux addons/grapnel/dlls/grapnel_mm_i386.so", "win32 addons\\grapnel\\dlls\\grapnel_mm.dll"}},
    {Role::Rix, "rix_mm", {"linux addons/rix/dlls/rix_mm_i386.so", "win32 addons\\rix\\dlls\\rix_mm.dll"}},
};

struct Line {
    int number;
    std::string system, path;
};

// The lines that name a library: leading blanks skipped; blank lines and
// comments (";" or "//") left out; the system word, the path, and a
// description that Metamod does not use.
std::vector<Line> parseList(const std::string& text) {
    std::vector<Line> lines;
    std::istringstream in(text);
    std::string raw;
    for (int number = 1; std::getline(in, raw); ++number) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::istringstream words(raw);
        Line line{number, "", ""};
        if (!(words >> line.system)) continue;
        if (line.system[0] == ';' || line.system.rfind("//", 0) == 0) continue;
        words >> line.path;
        if (line.path.size() >= 2 && line.path.front() == '"' && line.path.back() == '"')
            line.path = line.path.substr(1, line.path.size() - 2);
        lines.push_back(line);
    }
    return lines;
}

bool anyMetamod(const Install& in) {
    return in.modeOf(System::Linux) == Mode::Metamod || in.modeOf(System::Windows) == Mode::Metamod;
}

// Checks the library of one line; returns its role when it is loadable.
bool checkLine(Install& in, const Line& line, System s, const std::string& where, Role& role, fs::path& file) {
    const std::string what = line.system + " " + line.path;
    const Found f = lookUp(in.mod, line.path, s, in.options.host);
    if (f.what == Found::NotCheckable) {
        in.report.ok(where, what + ": a path of another system, not checked here");
        return false;
    }
    if (f.what == Found::Missing) {
        if (in.used(s))
            in.report.fail(where, what + ": no such file below " + in.modName,
                           "install the plugin there, or correct or remove the line");
        else
            in.report.ok(where, what + " is not here: this folder does not serve " + systemName(s) + ", not checked");
        return false;
    }
    if (f.what == Found::OtherCase || !isFile(f.path)) {
        in.report.fail(where, what + ": the file is " + in.shown(f.path) +
                                  (f.what == Found::OtherCase ? " (Linux tells upper and lower case apart)" : ", not a file"),
                       "make the line and the file name agree");
        return false;
    }
    const Library& lib = in.library(f.path);
    const std::string problem = kindProblem(in, lib, s);
    if (!problem.empty()) {
        in.report.fail(where, what + " " + problem,
                       s == System::Linux ? "a linux line names the 32-bit Linux library (_i386.so)"
                                          : "a win32 line names the 32-bit Windows DLL (.dll)");
        return false;
    }
    file = f.path;
    role = roleOf(f.path, lib.info);
    if (!lib.info.exportsName("GiveFnptrsToDll")) {
        in.report.fail(where, what + " exports no GiveFnptrsToDll: Metamod refuses to load it",
                       "name a Metamod plugin here, or remove the line");
        return false;
    }
    if (!lib.info.exportsName("Meta_Query")) {
        in.report.fail(where, what + " exports no Meta_Query: it is " +
                                  (role == Role::GameLibrary || role == Role::Metamod ? std::string(roleName(role))
                                                                                      : "not a Metamod plugin"),
                       "name a Metamod plugin here, or remove the line");
        return false;
    }
    in.report.ok(where, what + " is " + roleName(role) + " (" + lib.info.describe() + ")");
    checkRuntime(in, f.path, lib.info, s);
    return true;
}

}  // namespace

void checkMetamodList(Install& in) {
    const System listSystem = in.used(System::Linux) ? System::Linux : System::Windows;
    const Found list = lookUp(in.mod, kListName, listSystem, in.options.host);
    std::string text;
    if (list.what != Found::Here || !readText(list.path, text)) {
        if (anyMetamod(in))
            in.report.fail(kListName, list.what == Found::OtherCase ? "is named " + in.shown(list.path) : "is missing",
                           "Metamod loads no plugin without it: unpack the pack's " + std::string(kListName));
        return;
    }

    std::map<std::string, int> seenFile;              // system + file -> line
    std::map<std::string, int> seenPlugin;            // system + pack plugin -> line
    bool present[2][2] = {{false, false}, {false, false}};  // [system][pack plugin]
    for (const Line& line : parseList(text)) {
        const std::string where = std::string(kListName) + ":" + std::to_string(line.number);
        System s;
        if (line.system == "linux") {
            s = System::Linux;
        } else if (line.system == "win32") {
            s = System::Windows;
        } else {
            const bool caseOnly = equalsAnyCase(line.system, "linux") || equalsAnyCase(line.system, "win32");
            in.report.warn(where, "system word \"" + line.system + "\": Metamod on Linux and Windows skips this line",
                           caseOnly ? "write it in lower case" : "start the line with linux or win32");
            continue;
        }
        if (line.path.empty()) {
            in.report.warn(where, line.system + " without a path: Metamod skips the line", "add the library's path");
            continue;
        }
        Role role = Role::Other;
        fs::path file;
        if (!checkLine(in, line, s, where, role, file)) {
            // A pack plugin named on a broken line is not missing: its line says what is wrong.
            role = roleOf(fs::path(line.path), BinaryInfo{});
            if (role != Role::Grapnel && role != Role::Rix) continue;
        }
        const int si = static_cast<int>(s);
        for (int p = 0; p < 2; ++p) {
            if (kPackPlugins[p].role != role) continue;
            present[si][p] = true;
            const std::string key = line.system + " " + kPackPlugins[p].name;
            if (seenPlugin.count(key))
                in.report.warn(where, std::string(kPackPlugins[p].name) + " is loaded again (first on line " +
                                          std::to_string(seenPlugin[key]) + "): its hooks would run twice",
                               "keep one " + line.system + " line for " + kPackPlugins[p].name);
            else
                seenPlugin[key] = line.number;
        }
        if (file.empty()) continue;
        std::string key = line.system + " " + file.lexically_normal().generic_string();
        if (s == System::Windows) key = lowerCase(key);
        if (seenFile.count(key) && role != Role::Grapnel && role != Role::Rix)
            in.report.warn(where, "the same library as line " + std::to_string(seenFile[key]),
                           "remove one of the two lines");
        seenFile.emplace(key, line.number);
    }

    for (System s : {System::Linux, System::Windows}) {
        if (in.modeOf(s) != Mode::Metamod) continue;
        for (int p = 0; p < 2; ++p) {
            if (present[static_cast<int>(s)][p]) continue;
            in.report.fail(kListName, std::string("no ") + systemWord(s) + " line loads " + kPackPlugins[p].name,
                           std::string("add the line: ") + kPackPlugins[p].line[static_cast<int>(s)]);
        }
    }
}

}  // namespace nuvcheck
