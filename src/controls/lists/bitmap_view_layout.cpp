// The bitmap view's window-free rules.
#include "controls/lists/bitmap_view_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kelmard {
namespace bmpview {
namespace {

// A picture length at a zoom within this of a whole number of pixels counts
// as that number (the fitting zoom is a float quotient).
constexpr double kWholePixelSlack = 1e-3;

// One axis of the view.
struct Axis {
    int destination, destinationLength, source, sourceLength, centre;
};

Axis LayAxis(int size, int room, float zoom, int centre) {
    Axis a{};
    const double exact = std::floor(static_cast<double>(size) * zoom + kWholePixelSlack);
    const double length = std::max(exact, 1.0);  // never less than one pixel drawn
    a.sourceLength = size;
    if (length > room) {
        // The part shown: as much of the picture as the room takes at this zoom, at least one pixel.
        const double part = std::floor(static_cast<double>(size) * room / length);
        a.sourceLength = static_cast<int>(std::clamp(part, 1.0, static_cast<double>(size)));
        a.destinationLength = room;
    } else {
        a.destinationLength = static_cast<int>(length);
    }
    a.destination = (room - a.destinationLength) / 2;
    // Centred on the centre, within the picture on both sides; the centre follows.
    const std::int64_t first = static_cast<std::int64_t>(centre) - a.sourceLength / 2;
    a.source = static_cast<int>(std::clamp<std::int64_t>(first, 0, size - a.sourceLength));
    a.centre = a.source + a.sourceLength / 2;
    return a;
}

// The first source pixel whose centre falls within destination pixel `i` of
// a reduction (S > D): source pixel s lands on floor(((2s + 1) D - 1) / 2S).
std::int64_t FirstLandingOn(std::int64_t i, std::int64_t S, std::int64_t D) {
    const std::int64_t n = 2 * S * i + 1 - D;
    return n <= 0 ? 0 : (n + 2 * D - 1) / (2 * D);
}

// The pixel under a client coordinate on one axis, or -1.
int PictureOffset(int client, int destination, int destinationLength, int source, int sourceLength, bool vertical) {
    const int offset = client - destination;
    if (offset < 0 || offset >= destinationLength) return -1;
    return source + StretchedPixel(offset, sourceLength, destinationLength, vertical);
}

// Keeps picture pixel `pixel` under client coordinate `client` on one axis:
// the centre that puts it there (the layout then keeps it within the picture).
int CentreKeeping(int pixel, int client, const Axis& a, bool vertical) {
    const int offset = client - a.destination;
    if (offset < 0 || offset >= a.destinationLength) return pixel;
    const int source = pixel - StretchedPixel(offset, a.sourceLength, a.destinationLength, vertical);
    return source + a.sourceLength / 2;
}

}  // namespace

float FitScale(Extent client, Extent picture) {
    if (client.cx <= 0 || client.cy <= 0 || picture.cx <= 0 || picture.cy <= 0) return 0.0f;
    const double across = static_cast<double>(client.cx) / picture.cx;
    const double down = static_cast<double>(client.cy) / picture.cy;
    return static_cast<float>(std::min(across, down));
}

void Recalc(View& view, Extent client) {
    view.destination = view.source = Rect{};
    const float fit = FitScale(client, view.picture);
    if (fit <= 0.0f) return;
    // (A zoom that is not a number becomes the fitting one.)
    if (!(view.zoom >= fit)) view.zoom = fit;
    if (view.zoom > fit * kMaxZoomOverFit) view.zoom = fit * kMaxZoomOverFit;
    const Axis x = LayAxis(view.picture.cx, client.cx, view.zoom, view.centre.x);
    const Axis y = LayAxis(view.picture.cy, client.cy, view.zoom, view.centre.y);
    view.destination = {x.destination, y.destination, x.destination + x.destinationLength,
                        y.destination + y.destinationLength};
    view.source = {x.source, y.source, x.source + x.sourceLength, y.source + y.sourceLength};
    view.centre = {x.centre, y.centre};
}

void SetPicture(View& view, Extent picture, Extent client) {
    view.picture = picture.cx > 0 && picture.cy > 0 ? picture : Extent{0, 0};
    view.centre = {view.picture.cx / 2, view.picture.cy / 2};
    view.zoom = kNewPictureZoom;
    Recalc(view, client);
}

int StretchedPixel(int offset, int sourceLength, int destinationLength, bool vertical) {
    const std::int64_t i = offset, S = sourceLength, D = destinationLength;
    if (S <= 0 || D <= 0) return 0;
    if (D >= S) return static_cast<int>(((2 * i + 1) * S - 1) / (2 * D));
    if (vertical) return static_cast<int>(FirstLandingOn(i, S, D));
    // Across, a one-pixel-wide reduction keeps the last source pixel but one.
    if (D == 1) return static_cast<int>(S - 2);
    return static_cast<int>(FirstLandingOn(i + 1, S, D) - 1);
}

std::optional<Point> ClientToPicture(const View& view, Point client) {
    const Rect& d = view.destination;
    const Rect& s = view.source;
    if (d.width() <= 0 || d.height() <= 0 || s.width() <= 0 || s.height() <= 0) return std::nullopt;
    const int x = PictureOffset(client.x, d.left, d.width(), s.left, s.width(), false);
    const int y = PictureOffset(client.y, d.top, d.height(), s.top, s.height(), true);
    if (x < 0 || y < 0) return std::nullopt;
    return Point{x, y};
}

void ZoomAbout(View& view, Extent client, float factor, std::optional<Point> about) {
    const std::optional<Point> pixel = about ? ClientToPicture(view, *about) : std::nullopt;
    view.zoom *= factor;
    Recalc(view, client);
    if (!pixel || view.destination.width() <= 0) return;
    // The part shown at the new zoom is known; shift it so the pixel is under the point.
    const Rect& d = view.destination;
    const Rect& s = view.source;
    const Axis x{d.left, d.width(), s.left, s.width(), view.centre.x};
    const Axis y{d.top, d.height(), s.top, s.height(), view.centre.y};
    view.centre = {CentreKeeping(pixel->x, about->x, x, false), CentreKeeping(pixel->y, about->y, y, true)};
    Recalc(view, client);
}

void MoveCentre(View& view, Extent client, int dx, int dy) {
    view.centre.x += dx;
    view.centre.y += dy;
    Recalc(view, client);
}

PanAnchor StartPan(const View& view, Point press) { return {press, view.centre, view.zoom}; }

void PanTo(View& view, Extent client, const PanAnchor& anchor, Point pointer) {
    if (anchor.zoom <= 0.0f) return;
    const double dx = std::round((anchor.press.x - pointer.x) / static_cast<double>(anchor.zoom));
    const double dy = std::round((anchor.press.y - pointer.y) / static_cast<double>(anchor.zoom));
    // Far drags are cut to the picture by the layout; the sums stay in range first.
    const auto limit = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
    view.centre = {limit(anchor.centre.x + dx), limit(anchor.centre.y + dy)};
    Recalc(view, client);
}

bool PastPanThreshold(Point press, Point pointer) {
    return std::abs(pointer.x - press.x) >= kPanThreshold || std::abs(pointer.y - press.y) >= kPanThreshold;
}

KeyAction ForKey(sys::Bits key) {
    switch (key) {
    case sys::kVkPrior: return {true, kClickZoomOut, 0, 0};
    case sys::kVkNext: return {true, kClickZoomIn, 0, 0};
    case sys::kVkLeft: return {true, 1.0f, -1, 0};
    case sys::kVkRight: return {true, 1.0f, 1, 0};
    case sys::kVkUp: return {true, 1.0f, 0, -1};
    case sys::kVkDown: return {true, 1.0f, 0, 1};
    default: return {false, 1.0f, 0, 0};
    }
}

}  // namespace bmpview
}  // namespace kelmard
