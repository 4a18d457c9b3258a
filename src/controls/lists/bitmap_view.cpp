// "WKBmpView": the bitmap view.
#include "controls/lists/bitmap_view.h"

#include "controls/framework/draw.h"
#include "kelmard.h"
#include "owners/win32_owners.h"

namespace kelmard {
namespace {

using bmpview::Point;

static_assert(bmpview::kZoomMode == BVMODE_ZOOM && bmpview::kPanMode == BVMODE_PAN &&
                  bmpview::kPickMode == BVMODE_PICK && bmpview::kInactiveMode == BVMODE_INACTIVE,
              "the modes are the header's");

// The timer of a held press (in zoom and pan mode).
constexpr UINT_PTR kPressTimer = 1;

Point PointOf(LPARAM point) { return {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))}; }

bool Inside(const RECT& r, Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace

WKBmpView::WKBmpView(HWND window)
    : WKControl(window),
      pickCursor_(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_CROSS))),
      background_(skin_->colors[skin::kFaceColor]) {
    dialogCode_ = DLGC_WANTARROWS;
    UpdateCursor(mode_);
}

LRESULT WKBmpView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case BVM_SETBITMAP: return OnSetBitmap(wParam, reinterpret_cast<HBITMAP>(lParam));
    case BVM_GETBITMAP: return reinterpret_cast<LRESULT>(bitmap_);
    case BVM_SETMASK: return OnSetMask(wParam, reinterpret_cast<HBITMAP>(lParam));
    case BVM_GETMASK: return reinterpret_cast<LRESULT>(mask_);
    case BVM_SETMODE: return OnSetMode(wParam, reinterpret_cast<HCURSOR>(lParam));
    case BVM_GETMODE: return mode_;
    case BVM_ZOOM: return OnZoom(wParam);
    case BVM_ENABLEPICKS: return OnEnablePicks(wParam);
    case BVM_SETBKCOLOR: return OnSetBackground(wParam, static_cast<COLORREF>(lParam));
    case BVM_GETBKCOLOR: return static_cast<LRESULT>(background_);
    case WM_TIMER: return OnTimer(wParam);
    case WM_LBUTTONDBLCLK: return OnLButtonDown(wParam, lParam);
    case WM_RBUTTONDOWN: return OnRButtonDown(wParam, lParam);
    case WM_RBUTTONDBLCLK: return OnRButtonDown(wParam, lParam);
    case WM_RBUTTONUP: return OnRButtonUp(wParam, lParam);
    case WM_CAPTURECHANGED: return OnCaptureChanged(reinterpret_cast<HWND>(lParam));
    case WM_CANCELMODE: return OnCancelMode();
    case WM_DROPFILES: return PassDroppedFiles(wParam);
    default: return WKControl::WindowProc(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- messages

LRESULT WKBmpView::OnSetBitmap(WPARAM redraw, HBITMAP bitmap) {
    const HBITMAP previous = bitmap_;
    bitmap_ = bitmap;
    // 0 x 0 when the handle is none, no bitmap or gone, or its size cannot be read: nothing is shown.
    SIZE size{0, 0};
    if (bitmap && GetObjectType(bitmap) == OBJ_BITMAP) GetBitmapSize(bitmap, &size);
    EndPress();
    bmpview::SetPicture(view_, {size.cx, size.cy}, ClientSize());
    if (redraw) Redraw();
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT WKBmpView::OnSetMask(WPARAM redraw, HBITMAP mask) {
    const HBITMAP previous = mask_;
    mask_ = mask;
    if (redraw) Redraw();
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT WKBmpView::OnSetMode(WPARAM mode, HCURSOR pickCursor) {
    const int previous = mode_;
    if (!bmpview::ValidMode(static_cast<long long>(mode))) return previous;
    EndPress();
    if (pickCursor) {
        pickCursor_ = pickCursor;
        if (cursorMode_ == bmpview::kPickMode) cursorMode_ = -1;  // shown anew below
    }
    mode_ = static_cast<int>(mode);
    UpdateCursor(mode_);
    return previous;
}

LRESULT WKBmpView::OnZoom(WPARAM in) {
    if (view_.picture.cx <= 0) return 0;
    bmpview::ZoomAbout(view_, ClientSize(), in ? bmpview::kClickZoomIn : bmpview::kClickZoomOut);
    Redraw();
    return 0;
}

LRESULT WKBmpView::OnEnablePicks(WPARAM enable) {
    picksWhilePressed_ = enable != 0;
    return 0;
}

LRESULT WKBmpView::OnSetBackground(WPARAM redraw, COLORREF colour) {
    const COLORREF previous = background_;
    background_ = colour;
    if (redraw) Redraw();
    return static_cast<LRESULT>(previous);
}

LRESULT WKBmpView::OnSize(WPARAM, LPARAM) {
    Relayout();
    return 0;
}

// ---------------------------------------------------------------- mouse and keys

LRESULT WKBmpView::OnLButtonDown(WPARAM, LPARAM point) {
    Press(Button::kLeft, bmpview::kClickZoomIn, point);
    return 0;
}

LRESULT WKBmpView::OnRButtonDown(WPARAM, LPARAM point) {
    Press(Button::kRight, bmpview::kClickZoomOut, point);
    return 0;
}

LRESULT WKBmpView::OnLButtonUp(WPARAM, LPARAM point) {
    Release(Button::kLeft, point);
    return 0;
}

LRESULT WKBmpView::OnRButtonUp(WPARAM, LPARAM point) {
    Release(Button::kRight, point);
    return 0;
}

void WKBmpView::Press(Button button, float zoomFactor, LPARAM point) {
    if (mode_ == bmpview::kInactiveMode) return;
    const HWND self = window_;
    if (GetFocus() != self) SetFocus(self);  // the keys come here after a click
    if (!IsWindow(self)) return;
    UpdateCursor(mode_);
    if (GetCapture() != window_) {  // a drag goes on outside the control
        previousCursor_ = GetCursor();
        SetCapture(window_);
        hoverCapture_ = true;
        PutCursor(currentCursor_);
    }
    held_ = button;
    pressPoint_ = PointOf(point);
    anchor_ = bmpview::StartPan(view_, pressPoint_);
    if (mode_ != bmpview::kPickMode) SetTimer(window_, kPressTimer, bmpview::kPressHoldMs, nullptr);
    const std::optional<Point> pixel = bmpview::ClientToPicture(view_, pressPoint_);
    pendingZoom_ = pixel ? zoomFactor : 1.0f;
    // Last: the parent may destroy the control when it hears of the pick.
    if (pixel && mode_ == bmpview::kPickMode && button == Button::kLeft && picksWhilePressed_)
        NotifyPick(BVN_PICKING, *pixel);
}

void WKBmpView::Release(Button button, LPARAM point) {
    if (mode_ == bmpview::kInactiveMode) return;
    const bool pressed = held_ == button;
    if (!pressed && held_ != Button::kNone) return;  // the other button's press goes on
    KillTimer(window_, kPressTimer);
    held_ = Button::kNone;
    std::optional<Point> picked;
    if (cursorMode_ == bmpview::kZoomMode && pressed) {
        // A click that did not turn into a pan: zoom about the press point.
        bmpview::ZoomAbout(view_, ClientSize(), pendingZoom_, pressPoint_);
        Redraw();
    } else if (cursorMode_ == bmpview::kPickMode && button == Button::kLeft) {
        picked = bmpview::ClientToPicture(view_, PointOf(point));  // only the left button picks
    }
    pendingZoom_ = 1.0f;
    if (hoverCapture_ && !PointerInside()) ReleaseHoverCapture();
    UpdateCursor(mode_);
    if (picked) NotifyPick(BVN_PICKED, *picked);
}

LRESULT WKBmpView::OnMouseMove(WPARAM, LPARAM point) {
    if (mode_ == bmpview::kInactiveMode) return 0;
    const Point p = PointOf(point);
    RECT client;
    GetClientRect(window_, &client);
    if (GetCapture() != window_) {
        if (!Inside(client, p)) return 0;
        previousCursor_ = GetCursor();
        SetCapture(window_);
        hoverCapture_ = true;
        PutCursor(currentCursor_);
    } else if (hoverCapture_ && held_ == Button::kNone && cursorMode_ != bmpview::kPanMode && !Inside(client, p)) {
        ReleaseHoverCapture();
        return 0;
    }
    if (held_ == Button::kNone) return 0;
    if (mode_ == bmpview::kPickMode && held_ == Button::kLeft) {
        if (!picksWhilePressed_) return 0;
        if (const std::optional<Point> pixel = bmpview::ClientToPicture(view_, p)) NotifyPick(BVN_PICKING, *pixel);
        return 0;
    }
    if (cursorMode_ != bmpview::kPanMode) {
        if (!bmpview::PastPanThreshold(pressPoint_, p)) return 0;
        StartPanning();
    }
    bmpview::PanTo(view_, ClientSize(), anchor_, p);
    Redraw();
    return 0;
}

LRESULT WKBmpView::OnTimer(WPARAM id) {
    if (id != kPressTimer) return 0;
    KillTimer(window_, kPressTimer);
    // A hold of a press still in progress (and still captured) turns into a pan.
    if (held_ == Button::kNone || GetCapture() != window_) return 0;
    if (cursorMode_ != bmpview::kPanMode) StartPanning();
    return 0;
}

LRESULT WKBmpView::OnKeyDown(WPARAM key, LPARAM) {
    if (mode_ == bmpview::kInactiveMode || view_.picture.cx <= 0) return 0;
    const bmpview::KeyAction action = bmpview::ForKey(static_cast<sys::Bits>(key));
    if (!action.handled) return 0;
    if (action.zoom != 1.0f) bmpview::ZoomAbout(view_, ClientSize(), action.zoom);
    else bmpview::MoveCentre(view_, ClientSize(), action.dx, action.dy);
    Redraw();
    return 0;
}

LRESULT WKBmpView::OnCaptureChanged(HWND gaining) {
    if (gaining == window_) return 0;
    // Whoever took the capture ends a press: no timer, no pan, no zoom at a release.
    const bool hovered = hoverCapture_;
    hoverCapture_ = false;
    EndPress();
    if (hovered) PutCursor(previousCursor_);
    return 0;
}

LRESULT WKBmpView::OnCancelMode() {
    EndPress();
    if (GetCapture() == window_) ReleaseCapture();
    return 0;
}

void WKBmpView::StartPanning() {
    UpdateCursor(bmpview::kPanMode);
    anchor_ = bmpview::StartPan(view_, pressPoint_);
    pendingZoom_ = 1.0f;
}

void WKBmpView::EndPress() {
    KillTimer(window_, kPressTimer);
    held_ = Button::kNone;
    pendingZoom_ = 1.0f;
    UpdateCursor(mode_);
}

// ---------------------------------------------------------------- cursor and capture

HCURSOR WKBmpView::CursorOf(int mode) const {
    switch (mode) {
    case bmpview::kZoomMode: return skin_->cursors[skin::kMagnifierCursor];
    case bmpview::kPanMode: return skin_->cursors[skin::kHandCursor];
    case bmpview::kPickMode: return pickCursor_;
    default: return currentCursor_;  // inactive: whatever was shown last
    }
}

void WKBmpView::UpdateCursor(int mode) {
    if (mode == cursorMode_ || !bmpview::ValidMode(mode)) return;
    currentCursor_ = CursorOf(mode);
    cursorMode_ = mode;
    if (!hoverCapture_) return;
    if (mode == bmpview::kInactiveMode) ReleaseHoverCapture();
    else PutCursor(currentCursor_);
}

// A cursor that is not set (not loaded, or none given) shows the arrow: the pointer never vanishes.
void WKBmpView::PutCursor(HCURSOR cursor) const {
    SetCursor(cursor ? cursor : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

void WKBmpView::ReleaseHoverCapture() {
    if (GetCapture() == window_) ReleaseCapture();  // WM_CAPTURECHANGED puts the cursor back
    hoverCapture_ = false;
}

bool WKBmpView::PointerInside() const {
    POINT p;
    RECT client;
    if (!GetCursorPos(&p) || !ScreenToClient(window_, &p) || !GetClientRect(window_, &client)) return false;
    return Inside(client, {p.x, p.y});
}

Extent WKBmpView::ClientSize() const {
    RECT client{};
    GetClientRect(window_, &client);
    return {client.right - client.left, client.bottom - client.top};
}

void WKBmpView::Relayout() { bmpview::Recalc(view_, ClientSize()); }

void WKBmpView::NotifyPick(WORD code, Point pixel) { NotifyCommandPoint(code, pixel.x, pixel.y); }

// ---------------------------------------------------------------- painting

LRESULT WKBmpView::OnPaint() {
    PaintDC paint(window_);
    if (!paint || !IsWindowVisible(window_)) return 0;
    RECT client;
    GetClientRect(window_, &client);
    if (client.right <= 0 || client.bottom <= 0) return 0;
    const Rect& d = view_.destination;
    if (bitmap_ && !mask_ && d.left == 0 && d.top == 0 && d.right == client.right && d.bottom == client.bottom) {
        DrawContent(paint.get(), client);  // the picture covers the client: straight to the screen
        return 0;
    }
    // Otherwise composed off screen and copied at once, without flicker.
    UniqueMemoryDC memory(CreateCompatibleDC(paint.get()));
    UniqueBitmap canvas(CreateCompatibleBitmap(paint.get(), client.right, client.bottom));
    SelectGuard select(memory.get(), canvas.get());
    if (!select) return 0;  // the picture is not drawn
    DrawContent(memory.get(), client);
    BitBlt(paint.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    return 0;
}

void WKBmpView::DrawContent(HDC dc, const RECT& client) {
    const Rect& d = view_.destination;
    const Rect& s = view_.source;
    const bool covers = d.left == 0 && d.top == 0 && d.right == client.right && d.bottom == client.bottom;
    if (!covers || mask_ || !bitmap_) {
        UniqueBrush fill(CreateSolidBrush(background_));
        FillRect(dc, &client, fill.get());
    }
    if (!bitmap_ || d.width() <= 0 || d.height() <= 0) return;
    if (mask_) return DrawMasked(dc);
    UniqueMemoryDC picture(CreateCompatibleDC(dc));
    SelectGuard select(picture.get(), bitmap_);
    if (!select) return;
    StretchModeGuard mode(dc, COLORONCOLOR);
    StretchBlt(dc, d.left, d.top, d.width(), d.height(), picture.get(), s.left, s.top, s.width(), s.height(), SRCCOPY);
}

// Where the mask is white the background stays, where black the picture shows:
// the target ANDed with the stretched mask, then ORed with the picture where
// the mask is black.
void WKBmpView::DrawMasked(HDC dc) {
    const Rect& d = view_.destination;
    const Rect& s = view_.source;
    UniqueMemoryDC work(CreateCompatibleDC(dc)), source(CreateCompatibleDC(dc));
    UniqueBitmap workBitmap(CreateCompatibleBitmap(dc, d.width(), d.height()));
    SelectGuard selectWork(work.get(), workBitmap.get());
    if (!selectWork || !source) return;
    StretchModeGuard mode(work.get(), COLORONCOLOR);
    TextColorGuard black(work.get(), RGB(0, 0, 0));        // the mask's 0 bits
    BkColorGuard white(work.get(), RGB(255, 255, 255));    // and its 1 bits, in colour
    {
        SelectGuard selectMask(source.get(), mask_);
        if (!selectMask) return;
        StretchBlt(work.get(), 0, 0, d.width(), d.height(), source.get(), s.left, s.top, s.width(), s.height(),
                   SRCCOPY);
    }
    BitBlt(dc, d.left, d.top, d.width(), d.height(), work.get(), 0, 0, SRCAND);
    SelectGuard selectPicture(source.get(), bitmap_);
    if (!selectPicture) return;
    StretchBlt(work.get(), 0, 0, d.width(), d.height(), source.get(), s.left, s.top, s.width(), s.height(), SRCERASE);
    BitBlt(dc, d.left, d.top, d.width(), d.height(), work.get(), 0, 0, SRCPAINT);
}

// ---------------------------------------------------------------- class

ControlClass kBmpViewClass{"WKBmpView", ClassKind::Own, nullptr, ClassProc<kBmpViewClass>, MakeControl<WKBmpView>,
                           nullptr, nullptr};

}  // namespace kelmard
