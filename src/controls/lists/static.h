// "WKStatic": the skinned static control, a superclass of the system static.
// It paints the text kinds itself on the skin's face in the skin's text
// colours, turns the sunken style into the skinned client edge, passes
// dropped files to its parent and leaves everything else (icons, bitmaps,
// frames, etched lines, owner-drawn statics, STM_* messages, text and font
// storage) to the system static.
#pragma once
#include <windows.h>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"

namespace kelmard {

class WKStatic : public WKControl {
public:
    explicit WKStatic(HWND window);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnPaint() override;

private:
    LRESULT OnEnableStatic(HWND window, WPARAM enabled, LPARAM lParam);
    LRESULT OnSetTextStatic(HWND window, WPARAM wParam, LPARAM text);
    // Reads the text kind and DrawText flags from the current style.
    void ComputeFormat();

    bool enabled_;           // painted in the normal look (else embossed)
    bool selfDrawn_ = false; // a text kind this class paints; others are the system static's
    UINT format_ = 0;        // the DrawText flags of the text kind
};

// The class table's row for "WKStatic".
extern ControlClass kStaticClass;

}  // namespace kelmard
