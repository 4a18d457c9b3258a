// The area-averaging resize against a plain reference: every destination
// pixel summed over every source pixel with the product of the axis overlaps.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "controls/framework/resample.h"

namespace {

using kelmard::ResampleAreaAverage;
using Bytes = std::vector<std::uint8_t>;

// Overlap of source index i (parts [i*dst, (i+1)*dst)) and destination index
// j (parts [j*src, (j+1)*src)).
std::int64_t Overlap(int i, int j, int src, int dst) {
    const std::int64_t lo = std::max(std::int64_t{i} * dst, std::int64_t{j} * src);
    const std::int64_t hi = std::min(std::int64_t{i + 1} * dst, std::int64_t{j + 1} * src);
    return hi > lo ? hi - lo : 0;
}

struct Block {
    int width, height, stride, bytesPerPixel;
    Bytes bytes;
};

Block Source(int w, int h, int bpp, int pad, unsigned seed) {
    Block b{w, h, w * (bpp / 8) + pad, bpp / 8, Bytes(static_cast<std::size_t>(w * (bpp / 8) + pad) * h)};
    for (auto& v : b.bytes) v = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
    return b;
}

// The reference leaves the fourth byte and the row padding at the fill value.
Bytes Reference(const Block& s, int dw, int dh, int dstride, std::uint8_t fill) {
    Bytes out(static_cast<std::size_t>(dstride) * dh, fill);
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x)
            for (int c = 0; c < 3; ++c) {
                std::uint64_t sum = 0;
                for (int j = 0; j < s.height; ++j)
                    for (int i = 0; i < s.width; ++i)
                        sum += static_cast<std::uint64_t>(Overlap(i, x, s.width, dw) * Overlap(j, y, s.height, dh)) *
                               s.bytes[static_cast<std::size_t>(j * s.stride + i * s.bytesPerPixel + c)];
                out[static_cast<std::size_t>(y * dstride + x * 4 + c)] =
                    static_cast<std::uint8_t>(sum / (static_cast<std::uint64_t>(s.width) * s.height));
            }
    return out;
}

// Every size pair, 24 and 32 bits, padded rows; every other case walks both
// blocks bottom-up (the last row first, negative strides).
TEST(Resample, MatchesThePlainReferenceOnManySizesAndRowOrders) {
    const int sizes[] = {1, 2, 3, 5, 7, 8, 13, 20, 31};
    int cases = 0;  // numbers the cases, each with its own variations
    for (int sw : sizes)
        for (int sh : sizes)
            for (int dw : sizes)
                for (int dh : {1, 4, 9, 20}) {
                    const int bpp = (cases % 2) ? 32 : 24, dstride = dw * 4 + (cases % 4) * 4;
                    const Block s = Source(sw, sh, bpp, cases % 3, static_cast<unsigned>(cases) + 1);
                    const std::uint8_t fill = static_cast<std::uint8_t>(cases * 37);
                    Bytes out(static_cast<std::size_t>(dstride) * dh, fill);
                    if (cases % 3 == 2) {  // bottom-up: the same rows stored the other way round
                        Bytes flipped(s.bytes.size());
                        for (int y = 0; y < sh; ++y)
                            std::copy_n(s.bytes.begin() + y * s.stride, s.stride, flipped.begin() + (sh - 1 - y) * s.stride);
                        ResampleAreaAverage(out.data() + (dh - 1) * dstride, dw, dh, -dstride,
                                            flipped.data() + (sh - 1) * s.stride, sw, sh, -s.stride, bpp);
                        Bytes rows(out.size());
                        for (int y = 0; y < dh; ++y)
                            std::copy_n(out.begin() + y * dstride, dstride, rows.begin() + (dh - 1 - y) * dstride);
                        out = rows;
                    } else {
                        ResampleAreaAverage(out.data(), dw, dh, dstride, s.bytes.data(), sw, sh, s.stride, bpp);
                    }
                    ASSERT_EQ(out, Reference(s, dw, dh, dstride, fill))
                        << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << bpp << " bits";
                    ++cases;
                }
}

TEST(Resample, EmptySizesNullBlocksAndShallowPixelsWriteNothing) {
    const Block s = Source(4, 4, 24, 0, 9);
    Bytes out(64, 0x5A);
    const Bytes untouched = out;
    // Destination width, height; source width, height, bits per pixel; a block left null.
    const int cases[][6] = {{0, 4, 4, 4, 24, 0}, {4, 0, 4, 4, 24, 0}, {4, -3, 4, 4, 24, 0}, {4, 4, 0, 4, 24, 0},
                            {4, 4, 4, 0, 24, 0}, {4, 4, 4, 4, 16, 0}, {4, 4, 4, 4, 8, 0},   {4, 4, 4, 4, 24, 1},
                            {4, 4, 4, 4, 24, 2}};
    for (const auto& c : cases)
        EXPECT_FALSE(ResampleAreaAverage(c[5] == 2 ? nullptr : out.data(), c[0], c[1], 16,
                                         c[5] == 1 ? nullptr : s.bytes.data(), c[2], c[3], s.stride, c[4]));
    EXPECT_EQ(out, untouched);
}

TEST(Resample, LargeBlocksDoNotOverflowTheSums) {
    // 4200 x 4200 white pixels into a few: each sum reaches 255 x 4200 x 4200,
    // more than 32 bits hold.
    const int n = 4200;
    const Bytes white(static_cast<std::size_t>(n) * n * 3, 255);
    Bytes out(3 * 2 * 4, 0);
    ASSERT_TRUE(ResampleAreaAverage(out.data(), 3, 2, 12, white.data(), n, n, n * 3, 24));
    for (int p = 0; p < 6; ++p)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(out[static_cast<std::size_t>(p * 4 + c)], 255) << "pixel " << p;
}

}  // namespace
