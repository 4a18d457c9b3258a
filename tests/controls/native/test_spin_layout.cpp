// The spin's window-free rules where they are easy to get wrong: steps past
// an end, ranges upside down, the buddy's text in both bases, acceleration by
// hold time, odd-sized arrows and the room taken from the buddy.
#include <gtest/gtest.h>

#include <climits>

#include "controls/value/spin_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::sys;
using spin::Arrow;

TEST(SpinLayout, StepsWrapAroundOrStopAtTheEndsWhereverTheMaximumLies) {
    const spin::Range range{0, 100}, fresh, all{INT_MIN, INT_MAX};  // fresh: the up arrow counts down to 0
    const struct {
        spin::Range range;
        Arrow arrow;
        bool wrap;
        int from, increment, to;
    } cases[] = {
        {range, Arrow::kUp, true, 98, 5, 2},    {range, Arrow::kUp, false, 98, 5, 100},
        {range, Arrow::kDown, true, 3, 20, 84}, {range, Arrow::kUp, true, 50, 250, 98},  // round more than once
        {range, Arrow::kUp, true, 150, 1, 0},   {fresh, Arrow::kUp, false, 5, 1, 4},
        {all, Arrow::kUp, true, INT_MAX, 1, INT_MIN}, {all, Arrow::kUp, false, INT_MAX, INT_MAX, INT_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(spin::Step(c.range, c.from, c.arrow, c.increment, c.wrap), c.to) << c.from << " by " << c.increment;
    const spin::Range set = spin::RangeFromWords(0x0000FFF6u);  // MAKELONG(-10, 0)
    EXPECT_EQ(spin::Step(set, -10, Arrow::kDown, 1, false), -9);
    EXPECT_EQ(spin::RangeWords(set), 0x0000FFF6u) << "answered as it was set";
}

TEST(SpinLayout, BuddyTextReadsInItsBaseAndSaturatesBeforeClamping) {
    const spin::Range range{-1000, 1000};
    const struct {
        const char* text;
        int base, value;
        bool exact;
    } cases[] = {
        {"  42abc", 10, 42, false},      {" -17 ", 10, -17, true},  {"", 10, 0, false}, {"1A", 10, 1, false},
        {"1001", 10, 1000, false},       {"99999999999999999999", 10, 1000, false}, {"-99999999999", 10, -1000, false},
        {"-0x10", 16, -16, true},        {"fffffc18", 16, -1000, true},  // FormatValue's form of -1000
        {"123456789abcdef", 16, 1000, false},
    };
    for (const auto& c : cases) {
        const spin::Reading r = spin::ParseValue(c.text, c.base, range);
        EXPECT_TRUE(r.value == c.value && r.exact == c.exact) << '"' << c.text << "\" read " << r.value;
    }
    // Values written in either base (negative ones in base 16 as two's complement) read back as themselves.
    const struct {
        int value;
        const char *decimal, *hex;
    } written[] = {{-1, "-1", "ffffffff"}, {INT_MAX, "2147483647", "7fffffff"}, {INT_MIN, "-2147483648", "80000000"}};
    for (const auto& w : written) {
        for (int base : {10, 16}) {
            char text[spin::kTextSize];
            spin::FormatValue(w.value, base, text);
            EXPECT_STREQ(text, base == 10 ? w.decimal : w.hex);
            const spin::Reading r = spin::ParseValue(text, base, {INT_MIN, INT_MAX});
            EXPECT_TRUE(r.exact && r.value == w.value) << text;
        }
    }
}

TEST(SpinLayout, AccelerationFollowsTheHoldTime) {
    const spin::Accel table[] = {{0, 1}, {1, 10}}, late[] = {{2, 7}}, huge[] = {{0, 0xFFFFFFFFu}};
    EXPECT_EQ(spin::IncrementAt(table, 2, spin::HoldTimeOfRepeat(5)), 1) << "900 ms";
    EXPECT_EQ(spin::IncrementAt(table, 2, spin::HoldTimeOfRepeat(6)), 10) << "1000 ms";
    EXPECT_EQ(spin::IncrementAt(late, 1, 0) + spin::IncrementAt(table, 0, 9999), 2) << "no row due: steps of 1";
    EXPECT_EQ(spin::IncrementAt(huge, 1, 0), INT_MAX);
}

TEST(SpinLayout, ArrowsAndTheBuddysRoom) {
    const spin::Arrows v = spin::LayoutArrows({0, 0, 12, 21}, 0);  // the odd middle row is neither arrow's
    EXPECT_EQ(spin::HitArrow(v, 5, 9), Arrow::kUp);
    EXPECT_EQ(spin::HitArrow(v, 5, 10), Arrow::kNone);
    EXPECT_EQ(spin::HitArrow(v, 5, 11), Arrow::kDown);
    EXPECT_EQ(spin::HitArrow(spin::LayoutArrows({0, 0, 30, 12}, kUdsHorz), 29, 0), Arrow::kUp) << "the right arrow";
    // The room is taken from the buddy's side and given back there.
    const Rect edit{10, 10, 110, 30};
    for (Bits side : {kUdsAlignLeft, kUdsAlignRight}) {
        const spin::Placement p = spin::PlaceBesideBuddy(edit, {0, 0, 5, 5}, side | kUdsAutoBuddy);
        EXPECT_EQ(p.spin.width(), spin::kBuddyRoom);
        EXPECT_EQ(side == kUdsAlignLeft ? p.spin.left : p.spin.right, side == kUdsAlignLeft ? 10 : 110);
        const Rect back = spin::GiveBackRoom(p.buddy, p.taken);
        EXPECT_TRUE(back.left == 10 && back.right == 110) << side;
    }
}

}  // namespace
