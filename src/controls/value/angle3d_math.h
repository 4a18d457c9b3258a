// The 3D angle control's rules that need no window: the rotation matrix of
// three angles, quaternions and the conversions between the two, the angles
// kept to whole degrees, snapped to a step and limited in tilt, the control's
// layout (ball, strips, ring) with its hit tests, the rotation a pointer
// drags, the keys' simulated drags, and the wire sphere and tick marks as
// lines to draw. Portable: built in every build.
//
// Angles are radians. The arithmetic runs in double; the control hands its
// owner 32-bit floats, and a float it handed out comes back as the same
// whole degree (a small epsilon before the truncation to degrees).
#pragma once
#include <cstdint>

#include "controls/framework/geometry.h"

namespace kelmard {
namespace angle3d {

constexpr double kPi = 3.14159265358979323846;

struct Vec3 {
    double x, y, z;
};
struct Quat {
    double x, y, z, w;
};
struct Angles {
    double x, y, z;
};
// Rows 0-2 rotate (a point p becomes p · M), row 3 is a translation.
struct Matrix {
    double m[4][4];
};

// The matrix of the angles (x about X, y about Y, z about Z) with a translation.
Matrix RotationMatrix(const Angles& a, const Vec3& translation = {0, 0, 0});
// a ⊗ b, the inverse (conjugate over the squared norm), the unit quaternion.
Quat Multiply(const Quat& a, const Quat& b);
Quat Inverse(const Quat& q);
Quat Normalised(const Quat& q);
// The rotation by `angle` about `axis` (normalised; (1, 0, 0) when it has no length).
Quat AxisAngle(const Vec3& axis, double angle);
constexpr Quat kIdentity{0, 0, 0, 1};
// Conversions between angles and rotations, inverse to each other.
Quat FromAngles(const Angles& a);
Angles ToAngles(const Quat& q);

// What the owner sets: tilt limits (radians) and the step (whole degrees, at least 1).
struct Limits {
    double minTilt = 0, maxTilt = kPi;
    int step = 1;
};
// A tilt setter's degrees in radians.
double DegreesToRadians(std::int32_t degrees);
// The whole degree of an angle: the truncation with a small epsilon, so that
// a float of n degrees gives n back.
std::int64_t WholeDegrees(double radians);
// A whole number of degrees snapped to the nearest multiple of `step`
// (ties upward), as the control counts them: offset by 360.
std::int64_t Snapped(std::int64_t offsetDegrees, int step);
// The angle of the front axis from the viewing axis.
double Tilt(const Angles& a);

// The angles made whole degrees, snapped, brought into -π..π and held within
// the tilt limits. A limited orientation is also given as a rotation in
// `limited` (set only then), for the drag that is running to continue from.
struct Normal {
    Angles angles;
    bool limited = false;
    Quat limitedRotation = kIdentity;
};
Normal Normalize(const Angles& a, const Limits& limits);

// The pieces of the skin element, in its pixels: the element's width, the
// ball cell, the ring's half-width and mid diameter, the tick band and the
// strips' track.
struct Element {
    int width = 110, ballCell = 90, ringHalfWidth = 11, ringDiameter = 75, tickStart = 93, tickEnd = 101,
        trackStart = 11, trackEnd = 74;
};

// What a press starts to drag.
enum Kind : int { kBall = 0, kRightStrip = 1, kBottomStrip = 2, kRing = 3 };

struct Layout {
    bool ballOnly = false;
    Rect client{}, square{}, ball{}, right{}, bottom{};  // empty rectangles when there is no room
    int rightBandLeft = 0, rightBandRight = 0;           // the right strip's tick band (x)
    int bottomBandTop = 0, bottomBandBottom = 0;         // the bottom strip's tick band (y)
    int cx = 0, cy = 0, ro = 0, ri = 0;                  // centre, outer and inner ring radius
    int ballSize = 0;                                    // the ball's width (its cells' size in the image)
    Extent image{};                                      // the prepared image: three looks of ball and strips
};
Layout ComputeLayout(const Rect& client, bool ballOnly, const Element& element = {});

// What a press at (x, y) drags: the ring beyond Ri, a strip over it, else the ball.
Kind KindAt(const Layout& layout, int x, int y);
// The hover cursor's strip at (x, y): kRightStrip, kBottomStrip or kBall (none).
Kind StripAt(const Layout& layout, int x, int y);

// The rotation of a drag of `kind` at (x, y). False (and `out` untouched) for
// a point that gives no rotation: a ball without a radius, the ring's centre.
bool DragRotation(Kind kind, const Layout& layout, const Limits& limits, int x, int y, Quat* out,
                  const Element& element = {});

// A key's simulated drag: from one point to another; false for other keys.
struct KeyDrag {
    int fromX, fromY, toX, toY;
};
bool KeyDragFor(std::uint32_t key, const Layout& layout, int step, KeyDrag* out);

// A line of the picture.
struct Segment {
    int x0, y0, x1, y1;
};
// A stroke of a wire circle: move to or draw to a point.
struct StrokePoint {
    int x, y;
    bool move;
};
constexpr int kCirclePoints = 182;  // the start and 181 steps of 2 degrees
// One circle of the wire sphere on `orientation` (offset, turn, scale as the
// six circles of the picture use them); its hidden half is left out. Answers
// the number of points written.
int SphereCircle(const Matrix& orientation, const Vec3& offset, const Angles& turn, double scale, const Layout& layout,
                 StrokePoint out[kCirclePoints]);
// The six circles: three great circles and three small circles round the poles.
struct CirclePlace {
    Vec3 offset;
    Angles turn;
    double scale;
};
extern const CirclePlace kSphereCircles[6];

// The tick marks' turn in a strip from the last pointer coordinate (y of the
// right strip, x of the bottom strip) about the centre's; the phase as it
// was when the strip has no height.
double StripPhase(int pointer, int centre, int stripHeight, double phase, const Element& element = {});
// The ticks of a strip: offsets from the centre (at most 18). Answers how many.
int StripTicks(int stripHeight, double phase, int out[18], const Element& element = {});
// The ring's 12 ticks.
void RingTicks(const Layout& layout, double phase, Segment out[12]);

}  // namespace angle3d
}  // namespace kelmard
