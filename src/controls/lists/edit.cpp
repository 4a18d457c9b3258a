// "WKEdit": the system edit with the skinned border and dropped files passed up.
#include "controls/lists/edit.h"

namespace kelmard {

WKEdit::WKEdit(HWND window) : WKControl(window, kEditClass) {}

LRESULT WKEdit::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCPAINT:
    case WM_NCACTIVATE: return SkinBorderOverSystem(window, message, wParam, lParam);
    case WM_DROPFILES: return PassDroppedFiles(wParam);
    default: return CallSystem(window, message, wParam, lParam);
    }
}

ControlClass kEditClass{"WKEdit", ClassKind::Superclass, "EDIT", ClassProc<kEditClass>, MakeControl<WKEdit>, nullptr,
                        nullptr};

}  // namespace kelmard
