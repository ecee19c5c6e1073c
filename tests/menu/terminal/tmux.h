// A program in a real terminal: a detached tmux session on a private server
// (its own socket, no configuration file), keys sent with send-keys, the
// screen read with capture-pane and parsed into cells with their attributes.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace nuvtest {

struct Cell {
    std::string glyph = " ";  // one character, UTF-8
    bool dim = false, bold = false, reverse = false, underline = false;
};

struct Screen {
    int cols = 0, rows = 0;
    std::vector<std::vector<Cell>> cells;

    // capture-pane -e output: text with SGR sequences.
    static Screen parse(const std::string& captured, int cols, int rows);
    std::string text(int row, int col = 0, int count = -1) const;
    std::string all() const;  // the rows, each ending in a line feed
    const Cell& at(int row, int col) const { return cells.at(row).at(col); }
};

class Tmux {
public:
    // Starts program with args in session `name` of a server whose socket is
    // in folder, in a terminal of cols x rows with the given TERM. The pane
    // stays after the program ends; exitStatus() tells how it ended.
    Tmux(const std::filesystem::path& folder, std::string name, int cols, int rows,
         const std::vector<std::string>& command, const std::string& term = "tmux-256color");
    ~Tmux();
    Tmux(const Tmux&) = delete;
    Tmux& operator=(const Tmux&) = delete;

    void keys(const std::vector<std::string>& keys) const;  // tmux key names
    void literal(const std::string& text) const;            // bytes as typed
    void resize(int cols, int rows);
    Screen capture() const;
    // Captures until `done` holds; false (with the last screen) after `seconds`.
    bool waitFor(const std::function<bool(const Screen&)>& done, Screen& last,
                 double seconds = 15) const;
    // The program's exit status once it has ended.
    std::optional<int> exitStatus() const;
    bool waitForExit(int& status, double seconds = 15) const;

private:
    std::string tmux(const std::vector<std::string>& args) const;

    std::filesystem::path socket_, status_;
    std::string name_;
    int cols_, rows_;
};

}  // namespace nuvtest
