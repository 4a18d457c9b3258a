// The scroll bar's window-free rules: clamping with the page, the thumb's
// length and place on both axes, the cases that would divide by zero or put
// the thumb beyond its track, and the position under a dragged thumb.
#include <gtest/gtest.h>

#include <climits>

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

TEST(ScrollLayout, TheThumbFollowsEachAxissArithmetic) {
    // 0..100, page 1, 200-pixel tracks: the thumb raised to 8 pixels.
    const Values v{0, 100, 1, 100};
    const scroll::Geometry vert = Lay(true, 200, v), horz = Lay(false, 200, v);
    EXPECT_EQ(vert.thumbLength(), 8);
    EXPECT_EQ(Lead(vert), 192);
    EXPECT_EQ(Trail(vert), 200);
    EXPECT_EQ(Lead(horz), 192) << "1.94 per unit would put it 2 pixels past the track";
    EXPECT_EQ(Lead(Lay(false, 200, {0, 100, 1, 50})), 97) << "50 x 1.94, truncated";
    EXPECT_EQ(Lead(Lay(true, 200, {0, 100, 1, 50})), 96) << "50 x 1.92, rounded";
    // Page 20 of 0..100 on a 100-pixel horizontal track: 20 pixels, 1 per unit.
    const scroll::Geometry paged = Lay(false, 100, {0, 100, 20, 30});
    EXPECT_EQ(paged.thumbLength(), 20);
    EXPECT_EQ(Lead(paged), 30);
}

TEST(ScrollLayout, EmptyRangesShortTracksAndLargePagesFillTheTrack) {
    for (const Values& v : {Values{5, 5, 1, 5}, Values{10, 0, 1, 0}, Values{0, 100, 101, 0}, Values{0, 100, 500, 0}}) {
        for (bool vertical : {true, false}) {
            const scroll::Geometry g = Lay(vertical, 120, v, 10);
            EXPECT_TRUE(g.thumbFills());
            EXPECT_EQ(Lead(g), 10);
            EXPECT_EQ(Trail(g), 110);
            EXPECT_EQ(g.PositionAt(50, 50, 0, 7, v), 7) << "no division: the drag start stays";
        }
    }
    const scroll::Geometry shortTrack = Lay(true, 25, {0, 100, 1, 50}, 10);
    EXPECT_TRUE(shortTrack.thumbFills()) << "5 pixels of track";
    const scroll::Geometry tiny = Lay(true, 6, {0, 100, 1, 50}, 10);
    EXPECT_EQ(tiny.firstArrow().bottom, 3) << "arrows share a bar shorter than both";
    scroll::Geometry inverted(true);
    inverted.Lay({0, 50, 16, 10}, 10, {});
    EXPECT_EQ(inverted.bounds().height(), 0);
    EXPECT_EQ(inverted.PartAt(5, 20), scroll::kNoPart);
}

TEST(ScrollLayout, PartsAndDraggedPositions) {
    const Values v{0, 100, 10, 0};
    const scroll::Geometry g = Lay(true, 220, v, 10);  // track 10..210: 200 pixels, thumb 18 long at 10
    EXPECT_EQ(g.PartAt(8, 5), scroll::kFirstArrow);
    EXPECT_EQ(g.PartAt(8, 12), scroll::kThumb);
    EXPECT_EQ(g.PartAt(8, 100), scroll::kTrackAfter);
    EXPECT_EQ(g.PartAt(8, 215), scroll::kSecondArrow);
    EXPECT_EQ(g.PartAt(20, 100), scroll::kNoPart);
    EXPECT_EQ(g.ZoneOf(scroll::kTrackAfter).top, g.thumb().bottom);
    EXPECT_EQ(g.PositionAt(8, 110, 0, 3, v), 50);
    EXPECT_EQ(g.PositionAt(500, 209, 0, 3, v), 91) << "clamped with the page; across is not looked at";
    EXPECT_EQ(g.PositionAt(8, 221, 0, 3, v), 3) << "beyond the bar's end: the drag start";
    EXPECT_TRUE(g.ThumbReached(scroll::kTrackAfter, 8, 20));
    EXPECT_FALSE(g.ThumbReached(scroll::kTrackAfter, 8, 100));
}

}  // namespace
