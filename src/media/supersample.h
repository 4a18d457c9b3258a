// The text renderer's portable parts: the page scale and the 2x2
// supersampling reduction. No Windows calls: built in every preset, tested and
// benchmarked natively.
#pragma once
#include <cstdint>

namespace kelmard::media {

// The viewport extent, per 1000 window units, that draws one pixel of a page
// `layoutWidth` pixels wide as 2 * width / layoutWidth work pixels, rounded
// down and computed exactly. False, with `viewport` untouched, when that is
// no usable extent: below 1 (nothing would be drawn) or past the int range.
bool PageScale(int width, int layoutWidth, int& viewport);

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
