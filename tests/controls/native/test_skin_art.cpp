// The committed skin art is what the generator makes, and its edge tiles
// stretch without seams. (Where the pieces lie is checked at compile time in
// skin_layout.h.)
//
//   test_skin_art <kelmard-skingen> <res folder> <scratch folder>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// The committed 24-bit bitmap's pixel at (x, y) from the top, 0xRRGGBB.
struct Bitmap {
    std::vector<unsigned char> b;
    unsigned U32(std::size_t o) const { return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | unsigned(b[o + 3]) << 24; }
    int Width() const { return static_cast<int>(U32(18)); }
    int Height() const { return static_cast<int>(U32(22)); }
    int Bits() const { return b[28] | b[29] << 8; }
    std::uint32_t At(int x, int y) const {
        const std::size_t row = (static_cast<std::size_t>(Width()) * 3 + 3) & ~std::size_t{3};
        const unsigned char* p = &b[U32(10) + row * static_cast<std::size_t>(Height() - 1 - y) + x * 3];
        return unsigned(p[2]) << 16 | p[1] << 8 | p[0];
    }
};

// The e x e tile at (x, y) is uniform along the direction it is stretched.
void ExpectUniform(const Bitmap& bm, int x, int y, int e, bool alongX, const std::string& what) {
    for (int i = 0; i < e; ++i)
        for (int k = 1; k < e; ++k)
            ASSERT_EQ(alongX ? bm.At(x, y + i) : bm.At(x + i, y), alongX ? bm.At(x + k, y + i) : bm.At(x + i, y + k))
                << what << " is not uniform along its length";
}

void ExpectSeamlessFrame(const Bitmap& bm, int x, int y, int e, const std::string& what) {
    ExpectUniform(bm, x + 2 * e, y, e, true, what + " top edge");
    ExpectUniform(bm, x + 2 * e, y + e, e, true, what + " bottom edge");
    ExpectUniform(bm, x + 3 * e, y, e, false, what + " left edge");
    ExpectUniform(bm, x + 3 * e, y + e, e, false, what + " right edge");
}

TEST(SkinArt, BitmapIs24BitsAndItsEdgeTilesStretchWithoutSeams) {
    const Bitmap bm{ReadAll(g_res + "/skin.bmp")};
    ASSERT_GE(bm.b.size(), 54u);
    ASSERT_EQ(bm.Width(), sk::kBitmapWidth);
    ASSERT_EQ(bm.Height(), sk::kBitmapHeight);
    ASSERT_EQ(bm.Bits(), 24);
    ASSERT_GE(bm.b.size(), bm.U32(10) + std::size_t{sk::kBitmapHeight} * ((sk::kBitmapWidth * 3 + 3) & ~3));
    for (int i = 0; i < sk::kFrameCount; ++i)
        ExpectSeamlessFrame(bm, sk::kFrames[i].x, sk::kFrames[i].y, sk::kFrames[i].edge, "F" + std::to_string(i));
    for (int i = 0; i < sk::kSpriteCount; ++i) {
        const auto& s = sk::kSprites[i];
        for (int look = 0; s.edge && look < sk::kLooks; ++look)
            for (int v = 0; v < s.variants; ++v)
                ExpectSeamlessFrame(bm, s.x + s.columnStep * v, s.y + s.rowStep * look, s.edge,
                                    "S" + std::to_string(i) + " cell " + std::to_string(look) + "," + std::to_string(v));
    }
    // The looks differ: a normal push face is not the disabled one.
    const auto& push = sk::kSprites[sk::kPushSprite];
    EXPECT_NE(bm.At(push.x + 4 * push.edge + 10, push.y + 8), bm.At(push.x + 4 * push.edge + 10, push.y + push.rowStep + 8));
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
