// "WKEdit": the skinned edit control, a superclass of the system edit. The
// system edit does all editing and answers every EM_* message; this class
// draws the skinned border over the system's non-client area (on painting and
// on activation changes) and passes dropped files to its parent.
#pragma once
#include <windows.h>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"

namespace kelmard {

class WKEdit : public WKControl {
public:
    explicit WKEdit(HWND window);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The class table's row for "WKEdit".
extern ControlClass kEditClass;

}  // namespace kelmard
