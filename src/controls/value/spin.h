// "WKSpin": the skinned up-down control. Two arrow buttons step an integer
// value kept in the range the dialog sets, usually shown in a buddy window
// (an edit box) beside it: the spin writes the value into the buddy's text
// and reads it back before every step, aligns itself to the buddy, and can
// take the buddy's Up and Down keys. It answers the UDM_* messages a dialog
// written for the system's up-down control sends; it sends nothing of its
// own: the owner hears of changes from the buddy (EN_CHANGE).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"
#include "controls/value/spin_layout.h"
#include "owners/win32_owners.h"

namespace kelmard {

class WKSpin : public WKControl {
public:
    explicit WKSpin(HWND window);
    ~WKSpin() override;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(const CREATESTRUCTA* create) override;
    LRESULT OnDestroy() override;
    LRESULT OnSize(WPARAM type, LPARAM size) override;
    LRESULT OnPaint() override;
    LRESULT OnSetFocus(HWND lost) override;
    LRESULT OnEnable(WPARAM enabled) override;
    LRESULT OnKeyUp(WPARAM key, LPARAM flags) override;
    LRESULT OnKeyDown(WPARAM key, LPARAM flags) override;
    LRESULT OnMouseMove(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point) override;
    LRESULT OnLButtonUp(WPARAM keys, LPARAM point) override;
    // The buddy's messages while the spin holds its keys: Up and Down step
    // the spin; everything else goes on to the buddy's own procedure.
    virtual LRESULT BuddyWindowProc(HWND buddy, UINT message, WPARAM wParam, LPARAM lParam);
    // The buddy is being destroyed: the spin forgets it.
    void BuddyDestroyed();

private:
    LRESULT OnSetRange(spin::Range range);
    LRESULT OnGetRange32(WPARAM minimum, LPARAM maximum) const;
    LRESULT OnSetPos(int position);
    LRESULT OnGetPos();
    LRESULT OnGetPos32(LPARAM failed);
    LRESULT OnSetBuddy(HWND buddy);
    LRESULT OnSetBase(WPARAM base);
    LRESULT OnSetAccel(WPARAM count, LPARAM table);
    LRESULT OnGetAccel(WPARAM count, LPARAM table) const;
    LRESULT OnTimer();
    LRESULT OnCaptureChanged(HWND gaining);
    LRESULT OnCancelMode();

    // Buddy: attach (placing both and taking its keys), give back its room, release.
    HWND AttachBuddy(HWND buddy);
    void GiveBackRoom();
    void ReleaseBuddy();
    void TakeBuddyKeys();
    bool BuddyHoldsInteger() const;
    // Reads the position from the buddy's text (with UDS_SETBUDDYINT); false
    // when the text was not exactly a number within the range.
    bool ReadBuddy();
    // Stores the position (clamped) and writes it into the buddy's text when it differs.
    void SetPosition(long long position);
    // One step of `increment` by `arrow`, from the position the buddy shows.
    void StepBy(spin::Arrow arrow, int increment);
    // Ends a hold of the mouse: no timer, no capture, no arrow pressed.
    void EndHold();
    void SetPressed(spin::Arrow arrow);
    spin::Arrow ArrowUnderCursor() const;
    void Layout();
    void PaintArrow(HDC dc, const Rect& where, HICON icon, bool pressed);

    HWND buddy_ = nullptr;                          // the buddy window, or none
    spin::Arrows arrows_{};                         // the arrows' rectangles in the client
    Extent size_{};                                 // the client size they were laid out for
    spin::Arrow captured_ = spin::Arrow::kNone;     // the arrow a held mouse button went down on
    spin::Arrow pressed_ = spin::Arrow::kNone;      // the arrow drawn pressed
    spin::Arrow keyArrow_ = spin::Arrow::kNone;     // the arrow a held Up or Down key presses
    int repeats_ = 0;                               // steps of the current hold after its first
    bool enabled_;                                  // WS_DISABLED is off
    UniqueIcon upIcon_, downIcon_;                  // the arrows' glyphs, made for the arrows' size
    bool holdsBuddyKeys_ = false;                   // the buddy's Up and Down keys come here
    sys::Bits takenRoom_ = 0;                       // the alignment bit whose room was taken from the buddy
    spin::Range range_;                             // the range as set, its maximum the up arrow's end
    int base_ = 10;                                 // the buddy's text in base 10 or 16
    int position_ = 0;                              // the value
    spin::Accel accels_[spin::kMaxAccels];          // the acceleration table
    int accelCount_ = 0;                            // its rows
};

// The class table's row for "WKSpin".
extern ControlClass kSpinClass;

}  // namespace kelmard
