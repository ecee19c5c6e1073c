// The menu's window as data. Every control of the window is a record here
// (name, kind, container, caption, place, value, flags, colours, font); a
// front end draws the records, forwards the player's clicks to click() and
// re-reads the records after each click. Nothing in here knows a toolkit.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/frontend.h"

namespace nuv {

// Colours are 0x00BBGGRR numbers, as the toolkit takes them.
using Colour = std::uint32_t;

constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kBlack = 0;
constexpr Colour kRed = 255;             // errors of Save
constexpr Colour kDarkGreen = 20000;     // unlock and lock messages
constexpr Colour kOrangeBrown = 25000;   // hints and warnings
constexpr Colour kGreen = 30000;         // successful Save
constexpr Colour kAutostartOn = 22025;   // autostart caption when checked
constexpr Colour kAutostartOff = 22010;  // autostart caption when unchecked
// The desktop's highlight colour (the link labels); not a 0x00BBGGRR value.
constexpr Colour kSystemHighlight = 0x8000000D;

// The program's own title: message box titles and the "// File created with"
// footers of every file.
inline constexpr const char* kProgramTitle = "NUVDM_Menu";
inline constexpr const char* kWindowCaption = "NUV DM - Windows Menu 1.1.0.1";
constexpr int kClientWidth = 13335;  // twips
constexpr int kClientHeight = 10350;

// Where the two link labels lead.
inline constexpr const char* kAuthorUrl = "https://nuvdm.example.org/menu";
inline constexpr const char* kDownloadUrl = "https://nuvdm.example.org/";

enum class Kind { Window, Frame, CheckBox, OptionButton, Button, Label, TextBox, Line, Picture };

struct Place {  // twips, relative to the container
    int left = 0, top = 0, width = 0, height = 0;
};

struct Font {
    std::string face;
    double points = 8.25;
    bool underline = false;
};

struct Control {
    std::string name;
    Kind kind = Kind::Label;
    std::string container;  // "Form1" for the window itself
    std::string caption;
    Place place;
    int value = 0;  // check box 0/1; option button 1 when selected
    bool enabled = true;
    bool visible = true;
    Colour captionColour = kBlack;
    Colour backColour = kWhite;
    Font font;
    bool centred = false;
    bool clickable = false;  // reacts to a click (boxes, buttons, links, two pictures)
};

enum class ClickStatus {
    Done,            // the click ran
    UnknownControl,  // no control has that name
    Disabled,        // the control (or a container of it) is disabled
    Hidden,          // the control (or a container of it) is hidden
};

struct ClickResult {
    ClickStatus status = ClickStatus::Done;
    std::string message;  // why a click was refused ("" when it ran)
    bool ok() const { return status == ClickStatus::Done; }
};

// How the last Save ended.
enum class SaveOutcome {
    Written,   // the write path wrote every file
    Disabled,  // the disable run wrote the switching-off library list
    Refused,   // the gate failed: nothing written
    Failed,    // a file could not be written; Save stopped there
};

class Form {
public:
    // directory: the folder the menu acts in (the mod folder when started
    // from there); every file of Save is addressed relative to it.
    Form(FrontEnd& frontEnd, std::filesystem::path directory);

    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // --- the player's only way in -----------------------------------------
    // Runs the control's own effect (a check box toggles, an option button is
    // selected and the others of its container deselected, a link opens its
    // page, btn_save runs Save), then the option rules (onClick in rules.h).
    // Unknown, disabled or hidden controls are refused and nothing changes.
    ClickResult click(std::string_view name);

    // --- reading ------------------------------------------------------------
    // Every control, in the order of the window's tables.
    const std::vector<Control>& controls() const { return controls_; }
    // nullptr when no control has that name.
    const Control* find(std::string_view name) const;
    // The control by name; throws std::out_of_range for an unknown name.
    const Control& at(std::string_view name) const;

    int value(std::string_view name) const { return at(name).value; }
    bool checked(std::string_view name) const { return at(name).value == 1; }
    bool selected(std::string_view name) const { return at(name).value != 0; }
    bool enabled(std::string_view name) const { return at(name).enabled; }
    bool visible(std::string_view name) const { return at(name).visible; }
    // The option buttons of one container (one exclusive group), in table order.
    std::vector<std::string> groupOf(std::string_view container) const;
    // The selected option button of a container, or "" when none is.
    std::string selectedIn(std::string_view container) const;

    const std::string& statusText() const { return at("status").caption; }
    Colour statusColour() const { return at("status").backColour; }
    const std::string& skillRating() const { return at("skillrating").caption; }

    // --- the program's own changes: no handler runs, no status text -------
    // A check box takes 0 or 1. autostart's caption colour follows its value.
    void setValue(std::string_view name, int value);
    void setChecked(std::string_view name, bool on) { setValue(name, on ? 1 : 0); }
    // Selects an option button and deselects the others of its container.
    void select(std::string_view name);
    void deselect(std::string_view name);
    // Deselects every option button of a container.
    void deselectAll(std::string_view container);
    void setEnabled(std::string_view name, bool on);
    void setVisible(std::string_view name, bool on);
    void setCaption(std::string_view name, std::string caption);
    void setCaptionColour(std::string_view name, Colour colour);
    void setStatus(std::string text, Colour background);
    void setSkillRating(std::string caption) { setCaption("skillrating", std::move(caption)); }

    // --- surroundings -------------------------------------------------------
    FrontEnd& frontEnd() const { return frontEnd_; }
    const std::filesystem::path& directory() const { return directory_; }
    // How the last Save ended; empty before the first one.
    std::optional<SaveOutcome> lastSave() const { return lastSave_; }
    void setLastSave(SaveOutcome outcome) { lastSave_ = outcome; }

private:
    Control& get(std::string_view name);

    FrontEnd& frontEnd_;
    std::filesystem::path directory_;
    std::vector<Control> controls_;
    std::optional<SaveOutcome> lastSave_;
};

}  // namespace nuv
