// The combo box's window-free rules where they are easy to get wrong: the
// closed size and the list's room, tiny and odd sizes, the opened list's
// height for its items, sizing requests, the children's styles, the messages
// passed on to the list and the dialog code while open.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "controls/lists/combo_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::sys;
using combo::Kind;

void ExpectRect(const Rect& r, Rect want, const char* what) {
    EXPECT_EQ(r.left, want.left) << what;
    EXPECT_EQ(r.top, want.top) << what;
    EXPECT_EQ(r.right, want.right) << what;
    EXPECT_EQ(r.bottom, want.bottom) << what;
}

TEST(ComboLayout, ADropDownShowsItsClosedHeightAndKeepsTheRestForItsList) {
    const combo::Layout l = combo::LayoutFor(Kind::kDropDown, {{120, 200}, 16, 17, 0});
    EXPECT_EQ(l.closed.cx, 120);
    EXPECT_EQ(l.closed.cy, 21);
    ExpectRect(l.button, {120 - 2 - 17, 2, 118, 19}, "button inside the frame");
    ExpectRect(l.text, {3, 3, 120 - 2 - 17 - 1, 18}, "text left of the button");
    ExpectRect(l.list, {0, 20, 120, 200}, "list from below the text to the requested height");

    const combo::Layout wide = combo::LayoutFor(Kind::kDropDownList, {{120, 200}, 16, 17, 300});
    EXPECT_EQ(wide.list.right, 300) << "a wider dropped width widens the list";
    EXPECT_EQ(combo::LayoutFor(Kind::kDropDown, {{120, 200}, 16, 17, 50}).list.right, 120) << "never narrower";

    const combo::Layout simple = combo::LayoutFor(Kind::kSimple, {{100, 90}, 16, 17, 0});
    EXPECT_EQ(simple.closed.cy, 17);
    ExpectRect(simple.text, {0, 0, 100, 17}, "the simple kind's edit spans the width");
    EXPECT_EQ(simple.button.right - simple.button.left, 0) << "no button";
    ExpectRect(simple.list, {0, 19, 100, 90}, "the permanent list");
}

TEST(ComboLayout, TinyOrNegativeSizesGiveNoInvertedRectangles) {
    for (Kind kind : {Kind::kSimple, Kind::kDropDown, Kind::kDropDownList})
        for (const Extent full : {Extent{0, 0}, Extent{5, 3}, Extent{-40, -10}, Extent{18, 400}}) {
            const combo::Layout l = combo::LayoutFor(kind, {full, 16, 17, 0});
            for (const Rect& r : {l.text, l.button, l.list}) {
                EXPECT_LE(r.left, r.right) << full.cx << "x" << full.cy;
                EXPECT_LE(r.top, r.bottom) << full.cx << "x" << full.cy;
            }
        }
}

TEST(ComboLayout, TheOpenedListIsAsHighAsItsItemsNeedWithinItsRoom) {
    EXPECT_EQ(combo::DroppedHeight(180, 3, 13), 41) << "three items and the border";
    EXPECT_EQ(combo::DroppedHeight(180, 50, 13), 180) << "more than fit: the room";
    EXPECT_EQ(combo::DroppedHeight(41, 3, 13), 41) << "exactly the room";
    EXPECT_EQ(combo::DroppedHeight(180, 0, 13), 2) << "an empty list shows its border";
    EXPECT_EQ(combo::DroppedHeight(180, -1, 13), 2) << "an error count counts as none";
    EXPECT_EQ(combo::DroppedHeight(180, LONG_MAX, 13), 180) << "no overflow";
    EXPECT_EQ(combo::DroppedHeight(180, 4, 0), 180) << "no item height yet";
    EXPECT_EQ(combo::DroppedHeight(-5, 4, 13), 0);
}

TEST(ComboLayout, SizingKeepsADropDownClosedAndRemembersTheRoom) {
    const Extent closed{120, 21};
    const combo::Sizing same = combo::SizeRequest(Kind::kDropDown, closed, closed);
    EXPECT_FALSE(same.remember) << "its own closed size is no new room";
    const combo::Sizing taller = combo::SizeRequest(Kind::kDropDownList, {140, 250}, closed);
    EXPECT_TRUE(taller.remember);
    EXPECT_EQ(taller.apply.cx, 140);
    EXPECT_EQ(taller.apply.cy, 21);
    const combo::Sizing simple = combo::SizeRequest(Kind::kSimple, {140, 250}, {120, 17});
    EXPECT_TRUE(simple.remember);
    EXPECT_EQ(simple.apply.cy, 250) << "the simple kind shows its list";
}

TEST(ComboLayout, KindsAndChildStylesFollowTheComboStyle) {
    EXPECT_EQ(combo::KindOf(0), Kind::kDropDown);
    EXPECT_EQ(combo::KindOf(kCbsSimple | kCbsSort), Kind::kSimple);
    EXPECT_EQ(combo::KindOf(kCbsDropDownList), Kind::kDropDownList);
    EXPECT_EQ(combo::ListStyle(kCbsSort | kCbsNoIntegralHeight | kCbsDisableNoScroll) &
                  (kLbsSort | kLbsNoIntegralHeight | kLbsDisableNoScroll | kLbsComboBox | kLbsNotify),
              kLbsSort | kLbsNoIntegralHeight | kLbsDisableNoScroll | kLbsComboBox | kLbsNotify);
    EXPECT_EQ(combo::ListStyle(kCbsDropDown) & (kLbsSort | kWsVisible), 0u) << "hidden until opened, unsorted";
    EXPECT_EQ(combo::EditStyle(kCbsAutoHScroll | kCbsUpperCase | kCbsOemConvert) &
                  (kEsAutoHScroll | kEsUpperCase | kEsLowerCase | kEsOemConvert),
              kEsAutoHScroll | kEsUpperCase | kEsOemConvert);
    EXPECT_EQ(combo::EditStyle(kCbsLowerCase) & (kEsLowerCase | kEsAutoHScroll), kEsLowerCase);
}

TEST(ComboLayout, MessagesPassedToTheListAndTheDialogCode) {
    const struct {
        Bits combo, list;
        bool follows;
    } cases[] = {
        {kCbAddString, kLbAddString, false},   {kCbGetLbText, kLbGetText, false},
        {kCbSetItemHeight, kLbSetItemHeight, false}, {kCbInitStorage, kLbInitStorage, false},
        {kCbSetCurSel, kLbSetCurSel, true},    {kCbResetContent, kLbResetContent, true},
        {kCbDeleteString, kLbDeleteString, true}, {kCbShowDropDown, 0, false},
        {kCbSelectString, 0, false},           {kCbGetDroppedControlRect, 0, false},
    };
    for (const auto& c : cases) {
        const combo::ListForward f = combo::ListMessageFor(c.combo);
        EXPECT_EQ(f.message, c.list) << std::hex << c.combo;
        EXPECT_EQ(f.selectionFollows, c.follows) << std::hex << c.combo;
    }
    EXPECT_EQ(combo::DialogCode(false, kVkEscape), kDlgcWantArrows);
    EXPECT_EQ(combo::DialogCode(true, kVkEscape), kDlgcWantArrows | kDlgcWantMessage);
    EXPECT_EQ(combo::DialogCode(true, kVkReturn), kDlgcWantArrows | kDlgcWantMessage);
    EXPECT_EQ(combo::DialogCode(true, kVkF4), kDlgcWantArrows);
    EXPECT_EQ(combo::DialogCode(true, 0), kDlgcWantArrows);
}

char* FailingAllocation(std::size_t) { return nullptr; }

TEST(ComboLayout, TheTextBufferGrowsAndKeepsItsOldBufferWhenGrowthFails) {
    combo::TextBuffer grows;
    ASSERT_EQ(grows.capacity(), combo::TextBuffer::kInitialCapacity);
    std::strcpy(grows.data(), "kept");
    EXPECT_TRUE(grows.Reserve(79)) << "fits as it is";
    EXPECT_TRUE(grows.Reserve(500));
    EXPECT_EQ(grows.capacity(), 501u);
    EXPECT_STREQ(grows.c_str(), "kept") << "the text moves with the buffer";

    combo::TextBuffer fails(FailingAllocation);
    EXPECT_EQ(fails.capacity(), 0u) << "no first buffer either";
    EXPECT_STREQ(fails.c_str(), "");
    combo::TextBuffer later([](std::size_t bytes) -> char* { return bytes <= 80 ? new char[bytes] : nullptr; });
    std::strcpy(later.data(), "Fade");
    const char* before = later.data();
    EXPECT_FALSE(later.Reserve(200));
    EXPECT_EQ(later.data(), before) << "the old buffer stays";
    EXPECT_EQ(later.capacity(), 80u);
    EXPECT_STREQ(later.c_str(), "Fade");
    later.Clear();
    EXPECT_STREQ(later.c_str(), "");
}

}  // namespace
