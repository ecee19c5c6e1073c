// The terminal menu's keys and mouse, its focus and scrolling, and setting
// up and leaving the terminal.
#include <curses.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <iostream>

#include "cli/terminal.h"
#include "cli/terminal_menu.h"

// Last: it defines the terminal's capability names as macros.
#include <term.h>

namespace nuv::tui {

namespace {

constexpr int kEscape = 27;
constexpr int kRedraw = 12;  // Ctrl-L
constexpr int kWheelRows = 3;

// Position of a control in the reading order, or the order's size.
std::size_t positionOf(const Layout& layout, std::size_t control) {
    for (std::size_t k = 0; k < layout.readingOrder.size(); ++k)
        if (layout.items[layout.readingOrder[k]].index == control) return k;
    return layout.readingOrder.size();
}

}  // namespace

TerminalMenu::TerminalMenu(const std::filesystem::path& dir) : form_(*this, dir) {
    saved_ = values();
}

std::vector<int> TerminalMenu::values() const {
    std::vector<int> v;
    for (const Control& c : form_.controls())
        if (c.kind == Kind::CheckBox || c.kind == Kind::OptionButton) v.push_back(c.value);
    return v;
}

bool TerminalMenu::focusable(std::size_t item) const {
    return reachable(form_, form_.controls()[layout_.items[item].index]);
}

void TerminalMenu::focusFirstFrom(std::size_t position, int step) {
    const std::size_t n = layout_.readingOrder.size();
    for (std::size_t tried = 0; tried < n; ++tried) {
        const std::size_t k = (position + n + static_cast<std::size_t>(step) * tried) % n;
        if (focusable(layout_.readingOrder[k])) {
            view_.focus = layout_.items[layout_.readingOrder[k]].index;
            follow_ = true;
            return;
        }
    }
}

void TerminalMenu::focusStep(int step) {
    const std::size_t n = layout_.readingOrder.size();
    if (n == 0) return;
    const std::size_t at = positionOf(layout_, view_.focus);
    if (at == n) return focusFirstFrom(0, 1);
    focusFirstFrom((at + n + static_cast<std::size_t>(step)) % n, step);
}

void TerminalMenu::focusRow(int direction) {
    const Item* from = layout_.itemOf(view_.focus);
    if (!from) return focusFirstFrom(0, 1);
    const Item* best = nullptr;
    for (std::size_t k : layout_.readingOrder) {
        const Item& it = layout_.items[k];
        if (!focusable(k) || (it.row - from->row) * direction <= 0) continue;
        if (!best) {
            best = &it;
            continue;
        }
        const int dRow = std::abs(it.row - from->row), bestRow = std::abs(best->row - from->row);
        if (dRow < bestRow ||
            (dRow == bestRow && std::abs(it.col - from->col) < std::abs(best->col - from->col)))
            best = &it;
    }
    if (best) {
        view_.focus = best->index;
        follow_ = true;
    }
}

void TerminalMenu::focusPage(int direction) {
    const int last = std::max(0, layout_.canvasRows - layout_.viewRows);
    view_.top = std::clamp(view_.top + direction * layout_.viewRows, 0, last);
    for (std::size_t k : layout_.readingOrder) {
        const Item& it = layout_.items[k];
        if (focusable(k) && it.row >= view_.top && it.row < view_.top + layout_.viewRows) {
            view_.focus = it.index;
            break;
        }
    }
    follow_ = false;
}

void TerminalMenu::keepFocusValid() {
    const std::size_t at = positionOf(layout_, view_.focus);
    if (at < layout_.readingOrder.size() && focusable(layout_.readingOrder[at])) return;
    focusFirstFrom(at < layout_.readingOrder.size() ? at : 0, 1);
}

void TerminalMenu::scrollToFocus() {
    const int last = std::max(0, layout_.canvasRows - layout_.viewRows);
    // One row of room around the focus, so that the caption of the frame it
    // begins is in view too.
    if (const Item* it = layout_.itemOf(view_.focus); it && follow_) {
        if (it->row - 1 < view_.top) view_.top = it->row - 1;
        if (it->row + 1 >= view_.top + layout_.viewRows) view_.top = it->row + 2 - layout_.viewRows;
    }
    view_.top = std::clamp(view_.top, 0, last);
    follow_ = false;
}

void TerminalMenu::draw() {
    int rows = 0, cols = 0;
    getmaxyx(stdscr, rows, cols);
    if (rows != layout_.rows || cols != layout_.cols) {
        layout_ = layOut(form_.controls(), cols, rows);
        keepFocusValid();
        follow_ = true;
    }
    if (layout_.tooSmall) {
        painter_.drawTooSmall(cols, rows);
    } else {
        scrollToFocus();
        painter_.drawMain(form_, layout_, view_);
    }
    refresh();
}

void TerminalMenu::click(std::size_t control) {
    const std::string name = form_.controls()[control].name;  // the click may change the records
    form_.click(name);  // refused clicks (disabled, hidden) change nothing
    const auto last = form_.lastSave();
    if (name == "btn_save" && last &&
        (*last == SaveOutcome::Written || *last == SaveOutcome::Disabled))
        saved_ = values();
    keepFocusValid();
}

void TerminalMenu::onMouse() {
    MEVENT ev;
    if (getmouse(&ev) != OK || layout_.tooSmall) return;
    const int last = std::max(0, layout_.canvasRows - layout_.viewRows);
    if (ev.bstate & BUTTON4_PRESSED) view_.top = std::max(0, view_.top - kWheelRows);
    if (ev.bstate & BUTTON5_PRESSED) view_.top = std::min(last, view_.top + kWheelRows);
    if (!(ev.bstate & (BUTTON1_PRESSED | BUTTON1_CLICKED))) return;
    if (ev.y < layout_.viewTop || ev.y >= layout_.viewTop + layout_.viewRows) return;
    const int row = ev.y - layout_.viewTop + view_.top;
    for (std::size_t k : layout_.readingOrder) {
        const Item& it = layout_.items[k];
        const Control& c = form_.controls()[it.index];
        const int len = std::min(it.width, static_cast<int>(itemText(c).size()));
        if (it.row != row || ev.x < it.col || ev.x >= it.col + len || !shown(form_, c)) continue;
        if (!focusable(k)) return;
        view_.focus = it.index;
        return click(it.index);
    }
}

bool TerminalMenu::handle(int key) {
    switch (key) {
        case ERR: return false;  // the terminal is gone (hung up): nobody to ask
        case 'q': case 'Q': case kEscape: return !mayQuit();
        case KEY_RESIZE: break;  // the next draw lays the window out again
        case kRedraw: clearok(curscr, TRUE); break;
        case KEY_MOUSE: onMouse(); break;
        default:
            if (layout_.tooSmall) break;
            switch (key) {
                case '\t': case KEY_RIGHT: focusStep(1); break;
                case KEY_BTAB: case KEY_LEFT: focusStep(-1); break;
                case KEY_DOWN: focusRow(1); break;
                case KEY_UP: focusRow(-1); break;
                case KEY_HOME: focusFirstFrom(0, 1); break;
                case KEY_END: focusFirstFrom(layout_.readingOrder.size() - 1, -1); break;
                case KEY_NPAGE: focusPage(1); break;
                case KEY_PPAGE: focusPage(-1); break;
                case ' ': case '\n': case '\r': case KEY_ENTER:
                    if (view_.focus < form_.controls().size()) click(view_.focus);
                    break;
                case 's': case 'S':
                    if (const Control* save = form_.find("btn_save"))
                        click(static_cast<std::size_t>(save - form_.controls().data()));
                    break;
                default: break;
            }
    }
    return true;
}

void TerminalMenu::run() {
    do draw();
    while (handle(getch()));
}

const char* interactiveHelp() {
    return "Without actions, on a terminal, the menu's window opens as a full-screen menu:\n"
           "  Tab, Shift-Tab, arrows  move between the controls (also Home, End, PgUp, PgDn)\n"
           "  Space or Enter          click the control; the mouse clicks too\n"
           "  s                       press \"SAVE SETTINGS\"\n"
           "  q or Esc                quit (asks first when changes were not saved)\n"
           "  <T models: unlock> and <CT models: lock> are the pictures that unlock and\n"
           "  lock the hidden settings.\n"
           "With actions, or when standard input or output is not a terminal, it runs them:\n";
}

std::optional<Outcome> runTerminalMenu(const std::filesystem::path& dir) {
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return std::nullopt;
    std::setlocale(LC_CTYPE, "");
    const char* term = std::getenv("TERM");
    const std::string termName = term && *term ? term : "(not set)";
    // Look the terminal up first: a failed newterm() keeps what it allocated.
    int found = 0;
    bool placesCursor = false;
    if (setupterm(nullptr, STDOUT_FILENO, &found) == OK) {
        const char* move = tigetstr("cup");
        placesCursor = move && move != reinterpret_cast<char*>(-1);
        del_curterm(cur_term);
    }
    const std::string why = found != 1      ? "no terminal description found for TERM=" + termName
                            : !placesCursor ? "the terminal TERM=" + termName + " cannot place the cursor"
                                            : "";
    SCREEN* screen = why.empty() ? newterm(nullptr, stdout, stdin) : nullptr;
    if (!screen) {
        std::cerr << "nuvdm-menu: " << (why.empty() ? "cannot set up TERM=" + termName : why)
                  << "; the line interface runs instead (nuvdm-menu --help).\n";
        return std::nullopt;
    }
    set_term(screen);
    cbreak();
    noecho();
    keypad(stdscr, TRUE);
    curs_set(0);
    set_escdelay(25);
    mouseinterval(0);
    mousemask(BUTTON1_PRESSED | BUTTON1_CLICKED | BUTTON4_PRESSED | BUTTON5_PRESSED, nullptr);

    Outcome outcome;
    try {
        TerminalMenu menu(dir);
        menu.run();
        outcome = {menu.form().statusText(), menu.form().lastSave()};
    } catch (...) {
        endwin();
        delscreen(screen);
        throw;
    }
    endwin();
    delscreen(screen);
    return outcome;
}

}  // namespace nuv::tui
