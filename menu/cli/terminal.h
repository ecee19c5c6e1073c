// The full-screen terminal menu: what nuvdm-menu opens when it is given no
// actions and runs on a terminal.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "form/form.h"

namespace nuv::tui {

// How the menu was left: the status box's last text and how the last Save ended.
struct Outcome {
    std::string statusText;
    std::optional<SaveOutcome> lastSave;
};

// Runs the menu in dir until the player quits, when standard input and
// output are a terminal with a description. Returns nothing when the line
// interface is to run instead (having said why on standard error when the
// terminal's description is missing). Builds without a terminal library
// always return nothing.
std::optional<Outcome> runTerminalMenu(const std::filesystem::path& dir);

// The part of --help about the terminal menu and its keys ("" without one).
const char* interactiveHelp();

}  // namespace nuv::tui
