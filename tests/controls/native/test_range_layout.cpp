// The range's window-free rules the Wine tests do not reach: far values, no
// room, the parts' and minimum length's clamping, the repainted span.
#include <gtest/gtest.h>

#include <climits>

#include "controls/framework/skin_layout.h"
#include "controls/value/range_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::range;

const skin::ThumbPlace& kPlace = skin::kThumbs[skin::kRangeLargeThumb];
const Strip kLarge{kPlace.x, kPlace.y, kPlace.thickness, kPlace.length, kPlace.endCap, kPlace.middle, kPlace.endMargin};
const Rect kClient{0, 0, 200, 24};

Values Selection(int start, int end, int minLength = 0, int minimum = 0, int maximum = 100) {
    Values v;
    v.minimum = minimum, v.maximum = maximum, v.minLength = minLength, v.start = start, v.end = end;
    return v;
}

TEST(RangeLayout, FarValuesAndNoRoomKeepTheThumbsInTheChannel) {
    EXPECT_EQ(ChannelInset(30, 24), 3);
    EXPECT_EQ(ChannelInset(10, 18), 0);
    const Geometry far = Layout(kClient, kLarge, Selection(INT_MIN, INT_MAX, 0, -1000, 1000));
    EXPECT_EQ(far.startThumb.left, 3);
    EXPECT_EQ(far.endThumb.right, 200 - 3);
    const Geometry crossed = Layout(kClient, kLarge, Selection(80, 20));
    EXPECT_EQ(crossed.endThumb.left, crossed.startThumb.right) << "an end below the start touches it";
    EXPECT_EQ(PartAt(crossed, crossed.startThumb.right, 10), kEndThumb);
    const Values widest = Selection(0, 0, 0, INT_MIN, INT_MAX);
    const Geometry wide = Layout(kClient, kLarge, widest);
    EXPECT_GT(wide.scale, 0);
    EXPECT_LE(ValueAt(-32768, 0, kClient, kLarge, widest, wide.scale), INT_MIN);
    // No room beyond margins and thumbs (30 pixels), or an empty range: the thumbs at the margin, points the minimum.
    for (const Geometry& none : {Layout({0, 0, 30, 24}, kLarge, Selection(40, 60)),
                                 Layout(kClient, kLarge, Selection(7, 7, 0, 7, 7))}) {
        EXPECT_EQ(none.scale, 0);
        EXPECT_EQ(none.startThumb.left, 3);
        EXPECT_EQ(ValueAt(150, 0, kClient, kLarge, Selection(7, 7, 0, 7, 7), none.scale), 7);
    }
}

TEST(RangeLayout, PartsAndTheMinimumLengthKeepToTheRangeWithoutOverflow) {
    Values v = Selection(0, 150);
    EXPECT_FALSE(SetPart(v, kBar, 30)) << "a selection longer than the range stays at the minimum";
    EXPECT_EQ(v.start, 0);
    v = Selection(0, 3, 10);
    EXPECT_FALSE(SetPart(v, kStartThumb, 50)) << "both bounds bind: the start's lower one wins";
    v = Selection(95, 100, 10);
    EXPECT_FALSE(SetPart(v, kEndThumb, 0)) << "both bounds bind: the end's upper one wins";
    EXPECT_EQ(v.end, 100);
    EXPECT_EQ(ClampMinLength(-5, Selection(0, 100)), 0);
    EXPECT_EQ(ClampMinLength(5, Selection(0, 0, 0, 10, -10)), 0) << "an inverted range allows no length";
    EXPECT_EQ(ClampMinLength(INT_MAX, Selection(0, 0, 0, INT_MIN, INT_MAX)), INT_MAX);
    v = Selection(INT_MAX, INT_MAX, 0, INT_MIN, INT_MAX);
    v.pageSize = INT_MAX;
    EXPECT_EQ(KeyRequest(Key::kPageMore, v, true), std::int64_t{INT_MAX} * 2);
    EXPECT_EQ(PageSizeFor(INT_MIN, INT_MAX), 429496729);
    EXPECT_EQ(LengthAnswer(Selection(INT_MIN, INT_MAX)), -1);
    EXPECT_EQ(Saturated(std::int64_t{INT_MAX} + 5), INT_MAX);
}

TEST(RangeLayout, RepaintedSpanAndPieces) {
    const Geometry before = Layout(kClient, kLarge, Selection(10, 50));
    const Geometry after = Layout(kClient, kLarge, Selection(30, 50));
    for (const Rect& span : {MovedSpan(before, after), MovedSpan(after, before)}) {
        EXPECT_EQ(span.left, before.startThumb.left);
        EXPECT_EQ(span.right, after.startThumb.right);
    }
    EXPECT_EQ(MovedSpan(after, after).width(), 0);
    EXPECT_EQ(EndCell(kDragged, kBar), 2) << "a dragged bar presses both thumbs";
    Blit plan[kMaxBlits];
    EXPECT_EQ(DrawingPlan(Layout({0, 0, 32, 24}, kLarge, Selection(0, 0)), kLarge, 1, 1, plan), 4)
        << "touching thumbs filling the channel: no middle, no bar";
}

}  // namespace
