#include "tmux.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/menu_support.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace nuvtest {

Screen Screen::parse(const std::string& captured, int cols, int rows) {
    Screen s;
    s.cols = cols;
    s.rows = rows;
    s.cells.assign(static_cast<std::size_t>(rows), std::vector<Cell>(static_cast<std::size_t>(cols)));
    Cell pen;
    int row = 0, col = 0;
    for (std::size_t i = 0; i < captured.size() && row < rows;) {
        const unsigned char ch = static_cast<unsigned char>(captured[i]);
        if (ch == '\n') {
            ++row, col = 0, ++i;
            continue;
        }
        if (ch == 0x1b && i + 1 < captured.size() && captured[i + 1] == '[') {
            std::size_t end = i + 2;
            while (end < captured.size() && !(captured[end] >= 0x40 && captured[end] <= 0x7e)) ++end;
            if (end < captured.size() && captured[end] == 'm') {
                std::stringstream params(captured.substr(i + 2, end - i - 2));
                std::string p;
                std::vector<int> codes;
                while (std::getline(params, p, ';')) codes.push_back(p.empty() ? 0 : std::stoi(p));
                if (codes.empty()) codes.push_back(0);
                for (std::size_t k = 0; k < codes.size(); ++k) {
                    const int c = codes[k];
                    if (c == 0) pen = Cell{};
                    else if (c == 1) pen.bold = true;
                    else if (c == 2) pen.dim = true;
                    else if (c == 22) pen.bold = pen.dim = false;
                    else if (c == 4) pen.underline = true;
                    else if (c == 24) pen.underline = false;
                    else if (c == 7) pen.reverse = true;
                    else if (c == 27) pen.reverse = false;
                    else if ((c == 38 || c == 48) && k + 1 < codes.size())
                        k += codes[k + 1] == 5 ? 2 : 4;  // colours are not looked at
                }
            }
            i = end + 1;
            continue;
        }
        if (ch == 0x1b) {  // other escapes (character sets): skip
            i += (i + 1 < captured.size() && (captured[i + 1] == '(' || captured[i + 1] == ')')) ? 3 : 2;
            continue;
        }
        if (ch < 0x20) {  // SO, SI and the like take no cell
            ++i;
            continue;
        }
        const std::size_t len = ch >= 0xf0 ? 4 : ch >= 0xe0 ? 3 : ch >= 0xc0 ? 2 : 1;
        if (col < cols) {
            Cell& cell = s.cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
            cell = pen;
            cell.glyph = captured.substr(i, len);
        }
        ++col;
        i += len;
    }
    return s;
}

std::string Screen::text(int row, int col, int count) const {
    std::string out;
    if (row < 0 || row >= rows) return out;
    const int end = count < 0 ? cols : std::min(cols, col + count);
    for (int c = std::max(0, col); c < end; ++c) out += at(row, c).glyph;
    return out;
}

std::string Screen::all() const {
    std::string out;
    for (int r = 0; r < rows; ++r) out += text(r) + "\n";
    return out;
}

Tmux::Tmux(const fs::path& folder, std::string name, int cols, int rows,
           const std::vector<std::string>& command, const std::string& term)
    : socket_(folder / "tmux.socket"), status_(folder / (name + ".status")), name_(std::move(name)),
      cols_(cols), rows_(rows) {
    // sh runs the program with TERM set, notes its exit status and keeps the
    // pane open, so that what it printed last can still be read.
    std::vector<std::string> args = {"new-session", "-d", "-s", name_, "-x", std::to_string(cols),
                                     "-y", std::to_string(rows), "--", "/bin/sh", "-c",
                                     "TERM=\"$0\" \"$@\"; echo $? > '" + status_.string() +
                                         "'; exec sleep 600",
                                     term};
    args.insert(args.end(), command.begin(), command.end());
    tmux(args);
}

Tmux::~Tmux() {
    tmux({"kill-server"});
}

std::string Tmux::tmux(const std::vector<std::string>& args) const {
    std::vector<std::string> all = {"-S", socket_.string(), "-f", "/dev/null"};
    all.insert(all.end(), args.begin(), args.end());
    return runProgram(NUVDM_TMUX, all).out;
}

void Tmux::keys(const std::vector<std::string>& keys) const {
    std::vector<std::string> args = {"send-keys", "-t", name_};
    args.insert(args.end(), keys.begin(), keys.end());
    tmux(args);
}

void Tmux::literal(const std::string& text) const { tmux({"send-keys", "-t", name_, "-l", text}); }

void Tmux::resize(int cols, int rows) {
    cols_ = cols;
    rows_ = rows;
    tmux({"resize-window", "-t", name_, "-x", std::to_string(cols), "-y", std::to_string(rows)});
}

Screen Tmux::capture() const {
    return Screen::parse(tmux({"capture-pane", "-p", "-e", "-t", name_}), cols_, rows_);
}

bool Tmux::waitFor(const std::function<bool(const Screen&)>& done, Screen& last,
                   double seconds) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        last = capture();
        if (done(last)) return true;
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::optional<int> Tmux::exitStatus() const {
    std::ifstream in(status_);
    int status = 0;
    if (in >> status) return status;
    return std::nullopt;
}

bool Tmux::waitForExit(int& status, double seconds) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (const auto s = exitStatus()) {
            status = *s;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

}  // namespace nuvtest
