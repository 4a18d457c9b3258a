// The spin's portable rules.
#include "controls/value/spin_layout.h"

#include <climits>

namespace kelmard {
namespace spin {
namespace {

// Digits beyond this saturate: far past any 32-bit value, far from overflow.
constexpr unsigned long long kSaturated = 1ull << 40;
constexpr unsigned long long kAll32Bits = 0xFFFFFFFFull;

int ToInt(long long value) {
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// A digit's value in bases up to 16, or -1.
int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

Range RangeFromWords(std::uint32_t packed) {
    Range range;
    range.maximum = static_cast<std::int16_t>(packed & 0xFFFFu);
    range.minimum = static_cast<std::int16_t>(packed >> 16);
    return range;
}

std::uint32_t RangeWords(Range range) {
    return (static_cast<std::uint32_t>(range.maximum) & 0xFFFFu) | (static_cast<std::uint32_t>(range.minimum) << 16);
}

int Clamp(Range range, long long value) {
    if (value < range.lower()) return range.lower();
    if (value > range.upper()) return range.upper();
    return static_cast<int>(value);
}

int Step(Range range, int position, Arrow arrow, int increment, bool wrap) {
    if (arrow == Arrow::kNone) return Clamp(range, position);
    // The up arrow leads toward the maximum, wherever it lies.
    const long long towardMaximum = range.maximum >= range.minimum ? 1 : -1;
    const long long sign = arrow == Arrow::kUp ? towardMaximum : -towardMaximum;
    const long long moved = Clamp(range, position) + sign * increment;
    const long long lower = range.lower(), upper = range.upper();
    if (moved >= lower && moved <= upper) return static_cast<int>(moved);
    if (!wrap) return Clamp(range, moved);
    const long long span = upper - lower + 1;
    return static_cast<int>(lower + ((moved - lower) % span + span) % span);
}

int IncrementAt(const Accel* table, int count, unsigned heldMs) {
    int increment = 1;
    for (int i = 0; table && i < count; ++i) {
        if (static_cast<unsigned long long>(table[i].seconds) * 1000u > heldMs) break;
        increment = table[i].increment > static_cast<std::uint32_t>(INT_MAX) ? INT_MAX
                                                                            : static_cast<int>(table[i].increment);
    }
    return increment;
}

unsigned HoldTimeOfRepeat(int repeat) {
    if (repeat <= 0) return 0;
    const unsigned long long ms = kFirstRepeatMs + static_cast<unsigned long long>(repeat - 1) * kRepeatMs;
    return ms > UINT_MAX ? UINT_MAX : static_cast<unsigned>(ms);
}

void FormatValue(int value, int base, char (&text)[kTextSize]) {
    // Digits from the right, then the sign (base 10 only).
    char digits[kTextSize];
    int n = 0;
    const bool hex = base == 16;
    const bool negative = !hex && value < 0;
    unsigned long long rest = hex ? static_cast<std::uint32_t>(value)
                                  : static_cast<unsigned long long>(negative ? -static_cast<long long>(value) : value);
    const unsigned divisor = hex ? 16u : 10u;
    do {
        digits[n++] = "0123456789abcdef"[rest % divisor];
        rest /= divisor;
    } while (rest);
    int out = 0;
    if (negative) text[out++] = '-';
    while (n) text[out++] = digits[--n];
    text[out] = '\0';
}

Reading ParseValue(const char* text, int base, Range range) {
    const char* p = text ? text : "";
    const unsigned radix = base == 16 ? 16u : 10u;
    while (IsSpace(*p)) ++p;
    const bool signed_ = *p == '+' || *p == '-';
    const bool negative = *p == '-';
    if (signed_) ++p;
    if (radix == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) >= 0) p += 2;
    unsigned long long magnitude = 0;
    int digits = 0;
    for (int d; (d = DigitValue(*p)) >= 0 && static_cast<unsigned>(d) < radix; ++p, ++digits)
        magnitude = magnitude >= kSaturated ? kSaturated : magnitude * radix + static_cast<unsigned>(d);
    const char* end = p;
    while (IsSpace(*end)) ++end;

    long long value;
    if (radix == 16 && !signed_ && magnitude <= kAll32Bits)
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));  // FormatValue's two's complement
    else
        value = ToInt(negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude));
    const int clamped = Clamp(range, value);
    return {clamped, digits > 0 && *end == '\0' && clamped == value};
}

Arrows LayoutArrows(Rect client, Bits style) {
    const int w = client.width(), h = client.height();
    if (style & sys::kUdsHorz)
        return {{client.right - w / 2, client.top, client.right, client.bottom},
                {client.left, client.top, client.left + w / 2, client.bottom}};
    return {{client.left, client.top, client.right, client.top + h / 2},
            {client.left, client.bottom - h / 2, client.right, client.bottom}};
}

Arrow HitArrow(const Arrows& arrows, int x, int y) {
    if (Inside(arrows.up, x, y)) return Arrow::kUp;
    if (Inside(arrows.down, x, y)) return Arrow::kDown;
    return Arrow::kNone;
}

Placement PlaceBesideBuddy(Rect buddy, Rect spin, Bits style) {
    const bool left = (style & sys::kUdsAlignLeft) != 0;
    if (!left && !(style & sys::kUdsAlignRight)) return {buddy, spin, 0};
    Placement p{buddy, buddy, left ? sys::kUdsAlignLeft : sys::kUdsAlignRight};
    if (left) {
        p.spin.right = buddy.left + kBuddyRoom;
        p.buddy.left += kBuddyRoom;
    } else {
        p.spin.left = buddy.right - kBuddyRoom;
        p.buddy.right -= kBuddyRoom;
    }
    return p;
}

Rect GiveBackRoom(Rect buddy, Bits taken) {
    if (taken == sys::kUdsAlignLeft) buddy.left -= kBuddyRoom;
    if (taken == sys::kUdsAlignRight) buddy.right += kBuddyRoom;
    return buddy;
}

int SetPosArgument(std::uintptr_t wParam, std::intptr_t lParam) {
    const std::uintptr_t word = lParam ? static_cast<std::uintptr_t>(lParam) : wParam;
    return static_cast<std::int16_t>(word & 0xFFFFu);
}

int PosAnswer(int position) { return static_cast<std::int16_t>(position & 0xFFFF); }

}  // namespace spin
}  // namespace kelmard
