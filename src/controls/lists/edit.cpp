// "WKEdit": the system edit with the skinned border and dropped files passed up.
#include "controls/lists/edit.h"

namespace kelmard {
namespace {

WNDPROC SystemEditProcedure() {
    if (kEditClass.systemProcedure) return kEditClass.systemProcedure;
    WNDCLASSA wc{};
    return GetClassInfoA(nullptr, "EDIT", &wc) ? wc.lpfnWndProc : nullptr;
}

}  // namespace

WKEdit::WKEdit(HWND window) : WKControl(window), system_(SystemEditProcedure()) {}

LRESULT WKEdit::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCPAINT:
        // The platform draws the whole non-client area first (border, scroll
        // bars); the skinned border then goes over the outer edge.
        DefWindowProcA(window, message, wParam, lParam);
        return OnNcPaint(wParam);
    case WM_NCACTIVATE:
        DefWindowProcA(window, message, wParam, lParam);
        return OnNcActivate(wParam);
    case WM_DROPFILES:
        return parent_ ? SendMessageA(parent_, WM_DROPFILES, wParam, reinterpret_cast<LPARAM>(window_)) : 0;
    default:
        if (system_) return CallWindowProcA(system_, window, message, wParam, lParam);
        return WKControl::WindowProc(window, message, wParam, lParam);
    }
}

ControlClass kEditClass{"WKEdit", ClassKind::Superclass, "EDIT", ClassProc<kEditClass>, MakeControl<WKEdit>, nullptr,
                        nullptr};

}  // namespace kelmard
