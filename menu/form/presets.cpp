#include "form/presets.h"

#include <algorithm>

#include "form/form.h"
#include "form/skill.h"

namespace nuv::presets {
namespace {

constexpr std::string_view kPresetFrame = "Frame3";

constexpr std::array<std::string_view, Count> kButtons = {
    "nuvdm_std",  "nuvdm_pure",     "nuvdm_x",       "nuvdm_high",
    "nuvdm_easy", "nuvdm_switcher", "nuvdm_disable", "medit"};

const std::array<std::string, Count>& messages() {
    static const std::array<std::string, Count> m = {
        "ZORYS LAN DEATHMATCH PREDEFINED ->STANDARD<- PROFILE SETTING.",
        "ZORYS LAN DEATHMATCH PREDEFINED ->PURE<- PROFILE SETTING.",
        "ZORYS LAN DEATHMATCH PREDEFINED ->E[X]TREME MOD<- PROFILE SETTING.",
        "ZORYS LAN DEATHMATCH PREDEFINED ->HIGH<- SETTING." + std::string(96, ' ') +
            "ACTIVATED NIGHTMARE! MODE. HIGHEST POSSIBLE SKILLEVEL YOU CAN PLAY ON",
        "ZORYS LAN DEATHMATCH PREDEFINED ->LOW<- SETTING." + std::string(98, ' ') +
            "ACTIVATED 'I'M TO YOUNG TO DIE' MODE. NEARLY THE LOWEST POSSIBLE "
            "SKILLEVEL YOU CAN PLAY ON.",
        "ZORYS LAN NOCSDM PREDEFINED ->STD<- PROFILE SETTING.",
        "SAVE AND NUV MOD WILL BE DISABLED.",
        "Spawneditor settings loaded. 'mouse5 = pb wpmenu'; 'mouse4 = spawneditor'; "
        "'mouse3 = walkguardmenu';",
    };
    return m;
}

// Disabled by every preset but Disable.
const std::vector<std::string_view> kLocked = {
    "nuvdm",   "zorbotz", "hideradar",  "knives_only", "shooterb", "norecoilb",
    "inhumen", "ammob",   "moneyhackb", "shooter",     "norecoil", "beta"};

std::vector<std::string_view> lockedPlus(std::initializer_list<std::string_view> more) {
    std::vector<std::string_view> v = kLocked;
    v.insert(v.end(), more.begin(), more.end());
    return v;
}

}  // namespace

std::string_view button(Index p) {
    return kButtons.at(p);
}

const std::string& message(Index p) {
    return messages().at(p);
}

Index byButton(std::string_view name) {
    for (int i = 0; i < Count; ++i)
        if (kButtons[i] == name) return static_cast<Index>(i);
    return Count;
}

const std::vector<GroupRow>& groupTable() {
    //                 Standard  Pure  eXtreme  High  Easy  Switcher  Disable  Editor
    static const std::vector<GroupRow> t = {
        {"Frame14",
         {"dm_ultra", "dm_ultra", "dm_ultraplus", "dm_ultraplus", "dm_easy", "dm_highplus", "",
          "dm_ultra"}},
        {"Frame15",
         {"team_all", "team_all", "team_all", "", "team_all", "team_all", "", "team_all"}},
        {"Frame12",
         {"maxbots_std", "maxbots_std", "maxbots_many", "maxbots_many", "maxbots_std",
          "maxbots_std", "", "maxbots_std"}},
        {"Frame8",
         {"spb_off", "spb_off", "spb_off", "spb_two", "spb_off", "spb_off", "", "spb_off"}},
        {"Frame7", {"sp_one", "sp_one", "sp_one", "sp_off", "sp_two", "sp_off", "", "sp_off"}},
        {"Frame16",
         {"time_nine", "time_nine", "time_nine", "time_infinite", "time_nine", "time_infinite", "",
          "time_infinite"}},
        {"Frame10",
         {"fall_low", "fall_std", "fall_off", "fall_std", "fall_off", "fall_std", "", "fall_off"}},
        {"Frame6",
         {"wi_left", "wi_off", "wi_left", "wi_bottom", "wi_left", "wi_bottom", "", "wi_bottom"}},
    };
    return t;
}

const std::vector<CheckRow>& checkTable() {
    // clang-format off
    //   check box          Std Pure eXt High Easy Sw Dis Edit
    static const std::vector<CheckRow> t = {
        {"nuvdm",         {1, 1, 1, 1, 1, 1, 0, 1}},
        {"zorbotz",       {1, 1, 1, 1, 1, 1, 0, 1}},
        {"csdm",          {1, 1, 1, 1, 1, 0, 0, 1}},
        {"ffa",           {1, 1, 1, 1, 1, 0, 0, 1}},
        {"autostart",     {1, 1, 1, 0, 1, 1, 0, 0}},
        {"spb_extra",     {1, 1, 1, 1, 0, 1, 0, 1}},
        {"shooterb",      {1, 1, 1, 1, 0, 1, 0, 1}},
        {"norecoilb",     {0, 0, 1, 1, 0, 1, 0, 0}},
        {"inhumen",       {1, 1, 1, 1, 0, 0, 0, 1}},
        {"ammob",         {1, 1, 1, 1, 1, 1, 0, 1}},
        {"moneyhackb",    {1, 1, 1, 1, 1, 1, 0, 1}},
        {"knives_only",   {0, 0, 0, 0, 0, 0, 0, 0}},
        {"pistols",       {0, 0, 0, 0, 0, 0, 0, 0}},
        {"famasgalil",    {1, 0, 0, 0, 1, 1, 0, 0}},
        {"awp",           {0, 0, 0, 0, 1, 0, 0, 0}},
        {"intro",         {1, 1, 1, 1, 1, 1, 0, 1}},
        {"footsteps",     {0, 0, 1, 0, 1, 1, 0, 1}},
        {"hsmod",         {0, 0, 0, 1, 0, 0, 0, 0}},
        {"bhop",          {0, 0, 1, 0, 1, 0, 0, 1}},
        {"bulletdamage",  {1, 0, 1, 0, 1, 1, 0, 0}},
        {"counter",       {1, 0, 1, 0, 1, 1, 0, 0}},
        {"trans",         {0, 0, 1, 0, 1, 0, 0, 0}},
        {"kreedz",        {1, 0, 0, 0, 1, 1, 0, 0}},
        {"interp",        {1, 1, 1, 1, 0, 1, 0, 1}},
        {"ammo",          {1, 0, 1, 0, 1, 0, 0, 0}},
        {"bullets",       {0, 0, 1, 0, 1, 0, 0, 0}},
        {"showspeed",     {0, 0, 1, 0, 1, 0, 0, 1}},
        {"bulletdamage2", {0, 0, 1, 1, 1, 0, 0, 0}},
        {"rlimit",        {1, 0, 1, 0, 1, 1, 0, 0}},
        {"cross",         {0, 0, 1, 0, 1, 0, 0, 0}},
        {"xjumps",        {0, 0, 0, 0, 0, 0, 0, 0}},
        {"jump",          {0, 0, 1, 0, 0, 0, 0, 1}},
        {"plugins",       {0, 1, 0, 1, 0, 0, 0, 0}},
        {"hideradar",     {1, 1, 1, 1, 1, 0, 0, 1}},
        {"autoswitch",    {0, 1, 0, 0, 1, 0, 0, 1}},
        {"helmet",        {0, 1, 0, 0, 1, 0, 0, 1}},
        {"grenades",      {0, 0, 0, 0, 1, 0, 0, 1}},
        {"spawnedit",     {0, 0, 0, 0, 0, 0, 0, 1}},
        {"moneyhack",     {0, 0, 1, 0, 1, 0, 0, 1}},
        {"cmodels",       {0, 0, 1, 0, 1, 0, 0, 0}},
        {"vampire",       {0, 0, 1, 0, 1, 0, 0, 0}},
        {"shooter",       {0, 0, 1, 0, 0, 0, 0, 0}},
        {"norecoil",      {0, 0, 1, 0, 0, 0, 0, 0}},
        {"beta",          {0, 0, 1, 0, 0, 0, 0, 0}},
        {"xenabled",      {0, 0, 1, 0, 0, 0, 0, 0}},
    };
    // clang-format on
    return t;
}

const std::vector<std::string_view>& disabledBy(Index p) {
    static const std::vector<std::string_view> switcher = lockedPlus({"helmet", "grenades"});
    static const std::vector<std::string_view> extreme = lockedPlus(
        {"csdm",      "ffa",     "awp",           "dm_ultra",     "dm_high",   "dm_normal",
         "dm_easy",   "spb_two", "sp_two",        "fall_off",     "fall_low",  "fall_std",
         "footsteps", "ammo",    "counter",       "bulletdamage", "rlimit",    "bhop",
         "hsmod",     "bullets", "bulletdamage2", "interp",       "showspeed", "plugins",
         "jump",      "xjumps",  "kreedz",        "autoswitch",   "vampire",   "moneyhack"});
    switch (p) {
        case Switcher:
            return switcher;
        case Extreme:
            return extreme;
        default:
            return kLocked;
    }
}

void apply(Form& form, Index p) {
    form.setStatus(message(p), kBlack);

    for (const CheckRow& row : checkTable()) form.setValue(row.name, row.value[p]);
    for (const GroupRow& row : groupTable()) {
        if (row.selected[p].empty())
            form.deselectAll(row.container);
        else
            form.select(row.selected[p]);
    }

    const std::vector<std::string_view>& off = disabledBy(p);
    for (const Control& c : form.controls()) {
        if (c.kind != Kind::CheckBox && c.kind != Kind::OptionButton) continue;
        if (c.container == kPresetFrame || c.name == "xenabled") continue;
        const bool disabled =
            p == Disable || std::find(off.begin(), off.end(), c.name) != off.end();
        form.setEnabled(c.name, !disabled);
    }
    form.setVisible("knives_only", false);
    form.setVisible("intro", false);
    form.setCaptionColour("autostart", form.checked("autostart") ? kAutostartOn : kAutostartOff);

    form.select(button(p));
    skill::calc(form);
}

}  // namespace nuv::presets
