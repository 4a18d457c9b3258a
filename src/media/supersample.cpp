#include "media/supersample.h"

#include <climits>
#include <cstddef>
#include <initializer_list>

namespace kelmard::media {
namespace {

constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;

inline std::uint32_t CoveredPixel(std::uint32_t a, std::uint32_t b, std::uint32_t c,
                                  std::uint32_t d, std::uint32_t key) {
    // Later covered pixels win: the last of the block in memory order.
    std::uint32_t colour = key;
    std::uint32_t sum = 0;
    for (const std::uint32_t p : {a, b, c, d}) {
        if ((p & kRgbMask) != key) {
            colour = p & kRgbMask;
            sum += 255;
        }
    }
    return colour | (((sum + 2) >> 2) << 24);
}

inline std::uint32_t AveragedPixel(std::uint32_t a, std::uint32_t b, std::uint32_t c,
                                   std::uint32_t d) {
    // Blue and red side by side in one word (each sum fits in 10 bits), green alone.
    const std::uint32_t rb = (a & 0x00FF00FFu) + (b & 0x00FF00FFu) + (c & 0x00FF00FFu) +
                             (d & 0x00FF00FFu) + 0x00020002u;
    const std::uint32_t g = (a & 0x0000FF00u) + (b & 0x0000FF00u) + (c & 0x0000FF00u) +
                            (d & 0x0000FF00u) + 0x00000200u;
    return ((rb >> 2) & 0x00FF00FFu) | ((g >> 2) & 0x0000FF00u);
}

}  // namespace

bool PageScale(int width, int layoutWidth, int& viewport) {
    if (width <= 0 || layoutWidth <= 0) return false;
    const long long scaled = 2000ll * width / layoutWidth;  // at most 2000 * INT_MAX
    if (scaled < 1 || scaled > INT_MAX) return false;
    viewport = static_cast<int>(scaled);
    return true;
}

void ReduceSupersampled(const std::uint32_t* work, std::uint32_t* result, int width, int height,
                        std::uint32_t keyRgb, bool coverage) {
    const std::size_t workStride = static_cast<std::size_t>(width) * 2;
    const std::uint32_t key = keyRgb & kRgbMask;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row0 = work + static_cast<std::size_t>(y) * 2 * workStride;
        const std::uint32_t* row1 = row0 + workStride;
        std::uint32_t* out = result + static_cast<std::size_t>(y) * width;
        if (coverage) {
            for (int x = 0; x < width; ++x)
                out[x] = CoveredPixel(row0[2 * x], row0[2 * x + 1], row1[2 * x], row1[2 * x + 1], key);
        } else {
            for (int x = 0; x < width; ++x)
                out[x] = AveragedPixel(row0[2 * x], row0[2 * x + 1], row1[2 * x], row1[2 * x + 1]);
        }
    }
}

bool HasInk(const std::uint32_t* pixels, long long count, std::uint32_t keyRgb) {
    const std::uint32_t key = keyRgb & kRgbMask;
    for (long long i = 0; i < count; ++i) {
        if ((pixels[i] & kRgbMask) != key) return true;
    }
    return false;
}

}  // namespace kelmard::media
