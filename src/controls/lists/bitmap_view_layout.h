// The bitmap view's window-free rules: the zoom limits (the fitting scale to
// 32 times it), where the picture is drawn and which part of it is shown, the
// view centre kept inside the picture, the client-to-picture mapping that
// names exactly the source pixel the system's stretch (COLORONCOLOR) draws
// under a client pixel, zooming about a point that stays under the pointer,
// panning from an anchor, and the keys.
#pragma once
#include <optional>

#include "controls/framework/geometry.h"
#include "controls/framework/system_constants.h"

namespace kelmard {
namespace bmpview {

// What the mouse does (BVM_SETMODE); any other number is refused.
enum Mode : int { kZoomMode = 0, kPanMode = 1, kPickMode = 2, kInactiveMode = 3 };
constexpr bool ValidMode(long long mode) { return mode >= kZoomMode && mode <= kInactiveMode; }

constexpr float kMaxZoomOverFit = 32.0f;  // the zoom stays within fit .. 32 x fit
constexpr float kNewPictureZoom = 0.0001f;  // a new picture starts below fit: it is shown fitted
constexpr float kClickZoomIn = 2.0f, kClickZoomOut = 0.5f;
constexpr int kPanThreshold = 2;       // a held button moved this far (on either axis) pans
constexpr unsigned kPressHoldMs = 300; // a press held this long in zoom mode pans instead of zooming

struct Point {
    int x, y;
};
inline bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }

// The view of one picture in one client area.
struct View {
    Extent picture{0, 0};  // the picture's size in pixels; an empty one shows nothing
    float zoom = 1.0f;     // client pixels per picture pixel, kept within the limits by Recalc
    Point centre{0, 0};    // the picture point in the middle of the part shown
    Rect destination{};    // where the picture is drawn (client); empty: nothing is drawn
    Rect source{};         // the part of the picture drawn there
};

// The scale at which the whole picture just fits the client: the smaller of
// the two ratios; 0 when the client or the picture is empty.
float FitScale(Extent client, Extent picture);

// Lays the view out for `client`: the zoom limited to fit .. 32 x fit; on each
// axis the picture's length at that zoom, cut to the client where it is longer
// (the part shown then at least one pixel and around the centre, never beyond
// the picture's edges), the drawn part centred in the client; the centre moved
// to the middle of the part shown. An empty client or picture leaves empty
// rectangles and the zoom as it was.
void Recalc(View& view, Extent client);

// A new picture: its middle at the centre, shown fitted.
void SetPicture(View& view, Extent picture, Extent client);

// The source pixel (0 .. sourceLength - 1) that a stretch of `sourceLength`
// pixels onto `destinationLength` (both at least 1) draws at destination pixel
// `offset`: an enlargement repeats each source pixel over the destination
// pixels whose centres lie within it (a centre on a boundary takes the pixel
// before); a reduction keeps, of the source pixels whose centres fall within a
// destination pixel, the last one across (horizontal) and the first one down
// (vertical), as the system's COLORONCOLOR stretch keeps them.
int StretchedPixel(int offset, int sourceLength, int destinationLength, bool vertical);

// The picture pixel drawn under a client point; none outside the drawn
// rectangle (its right and bottom edges are outside) or without a view.
std::optional<Point> ClientToPicture(const View& view, Point client);

// Multiplies the zoom by `factor` (then limited) and lays the view out again.
// With a client point over the picture, that picture pixel stays under the
// point on each axis where the picture still fills the client and the
// picture's edge allows; otherwise the view keeps its centre.
void ZoomAbout(View& view, Extent client, float factor, std::optional<Point> about = std::nullopt);

// Moves the centre by whole picture pixels (the arrow keys), then lays out.
void MoveCentre(View& view, Extent client, int dx, int dy);

// A pan: where the button went down and the centre and zoom then. Dragging the
// pointer by d client pixels moves the centre by -d / zoom picture pixels (the
// picture follows the pointer); a drag back to the press point restores the
// centre.
struct PanAnchor {
    Point press{0, 0};
    Point centre{0, 0};
    float zoom = 1.0f;
};
PanAnchor StartPan(const View& view, Point press);
void PanTo(View& view, Extent client, const PanAnchor& anchor, Point pointer);

// The pointer has moved far enough from the press point to pan.
bool PastPanThreshold(Point press, Point pointer);

// A key's effect: a zoom factor (1: none) and a move of the centre.
struct KeyAction {
    bool handled;
    float zoom;
    int dx, dy;
};
// Page Up zooms out, Page Down in (by 2), the arrows move the centre one picture pixel.
KeyAction ForKey(sys::Bits key);

}  // namespace bmpview
}  // namespace kelmard
