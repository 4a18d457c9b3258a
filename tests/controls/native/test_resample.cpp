// The area-averaging resize against a plain reference: every destination
// pixel summed over every source pixel with the product of the axis overlaps.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "controls/framework/resample.h"

namespace {

using kelmard::ResampleAreaAverage;

// Overlap of source index i (parts [i*dst, (i+1)*dst)) and destination index
// j (parts [j*src, (j+1)*src)).
std::int64_t Overlap(int i, int j, int src, int dst) {
    const std::int64_t a = std::int64_t{i} * dst, b = a + dst;
    const std::int64_t c = std::int64_t{j} * src, d = c + src;
    const std::int64_t lo = a > c ? a : c, hi = b < d ? b : d;
    return hi > lo ? hi - lo : 0;
}

struct Block {
    int width, height, stride, bytesPerPixel;
    std::vector<std::uint8_t> bytes;
};

Block Source(int w, int h, int bpp, int pad, unsigned seed) {
    Block b{w, h, w * (bpp / 8) + pad, bpp / 8, {}};
    b.bytes.resize(static_cast<std::size_t>(b.stride) * h);
    for (auto& v : b.bytes) {
        seed = seed * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(seed >> 16);
    }
    return b;
}

std::vector<std::uint8_t> Reference(const Block& s, int dw, int dh, int dstride, std::uint8_t fill) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(dstride) * dh, fill);
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x)
            for (int c = 0; c < 3; ++c) {
                std::uint64_t sum = 0;
                for (int j = 0; j < s.height; ++j)
                    for (int i = 0; i < s.width; ++i) {
                        const std::int64_t w = Overlap(i, x, s.width, dw) * Overlap(j, y, s.height, dh);
                        sum += static_cast<std::uint64_t>(w) *
                               s.bytes[static_cast<std::size_t>(j) * s.stride + static_cast<std::size_t>(i) * s.bytesPerPixel + c];
                    }
                out[static_cast<std::size_t>(y) * dstride + x * 4 + c] =
                    static_cast<std::uint8_t>(sum / (static_cast<std::uint64_t>(s.width) * s.height));
            }
    return out;
}

// The reference leaves the fourth byte and the row padding at the fill value:
// the resize must too.
TEST(Resample, MatchesThePlainReferenceOnManySizes) {
    const int sizes[] = {1, 2, 3, 5, 7, 8, 13, 20, 31};
    unsigned seed = 1;
    int cases = 0;
    for (int sw : sizes)
        for (int sh : sizes)
            for (int dw : sizes)
                for (int dh : {1, 4, 9, 20}) {
                    const int bpp = (cases % 2) ? 32 : 24;
                    const Block s = Source(sw, sh, bpp, cases % 3, seed++);
                    const int dstride = dw * 4 + (cases % 4) * 4;
                    const std::uint8_t fill = static_cast<std::uint8_t>(cases * 37);
                    std::vector<std::uint8_t> out(static_cast<std::size_t>(dstride) * dh, fill);
                    ResampleAreaAverage(out.data(), dw, dh, dstride, s.bytes.data(), sw, sh, s.stride, bpp);
                    ASSERT_EQ(out, Reference(s, dw, dh, dstride, fill))
                        << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << bpp << " bits";
                    ++cases;
                }
    EXPECT_EQ(cases, 9 * 9 * 9 * 4);
}

TEST(Resample, BottomUpRowsWithNegativeStrides) {
    const Block s = Source(9, 7, 32, 0, 3);
    const std::vector<std::uint8_t> expected = Reference(s, 4, 3, 16, 0);
    // The same pixels with the rows stored the other way round, walked from the last row.
    std::vector<std::uint8_t> flipped(s.bytes.size());
    for (int y = 0; y < 7; ++y)
        std::copy(s.bytes.begin() + y * s.stride, s.bytes.begin() + (y + 1) * s.stride,
                  flipped.begin() + (6 - y) * s.stride);
    std::vector<std::uint8_t> out(16 * 3, 0);
    ResampleAreaAverage(out.data() + 2 * 16, 4, 3, -16, flipped.data() + 6 * s.stride, 9, 7, -s.stride, 32);
    for (int y = 0; y < 3; ++y)
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(out[static_cast<std::size_t>(2 - y) * 16 + k], expected[static_cast<std::size_t>(y) * 16 + k]);
}

TEST(Resample, EmptySizesAndShallowPixelsWriteNothing) {
    const Block s = Source(4, 4, 24, 0, 9);
    std::vector<std::uint8_t> out(64, 0x5A);
    const std::vector<std::uint8_t> untouched = out;
    ResampleAreaAverage(out.data(), 0, 4, 16, s.bytes.data(), 4, 4, s.stride, 24);   // no destination width
    ResampleAreaAverage(out.data(), 4, 0, 16, s.bytes.data(), 4, 4, s.stride, 24);   // no destination height
    ResampleAreaAverage(out.data(), 4, -3, 16, s.bytes.data(), 4, 4, s.stride, 24);
    ResampleAreaAverage(out.data(), 4, 4, 16, s.bytes.data(), 0, 4, s.stride, 24);   // no source width
    ResampleAreaAverage(out.data(), 4, 4, 16, s.bytes.data(), 4, 0, s.stride, 24);   // no source height
    ResampleAreaAverage(out.data(), 4, 4, 16, s.bytes.data(), 4, 4, s.stride, 16);   // 16-bit source
    ResampleAreaAverage(out.data(), 4, 4, 16, s.bytes.data(), 4, 4, s.stride, 8);
    ResampleAreaAverage(out.data(), 4, 4, 16, nullptr, 4, 4, s.stride, 24);
    ResampleAreaAverage(nullptr, 4, 4, 16, s.bytes.data(), 4, 4, s.stride, 24);
    EXPECT_EQ(out, untouched);
}

TEST(Resample, LargeBlocksDoNotOverflowTheSums) {
    // 4200 x 4200 white pixels into a few: each sum reaches 255 x 4200 x 4200,
    // more than 32 bits hold.
    const int n = 4200;
    std::vector<std::uint8_t> white(static_cast<std::size_t>(n) * n * 3, 255);
    std::vector<std::uint8_t> out(3 * 2 * 4, 0);
    ResampleAreaAverage(out.data(), 3, 2, 12, white.data(), n, n, n * 3, 24);
    for (int p = 0; p < 6; ++p)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(out[static_cast<std::size_t>(p) * 4 + c], 255) << "pixel " << p;
}

}  // namespace
