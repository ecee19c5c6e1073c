// Writing the menu's files: names relative to the mod folder, the existence
// test of Save and the write under a temporary name that is then renamed
// over the target.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace nuv {

struct WriteError {
    std::filesystem::path file;  // the target that could not be written
    std::string reason;          // the system's text for the error
};

// A file below the mod folder, given with backslashes as folder separators
// ("addons\\nuv\\dm_enable.cfg"); each backslash becomes a folder step.
std::filesystem::path modFile(const std::filesystem::path& dir, std::string_view relative);

// The full path of a file of the mod folder as the files name it:
// the folder, the platform's separator, the name.
std::string fullPath(const std::filesystem::path& dir, std::string_view name);

// True when listing dir gives an entry named exactly `name` (case-sensitive).
bool listedExactly(const std::filesystem::path& dir, std::string_view name);

// Writes content to a temporary file beside target and renames it over the
// target, so the target holds either its old or its new content, never part.
// A write-protected target is refused. Returns false and fills error on failure.
bool writeTextFile(const std::filesystem::path& target, const std::string& content,
                   WriteError& error);

}  // namespace nuv
