// The option rules: what a click does beyond the control's own effect
// (custom step, dependent options, skill levels, presets, rating, unlock and
// lock). Form::click() calls onClick after it has applied the control's own
// effect (check box toggled, option button selected).
#pragma once

#include <string>

namespace nuv {

class Form;

void onClick(Form& form, const std::string& name);

// The two pictures: unlock (Image3) shows and enables the hidden settings,
// lock (Image5) hides them again. Both end with a new rating and their
// message on dark green.
void unlock(Form& form);
void lock(Form& form);

}  // namespace nuv
