// grapnel_mm without Metamod: the engine loads it as the game, and it loads
// the game library named by the first word of addons/GrapnelMod/GP_config.txt
// from the mod's dlls folder. Reports the lines the plugin prints at start-up:
// its own on standard output, and those it writes through the engine, which
// the engine shows only in developer mode.
#include <cctype>

#include "install.h"

namespace nuvcheck {

namespace {

const char* const kConfigName = "addons/GrapnelMod/GP_config.txt";
constexpr size_t kPathBuffer = 256;  // the plugin's path and word buffers, terminator included

const char* const kBanner = "Loaded GrapnelMod - not using metamod.";
const char* const kStop = "{GrapnelMod} The server cannot run without its game library; exiting.";

std::string quoted(const std::string& a) { return "\"" + a + "\""; }
std::string quoted(const std::string& a, const std::string& b) { return quoted(a) + ", " + quoted(b); }

// The closing line of a start that cannot use the library, and why.
std::string stopLine(const std::string& library, const std::string& reason) {
    return "{GrapnelMod} The server cannot run without its game library " + library + " (" + reason + "); exiting.";
}

// A failed load: the banner and the closing line on standard output, with
// the alert lines that developer mode shows between them.
std::string failedStart(const std::string& stop, const std::string& alerts, const std::string& note = "") {
    return "at start-up " + quoted(kBanner, stop) + note + " (developer mode shows " + alerts + " between them)";
}

// The first whitespace-delimited word, as the plugin reads it.
std::string firstWord(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    size_t end = i;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    return text.substr(i, end - i);
}

// The game library to name: the one the server has.
std::string gameLibraryName(Install& in, System s) {
    const std::string here = gameLibraryHere(in, s);
    if (!here.empty()) return here;
    return s == System::Linux ? "cs.so or cs_i386.so, neither of which is a game library in dlls"
                              : "mp.dll, which is not a game library in dlls";
}

// GP_config.txt missing: --fix writes it, naming the game library of a system
// that runs grapnel_mm standalone, else of a system the folder serves.
void noteMissingConfig(Install& in) {
    const System names = in.used(System::Linux) ? System::Linux : System::Windows;
    if (lookUp(in.mod, kConfigName, names, in.options.host).what != Found::Missing) return;
    for (bool standalone : {true, false})
        for (System s : {System::Linux, System::Windows}) {
            if (standalone ? in.modeOf(s) != Mode::Standalone : !in.used(s)) continue;
            in.mends.gpConfigWord = gameLibraryHere(in, s);
            if (in.mends.gpConfigWord.empty()) continue;
            in.mends.gpConfig = in.mod / kConfigName;
            return;
        }
}

void checkSystem(Install& in, System s) {
    const std::string where = std::string("standalone (") + systemWord(s) + ")";
    const char sep = s == System::Linux ? '/' : '\\';
    const Found config = lookUp(in.mod, kConfigName, s, in.options.host);
    std::string text;
    if (config.what != Found::Here || !readText(config.path, text)) {
        in.report.fail(where, std::string(kConfigName) + (config.what == Found::OtherCase ? " is named " + in.shown(config.path) : " is missing") +
                                  ": the server stops at start-up with " +
                                  quoted("{GrapnelMod} Error reading from GP_config.txt!", "{GrapnelMod} Exiting..."),
                       std::string("create ") + kConfigName + " holding the game library's name (" +
                           gameLibraryName(in, s) + ")" +
                           (in.mends.gpConfig.empty() ? "" : "; nuvdm-check --fix writes it"));
        return;
    }
    std::string word = firstWord(text);
    if (word.empty() || word.size() >= kPathBuffer) {
        in.report.fail(where,
                       std::string("GP_config.txt ") + (word.empty() ? "names no game library" : "names a library longer than 255 characters") +
                           ": the server stops at start-up with " +
                           quoted(word.empty() ? "{GrapnelMod} GP_config.txt names no game library!"
                                               : "{GrapnelMod} The game library name in GP_config.txt is too long!",
                                  kStop),
                       "write the game library's file name first (" + gameLibraryName(in, s) + ")");
        return;
    }
    // The plugin builds "<mod>\dlls\<word>" and turns every '\' and '/' into
    // the system's separator.
    std::string shown = in.modName + sep + "dlls" + sep + word;
    for (char& c : shown)
        if (c == '/' || c == '\\') c = sep;
    std::string relative = "dlls/" + word;
    for (char& c : relative)
        if (c == '\\') c = '/';
    const std::string notLoaded = quoted("{GrapnelMod} File " + shown + " not found!") + ", " +
                                  quoted("{GrapnelMod} Can't get mod's GetEntityAPI!",
                                         "{GrapnelMod} Can't get mod's GiveFnptrsToDll!");
    const std::string fix = "make the first word of GP_config.txt the game library in " + in.modName + sep +
                            "dlls (" + gameLibraryName(in, s) + ")";
    const bool fits = shown.size() < kPathBuffer;
    const Found lib = fits ? lookUp(in.mod, relative, s, in.options.host) : Found{};
    if (lib.what != Found::Here || !isFile(lib.path)) {
        in.report.fail(where, "GP_config.txt names " + word + ", not in " + in.modName + sep + "dlls" +
                                  (lib.what == Found::OtherCase ? " in this case" : "") + ": " +
                                  failedStart(stopLine(shown, fits ? "no such file"
                                                                   : "the path is longer than 255 characters"),
                                              notLoaded),
                       fix);
        return;
    }
    const Library& library = in.library(lib.path);
    const std::string problem = kindProblem(in, library, s);
    if (!problem.empty()) {
        in.report.fail(where, "GP_config.txt names " + word + ", which " + problem + ": " +
                                  failedStart(stopLine(shown, "REASON"), notLoaded,
                                              ", REASON in the system loader's words"),
                       fix);
        return;
    }
    const Role role = roleOf(lib.path, library.info);
    const bool getEntityApi = library.info.exportsName("GetEntityAPI");
    const bool giveFnptrs = library.info.exportsName("GiveFnptrsToDll");
    std::string alerts = quoted("{GrapnelMod} Loaded " + shown + ".");
    if (!getEntityApi) alerts += ", " + quoted("{GrapnelMod} Can't get mod's GetEntityAPI!");
    if (!giveFnptrs) alerts += ", " + quoted("{GrapnelMod} Can't get mod's GiveFnptrsToDll!");
    if (role == Role::Grapnel) {
        in.report.fail(where, "GP_config.txt names grapnel_mm itself: it would stand in front of itself",
                       fix);
        return;
    }
    if (!getEntityApi || !giveFnptrs) {
        const std::string missing = std::string("no ") + (getEntityApi ? "" : "GetEntityAPI") +
                                    (getEntityApi || giveFnptrs ? "" : " and no ") +
                                    (giveFnptrs ? "" : "GiveFnptrsToDll") + " entry point";
        in.report.fail(where, "GP_config.txt names " + word + ", " + roleName(role) + ", not a game library: " +
                                  failedStart(stopLine(shown, missing), alerts),
                       fix);
        return;
    }
    in.report.ok(where, "GP_config.txt names " + word + ", " + roleName(role) + " (" + library.info.describe() +
                            "); at start-up the plugin prints " + quoted(kBanner) + " (developer mode adds " + alerts +
                            ")");
    checkRuntime(in, lib.path, library.info, s);
}

}  // namespace

void checkStandalone(Install& in) {
    noteMissingConfig(in);
    for (System s : {System::Linux, System::Windows})
        if (in.modeOf(s) == Mode::Standalone) checkSystem(in, s);
}

}  // namespace nuvcheck
