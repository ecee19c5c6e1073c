// The option rules: what a click does beyond the control's own effect.
// Most option clicks end in the custom step (status text, "NUVDM Custom
// settings" selected, new rating); a few pull or lock other options; the
// skill level buttons set the "Forced:" indicators; two pictures unlock and
// lock the hidden settings; the preset buttons load whole profiles.
#include "form/rules.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "form/form.h"
#include "form/presets.h"
#include "form/skill.h"

namespace nuv {
namespace {

const std::string kCustomText = "Switched to custom settings.";
const std::string kAwpText =
    "Info: Bots usually arn't the smartest AWP users. Switched to custom settings.";
const std::string kGrenadesText =
    "Info: Bots usually arn't the smartest nade throwers. Switched to custom settings.";
const std::string kWeaponModelsText =
    "Warning: The Weaponswitcher plugin does only work with 99% of the maps (Known for crashes "
    "on: de_airstrip)." +
    std::string(23, ' ') + "Switched to custom settings.";
const std::string kNuvdmText = "NUVDM DISABLED.";
const std::string kUnlockText =
    "You have unlocked all possible settings of NUVDM by clicking on the Kessel Terrorist "
    "models." +
    std::string(53, ' ') +
    "By clicking on the Kessel Counter models or one of the predefined settings you lock the "
    "settings again.";
const std::string kLockText =
    "Player model cartoons drawn for this pack by the NUV DM art crew. All hidden settings are "
    "locked again.";

constexpr std::string_view kCustom = "nuvdm_custom";

// Option groups whose buttons only run the custom step.
constexpr std::array<std::string_view, 7> kPlainGroups = {"Frame15", "Frame12", "Frame8", "Frame7",
                                                          "Frame16", "Frame10", "Frame6"};

// "NUVDM Custom settings" became selected: every preset is deselected.
void customSelected(Form& f) {
    f.setStatus(kCustomText, kBlack);
    f.select(kCustom);
    for (int p = 0; p < presets::Count; ++p)
        f.deselect(presets::button(static_cast<presets::Index>(p)));
    skill::calc(f);
}

// Selects "NUVDM Custom settings"; its own handler runs only when it was
// not selected yet.
void selectCustom(Form& f) {
    const bool was = f.selected(kCustom);
    f.select(kCustom);
    if (!was) customSelected(f);
}

// --- the dependent changes, run around the custom step --------------------

void autostartColour(Form& f) {
    f.setCaptionColour("autostart", f.checked("autostart") ? kAutostartOn : kAutostartOff);
}

void ffaRadar(Form& f) {
    if (f.checked("ffa")) {
        f.setEnabled("hideradar", false);
        f.setChecked("hideradar", true);
    } else {
        f.setEnabled("hideradar", true);
    }
}

void ffaCsdm(Form& f) {
    if (f.checked("ffa")) f.setChecked("csdm", true);
}

void pistolsWeapons(Form& f) {
    if (f.checked("pistols")) {
        f.setChecked("famasgalil", false);
        f.setChecked("awp", false);
        f.setEnabled("famasgalil", false);
        f.setEnabled("awp", false);
    } else {
        f.setEnabled("famasgalil", true);
        f.setEnabled("awp", !f.checked("xenabled"));
    }
}

void xjumpsJump(Form& f) {
    if (f.checked("xjumps")) {
        f.setEnabled("jump", false);
        f.setChecked("jump", false);
    } else {
        f.setEnabled("jump", true);
    }
}

// One row of the handler table.
struct Rule {
    std::string_view name;
    bool custom = true;                      // false: the click only changes the box
    const std::string* text = &kCustomText;  // status text of the custom step
    Colour colour = kBlack;
    bool textAfterSelect = false;          // own text set after nuvdm_custom is selected
    void (*before)(Form&) = nullptr;       // before the custom step
    void (*afterSelect)(Form&) = nullptr;  // after status and selection, before the rating
};

Rule plain(std::string_view n) {
    return Rule{n};
}
Rule boxOnly(std::string_view n) {
    Rule r{n};
    r.custom = false;
    return r;
}
Rule ownText(std::string_view n, const std::string& text, Colour colour) {
    Rule r{n};
    r.text = &text;
    r.colour = colour;
    r.textAfterSelect = true;
    return r;
}

const std::vector<Rule>& rules() {
    static const std::vector<Rule> t = [] {
        std::vector<Rule> v;
        for (std::string_view n :
             {"footsteps", "ammo",      "bulletdamage",  "rlimit",     "bhop",
              "hsmod",     "bullets",   "bulletdamage2", "interp",     "showspeed",
              "intro",     "jump",      "kreedz",        "autoswitch", "helmet",
              "hideradar", "moneyhack", "cmodels",       "vampire",    "shooter",
              "norecoil",  "beta",      "famasgalil",    "zorbotz",    "spb_extra"})
            v.push_back(plain(n));
        for (std::string_view n : {"counter", "plugins", "spawnedit", "knives_only", "shooterb",
                                   "norecoilb", "inhumen", "ammob", "moneyhackb"})
            v.push_back(boxOnly(n));
        v.push_back(ownText("csdm", kCustomText, kBlack));
        v.push_back(ownText("awp", kAwpText, kOrangeBrown));
        v.push_back(ownText("grenades", kGrenadesText, kOrangeBrown));
        v.push_back(ownText("trans", kWeaponModelsText, kOrangeBrown));
        v.push_back(ownText("cross", kWeaponModelsText, kOrangeBrown));
        v.push_back(ownText("nuvdm", kNuvdmText, kBlack));
        Rule autostart{"autostart"};
        autostart.before = autostartColour;
        v.push_back(autostart);
        Rule ffa{"ffa"};
        ffa.before = ffaRadar;
        ffa.afterSelect = ffaCsdm;
        v.push_back(ffa);
        Rule pistols{"pistols"};
        pistols.before = pistolsWeapons;
        v.push_back(pistols);
        Rule xjumps{"xjumps"};
        xjumps.afterSelect = xjumpsJump;
        v.push_back(xjumps);
        return v;
    }();
    return t;
}

void run(Form& f, const Rule& r) {
    if (r.before) r.before(f);
    if (!r.custom) return;
    if (r.textAfterSelect) {
        selectCustom(f);
        f.setStatus(*r.text, r.colour);
    } else {
        f.setStatus(*r.text, r.colour);
        selectCustom(f);
    }
    if (r.afterSelect) r.afterSelect(f);
    skill::calc(f);
}

// A skill level button: status and selection as in the custom step, then
// the indicators, then the rating.
void runSkillLevel(Form& f, const skill::Level& lv) {
    f.setStatus(kCustomText, kBlack);
    selectCustom(f);
    skill::applyLevel(f, lv);
    skill::calc(f);
}

void forEachGroupButton(Form& f, std::initializer_list<std::string_view> containers,
                        void (*fn)(Form&, const std::string&)) {
    for (std::string_view c : containers)
        for (const std::string& b : f.groupOf(c)) fn(f, b);
}

}  // namespace

void unlock(Form& f) {
    for (std::string_view n : {"knives_only", "intro", "xenabled"}) f.setVisible(n, true);
    auto enable = [](Form& form, const std::string& n) { form.setEnabled(n, true); };
    for (std::string_view n :
         {"shooter", "norecoil",     "beta",          "moneyhack", "intro",  "footsteps", "hsmod",
          "bhop",    "bulletdamage", "counter",       "trans",     "kreedz", "interp",    "ammo",
          "bullets", "showspeed",    "bulletdamage2", "rlimit",    "cross",  "xjumps"})
        f.setEnabled(n, true);
    forEachGroupButton(f, {"Frame10", "Frame6", "Frame7"}, enable);
    for (std::string_view n : {"nuvdm", "zorbotz", "csdm", "ffa"}) f.setEnabled(n, true);
    forEachGroupButton(f, {"Frame14", "Frame15"}, enable);
    for (std::string_view n :
         {"autostart", "spb_extra", "shooterb", "inhumen", "norecoilb", "ammob"})
        f.setEnabled(n, true);
    forEachGroupButton(f, {"Frame8", "Frame12", "Frame16"}, enable);
    f.setEnabled("moneyhackb", false);
    skill::calc(f);
    f.setStatus(kUnlockText, kDarkGreen);
}

void lock(Form& f) {
    for (std::string_view n : {"knives_only", "intro", "xenabled"}) f.setVisible(n, false);
    for (std::string_view n : {"shooter", "norecoil", "beta", "moneyhack"}) f.setEnabled(n, false);
    skill::calc(f);
    f.setStatus(kLockText, kDarkGreen);
}

void onClick(Form& f, const std::string& name) {
    if (name == "Image3") return unlock(f);
    if (name == "Image5") return lock(f);
    if (name == kCustom) return customSelected(f);
    if (const presets::Index p = presets::byButton(name); p != presets::Count)
        return presets::apply(f, p);
    if (const skill::Level* lv = skill::level(name)) return runSkillLevel(f, *lv);
    const auto& t = rules();
    const auto it = std::find_if(t.begin(), t.end(), [&](const Rule& r) { return r.name == name; });
    if (it != t.end()) return run(f, *it);
    const Control* c = f.find(name);
    if (c && c->kind == Kind::OptionButton &&
        std::find(kPlainGroups.begin(), kPlainGroups.end(), c->container) != kPlainGroups.end())
        return run(f, plain(name));
    // Everything else (Save, links, pictures without a rule) has no option rule.
}

}  // namespace nuv
