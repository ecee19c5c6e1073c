// The control table of the window, in its start-up state.
#include "form/controls.h"

namespace nuv {

const char* const kStartupStatus =
    "This field will show you status messages, basic errors messages and further information "
    "of the loading status of NUV MOD.\r\n"
    "You should use the \"Predefined NUVDM Settings\" for setting up your game.\r\n"
    "You can afterwards make personal custom changes\r\n";

namespace {

const Font kSans{"MS Sans Serif", 8.25, false};
const Font kVerdana{"Verdana", 8.25, false};
const Font kSmallUnderlined{"Verdana", 6.75, true};

Control make(Kind kind, const char* name, const char* container, const char* caption, Place place,
             const Font& font = kSans) {
    Control c;
    c.name = name;
    c.kind = kind;
    c.container = container;
    c.caption = caption;
    c.place = place;
    c.font = font;
    c.clickable = kind == Kind::CheckBox || kind == Kind::OptionButton || kind == Kind::Button;
    return c;
}

Control frame(const char* name, const char* container, const char* caption, Place place) {
    return make(Kind::Frame, name, container, caption, place);
}

Control label(const char* name, const char* container, const char* caption, Place place,
              const Font& font = kSans) {
    return make(Kind::Label, name, container, caption, place, font);
}

struct Start {
    int value = 0;
    bool enabled = true;
    bool visible = true;
};
constexpr Start kOff{0, true, true};
constexpr Start kOn{1, true, true};
constexpr Start kOnLocked{1, false, true};
constexpr Start kOffLocked{0, false, true};

Control check(const char* name, const char* container, const char* caption, Place place,
              Start start, const Font& font = kSans) {
    Control c = make(Kind::CheckBox, name, container, caption, place, font);
    c.value = start.value;
    c.enabled = start.enabled;
    c.visible = start.visible;
    return c;
}

Control option(const char* name, const char* container, const char* caption, Place place,
               Start start = kOff, const Font& font = kSans) {
    Control c = check(name, container, caption, place, start, font);
    c.kind = Kind::OptionButton;
    return c;
}

Control picture(const char* name, const char* shows, Place place, bool clickable = false) {
    Control c = make(Kind::Picture, name, "Form1", shows, place);
    c.clickable = clickable;
    return c;
}

}  // namespace

std::vector<Control> startupControls() {
    std::vector<Control> t;
    t.reserve(130);

    Control window = make(Kind::Window, "Form1", "", kWindowCaption,
                          {0, 0, kClientWidth, kClientHeight}, kVerdana);
    t.push_back(window);

    // Top right, "Main" row.
    t.push_back(frame("Frame2", "Form1", "Main", {6480, 0, 6735, 855}));
    t.push_back(check("nuvdm", "Frame2", "NUV MOD", {240, 360, 1095, 255}, kOnLocked));
    t.push_back(check("zorbotz", "Frame2", "ZorBOTz", {1440, 240, 1095, 495}, kOnLocked));
    Control save = make(Kind::Button, "btn_save", "Frame2", "SAVE SETTINGS",
                        {2520, 120, 1695, 615}, Font{"Comic Sans MS", 8.25, false});
    save.backColour = 0x00E0E0E0;
    t.push_back(save);
    t.push_back(check("csdm", "Frame2", "CSDM", {4440, 240, 855, 495}, kOn));
    t.push_back(check("ffa", "Frame2", "FFA", {5520, 360, 855, 255}, kOn));

    // Preset group.
    t.push_back(frame("Frame3", "Form1", "Predefined (NUVDM Settings)", {6480, 960, 6735, 2655}));
    t.push_back(option("medit", "Frame3", "Spawn(/WP) editor", {240, 2280, 1935, 195}, kOff,
                       kVerdana));
    t.push_back(option("nuvdm_easy", "Frame3",
                       "[Easy skill rating]: CSDM     + ZorBOTz, +everything usefull",
                       {240, 1320, 6375, 255}));
    t.push_back(option("nuvdm_high", "Frame3",
                       "[High skill rating]: CSDM     + ZorBOTz,  -anything usefull ",
                       {240, 1080, 6375, 255}));
    t.push_back(option("nuvdm_std", "Frame3",
                       "[Standard]:          CSDM     + ZorBOTz,   Fragcounter, Unlimited ammo, ...",
                       {240, 360, 6375, 255}, kOn));
    t.push_back(option("nuvdm_custom", "Frame3", "NUVDM Custom settings", {2280, 2280, 2055, 255},
                       kOffLocked));
    t.push_back(option("nuvdm_disable", "Frame3", "Disable NUVDM", {5040, 2280, 1455, 195}));
    t.push_back(option(
        "nuvdm_x", "Frame3",
        "[eXtreme MOD]:  CSDM     + ZorBOTz,   Auto HS, NoRecoil, Faster, DM-Sounds, ...",
        {240, 1680, 6375, 255}));
    t.push_back(option("nuvdm_switcher", "Frame3",
                       "[SWITCHER]:     No CSDM, ZorBOTz,   Fragcounter, Shows bulletdamage, ...",
                       {240, 600, 5895, 255}));
    t.push_back(option("nuvdm_pure", "Frame3", "[Pure]:                 CSDM     + ZorBOTz.",
                       {240, 840, 5295, 255}));
    t.push_back(label("Label3", "Frame3",
                      " (This is a mixture of Beta Counter-Strike, UT-Instagib, and Quake3's CPMA)",
                      {480, 1920, 6135, 255}));

    // Bot area.
    t.push_back(frame("Frame5", "Form1", "ZorBOTz:", {6480, 3720, 6735, 3975}));
    t.push_back(frame("Frame14", "Frame5", "Skill configuration", {120, 240, 3975, 2295}));
    t.push_back(option("dm_ultraplus", "Frame14", "DM1+: Godlike", {120, 360, 1935, 195}));
    t.push_back(
        option("dm_ultra", "Frame14", "DM1  : Ultra Edition", {120, 600, 1695, 195}, kOn));
    t.push_back(option("dm_highplus", "Frame14", "DM2+: Very high", {120, 840, 1575, 195}));
    t.push_back(option("dm_high", "Frame14", "DM2  : High skilled", {120, 1080, 1695, 195}));
    t.push_back(option("dm_normalplus", "Frame14", "DM3+: Kinda High", {120, 1320, 1695, 195}));
    t.push_back(option("dm_normal", "Frame14", "DM3  : Normal", {120, 1560, 1455, 195}));
    t.push_back(option("dm_easy", "Frame14", "DM4  : Easy", {120, 1800, 1575, 195}));
    t.push_back(option("dm_free", "Frame14", "DM5  : Free frags", {2160, 360, 1575, 195}));
    Control knives = check("knives_only", "Frame14", "Knives only", {2160, 600, 1455, 195},
                           Start{0, true, false}, kSmallUnderlined);
    t.push_back(knives);
    t.push_back(label("Label2", "Frame14", "( Knives only )", {2400, 600, 1215, 255}));
    t.push_back(check("pistols", "Frame14", "Pistols only", {2160, 840, 1695, 195}, kOff));
    t.push_back(check("famasgalil", "Frame14", "Famas / Galil", {2160, 1080, 1695, 195}, kOn));
    t.push_back(check("awp", "Frame14", "AWP", {2160, 1320, 1695, 195}, kOff));
    t.push_back(frame("Frame18", "Frame14", "", {2160, 1560, 1695, 615}));
    t.push_back(label("LabelS", "Frame18", "Skill rating:", {90, 240, 1005, 255}, kVerdana));
    Control rating = label("skillrating", "Frame18", "140", {1080, 240, 495, 255}, kVerdana);
    rating.centred = true;
    t.push_back(rating);
    t.push_back(frame("Frame4", "Frame5", "Extra settings:", {4200, 240, 2415, 2895}));
    Control autostart = check("autostart", "Frame4", "Start NUVDM    automatically ",
                              {240, 240, 1575, 375}, kOn, kVerdana);
    autostart.captionColour = 0x00008000;
    t.push_back(autostart);
    t.push_back(check("spb_extra", "Frame4", "@Small maps: Extra Spawn Protection time",
                      {240, 720, 2055, 435}, kOn));
    t.push_back(frame("Frame13", "Frame4", "Forced:", {120, 1200, 2175, 1575}));
    t.push_back(check("shooterb", "Frame4", "HS only ", {240, 1560, 1455, 195}, kOnLocked));
    t.push_back(check("norecoilb", "Frame4", "NoRecoil", {240, 1800, 1575, 195}, kOffLocked));
    t.push_back(check("inhumen", "Frame4", "Inhumen sens", {240, 2040, 1575, 195}, kOnLocked));
    t.push_back(check("ammob", "Frame4", "Unlimited ammo", {240, 2280, 1575, 195}, kOnLocked));
    t.push_back(check("moneyhackb", "Frame4", "Money hack", {240, 2520, 1455, 195}, kOnLocked));
    t.push_back(frame("Frame15", "Frame5", "Bot team selection:", {120, 2520, 3975, 615}));
    t.push_back(option("team_all", "Frame15", "All", {240, 240, 855, 315}, kOn));
    t.push_back(option("team_ct", "Frame15", "CTs only", {1320, 240, 975, 315}));
    t.push_back(option("team_t", "Frame15", "Ts only", {2760, 240, 855, 315}));
    t.push_back(frame("Frame12", "Frame5", "Maxbots:", {120, 3120, 3975, 735}));
    t.push_back(option("maxbots_few", "Frame12", "Few", {240, 240, 615, 375}));
    t.push_back(option("maxbots_std", "Frame12", "Standard", {1440, 240, 975, 375}, kOn));
    t.push_back(option("maxbots_many", "Frame12", "Many", {2880, 240, 855, 375}));
    t.push_back(
        frame("Frame8", "Frame5", "Spawnprotection Time (Bots):", {4200, 3120, 2415, 735}));
    t.push_back(option("spb_off", "Frame8", "Off", {120, 240, 615, 375}, kOn));
    t.push_back(option("spb_one", "Frame8", "1 Sec", {720, 240, 735, 375}));
    t.push_back(option("spb_two", "Frame8", "2 Sec", {1560, 240, 735, 375}));

    // Settings area.
    t.push_back(frame("Frame1", "Form1", "Settings", {120, 960, 6255, 6735}));
    t.push_back(check("footsteps", "Form1", "Footsteps ", {360, 1320, 1335, 255}, kOff));
    t.push_back(check("ammo", "Form1", "Unlimited ammo", {360, 1560, 1575, 255}, kOn));
    t.push_back(check("counter", "Form1", "Show Frag Streak Counter", {360, 1800, 2415, 255}, kOn));
    t.push_back(check("bulletdamage", "Form1", "Show bulletdamage", {360, 2040, 1935, 255}, kOn));
    t.push_back(check("rlimit", "Form1", "Remove 16.000$ limit", {360, 2280, 1935, 255}, kOn));
    t.push_back(
        check("trans", "Form1", "Transparent weaponmodels ", {360, 2520, 2280, 255}, kOff));
    t.push_back(check("bhop", "Form1", "Auto BHOP script ", {360, 2760, 1935, 255}, kOff));
    t.push_back(check("hsmod", "Form1", "Headshot only MOD", {3360, 1560, 1815, 255}, kOff));
    t.push_back(check("bullets", "Form1", "Show bullets flying", {3360, 1800, 1695, 255}, kOff));
    t.push_back(check("bulletdamage2", "Form1", "Show bulletdamage recieved",
                      {3360, 2040, 2415, 255}, kOff));
    t.push_back(
        check("interp", "Form1", "Force ex_interp 0 / 0.01", {3360, 2280, 2295, 255}, kOn));
    t.push_back(check("cross", "Form1", "Noscope crosshair (AWP/SCOUT)", {3360, 2520, 2775, 195},
                      kOff));
    t.push_back(
        check("showspeed", "Form1", "Show movement/jump speed", {3360, 3000, 2535, 195}, kOff));
    t.push_back(check("intro", "Form1", "Show  Intro/Outro Msg", {3360, 3240, 2055, 180},
                      Start{1, true, false}, kSmallUnderlined));
    t.push_back(check("plugins", "Frame1", "Deactivate not used Plugins", {3240, 360, 2895, 255},
                      kOff, kVerdana));
    t.push_back(check("jump", "Frame1", "Remove jump slowdown", {3240, 1800, 2535, 195}, kOff,
                      kVerdana));
    t.push_back(check("kreedz", "Frame1", "Enable Kreedz support ", {240, 2040, 2175, 195}, kOn));
    t.push_back(check("xjumps", "Frame1", "Kreedz community settings",
                      {240, 2280, 2655, 195}, kOff));
    t.push_back(frame("Frame17", "Frame1", "CSDM Settings", {120, 2520, 6015, 1095}));
    t.push_back(
        check("autoswitch", "Frame17", "_cl_autowepswitch \"1\"", {120, 240, 2415, 195}, kOff));
    t.push_back(check("hideradar", "Frame17", "Hide Radar", {120, 480, 2415, 255}, kOnLocked));
    t.push_back(check("spawnedit", "Frame17", "Enable Spawn-Editor", {120, 720, 2415, 255}, kOff,
                      kVerdana));
    t.push_back(check("helmet", "Frame17", "Helmet", {3120, 240, 2295, 195}, kOff));
    t.push_back(
        check("grenades", "Frame17", "Grenades (HE, 2xFB, SG)", {3120, 480, 2295, 255}, kOff));
    t.push_back(check("xenabled", "Frame17", "x MOD enabled", {3120, 720, 2295, 315},
                      Start{0, false, false}, kSmallUnderlined));
    t.push_back(frame("Frame16", "Frame1", "Timelimit", {120, 3720, 3255, 735}));
    t.push_back(option("time_nine", "Frame16", "9 Mins", {120, 240, 855, 375}, kOn, kVerdana));
    t.push_back(
        option("time_fifteen", "Frame16", "15 Mins", {1080, 240, 975, 375}, kOff, kVerdana));
    t.push_back(
        option("time_infinite", "Frame16", "Infinite", {2160, 240, 975, 375}, kOff, kVerdana));
    t.push_back(frame("Frame10", "Frame1", "Falling Damage", {3480, 3720, 2655, 735}));
    t.push_back(option("fall_off", "Frame10", "Off", {120, 240, 615, 375}));
    t.push_back(option("fall_low", "Frame10", "Low", {840, 240, 615, 375}, kOn));
    t.push_back(option("fall_std", "Frame10", "Standard", {1560, 240, 975, 375}));
    t.push_back(frame("Frame7", "Frame1", "Spawnprotection Time (Users)", {120, 4560, 3255, 735}));
    t.push_back(option("sp_off", "Frame7", "Off", {120, 240, 615, 435}));
    t.push_back(option("sp_one", "Frame7", "1 Sec", {1080, 240, 735, 435}, kOn));
    t.push_back(option("sp_two", "Frame7", "2 Sec", {2160, 240, 735, 435}));
    t.push_back(frame("Frame6", "Frame1", "Ingame HUD Weapon Icon", {3480, 4560, 2655, 735}));
    t.push_back(option("wi_off", "Frame6", "Off", {120, 240, 615, 375}));
    t.push_back(option("wi_left", "Frame6", "Left", {840, 240, 615, 375}, kOn));
    t.push_back(option("wi_bottom", "Frame6", "Bottom", {1560, 240, 975, 375}));
    t.push_back(frame("Frame9", "Frame1", "Hackers best [LAN only my friend ... ;-) ]",
                      {120, 5400, 6015, 1215}));
    t.push_back(check("moneyhack", "Frame9", "Get 16k every round", {120, 360, 1935, 195}, kOff));
    t.push_back(check("cmodels", "Frame9", "Colored DM models (R/B)", {120, 600, 2655, 195}, kOff,
                      kVerdana));
    t.push_back(check("vampire", "Frame9", "Vampire Mode (Frag->Hp)", {120, 840, 2775, 195}, kOff,
                      kVerdana));
    t.push_back(check("shooter", "Frame9", "Silent HITAimer (All hits count as HS) ",
                      {2880, 360, 3015, 195}, kOffLocked));
    t.push_back(
        check("norecoil", "Frame9", "Enables NoRecoil", {2880, 600, 2055, 195}, kOffLocked));
    t.push_back(
        check("beta", "Frame9", "Increases movementspeed", {2880, 840, 2895, 195}, kOffLocked));

    // Status and bottom row.
    t.push_back(frame("Frame11", "Form1", "Status:", {120, 8760, 9375, 1095}));
    Control status = make(Kind::TextBox, "status", "Frame11", kStartupStatus,
                          {120, 240, 9135, 735});
    status.backColour = kWhite;
    t.push_back(status);
    t.push_back(make(Kind::Line, "Line1", "Frame11", "", {1080, 0, 8520, 0}));
    Control author = label("Label4", "Form1", "Menu made by the NUV DM team",
                           {240, 9960, 2535, 255}, Font{"MS Sans Serif", 8.25, true});
    author.captionColour = kSystemHighlight;
    author.clickable = true;
    t.push_back(author);
    Control site = label("Label1", "Form1", "Newest version always at: nuvdm.example.org",
                         {5520, 9960, 3975, 255}, Font{"MS Sans Serif", 8.25, true});
    site.captionColour = kSystemHighlight;
    site.clickable = true;
    t.push_back(site);

    // Pictures; only the two player model cartoons react to a click.
    t.push_back(picture("Image2", "ZorBOTz logo", {1200, 0, 3930, 990}));
    t.push_back(picture("Image5", "counter-terrorist models", {840, 7800, 1470, 960}, true));
    t.push_back(picture("Image4", "Version", {4320, 7680, 1845, 525}));
    t.push_back(picture("Image6", "7.0.0", {4680, 8280, 945, 465}));
    t.push_back(picture("Image3", "terrorist models", {8040, 7800, 1545, 960}, true));
    t.push_back(picture("Image1", "the maker", {9120, 5640, 9000, 9000}));
    return t;
}

}  // namespace nuv
