// The 3D angle control's portable rules.
#include "controls/value/angle3d_math.h"

#include <algorithm>
#include <cmath>

#include "controls/framework/system_constants.h"

namespace kelmard {
namespace angle3d {
namespace {

constexpr double kDegree = kPi / 180;
// A float of n degrees, in degrees, lies within about 1e-5 of n: this much
// more before the truncation gives n back.
constexpr double kDegreeEpsilon = 1e-4;
// A tilt this close to a limit (rounding in the matrix) is within it.
constexpr double kTiltSlack = 1e-9;
// The pointer's reach on a unit circle stays just inside it.
constexpr double kInside = 0.99999988;
constexpr double kTiltDivisor = 1.7;      // the strips' ticks: pixels per unit of the sine
constexpr double kTickLength = 0.95 / 2;  // the ticks shown: within this share of the track
constexpr int kStripTickCount = 18, kStripTickStep = 20;  // degrees between strip ticks
constexpr int kRingTickCount = 12, kRingTickStep = 30;    // degrees between ring ticks
constexpr int kRingTickInset = 5, kRingTickOutset = 2;    // pixels from Ri out, from Ro in
constexpr int kSquareInset = 2;                           // the square inside the client
constexpr int kPageKeyPixels = 10;                        // Page Up/Down: a ring drag this far
constexpr int kLeastKeyStep = 5;                          // the arrows turn at least this many degrees

double Clamp1(double v) { return std::max(-1.0, std::min(1.0, v)); }

// The tilt limits applied to θ: below the minimum it is the minimum, above
// the maximum the maximum (whatever order the owner set them in).
double Limited(double theta, const Limits& limits) {
    if (theta < limits.minTilt) return limits.minTilt;
    if (theta > limits.maxTilt) return limits.maxTilt;
    return theta;
}

// An angle brought into -π..π by one turn.
int Wrapped(int degrees) {
    if (degrees < -180) return degrees + 360;
    if (degrees > 180) return degrees - 360;
    return degrees;
}

// The tilt of whole-degree angles, as Normalize measures it.
bool WithinLimits(const Angles& a, const Limits& limits) {
    const double tilt = std::acos(Clamp1(RotationMatrix(a).m[2][2]));
    const double off = Limited(tilt, limits) - tilt;
    return off <= kTiltSlack && -off <= kTiltSlack;
}

// A limited orientation brought to whole degrees too: of the whole degrees
// next to each angle, the combination within the limits nearest to it (so
// that the angles read back and set again stay). None within them (limits
// narrower than a degree's play): the exact angles stay.
void HoldWholeDegrees(Normal& n, const Limits& limits) {
    const double exact[3] = {n.angles.x / kDegree, n.angles.y / kDegree, n.angles.z / kDegree};
    double best = -1;
    for (int pick = 0; pick < 8; ++pick) {
        int d[3];
        for (int i = 0; i < 3; ++i)
            d[i] = Wrapped(static_cast<int>(pick & (1 << i) ? std::ceil(exact[i]) : std::floor(exact[i])));
        const Angles whole{d[0] * kPi / 180, d[1] * kPi / 180, d[2] * kPi / 180};
        if (!WithinLimits(whole, limits)) continue;
        const Quat q = FromAngles(whole);
        const Quat& e = n.limitedRotation;
        const double dot = q.x * e.x + q.y * e.y + q.z * e.z + q.w * e.w;
        const double closeness = dot < 0 ? -dot : dot;
        if (closeness > best) best = closeness, n.angles = whole;
    }
    if (best >= 0) n.limitedRotation = FromAngles(n.angles);
}

double TrackHalf(const Element& e) { return (e.trackEnd - e.trackStart) / 2.0; }

// The strips' tick geometry: T (the track in pixels), h and the shown half.
struct StripScale {
    int track, h, shown;
};
StripScale ScaleOf(int stripHeight, const Element& e) {
    const int track = e.ballCell > 0 ? stripHeight * (e.trackEnd - e.trackStart) / e.ballCell : 0;
    return {track, static_cast<int>(track / kTiltDivisor), static_cast<int>(track * kTickLength)};
}

// sin and cos of every second degree of a turn, for the wire circles; made
// once when the library loads.
struct Tables {
    double cosine[181], sine[181];
};
Tables MakeTables() {
    Tables made{};
    for (int i = 0; i <= 180; ++i) made.cosine[i] = std::cos(i * 2 * kDegree), made.sine[i] = std::sin(i * 2 * kDegree);
    return made;
}
const Tables kCircleTables = MakeTables();

Matrix Product(const Matrix& a, const Matrix& b) {
    Matrix out{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k) out.m[r][c] += a.m[r][k] * b.m[k][c];
    return out;
}

bool Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

// ---------------------------------------------------------------- rotations

Matrix RotationMatrix(const Angles& a, const Vec3& t) {
    const double cA = std::cos(a.x), sA = std::sin(a.x), cB = std::cos(a.y), sB = std::sin(a.y), cC = std::cos(a.z),
                 sC = std::sin(a.z);
    return Matrix{{{cC * cB, sC * cB, -sB, 0},
                   {cC * sA * sB - sC * cA, sC * sA * sB + cC * cA, cB * sA, 0},
                   {cC * cA * sB + sC * sA, sC * cA * sB - cC * sA, cB * cA, 0},
                   {t.x, t.y, t.z, 1}}};
}

Quat Multiply(const Quat& a, const Quat& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quat Inverse(const Quat& q) {
    const double n = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    if (n == 0) return kIdentity;
    return {-q.x / n, -q.y / n, -q.z / n, q.w / n};
}

Quat Normalised(const Quat& q) {
    const double n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (n == 0) return kIdentity;
    return {q.x / n, q.y / n, q.z / n, q.w / n};
}

Quat AxisAngle(const Vec3& axis, double angle) {
    const double length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
    const Vec3 u = length > 0 ? Vec3{axis.x / length, axis.y / length, axis.z / length} : Vec3{1, 0, 0};
    const double s = std::sin(angle / 2);
    return {u.x * s, u.y * s, u.z * s, std::cos(angle / 2)};
}

Quat FromAngles(const Angles& a) {
    const Matrix mm = RotationMatrix(a);
    const auto& m = mm.m;
    const double tX = m[0][0] - m[1][1] - m[2][2] + 1, tY = m[1][1] - m[0][0] - m[2][2] + 1,
                 tZ = m[2][2] - m[0][0] - m[1][1] + 1, tW = m[0][0] + m[1][1] + m[2][2] + 1;
    const double t = std::max(std::max(tX, tY), std::max(tZ, tW));
    const double s = 2 * std::sqrt(t);
    Quat q;
    if (t == tX) q = {t / s, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s, (m[2][1] - m[1][2]) / s};
    else if (t == tY) q = {(m[0][1] + m[1][0]) / s, t / s, (m[1][2] + m[2][1]) / s, (m[0][2] - m[2][0]) / s};
    else if (t == tZ) q = {(m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, t / s, (m[1][0] - m[0][1]) / s};
    else q = {(m[2][1] - m[1][2]) / s, (m[0][2] - m[2][0]) / s, (m[1][0] - m[0][1]) / s, t / s};
    if (q.w < 0) q = {-q.x, -q.y, -q.z, -q.w};
    return q;
}

Angles ToAngles(const Quat& q) {
    const double s = Clamp1(2 * (q.y * q.w + q.x * q.z));
    const double y = -std::asin(s);
    const double cosY = std::cos(y);
    if (cosY > 0.0005 || cosY < -0.0005)
        return {std::atan2(2 * (q.y * q.z - q.x * q.w), 1 - 2 * (q.x * q.x + q.y * q.y)), y,
                std::atan2(2 * (q.x * q.y - q.z * q.w), 1 - 2 * (q.y * q.y + q.z * q.z))};
    return {0, y, std::atan2(-2 * (q.z * q.w + q.x * q.y), -2 * (q.x * q.z - q.y * q.w) / s)};
}

// ---------------------------------------------------------------- whole degrees and limits

double DegreesToRadians(std::int32_t degrees) {
    const std::int64_t twice = std::int64_t{degrees} + degrees;
    return static_cast<double>(twice) * kPi / 360;
}

std::int64_t WholeDegrees(double radians) {
    const double degrees = radians * 180 / kPi + 360 + kDegreeEpsilon;
    if (!std::isfinite(degrees) || degrees < 0 || degrees > 1e9) return 360;
    return static_cast<std::int64_t>(degrees);
}

std::int64_t Snapped(std::int64_t n, int step) {
    if (step <= 1) return n;
    const std::int64_t half = step / 2;
    return n - ((n + half) % step - half);
}

double Tilt(const Angles& a) { return std::acos(Clamp1(RotationMatrix(a).m[2][2])); }

Normal Normalize(const Angles& a, const Limits& limits) {
    // Within one turn (x above π loses it; y and z come into -π..π), whole
    // degrees offset by 360, snapped, back without the offset. Counted in
    // degrees, where a float of ±180 is still ±180.
    double in[3] = {std::fmod(a.x * 180 / kPi, 360), std::fmod(a.y * 180 / kPi, 360), std::fmod(a.z * 180 / kPi, 360)};
    if (in[0] > 180 + kDegreeEpsilon) in[0] -= 360;
    for (int i = 1; i < 3; ++i) {
        if (in[i] < -180 - kDegreeEpsilon) in[i] += 360;
        if (in[i] > 180 + kDegreeEpsilon) in[i] -= 360;
    }
    int d[3];
    for (int i = 0; i < 3; ++i) d[i] = static_cast<int>(Snapped(WholeDegrees(in[i] * kPi / 180), limits.step) - 360);
    // Turned half round about x and z alike: the same orientation about y alone.
    if (d[0] == 180 && d[2] == 180) d[0] = 0, d[1] = -180 - d[1], d[2] = 0;
    else if (d[0] == -180 && d[2] == -180) d[0] = 0, d[1] = 180 - d[1], d[2] = 0;
    Normal out;
    out.angles = {Wrapped(d[0]) * kPi / 180, Wrapped(d[1]) * kPi / 180, Wrapped(d[2]) * kPi / 180};

    // The front axis (0, 0, -1) held within the tilt limits.
    const Matrix m = RotationMatrix(out.angles);
    const double px = -m.m[2][0], py = -m.m[2][1], pz = -m.m[2][2];
    const double tilt = std::acos(Clamp1(-pz));
    const double held = Limited(tilt, limits);
    if (held - tilt > kTiltSlack || tilt - held > kTiltSlack) {
        out.limited = true;
        out.limitedRotation = AxisAngle({py, -px, 0}, -held);
        out.angles = ToAngles(out.limitedRotation);
        HoldWholeDegrees(out, limits);
    }
    return out;
}

// ---------------------------------------------------------------- layout

Layout ComputeLayout(const Rect& client, bool ballOnly, const Element& e) {
    Layout l;
    l.ballOnly = ballOnly;
    l.client = client;
    const int width = std::max(client.width(), 0), height = std::max(client.height(), 0);
    const int size = std::min(width, height);
    const int x0 = client.left + (width - size) / 2, y0 = client.top + (height - size) / 2;
    const int w = std::max(size - 2 * kSquareInset, 0);  // too small a client: an empty square at its middle
    const int inset = size >= 2 * kSquareInset ? kSquareInset : size / 2;
    l.square = {x0 + inset, y0 + inset, x0 + inset + w, y0 + inset + w};

    if (ballOnly || e.width <= 0) {
        l.ball = l.square;
    } else {
        const int ball = w * e.ballCell / e.width + 1;
        l.ball = {l.square.left, l.square.top, l.square.left + ball, l.square.top + ball};
        l.right = {l.ball.right, l.ball.top, std::max(l.square.right, l.ball.right), l.ball.bottom};
        l.bottom = {l.ball.left, l.ball.bottom, l.ball.right, std::max(l.square.bottom, l.ball.bottom)};
        const int strip = e.width - e.ballCell;  // the strip cells' width in the skin
        if (strip > 0) {
            const int from = e.tickStart - e.ballCell, to = e.tickEnd - e.ballCell;
            l.rightBandLeft = l.right.left + from * l.right.width() / strip + from;
            l.rightBandRight = l.right.left + to * l.right.width() / strip - 1;
            l.bottomBandTop = l.bottom.top + from * l.bottom.height() / strip + from;
            l.bottomBandBottom = l.bottom.top + to * l.bottom.height() / strip - 1;
        }
    }
    l.ballSize = l.ball.width();
    const int b = l.ballSize;
    if (e.ballCell > 0) {
        l.ro = ((e.ringDiameter + e.ringHalfWidth) * b / e.ballCell) / 2;
        l.ri = ((e.ringDiameter - e.ringHalfWidth) * b / e.ballCell) / 2;
    }
    l.cx = l.ball.left + l.ro;
    l.cy = l.ball.top + l.ro;
    l.image = ballOnly ? Extent{b, 3 * b} : Extent{b + l.right.width(), 3 * b + 3 * l.bottom.height()};
    return l;
}

Kind KindAt(const Layout& l, int x, int y) {
    if (l.ballOnly) return kBall;
    Kind kind = kBall;
    const std::int64_t dx = x - l.cx, dy = y - l.cy;
    if (dx * dx + dy * dy > std::int64_t{l.ri} * l.ri) kind = kRing;
    if (x >= l.right.left && y <= l.right.bottom) kind = kRightStrip;
    if (y >= l.bottom.top && x <= l.bottom.right) kind = kBottomStrip;
    return kind;
}

Kind StripAt(const Layout& l, int x, int y) {
    if (l.ballOnly) return kBall;
    if (Inside(l.right, x, y)) return kRightStrip;
    if (Inside(l.bottom, x, y)) return kBottomStrip;
    return kBall;
}

// ---------------------------------------------------------------- drags and keys

bool DragRotation(Kind kind, const Layout& l, const Limits& limits, int x, int y, Quat* out, const Element& e) {
    Quat q;
    switch (kind) {
    case kBall: {
        if (l.ri <= 0) return false;
        double px = static_cast<double>(x - l.cx) / l.ri, py = -static_cast<double>(y - l.cy) / l.ri;
        const double length = std::sqrt(px * px + py * py);
        if (length >= 1) px *= kInside / length, py *= kInside / length;
        const double pz = -std::sqrt(std::max(0.0, 1 - px * px - py * py));
        q = AxisAngle({-py, px, 0}, std::acos(Clamp1(-pz)));
        break;
    }
    case kRightStrip:
    case kBottomStrip: {
        const double half = TrackHalf(e);
        if (half <= 0) return false;
        double t = kind == kRightStrip ? -(y - (l.right.top + l.right.bottom) / 2.0) / half
                                       : (x - (l.bottom.left + l.bottom.right) / 2.0) / half;
        t = std::max(-kInside, std::min(kInside, t));
        const double theta = Limited(std::acos(std::sqrt(1 - t * t)), limits);
        if (kind == kRightStrip) q = AxisAngle({1, 0, 0}, -(t < 0 ? -theta : theta));
        else q = AxisAngle({0, t < 0 ? -1.0 : 1.0, 0}, theta);
        break;
    }
    case kRing: {
        double dx = x - l.cx, dy = -(y - l.cy);
        const double length = std::sqrt(dx * dx + dy * dy);
        if (length == 0) return false;  // the centre has no direction
        dx /= length, dy /= length;
        double alpha;  // clockwise from straight up
        if (dx > 0 && dy > 0) alpha = std::asin(Clamp1(dx));
        else if (dx > 0) alpha = std::acos(Clamp1(dx)) + kPi / 2;
        else if (dy > 0) alpha = std::asin(Clamp1(dy)) + 3 * kPi / 2;
        else alpha = std::asin(Clamp1(-dx)) + kPi;
        q = AxisAngle({0, 0, -1}, -alpha);
        break;
    }
    default: return false;
    }
    *out = Normalised(q);
    return true;
}

bool KeyDragFor(std::uint32_t key, const Layout& l, int step, KeyDrag* out) {
    const int ringX = l.cx + l.ri + 1;
    const int d = static_cast<int>(l.ri * std::sin(std::max(step, kLeastKeyStep) * kDegree));
    switch (key) {
    case sys::kVkPrior: *out = {ringX, l.cy, ringX, l.cy - kPageKeyPixels}; return true;
    case sys::kVkNext: *out = {ringX, l.cy, ringX, l.cy + kPageKeyPixels}; return true;
    case sys::kVkLeft: *out = {l.cx, l.cy, l.cx - d, l.cy}; return true;
    case sys::kVkRight: *out = {l.cx, l.cy, l.cx + d, l.cy}; return true;
    case sys::kVkUp: *out = {l.cx, l.cy, l.cx, l.cy - d}; return true;
    case sys::kVkDown: *out = {l.cx, l.cy, l.cx, l.cy + d}; return true;
    default: return false;
    }
}

// ---------------------------------------------------------------- the picture's lines

const CirclePlace kSphereCircles[6] = {
    {{0, 0, 0}, {0, 0, 0}, 1},
    {{0, 0, 0}, {0, kPi / 2, 0}, 1},
    {{0, 0, 0}, {kPi / 2, 0, 0}, 1},
    {{0, 0, -0.86602540378443865}, {0, 0, 0}, 0.5},  // cos 30°, sin 30°
    {{0, 0, 0.86602540378443865}, {0, 0, 0}, 0.5},
    {{0, 0, -0.96592582628906829}, {0, 0, 0}, 0.25881904510252076},  // cos 15°, sin 15°
};

int SphereCircle(const Matrix& orientation, const Vec3& offset, const Angles& turn, double scale, const Layout& l,
                 StrokePoint out[kCirclePoints]) {
    if (scale == 0) return 0;
    const Vec3 o{offset.x / scale, offset.y / scale, offset.z / scale};
    const Matrix n = Product(RotationMatrix(turn, o), orientation);
    const double radius = l.ri * scale;
    auto column = [&n](const Vec3& p, int c) { return p.x * n.m[0][c] + p.y * n.m[1][c] + p.z * n.m[2][c]; };
    auto screen = [&](const Vec3& p, bool move) {
        return StrokePoint{static_cast<int>(l.cx + radius * column(p, 0)), static_cast<int>(l.cy - radius * column(p, 1)),
                           move};
    };
    int count = 0;
    out[count++] = screen({1 + o.x, o.y, o.z}, true);
    const Tables& t = kCircleTables;
    bool lifted = false;
    for (int i = 0; i <= 180; ++i) {
        const Vec3 p{o.x + t.cosine[i], o.y + t.sine[i], o.z};
        if (column(p, 2) > 0.1) {
            lifted = true;  // the far half is hidden
            continue;
        }
        out[count++] = screen(p, lifted);
        lifted = false;
    }
    return count;
}

double StripPhase(int pointer, int centre, int stripHeight, double phase, const Element& e) {
    const int h = ScaleOf(stripHeight, e).h;
    if (h <= 0) return phase;
    const int held = std::max(centre - h + 1, std::min(centre + h - 1, pointer));
    return std::asin(Clamp1(static_cast<double>(centre - held) / h));
}

int StripTicks(int stripHeight, double phase, int out[18], const Element& e) {
    const StripScale s = ScaleOf(stripHeight, e);
    int count = 0;
    for (int j = 0; j < kStripTickCount; ++j) {
        const double a = j * kStripTickStep * kDegree + phase;
        const int offset = static_cast<int>(-std::sin(a) * s.h);
        if (std::cos(a) > 0 && std::abs(offset) < s.shown) out[count++] = offset;
    }
    return count;
}

void RingTicks(const Layout& l, double phase, Segment out[12]) {
    const double r1 = l.ri + kRingTickInset, r2 = l.ro - kRingTickOutset;
    for (int j = 0; j < kRingTickCount; ++j) {
        const double a = j * kRingTickStep * kDegree + phase, c = std::cos(a), s = std::sin(a);
        out[j] = {static_cast<int>(l.cx + r1 * c), static_cast<int>(l.cy - r1 * s), static_cast<int>(l.cx + r2 * c),
                  static_cast<int>(l.cy - r2 * s)};
    }
}

}  // namespace angle3d
}  // namespace kelmard
