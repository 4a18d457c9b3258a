// "WKTab": the skinned tab control. A strip of tabs in one or more rows above
// (TCS_BOTTOM: below) a framed page; the rows are balanced to the control's
// width and the selected tab's row always touches the page. It keeps its own
// items (text and image-list index), answers the TCM_* messages dialogs use,
// and tells its parent of a selection change with TCN_SELCHANGING (told, not
// asked: the change cannot be refused) and TCN_SELCHANGE in WM_NOTIFY.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"
#include "controls/value/tab_layout.h"
#include "owners/win32_owners.h"

namespace kelmard {

class WKTab : public WKControl {
public:
    explicit WKTab(HWND window);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(const CREATESTRUCTA* create) override;
    LRESULT OnSize(WPARAM type, LPARAM size) override;
    LRESULT OnPaint() override;
    LRESULT OnSetFocus(HWND lost) override;
    LRESULT OnKillFocus(HWND gaining) override;
    LRESULT OnEnable(WPARAM enabled) override;
    LRESULT OnKeyDown(WPARAM key, LPARAM flags) override;
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point) override;
    LRESULT OnSetFont(HFONT font, LPARAM redraw) override;

private:
    LRESULT OnSetImageList(HIMAGELIST images);
    LRESULT OnGetItem(WPARAM index, TCITEMA* item) const;
    LRESULT OnSetItem(WPARAM index, const TCITEMA* item);
    LRESULT OnInsertItem(WPARAM index, const TCITEMA* item);
    LRESULT OnDeleteItem(WPARAM index);
    LRESULT OnSetCurSel(WPARAM index);
    LRESULT OnAdjustRect(WPARAM larger, RECT* rect);
    LRESULT OnRemoveImage(WPARAM index);

    // Text widths and heights with the control's font.
    void Measure();
    // Rows, strip and page from the client rectangle, the selected row moved
    // next to the page; only when something changed since the last one.
    void EnsureLayout();
    int StripWidth(const RECT& area) const;
    RECT TabRectOf(int index) const;
    void UpdateFocusRect();
    void InvalidateTab(int index);
    // Selects an item with TCN_SELCHANGING and TCN_SELCHANGE; the previous selection.
    int Select(int index);
    void DrawTab(HDC dc, int index, bool selected, const UniquePen* pens);

    RECT client_{};                // the client rectangle at the last layout
    RECT display_{};               // the page inside its frame
    RECT focusRect_{};             // the selected tab shrunk by 3 across and 2 down
    RECT strip_{};                 // every tab row
    int rowHeight_ = 0;            // the taller of text and image + 4
    int textHeight_ = 0;           // the font's tmHeight
    int imageWidth_ = 0;           // the image list's icon size, 0 by 0 without one
    int imageHeight_ = 0;
    HIMAGELIST images_ = nullptr;  // TCM_SETIMAGELIST's list, borrowed, never destroyed
    tab::Items items_;             // the tabs and the selection
    int lastRow_ = 0;              // rows - 1
    bool layoutNeeded_ = true;     // items, font, images or size changed since the last layout
};

// The class table's row for "WKTab".
extern ControlClass kTabClass;

}  // namespace kelmard
