// Where the window's controls go on a terminal of a given size. The places
// come from the control records alone: x in twips is scaled to the terminal's
// columns, y is compressed to rows (controls whose middles lie close together
// share a row, every frame border gets its own), so frames keep their order
// and their places relative to each other. A terminal of 160 columns or more
// shows the window as one piece; a narrower one shows its left half above its
// right half, each scaled to the full width. The canvas scrolls when it is
// taller than the room between the title row and the status box, which is
// pinned to the bottom of the screen above the key line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "form/form.h"

namespace nuv::tui {

constexpr int kMinCols = 80;
constexpr int kMinRows = 24;
constexpr int kWideCols = 160;   // from here on the window is one piece
constexpr int kStatusLines = 4;  // text lines of the status box

struct Item {
    std::size_t index = 0;  // in Form::controls()
    int row = 0, col = 0;   // canvas cell of the first character (frames: top left corner)
    int width = 0;          // cells it may use; frames: corner to corner
    int height = 1;         // frames: top border to bottom border
    // Controls that share this one's spot in the window and are drawn over it
    // while they are visible (knives_only over its label).
    std::vector<std::size_t> coveredBy;
};

struct Layout {
    int cols = 0, rows = 0;
    bool tooSmall = false;
    bool wide = false;
    int canvasRows = 0;  // rows of the scrolling canvas
    int viewTop = 1;     // screen row where the canvas starts (row 0 is the title)
    int viewRows = 0;    // screen rows the canvas may use
    int statusTop = 0;   // screen row of the status frame's top border
    int helpRow = 0;     // screen row of the key line
    std::size_t statusBox = 0;    // control index of the status text box
    std::size_t statusFrame = 0;  // and of its frame
    std::vector<Item> items;      // drawing order: frames first, then the rest
    // Clickable items by canvas row, then column: the order of Tab.
    std::vector<std::size_t> readingOrder;  // indices into items

    const Item* itemOf(std::size_t controlIndex) const;
};

Layout layOut(const std::vector<Control>& controls, int cols, int rows);

// What a picture shows on the terminal; "" for one that is not drawn.
std::string_view pictureLabel(const Control& c);

// The text an item starts with: "[x] ", "(*) ", a picture's label, ... and
// its caption.
std::string itemText(const Control& c);

}  // namespace nuv::tui
