// The spin's window-free rules where they are easy to get wrong: steps of
// more than one past an end (wrapping around, or clamped), a range given
// upside down, the buddy's text in both bases (saturation, the hexadecimal
// round trip of negative values, what counts as exact), acceleration by hold
// time, odd-sized arrows and the room taken from the buddy and given back.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "controls/value/spin_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::sys;
using spin::Arrow;

TEST(SpinLayout, StepsWrapAroundOrStopAtTheEnds) {
    const spin::Range range{0, 100};
    const struct {
        int from;
        Arrow arrow;
        int increment;
        bool wrap;
        int to;
    } cases[] = {
        {100, Arrow::kUp, 1, true, 0},    {100, Arrow::kUp, 1, false, 100}, {0, Arrow::kDown, 1, true, 100},
        {98, Arrow::kUp, 5, true, 2},     {98, Arrow::kUp, 5, false, 100},  {3, Arrow::kDown, 20, true, 84},
        {50, Arrow::kUp, 250, true, 98},  // more than the whole range goes round more than once
        {150, Arrow::kUp, 1, true, 0},    // a position outside the range starts from its end
        {50, Arrow::kNone, 7, true, 50},
    };
    for (const auto& c : cases)
        EXPECT_EQ(spin::Step(range, c.from, c.arrow, c.increment, c.wrap), c.to) << c.from << " by " << c.increment;

    // The extreme range: no overflow either way.
    const spin::Range all{INT_MIN, INT_MAX};
    EXPECT_EQ(spin::Step(all, INT_MAX, Arrow::kUp, 1, true), INT_MIN);
    EXPECT_EQ(spin::Step(all, INT_MAX, Arrow::kUp, INT_MAX, false), INT_MAX);
}

TEST(SpinLayout, TheUpArrowLeadsToTheMaximumWhereverItLies) {
    const spin::Range fresh;  // the system's default pair: the up arrow counts down to 0
    EXPECT_EQ(spin::Step(fresh, 5, Arrow::kUp, 1, false), 4);
    EXPECT_EQ(spin::RangeWords(fresh), 0x00640000u) << "MAKELONG(0, 100)";

    const spin::Range set = spin::RangeFromWords(0x0000FFF6u);  // MAKELONG(-10, 0)
    EXPECT_EQ(set.maximum, -10);
    EXPECT_EQ(set.lower(), -10);
    EXPECT_EQ(spin::Step(set, -10, Arrow::kDown, 1, false), -9);
    EXPECT_EQ(spin::RangeWords(set), 0x0000FFF6u) << "answered as it was set";
}

TEST(SpinLayout, BuddyTextReadsInItsBaseAndSaturates) {
    const spin::Range range{-1000, 1000};
    const struct {
        const char* text;
        int base;
        int value;
        bool exact;
    } cases[] = {
        {"  42abc", 10, 42, false},   {" -17 ", 10, -17, true},       {"", 10, 0, false},
        {"ff", 16, 255, true},        {"0x1A", 16, 26, true},         {"1A", 10, 1, false},
        {"99999999999999999999", 10, 1000, false},                    {"-99999999999", 10, -1000, false},
        {"fffffc18", 16, -1000, true},  // FormatValue's form of -1000
        {"123456789abcdef", 16, 1000, false},                         {"-0x10", 16, -16, true},
        {"0x", 16, 0, false},         {"1001", 10, 1000, false},
    };
    for (const auto& c : cases) {
        const spin::Reading r = spin::ParseValue(c.text, c.base, range);
        EXPECT_EQ(r.value, c.value) << '"' << c.text << "\" base " << c.base;
        EXPECT_EQ(r.exact, c.exact) << '"' << c.text << "\" base " << c.base;
    }

    // Every value written in either base reads back as itself.
    const spin::Range all{INT_MIN, INT_MAX};
    for (int value : {0, 1, -1, 255, -256, INT_MAX, INT_MIN}) {
        for (int base : {10, 16}) {
            char text[spin::kTextSize];
            spin::FormatValue(value, base, text);
            const spin::Reading r = spin::ParseValue(text, base, all);
            EXPECT_TRUE(r.exact && r.value == value) << value << " as \"" << text << "\"";
        }
    }
    char text[spin::kTextSize];
    spin::FormatValue(-1, 16, text);
    EXPECT_EQ(std::string(text), "ffffffff");
}

TEST(SpinLayout, AccelerationFollowsTheHoldTime) {
    const spin::Accel table[] = {{0, 1}, {1, 10}, {3, 100}};
    EXPECT_EQ(spin::IncrementAt(table, 3, spin::HoldTimeOfRepeat(0)), 1);
    EXPECT_EQ(spin::IncrementAt(table, 3, spin::HoldTimeOfRepeat(5)), 1) << "900 ms";
    EXPECT_EQ(spin::IncrementAt(table, 3, spin::HoldTimeOfRepeat(6)), 10) << "1000 ms";
    EXPECT_EQ(spin::IncrementAt(table, 3, spin::HoldTimeOfRepeat(26)), 100) << "3000 ms";
    EXPECT_EQ(spin::IncrementAt(table, 0, 99999), 1) << "no table";
    const spin::Accel late[] = {{2, 7}};
    EXPECT_EQ(spin::IncrementAt(late, 1, 0), 1) << "before the first row is due";
    const spin::Accel huge[] = {{0, 0xFFFFFFFFu}};
    EXPECT_EQ(spin::IncrementAt(huge, 1, 0), INT_MAX);
}

TEST(SpinLayout, ArrowsAndTheBuddysRoom) {
    // An odd height leaves the middle row to neither arrow.
    const spin::Arrows v = spin::LayoutArrows({0, 0, 12, 21}, 0);
    EXPECT_EQ(spin::HitArrow(v, 5, 9), Arrow::kUp);
    EXPECT_EQ(spin::HitArrow(v, 5, 10), Arrow::kNone);
    EXPECT_EQ(spin::HitArrow(v, 5, 11), Arrow::kDown);
    EXPECT_EQ(spin::HitArrow(v, 12, 5), Arrow::kNone);
    // Horizontal: the right arrow leads up.
    const spin::Arrows h = spin::LayoutArrows({0, 0, 30, 12}, kUdsHorz);
    EXPECT_EQ(spin::HitArrow(h, 29, 0), Arrow::kUp);
    EXPECT_EQ(spin::HitArrow(h, 0, 11), Arrow::kDown);

    // The room is given back on the side it was taken from.
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
