// "WKStatic": text statics painted from the skin, the rest left to the system static.
#include "controls/lists/static.h"

#include <memory>
#include <new>

#include "controls/framework/draw.h"
#include "controls/lists/static_format.h"
#include "owners/win32_owners.h"

namespace kelmard {

WKStatic::WKStatic(HWND window) : WKControl(window, kStaticClass) {
    const DWORD style = Style();
    enabled_ = (style & WS_DISABLED) == 0;
    if (style & SS_SUNKEN) {
        // The skinned client edge takes the place of the sunken look.
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style & ~static_cast<DWORD>(SS_SUNKEN)));
        SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    }
    ComputeFormat();
}

void WKStatic::ComputeFormat() {
    const statics::TextFormat f = statics::FormatForStyle(Style());
    selfDrawn_ = f.selfDrawn;
    format_ = f.format;
}

LRESULT WKStatic::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ENABLE: return OnEnableStatic(window, wParam, lParam);
    case WM_PAINT: return selfDrawn_ ? OnPaint() : CallSystem(window, message, wParam, lParam);
    case WM_SETTEXT: return OnSetTextStatic(window, wParam, lParam);
    case WM_STYLECHANGED:
        ComputeFormat();
        return CallSystem(window, message, wParam, lParam);
    case WM_NCPAINT: return OnNcPaint(wParam);
    case WM_NCACTIVATE: return OnNcActivate(wParam);
    case WM_DROPFILES: return PassDroppedFiles(wParam);
    default: return CallSystem(window, message, wParam, lParam);
    }
}

LRESULT WKStatic::OnEnableStatic(HWND window, WPARAM enabled, LPARAM lParam) {
    enabled_ = enabled != 0;
    if (!selfDrawn_) return CallSystem(window, WM_ENABLE, enabled, lParam);
    Redraw();
    return 0;
}

LRESULT WKStatic::OnSetTextStatic(HWND window, WPARAM wParam, LPARAM text) {
    // The system static paints a new text at once in its own look: paint
    // the skinned one over it.
    const LRESULT result = CallSystem(window, WM_SETTEXT, wParam, text);
    if (selfDrawn_) Redraw();
    return result;
}

LRESULT WKStatic::OnPaint() {
    PaintDC dc(window_);
    if (!dc || !IsWindowVisible(window_)) return 0;
    // The font is the one the system static was given; without one, the parent's.
    font_ = reinterpret_cast<HFONT>(CallSystem(window_, WM_GETFONT, 0, 0));
    SelectGuard font(dc.get(), ControlFont());
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc.get(), &client, skin_->brushes[skin::kFaceBrush]);
    // The text is the system static's.
    const int length = GetWindowTextLengthA(window_);
    std::unique_ptr<char[]> text(length >= 0 ? new (std::nothrow) char[length + 1] : nullptr);
    if (!text) return 0;
    const int copied = GetWindowTextA(window_, text.get(), length + 1);
    if (copied > 0)
        DrawSkinText(skin_, dc.get(), client, text.get(), copied, format_,
                     MakeState(enabled_ ? kNormalLook : kDisabledLook, 0), false);
    return 0;
}

ControlClass kStaticClass{"WKStatic", ClassKind::Superclass, "STATIC", ClassProc<kStaticClass>, MakeControl<WKStatic>,
                          nullptr, nullptr};

}  // namespace kelmard
