// "WKButton": the skinned button. One class serves every kind a dialog
// template names: push and default push buttons, check boxes (two- and
// three-state, manual and automatic), radio buttons, push-like check boxes and
// radio buttons, icon and bitmap buttons, and group boxes. It answers the
// BM_* messages and tells its parent with WM_COMMAND / BN_* as the system
// button does.
#pragma once
#include <windows.h>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"
#include "controls/value/button_layout.h"

namespace kelmard {

// The button's private message: sets the check exactly as BM_SETCHECK.
constexpr UINT kButtonSetCheck = WM_USER + 1;

// The common part: content handles, focus notifications, layout on size,
// text and font.
class WKButtonBase : public WKControl {
public:
    explicit WKButtonBase(HWND window);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(const CREATESTRUCTA* create) override;
    LRESULT OnSize(WPARAM type, LPARAM size) override;
    LRESULT OnSetFocus(HWND lost) override;
    LRESULT OnKillFocus(HWND gaining) override;
    LRESULT OnEnable(WPARAM enabled) override;
    LRESULT OnSetText(const char* text) override;
    LRESULT OnSetFont(HFONT font, LPARAM redraw) override;
    // Recomputes the rectangles from the client size, style, text and font.
    virtual void RecalcLayout() = 0;

protected:
    // The text's extent measured with the control's font in a box of the
    // given width and height (+4 each way; 0 by 0 without text).
    SIZE MeasureText(int width, int height, UINT format, TEXTMETRICA* metrics = nullptr);

    RECT client_{};             // the client rectangle at the last layout
    RECT box_{};                // the glyph, face or group frame
    RECT content_{};            // where the text, icon or bitmap goes
    HBITMAP bitmap_ = nullptr;  // BM_SETIMAGE's bitmap, borrowed
    HICON icon_ = nullptr;      // BM_SETIMAGE's icon, borrowed

private:
    LRESULT OnSetImage(WPARAM type, LPARAM image);
    LRESULT OnGetImage(WPARAM type) const;
};

// A group box: a skinned frame with a caption; transparent to the mouse, and
// it passes the focus on to the next control of its group.
class WKGroupBox : public WKButtonBase {
public:
    explicit WKGroupBox(HWND window);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnPaint() override;
    LRESULT OnSetFocus(HWND lost) override;
    void RecalcLayout() override;
};

// Every other button kind.
class WKButton : public WKButtonBase {
public:
    explicit WKButton(HWND window);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(const CREATESTRUCTA* create) override;
    LRESULT OnPaint() override;
    LRESULT OnSetFocus(HWND lost) override;
    LRESULT OnKillFocus(HWND gaining) override;
    LRESULT OnEnable(WPARAM enabled) override;
    LRESULT OnKeyUp(WPARAM key, LPARAM flags) override;
    LRESULT OnKeyDown(WPARAM key, LPARAM flags) override;
    LRESULT OnMouseMove(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonUp(WPARAM keys, LPARAM point) override;
    void RecalcLayout() override;

private:
    LRESULT OnSetCheck(WPARAM check);
    LRESULT OnSetStyle(WPARAM style, LPARAM redraw);
    LRESULT OnClickMessage();
    LRESULT OnCaptureChanged(HWND gaining);

    // The look given to the drawing primitives.
    Look CurrentLook() const;
    ControlState State() const;
    // True when the pointer at `point` (client coordinates) is over the button.
    bool Inside(LPARAM point) const;
    void PaintFace(HDC dc, bool down);
    void PaintContent(HDC dc, bool down);
    void SetPressed(bool pressed);
    void SetCheck(button::Check check);
    void ApplyDefaultLook(bool on);
    // Ends a press by mouse or space bar without clicking.
    void CancelPress();
    // Checks or steps the automatic kinds, then BN_CLICKED. The parent may
    // destroy the button while it is told: callers touch nothing afterwards.
    void Click();
    void UncheckAutoRadioGroup();
    // Takes WS_TABSTOP off the group's unchecked radio buttons of this class.
    void UntabUncheckedRadioPeers();

    bool enabled_;                              // WS_DISABLED is off
    bool pressed_ = false;                      // drawn pushed in (BST_PUSHED)
    button::Check check_ = button::kUnchecked;  // the check state
    RECT focusRect_{};                          // where the focus rectangle goes
    bool pushLike_ = false;                     // drawn as a push face, not a glyph
    bool radio_ = false;                        // a radio button kind
    bool defaultLook_ = false;                  // a push button shown as the default one
    bool tracking_ = false;                     // the mouse went down here and is captured
    bool inside_ = false;                       // the tracked pointer is over the button
    bool spaceDown_ = false;                    // the space bar went down here
    int sprite_ = 0;                            // the skin sprite (skin::SpriteIndex) it draws
};

// The class table's row for "WKButton".
extern ControlClass kButtonClass;

}  // namespace kelmard
