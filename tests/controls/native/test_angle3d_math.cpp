// The 3D angle control's window-free rules: whole degrees that come back as
// they were set, snapping, tilt limits, drags by kind and the degenerate
// layouts and points that must give no rotation.
#include <gtest/gtest.h>

#include <cmath>

#include "controls/value/angle3d_math.h"

namespace {

using namespace kelmard;
using namespace kelmard::angle3d;

double Deg(double d) { return d * kPi / 180; }

// What the control hands out after a set: the kept angles as floats.
Angles KeptAsFloats(const Angles& a) {
    const Angles n = Normalize(a, {}).angles;
    return {static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)};
}
testing::AssertionResult Same(const Angles& a, const Angles& b) {
    if (a.x == b.x && a.y == b.y && a.z == b.z) return testing::AssertionSuccess();
    return testing::AssertionFailure() << a.x << ' ' << a.y << ' ' << a.z << " against " << b.x << ' ' << b.y << ' ' << b.z;
}

TEST(AngleDegrees, EveryWholeDegreeOnEachAxisComesBackExactlyWithoutDrift) {
    for (int axis = 0; axis < 3; ++axis)
        for (int d = -179; d <= 180; ++d) {
            Angles set{0, 0, 0};
            (axis == 0 ? set.x : axis == 1 ? set.y : set.z) = static_cast<float>(d * kPi / 180);
            const Angles got = KeptAsFloats(set);
            ASSERT_TRUE(Same(got, set)) << "axis " << axis << ", " << d << " degrees";
            ASSERT_TRUE(Same(KeptAsFloats(got), got)) << "get, then set what was got";
        }
    // Between degrees: truncated; one turn more or less: the same angle; half round about x and z is about y.
    EXPECT_NEAR(Normalize({0.5, 0, 0}, {}).angles.x, Deg(28), 1e-12);
    EXPECT_NEAR(Normalize({Deg(-30) - 2 * kPi, Deg(400), 0}, {}).angles.x, Deg(-30), 1e-12);
    EXPECT_NEAR(Normalize({0, Deg(400), 0}, {}).angles.y, Deg(40), 1e-12);
    EXPECT_TRUE(Same(Normalize({kPi, Deg(30), kPi}, {}).angles, Normalize({0, Deg(150), 0}, {}).angles));
}

TEST(AngleDegrees, RotationsAndAnglesConvertBothWaysToTheSameWholeDegrees) {
    for (int x = -179; x <= 180; x += 7)  // ±180 about x or z has two names
        for (int y = -89; y <= 89; y += 11)
            for (int z = -179; z <= 180; z += 13) {
                const Angles a{Deg(x), Deg(y), Deg(z)};
                ASSERT_TRUE(Same(Normalize(ToAngles(FromAngles(a)), {}).angles, Normalize(a, {}).angles))
                    << x << ' ' << y << ' ' << z;
            }
}

TEST(AngleSteps, SnapToTheNearestMultipleTiesUpward) {
    Limits fifteen, seven;
    fifteen.step = 15;
    seven.step = 7;  // counted from -360: 0 degrees is -3
    EXPECT_NEAR(Normalize({Deg(52), 0, 0}, fifteen).angles.x, Deg(45), 1e-12);
    EXPECT_NEAR(Normalize({Deg(53), 0, 0}, fifteen).angles.x, Deg(60), 1e-12);
    EXPECT_NEAR(Normalize({0, Deg(-53), 0}, fifteen).angles.y, Deg(-60), 1e-12);
    EXPECT_NEAR(Normalize({0, 0, 0}, seven).angles.z, Deg(-3), 1e-12);
}

TEST(AngleLimits, HoldTheFrontAxisWithinTheTilt) {
    Limits upTo45, atLeast10;
    upTo45.maxTilt = DegreesToRadians(45);
    atLeast10.minTilt = DegreesToRadians(10);
    const Normal far = Normalize({Deg(60), 0, 0}, upTo45);
    EXPECT_TRUE(far.limited);
    EXPECT_NEAR(far.angles.x, Deg(45), 1e-9);
    EXPECT_FALSE(Normalize({0, Deg(30), Deg(170)}, upTo45).limited);
    EXPECT_NEAR(Tilt(Normalize({0, kPi, 0}, upTo45).angles), Deg(45), 1e-9) << "turned half round";
    const Normal straight = Normalize({0, 0, 0}, atLeast10);  // no direction to tilt in: about x
    EXPECT_TRUE(straight.limited);
    EXPECT_NEAR(straight.angles.x, Deg(10), 1e-9);
    // The ball dragged far to one side stops at 45 degrees.
    const Layout l = ComputeLayout({0, 0, 200, 200}, false);
    Quat d;
    ASSERT_TRUE(DragRotation(kBall, l, upTo45, l.cx + 3 * l.ri, l.cy, &d));
    EXPECT_NEAR(Tilt(Normalize(ToAngles(d), upTo45).angles), Deg(45), 1e-9);
    // Held off the axes, the angles are whole degrees within the limit, and read back and set again they stay.
    Limits upTo37;
    upTo37.maxTilt = DegreesToRadians(37);
    for (const Angles a : {Angles{Deg(40), Deg(-30), Deg(-7)}, Angles{Deg(20), Deg(-50), 0}, Angles{Deg(-60), Deg(25), Deg(90)}}) {
        const Normal held = Normalize(a, upTo37);
        ASSERT_TRUE(held.limited);
        for (double v : {held.angles.x, held.angles.y, held.angles.z})
            EXPECT_NEAR(v / Deg(1), std::round(v / Deg(1)), 1e-9);
        EXPECT_LE(Tilt(held.angles), Deg(37) + 1e-9);
        EXPECT_GT(Tilt(held.angles), Deg(36));
        const Angles read{static_cast<float>(held.angles.x), static_cast<float>(held.angles.y),
                          static_cast<float>(held.angles.z)};
        EXPECT_TRUE(Same(Normalize(read, upTo37).angles, held.angles));
    }
}

TEST(AngleLayout, TellsWhatAPressDragsAndAStripTurnsAlikeAtAnySize) {
    const Layout l = ComputeLayout({0, 0, 200, 200}, false), ball = ComputeLayout({0, 0, 200, 120}, true);
    EXPECT_EQ(KindAt(l, l.cx, l.cy), kBall);
    EXPECT_EQ(KindAt(l, l.ball.left + 1, l.ball.top + 1), kRing) << "a corner of the ball's square";
    EXPECT_EQ(KindAt(l, l.right.left + 3, l.cy), kRightStrip);
    EXPECT_EQ(KindAt(l, l.cx, l.bottom.top + 3), kBottomStrip);
    EXPECT_EQ(KindAt(ball, ball.ball.left + 1, ball.ball.top + 1), kBall) << "no ring in ball-only mode";
    Quat big, small;
    const Layout s = ComputeLayout({0, 0, 100, 100}, false);
    ASSERT_TRUE(DragRotation(kRightStrip, l, {}, l.right.left, (l.right.top + l.right.bottom) / 2 - 31, &big));
    ASSERT_TRUE(DragRotation(kRightStrip, s, {}, s.right.left, (s.right.top + s.right.bottom) / 2 - 31, &small));
    EXPECT_NEAR(ToAngles(big).x, ToAngles(small).x, Deg(2));
    EXPECT_GT(std::fabs(ToAngles(big).x), Deg(80));
}

TEST(AngleLayout, DegenerateSizesAndPointsGiveNoRotationAndNoNaN) {
    for (const Rect& client : {Rect{0, 0, 0, 0}, Rect{0, 0, 1, 1}, Rect{0, 0, 5, 300}}) {
        const Layout l = ComputeLayout(client, false);
        EXPECT_TRUE(l.right.width() >= 0 && l.bottom.height() >= 0 && l.image.cx >= 0 && l.image.cy >= 0);
        EXPECT_LE(l.square.left, l.square.right);
        Quat q{};
        EXPECT_FALSE(DragRotation(kBall, l, {}, l.cx + 1, l.cy, &q)) << "no radius to turn on";
        int ticks[18];
        EXPECT_EQ(StripTicks(l.right.height(), 0.3, ticks), 0);
        EXPECT_EQ(StripPhase(l.cy - 5, l.cy, l.right.height(), 0.3), 0.3) << "no strip height: the phase stays";
    }
    const Layout l = ComputeLayout({0, 0, 200, 200}, false);
    Quat q{1, 2, 3, 4};
    EXPECT_FALSE(DragRotation(kRing, l, {}, l.cx, l.cy, &q)) << "the ring's centre has no direction";
    EXPECT_EQ(q.w, 4);
    ASSERT_TRUE(DragRotation(kRing, l, {}, l.cx - 70, l.cy + 1, &q));
    EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.w));
    EXPECT_EQ(WholeDegrees(std::nan("")), 360) << "not a number: no degrees";
}

TEST(AngleSphere, DrawsOnlyTheHalfOfACircleThatFacesTheViewer) {
    const Layout l = ComputeLayout({0, 0, 200, 200}, false);
    StrokePoint p[kCirclePoints];
    const Matrix straight = RotationMatrix({0, 0, 0});
    ASSERT_EQ(SphereCircle(straight, {0, 0, 0}, {0, 0, 0}, 1, l, p), kCirclePoints) << "the equator faces the viewer";
    EXPECT_TRUE(p[0].x == l.cx + l.ri && p[0].y == l.cy);
    const int n = SphereCircle(straight, {0, 0, 0}, {0, kPi / 2, 0}, 1, l, p);
    EXPECT_TRUE(n < kCirclePoints * 3 / 4 && n > kCirclePoints / 3) << n;
}

}  // namespace
