// The range's portable rules.
#include "controls/value/range_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelmard {
namespace range {
namespace {

using Wide = std::int64_t;

// A pointer's distance in units is kept to this before it becomes an
// integer: far beyond any 32-bit range, far inside a 64-bit one.
constexpr double kFarUnits = 1e12;

// The distance of a value from the minimum in pixels, the value clamped to
// the range: its share of the room, truncated, in exact integers (below
// 2^32 units times below 2^31 pixels); 0 while nothing can move.
int Offset(std::int32_t value, const Values& v, Wide room, Wide span) {
    if (room <= 0 || span <= 0) return 0;
    const Wide clamped = std::clamp<Wide>(value, v.minimum, v.maximum);
    return static_cast<int>((clamped - v.minimum) * room / span);
}

bool Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
bool Same(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

int ChannelInset(int clientHeight, int thickness) {
    constexpr int kMostInset = 3;
    return std::clamp((clientHeight - thickness) / 2, 0, kMostInset);
}

Geometry Layout(Rect client, const Strip& strip, const Values& values) {
    Geometry g;
    const int top = client.top + ChannelInset(client.height(), strip.thickness);
    g.channel = {client.left, top, client.right, top + strip.thickness};
    const int m = strip.endMargin, L = strip.length;
    // Room for the thumbs' travel: the channel less both margins and thumbs.
    const Wide room = Wide{g.channel.right} - 2 * (Wide{m} + L) - g.channel.left;
    const Wide span = Wide{values.maximum} - values.minimum;
    g.scale = room > 0 && span > 0 ? static_cast<double>(room) / static_cast<double>(span) : 0;
    const int startAt = Offset(values.start, values, room, span);
    // An end below the start (as a program may set them) touches it.
    const int endAt = std::max(Offset(values.end, values, room, span), startAt);
    const int s = startAt + client.left, e = endAt + client.left;
    g.startThumb = {s + m, g.channel.top, s + m + L, g.channel.bottom};
    g.endThumb = {e + m + L, g.channel.top, e + m + 2 * L, g.channel.bottom};
    g.bar = {g.startThumb.right, g.channel.top, g.endThumb.left, g.channel.bottom};
    return g;
}

Part PartAt(const Geometry& g, int x, int y) {
    if (Inside(g.startThumb, x, y)) return kStartThumb;
    if (Inside(g.endThumb, x, y)) return kEndThumb;
    if (Inside(g.bar, x, y)) return kBar;
    return kNoPart;
}

int GrabOffset(const Geometry& g, Part part, int x) {
    switch (part) {
    case kStartThumb: return x - g.startThumb.right;
    case kEndThumb: return x - g.endThumb.left;
    case kBar: return x - g.bar.left;
    case kNoPart: break;
    }
    return 0;
}

Wide ValueAt(int x, int grab, Rect client, const Strip& strip, const Values& values, double scale) {
    if (scale <= 0) return values.minimum;
    const Wide pixels = Wide{x} - strip.endMargin - strip.length - client.left - grab;
    const double units = std::clamp(std::trunc(static_cast<double>(pixels) / scale), -kFarUnits, kFarUnits);
    return static_cast<Wide>(units) + values.minimum;
}

bool SetPart(Values& v, Part part, Wide requested) {
    const Wide lo = v.minimum, hi = v.maximum;
    switch (part) {
    case kStartThumb: {
        const Wide start = std::max(std::min({requested, Wide{v.end} - v.minLength, hi}), lo);
        if (start == v.start) return false;
        v.start = static_cast<std::int32_t>(start);
        return true;
    }
    case kEndThumb: {
        const Wide end = std::min(std::max({requested, Wide{v.start} + v.minLength, lo}), hi);
        if (end == v.end) return false;
        v.end = static_cast<std::int32_t>(end);
        return true;
    }
    case kBar: {
        const Wide length = Wide{v.end} - v.start;
        Wide start = requested + length > hi ? hi - length : requested < lo ? lo : requested;
        // A selection longer than the range starts at the minimum.
        start = std::max(std::min(start, hi), lo);
        if (start == v.start) return false;
        v.start = static_cast<std::int32_t>(start);
        v.end = Saturated(start + length);
        return true;
    }
    case kNoPart: break;
    }
    return false;
}

Wide KeyRequest(Key key, const Values& v, bool onEnd) {
    const Wide from = onEnd ? v.end : v.start;
    switch (key) {
    case Key::kPageLess: return from - v.pageSize;
    case Key::kPageMore: return from + v.pageSize;
    case Key::kLast: return v.maximum;
    case Key::kFirst: return v.minimum;
    case Key::kLineLess: return from - v.lineSize;
    case Key::kLineMore: return from + v.lineSize;
    }
    return from;
}

std::int32_t ClampMinLength(Wide requested, const Values& v) {
    const Wide most = std::clamp<Wide>(Wide{v.maximum} - v.minimum, 0, std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(std::clamp<Wide>(requested, 0, most));
}

std::int32_t PageSizeFor(std::int32_t minimum, std::int32_t maximum) {
    const Wide page = (Wide{maximum} - minimum) / 10;  // truncated toward zero
    return page == 0 ? 1 : static_cast<std::int32_t>(page);
}

std::int32_t Saturated(Wide value) {
    return static_cast<std::int32_t>(std::clamp<Wide>(value, std::numeric_limits<std::int32_t>::min(),
                                                      std::numeric_limits<std::int32_t>::max()));
}

std::int32_t LengthAnswer(const Values& v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v.end) - static_cast<std::uint32_t>(v.start));
}

Rect MovedSpan(const Geometry& before, const Geometry& after) {
    Rect span{0, after.channel.top, 0, after.channel.bottom};
    bool any = false;
    const Rect pairs[2][2] = {{before.startThumb, after.startThumb}, {before.endThumb, after.endThumb}};
    for (const auto& pair : pairs) {
        if (Same(pair[0], pair[1])) continue;
        const int left = std::min(pair[0].left, pair[1].left), right = std::max(pair[0].right, pair[1].right);
        span.left = any ? std::min(span.left, left) : left;
        span.right = any ? std::max(span.right, right) : right;
        any = true;
    }
    return span;
}

int StartCell(int press, Part active) {
    return press == kDragged && active == kEndThumb ? kNormal : std::clamp(press, 0, 2);
}

int EndCell(int press, Part active) {
    return press == kDragged && active == kStartThumb ? kNormal : std::clamp(press, 0, 2);
}

int DrawingPlan(const Geometry& g, const Strip& strip, int startCell, int endCell, Blit (&out)[kMaxBlits]) {
    const int L = strip.length, k = strip.endCap, t = strip.thickness, y0 = strip.y;
    const int caps = strip.x + 3 * L;  // the first end cap, after the three thumb cells
    const int middle = caps + 2 * k;   // the channel's middle piece (row 2: the bar's)
    const Rect& c = g.channel;
    int n = 0;
    auto put = [&](Rect to, int sx, int sy, int sw, bool stretch) { out[n++] = {to, sx, sy, sw, t, stretch}; };
    if (c.left + k < g.startThumb.left) put({c.left + k, c.top, g.startThumb.left, c.bottom}, middle, y0, strip.middle, true);
    if (c.right - k > g.endThumb.right) put({g.endThumb.right, c.top, c.right - k, c.bottom}, middle, y0, strip.middle, true);
    if (g.startThumb.right < g.endThumb.left) put(g.bar, middle, y0 + t, strip.middle, true);
    put({c.left, c.top, c.left + k, c.bottom}, caps, y0, k, false);
    put({c.right - k, c.top, c.right, c.bottom}, caps + k, y0, k, false);
    put(g.startThumb, strip.x + startCell * L, y0, L, false);
    put(g.endThumb, strip.x + endCell * L, y0 + t, L, false);
    return n;
}

}  // namespace range
}  // namespace kelmard
