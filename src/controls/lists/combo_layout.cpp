// The combo box's window-free rules.
#include "controls/lists/combo_layout.h"

#include <algorithm>
#include <climits>
#include <new>

namespace kelmard {
namespace combo {
namespace {

using namespace sys;

// A drop-down combo's frame and the gap between the edit and its list.
constexpr int kDropDownInset = 3;
constexpr int kDropDownExtra = 5;  // the closed height beyond ten dialog units
constexpr int kSimpleExtra = 1;
constexpr int kButtonMargin = 2;   // around the button inside the frame
constexpr int kListGap = 2;        // between the text and the list
constexpr int kListBorder = 2;     // the list's own border, top and bottom together

char* AllocateText(std::size_t bytes) { return new (std::nothrow) char[bytes]; }

Rect Ordered(Rect r) {
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

}  // namespace

Kind KindOf(Bits style) {
    switch (style & kCbsKindMask) {
    case kCbsSimple: return Kind::kSimple;
    case kCbsDropDownList: return Kind::kDropDownList;
    default: return Kind::kDropDown;
    }
}

Layout LayoutFor(Kind kind, const Metrics& m) {
    const bool simple = kind == Kind::kSimple;
    const int width = std::max(m.full.cx, 0);
    const int line = std::max(m.lineHeight, 0);
    Layout out{};
    out.closed = {width, line + (simple ? kSimpleExtra : kDropDownExtra)};
    const int inset = simple ? 0 : kDropDownInset;
    out.text = Ordered({inset, inset, width - inset, out.closed.cy - inset});
    out.list = Ordered({0, out.text.bottom + kListGap, std::max(width, m.droppedWidth), std::max(m.full.cy, 0)});
    if (!simple) {
        const int right = std::max(width - kButtonMargin, kButtonMargin);
        out.button = Ordered({std::max(right - std::max(m.buttonWidth, 0), kButtonMargin), kButtonMargin, right,
                              out.closed.cy - kButtonMargin});
        out.text.right = std::max(out.button.left - 1, out.text.left);
    }
    return out;
}

int DroppedHeight(int room, long count, long itemHeight) {
    if (count < 0) count = 0;
    if (itemHeight <= 0 || room <= 0) return std::max(room, 0);
    if (count >= room) return room;  // at least a pixel an item: more than the room
    const long long needed = static_cast<long long>(count) * itemHeight + kListBorder;
    return needed < room ? static_cast<int>(needed) : room;
}

Sizing SizeRequest(Kind kind, Extent requested, Extent closed) {
    if (requested.cx == closed.cx && requested.cy == closed.cy) return {false, requested};
    if (kind == Kind::kSimple) return {true, requested};
    return {true, {requested.cx, closed.cy}};
}

Bits ListStyle(Bits comboStyle) {
    Bits style = kWsChild | kWsClipSiblings | kWsBorder | kWsVScroll | kLbsComboBox | kLbsNotify;
    if (comboStyle & kCbsDisableNoScroll) style |= kLbsDisableNoScroll;
    if (comboStyle & kCbsNoIntegralHeight) style |= kLbsNoIntegralHeight;
    if (comboStyle & kCbsSort) style |= kLbsSort;
    return style;
}

Bits EditStyle(Bits comboStyle) {
    Bits style = kWsChild | kWsVisible | kEsNoHideSel;
    if (comboStyle & kCbsAutoHScroll) style |= kEsAutoHScroll;
    if (comboStyle & kCbsLowerCase) style |= kEsLowerCase;
    if (comboStyle & kCbsUpperCase) style |= kEsUpperCase;
    if (comboStyle & kCbsOemConvert) style |= kEsOemConvert;
    return style;
}

ListForward ListMessageFor(Bits message) {
    static const struct {
        Bits combo, list;
        bool follows;
    } kMap[] = {
        {kCbAddString, kLbAddString, false},          {kCbDir, kLbDir, false},
        {kCbGetCount, kLbGetCount, false},            {kCbGetCurSel, kLbGetCurSel, false},
        {kCbGetLbText, kLbGetText, false},            {kCbGetLbTextLen, kLbGetTextLen, false},
        {kCbInsertString, kLbInsertString, false},    {kCbFindString, kLbFindString, false},
        {kCbGetItemData, kLbGetItemData, false},      {kCbSetItemData, kLbSetItemData, false},
        {kCbSetItemHeight, kLbSetItemHeight, false},  {kCbGetItemHeight, kLbGetItemHeight, false},
        {kCbFindStringExact, kLbFindStringExact, false}, {kCbSetLocale, kLbSetLocale, false},
        {kCbGetLocale, kLbGetLocale, false},          {kCbGetTopIndex, kLbGetTopIndex, false},
        {kCbSetTopIndex, kLbSetTopIndex, false},      {kCbGetHorizontalExtent, kLbGetHorizontalExtent, false},
        {kCbSetHorizontalExtent, kLbSetHorizontalExtent, false}, {kCbInitStorage, kLbInitStorage, false},
        {kCbDeleteString, kLbDeleteString, true},     {kCbResetContent, kLbResetContent, true},
        {kCbSetCurSel, kLbSetCurSel, true},
    };
    for (const auto& row : kMap)
        if (row.combo == message) return {row.list, row.follows};
    return {0, false};
}

Bits DialogCode(bool open, std::uint32_t key) {
    Bits code = kDlgcWantArrows;
    if (open && (key == kVkReturn || key == kVkEscape)) code |= kDlgcWantMessage;
    return code;
}

TextBuffer::TextBuffer(Allocate allocate) : allocate_(allocate ? allocate : AllocateText) {
    Reserve(kInitialCapacity - 1);
}

bool TextBuffer::Reserve(std::size_t length) {
    if (length < capacity_) return true;
    if (length >= SIZE_MAX / 2) return false;
    std::unique_ptr<char[]> grown(allocate_(length + 1));
    if (!grown) return false;
    grown[0] = '\0';
    if (data_) std::copy(data_.get(), data_.get() + capacity_, grown.get());
    data_ = std::move(grown);
    capacity_ = length + 1;
    return true;
}

void TextBuffer::Clear() {
    if (data_) data_[0] = '\0';
}

}  // namespace combo
}  // namespace kelmard
