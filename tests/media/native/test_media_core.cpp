// The media services' portable core: the TV format preset values, read as
// the C library reads them (the table's lookup is tested through the library),
// and the 2x2 supersampling reduction of the text renderer.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "media/supersample.h"
#include "media/tv_format_parse.h"

namespace {

using namespace kelmard::media;

TEST(TvFormatParse, FrameSizeAspectAndUnderscan) {
    const struct { const char* text; bool ok; int w, h; } frames[] = {
        {"720x576", true, 720, 576}, {"  0x2D0x486", true, 720, 486}, {"01320x010", true, 720, 8},
        {"40000x1", true, static_cast<std::int16_t>(40000), 1},  // 16-bit signed, as %hi stores it
        {"720X576", false}, {"720 x 576", false}, {"720", false}, {"", false},
    };
    for (const auto& f : frames) {
        std::int16_t w = 5, h = 5;  // a rejected value leaves the record alone
        EXPECT_EQ(ParseFrameSize(f.text, w, h), f.ok) << f.text;
        EXPECT_EQ(w, f.ok ? f.w : 5) << f.text;
        EXPECT_EQ(h, f.ok ? f.h : 5) << f.text;
    }
    const struct { const char* text; float aspect; } aspects[] = {
        {"1.0926", 1.0926f}, {" 0.9091 trailing", 0.9091f}, {"", 1.0f}, {"0", 1.0f},
        {"0.0", 1.0f},       {"wide", 1.0f},                {"-2", -2.0f},
    };
    for (const auto& a : aspects) EXPECT_FLOAT_EQ(ParsePixelAspect(a.text), a.aspect) << a.text;

    const struct { const char* text; bool ok; std::int16_t u[4]; } underscans[] = {
        {"36, 29, 684, 547", true, {36, 29, 684, 547}}, {"1,2,3,4", true, {1, 2, 3, 4}},
        {"0x10,  -010,3,4", true, {16, -8, 3, 4}},
        {"1 , 2, 3, 4", false}, {"1, 2, 3", false}, {"1; 2; 3; 4", false},  // the comma follows its number
    };
    for (const auto& c : underscans) {
        std::int16_t u[4] = {9, 9, 9, 9};
        EXPECT_EQ(ParseUnderscan(c.text, u), c.ok) << c.text;
        for (int i = 0; c.ok && i < 4; ++i) EXPECT_EQ(u[i], c.u[i]) << c.text;
    }
}

TEST(Supersample, PageScaleIsExactAndFitsAnInt) {
    constexpr int kMax = 2147483647;
    const struct { int width, layoutWidth; bool ok; int viewport; } cases[] = {
        {720, 720, true, 2000}, {400, 200, true, 4000}, {100, 300, true, 666},
        {163, 5, true, 65200},  // exact where float arithmetic fell one short
        {1, 2000, true, 1},     {1, 2001, false},  // below 1: nothing would be drawn
        {1073741, 1, true, 2147482000}, {1073742, 1, false}, {1100000, 1, false},
        {1073741823, 1000, true, kMax - 1}, {1073741824, 1000, false},
        {kMax, 2000, true, kMax}, {kMax, 1999, false}, {kMax, 65535, true, 65536999},
        {0, 1, false}, {-5, 1, false}, {1, 0, false},
    };
    for (const auto& c : cases) {
        int viewport = -7;
        EXPECT_EQ(PageScale(c.width, c.layoutWidth, viewport), c.ok) << c.width << " / " << c.layoutWidth;
        EXPECT_EQ(viewport, c.ok ? c.viewport : -7) << c.width << " / " << c.layoutWidth;
    }
}

constexpr std::uint32_t kKey = 0x00102030;  // the background, 0x00RRGGBB

// A work image of (2w) x (2h) pixels filled with the background.
struct Work {
    int w, h;
    std::vector<std::uint32_t> px;
    Work(int width, int height, std::uint32_t fill = kKey)
        : w(width), h(height), px(static_cast<std::size_t>(4 * width * height), fill) {}
    std::uint32_t& at(int x, int y) { return px[static_cast<std::size_t>(y) * 2 * w + x]; }
    std::vector<std::uint32_t> Reduce(bool coverage, std::uint32_t key = kKey) const {
        std::vector<std::uint32_t> out(static_cast<std::size_t>(w * h), 0xDEADBEEFu);
        ReduceSupersampled(px.data(), out.data(), w, h, key, coverage);
        return out;
    }
};

TEST(Supersample, CoverageCountsCoveredPixelsAndKeepsTheLastColour) {
    // Blocks with 0..4 covered pixels, then a block differing from the key
    // in alpha only and one differing in blue by one.
    Work work(7, 1);
    const std::uint32_t red = 0x00FF0000, blue = 0x000000FF;
    work.at(2, 0) = red;
    work.at(4, 0) = red; work.at(4, 1) = blue;  // blue is later in memory
    work.at(6, 0) = blue; work.at(7, 0) = red; work.at(6, 1) = red;
    for (int x : {8, 9}) for (int y : {0, 1}) work.at(x, y) = (x == 9 && y == 1) ? blue : red;
    work.at(10, 0) = 0xFF000000u | kKey; work.at(11, 1) = 0x80000000u | kKey;
    work.at(12, 0) = 0x01000000u | 0x00102031u;
    const auto out = work.Reduce(true);
    const std::vector<std::uint32_t> expected = {kKey, (64u << 24) | red, (128u << 24) | blue,
                                                 (191u << 24) | red, (255u << 24) | blue, kKey,
                                                 (64u << 24) | 0x00102031u};
    EXPECT_EQ(out, expected);
    EXPECT_FALSE(HasInk(&work.px[10], 2, kKey)) << "alpha alone is not ink";
    EXPECT_TRUE(HasInk(&work.px[10], 3, kKey));
}

TEST(Supersample, AveragesEachChannelRoundedWithoutAlpha) {
    Work work(3, 1, 0);
    // Two black, two white: (510 + 2) >> 2 = 128 in each channel, alpha 0.
    work.at(0, 0) = 0xFFFFFFFFu; work.at(1, 1) = 0x00FFFFFFu;
    // Channels must not carry into each other.
    work.at(2, 0) = 0xAA0001FFu; work.at(3, 0) = 0x000002FFu;
    work.at(2, 1) = 0x00FF03FFu; work.at(3, 1) = 0x000000FEu;
    work.at(4, 0) = 0xFF000000u | kKey;  // alpha bytes do not leak into the mean
    for (int x : {4, 5}) work.at(x, 1) = kKey;
    work.at(5, 0) = kKey;
    const auto out = work.Reduce(false);
    const std::uint32_t r = (0xFF + 2) >> 2, g = (1 + 2 + 3 + 2) >> 2, b = (0xFF * 3 + 0xFE + 2) >> 2;
    EXPECT_EQ(out, (std::vector<std::uint32_t>{0x00808080u, (r << 16) | (g << 8) | b, kKey}));
}

TEST(Supersample, EachBlockComesFromItsOwnRowsAndNothingElseIsTouched) {
    // Each block of a 3 x 2 result gets a distinct colour in one corner.
    Work work(3, 2);
    std::uint32_t colour = 1;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) work.at(2 * x + (x & 1), 2 * y + (y & 1)) = colour++;
    const auto out = work.Reduce(true);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(out[i], (64u << 24) | static_cast<std::uint32_t>(i + 1)) << i;
    // The sanitizers see any read or write outside the two buffers.
    for (int w : {1, 7, 64})
        for (int h : {1, 3}) {
            Work wide(w, h, 0x00FFFFFF);
            wide.at(2 * w - 1, 2 * h - 1) = 0;
            const auto reduced = wide.Reduce(true, 0x00FFFFFF);
            EXPECT_EQ(reduced.back(), 64u << 24);
            EXPECT_EQ(reduced.front() & 0xFF000000u, w * h == 1 ? (64u << 24) : 0u);
        }
}

}  // namespace
