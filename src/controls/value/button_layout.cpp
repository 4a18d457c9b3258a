// The button's window-free rules.
#include "controls/value/button_layout.h"

namespace kelmard {
namespace button {

std::uint32_t CreationStyle(std::uint32_t style) {
    if ((style & kHorzMask) == 0) style |= IsPushLike(style) ? kCenter : kLeft;
    return style;
}

std::uint32_t RadioCreationStyle(std::uint32_t style, bool followsRadio) {
    if (IsRadio(style) && followsRadio && !(style & kGroup)) style &= ~kTabStop;
    return style;
}

Extent Available(Box area) { return {area.right - area.left - 4, area.bottom - area.top - 4}; }

Box PlaceContent(Box area, Extent size, std::uint32_t style) {
    Box r = area;
    switch (style & kVertMask) {
    case kTop: r.bottom = r.top + size.cy; break;
    case kBottom: r.top = r.bottom - size.cy; break;
    default:
        r.top = (r.top + r.bottom - size.cy) / 2;
        r.bottom = r.top + size.cy;
        break;
    }
    switch (style & kHorzMask) {
    case kRight: r.left = r.right - size.cx; break;
    case kCenter:
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

CheckLayout LayoutCheck(Box client, int w, int h, std::uint32_t style) {
    CheckLayout out{};
    Box& g = out.glyph;
    switch (style & kVertMask) {
    case kTop: g.top = client.top; break;
    case kBottom: g.top = client.bottom - h; break;
    default: g.top = (client.top + client.bottom - h) / 2; break;
    }
    g.bottom = g.top + h;
    Box& t = out.textArea;
    t = {client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
    if (style & kLeftText) {
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

int GroupCaptionRoom(Box client, int edge) { return client.right - 2 * edge - client.left; }

GroupLayout LayoutGroupBox(Box client, int e, Extent caption, int fontHeight, std::uint32_t style) {
    GroupLayout out{};
    Box& c = out.caption;
    switch (style & kHorzMask) {
    case kRight: c.left = client.right - 2 * e - caption.cx; break;
    case kCenter: c.left = (client.left + client.right - caption.cx) / 2; break;
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

std::uint32_t CheckAfterClick(std::uint32_t style, std::uint32_t check) {
    switch (TypeOf(style)) {
    case kAutoCheckBox: return check == kChecked ? kUnchecked : kChecked;
    case kAuto3State:
        return check == kUnchecked ? kChecked : check == kChecked ? kIndeterminate : kUnchecked;
    case kAutoRadioButton: return kChecked;
    default: return check;
    }
}

bool CheckFromMessage(std::uint32_t style, std::uintptr_t value, std::uint32_t* check) {
    switch (value) {
    case 0: *check = kUnchecked; return true;
    case 1: *check = kChecked; return true;
    case 2: {
        const std::uint32_t type = TypeOf(style);
        *check = (type == k3State || type == kAuto3State) ? kIndeterminate : kChecked;
        return true;
    }
    default: return false;
    }
}

std::uint32_t CheckAnswer(std::uint32_t check) {
    return check == kChecked ? kBstChecked : check == kIndeterminate ? kBstIndeterminate : 0;
}

std::uint32_t StateAnswer(bool pushed, std::uint32_t check, bool focus) {
    return (pushed ? kBstPushed : 0) | CheckAnswer(check) | (focus ? kBstFocus : 0);
}

std::uint32_t DialogCode(std::uint32_t style, bool defaultLook) {
    if (IsRadio(style)) return kDlgcButton | kDlgcRadioButton;
    if (IsPushType(style)) return kDlgcButton | (defaultLook ? kDlgcDefPushButton : kDlgcUndefPushButton);
    return kDlgcButton;
}

std::uint32_t TextFormat(std::uint32_t style) {
    std::uint32_t format = 0;
    switch (style & kHorzMask) {
    case kRight: format |= kDtRight; break;
    case kCenter: format |= kDtCenter; break;
    default: format |= kDtLeft; break;
    }
    switch (style & kVertMask) {
    case kTop: format |= kDtTop; break;
    case kBottom: format |= kDtBottom; break;
    default: format |= kDtVCenter; break;
    }
    format |= (style & kMultiLine) ? kDtWordBreak : kDtSingleLine;
    return format;
}

}  // namespace button
}  // namespace kelmard
