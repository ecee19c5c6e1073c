// The menu's window on Windows: draws the control table of nuv::Form as
// Win32 child windows, forwards every click to Form::click() and re-reads
// every control's state afterwards. It keeps no settings of its own.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "form/form.h"

namespace nuv::win32 {

// Layout positions are twips; the window is laid out at 96 dpi.
constexpr int kTwipsPerPixel = 15;
constexpr int toPixels(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

// Child window ids: kFirstControlId + the control's index in Form::controls().
constexpr int kFirstControlId = 1000;

inline constexpr const char* kWindowClass = "NUVDM_MenuWindow";

// 0x00BBGGRR model colour as a GDI colour; 0x80000000 | n is system colour n.
COLORREF toColorRef(Colour colour);

// The MessageBox flags of a message style (always one OK button).
UINT messageBoxFlags(MessageStyle style);

// The program's own front end: modal message boxes owned by the window, and
// the shell's "open" action for web addresses.
class ShellFrontEnd : public FrontEnd {
public:
    void setOwner(HWND owner) { owner_ = owner; }
    void messageBox(const std::string& title, const std::string& text,
                    MessageStyle style) override;
    void openWebPage(const std::string& url) override;

private:
    HWND owner_ = nullptr;
};

class MenuWindow {
public:
    // directory: the folder Save writes in (the program passes the current one).
    MenuWindow(FrontEnd& frontEnd, std::filesystem::path directory);
    ~MenuWindow();
    MenuWindow(const MenuWindow&) = delete;
    MenuWindow& operator=(const MenuWindow&) = delete;

    // Creates the window and its controls, not yet shown. Pictures and the
    // icon come from instance's resources. False when Windows refuses.
    bool create(HINSTANCE instance);
    // Shows the window and runs the message loop until it is closed; returns
    // the exit code of WM_QUIT.
    int run(int showCommand);

    HWND hwnd() const { return hwnd_; }
    // The child window of a control (the main window for "Form1"); nullptr
    // for an unknown name.
    HWND handle(std::string_view name) const;
    // The control id of a child window, 0 for an unknown name.
    int controlId(std::string_view name) const;
    const Form& form() const { return form_; }

    // Brings every child window in line with the model: caption, check
    // state, enabled and visible flags, colours.
    void refresh();

private:
    struct Shown {  // what a child window shows now
        std::string caption;
        int value = 0;
        bool enabled = true;
        bool visible = true;
        Colour captionColour = 0;
        Colour backColour = 0;
    };

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool createControls(HINSTANCE instance);
    HWND createControl(HINSTANCE instance, std::size_t index, HWND parent);
    void arrangeZOrder();
    void apply(std::size_t index, bool force);
    void onCommand(HWND child, int code);
    LRESULT onControlColour(HDC dc, HWND child);
    void drawButton(const DRAWITEMSTRUCT& item);
    int indexOf(HWND child) const;

    HFONT font(const Font& f);
    HBRUSH brush(Colour colour);

    Form form_;
    HWND hwnd_ = nullptr;
    bool quitOnDestroy_ = false;
    std::vector<HWND> windows_;  // by control index; Form1 is hwnd_
    std::vector<Shown> shown_;
    std::map<HWND, std::size_t> indexByWindow_;
    std::map<std::tuple<std::string, double, bool>, HFONT> fonts_;
    std::map<Colour, HBRUSH> brushes_;
    std::vector<HBITMAP> bitmaps_;
    HBITMAP saveBitmap_ = nullptr;
};

}  // namespace nuv::win32
