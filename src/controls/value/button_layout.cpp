// The button's window-free rules.
#include "controls/value/button_layout.h"

namespace kelmard {
namespace button {

using namespace sys;

constexpr Bits kHorizontalMask = kBsCenter, kVerticalMask = kBsVCenter;

Bits CreationStyle(Bits style) {
    if ((style & kHorizontalMask) == 0) style |= IsPushLike(style) ? kBsCenter : kBsLeft;
    return style;
}

Bits RadioCreationStyle(Bits style, bool followsRadio) {
    if (IsRadio(style) && followsRadio && !(style & kWsGroup)) style &= ~kWsTabStop;
    return style;
}

Extent Available(Rect area) { return {area.width() - 4, area.height() - 4}; }

Rect PlaceContent(Rect area, Extent size, Bits style) {
    Rect r = area;
    switch (style & kVerticalMask) {
    case kBsTop: r.bottom = r.top + size.cy; break;
    case kBsBottom: r.top = r.bottom - size.cy; break;
    default:
        r.top = (r.top + r.bottom - size.cy) / 2;
        r.bottom = r.top + size.cy;
        break;
    }
    switch (style & kHorizontalMask) {
    case kBsRight: r.left = r.right - size.cx; break;
    case kBsCenter:
        r.left = (r.left + r.right - size.cx) / 2;
        r.right = r.left + size.cx;
        break;
    default: r.right = r.left + size.cx; break;
    }
    if (r.left < area.left) r.left = area.left;
    if (r.right > area.right) r.right = area.right;
    if (r.top < area.top) r.top = area.top;
    if (r.bottom > area.bottom) r.bottom = area.bottom;
    return r;
}

CheckLayout LayoutCheck(Rect client, int w, int h, Bits style) {
    CheckLayout out{};
    Rect& g = out.glyph;
    switch (style & kVerticalMask) {
    case kBsTop: g.top = client.top; break;
    case kBsBottom: g.top = client.bottom - h; break;
    default: g.top = (client.top + client.bottom - h) / 2; break;
    }
    g.bottom = g.top + h;
    Rect& t = out.textArea;
    t = {client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
    if (style & kBsLeftText) {
        g.right = client.right;
        g.left = client.right - w;
        t.right = client.right - w - 2;
    } else {
        g.left = client.left;
        g.right = client.left + w;
        t.left = client.left + w + 2;
    }
    return out;
}

int GroupCaptionRoom(Rect client, int edge) { return client.right - 2 * edge - client.left; }

GroupLayout LayoutGroupBox(Rect client, int e, Extent caption, int fontHeight, Bits style) {
    GroupLayout out{};
    Rect& c = out.caption;
    switch (style & kHorizontalMask) {
    case kBsRight: c.left = client.right - 2 * e - caption.cx; break;
    case kBsCenter: c.left = (client.left + client.right - caption.cx) / 2; break;
    default: c.left = client.left + 2 * e; break;
    }
    c.right = c.left + caption.cx;
    if (c.right > client.right) c.right = client.right;
    c.top = client.top;
    c.bottom = client.top + caption.cy;
    if (c.left < client.left) c.left = client.left;
    out.frame = client;
    out.frame.top += fontHeight / 2;
    return out;
}

Check CheckAfterClick(Bits style, Check check) {
    switch (TypeOf(style)) {
    case kBsAutoCheckBox: return check == kChecked ? kUnchecked : kChecked;
    case kBsAuto3State: return check == kUnchecked ? kChecked : check == kChecked ? kIndeterminate : kUnchecked;
    case kBsAutoRadioButton: return kChecked;
    default: return check;
    }
}

bool CheckFromMessage(Bits style, std::uintptr_t value, Check* check) {
    switch (value) {
    case kBstUnchecked: *check = kUnchecked; return true;
    case kBstChecked: *check = kChecked; return true;
    case kBstIndeterminate: {
        const Bits type = TypeOf(style);
        *check = (type == kBs3State || type == kBsAuto3State) ? kIndeterminate : kChecked;
        return true;
    }
    default: return false;
    }
}

Bits CheckAnswer(Check check) {
    return check == kChecked ? kBstChecked : check == kIndeterminate ? kBstIndeterminate : kBstUnchecked;
}

Bits StateAnswer(bool pushed, Check check, bool focus) {
    return (pushed ? kBstPushed : 0) | CheckAnswer(check) | (focus ? kBstFocus : 0);
}

Bits DialogCode(Bits style, bool defaultLook) {
    if (IsRadio(style)) return kDlgcButton | kDlgcRadioButton;
    if (IsPushType(style)) return kDlgcButton | (defaultLook ? kDlgcDefPushButton : kDlgcUndefPushButton);
    return kDlgcButton;
}

Bits TextFormat(Bits style) {
    Bits format = 0;
    switch (style & kHorizontalMask) {
    case kBsRight: format |= kDtRight; break;
    case kBsCenter: format |= kDtCenter; break;
    default: format |= kDtLeft; break;
    }
    switch (style & kVerticalMask) {
    case kBsTop: format |= kDtTop; break;
    case kBsBottom: format |= kDtBottom; break;
    default: format |= kDtVCenter; break;
    }
    format |= (style & kBsMultiLine) ? kDtWordBreak : kDtSingleLine;
    return format;
}

}  // namespace button
}  // namespace kelmard
