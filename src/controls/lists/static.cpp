// "WKStatic": text statics painted from the skin, the rest left to the system static.
#include "controls/lists/static.h"

#include <memory>
#include <new>

#include "controls/framework/draw.h"
#include "controls/lists/static_format.h"

namespace kelmard {
namespace {

static_assert(statics::kCenterImage == SS_CENTERIMAGE && statics::kNoPrefix == SS_NOPREFIX &&
                  statics::kSunken == SS_SUNKEN && statics::kEndEllipsis == SS_ENDELLIPSIS &&
                  statics::kPathEllipsis == SS_PATHELLIPSIS && statics::kWordEllipsis == SS_WORDELLIPSIS &&
                  statics::kSimple == SS_SIMPLE && statics::kLeftNoWordWrap == SS_LEFTNOWORDWRAP,
              "static styles");
static_assert(statics::kDtWordBreak == DT_WORDBREAK && statics::kDtSingleLine == DT_SINGLELINE &&
                  statics::kDtVCenter == DT_VCENTER && statics::kDtNoPrefix == DT_NOPREFIX &&
                  statics::kDtEndEllipsis == DT_END_ELLIPSIS && statics::kDtPathEllipsis == DT_PATH_ELLIPSIS &&
                  statics::kDtWordEllipsis == DT_WORD_ELLIPSIS,
              "text flags");

constexpr int kFaceBrush = 1;  // the brush of skin colour 1

WNDPROC SystemStaticProcedure() {
    if (kStaticClass.systemProcedure) return kStaticClass.systemProcedure;
    WNDCLASSA wc{};
    return GetClassInfoA(nullptr, "STATIC", &wc) ? wc.lpfnWndProc : nullptr;
}

}  // namespace

WKStatic::WKStatic(HWND window) : WKControl(window), system_(SystemStaticProcedure()) {
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    enabled_ = (style & WS_DISABLED) == 0;
    if (style & SS_SUNKEN) {
        // The skinned client edge takes the place of the sunken look.
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style & ~static_cast<DWORD>(SS_SUNKEN)));
        SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    }
    ComputeFormat();
}

void WKStatic::ComputeFormat() {
    const statics::TextFormat f = statics::FormatForStyle(static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)));
    selfDrawn_ = f.selfDrawn;
    format_ = f.format;
}

LRESULT WKStatic::PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (system_) return CallWindowProcA(system_, window, message, wParam, lParam);
    return WKControl::WindowProc(window, message, wParam, lParam);
}

LRESULT WKStatic::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ENABLE:
        enabled_ = wParam != 0;
        if (!selfDrawn_) return PassOn(window, message, wParam, lParam);
        Redraw();
        return 0;
    case WM_PAINT:
        if (!selfDrawn_) return PassOn(window, message, wParam, lParam);
        return OnPaint();
    case WM_SETTEXT: {
        // The system static paints a new text at once in its own look: paint
        // the skinned one over it.
        const LRESULT result = PassOn(window, message, wParam, lParam);
        if (selfDrawn_) Redraw();
        return result;
    }
    case WM_STYLECHANGED:
        ComputeFormat();
        return PassOn(window, message, wParam, lParam);
    case WM_NCPAINT: return OnNcPaint(wParam);
    case WM_NCACTIVATE: return OnNcActivate(wParam);
    case WM_DROPFILES:
        return parent_ ? SendMessageA(parent_, WM_DROPFILES, wParam, reinterpret_cast<LPARAM>(window_)) : 0;
    default: return PassOn(window, message, wParam, lParam);
    }
}

LRESULT WKStatic::OnPaint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(window_, &ps);
    if (dc && IsWindowVisible(window_)) {
        // The font is the one the system static was given; without one, the parent's.
        font_ = reinterpret_cast<HFONT>(PassOn(window_, WM_GETFONT, 0, 0));
        const HFONT old = SelectControlFont(dc);
        RECT client;
        GetClientRect(window_, &client);
        FillRect(dc, &client, skin_->brushes[kFaceBrush]);
        // The text is the system static's.
        const int length = GetWindowTextLengthA(window_);
        std::unique_ptr<char[]> text(length >= 0 ? new (std::nothrow) char[length + 1] : nullptr);
        if (text) {
            const int copied = GetWindowTextA(window_, text.get(), length + 1);
            if (copied > 0)
                DrawSkinText(skin_, dc, client, text.get(), copied, format_, MakeState(enabled_ ? 1 : 0, 0), false);
        }
        if (old) SelectObject(dc, old);
    }
    EndPaint(window_, &ps);
    return 0;
}

ControlClass kStaticClass{"WKStatic", ClassKind::Superclass, "STATIC", ClassProc<kStaticClass>, MakeControl<WKStatic>,
                          nullptr, nullptr};

}  // namespace kelmard
