// WKFrame, the frame window base: the base of controls whose non-client area
// is skinned (the tree view; the list box and bitmap view to come). It
// computes the non-client area itself, paints a border chosen from the
// window styles, and replaces the system's scroll bars of a window with
// WS_VSCROLL or WS_HSCROLL by two skinned scroll-bar elements that follow the
// window's own scroll information: programs keep calling SetScrollInfo and
// SetScrollPos on the window and handling WM_VSCROLL / WM_HSCROLL, which the
// elements send to the window itself.
//
// Elements are made when their style appears and kept (re-attached to new
// bounds) while it stays; one whose style goes is detached at once and freed
// only when the window's outermost message returns, so a bar hidden from
// inside its own notification is never used after it was freed.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/framework/control.h"
#include "controls/lists/scroll_bar.h"

namespace kelmard {

class WKFrame : public WKControl, public ScrollHost {
public:
    explicit WKFrame(HWND window);
    // A superclass's frame: what it leaves goes to `row`'s system class.
    WKFrame(HWND window, const ControlClass& row);
    ~WKFrame() override;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // The elements and then the frame take what is theirs; true when taken.
    virtual bool HandleMessage(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam);
    void AfterNotify(WKScroller& element) override;

protected:
    // What the frame leaves: DefWindowProcA, or the system class's procedure
    // of a superclass (never the dialog procedure: these are no dialogs).
    virtual LRESULT Fallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnNcCalcSizeFrame(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaintFrame(WPARAM region);
    LRESULT OnNcActivateFrame(WPARAM active);
    // Captioned (both caption bits) or minimised: the system's non-client area.
    bool SystemFrame() const;
    void ReadStyles();
    void ChooseBorder();
    void PaintBorder(HDC dc);
    // Keeps, makes or detaches the element of one bar after a size change.
    void PlaceElement(std::unique_ptr<WKScroller>& element, bool wanted, bool vertical, const RECT& bounds,
                      POINT offset);
    // Brings an element up to the window's scroll information (repainting it
    // when it changed). Answers whether it changed.
    bool SyncScrollInfo(int bar);

    DWORD style_;                          // window style, re-read at each non-client size computation
    DWORD exStyle_;                        // extended style, the same
    WPARAM active_ = 1;                    // last WM_NCACTIVATE flag
    const SkinFrame* border_ = nullptr;    // the skin frame of the border, or none
    int borderWidth_ = 0;                  // pixels of border on each side
    std::unique_ptr<WKScroller> vertical_;    // exists while the style has WS_VSCROLL
    std::unique_ptr<WKScroller> horizontal_;  // exists while the style has WS_HSCROLL
    std::vector<std::unique_ptr<WKScroller>> retired_;  // detached, freed after the outermost message
    SCROLLINFO verticalCopy_{};            // the scroll information last given to the vertical element
    SCROLLINFO horizontalCopy_{};          // the same for the horizontal one
    int depth_ = 0;                        // messages of this window being handled, nested
    bool systemMayHaveDrawn_ = false;      // the system's procedure ran since the elements were painted
};

}  // namespace kelmard
