// A work image for the reduction benchmarks: a title's worth of text pixels
// over a background, at twice a 720 x 576 frame.
#pragma once
#include <cstdint>
#include <vector>

namespace bench {

constexpr int kFrameWidth = 720;
constexpr int kFrameHeight = 576;
constexpr std::uint32_t kBackground = 0x00000000u;

inline std::vector<std::uint32_t> TitleWork() {
    std::vector<std::uint32_t> work(static_cast<std::size_t>(4) * kFrameWidth * kFrameHeight, kBackground);
    // Bands of "glyph" strokes: about a tenth of the pixels covered.
    for (int y = 200; y < 360; ++y)
        for (int x = 100; x < 1340; ++x)
            if (((x / 7) + (y / 11)) % 3 == 0) work[static_cast<std::size_t>(y) * 2 * kFrameWidth + x] = 0x00FFF0C8u;
    return work;
}

}  // namespace bench
