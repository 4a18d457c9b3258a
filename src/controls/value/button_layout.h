// The button's rules that need no window: where the glyph, the content and the
// focus rectangle go, how a click or BM_SETCHECK moves the check state, what
// BM_GETSTATE and WM_GETDLGCODE answer. Portable: built in every build.
#pragma once
#include <cstdint>

#include "controls/framework/geometry.h"
#include "controls/framework/system_constants.h"

namespace kelmard {
namespace button {

using sys::Bits;

// The check state, which is also the variant of the button's sprite cell.
enum Check : std::uint32_t { kUnchecked = 0, kChecked = 1, kIndeterminate = 2 };

constexpr Bits TypeOf(Bits style) { return style & sys::kBsTypeMask; }
constexpr bool IsRadio(Bits style) {
    return TypeOf(style) == sys::kBsRadioButton || TypeOf(style) == sys::kBsAutoRadioButton;
}
constexpr bool IsPushType(Bits style) {
    return TypeOf(style) == sys::kBsPushButton || TypeOf(style) == sys::kBsDefPushButton;
}
// Push buttons always; every other kind but radio buttons when BS_PUSHLIKE is set.
constexpr bool IsPushLike(Bits style) { return IsPushType(style) || (!IsRadio(style) && (style & sys::kBsPushLike) != 0); }

// The style a new button keeps: when no horizontal alignment is set, centred
// push-like buttons and left-aligned others.
Bits CreationStyle(Bits style);
// The style a new radio button keeps once its place is known: WS_TABSTOP only
// on a group's first radio button (WS_GROUP, or no radio button just before
// it), so that Tab reaches a group none of whose buttons is checked; a check
// moves WS_TABSTOP onto the checked button.
Bits RadioCreationStyle(Bits style, bool followsRadio);

// The room for content in an area: 4 pixels less each way.
Extent Available(Rect area);
// Places content of `size` in `area` by the alignment bits, clipped to the area.
Rect PlaceContent(Rect area, Extent size, Bits style);

// A check box or radio button: the glyph cell (w x h) and the text area.
struct CheckLayout {
    Rect glyph;
    Rect textArea;
};
CheckLayout LayoutCheck(Rect client, int glyphWidth, int glyphHeight, Bits style);

// A group box: the frame below half the font height, the caption (measured
// size `caption`) at the top, aligned by the style within the frame's corners.
struct GroupLayout {
    Rect frame;
    Rect caption;
};
GroupLayout LayoutGroupBox(Rect client, int edge, Extent caption, int fontHeight, Bits style);
// The width the group-box caption is measured in.
int GroupCaptionRoom(Rect client, int edge);

// The check state after a click of a button of this style (unchanged for the
// kinds that do not check themselves).
Check CheckAfterClick(Bits style, Check check);
// The check state BM_SETCHECK asks for; false for a value that changes nothing.
bool CheckFromMessage(Bits style, std::uintptr_t value, Check* check);
Bits CheckAnswer(Check check);
Bits StateAnswer(bool pushed, Check check, bool focus);

// BM_SETSTYLE turns the default look on when the type bits ask for a default push button.
constexpr bool WantsDefaultLook(std::uintptr_t value) { return (value & sys::kBsTypeMask) == sys::kBsDefPushButton; }
Bits DialogCode(Bits style, bool defaultLook);

// The DrawText flags for the content of a button of this style.
Bits TextFormat(Bits style);

}  // namespace button
}  // namespace kelmard
