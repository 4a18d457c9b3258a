// Area-averaging resize of 24/32-bit pixel blocks into 32-bit pixels. Portable:
// no platform headers, built and tested natively too.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kelmard {

// Resizes srcWidth x srcHeight source pixels (blue, green, red read from every
// srcBitsPerPixel / 8 bytes; rows srcStride bytes apart) into dstWidth x
// dstHeight destination pixels of 4 bytes (rows dstStride bytes apart): the
// first three bytes of each are written, the fourth is left as it was.
//
// Exact area averaging: each source pixel is cut into dstWidth x dstHeight
// parts and each destination pixel covers srcWidth x srcHeight of them; a
// channel is the weighted sum of the covered source pixels divided by
// srcWidth x srcHeight, truncated. Strides may be negative (bottom-up rows).
// Nothing is written, and the answer is false, when a size is below 1, a
// pointer is null, the source has fewer than 24 bits per pixel, or the work
// tables cannot be allocated (it never throws: window procedures call it).
bool ResampleAreaAverage(std::uint8_t* dst, int dstWidth, int dstHeight, std::ptrdiff_t dstStride,
                         const std::uint8_t* src, int srcWidth, int srcHeight,
                         std::ptrdiff_t srcStride, int srcBitsPerPixel) noexcept;

}  // namespace kelmard
