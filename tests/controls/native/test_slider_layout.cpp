// The slider's window-free rules the Wine tests do not reach: the inset, the
// thumb kept in its channel, a channel without travel, the int range's ends.
#include <gtest/gtest.h>

#include <climits>

#include "controls/framework/system_constants.h"
#include "controls/value/slider_layout.h"

namespace {

using namespace kelmard;
using slider::Values;

slider::Geometry Lay(bool vertical, int length, int across, const Values& v = {}) {
    slider::Geometry g(vertical);
    const int small = vertical ? slider::kSmallVertThumb : slider::kSmallThumb;
    g.Lay(vertical ? Rect{0, 0, across, length} : Rect{0, 0, length, across}, slider::StripOf(skin::kThumbs[small]),
          slider::StripOf(skin::kThumbs[small + 1]), v);
    return g;
}

TEST(SliderLayout, TheInsetKeepsTo0To3AndTheThumbToItsChannel) {
    EXPECT_EQ(Lay(false, 200, 40).channel().top, 3);
    EXPECT_EQ(Lay(false, 200, 10).channel().top, 0);
    EXPECT_EQ(Lay(true, 200, 25).channel().left, 3) << "too thin for the large vertical strip";
    Values v;
    for (int position : {INT_MIN, -5, 101, INT_MAX}) {
        v.position = position;
        const slider::Geometry g = Lay(false, 200, 24, v);
        EXPECT_EQ(position < 0 ? g.thumb().left : g.thumb().right, position < 0 ? 3 : 197) << position;
    }
    v = {INT_MIN, INT_MAX, INT_MAX, 1, 1};  // the widest range
    const slider::Geometry widest = Lay(false, 200, 24, v);
    EXPECT_GE(widest.thumb().right, 196);
    EXPECT_LE(widest.thumb().right, 197);
    EXPECT_EQ(widest.PositionAt(v, 500, 5, 0), INT_MAX);
    EXPECT_EQ(widest.PositionAt(v, -500, 5, 0), INT_MIN);
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
    slider::Piece pieces[4];
    EXPECT_EQ(Lay(true, 12, 30).Pieces(1, pieces), 3) << "caps that meet leave the middle out, never mirrored";
}

TEST(SliderValues, KeysAndPagingAtTheEndsOfTheRanges) {
    EXPECT_EQ(slider::PageSizeFor(INT_MIN, INT_MAX), 429496729);
    slider::Move m{};
    Values v{INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    ASSERT_TRUE(slider::KeyMove(sys::kVkNext, v, &m));
    EXPECT_EQ(m.position, INT_MAX);
    v.position = INT_MIN;
    ASSERT_TRUE(slider::KeyMove(sys::kVkUp, v, &m));
    EXPECT_EQ(m.position, INT_MIN);
    EXPECT_FALSE(slider::PageTick({0, 100, 50, 1, 0}, 0, 90, &m)) << "a page of 0 cannot move";
    ASSERT_TRUE(slider::PageTick({0, 100, 0, 1, 20}, -20, -25, &m)) << "short of a target below the minimum";
    EXPECT_EQ(m.position, 0);
    EXPECT_EQ(m.code, sys::kTbPageUp);
}

}  // namespace
