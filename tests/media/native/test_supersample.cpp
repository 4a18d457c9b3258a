// The 2x2 supersampling reduction of the text renderer.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "media/supersample.h"

namespace {

using kelmard::media::HasInk;
using kelmard::media::ReduceSupersampled;

// A work image of (2w) x (2h) pixels filled with the background.
struct Work {
    int w, h;
    std::vector<std::uint32_t> px;
    Work(int width, int height, std::uint32_t fill)
        : w(width), h(height), px(static_cast<std::size_t>(4 * width * height), fill) {}
    std::uint32_t& at(int x, int y) { return px[static_cast<std::size_t>(y) * 2 * w + x]; }
    std::vector<std::uint32_t> Reduce(std::uint32_t key, bool coverage) const {
        std::vector<std::uint32_t> out(static_cast<std::size_t>(w * h), 0xDEADBEEFu);
        ReduceSupersampled(px.data(), out.data(), w, h, key, coverage);
        return out;
    }
};

constexpr std::uint32_t kKey = 0x00102030;  // the background, 0x00RRGGBB

TEST(Supersample, CoverageCountsCoveredPixelsAndKeepsTheLastColour) {
    // One block per covered count 0..4.
    Work work(5, 1, kKey);
    const std::uint32_t red = 0x00FF0000, blue = 0x000000FF;
    work.at(2, 0) = red;                                            // 1
    work.at(4, 0) = red; work.at(4, 1) = blue;                      // 2: blue is later
    work.at(6, 0) = blue; work.at(7, 0) = red; work.at(6, 1) = red; // 3
    for (int x : {8, 9}) for (int y : {0, 1}) work.at(x, y) = (x == 9 && y == 1) ? blue : red;
    const auto out = work.Reduce(kKey, true);
    EXPECT_EQ(out[0], 0x00102030u);                 // the key colour, alpha 0
    EXPECT_EQ(out[1], (64u << 24) | red);
    EXPECT_EQ(out[2], (128u << 24) | blue);
    EXPECT_EQ(out[3], (191u << 24) | red);
    EXPECT_EQ(out[4], (255u << 24) | blue);
}

TEST(Supersample, AlphaAloneIsNotCoverage) {
    Work work(2, 1, kKey);
    work.at(0, 0) = 0xFF000000u | kKey;  // differs in alpha only
    work.at(1, 1) = 0x80000000u | kKey;
    work.at(2, 0) = 0x01000000u | 0x00102031u;  // differs in blue by one
    const auto cov = work.Reduce(kKey, true);
    EXPECT_EQ(cov[0], kKey);
    EXPECT_EQ(cov[1], (64u << 24) | 0x00102031u);
    const auto avg = work.Reduce(kKey, false);
    EXPECT_EQ(avg[0], kKey);  // the alpha bytes do not leak into the mean
    EXPECT_FALSE(HasInk(work.px.data(), 2, kKey));  // (0,0) and (1,0)
    EXPECT_TRUE(HasInk(work.px.data(), static_cast<long long>(work.px.size()), kKey));
}

TEST(Supersample, AveragesEachChannelRounded) {
    Work work(2, 1, 0);
    // Two black, two white: (510 + 2) >> 2 = 128 in each channel, alpha 0.
    work.at(0, 0) = 0xFFFFFFFFu; work.at(1, 1) = 0x00FFFFFFu;
    // Channels must not carry into each other: (1 + 2 + 3 + 255 + 2) >> 2 = 65 etc.
    work.at(2, 0) = 0xAA0001FFu; work.at(3, 0) = 0x000002FFu;
    work.at(2, 1) = 0x00FF03FFu; work.at(3, 1) = 0x000000FEu;
    const auto out = work.Reduce(kKey, false);
    EXPECT_EQ(out[0], 0x00808080u);
    const std::uint32_t r = (0 + 0 + 0xFF + 0 + 2) >> 2;
    const std::uint32_t g = (1 + 2 + 3 + 0 + 2) >> 2;
    const std::uint32_t b = (0xFF * 3 + 0xFE + 2) >> 2;
    EXPECT_EQ(out[1], (r << 16) | (g << 8) | b);
}

TEST(Supersample, BlocksComeFromTheirOwnRows) {
    // A 3 x 2 result: each block gets a distinct colour in one corner; the
    // rows of the work image follow memory order.
    Work work(3, 2, kKey);
    std::uint32_t colour = 1;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) work.at(2 * x + (x & 1), 2 * y + (y & 1)) = colour++;
    const auto out = work.Reduce(kKey, true);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(out[i], (64u << 24) | static_cast<std::uint32_t>(i + 1)) << i;
}

TEST(Supersample, ReducesAWideImageIntoExactlyItsResult) {
    // The sanitizers see any read or write outside the two buffers.
    for (int w : {1, 7, 64}) {
        for (int h : {1, 3}) {
            Work work(w, h, 0x00FFFFFF);
            work.at(2 * w - 1, 2 * h - 1) = 0;
            const auto out = work.Reduce(0x00FFFFFF, true);
            EXPECT_EQ(out.back(), 64u << 24);
            EXPECT_EQ(out.front() & 0xFF000000u, w * h == 1 ? (64u << 24) : 0u);
        }
    }
}

}  // namespace
