// Builds without a terminal library (Windows): nuvdm-menu is the line
// interface only.
#include "cli/terminal.h"

namespace nuv::tui {

std::optional<Outcome> runTerminalMenu(const std::filesystem::path&) { return std::nullopt; }

const char* interactiveHelp() { return ""; }

}  // namespace nuv::tui
