#include "win32/window.h"

#include <shellapi.h>

#include <cmath>
#include <exception>
#include <utility>

#include "win32/resource.h"

namespace nuv::win32 {

namespace {

constexpr const char* kOldProcProperty = "nuvdm.frameproc";
constexpr int kSavePictureSize = 16;

// Resource number of each picture control.
int pictureResource(std::string_view name) {
    if (name == "Image1") return IDB_DECOR;
    if (name == "Image2") return IDB_LOGO;
    if (name == "Image3") return IDB_T;
    if (name == "Image4") return IDB_VERSION;
    if (name == "Image5") return IDB_CT;
    if (name == "Image6") return IDB_NUMBER;
    return 0;
}

// Stacking order among siblings, bottom first: the decorative picture lies
// behind everything, frames behind what overlaps them, then pictures,
// labels and lines, the status box, and clickable boxes and buttons on top
// (knives_only covers its label when shown).
int stackRank(const Control& c) {
    if (c.name == "Image1") return 0;
    switch (c.kind) {
        case Kind::Frame: return 1;
        case Kind::Picture: return 2;
        case Kind::Label:
        case Kind::Line: return 3;
        case Kind::TextBox: return 4;
        default: return 5;
    }
}

// Button captions take '&' as a mnemonic mark; the model's captions mean it
// literally.
std::string literalButtonText(const std::string& caption) {
    std::string out;
    for (char ch : caption) {
        out += ch;
        if (ch == '&') out += '&';
    }
    return out;
}

// A multi-line EDIT breaks lines only at CR LF.
std::string withCrLf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

// The status box's text colour: the model never changes it, but black on
// the black "ordinary message" background would be unreadable, so the text
// is drawn black on light backgrounds and white on dark ones.
COLORREF statusTextColour(Colour background) {
    const COLORREF c = toColorRef(background);
    const double luminance =
        0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c);
    return luminance >= 128 ? RGB(0, 0, 0) : RGB(255, 255, 255);
}

// Room for a second caption line: captions wrap there and are clipped
// (never wrapped out of sight) in one-line controls.
bool twoLines(const Control& c) { return toPixels(c.place.height) >= 24; }

int CALLBACK noteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool hasFace(const char* face) {
    HDC dc = GetDC(nullptr);
    bool found = false;
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    EnumFontFamiliesExA(dc, &lf, &noteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

// The face itself when the system has it, else the dialog face Tahoma, so
// that a missing face does not fall back to an arbitrary wide one.
std::string installedFace(const std::string& face) {
    if (hasFace(face.c_str()) || !hasFace("Tahoma")) return face;
    return "Tahoma";
}

}  // namespace

COLORREF toColorRef(Colour colour) {
    if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFFu));
    return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

UINT messageBoxFlags(MessageStyle style) {
    switch (style) {
        case MessageStyle::Exclamation: return MB_OK | MB_ICONEXCLAMATION;
        case MessageStyle::Information: return MB_OK | MB_ICONINFORMATION;
        case MessageStyle::Critical: return MB_OK | MB_ICONHAND;
        case MessageStyle::Plain: break;
    }
    return MB_OK;
}

void ShellFrontEnd::messageBox(const std::string& title, const std::string& text,
                               MessageStyle style) {
    MessageBoxA(owner_, text.c_str(), title.c_str(), messageBoxFlags(style) | MB_APPLMODAL);
}

void ShellFrontEnd::openWebPage(const std::string& url) {
    ShellExecuteA(owner_, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

MenuWindow::MenuWindow(FrontEnd& frontEnd, std::filesystem::path directory)
    : form_(frontEnd, std::move(directory)) {}

MenuWindow::~MenuWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    for (auto& [key, f] : fonts_) DeleteObject(f);
    for (auto& [colour, b] : brushes_) DeleteObject(b);
    for (HBITMAP b : bitmaps_) DeleteObject(b);
    if (saveBitmap_) DeleteObject(saveBitmap_);
}

bool MenuWindow::create(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &MenuWindow::windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_NUVDM));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_NUVDM), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    // No class brush: the class outlives this object and its brushes, so the
    // background is painted in WM_ERASEBKGND.
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    // Fixed size: no sizing border, no maximise box.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    const Control& window = form_.at("Form1");
    RECT r{0, 0, toPixels(window.place.width), toPixels(window.place.height)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    hwnd_ = CreateWindowExA(exStyle, kWindowClass, window.caption.c_str(), style, CW_USEDEFAULT,
                            CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                            instance, this);
    if (!hwnd_) return false;
    if (!createControls(instance)) {
        DestroyWindow(hwnd_);
        return false;
    }
    return true;
}

int MenuWindow::run(int showCommand) {
    quitOnDestroy_ = true;
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(hwnd_, &msg)) continue;  // Tab and space between controls
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

HWND MenuWindow::handle(std::string_view name) const {
    const auto& controls = form_.controls();
    for (std::size_t i = 0; i < controls.size() && i < windows_.size(); ++i)
        if (controls[i].name == name) return windows_[i];
    return nullptr;
}

int MenuWindow::controlId(std::string_view name) const {
    const auto& controls = form_.controls();
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].name == name && controls[i].kind != Kind::Window)
            return kFirstControlId + static_cast<int>(i);
    return 0;
}

int MenuWindow::indexOf(HWND child) const {
    const auto it = indexByWindow_.find(child);
    return it == indexByWindow_.end() ? -1 : static_cast<int>(it->second);
}

bool MenuWindow::createControls(HINSTANCE instance) {
    const auto& controls = form_.controls();
    windows_.assign(controls.size(), nullptr);
    shown_.assign(controls.size(), Shown{});
    saveBitmap_ = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(IDB_SAVE),
                                                  IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));

    // A control is made once its container exists; the table may name a
    // container after its children.
    bool progress = true;
    std::size_t made = 0;
    while (progress && made < controls.size()) {
        progress = false;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            if (windows_[i]) continue;
            const Control& c = controls[i];
            if (c.kind == Kind::Window) {
                windows_[i] = hwnd_;
            } else {
                HWND parent = handle(c.container);
                if (!parent) continue;
                windows_[i] = createControl(instance, i, parent);
                if (!windows_[i]) return false;
                indexByWindow_[windows_[i]] = i;
            }
            ++made;
            progress = true;
        }
    }
    if (made < controls.size()) return false;  // a container that does not exist

    arrangeZOrder();
    for (std::size_t i = 0; i < controls.size(); ++i) apply(i, true);
    return true;
}

HWND MenuWindow::createControl(HINSTANCE instance, std::size_t index, HWND parent) {
    const Control& c = form_.controls()[index];
    const char* windowClass = "STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    std::string text = c.caption;
    switch (c.kind) {
        case Kind::Frame:
            windowClass = "BUTTON";
            style |= BS_GROUPBOX | WS_CLIPCHILDREN;
            exStyle |= WS_EX_CONTROLPARENT;
            text = literalButtonText(text);
            break;
        case Kind::CheckBox:
            windowClass = "BUTTON";
            style |= BS_CHECKBOX | WS_TABSTOP | (twoLines(c) ? BS_MULTILINE : 0);
            text = literalButtonText(text);
            break;
        case Kind::OptionButton:
            windowClass = "BUTTON";
            style |= BS_RADIOBUTTON | WS_TABSTOP | (twoLines(c) ? BS_MULTILINE : 0);
            text = literalButtonText(text);
            break;
        case Kind::Button:
            windowClass = "BUTTON";
            style |= BS_OWNERDRAW | WS_TABSTOP;
            break;
        case Kind::Label:
            style |= (c.centred ? SS_CENTER : twoLines(c) ? SS_LEFT : SS_LEFTNOWORDWRAP) |
                     SS_NOPREFIX;
            if (c.clickable) style |= SS_NOTIFY;
            break;
        case Kind::TextBox:
            windowClass = "EDIT";
            style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
            exStyle |= WS_EX_CLIENTEDGE;
            text = withCrLf(text);
            break;
        case Kind::Line:
            style |= SS_BLACKRECT;
            text.clear();
            break;
        case Kind::Picture:
            style |= SS_BITMAP;
            if (c.clickable) style |= SS_NOTIFY;
            text.clear();
            break;
        case Kind::Window:
            return nullptr;
    }
    const int width = toPixels(c.place.width);
    const int height = c.kind == Kind::Line ? 1 : toPixels(c.place.height);
    HWND h = CreateWindowExA(exStyle, windowClass, text.c_str(), style, toPixels(c.place.left),
                             toPixels(c.place.top), width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                             instance, nullptr);
    if (!h) return nullptr;
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font(c.font)), FALSE);

    if (c.kind == Kind::Frame) {
        // Children of a frame report to it; pass their notices on to the window.
        const LONG_PTR old = SetWindowLongPtrA(h, GWLP_WNDPROC,
                                               reinterpret_cast<LONG_PTR>(&MenuWindow::frameProc));
        SetPropA(h, kOldProcProperty, reinterpret_cast<HANDLE>(old));
    } else if (c.kind == Kind::Picture) {
        if (int id = pictureResource(c.name)) {
            auto bmp = static_cast<HBITMAP>(
                LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
            if (bmp) {
                bitmaps_.push_back(bmp);
                SendMessageA(h, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp));
                // The picture keeps the place of the layout whatever size the
                // bitmap has.
                SetWindowPos(h, nullptr, 0, 0, width, height,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
    }
    return h;
}

void MenuWindow::arrangeZOrder() {
    // Each call puts a window at the bottom, so go from the top rank down.
    const auto& controls = form_.controls();
    for (int rank = 5; rank >= 0; --rank)
        for (std::size_t i = 0; i < controls.size(); ++i)
            if (controls[i].kind != Kind::Window && stackRank(controls[i]) == rank)
                SetWindowPos(windows_[i], HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MenuWindow::refresh() {
    for (std::size_t i = 0; i < windows_.size(); ++i) apply(i, false);
}

void MenuWindow::apply(std::size_t index, bool force) {
    const Control& c = form_.controls()[index];
    HWND h = windows_[index];
    Shown& s = shown_[index];
    if (!h || c.kind == Kind::Window) return;

    bool repaint = false;
    if (force || s.caption != c.caption) {
        std::string text = c.caption;
        if (c.kind == Kind::TextBox) text = withCrLf(text);
        else if (c.kind == Kind::CheckBox || c.kind == Kind::OptionButton || c.kind == Kind::Frame)
            text = literalButtonText(text);
        if (c.kind != Kind::Picture && c.kind != Kind::Line) SetWindowTextA(h, text.c_str());
        s.caption = c.caption;
        repaint = true;
    }
    if ((c.kind == Kind::CheckBox || c.kind == Kind::OptionButton) &&
        (force || s.value != c.value)) {
        SendMessageA(h, BM_SETCHECK, c.value ? BST_CHECKED : BST_UNCHECKED, 0);
        s.value = c.value;
    }
    if (force || s.enabled != c.enabled) {
        EnableWindow(h, c.enabled ? TRUE : FALSE);
        s.enabled = c.enabled;
    }
    if (force || s.captionColour != c.captionColour || s.backColour != c.backColour) {
        s.captionColour = c.captionColour;
        s.backColour = c.backColour;
        repaint = true;
    }
    if (force || s.visible != c.visible) {
        ShowWindow(h, c.visible ? SW_SHOWNA : SW_HIDE);
        s.visible = c.visible;
    }
    if (repaint && !force) InvalidateRect(h, nullptr, TRUE);
}

void MenuWindow::onCommand(HWND child, int code) {
    // BN_CLICKED and STN_CLICKED (both 0) are the clicks; double clicks and
    // focus notices are not.
    if (code != BN_CLICKED) return;
    const int index = indexOf(child);
    if (index < 0) return;
    const Control& c = form_.controls()[static_cast<std::size_t>(index)];
    if (!c.clickable) return;
    const std::string name = c.name;  // the click may change the table's texts
    form_.click(name);                // refused clicks (disabled, hidden) change nothing
    refresh();
}

LRESULT MenuWindow::onControlColour(HDC dc, HWND child) {
    const int index = indexOf(child);
    if (index < 0) return reinterpret_cast<LRESULT>(brush(kWhite));
    const Control& c = form_.controls()[static_cast<std::size_t>(index)];
    SetBkColor(dc, toColorRef(c.backColour));
    SetTextColor(dc, c.kind == Kind::TextBox ? statusTextColour(c.backColour)
                                             : toColorRef(c.captionColour));
    return reinterpret_cast<LRESULT>(brush(c.backColour));
}

void MenuWindow::drawButton(const DRAWITEMSTRUCT& item) {
    const int index = indexOf(item.hwndItem);
    if (index < 0) return;
    const Control& c = form_.controls()[static_cast<std::size_t>(index)];
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;

    FillRect(dc, &r, brush(c.backColour));
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    HGDIOBJ oldFont = SelectObject(dc, font(c.font));
    SIZE textSize{};
    GetTextExtentPoint32A(dc, c.caption.c_str(), static_cast<int>(c.caption.size()), &textSize);
    const int gap = 4;
    const int picture = saveBitmap_ ? kSavePictureSize + gap : 0;
    const int shift = pressed ? 1 : 0;
    const int x = r.left + (r.right - r.left - picture - textSize.cx) / 2 + shift;
    const int midY = (r.top + r.bottom) / 2 + shift;
    if (saveBitmap_)
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(saveBitmap_), 0, x,
                   midY - kSavePictureSize / 2, kSavePictureSize, kSavePictureSize,
                   DST_BITMAP | (disabled ? DSS_DISABLED : DSS_NORMAL));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : toColorRef(c.captionColour));
    RECT textRect{x + picture, r.top, x + picture + textSize.cx + 1, r.bottom};
    OffsetRect(&textRect, 0, shift);
    DrawTextA(dc, c.caption.c_str(), static_cast<int>(c.caption.size()), &textRect,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);

    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

HFONT MenuWindow::font(const Font& f) {
    const auto key = std::make_tuple(f.face, f.points, f.underline);
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
    LOGFONTA lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(f.points * 96.0 / 72.0));
    lf.lfWeight = FW_NORMAL;
    lf.lfUnderline = f.underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, installedFace(f.face).c_str(), LF_FACESIZE);
    HFONT h = CreateFontIndirectA(&lf);
    fonts_[key] = h;
    return h;
}

HBRUSH MenuWindow::brush(Colour colour) {
    if (auto it = brushes_.find(colour); it != brushes_.end()) return it->second;
    HBRUSH b = CreateSolidBrush(toColorRef(colour));
    brushes_[colour] = b;
    return b;
}

LRESULT CALLBACK MenuWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<MenuWindow*>(cs->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<MenuWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    try {
        return self->onMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
        // Nothing may unwind into Windows; say what went wrong instead.
        MessageBoxA(hwnd, e.what(), kProgramTitle, MB_OK | MB_ICONHAND);
        return 0;
    }
}

LRESULT MenuWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam) onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return onControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlType != ODT_BUTTON) break;
            drawButton(*item);
            return TRUE;
        }
        case WM_SETCURSOR: {
            // The two web links show the hand; the unlock pictures stay plain.
            const int index = indexOf(reinterpret_cast<HWND>(wParam));
            if (index >= 0 && LOWORD(lParam) == HTCLIENT) {
                const Control& c = form_.controls()[static_cast<std::size_t>(index)];
                if (c.kind == Kind::Label && c.clickable) {
                    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
                    return TRUE;
                }
            }
            break;
        }
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd_, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush(form_.at("Form1").backColour));
            return TRUE;
        }
        case WM_DESTROY:
            if (quitOnDestroy_) PostQuitMessage(0);
            break;
        case WM_NCDESTROY: {
            HWND h = hwnd_;
            SetWindowLongPtrA(h, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            windows_.clear();
            indexByWindow_.clear();
            return DefWindowProcA(h, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK MenuWindow::frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOldProcProperty));
    switch (message) {
        case WM_NCDESTROY:
            RemovePropA(hwnd, kOldProcProperty);
            if (old) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            break;
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_DRAWITEM:
            return SendMessageA(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
        case WM_ERASEBKGND: {
            // A frame is white inside, like the window.
            HBRUSH b = reinterpret_cast<HBRUSH>(SendMessageA(
                GetAncestor(hwnd, GA_ROOT), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(hwnd)));
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, b);
            return TRUE;
        }
        default:
            break;
    }
    if (!old) return DefWindowProcA(hwnd, message, wParam, lParam);
    return CallWindowProcA(old, hwnd, message, wParam, lParam);
}

}  // namespace nuv::win32
