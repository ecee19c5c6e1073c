// nuvdm-menu's full-screen menu in a real terminal (tmux): what it draws is
// the window model's state after every click, and the files its Save writes
// are those the line interface writes for the same clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>

#include "cli/layout.h"
#include "form/form.h"
#include "support/menu_support.h"
#include "support/process.h"
#include "tmux.h"

namespace {

namespace fs = std::filesystem;
using nuvtest::Screen;
using Files = std::map<std::string, std::string>;

std::string collapsed(const std::string& text) {
    std::string out;
    for (char ch : text) {
        const bool blank = ch == ' ' || ch == '\r' || ch == '\n';
        if (blank && (out.empty() || out.back() == ' ')) continue;
        out += blank ? ' ' : ch;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string trimmed(std::string s) {
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

Files filesIn(const fs::path& dir) {
    Files files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = nuvtest::readFile(e.path());
    return files;
}

const char* colourName(nuv::Colour c) {
    static const std::map<nuv::Colour, const char*> names = {
        {nuv::kWhite, "white"}, {nuv::kBlack, "black"}, {nuv::kRed, "red"},
        {nuv::kDarkGreen, "dark green"}, {nuv::kOrangeBrown, "orange-brown"}, {nuv::kGreen, "green"}};
    return names.at(c);
}

// One run of the menu in tmux beside a model of the window that gets the
// same clicks; the model's folder is another mod folder, so that its Save
// ends the same way.
class MenuRun {
public:
    // prepare changes both mod folders before the menu starts.
    MenuRun(const std::string& session, int cols, int rows,
            const std::function<void(const fs::path&)>& prepare = {})
        : model_(modelFrontEnd_, modelDir_.path()), layout_(nuv::tui::layOut(model_.controls(), cols, rows)) {
        mod_.modFolder();
        modelDir_.modFolder();
        if (prepare) {
            prepare(mod_.path());
            prepare(modelDir_.path());
        }
        initial_ = filesIn(mod_.path());
        initialFolders_.clear();
        for (const auto& e : fs::recursive_directory_iterator(mod_.path()))
            if (e.is_directory()) initialFolders_.push_back(fs::relative(e.path(), mod_.path()));
        tmux_ = std::make_unique<nuvtest::Tmux>(sockets_.path(), session, cols, rows,
                                                std::vector<std::string>{NUVDM_MENU_CLI, "--dir", mod_.path().string()});
        expectDrawn("at start");
    }

    const fs::path& folder() const { return mod_.path(); }
    nuvtest::Tmux& tmux() { return *tmux_; }
    const nuv::Form& model() const { return model_; }
    const std::vector<double>& roundTrips() const { return roundTrips_; }

    // The focusable controls in Tab order, as the model has them now.
    std::vector<std::string> tabOrder() const {
        std::vector<std::string> order;
        for (std::size_t k : layout_.readingOrder) {
            const nuv::Control& c = model_.controls()[layout_.items[k].index];
            if (c.visible && c.enabled) order.push_back(c.name);
        }
        return order;
    }

    // Moves the focus to `name` with Tab or Shift-Tab (or the arrows that
    // step the same way) and presses Space (or Enter).
    void click(const std::string& name, bool otherKeys = false) {
        const std::vector<std::string> order = tabOrder();
        const auto at = std::find(order.begin(), order.end(), focus_);
        const auto to = std::find(order.begin(), order.end(), name);
        ASSERT_NE(to, order.end()) << name << " is not focusable";
        const int n = static_cast<int>(order.size());
        const int from = at == order.end() ? 0 : static_cast<int>(at - order.begin());
        const int forward = (static_cast<int>(to - order.begin()) - from + n) % n;
        std::vector<std::string> keys;
        if (at == order.end()) keys.push_back("Home");
        const bool back = at != order.end() && n - forward < forward;
        const std::string step = back ? (otherKeys ? "Left" : "BTab") : (otherKeys ? "Right" : "Tab");
        for (int i = 0, count = back ? n - forward : forward; i < count; ++i) keys.push_back(step);
        keys.push_back(otherKeys ? "Enter" : "Space");
        const std::size_t boxes = modelFrontEnd_.boxes.size(), pages = modelFrontEnd_.pages.size();
        model_.click(name);
        history_.push_back("--click");
        history_.push_back(name);
        const auto start = std::chrono::steady_clock::now();
        tmux_->keys(keys);
        dismissDialogs(boxes, pages);
        expectDrawn("after a click on " + name, name, start);
        if (name == "btn_save") expectFilesLikeTheCommandLine();
    }

    void save() {
        const std::size_t boxes = modelFrontEnd_.boxes.size(), pages = modelFrontEnd_.pages.size();
        model_.click("btn_save");
        history_.push_back("--save");
        tmux_->keys({"s"});
        dismissDialogs(boxes, pages);
        expectDrawn("after Save");
        expectFilesLikeTheCommandLine();
    }

    // q, confirmed when the menu asks; the exit status is the command line's.
    void quit() {
        tmux_->keys({"q"});
        Screen s;
        bool asked = false;
        ASSERT_TRUE(tmux_->waitFor(
            [&](const Screen& x) {
                asked = x.all().find("Quit without saving?") != std::string::npos;
                return asked || tmux_->exitStatus();
            },
            s));
        if (asked) tmux_->keys({"y"});
        int status = -1;
        ASSERT_TRUE(tmux_->waitForExit(status));
        EXPECT_EQ(status, lineInterface().code);
    }

    // "" when the screen shows the model's state, else the first difference.
    std::string difference(const Screen& s) const {
        int top = 0;  // the title says "lines A-B of N" when the canvas scrolls
        const std::string title = s.text(0);
        if (const auto at = title.rfind("lines "); at != std::string::npos)
            top = std::stoi(title.substr(at + 6)) - 1;
        for (const nuv::tui::Item& it : layout_.items) {
            const nuv::Control& c = model_.controls()[it.index];
            const int row = layout_.viewTop + it.row - top;
            if (row < layout_.viewTop || row >= layout_.viewTop + layout_.viewRows) continue;
            const std::string where = c.name + " (row " + std::to_string(row) + "): ";
            if (c.kind == nuv::Kind::CheckBox || c.kind == nuv::Kind::OptionButton) {
                const bool box = c.kind == nuv::Kind::CheckBox;
                const std::string drawn = s.text(row, it.col, 3);
                const std::string marker = box ? (c.value ? "[x]" : "[ ]") : (c.value ? "(*)" : "( )");
                if (!c.visible) {
                    if (drawn == "[x]" || drawn == "[ ]" || drawn == "(*)" || drawn == "( )")
                        return where + "drawn though hidden";
                    continue;
                }
                if (drawn != marker) return where + "shows " + drawn + ", the model " + marker;
                if (s.text(row, it.col + 4, 2) != c.caption.substr(0, 2)) return where + "caption missing";
                if (s.at(row, it.col).dim != !c.enabled)
                    return where + (c.enabled ? "dimmed though enabled" : "not dimmed though disabled");
            } else if (c.name == "skillrating") {
                if (trimmed(s.text(row, it.col, it.width)) != c.caption)
                    return "skill rating shows '" + s.text(row, it.col, it.width) + "', the model " + c.caption;
            }
        }
        std::string status;
        for (int r = 1; r <= nuv::tui::kStatusLines; ++r)
            status += s.text(layout_.statusTop + r, 1, layout_.cols - 2) + " ";
        if (collapsed(status) != collapsed(model_.statusText()))
            return "status box shows '" + collapsed(status) + "', the model '" + collapsed(model_.statusText()) + "'";
        const std::string colour = std::string(" ") + colourName(model_.statusColour()) + " ";
        if (s.text(layout_.statusTop).find(colour) == std::string::npos)
            return "status box colour is not" + colour;
        return "";
    }

    // The focused control as the key line names it.
    static std::string focusOf(const Screen& s, int helpRow) {
        const std::string line = trimmed(s.text(helpRow));
        return line.substr(line.find_last_of(' ') + 1);
    }

    void expectDrawn(const std::string& when, const std::string& focus = "",
                     std::chrono::steady_clock::time_point start = {}) {
        Screen s;
        const bool focusKept = !focus.empty() && model_.visible(focus) && model_.enabled(focus);
        const bool ok = tmux_->waitFor(
            [&](const Screen& x) {
                return difference(x).empty() && (!focusKept || focusOf(x, layout_.helpRow) == focus);
            },
            s);
        if (start != std::chrono::steady_clock::time_point{})
            roundTrips_.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        ASSERT_TRUE(ok) << when << ": " << difference(s) << " (focus " << focusOf(s, layout_.helpRow) << ")\n" << s.all();
        focus_ = focusOf(s, layout_.helpRow);
    }

    nuvtest::ProcessRun lineInterface() const {
        std::vector<std::string> args = {"--dir", mod_.path().string()};
        args.insert(args.end(), history_.begin(), history_.end());
        return nuvtest::runProgram(NUVDM_MENU_CLI, args);
    }

    // What this Save wrote is what the line interface writes for the same
    // clicks from the same start (the folder is laid out anew for it).
    void expectFilesLikeTheCommandLine() {
        const Files drawnSave = filesIn(mod_.path());
        for (const auto& e : fs::directory_iterator(mod_.path())) fs::remove_all(e.path());
        for (const fs::path& d : initialFolders_) fs::create_directories(mod_.path() / d);
        for (const auto& [name, content] : initial_) nuvtest::writeFile(mod_.path() / name, content);
        lineInterface();
        EXPECT_EQ(drawnSave, filesIn(mod_.path())) << "after " << history_.size() / 2 << " actions";
    }

private:
    // Every message box and web link of the click shows as a dialog: its
    // text on the screen until Enter closes it.
    void dismissDialogs(std::size_t boxes, std::size_t pages) {
        std::vector<std::string> shown;
        for (std::size_t i = boxes; i < modelFrontEnd_.boxes.size(); ++i)
            shown.push_back(modelFrontEnd_.boxes[i].text.substr(0, 30));
        for (std::size_t i = pages; i < modelFrontEnd_.pages.size(); ++i)
            shown.push_back(modelFrontEnd_.pages[i]);
        for (const std::string& text : shown) {
            Screen s;
            ASSERT_TRUE(tmux_->waitFor([&](const Screen& x) { return x.all().find(text) != std::string::npos; }, s))
                << "no dialog with '" << text << "'\n" << s.all();
            tmux_->keys({"Enter"});
        }
    }

    nuvtest::ScratchDir sockets_, mod_, modelDir_;
    nuvtest::RecordingFrontEnd modelFrontEnd_;
    nuv::Form model_;
    nuv::tui::Layout layout_;
    Files initial_;
    std::vector<fs::path> initialFolders_;
    std::unique_ptr<nuvtest::Tmux> tmux_;
    std::vector<std::string> history_;
    std::string focus_;
    std::vector<double> roundTrips_;
};

TEST(TerminalMenu, EveryProfileIsDrawnAndSavedLikeTheCommandLine) {
    MenuRun run("profiles", 80, 24);
    for (const char* profile : {"nuvdm_pure", "nuvdm_x", "nuvdm_high", "nuvdm_easy", "nuvdm_switcher",
                                "nuvdm_disable", "medit", "nuvdm_std"}) {
        run.click(profile);
        run.save();
        if (HasFatalFailure()) return;
    }
    run.quit();
}

TEST(TerminalMenu, TwoHundredRandomClicksAreDrawnAsTheModelHasThem) {
    MenuRun run("random", 200, 60);
    std::mt19937 pick(20);
    for (int step = 0; step < 200 && !HasFatalFailure(); ++step) {
        const std::vector<std::string> order = run.tabOrder();
        run.click(order[pick() % order.size()], pick() % 2 == 0);
    }
    run.save();
    run.quit();
    std::vector<double> rounds = run.roundTrips();
    std::sort(rounds.begin(), rounds.end());
    if (!rounds.empty())
        std::printf("click to screen (keys sent to the screen read back showing the click): "
                    "median %.1f ms, slowest %.1f ms over %zu clicks\n",
                    rounds[rounds.size() / 2], rounds.back(), rounds.size());
}

}  // namespace

namespace {

bool shows(const Screen& s, const std::string& text) { return s.all().find(text) != std::string::npos; }

TEST(TerminalMenu, RefusedSaveShowsTheRefusalAndWritesNothing) {
    // No config.cfg: the status box says so in red, nothing is written.
    MenuRun plain("refused", 80, 24, [](const fs::path& d) { fs::remove(d / "config.cfg"); });
    plain.save();
    EXPECT_EQ(plain.model().statusText(), "Menu ERROR #002");
    EXPECT_EQ(filesIn(plain.folder()), (Files{{"dm_userconfig.cfg", "old user config\r\n"}}));
    plain.quit();

    // The disable run without dm_userconfig.cfg: its message box is a dialog
    // with the folder as its title.
    MenuRun disable("refused_disable", 80, 24, [](const fs::path& d) {
        fs::remove(d / "config.cfg");
        fs::remove(d / "dm_userconfig.cfg");
    });
    disable.click("nuvdm_disable");
    disable.tmux().keys({"s"});
    Screen s;
    ASSERT_TRUE(disable.tmux().waitFor(
        [&](const Screen& x) {
            return shows(x, "NUV DM HAS NOT BEEN DISABLED - READ STATUS INFO") &&
                   shows(x, "(!) " + disable.folder().string().substr(0, 30)) && shows(x, "[ OK ]");
        },
        s))
        << s.all();
    disable.tmux().keys({"Enter"});
    ASSERT_TRUE(disable.tmux().waitFor([](const Screen& x) { return shows(x, "Menu has not been installed correctly."); }, s))
        << s.all();
    EXPECT_TRUE(filesIn(disable.folder()).empty());
}

TEST(TerminalMenu, SmallTerminalSaysTheSizeItNeedsAndAResizeRedraws) {
    nuvtest::ScratchDir sockets, mod;
    mod.modFolder();
    nuvtest::Tmux tmux(sockets.path(), "small", 60, 20, {NUVDM_MENU_CLI, "--dir", mod.path().string()});
    Screen s;
    ASSERT_TRUE(tmux.waitFor([](const Screen& x) { return shows(x, "The terminal is too small: 60 x 20."); }, s)) << s.all();
    EXPECT_TRUE(shows(s, "nuvdm-menu needs at least 80 x 24 (columns x rows)."));
    tmux.resize(100, 30);
    ASSERT_TRUE(tmux.waitFor([](const Screen& x) { return shows(x, "[ ] Footsteps") && !shows(x, "too small"); }, s))
        << s.all();
    EXPECT_EQ(s.text(0).rfind(" NUV DM - Windows Menu 1.1.0.1", 0), 0u);
    tmux.resize(79, 30);
    ASSERT_TRUE(tmux.waitFor([](const Screen& x) { return shows(x, "too small: 79 x 30"); }, s)) << s.all();
    tmux.keys({"q"});
    int status = -1;
    ASSERT_TRUE(tmux.waitForExit(status));
    EXPECT_EQ(status, 0);
}

TEST(TerminalMenu, QuittingWithUnsavedChangesAsksAndTheMouseClicks) {
    MenuRun run("quit", 80, 24);
    nuvtest::Tmux& tmux = run.tmux();
    // A mouse click (the X10 report the terminal sends for a press and its
    // release) on "Footsteps" at the top left of the canvas.
    const std::string press = std::string("\x1b[M") + char(32) + char(33 + 5) + char(33 + 3);
    const std::string release = std::string("\x1b[M") + char(32 + 3) + char(33 + 5) + char(33 + 3);
    tmux.literal(press + release);
    Screen s;
    ASSERT_TRUE(tmux.waitFor([](const Screen& x) { return x.text(3, 4, 13) == "[x] Footsteps"; }, s)) << s.all();
    // Down goes to the control below.
    tmux.keys({"Down"});
    ASSERT_TRUE(tmux.waitFor([](const Screen& x) { return MenuRun::focusOf(x, 23) == "ammo"; }, s)) << s.all();

    tmux.keys({"q"});
    ASSERT_TRUE(tmux.waitFor([](const Screen& x) { return shows(x, "Quit without saving?"); }, s)) << s.all();
    tmux.keys({"n"});
    ASSERT_TRUE(tmux.waitFor([](const Screen& x) { return !shows(x, "Quit without saving?"); }, s)) << s.all();
    EXPECT_FALSE(tmux.exitStatus());
    tmux.keys({"Escape"});
    ASSERT_TRUE(tmux.waitFor([](const Screen& x) { return shows(x, "Quit without saving?"); }, s)) << s.all();
    tmux.keys({"y"});
    int status = -1;
    ASSERT_TRUE(tmux.waitForExit(status));
    EXPECT_EQ(status, 0);
    // Back on the shell's screen, the status box's last text.
    ASSERT_TRUE(tmux.waitFor([](const Screen& x) { return shows(x, "Switched to custom settings."); }, s)) << s.all();
}

TEST(TerminalMenu, WithoutATerminalDescriptionOrWithActionsTheLineInterfaceRuns) {
    nuvtest::ScratchDir sockets, mod;
    mod.modFolder();
    nuvtest::Tmux unknown(sockets.path(), "unknown", 200, 24, {NUVDM_MENU_CLI, "--dir", mod.path().string()},
                          "nuvdm-no-such-terminal");
    int status = -1;
    ASSERT_TRUE(unknown.waitForExit(status));
    EXPECT_EQ(status, 0);
    Screen s = unknown.capture();
    EXPECT_TRUE(shows(s, "no terminal description found for TERM=nuvdm-no-such-terminal; the line interface runs instead")) << s.all();
    EXPECT_TRUE(shows(s, "You can afterwards make personal custom changes")) << s.all();

    nuvtest::Tmux actions(sockets.path(), "actions", 80, 24,
                          {NUVDM_MENU_CLI, "--dir", mod.path().string(), "--click", "nuvdm_pure"});
    ASSERT_TRUE(actions.waitForExit(status));
    EXPECT_EQ(status, 0);
    s = actions.capture();
    EXPECT_EQ(s.text(0).rfind("ZORYS LAN DEATHMATCH PREDEFINED ->PURE<- PROFILE SETTING.", 0), 0u) << s.all();
    EXPECT_FALSE(shows(s, "SAVE SETTINGS")) << s.all();
}

// The places alone: every control of the window has a spot of its own on
// the smallest terminal and on a large one, and Tab visits them in rows.
TEST(TerminalLayout, EveryControlHasItsOwnSpotInReadingOrder) {
    nuv::SilentFrontEnd quiet;
    const nuv::Form form(quiet, ".");
    for (const auto& [cols, rows] : {std::pair{80, 24}, std::pair{200, 60}}) {
        const nuv::tui::Layout l = nuv::tui::layOut(form.controls(), cols, rows);
        SCOPED_TRACE(std::to_string(cols) + " x " + std::to_string(rows));
        EXPECT_EQ(l.wide, cols >= nuv::tui::kWideCols);
        EXPECT_EQ(l.viewTop + l.viewRows, l.statusTop);
        if (l.wide) {
            EXPECT_LE(l.canvasRows, l.viewRows);  // room to spare: no scrolling
        }
        std::size_t clickable = 0;
        for (const nuv::Control& c : form.controls())
            if (c.clickable && c.kind != nuv::Kind::Window) ++clickable;
        EXPECT_EQ(l.readingOrder.size(), clickable);
        for (std::size_t a = 0; a < l.readingOrder.size(); ++a) {
            const nuv::tui::Item& x = l.items[l.readingOrder[a]];
            const nuv::Control& c = form.controls()[x.index];
            EXPECT_GE(x.width, std::min<int>(8, nuv::tui::itemText(c).size())) << c.name;
            EXPECT_LE(x.col + x.width, cols) << c.name;
            if (a > 0) {
                const nuv::tui::Item& w = l.items[l.readingOrder[a - 1]];
                EXPECT_TRUE(w.row < x.row || (w.row == x.row && w.col + w.width <= x.col))
                    << c.name << " overlaps or comes before " << form.controls()[w.index].name;
            }
        }
    }
}

}  // namespace
