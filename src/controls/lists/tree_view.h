// "WKTreeView": the skinned tree view, a superclass of the common controls'
// "SysTreeView32". The system tree view does all of the control's work (its
// TVM_* messages, notifications, scrolling and the client area); the frame
// base (WKFrame) draws its border and its scroll bars from the skin, the bars
// following the tree view's own scroll information, and the background,
// text, line and insertion-mark colours come from the skin by enabled state
// unless the program set them.
#pragma once
#include <windows.h>

#include "controls/framework/classes.h"
#include "controls/framework/frame_window.h"

namespace kelmard {

class WKTreeView : public WKFrame {
public:
    explicit WKTreeView(HWND window);

    bool HandleMessage(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnCreateTree(LPARAM create);
    LRESULT OnEnableTree(WPARAM enabled);
    LRESULT OnSetColour(int element, LPARAM colour);
    LRESULT OnGetColour(int element);
    // The colour each element shows now: the program's while enabled, else
    // the skin's for the enabled state.
    COLORREF ShownColour(int element) const;
    void ApplyColours();

    static constexpr int kElements = 4;  // background, text, lines, insertion mark
    bool enabled_;                        // follows WS_DISABLED at creation, then WM_ENABLE
    unsigned userMask_ = 0;               // elements whose colour the program set, one bit each
    COLORREF userColours_[kElements]{};   // those colours, put back when the tree view is enabled
};

// The class table's row for "WKTreeView".
extern ControlClass kTreeViewClass;

}  // namespace kelmard
