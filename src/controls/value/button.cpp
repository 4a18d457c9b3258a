// "WKButton": push buttons, check boxes, radio buttons and group boxes.
#include "controls/value/button.h"

#include <new>

#include "controls/framework/draw.h"
#include "controls/value/button_layout.h"
#include "owners/win32_owners.h"

namespace kelmard {
namespace {

// Bit 30 of a key message's flags: the key was already down (an auto-repeat).
constexpr LPARAM kKeyWasDown = 0x40000000;

// The most siblings a walk over a radio group visits.
constexpr int kGroupWalkBound = 4096;

}  // namespace

// ---------------------------------------------------------------- WKButtonBase

WKButtonBase::WKButtonBase(HWND window) : WKControl(window) {}

SIZE WKButtonBase::MeasureText(int width, int height, UINT format, TEXTMETRICA* metrics) {
    SIZE size{0, 0};
    const bool hasText = text_ && textLength_ > 0;
    if (!hasText && !metrics) return size;
    WindowDC dc(window_);
    if (!dc) return size;
    SelectGuard font(dc.get(), ControlFont());
    if (metrics) GetTextMetricsA(dc.get(), metrics);
    if (hasText) {
        RECT r{0, 0, width > 0 ? width : 0, height > 0 ? height : 0};
        DrawTextA(dc.get(), text_.get(), textLength_, &r, format | DT_CALCRECT);
        size = {r.right - r.left + 4, r.bottom - r.top + 4};
    }
    return size;
}

LRESULT WKButtonBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case BM_SETIMAGE: return OnSetImage(wParam, lParam);
    case BM_GETIMAGE: return OnGetImage(wParam);
    default: return WKControl::WindowProc(window, message, wParam, lParam);
    }
}

LRESULT WKButtonBase::OnSetImage(WPARAM type, LPARAM image) {
    // The content's size changes with the image: lay out and repaint.
    HANDLE previous = nullptr;
    if (type == IMAGE_BITMAP) {
        previous = bitmap_;
        bitmap_ = reinterpret_cast<HBITMAP>(image);
    } else if (type == IMAGE_ICON) {
        previous = icon_;
        icon_ = reinterpret_cast<HICON>(image);
    } else {
        return 0;
    }
    RecalcLayout();
    InvalidateRect(window_, nullptr, FALSE);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT WKButtonBase::OnGetImage(WPARAM type) const {
    if (type == IMAGE_BITMAP) return reinterpret_cast<LRESULT>(bitmap_);
    if (type == IMAGE_ICON) return reinterpret_cast<LRESULT>(icon_);
    return 0;
}

LRESULT WKButtonBase::OnCreate(const CREATESTRUCTA* create) {
    const LRESULT result = WKControl::OnCreate(create);
    RecalcLayout();
    return result;
}

LRESULT WKButtonBase::OnSize(WPARAM type, LPARAM) {
    if (type == SIZE_RESTORED || type == SIZE_MAXIMIZED) RecalcLayout();
    return 0;
}

LRESULT WKButtonBase::OnSetFocus(HWND) {
    focus_ = 1;
    Redraw();
    if (Style() & BS_NOTIFY) NotifyCommand(BN_SETFOCUS);
    return 0;
}

LRESULT WKButtonBase::OnKillFocus(HWND) {
    focus_ = 0;
    Redraw();
    if (Style() & BS_NOTIFY) NotifyCommand(BN_KILLFOCUS);
    return 0;
}

LRESULT WKButtonBase::OnEnable(WPARAM) {
    Redraw();
    return 0;
}

LRESULT WKButtonBase::OnSetText(const char* text) {
    const LRESULT stored = WKControl::OnSetText(text);
    if (!stored) return 0;
    RecalcLayout();
    Redraw();
    return 1;
}

LRESULT WKButtonBase::OnSetFont(HFONT font, LPARAM redraw) {
    font_ = font;
    RecalcLayout();
    if (redraw) Redraw();
    return 0;
}

// ---------------------------------------------------------------- WKGroupBox

WKGroupBox::WKGroupBox(HWND window) : WKButtonBase(window) { dialogCode_ = DLGC_STATIC; }

LRESULT WKGroupBox::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCHITTEST) return HTTRANSPARENT;
    return WKButtonBase::WindowProc(window, message, wParam, lParam);
}

void WKGroupBox::RecalcLayout() {
    GetClientRect(window_, &client_);
    const Rect client = FromRECT(client_);
    const int edge = skin_->frames[skin::kGroupBoxFrame].edge;
    TEXTMETRICA metrics{};
    const SIZE caption = MeasureText(button::GroupCaptionRoom(client, edge), client.bottom - client.top,
                                     DT_SINGLELINE | DT_CENTER, &metrics);
    const button::GroupLayout layout =
        button::LayoutGroupBox(client, edge, {caption.cx, caption.cy}, metrics.tmHeight, Style());
    box_ = ToRECT(layout.frame);
    content_ = ToRECT(layout.caption);
}

LRESULT WKGroupBox::OnPaint() {
    PaintDC paint(window_);
    if (!paint || !IsWindowVisible(window_)) return 0;
    const HDC dc = paint.get();
    SelectGuard font(dc, ControlFont());
    const DWORD style = Style();
    DrawSkinFrame(dc, &box_, &skin_->frames[skin::kGroupBoxFrame], kAllSides);
    FillRect(dc, &content_, skin_->brushes[skin::kFaceBrush]);
    const ControlState state = MakeState((style & WS_DISABLED) ? kDisabledLook : kNormalLook, 0);
    if (style & BS_ICON)
        DrawSkinIcon(skin_, dc, content_, icon_, state, false);
    else if (style & BS_BITMAP)
        DrawCentredBitmap(skin_, dc, content_, bitmap_);
    else if (text_)
        DrawSkinText(skin_, dc, content_, text_.get(), textLength_, DT_SINGLELINE, state, false);
    return 0;
}

LRESULT WKGroupBox::OnSetFocus(HWND lost) {
    // A group box never keeps the focus: the next control of its group takes
    // it. Group boxes handing the focus to each other stop after one hop.
    static thread_local bool forwarding = false;
    const HWND self = window_;
    if (parent_ && !forwarding) {
        const HWND next = GetNextDlgGroupItem(parent_, self, FALSE);
        if (next && next != lost && next != self) {
            forwarding = true;
            SetFocus(next);
            forwarding = false;
            if (!IsWindow(self)) return 0;
        }
    }
    if (Style() & BS_NOTIFY) NotifyCommand(BN_SETFOCUS);
    return 0;
}

// ---------------------------------------------------------------- WKButton

WKButton::WKButton(HWND window) : WKButtonBase(window) {
    const DWORD style = Style();
    enabled_ = (style & WS_DISABLED) == 0;
    pushLike_ = button::IsPushLike(style);
    radio_ = button::IsRadio(style);
    const DWORD kept = button::CreationStyle(style);
    if (kept != style) SetWindowLongA(window_, GWL_STYLE, static_cast<LONG>(kept));
    const bool defaultLook = button::TypeOf(style) == BS_DEFPUSHBUTTON;
    sprite_ = pushLike_ ? (defaultLook ? skin::kDefaultPushSprite : skin::kPushSprite)
                        : (radio_ ? skin::kRadioSprite : skin::kCheckSprite);
    dialogCode_ = static_cast<int>(button::DialogCode(kept, false));
    ApplyDefaultLook(defaultLook);
}

Look WKButton::CurrentLook() const { return !enabled_ ? kDisabledLook : pressed_ ? kPressedLook : kNormalLook; }

ControlState WKButton::State() const { return MakeState(CurrentLook(), check_); }

bool WKButton::Inside(LPARAM point) const {
    RECT client;
    GetClientRect(window_, &client);
    const POINT p{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    return PtInRect(&client, p) != FALSE;
}

void WKButton::SetPressed(bool pressed) {
    pressed_ = pressed;
    Redraw();
}

LRESULT WKButton::OnCreate(const CREATESTRUCTA* create) {
    // The window has its place among its siblings now.
    if (radio_) {
        const HWND previous = GetWindow(window_, GW_HWNDPREV);
        const bool followsRadio = previous && (SendMessageA(previous, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON);
        const DWORD style = Style();
        const DWORD kept = button::RadioCreationStyle(style, followsRadio);
        if (kept != style) SetWindowLongA(window_, GWL_STYLE, static_cast<LONG>(kept));
    }
    return WKButtonBase::OnCreate(create);
}

void WKButton::SetCheck(button::Check check) {
    if (check != check_) {
        check_ = check;
        const DWORD style = Style();
        if (button::IsRadio(style)) {
            // WS_TABSTOP sits on the checked radio button of a group.
            const DWORD tabbed = check == button::kChecked ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
            if (tabbed != style) SetWindowLongA(window_, GWL_STYLE, static_cast<LONG>(tabbed));
            if (check == button::kChecked) UntabUncheckedRadioPeers();
        }
    }
    Redraw();
}

void WKButton::UntabUncheckedRadioPeers() {
    // The group: from its WS_GROUP control (or the first sibling) to before
    // the next one. Only this class's unchecked radio buttons are changed:
    // the group's first one may still hold the WS_TABSTOP it kept at creation.
    const ULONG_PTR atom = GetClassLongPtrA(window_, GCW_ATOM);
    HWND start = window_;
    for (int steps = 0; steps < kGroupWalkBound && !(GetWindowLongA(start, GWL_STYLE) & WS_GROUP); ++steps) {
        const HWND previous = GetWindow(start, GW_HWNDPREV);
        if (!previous) break;
        start = previous;
    }
    int steps = 0;
    for (HWND peer = start; peer && steps < kGroupWalkBound; peer = GetWindow(peer, GW_HWNDNEXT), ++steps) {
        const DWORD style = static_cast<DWORD>(GetWindowLongA(peer, GWL_STYLE));
        if (peer != start && (style & WS_GROUP)) break;
        if (peer == window_ || !button::IsRadio(style) || !(style & WS_TABSTOP) ||
            GetClassLongPtrA(peer, GCW_ATOM) != atom || SendMessageA(peer, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
            continue;
        SetWindowLongA(peer, GWL_STYLE, static_cast<LONG>(style & ~WS_TABSTOP));
    }
}

void WKButton::ApplyDefaultLook(bool on) {
    if (!button::IsPushType(Style())) return;
    defaultLook_ = on;
    dialogCode_ = static_cast<int>(button::DialogCode(BS_PUSHBUTTON, on));
    sprite_ = on ? skin::kDefaultPushSprite : skin::kPushSprite;
}

void WKButton::CancelPress() {
    const bool ours = tracking_ || spaceDown_;
    spaceDown_ = false;
    inside_ = false;
    if (tracking_) {
        tracking_ = false;  // before the release: WM_CAPTURECHANGED then finds nothing to cancel
        if (GetCapture() == window_) ReleaseCapture();
    }
    if (ours && pressed_) SetPressed(false);
}

void WKButton::Click() {
    const DWORD style = Style();
    switch (button::TypeOf(style)) {
    case BS_AUTOCHECKBOX:
    case BS_AUTO3STATE: SetCheck(button::CheckAfterClick(style, check_)); break;
    case BS_AUTORADIOBUTTON:
        SetCheck(button::kChecked);
        UncheckAutoRadioGroup();
        break;
    default: Redraw(); break;
    }
    NotifyCommand(BN_CLICKED);
}

void WKButton::UncheckAutoRadioGroup() {
    if (!parent_) return;
    // The walk skips hidden and disabled controls, this button too when it is
    // one of them: it also ends where it began its cycle, and after a bound.
    HWND first = nullptr;
    int steps = 0;
    for (HWND next = GetNextDlgGroupItem(parent_, window_, FALSE); next && next != window_ && steps < kGroupWalkBound;
         next = GetNextDlgGroupItem(parent_, next, FALSE), ++steps) {
        if (!first) {
            first = next;
        } else if (next == first) {
            break;
        }
        if (button::TypeOf(static_cast<DWORD>(GetWindowLongA(next, GWL_STYLE))) == BS_AUTORADIOBUTTON)
            SendMessageA(next, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

LRESULT WKButton::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case BM_GETCHECK: return button::CheckAnswer(check_);
    case BM_SETCHECK:
    case kButtonSetCheck: return OnSetCheck(wParam);
    case BM_GETSTATE: return button::StateAnswer(pressed_, check_, focus_ != 0);
    case BM_SETSTATE: SetPressed(wParam != 0); return 0;
    case BM_SETSTYLE: return OnSetStyle(wParam, lParam);
    case BM_CLICK: return OnClickMessage();
    case WM_CAPTURECHANGED: return OnCaptureChanged(reinterpret_cast<HWND>(lParam));
    default: return WKButtonBase::WindowProc(window, message, wParam, lParam);
    }
}

LRESULT WKButton::OnSetCheck(WPARAM value) {
    button::Check check = button::kUnchecked;
    if (button::CheckFromMessage(Style(), value, &check)) SetCheck(check);
    return 0;
}

LRESULT WKButton::OnSetStyle(WPARAM style, LPARAM redraw) {
    ApplyDefaultLook(button::WantsDefaultLook(style));
    if (redraw) Redraw();
    return 0;
}

LRESULT WKButton::OnClickMessage() {
    // As a press and release of the mouse inside the button.
    if (IsWindowEnabled(window_)) {
        SendMessageA(window_, WM_LBUTTONDOWN, 0, 0);
        SendMessageA(window_, WM_LBUTTONUP, 0, 0);
    }
    return 0;
}

LRESULT WKButton::OnCaptureChanged(HWND gaining) {
    if (tracking_ && gaining != window_) CancelPress();
    return 0;
}

void WKButton::RecalcLayout() {
    GetClientRect(window_, &client_);
    const DWORD style = Style();
    const SkinSprite& sprite = skin_->sprites[sprite_];
    Rect area{};
    if (pushLike_) {
        box_ = client_;
        focusRect_ = client_;
        InflateRect(&focusRect_, -sprite.edge, -sprite.edge);
        area = FromRECT(focusRect_);
    } else {
        const button::CheckLayout layout = button::LayoutCheck(FromRECT(client_), sprite.columnStep, sprite.rowStep, style);
        box_ = ToRECT(layout.glyph);
        area = layout.textArea;
    }
    SIZE size{0, 0};
    if (style & BS_ICON) {
        GetIconSize(icon_, &size);
    } else if (style & BS_BITMAP) {
        GetBitmapSize(bitmap_, &size);
    } else {
        const Extent room = button::Available(area);
        size = MeasureText(room.cx, room.cy, (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE);
    }
    content_ = ToRECT(button::PlaceContent(area, {size.cx, size.cy}, style));
    if (!pushLike_) {
        focusRect_ = content_;
        InflateRect(&focusRect_, 1, 1);
    }
}

LRESULT WKButton::OnPaint() {
    PaintDC paint(window_);
    if (!paint || !IsWindowVisible(window_)) return 0;
    const HDC dc = paint.get();
    SelectGuard font(dc, ControlFont());
    const bool down = CurrentLook() == kPressedLook || check_ != button::kUnchecked;
    PaintFace(dc, down);
    PaintContent(dc, down);
    if (focus_) DrawSkinFocusRect(dc, &focusRect_);
    return 0;
}

// The background, then the sprite's face (or, without one, a bevelled box).
void WKButton::PaintFace(HDC dc, bool down) {
    FillRect(dc, &client_, skin_->brushes[skin::kFaceBrush]);
    if (DrawSkinFace(dc, &skin_->sprites[sprite_], box_, State())) return;
    const bool enabled = CurrentLook() != kDisabledLook;
    FillRect(dc, &box_, skin_->brushes[enabled ? skin::kAlternateFaceBrush : skin::kFaceBrush]);
    Draw3DFrame(dc, skin_, &box_, down, enabled);
}

// The icon, bitmap or text; a push-like face pressed in moves it one pixel.
void WKButton::PaintContent(HDC dc, bool down) {
    const DWORD style = Style();
    RECT content = content_;
    if (pushLike_ && down) OffsetRect(&content, 1, 1);
    if (style & BS_ICON) {
        DrawSkinIcon(skin_, dc, content, icon_, State(), pushLike_);
    } else if (style & BS_BITMAP) {
        DrawCentredBitmap(skin_, dc, content, bitmap_);
    } else if (text_) {
        content.left += 2;
        content.right -= 2;
        DrawSkinText(skin_, dc, content, text_.get(), textLength_, button::TextFormat(style), State(), pushLike_);
    }
}

LRESULT WKButton::OnSetFocus(HWND lost) {
    // Gaining the focus never checks a radio button: the dialog manager
    // clicks an automatic one it moves to with the arrows. An unchecked manual
    // radio button, which only its program checks, tells the program it was
    // reached (not when a press of its own is about to click it).
    const HWND self = window_;
    WKButtonBase::OnSetFocus(lost);
    if (!IsWindow(self)) return 0;
    if (button::TypeOf(Style()) == BS_RADIOBUTTON && !pressed_ && check_ != button::kChecked)
        NotifyCommand(BN_CLICKED);
    return 0;
}

LRESULT WKButton::OnKillFocus(HWND gaining) {
    CancelPress();
    return WKButtonBase::OnKillFocus(gaining);
}

LRESULT WKButton::OnEnable(WPARAM enabled) {
    enabled_ = enabled != 0;
    if (!enabled_) CancelPress();
    Redraw();
    return 0;
}

LRESULT WKButton::OnKeyDown(WPARAM key, LPARAM flags) {
    if (key != VK_SPACE || (flags & kKeyWasDown)) return 0;  // auto-repeats change nothing
    spaceDown_ = true;
    SetPressed(true);
    return 0;
}

LRESULT WKButton::OnKeyUp(WPARAM key, LPARAM) {
    // Only a space bar that went down on this button clicks it.
    if (key != VK_SPACE || !spaceDown_) return 0;
    spaceDown_ = false;
    pressed_ = false;
    Click();
    return 0;
}

LRESULT WKButton::OnLButtonDown(WPARAM, LPARAM) {
    SetCapture(window_);
    pressed_ = true;
    tracking_ = inside_ = true;
    Redraw();
    if (!focus_) SetFocus(window_);
    return 0;
}

LRESULT WKButton::OnMouseMove(WPARAM, LPARAM point) {
    if (!tracking_) return 0;
    const bool in = Inside(point);
    if (in != inside_) {
        inside_ = in;
        SetPressed(in);
    }
    return 0;
}

LRESULT WKButton::OnLButtonUp(WPARAM, LPARAM point) {
    // Only a press that began on this button clicks, and only when released inside.
    if (!tracking_) return 0;
    tracking_ = false;
    const bool in = inside_ && Inside(point);
    inside_ = false;
    ReleaseCapture();
    if (!in) {
        if (pressed_) SetPressed(false);
        return 0;
    }
    pressed_ = false;
    Click();
    return 0;
}

// ---------------------------------------------------------------- class

namespace {

WKControl* MakeButton(HWND window, const CREATESTRUCTA& create) {
    if ((create.style & BS_TYPEMASK) == BS_GROUPBOX) return new (std::nothrow) WKGroupBox(window);
    return new (std::nothrow) WKButton(window);
}

}  // namespace

ControlClass kButtonClass{"WKButton", ClassKind::Own, nullptr, ClassProc<kButtonClass>, MakeButton, nullptr, nullptr};

}  // namespace kelmard
