// The tab control's window-free rules where they are easy to get wrong: the
// selection across inserts and deletes, rows filled, balanced and stretched,
// tabs wider than the control, rotation next to the page, hit tests and
// keyboard moves between rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/value/tab_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::tab;
using kelmard::sys::kTcsBottom;
using kelmard::sys::kTcsRaggedRight;

constexpr int kRowHeight = 17;

// Items with these text widths (no images), laid out `width` wide.
struct Strip {
    Items items;
    Rows rows{};
    Strip(std::vector<int> textWidths, int width, Bits style = 0) {
        for (int w : textWidths) items[items.Insert(items.count())].textWidth = w;
        rows = ArrangeRows(items.data(), items.count(), width, 0, kRowHeight, style, true);
    }
    std::vector<int> Rows() const {
        std::vector<int> r;
        for (int i = 0; i < items.count(); ++i) r.push_back(items[i].row);
        return r;
    }
    int Right(int i) const { return items[i].left + items[i].width; }
};

// (Inserts and deletes around the selection run against the system's tab in
// the Wine test.) The array grows in steps; texts move with their items.
TEST(TabItems, TextsAndTheSelectionMoveWithTheirItemsAsTheArrayGrows) {
    Items items;
    for (int i = 0; i < 12; ++i) {
        const int at = items.Insert(0);
        ASSERT_TRUE(CopyText(std::to_string(i).c_str(), items[at].text, items[at].textLength));
    }
    EXPECT_STREQ(items[0].text.get(), "11");
    EXPECT_STREQ(items[11].text.get(), "0");
    EXPECT_EQ(items.selection(), 11) << "the first item inserted, selected, moved up with every insert";
    EXPECT_TRUE(items.Remove(3));
    EXPECT_EQ(items.selection(), 10);
    EXPECT_STREQ(items[3].text.get(), "7");
}

TEST(TabRows, TabsThatFitKeepTheirWidthsAndTwoRowsAreBalancedAndStretched) {
    const Strip one({30, 40, 50}, 200);
    EXPECT_EQ(one.rows.lastRow, 0);
    EXPECT_EQ(one.items[0].left, 2);
    EXPECT_EQ(one.items[1].left, 2 + 42);
    EXPECT_EQ(one.Right(2), 2 + 42 + 52 + 62) << "natural widths, not stretched";
    EXPECT_EQ(one.rows.stripHeight, kRowHeight + 2);

    // Filled, rows would be 3 + 2 tabs; balanced they are 2 + 3, each ending at width - 2.
    const Strip two({48, 48, 48, 48, 48}, 200);
    EXPECT_EQ(two.Rows(), (std::vector<int>{0, 0, 1, 1, 1}));
    EXPECT_EQ(two.Right(1), 198);
    EXPECT_EQ(two.Right(4), 198);
    EXPECT_EQ(two.items[2].width + two.items[3].width + two.items[4].width, 196);
    EXPECT_LE(two.items[2].width, two.items[4].width) << "the later tabs get the remainders";

    const Strip ragged({48, 48, 48, 48, 48}, 200, kTcsRaggedRight);
    EXPECT_EQ(ragged.Rows(), (std::vector<int>{0, 0, 0, 1, 1}));
    EXPECT_EQ(ragged.Right(4), 2 + 2 * 60) << "TCS_RAGGEDRIGHT: not stretched";
}

TEST(TabRows, TabsWiderThanTheControlEachKeepARowAndTinyControlsEnd) {
    const Strip wide({300, 20, 20, 300}, 100);
    EXPECT_EQ(wide.Rows(), (std::vector<int>{0, 1, 1, 2})) << "no row without a tab";
    EXPECT_EQ(wide.items[0].left, 2);
    const Strip tiny({10, 10, 10, 10, 10, 10}, 3);
    EXPECT_EQ(tiny.rows.lastRow, 5) << "one tab a row, and the layout ends";
    // Measuring alone writes nothing.
    Strip kept({48, 48, 48, 48, 48}, 200);
    ArrangeRows(kept.items.data(), kept.items.count(), 90, 0, kRowHeight, 0, false);
    EXPECT_EQ(kept.Rows(), (std::vector<int>{0, 0, 1, 1, 1}));
}

TEST(TabRows, TheSelectedRowIsRotatedNextToThePage) {
    Strip s({60, 60, 60, 60, 60, 60}, 150);  // three rows of two
    ASSERT_EQ(s.rows.lastRow, 2);
    RotateRows(s.items.data(), 6, 2, s.items[0].row, PageRow(0, 2));
    EXPECT_EQ(s.Rows(), (std::vector<int>{2, 2, 0, 0, 1, 1})) << "top tabs: the last row touches the page";
    RotateRows(s.items.data(), 6, 2, s.items[4].row, PageRow(kTcsBottom, 2));
    EXPECT_EQ(s.Rows(), (std::vector<int>{1, 1, 2, 2, 0, 0})) << "bottom tabs: row 0";
}

TEST(TabRows, HitsAndRowMovesFollowTheDrawnTabs) {
    const Strip s({60, 60, 60, 60, 60}, 150);
    ASSERT_EQ(s.Rows(), (std::vector<int>{0, 1, 1, 2, 2})) << "balanced over three rows";
    const int last = s.rows.lastRow;
    const Item* items = s.items.data();
    const Frame top = PlaceStrip({0, 0, 150, 120}, 150, s.rows.stripHeight, 0);
    const Rect second = TabRect(items[1], top.strip, kRowHeight, 0, false);
    EXPECT_EQ(HitTest(items, 5, top.strip, kRowHeight, last, 0, second.left + 1, second.top), 1);
    EXPECT_EQ(HitTest(items, 5, top.strip, kRowHeight, last, 0, 5, 1), -1) << "above the rows";
    EXPECT_EQ(HitTest(items, 5, top.strip, kRowHeight, last, 0, 5, top.display.top), -1) << "on the page";
    const Frame bottom = PlaceStrip({0, 0, 150, 120}, 150, s.rows.stripHeight, kTcsBottom);
    EXPECT_EQ(bottom.strip.bottom, 120);
    EXPECT_EQ(HitTest(items, 5, bottom.strip, kRowHeight, last, kTcsBottom, 3, bottom.strip.top + 1), 0);

    EXPECT_EQ(MoveTarget(items, 5, 2, last, Move::kRowUp), 0) << "the row's only tab";
    EXPECT_EQ(MoveTarget(items, 5, 0, last, Move::kRowUp), -1);
    EXPECT_EQ(MoveTarget(items, 5, 1, last, Move::kRowDown), 3) << "the tab below the middle";
    EXPECT_EQ(MoveTarget(items, 5, 2, last, Move::kRowDown), 4);
    EXPECT_EQ(MoveTarget(items, 5, 4, last, Move::kRowDown), -1);
    EXPECT_EQ(MoveTarget(items, 5, 0, last, Move::kPrevious), -1);
    EXPECT_EQ(MoveTarget(items, 5, 4, last, Move::kNext), -1);
}

TEST(TabRows, ImageAndTextAreCentredOrForcedLeft) {
    const Content centred = PlaceContent({10, 0, 110, 20}, 40, 12, true, 16, 16, 0);
    EXPECT_EQ(centred.imageLeft, 10 + (100 - 40 - 16 - 4) / 2);
    EXPECT_EQ(centred.textLeft, centred.imageLeft + 20);
    EXPECT_EQ(centred.imageTop, 2);
    const Content left = PlaceContent({10, 0, 110, 20}, 40, 12, true, 16, 16, sys::kTcsForceLabelLeft);
    EXPECT_EQ(left.imageLeft, 16);
    EXPECT_EQ(left.textLeft, 16 + 20);
    EXPECT_EQ(PlaceContent({10, 0, 110, 20}, 40, 12, false, 0, 0, 0).textLeft, 10 + 6 + (88 - 40) / 2);
}

}  // namespace
