// The skinned scroll bar. WKScroller (vertical) and WKHScroller (horizontal)
// are scroll-bar elements, not windows: each keeps one bar's geometry, range,
// page, position, pressed state and mouse tracking, paints it from the skin
// and reports with WM_VSCROLL / WM_HSCROLL and the SB_* codes. An element
// serves either inside a "WKScrollBar" control (client coordinates, the
// parent notified) or in the non-client area of a WKFrame window (window
// coordinates, the window itself notified).
//
// An element never moves its own position in answer to the mouse: it
// reports, and the owner sets the position (SBM_SETPOS, SetScrollPos), as
// with the system's scroll bar.
#pragma once
#include <windows.h>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"
#include "controls/lists/scroll_layout.h"
#include "owners/win32_owners.h"

namespace kelmard {

class WKScroller;

// The window that hosts elements in its non-client area: told after each
// notification, so that it can bring the element up to date with the
// position the owner set.
class ScrollHost {
public:
    virtual void AfterNotify(WKScroller& element) = 0;

protected:
    ~ScrollHost() = default;
};

class WKScroller {
public:
    WKScroller() : WKScroller(true) {}
    explicit WKScroller(bool vertical);
    virtual ~WKScroller();
    WKScroller(const WKScroller&) = delete;
    WKScroller& operator=(const WKScroller&) = delete;

    // Control use (no bounds): the window's client rectangle, the parent
    // notified, painted through GetDC. Non-client use: `bounds` in window
    // coordinates, `offset` from the client origin to the window origin,
    // the window itself notified and `host` told, painted through
    // GetWindowDC. Called again to move or resize the bar: a press in
    // progress goes on.
    void Attach(WKSkin* skin, HWND window, const RECT* bounds, const POINT* offset, ScrollHost* host = nullptr);
    // No more notifications and no repaint: the timer is killed and the
    // capture released (without a report) when the element was tracking.
    void Detach();

    // Offers a message of the host window; true when taken, `result` then
    // holding the answer.
    bool FilterMessage(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT Enable(BOOL enabled);
    LRESULT OnSetFocus();
    LRESULT OnKillFocus();
    // Points in the bar's coordinates. Button-down: 1 when outside the bar.
    LRESULT OnMouseMove(int x, int y);
    LRESULT OnLButtonDown(int x, int y);
    LRESULT OnLButtonUp(int x, int y);
    LRESULT OnTimer();
    // The capture went elsewhere or the mode was cancelled: the press ends
    // with SB_ENDSCROLL.
    LRESULT OnLostCapture();
    LRESULT HitTest(int x, int y) const;
    // A key pressed on the focused bar: the arrows step a line, Page Up and
    // Page Down a page, Home and End go to the ends (SB_TOP, SB_BOTTOM).
    // False for other keys, when disabled or while a press is held.
    bool OnKeyDown(WPARAM key);

    // The position clamped with the page; the previous one when it changed,
    // else 0. No repaint.
    int SetPos(int value);
    // SCROLLINFO in (SIF_PAGE, SIF_RANGE, SIF_POS), the position clamped;
    // answers the position. A record of another size is ignored.
    int ApplyScrollInfo(BOOL redraw, const SCROLLINFO* info);
    // SCROLLINFO out by its mask; 0 for a null record or another size.
    BOOL ReadScrollInfo(SCROLLINFO* info) const;
    // SBM_SETRANGE: the range (the page kept within it); the position is not
    // clamped until it is next set. Answers 0.
    int SetRange(int minimum, int maximum);
    // Paints into `dc`, or (null) into a DC of its own.
    void Paint(HDC dc = nullptr);

    bool vertical() const { return geometry_.vertical(); }
    bool tracking() const { return tracking_; }
    const scroll::Values& values() const { return values_; }
    const scroll::Geometry& geometry() const { return geometry_; }

private:
    // Sends the scroll message; false when the element may no longer be
    // used (the window went, or the host detached the element meanwhile).
    bool Notify(WORD code, int position);
    // Ends a press; `released`: by the button (a thumb reports its drop).
    // False as Notify.
    bool FinishTracking(bool released);
    // After a page step: the zone follows the thumb, and paging stops once
    // the thumb reached the pointer.
    void FollowThumb();
    POINT CursorInBar() const;
    void Layout();
    void PaintPart(HDC dc, const Rect& rect, unsigned part, HICON icon);

    HWND window_ = nullptr;           // the window painted into, captured and timed on
    HWND notifyWindow_ = nullptr;     // receives the scroll messages (none: nothing is sent)
    ScrollHost* host_ = nullptr;      // non-client use: told after each notification
    WKSkin* skin_ = nullptr;          // the shared skin
    POINT offset_{};                  // client origin to the bar's coordinates
    bool clientMode_ = true;          // paints through GetDC (else GetWindowDC)
    bool attached_ = false;           // notifies and paints (cleared by Detach)
    UINT message_;                    // WM_VSCROLL or WM_HSCROLL
    bool enabled_ = true;             // drawn and pressed as enabled
    bool focus_ = false;              // the thumb carries the focus rectangle
    unsigned pressed_ = 0;            // scroll::Part bits pressed with the pointer in their zone
    bool tracking_ = false;           // a press went down here and the mouse is captured
    scroll::Part part_ = scroll::kNoPart;  // the part the press concerns
    Rect zone_{};                     // where the pressed part counts as pressed
    WORD repeatCode_ = 0;             // the SB_* code each repeat step reports
    int grab_ = 0;                    // thumb's leading edge to the pointer
    int dragStart_ = 0;               // the position when the thumb was pressed
    int trackPos_ = 0;                // the thumb's dragged position
    scroll::Values values_;           // range, page and position
    scroll::Geometry geometry_;       // arrows, track and thumb
    UniqueIcon firstIcon_, secondIcon_;  // the arrows' icons
};

// The horizontal element.
class WKHScroller : public WKScroller {
public:
    WKHScroller() : WKScroller(false) {}
};

// "WKScrollBar": one element filling the client area of a child window; the
// parent hears WM_VSCROLL (SBS_VERT) or WM_HSCROLL with this window in
// lParam, and programs drive it with the SBM_* messages.
class WKScrollBar : public WKControl {
public:
    explicit WKScrollBar(HWND window);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnSizeBar(WPARAM type);
    LRESULT OnPaintBar();
    LRESULT OnSetPosBar(WPARAM position, LPARAM redraw);
    LRESULT OnSetInfoBar(WPARAM redraw, LPARAM info);
    LRESULT OnSetRangeBar(WPARAM minimum, LPARAM maximum, bool redraw);
    LRESULT OnGetRange(WPARAM minimum, LPARAM maximum) const;
    LRESULT OnPress(LPARAM point);

    WKScroller element_;  // the bar, in client coordinates
};

// The class table's row for "WKScrollBar".
extern ControlClass kScrollBarClass;

}  // namespace kelmard
