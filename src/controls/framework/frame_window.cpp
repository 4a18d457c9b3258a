// WKFrame: the skinned border and window scroll bars of frame windows.
#include "controls/framework/frame_window.h"

#include <algorithm>
#include <new>

#include "controls/framework/draw.h"
#include "owners/win32_owners.h"

namespace kelmard {
namespace {

constexpr WPARAM kWholeWindow = 1;  // WM_NCPAINT's region for the whole window

// Messages the system's procedure answers without touching scroll bars
// (asked often: the elements are not repainted after them).
bool MayDrawBars(UINT message) {
    switch (message) {
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_GETDLGCODE:
    case WM_GETFONT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_NOTIFYFORMAT:
    case WM_GETOBJECT:
    case WM_WINDOWPOSCHANGING:
    case WM_NCDESTROY:
    case WM_DESTROY: return false;
    default: return true;
    }
}

SCROLLINFO EmptyCopy() {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    return info;
}

bool SameInfo(const SCROLLINFO& a, const SCROLLINFO& b) {
    return a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos &&
           a.nTrackPos == b.nTrackPos;
}

}  // namespace

WKFrame::WKFrame(HWND window) : WKControl(window) {
    verticalCopy_ = horizontalCopy_ = EmptyCopy();
    ReadStyles();
    ChooseBorder();
}

WKFrame::WKFrame(HWND window, const ControlClass& row) : WKControl(window, row) {
    verticalCopy_ = horizontalCopy_ = EmptyCopy();
    ReadStyles();
    ChooseBorder();
}

WKFrame::~WKFrame() = default;

LRESULT WKFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++depth_;
    LRESULT result = lParam;
    const bool passed = !HandleMessage(&result, message, wParam, lParam);
    if (passed) {
        result = Fallback(window, message, wParam, lParam);
        if (!IsWindow(window)) return result;
        systemMayHaveDrawn_ |= MayDrawBars(message);
    }
    // The window (and with it this object) may have gone meanwhile.
    if (!IsWindow(window) || message == WM_NCDESTROY) return result;
    if (--depth_ > 0 || message == WM_DESTROY) return result;
    retired_.clear();
    // Scroll information the window's procedure or a program set during the
    // message shows on the elements at once. SetScrollInfo with redraw
    // paints the system's own bar straight into the window: where the
    // system's procedure ran, the elements are painted over it.
    if (message == WM_NCCREATE || message == WM_CREATE) return result;
    const bool vertical = SyncScrollInfo(SB_VERT), horizontal = SyncScrollInfo(SB_HORZ);
    if (systemMayHaveDrawn_ && IsWindowVisible(window)) {
        if (vertical_ && !vertical) vertical_->Paint();
        if (horizontal_ && !horizontal) horizontal_->Paint();
    }
    systemMayHaveDrawn_ = false;
    return result;
}

bool WKFrame::HandleMessage(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) {
    if (vertical_ && vertical_->FilterMessage(result, message, wParam, lParam)) return true;
    if (horizontal_ && horizontal_->FilterMessage(result, message, wParam, lParam)) return true;
    switch (message) {
    case WM_PAINT:
        SyncScrollInfo(SB_VERT);
        SyncScrollInfo(SB_HORZ);
        return false;
    case WM_STYLECHANGED:
    case WM_NCCREATE: ReadStyles(); return false;
    case WM_NCCALCSIZE: *result = OnNcCalcSizeFrame(wParam, lParam); return true;
    case WM_NCPAINT: *result = OnNcPaintFrame(wParam); return true;
    case WM_NCACTIVATE: *result = OnNcActivateFrame(wParam); return true;
    default: return false;
    }
}

LRESULT WKFrame::Fallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (systemProcedure_) return CallWindowProcA(systemProcedure_, window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

void WKFrame::AfterNotify(WKScroller& element) { SyncScrollInfo(element.vertical() ? SB_VERT : SB_HORZ); }

void WKFrame::ReadStyles() {
    style_ = static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE));
    exStyle_ = static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE));
}

bool WKFrame::SystemFrame() const { return (style_ & WS_CAPTION) == WS_CAPTION || IsIconic(window_); }

void WKFrame::ChooseBorder() {
    border_ = nullptr;
    borderWidth_ = 0;
    if ((style_ & WS_CAPTION) == WS_DLGFRAME || (exStyle_ & WS_EX_DLGMODALFRAME)) {
        border_ = &skin_->frames[skin::kThickFrame];
        borderWidth_ = skin::kFrames[skin::kThickFrame].edge;
    } else if (style_ & WS_THICKFRAME) {
        borderWidth_ = GetSystemMetrics(SM_CXFRAME);
    } else if (style_ & WS_BORDER) {
        borderWidth_ = GetSystemMetrics(SM_CXBORDER);
    } else if (exStyle_ & WS_EX_CLIENTEDGE) {
        border_ = &skin_->frames[skin::kClientEdgeFrame];
        borderWidth_ = skin::kFrames[skin::kClientEdgeFrame].edge;
    }
}

LRESULT WKFrame::OnNcCalcSizeFrame(WPARAM wParam, LPARAM lParam) {
    ReadStyles();
    if (SystemFrame()) return Fallback(window_, WM_NCCALCSIZE, wParam, lParam);
    ChooseBorder();
    RECT* proposed = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    if (!proposed) return 0;
    const RECT whole = *proposed;
    const int width = std::max<int>(whole.right - whole.left, 0), height = std::max<int>(whole.bottom - whole.top, 0);
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL), barHeight = GetSystemMetrics(SM_CYHSCROLL);
    const bool leftBar = (exStyle_ & WS_EX_LEFTSCROLLBAR) != 0;
    int left = borderWidth_, top = borderWidth_, right = borderWidth_, bottom = borderWidth_;
    if (style_ & WS_VSCROLL) (leftBar ? left : right) += barWidth;
    if (style_ & WS_HSCROLL) bottom += barHeight;
    // A window smaller than its border and bars keeps an empty client area.
    left = std::min(left, width);
    top = std::min(top, height);
    const int clientWidth = std::max(width - left - right, 0), clientHeight = std::max(height - top - bottom, 0);
    *proposed = {whole.left + left, whole.top + top, whole.left + left + clientWidth, whole.top + top + clientHeight};
    // The bars in window coordinates, kept inside the window.
    auto inside = [width, height](RECT r) {
        r.left = std::clamp<LONG>(r.left, 0, width), r.right = std::clamp<LONG>(r.right, r.left, width);
        r.top = std::clamp<LONG>(r.top, 0, height), r.bottom = std::clamp<LONG>(r.bottom, r.top, height);
        return r;
    };
    const POINT offset{left, top};
    const int vLeft = leftBar ? left - barWidth : left + clientWidth;
    PlaceElement(vertical_, (style_ & WS_VSCROLL) != 0, true,
                 inside({vLeft, top, vLeft + barWidth, top + clientHeight}), offset);
    PlaceElement(horizontal_, (style_ & WS_HSCROLL) != 0, false,
                 inside({left, top + clientHeight, left + clientWidth, top + clientHeight + barHeight}), offset);
    return 0;
}

void WKFrame::PlaceElement(std::unique_ptr<WKScroller>& element, bool wanted, bool vertical, const RECT& bounds,
                           POINT offset) {
    if (!wanted) {
        if (!element) return;
        // Out of use now (no timer, no capture), freed after the outermost message.
        std::unique_ptr<WKScroller> gone = std::move(element);
        gone->Detach();
        retired_.push_back(std::move(gone));
        return;
    }
    const bool made = !element;
    if (made) {
        element.reset(vertical ? new (std::nothrow) WKScroller() : new (std::nothrow) WKHScroller());
        if (!element) return;  // the space stays reserved; the bar is neither painted nor tracked
        if (!IsWindowEnabled(window_)) element->Enable(FALSE);
    }
    element->Attach(skin_, window_, &bounds, &offset, this);
    SCROLLINFO& copy = vertical ? verticalCopy_ : horizontalCopy_;
    if (made) copy.nMax = copy.nMin + 1, copy.nPage = 0;  // the first sync passes the real values
    SyncScrollInfo(vertical ? SB_VERT : SB_HORZ);
}

bool WKFrame::SyncScrollInfo(int bar) {
    WKScroller* element = bar == SB_VERT ? vertical_.get() : horizontal_.get();
    if (!element) return false;
    SCROLLINFO info = EmptyCopy();
    if (!GetScrollInfo(window_, bar, &info)) return false;
    SCROLLINFO& copy = bar == SB_VERT ? verticalCopy_ : horizontalCopy_;
    if (SameInfo(info, copy)) return false;
    copy = info;
    element->ApplyScrollInfo(TRUE, &info);
    return true;
}

LRESULT WKFrame::OnNcPaintFrame(WPARAM region) {
    if (SystemFrame()) return Fallback(window_, WM_NCPAINT, region, 0);
    WindowDC dc(window_, region == kWholeWindow || region == 0
                             ? GetWindowDC(window_)
                             : GetDCEx(window_, reinterpret_cast<HRGN>(region), DCX_WINDOW | DCX_CACHE | DCX_INTERSECTRGN));
    if (!dc) return 0;
    if (vertical_) vertical_->Paint(dc.get());
    if (horizontal_) horizontal_->Paint(dc.get());
    if (vertical_ && horizontal_) {
        // The square where the two bars meet.
        const Rect& v = vertical_->geometry().bounds();
        const Rect& h = horizontal_->geometry().bounds();
        const RECT corner{v.left, h.top, v.right, h.bottom};
        FillRect(dc.get(), &corner, skin_->brushes[skin::kFaceBrush]);
    }
    PaintBorder(dc.get());
    return 0;
}

LRESULT WKFrame::OnNcActivateFrame(WPARAM active) {
    active_ = active;
    if (SystemFrame()) return Fallback(window_, WM_NCACTIVATE, active, 0);
    WindowDC dc(window_, GetWindowDC(window_));
    if (dc) PaintBorder(dc.get());
    return TRUE;
}

void WKFrame::PaintBorder(HDC dc) {
    RECT rect;
    GetWindowRect(window_, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    if (border_) {
        DrawSkinFrame(dc, &rect, border_, kAllSides);
    } else if (borderWidth_ > 0) {
        if ((style_ & WS_BORDER) && borderWidth_ >= 2) {
            FillFrameBands(dc, &rect, borderWidth_, skin_->brushes[skin::kDarkShadowBrush]);
        } else {
            FillFrameBands(dc, &rect, borderWidth_, skin_->brushes[skin::kFaceBrush]);
            Draw3DFrame(dc, skin_, &rect, false, false);
        }
    }
}

}  // namespace kelmard
