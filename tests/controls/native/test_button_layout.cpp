// The button's window-free rules where they are easy to get wrong: centring
// with negative coordinates, clipping, the group-box caption kept inside the
// client, BM_SETSTYLE's type bits.
#include <gtest/gtest.h>

#include "controls/value/button_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::sys;

void ExpectRect(const Rect& got, const Rect& want) {
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.bottom, want.bottom);
}

TEST(ButtonLayout, ContentIsCentredTowardZeroAndClipped) {
    const Rect area{10, 10, 110, 40};
    ExpectRect(button::PlaceContent(area, {300, 90}, kBsCenter | kBsVCenter), area);
    ExpectRect(button::PlaceContent({-11, -11, 0, 0}, {2, 2}, kBsCenter), Rect{-6, -6, -4, -4});
    ExpectRect(button::PlaceContent(area, {20, 10}, kBsRight | kBsBottom), Rect{90, 30, 110, 40});
}

// A caption wider than the client stays inside it.
TEST(ButtonLayout, GroupCaptionStaysInsideTheClient) {
    const button::GroupLayout wide = button::LayoutGroupBox({0, 0, 100, 80}, 3, {140, 17}, 13, kBsRight);
    EXPECT_GE(wide.caption.left, 0);
    EXPECT_LE(wide.caption.right, 100);
}

TEST(ButtonLayout, OnlyTheTypeBitsAskForTheDefaultLook) {
    EXPECT_TRUE(button::WantsDefaultLook(kBsDefPushButton | kBsNotify));
    EXPECT_FALSE(button::WantsDefaultLook(kBsPushButton | kBsNotify));
}

}  // namespace
