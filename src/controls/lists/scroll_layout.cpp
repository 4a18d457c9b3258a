// The scroll bar's portable rules.
#include "controls/lists/scroll_layout.h"

#include <algorithm>

namespace kelmard {
namespace scroll {

int LastPosition(const Values& v) {
    const std::int64_t last = static_cast<std::int64_t>(v.maximum) - (v.page > 1 ? v.page - 1 : 0);
    return static_cast<int>(std::max<std::int64_t>(last, v.minimum));
}

int Clamp(std::int64_t value, const Values& v) {
    if (value > LastPosition(v)) return LastPosition(v);
    if (value < v.minimum) return v.minimum;
    return static_cast<int>(value);
}

int PageFor(std::uint32_t requested, int minimum, int maximum) {
    const std::int64_t units = std::max<std::int64_t>(static_cast<std::int64_t>(maximum) - minimum + 1, 0);
    return static_cast<int>(std::min<std::int64_t>(requested, units));
}

Rect Geometry::Span(Rect r, int lead, int trail) const {
    if (vertical_) r.top = lead, r.bottom = trail;
    else r.left = lead, r.right = trail;
    return r;
}

void Geometry::Lay(const Rect& bounds, int arrow, const Values& v) {
    bounds_ = bounds;
    bounds_.right = std::max(bounds_.right, bounds_.left);
    bounds_.bottom = std::max(bounds_.bottom, bounds_.top);
    const int lead = Lead(bounds_), trail = Trail(bounds_);
    arrow_ = std::max(0, std::min(arrow, (trail - lead) / 2));
    first_ = Span(bounds_, lead, lead + arrow_);
    second_ = Span(bounds_, trail - arrow_, trail);
    track_ = Span(bounds_, lead + arrow_, trail - arrow_);
    thumb_ = track_;
    Rescale(v);
}

void Geometry::Rescale(const Values& v) {
    const int track = Trail(track_) - Lead(track_);
    const double range = static_cast<double>(v.maximum) - v.minimum;
    fills_ = range <= 0 || track < kMinThumb || v.page > range;
    if (fills_) {
        scale_ = 0;
        thumbLength_ = track;
    } else {
        scale_ = track / range;
        const double units = vertical_ ? (v.page - 1) * scale_ + 0.5 : v.page * scale_;
        thumbLength_ = std::max(0, static_cast<int>(units));
        if (thumbLength_ < kMinThumb) {
            scale_ = (thumbLength_ + track - kMinThumb) / range;
            thumbLength_ = kMinThumb;
        }
    }
    PlaceThumb(v.position, v);
}

void Geometry::PlaceThumb(int position, const Values& v) {
    const int lead = Lead(track_), trail = Trail(track_);
    const double offset = (static_cast<double>(position) - v.minimum) * scale_ + (vertical_ ? 0.5 : 0.0);
    const double at = std::min<double>(std::max(offset, 0.0), trail - lead - thumbLength_);
    const int start = lead + std::max(0, static_cast<int>(at));
    thumb_ = Span(track_, start, std::min(start + thumbLength_, trail));
}

Part Geometry::PartAt(int x, int y) const {
    if (x < bounds_.left || x >= bounds_.right || y < bounds_.top || y >= bounds_.bottom) return kNoPart;
    const int p = Along(x, y);
    if (p < Trail(first_)) return kFirstArrow;
    if (p >= Lead(second_)) return kSecondArrow;
    if (p < Lead(thumb_)) return kTrackBefore;
    if (p < Trail(thumb_)) return kThumb;
    return kTrackAfter;
}

Rect Geometry::ZoneOf(Part part) const {
    switch (part) {
    case kFirstArrow: return first_;
    case kSecondArrow: return second_;
    case kTrackBefore: return Span(track_, Lead(track_), Lead(thumb_));
    case kTrackAfter: return Span(track_, Trail(thumb_), Trail(track_));
    case kThumb: return thumb_;
    default: return {};
    }
}

int Geometry::PositionAt(int x, int y, int grab, int dragStart, const Values& v) const {
    const int p = Along(x, y);
    if (fills_ || scale_ <= 0 || p < Lead(bounds_) || p > Trail(bounds_)) return dragStart;
    const double units = (p - Lead(track_) - grab) / scale_;
    return Clamp(static_cast<std::int64_t>(v.minimum) + static_cast<std::int64_t>(units), v);
}

bool Geometry::ThumbReached(Part pagePart, int x, int y) const {
    const int p = Along(x, y);
    return pagePart == kTrackBefore ? p >= Lead(thumb_) : p < Trail(thumb_);
}

}  // namespace scroll
}  // namespace kelmard
