// The slider's window-free rules where they are easy to get wrong: the thumb
// record and inset a client's thickness takes, the thumb kept in its channel
// whatever the position and range, positions under points when the thumb
// cannot travel, the arithmetic at the ends of the int range, the keys and
// mouse paging at the ends of the slider's range, and the strip pieces of a
// vertical slider.
#include <gtest/gtest.h>

#include <climits>

#include "controls/framework/system_constants.h"
#include "controls/value/slider_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::sys;
using slider::Geometry;
using slider::Values;

const slider::Strip kSmall = slider::StripOf(skin::kThumbs[slider::kSmallThumb]);
const slider::Strip kLarge = slider::StripOf(skin::kThumbs[slider::kLargeThumb]);
const slider::Strip kSmallVert = slider::StripOf(skin::kThumbs[slider::kSmallVertThumb]);
const slider::Strip kLargeVert = slider::StripOf(skin::kThumbs[slider::kLargeVertThumb]);

Geometry Horizontal(int width, int height, const Values& v = {}) {
    Geometry g(false);
    g.Lay({0, 0, width, height}, kSmall, kLarge, v);
    return g;
}

TEST(SliderLayout, ThumbRecordAndInsetFollowTheClientsThickness) {
    const struct {
        bool vertical;
        int across;
        bool large;
        int inset;
    } cases[] = {
        {false, 20, true, 0}, {false, 19, false, 1},  // T1 only where its 20 pixels fit
        {false, 40, true, 3}, {false, 10, false, 0},  // the inset is at most 3 and never negative
        {true, 26, true, 0},  {true, 25, false, 3},
    };
    for (const auto& c : cases) {
        Geometry g(c.vertical);
        const Rect client = c.vertical ? Rect{0, 0, c.across, 200} : Rect{0, 0, 200, c.across};
        g.Lay(client, c.vertical ? kSmallVert : kSmall, c.vertical ? kLargeVert : kLarge, {});
        EXPECT_EQ(g.large(), c.large) << c.vertical << " " << c.across;
        EXPECT_EQ(c.vertical ? g.channel().left : g.channel().top, c.inset) << c.vertical << " " << c.across;
        EXPECT_EQ(c.vertical ? g.channel().height() : g.channel().width(), 200) << "the channel spans the length";
    }
}

TEST(SliderLayout, TheThumbStaysInItsChannelForAnyPositionAndRange) {
    // 200 wide: travel 200 - 2 * 3 - 22 = 172 pixels over 0..100.
    Values v;
    for (int position : {INT_MIN, -5, 0, 50, 100, 101, INT_MAX}) {
        v.position = position;
        const Geometry g = Horizontal(200, 24, v);
        EXPECT_GE(g.thumb().left, 3) << position;
        EXPECT_LE(g.thumb().right, 197) << position;
    }
    v.position = 50;
    EXPECT_EQ(Horizontal(200, 24, v).thumb().left, 3 + 86);
    // The widest range: no overflow, the ends at the ends of the travel.
    v = {INT_MIN, INT_MAX, INT_MAX, 1, 1};
    EXPECT_GE(Horizontal(200, 24, v).thumb().right, 196);
    EXPECT_LE(Horizontal(200, 24, v).thumb().right, 197);
    v.position = INT_MIN;
    EXPECT_EQ(Horizontal(200, 24, v).thumb().left, 3);
    EXPECT_EQ(Horizontal(200, 24, v).PositionAt(v, 500, 5, 0), INT_MAX) << "far beyond the end";
    EXPECT_EQ(Horizontal(200, 24, v).PositionAt(v, -500, 5, 0), INT_MIN);
}

TEST(SliderLayout, WithoutTravelTheThumbRestsAtTheStartAndPointsMapToTheMinimum) {
    const struct {
        int width, minimum, maximum;
    } cases[] = {{28, 0, 100}, {20, 0, 100}, {0, 0, 100}, {200, 7, 7}, {200, 10, -10}};
    for (const auto& c : cases) {
        Values v{c.minimum, c.maximum, 50, 1, 1};
        const Geometry g = Horizontal(c.width, 24, v);
        EXPECT_EQ(g.scale(), 0.0) << c.width;
        EXPECT_EQ(g.thumb().left, 3) << c.width;
        for (int x : {-100, 0, 5, 30, 1000}) EXPECT_EQ(g.PositionAt(v, x, 5, 0), c.minimum) << c.width << " at " << x;
    }
}

TEST(SliderLayout, AVerticalSliderRunsAlongY) {
    // 30 x 100: T3 (26 thick), inset 2; travel 100 - 12 - 16 = 72 over 0..100.
    Values v;
    v.position = 50;
    Geometry g(true);
    g.Lay({0, 0, 30, 100}, kSmallVert, kLargeVert, v);
    EXPECT_EQ(g.thumb().top, 6 + 36);
    EXPECT_EQ(g.thumb().bottom, 6 + 36 + 16);
    EXPECT_EQ(g.thumb().left, 2);
    EXPECT_TRUE(g.BeyondThumb(0, 60));
    EXPECT_FALSE(g.BeyondThumb(60, 0)) << "x does not count";
    EXPECT_EQ(g.PositionAt(v, 0, 6 + 37, 0), 51) << "37 / 0.72, truncated";
    // Pieces: the strip runs downward from (220, 200), 26 wide.
    slider::Piece p[4];
    ASSERT_EQ(g.Pieces(2, p), 4);
    const Rect middle = p[0].source, firstCap = p[1].source, thumb = p[3].source;
    EXPECT_EQ(firstCap.top, 200 + 3 * 16);
    EXPECT_EQ(firstCap.height(), 7);
    EXPECT_EQ(firstCap.width(), 26);
    EXPECT_EQ(middle.top, 200 + 3 * 16 + 14);
    EXPECT_EQ(p[0].target.top, 7);
    EXPECT_EQ(p[0].target.bottom, 93);
    EXPECT_EQ(p[2].target.top, 93) << "second cap at the channel's end";
    EXPECT_EQ(thumb.top, 200 + 2 * 16) << "the dragged cell";
    EXPECT_EQ(p[3].target.top, g.thumb().top);
    // Caps that meet leave the middle out (a negative width would mirror it).
    g.Lay({0, 0, 30, 12}, kSmallVert, kLargeVert, v);
    EXPECT_EQ(g.Pieces(1, p), 3);
}

TEST(SliderValues, PageSizeAndPackedRange) {
    EXPECT_EQ(slider::PageSizeFor(0, 5), 1);
    EXPECT_EQ(slider::PageSizeFor(-30, 0), 3);
    EXPECT_EQ(slider::PageSizeFor(INT_MIN, INT_MAX), 429496729);
    EXPECT_EQ(slider::PackedMinimum(0x0064FFFFu), -1);
    EXPECT_EQ(slider::PackedMaximum(0x80000000u), -32768);
}

TEST(SliderValues, KeysAtTheEndsStillReportAndNeverOverflow) {
    slider::Move m{};
    Values v{0, 100, 100, 1, 20};
    ASSERT_TRUE(slider::KeyMove(kVkEnd, v, &m));
    EXPECT_EQ(m.position, 100);
    EXPECT_EQ(m.code, kTbBottom);
    ASSERT_TRUE(slider::KeyMove(kVkDown, v, &m));
    EXPECT_EQ(m.code, kTbLineDown);
    v = {INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    ASSERT_TRUE(slider::KeyMove(kVkNext, v, &m));
    EXPECT_EQ(m.position, INT_MAX);
    v.position = INT_MIN;
    ASSERT_TRUE(slider::KeyMove(kVkUp, v, &m));
    EXPECT_EQ(m.position, INT_MIN);
    // A position stored beyond the range is clamped by the next key.
    v = {0, 100, 150, 1, 20};
    ASSERT_TRUE(slider::KeyMove(kVkLeft, v, &m));
    EXPECT_EQ(m.position, 100);
    EXPECT_FALSE(slider::KeyMove('A', v, &m));
}

TEST(SliderValues, PagingStopsAtTheTargetAndAtTheEnds) {
    slider::Move m{};
    const Values v{0, 100, 50, 1, 20};
    EXPECT_TRUE(slider::PageTick(v, -20, 45, &m)) << "a step may pass the target";
    EXPECT_EQ(m.position, 30);
    EXPECT_EQ(m.code, kTbPageUp);
    EXPECT_FALSE(slider::PageTick(v, -20, 50, &m)) << "reached";
    EXPECT_FALSE(slider::PageTick(v, 20, 30, &m)) << "passed";
    EXPECT_FALSE(slider::PageTick({0, 100, 0, 1, 20}, -20, -40, &m)) << "at the minimum with the pointer before it";
    EXPECT_FALSE(slider::PageTick({0, 100, 50, 1, 0}, 0, 90, &m)) << "a page of 0 cannot move";
    EXPECT_EQ(slider::PressPageMove({0, 100, 95, 1, 20}, true).position, 100);
}

}  // namespace
