// "WKSlider": the skinned trackbar. A channel of three skin pieces and a
// thumb that the user drags, pages with mouse presses (repeated while the
// button is held) or moves with the keyboard; every change reaches the parent
// as the trackbar's WM_HSCROLL (WM_VSCROLL with TBS_VERT) / TB_* codes, and
// programs drive it with TBM_* messages. No tick marks, selection, buddies or
// tooltips.
#pragma once
#include <windows.h>

#include <cstdint>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"
#include "controls/value/slider_layout.h"

namespace kelmard {

// The horizontal slider; WKVertSlider is the same along y.
class WKSlider : public WKControl {
public:
    explicit WKSlider(HWND window) : WKSlider(window, false) {}

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(const CREATESTRUCTA* create) override;
    LRESULT OnSize(WPARAM type, LPARAM size) override;
    LRESULT OnPaint() override;
    LRESULT OnSetFocus(HWND lost) override;
    LRESULT OnKillFocus(HWND gaining) override;
    LRESULT OnEnable(WPARAM enabled) override;
    LRESULT OnKeyDown(WPARAM key, LPARAM flags) override;
    LRESULT OnKeyUp(WPARAM key, LPARAM flags) override;
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point) override;
    LRESULT OnMouseMove(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonUp(WPARAM keys, LPARAM point) override;

protected:
    WKSlider(HWND window, bool vertical);

private:
    LRESULT OnSetPos(WPARAM redraw, LPARAM position);
    LRESULT OnSetRange(WPARAM redraw, int minimum, int maximum);
    LRESULT OnSetPageSize(LPARAM size);
    LRESULT OnSetLineSize(LPARAM size);
    LRESULT OnPageTimer();
    LRESULT OnCaptureChanged(HWND gaining);
    LRESULT OnCancelMode();
    // TBM_GETTHUMBRECT / TBM_GETCHANNELRECT: a copy into the caller's RECT (none for null).
    static LRESULT CopyOut(const Rect& rect, LPARAM out);

    // The thumb strip, channel and thumb from the client size.
    void RecalcLayout();
    // A position from the keyboard, the mouse or the timer: clamped, and the
    // thumb moved and repainted when it changed.
    void SetPosition(int position);
    // Tells the parent; false when the parent destroyed the slider meanwhile
    // (nothing of it may be touched then).
    bool Notify(std::uint32_t code, int position = 0);
    // Ends a drag or a paging press as a button-up does (also when the
    // capture is lost or the mode cancelled). False as Notify.
    bool FinishTracking();
    void DrawSlider(HDC dc);

    const bool vertical_;             // TBS_VERT: laid out, dragged and reported along y
    Look press_;                      // 0 disabled, 1 normal, 2 the thumb is dragged
    bool tracking_ = false;           // the button went down here and the mouse is captured
    bool notified_ = false;           // a notification went since the last key-up or button-up
    int grabOffset_ = 0;              // from the thumb's leading edge to where the drag began
    int pageTarget_ = 0;              // the position under the pointer while the mouse pages
    std::int64_t pageStep_ = 0;       // +page or -page: the direction of mouse paging
    slider::Values values_;           // range, position, line and page size
    slider::Geometry geometry_;       // client, channel, thumb, scale and the thumb strip
};

// The vertical slider (TBS_VERT).
class WKVertSlider : public WKSlider {
public:
    explicit WKVertSlider(HWND window) : WKSlider(window, true) {}
};

// The class table's row for "WKSlider".
extern ControlClass kSliderClass;

}  // namespace kelmard
