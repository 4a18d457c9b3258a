// "WKSlider": the skinned trackbar, horizontal or (TBS_VERT) vertical.
#include "controls/value/slider.h"

#include <commctrl.h>

#include <new>

#include "controls/framework/draw.h"
#include "owners/win32_owners.h"

namespace kelmard {
namespace {

// Mouse paging repeats on this timer while the button is held.
constexpr UINT_PTR kPageTimer = 1;
constexpr UINT kPageInterval = 100;  // ms

slider::Strip StripOf(const SkinThumb& t) {
    return {t.x, t.y, t.thickness, t.length, t.endCap, t.middle, t.endMargin};
}

int PointX(LPARAM point) { return static_cast<short>(LOWORD(point)); }
int PointY(LPARAM point) { return static_cast<short>(HIWORD(point)); }

}  // namespace

WKSlider::WKSlider(HWND window, bool vertical)
    : WKControl(window),
      vertical_(vertical),
      press_((Style() & WS_DISABLED) ? kDisabledLook : kNormalLook),
      geometry_(vertical) {
    dialogCode_ = DLGC_WANTARROWS;
    RecalcLayout();
}

LRESULT WKSlider::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto packed = static_cast<std::uint32_t>(lParam);
    switch (message) {
    case TBM_GETPOS: return values_.position;
    case TBM_GETRANGEMIN: return values_.minimum;
    case TBM_GETRANGEMAX: return values_.maximum;
    case TBM_SETPOS: return OnSetPos(wParam, lParam);
    case TBM_SETRANGE: return OnSetRange(wParam, slider::PackedMinimum(packed), slider::PackedMaximum(packed));
    case TBM_SETRANGEMIN: return OnSetRange(wParam, static_cast<int>(lParam), values_.maximum);
    case TBM_SETRANGEMAX: return OnSetRange(wParam, values_.minimum, static_cast<int>(lParam));
    case TBM_SETPAGESIZE: return OnSetPageSize(lParam);
    case TBM_GETPAGESIZE: return values_.page;
    case TBM_SETLINESIZE: return OnSetLineSize(lParam);
    case TBM_GETLINESIZE: return values_.line;
    case TBM_GETTHUMBRECT: return CopyOut(geometry_.thumb(), lParam);
    case TBM_GETCHANNELRECT: return CopyOut(geometry_.channel(), lParam);
    case WM_TIMER: return OnPageTimer();
    case WM_CAPTURECHANGED: return OnCaptureChanged(reinterpret_cast<HWND>(lParam));
    case WM_CANCELMODE: return OnCancelMode();
    default: return WKControl::WindowProc(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- messages

LRESULT WKSlider::OnSetPos(WPARAM redraw, LPARAM position) {
    values_.position = static_cast<int>(position);
    geometry_.Rescale(values_);
    if (redraw) Redraw();
    return 0;
}

LRESULT WKSlider::OnSetRange(WPARAM redraw, int minimum, int maximum) {
    values_.minimum = minimum;
    values_.maximum = maximum;
    geometry_.Rescale(values_);
    values_.page = slider::PageSizeFor(minimum, maximum);
    if (redraw) Redraw();
    return 0;
}

LRESULT WKSlider::OnSetPageSize(LPARAM size) {
    values_.page = static_cast<int>(size);
    return 0;
}

LRESULT WKSlider::OnSetLineSize(LPARAM size) {
    values_.line = static_cast<int>(size);
    return 0;
}

LRESULT WKSlider::CopyOut(const Rect& rect, LPARAM out) {
    if (auto* to = reinterpret_cast<RECT*>(out)) *to = ToRECT(rect);
    return 0;
}

LRESULT WKSlider::OnCreate(const CREATESTRUCTA* create) {
    const LRESULT result = WKControl::OnCreate(create);
    RecalcLayout();
    return result;
}

LRESULT WKSlider::OnSize(WPARAM type, LPARAM) {
    if (type == SIZE_RESTORED || type == SIZE_MAXIMIZED) RecalcLayout();
    return 0;
}

LRESULT WKSlider::OnSetFocus(HWND) {
    focus_ = 1;
    Redraw();
    return 0;
}

LRESULT WKSlider::OnKillFocus(HWND) {
    focus_ = 0;
    Redraw();
    return 0;
}

LRESULT WKSlider::OnEnable(WPARAM enabled) {
    // Disabling ends a drag or paging press (the system cancels the mode first).
    if (!enabled && tracking_ && !FinishTracking()) return 0;
    press_ = enabled ? kNormalLook : kDisabledLook;
    Redraw();
    return 0;
}

// ---------------------------------------------------------------- keyboard

LRESULT WKSlider::OnKeyDown(WPARAM key, LPARAM) {
    slider::Move move{};
    if (!slider::KeyMove(static_cast<std::uint32_t>(key), values_, &move)) return 0;
    SetPosition(move.position);
    Notify(move.code);
    return 0;
}

LRESULT WKSlider::OnKeyUp(WPARAM, LPARAM) {
    if (notified_ && Notify(TB_ENDTRACK)) notified_ = false;
    return 0;
}

// ---------------------------------------------------------------- mouse

LRESULT WKSlider::OnLButtonDown(WPARAM, LPARAM point) {
    const int x = PointX(point), y = PointY(point);
    SetCapture(window_);
    tracking_ = true;
    if (geometry_.OnThumb(x, y)) {
        press_ = kPressedLook;
        grabOffset_ = geometry_.GrabOffset(x, y);
        Redraw();
    } else {
        const bool beyond = geometry_.BeyondThumb(x, y);
        pageStep_ = slider::PageStep(values_.page, beyond);
        pageTarget_ = geometry_.PositionAt(values_, x, y, 0);
        SetTimer(window_, kPageTimer, kPageInterval, nullptr);
        const slider::Move move = slider::PressPageMove(values_, beyond);
        SetPosition(move.position);
        if (!Notify(move.code)) return 0;
    }
    if (!focus_) SetFocus(window_);
    return 0;
}

LRESULT WKSlider::OnMouseMove(WPARAM, LPARAM point) {
    if (!tracking_) return 0;
    const int x = PointX(point), y = PointY(point);
    if (press_ != kPressedLook) {
        pageTarget_ = geometry_.PositionAt(values_, x, y, 0);
        return 0;
    }
    SetPosition(geometry_.PositionAt(values_, x, y, grabOffset_));
    Notify(TB_THUMBTRACK, values_.position);
    return 0;
}

LRESULT WKSlider::OnLButtonUp(WPARAM, LPARAM) {
    // A release whose press went elsewhere ends nothing and reports nothing.
    if (tracking_) FinishTracking();
    return 0;
}

LRESULT WKSlider::OnPageTimer() {
    slider::Move move{};
    if (!tracking_ || press_ == kPressedLook || !slider::PageTick(values_, pageStep_, pageTarget_, &move)) return 0;
    SetPosition(move.position);
    Notify(move.code);
    return 0;
}

LRESULT WKSlider::OnCaptureChanged(HWND gaining) {
    if (tracking_ && gaining != window_) FinishTracking();
    return 0;
}

LRESULT WKSlider::OnCancelMode() {
    if (tracking_) FinishTracking();
    return 0;
}

bool WKSlider::FinishTracking() {
    tracking_ = false;  // first: the capture change of the release finds nothing to finish
    if (GetCapture() == window_) ReleaseCapture();
    if (press_ == kPressedLook) {
        press_ = IsWindowEnabled(window_) ? kNormalLook : kDisabledLook;
        Redraw();
        if (!Notify(TB_THUMBPOSITION, values_.position)) return false;
    } else {
        KillTimer(window_, kPageTimer);
    }
    if (!Notify(TB_ENDTRACK)) return false;
    notified_ = false;
    return true;
}

// ---------------------------------------------------------------- state

void WKSlider::RecalcLayout() {
    RECT client;
    GetClientRect(window_, &client);
    const int small = vertical_ ? slider::kSmallVertThumb : slider::kSmallThumb;
    const int large = vertical_ ? slider::kLargeVertThumb : slider::kLargeThumb;
    geometry_.Lay(FromRECT(client), StripOf(skin_->thumbs[small]), StripOf(skin_->thumbs[large]), values_);
}

void WKSlider::SetPosition(int position) {
    position = slider::Clamp(position, values_.minimum, values_.maximum);
    if (position == values_.position) return;
    const RECT before = ToRECT(geometry_.thumb());
    InvalidateRect(window_, &before, FALSE);
    values_.position = position;
    geometry_.PlaceThumb(values_);
    const RECT after = ToRECT(geometry_.thumb());
    InvalidateRect(window_, &after, FALSE);
    UpdateWindow(window_);
}

bool WKSlider::Notify(std::uint32_t code, int position) {
    const HWND self = window_;
    NotifyScroll(vertical_, static_cast<WORD>(code), static_cast<WORD>(position));
    if (!IsWindow(self)) return false;
    notified_ = true;
    return true;
}

// ---------------------------------------------------------------- painting

LRESULT WKSlider::OnPaint() {
    PaintDC paint(window_);
    if (!paint || !IsWindowVisible(window_)) return 0;
    DrawSlider(paint.get());
    if (focus_) {
        const RECT channel = ToRECT(geometry_.channel());
        DrawSkinFocusRect(paint.get(), &channel);
    }
    return 0;
}

// The face, then the channel's middle and end caps and the thumb cell of the
// press state from the strip: caps and thumb 1:1, the middle stretched.
void WKSlider::DrawSlider(HDC dc) {
    const RECT client = ToRECT(geometry_.client());
    FillRect(dc, &client, skin_->brushes[skin::kFaceBrush]);
    const int record = vertical_ ? (geometry_.large() ? slider::kLargeVertThumb : slider::kSmallVertThumb)
                                 : (geometry_.large() ? slider::kLargeThumb : slider::kSmallThumb);
    const HBITMAP bitmap = skin_->thumbs[record].bitmap;
    if (!bitmap) return;
    UniqueMemoryDC memory(CreateCompatibleDC(dc));
    SelectGuard strip(memory.get(), bitmap);
    if (!strip) return;
    StretchModeGuard mode(dc, HALFTONE);
    slider::Piece pieces[4];
    const int count = geometry_.Pieces(static_cast<int>(press_), pieces);
    for (int i = 0; i < count; ++i) {
        const Rect& s = pieces[i].source;
        const Rect& t = pieces[i].target;
        if (s.width() == t.width() && s.height() == t.height())
            BitBlt(dc, t.left, t.top, t.width(), t.height(), memory.get(), s.left, s.top, SRCCOPY);
        else
            StretchBlt(dc, t.left, t.top, t.width(), t.height(), memory.get(), s.left, s.top, s.width(), s.height(),
                       SRCCOPY);
    }
}

// ---------------------------------------------------------------- class

namespace {

WKControl* MakeSlider(HWND window, const CREATESTRUCTA& create) {
    if (create.style & TBS_VERT) return new (std::nothrow) WKVertSlider(window);
    return new (std::nothrow) WKSlider(window);
}

}  // namespace

ControlClass kSliderClass{"WKSlider", ClassKind::Own, nullptr, ClassProc<kSliderClass>, MakeSlider, nullptr, nullptr};

}  // namespace kelmard
