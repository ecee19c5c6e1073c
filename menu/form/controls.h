// The window's controls in their start-up state, in the order of the
// window's tables (that order is also the order of the command line's
// state listing).
#pragma once

#include <vector>

#include "form/form.h"

namespace nuv {

std::vector<Control> startupControls();

// The three introductory lines of the status box, each ending in CR LF.
extern const char* const kStartupStatus;

}  // namespace nuv
