// "WKAngle3D" driven by its messages, keys with and without tilt limits, drags of the ball, the
// strips and the ring, drags cut short, degenerate sizes and input; its paint in each look.
#include <cmath>
#include <limits>

#include "support.h"

namespace {

using namespace ctl_test;
using namespace seq;
namespace sk = kelmard::skin;

constexpr int kAngle = 1, kOther = 2;
constexpr double kPi = 3.14159265358979323846;

// 160 x 160: the ball (2, 2)-(130, 130), centre (63, 63), inner radius 45;
// the right strip from x 130, the bottom strip from y 130.
constexpr int kCentre = 63, kRightStripX = 144, kBottomStripY = 144;

const Msg kTracking = Command(kAngle, ANN_TRACKING);
const Msg kChanged = Command(kAngle, ANN_CHANGED);

struct Angles {
    float x, y, z;
};
Angles Get(HWND angle) {
    float a[3] = {-9, -9, -9};
    SendMessageA(angle, ANM_GETANGLES, 0, reinterpret_cast<LPARAM>(a));
    return {a[0], a[1], a[2]};
}
void Set(HWND angle, float x, float y, float z) {
    float a[3] = {x, y, z};
    SendMessageA(angle, ANM_SETANGLES, 0, reinterpret_cast<LPARAM>(a));
}
double Degrees(float radians) { return radians * 180 / kPi; }
// Where the object's front axis points on the screen (right and up positive).
double FrontRight(const Angles& a) {
    return -(std::cos(a.z) * std::cos(a.x) * std::sin(a.y) + std::sin(a.z) * std::sin(a.x));
}
double FrontUp(const Angles& a) {
    return -(std::sin(a.z) * std::cos(a.x) * std::sin(a.y) - std::cos(a.z) * std::sin(a.x));
}
double TiltDegrees(const Angles& a) { return std::acos(std::cos(a.x) * std::cos(a.y)) * 180 / kPi; }

class Angle3D : public ControlDialog {
protected:
    void SetUp() override {
        ControlDialog::SetUp();
        angle_ = Make("WKAngle3D", "", WS_TABSTOP, kAngle, 10, 10, 160, 160);
        Make("Button", "other", BS_PUSHBUTTON, kOther, 200, 10, 80, 24);
    }
    Step Expect(const char* what, std::function<void(const Angles&)> check) {
        return Do(what, [this, check](HWND) { check(Get(angle_)); });
    }
    HWND angle_ = nullptr;
};

TEST_F(Angle3D, AnswersItsMessagesAndIgnoresNullAndNonFiniteAngles) {
    EXPECT_EQ(SendMessageA(angle_, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    EXPECT_TRUE(Get(angle_).x == 0 && Get(angle_).y == 0 && Get(angle_).z == 0);
    EXPECT_TRUE(Run({Do("set 0.5 radians about x", [this](HWND) { Set(angle_, 0.5f, 0, 0); })}));  // tells nobody
    EXPECT_FLOAT_EQ(Get(angle_).x, static_cast<float>(28 * kPi / 180)) << "whole degrees, truncated";
    SendMessageA(angle_, ANM_SETANGLES, 0, 0);
    Set(angle_, std::numeric_limits<float>::quiet_NaN(), 0, 0);
    Set(angle_, 0, std::numeric_limits<float>::infinity(), 0);
    EXPECT_EQ(SendMessageA(angle_, ANM_GETANGLES, 0, 0), 0) << "null: nothing written";
    EXPECT_FLOAT_EQ(Get(angle_).x, static_cast<float>(28 * kPi / 180)) << "null and non-finite input ignored";
    // Every whole degree on each axis read back and set again stays what was set.
    for (int axis = 0; axis < 3; ++axis)
        for (int d = -179; d <= 180; ++d) {
            const float set = static_cast<float>(d * kPi / 180);
            Set(angle_, axis == 0 ? set : 0, axis == 1 ? set : 0, axis == 2 ? set : 0);
            const Angles got = Get(angle_);
            Set(angle_, got.x, got.y, got.z);
            const Angles again = Get(angle_);
            ASSERT_EQ(axis == 0 ? again.x : axis == 1 ? again.y : again.z, set) << "axis " << axis << ", " << d << " degrees";
        }
}

TEST_F(Angle3D, KeysTurnWithinTheLimitsAndReportEachChange) {
    EXPECT_TRUE(Run({Focus(kAngle), KeyDown(VK_END).Sees({kChanged}), KeyUp(VK_END),
                     Expect("half round", [](const Angles& a) { EXPECT_FLOAT_EQ(a.y, static_cast<float>(kPi)); }),
                     KeyDown(VK_HOME).Sees({kChanged}),
                     Expect("home", [](const Angles& a) { EXPECT_EQ(a.x + a.y + a.z, 0); }),
                     KeyDown(VK_RIGHT).Sees({kTracking, kChanged, kChanged}),
                     Expect("turned right by 3 pixels of 45 (5 degrees, whole pixels)",
                            [](const Angles& a) { EXPECT_TRUE(FrontRight(a) > 0 && std::fabs(TiltDegrees(a) - 4) < 0.01); }),
                     KeyDown(VK_PRIOR).Sees({kTracking, kChanged, kChanged}),
                     Expect("rolled, the tilt kept",
                            [](const Angles& a) { EXPECT_TRUE(a.z != 0 && std::fabs(TiltDegrees(a) - 4) < 1); }),
                     KeyDown('A'),
                     Send(kAngle, ANM_SETMAXTILT, 0, 45), KeyDown(VK_END).Sees({kChanged}),
                     Expect("End held at 45 degrees", [](const Angles& a) { EXPECT_NEAR(TiltDegrees(a), 45, 0.01); }),
                     Send(kAngle, ANM_SETSTEP, 0, 30), KeyDown(VK_HOME).Sees({kChanged}),
                     KeyDown(VK_DOWN).Sees({kTracking, kChanged, kChanged}),
                     Expect("a step of 30",
                            [](const Angles& a) { EXPECT_TRUE(FrontUp(a) < 0 && std::fabs(Degrees(a.x) + 30) < 1e-3); })}));
    EnableWindow(angle_, FALSE);
    EXPECT_EQ(SendMessageA(angle_, WM_KEYDOWN, VK_END, 1), 0);
    EXPECT_NEAR(Degrees(Get(angle_).x), -30, 1e-3) << "disabled: keys do nothing";
}

TEST_F(Angle3D, DragsTurnTheBallTheWayThePointerMoves) {
    EXPECT_TRUE(Run({Press(kAngle, kCentre, kCentre).Sees({kTracking}), CaptureIs(kAngle), FocusIs(kAngle),
                     Move(kAngle, kCentre + 20, kCentre - 10).Sees({Many(kTracking)}),
                     Release(kAngle, kCentre + 20, kCentre - 10).Sees({kChanged}), CaptureIs(kNobody),
                     Expect("right and up", [](const Angles& a) { EXPECT_TRUE(FrontRight(a) > 0.3 && FrontUp(a) > 0.1); }),
                     // A second drag goes on from there: back to where it started.
                     Press(kAngle, kCentre + 20, kCentre - 10).Sees({kTracking}),
                     Move(kAngle, kCentre, kCentre).Sees({Many(kTracking)}), Release(kAngle, kCentre, kCentre).Sees({kChanged}),
                     Expect("back", [](const Angles& a) { EXPECT_LT(TiltDegrees(a), 2); })}));
    EXPECT_TRUE(Run({Press(kAngle, kRightStripX, kCentre + 2).Sees({kTracking}),
                     Move(kAngle, kRightStripX, kCentre + 2 - 31).Sees({Many(kTracking)}),
                     Release(kAngle, kRightStripX, kCentre + 2 - 31).Sees({kChanged}),
                     Expect("the right strip tilts about x",
                            [](const Angles& a) { EXPECT_TRUE(std::fabs(Degrees(a.x)) > 75 && FrontUp(a) > 0.9); }),
                     KeyDown(VK_HOME).Sees({kChanged}), Press(kAngle, kCentre + 50, kCentre).Sees({kTracking}),
                     Move(kAngle, kCentre, kCentre + 50).Sees({Many(kTracking)}),
                     Move(kAngle, kCentre, kCentre),  // the ring's centre: no direction, nothing changes
                     Release(kAngle, kCentre, kCentre).Sees({kChanged}),
                     Expect("the ring rolls a quarter",
                            [](const Angles& a) { EXPECT_TRUE(std::fabs(std::fabs(Degrees(a.z)) - 90) < 1 && a.x == 0); }),
                     KeyDown(VK_HOME).Sees({kChanged}), Press(kAngle, 60, kBottomStripY).Sees({kTracking}),
                     Move(kAngle, 90, kBottomStripY).Sees({Many(kTracking)}), Release(kAngle, 90, kBottomStripY).Sees({kChanged}),
                     Expect("the bottom strip turns about y",
                            [](const Angles& a) { EXPECT_TRUE(std::fabs(Degrees(a.y)) > 40 && a.x == 0); })}));
}

TEST_F(Angle3D, ADragCutShortEndsAndAReleaseWithoutAPressDoesNothing) {
    EXPECT_TRUE(Run({Release(kAngle, kCentre + 30, kCentre),  // no drag: no turn, no report
                     Expect("still", [](const Angles& a) { EXPECT_EQ(a.y, 0); }),
                     Press(kAngle, kCentre, kCentre).Sees({kTracking}), Move(kAngle, kCentre + 15, kCentre).Sees({Many(kTracking)}),
                     KeyDown(VK_END),  // keys wait for the drag's end
                     Do("capture to #2", [](HWND d) { SetCapture(GetDlgItem(d, kOther)); }).Sees({kChanged}),
                     Do("release the capture", [](HWND) { ReleaseCapture(); }), Release(kAngle, kCentre + 40, kCentre),
                     Expect("ended where the pointer last was", [](const Angles& a) { EXPECT_NEAR(TiltDegrees(a), 19, 1.5); }),
                     Press(kAngle, kCentre, kCentre).Sees({kTracking}), Send(kAngle, WM_CANCELMODE).Sees({kChanged}),
                     CaptureIs(kNobody), Move(kAngle, kCentre + 30, kCentre), Release(kAngle, kCentre + 30, kCentre),
                     Press(kAngle, kCentre, kCentre).Sees({kTracking}),
                     Do("disable", [](HWND d) { EnableWindow(GetDlgItem(d, kAngle), FALSE); }).Sees({kChanged}),
                     CaptureIs(kNobody), Press(kAngle, kCentre, kCentre), Release(kAngle, kCentre, kCentre)}));
}

TEST_F(Angle3D, BallOnlyModeTurnsTheBallWhereTheRingWas) {
    SendMessageA(angle_, ANM_SETMODE, 0, ANM_BALLONLY);  // the ball (2, 2)-(158, 158), centre (76, 76), Ri 55
    EXPECT_TRUE(Run({Focus(kAngle), KeyDown(VK_PRIOR).Sees({kTracking, kChanged, kChanged}),
                     KeyDown(VK_HOME).Sees({kChanged}), Press(kAngle, 10, 10).Sees({kTracking}),
                     Move(kAngle, 76, 76).Sees({Many(kTracking)}), Release(kAngle, 76, 76).Sees({kChanged}),
                     Expect("a corner turns the ball (the ring would only roll)",
                            [](const Angles& a) { EXPECT_GT(TiltDegrees(a), 80); })}));
}

TEST_F(Angle3D, TinySizesAndStrayInputNeitherCrashNorGiveNaN) {
    for (int size : {0, 1, 3}) {
        HWND tiny = Make("WKAngle3D", "", 0, 10 + size, 200, 60, size, size);
        SetFocus(tiny);
        for (UINT key : {VK_LEFT, VK_PRIOR, VK_NEXT, VK_END, VK_UP}) SendMessageA(tiny, WM_KEYDOWN, key, 1);
        for (const UINT m : {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP})
            SendMessageA(tiny, m, MK_LBUTTON, m == WM_MOUSEMOVE ? At(5, 9) : 0);
        SendMessageA(tiny, ANM_SETMODE, 0, ANM_BALLONLY);
        Set(tiny, std::numeric_limits<float>::quiet_NaN(), 1, 1);
        Shot(tiny);
        const Angles a = Get(tiny);
        EXPECT_TRUE(std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z)) << size << " pixels";
        SendMessageA(tiny, WM_SIZE, SIZE_RESTORED, MAKELPARAM(50, 50));
    }
}

TEST_F(Angle3D, PaintsTheWireInTheLookOfItsState) {
    const COLORREF wire = SkinColour(sk::kAlternateHighlightColor), grey = SkinColour(sk::kGreyTextColor);
    kpicture::Image shot = Shot(angle_);
    const int wireNormal = CountIn(shot, wire, 0, 0, 130, 130), greyNormal = CountIn(shot, grey, 0, 0, 130, 130);
    EXPECT_GT(CountIn(shot, wire, 137, 0, 145, 130), 5) << "the right strip's ticks";
    ASSERT_TRUE(Run({Press(kAngle, kCentre, kCentre).Sees({kTracking})}));
    const kpicture::Image dragged = Shot(angle_);
    int differ = 0;
    for (int y = 20; y < 110; ++y) differ += dragged.rgb(20, y) != shot.rgb(20, y);
    EXPECT_GT(differ, 10) << "the dragged look's ball";
    ASSERT_TRUE(Run({Release(kAngle, kCentre, kCentre).Sees({kChanged})}));
    EnableWindow(angle_, FALSE);
    shot = Shot(angle_);
    EXPECT_GT(wireNormal - CountIn(shot, wire, 0, 0, 130, 130), 200) << "the wire sphere, gone when disabled";
    EXPECT_GT(CountIn(shot, grey, 0, 0, 130, 130) - greyNormal, 200) << "the wire in grey";
}

}  // namespace
