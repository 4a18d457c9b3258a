// The 2x2 supersampling reduction of the text renderer. Portable (no Windows
// calls): built in every preset, tested and benchmarked natively.
#pragma once
#include <cstdint>

namespace kelmard::media {

// Reduces a work image of (2*width) x (2*height) 32-bit pixels (bytes blue,
// green, red, alpha; rows in memory order, no padding) to `result`, width x
// height pixels of the same kind. `keyRgb` is the background as 0x00RRGGBB:
// a work pixel whose blue, green and red equal it is background, whatever its
// alpha byte.
//  - coverage: each result pixel takes the colour of the last covered work
//    pixel of its block (the key when none) and alpha (255 * covered + 2) >> 2,
//    that is 0, 64, 128, 191 or 255;
//  - otherwise: each of blue, green and red is the rounded mean of the block,
//    alpha 0.
void ReduceSupersampled(const std::uint32_t* work, std::uint32_t* result, int width, int height,
                        std::uint32_t keyRgb, bool coverage);

// True when some pixel's blue, green or red differs from the key.
bool HasInk(const std::uint32_t* pixels, long long count, std::uint32_t keyRgb);

}  // namespace kelmard::media
