// "WKAngle3D": the skinned 3D orientation control. A ball with a wire sphere
// that turns with the orientation, a strip at its right (tilt), a strip below
// it (turn) and a ring around it (roll); dragged with the mouse or turned with
// the keys. It answers the ANM_* messages of kelmard.h and tells its parent of
// changes with WM_COMMAND and the ANN_* codes.
#pragma once
#include <windows.h>

#include "controls/framework/control.h"
#include "controls/value/angle3d_math.h"
#include "kelmard.h"
#include "owners/win32_owners.h"

namespace kelmard {

class AngleLines;  // the picture's lines, gathered for one PolyPolyline (angle3d.cpp)

// The angle control's private messages.
constexpr UINT kAngleSetMinTilt = ANM_SETMINTILT;
constexpr UINT kAngleSetMaxTilt = ANM_SETMAXTILT;
constexpr UINT kAngleSetStep = ANM_SETSTEP;
constexpr UINT kAngleGetAngles = ANM_GETANGLES;
constexpr UINT kAngleSetAngles = ANM_SETANGLES;
constexpr UINT kAngleSetMode = ANM_SETMODE;

class WKAngle3D : public WKControl {
public:
    explicit WKAngle3D(HWND window);

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
    LRESULT OnGetAngles(LPARAM out) const;
    LRESULT OnSetAngles(LPARAM in);
    LRESULT OnSetMode(LPARAM mode);
    LRESULT OnCaptureChanged(HWND gaining);
    LRESULT OnCancelMode();

    // Lays out ball, strips and ring from the client size and prepares the image.
    void BuildImages();
    // The angles made whole, snapped and limited; `drag` is the drag rotation
    // a limited orientation re-bases. Answers what Normalize found.
    angle3d::Normal Keep(const angle3d::Angles& angles, const angle3d::Quat& drag);
    // The drag rotation at a point, or the last one when the point gives none.
    angle3d::Quat DragAt(int x, int y);
    // The steps of a drag: the button-down (capture, focus, ANN_TRACKING) and
    // the end (capture released, ANN_CHANGED). False when the parent
    // destroyed the control meanwhile: touch nothing then.
    bool BeginDrag(int x, int y);
    bool EndDrag(int x, int y);
    void DragTo(int x, int y);
    void Hover(int x, int y);
    // Home and End: an orientation set outright, within the limits.
    void SetOrientation(const angle3d::Angles& angles);
    // WM_COMMAND with `code`; false when the parent destroyed the control meanwhile.
    bool Notify(WORD code);

    void Compose(HDC target);
    void DrawLooks(HDC dc) const;
    void DrawSphere(AngleLines& lines) const;
    void DrawTicks(AngleLines& lines);

    angle3d::Limits limits_;                 // tilt limits (radians) and the step (degrees)
    angle3d::Angles angles_{0, 0, 0};        // the orientation: x, y, z in radians, whole degrees
    angle3d::Kind kind_ = angle3d::kBall;    // what the drag in progress turns
    int lastKind_ = angle3d::kBall;          // the kind that last moved; the paint takes strip and ring kinds
    double rightPhase_ = 0;                  // turn of the right strip's ticks
    double bottomPhase_ = 0;                 // turn of the bottom strip's ticks
    double ringPhase_ = 0;                   // turn of the ring's ticks
    int lastX_ = 0, lastY_ = 0;              // the last pointer point of a drag
    bool dragging_ = false;                  // from the button-down here to the end of the drag
    HCURSOR remembered_ = nullptr;           // the cursor a hover cursor replaced (shared, never destroyed)
    angle3d::Layout layout_;                 // client, square, ball, strips, bands, centre and radii
    angle3d::Element element_;               // the skin element's numbers
    bool enabled_ = true;                    // the window is enabled
    LPARAM mode_ = 0;                        // 0 ball, strips and ring; otherwise the ball alone
    angle3d::Quat base_ = angle3d::kIdentity;     // the orientation a drag's rotation is applied to
    angle3d::Quat lastDrag_ = angle3d::kIdentity; // the drag rotation of the last point that gave one
    UniqueBitmap image_;                     // the prepared image (three looks), owned
};

// The class table's row for "WKAngle3D".
extern ControlClass kAngle3DClass;

}  // namespace kelmard
