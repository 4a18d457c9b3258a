// The scroll-bar elements and the "WKScrollBar" control.
#include "controls/lists/scroll_bar.h"

#include <algorithm>
#include <new>
#include <utility>

#include "controls/framework/draw.h"

namespace kelmard {
namespace {

// Repeats of a held arrow or page press: the first after 500 ms, then every
// 50 ms. The id keeps clear of the timers of the windows hosting elements.
constexpr UINT_PTR kRepeatTimer = 0x5C0B;
constexpr UINT kFirstRepeat = 500, kNextRepeat = 50;  // ms
// SetScrollPos passes this mask bit: the answer is the previous position.
constexpr UINT kSifReturnPrevious = 0x1000;

int PointX(LPARAM point) { return static_cast<short>(LOWORD(point)); }
int PointY(LPARAM point) { return static_cast<short>(HIWORD(point)); }

bool ValidScrollInfo(const SCROLLINFO* info) {
    constexpr UINT kWithoutTrackPos = sizeof(SCROLLINFO) - sizeof(info->nTrackPos);
    return info && (info->cbSize == sizeof(SCROLLINFO) || info->cbSize == kWithoutTrackPos) &&
           !(info->fMask & ~static_cast<UINT>(SIF_ALL | SIF_DISABLENOSCROLL | kSifReturnPrevious));
}

}  // namespace

// ---------------------------------------------------------------- element

WKScroller::WKScroller(bool vertical) : message_(vertical ? WM_VSCROLL : WM_HSCROLL), geometry_(vertical) {}

WKScroller::~WKScroller() = default;

void WKScroller::Attach(WKSkin* skin, HWND window, const RECT* bounds, const POINT* offset, ScrollHost* host) {
    skin_ = skin;
    window_ = window;
    host_ = host;
    offset_ = offset ? *offset : POINT{0, 0};
    attached_ = true;
    RECT rect{};
    if (bounds) {
        notifyWindow_ = window;
        rect = *bounds;
        clientMode_ = false;
    } else {
        notifyWindow_ = GetParent(window);
        GetClientRect(window, &rect);
        clientMode_ = true;
    }
    const bool vertical = geometry_.vertical();
    geometry_.Lay(FromRECT(rect), GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB), values_);
    Layout();
}

void WKScroller::Detach() {
    attached_ = false;
    if (!tracking_) return;
    tracking_ = false;
    pressed_ = 0;
    KillTimer(window_, kRepeatTimer);
    if (GetCapture() == window_) ReleaseCapture();
}

void WKScroller::Layout() {
    // The arrows' icons follow the bar's thickness.
    const Rect& first = geometry_.firstArrow();
    const bool vertical = geometry_.vertical();
    const int across = vertical ? first.width() : first.height();
    const int along = geometry_.arrowLength();
    const int w = vertical ? across : along, h = vertical ? along : across;
    firstIcon_.reset(CreateArrowIcon(w / 2, h / 2, vertical ? kArrowUp : kArrowLeft));
    secondIcon_.reset(CreateArrowIcon(w / 2, h / 2, vertical ? kArrowDown : kArrowRight));
}

bool WKScroller::FilterMessage(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) {
    // Points of non-client messages come in screen coordinates, the others
    // in client coordinates; both are brought into the bar's.
    auto fromScreen = [this](LPARAM point) {
        POINT p{PointX(point), PointY(point)};
        ScreenToClient(window_, &p);
        return POINT{p.x + offset_.x, p.y + offset_.y};
    };
    auto fromClient = [this](LPARAM point) { return POINT{PointX(point) + offset_.x, PointY(point) + offset_.y}; };
    POINT p{};
    switch (message) {
    case WM_ENABLE: Enable(static_cast<BOOL>(wParam)); return false;
    case WM_NCHITTEST:
        p = fromScreen(lParam);
        *result = HitTest(p.x, p.y);
        return *result != 0;
    case WM_NCMOUSEMOVE:
        p = fromScreen(lParam);
        *result = OnMouseMove(p.x, p.y);
        return HitTest(p.x, p.y) != 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        p = fromScreen(lParam);
        *result = OnLButtonDown(p.x, p.y);
        return *result == 0;
    case WM_NCLBUTTONUP:
        p = fromScreen(lParam);
        *result = OnLButtonUp(p.x, p.y);
        return *result == 0;
    case WM_CAPTURECHANGED:
        if (!tracking_ || reinterpret_cast<HWND>(lParam) == window_) return false;
        *result = OnLostCapture();
        return true;
    case WM_CANCELMODE:
        if (!tracking_) return false;
        *result = OnLostCapture();
        return true;
    default: break;
    }
    if (!tracking_) return false;
    switch (message) {
    case WM_TIMER:
        if (wParam != kRepeatTimer) return false;
        *result = OnTimer();
        return true;
    case WM_MOUSEMOVE:
        p = fromClient(lParam);
        *result = OnMouseMove(p.x, p.y);
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        p = fromClient(lParam);
        *result = OnLButtonDown(p.x, p.y);
        return *result == 0;
    case WM_LBUTTONUP:
        p = fromClient(lParam);
        *result = OnLButtonUp(p.x, p.y);
        return *result == 0;
    default: return false;
    }
}

LRESULT WKScroller::Enable(BOOL enabled) {
    if ((enabled != 0) == enabled_) return 1;
    enabled_ = enabled != 0;
    Paint();
    return 1;
}

LRESULT WKScroller::OnSetFocus() {
    if (!focus_) focus_ = true, Paint();
    return 0;
}

LRESULT WKScroller::OnKillFocus() {
    if (focus_) focus_ = false, Paint();
    return 0;
}

LRESULT WKScroller::HitTest(int x, int y) const {
    if (geometry_.PartAt(x, y) == scroll::kNoPart) return 0;
    return geometry_.vertical() ? HTVSCROLL : HTHSCROLL;
}

LRESULT WKScroller::OnLButtonDown(int x, int y) {
    const scroll::Part part = geometry_.PartAt(x, y);
    if (part == scroll::kNoPart) return 1;
    if (tracking_) return 0;  // a second button-down during a press changes nothing
    SetCapture(window_);
    tracking_ = true;
    part_ = part;
    zone_ = geometry_.ZoneOf(part);
    pressed_ = part;
    switch (part) {
    case scroll::kFirstArrow: repeatCode_ = SB_LINEUP; break;
    case scroll::kSecondArrow: repeatCode_ = SB_LINEDOWN; break;
    case scroll::kTrackBefore: repeatCode_ = SB_PAGEUP; break;
    case scroll::kTrackAfter: repeatCode_ = SB_PAGEDOWN; break;
    default:
        grab_ = geometry_.GrabOffset(x, y);
        dragStart_ = trackPos_ = values_.position;
        break;
    }
    Paint();
    if (part == scroll::kThumb) return 0;
    SetTimer(window_, kRepeatTimer, kFirstRepeat, nullptr);
    if (!Notify(repeatCode_, 0)) return 0;
    FollowThumb();
    return 0;
}

LRESULT WKScroller::OnMouseMove(int x, int y) {
    if (!tracking_) return 0;
    if (part_ == scroll::kThumb) {
        trackPos_ = geometry_.PositionAt(x, y, grab_, dragStart_, values_);
        geometry_.PlaceThumb(trackPos_, values_);
        Paint();
        Notify(SB_THUMBTRACK, trackPos_);
        return 0;
    }
    const bool inside = x >= zone_.left && x < zone_.right && y >= zone_.top && y < zone_.bottom;
    const bool shown = (pressed_ & part_) != 0;
    if (inside != shown) {
        pressed_ = inside ? static_cast<unsigned>(part_) : 0u;
        Paint();
    }
    return 0;
}

LRESULT WKScroller::OnLButtonUp(int, int) {
    if (!tracking_) return 1;
    FinishTracking(true);
    return 0;
}

LRESULT WKScroller::OnLostCapture() {
    if (tracking_) FinishTracking(false);
    return 0;
}

bool WKScroller::FinishTracking(bool released) {
    tracking_ = false;  // first: the capture change of the release finds nothing to end
    KillTimer(window_, kRepeatTimer);
    if (GetCapture() == window_) ReleaseCapture();
    const scroll::Part part = part_;
    part_ = scroll::kNoPart;
    pressed_ = 0;
    geometry_.PlaceThumb(values_.position, values_);
    Paint();
    if (part == scroll::kThumb && released) {
        if (!Notify(SB_THUMBPOSITION, trackPos_)) return false;
        Paint();
    }
    return Notify(SB_ENDSCROLL, 0);
}

LRESULT WKScroller::OnTimer() {
    if (!tracking_ || part_ == scroll::kThumb || !(pressed_ & part_)) return 1;
    if (!Notify(repeatCode_, 0)) return 0;
    FollowThumb();
    if (!tracking_) return 0;
    Paint();
    SetTimer(window_, kRepeatTimer, kNextRepeat, nullptr);
    return 0;
}

void WKScroller::FollowThumb() {
    if (!tracking_ || (part_ != scroll::kTrackBefore && part_ != scroll::kTrackAfter)) return;
    zone_ = geometry_.ZoneOf(part_);
    const POINT p = CursorInBar();
    if (geometry_.ThumbReached(part_, p.x, p.y) && (pressed_ & part_)) {
        pressed_ = 0;
        Paint();
    }
}

POINT WKScroller::CursorInBar() const {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(window_, &p);
    return {p.x + offset_.x, p.y + offset_.y};
}

bool WKScroller::Notify(WORD code, int position) {
    if (!attached_) return false;
    if (!notifyWindow_) return true;
    const HWND self = window_;
    // lParam: the control; a window's own bars report none, as the system's do.
    const LPARAM from = clientMode_ ? reinterpret_cast<LPARAM>(self) : 0;
    // Nothing of the element may be read before the window is known to live.
    SendMessageA(notifyWindow_, message_, MAKEWPARAM(code, static_cast<WORD>(position)), from);
    if (!IsWindow(self) || !attached_) return false;
    if (host_) host_->AfterNotify(*this);
    return attached_;
}

bool WKScroller::OnKeyDown(WPARAM key) {
    WORD code;
    switch (key) {
    case VK_LEFT:
    case VK_UP: code = SB_LINEUP; break;
    case VK_RIGHT:
    case VK_DOWN: code = SB_LINEDOWN; break;
    case VK_PRIOR: code = SB_PAGEUP; break;
    case VK_NEXT: code = SB_PAGEDOWN; break;
    case VK_HOME: code = SB_TOP; break;
    case VK_END: code = SB_BOTTOM; break;
    default: return false;
    }
    if (!enabled_ || tracking_) return false;
    Notify(code, 0);
    return true;
}

// ---------------------------------------------------------------- values

int WKScroller::SetPos(int value) {
    const int clamped = scroll::Clamp(value, values_);
    if (clamped == values_.position) return 0;
    const int previous = values_.position;
    values_.position = clamped;
    if (!(tracking_ && part_ == scroll::kThumb)) geometry_.PlaceThumb(clamped, values_);
    return previous;
}

int WKScroller::SetRange(int minimum, int maximum) {
    values_.minimum = minimum;
    values_.maximum = maximum;
    values_.page = scroll::PageFor(static_cast<std::uint32_t>(values_.page), minimum, maximum);
    geometry_.Rescale(values_);
    return 0;  // the position stays as it is
}

int WKScroller::ApplyScrollInfo(BOOL redraw, const SCROLLINFO* info) {
    if (!ValidScrollInfo(info)) return values_.position;
    const int previous = values_.position;
    if (info->fMask & SIF_RANGE) values_.minimum = info->nMin, values_.maximum = info->nMax;
    if (info->fMask & (SIF_PAGE | SIF_RANGE))
        values_.page = scroll::PageFor(info->fMask & SIF_PAGE ? info->nPage : static_cast<UINT>(values_.page),
                                       values_.minimum, values_.maximum);
    if (info->fMask & SIF_POS) values_.position = info->nPos;
    values_.position = scroll::Clamp(values_.position, values_);
    geometry_.Rescale(values_);
    if (tracking_ && part_ == scroll::kThumb) geometry_.PlaceThumb(trackPos_, values_);
    if (redraw) Paint();
    return (info->fMask & kSifReturnPrevious) ? previous : values_.position;
}

BOOL WKScroller::ReadScrollInfo(SCROLLINFO* info) const {
    if (!ValidScrollInfo(info)) return FALSE;
    if (info->fMask & SIF_PAGE) info->nPage = static_cast<UINT>(values_.page);
    if (info->fMask & SIF_POS) info->nPos = values_.position;
    if ((info->fMask & SIF_TRACKPOS) && info->cbSize == sizeof(SCROLLINFO))
        info->nTrackPos = tracking_ && part_ == scroll::kThumb ? trackPos_ : values_.position;
    if (info->fMask & SIF_RANGE) info->nMin = values_.minimum, info->nMax = values_.maximum;
    return TRUE;
}

// ---------------------------------------------------------------- painting

void WKScroller::PaintPart(HDC dc, const Rect& rect, unsigned part, HICON icon) {
    if (rect.width() <= 0 || rect.height() <= 0) return;
    const bool pressed = (pressed_ & part) != 0;
    const ControlState state = MakeState(!enabled_ ? kDisabledLook : pressed ? kPressedLook : kNormalLook, 0);
    RECT r = ToRECT(rect);
    if (!DrawSkinFace(dc, &skin_->sprites[skin::kArrowButtonSprite], r, state)) {
        FillRect(dc, &r, skin_->brushes[enabled_ ? skin::kAlternateFaceBrush : skin::kFaceBrush]);
        Draw3DFrame(dc, skin_, &r, pressed, false);
    }
    if (!icon) return;
    if (pressed) OffsetRect(&r, 1, 1);
    DrawSkinIcon(skin_, dc, r, icon, state, true);
}

void WKScroller::Paint(HDC given) {
    if (!attached_ || !skin_ || !window_) return;
    WindowDC own(window_, given ? nullptr : clientMode_ ? GetDC(window_) : GetWindowDC(window_));
    const HDC dc = given ? given : own.get();
    if (!dc) return;
    const Rect& track = geometry_.track();
    const Rect& thumb = geometry_.thumb();
    const bool vertical = geometry_.vertical();
    Rect before = track, after = track;
    if (vertical) before.bottom = thumb.top, after.top = thumb.bottom;
    else before.right = thumb.left, after.left = thumb.right;
    for (const auto& [rect, bit] : {std::pair<Rect, unsigned>{before, scroll::kTrackBefore}, {after, scroll::kTrackAfter}}) {
        if (rect.width() <= 0 || rect.height() <= 0) continue;
        const RECT r = ToRECT(rect);
        FillRect(dc, &r, skin_->brushes[(pressed_ & bit) ? skin::kAlternateLightBrush : skin::kLightBrush]);
    }
    PaintPart(dc, thumb, scroll::kThumb, nullptr);
    PaintPart(dc, geometry_.firstArrow(), scroll::kFirstArrow, firstIcon_.get());
    PaintPart(dc, geometry_.secondArrow(), scroll::kSecondArrow, secondIcon_.get());
    if (focus_ && thumb.width() > 0 && thumb.height() > 0) {
        const RECT r = ToRECT(thumb);
        DrawSkinFocusRect(dc, &r);
    }
}

// ---------------------------------------------------------------- control

WKScrollBar::WKScrollBar(HWND window) : WKControl(window), element_((Style() & SBS_VERT) != 0) {
    element_.Attach(skin_, window, nullptr, nullptr);
    if (Style() & WS_DISABLED) element_.Enable(FALSE);
}

LRESULT WKScrollBar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: return OnSizeBar(wParam);
    case WM_SETFOCUS: return element_.OnSetFocus();
    case WM_KILLFOCUS: return element_.OnKillFocus();
    case WM_ENABLE: return element_.Enable(static_cast<BOOL>(wParam));
    case WM_PAINT: return OnPaintBar();
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;  // the arrow keys scroll a focused bar
    case SBM_SETPOS: return OnSetPosBar(wParam, lParam);
    case SBM_GETPOS: return element_.values().position;
    case SBM_SETRANGE: return OnSetRangeBar(wParam, lParam, false);
    case SBM_SETRANGEREDRAW: return OnSetRangeBar(wParam, lParam, true);
    case SBM_GETRANGE: return OnGetRange(wParam, lParam);
    case SBM_SETSCROLLINFO: return OnSetInfoBar(wParam, lParam);
    case SBM_GETSCROLLINFO: return element_.ReadScrollInfo(reinterpret_cast<SCROLLINFO*>(lParam));
    case SBM_ENABLE_ARROWS:     // arrows are not enabled one by one: not done
    case SBM_GETSCROLLBARINFO:  // not kept: not done
        return 0;
    case WM_TIMER: return element_.OnTimer();
    case WM_KEYDOWN: return element_.OnKeyDown(wParam) ? 0 : DefWindowProcA(window, message, wParam, lParam);
    case WM_MOUSEMOVE: return element_.OnMouseMove(PointX(lParam), PointY(lParam));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnPress(lParam);
    case WM_LBUTTONUP: return element_.OnLButtonUp(PointX(lParam), PointY(lParam));
    case WM_CAPTURECHANGED:
        return reinterpret_cast<HWND>(lParam) == window ? 0 : element_.OnLostCapture();
    case WM_CANCELMODE: return element_.OnLostCapture();
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT WKScrollBar::OnSizeBar(WPARAM type) {
    if (type == SIZE_RESTORED || type == SIZE_MAXIMIZED) element_.Attach(skin_, window_, nullptr, nullptr);
    return 0;
}

LRESULT WKScrollBar::OnPaintBar() {
    PaintDC paint(window_);
    if (paint && IsWindowVisible(window_)) element_.Paint(paint.get());
    return 0;
}

LRESULT WKScrollBar::OnSetPosBar(WPARAM position, LPARAM redraw) {
    // The previous position, also when it does not change.
    const int previous = element_.values().position;
    element_.SetPos(static_cast<int>(position));
    if (redraw) element_.Paint();
    return previous;
}

LRESULT WKScrollBar::OnSetInfoBar(WPARAM redraw, LPARAM record) {
    const auto* info = reinterpret_cast<const SCROLLINFO*>(record);
    const HWND self = window_;
    const int answer = element_.ApplyScrollInfo(static_cast<BOOL>(redraw), info);
    if (ValidScrollInfo(info) && (info->fMask & SIF_DISABLENOSCROLL)) {
        // Nothing to scroll: the bar is disabled, and enabled again once there is.
        const scroll::Values& v = element_.values();
        const bool scrolls = v.minimum < v.maximum - std::max(v.page - 1, 0);
        if (!IsWindowEnabled(self) == scrolls) EnableWindow(self, scrolls);
    }
    return answer;
}

LRESULT WKScrollBar::OnSetRangeBar(WPARAM minimum, LPARAM maximum, bool redraw) {
    const int previous = element_.SetRange(static_cast<int>(minimum), static_cast<int>(maximum));
    if (redraw) element_.Paint();
    return previous;
}

LRESULT WKScrollBar::OnGetRange(WPARAM minimum, LPARAM maximum) const {
    if (auto* to = reinterpret_cast<LPINT>(minimum)) *to = element_.values().minimum;
    if (auto* to = reinterpret_cast<LPINT>(maximum)) *to = element_.values().maximum;
    return 0;
}

LRESULT WKScrollBar::OnPress(LPARAM point) {
    // A press takes the focus to a bar that is a tab stop, as the system's does.
    const HWND self = window_;
    if ((Style() & WS_TABSTOP) && GetFocus() != self) SetFocus(self);
    if (!IsWindow(self)) return 0;
    return element_.OnLButtonDown(PointX(point), PointY(point));
}

ControlClass kScrollBarClass{"WKScrollBar", ClassKind::Own, nullptr, ClassProc<kScrollBarClass>,
                             MakeControl<WKScrollBar>, nullptr, nullptr};

}  // namespace kelmard
