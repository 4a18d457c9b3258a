// The values of the TV format presets, read as the C library reads them.
#include <gtest/gtest.h>

#include "media/tv_format_parse.h"

namespace {

using namespace kelmard::media;

TEST(TvFormatParse, FrameSize) {
    std::int16_t w = 0, h = 0;
    EXPECT_TRUE(ParseFrameSize("720x576", w, h));
    EXPECT_EQ(w, 720); EXPECT_EQ(h, 576);
    EXPECT_TRUE(ParseFrameSize("  0x2D0x486", w, h));  // hexadecimal width
    EXPECT_EQ(w, 720); EXPECT_EQ(h, 486);
    EXPECT_TRUE(ParseFrameSize("01320x010", w, h));    // octal
    EXPECT_EQ(w, 720); EXPECT_EQ(h, 8);
    EXPECT_TRUE(ParseFrameSize("40000x1", w, h));      // 16-bit signed, as %hi stores it
    EXPECT_EQ(w, static_cast<std::int16_t>(40000));
    w = h = 5;
    EXPECT_FALSE(ParseFrameSize("720X576", w, h));
    EXPECT_FALSE(ParseFrameSize("720 x 576", w, h));
    EXPECT_FALSE(ParseFrameSize("720", w, h));
    EXPECT_FALSE(ParseFrameSize("", w, h));
    EXPECT_EQ(w, 5); EXPECT_EQ(h, 5);  // a rejected value leaves the record alone
}

TEST(TvFormatParse, PixelAspect) {
    EXPECT_FLOAT_EQ(ParsePixelAspect("1.0926"), 1.0926f);
    EXPECT_FLOAT_EQ(ParsePixelAspect(" 0.9091 trailing"), 0.9091f);
    EXPECT_FLOAT_EQ(ParsePixelAspect(""), 1.0f);
    EXPECT_FLOAT_EQ(ParsePixelAspect("0"), 1.0f);
    EXPECT_FLOAT_EQ(ParsePixelAspect("0.0"), 1.0f);
    EXPECT_FLOAT_EQ(ParsePixelAspect("wide"), 1.0f);
    EXPECT_FLOAT_EQ(ParsePixelAspect("-2"), -2.0f);
}

TEST(TvFormatParse, Underscan) {
    std::int16_t u[4] = {9, 9, 9, 9};
    EXPECT_TRUE(ParseUnderscan("36, 29, 684, 547", u));
    EXPECT_EQ(u[0], 36); EXPECT_EQ(u[1], 29); EXPECT_EQ(u[2], 684); EXPECT_EQ(u[3], 547);
    EXPECT_TRUE(ParseUnderscan("1,2,3,4", u));
    EXPECT_EQ(u[3], 4);
    EXPECT_TRUE(ParseUnderscan("0x10,  -010,3,4", u));
    EXPECT_EQ(u[0], 16); EXPECT_EQ(u[1], -8);
    EXPECT_FALSE(ParseUnderscan("1 , 2, 3, 4", u));  // the comma follows its number
    EXPECT_FALSE(ParseUnderscan("1, 2, 3", u));
    EXPECT_FALSE(ParseUnderscan("1; 2; 3; 4", u));
    EXPECT_EQ(u[0], 16);
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
