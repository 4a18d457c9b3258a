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

ItemList Filled(std::initializer_list<const char*> texts) {
    ItemList list;
    for (const char* t : texts) list.Insert(list.count(), t);
    return list;
}

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

TEST(ListItems, InsertRemoveAndBadIndices) {
    ItemList list = Filled({"one", "two", "three"});
    EXPECT_EQ(list.Insert(-1, "end"), 3);   // beyond the count: appended
    EXPECT_EQ(list.Insert(99, "last"), 4);
    EXPECT_EQ(list.Insert(0, nullptr), kError);
    EXPECT_FALSE(list.Remove(-1));
    EXPECT_FALSE(list.Remove(5));
    EXPECT_TRUE(list.Remove(1));
    EXPECT_EQ(Texts(list), "one,three,end,last");
    EXPECT_EQ(list[1].length, 5);
    EXPECT_FALSE(IsItem(-1, 4));
    EXPECT_FALSE(IsItem(0x80000000LL * -1, 4));
    EXPECT_FALSE(IsItem(4, 4));
    EXPECT_TRUE(IsItem(3, 4));
    EXPECT_FALSE(IsItem(0, 0));
}

TEST(ListItems, SortedPlaceComparesBytesWithCase) {
    ItemList list;
    for (const char* t : {"b", "B", "a", "\xE9t\xE9", "ab"}) list.Insert(list.SortedPosition(t), t);
    EXPECT_EQ(Texts(list), "B,a,ab,b,\xE9t\xE9");  // upper case first, bytes above 0x7F last
}

TEST(ListItems, FindWrapsFromTheStartAndLooksAtEachItemOnce) {
    const ItemList list = Filled({"ABC", "abd", "AB", "b1", "b2", "x"});
    EXPECT_EQ(list.Find("ab", -1, false), 0);
    EXPECT_EQ(list.Find("ab", 0, false), 1);
    EXPECT_EQ(list.Find("ab", 2, false), 0);      // wraps round
    EXPECT_EQ(list.Find("ab", -1, true), 2);      // exact: the length too
    EXPECT_EQ(list.Find("ab", -7, true), 2);      // a start below -1 is -1
    EXPECT_EQ(list.Find("b", 3, false), 4);
    EXPECT_EQ(list.Find("b", 4, false), 3);
    EXPECT_EQ(list.Find("b", 99, false), 3);      // a start past the end begins at 0
    EXPECT_EQ(list.Find("abcd", -1, false), kError);
    EXPECT_EQ(list.Find("", -1, false), kError);
    EXPECT_EQ(ItemList().Find("a", -1, false), kError);
}

TEST(ListRows, RowsIntegralHeightAndNoDivisionByZero) {
    Rows r = RowsFor(100, 13);
    EXPECT_EQ(r.rows, 7);
    EXPECT_EQ(r.page, 6);
    EXPECT_TRUE(r.partial);
    EXPECT_EQ(IntegralHeight(100, 13), 91);
    EXPECT_EQ(IntegralHeight(91, 13), 91);
    // Lower than a row: never shrunk to nothing.
    EXPECT_EQ(IntegralHeight(10, 13), 10);
    EXPECT_EQ(IntegralHeight(0, 13), 0);
    // An item height of 0 (a font of no height) counts as 1.
    r = RowsFor(50, 0);
    EXPECT_EQ(r.itemHeight, 1);
    EXPECT_EQ(r.rows, 50);
    EXPECT_EQ(IntegralHeight(50, 0), 50);
}

TEST(ListRows, TopIndexAndSelectionStayOnScreen) {
    const Rows four = RowsFor(52, 13);  // 4 whole rows
    EXPECT_EQ(ClampTop(9, 10, four.rows), 6);
    EXPECT_EQ(ClampTop(-3, 10, four.rows), 0);
    EXPECT_EQ(ClampTop(5, 3, four.rows), 0);     // all items fit
    EXPECT_EQ(ClampTop(1LL << 40, 10, four.rows), 6);
    EXPECT_EQ(ClampTop(4, 10, 0), 4);            // no whole row: one item per page
    EXPECT_EQ(TopToShow(9, 0, four, false), 6);
    EXPECT_EQ(TopToShow(2, 5, four, false), 2);
    EXPECT_EQ(TopToShow(5, 2, four, false), 2);
    EXPECT_EQ(TopToShow(-1, 5, four, false), 0);
    const Rows part = RowsFor(58, 13);           // 4 rows and a part
    EXPECT_EQ(TopToShow(4, 0, part, true), 0);
    EXPECT_EQ(TopToShow(4, 0, part, false), 1);
    EXPECT_EQ(TopToShow(3, 0, RowsFor(5, 13), false), 3);  // an area lower than a row still shows it
    EXPECT_EQ(LastVisible(6, 10, four), 9);
    EXPECT_EQ(LastVisible(0, 10, part), 4);
    EXPECT_EQ(LastVisible(0, 0, four), -1);
    // Deletion: the selection follows its item or is gone with it.
    EXPECT_EQ(SelectionAfterRemove(5, 2), 4);
    EXPECT_EQ(SelectionAfterRemove(5, 5), -1);
    EXPECT_EQ(SelectionAfterRemove(5, 7), 5);
    EXPECT_EQ(SelectionAfterRemove(-1, 0), -1);
}

TEST(ListRows, ItemRectsAndHitTests) {
    const Rect area{0, 0, 100, 58};
    const Rows part = RowsFor(58, 13);
    Rect r{};
    ASSERT_TRUE(ItemRect(6, 2, 10, part, area, &r));
    EXPECT_EQ(r.top, 52);
    EXPECT_EQ(r.bottom, 58);  // the part row is cut at the area
    EXPECT_FALSE(ItemRect(7, 2, 10, part, area, &r));
    EXPECT_FALSE(ItemRect(1, 2, 10, part, area, &r));
    EXPECT_FALSE(ItemRect(-1, 0, 10, part, area, &r));
    Hit h = HitTest(10, 20, 2, 10, part, area);
    EXPECT_EQ(h.index, 3);
    EXPECT_FALSE(h.outside);
    h = HitTest(10, -5, 2, 10, part, area);  // above: the top item, outside
    EXPECT_EQ(h.index, 2);
    EXPECT_TRUE(h.outside);
    h = HitTest(10, 500, 2, 10, part, area);  // below: the last drawn, outside
    EXPECT_EQ(h.index, 6);
    EXPECT_TRUE(h.outside);
    h = HitTest(150, 20, 2, 10, part, area);  // right of the items
    EXPECT_TRUE(h.outside);
    h = HitTest(10, 40, 0, 2, part, area);    // below the last item of a short list
    EXPECT_EQ(h.index, 1);
    EXPECT_TRUE(h.outside);
    EXPECT_EQ(HitTest(10, 10, 0, 0, part, area).index, -1);
}

TEST(ListRows, ScrollBarNumbers) {
    const Rows four = RowsFor(52, 13);
    ScrollNumbers s = ScrollFor(10, 6, four);
    EXPECT_EQ(s.maximum, 8);
    EXPECT_EQ(s.page, 3u);
    EXPECT_EQ(s.position, 6);
    EXPECT_TRUE(s.enabled);
    // Positions the bar allows run 0..count - rows.
    EXPECT_EQ(s.maximum - s.minimum - static_cast<int>(s.page) + 1, 10 - four.rows);
    // Few items: a range the page covers whole, never an empty one.
    for (int count : {0, 1, 2, 4}) {
        s = ScrollFor(count, 0, four);
        EXPECT_FALSE(s.enabled);
        EXPECT_GT(s.maximum, s.minimum) << count;
        EXPECT_GT(static_cast<int>(s.page), s.maximum - s.minimum) << count;
    }
}

TEST(ListKeys, TargetsClampedToTheItems) {
    const struct {
        Bits key;
        int selection, want;
    } cases[] = {
        {sys::kVkDown, -1, 0}, {sys::kVkUp, -1, 0},   {sys::kVkSpace, -1, 0}, {sys::kVkDown, 9, 9},
        {sys::kVkRight, 3, 4}, {sys::kVkLeft, 0, 0},  {sys::kVkNext, 2, 5},   {sys::kVkNext, 8, 9},
        {sys::kVkPrior, 2, 0}, {sys::kVkPrior, 7, 4}, {sys::kVkHome, 7, 0},   {sys::kVkEnd, -1, 9},
    };
    for (const auto& c : cases) EXPECT_EQ(KeyTarget(c.key, c.selection, 10, 3), c.want) << c.key << " " << c.selection;
    EXPECT_EQ(KeyTarget(sys::kVkDown, -1, 0, 3), kError);
    EXPECT_EQ(KeyTarget('A', 2, 10, 3), kError);
    EXPECT_EQ(KeyTarget(sys::kVkF4, 2, 10, 3), kError);
}

TEST(ListKeys, TypeAheadRepeatsOneLetterAndStopsAtItsLength) {
    TypeAhead t;
    t.Add('b');
    t.Add('b');
    EXPECT_STREQ(t.text(), "b");  // the same single letter again: stepping
    t.Add('r');
    t.Add('r');
    EXPECT_STREQ(t.text(), "brr");
    for (int i = 0; i < 40; ++i) t.Add('x');
    EXPECT_EQ(t.length(), kTypeAheadLength);
    EXPECT_EQ(std::strlen(t.text()), static_cast<std::size_t>(kTypeAheadLength));
    t.Clear();
    EXPECT_STREQ(t.text(), "");
}

}  // namespace
