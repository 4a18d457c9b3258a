// The list box's portable rules: the item store under allocation failure,
// rows and integral height, the top index and the selection kept in range,
// hit tests, the scroll bar's numbers, keys, searches and the type-ahead.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "controls/lists/list_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::listbox;

std::string Texts(const ItemList& list) {
    std::string all;
    for (int i = 0; i < list.count(); ++i) all += std::string(list[i].text.get()) + (i + 1 < list.count() ? "," : "");
    return all;
}

int g_allowed = 0;  // text copies the failing allocator still gives
char* Failing(std::size_t n) { return g_allowed-- > 0 ? new (std::nothrow) char[n] : nullptr; }

TEST(ListItems, AFailedInsertLeavesTheListAsItWas) {
    g_allowed = 6;
    ItemList list(Failing);
    for (const char* t : {"a", "b", "c", "d", "e"}) ASSERT_GE(list.Insert(list.count(), t), 0);  // the array is full
    list[2].data = 42;
    EXPECT_EQ(list.Insert(1, "x"), 1);
    // No more text copies: every place fails and nothing moves or doubles.
    EXPECT_EQ(list.Insert(0, "y"), kError);
    EXPECT_EQ(list.Insert(6, "z"), kError);
    EXPECT_EQ(Texts(list), "a,x,b,c,d,e");
    EXPECT_EQ(list[3].data, 42u);
    // Each text is freed once (the sanitizer sees any double free).
    while (list.count()) ASSERT_TRUE(list.Remove(0));
    EXPECT_FALSE(list.Remove(0));
}

TEST(ListItems, InsertRemoveSortAndBadIndices) {
    ItemList list;
    for (const char* t : {"one", "two", "three"}) list.Insert(list.count(), t);
    EXPECT_EQ(list.Insert(-1, "end"), 3);  // beyond the count: appended
    EXPECT_EQ(list.Insert(0, nullptr), kError);
    EXPECT_FALSE(list.Remove(-1));
    EXPECT_FALSE(list.Remove(4));
    EXPECT_TRUE(list.Remove(1));
    EXPECT_EQ(Texts(list), "one,three,end");
    for (long long index : {-1LL, 0x80000000LL * -1, 4LL}) EXPECT_FALSE(IsItem(index, 4)) << index;
    EXPECT_FALSE(IsItem(0, 0));
    ItemList sorted;
    for (const char* t : {"b", "B", "a", "\xE9t\xE9", "ab"}) sorted.Insert(sorted.SortedPosition(t), t);
    EXPECT_EQ(Texts(sorted), "B,a,ab,b,\xE9t\xE9");  // upper case first, bytes above 0x7F last
}

TEST(ListItems, FindWrapsFromTheStartAndLooksAtEachItemOnce) {
    ItemList list;
    for (const char* t : {"ABC", "abd", "AB", "b1", "b2", "x"}) list.Insert(list.count(), t);
    const struct {
        const char* text;
        int start;
        bool exact;
        int want;
    } cases[] = {{"ab", -1, false, 0}, {"ab", 0, false, 1}, {"ab", 2, false, 0} /* wraps */, {"ab", -1, true, 2},
                 {"ab", -7, true, 2},  {"b", 4, false, 3},  {"b", 99, false, 3},  {"abcd", -1, false, kError},
                 {"", -1, false, kError}};
    for (const auto& c : cases) EXPECT_EQ(list.Find(c.text, c.start, c.exact), c.want) << c.text << " " << c.start;
    EXPECT_EQ(ItemList().Find("a", -1, false), kError);
}

TEST(ListRows, IntegralHeightTopIndexAndSelection) {
    EXPECT_EQ(IntegralHeight(10, 13), 10);  // lower than a row: never shrunk to nothing
    // An item height of 0 (a font of no height) counts as 1.
    EXPECT_EQ(RowsFor(50, 0).rows, 50);
    EXPECT_EQ(IntegralHeight(50, 0), 50);
    const Rows four = RowsFor(52, 13), part = RowsFor(58, 13);  // 4 whole rows; 4 and a part
    EXPECT_EQ(ClampTop(1LL << 40, 10, four.rows), 6);
    EXPECT_EQ(ClampTop(-3, 10, four.rows), 0);
    EXPECT_EQ(ClampTop(5, 3, four.rows), 0);  // all items fit
    EXPECT_EQ(ClampTop(4, 10, 0), 4);         // no whole row: one item per page
    EXPECT_EQ(TopToShow(-1, 5, four, false), 0);
    EXPECT_EQ(TopToShow(4, 0, part, true), 0);
    EXPECT_EQ(TopToShow(4, 0, part, false), 1);
    EXPECT_EQ(TopToShow(3, 0, RowsFor(5, 13), false), 3);  // an area lower than a row still shows it
    EXPECT_EQ(LastVisible(0, 0, four), -1);
    // Deletion: the selection follows its item or is gone with it.
    const int removes[][3] = {{5, 2, 4}, {5, 5, -1}, {5, 7, 5}, {-1, 0, -1}};  // selection, removed, after
    for (const auto& r : removes) EXPECT_EQ(SelectionAfterRemove(r[0], r[1]), r[2]) << r[0] << " " << r[1];
}

TEST(ListRows, ItemRectsHitTestsAndScrollNumbers) {
    const Rect area{0, 0, 100, 58};
    const Rows part = RowsFor(58, 13);
    Rect r{};
    ASSERT_TRUE(ItemRect(6, 2, 10, part, area, &r));
    EXPECT_EQ(r.bottom, 58);  // the part row is cut at the area
    EXPECT_FALSE(ItemRect(7, 2, 10, part, area, &r));
    EXPECT_FALSE(ItemRect(-1, 0, 10, part, area, &r));
    const struct {
        int x, y, top, count, index;
        bool outside;
    } hits[] = {{10, 20, 2, 10, 3, false}, {10, -5, 2, 10, 2, true},  // above: the top item
                {10, 500, 2, 10, 6, true}, {150, 20, 2, 10, 3, true},  // below: the last drawn; right
                {10, 40, 0, 2, 1, true},   {10, 10, 0, 0, -1, true}};  // below a short list; none
    for (const auto& c : hits) {
        const Hit h = HitTest(c.x, c.y, c.top, c.count, part, area);
        EXPECT_EQ(h.index, c.index) << c.x << "," << c.y;
        if (c.index >= 0) EXPECT_EQ(h.outside, c.outside) << c.x << "," << c.y;
    }
    // Few items: a scroll range the page covers whole, never an empty one.
    for (int count : {0, 1, 2, 4}) {
        const ScrollNumbers s = ScrollFor(count, 0, RowsFor(52, 13));
        EXPECT_FALSE(s.enabled);
        EXPECT_GT(s.maximum, s.minimum) << count;
        EXPECT_GT(static_cast<int>(s.page), s.maximum - s.minimum) << count;
    }
}

TEST(ListKeys, TargetsClampedAndTheTypeAheadStopsAtItsLength) {
    const struct {
        Bits key;
        int selection, want;
    } cases[] = {
        {sys::kVkDown, -1, 0}, {sys::kVkUp, -1, 0}, {sys::kVkSpace, -1, 0}, {sys::kVkDown, 9, 9}, {sys::kVkNext, 8, 9},
        {sys::kVkPrior, 2, 0}, {sys::kVkEnd, -1, 9}, {'A', 2, kError},      {sys::kVkF4, 2, kError},
    };
    for (const auto& c : cases) EXPECT_EQ(KeyTarget(c.key, c.selection, 10, 3), c.want) << c.key << " " << c.selection;
    EXPECT_EQ(KeyTarget(sys::kVkDown, -1, 0, 3), kError);
    TypeAhead t;
    t.Add('b');
    t.Add('b');
    EXPECT_STREQ(t.text(), "b");  // the same single letter again: stepping
    for (int i = 0; i < 40; ++i) t.Add('x');
    EXPECT_EQ(t.length(), kTypeAheadLength);
    EXPECT_EQ(std::strlen(t.text()), static_cast<std::size_t>(kTypeAheadLength));
}

}  // namespace
