#include "cli/draw.h"

#include <curses.h>

#include <algorithm>
#include <array>

namespace nuv::tui {

namespace {

struct Rgb {
    int r, g, b;
};

Rgb rgbOf(Colour c) { return {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)}; }

// Black text on light backgrounds, white on dark ones, as the window does.
bool light(Colour background) {
    const Rgb c = rgbOf(background);
    return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b >= 128;
}

const std::map<Colour, const char*>& colourNames() {
    static const std::map<Colour, const char*> names = {
        {kWhite, "white"},       {kBlack, "black"},
        {kRed, "red"},           {kDarkGreen, "dark green"},
        {kOrangeBrown, "orange-brown"}, {kGreen, "green"},
    };
    return names;
}

// A caption too long for its room loses the runs of blanks that line it up
// in the window's proportional font.
std::string collapseBlanks(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ' ' && i >= 3)) out += text[i];
    return out;
}

}  // namespace

std::vector<std::string> wrapText(std::string_view text, int width) {
    std::vector<std::string> lines;
    if (width <= 0) return lines;
    const auto w = static_cast<std::size_t>(width);
    std::string line;
    bool lineOpen = false;
    std::size_t i = 0;
    const auto breakLine = [&] {
        lines.push_back(line);
        line.clear();
    };
    while (i < text.size()) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            i += (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            breakLine();
            lineOpen = false;
            continue;
        }
        lineOpen = true;
        std::size_t end = i;
        if (ch == ' ') {
            while (end < text.size() && text[end] == ' ') ++end;
            // Blanks that do not fit end the line and are dropped with it.
            if (line.size() + (end - i) >= w) {
                if (!line.empty()) breakLine();
            } else if (!line.empty()) {
                line.append(text.substr(i, end - i));
            }
            i = end;
            continue;
        }
        while (end < text.size() && text[end] != ' ' && text[end] != '\r' && text[end] != '\n')
            ++end;
        std::string_view word = text.substr(i, end - i);
        if (!line.empty() && line.size() + word.size() > w) {
            while (!line.empty() && line.back() == ' ') line.pop_back();
            breakLine();
        }
        while (word.size() > w) {  // a word longer than a line is cut
            lines.emplace_back(word.substr(0, w));
            word.remove_prefix(w);
        }
        line.append(word);
        i = end;
    }
    if (lineOpen && !line.empty()) lines.push_back(line);
    return lines;
}

std::string colourName(Colour background) {
    const auto it = colourNames().find(background);
    return it != colourNames().end() ? it->second : "colour " + std::to_string(background);
}

bool shown(const Form& form, const Control& c) {
    for (const Control* at = &c; at; at = at->container.empty() ? nullptr : form.find(at->container))
        if (!at->visible) return false;
    return true;
}

bool reachable(const Form& form, const Control& c) {
    if (!shown(form, c)) return false;
    for (const Control* at = &c; at; at = at->container.empty() ? nullptr : form.find(at->container))
        if (!at->enabled) return false;
    return true;
}

Painter::Painter() {
    colours_ = has_colors() && start_color() == OK;
    if (colours_) use_default_colors();
    // Disabled controls are dimmed; a terminal without a dim mode shows them
    // in a dark colour instead.
    if (termattrs() & A_DIM)
        dim_ = A_DIM;
    else if (colours_)
        dim_ = colourPair(COLORS >= 16 ? 8 : COLOR_BLUE, -1);
}

unsigned Painter::colourPair(int foreground, int background) {
    if (!colours_) return 0;
    const auto key = std::make_pair(foreground, background);
    auto it = pairs_.find(key);
    if (it == pairs_.end()) {
        const int n = static_cast<int>(pairs_.size()) + 1;
        if (n >= COLOR_PAIRS) return 0;
        init_pair(static_cast<short>(n), static_cast<short>(foreground),
                  static_cast<short>(background));
        it = pairs_.emplace(key, n).first;
    }
    return static_cast<unsigned>(COLOR_PAIR(it->second));
}

// The terminal colour nearest to a window colour: the 6 x 6 x 6 cube of a
// 256-colour terminal, else the eight basic colours.
int Painter::terminalColour(Colour c) const {
    if (c & 0x80000000u) return COLOR_BLUE;  // the desktop's highlight colour
    const Rgb v = rgbOf(c);
    if (COLORS >= 256) {
        const auto step = [](int x) { return (x * 5 + 127) / 255; };
        return 16 + 36 * step(v.r) + 6 * step(v.g) + step(v.b);
    }
    static const std::array<Rgb, 8> basic = {{{0, 0, 0},
                                               {205, 0, 0},
                                               {0, 205, 0},
                                               {205, 205, 0},
                                               {0, 0, 238},
                                               {205, 0, 205},
                                               {0, 205, 205},
                                               {229, 229, 229}}};
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < 8; ++i) {
        const int dr = v.r - basic[i].r, dg = v.g - basic[i].g, db = v.b - basic[i].b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

unsigned Painter::captionAttributes(const Control& c) {
    if (c.captionColour == kBlack) return 0;  // the terminal's own text colour
    return colourPair(terminalColour(c.captionColour), -1);
}

void Painter::put(int row, int col, std::string_view text, int width, unsigned attributes) {
    if (row < 0 || row >= LINES || col < 0 || col >= COLS || width <= 0) return;
    const int n = std::min<int>({static_cast<int>(text.size()), width, COLS - col});
    attrset(attributes);
    mvaddnstr(row, col, text.data(), n);
    attrset(A_NORMAL);
}

void Painter::drawBox(int row, int col, int height, int width, std::string_view title, bool fill) {
    if (width < 2 || height < 2) return;
    const int bottom = row + height - 1, right = col + width - 1;
    if (fill)
        for (int r = row + 1; r < bottom; ++r) mvhline(r, col + 1, ' ', width - 2);
    mvhline(row, col + 1, ACS_HLINE, width - 2);
    mvhline(bottom, col + 1, ACS_HLINE, width - 2);
    mvvline(row + 1, col, ACS_VLINE, height - 2);
    mvvline(row + 1, right, ACS_VLINE, height - 2);
    mvaddch(row, col, ACS_ULCORNER);
    mvaddch(row, right, ACS_URCORNER);
    mvaddch(bottom, col, ACS_LLCORNER);
    mvaddch(bottom, right, ACS_LRCORNER);
    if (!title.empty() && width > 4) put(row, col + 1, std::string(" ").append(title).append(" "), width - 2);
}

void Painter::drawItem(const Form& form, const Layout& layout, const Item& item, const View& view) {
    const Control& c = form.controls()[item.index];
    if (!shown(form, c)) return;
    for (std::size_t over : item.coveredBy)
        if (shown(form, form.controls()[over])) return;
    const int first = layout.viewTop, last = layout.viewTop + layout.viewRows - 1;
    const int row = layout.viewTop + item.row - view.top;

    if (c.kind == Kind::Frame) {
        const int bottom = row + item.height - 1, right = item.col + item.width - 1;
        const int from = std::max(row + 1, first), to = std::min(bottom - 1, last);
        if (from <= to) {
            mvvline(from, item.col, ACS_VLINE, to - from + 1);
            mvvline(from, right, ACS_VLINE, to - from + 1);
        }
        for (int edge : {row, bottom}) {
            if (edge < first || edge > last) continue;
            mvhline(edge, item.col + 1, ACS_HLINE, item.width - 2);
            mvaddch(edge, item.col, edge == row ? ACS_ULCORNER : ACS_LLCORNER);
            mvaddch(edge, right, edge == row ? ACS_URCORNER : ACS_LRCORNER);
        }
        if (row >= first && row <= last && !c.caption.empty() && item.width > 4)
            put(row, item.col + 1, " " + c.caption + " ", item.width - 2, captionAttributes(c));
        return;
    }
    if (row < first || row > last) return;

    unsigned attributes = captionAttributes(c);
    if (c.kind == Kind::Button || c.kind == Kind::Picture) attributes |= A_BOLD;
    if (c.kind == Kind::Label && c.clickable) attributes |= A_UNDERLINE;
    if (!reachable(form, c) && c.clickable) attributes = dim_;
    if (item.index == view.focus)
        attributes |= A_REVERSE;
    std::string text = itemText(c);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (static_cast<int>(text.size()) > item.width) text = collapseBlanks(text);
    const int offset = c.centred ? std::max(0, (item.width - static_cast<int>(text.size())) / 2) : 0;
    put(row, item.col + offset, text, item.width - offset, attributes);
}

void Painter::drawStatus(const Form& form, const Layout& layout) {
    const Control& box = form.controls()[layout.statusBox];
    const Control& frame = form.controls()[layout.statusFrame];
    const int top = layout.statusTop, width = layout.cols;
    drawBox(top, 0, kStatusLines + 2, width, frame.caption, true);
    const std::string name = std::string(" ").append(colourName(box.backColour)).append(" ");
    if (width > static_cast<int>(name.size()) + 14)
        put(top, width - 2 - static_cast<int>(name.size()), name, static_cast<int>(name.size()));

    unsigned attributes = 0;
    if (colours_) {
        const bool onLight = light(box.backColour);
        const int text = COLORS >= 256 ? (onLight ? 16 : 231) : (onLight ? COLOR_BLACK : COLOR_WHITE);
        attributes = colourPair(text, terminalColour(box.backColour));
    } else if (!light(box.backColour)) {
        attributes = A_REVERSE;
    }
    const std::vector<std::string> lines = wrapText(box.caption, width - 4);
    for (int i = 0; i < kStatusLines; ++i) {
        std::string line = i < static_cast<int>(lines.size()) ? lines[i] : std::string();
        line.resize(static_cast<std::size_t>(width - 2), ' ');
        put(top + 1 + i, 1, " " + line, width - 2, attributes);
    }
}

void Painter::drawMain(const Form& form, const Layout& layout, const View& view) {
    erase();
    const int width = layout.cols;
    std::string title = " " + form.at("Form1").caption;
    std::string where;
    if (layout.canvasRows > layout.viewRows)
        where = "lines " + std::to_string(view.top + 1) + "-" +
                std::to_string(std::min(layout.canvasRows, view.top + layout.viewRows)) + " of " +
                std::to_string(layout.canvasRows) + " ";
    title.resize(static_cast<std::size_t>(std::max(0, width)), ' ');
    if (where.size() + 2 < title.size()) title.replace(title.size() - where.size(), where.size(), where);
    put(0, 0, title, width, A_REVERSE);

    for (const Item& item : layout.items) drawItem(form, layout, item, view);
    drawStatus(form, layout);

    std::string help(" ");
    help += kKeyLine;
    if (view.focus < form.controls().size()) {
        const std::string name = form.controls()[view.focus].name + " ";
        if (help.size() + name.size() + 2 <= static_cast<std::size_t>(width)) {
            help.resize(static_cast<std::size_t>(width) - name.size(), ' ');
            help += name;
        }
    }
    put(layout.helpRow, 0, help, width);
}

void Painter::drawTooSmall(int cols, int rows) {
    erase();
    const std::vector<std::string> lines = {
        "The terminal is too small: " + std::to_string(cols) + " x " + std::to_string(rows) + ".",
        "nuvdm-menu needs at least " + std::to_string(kMinCols) + " x " +
            std::to_string(kMinRows) + " (columns x rows).",
        "Make the window larger, or press q to quit.",
    };
    const int top = std::max(0, (rows - static_cast<int>(lines.size())) / 2);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int len = static_cast<int>(lines[i].size());
        put(top + static_cast<int>(i), std::max(0, (cols - len) / 2), lines[i], cols);
    }
}

}  // namespace nuv::tui
