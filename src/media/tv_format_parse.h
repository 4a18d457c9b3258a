// TV format values as the preset file writes them: frame size, pixel aspect
// and underscan area. Portable (no Windows calls): built in every preset.
#pragma once
#include <cstdint>

namespace kelmard::media {

// One TV format record, 16 bytes, in file order.
struct TvFormat {
    std::int16_t width;
    std::int16_t height;
    float aspect;
    std::int16_t underscan[4];  // in the order written in the file
};
static_assert(sizeof(TvFormat) == 16, "a TV format record is 16 bytes");

// "Frame": two C %hi numbers joined by a lower-case x ("720x576", "0x2D0x576").
bool ParseFrameSize(const char* text, std::int16_t& width, std::int16_t& height);
// "PAspect": as atof; 0, missing or not a number gives 1.0.
float ParsePixelAspect(const char* text);
// "Underscan": four C %hi numbers separated by commas, blanks optional.
bool ParseUnderscan(const char* text, std::int16_t (&underscan)[4]);

// The first record whose size equals the frame size (width in the low 16
// bits, height in the high 16 bits); null when none does.
const TvFormat* FindTvFormat(const TvFormat* table, int count, std::uint32_t frameSize);

}  // namespace kelmard::media
