// The values of the TV format presets, read as the C library reads them.
#include <gtest/gtest.h>

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

TEST(TvFormatParse, FirstMatchWins) {
    const TvFormat table[] = {
        {720, 576, 1.0f, {1, 1, 1, 1}},
        {720, 480, 0.9f, {2, 2, 2, 2}},
        {720, 576, 1.5f, {3, 3, 3, 3}},
    };
    EXPECT_EQ(FindTvFormat(table, 3, (576u << 16) | 720u), &table[0]);
    EXPECT_EQ(FindTvFormat(table, 3, (480u << 16) | 720u), &table[1]);
    EXPECT_EQ(FindTvFormat(table, 3, (720u << 16) | 576u), nullptr);
    EXPECT_EQ(FindTvFormat(table, 0, (576u << 16) | 720u), nullptr);
    // Negative 16-bit sizes compare as the same 16 bits.
    const TvFormat odd[] = {{-1, 2, 1.0f, {0, 0, 0, 0}}};
    EXPECT_EQ(FindTvFormat(odd, 1, (2u << 16) | 0xFFFFu), &odd[0]);
}

}  // namespace
