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

// AMX Mod X's Metamod library, which the menu's AMX Mod X and CSDM files need loaded.
const char* const kAmxLine[2] = {"linux addons/amxmodx/dlls/amxmodx_mm_i386.so",
                                 "win32 addons\\amxmodx\\dlls\\amxmodx_mm.dll"};

std::string pathOf(const char* line) { return std::string(line).substr(6); }

bool anyMetamod(const Install& in) {
    return in.modeOf(System::Linux) == Mode::Metamod || in.modeOf(System::Windows) == Mode::Metamod;
}

// Checks the library of one line; returns its role when it is loadable.
bool checkLine(Install& in, const ListLine& line, System s, const std::string& where, Role& role, fs::path& file) {
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

bool isComment(const std::string& word) { return word[0] == ';' || word.rfind("//", 0) == 0; }

bool libraryHere(Install& in, System s, const char* line) {
    const Found f = lookUp(in.mod, pathOf(line), s, in.options.host);
    return f.what == Found::Here && isFile(f.path);
}

// What to do for a library that no line of the system loads.
std::string addTodo(Install& in, System s, const ListLine* named, const char* line) {
    if (named)
        return "line " + std::to_string(named->number) + " names it, but Metamod skips that line: make it read " + line;
    if (!libraryHere(in, s, line))
        return "unpack the pack's " + pathOf(line) + ", then add the line: " + line + " (nuvdm-check --fix adds it)";
    return std::string("add the line: ") + line + " (nuvdm-check --fix adds it)";
}

// The pack's lines and AMX Mod X's for one system: --fix adds those no line
// names, where their library is here.
void noteMissingLines(Install& in, System s, const std::vector<ListLine>& lines) {
    const int si = static_cast<int>(s);
    std::vector<std::pair<const char*, const char*>> wanted;  // line, what it loads
    for (const PackPlugin& p : kPackPlugins) wanted.emplace_back(p.line[si], p.name);
    wanted.emplace_back(kAmxLine[si], "AMX Mod X");
    for (const auto& [line, what] : wanted)
        if (libraryHere(in, s, line) && !lineNaming(lines, systemWord(s), libraryStem(line)))
            in.mends.listLines.push_back({line, what});
}

// AMX Mod X installed for a system whose lines do not load it.
void checkAmx(Install& in, System s, const std::vector<ListLine>& lines) {
    const int si = static_cast<int>(s);
    if (!libraryHere(in, s, kAmxLine[si])) return;
    const std::string stem = libraryStem(kAmxLine[si]);
    for (const ListLine& line : lines)
        if (!line.comment && line.system == systemWord(s) && libraryStem(line.path) == stem) return;
    const ListLine* named = lineNaming(lines, systemWord(s), stem);
    in.report.warn(kListName, "AMX Mod X is installed (" + pathOf(kAmxLine[si]) + ") but no " + systemWord(s) +
                                  " line loads it: the menu's AMX Mod X and CSDM files do nothing",
                   addTodo(in, s, named, kAmxLine[si]));
}

}  // namespace

std::vector<ListLine> parsePluginList(const std::string& text) {
    std::vector<ListLine> lines;
    std::istringstream in(text);
    std::string raw;
    for (int number = 1; std::getline(in, raw); ++number) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::istringstream words(raw);
        ListLine line{number, false, "", ""};
        if (!(words >> line.system)) continue;
        if (isComment(line.system)) {
            // "; linux addons/x.so" or ";linux addons/x.so": a line put out of use.
            const size_t start = raw.find_first_not_of(" \t;/");
            if (start == std::string::npos) continue;
            words = std::istringstream(raw.substr(start));
            if (!(words >> line.system >> line.path)) continue;
            if (!equalsAnyCase(line.system, "linux") && !equalsAnyCase(line.system, "win32")) continue;
            line.comment = true;
        } else {
            words >> line.path;
        }
        if (line.path.size() >= 2 && line.path.front() == '"' && line.path.back() == '"')
            line.path = line.path.substr(1, line.path.size() - 2);
        lines.push_back(line);
    }
    return lines;
}

const ListLine* lineNaming(const std::vector<ListLine>& lines, const std::string& system, const std::string& stem) {
    for (const ListLine& line : lines)
        if (equalsAnyCase(line.system, system) && !line.path.empty() && libraryStem(line.path) == stem) return &line;
    return nullptr;
}

void checkMetamodList(Install& in) {
    const System listSystem = in.used(System::Linux) ? System::Linux : System::Windows;
    const Found list = lookUp(in.mod, kListName, listSystem, in.options.host);
    std::string text;
    const bool read = list.what == Found::Here && readText(list.path, text);
    if (!read && anyMetamod(in))
        in.report.fail(kListName, list.what == Found::OtherCase ? "is named " + in.shown(list.path) : "is missing",
                       list.what == Found::OtherCase
                           ? "Metamod loads no plugin without it: rename it to " + std::string(kListName)
                           : "Metamod loads no plugin without it: nuvdm-check --fix writes it with the pack's lines");
    const std::vector<ListLine> lines = parsePluginList(text);
    // A list that is there but cannot be read, or in another case, is left alone.
    if (read || list.what == Found::Missing) {
        in.mends.list = read ? list.path : in.mod / kListName;
        for (System s : {System::Linux, System::Windows})
            if (in.used(s)) noteMissingLines(in, s, lines);
    }

    std::map<std::string, int> seenFile;              // system + file -> line
    std::map<std::string, int> seenPlugin;            // system + pack plugin -> line
    bool present[2][2] = {{false, false}, {false, false}};  // [system][pack plugin]
    for (const ListLine& line : lines) {
        if (line.comment) continue;
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
        if (in.used(s)) checkAmx(in, s, lines);
        if (in.modeOf(s) != Mode::Metamod) continue;
        for (int p = 0; p < 2; ++p) {
            if (present[static_cast<int>(s)][p]) continue;
            const char* line = kPackPlugins[p].line[static_cast<int>(s)];
            const ListLine* named = lineNaming(lines, systemWord(s), libraryStem(line));
            in.report.fail(kListName, std::string("no ") + systemWord(s) + " line loads " + kPackPlugins[p].name,
                           addTodo(in, s, named, line));
        }
    }
}

}  // namespace nuvcheck
