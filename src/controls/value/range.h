// "WKRange": the skinned two-thumb slider that selects a start and an end
// inside a value range. It answers the RGM_* messages of kelmard.h and tells
// its parent of changes with WM_HSCROLL and the RGN_* codes.
#pragma once
#include <windows.h>

#include "controls/framework/control.h"
#include "controls/value/range_layout.h"
#include "kelmard.h"

namespace kelmard {

// The range's private messages.
constexpr UINT kRangeGetStart = RGM_GETSTART;
constexpr UINT kRangeGetLength = RGM_GETLENGTH;
constexpr UINT kRangeGetMinimum = RGM_GETRANGEMIN;
constexpr UINT kRangeGetMaximum = RGM_GETRANGEMAX;
constexpr UINT kRangeSetStart = RGM_SETSTART;
constexpr UINT kRangeSetLength = RGM_SETLENGTH;
constexpr UINT kRangeSetMinimum = RGM_SETRANGEMIN;
constexpr UINT kRangeSetMaximum = RGM_SETRANGEMAX;
constexpr UINT kRangeSetPageSize = RGM_SETPAGESIZE;
constexpr UINT kRangeGetPageSize = RGM_GETPAGESIZE;
constexpr UINT kRangeSetLineSize = RGM_SETLINESIZE;
constexpr UINT kRangeGetLineSize = RGM_GETLINESIZE;
constexpr UINT kRangeSetMinLength = RGM_SETMINLENGTH;
constexpr UINT kRangeGetMinLength = RGM_GETMINLENGTH;

class WKRange : public WKControl {
public:
    explicit WKRange(HWND window);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(const CREATESTRUCTA* create) override;
    LRESULT OnSize(WPARAM type, LPARAM size) override;
    LRESULT OnPaint() override;
    LRESULT OnSetFocus(HWND lost) override;
    LRESULT OnKillFocus(HWND gaining) override;
    LRESULT OnEnable(WPARAM enabled) override;
    LRESULT OnKeyDown(WPARAM key, LPARAM flags) override;
    LRESULT OnKeyUp(WPARAM key, LPARAM flags) override;
    LRESULT OnMouseMove(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonUp(WPARAM keys, LPARAM point) override;

private:
    // The setters: store, lay out again, repaint when asked.
    LRESULT OnSetStart(WPARAM redraw, LPARAM start);
    LRESULT OnSetLength(WPARAM redraw, LPARAM length);
    LRESULT OnSetRange(WPARAM redraw, LPARAM value, bool maximum);
    LRESULT OnSetMinLength(WPARAM redraw, LPARAM length);
    LRESULT OnCaptureChanged(HWND gaining);
    LRESULT OnCancelMode();

    // The skin's strip in use, its numbers for the layout.
    const SkinThumb& Thumb() const;
    range::Strip StripNumbers() const;
    // Chooses the strip and lays out the channel from the client size.
    void RecalcLayout();
    // The thumbs and the bar from the values.
    void Recompute();
    // Sets a value for a part; repaints what moved. False when nothing moved.
    bool SetPart(range::Part part, std::int64_t requested);
    void DrawRange(HDC dc);
    // Ends a drag: the capture goes, a dragged part reports the change, then
    // RGN_ENDTRACK. Only after a button-down on this control. False when the
    // parent destroyed the control meanwhile.
    bool EndDrag();
    // WM_HSCROLL with `code` and the start (the end of a track: 0). False
    // when the parent destroyed the control meanwhile: touch nothing then.
    bool Notify(range::Notice code);

    int press_;                                // range::Press: 0 disabled, 1 normal, 2 a part is dragged
    range::Part active_ = range::kStartThumb;  // the part last pressed or moved by a key
    bool tracking_ = false;                    // the button went down here and the mouse is captured
    bool notified_ = false;                    // a notification went since the last end of a track
    int grab_ = 0;                             // pointer x less the dragged part's reference edge
    int thumb_ = skin::kRangeLargeThumb;       // the skin's range strip (T5 large, T4 small)
    RECT client_{};                            // the client rectangle at the last layout
    range::Values values_;                     // range, selection, minimum length, steps
    range::Geometry geometry_;                 // channel, thumbs, bar and scale
};

// The class table's row for "WKRange".
extern ControlClass kRangeClass;

}  // namespace kelmard
