// "WKAngle3D": the 3D orientation control.
#include "controls/value/angle3d.h"

#include <cmath>

#include "controls/framework/draw.h"
#include "controls/value/angle3d_image.h"

namespace kelmard {
namespace {

using namespace angle3d;

static_assert(ANN_TRACKING == 0 && ANN_CHANGED == 1, "the notification codes");

int PointX(LPARAM point) { return static_cast<short>(LOWORD(point)); }
int PointY(LPARAM point) { return static_cast<short>(HIWORD(point)); }

// The look band of the prepared image.
enum Band : int { kDisabledBand = 0, kNormalBand = 1, kDraggedBand = 2 };

// Steps above a whole turn snap as a whole turn does.
constexpr LPARAM kMaxStep = 360;

bool SameRotation(const Quat& a, const Quat& b) { return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w; }

}  // namespace

// The picture's lines, gathered and drawn with one PolyPolyline: each run
// of points is one polyline (a run of a single point draws nothing).
class AngleLines {
public:
    void MoveTo(int x, int y) {
        Close();
        if (points_ < kMaxPoints) start_ = points_, Add(x, y);
    }
    void LineTo(int x, int y) { Add(x, y); }
    void Draw(HDC dc) {
        Close();
        if (runs_) PolyPolyline(dc, point_, count_, runs_);
    }

private:
    static constexpr int kMaxPoints = 6 * kCirclePoints + 2 * (2 * 18 + 12);
    void Add(int x, int y) {
        if (points_ < kMaxPoints) point_[points_++] = POINT{x, y};
    }
    void Close() {
        const int n = points_ - start_;
        if (n >= 2) count_[runs_++] = static_cast<DWORD>(n);
        else points_ = start_;
        start_ = points_;
    }
    POINT point_[kMaxPoints];
    DWORD count_[kMaxPoints];
    int points_ = 0, start_ = 0, runs_ = 0;
};

WKAngle3D::WKAngle3D(HWND window) : WKControl(window) {
    enabled_ = !(Style() & WS_DISABLED);
    dialogCode_ = DLGC_WANTARROWS;
    element_ = ElementOf(skin_->angle);
}

LRESULT WKAngle3D::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kAngleSetMinTilt: limits_.minTilt = DegreesToRadians(static_cast<std::int32_t>(lParam)); return 0;
    case kAngleSetMaxTilt: limits_.maxTilt = DegreesToRadians(static_cast<std::int32_t>(lParam)); return 0;
    case kAngleSetStep: limits_.step = static_cast<int>(lParam < 1 ? 1 : lParam > kMaxStep ? kMaxStep : lParam); return 0;
    case kAngleGetAngles: return OnGetAngles(lParam);
    case kAngleSetAngles: return OnSetAngles(lParam);
    case kAngleSetMode: return OnSetMode(lParam);
    case WM_CAPTURECHANGED: return OnCaptureChanged(reinterpret_cast<HWND>(lParam));
    case WM_CANCELMODE: return OnCancelMode();
    default: return WKControl::WindowProc(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- messages

LRESULT WKAngle3D::OnGetAngles(LPARAM out) const {
    auto* angles = reinterpret_cast<float*>(out);
    if (!angles) return 0;
    angles[0] = static_cast<float>(angles_.x);
    angles[1] = static_cast<float>(angles_.y);
    angles[2] = static_cast<float>(angles_.z);
    return 0;
}

LRESULT WKAngle3D::OnSetAngles(LPARAM in) {
    const auto* given = reinterpret_cast<const float*>(in);
    if (!given || !std::isfinite(given[0]) || !std::isfinite(given[1]) || !std::isfinite(given[2])) return 0;
    angles_ = Keep({given[0], given[1], given[2]}, base_).angles;
    base_ = FromAngles(angles_);
    Redraw();
    return 0;
}

LRESULT WKAngle3D::OnSetMode(LPARAM mode) {
    if (mode == mode_) return 0;
    mode_ = mode;
    BuildImages();
    Redraw();
    return 0;
}

LRESULT WKAngle3D::OnCaptureChanged(HWND gaining) {
    // Another window took the mouse: the drag ends where the pointer last was.
    if (dragging_ && gaining != window_) EndDrag(lastX_, lastY_);
    return 0;
}

LRESULT WKAngle3D::OnCancelMode() {
    if (dragging_) EndDrag(lastX_, lastY_);
    return 0;
}

// ---------------------------------------------------------------- layout

void WKAngle3D::BuildImages() {
    RECT client{};
    GetClientRect(window_, &client);
    layout_ = ComputeLayout(FromRECT(client), mode_ != 0, element_);
    image_ = PrepareAngleImage(skin_->angle, layout_);
}

LRESULT WKAngle3D::OnCreate(const CREATESTRUCTA* create) {
    BuildImages();
    return WKControl::OnCreate(create);
}

LRESULT WKAngle3D::OnSize(WPARAM type, LPARAM size) {
    // A control resized after its creation is laid out again.
    if ((type == SIZE_RESTORED || type == SIZE_MAXIMIZED) &&
        (LOWORD(size) != layout_.client.width() || HIWORD(size) != layout_.client.height()))
        BuildImages();
    return 0;
}

// ---------------------------------------------------------------- orientation

Normal WKAngle3D::Keep(const Angles& angles, const Quat& drag) {
    const Normal n = Normalize(angles, limits_);
    if (n.limited) base_ = Normalised(Multiply(n.limitedRotation, Inverse(drag)));
    return n;
}

Quat WKAngle3D::DragAt(int x, int y) {
    Quat d;
    if (DragRotation(kind_, layout_, limits_, x, y, &d, element_)) lastDrag_ = d;
    return lastDrag_;  // a point without a rotation (the ring's centre) leaves the orientation where it was
}

void WKAngle3D::SetOrientation(const Angles& angles) {
    const Normal n = Normalize(angles, limits_);
    angles_ = n.angles;
    base_ = n.limited ? n.limitedRotation : FromAngles(angles_);
}

// ---------------------------------------------------------------- mouse

bool WKAngle3D::BeginDrag(int x, int y) {
    SetCapture(window_);
    dragging_ = true;
    lastX_ = x, lastY_ = y;
    kind_ = KindAt(layout_, x, y);
    lastDrag_ = kIdentity;
    const Quat d0 = DragAt(x, y);
    base_ = Normalised(Multiply(base_, Inverse(d0)));  // the orientation does not jump
    angles_ = Keep(ToAngles(Normalised(Multiply(base_, d0))), d0).angles;
    lastKind_ = kind_;
    if (focus_) Redraw();
    else SetFocus(window_);
    return Notify(ANN_TRACKING);
}

void WKAngle3D::DragTo(int x, int y) {
    lastX_ = x, lastY_ = y;
    const Quat d = DragAt(x, y);
    const Angles moved = Keep(ToAngles(Normalised(Multiply(base_, d))), d).angles;
    lastKind_ = kind_;
    if (SameRotation(FromAngles(moved), FromAngles(angles_))) return;
    angles_ = moved;
    Redraw();
    Notify(ANN_TRACKING);
}

bool WKAngle3D::EndDrag(int x, int y) {
    dragging_ = false;  // first: the capture's going then finds no drag to end
    if (GetCapture() == window_) ReleaseCapture();
    lastX_ = x, lastY_ = y;
    const Quat q = Normalised(Multiply(base_, DragAt(x, y)));
    const Normal n = Normalize(ToAngles(q), limits_);
    angles_ = n.angles;
    base_ = n.limited ? n.limitedRotation : q;  // a limited drag goes on from where it stopped
    lastKind_ = kind_;
    kind_ = kBall;
    if (remembered_) SetCursor(remembered_), remembered_ = nullptr;
    Redraw();
    return Notify(ANN_CHANGED);
}

void WKAngle3D::Hover(int x, int y) {
    HCURSOR cursor = nullptr;
    switch (StripAt(layout_, x, y)) {
    case kRightStrip: cursor = skin_->cursors[skin::kTiltCursor]; break;
    case kBottomStrip: cursor = skin_->cursors[skin::kTurnAcrossCursor]; break;
    default: break;
    }
    if (cursor) {
        const HCURSOR replaced = SetCursor(cursor);
        if (!remembered_) remembered_ = replaced;
    } else if (remembered_) {
        SetCursor(remembered_);
        remembered_ = nullptr;
    }
}

LRESULT WKAngle3D::OnLButtonDown(WPARAM, LPARAM point) {
    if (enabled_) BeginDrag(PointX(point), PointY(point));
    return 0;
}

LRESULT WKAngle3D::OnMouseMove(WPARAM, LPARAM point) {
    if (dragging_) DragTo(PointX(point), PointY(point));
    else Hover(PointX(point), PointY(point));
    return 0;
}

LRESULT WKAngle3D::OnLButtonUp(WPARAM, LPARAM point) {
    // A button-up whose button-down went elsewhere turns nothing.
    if (dragging_) EndDrag(PointX(point), PointY(point));
    return 0;
}

bool WKAngle3D::Notify(WORD code) {
    const HWND self = window_;
    NotifyCommand(code);
    return IsWindow(self) != FALSE;
}

// ---------------------------------------------------------------- keyboard

LRESULT WKAngle3D::OnKeyDown(WPARAM key, LPARAM) {
    if (!enabled_ || dragging_) return 0;
    KeyDrag drag;
    if (key == VK_HOME) SetOrientation({0, 0, 0});
    else if (key == VK_END) SetOrientation({0, kPi, 0});
    else if (!KeyDragFor(static_cast<std::uint32_t>(key), layout_, limits_.step, &drag)) return 1;
    else if (!BeginDrag(drag.fromX, drag.fromY) || !EndDrag(drag.toX, drag.toY)) return 0;
    Redraw();
    Notify(ANN_CHANGED);
    return 0;
}

LRESULT WKAngle3D::OnKeyUp(WPARAM, LPARAM) { return 1; }

// ---------------------------------------------------------------- focus and state

LRESULT WKAngle3D::OnSetFocus(HWND) {
    focus_ = 1;
    Redraw();
    return 0;
}

LRESULT WKAngle3D::OnKillFocus(HWND) {
    focus_ = 0;
    Redraw();
    return 0;
}

LRESULT WKAngle3D::OnEnable(WPARAM enabled) {
    enabled_ = enabled != 0;
    if (!enabled_ && dragging_ && !EndDrag(lastX_, lastY_)) return 0;
    Redraw();
    return 0;
}

// ---------------------------------------------------------------- painting

LRESULT WKAngle3D::OnPaint() {
    PaintDC paint(window_);
    if (!paint || !IsWindowVisible(window_)) return 0;
    Compose(paint.get());
    return 0;
}

// Off screen: the face, the looks' cells, the focus rectangle, the wire
// sphere and the tick marks; then onto the window at once.
void WKAngle3D::Compose(HDC target) {
    const int width = layout_.client.width(), height = layout_.client.height();
    const HBRUSH face = skin_->brushes[skin::kFaceBrush];
    const COLORREF ink = skin_->colors[enabled_ ? skin::kAlternateHighlightColor : skin::kGreyTextColor];
    const int penWidth = element_.width > 0 ? 2 * layout_.ro / element_.width : 0;
    UniquePen pen(CreatePen(PS_SOLID, penWidth, ink));
    if (!pen || !face || width < 1 || height < 1) return;
    UniqueMemoryDC memory(CreateCompatibleDC(target));
    UniqueBitmap canvas(CreateCompatibleBitmap(target, width, height));
    if (!memory || !canvas) return;
    SelectGuard onCanvas(memory.get(), canvas.get());
    const RECT client = ToRECT(layout_.client);
    FillRect(memory.get(), &client, face);
    DrawLooks(memory.get());
    if (focus_) {
        const Rect& s = layout_.square;
        const RECT around{s.left - 2, s.top - 2, s.right + 2, s.bottom + 2};
        DrawSkinFocusRect(memory.get(), &around);
    }
    SelectGuard drawing(memory.get(), pen.get());
    AngleLines lines;
    DrawSphere(lines);
    if (!layout_.ballOnly) DrawTicks(lines);
    lines.Draw(memory.get());
    BitBlt(target, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

void WKAngle3D::DrawLooks(HDC dc) const {
    if (!image_) return;
    UniqueMemoryDC source(CreateCompatibleDC(dc));
    SelectGuard prepared(source.get(), image_.get());
    if (!prepared) return;
    const int band = !enabled_ ? kDisabledBand : dragging_ ? kDraggedBand : kNormalBand;
    const int b = layout_.ballSize;
    const Rect& ball = layout_.ball;
    BitBlt(dc, ball.left, ball.top, ball.width(), ball.height(), source.get(), 0, band * b, SRCCOPY);
    if (layout_.ballOnly) return;
    const Rect& right = layout_.right;
    const Rect& bottom = layout_.bottom;
    BitBlt(dc, right.left, right.top, right.width(), right.height(), source.get(), b, band * b, SRCCOPY);
    BitBlt(dc, bottom.left, bottom.top, bottom.width(), bottom.height(), source.get(), 0,
           3 * b + band * bottom.height(), SRCCOPY);
}

void WKAngle3D::DrawSphere(AngleLines& lines) const {
    const Matrix orientation = RotationMatrix(angles_);
    StrokePoint points[kCirclePoints];
    for (const CirclePlace& c : kSphereCircles) {
        const int n = SphereCircle(orientation, c.offset, c.turn, c.scale, layout_, points);
        for (int i = 0; i < n; ++i) {
            if (points[i].move) lines.MoveTo(points[i].x, points[i].y);
            else lines.LineTo(points[i].x, points[i].y);
        }
    }
}

void WKAngle3D::DrawTicks(AngleLines& lines) {
    const int stripHeight = layout_.right.height();
    if (lastKind_ == kRightStrip) rightPhase_ = StripPhase(lastY_, layout_.cy, stripHeight, rightPhase_, element_);
    if (lastKind_ == kBottomStrip) bottomPhase_ = StripPhase(lastX_, layout_.cx, stripHeight, bottomPhase_, element_);
    if (lastKind_ == kRing) ringPhase_ = angles_.z;
    if (lastKind_ != kBall) lastKind_ = kBall;
    int offsets[18];
    for (int i = 0, n = StripTicks(stripHeight, rightPhase_, offsets, element_); i < n; ++i) {
        lines.MoveTo(layout_.rightBandLeft, layout_.cy + offsets[i]);
        lines.LineTo(layout_.rightBandRight, layout_.cy + offsets[i]);
    }
    for (int i = 0, n = StripTicks(stripHeight, bottomPhase_, offsets, element_); i < n; ++i) {
        lines.MoveTo(layout_.cx + offsets[i], layout_.bottomBandTop);
        lines.LineTo(layout_.cx + offsets[i], layout_.bottomBandBottom);
    }
    Segment ring[12];
    RingTicks(layout_, ringPhase_, ring);
    for (const Segment& s : ring) {
        lines.MoveTo(s.x0, s.y0);
        lines.LineTo(s.x1, s.y1);
    }
}

// ---------------------------------------------------------------- class

ControlClass kAngle3DClass{"WKAngle3D", ClassKind::Own, nullptr, ClassProc<kAngle3DClass>, MakeControl<WKAngle3D>,
                           nullptr, nullptr};

}  // namespace kelmard
