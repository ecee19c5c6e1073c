// The Windows window driven by messages, as the player's clicks arrive:
// BM_CLICK on buttons, STN_CLICKED from pictures and links. A recording
// front end stands in for message boxes and the browser.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "form/controls.h"
#include "support/menu_support.h"
#include "win32/window.h"

namespace fs = std::filesystem;
using nuv::Kind;
using nuv::win32::MenuWindow;
using nuv::win32::toPixels;

namespace {

std::string windowText(HWND h) {
    char buffer[2048];
    const int n = GetWindowTextA(h, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The colour a window paints its background with.
COLORREF erasedColour(HWND w) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 8, 8};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SendMessageA(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const COLORREF c = GetPixel(dc, 4, 4);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return c;
}

struct Colours {
    COLORREF text, back;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::current_path(dir_.path());
        window_ = std::make_unique<MenuWindow>(frontEnd_, fs::current_path());
        ASSERT_TRUE(window_->create(GetModuleHandleA(nullptr)));
        ShowWindow(window_->hwnd(), SW_SHOWNORMAL);
    }
    void TearDown() override {
        window_.reset();
        fs::current_path(previous_);
    }

    HWND h(const char* name) const {
        HWND w = window_->handle(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    const nuv::Form& form() const { return window_->form(); }

    // A click as the player makes it on a button, check box or option button.
    void click(const char* name) { SendMessageA(h(name), BM_CLICK, 0, 0); }
    // A click on a picture or link label: the notice its parent gets.
    void clickStatic(const char* name) {
        HWND w = h(name);
        SendMessageA(GetParent(w), WM_COMMAND,
                     MAKEWPARAM(window_->controlId(name), STN_CLICKED),
                     reinterpret_cast<LPARAM>(w));
    }

    // The colours the window hands a control when it paints itself.
    Colours colours(const char* name, UINT message = WM_CTLCOLORSTATIC) {
        HWND w = h(name);
        HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        SendMessageA(GetParent(w), message, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(w));
        Colours c{GetTextColor(dc), GetBkColor(dc)};
        DeleteDC(dc);
        return c;
    }
    COLORREF statusBackground() { return colours("status").back; }

    // Every child window shows what the model holds.
    void expectShowsModel() {
        for (const nuv::Control& c : form().controls()) {
            if (c.kind == Kind::Window) continue;
            HWND w = h(c.name.c_str());
            const LONG style = GetWindowLongA(w, GWL_STYLE);
            EXPECT_EQ((style & WS_VISIBLE) != 0, c.visible) << c.name << " visible";
            EXPECT_EQ((style & WS_DISABLED) == 0, c.enabled) << c.name << " enabled";
            if (c.kind == Kind::CheckBox || c.kind == Kind::OptionButton) {
                EXPECT_EQ(SendMessageA(w, BM_GETCHECK, 0, 0) == BST_CHECKED, c.value != 0)
                    << c.name << " value";
            }
            if (c.kind == Kind::Label || c.kind == Kind::TextBox || c.kind == Kind::Button ||
                ((c.kind == Kind::CheckBox || c.kind == Kind::OptionButton) &&
                 c.caption.find('&') == std::string::npos)) {
                EXPECT_EQ(windowText(w), c.caption) << c.name << " caption";
            }
        }
    }

    nuvtest::ScratchDir dir_;
    nuvtest::RecordingFrontEnd frontEnd_;
    std::unique_ptr<MenuWindow> window_;
    fs::path previous_;
};

TEST_F(WindowTest, OpensFixedSizeWithCaptionAndWhiteBackground) {
    HWND w = window_->hwnd();
    EXPECT_EQ(windowText(w), "NUV DM - Windows Menu 1.1.0.1");
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right - client.left, 889);
    EXPECT_EQ(client.bottom - client.top, 690);
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);

    EXPECT_EQ(erasedColour(w), RGB(255, 255, 255));
    EXPECT_NE(GetClassLongPtrA(w, GCLP_HICON), 0u) << "no window icon";
    // Frames are white inside like the window.
    EXPECT_EQ(colours("Frame5").back, RGB(255, 255, 255));
    EXPECT_EQ(erasedColour(h("Frame5")), RGB(255, 255, 255));
}

TEST_F(WindowTest, EveryControlSitsInItsContainerAtItsPlace) {
    for (const nuv::Control& c : form().controls()) {
        if (c.kind == Kind::Window) continue;
        HWND w = h(c.name.c_str());
        HWND parent = GetParent(w);
        EXPECT_EQ(parent, window_->handle(c.container)) << c.name;
        RECT r;
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, toPixels(c.place.left)) << c.name;
        EXPECT_EQ(r.top, toPixels(c.place.top)) << c.name;
        EXPECT_EQ(r.right - r.left, toPixels(c.place.width)) << c.name;
        EXPECT_EQ(r.bottom - r.top, c.kind == Kind::Line ? 1 : toPixels(c.place.height)) << c.name;
    }
    // A few by hand: twips / 15, relative to the frame.
    RECT r;
    GetWindowRect(h("nuvdm_pure"), &r);
    MapWindowPoints(nullptr, h("Frame3"), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 16);
    EXPECT_EQ(r.top, 56);
    EXPECT_EQ(r.right - r.left, 353);
    // The "Forced:" indicators belong to Frame4; Frame13 only draws around them.
    EXPECT_EQ(GetParent(h("shooterb")), h("Frame4"));
    EXPECT_EQ(GetWindow(h("Frame13"), GW_CHILD), nullptr);
    EXPECT_EQ(GetParent(h("footsteps")), window_->hwnd());
    EXPECT_EQ(GetParent(h("Line1")), h("Frame11"));
    EXPECT_EQ(window_->handle("no_such_control"), nullptr);
}

// Position among siblings, 0 being the top.
int stackPlace(HWND w) {
    int n = 0;
    for (HWND s = GetWindow(w, GW_HWNDFIRST); s && s != w; s = GetWindow(s, GW_HWNDNEXT)) ++n;
    return n;
}

TEST_F(WindowTest, DecorationLiesBehindAndOverlappingControlsLieOnTop) {
    EXPECT_EQ(GetWindow(window_->hwnd(), GW_CHILD) != nullptr, true);
    EXPECT_EQ(GetWindow(h("Image1"), GW_HWNDLAST), h("Image1"));
    // The window's own check boxes lie inside the Settings frame's area.
    EXPECT_LT(stackPlace(h("footsteps")), stackPlace(h("Frame1")));
    EXPECT_LT(stackPlace(h("Image3")), stackPlace(h("Image1")));
    EXPECT_LT(stackPlace(h("Frame11")), stackPlace(h("Image1")));
    // Shown, knives_only covers the label on the same spot.
    EXPECT_LT(stackPlace(h("knives_only")), stackPlace(h("Label2")));
    // Siblings clip each other, so nothing paints over what lies above it.
    EXPECT_NE(GetWindowLongA(h("Frame1"), GWL_STYLE) & WS_CLIPSIBLINGS, 0);
    EXPECT_NE(GetWindowLongA(h("Image1"), GWL_STYLE) & WS_CLIPSIBLINGS, 0);
}

TEST_F(WindowTest, StartsAsTheModelStartsWithItsFontsAndColours) {
    expectShowsModel();
    EXPECT_EQ(windowText(h("status")), nuv::kStartupStatus);
    EXPECT_EQ(windowText(h("skillrating")), "140");
    EXPECT_EQ(statusBackground(), RGB(255, 255, 255));
    EXPECT_EQ(colours("autostart").text, RGB(0, 0x80, 0));
    EXPECT_EQ(colours("btn_save", WM_CTLCOLORBTN).back, RGB(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(colours("Label1").text, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_NE(GetWindowLongA(h("status"), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_NE(GetWindowLongA(h("status"), GWL_STYLE) & ES_MULTILINE, 0);
    EXPECT_EQ(GetWindowLongA(h("btn_save"), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    for (const char* picture : {"Image1", "Image2", "Image3", "Image4", "Image5", "Image6"})
        EXPECT_NE(SendMessageA(h(picture), STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << picture;
    // Only the two cartoons react to a click (and the two links).
    EXPECT_NE(GetWindowLongA(h("Image3"), GWL_STYLE) & SS_NOTIFY, 0);
    EXPECT_NE(GetWindowLongA(h("Image5"), GWL_STYLE) & SS_NOTIFY, 0);
    EXPECT_EQ(GetWindowLongA(h("Image1"), GWL_STYLE) & SS_NOTIFY, 0);
    EXPECT_NE(GetWindowLongA(h("Label1"), GWL_STYLE) & SS_NOTIFY, 0);

    auto fontOf = [&](const char* name) {
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h(name), WM_GETFONT, 0, 0)), sizeof lf,
                   &lf);
        return lf;
    };
    EXPECT_EQ(fontOf("knives_only").lfHeight, -9);  // 6.75 pt at 96 dpi
    EXPECT_TRUE(fontOf("knives_only").lfUnderline);
    EXPECT_EQ(fontOf("footsteps").lfHeight, -11);   // 8.25 pt
    EXPECT_FALSE(fontOf("footsteps").lfUnderline);
    EXPECT_TRUE(fontOf("Label4").lfUnderline);
}

TEST_F(WindowTest, PresetClickReachesTheModelAndTheWindowFollows) {
    std::vector<LRESULT> before;
    for (const char* box : {"footsteps", "ammo", "counter", "bulletdamage", "hsmod", "bhop"})
        before.push_back(SendMessageA(h(box), BM_GETCHECK, 0, 0));

    click("nuvdm_high");
    EXPECT_TRUE(form().selected("nuvdm_high"));
    EXPECT_EQ(SendMessageA(h("nuvdm_high"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(h("nuvdm_std"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    expectShowsModel();
    EXPECT_EQ(statusBackground(), RGB(0, 0, 0));
    EXPECT_NE(colours("status").text, RGB(0, 0, 0)) << "text must stay readable on black";
    EXPECT_EQ(windowText(h("status")), form().statusText());
    EXPECT_EQ(windowText(h("skillrating")), form().skillRating());

    std::vector<LRESULT> after;
    for (const char* box : {"footsteps", "ammo", "counter", "bulletdamage", "hsmod", "bhop"})
        after.push_back(SendMessageA(h(box), BM_GETCHECK, 0, 0));
    EXPECT_NE(before, after) << "the preset changed no check box in the window";

    // A single box: toggled by the model, caption colour of autostart with it.
    const bool autostart = form().checked("autostart");
    click("autostart");
    EXPECT_NE(form().checked("autostart"), autostart);
    EXPECT_EQ(SendMessageA(h("autostart"), BM_GETCHECK, 0, 0) == BST_CHECKED, !autostart);
    EXPECT_EQ(colours("autostart").text,
              nuv::win32::toColorRef(autostart ? nuv::kAutostartOff : nuv::kAutostartOn));
    expectShowsModel();
    EXPECT_TRUE(frontEnd_.boxes.empty());
}

TEST_F(WindowTest, PureThenSaveWritesTheFilesInTheCurrentFolder) {
    dir_.modFolder();
    click("nuvdm_pure");
    EXPECT_EQ(statusBackground(), RGB(0, 0, 0));
    click("btn_save");
    EXPECT_EQ(form().lastSave(), nuv::SaveOutcome::Written);
    EXPECT_EQ(statusBackground(), nuv::win32::toColorRef(nuv::kGreen));
    EXPECT_EQ(windowText(h("status")), form().statusText());
    EXPECT_TRUE(frontEnd_.boxes.empty());

    // The same clicks on the model alone, in another folder, write the same
    // files but for the folder they name.
    nuvtest::ScratchDir other;
    other.modFolder();
    nuv::SilentFrontEnd silent;
    nuv::Form model(silent, other.path());
    model.click("nuvdm_pure");
    model.click("btn_save");
    for (const std::string& file : nuvtest::savedFiles()) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(fs::exists(dir_.path() / file));
        EXPECT_EQ(nuvtest::readFile(dir_.path() / file),
                  replaceAll(nuvtest::readFile(other.path() / file), other.path().string(),
                             dir_.path().string()));
    }
    expectShowsModel();
}

TEST_F(WindowTest, SaveErrorsTurnTheStatusRedAndShowTheirBoxes) {
    // Not a mod folder: nothing is written.
    click("btn_save");
    EXPECT_EQ(statusBackground(), nuv::win32::toColorRef(nuv::kRed));
    EXPECT_FALSE(fs::exists(dir_.path() / "liblist.gam"));

    click("nuvdm_disable");
    click("btn_save");
    EXPECT_EQ(statusBackground(), nuv::win32::toColorRef(nuv::kRed));
    ASSERT_EQ(frontEnd_.boxes.size(), 1u);
    EXPECT_EQ(frontEnd_.boxes[0].title, form().directory().string());
    EXPECT_EQ(frontEnd_.boxes[0].text, "NUV DM HAS NOT BEEN DISABLED - READ STATUS INFO");
    EXPECT_EQ(frontEnd_.boxes[0].style, nuv::MessageStyle::Exclamation);
    EXPECT_EQ(windowText(h("status")), form().statusText());

    // The real boxes: one OK button, the icon of the style.
    using nuv::win32::messageBoxFlags;
    EXPECT_EQ(messageBoxFlags(nuv::MessageStyle::Exclamation), UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(messageBoxFlags(nuv::MessageStyle::Plain), UINT(MB_OK));
}

TEST_F(WindowTest, UnlockAndLockShowHiddenAndDisabledFlagsAsTheModelSays) {
    const bool knivesBefore = form().visible("knives_only");
    clickStatic("Image3");
    expectShowsModel();
    EXPECT_EQ(statusBackground(), nuv::win32::toColorRef(form().statusColour()));
    EXPECT_NE(form().visible("knives_only"), knivesBefore) << "unlock changed nothing";
    EXPECT_EQ((GetWindowLongA(h("knives_only"), GWL_STYLE) & WS_VISIBLE) != 0,
              form().visible("knives_only"));

    clickStatic("Image5");
    expectShowsModel();
    EXPECT_EQ(form().visible("knives_only"), knivesBefore);

    // ffa off enables hideradar; the window follows.
    click("ffa");
    EXPECT_TRUE(form().enabled("hideradar"));
    EXPECT_TRUE(IsWindowEnabled(h("hideradar")));
    expectShowsModel();
}

TEST_F(WindowTest, CustomSettingsButtonCannotBeClicked) {
    EXPECT_FALSE(IsWindowEnabled(h("nuvdm_custom")));
    const std::string status = form().statusText();
    click("nuvdm_custom");
    // Even a notice that reached the window is refused by the model.
    SendMessageA(GetParent(h("nuvdm_custom")), WM_COMMAND,
                 MAKEWPARAM(window_->controlId("nuvdm_custom"), BN_CLICKED),
                 reinterpret_cast<LPARAM>(h("nuvdm_custom")));
    EXPECT_FALSE(form().selected("nuvdm_custom"));
    EXPECT_TRUE(form().selected("nuvdm_std"));
    EXPECT_EQ(form().statusText(), status);
    expectShowsModel();
}

TEST_F(WindowTest, LinksOpenTheirAddressAndChangeNothingElse) {
    clickStatic("Label1");
    clickStatic("Label4");
    EXPECT_EQ(frontEnd_.pages, (std::vector<std::string>{nuv::kDownloadUrl, nuv::kAuthorUrl}));
    // Pictures and labels without a click effect stay quiet.
    clickStatic("Image2");
    clickStatic("Label3");
    EXPECT_EQ(frontEnd_.pages.size(), 2u);
    EXPECT_EQ(windowText(h("status")), nuv::kStartupStatus);
    EXPECT_EQ(statusBackground(), RGB(255, 255, 255));
    expectShowsModel();
}

}  // namespace
