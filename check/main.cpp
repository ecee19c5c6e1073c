// nuvdm-check [--fix] [--json] [FOLDER]: checks a game folder's installation
// of the pack and prints one line per check; --fix first mends what is safe.
#include <cstdio>
#include <filesystem>
#include <string>

#include "check.h"

namespace {

const char* const kUsage =
    "usage: nuvdm-check [--fix] [--json] [FOLDER]\n"
    "Checks an installation of the NUV DM pack before the server starts: liblist.gam,\n"
    "Metamod's plugin list, the libraries they name (read, never loaded), the standalone\n"
    "hook's GP_config.txt, what the menu's Save needs, and the map entity files.\n"
    "Without --fix it changes no file.\n"
    "  FOLDER   the game folder that holds cstrike/, or the mod folder itself\n"
    "           (default: the current folder)\n"
    "  --fix    mend what is mechanical and safe, then check again: add the pack's lines\n"
    "           and AMX Mod X's to addons/metamod/plugins.ini (written when missing),\n"
    "           point liblist.gam's game library entry at the Metamod that is there, and\n"
    "           write a missing GP_config.txt and dm_userconfig.cfg. One \"fixed\" line\n"
    "           per change comes first; a changed file's old content is kept once as\n"
    "           NAME.bak. Every other line and byte stays as it was.\n"
    "  --json   print the results (and the changes) as one JSON document\n"
    "  --help   show this help\n"
    "Each line reads ok, warn or FAIL, what was seen and, after \"->\", what to do.\n"
    "Exit status: 0 when nothing FAILs, 1 when something does (after --fix: or a\n"
    "change could not be made), 2 for a usage error.\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "nuvdm-check: %s\nTry 'nuvdm-check --help'.\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    nuvcheck::Options options;
    bool json = false, haveFolder = false, optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnd && (arg == "--help" || arg == "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!optionsEnd && arg == "--json") {
            json = true;
        } else if (!optionsEnd && arg == "--fix") {
            options.fix = true;
        } else if (!optionsEnd && arg == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option: " + arg);
        } else if (haveFolder) {
            return usageError("one FOLDER only (also got " + arg + ")");
        } else {
            options.folder = arg;
            haveFolder = true;
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(options.folder, ec))
        return usageError("not a folder: " + options.folder.string());

    const nuvcheck::Report report = nuvcheck::checkInstall(options);
    const std::string out = json ? nuvcheck::formatJson(report) : nuvcheck::formatText(report);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return report.exitCode();
}
