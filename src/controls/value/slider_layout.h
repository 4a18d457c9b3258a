// The slider's rules that need no window: which thumb record a client's
// thickness takes, where the channel and the thumb lie, the position under a
// point, the skin pieces a paint copies, and the value rules (clamping, the
// page size after a range change, the keys' steps, mouse paging). Portable:
// built in every build.
//
// The geometry speaks of "along" (the channel's direction) and "across"; a
// vertical control is laid out as a horizontal one with x and y exchanged.
// Controls with a channel and thumbs of their own records (the range) lay out
// the same way.
#pragma once
#include <cstdint>

#include "controls/framework/geometry.h"
#include "controls/framework/skin_layout.h"

namespace kelmard {
namespace slider {

// The skin's thumb records of the slider, indices into skin::kThumbs.
constexpr int kSmallThumb = 0, kLargeThumb = 1, kSmallVertThumb = 2, kLargeVertThumb = 3;

// A thumb strip as the layout reads it: where it lies in the skin bitmap,
// then (along the channel) three thumb cells, two end caps and the middle
// piece; `thickness` across.
struct Strip {
    int x, y;
    int thickness;  // across the channel
    int length;     // of a thumb cell, along the channel
    int endCap;     // of each end cap of the channel
    int middle;     // of the channel's stretchable middle piece in the strip
    int endMargin;  // how far inside the channel's ends the thumb's travel starts
};
constexpr Strip StripOf(const skin::ThumbPlace& t) {
    return {t.x, t.y, t.thickness, t.length, t.endCap, t.middle, t.endMargin};
}

// The range and values of a slider.
struct Values {
    int minimum = 0;
    int maximum = 100;
    int position = 0;  // as stored: TBM_SETPOS does not clamp it
    int line = 1;      // the arrow keys' step
    int page = 20;     // the page keys' and mouse paging's step
};

// `value` within the range: above the maximum the maximum, else below the
// minimum the minimum.
int Clamp(std::int64_t value, int minimum, int maximum);
// The page size after a range change: a tenth of the range (truncated toward
// zero), 1 where that is 0.
int PageSizeFor(int minimum, int maximum);
// TBM_SETRANGE's bounds: the low word the minimum, the high word the maximum,
// each a signed 16-bit number.
constexpr int PackedMinimum(std::uint32_t packed) { return static_cast<std::int16_t>(packed & 0xFFFF); }
constexpr int PackedMaximum(std::uint32_t packed) { return static_cast<std::int16_t>(packed >> 16); }

// A change of position and the scroll code that reports it.
struct Move {
    int position;
    std::uint32_t code;
};
// The step of key `key` (clamped to the range); false for a key the slider
// leaves alone. A key at an end of the range still moves (to where it is).
bool KeyMove(std::uint32_t key, const Values& values, Move* move);
// The step of a mouse press beside the thumb: a page toward the point,
// `beyond` when the point lies past the thumb's far edge.
Move PressPageMove(const Values& values, bool beyond);
// The page step of a press beside the thumb: +page or -page.
constexpr std::int64_t PageStep(int page, bool beyond) { return beyond ? std::int64_t{page} : -std::int64_t{page}; }
// One tick of mouse paging: a step toward the position under the pointer
// while the position has not reached it (a step may pass it; at an end of
// the range it is clamped and still reported). False when the tick does
// nothing: the target is reached, or the page size is 0.
bool PageTick(const Values& values, std::int64_t step, int target, Move* move);

// The skin pieces of a paint, each copied from `source` in the skin bitmap
// to `target` in the client; stretched where the sizes differ.
struct Piece {
    Rect source, target;
};

// Where the channel and the thumb lie.
class Geometry {
public:
    explicit Geometry(bool vertical = false) : vertical_(vertical) {}

    // From the client rectangle: the large strip when its thickness fits the
    // client's thickness, else the small one; the channel spans the client's
    // length, inset across by half the room left (at most 3); then the scale
    // and the thumb for `values`.
    void Lay(Rect client, const Strip& small, const Strip& large, const Values& values);
    // The scale from the channel's travel and the range, then the thumb.
    void Rescale(const Values& values);
    // The thumb's place along the channel for the position, clamped to the range.
    void PlaceThumb(const Values& values);

    // The position under the point, `offset` pixels behind the thumb's
    // leading edge (left, or top); the minimum when the thumb cannot travel.
    int PositionAt(const Values& values, int x, int y, int offset) const;
    bool OnThumb(int x, int y) const;
    // The point lies past the thumb's far edge (right, or bottom).
    bool BeyondThumb(int x, int y) const;
    // From the thumb's leading edge to the point, along the channel.
    int GrabOffset(int x, int y) const;

    // The channel's middle (stretched between the caps; left out when the caps
    // meet), the first and second end caps, and the thumb cell of `press`
    // (0 disabled, 1 normal, 2 dragged). Answers how many of `pieces` it filled.
    int Pieces(int press, Piece (&pieces)[4]) const;

    bool vertical() const { return vertical_; }
    bool large() const { return large_; }
    const Strip& strip() const { return strip_; }
    const Rect& client() const { return client_; }
    const Rect& channel() const { return channel_; }  // TBM_GETCHANNELRECT
    const Rect& thumb() const { return thumb_; }      // TBM_GETTHUMBRECT
    // Pixels per unit of position; 0 when the channel leaves the thumb no
    // travel or the range is empty or reversed (the thumb then stays at the
    // start of its travel).
    double scale() const { return scale_; }

private:
    int Along(int x, int y) const { return vertical_ ? y : x; }
    // Exchanges x and y for a vertical control (and back).
    Rect Turn(Rect r) const { return vertical_ ? Rect{r.top, r.left, r.bottom, r.right} : r; }

    bool vertical_;        // laid out along y
    bool large_ = false;   // the large strip was chosen
    Strip strip_{};        // the chosen strip
    Rect client_{};        // the client rectangle at the last layout
    Rect channel_{};       // the channel
    Rect thumb_{};         // the thumb
    double scale_ = 0;     // pixels per unit of position
};

}  // namespace slider
}  // namespace kelmard
