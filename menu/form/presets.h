// The eight preset profiles of the "Predefined (NUVDM Settings)" frame, kept
// as data: which button each option group selects, every check box value,
// which controls stay disabled, and the status message.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace nuv {

class Form;

namespace presets {

// Column order of every table below.
enum Index { Standard, Pure, Extreme, High, Easy, Switcher, Disable, Editor, Count };

// The button that selects a preset ("nuvdm_std", ..., "medit").
std::string_view button(Index p);
// The status message a preset shows (on black).
const std::string& message(Index p);
// The preset selected by that button, or Count when it is none.
Index byButton(std::string_view name);

// One option group and the button each preset selects in it; an empty
// name leaves every button of the group deselected.
struct GroupRow {
    std::string_view container;
    std::array<std::string_view, Count> selected;
};
const std::vector<GroupRow>& groupTable();

// One check box and the value each preset gives it.
struct CheckRow {
    std::string_view name;
    std::array<int, Count> value;
};
const std::vector<CheckRow>& checkTable();

// The controls a preset leaves disabled; every other option control it
// enables. Disable is the exception: it disables every option control.
const std::vector<std::string_view>& disabledBy(Index p);

// Applies a preset to the window in its five steps: status, values,
// enabled flags and visibility, its own button, rating.
void apply(Form& form, Index p);

}  // namespace presets
}  // namespace nuv
