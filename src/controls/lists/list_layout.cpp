// The list box's portable rules (list_layout.h).
#include "controls/lists/list_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace kelmard {
namespace listbox {

namespace {

char* AllocateWithNew(std::size_t n) { return new (std::nothrow) char[n]; }

unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c; }

// The first `n` bytes of `a` and `b` are equal regardless of ASCII case (`a` is `n` long or more).
bool SamePrefix(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (Lower(static_cast<unsigned char>(a[i])) != Lower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

}  // namespace

ItemList::ItemList(Allocate allocate) : allocate_(allocate ? allocate : AllocateWithNew) {}

int ItemList::Insert(int index, const char* text) {
    if (!text) return kError;
    const std::size_t length = std::strlen(text);
    if (length >= static_cast<std::size_t>(INT32_MAX) || count_ == INT32_MAX) return kError;
    // The text and the room come first: nothing moves until both are had.
    std::unique_ptr<char[]> copy(allocate_(length + 1));
    if (!copy) return kError;
    std::memcpy(copy.get(), text, length + 1);
    if (count_ == capacity_) {
        // Half as much again (at least kGrowBy): adding n items moves each record a
        // bounded number of times, not n / kGrowBy times.
        const std::int64_t wanted = std::int64_t{capacity_} + std::max<std::int64_t>(kGrowBy, capacity_ / 2);
        const int grown = static_cast<int>(std::min<std::int64_t>(wanted, INT32_MAX));
        std::unique_ptr<Item[]> bigger(new (std::nothrow) Item[static_cast<std::size_t>(grown)]);
        if (!bigger) return kError;
        std::move(items_.get(), items_.get() + count_, bigger.get());
        items_ = std::move(bigger);
        capacity_ = grown;
    }
    if (index < 0 || index > count_) index = count_;
    std::move_backward(items_.get() + index, items_.get() + count_, items_.get() + count_ + 1);
    Item& item = items_[index];
    item.text = std::move(copy);
    item.length = static_cast<int>(length);
    item.data = 0;
    ++count_;
    return index;
}

bool ItemList::Remove(int index) {
    if (!IsItem(index, count_)) return false;
    std::move(items_.get() + index + 1, items_.get() + count_, items_.get() + index);
    --count_;
    items_[count_] = Item{};
    return true;
}

void ItemList::Clear() {
    items_.reset();
    count_ = capacity_ = 0;
}

int ItemList::SortedPosition(const char* text) const {
    const auto* first = items_.get();
    const auto* place = std::lower_bound(first, first + count_, text, [](const Item& item, const char* t) {
        return std::strcmp(item.text.get(), t) < 0;  // strcmp compares bytes as unsigned
    });
    return static_cast<int>(place - first);
}

int ItemList::Find(const char* text, long long start, bool exact) const {
    if (count_ == 0 || !text || !*text) return kError;
    const std::size_t n = std::strlen(text);
    if (start < -1) start = -1;
    long long from = start + 1;
    if (from >= count_) from = 0;
    for (int k = 0, i = static_cast<int>(from); k < count_; ++k, i = (i + 1 == count_ ? 0 : i + 1)) {
        const Item& item = items_[i];
        if (static_cast<std::size_t>(item.length) < n || (exact && static_cast<std::size_t>(item.length) != n)) continue;
        if (SamePrefix(item.text.get(), text, n)) return i;
    }
    return kError;
}

Rows RowsFor(int height, int itemHeight) {
    Rows r;
    r.itemHeight = std::max(itemHeight, 1);
    const int h = std::max(height, 0);
    r.rows = h / r.itemHeight;
    r.page = r.rows - 1;
    r.partial = h % r.itemHeight > 0;
    return r;
}

int IntegralHeight(int height, int itemHeight) {
    const Rows r = RowsFor(height, itemHeight);
    return r.rows == 0 ? height : r.rows * r.itemHeight;
}

int ClampTop(long long index, int count, int rows) {
    const long long last = static_cast<long long>(count) - std::max(rows, 1);
    if (last <= 0 || index <= 0) return 0;
    return static_cast<int>(std::min(index, last));
}

int TopToShow(int index, int top, const Rows& rows, bool usePartial) {
    if (index < 0) return 0;
    if (index < top) return index;
    // At least the row itself shows, even in an area lower than one row.
    const int shown = std::max(rows.rows + (usePartial && rows.partial ? 1 : 0), 1);
    if (index >= top + shown) return index - shown + 1;
    return top;
}

int LastVisible(int top, int count, const Rows& rows) {
    if (count <= 0 || top >= count) return -1;
    const long long last = static_cast<long long>(top) + rows.rows + (rows.partial ? 1 : 0) - 1;
    return static_cast<int>(std::min<long long>(last, count - 1));
}

bool ItemRect(int index, int top, int count, const Rows& rows, const Rect& area, Rect* out) {
    if (!IsItem(index, count) || index < top || index > LastVisible(top, count, rows)) return false;
    const long long y = area.top + static_cast<long long>(index - top) * rows.itemHeight;
    if (y >= area.bottom) return false;
    *out = Rect{area.left, static_cast<int>(y), area.right,
                static_cast<int>(std::min<long long>(y + rows.itemHeight, area.bottom))};
    return true;
}

Hit HitTest(int x, int y, int top, int count, const Rows& rows, const Rect& area) {
    Hit hit;
    if (count <= 0) return hit;
    int row = 0;
    if (y >= area.top) row = std::min((y - area.top) / rows.itemHeight, std::max(rows.page + (rows.partial ? 1 : 0), 0));
    hit.index = static_cast<int>(std::min<long long>(static_cast<long long>(top) + row, count - 1));
    Rect r;
    hit.outside = !(ItemRect(hit.index, top, count, rows, area, &r) && x >= r.left && x < r.right && y >= r.top &&
                    y < r.bottom);
    return hit;
}

ScrollNumbers ScrollFor(int count, int top, const Rows& rows) {
    ScrollNumbers s;
    s.enabled = rows.rows < count;
    if (s.enabled) {
        // A page of rows - 1 over 0..count - 2 leaves positions 0..count - rows.
        s.maximum = std::max(count - 2, 0);
        s.page = static_cast<unsigned>(std::max(rows.page, 0));
        s.position = top;
    } else {
        s.maximum = std::max(rows.rows, 2) - 1;
        s.page = static_cast<unsigned>(s.maximum + 1);
    }
    return s;
}

int KeyTarget(Bits key, int selection, int count, int page) {
    if (count <= 0) return kError;
    long long target;
    switch (key) {
    case sys::kVkSpace: target = selection; break;
    case sys::kVkPrior: target = static_cast<long long>(selection) - page; break;
    case sys::kVkNext: target = static_cast<long long>(selection) + page; break;
    case sys::kVkEnd: target = count - 1; break;
    case sys::kVkHome: target = 0; break;
    case sys::kVkLeft:
    case sys::kVkUp: target = static_cast<long long>(selection) - 1; break;
    case sys::kVkRight:
    case sys::kVkDown: target = static_cast<long long>(selection) + 1; break;
    default: return kError;
    }
    return static_cast<int>(std::clamp<long long>(target, 0, count - 1));
}

int SelectionAfterRemove(int selection, int removed) {
    if (selection < 0 || removed > selection) return selection;
    return removed == selection ? -1 : selection - 1;
}

void TypeAhead::Add(char c) {
    if (length_ == 1 && text_[0] == c) return;
    if (length_ >= kTypeAheadLength) return;
    text_[length_++] = c;
    text_[length_] = '\0';
}

}  // namespace listbox
}  // namespace kelmard
