// csdm.cfg and plugins.ini. Both are rewritten whole from the window on every
// Save that reaches them.
#include "writers/csdm_files.h"

#include <string_view>
#include <vector>

#include "form/form.h"
#include "writers/lines.h"

namespace nuv {

const char* const kKreedzUrl = "kreedz.example.net";

namespace {

const char* const kCsdmFile = "addons\\amxmodx\\configs\\csdm.cfg";
const char* const kPluginFile = "addons\\amxmodx\\configs\\plugins.ini";

// Comments of the detailed plugin list start in this column (1-based), those
// of the full list in the other.
constexpr std::size_t kDetailedColumn = 38;
constexpr std::size_t kFullColumn = 34;

bool on(const Form& f, std::string_view n) {
    return f.checked(n);
}
bool sel(const Form& f, std::string_view n) {
    return f.selected(n);
}

void lines(LineWriter& w, std::initializer_list<std::string_view> texts) {
    for (std::string_view t : texts) w.plain(t);
}

// name, then blanks so that the comment starts in column; at least one blank.
std::string padded(std::string_view name, std::size_t column, std::string_view comment) {
    std::string s(name);
    s.append(s.size() + 1 < column ? column - 1 - s.size() : 1, ' ');
    s.append(comment);
    return s;
}

std::string kreedzTimerComment() {
    return std::string("KZ_2 --KREEDZ SUPPORT BY ") + kKreedzUrl + "--";
}

// --- detailed list ----------------------------------------------------------

// A plugin line of the detailed list: on as "file   comment", off with a
// leading ";" and the comment in the same column.
struct PluginLine {
    bool (*wanted)(const Form&);  // null: always on
    std::string_view file;
    std::string_view comment;
};

bool spawnProtectionOn(const Form& f) {
    return !(sel(f, "sp_off") && sel(f, "spb_off") && !on(f, "spb_extra"));
}

bool kreedzOn(const Form& f) {
    return on(f, "kreedz") || on(f, "xjumps");
}

// Rows before the physics line.
const PluginLine kDetailedHead[] = {
    {[](const Form& f) { return !sel(f, "wi_off"); }, "weapon_icon_ZRE3.amxx",
     "HUD-WEAPONICON (ZORED) [v2.0]"},
    {[](const Form& f) { return on(f, "bulletdamage") || on(f, "bulletdamage2"); },
     "bullet_damage_re_ZRE.amxx", "SHOWS INSTANT BULLET DAMGE MADE (ZORED) [V2.0]"},
    {[](const Form& f) { return on(f, "counter"); }, "fragcounter_ZRE.amxx",
     "FRAGOUNTER (ZORED) [v2.0]"},
    {[](const Form& f) { return on(f, "ammo") || on(f, "ammob"); }, "Unlimited_Clip_Ammo_ZRE.amxx",
     "UNLIMITED AMMO (ZORED) [v3.0]"},
    {[](const Form& f) { return on(f, "shooterb") || on(f, "shooter"); }, "shotadmin_ZRE2.amxx",
     "BOTS HITTER MODIFIER"},
    {[](const Form& f) { return on(f, "zorbotz"); }, "pb_weap_restr_ffa.amxx",
     "WEAPONRESTRICTION(BOTS)"},
    {[](const Form& f) { return on(f, "zorbotz"); }, "amxx_podbotmenu.amxx", "BOTS"},
    {[](const Form& f) { return on(f, "intro"); }, "best_headshot_zre.amxx",
     "END-HEADSHOTCOUNTER (ZORED)"},
    {spawnProtectionOn, "SpawnprotetionZRE_70.amxx", "NEW SPAWNPROTECTION (kestrel/ZORED)[v3.7.0]"},
    {[](const Form& f) { return on(f, "rlimit"); }, "unlimited_money_ZRE.amxx",
     "16.000$ -> 99.999$"},
    {nullptr, "maphandler06.amxx", "AUTO MAPSETTINGS"},
    {nullptr, "admin.amxx", "NEEDED FOR AUTO CFGs"},
    {nullptr, "pausecfg.amxx", "PAUSE/UNPAUSE PLUGINS"},
    {[](const Form& f) { return on(f, "hsmod"); }, "hsonlyZRE.amxx",
     "HEADSHOTS ONLY (ZORED) [v2.0]"},
    {[](const Form& f) { return on(f, "bhop"); }, "amx_bhop.amxx", "ENABLES OPTIONAL BUNNYHOP"},
};

const char* const kPhysicsFile = "myphysics.amxx";
const char* const kPhysicsComment = "CHANGES CS PHYSICS (MOVEMENT SPEED, JUMPBLOCK, AIRMOVE,...)";

// Rows after the physics line, up to the kreedz plugins.
const PluginLine kDetailedMiddle[] = {
    {[](const Form& f) { return on(f, "showspeed"); }, "speedometer_ZRE.amxx",
     "SHOWS MOVEMENT SPEED (ZOREDIT)"},
    {[](const Form& f) { return on(f, "bullets"); }, "advanced_weapon_tracers.amxx",
     "SHOWS BULLET TRACE LINES"},
    {[](const Form& f) { return on(f, "norecoilb") || on(f, "norecoil"); },
     "recoil_control_zre.amxx", "TURNS OFF RECOIL"},
    {[](const Form& f) { return on(f, "trans") || on(f, "cross"); },
     "GHW_Weapon_Replacement_ZRE2.amxx", "ENABLES TRANSPARENT WEAPONS"},
    {nullptr, "NUVDM_hack.amxx", "MONEY HACK, GIVE WEAPON HACK, FORCE EX_INTERP"},
};

// The kreedz plugins share one condition; the timer's comment is built.
const PluginLine kDetailedTail[] = {
    {nullptr, "walkguard.amxx", "Brush Map support"},
    {[](const Form& f) { return on(f, "spawnedit"); }, "spawn_editor.amxx", "CSDM SPAWN EDITOR"},
    {[](const Form& f) { return on(f, "vampire"); }, "vampire_zre.amxx", "GAIN HP FOR FRAGS"},
};

void detailedLine(LineWriter& w, bool wanted, std::string_view file, std::string_view comment) {
    if (wanted) {
        w.plain(padded(file, kDetailedColumn, comment));
        return;
    }
    std::string commented(1, ';');
    commented.append(file);
    w.plain(padded(commented, kDetailedColumn, comment));
}

void detailedRows(LineWriter& w, const Form& f, const PluginLine* begin, const PluginLine* end) {
    for (const PluginLine* r = begin; r != end; ++r)
        detailedLine(w, r->wanted == nullptr || r->wanted(f), r->file, r->comment);
}

void detailedList(LineWriter& w, const Form& f) {
    detailedRows(w, f, std::begin(kDetailedHead), std::end(kDetailedHead));
    // The physics plugin: column 38 when it is wanted for speed or jumps,
    // otherwise column 34, switched off only with no falling damage.
    if (on(f, "beta") || on(f, "jump"))
        w.plain(padded(kPhysicsFile, kDetailedColumn, kPhysicsComment));
    else if (sel(f, "fall_off"))
        w.plain(padded(std::string(";") + kPhysicsFile, kFullColumn, kPhysicsComment));
    else
        w.plain(padded(kPhysicsFile, kFullColumn, kPhysicsComment));
    detailedRows(w, f, std::begin(kDetailedMiddle), std::end(kDetailedMiddle));
    const bool kz = kreedzOn(f);
    detailedLine(w, kz, "kz_ljs_xm.amxx", "KZ_1 -------------------------------------");
    detailedLine(w, kz, "xj_timer.amxx", kreedzTimerComment());
    detailedLine(w, kz, "xtreme-jumps.amxx", "KZ_3 -------------------------------------");
    detailedRows(w, f, std::begin(kDetailedTail), std::end(kDetailedTail));
}

// --- full list ----------------------------------------------------------------

void fullList(LineWriter& w, const Form& f) {
    lines(w, {
                 "weapon_icon_ZRE3.amxx            HUD-WEAPONICON (ZORED) [v2.0]",
                 "bullet_damage_re_ZRE.amxx        SHOWS INSTANT BULLET DAMGE MADE (ZORED) [V2.0]",
                 "fragcounter_ZRE.amxx             FRAGOUNTER (ZORED) [v2.0]",
                 "pb_weap_restr_ffa.amxx           WEAPONRESTRICTION(BOTS)",
                 "Unlimited_Clip_Ammo_ZRE.amxx     UNLIMITED AMMO (ZORED) [v3.0]",
                 "shotadmin_ZRE2.amxx              BOTS HITTER MODIFIER",
                 "amxx_podbotmenu.amxx             BOTS",
                 "best_headshot_zre.amxx           END-HEADSHOTCOUNTER (ZORED)",
                 "SpawnprotetionZRE_70.amxx        NEW SPAWNPROTECTION (kestrel/ZORED)[v3.0]",
                 "unlimited_money_ZRE.amxx         16.000$ -> 99.999$",
                 "maphandler06.amxx                AUTO MAPSETTINGS",
                 "admin.amxx                       NEEDED FOR AUTO CFGs",
                 "pausecfg.amxx                    PAUSE/UNPAUSE PLUGINS",
                 "hsonlyZRE.amxx                   HEADSHOTS ONLY (ZORED) [v2.0]",
                 "amx_bhop.amxx                    ENABLES OPTIONAL BUNNYHOP",
             });
    w.plain(padded(kPhysicsFile, kFullColumn, kPhysicsComment));
    lines(w, {
                 "speedometer_ZRE.amxx             SHOWS MOVEMENT SPEED (ZOREDIT)",
                 "advanced_weapon_tracers.amxx     SHOWS BULLET TRACE LINES",
                 "recoil_control_zre.amxx          TURNS OFF RECOIL",
                 "GHW_Weapon_Replacement_ZRE2.amxx ENABLES TRANSPARENT WEAPONS",
                 "NUVDM_hack.amxx                  MONEY HACK, GIVE WEAPON HACK, FORCE EX_INTERP",
                 "kz_ljs_xm.amxx                   KZ_1 -------------------------------------",
             });
    w.plain(padded("xj_timer.amxx", kFullColumn, kreedzTimerComment()));
    lines(w, {
                 "xtreme-jumps.amxx                KZ_3 -------------------------------------",
                 "walkguard.amxx                   Brush Map support",
             });
    w.plain(on(f, "spawnedit") ? "spawn_editor.amxx                CSDM SPAWN EDITOR"
                               : ";spawn_editor.amxx               CSDM SPAWN EDITOR");
    // These two stand a few columns further right.
    w.plain("vampire_zre.amxx                  GAIN HP FOR FRAGS");
    w.plain(on(f, "cmodels")
                ? "players_models.amxx                     ACTIVATES RED(T)/BLUE(CT) MODELSWITCHER"
                : ";players_models.amxx                     ACTIVATES RED(T)/BLUE(CT) "
                  "MODELSWITCHER");
}

}  // namespace

std::string csdmSettingsText(const Form& f) {
    LineWriter w;
    w.plain("[settings]");
    w.plain(on(f, "csdm") ? "enabled = 1" : "enabled = 0");
    lines(w, {"strip_weapons = 1", "weapons_stay = 5", "spawnmode = preset", "remove_bomb = 1",
              "spawn_wait_time = 0.2"});
    w.plain("[ffa]");
    w.plain(on(f, "ffa") ? "enabled = 1" : "enabled = 0");
    w.plain(on(f, "hideradar") ? "radar_disable = 1" : "radar_disable = 0");
    lines(w, {"[misc]", "remove_objectives = bcd", "block_buy = 1", "ammo_refill = 1",
              "spawn_radio_msg = 0"});
    lines(w, {"[stripper]", "enabled = 0", "class = player_weaponstrip"});
    lines(w,
          {"[ticketing]", "enabled = 0", "tickets = 10", "show_state = 1", "ticketing_player = 0"});
    lines(w, {"[protection]", "enabled = 0", "colorst = 255", "colorsct = 0", "time = 1"});
    lines(w, {"[equip]", "menus = ps"});
    const bool helmet = on(f, "helmet");
    const bool grenades = on(f, "grenades");
    w.plain(helmet && grenades ? "autoitems = ahg"
            : helmet           ? "autoitems = ah"
            : grenades         ? "autoitems = ag"
                               : "autoitems = a");
    lines(w, {"grenades = hfs", "fnadesnum = 2", "always_allow_gunmenu = 1"});
    lines(w, {"[secondary]", "usp USP 1", "glock18 Glock 1", "deagle Deagle 1", "p228 P228 1",
              "elite Elite 1", "fiveseven Five-Seven 1"});
    lines(w, {"[primary]", "m4a1 M4A1 1", "ak47 AK47 1", "aug AUG 1", "sg552 SG552 1",
              "galil Galil 1", "famas Famas 1", "scout Scout 1", "awp AWP 1", "sg550 SG550 1",
              "m249 M249 1", "g3sg1 G3SG1 1", "ump45 UMP-45 1", "mp5navy MP5-Navy 1", "m3 M3 1",
              "xm1014 XM1014 1", "tmp TMP 1", "mac10 Mac-10 1", "p90 P90 1"});
    lines(w, {"[botsecondary]", "deagle", "usp"});
    w.plain("[botprimary]");
    if (!on(f, "pistols")) {
        lines(w, {"ak47", "m4a1"});
        if (on(f, "awp")) w.plain("awp ");
        if (on(f, "famasgalil")) lines(w, {"famas", "galil"});
    }
    lines(w, {"[items]", "enabled = 0", "drop_packs = 1", "battery = 5", "medkit = 5",
              "item_time = 10", "drop_time = 10"});
    w.plain("[item_restrictions]");
    w.plain(grenades ? "//hegrenade" : "hegrenade");
    return w.text();
}

std::string pluginListText(const Form& f) {
    LineWriter w;
    if (on(f, "plugins"))
        detailedList(w, f);
    else
        fullList(w, f);
    w.footer();
    return w.text();
}

bool writeCsdmFiles(const Form& form, const std::filesystem::path& dir, WriteError& error) {
    return writeTextFile(modFile(dir, kCsdmFile), csdmSettingsText(form), error) &&
           writeTextFile(modFile(dir, kPluginFile), pluginListText(form), error);
}

}  // namespace nuv
