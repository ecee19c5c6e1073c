#include "cli/layout.h"

#include <algorithm>
#include <map>
#include <string>

namespace nuv::tui {

namespace {

// Marks closer than this (twips) share a row: the window's rows are 240
// twips apart, and controls of one row differ by a few dozen in their middles.
constexpr int kRowTolerance = 100;

struct Box {  // absolute place in twips
    int left = 0, top = 0, right = 0, bottom = 0;
    // One lies over the other (not just touching it by a few twips): they
    // share at least half of the narrower one's width.
    bool overlaps(const Box& o) const {
        const int across = std::min(right, o.right) - std::max(left, o.left);
        return 2 * across >= std::min(right - left, o.right - o.left) && top < o.bottom &&
               o.top < bottom;
    }
};

// Stacking order among overlapping controls, bottom first (as the window
// stacks them): frames, pictures, labels, the rest.
int stackRank(const Control& c) {
    switch (c.kind) {
        case Kind::Frame: return 0;
        case Kind::Picture: return 1;
        case Kind::Label: return 2;
        default: return 3;
    }
}

bool clickableItem(const Control& c) {
    return c.clickable && c.kind != Kind::Window && c.kind != Kind::Frame;
}

std::vector<Box> absolutePlaces(const std::vector<Control>& controls) {
    std::map<std::string, std::size_t> byName;
    for (std::size_t i = 0; i < controls.size(); ++i) byName[controls[i].name] = i;
    std::vector<Box> boxes(controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        int x = 0, y = 0;
        for (std::size_t at = i;;) {
            x += controls[at].place.left;
            y += controls[at].place.top;
            const auto up = byName.find(controls[at].container);
            if (up == byName.end() || up->second == at) break;
            at = up->second;
        }
        const Place& p = controls[i].place;
        boxes[i] = {x, y, x + p.width, y + p.height};
    }
    return boxes;
}

// One half of the window, with rows of its own.
struct Band {
    int left, right;                  // twips
    std::vector<std::size_t> members;  // control indices
};

// The canvas rows of a band's marks: frame borders and the middles of the
// other controls, in order of y, close ones merged.
std::map<std::size_t, std::pair<int, int>> bandRows(const Band& band,
                                                     const std::vector<Control>& controls,
                                                     const std::vector<Box>& boxes, int firstRow,
                                                     int& nextRow) {
    struct Mark {
        int y;
        std::size_t index;
        bool bottom;
    };
    std::vector<Mark> marks;
    for (std::size_t i : band.members) {
        const Box& b = boxes[i];
        if (controls[i].kind == Kind::Frame) {
            marks.push_back({b.top, i, false});
            marks.push_back({b.bottom, i, true});
        } else {
            marks.push_back({(b.top + b.bottom) / 2, i, false});
        }
    }
    std::stable_sort(marks.begin(), marks.end(),
                     [](const Mark& a, const Mark& b) { return a.y < b.y; });
    std::map<std::size_t, std::pair<int, int>> rows;  // index -> first row, last row
    int row = firstRow - 1, clusterStart = 0;
    for (std::size_t m = 0; m < marks.size(); ++m) {
        if (m == 0 || marks[m].y - clusterStart >= kRowTolerance) {
            ++row;
            clusterStart = marks[m].y;
        }
        auto& r = rows[marks[m].index];
        if (marks[m].bottom)
            r.second = row;
        else
            r = {row, row};
    }
    nextRow = row + 1;
    return rows;
}


int textLength(const Control& c) {
    std::string t = itemText(c);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return static_cast<int>(t.size());
}

// Scaled places can leave a control less room than its text needs while the
// row has room further right: the controls of one column of a frame (same
// frame, same scaled column) move right together until every one of them
// clears the text to its left, as far as the frame's side allows.
void pushColumns(Layout& l, const std::vector<Control>& controls, const std::vector<Box>& boxes) {
    const auto inside = [](const Item& f, const Item& it) {
        return it.row > f.row && it.row < f.row + f.height - 1 && it.col > f.col &&
               it.col < f.col + f.width - 1;
    };
    std::map<std::pair<int, int>, std::vector<Item*>> columns;  // (frame, column) -> items
    std::map<int, int> rightSide;                              // frame -> column of its right side
    rightSide[-1] = l.cols;
    for (Item& it : l.items) {
        if (controls[it.index].kind == Kind::Frame) continue;
        int frame = -1, area = 0;
        for (std::size_t k = 0; k < l.items.size(); ++k) {
            const Item& f = l.items[k];
            if (controls[f.index].kind != Kind::Frame || !inside(f, it)) continue;
            if (frame < 0 || f.width * f.height < area) {
                frame = static_cast<int>(k);
                area = f.width * f.height;
            }
        }
        if (frame >= 0) rightSide[frame] = l.items[static_cast<std::size_t>(frame)].col +
                                           l.items[static_cast<std::size_t>(frame)].width - 1;
        columns[{frame, it.col}].push_back(&it);
    }
    // Placed items by (frame, row): the ends of their texts, to the right of which the next column starts.
    std::map<std::pair<int, int>, std::vector<const Item*>> placed;
    for (auto& [key, members] : columns) {  // in order of frame, then column
        int col = key.second;
        for (const Item* it : members)
            for (const Item* left : placed[{key.first, it->row}])
                if (!boxes[left->index].overlaps(boxes[it->index]))
                    col = std::max(col, left->col + textLength(controls[left->index]) + 1);
        col = std::max(key.second, std::min(col, rightSide[key.first] - 4));
        for (Item* it : members) {
            it->col = col;
            placed[{key.first, it->row}].push_back(it);
        }
    }
}
}  // namespace

const Item* Layout::itemOf(std::size_t controlIndex) const {
    for (const Item& it : items)
        if (it.index == controlIndex) return &it;
    return nullptr;
}

std::string_view pictureLabel(const Control& c) {
    static const std::map<std::string, std::string, std::less<>> labels = {
        {"Image1", ""},  // the decorative picture behind everything
        {"Image2", "ZorBOTz"},
        {"Image3", "<T models: unlock>"},
        {"Image4", "Version"},
        {"Image5", "<CT models: lock>"},
        {"Image6", "7.0.0"},
    };
    const auto it = labels.find(c.name);
    return it == labels.end() ? std::string_view(c.caption) : std::string_view(it->second);
}

std::string itemText(const Control& c) {
    switch (c.kind) {
        case Kind::CheckBox: return (c.value == 1 ? "[x] " : "[ ] ") + c.caption;
        case Kind::OptionButton: return (c.value ? "(*) " : "( ) ") + c.caption;
        case Kind::Button: return "[ " + c.caption + " ]";
        case Kind::Picture: return std::string(pictureLabel(c));
        default: return c.caption;
    }
}

Layout layOut(const std::vector<Control>& controls, int cols, int rows) {
    Layout l;
    l.cols = cols;
    l.rows = rows;
    l.tooSmall = cols < kMinCols || rows < kMinRows;
    l.wide = cols >= kWideCols;
    l.helpRow = rows - 1;
    l.statusTop = l.helpRow - kStatusLines - 2;
    l.viewRows = std::max(0, l.statusTop - l.viewTop);

    const std::vector<Box> boxes = absolutePlaces(controls);
    int clientWidth = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (c.kind == Kind::Window) clientWidth = c.place.width;
        if (c.kind == Kind::TextBox) {
            l.statusBox = i;
            for (std::size_t f = 0; f < controls.size(); ++f)
                if (controls[f].name == c.container) l.statusFrame = f;
        }
    }

    // The drawn controls: everything but the window, the status box with its
    // frame and lines (pinned below), and pictures without a label.
    std::vector<std::size_t> drawn;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (c.kind == Kind::Window || c.kind == Kind::Line || i == l.statusBox ||
            i == l.statusFrame || (c.kind == Kind::Picture && pictureLabel(c).empty()))
            continue;
        drawn.push_back(i);
    }

    // The window's halves: split at the left edge of the first top-level
    // frame in its right half. Each half gets its own rows; side by side on
    // a wide terminal (both scaled together), else one above the other, each
    // scaled to the full width.
    int split = clientWidth;
    for (std::size_t i : drawn)
        if (controls[i].kind == Kind::Frame && controls[i].container == "Form1" &&
            boxes[i].left >= clientWidth * 2 / 5)
            split = std::min(split, boxes[i].left);
    std::vector<Band> bands = {{0, split, {}}, {split, clientWidth, {}}};
    for (std::size_t i : drawn)
        bands[(boxes[i].left + boxes[i].right) / 2 < split ? 0 : 1].members.push_back(i);

    int row = 0, bottom = 0;
    for (const Band& band : bands) {
        const int from = l.wide ? 0 : band.left, to = l.wide ? clientWidth : band.right;
        const auto colOf = [&](int x) {
            const long c = static_cast<long>(x - from) * cols / (to - from);
            return static_cast<int>(std::clamp<long>(c, 0, cols - 1));
        };
        int next = row;
        const auto bandRowsOf = bandRows(band, controls, boxes, row, next);
        for (std::size_t i : band.members) {
            Item it;
            it.index = i;
            it.row = bandRowsOf.at(i).first;
            it.col = colOf(boxes[i].left);
            if (controls[i].kind == Kind::Frame) {
                it.width = std::max(2, colOf(boxes[i].right) - it.col + 1);
                it.height = std::max(2, bandRowsOf.at(i).second - it.row + 1);
            }
            l.items.push_back(it);
        }
        bottom = std::max(bottom, next);
        if (!l.wide) row = next + 1;  // one blank row between the halves
    }
    l.canvasRows = bottom;

    // Frames first, then the rest by their stacking order.
    std::stable_sort(l.items.begin(), l.items.end(), [&](const Item& a, const Item& b) {
        return stackRank(controls[a.index]) < stackRank(controls[b.index]);
    });

    pushColumns(l, controls, boxes);

    // Each control may run on to the next thing on its row: a control that
    // starts further right (one blank before it, none before a centred one,
    // which centres itself) or a frame's side.
    for (Item& it : l.items) {
        const Control& c = controls[it.index];
        if (c.kind == Kind::Frame) continue;
        int limit = cols;
        for (const Item& o : l.items) {
            if (&o == &it) continue;
            const Control& oc = controls[o.index];
            if (oc.kind == Kind::Frame) {
                if (it.row < o.row || it.row > o.row + o.height - 1) continue;
                for (int side : {o.col, o.col + o.width - 1})
                    if (side > it.col) limit = std::min(limit, side);
            } else if (o.row == it.row && o.col > it.col) {
                if (boxes[o.index].overlaps(boxes[it.index])) continue;  // shares the spot
                limit = std::min(limit, oc.centred ? o.col : o.col - 1);
            }
        }
        it.width = std::max(1, limit - it.col);
    }
    for (Item& it : l.items)
        for (const Item& o : l.items)
            if (o.row == it.row && &o != &it && stackRank(controls[o.index]) >
                                                    stackRank(controls[it.index]) &&
                boxes[o.index].overlaps(boxes[it.index]))
                it.coveredBy.push_back(o.index);

    for (std::size_t k = 0; k < l.items.size(); ++k)
        if (clickableItem(controls[l.items[k].index])) l.readingOrder.push_back(k);
    std::stable_sort(l.readingOrder.begin(), l.readingOrder.end(),
                     [&](std::size_t a, std::size_t b) {
                         const Item &x = l.items[a], &y = l.items[b];
                         return x.row != y.row ? x.row < y.row : x.col < y.col;
                     });
    return l;
}

}  // namespace nuv::tui
