#include "form/form.h"

#include <stdexcept>

#include "form/controls.h"
#include "form/rules.h"
#include "writers/save.h"

namespace nuv {

namespace {

// The folder as the system reports a current directory: absolute, with
// links resolved and no trailing separator.
std::filesystem::path asCurrentDirectory(const std::filesystem::path& dir) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::absolute(dir), ec);
    if (ec) p = dir;
    if (p.has_relative_path() && p.filename().empty()) p = p.parent_path();
    return p;
}

}  // namespace

Form::Form(FrontEnd& frontEnd, std::filesystem::path directory)
    : frontEnd_(frontEnd),
      directory_(asCurrentDirectory(directory)),
      controls_(startupControls()) {}

const Control* Form::find(std::string_view name) const {
    for (const Control& c : controls_)
        if (c.name == name) return &c;
    return nullptr;
}

const Control& Form::at(std::string_view name) const {
    if (const Control* c = find(name)) return *c;
    throw std::out_of_range("no control named " + std::string(name));
}

Control& Form::get(std::string_view name) { return const_cast<Control&>(at(name)); }

std::vector<std::string> Form::groupOf(std::string_view container) const {
    std::vector<std::string> names;
    for (const Control& c : controls_)
        if (c.kind == Kind::OptionButton && c.container == container) names.push_back(c.name);
    return names;
}

std::string Form::selectedIn(std::string_view container) const {
    for (const Control& c : controls_)
        if (c.kind == Kind::OptionButton && c.container == container && c.value) return c.name;
    return {};
}

void Form::setValue(std::string_view name, int value) {
    Control& c = get(name);
    if (c.kind == Kind::OptionButton) {
        if (value)
            select(name);
        else
            c.value = 0;
        return;
    }
    c.value = value;
    // The autostart caption shows its state, whoever changed it.
    if (c.name == "autostart") c.captionColour = value == 1 ? kAutostartOn : kAutostartOff;
}

void Form::select(std::string_view name) {
    Control& chosen = get(name);
    for (Control& c : controls_)
        if (c.kind == Kind::OptionButton && c.container == chosen.container) c.value = 0;
    chosen.value = 1;
}

void Form::deselect(std::string_view name) { get(name).value = 0; }

void Form::deselectAll(std::string_view container) {
    for (Control& c : controls_)
        if (c.kind == Kind::OptionButton && c.container == container) c.value = 0;
}

void Form::setEnabled(std::string_view name, bool on) { get(name).enabled = on; }
void Form::setVisible(std::string_view name, bool on) { get(name).visible = on; }
void Form::setCaption(std::string_view name, std::string caption) {
    get(name).caption = std::move(caption);
}
void Form::setCaptionColour(std::string_view name, Colour colour) {
    get(name).captionColour = colour;
}

void Form::setStatus(std::string text, Colour background) {
    Control& s = get("status");
    s.caption = std::move(text);
    s.backColour = background;
}

ClickResult Form::click(std::string_view name) {
    const Control* target = find(name);
    if (!target) return {ClickStatus::UnknownControl, "unknown control: " + std::string(name)};
    // A control inside a disabled or hidden frame cannot be reached either.
    for (const Control* c = target; c; c = c->container.empty() ? nullptr : find(c->container)) {
        if (!c->visible)
            return {ClickStatus::Hidden, "control is hidden: " + std::string(name)};
        if (!c->enabled)
            return {ClickStatus::Disabled, "control is disabled: " + std::string(name)};
    }
    if (!target->clickable) return {};  // frames, labels, the status box: nothing happens

    const std::string n = target->name;
    switch (target->kind) {
        case Kind::CheckBox:
            setValue(n, target->value == 1 ? 0 : 1);
            break;
        case Kind::OptionButton:
            select(n);
            break;
        default:
            break;
    }
    if (n == "Label4")
        frontEnd_.openWebPage(kAuthorUrl);
    else if (n == "Label1")
        frontEnd_.openWebPage(kDownloadUrl);
    else if (n == "btn_save")
        save(*this);

    onClick(*this, n);
    return {};
}

}  // namespace nuv
