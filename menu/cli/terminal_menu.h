// The terminal menu's session: the window model, its layout on the screen,
// the focus and scrolling, and the front end that turns message boxes and
// web links into dialogs. Needs a curses screen set up (runTerminalMenu).
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/draw.h"
#include "cli/layout.h"
#include "form/form.h"
#include "form/frontend.h"

namespace nuv::tui {

class TerminalMenu : public FrontEnd {
public:
    explicit TerminalMenu(const std::filesystem::path& dir);

    // Reads keys and mouse events until the player quits.
    void run();
    // One key (a curses key code); false when the player has quit.
    bool handle(int key);
    // Lays the window out again when the terminal's size changed and draws it.
    void draw();

    const Form& form() const { return form_; }
    const Layout& layout() const { return layout_; }
    Painter& painter() { return painter_; }

    void messageBox(const std::string& title, const std::string& text, MessageStyle style) override;
    void openWebPage(const std::string& url) override;

private:
    void click(std::size_t control);
    void onMouse();
    bool mayQuit();
    bool focusable(std::size_t item) const;
    void focusStep(int step);        // along the reading order, wrapping
    void focusRow(int direction);    // the nearest control on the next row up or down
    void focusPage(int direction);
    void focusFirstFrom(std::size_t position, int step);
    void keepFocusValid();
    void scrollToFocus();
    std::vector<int> values() const;

    Form form_;
    Painter painter_;
    Layout layout_;
    View view_;
    bool follow_ = true;        // scroll the focus into view at the next draw
    std::vector<int> saved_;  // the values at start or the last Save that wrote
};

}  // namespace nuv::tui
