// nuvdm-check: reads a game folder's files and libraries and reports, one
// line per check, why the pack would not load. Loads no library, and changes
// files only when told to fix what is mechanical and safe to mend.
#pragma once

#include <filesystem>

#include "files.h"
#include "report.h"

namespace nuvcheck {

// The system the checker was built for: where absolute paths can be looked
// at, and the menu's rules for file names.
#ifndef NUVDM_CHECK_HOST_WINDOWS
#define NUVDM_CHECK_HOST_WINDOWS 0
#endif
constexpr System kHostSystem = NUVDM_CHECK_HOST_WINDOWS ? System::Windows : System::Linux;

struct Options {
    // The game folder that holds cstrike/, or the mod folder itself.
    std::filesystem::path folder = ".";
    // The word size of the server's libraries. Servers are 32-bit; the
    // native test build checks its own 64-bit libraries with 64.
    int bits = 32;
    System host = kHostSystem;
    // Check, make the changes the checks found to be safe, check again: the
    // report is the second check's, with the changes.
    bool fix = false;
};

Report checkInstall(const Options& options);

}  // namespace nuvcheck
