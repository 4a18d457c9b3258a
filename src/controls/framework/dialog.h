// "WKDialog": the dialog class that converted templates name. A dialog class
// in the system's sense: what it does not skin goes to DefDlgProcA, so the
// dialog manager, the plug-in's dialog procedure and EndDialog work unchanged.
// A dialog with a caption gets a skinned frame and caption with its own
// caption buttons, the class icon, the title and an optional inset panel;
// every dialog gets the skin's background and WM_CTLCOLOR answers.
#pragma once
#include <windows.h>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"
#include "controls/framework/skin.h"
#include "kelmard.h"

namespace kelmard {

// The inset panel message: wParam 0 takes the corner from lParam (x low
// word, y high word; x 0 removes the panel), wParam non-zero the bottom-right
// corner of the child window whose handle is lParam's low word. Answers the
// previous corner as MAKELONG(x, y); 0 for a dialog without a skinned frame.
constexpr UINT kDialogSetPanel = WKDIALOG_SETPANEL;

// The dialog manager's window extra (DLGWINDOWEXTRA of the platform's own
// headers: 30 bytes, 48 in 64-bit builds), and one pointer-wide slot after it
// for the dialog object.
constexpr int kDialogManagerExtra = sizeof(void*) == 8 ? 48 : 30;
constexpr int kDialogWindowExtra = kDialogManagerExtra + static_cast<int>(sizeof(LONG_PTR));
#if !defined(_WIN64)
static_assert(kDialogWindowExtra == 34, "the dialog's window extra: DLGWINDOWEXTRA and 4 bytes");
#endif

// Caption button variants of the caption-button sprite.
enum CaptionButton { kCloseButton = 0, kMinimiseButton = 1, kMaximiseButton = 2, kRestoreButton = 3 };

class WKDialog {
public:
    WKDialog(HWND window, const CREATESTRUCTA& create);
    WKDialog(const WKDialog&) = delete;
    WKDialog& operator=(const WKDialog&) = delete;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnCreate(LPARAM create);
    LRESULT OnDestroy();
    LRESULT OnNcPaint(WPARAM region);
    LRESULT OnNcActivate(WPARAM active);
    LRESULT OnEraseBkgnd(HDC dc);
    LRESULT OnNcCalcSize(WPARAM validate, LPARAM params);
    LRESULT OnNcHitTest(LPARAM point);
    LRESULT OnNcLButtonDown(WPARAM hit, LPARAM point);
    LRESULT OnSetPanel(WPARAM byWindow, LPARAM value);
    LRESULT OnSetText(LPARAM text);
    LRESULT OnCtlColor(HDC dc, skin::SkinColor background, skin::SkinBrush brush);

    bool Skinned() const { return caption_ != 0; }
    bool Minimised() const { return IsIconic(window_) != FALSE; }
    DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE)); }
    DWORD ExStyle() const { return static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_EXSTYLE)); }

    void LayoutCaption();
    void PaintFrame(HRGN region, bool erase);
    void PaintPanelEdge(HDC dc, bool erase);
    void PaintCaption(HDC dc);
    RECT PaintCaptionFrame(HDC dc);
    void PaintCaptionButtons(HDC dc, int* titleStart, int* leftmostButton);
    void PaintTitle(HDC dc, const RECT& inner, int start, const char* title, int length);
    void PaintGripLines(HDC dc, int start, int leftmostButton, const char* title, int length);
    void DrawCaptionButton(int sprite, int variant, const RECT& screenRect, bool pressed, bool enabled = true);
    bool TrackCaptionButton(int variant, const RECT& screenRect);
    void ReleaseHelpButton();

    HWND window_;               // the dialog's window
    WKSkin* skin_;              // the shared skin, read only
    int active_ = 1;            // the caption is drawn active (WM_NCACTIVATE)
    DWORD modalFrame_ = 0;      // DS_MODALFRAME at creation: no icon, no system-menu hit
    DWORD caption_ = 0;         // both caption bits at creation: the frame is skinned
    RECT captionRect_{};        // the caption band, screen coordinates (as the rectangles below)
    RECT closeButton_{};        // the close button
    RECT maximiseButton_{};     // the maximise/restore button (empty without the boxes)
    RECT minimiseButton_{};     // the minimise button (empty without the boxes)
    RECT icon_{};               // the class icon (empty without it)
    RECT helpButton_{};         // the context-help button
    int captionHeight_ = 0;     // the system caption height the band is made of
    int panelX_ = 0, panelY_ = 0;  // the inset panel's bottom-right corner, client coordinates (0: none)
    int helpPressed_ = 0;       // the help button is drawn pressed
};

// The class table's row of "WKDialog" (registered by its own function).
extern ControlClass kDialogClass;

// RegisterClassA of "WKDialog": CS_VREDRAW | CS_HREDRAW | CS_OWNDC |
// CS_GLOBALCLASS, kDialogWindowExtra bytes of window extra, the skin's dialog
// icon, the arrow cursor, no background.
ATOM RegisterDialogClass(HINSTANCE instance, ControlClass& row);

}  // namespace kelmard
