// "WKComboBox": the skinned combo box, in its three kinds: simple (an edit
// above a list that is always shown), drop-down (an edit and a list that
// drops below it) and drop-down list (the selected item's text drawn by the
// combo and a list that drops below it). The text field is a "WKEdit" child
// and the list a "WKListBox" child; a dropped list is a pop-up on the desktop
// that the combo shows, places and hides. The combo answers the CB_* messages
// by passing them on to its edit or list, and tells its parent with the
// CBN_* notifications as the system combo box does.
#pragma once
#include <windows.h>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"
#include "controls/lists/combo_layout.h"
#include "owners/win32_owners.h"

namespace kelmard {

// Posted by the combo to itself when a press on it ends: the open list takes the mouse.
constexpr UINT kComboHandOverMouse = WM_USER + 101;
// The children's control ids.
constexpr int kComboListId = 1000;
constexpr int kComboEditId = 1002;

class WKComboBox : public WKControl {
public:
    explicit WKComboBox(HWND window);
    ~WKComboBox() override;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(const CREATESTRUCTA* create) override;
    LRESULT OnDestroy() override;
    LRESULT OnPaint() override;
    LRESULT OnSetFocus(HWND lost) override;
    LRESULT OnKillFocus(HWND gaining) override;
    LRESULT OnEnable(WPARAM enabled) override;
    LRESULT OnKeyDown(WPARAM key, LPARAM flags) override;
    LRESULT OnMouseMove(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonUp(WPARAM keys, LPARAM point) override;
    LRESULT OnSetFont(HFONT font, LPARAM redraw) override;
    // The edit child's messages: the keys that open, close and move the list
    // come here; the rest goes on to the edit.
    LRESULT EditWindowProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // How an open list closes: taking the list's selection, or going back to
    // the selection the parent last heard of.
    enum class Ending { kCommit, kCancel };

    LRESULT OnWindowPosChanging(WINDOWPOS* position);
    // Places the children for the layout (also with no position, after a font change).
    LRESULT OnWindowPosChanged(const WINDOWPOS* position);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnListNotification(WORD code);
    LRESULT OnHelp(LPARAM info);
    LRESULT OnText(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnEditMessage(UINT editMessage, WPARAM wParam, LPARAM lParam);
    LRESULT OnSelectString(WPARAM start, LPARAM text);
    LRESULT OnGetDroppedControlRect(LPARAM rect) const;
    LRESULT OnSetDroppedWidth(WPARAM width);
    LRESULT OnGetComboBoxInfo(LPARAM info) const;
    LRESULT OnSysKeyDown(WPARAM key, LPARAM flags);
    LRESULT OnCaptureChanged();
    LRESULT OnHandOverMouse();
    LRESULT DialogCode(LPARAM message) const;

    // A key the combo acts on, from itself or its edit: true when it was used.
    bool HandleKey(WPARAM key, LPARAM flags);
    void ToggleDropDown();
    void Open(bool listTakesMouse);
    void Close(Ending ending);
    // The parent hears of focus coming to the combo (or its edit) and going.
    void SetFocusState(bool focused);
    // The list's selection after a message passed on to it.
    LRESULT ForwardToList(UINT message, WPARAM wParam, LPARAM lParam);
    void TakeListSelection();
    // Shows the text of list item `index` (none for a negative index).
    void SetSelText(int index);
    // Selects the first item beginning with the edit's text.
    void SyncListToEdit();
    int ListSelection() const;
    void UpdateLayout();
    int LineHeight();
    void SetPressedLook(bool pressed);
    void PaintButton(HDC dc);
    bool InButton(LPARAM point) const;

    combo::Kind kind_;                 // simple, drop-down or drop-down list
    bool enabled_;                     // WS_DISABLED is off
    Extent full_{};                    // the requested size, the list's room included
    combo::Layout layout_{};           // closed size, text, button and list rectangles
    int droppedWidth_ = 0;             // CB_SETDROPPEDWIDTH's width, 0 until set
    bool extendedUi_ = false;          // CB_SETEXTENDEDUI's flag, reported back
    bool open_ = false;                // a drop-down kind's list is shown
    bool focused_ = false;             // the combo or its edit holds the focus (CBN_SETFOCUS sent)
    bool pressedLook_ = false;         // the button is drawn pressed
    bool tracking_ = false;            // a press on the combo holds the mouse
    bool keyToList_ = false;           // a key passed on to the list is being handled
    bool settingText_ = false;         // the combo sets the edit's text: no edit notifications
    int remembered_ = -1;              // the selection the parent last heard of
    UniqueIcon arrow_;                 // the button's down arrow
    UniqueWindow edit_;                // the "WKEdit" child (none for the drop-down list kind)
    UniqueWindow list_;                // the "WKListBox" child, a desktop pop-up for the drop-down kinds
    combo::TextBuffer selText_;        // the selected item's text
};

// The class table's row for "WKComboBox".
extern ControlClass kComboBoxClass;

}  // namespace kelmard
