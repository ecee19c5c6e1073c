// The line forms every file of the menu is made of: plain line, empty line,
// key-value line and footer line, each ending in CR LF.
#pragma once

#include <string>
#include <string_view>

namespace nuv {

// What stands between a key and its quoted value: one blank.
inline constexpr const char* kKeyValueGap = " ";
// Start of every footer line; the program's title follows.
inline constexpr const char* kFooterStart = "// File created with ";
inline constexpr const char* kLineEnd = "\r\n";

class LineWriter {
public:
    LineWriter& plain(std::string_view text);
    LineWriter& empty();
    // key, the gap, then the value in double quotes.
    LineWriter& keyValue(std::string_view key, std::string_view value);
    // "// File created with " + the program's title + suffix.
    LineWriter& footer(std::string_view suffix = {});

    const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace nuv
