// Drawing the window's records on the terminal (ncurses' standard screen):
// the title row, the canvas of frames and controls, the status box, the key
// line, and the boxes that dialogs are drawn in.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/layout.h"
#include "form/form.h"

namespace nuv::tui {

// The keys, as the key line and --help name them.
inline constexpr const char* kKeyLine =
    "Tab/arrows move  Space/Enter click  s save  q quit";

// What the screen shows of the canvas: the focused control (its index in
// Form::controls(), or npos) and the first canvas row in view.
struct View {
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t focus = npos;
    int top = 0;
};

// Lines of at most `width` cells: breaks at blanks (the blanks at a break
// are dropped), and at CR LF or LF.
std::vector<std::string> wrapText(std::string_view text, int width);

// The name of a status box background ("black", "dark green", ...).
std::string colourName(Colour background);

// True when the control and every container of it are visible (enabled).
bool shown(const Form& form, const Control& c);
bool reachable(const Form& form, const Control& c);

class Painter {
public:
    // Call once the terminal is set up: reads what it can show.
    Painter();

    void drawMain(const Form& form, const Layout& layout, const View& view);
    void drawTooSmall(int cols, int rows);

    // A frame on the screen; the title sits in its top border.
    void drawBox(int row, int col, int height, int width, std::string_view title, bool fill);
    // Text at a screen cell, clipped to width cells.
    void put(int row, int col, std::string_view text, int width, unsigned attributes = 0);

private:
    unsigned colourPair(int foreground, int background);
    int terminalColour(Colour c) const;
    unsigned captionAttributes(const Control& c);
    void drawItem(const Form& form, const Layout& layout, const Item& item, const View& view);
    void drawStatus(const Form& form, const Layout& layout);

    bool colours_ = false;
    unsigned dim_ = 0;
    std::map<std::pair<int, int>, int> pairs_;
};

}  // namespace nuv::tui
