#include "writers/userconfig.h"

#include "form/form.h"
#include "writers/files.h"
#include "writers/lines.h"

namespace nuv {

namespace {

// One of two lines by a check box.
void byBox(LineWriter& w, const Form& f, const char* box, const char* on, const char* off) {
    w.plain(f.checked(box) ? on : off);
}

}  // namespace

std::string userConfigText(const Form& f, const std::filesystem::path& dir) {
    LineWriter w;
    w.plain("//--Change VALUES as you wish--//");
    w.plain("//Client settings");
    if (f.checked("autostart")) {
        w.plain("sv_autoinfo 1;                           // Intro with autostart");
        w.plain("sv_restart 1;wait9;wait9;wait9;wait9;wait9;wait9;wait9;wait9;wait9;wait9;wait9;");
    } else {
        w.plain("sv_autoinfo 0;                           // Intro without autostart");
    }
    if (f.checked("interp")) {
        w.plain("ex_interp 0;                            // CHANGES your ex_interp ONLY for NUVDM LAN GAMES");
        w.plain("dm_force_interp 1;                      // FORCES EX_INTERP 0.00");
    } else {
        w.plain("//ex_interp 0.00                         // CHANGES your ex_interp ONLY for NUV LOCAL LAN GAMES");
        w.plain("dm_force_interp 0                        // FORCES EX_INTERP 0.00");
    }
    byBox(w, f, "autoswitch",
          "_cl_autowepswitch 1;                     // @CSDM Switches automaticlly to best weapon after spawning",
          "//_cl_autowepswitch 1;                   // @CSDM Switches automaticlly to best weapon after spawning");
    w.plain("sv_maxrate 25000;wait9;                      // Change MAXRATE for YOU and THE BOTS");
    w.plain("sv_maxupdaterate 101;wait9;                  // 101 costs lots of FPS and increases interp feeling df:99");
    w.keyValue("alias dm_fs", f.checked("footsteps") ? "mp_footsteps 1" : "mp_footsteps 0");
    w.keyValue("alias dm_fs_brush", "alias dm_fs mp_footsteps 1");
    w.empty();

    w.plain("//OPTIONAL STUFF");
    byBox(w, f, "ammo", "sv_ammo 1;                               // Enables unlimited ammo",
          "sv_ammo 0;                               // Enables unlimited ammo");
    byBox(w, f, "ammob", "sv_ammo_bots 1;                          // Enables unlimited ammo for bots",
          "sv_ammo_bots 0;                          // Enables unlimited ammo for bots");
    byBox(w, f, "hsmod", "amx_hsonly 1;                            // ONLY HEADSHOTS <1|0> <on|off>",
          "amx_hsonly 0;                            // ONLY HEADSHOTS <1|0> <on|off>");
    byBox(w, f, "bullets",
          "amx_tracers 1;                           // SHOW BULLET TRACE LINES <0|1> <on|off>",
          "amx_tracers 0;                           // SHOW BULLET TRACE LINES <0|1> <on|off>");
    w.plain("amx_trace_hide_silen 1;                 // HIDE TRACE LINES FROM SILENCERS <1|0> <on|off>");
    byBox(w, f, "bulletdamage",
          "amx_bulletdamage 1;                      // SHOWS INSTANT DAMAGE YOU MADE <1|0> <on|off>",
          "amx_bulletdamage 0;                      // SHOWS INSTANT DAMAGE YOU MADE <1|0> <on|off>");
    byBox(w, f, "bulletdamage2",
          "amx_bulletdamage_recieved 1;             // SHOWS INSTANT DAMAGE YOU GET <1|0> <on|off>",
          "amx_bulletdamage_recieved 0;             // SHOWS INSTANT DAMAGE YOU GET <1|0> <on|off>");
    // Weapon icon: a group with no selection writes nothing.
    {
        const char* enabler1 = "sv_HUDWI_enabler 1;                      // Enables Ingame HUD WEAPON ICON";
        const char* enabler0 = "sv_HUDWI_enabler 0;                      // Enables Ingame HUD WEAPON ICON";
        const char* loc2 = "amx_weapon_location 2;                   // <2|1> <between clock and ammo|left>";
        const char* loc1 = "amx_weapon_location 1;                   // <2|1> <between clock and ammo|left>";
        if (f.selected("wi_bottom")) w.plain(enabler1).plain(loc2);
        if (f.selected("wi_left")) w.plain(enabler1).plain(loc1);
        if (f.selected("wi_off")) w.plain(enabler0).plain(loc2);
    }
    if (f.selected("sp_off")) w.plain("sv_sptime 0;                             // <0.1-9> <Spawnprotection time USERS>");
    if (f.selected("sp_one")) w.plain("sv_sptime 1;                             // <0.1-9> <Spawnprotection time USERS>");
    if (f.selected("sp_two")) w.plain("sv_sptime 2;                             // <0.1-9> <Spawnprotection time USERS>");
    if (f.selected("spb_off")) w.plain("sv_spbots 0;                             // <0.1-9> <Spawnprotection time BOTS>");
    if (f.selected("spb_one")) w.plain("sv_spbots 1;                             // <0.1-9> <Spawnprotection time BOTS>");
    if (f.selected("spb_two")) w.plain("sv_spbots 2;                             // <0.1-9> <Spawnprotection time BOTS>");
    if (f.checked("spb_extra")) {
        w.keyValue("alias sp_SPextra", "sv_spbots 2.75");
        w.keyValue("alias dm_count3_sp", "sv_sptime 3");
    } else {
        w.keyValue("alias sp_SPextra", "sv_spbots 0");
        w.keyValue("alias dm_count3_sp", "sv_sptime 0");
    }
    byBox(w, f, "intro", "sv_intro 1;                              // enables connect message",
          "sv_intro 0;                              // enables connect message");
    byBox(w, f, "showspeed",
          "sv_showspeed 1;                          // Shows speedmeter <1|0> for movement and fall speed",
          "sv_showspeed 0;                          // Shows speedmeter <1|0> for movement and fall speed");
    byBox(w, f, "counter", "sv_fragcounter 1;                        // Shows a frag streak counter <1|0>",
          "sv_fragcounter 0;                        // Shows a frag streak counter <1|0>");
    byBox(w, f, "trans",
          "dm_trans 1;                              // Transparent weaponmodels <0|1> (like r_drawviewmodel)",
          "dm_trans 0;                              // Transparent weaponmodels <0|1> (like r_drawviewmodel)");
    byBox(w, f, "cross", "dm_cross 1;                              // No zoom crosshairs for AWP/SCOUT <0|1>",
          "dm_cross 0;                              // No zoom crosshairs for AWP/SCOUT <0|1>");
    w.empty();

    w.plain("//BOT STUFF");
    {
        static const char* const keys[6] = {"alias pb_count1", "alias pb_count5", "alias pb_count2",
                                            "alias pb_count6", "alias pb_count3", "alias pb_count4"};
        static const int few[6] = {8, 6, 6, 4, 4, 4};
        static const int standard[6] = {12, 10, 8, 6, 6, 4};
        static const int many[6] = {20, 16, 12, 11, 11, 4};
        const int* counts = f.selected("maxbots_few")    ? few
                            : f.selected("maxbots_std")  ? standard
                            : f.selected("maxbots_many") ? many
                                                         : nullptr;
        if (counts)
            for (int i = 0; i < 6; ++i)
                w.keyValue(keys[i], "pb_maxbots " + std::to_string(counts[i]));
    }
    w.empty();

    w.plain("//Extra Serversettings");
    if (f.selected("time_nine")) w.keyValue("alias dm_time", "mp_timelimit 9");
    if (f.selected("time_fifteen")) w.keyValue("alias dm_time", "mp_timelimit 15");
    if (f.selected("time_infinite")) w.keyValue("alias dm_time", "mp_timelimit 0");
    w.plain("dm_time                                      // Sets time to predefined value");
    w.plain("sv_spshellthick 100;                         // <0-100> <Spawnprotection Glowthickness>");
    w.plain("my_accelerate 0;                             // overrides sv_accelerate [1.6=10|beta=100]");
    w.plain("my_stopspeed 0;                              // default:0 (beta=100)");
    w.plain("my_friction 0;                               // overrides sv_stopspeed [1.6=0|beta=4]");
    if (f.selected("fall_off")) w.plain("my_falldamage 0;                                 // -1 = off // else <1-100> max damage");
    if (f.selected("fall_low")) w.plain("my_falldamage 10;                                // -1 = off // else <1-100> max damage");
    if (f.selected("fall_std")) w.plain("my_falldamage -1;                                // -1 = off // else <1-100> max damage");
    w.plain("my_safefallspeed 580;                        // fallheight you don't get damage");
    w.plain("my_raisedamage 5;                            // fallspeed damage default=5");
    w.plain("my_saferaisespeed 275;                       // fallspeed you don't get damage default=275");
    w.plain("my_fallimpulse 10;                           // <0-10> damages player fallen on times X - default:0");
    w.plain("my_maxspeed -1;                              // cs1.6=-1 // beta=~400 // (max=~1000)");
    byBox(w, f, "jump", "bhop_style 2;                                    // <0|1|2 > 0=1.6 // 1=1.5 // 2=beta",
          "bhop_style 0;                                    // <0|1|2 > 0=1.6 // 1=1.5 // 2=beta");
    byBox(w, f, "bhop", "bhop_auto 1;                             // Automatic jumpscript <1|0>",
          "bhop_auto 0;                             // Automatic jumpscript <1|0>");
    byBox(w, f, "rlimit", "amx_maxmoney 1000000;                    // Set maximum amount of money df: 16.000$",
          "amx_maxmoney 16000;                      // Set maximum amount of money df: 16.000$");
    w.empty();

    byBox(w, f, "knives_only", "pb_jasonmode 1;                          // <1|0> knives only for bots(free frags)",
          "pb_jasonmode 0;                          // <1|0> knives only for bots(free frags)");
    if (f.selected("team_all")) w.plain("pb_bot_join_team ALL;                    // Force Team for bots <ALL|CT|T>");
    if (f.selected("team_ct")) w.plain("pb_bot_join_team CT;                     // Force Team for bots <ALL|CT|T>");
    if (f.selected("team_t")) w.plain("pb_bot_join_team T;                      // Force Team for bots <ALL|CT|T>");
    byBox(w, f, "moneyhack", "sv_money 1;                              // Gives everybody 16k every round (after freezetime)",
          "sv_money 0;                              // Gives everybody 16k every round (after freezetime)");
    byBox(w, f, "kreedz",
          "exec addons/nuv/kz.cfg;                  // Enables kreedzsupport (say /checkpoint / say /gocheck, +hook, ...)",
          "//exec addons/nuv/kz.cfg;                // Enables kreedzsupport (say /checkpoint / say /gocheck, +hook, ...)");
    byBox(w, f, "xjumps", "kz_legal_settings 1;                     // Force legel Kreedz settings",
          "kz_legal_settings 0;                     // Force legel Kreedz settings");
    byBox(w, f, "shooter", "amx_shot_user 1;                         // Enables Instagib e[X]treme edition",
          "amx_shot_user 0;                         // Enables Instagib e[X]treme edition");
    w.plain("amx_recoil_all 0;                       // Needs to be 0 for the plugin to work");
    if (f.checked("norecoil")) {
        w.plain("sv_NoRecoil 1;                           // Unlocks norecoild for everybody");
        w.plain("amx_recoil_mode 2;                       // Enables norecoil");
    } else if (f.checked("norecoilb")) {
        w.plain("amx_recoil_mode 2;                       // <0|2> 2 turn on NoRecoil for Bots");
    } else {
        w.plain(";sv_NoRecoil 1;                          // Unlocks norecoild for everybody");
        w.plain("amx_recoil_mode 0;                       // <0|2> 2 turn on NoRecoil for Bots");
    }
    byBox(w, f, "beta", "exec addons/nuv/dm_beta.cfg;             // Enables e[X]treme edition",
          "//exec addons/nuv/dm_beta.cfg;           // Enables e[X]treme edition");
    if (f.checked("vampire")) {
        w.plain("amx_vampire_max_hp 100                   // Min HP/AP after frag");
        w.plain("amx_vampire_hp_hs 7                      // After headshot: +HP/AP if HP is higher then MIN HP/AP");
        w.plain("amx_vampire_hp 5                         // After frag: +HP/AP if HP is higher then MIN HP/AP");
    } else {
        w.plain("amx_vampire_max_hp -1                    // Vampire plugin deactivated");
        w.plain("amx_vampire_hp_hs 0                      // Vampire plugin deactivated");
        w.plain("amx_vampire_hp 0                         // Vampire plugin deactivated");
    }
    {
        const bool famas = f.checked("famasgalil"), awp = f.checked("awp");
        const char* restr = f.checked("pistols")  ? "00001111111111111111111111"
                            : famas && awp        ? "00001111111111010001101111"
                            : famas               ? "00001111111111010001111111"
                            : awp                 ? "00001111111111010111101111"
                                                  : "00001111111111010111111111";
        w.keyValue("pb_restrweapons", restr);
    }
    w.keyValue("pb_restrequipammo", "001110100");
    if (f.checked("autostart")) {
        const char* skill = nullptr;
        if (f.selected("dm_ultraplus") || f.selected("dm_ultra"))
            skill = "exec addons/nuv/dm_1.cfg;                // Skillconfig";
        else if (f.selected("dm_highplus") || f.selected("dm_high") || f.selected("dm_free"))
            skill = "exec addons/nuv/dm_2.cfg;                // Skillconfig";
        else if (f.selected("dm_normalplus") || f.selected("dm_normal"))
            skill = "exec addons/nuv/dm_3.cfg;                // Skillconfig";
        else if (f.selected("dm_easy"))
            skill = "exec addons/nuv/dm_4.cfg;                // Skillconfig";
        if (skill) w.plain(skill);
    } else {
        w.plain("//exec addons/nuv/dm_X.cfg;                  // Skillconfig ");
    }
    if (f.selected("medit")) {
        w.keyValue("bind mouse5", "pb wpmenu                            // Set mouse5 Waypointmenu");
        w.plain("bind mouse4 edit_spawns                      // Set mouse4 CSDM spawn_editor");
        w.plain("bind mouse3 walkguardmenu                    // Set mouse3 to the walkguardmenu Cfg menu");
    } else {
        w.plain(std::string("//bind mouse5") + kKeyValueGap +
                "\"pb wpmenu\",                                    // Set mouse2 Waypointmenu");
        w.plain("//bind mouse4 edit_spawns                      // Set mouse4 CSDM spawn_editor");
        w.plain("//bind mouse3 walkguardmenu                    // Set mouse3 to the walkguardmenu Cfg menu");
    }
    w.empty().empty();
    w.footer(" @ " + fullPath(dir, "dm_userconfig.cfg"));
    return w.text();
}

}  // namespace nuv
