// Which statics the skinned static paints itself, and the DrawText flags of
// their text, from the window style. Portable: built in every build.
#pragma once
#include <cstdint>

namespace kelmard {
namespace statics {

// Static styles (the platform's values).
constexpr std::uint32_t kTypeMask = 0x1F;
constexpr std::uint32_t kLeft = 0x00, kCenter = 0x01, kRight = 0x02, kSimple = 0x0B, kLeftNoWordWrap = 0x0C;
constexpr std::uint32_t kNoPrefix = 0x80, kCenterImage = 0x200, kSunken = 0x1000;
constexpr std::uint32_t kEllipsisMask = 0xC000, kEndEllipsis = 0x4000, kPathEllipsis = 0x8000,
                        kWordEllipsis = 0xC000;

// DrawText flags (the platform's DT_ values).
constexpr std::uint32_t kDtCenter = 0x1, kDtRight = 0x2, kDtVCenter = 0x4, kDtWordBreak = 0x10,
                        kDtSingleLine = 0x20, kDtNoPrefix = 0x800, kDtPathEllipsis = 0x4000,
                        kDtEndEllipsis = 0x8000, kDtWordEllipsis = 0x40000;

struct TextFormat {
    bool selfDrawn;        // a text static the skinned class paints
    std::uint32_t format;  // its DrawText flags (0 when not self-drawn)
};

TextFormat FormatForStyle(std::uint32_t style);

}  // namespace statics
}  // namespace kelmard
