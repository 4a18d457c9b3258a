// The tab control's window-free rules.
#include "controls/value/tab_layout.h"

#include <cstring>
#include <new>
#include <utility>

namespace kelmard {
namespace tab {

using namespace sys;

bool CopyText(const char* text, std::unique_ptr<char[]>& copy, int& length) {
    copy.reset();
    length = 0;
    if (!text) return true;
    const std::size_t n = std::strlen(text);
    if (n >= 0x7FFFFFFF) return false;
    std::unique_ptr<char[]> made(new (std::nothrow) char[n + 1]);
    if (!made) return false;
    std::memcpy(made.get(), text, n + 1);
    copy = std::move(made);
    length = static_cast<int>(n);
    return true;
}

int Items::Insert(int index) {
    if (count_ == capacity_) {
        const int capacity = capacity_ + kArrayStep;
        std::unique_ptr<Item[]> grown(new (std::nothrow) Item[capacity]);
        if (!grown) return -1;
        for (int i = 0; i < count_; ++i) grown[i] = std::move(items_[i]);
        items_ = std::move(grown);
        capacity_ = capacity;
    }
    const int at = (index < 0 || index > count_) ? count_ : index;
    for (int i = count_; i > at; --i) items_[i] = std::move(items_[i - 1]);
    items_[at] = Item{};
    ++count_;
    if (count_ == 1) selection_ = 0;
    else if (selection_ >= 0 && at <= selection_) ++selection_;
    return at;
}

bool Items::Remove(int index) {
    if (!Valid(index)) return false;
    for (int i = index; i + 1 < count_; ++i) items_[i] = std::move(items_[i + 1]);
    items_[--count_] = Item{};
    if (index == selection_) selection_ = -1;
    else if (index < selection_) --selection_;
    return true;
}

int NaturalWidth(const Item& item, int imageWidth) {
    return item.image >= 0 ? imageWidth + item.textWidth + kImageTextPadding : item.textWidth + kTextPadding;
}

int RowHeight(int textHeight, int imageHeight) {
    return (textHeight > imageHeight ? textHeight : imageHeight) + kRowPadding;
}

namespace {

// Stretches items a..b (one row) so the row ends at `available`; the later
// items get the remainders. Rows already too wide keep their widths.
void Stretch(Item* items, int a, int b, int available) {
    long long spare = available - (static_cast<long long>(items[b].left) + items[b].width);
    if (spare <= 0) return;
    int x = items[a].left;
    for (int i = a, k = b - a + 1; i <= b; ++i, --k) {
        const long long more = spare / k;
        items[i].width += static_cast<int>(more);
        items[i].left = x;
        x += items[i].width;
        spare -= more;
    }
}

long long WidthFrom(const Item* items, int from, int count, int imageWidth) {
    long long sum = 0;
    for (int i = from; i < count; ++i) sum += NaturalWidth(items[i], imageWidth);
    return sum;
}

}  // namespace

int AssignRows(Item* items, int count, int available, int wanted, int imageWidth, bool write) {
    if (count <= 0) return 0;
    int rows = wanted;
    long long limit = rows ? WidthFrom(items, 0, count, imageWidth) / rows + kRowSlack : available;
    long long x = kStripInset;
    int row = 0, rowStart = 0;
    for (int i = 0; i < count; ++i) {
        const int width = NaturalWidth(items[i], imageWidth);
        long long left = x;
        x += width;
        // A row always keeps its first item, however wide.
        if (x > limit && i > rowStart) {
            if (rows && write) Stretch(items, rowStart, i - 1, available);
            ++row;
            rowStart = i;
            left = kStripInset;
            x = kStripInset + width;
            if (rows && rows - row > 0) {
                // Share what is left over the remaining rows; add rows while a
                // share is wider than the control, at most one per item.
                const long long rest = WidthFrom(items, i, count, imageWidth);
                limit = rest / (rows - row) + kRowSlack;
                while (limit > available && rows - row < count - i) limit = rest / (++rows - row) + kRowSlack;
            }
        }
        if (write) {
            items[i].row = row;
            items[i].left = static_cast<int>(left);
            items[i].width = width;
        }
    }
    if (rows && write) Stretch(items, rowStart, count - 1, available);
    return row;
}

Rows ArrangeRows(Item* items, int count, int width, int imageWidth, int rowHeight, Bits style, bool write) {
    if (count <= 0) return {0, kStripInset};
    const int available = width - kStripInset;
    const bool balance = !(style & kTcsRaggedRight);
    // Filled rows first; more than one are balanced over as many rows.
    const int filled = AssignRows(items, count, available, 0, imageWidth, write && !balance);
    const int last = balance ? AssignRows(items, count, available, filled > 0 ? filled + 1 : 0, imageWidth, write)
                             : filled;
    return {last, (last + 1) * rowHeight + kStripInset};
}

Frame PlaceStrip(Rect area, int width, int stripHeight, Bits style) {
    Frame f{};
    f.display.left = area.left + kPageFrame;
    f.display.right = area.right - kPageFrame;
    if (style & kTcsBottom) {
        f.display.top = area.top + kPageFrame;
        f.display.bottom = area.bottom - stripHeight - kPageFrame;
        f.strip = {area.left, f.display.bottom + kPageFrame, area.left + width,
                   f.display.bottom + kPageFrame + stripHeight};
    } else {
        f.strip = {area.left, area.top, area.left + width, area.top + stripHeight};
        f.display.top = area.top + stripHeight + kPageFrame;
        f.display.bottom = area.bottom - kPageFrame;
    }
    return f;
}

Rect GrowToWindow(Rect display, int stripHeight) {
    // As a size: the frame's two pixels on each side and the strip.
    return {display.left, 0, display.right + 2 * kPageFrame, display.bottom + stripHeight + 2 * kPageFrame};
}

int PageRow(Bits style, int lastRow) { return (style & kTcsBottom) ? 0 : lastRow; }

void RotateRows(Item* items, int count, int lastRow, int row, int pageRow) {
    const int rows = lastRow + 1, shift = pageRow - row;
    if (shift == 0 || rows <= 1) return;
    for (int i = 0; i < count; ++i) {
        int r = items[i].row + shift;
        if (r > lastRow) r -= rows;
        if (r < 0) r += rows;
        items[i].row = r;
    }
}

Rect TabRect(const Item& item, Rect strip, int rowHeight, Bits style, bool selected) {
    Rect r{};
    r.top = item.row * rowHeight + strip.top + ((style & kTcsBottom) ? 0 : kStripInset);
    r.left = item.left + strip.left;
    r.right = r.left + item.width;
    r.bottom = r.top + rowHeight;
    if (selected) r = {r.left - kSelectedGrowth, r.top - kSelectedGrowth, r.right + kSelectedGrowth,
                       r.bottom + kSelectedGrowth};
    return r;
}

Rect FocusRect(Rect tab) {
    return {tab.left + kFocusInsetX, tab.top + kFocusInsetY, tab.right - kFocusInsetX, tab.bottom - kFocusInsetY};
}

int HitTest(const Item* items, int count, Rect strip, int rowHeight, int lastRow, Bits style, int x, int y) {
    if (count <= 0 || rowHeight <= 0) return -1;
    const int dy = y - strip.top - ((style & kTcsBottom) ? 0 : kStripInset);
    if (dy < 0 || x < strip.left || x >= strip.right || dy >= (lastRow + 1) * rowHeight) return -1;
    const int row = dy / rowHeight, dx = x - strip.left;
    for (int i = 0; i < count; ++i)
        if (items[i].row == row && items[i].left <= dx && dx <= items[i].left + items[i].width) return i;
    return -1;
}

namespace {

// The item of row `row` below the middle of the selected tab.
int OnRow(const Item* items, int count, const Item& from, int row) {
    const int middle = from.left + from.width / 2;
    int first = 0;
    while (first < count && items[first].row != row) ++first;
    if (first == count) return -1;
    int j = first;
    while (j < count && items[j].row == row && items[j].left < middle) ++j;
    return j > first ? j - 1 : first;
}

}  // namespace

int MoveTarget(const Item* items, int count, int selection, int lastRow, Move move) {
    if (count <= 0) return -1;
    const bool selected = selection >= 0 && selection < count;
    switch (move) {
    case Move::kFirst: return 0;
    case Move::kLast: return count - 1;
    case Move::kPrevious: return selection >= 1 && selection < count ? selection - 1 : -1;
    case Move::kNext: return selection < count - 1 ? (selection < 0 ? 0 : selection + 1) : -1;
    case Move::kRowUp:
        return selected && items[selection].row > 0 ? OnRow(items, count, items[selection], items[selection].row - 1)
                                                    : -1;
    case Move::kRowDown:
        return selected && items[selection].row < lastRow
                   ? OnRow(items, count, items[selection], items[selection].row + 1)
                   : -1;
    }
    return -1;
}

Content PlaceContent(Rect tab, int textWidth, int textHeight, bool image, int imageWidth, int imageHeight,
                     Bits style) {
    const int width = tab.width(), height = tab.height();
    Content c{};
    int room = 0;
    if (image) {
        c.imageTop = tab.top + (height - imageHeight) / 2;
        if (style & (kTcsForceIconLeft | kTcsForceLabelLeft)) {
            c.imageLeft = tab.left + kLabelInset;
            room = width - imageWidth - 2 * kLabelInset;
        } else {
            c.imageLeft = tab.left + (width - textWidth - imageWidth - kImageGap) / 2;
            room = textWidth;
        }
        c.textLeft = c.imageLeft + imageWidth + kImageGap;
    } else {
        room = width - 2 * kLabelInset;
        c.textLeft = tab.left + kLabelInset;
    }
    if (!(style & kTcsForceLabelLeft)) c.textLeft += (room - textWidth) / 2;
    c.textTop = tab.top + (height - textHeight) / 2;
    return c;
}

}  // namespace tab
}  // namespace kelmard
