// "WKRange": the two-thumb slider.
#include "controls/value/range.h"

#include <new>

#include "controls/framework/draw.h"
#include "owners/win32_owners.h"

namespace kelmard {
namespace {

static_assert(range::kEndTrack == RGN_ENDTRACK && range::kChanged == RGN_CHANGED && range::kTracking == RGN_TRACKING,
              "the notification codes");

// A 32-bit value as the messages carry it in lParam.
std::int32_t Arg(LPARAM value) { return static_cast<std::int32_t>(value); }

// The x of a mouse message's point, sign-extended from its low word.
int PointX(LPARAM point) { return static_cast<short>(LOWORD(point)); }
int PointY(LPARAM point) { return static_cast<short>(HIWORD(point)); }

// What a key asks for; false for keys the range ignores.
bool KeyOf(WPARAM key, range::Key* out) {
    switch (key) {
    case VK_PRIOR: *out = range::Key::kPageLess; return true;
    case VK_NEXT: *out = range::Key::kPageMore; return true;
    case VK_END: *out = range::Key::kLast; return true;
    case VK_HOME: *out = range::Key::kFirst; return true;
    case VK_LEFT:
    case VK_UP: *out = range::Key::kLineLess; return true;
    case VK_RIGHT:
    case VK_DOWN: *out = range::Key::kLineMore; return true;
    default: return false;
    }
}

}  // namespace

WKRange::WKRange(HWND window) : WKControl(window) {
    press_ = (Style() & WS_DISABLED) ? range::kDisabled : range::kNormal;
    dialogCode_ = DLGC_WANTARROWS;
    RecalcLayout();
}

LRESULT WKRange::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kRangeGetStart: return values_.start;
    case kRangeGetLength: return range::LengthAnswer(values_);
    case kRangeGetMinimum: return values_.minimum;
    case kRangeGetMaximum: return values_.maximum;
    case kRangeSetStart: return OnSetStart(wParam, lParam);
    case kRangeSetLength: return OnSetLength(wParam, lParam);
    case kRangeSetMinimum: return OnSetRange(wParam, lParam, false);
    case kRangeSetMaximum: return OnSetRange(wParam, lParam, true);
    case kRangeSetPageSize: values_.pageSize = Arg(lParam); return 0;
    case kRangeGetPageSize: return values_.pageSize;
    case kRangeSetLineSize: values_.lineSize = Arg(lParam); return 0;
    case kRangeGetLineSize: return values_.lineSize;
    case kRangeSetMinLength: return OnSetMinLength(wParam, lParam);
    case kRangeGetMinLength: return values_.minLength;
    case WM_CAPTURECHANGED: return OnCaptureChanged(reinterpret_cast<HWND>(lParam));
    case WM_CANCELMODE: return OnCancelMode();
    default: return WKControl::WindowProc(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- messages

LRESULT WKRange::OnSetStart(WPARAM redraw, LPARAM start) {
    values_.start = Arg(start);
    Recompute();
    if (redraw) Redraw();
    return 0;
}

LRESULT WKRange::OnSetLength(WPARAM redraw, LPARAM length) {
    values_.end = range::Saturated(std::int64_t{values_.start} + Arg(length));
    Recompute();
    if (redraw) Redraw();
    return 0;
}

LRESULT WKRange::OnSetRange(WPARAM redraw, LPARAM value, bool maximum) {
    (maximum ? values_.maximum : values_.minimum) = Arg(value);
    Recompute();
    values_.pageSize = range::PageSizeFor(values_.minimum, values_.maximum);
    if (redraw) Redraw();
    return 0;
}

LRESULT WKRange::OnSetMinLength(WPARAM redraw, LPARAM length) {
    values_.minLength = range::ClampMinLength(Arg(length), values_);
    if (values_.minLength > std::int64_t{values_.end} - values_.start)
        SetPart(range::kEndThumb, std::int64_t{values_.start} + values_.minLength);
    if (redraw) Redraw();
    return values_.minLength;
}

LRESULT WKRange::OnCaptureChanged(HWND gaining) {
    // Another window took the mouse: the drag ends as at a button-up.
    if (tracking_ && gaining != window_) EndDrag();
    return 0;
}

LRESULT WKRange::OnCancelMode() {
    if (tracking_) EndDrag();
    return 0;
}

// ---------------------------------------------------------------- layout

const SkinThumb& WKRange::Thumb() const { return skin_->thumbs[thumb_]; }

range::Strip WKRange::StripNumbers() const {
    const SkinThumb& t = Thumb();
    return {t.x, t.y, t.thickness, t.length, t.endCap, t.middle, t.endMargin};
}

void WKRange::RecalcLayout() {
    GetClientRect(window_, &client_);
    const int large = skin_->thumbs[skin::kRangeLargeThumb].thickness;
    thumb_ = range::UsesLargeStrip(client_.bottom - client_.top, large) ? skin::kRangeLargeThumb
                                                                          : skin::kRangeSmallThumb;
    Recompute();
}

void WKRange::Recompute() { geometry_ = range::Layout(FromRECT(client_), StripNumbers(), values_); }

LRESULT WKRange::OnCreate(const CREATESTRUCTA* create) {
    RecalcLayout();  // the client size is known now
    return WKControl::OnCreate(create);
}

LRESULT WKRange::OnSize(WPARAM type, LPARAM) {
    if (type == SIZE_RESTORED || type == SIZE_MAXIMIZED) RecalcLayout();
    return 0;
}

bool WKRange::SetPart(range::Part part, std::int64_t requested) {
    const range::Geometry before = geometry_;
    if (!range::SetPart(values_, part, requested)) return false;
    Recompute();
    const RECT moved = ToRECT(range::MovedSpan(before, geometry_));
    if (moved.right > moved.left) InvalidateRect(window_, &moved, FALSE);
    UpdateWindow(window_);
    return true;
}

// ---------------------------------------------------------------- painting

LRESULT WKRange::OnPaint() {
    PaintDC paint(window_);
    if (!paint || !IsWindowVisible(window_)) return 0;
    DrawRange(paint.get());
    if (focus_) {
        const RECT channel = ToRECT(geometry_.channel);
        DrawSkinFocusRect(paint.get(), &channel);
    }
    return 0;
}

// The face, then the strip's pieces: the channel, the bar, the end caps and
// the two thumbs.
void WKRange::DrawRange(HDC dc) {
    FillRect(dc, &client_, skin_->brushes[skin::kFaceBrush]);
    const SkinThumb& thumb = Thumb();
    if (!thumb.bitmap) return;
    UniqueMemoryDC memory(CreateCompatibleDC(dc));
    if (!memory) return;
    SelectGuard art(memory.get(), thumb.bitmap);
    if (!art) return;
    StretchModeGuard mode(dc, HALFTONE);
    range::Blit plan[range::kMaxBlits];
    const int pieces = range::DrawingPlan(geometry_, StripNumbers(), range::StartCell(press_, active_),
                                          range::EndCell(press_, active_), plan);
    for (int i = 0; i < pieces; ++i) {
        const range::Blit& b = plan[i];
        if (b.stretch)
            StretchBlt(dc, b.to.left, b.to.top, b.to.width(), b.to.height(), memory.get(), b.sx, b.sy, b.sw, b.sh,
                       SRCCOPY);
        else
            BitBlt(dc, b.to.left, b.to.top, b.to.width(), b.to.height(), memory.get(), b.sx, b.sy, SRCCOPY);
    }
}

// ---------------------------------------------------------------- focus and state

LRESULT WKRange::OnSetFocus(HWND) {
    focus_ = 1;
    Redraw();
    return 0;
}

LRESULT WKRange::OnKillFocus(HWND) {
    focus_ = 0;
    Redraw();
    return 0;
}

LRESULT WKRange::OnEnable(WPARAM enabled) {
    if (!enabled && tracking_ && !EndDrag()) return 0;
    if (!enabled) press_ = range::kDisabled;
    else if (press_ == range::kDisabled) press_ = range::kNormal;  // a drag in progress keeps its press
    Redraw();
    return 0;
}

// ---------------------------------------------------------------- keyboard

LRESULT WKRange::OnKeyDown(WPARAM key, LPARAM) {
    // A drag owns the selection until its button goes up.
    range::Key asked;
    if (press_ == range::kDragged || !KeyOf(key, &asked)) return 0;
    const bool onEnd = GetKeyState(VK_SHIFT) < 0;  // Shift: the end alone, else the whole selection
    const range::Part part = onEnd ? range::kEndThumb : range::kBar;
    active_ = part;
    const std::int64_t requested = range::KeyRequest(asked, values_, onEnd);
    if (requested == (onEnd ? values_.end : values_.start)) return 0;
    SetPart(part, requested);
    Notify(range::kChanged);  // also when the range's end held the selection
    return 0;
}

LRESULT WKRange::OnKeyUp(WPARAM, LPARAM) {
    // During a drag the button-up ends the track.
    if (!notified_ || tracking_) return 0;
    if (Notify(range::kEndTrack)) notified_ = false;
    return 0;
}

// ---------------------------------------------------------------- mouse

LRESULT WKRange::OnLButtonDown(WPARAM, LPARAM point) {
    SetCapture(window_);
    tracking_ = true;
    const int x = PointX(point);
    const range::Part part = range::PartAt(geometry_, x, PointY(point));
    if (part != range::kNoPart && press_ != range::kDisabled) {
        active_ = part;
        grab_ = range::GrabOffset(geometry_, part, x);
        press_ = range::kDragged;
        Redraw();
    }
    if (!focus_) SetFocus(window_);
    return 0;
}

LRESULT WKRange::OnMouseMove(WPARAM, LPARAM point) {
    if (!tracking_ || press_ != range::kDragged) return 0;
    SetPart(active_, range::ValueAt(PointX(point), grab_, FromRECT(client_), StripNumbers(), values_, geometry_.scale));
    Notify(range::kTracking);
    return 0;
}

LRESULT WKRange::OnLButtonUp(WPARAM, LPARAM) {
    // A button-up whose button-down went elsewhere ends nothing.
    if (tracking_) EndDrag();
    return 0;
}

bool WKRange::EndDrag() {
    tracking_ = false;  // first: the capture's going then finds no drag to end
    if (GetCapture() == window_) ReleaseCapture();
    if (press_ == range::kDragged) {
        press_ = range::kNormal;
        Redraw();
        if (!Notify(range::kChanged)) return false;
    }
    if (!Notify(range::kEndTrack)) return false;
    notified_ = false;
    return true;
}

bool WKRange::Notify(range::Notice code) {
    const HWND self = window_;
    const WORD value = code == range::kEndTrack ? 0 : static_cast<WORD>(values_.start);
    NotifyScroll(false, static_cast<WORD>(code), value);
    if (!IsWindow(self)) return false;
    notified_ = true;
    return true;
}

// ---------------------------------------------------------------- class

ControlClass kRangeClass{"WKRange", ClassKind::Own, nullptr, ClassProc<kRangeClass>, MakeControl<WKRange>, nullptr,
                         nullptr};

}  // namespace kelmard
