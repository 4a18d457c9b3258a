// The slider's window-free rules where they are easy to get wrong: the inset
// and strip a client's thickness takes, the thumb kept in its channel whatever
// the position and range, positions under points when the thumb cannot
// travel, and the arithmetic at the ends of the int range.
#include <gtest/gtest.h>

#include <climits>

#include "controls/framework/system_constants.h"
#include "controls/value/slider_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::sys;
using slider::Values;

slider::Strip StripAt(int index) { return slider::StripOf(skin::kThumbs[index]); }

slider::Geometry Lay(bool vertical, int length, int across, const Values& v = {}) {
    slider::Geometry g(vertical);
    const int small = vertical ? slider::kSmallVertThumb : slider::kSmallThumb;
    g.Lay(vertical ? Rect{0, 0, across, length} : Rect{0, 0, length, across}, StripAt(small), StripAt(small + 1), v);
    return g;
}

TEST(SliderLayout, TheStripFollowsTheThicknessAndTheInsetStaysWithin0To3) {
    const struct {
        bool vertical;
        int across;
        bool large;
        int inset;
    } cases[] = {{false, 19, false, 1}, {false, 40, true, 3}, {false, 10, false, 0},
                 {true, 26, true, 0},   {true, 25, false, 3}};
    for (const auto& c : cases) {
        const slider::Geometry g = Lay(c.vertical, 200, c.across);
        EXPECT_EQ(g.large(), c.large) << c.vertical << " " << c.across;
        EXPECT_EQ(c.vertical ? g.channel().left : g.channel().top, c.inset) << c.vertical << " " << c.across;
    }
}

TEST(SliderLayout, TheThumbStaysInItsChannelForAnyPositionAndRange) {
    // 200 long: 172 pixels of travel from x 3, the thumb 22 long.
    Values v;
    for (int position : {INT_MIN, -5, 101, INT_MAX}) {
        v.position = position;
        const slider::Geometry g = Lay(false, 200, 24, v);
        EXPECT_EQ(position < 0 ? g.thumb().left : g.thumb().right, position < 0 ? 3 : 197) << position;
    }
    v = {INT_MIN, INT_MAX, INT_MAX, 1, 1};  // the widest range
    EXPECT_GE(Lay(false, 200, 24, v).thumb().right, 196);
    EXPECT_LE(Lay(false, 200, 24, v).thumb().right, 197);
    EXPECT_EQ(Lay(false, 200, 24, v).PositionAt(v, 500, 5, 0), INT_MAX) << "far beyond the end";
    EXPECT_EQ(Lay(false, 200, 24, v).PositionAt(v, -500, 5, 0), INT_MIN);
    v = {0, 100, 50, 1, 1};
    EXPECT_EQ(Lay(true, 100, 30, v).PositionAt(v, 500, 6 + 37, 0), 51) << "along y: 37 / 0.72, truncated";
}

TEST(SliderLayout, WithoutTravelTheThumbRestsAtTheStartAndPointsMapToTheMinimum) {
    const struct {
        int length, minimum, maximum;
    } cases[] = {{28, 0, 100}, {20, 0, 100}, {0, 0, 100}, {200, 7, 7}, {200, 10, -10}};
    for (const auto& c : cases) {
        const Values v{c.minimum, c.maximum, 50, 1, 1};
        const slider::Geometry g = Lay(false, c.length, 24, v);
        EXPECT_EQ(g.thumb().left, 3) << c.length;
        for (int x : {-100, 5, 30, 1000}) EXPECT_EQ(g.PositionAt(v, x, 5, 0), c.minimum) << c.length << " at " << x;
    }
    // End caps that meet leave the channel's middle out (a negative width would mirror it).
    slider::Piece pieces[4];
    EXPECT_EQ(Lay(true, 12, 30).Pieces(1, pieces), 3);
}

TEST(SliderValues, KeysAndPagingAtTheEndsOfTheRanges) {
    EXPECT_EQ(slider::PageSizeFor(INT_MIN, INT_MAX), 429496729);
    slider::Move m{};
    Values v{INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    ASSERT_TRUE(slider::KeyMove(kVkNext, v, &m));
    EXPECT_EQ(m.position, INT_MAX);
    v.position = INT_MIN;
    ASSERT_TRUE(slider::KeyMove(kVkUp, v, &m));
    EXPECT_EQ(m.position, INT_MIN);
    EXPECT_EQ(m.code, kTbLineUp);
    EXPECT_FALSE(slider::KeyMove('A', v, &m));

    const Values half{0, 100, 50, 1, 20};
    EXPECT_TRUE(slider::PageTick(half, -20, 45, &m)) << "a step may pass the target";
    EXPECT_EQ(m.position, 30);
    EXPECT_FALSE(slider::PageTick(half, 20, 30, &m)) << "passed";
    EXPECT_FALSE(slider::PageTick({0, 100, 0, 1, 20}, -20, -40, &m)) << "at the minimum, the pointer before it";
    EXPECT_FALSE(slider::PageTick({0, 100, 50, 1, 0}, 0, 90, &m)) << "a page of 0 cannot move";
}

}  // namespace
