// The tab control's window-free rules where they are easy to get wrong: the
// item array growing, rows balanced and stretched, tabs wider than the
// control, tiny controls, measuring alone, rotation, hits and content.
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

// The array grows in steps; texts and the selection move with their items.
TEST(TabItems, TextsAndTheSelectionMoveWithTheirItemsAsTheArrayGrows) {
    Items items;
    for (int i = 0; i < 12; ++i) {
        const int at = items.Insert(0);
        ASSERT_TRUE(CopyText(std::to_string(i).c_str(), items[at].text, items[at].textLength));
    }
    EXPECT_TRUE(items.Remove(3));
    EXPECT_EQ(items.selection(), 10) << "the first item inserted, moved up 11 times and down once";
    EXPECT_STREQ(items[0].text.get(), "11");
    EXPECT_STREQ(items[3].text.get(), "7");
}

TEST(TabRows, TwoRowsAreBalancedAndStretchedUnlessRaggedRight) {
    const Strip two({48, 48, 48, 48, 48}, 200);  // filled, rows would be 3 + 2 tabs
    EXPECT_EQ(two.Rows(), (std::vector<int>{0, 0, 1, 1, 1}));
    EXPECT_TRUE(two.Right(1) == 198 && two.Right(4) == 198) << "each row ends at width - 2";
    EXPECT_LE(two.items[2].width, two.items[4].width) << "the later tabs get the remainders";
    const Strip ragged({48, 48, 48, 48, 48}, 200, kTcsRaggedRight);
    EXPECT_EQ(ragged.Rows(), (std::vector<int>{0, 0, 0, 1, 1}));
    EXPECT_EQ(ragged.Right(4), 2 + 2 * 60) << "natural widths";
}

TEST(TabRows, ARowNeverBreaksBeforeItsFirstTabAndTinyControlsEnd) {
    const Strip wide({300, 20, 20, 300}, 100);
    EXPECT_EQ(wide.Rows(), (std::vector<int>{0, 1, 1, 2})) << "no row without a tab";
    const Strip tiny({10, 10, 10, 10, 10, 10}, 3);
    EXPECT_EQ(tiny.rows.lastRow, 5) << "one tab a row, and the layout ends";
    // Measuring alone (as TCM_ADJUSTRECT does) writes nothing.
    Strip kept({48, 48, 48, 48, 48}, 200);
    ArrangeRows(kept.items.data(), kept.items.count(), 90, 0, kRowHeight, 0, false);
    EXPECT_EQ(kept.Rows(), (std::vector<int>{0, 0, 1, 1, 1}));
}

TEST(TabRows, RowsTurnNextToThePageAndHitsFollowThem) {
    Strip s({60, 60, 60, 60, 60, 60}, 150);  // three rows of two
    RotateRows(s.items.data(), 6, 2, s.items[4].row, PageRow(kTcsBottom, 2));
    EXPECT_EQ(s.Rows(), (std::vector<int>{1, 1, 2, 2, 0, 0})) << "bottom tabs: row 0 touches the page";
    const Frame bottom = PlaceStrip({0, 0, 150, 120}, 150, s.rows.stripHeight, kTcsBottom);
    EXPECT_EQ(bottom.strip.bottom, 120);
    const auto hit = [&](int x, int y) {
        return HitTest(s.items.data(), 6, bottom.strip, kRowHeight, 2, kTcsBottom, x, y);
    };
    EXPECT_EQ(hit(3, bottom.strip.top + 1), 4);
    EXPECT_EQ(hit(5, bottom.display.bottom - 1), -1) << "on the page";
    EXPECT_EQ(MoveTarget(s.items.data(), 6, 0, 2, Move::kPrevious), -1);
    EXPECT_EQ(MoveTarget(s.items.data(), 6, 5, 2, Move::kNext), -1);
}

TEST(TabRows, ImageAndTextAreCentredOrForcedLeft) {
    const Content centred = PlaceContent({10, 0, 110, 20}, 40, 12, true, 16, 16, 0);
    EXPECT_TRUE(centred.imageLeft == 10 + (100 - 40 - 16 - 4) / 2 && centred.textLeft == centred.imageLeft + 20);
    const Content left = PlaceContent({10, 0, 110, 20}, 40, 12, true, 16, 16, sys::kTcsForceLabelLeft);
    EXPECT_TRUE(left.imageLeft == 16 && left.textLeft == 16 + 20);
}

}  // namespace
