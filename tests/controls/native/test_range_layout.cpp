// The range's window-free rules where they are easy to get wrong: the thumbs'
// places and the value under the pointer, values far outside the
// range or a channel with no room, the clamping of the three parts and of the
// minimum length, the repainted span, the thumb cells and the strip's pieces.
#include <gtest/gtest.h>

#include <climits>

#include "controls/framework/skin_layout.h"
#include "controls/value/range_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::range;

Strip StripOf(int index) {
    const skin::ThumbPlace& t = skin::kThumbs[index];
    return {t.x, t.y, t.thickness, t.length, t.endCap, t.middle, t.endMargin};
}
const Strip kLarge = StripOf(skin::kRangeLargeThumb);

Values Selection(int start, int end, int minLength = 0, int minimum = 0, int maximum = 100) {
    Values v;
    v.minimum = minimum, v.maximum = maximum, v.minLength = minLength, v.start = start, v.end = end;
    return v;
}

void ExpectSpan(const Rect& r, int left, int right) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.right, right);
}

TEST(RangeLayout, ThumbsAndBarFollowTheValues) {
    EXPECT_EQ(ChannelInset(30, 24), 3);
    EXPECT_EQ(ChannelInset(10, 18), 0);
    EXPECT_FALSE(UsesLargeStrip(23, kLarge.thickness));
    // 200 pixels, margins 3 and thumbs 12: 170 pixels for 100 units.
    const Geometry g = Layout({0, 0, 200, 30}, kLarge, Selection(0, 100));
    EXPECT_DOUBLE_EQ(g.scale, 1.7);
    EXPECT_EQ(g.channel.top, 3);
    ExpectSpan(g.startThumb, 3, 15);
    ExpectSpan(g.endThumb, 185, 197);
    ExpectSpan(g.bar, 15, 185);
    // Start equal to end: the thumbs touch, no bar.
    const Geometry same = Layout({0, 0, 200, 30}, kLarge, Selection(50, 50));
    EXPECT_EQ(same.startThumb.right, same.endThumb.left);
    EXPECT_EQ(same.bar.width(), 0);
    EXPECT_EQ(PartAt(same, same.startThumb.right, 10), kEndThumb);
    EXPECT_EQ(PartAt(g, 100, 10), kBar);
    EXPECT_EQ(PartAt(g, 100, 1), kNoPart);
}

TEST(RangeLayout, FarValuesAndNoRoomKeepTheThumbsInTheChannel) {
    const Geometry far = Layout({0, 0, 200, 24}, kLarge, Selection(INT_MIN, INT_MAX, 0, -1000, 1000));
    ExpectSpan(far.startThumb, 3, 15);
    ExpectSpan(far.endThumb, 200 - 15, 200 - 3);
    // An end below the start touches it.
    const Geometry crossed = Layout({0, 0, 200, 24}, kLarge, Selection(80, 20));
    EXPECT_EQ(crossed.endThumb.left, crossed.startThumb.right);
    // The widest range is no overflow.
    const Geometry widest = Layout({0, 0, 200, 24}, kLarge, Selection(0, INT_MAX, 0, INT_MIN, INT_MAX));
    EXPECT_GT(widest.scale, 0);
    EXPECT_LE(ValueAt(-32768, 0, {0, 0, 200, 24}, kLarge, Selection(0, 0, 0, INT_MIN, INT_MAX), widest.scale), INT_MIN);
    // A channel no longer than its margins and thumbs (30 pixels for the large
    // strip), or an empty range: the thumbs at the margin, every point the minimum.
    for (const Geometry& none : {Layout({0, 0, 30, 24}, kLarge, Selection(40, 60)),
                                 Layout({0, 0, 200, 24}, kLarge, Selection(7, 7, 0, 7, 7))}) {
        EXPECT_EQ(none.scale, 0);
        ExpectSpan(none.startThumb, 3, 15);
        EXPECT_EQ(ValueAt(150, 0, {0, 0, 200, 24}, kLarge, Selection(7, 7, 0, 7, 7), none.scale), 7);
    }
}

TEST(RangeLayout, PartsKeepTheMinimumLengthAndTheRange) {
    Values v = Selection(10, 20, 5);
    EXPECT_TRUE(SetPart(v, kEndThumb, 12));
    EXPECT_EQ(v.end, 15);
    EXPECT_FALSE(SetPart(v, kEndThumb, 14)) << "the end stays: nothing changes";
    // The bar keeps its length at the range's end.
    v = Selection(80, 95);
    EXPECT_TRUE(SetPart(v, kBar, 100));
    EXPECT_EQ(v.start, 85);
    EXPECT_EQ(v.end, 100);
    // A selection longer than the range stays at the minimum, never below.
    v = Selection(0, 150);
    EXPECT_FALSE(SetPart(v, kBar, 30));
    EXPECT_EQ(v.start, 0);
    // Where both bounds bind, the start's lower and the end's upper bound win.
    v = Selection(0, 3, 10);
    EXPECT_FALSE(SetPart(v, kStartThumb, 50));
    v = Selection(95, 100, 10);
    EXPECT_FALSE(SetPart(v, kEndThumb, 0));
    EXPECT_EQ(v.end, 100);
    v = Selection(INT_MAX, INT_MAX, 0, INT_MIN, INT_MAX);
    v.pageSize = INT_MAX;
    EXPECT_EQ(KeyRequest(Key::kPageMore, v, true), std::int64_t{INT_MAX} * 2) << "no overflow";
}

TEST(RangeLayout, MinimumLengthAndPageSizeFollowTheRange) {
    EXPECT_EQ(ClampMinLength(-5, Selection(0, 100)), 0);
    EXPECT_EQ(ClampMinLength(5, Selection(0, 0, 0, 10, -10)), 0) << "an inverted range allows no length";
    EXPECT_EQ(ClampMinLength(INT_MAX, Selection(0, 0, 0, INT_MIN, INT_MAX)), INT_MAX);
    EXPECT_EQ(PageSizeFor(INT_MIN, INT_MAX), 429496729);
    EXPECT_EQ(LengthAnswer(Selection(INT_MIN, INT_MAX)), -1);
    EXPECT_EQ(Saturated(std::int64_t{INT_MAX} + 5), INT_MAX);
}

TEST(RangeLayout, RepaintedSpanCellsAndPieces) {
    const Rect client{0, 0, 200, 24};
    const Geometry before = Layout(client, kLarge, Selection(10, 50));
    const Geometry after = Layout(client, kLarge, Selection(30, 50));
    ExpectSpan(MovedSpan(before, after), before.startThumb.left, after.startThumb.right);
    ExpectSpan(MovedSpan(after, before), before.startThumb.left, after.startThumb.right);
    EXPECT_EQ(MovedSpan(after, after).width(), 0);

    EXPECT_EQ(EndCell(kDragged, kStartThumb), 1);
    EXPECT_EQ(StartCell(kDragged, kEndThumb), 1);
    EXPECT_EQ(EndCell(kDragged, kBar), 2);

    Blit plan[kMaxBlits];
    ASSERT_EQ(DrawingPlan(after, kLarge, 1, 2, plan), 7);
    const int caps = kLarge.x + 3 * kLarge.length;
    EXPECT_EQ(plan[2].sx, caps + 2 * kLarge.endCap) << "the bar piece";
    EXPECT_EQ(plan[2].sy, kLarge.y + kLarge.thickness);
    EXPECT_TRUE(plan[2].stretch);
    EXPECT_EQ(plan[4].to.left, 200 - kLarge.endCap) << "the second end cap";
    EXPECT_EQ(plan[4].sx, caps + kLarge.endCap);
    EXPECT_EQ(plan[5].sx, kLarge.x + kLarge.length) << "the start thumb's normal cell";
    EXPECT_EQ(plan[6].sx, kLarge.x + 2 * kLarge.length) << "the end thumb's pressed cell";
    EXPECT_EQ(plan[6].sy, kLarge.y + kLarge.thickness);
    // A channel just long enough for the touching thumbs: no middle, no bar.
    EXPECT_EQ(DrawingPlan(Layout({0, 0, 32, 24}, kLarge, Selection(0, 0)), kLarge, 1, 1, plan), 4);
}

}  // namespace
