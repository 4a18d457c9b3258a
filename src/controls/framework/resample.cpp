// Area-averaging resize. Along each axis, source pixel i covers the parts
// [i * dstSize, (i + 1) * dstSize) and destination pixel j covers
// [j * srcSize, (j + 1) * srcSize); the weight of i in j is the length of the
// overlap. A 2D weight is the product of the two axis weights.
#include "controls/framework/resample.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace kelmard {
namespace {

struct Tap {
    int source;  // source index
    std::int64_t weight;
};

// For every destination index, the first tap and the number of taps.
struct Axis {
    std::vector<Tap> taps;
    std::vector<std::size_t> first;
    std::vector<int> count;
};

Axis MakeAxis(int srcSize, int dstSize) {
    Axis axis;
    axis.first.resize(static_cast<std::size_t>(dstSize));
    axis.count.resize(static_cast<std::size_t>(dstSize));
    for (int j = 0; j < dstSize; ++j) {
        const std::int64_t lo = std::int64_t{j} * srcSize, hi = lo + srcSize;
        int i = static_cast<int>(lo / dstSize);
        axis.first[static_cast<std::size_t>(j)] = axis.taps.size();
        int n = 0;
        for (; i < srcSize; ++i) {
            const std::int64_t a = std::int64_t{i} * dstSize, b = a + dstSize;
            if (a >= hi) break;
            const std::int64_t w = std::min(b, hi) - std::max(a, lo);
            if (w > 0) {
                axis.taps.push_back({i, w});
                ++n;
            }
        }
        axis.count[static_cast<std::size_t>(j)] = n;
    }
    return axis;
}

}  // namespace

bool ResampleAreaAverage(std::uint8_t* dst, int dstWidth, int dstHeight, std::ptrdiff_t dstStride,
                         const std::uint8_t* src, int srcWidth, int srcHeight,
                         std::ptrdiff_t srcStride, int srcBitsPerPixel) noexcept {
    if (!dst || !src || dstWidth < 1 || dstHeight < 1 || srcWidth < 1 || srcHeight < 1 ||
        srcBitsPerPixel < 24)
        return false;
    const std::ptrdiff_t step = srcBitsPerPixel / 8;
    // Every allocation comes before the first byte is written.
    Axis xs, ys;
    std::vector<std::uint64_t> across, sums;  // one source row across; the channel sums per column
    try {
        xs = MakeAxis(srcWidth, dstWidth);
        ys = MakeAxis(srcHeight, dstHeight);
        across.resize(static_cast<std::size_t>(dstWidth) * 3);
        sums.resize(static_cast<std::size_t>(dstWidth) * 3);
    } catch (const std::exception&) {
        return false;
    }
    const std::uint64_t divisor = static_cast<std::uint64_t>(srcWidth) * static_cast<std::uint64_t>(srcHeight);
    for (int y = 0; y < dstHeight; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const std::size_t yFirst = ys.first[static_cast<std::size_t>(y)];
        for (int t = 0; t < ys.count[static_cast<std::size_t>(y)]; ++t) {
            const Tap& row = ys.taps[yFirst + static_cast<std::size_t>(t)];
            const std::uint8_t* line = src + static_cast<std::ptrdiff_t>(row.source) * srcStride;
            for (int x = 0; x < dstWidth; ++x) {
                std::uint64_t b = 0, g = 0, r = 0;
                const std::size_t xFirst = xs.first[static_cast<std::size_t>(x)];
                for (int u = 0; u < xs.count[static_cast<std::size_t>(x)]; ++u) {
                    const Tap& col = xs.taps[xFirst + static_cast<std::size_t>(u)];
                    const std::uint8_t* p = line + static_cast<std::ptrdiff_t>(col.source) * step;
                    const auto w = static_cast<std::uint64_t>(col.weight);
                    b += w * p[0];
                    g += w * p[1];
                    r += w * p[2];
                }
                across[static_cast<std::size_t>(x) * 3 + 0] = b;
                across[static_cast<std::size_t>(x) * 3 + 1] = g;
                across[static_cast<std::size_t>(x) * 3 + 2] = r;
            }
            const auto wy = static_cast<std::uint64_t>(row.weight);
            for (std::size_t k = 0; k < sums.size(); ++k) sums[k] += wy * across[k];
        }
        std::uint8_t* out = dst + static_cast<std::ptrdiff_t>(y) * dstStride;
        for (int x = 0; x < dstWidth; ++x) {
            for (int c = 0; c < 3; ++c)
                out[x * 4 + c] = static_cast<std::uint8_t>(sums[static_cast<std::size_t>(x) * 3 + c] / divisor);
        }
    }
    return true;
}

}  // namespace kelmard
