// The spin's rules that need no window: the range and its direction, steps
// with wrap or clamping, acceleration while an arrow is held, the buddy's
// text in bases 10 and 16, where the arrows lie and where a spin aligned to
// its buddy goes. Portable: built in every build.
#pragma once
#include <cstdint>

#include "controls/framework/geometry.h"
#include "controls/framework/system_constants.h"

namespace kelmard {
namespace spin {

using sys::Bits;

// The spin is this wide when it takes room from its buddy.
constexpr int kBuddyRoom = 16;
// A held arrow steps at once, again after kFirstRepeatMs, then every kRepeatMs.
constexpr unsigned kFirstRepeatMs = 500;
constexpr unsigned kRepeatMs = 100;
// Characters read from the buddy (longer texts are not a number).
constexpr int kTextSize = 64;

// The two arrows: up (or right with UDS_HORZ) leads toward the range's
// maximum, down (or left) toward its minimum.
enum class Arrow { kNone, kUp, kDown };

// The range as a caller gives it: the maximum may lie below the minimum, and
// the up arrow still leads to it. A new spin has the pair (100, 0): its up
// arrow counts down toward 0.
struct Range {
    int minimum = 100;
    int maximum = 0;
    int lower() const { return minimum < maximum ? minimum : maximum; }
    int upper() const { return minimum < maximum ? maximum : minimum; }
};
// The 16-bit form: MAKELONG(maximum, minimum), each word sign-extended; the
// answer to the range query gives the words back as they were set.
Range RangeFromWords(std::uint32_t packed);
std::uint32_t RangeWords(Range range);

// The value nearest `value` inside the range.
int Clamp(Range range, long long value);
// `position` moved `increment` toward the arrow's end. Past an end it wraps
// around to the other end (as many values past it as it went over), or
// without `wrap` stays at the end.
int Step(Range range, int position, Arrow arrow, int increment, bool wrap);

// One row of the acceleration table: after `seconds` of holding an arrow,
// each step moves `increment` (laid out as the platform's UDACCEL).
struct Accel {
    std::uint32_t seconds;
    std::uint32_t increment;
};
constexpr int kMaxAccels = 32;  // rows kept of a longer table
// The table a new spin has: steps of 1 however long an arrow is held, until
// UDM_SETACCEL gives another.
constexpr Accel kDefaultAccels[] = {{0, 1}};
// The increment `heldMs` into a hold: the last row, in table order, whose
// time has come (the rows are read in order, up to the first not yet due);
// 1 for an empty table or one whose first row is not due yet.
int IncrementAt(const Accel* table, int count, unsigned heldMs);
// How long the arrow has been held at its n-th repeat (0: the first step).
unsigned HoldTimeOfRepeat(int repeat);

// The buddy's text of a value: base 10 signed, base 16 lower case without a
// prefix (a negative value as its 32-bit two's complement, ffffffff for -1).
void FormatValue(int value, int base, char (&text)[kTextSize]);

// A buddy's text read as a value: white space, a sign, in base 16 an
// optional 0x, then digits up to the first that is not one (no digits: 0).
// Too large a number saturates; base 16 reads eight digits without a sign as
// the two's complement FormatValue writes. The value is then clamped to the
// range. `exact` is false when the text was anything but one number within
// the range (white space around it allowed).
struct Reading {
    int value;
    bool exact;
};
Reading ParseValue(const char* text, int base, Range range);

// The arrows' rectangles in the client: the top and bottom halves (left and
// right with UDS_HORZ), each measured from its own edge.
struct Arrows {
    Rect up;
    Rect down;
};
Arrows LayoutArrows(Rect client, Bits style);
Arrow HitArrow(const Arrows& arrows, int x, int y);

// A spin aligned to its buddy (UDS_ALIGNLEFT or UDS_ALIGNRIGHT) takes
// kBuddyRoom pixels of the buddy's side; `taken` is that side's style bit, 0
// when the spin keeps its own rectangle. Rectangles in the parent's coordinates.
struct Placement {
    Rect buddy;
    Rect spin;
    Bits taken;
};
Placement PlaceBesideBuddy(Rect buddy, Rect spin, Bits style);
// The buddy given back the room taken from its `taken` side.
Rect GiveBackRoom(Rect buddy, Bits taken);

constexpr bool ValidBase(std::uintptr_t base) { return base == 10 || base == 16; }
constexpr Bits DialogCode(Bits style) { return (style & sys::kUdsArrowKeys) ? sys::kDlgcWantArrows : sys::kDlgcStatic; }

// The position UDM_SETPOS asks for: LOWORD(lParam) as the system control
// reads it, or LOWORD(wParam) when lParam is 0; sign-extended.
int SetPosArgument(std::uintptr_t wParam, std::intptr_t lParam);
// UDM_GETPOS's answer: the position's low 16 bits, sign-extended (no error
// word: a program reads a negative position as a negative number).
int PosAnswer(int position);

}  // namespace spin
}  // namespace kelmard
