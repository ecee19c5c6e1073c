// nuvdm-make-art: draws the menu's pictures and writes them as BMP files (and
// the window icon as an ICO file) into a folder.
//
// Everything is drawn with integer arithmetic only, so the output is the same
// byte for byte whatever the compiler, its flags or the machine's word size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

// --- pictures -----------------------------------------------------------------

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kInk{24, 20, 28};

Rgb mix(Rgb a, Rgb b, int num, int den) {
    if (den <= 0) return a;
    auto m = [&](int x, int y) { return static_cast<uint8_t>(x + (y - x) * num / den); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

Rgb lighter(Rgb c, int amount) {
    auto l = [&](int x) { return static_cast<uint8_t>(x + (255 - x) * amount / 100); };
    return {l(c.r), l(c.g), l(c.b)};
}

Rgb darker(Rgb c, int amount) {
    auto d = [&](int x) { return static_cast<uint8_t>(x * (100 - amount) / 100); };
    return {d(c.r), d(c.g), d(c.b)};
}

struct Image {
    int w, h;
    std::vector<Rgb> px;
    Image(int width, int height, Rgb fill) : w(width), h(height), px(size_t(width) * height, fill) {}
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    void set(int x, int y, Rgb c) {
        if (inside(x, y)) px[size_t(y) * w + x] = c;
    }
    Rgb at(int x, int y) const { return px[size_t(y) * w + x]; }
};

// A one-bit coverage mask, used to outline and shadow shapes.
struct Mask {
    int w, h;
    std::vector<uint8_t> on;
    Mask(int width, int height) : w(width), h(height), on(size_t(width) * height, 0) {}
    bool get(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && on[size_t(y) * w + x]; }
    void set(int x, int y) {
        if (x >= 0 && y >= 0 && x < w && y < h) on[size_t(y) * w + x] = 1;
    }
    // Every cell within a square of the given radius around a set cell.
    Mask grown(int radius) const {
        Mask g(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (get(x, y))
                    for (int dy = -radius; dy <= radius; ++dy)
                        for (int dx = -radius; dx <= radius; ++dx)
                            if (dx * dx + dy * dy <= radius * radius + 1) g.set(x + dx, y + dy);
        return g;
    }
};

void fillRect(Image& img, int x0, int y0, int x1, int y1, Rgb c) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) img.set(x, y, c);
}

bool inEllipse(int x, int y, int cx, int cy, int rx, int ry) {
    const int64_t dx = x - cx, dy = y - cy;
    return dx * dx * ry * ry + dy * dy * rx * rx <= int64_t(rx) * rx * ry * ry;
}

void fillEllipse(Image& img, int cx, int cy, int rx, int ry, Rgb c) {
    for (int y = cy - ry; y <= cy + ry; ++y)
        for (int x = cx - rx; x <= cx + rx; ++x)
            if (inEllipse(x, y, cx, cy, rx, ry)) img.set(x, y, c);
}

// A rectangle with corners rounded by radius r, [x0, x1) by [y0, y1).
bool inRoundRect(int x, int y, int x0, int y0, int x1, int y1, int r) {
    if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
    const int cx = x < x0 + r ? x0 + r : (x >= x1 - r ? x1 - 1 - r : x);
    const int cy = y < y0 + r ? y0 + r : (y >= y1 - r ? y1 - 1 - r : y);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

void fillRoundRect(Image& img, int x0, int y0, int x1, int y1, int r, Rgb c) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (inRoundRect(x, y, x0, y0, x1, y1, r)) img.set(x, y, c);
}

// Cartoon style: every part is drawn over a one pixel dark rim.
void inkRoundRect(Image& img, int x0, int y0, int x1, int y1, int r, Rgb c) {
    fillRoundRect(img, x0 - 1, y0 - 1, x1 + 1, y1 + 1, r + 1, kInk);
    fillRoundRect(img, x0, y0, x1, y1, r, c);
}

void inkEllipse(Image& img, int cx, int cy, int rx, int ry, Rgb c) {
    fillEllipse(img, cx, cy, rx + 1, ry + 1, kInk);
    fillEllipse(img, cx, cy, rx, ry, c);
}

// --- lettering -----------------------------------------------------------------

// A tiny pixel font: seven rows per glyph, '#' is ink; widths vary.
const std::map<char, std::vector<const char*>>& font() {
    static const std::map<char, std::vector<const char*>> glyphs = {
        {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
        {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'N', {"#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"}},
        {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
        {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
        {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
        {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
        {'z', {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"}},
        {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
        {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
        {'i', {".#.", "...", "##.", ".#.", ".#.", ".#.", "###"}},
        {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
        {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
        {'0', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'.', {".", ".", ".", ".", ".", ".", "#"}},
    };
    return glyphs;
}

const std::vector<const char*>& glyph(char c) {
    const auto it = font().find(c);
    if (it == font().end()) {
        std::fprintf(stderr, "nuvdm-make-art: no glyph for '%c'\n", c);
        std::exit(1);
    }
    return it->second;
}

// Width of a text in font columns, one blank column between glyphs.
int textColumns(const std::string& text) {
    int cols = 0;
    for (char c : text) cols += static_cast<int>(std::strlen(glyph(c)[0])) + 1;
    return cols > 0 ? cols - 1 : 0;
}

// Marks the cells of `text` at (x, y), each font pixel a square of `scale`.
// `cellOf` receives the glyph index of every cell it covers.
void letter(Mask& m, std::vector<int>* cellOf, const std::string& text, int x, int y, int scale) {
    for (size_t g = 0; g < text.size(); ++g) {
        const auto& rows = glyph(text[g]);
        const int width = static_cast<int>(std::strlen(rows[0]));
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < width; ++col) {
                if (rows[row][col] != '#') continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) {
                        const int px = x + col * scale + dx, py = y + row * scale + dy;
                        m.set(px, py);
                        if (cellOf && m.get(px, py)) (*cellOf)[size_t(py) * m.w + px] = int(g);
                    }
            }
        x += (width + 1) * scale;
    }
}

// Lettering with a shadow, a dark rim and a top-to-bottom gradient per glyph
// colour; every font pixel gets a light top-left bevel when scale allows.
struct LetterStyle {
    int scale, rim, shadowDx, shadowDy;
    Rgb shadow;
};

void drawLettering(Image& img, const std::string& text, int x, int y, const LetterStyle& s,
                   const std::vector<std::pair<Rgb, Rgb>>& colours) {
    Mask m(img.w, img.h);
    std::vector<int> cellOf(size_t(img.w) * img.h, 0);
    letter(m, &cellOf, text, x, y, s.scale);
    const Mask rim = s.rim > 0 ? m.grown(s.rim) : m;
    const int top = y - s.rim, height = 7 * s.scale + 2 * s.rim;
    for (int py = 0; py < img.h; ++py)
        for (int px = 0; px < img.w; ++px)
            if (rim.get(px - s.shadowDx, py - s.shadowDy)) img.set(px, py, s.shadow);
    for (int py = 0; py < img.h; ++py)
        for (int px = 0; px < img.w; ++px) {
            if (!rim.get(px, py)) continue;
            if (!m.get(px, py)) {
                img.set(px, py, kInk);
                continue;
            }
            const auto& [from, to] = colours[size_t(cellOf[size_t(py) * img.w + px]) % colours.size()];
            Rgb c = mix(from, to, py - top, height);
            const int cx = (px - x) % s.scale, cy = (py - y) % s.scale;
            if (s.scale >= 4 && (cx == 0 || cy == 0)) c = lighter(c, 35);
            else if (s.scale >= 4 && (cx == s.scale - 1 || cy == s.scale - 1)) c = darker(c, 15);
            img.set(px, py, c);
        }
}

// --- the pictures ----------------------------------------------------------------

Image makeLogo() {
    Image img(262, 66, kWhite);
    // A soft band behind the word, like a badge.
    for (int y = 6; y < 60; ++y)
        for (int x = 2; x < 260; ++x)
            if (inRoundRect(x, y, 2, 6, 260, 60, 12)) img.set(x, y, mix({232, 238, 248}, {204, 214, 232}, y - 6, 54));
    const std::string word = "ZorBOTz";
    const int scale = 6, width = textColumns(word) * scale;
    const Rgb fireTop{255, 214, 64}, fireBottom{214, 40, 24};
    const Rgb steelTop{150, 210, 255}, steelBottom{20, 70, 170};
    drawLettering(img, word, (262 - width) / 2, 10, {scale, 2, 3, 3, {150, 156, 170}},
                  {{fireTop, fireBottom}, {fireTop, fireBottom}, {fireTop, fireBottom},
                   {steelTop, steelBottom}, {steelTop, steelBottom}, {steelTop, steelBottom},
                   {fireTop, fireBottom}});
    // The bot's "eye": a red lamp in the O.
    fillEllipse(img, (262 - width) / 2 + 24 * scale + 15, 10 + 21, 5, 5, kInk);
    fillEllipse(img, (262 - width) / 2 + 24 * scale + 15, 10 + 21, 4, 4, {255, 40, 30});
    fillEllipse(img, (262 - width) / 2 + 24 * scale + 14, 10 + 20, 1, 1, {255, 200, 190});
    return img;
}

struct Outfit {
    Rgb head, headDark, body, pants, boots, gun, skin, extra;
    bool helmet;
};

// One cartoon figure standing at (cx, bottom), about 58 pixels tall.
void drawFigure(Image& img, int cx, int bottom, const Outfit& o, bool gunLeft) {
    const int top = bottom - 58;
    // Legs and boots.
    inkRoundRect(img, cx - 9, top + 38, cx - 1, bottom - 4, 2, o.pants);
    inkRoundRect(img, cx + 1, top + 38, cx + 9, bottom - 4, 2, o.pants);
    inkRoundRect(img, cx - 11, bottom - 6, cx - 1, bottom - 1, 2, o.boots);
    inkRoundRect(img, cx + 1, bottom - 6, cx + 11, bottom - 1, 2, o.boots);
    // Body with a light front panel and a belt.
    inkRoundRect(img, cx - 12, top + 20, cx + 12, top + 41, 5, o.body);
    fillRoundRect(img, cx - 8, top + 23, cx - 3, top + 36, 2, lighter(o.body, 30));
    fillRect(img, cx - 12, top + 37, cx + 12, top + 40, darker(o.pants, 30));
    fillRect(img, cx - 2, top + 37, cx + 2, top + 40, {220, 190, 60});
    // Arms, the gun held across the chest.
    const int dir = gunLeft ? -1 : 1;
    inkRoundRect(img, cx - 16, top + 22, cx - 10, top + 36, 3, o.body);
    inkRoundRect(img, cx + 10, top + 22, cx + 16, top + 36, 3, o.body);
    const int gx0 = gunLeft ? cx - 24 : cx - 6, gx1 = gunLeft ? cx + 6 : cx + 24;
    inkRoundRect(img, gx0, top + 29, gx1, top + 33, 1, o.gun);
    inkRoundRect(img, cx + dir * 4 - 2, top + 32, cx + dir * 4 + 2, top + 38, 1, o.gun);
    fillRect(img, gunLeft ? gx0 - 3 : gx1, top + 30, gunLeft ? gx0 : gx1 + 3, top + 32, o.gun);
    inkEllipse(img, cx - 13, top + 32, 3, 3, o.skin);
    inkEllipse(img, cx + 13, top + 32, 3, 3, o.skin);
    // Head.
    inkEllipse(img, cx, top + 12, 9, 9, o.skin);
    if (o.helmet) {
        // Helmet with a brim and goggles.
        for (int y = top + 1; y <= top + 10; ++y)
            for (int x = cx - 11; x <= cx + 11; ++x)
                if (inEllipse(x, y, cx, top + 10, 11, 10)) img.set(x, y, kInk);
        for (int y = top + 2; y <= top + 9; ++y)
            for (int x = cx - 10; x <= cx + 10; ++x)
                if (inEllipse(x, y, cx, top + 10, 10, 9)) img.set(x, y, o.head);
        fillRect(img, cx - 12, top + 9, cx + 13, top + 11, o.headDark);
        fillEllipse(img, cx - 6, top + 5, 2, 1, lighter(o.head, 45));
        inkRoundRect(img, cx - 7, top + 12, cx - 1, top + 15, 1, o.extra);
        inkRoundRect(img, cx + 1, top + 12, cx + 7, top + 15, 1, o.extra);
    } else {
        // Balaclava with an eye slit, and a scarf.
        for (int y = top + 2; y <= top + 22; ++y)
            for (int x = cx - 10; x <= cx + 10; ++x)
                if (inEllipse(x, y, cx, top + 12, 10, 10) &&
                    !(y >= top + 10 && y <= top + 14 && x >= cx - 7 && x <= cx + 7))
                    img.set(x, y, inEllipse(x, y, cx, top + 12, 9, 9) ? o.head : kInk);
        fillRect(img, cx - 6, top + 11, cx - 3, top + 14, kWhite);
        fillRect(img, cx + 3, top + 11, cx + 6, top + 14, kWhite);
        inkRoundRect(img, cx - 10, top + 19, cx + 10, top + 23, 2, o.extra);
        fillRect(img, cx + 4, top + 23, cx + 8, top + 28, o.extra);
    }
    // Eyes and mouth.
    img.set(cx - 4, top + 13, kInk);
    img.set(cx - 4, top + 12, kInk);
    img.set(cx + 4, top + 13, kInk);
    img.set(cx + 4, top + 12, kInk);
    if (o.helmet)
        for (int x = cx - 3; x <= cx + 3; ++x) img.set(x, top + 17 + (x == cx - 3 || x == cx + 3 ? -1 : 0), kInk);
}

Image makeCounterTerrorists() {
    Image img(98, 64, kWhite);
    fillEllipse(img, 49, 60, 44, 4, {214, 224, 240});
    const Outfit ct{{46, 84, 160}, {24, 44, 96}, {60, 110, 200}, {40, 56, 92}, {20, 24, 36},
                    {40, 40, 46}, {244, 200, 160}, {130, 200, 240}, true};
    drawFigure(img, 28, 63, ct, false);
    Outfit second = ct;
    second.body = {80, 140, 220};
    second.head = {36, 64, 130};
    drawFigure(img, 70, 63, second, true);
    return img;
}

Image makeTerrorists() {
    Image img(103, 64, kWhite);
    fillEllipse(img, 51, 60, 46, 4, {238, 228, 210});
    const Outfit t{{52, 52, 44}, {30, 30, 26}, {150, 112, 60}, {92, 84, 62}, {44, 34, 24},
                   {120, 70, 34}, {226, 176, 130}, {200, 40, 36}, false};
    drawFigure(img, 29, 63, t, false);
    Outfit second = t;
    second.body = {112, 120, 70};
    second.extra = {220, 120, 40};
    drawFigure(img, 74, 63, second, true);
    return img;
}

Image makeVersion() {
    Image img(123, 35, kWhite);
    const std::string word = "Version";
    const int width = textColumns(word) * 3;
    drawLettering(img, word, (123 - width) / 2, 6, {3, 1, 2, 2, {190, 196, 206}},
                  {{{110, 150, 230}, {20, 40, 120}}});
    return img;
}

Image makeNumber() {
    Image img(63, 31, kWhite);
    // Full width: the rim and shadow fall below the glyphs only.
    drawLettering(img, "7.0.0", 0, 3, {3, 0, 1, 2, {190, 196, 206}},
                  {{{236, 150, 30}, {170, 30, 20}}});
    return img;
}

Image makeSaveIcon() {
    const Rgb face{0xE0, 0xE0, 0xE0};  // the Save button's own grey
    Image img(16, 16, face);
    fillRect(img, 1, 1, 15, 15, kInk);
    fillRect(img, 2, 2, 14, 14, {40, 70, 150});
    fillRect(img, 14, 1, 15, 3, face);  // clipped corner
    fillRect(img, 13, 2, 14, 3, kInk);
    // Label and metal shutter.
    fillRect(img, 4, 2, 12, 7, kWhite);
    fillRect(img, 4, 4, 12, 5, {170, 180, 200});
    fillRect(img, 5, 10, 11, 14, {190, 196, 206});
    fillRect(img, 6, 11, 8, 14, {60, 64, 80});
    return img;
}

// The decorative picture: shades of one light ramp, indices 0 (white) to 255.
struct Indexed {
    int w, h;
    std::vector<uint8_t> px;
    std::vector<Rgb> palette;
};

Indexed makeDecor() {
    Indexed img{600, 600, std::vector<uint8_t>(600 * 600, 0), {}};
    for (int i = 0; i < 256; ++i) img.palette.push_back(mix(kWhite, {176, 194, 226}, i, 255));
    auto put = [&](int x, int y, int v) {
        if (x < 0 || y < 0 || x >= img.w || y >= img.h) return;
        uint8_t& p = img.px[size_t(y) * img.w + x];
        p = static_cast<uint8_t>(std::max<int>(p, std::min(v, 255)));
    };
    // The part the window shows is the top-left corner: a target centred there.
    const int cx = 150, cy = 160;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) {
            const int dx = x - cx, dy = y - cy;
            const int d2 = dx * dx + dy * dy;
            int r = 0;
            while ((r + 1) * (r + 1) <= d2) ++r;  // integer square root
            // A faint wash that fades outward, rings every 36 pixels.
            int v = r < 420 ? 40 - r * 40 / 420 : 0;
            const int ring = r % 36;
            if (r < 330 && (ring == 0 || ring == 1)) v = std::max(v, 110 - r / 5);
            // Fine diagonal hatching in the lower right.
            if ((x + y) % 12 == 0 && x + y > 700) v = std::max(v, 30);
            put(x, y, v);
        }
    // Cross hairs through the centre with a gap around it.
    for (int t = 0; t < 600; ++t) {
        const int off = t - cx;
        if (off < -14 || off > 14) {
            put(t, cy, 150);
            put(t, cy + 1, 150);
        }
        const int offy = t - cy;
        if (offy < -14 || offy > 14) {
            put(cx, t, 150);
            put(cx + 1, t, 150);
        }
    }
    // Tick marks on the second ring, and a dot in the centre.
    for (int k = -3; k <= 3; ++k)
        for (int i = 66; i < 78; ++i) {
            put(cx + k * 10, cy - i, 160);
            put(cx + k * 10, cy + i, 160);
        }
    for (int y = cy - 5; y <= cy + 5; ++y)
        for (int x = cx - 5; x <= cx + 5; ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= 25) put(x, y, 190);
    // Scattered sparks from a fixed sequence.
    uint32_t seed = 20061207u;
    for (int i = 0; i < 260; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int x = int((seed >> 8) % 600u);
        seed = seed * 1664525u + 1013904223u;
        const int y = int((seed >> 8) % 600u);
        const int size = 1 + int((seed >> 4) % 3u);
        for (int d = -size; d <= size; ++d) {
            put(x + d, y, 120);
            put(x, y + d, 120);
        }
    }
    return img;
}

// Window icon, 32 x 32 with transparency: a round badge with cross hairs.
struct Rgba {
    uint8_t r, g, b, a;
};

std::vector<Rgba> makeIcon() {
    std::vector<Rgba> px(32 * 32, {0, 0, 0, 0});
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            // Twice the resolution so the circle's centre sits between pixels.
            const int dx = 2 * x + 1 - 32, dy = 2 * y + 1 - 32;
            const int d2 = dx * dx + dy * dy;
            if (d2 > 31 * 31) continue;
            Rgb c = d2 > 27 * 27 ? kInk : mix({240, 120, 40}, {170, 30, 20}, y, 31);
            if (d2 <= 27 * 27 && d2 > 24 * 24) c = {255, 230, 170};
            const bool cross = (x == 15 || x == 16 || y == 15 || y == 16) && d2 <= 24 * 24 && d2 > 5 * 5;
            if (cross || (d2 <= 17 * 17 && d2 > 14 * 14)) c = kWhite;
            if (d2 <= 3 * 3) c = kWhite;
            px[size_t(y) * 32 + x] = {c.r, c.g, c.b, 255};
        }
    return px;
}

// --- files ----------------------------------------------------------------------

void le16(std::string& out, uint32_t v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void le32(std::string& out, uint32_t v) {
    le16(out, v & 0xFFFF);
    le16(out, v >> 16);
}

void infoHeader(std::string& out, int w, int h, int bits, uint32_t imageSize, uint32_t colours) {
    le32(out, 40);
    le32(out, uint32_t(w));
    le32(out, uint32_t(h));
    le16(out, 1);
    le16(out, uint32_t(bits));
    le32(out, 0);  // no compression
    le32(out, imageSize);
    le32(out, 3780);  // 96 dpi in pixels per metre
    le32(out, 3780);
    le32(out, colours);
    le32(out, 0);
}

void fileHeader(std::string& out, uint32_t fileSize, uint32_t dataOffset) {
    out += "BM";
    le32(out, fileSize);
    le32(out, 0);
    le32(out, dataOffset);
}

std::string bmp24(const Image& img) {
    const uint32_t stride = (uint32_t(img.w) * 3 + 3) & ~3u;
    const uint32_t size = stride * uint32_t(img.h);
    std::string out;
    fileHeader(out, 54 + size, 54);
    infoHeader(out, img.w, img.h, 24, size, 0);
    for (int y = img.h - 1; y >= 0; --y) {
        uint32_t row = 0;
        for (int x = 0; x < img.w; ++x, row += 3) {
            const Rgb c = img.at(x, y);
            out += char(c.b);
            out += char(c.g);
            out += char(c.r);
        }
        for (; row < stride; ++row) out += '\0';
    }
    return out;
}

std::string bmp8(const Indexed& img) {
    const uint32_t stride = (uint32_t(img.w) + 3) & ~3u;
    const uint32_t size = stride * uint32_t(img.h);
    const uint32_t offset = 54 + 4 * uint32_t(img.palette.size());
    std::string out;
    fileHeader(out, offset + size, offset);
    infoHeader(out, img.w, img.h, 8, size, uint32_t(img.palette.size()));
    for (const Rgb& c : img.palette) {
        out += char(c.b);
        out += char(c.g);
        out += char(c.r);
        out += '\0';
    }
    for (int y = img.h - 1; y >= 0; --y) {
        uint32_t row = 0;
        for (int x = 0; x < img.w; ++x, ++row) out += char(img.px[size_t(y) * img.w + x]);
        for (; row < stride; ++row) out += '\0';
    }
    return out;
}

std::string ico32(const std::vector<Rgba>& px) {
    const uint32_t xorSize = 32 * 32 * 4, andSize = 32 * 4;
    const uint32_t imageSize = 40 + xorSize + andSize;
    std::string out;
    le16(out, 0);  // icon directory: reserved, type 1 (icon), one image
    le16(out, 1);
    le16(out, 1);
    out += char(32);
    out += char(32);
    out += char(0);
    out += char(0);
    le16(out, 1);
    le16(out, 32);
    le32(out, imageSize);
    le32(out, 22);
    infoHeader(out, 32, 64, 32, xorSize + andSize, 0);  // height counts both masks
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; ++x) {
            const Rgba& p = px[size_t(y) * 32 + x];
            out += char(p.b);
            out += char(p.g);
            out += char(p.r);
            out += char(p.a);
        }
    for (int y = 31; y >= 0; --y)
        for (int byte = 0; byte < 4; ++byte) {
            uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (px[size_t(y) * 32 + byte * 8 + bit].a == 0) bits |= uint8_t(0x80 >> bit);
            out += char(bits);
        }
    return out;
}

bool writeFile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "nuvdm-make-art: cannot write " << p.string() << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::ostream& os = argc == 2 ? std::cout : std::cerr;
        os << "usage: nuvdm-make-art FOLDER\n"
              "Draws the menu's pictures into FOLDER (created if missing): logo.bmp, ct.bmp,\n"
              "t.bmp, version.bmp, number.bmp, decor.bmp, save.bmp and nuvdm.ico.\n";
        return argc == 2 ? 0 : 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::cerr << "nuvdm-make-art: cannot create " << dir.string() << ": " << ec.message() << "\n";
        return 1;
    }
    const std::vector<std::pair<const char*, std::string>> files = {
        {"logo.bmp", bmp24(makeLogo())},
        {"ct.bmp", bmp24(makeCounterTerrorists())},
        {"t.bmp", bmp24(makeTerrorists())},
        {"version.bmp", bmp24(makeVersion())},
        {"number.bmp", bmp24(makeNumber())},
        {"decor.bmp", bmp8(makeDecor())},
        {"save.bmp", bmp24(makeSaveIcon())},
        {"nuvdm.ico", ico32(makeIcon())},
    };
    for (const auto& [name, bytes] : files)
        if (!writeFile(dir / name, bytes)) return 1;
    return 0;
}
