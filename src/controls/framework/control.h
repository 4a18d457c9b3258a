// WKControl, the base of the skinned controls: it turns window messages into
// virtual operations, keeps the control's text, font and id, builds the
// notifications to the parent, and gives every control the shared skin. A
// superclass of a system control (edit, static; list box, combo box and tree
// view to come) hands what it leaves to the system class's procedure through
// the base. The static window procedure of a class ties each window to one
// heap object, made at WM_NCCREATE and deleted at WM_DESTROY.
#pragma once
#include <windows.h>

#include <memory>
#include <new>

#include "controls/framework/skin.h"

namespace kelmard {

struct ControlClass;

class WKControl {
public:
    explicit WKControl(HWND window);
    // A superclass's object: messages it leaves go to `row`'s system class.
    WKControl(HWND window, const ControlClass& row);
    virtual ~WKControl();
    WKControl(const WKControl&) = delete;
    WKControl& operator=(const WKControl&) = delete;

    // Every message of the window; the base dispatches to the operations below
    // and passes the rest to DefWindowProcA.
    virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCreate(const CREATESTRUCTA* create);
    virtual LRESULT OnDestroy();
    virtual LRESULT OnSize(WPARAM type, LPARAM size);
    virtual LRESULT OnPaint();
    virtual LRESULT OnNcPaint(WPARAM region);
    virtual LRESULT OnNcActivate(WPARAM active);
    virtual LRESULT OnEraseBkgnd(HDC dc);
    virtual LRESULT OnSetFocus(HWND lost);
    virtual LRESULT OnKillFocus(HWND gaining);
    virtual LRESULT OnEnable(WPARAM enabled);
    virtual LRESULT OnKeyUp(WPARAM key, LPARAM flags);
    virtual LRESULT OnKeyDown(WPARAM key, LPARAM flags);
    virtual LRESULT OnMouseMove(WPARAM keys, LPARAM point);
    virtual LRESULT OnLButtonDown(WPARAM keys, LPARAM point);
    virtual LRESULT OnLButtonUp(WPARAM keys, LPARAM point);
    // Replaces the text copy (null: the empty text). 1 on success, 0 when
    // memory ran out (the control then has no text).
    virtual LRESULT OnSetText(const char* text);
    virtual LRESULT OnSetFont(HFONT font, LPARAM redraw);

    // The control's font, asking the parent for its font while the control
    // has none; null when neither has one. Painting selects it for its scope:
    //   SelectGuard font(dc, ControlFont());
    HFONT ControlFont();
    // Repaints the whole client at once, without erasing the background.
    void Redraw();

    HWND window() const { return window_; }
    const char* text() const { return text_.get(); }
    int textLength() const { return textLength_; }

protected:
    DWORD Style() const { return static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)); }
    LRESULT GetText(WPARAM size, LPARAM buffer) const;
    // The notifications to the parent, built here only: WM_PARENTNOTIFY with
    // `event`, and WM_COMMAND with the control's id and `code`.
    void NotifyParent(UINT event);
    void NotifyCommand(WORD code);
    // WM_COMMAND with the control's id and `code`, and a point (x, y) in
    // lParam instead of the window (the bitmap view's picks).
    void NotifyCommandPoint(WORD code, int x, int y);
    // WM_HSCROLL (WM_VSCROLL when `vertical`) with `code` and `position` in
    // wParam and this window in lParam, as the trackbar reports.
    void NotifyScroll(bool vertical, WORD code, WORD position);
    // WM_NOTIFY with a bare NMHDR of `code` (TCN_...); the parent's answer, 0 without a parent.
    LRESULT NotifyHeader(UINT code);
    // WM_DROPFILES to the parent, this window in lParam (0 without a parent).
    LRESULT PassDroppedFiles(WPARAM drop);
    // Superclasses: a message to the system class's procedure (to the base's
    // dispatch when the system class is unknown).
    LRESULT CallSystem(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Superclasses that keep the system's non-client area (its border and
    // scroll bars): WM_NCPAINT or WM_NCACTIVATE drawn by the platform first,
    // then the skinned border over the outer edge; the border's answer.
    LRESULT SkinBorderOverSystem(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PaintClientEdge(WPARAM region, bool useRegion);

    HWND window_;                       // the control's window
    HWND parent_;                       // its parent at creation, told of clicks and changes
    int focus_ = 0;                     // 1 while the control has the focus
    int id_;                            // the control id, in the parent's notifications
    std::unique_ptr<char[]> text_;      // the window text (own classes), null when memory ran out
    int textLength_ = 0;                // its length without the terminator
    HFONT font_ = nullptr;              // WM_SETFONT's font, borrowed, never freed
    int dialogCode_ = DLGC_STATIC;      // the answer to WM_GETDLGCODE
    WKSkin* skin_;                      // the shared skin, read only
    WNDPROC systemProcedure_ = nullptr; // superclasses: the system class's procedure
};

// How a window class is registered.
enum class ClassKind {
    Own,         // RegisterOwnClass; the object pointer in GWLP_USERDATA
    Superclass,  // RegisterSuperclass of a system class; the pointer in the last window-extra slot
    Custom,      // the row's own register function
};

// One window class of the library: a row of the class table.
struct ControlClass {
    const char* name;
    ClassKind kind;
    const char* systemClass;  // superclasses: the system class extended
    WNDPROC procedure;        // the class's static window procedure
    // The object for a new window (the class may choose by style); null when
    // memory ran out.
    WKControl* (*make)(HWND window, const CREATESTRUCTA& create);
    ATOM (*registerCustom)(HINSTANCE instance, ControlClass& row);  // Custom only
    WNDPROC systemProcedure;  // superclasses: the system class's procedure, saved at registration
};

// RegisterClassA: style | CS_GLOBALCLASS, no extra bytes, the arrow cursor, no background.
ATOM RegisterOwnClass(HINSTANCE instance, const char* name, WNDPROC procedure, UINT style);
// RegisterClassA of a copy of a system class with style | CS_GLOBALCLASS, the
// given procedure, one pointer-sized slot more of window extra (the object
// pointer), the instance and the name. The system class's procedure goes to
// `systemProcedure` (if given). Answers 0, registering nothing, when the
// system class does not exist.
ATOM RegisterSuperclass(HINSTANCE instance, const char* name, WNDPROC procedure, const char* systemClass,
                        WNDPROC* systemProcedure = nullptr);

// The object attached to a window of the class, or null.
WKControl* AttachedControl(HWND window, const ControlClass& row);

// The static window procedure shared by every class of the table.
LRESULT RunControlProc(ControlClass& row, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window procedure of one class: ClassProc<row>.
template <ControlClass& Row>
LRESULT CALLBACK ClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunControlProc(Row, window, message, wParam, lParam);
}

// Object factory for a class with one control type.
template <typename T>
WKControl* MakeControl(HWND window, const CREATESTRUCTA&) {
    return new (std::nothrow) T(window);
}

}  // namespace kelmard
