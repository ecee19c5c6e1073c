// nuvdm-menu: the menu's window in a terminal. Without actions on a terminal
// it is a full-screen menu (cli/terminal.h); with actions, or when standard
// input or output is not a terminal, it is the line interface below.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/terminal.h"
#include "form/form.h"

namespace {

const char* const kUsageLine =
    "usage: nuvdm-menu [--dir DIR] [--click NAME | --save | --state]...\n";
const char* const kOptions =
    "  --dir DIR     act as if started in DIR (default: the current directory)\n"
    "  --click NAME  click the control with that form name (nuvdm_pure, ffa, dm_free, Image3, ...)\n"
    "  --save        press \"SAVE SETTINGS\"\n"
    "  --state       print the window's state\n"
    "  --help        show this help\n"
    "Actions run in the order given. Exit status: 0 when every action ran and the last\n"
    "Save (if any) wrote its files, 1 when a Save was refused or failed, 2 for a usage error.\n";

// Message boxes and web links become lines on standard error.
class TerminalFrontEnd : public nuv::FrontEnd {
public:
    void messageBox(const std::string& title, const std::string& text, nuv::MessageStyle) override {
        std::cerr << title << ": " << text << "\n";
    }
    void openWebPage(const std::string& url) override { std::cerr << "web page: " << url << "\n"; }
};

struct Action {
    enum Kind { Click, Save, State } kind;
    std::string name;
};

int usageError(const std::string& message) {
    std::cerr << "nuvdm-menu: " << message << "\n"
              << "Try 'nuvdm-menu --help'.\n";
    return 2;
}

void printState(const nuv::Form& form) {
    for (const nuv::Control& c : form.controls()) {
        if (c.kind != nuv::Kind::CheckBox && c.kind != nuv::Kind::OptionButton) continue;
        std::cout << c.name << ' ' << (c.value ? 1 : 0) << ' ' << (c.enabled ? 1 : 0) << ' '
                  << (c.visible ? 1 : 0) << '\n';
    }
    std::cout << "skillrating " << form.skillRating() << '\n';
    std::cout << "status " << form.statusColour() << '\n';
}

// The status text with the terminal's line ends, ending in one.
void printStatusText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    if (out.empty() || out.back() != '\n') out += '\n';
    std::cout << out;
}

// Prints the status text; the exit status follows the last Save.
int finish(const std::string& statusText, std::optional<nuv::SaveOutcome> last) {
    printStatusText(statusText);
    if (last && (*last == nuv::SaveOutcome::Refused || *last == nuv::SaveOutcome::Failed))
        return 1;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path dir;
    bool haveDir = false;
    std::vector<Action> actions;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsageLine << nuv::tui::interactiveHelp() << kOptions;
            return 0;
        }
        if (arg == "--dir" || arg == "--click") {
            if (i + 1 >= argc) return usageError(arg + " needs a value");
            const std::string value = argv[++i];
            if (arg == "--dir") {
                dir = value;
                haveDir = true;
            } else {
                actions.push_back({Action::Click, value});
            }
        } else if (arg == "--save") {
            actions.push_back({Action::Save, {}});
        } else if (arg == "--state") {
            actions.push_back({Action::State, {}});
        } else {
            return usageError("unknown option: " + arg);
        }
    }

    std::error_code ec;
    if (!haveDir) dir = std::filesystem::current_path(ec);
    if (ec) return usageError("cannot read the current directory: " + ec.message());
    if (!std::filesystem::is_directory(dir, ec))
        return usageError("not a folder: " + dir.string());

    if (actions.empty())
        if (const auto outcome = nuv::tui::runTerminalMenu(dir))
            return finish(outcome->statusText, outcome->lastSave);

    TerminalFrontEnd frontEnd;
    nuv::Form form(frontEnd, dir);
    for (const Action& a : actions) {
        switch (a.kind) {
            case Action::Click: {
                const nuv::ClickResult r = form.click(a.name);
                if (!r.ok()) return usageError(r.message);
                break;
            }
            case Action::Save: {
                const nuv::ClickResult r = form.click("btn_save");
                if (!r.ok()) return usageError(r.message);
                break;
            }
            case Action::State:
                printState(form);
                break;
        }
    }
    return finish(form.statusText(), form.lastSave());
}
