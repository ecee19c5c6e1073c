// The option rules: what a click does beyond the control's own effect
// (custom step, dependent options, skill levels, presets, rating, unlock and
// lock). Form::click() calls onClick after it has applied the control's own
// effect (check box toggled, option button selected).
#pragma once

#include <string>

namespace nuv {

class Form;

void onClick(Form& form, const std::string& name);

}  // namespace nuv
