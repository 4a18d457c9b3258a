// The slider's window-free rules.
#include "controls/value/slider_layout.h"

#include <climits>
#include <cmath>

#include "controls/framework/system_constants.h"

namespace kelmard {
namespace slider {

using namespace sys;

// ---------------------------------------------------------------- values

int Clamp(std::int64_t value, int minimum, int maximum) {
    if (value > maximum) return maximum;
    if (value < minimum) return minimum;
    return static_cast<int>(value);
}

int PageSizeFor(int minimum, int maximum) {
    const std::int64_t tenth = (std::int64_t{maximum} - minimum) / 10;  // fits an int for any bounds
    return tenth == 0 ? 1 : static_cast<int>(tenth);
}

bool KeyMove(std::uint32_t key, const Values& v, Move* move) {
    const std::int64_t position = v.position;
    std::int64_t to = 0;
    Bits code = 0;
    switch (key) {
    case kVkPrior: to = position - v.page, code = kTbPageUp; break;
    case kVkNext: to = position + v.page, code = kTbPageDown; break;
    case kVkEnd: to = v.maximum, code = kTbBottom; break;
    case kVkHome: to = v.minimum, code = kTbTop; break;
    case kVkLeft:
    case kVkUp: to = position - v.line, code = kTbLineUp; break;
    case kVkRight:
    case kVkDown: to = position + v.line, code = kTbLineDown; break;
    default: return false;
    }
    *move = {Clamp(to, v.minimum, v.maximum), code};
    return true;
}

Move PressPageMove(const Values& v, bool beyond) {
    return {Clamp(v.position + PageStep(v.page, beyond), v.minimum, v.maximum), beyond ? kTbPageDown : kTbPageUp};
}

bool PageTick(const Values& v, std::int64_t step, int target, Move* move) {
    const bool short_of_target = step < 0 ? v.position > target : (step > 0 && v.position < target);
    if (!short_of_target) return false;
    // At an end of the range the clamped step stays put and is still reported.
    *move = {Clamp(v.position + step, v.minimum, v.maximum), step < 0 ? kTbPageUp : kTbPageDown};
    return true;
}

// ---------------------------------------------------------------- geometry

void Geometry::Lay(Rect client, const Strip& small, const Strip& large, const Values& values) {
    client_ = client;
    const Rect c = Turn(client);
    const int across = c.height();
    large_ = large.thickness <= across;
    strip_ = large_ ? large : small;
    int inset = (across - strip_.thickness) / 2;
    if (inset > 3) inset = 3;
    if (inset < 0) inset = 0;
    channel_ = Turn(Rect{c.left, c.top + inset, c.right, c.top + inset + strip_.thickness});
    thumb_ = channel_;
    Rescale(values);
}

void Geometry::Rescale(const Values& values) {
    const Rect ch = Turn(channel_);
    const std::int64_t travel = std::int64_t{ch.right} - ch.left - 2 * std::int64_t{strip_.endMargin} - strip_.length;
    const std::int64_t span = std::int64_t{values.maximum} - values.minimum;
    scale_ = travel > 0 && span > 0 ? static_cast<double>(travel) / static_cast<double>(span) : 0.0;
    PlaceThumb(values);
}

void Geometry::PlaceThumb(const Values& values) {
    const std::int64_t units =
        std::int64_t{Clamp(values.position, values.minimum, values.maximum)} - values.minimum;
    // With the position in the range the offset is at most the travel.
    const int offset = scale_ > 0 && units > 0 ? static_cast<int>(static_cast<double>(units) * scale_) : 0;
    Rect t = Turn(thumb_);
    t.left = Turn(client_).left + strip_.endMargin + offset;
    t.right = t.left + strip_.length;
    thumb_ = Turn(t);
}

int Geometry::PositionAt(const Values& values, int x, int y, int offset) const {
    if (scale_ <= 0) return values.minimum;
    const std::int64_t pixels = std::int64_t{Along(x, y)} - strip_.endMargin - Turn(client_).left - offset;
    const double position = std::trunc(static_cast<double>(pixels) / scale_) + values.minimum;
    if (position >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (position <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(position);
}

bool Geometry::OnThumb(int x, int y) const {
    return x >= thumb_.left && x < thumb_.right && y >= thumb_.top && y < thumb_.bottom;
}

bool Geometry::BeyondThumb(int x, int y) const { return Along(x, y) > Turn(thumb_).right; }

int Geometry::GrabOffset(int x, int y) const { return Along(x, y) - Turn(thumb_).left; }

int Geometry::Pieces(int press, Piece (&pieces)[4]) const {
    if (press < 0 || press > 2) press = 1;
    const Strip& s = strip_;
    // In the along frame: the strip's start and the channel.
    const Rect start = Turn(Rect{s.x, s.y, s.x, s.y});
    const Rect ch = Turn(channel_);
    const int caps = start.left + 3 * s.length;
    auto piece = [&](int from, int length, int to, int toEnd) {
        return Piece{Turn(Rect{from, start.top, from + length, start.top + s.thickness}),
                     Turn(Rect{to, ch.top, toEnd, ch.top + s.thickness})};
    };
    int n = 0;
    if (ch.right - s.endCap > ch.left + s.endCap)
        pieces[n++] = piece(caps + 2 * s.endCap, s.middle, ch.left + s.endCap, ch.right - s.endCap);
    pieces[n++] = piece(caps, s.endCap, ch.left, ch.left + s.endCap);
    pieces[n++] = piece(caps + s.endCap, s.endCap, ch.right - s.endCap, ch.right);
    const Rect t = Turn(thumb_);
    pieces[n++] = piece(start.left + press * s.length, s.length, t.left, t.right);
    return n;
}

}  // namespace slider
}  // namespace kelmard
