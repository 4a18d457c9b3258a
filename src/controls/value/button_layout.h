// The button's rules that need no window: where the glyph, the content and the
// focus rectangle go, how a click or BM_SETCHECK moves the check state, what
// BM_GETSTATE and WM_GETDLGCODE answer. Portable: built in every build.
#pragma once
#include <cstdint>

namespace kelmard {
namespace button {

// Window style bits of a button (the platform's values).
constexpr std::uint32_t kTypeMask = 0x0F;
constexpr std::uint32_t kPushButton = 0, kDefPushButton = 1, kCheckBox = 2, kAutoCheckBox = 3, kRadioButton = 4,
                        k3State = 5, kAuto3State = 6, kGroupBox = 7, kAutoRadioButton = 9;
constexpr std::uint32_t kLeftText = 0x20, kIcon = 0x40, kBitmap = 0x80;
constexpr std::uint32_t kLeft = 0x100, kRight = 0x200, kCenter = 0x300, kHorzMask = 0x300;
constexpr std::uint32_t kTop = 0x400, kBottom = 0x800, kVCenter = 0xC00, kVertMask = 0xC00;
constexpr std::uint32_t kPushLike = 0x1000, kMultiLine = 0x2000, kNotify = 0x4000;
constexpr std::uint32_t kTabStop = 0x00010000, kGroup = 0x00020000, kDisabled = 0x08000000;

// Check states as they sit in bits 2-3 of the state word.
constexpr std::uint32_t kUnchecked = 0, kChecked = 4, kIndeterminate = 8;

// Answers of BM_GETCHECK / BM_GETSTATE and the dialog codes.
constexpr std::uint32_t kBstChecked = 1, kBstIndeterminate = 2, kBstPushed = 4, kBstFocus = 8;
constexpr std::uint32_t kDlgcDefPushButton = 0x10, kDlgcUndefPushButton = 0x20, kDlgcRadioButton = 0x40,
                        kDlgcStatic = 0x100, kDlgcButton = 0x2000;

// Text drawing flags (the platform's DT_ values).
constexpr std::uint32_t kDtTop = 0, kDtLeft = 0, kDtCenter = 1, kDtRight = 2, kDtVCenter = 4, kDtBottom = 8,
                        kDtWordBreak = 0x10, kDtSingleLine = 0x20;

struct Box {
    int left, top, right, bottom;
};
struct Extent {
    int cx, cy;
};

constexpr std::uint32_t TypeOf(std::uint32_t style) { return style & kTypeMask; }
constexpr bool IsRadio(std::uint32_t style) {
    return TypeOf(style) == kRadioButton || TypeOf(style) == kAutoRadioButton;
}
constexpr bool IsPushType(std::uint32_t style) {
    return TypeOf(style) == kPushButton || TypeOf(style) == kDefPushButton;
}
// Push buttons always; every other kind but radio buttons when BS_PUSHLIKE is set.
constexpr bool IsPushLike(std::uint32_t style) {
    return IsPushType(style) || (!IsRadio(style) && (style & kPushLike) != 0);
}

// The style a new button keeps: when no horizontal alignment is set, centred
// push-like buttons and left-aligned others.
std::uint32_t CreationStyle(std::uint32_t style);
// The style a new radio button keeps once its place is known: WS_TABSTOP only
// on a group's first radio button (WS_GROUP, or no radio button just before
// it), so that Tab reaches a group none of whose buttons is checked; a check
// moves WS_TABSTOP onto the checked button.
std::uint32_t RadioCreationStyle(std::uint32_t style, bool followsRadio);

// The room for content in an area: 4 pixels less each way.
Extent Available(Box area);
// Places content of `size` in `area` by the alignment bits, clipped to the area.
Box PlaceContent(Box area, Extent size, std::uint32_t style);

// A check box or radio button: the glyph cell (w x h) and the text area.
struct CheckLayout {
    Box glyph;
    Box textArea;
};
CheckLayout LayoutCheck(Box client, int glyphWidth, int glyphHeight, std::uint32_t style);

// A group box: the frame below half the font height, the caption (measured
// size `caption`) at the top, aligned by the style within the frame's corners.
struct GroupLayout {
    Box frame;
    Box caption;
};
GroupLayout LayoutGroupBox(Box client, int edge, Extent caption, int fontHeight, std::uint32_t style);
// The width the group-box caption is measured in.
int GroupCaptionRoom(Box client, int edge);

// The check state after a click of a button of this style (unchanged for the
// kinds that do not check themselves).
std::uint32_t CheckAfterClick(std::uint32_t style, std::uint32_t check);
// The check state BM_SETCHECK asks for; false for a value that changes nothing.
bool CheckFromMessage(std::uint32_t style, std::uintptr_t value, std::uint32_t* check);
std::uint32_t CheckAnswer(std::uint32_t check);
std::uint32_t StateAnswer(bool pushed, std::uint32_t check, bool focus);

// BM_SETSTYLE turns the default look on when the type bits ask for a default push button.
constexpr bool WantsDefaultLook(std::uintptr_t value) { return (value & kTypeMask) == kDefPushButton; }
std::uint32_t DialogCode(std::uint32_t style, bool defaultLook);

// The DrawText flags for the content of a button of this style.
std::uint32_t TextFormat(std::uint32_t style);

}  // namespace button
}  // namespace kelmard
