// The scroll bar's rules that need no window: the clamping of positions with
// the page, where the arrows, the track and the thumb lie, which part a point
// presses, and the position under a dragged thumb. Portable: built in every
// build.
//
// A bar is laid out along its axis ("along": y for a vertical bar, x for a
// horizontal one). The two axes differ in the thumb arithmetic: a vertical
// thumb is (page - 1) units long and placed with rounding, a horizontal one
// is page units long and placed by truncation.
#pragma once
#include <cstdint>

#include "controls/framework/geometry.h"

namespace kelmard {
namespace scroll {

// A bar's range, page and position.
struct Values {
    int minimum = 0;
    int maximum = 100;
    int page = 1;      // units shown at once; 0 counts as 1 for the end of the range
    int position = 0;  // kept between the minimum and LastPosition
};

// The largest position: maximum - (page - 1) (page 0 as page 1), never below
// the minimum.
int LastPosition(const Values& v);
// `value` kept between the minimum and LastPosition.
int Clamp(std::int64_t value, const Values& v);
// The page stored for a requested one: at most the range's count of units.
int PageFor(std::uint32_t requested, int minimum, int maximum);

// The parts of a bar, one bit each (the pressed-state bits).
enum Part : unsigned {
    kNoPart = 0,
    kFirstArrow = 1,    // up or left
    kSecondArrow = 2,   // down or right
    kTrackBefore = 4,   // the track before the thumb
    kTrackAfter = 8,    // the track after the thumb
    kThumb = 16,
};

// The shortest thumb drawn, in pixels.
constexpr int kMinThumb = 8;

class Geometry {
public:
    explicit Geometry(bool vertical) : vertical_(vertical) {}

    // The arrows (each `arrow` pixels along, at most half the bar) and the
    // track between them; then Rescale. An inverted bounds rectangle counts
    // as empty.
    void Lay(const Rect& bounds, int arrow, const Values& v);
    // The thumb's length and the pixels per unit from the track and the
    // values, then PlaceThumb. An empty range, a track shorter than the
    // shortest thumb or a page covering the range make the thumb fill the
    // track (nothing is divided).
    void Rescale(const Values& v);
    // The thumb at `position` (not clamped), kept inside the track.
    void PlaceThumb(int position, const Values& v);

    // The part under a point of the bar (kNoPart outside the bounds).
    Part PartAt(int x, int y) const;
    // Where a part counts as pressed: an arrow's rectangle, the track on the
    // part's side of the thumb, the thumb.
    Rect ZoneOf(Part part) const;
    // The position for a thumb dragged to (x, y) with `grab` pixels between
    // its leading edge and the pointer: `dragStart` when the point is beyond
    // the bar's ends along the axis or the thumb fills the track; else
    // clamped.
    int PositionAt(int x, int y, int grab, int dragStart, const Values& v) const;
    // Pixels from the thumb's leading edge to a point.
    int GrabOffset(int x, int y) const { return Along(x, y) - Lead(thumb_); }
    // Whether the pointer (along the axis) has reached the thumb from the
    // side of a page part.
    bool ThumbReached(Part pagePart, int x, int y) const;

    bool vertical() const { return vertical_; }
    bool thumbFills() const { return fills_; }
    int thumbLength() const { return thumbLength_; }
    int arrowLength() const { return arrow_; }
    const Rect& bounds() const { return bounds_; }
    const Rect& track() const { return track_; }
    const Rect& thumb() const { return thumb_; }
    const Rect& firstArrow() const { return first_; }
    const Rect& secondArrow() const { return second_; }

private:
    int Along(int x, int y) const { return vertical_ ? y : x; }
    int Lead(const Rect& r) const { return vertical_ ? r.top : r.left; }
    int Trail(const Rect& r) const { return vertical_ ? r.bottom : r.right; }
    // `r` with its extent along the axis set to lead..trail.
    Rect Span(Rect r, int lead, int trail) const;

    bool vertical_;
    Rect bounds_{}, track_{}, thumb_{}, first_{}, second_{};
    int arrow_ = 0;          // pixels along each arrow button
    int thumbLength_ = 0;    // pixels along the thumb
    double scale_ = 0;       // pixels per unit; 0 while the thumb fills the track
    bool fills_ = true;      // the thumb fills the track
};

}  // namespace scroll
}  // namespace kelmard
