// The committed skin art is what the generator makes (which checks that its
// edge tiles stretch without seams; where the pieces lie is checked at
// compile time in skin_layout.h).
//
//   test_skin_art <kelmard-skingen> <res folder> <scratch folder>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controls/framework/skin_layout.h"

namespace {

namespace sk = kelmard::skin;

std::string g_generator, g_res, g_scratch;

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SkinArt, CommittedFilesAreWhatTheGeneratorMakes) {
    std::system(("mkdir -p '" + g_scratch + "'").c_str());
    for (int run = 0; run < 2; ++run) {  // the same source gives the same bytes every time
        ASSERT_EQ(std::system(("'" + g_generator + "' '" + g_scratch + "'").c_str()), 0);
        for (const char* name : {"skin.bmp", "magnifier.cur", "hand.cur", "turn-across.cur", "tilt.cur", "dialog.ico"}) {
            const auto made = ReadAll(g_scratch + "/" + name);
            ASSERT_FALSE(made.empty()) << name;
            EXPECT_TRUE(made == ReadAll(g_res + "/" + name)) << name << " differs: run the skin-art target and commit res/";
        }
    }
}

// The generator refuses art whose edge tiles would show seams when stretched;
// what it wrote is a 24-bit bitmap of the layout's size, and the looks differ.
TEST(SkinArt, BitmapIs24BitsOfTheLayoutsSizeWithDistinctLooks) {
    const auto b = ReadAll(g_res + "/skin.bmp");
    ASSERT_GE(b.size(), 54u);
    auto u32 = [&](std::size_t o) { return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | unsigned(b[o + 3]) << 24; };
    ASSERT_EQ(u32(18), unsigned(sk::kBitmapWidth));
    ASSERT_EQ(u32(22), unsigned(sk::kBitmapHeight));
    ASSERT_EQ(b[28] | b[29] << 8, 24);
    const std::size_t row = (sk::kBitmapWidth * 3 + 3) & ~3;
    ASSERT_GE(b.size(), u32(10) + row * sk::kBitmapHeight);
    auto at = [&](int x, int y) { return &b[u32(10) + row * static_cast<std::size_t>(sk::kBitmapHeight - 1 - y) + x * 3]; };
    // A normal push face is not the disabled one.
    const auto& push = sk::kSprites[sk::kPushSprite];
    const int x = push.x + 4 * push.edge + 10;
    EXPECT_NE(std::memcmp(at(x, push.y + 8), at(x, push.y + push.rowStep + 8), 3), 0);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: test_skin_art <kelmard-skingen> <res folder> <scratch folder>\n");
        return 2;
    }
    g_generator = argv[1];
    g_res = argv[2];
    g_scratch = argv[3];
    return RUN_ALL_TESTS();
}
