// The button's and the static's window-free rules: content placement and
// clipping, the glyph beside the text, the group-box caption, the check
// steps, and which statics are painted by the skinned class.
#include <gtest/gtest.h>

#include "controls/lists/static_format.h"
#include "controls/value/button_layout.h"

namespace {

using namespace kelmard;
using button::Box;

bool Same(const Box& a, const Box& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(ButtonLayout, ContentIsAlignedAndClippedToItsArea) {
    const Box area{10, 10, 110, 40};
    EXPECT_TRUE(Same(button::PlaceContent(area, {20, 10}, button::kCenter), Box{50, 20, 70, 30}));
    EXPECT_TRUE(Same(button::PlaceContent(area, {20, 10}, button::kRight | button::kBottom), Box{90, 30, 110, 40}));
    EXPECT_TRUE(Same(button::PlaceContent(area, {20, 10}, button::kLeft | button::kTop), Box{10, 10, 30, 20}));
    // Larger than the area: clipped, never outside.
    EXPECT_TRUE(Same(button::PlaceContent(area, {300, 90}, button::kCenter | button::kVCenter), area));
    // Centring divides toward zero with negative coordinates too.
    EXPECT_TRUE(Same(button::PlaceContent({-11, -11, 0, 0}, {2, 2}, button::kCenter), Box{-6, -6, -4, -4}));
    EXPECT_EQ(button::Available(area).cx, 96);
}

TEST(ButtonLayout, TheGlyphSitsOnTheChosenSide) {
    const Box client{0, 0, 120, 20};
    const button::CheckLayout left = button::LayoutCheck(client, 15, 15, 0);
    EXPECT_TRUE(Same(left.glyph, Box{0, 2, 15, 17}));
    EXPECT_TRUE(Same(left.textArea, Box{17, 1, 119, 19}));
    const button::CheckLayout right = button::LayoutCheck(client, 15, 15, button::kLeftText | button::kTop);
    EXPECT_TRUE(Same(right.glyph, Box{105, 0, 120, 15}));
    EXPECT_EQ(right.textArea.right, 103) << "the text ends 2 pixels before the glyph";
}

TEST(ButtonLayout, GroupCaptionStaysInsideTheClient) {
    const Box client{0, 0, 100, 80};
    const button::GroupLayout g = button::LayoutGroupBox(client, 3, {40, 17}, 13, 0);
    EXPECT_TRUE(Same(g.caption, Box{6, 0, 46, 17}));
    EXPECT_TRUE(Same(g.frame, Box{0, 6, 100, 80}));
    const button::GroupLayout wide = button::LayoutGroupBox(client, 3, {140, 17}, 13, button::kRight);
    EXPECT_EQ(wide.caption.left, 0);
    EXPECT_EQ(wide.caption.right, 94);
}

TEST(ButtonLayout, ChecksStepByKind) {
    std::uint32_t c = button::kUnchecked;
    for (std::uint32_t expected : {button::kChecked, button::kIndeterminate, button::kUnchecked}) {
        c = button::CheckAfterClick(button::kAuto3State, c);
        EXPECT_EQ(c, expected);
    }
    EXPECT_EQ(button::CheckAfterClick(button::kAutoCheckBox, button::kIndeterminate), button::kChecked);
    EXPECT_EQ(button::CheckAfterClick(button::kCheckBox, button::kUnchecked), button::kUnchecked);
    std::uint32_t set = 0;
    EXPECT_TRUE(button::CheckFromMessage(button::kCheckBox, 2, &set));
    EXPECT_EQ(set, button::kChecked);
    EXPECT_FALSE(button::CheckFromMessage(button::k3State, 3, &set));
    EXPECT_TRUE(button::WantsDefaultLook(button::kDefPushButton | button::kNotify));
    EXPECT_FALSE(button::WantsDefaultLook(button::kPushButton | button::kNotify));
    EXPECT_EQ(button::StateAnswer(true, button::kIndeterminate, true), 14u);
}

TEST(StaticFormat, TextKindsAndTheirFlags) {
    EXPECT_EQ(statics::FormatForStyle(statics::kCenter).format, statics::kDtWordBreak | statics::kDtCenter);
    EXPECT_EQ(statics::FormatForStyle(statics::kSimple | statics::kNoPrefix).format, statics::kDtNoPrefix);
    EXPECT_EQ(statics::FormatForStyle(statics::kLeft | statics::kCenterImage | statics::kPathEllipsis).format,
              statics::kDtWordBreak | statics::kDtVCenter | statics::kDtSingleLine | statics::kDtPathEllipsis);
    EXPECT_EQ(statics::FormatForStyle(statics::kRight | statics::kWordEllipsis).format,
              statics::kDtWordBreak | statics::kDtRight | statics::kDtWordEllipsis);
    for (std::uint32_t other : {0x03u, 0x04u, 0x07u, 0x0Du, 0x0Eu, 0x10u, 0x12u})
        EXPECT_FALSE(statics::FormatForStyle(other).selfDrawn) << other;
}

}  // namespace
