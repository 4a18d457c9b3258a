// "WKListBox": the skinned list box, a superclass of the system list. The
// single-selection kinds keep their own strings, draw them in the skin's
// colours, scroll with a scroll-bar child, take the mouse, keys and
// type-ahead themselves and answer the LB_* messages with the LBN_*
// notifications a dialog expects. Multiple and extended selection,
// owner-drawn, multi-column and no-data lists are the system list with the
// skinned border. A combo box drives the list as its drop-down through the
// combo mode (kListSetComboMode).
#pragma once
#include <windows.h>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"
#include "controls/lists/list_layout.h"
#include "owners/win32_owners.h"

namespace kelmard {

// wParam non-zero: the list works as a combo box's open drop-down (it takes
// the mouse, and a release or a press outside closes it); 0 leaves that mode.
// Answers 1 when the mode changed. Only for lists with LBS_COMBOBOX.
constexpr UINT kListSetComboMode = WM_USER + 100;
// The id and window class of the list's scroll bar child.
constexpr int kListScrollBarId = 1000;
extern const char* const kListScrollBarClass;

// The lists the system draws: its procedure does everything, the skinned border is added.
class WKListBoxPassThrough : public WKControl {
public:
    explicit WKListBoxPassThrough(HWND window);
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
};

class WKListBox : public WKControl {
public:
    explicit WKListBox(HWND window);
    ~WKListBox() override;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnSize(WPARAM type, LPARAM size) override;
    LRESULT OnPaint() override;
    LRESULT OnSetFocus(HWND lost) override;
    LRESULT OnKillFocus(HWND gaining) override;
    LRESULT OnEnable(WPARAM enabled) override;
    LRESULT OnKeyDown(WPARAM key, LPARAM flags) override;
    LRESULT OnMouseMove(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonUp(WPARAM keys, LPARAM point) override;
    LRESULT OnSetFont(HFONT font, LPARAM redraw) override;
    LRESULT OnLButtonDblClk(WPARAM keys, LPARAM point);

private:
    // Rows, integral height and the scroll bar from the client size, the
    // font and the count (`dc`: one with the control's font, or null).
    void UpdateLayout(HDC dc);
    void EnsureLayout();
    int MeasureItemHeight(HDC dc);
    void PlaceScrollBar(int height);
    bool GetItemRect(int index, RECT* rect) const;
    void InvalidateItem(int index);
    bool DrawItemText(HDC dc, int index);
    int SetCurSel(int index, bool usePartial);
    void SetTopIndex(long long index);
    int SelectByUser(int index, bool usePartial);
    int InsertString(int index, const char* text);
    int AddString(const char* text);
    int DeleteString(int index);
    void ResetContent();
    LRESULT SetComboMode(WPARAM mode);
    void Notify(WORD code);
    void StopAutoScroll();
    void TakeCapture();
    LRESULT ToScrollBar(WPARAM keys, LPARAM point);

    LRESULT OnCreateList(HWND window, const CREATESTRUCTA* create);
    LRESULT OnSetRedraw(HWND window, WPARAM flag);
    LRESULT OnShowWindow(HWND window, WPARAM shown, LPARAM status);
    LRESULT OnChar(WPARAM character);
    LRESULT OnTimer(WPARAM id);
    LRESULT OnVScroll(WPARAM code);
    LRESULT OnCaptureChanged(HWND window, LPARAM gaining);
    LRESULT OnGetText(WPARAM index, LPARAM buffer) const;
    LRESULT OnGetTextLength(WPARAM index) const;
    LRESULT OnGetItemData(WPARAM index) const;
    LRESULT OnSetItemData(WPARAM index, LPARAM data);
    LRESULT OnSelectString(WPARAM start, LPARAM text);
    LRESULT OnSetTopIndex(WPARAM index);
    LRESULT OnGetItemHeight();
    LRESULT OnSetItemHeight(LPARAM height);
    LRESULT OnGetSel(WPARAM index) const;
    LRESULT OnSetSel(WPARAM select, LPARAM index);
    LRESULT OnSetCaretIndex(WPARAM index);
    LRESULT OnGetItemRect(WPARAM index, LPARAM rect);
    LRESULT OnItemFromPoint(LPARAM point);

    bool enabled_;                   // drawn and answering as enabled; follows WM_ENABLE
    bool redraw_;                    // repaints after changes; follows WM_SETREDRAW
    WPARAM comboMode_ = 0;           // non-zero while the open drop-down of a combo box
    Rect area_{0, 0, 0, 0};          // where the items are drawn: the client less the scroll bar
    listbox::Rows rows_;             // item height, whole rows, page and part row of the area
    int fixedItemHeight_ = 0;        // LB_SETITEMHEIGHT's height; 0: the font's
    UniqueWindow scrollBar_;         // the scroll bar child, made when first needed
    bool scrollStyle_;               // the style had WS_VSCROLL at creation
    bool scrollNeeded_ = false;      // the scroll bar is shown and enabled (more items than rows)
    Rect barRect_{0, 0, 0, 0};       // the scroll bar's place in the client
    listbox::ItemList items_;        // the strings and their data
    bool layoutDirty_ = true;        // size, font or count changed since the last layout
    int selection_ = -1;             // the selected item, -1 for none
    int caret_ = 0;                  // the item with the focus rectangle
    int top_ = 0;                    // the first visible item
    bool capture_ = false;           // the list holds the mouse capture
    int autoScroll_ = 0;             // -1 up, +1 down while dragging beyond the items, else 0
    listbox::TypeAhead typeAhead_;   // characters typed within the last two seconds
    int lastMatch_ = -1;             // the item the type-ahead found last
};

// The class table's row for "WKListBox".
extern ControlClass kListBoxClass;

}  // namespace kelmard
