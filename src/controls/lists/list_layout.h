// The list box's rules that need no window: its items and their texts, the
// rows that fit, which item lies under a point, the top index and selection
// kept in range, the numbers its scroll bar is given, the keys' targets, the
// type-ahead buffer and the string searches. Portable: built in every build.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "controls/framework/geometry.h"
#include "controls/framework/system_constants.h"

namespace kelmard {
namespace listbox {

using sys::Bits;

// The answer of the list messages for a bad index or a refused change.
constexpr int kError = -1;
// The item array grows by half its size, and by at least this many records.
constexpr int kGrowBy = 5;
// Text starts this far right of the item's left edge.
constexpr int kTextIndent = 4;
// Characters of the type-ahead buffer (the terminator not counted).
constexpr int kTypeAheadLength = 19;

// True when `index` names an item of a list of `count`: negative indices are
// as large as the unsigned word they are, so they never pass.
inline bool IsItem(long long index, int count) {
    return count > 0 && static_cast<unsigned long long>(index) < static_cast<unsigned long long>(count);
}

// One item: an owned copy of its text, its length and the caller's data.
struct Item {
    std::unique_ptr<char[]> text;
    int length = 0;
    std::uintptr_t data = 0;
};

// The items in order. Every change either happens whole or not at all: an
// insert whose text or record cannot be allocated leaves the list as it was.
class ItemList {
public:
    // Text copies come from `allocate` (n bytes, null when memory ran out).
    using Allocate = char* (*)(std::size_t n);
    explicit ItemList(Allocate allocate = nullptr);

    int count() const { return count_; }
    const Item& operator[](int index) const { return items_[index]; }
    Item& operator[](int index) { return items_[index]; }

    // Inserts a copy of `text` before `index` (at the end when `index` lies
    // beyond the count); the index it went to, or kError when memory ran out.
    int Insert(int index, const char* text);
    // Removes the item; false for a bad index.
    bool Remove(int index);
    void Clear();
    // With sorting: the place before the first item whose text is not less
    // than `text` (bytes compared unsigned, letter case counted).
    int SortedPosition(const char* text) const;
    // The first item from start + 1 on (wrapping round, each item once) whose
    // text begins with `text` regardless of ASCII letter case, and with `exact`
    // also has its length; kError for an empty list or text.
    int Find(const char* text, long long start, bool exact) const;

private:
    Allocate allocate_;
    std::unique_ptr<Item[]> items_;
    int count_ = 0;
    int capacity_ = 0;
};

// Rows of the item area.
struct Rows {
    int itemHeight = 1;    // pixels per row, never 0
    int rows = 0;          // whole rows that fit
    int page = -1;         // rows - 1
    bool partial = false;  // a part row shows below the whole ones
};
// The rows of an area `height` pixels high (an item height below 1 counts as 1).
Rows RowsFor(int height, int itemHeight);
// The client height that shows whole rows only: unchanged when it already
// does or when not even one row fits (the list never shrinks to nothing).
int IntegralHeight(int height, int itemHeight);

// The top index kept so that the last page is full: 0 when every item fits
// in `rows` (or the list is empty), else between 0 and count - rows.
int ClampTop(long long index, int count, int rows);
// The top index that shows `index` within rows.rows (+ the part row when
// `usePartial`), moving as little as possible from `top`.
int TopToShow(int index, int top, const Rows& rows, bool usePartial);
// The last item drawn with the top index (the part row counted); -1 for none.
int LastVisible(int top, int count, const Rows& rows);

// An item's rectangle in the area, its bottom cut at the area's bottom;
// false when the item is not (partly) visible.
bool ItemRect(int index, int top, int count, const Rows& rows, const Rect& area, Rect* out);
// The item nearest the point (x, y) and whether the point lies outside its
// rectangle; index -1 for an empty list.
struct Hit {
    int index = -1;
    bool outside = true;
};
Hit HitTest(int x, int y, int top, int count, const Rows& rows, const Rect& area);

// What the list's scroll bar is given (a SCROLLINFO's range, page and position).
struct ScrollNumbers {
    int minimum = 0, maximum = 0;
    unsigned page = 0;
    int position = 0;
    bool enabled = false;  // more items than rows
};
// With more items than rows the bar's positions run 0..count - rows; else a
// range its page covers whole (position 0), never an empty one.
ScrollNumbers ScrollFor(int count, int top, const Rows& rows);

// The item a key moves the selection to (already clamped to the items), or
// kError for keys that do not move it. `page` as in Rows.
int KeyTarget(Bits key, int selection, int count, int page);

// The selection after item `removed` went: the same item, or -1 when it was
// the removed one.
int SelectionAfterRemove(int selection, int removed);

// The type-ahead characters typed so far: a character is added unless it is
// the only one and the same (then typing it again steps through the items
// that begin with it); past kTypeAheadLength characters nothing is added.
class TypeAhead {
public:
    void Add(char c);
    void Clear() { length_ = 0, text_[0] = '\0'; }
    const char* text() const { return text_; }
    int length() const { return length_; }

private:
    char text_[kTypeAheadLength + 1] = "";
    int length_ = 0;
};

}  // namespace listbox
}  // namespace kelmard
