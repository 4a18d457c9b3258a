// The tab control's rules that need no window: its item list and selection
// across inserts and deletes, the widths of the tabs, how they break into rows
// and how the rows are balanced and rotated so the selected tab's row touches
// the page, where each tab, its image and text and the page lie, hit tests and
// keyboard moves. Portable: built in every build.
#pragma once
#include <memory>

#include "controls/framework/geometry.h"
#include "controls/framework/system_constants.h"

namespace kelmard {
namespace tab {

using sys::Bits;

constexpr int kTextPadding = 12;       // a tab is its text + 12 wide...
constexpr int kImageTextPadding = 16;  // ...or its image + text + 16 when it shows an image
constexpr int kLabelInset = 6;         // text (or a forced-left image) starts 6 in
constexpr int kImageGap = 4;           // between image and text
constexpr int kRowPadding = 4;         // a row is the taller of text and image + 4
constexpr int kStripInset = 2;         // rows start 2 in; the strip is 2 taller than its rows
constexpr int kPageFrame = 2;          // the page's frame
constexpr int kSelectedGrowth = 2;     // the selected tab stands out by 2 on every side
constexpr int kFocusInsetX = 3, kFocusInsetY = 2;
constexpr int kRowSlack = 3;           // a balanced row may run 3 past its share
constexpr int kArrayStep = 5;          // the item array grows by 5

struct Item {
    std::unique_ptr<char[]> text;  // its own copy, null for no text
    int textLength = 0;            // bytes, without the terminator
    int textWidth = 0;             // pixels, as last measured
    int row = 0;                   // row index, from the last layout
    int left = 0;                  // left edge within the strip, from the last layout
    int width = -1;                // width (stretched in balanced rows), -1 before a layout
    int image = -1;                // image-list index, -1 for none
};

// A copy of `text` (null: none) for an item; false when memory ran out.
bool CopyText(const char* text, std::unique_ptr<char[]>& copy, int& length);

// The items and the selection, which follows its item across inserts and
// deletes.
class Items {
public:
    int count() const { return count_; }
    int selection() const { return selection_; }
    bool Valid(int index) const { return index >= 0 && index < count_; }
    Item& operator[](int index) { return items_[index]; }
    const Item& operator[](int index) const { return items_[index]; }
    Item* data() { return items_.get(); }
    const Item* data() const { return items_.get(); }

    // A new empty item at `index` (at the end when beyond it): its index, or
    // -1 when memory ran out (nothing changed). The first item is selected.
    int Insert(int index);
    // Removes an item: the selection follows its item, and is lost with it.
    bool Remove(int index);
    void Select(int index) { selection_ = index; }

private:
    std::unique_ptr<Item[]> items_;  // capacity_ slots, the first count_ in use
    int count_ = 0;
    int capacity_ = 0;
    int selection_ = -1;  // -1 for none
};

// A tab's width before balancing.
int NaturalWidth(const Item& item, int imageWidth);
int RowHeight(int textHeight, int imageHeight);

// Puts the items into rows `available` wide, starting each row 2 in. With
// `wanted` rows (0: fill each row), rows are balanced to about equal widths
// and stretched to `available`. Writes rows, left edges and widths only with
// `write`. Answers the last row index.
int AssignRows(Item* items, int count, int available, int wanted, int imageWidth, bool write);

struct Rows {
    int lastRow;
    int stripHeight;
};
// The rows of a control `width` wide: filled, then (unless TCS_RAGGEDRIGHT)
// balanced over as many rows when more than one is needed.
Rows ArrangeRows(Item* items, int count, int width, int imageWidth, int rowHeight, Bits style, bool write);

struct Frame {
    Rect strip;    // every tab row
    Rect display;  // the page inside its frame
};
// Where the strip and the page lie in `area` for a strip `width` wide.
Frame PlaceStrip(Rect area, int width, int stripHeight, Bits style);
// The window rectangle for a page rectangle (TCM_ADJUSTRECT, larger).
Rect GrowToWindow(Rect display, int stripHeight);

// The row that touches the page, and the rotation that brings `row` there.
int PageRow(Bits style, int lastRow);
void RotateRows(Item* items, int count, int lastRow, int row, int pageRow);

Rect TabRect(const Item& item, Rect strip, int rowHeight, Bits style, bool selected);
Rect FocusRect(Rect selectedTab);
// The item under a point, or -1.
int HitTest(const Item* items, int count, Rect strip, int rowHeight, int lastRow, Bits style, int x, int y);

enum class Move { kFirst, kLast, kPrevious, kNext, kRowUp, kRowDown };
// The item a key selects, or -1 for none.
int MoveTarget(const Item* items, int count, int selection, int lastRow, Move move);

// Where a tab's image and text go.
struct Content {
    int imageLeft, imageTop;
    int textLeft, textTop;
};
Content PlaceContent(Rect tab, int textWidth, int textHeight, bool image, int imageWidth, int imageHeight,
                     Bits style);

}  // namespace tab
}  // namespace kelmard
