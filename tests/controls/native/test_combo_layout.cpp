// The combo box's window-free rules where they are easy to get wrong: the
// list's room, tiny and odd sizes, the opened list's height for its items,
// sizing requests, the children's styles, the messages passed on to the list,
// the dialog code while open and the text buffer when memory runs out.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "controls/lists/combo_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::sys;
using combo::Kind;

TEST(ComboLayout, TheListTakesTheRoomAndTinySizesGiveNoInvertedRectangles) {
    const combo::Layout l = combo::LayoutFor(Kind::kDropDown, {{120, 200}, 16, 17, 0});
    EXPECT_EQ(l.list.bottom, 200) << "the list down to the requested height";
    EXPECT_GE(l.list.top, l.closed.cy - 1) << "below the closed part";
    EXPECT_EQ(combo::LayoutFor(Kind::kDropDownList, {{120, 200}, 16, 17, 300}).list.right, 300) << "dropped width";
    EXPECT_EQ(combo::LayoutFor(Kind::kDropDown, {{120, 200}, 16, 17, 50}).list.right, 120) << "never narrower";
    const combo::Layout simple = combo::LayoutFor(Kind::kSimple, {{100, 90}, 16, 17, 0});
    EXPECT_EQ(simple.button.right - simple.button.left, 0) << "the simple kind has no button";
    for (Kind kind : {Kind::kSimple, Kind::kDropDown, Kind::kDropDownList})
        for (const Extent full : {Extent{0, 0}, Extent{5, 3}, Extent{-40, -10}, Extent{18, 400}}) {
            const combo::Layout t = combo::LayoutFor(kind, {full, 16, 17, 0});
            for (const Rect& r : {t.text, t.button, t.list}) {
                EXPECT_LE(r.left, r.right) << full.cx << "x" << full.cy;
                EXPECT_LE(r.top, r.bottom) << full.cx << "x" << full.cy;
            }
        }
}

TEST(ComboLayout, TheOpenedListIsAsHighAsItsItemsNeedWithinItsRoom) {
    const struct {
        int room;
        long count, itemHeight;
        int want;
    } cases[] = {{180, 3, 13, 41},  {180, 50, 13, 180}, {41, 3, 13, 41}, {180, 0, 13, 2} /* the border */,
                 {180, -1, 13, 2},  {180, LONG_MAX, 13, 180}, {180, 4, 0, 180}, {-5, 4, 13, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(combo::DroppedHeight(c.room, c.count, c.itemHeight), c.want) << c.room << " " << c.count;
}

TEST(ComboLayout, SizingKindsAndChildStyles) {
    const Extent closed{120, 21};
    EXPECT_FALSE(combo::SizeRequest(Kind::kDropDown, closed, closed).remember) << "its own closed size: no new room";
    const combo::Sizing taller = combo::SizeRequest(Kind::kDropDownList, {140, 250}, closed);
    EXPECT_TRUE(taller.remember);
    EXPECT_EQ(taller.apply.cy, 21) << "a drop-down stays closed";
    EXPECT_EQ(combo::SizeRequest(Kind::kSimple, {140, 250}, {120, 17}).apply.cy, 250) << "simple: the list shows";
    EXPECT_EQ(combo::KindOf(0), Kind::kDropDown);
    EXPECT_EQ(combo::KindOf(kCbsSimple | kCbsSort), Kind::kSimple);
    const Bits lists = kLbsSort | kLbsNoIntegralHeight | kLbsDisableNoScroll | kLbsComboBox | kLbsNotify;
    EXPECT_EQ(combo::ListStyle(kCbsSort | kCbsNoIntegralHeight | kCbsDisableNoScroll) & lists, lists);
    EXPECT_EQ(combo::ListStyle(kCbsDropDown) & (kLbsSort | kWsVisible), 0u) << "hidden until opened, unsorted";
    EXPECT_EQ(combo::EditStyle(kCbsAutoHScroll | kCbsUpperCase | kCbsOemConvert) &
                  (kEsAutoHScroll | kEsUpperCase | kEsLowerCase | kEsOemConvert),
              kEsAutoHScroll | kEsUpperCase | kEsOemConvert);
}

TEST(ComboLayout, MessagesPassedToTheListAndTheDialogCode) {
    const struct {
        Bits combo, list;
        bool follows;
    } cases[] = {
        {kCbAddString, kLbAddString, false},
        {kCbSetCurSel, kLbSetCurSel, true}, {kCbDeleteString, kLbDeleteString, true},
        {kCbResetContent, kLbResetContent, true}, {kCbSelectString, 0, false}, {kCbGetDroppedControlRect, 0, false},
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
}

TEST(ComboLayout, TheTextBufferKeepsItsOldBufferWhenGrowthFails) {
    combo::TextBuffer fails([](std::size_t) -> char* { return nullptr; });
    EXPECT_STREQ(fails.c_str(), "") << "no first buffer either";
    combo::TextBuffer later([](std::size_t bytes) -> char* { return bytes <= 80 ? new char[bytes] : nullptr; });
    std::strcpy(later.data(), "Fade");
    const char* before = later.data();
    EXPECT_TRUE(later.Reserve(79)) << "fits as it is";
    EXPECT_FALSE(later.Reserve(200));
    EXPECT_EQ(later.data(), before) << "the old buffer stays";
    EXPECT_STREQ(later.c_str(), "Fade");
    combo::TextBuffer grows;
    std::strcpy(grows.data(), "kept");
    EXPECT_TRUE(grows.Reserve(500));
    EXPECT_STREQ(grows.c_str(), "kept") << "the text moves with the buffer";
}

}  // namespace
