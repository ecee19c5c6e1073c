#include "form/skill.h"

#include <string>

#include "form/form.h"

namespace nuv::skill {
namespace {

// The caption shows the rating offset by this much.
constexpr int kShownOffset = 180;

struct Adjustment {
    bool (*holds)(const Form&);
    int change;
};

bool on(const Form& f, std::string_view n) {
    return f.checked(n);
}
bool sel(const Form& f, std::string_view n) {
    return f.selected(n);
}

// Applied in this order; each adds its change when its condition holds.
const Adjustment kAdjustments[] = {
    {[](const Form& f) { return on(f, "footsteps"); }, -5},
    {[](const Form& f) { return on(f, "ammo"); }, -5},
    {[](const Form& f) { return on(f, "hsmod"); }, +10},
    {[](const Form& f) { return on(f, "bullets"); }, -5},
    {[](const Form& f) { return on(f, "cross"); }, -5},
    {[](const Form& f) { return on(f, "bhop"); }, -2},
    {[](const Form& f) { return on(f, "trans"); }, -1},
    {[](const Form& f) { return !on(f, "hideradar") && on(f, "ffa"); }, -10},
    {[](const Form& f) { return on(f, "helmet"); }, -5},
    {[](const Form& f) { return on(f, "grenades"); }, -5},
    {[](const Form& f) { return sel(f, "sp_one"); }, -5},
    {[](const Form& f) { return sel(f, "sp_two"); }, -10},
    {[](const Form& f) { return on(f, "shooter"); }, -35},
    {[](const Form& f) { return on(f, "norecoil"); }, -15},
    {[](const Form& f) { return on(f, "beta"); }, -10},
    {[](const Form& f) { return sel(f, "spb_one"); }, +5},
    {[](const Form& f) { return sel(f, "spb_two"); }, +10},
    {[](const Form& f) { return on(f, "famasgalil"); }, -5},
    {[](const Form& f) { return on(f, "awp"); }, -10},
    {[](const Form& f) { return on(f, "pistols"); }, -25},
    {[](const Form& f) { return !on(f, "spb_extra"); }, -15},
    {[](const Form& f) { return !on(f, "interp"); }, -5},
    {[](const Form& f) { return on(f, "bulletdamage"); }, -5},
    {[](const Form& f) { return on(f, "autoswitch"); }, -2},
    {[](const Form& f) { return on(f, "vampire"); }, -25},
    {[](const Form& f) { return !f.enabled("interp") && on(f, "xenabled"); }, +60},
    {[](const Form& f) { return on(f, "cmodels"); }, -15},
};

}  // namespace

const std::array<Level, 8>& levels() {
    //   button           base  shooterb inhumen norecoilb ammob moneyhackb knives
    static const std::array<Level, 8> t = {{
        {"dm_ultraplus", 100, 1, 1, 1, 1, 1, 0},
        {"dm_ultra", 95, 1, 1, 0, 1, 1, 0},
        {"dm_highplus", 85, 1, 0, 1, 1, 1, 0},
        {"dm_high", 80, 1, 0, 0, 1, 1, 0},
        {"dm_normalplus", 60, 0, 1, 1, 0, 1, 0},
        {"dm_normal", 55, 0, 1, 0, 0, 1, 0},
        {"dm_easy", 20, 0, 0, 0, 0, 1, 0},
        {"dm_free", 0, 1, 0, 0, 0, 1, 1},
    }};
    return t;
}

const Level* level(std::string_view button) {
    for (const Level& lv : levels())
        if (lv.button == button) return &lv;
    return nullptr;
}

void applyLevel(Form& form, const Level& lv) {
    form.setChecked("shooterb", lv.shooterb);
    form.setChecked("inhumen", lv.inhumen);
    form.setChecked("norecoilb", lv.norecoilb);
    form.setChecked("ammob", lv.ammob);
    form.setChecked("moneyhackb", lv.moneyhackb);
    form.setChecked("knives_only", lv.knivesOnly);
}

int rating(const Form& form) {
    int r = 0;
    for (const Level& lv : levels())
        if (form.selected(lv.button)) {
            r = lv.base;
            break;
        }
    for (const Adjustment& a : kAdjustments)
        if (a.holds(form)) r += a.change;
    return r;
}

void calc(Form& form) {
    form.setSkillRating(std::to_string(rating(form) + kShownOffset));
}

}  // namespace nuv::skill
