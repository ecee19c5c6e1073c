// Modal dialogs drawn over the menu: the window's message boxes, the web
// links' addresses and the question before quitting with unsaved changes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/draw.h"

namespace nuv::tui {

struct DialogButton {
    std::string label;
    std::string keys;  // letters that choose it at once
};

// Shows the dialog over what `background` draws (it is called again after a
// resize) until a button is chosen: Enter or Space on the focused one, its
// letter, or a mouse click. Esc chooses `cancel`. Returns the button's index.
int runDialog(Painter& painter, const std::function<void()>& background, std::string_view title,
              std::string_view text, const std::vector<DialogButton>& buttons, int focused,
              int cancel);

}  // namespace nuv::tui
