// The skill levels of the "Skill configuration" frame and the skill rating
// shown beside them.
#pragma once

#include <array>
#include <string_view>

namespace nuv {

class Form;

namespace skill {

// One skill level button: its base rating and the values it gives the five
// "Forced:" indicators and knives_only.
struct Level {
    std::string_view button;
    int base;
    int shooterb, inhumen, norecoilb, ammob, moneyhackb, knivesOnly;
};
const std::array<Level, 8>& levels();
// The level of that button, or null when the name is no skill level.
const Level* level(std::string_view button);

// Sets the indicators and knives_only by the level (program changes).
void applyLevel(Form& form, const Level& lv);

// The rating from scratch: the selected level's base plus every adjustment
// whose condition holds, in table order.
int rating(const Form& form);
// Shows rating + 180 in "skillrating".
void calc(Form& form);

}  // namespace skill
}  // namespace nuv
