// The scroll bar's window-free rules: clamping with the page, the thumb kept
// inside its track on both axes, the cases that would divide by zero, and the
// position under a dragged thumb.
#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "controls/lists/scroll_layout.h"

namespace {

using namespace kelmard;
using scroll::Values;

scroll::Geometry Lay(bool vertical, int length, const Values& v, int arrow = 0) {
    scroll::Geometry g(vertical);
    g.Lay(vertical ? Rect{0, 0, 16, length} : Rect{0, 0, length, 16}, arrow, v);
    return g;
}
int Lead(const scroll::Geometry& g) { return g.vertical() ? g.thumb().top : g.thumb().left; }
int Trail(const scroll::Geometry& g) { return g.vertical() ? g.thumb().bottom : g.thumb().right; }

TEST(ScrollLayout, PositionsKeepWithinTheRangeLessThePage) {
    EXPECT_EQ(scroll::Clamp(200, {0, 100, 10, 0}), 91);
    EXPECT_EQ(scroll::Clamp(200, {0, 100, 0, 0}), 100) << "page 0 reaches the maximum, not beyond";
    EXPECT_EQ(scroll::Clamp(-5, {0, 100, 10, 0}), 0);
    EXPECT_EQ(scroll::Clamp(50, {0, 100, 500, 0}), 0) << "a page over the range: only the minimum";
    EXPECT_EQ(scroll::Clamp(static_cast<std::int64_t>(INT_MAX) + 1, {INT_MIN, INT_MAX, 1, 0}), INT_MAX);
    EXPECT_EQ(scroll::PageFor(500, 0, 100), 101);
    EXPECT_EQ(scroll::PageFor(5, 10, 0), 0) << "an inverted range has no units";
}

TEST(ScrollLayout, TheThumbStaysInsideItsTrackOnBothAxes) {
    for (bool vertical : {true, false}) {  // across, 1.94 pixels per unit would put it 2 pixels past the track
        const scroll::Geometry end = Lay(vertical, 200, {0, 100, 1, 100});
        EXPECT_EQ(std::pair(Lead(end), Trail(end)), std::pair(192, 200)) << "the shortest thumb at the end";
    }
    const scroll::Geometry paged = Lay(false, 100, {0, 100, 20, 30});  // 1 pixel per unit
    EXPECT_EQ(std::pair(Lead(paged), Trail(paged)), std::pair(30, 50));
}

TEST(ScrollLayout, EmptyRangesShortTracksAndLargePagesFillTheTrack) {
    for (const Values& v : {Values{5, 5, 1, 5}, Values{10, 0, 1, 0}, Values{0, 100, 101, 0}, Values{0, 100, 500, 0}})
        for (bool vertical : {true, false}) {
            const scroll::Geometry g = Lay(vertical, 120, v, 10);
            EXPECT_EQ(std::tuple(g.thumbFills(), Lead(g), Trail(g)), std::tuple(true, 10, 110));
            EXPECT_EQ(g.PositionAt(50, 50, 0, 7, v), 7) << "no division: the drag start stays";
        }
    EXPECT_TRUE(Lay(true, 25, {0, 100, 1, 50}, 10).thumbFills()) << "5 pixels of track";
    EXPECT_EQ(Lay(true, 6, {0, 100, 1, 50}, 10).firstArrow().bottom, 3) << "arrows share a bar shorter than both";
    scroll::Geometry inverted(true);
    inverted.Lay({0, 50, 16, 10}, 10, {});
    EXPECT_EQ(inverted.bounds().height(), 0);
    EXPECT_EQ(inverted.PartAt(5, 20), scroll::kNoPart);
}

TEST(ScrollLayout, PartsAndDraggedPositions) {
    const Values v{0, 100, 10, 0};
    const scroll::Geometry g = Lay(true, 220, v, 10);  // track 10..210, thumb at 10
    for (auto [x, y, part] : {std::tuple{8, 5, scroll::kFirstArrow}, {8, 12, scroll::kThumb}, {8, 100, scroll::kTrackAfter},
                              {8, 215, scroll::kSecondArrow}, {20, 100, scroll::kNoPart}})
        EXPECT_EQ(g.PartAt(x, y), part) << x << ", " << y;
    EXPECT_EQ(g.PositionAt(8, 110, 0, 3, v), 50);
    EXPECT_EQ(g.PositionAt(500, 209, 0, 3, v), 91) << "clamped with the page; across is not looked at";
    EXPECT_EQ(g.PositionAt(8, 221, 0, 3, v), 3) << "beyond the bar's end: the drag start";
    EXPECT_TRUE(g.ThumbReached(scroll::kTrackAfter, 8, 20));
    EXPECT_FALSE(g.ThumbReached(scroll::kTrackAfter, 8, 100));
}

}  // namespace
