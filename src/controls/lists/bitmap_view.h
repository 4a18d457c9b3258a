// "WKBmpView": the bitmap view. It shows a bitmap its owner gives it, fitted
// into the client and centred, lets the user zoom about a clicked point and
// pan within the limits of bitmap_view_layout.h, or in pick mode reports the
// picture pixel under the pointer to the parent (WM_COMMAND, BVN_PICKING /
// BVN_PICKED). An optional monochrome mask lets a background colour show
// through. The bitmap, the mask and the pick cursor are borrowed: the owner
// frees them.
#pragma once
#include <windows.h>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"
#include "controls/lists/bitmap_view_layout.h"

namespace kelmard {

class WKBmpView : public WKControl {
public:
    explicit WKBmpView(HWND window);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnSize(WPARAM type, LPARAM size) override;
    LRESULT OnPaint() override;
    LRESULT OnKeyDown(WPARAM key, LPARAM flags) override;
    LRESULT OnMouseMove(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonUp(WPARAM keys, LPARAM point) override;
    virtual LRESULT OnRButtonDown(WPARAM keys, LPARAM point);
    virtual LRESULT OnRButtonUp(WPARAM keys, LPARAM point);

private:
    // Which button a press holds.
    enum class Button { kNone, kLeft, kRight };

    LRESULT OnSetBitmap(WPARAM redraw, HBITMAP bitmap);
    LRESULT OnSetMask(WPARAM redraw, HBITMAP mask);
    LRESULT OnSetMode(WPARAM mode, HCURSOR pickCursor);
    LRESULT OnZoom(WPARAM in);
    LRESULT OnEnablePicks(WPARAM enable);
    LRESULT OnSetBackground(WPARAM redraw, COLORREF colour);
    LRESULT OnTimer(WPARAM id);
    LRESULT OnCaptureChanged(HWND gaining);
    LRESULT OnCancelMode();

    // A press of either button: the pending zoom, the pan anchor, a pick.
    void Press(Button button, float zoomFactor, LPARAM point);
    // A release of the button that went down.
    void Release(Button button, LPARAM point);
    // The held press turns into a pan (the hand cursor; no zoom at the release).
    void StartPanning();
    // Ends a press without its release: no timer, no pan, the mode's cursor.
    void EndPress();
    // Shows the cursor of `mode` (the magnifier, the hand or the pick cursor).
    void UpdateCursor(int mode);
    HCURSOR CursorOf(int mode) const;
    void PutCursor(HCURSOR cursor) const;
    void ReleaseHoverCapture();
    bool PointerInside() const;
    Extent ClientSize() const;
    void Relayout();
    void NotifyPick(WORD code, bmpview::Point pixel);
    void DrawContent(HDC dc, const RECT& client);
    void DrawMasked(HDC dc);

    int mode_ = bmpview::kZoomMode;   // what the mouse does (bmpview::Mode)
    bool picksWhilePressed_ = false;  // pick mode reports presses and drags too
    HBITMAP bitmap_ = nullptr;        // the picture, borrowed: the owner frees it
    HBITMAP mask_ = nullptr;          // the optional monochrome mask, borrowed
    HCURSOR pickCursor_;              // pick mode's cursor, borrowed (the system's cross at first)
    COLORREF background_;             // shown around the picture and under the mask's white
    bool hoverCapture_ = false;       // the capture is held because the pointer is over the control
    int cursorMode_ = -1;             // whose cursor is shown (a mode; kPanMode also while panning)
    HCURSOR previousCursor_ = nullptr; // shown before the control took the capture, restored after
    HCURSOR currentCursor_ = nullptr;  // the cursor shown over the control
    Button held_ = Button::kNone;     // the button of the press in progress
    float pendingZoom_ = 1.0f;        // what the release of a click multiplies the zoom by
    bmpview::Point pressPoint_{0, 0}; // where the press went down (client)
    bmpview::PanAnchor anchor_;       // the press point with the centre and zoom it started from
    bmpview::View view_;              // zoom, centre, and where which part of the picture is drawn
};

// The class table's row for "WKBmpView".
extern ControlClass kBmpViewClass;

}  // namespace kelmard
