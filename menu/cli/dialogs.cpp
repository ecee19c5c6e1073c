#include "cli/dialogs.h"

#include <curses.h>

#include <algorithm>

#include "cli/terminal_menu.h"

namespace nuv::tui {

namespace {

constexpr int kEscape = 27;

struct Placed {
    int row = 0, col = 0, height = 0, width = 0;
    std::vector<std::string> lines;
    std::vector<int> buttonCols;  // screen column of each button
    int buttonRow = 0;
};

std::string buttonText(const DialogButton& b) { return "[ " + b.label + " ]"; }

Placed place(std::string_view title, std::string_view text, const std::vector<DialogButton>& buttons) {
    Placed p;
    int buttonsWidth = 0;
    for (const DialogButton& b : buttons) buttonsWidth += static_cast<int>(buttonText(b).size()) + 3;
    // As wide as the longest line needs, within 44 to 72 columns.
    int longest = 0;
    for (const std::string& line : wrapText(text, 1 << 20)) longest = std::max(longest, static_cast<int>(line.size()));
    p.width = std::max({44, longest + 4, static_cast<int>(title.size()) + 6, buttonsWidth + 4});
    p.width = std::min({p.width, 72, COLS - 2});
    p.lines = wrapText(text, p.width - 4);
    const int room = std::max(1, LINES - 6);
    if (static_cast<int>(p.lines.size()) > room) p.lines.resize(static_cast<std::size_t>(room));
    p.height = static_cast<int>(p.lines.size()) + 5;
    p.row = std::max(0, (LINES - p.height) / 2);
    p.col = std::max(0, (COLS - p.width) / 2);
    p.buttonRow = p.row + p.height - 2;
    int col = p.col + (p.width - buttonsWidth + 3) / 2;
    for (const DialogButton& b : buttons) {
        p.buttonCols.push_back(col);
        col += static_cast<int>(buttonText(b).size()) + 3;
    }
    return p;
}

}  // namespace

int runDialog(Painter& painter, const std::function<void()>& background, std::string_view title,
              std::string_view text, const std::vector<DialogButton>& buttons, int focused,
              int cancel) {
    const int count = static_cast<int>(buttons.size());
    for (;;) {
        background();
        const Placed p = place(title, text, buttons);
        painter.drawBox(p.row, p.col, p.height, p.width, title, true);
        for (std::size_t i = 0; i < p.lines.size(); ++i)
            painter.put(p.row + 2 + static_cast<int>(i), p.col + 2, p.lines[i], p.width - 4);
        for (int i = 0; i < count; ++i)
            painter.put(p.buttonRow, p.buttonCols[static_cast<std::size_t>(i)],
                        buttonText(buttons[static_cast<std::size_t>(i)]), p.width,
                        i == focused ? A_REVERSE : A_BOLD);
        refresh();

        const int key = getch();
        switch (key) {
            case kEscape: case ERR: return cancel;  // ERR: the terminal is gone
            case '\n': case '\r': case ' ': case KEY_ENTER: return focused;
            case '\t': case KEY_RIGHT: focused = (focused + 1) % count; continue;
            case KEY_BTAB: case KEY_LEFT: focused = (focused + count - 1) % count; continue;
            case KEY_MOUSE: {
                MEVENT ev;
                if (getmouse(&ev) != OK || !(ev.bstate & (BUTTON1_PRESSED | BUTTON1_CLICKED)))
                    continue;
                for (int i = 0; i < count; ++i) {
                    const int col = p.buttonCols[static_cast<std::size_t>(i)];
                    const int len = static_cast<int>(buttonText(buttons[static_cast<std::size_t>(i)]).size());
                    if (ev.y == p.buttonRow && ev.x >= col && ev.x < col + len) return i;
                }
                continue;
            }
            default: break;
        }
        for (int i = 0; i < count; ++i)
            if (key > 0 && key < 128 &&
                buttons[static_cast<std::size_t>(i)].keys.find(static_cast<char>(key)) != std::string::npos)
                return i;
    }
}

void TerminalMenu::messageBox(const std::string& title, const std::string& text, MessageStyle style) {
    static const char* const marks[] = {"", "(!) ", "(i) ", "(x) "};
    const std::string heading = marks[static_cast<int>(style)] + title;
    runDialog(painter_, [this] { draw(); }, heading, text, {{"OK", "o"}}, 0, 0);
}

void TerminalMenu::openWebPage(const std::string& url) {
    runDialog(painter_, [this] { draw(); }, "Web page",
              "Open this address in a web browser:\n" + url, {{"OK", "o"}}, 0, 0);
}

bool TerminalMenu::mayQuit() {
    if (values() == saved_) return true;
    return runDialog(painter_, [this] { draw(); }, "Quit",
                     "The settings were changed and not saved: nothing of them is kept. "
                     "Quit without saving?",
                     {{"Quit", "qy"}, {"Back", "bn"}}, 1, 1) == 0;
}

}  // namespace nuv::tui
