// The range's rules that need no window: the channel, the two thumbs and the
// bar laid out from the client size and the values; the value under the
// pointer; what a thumb, the bar or a key may set (kept inside the range and
// apart by the minimum length); the span a move repaints; and the pieces of
// the skin strip the control is drawn from. Portable: built in every build.
//
// Values are 32-bit as the messages carry them; the arithmetic on them runs
// in 64 bits, so values a program sets anywhere in the 32-bit range never
// overflow, and the thumbs are placed from the values clamped to the range.
#pragma once
#include <cstdint>

#include "controls/framework/geometry.h"

namespace kelmard {
namespace range {

// What a drag or a key moves (also the active part, which decides the cells
// the thumbs are drawn with).
enum Part : int { kNoPart = -1, kStartThumb = 0, kEndThumb = 1, kBar = 2 };

// The press state: the thumb cell drawn for it.
enum Press : int { kDisabled = 0, kNormal = 1, kDragged = 2 };

// The private notification codes (the low word of WM_HSCROLL's wParam).
enum Notice : int { kEndTrack = 0, kChanged = 1, kTracking = 2 };

// The numbers of a range thumb record: the strip's top-left in the skin
// bitmap, its thickness (each of its two rows is this high), a thumb's
// length, a channel end cap's length, the stretchable middle piece's width
// and how far inside the channel the thumbs' travel starts.
struct Strip {
    int x, y, thickness, length, endCap, middle, endMargin;
};

// The values a program sets and the user changes.
struct Values {
    std::int32_t minimum = 0, maximum = 100;
    std::int32_t minLength = 0;  // the least end - start the user may leave
    std::int32_t start = 0, end = 100;
    std::int32_t lineSize = 1, pageSize = 20;
};

struct Geometry {
    Rect channel{}, startThumb{}, endThumb{}, bar{};
    // Pixels per unit; 0 when the channel has no room beyond its margins and
    // thumbs or the range is empty (the thumbs then sit at the margin).
    double scale = 0;
};

// The large strip when its thickness fits in the client height.
constexpr bool UsesLargeStrip(int clientHeight, int largeThickness) { return largeThickness <= clientHeight; }
// The channel's distance from the client's top: centred, then kept to 0..3.
int ChannelInset(int clientHeight, int thickness);
// The channel across the client, the thumbs and the bar between them.
Geometry Layout(Rect client, const Strip& strip, const Values& values);

// The part under a point: the start thumb, the end thumb, then the bar.
Part PartAt(const Geometry& geometry, int x, int y);
// Where on the part the drag took hold (what ValueAt takes off again).
int GrabOffset(const Geometry& geometry, Part part, int x);
// The value under a pointer at `x` for a part held `grab` pixels in; the
// minimum when nothing can move.
std::int64_t ValueAt(int x, int grab, Rect client, const Strip& strip, const Values& values, double scale);

// Sets `requested` for a part: the start thumb stays at most the minimum
// length below the end, the end thumb at least that far above the start,
// the bar keeps its length; all within the range (where both bounds bind,
// the start's lower bound and the end's upper bound win). False, changing
// nothing, when the value that moves (the end for the end thumb, else the
// start) stays.
bool SetPart(Values& values, Part part, std::int64_t requested);

// The keys, by what they ask for.
enum class Key { kPageLess, kPageMore, kLast, kFirst, kLineLess, kLineMore };
// The value a key asks for, from the end (Shift held) or the start.
std::int64_t KeyRequest(Key key, const Values& values, bool onEnd);

// The minimum length stored for a request: within 0..maximum - minimum.
std::int32_t ClampMinLength(std::int64_t requested, const Values& values);
// The page size after a change of the range: a tenth of it, 0 becoming 1.
std::int32_t PageSizeFor(std::int32_t minimum, std::int32_t maximum);
// A 32-bit value from a 64-bit sum, saturated.
std::int32_t Saturated(std::int64_t value);
// end - start as the 32-bit answer carries it.
std::int32_t LengthAnswer(const Values& values);

// The span to repaint after a move: everything either thumb covered before
// or covers now, where it moved; empty when no thumb moved.
Rect MovedSpan(const Geometry& before, const Geometry& after);

// The cell a thumb is drawn with: the press state, but the thumb that is not
// dragged shows the normal cell (disabled: both the disabled cell).
int StartCell(int press, Part active);
int EndCell(int press, Part active);

// One piece of the drawing: a part of the strip copied (or stretched) onto
// `to`; `sx`, `sy` in the skin bitmap, the source `sw` by `sh`.
struct Blit {
    Rect to;
    int sx, sy, sw, sh;
    bool stretch;
};
constexpr int kMaxBlits = 7;
// The pieces in drawing order: the channel's middle left and right of the
// thumbs, the bar, the end caps, the start and the end thumb. Answers how many.
int DrawingPlan(const Geometry& geometry, const Strip& strip, int startCell, int endCell, Blit (&out)[kMaxBlits]);

}  // namespace range
}  // namespace kelmard
