// The committed skin art: it is what the generator makes, and every piece
// lies inside the bitmap, apart from the others, with edge tiles that stretch
// without seams.
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

const char* const kFiles[] = {"skin.bmp", "magnifier.cur", "hand.cur", "turn-across.cur", "tilt.cur", "dialog.ico"};

TEST(SkinArt, CommittedFilesAreWhatTheGeneratorMakes) {
    std::system(("mkdir -p '" + g_scratch + "'").c_str());
    ASSERT_EQ(std::system(("'" + g_generator + "' '" + g_scratch + "'").c_str()), 0);
    for (const char* name : kFiles) {
        const auto made = ReadAll(g_scratch + "/" + name), committed = ReadAll(g_res + "/" + name);
        ASSERT_FALSE(made.empty()) << name;
        EXPECT_TRUE(made == committed) << name << " differs: run the skin-art target and commit res/";
    }
    // The same source gives the same bytes.
    ASSERT_EQ(std::system(("'" + g_generator + "' '" + g_scratch + "'").c_str()), 0);
    EXPECT_TRUE(ReadAll(g_scratch + "/skin.bmp") == ReadAll(g_res + "/skin.bmp"));
}

// The committed bitmap's pixels, top-down, 0xRRGGBB.
struct Bitmap {
    int width = 0, height = 0, bits = 0;
    std::vector<std::uint32_t> px;
    std::uint32_t at(int x, int y) const { return px[static_cast<std::size_t>(y) * width + x]; }
};

Bitmap LoadBmp(const std::string& path) {
    const auto b = ReadAll(path);
    Bitmap bm;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return bm;
    auto u32 = [&](std::size_t o) { return unsigned(b[o]) | unsigned(b[o + 1]) << 8 | unsigned(b[o + 2]) << 16 | unsigned(b[o + 3]) << 24; };
    const unsigned offset = u32(10);
    bm.width = static_cast<int>(u32(18));
    bm.height = static_cast<int>(u32(22));
    bm.bits = b[28] | b[29] << 8;
    if (bm.bits != 24) return bm;
    const std::size_t row = (static_cast<std::size_t>(bm.width) * 3 + 3) & ~std::size_t{3};
    if (b.size() < offset + row * bm.height) return bm;
    bm.px.resize(static_cast<std::size_t>(bm.width) * bm.height);
    for (int y = 0; y < bm.height; ++y) {
        const unsigned char* r = &b[offset + row * static_cast<std::size_t>(bm.height - 1 - y)];
        for (int x = 0; x < bm.width; ++x)
            bm.px[static_cast<std::size_t>(y) * bm.width + x] = unsigned(r[x * 3 + 2]) << 16 | unsigned(r[x * 3 + 1]) << 8 | r[x * 3];
    }
    return bm;
}

struct Piece {
    std::string name;
    int x, y, w, h;
};

std::vector<Piece> Pieces() {
    std::vector<Piece> p;
    const int* a = sk::kAngleNumbers;
    p.push_back({"3D angle element", 0, 0, a[0], a[1]});
    for (int i = 0; i < sk::kFrameCount; ++i) {
        const auto& f = sk::kFrames[i];
        p.push_back({"F" + std::to_string(i), f.x, f.y, 4 * f.edge, 2 * f.edge});
    }
    for (int i = 0; i < sk::kSpriteCount; ++i) {
        if (i == sk::kArrowButtonSprite) continue;  // shares the push button's cells
        const auto& s = sk::kSprites[i];
        p.push_back({"S" + std::to_string(i), s.x, s.y, s.columnStep * (s.variants - 1) + 4 * s.edge + s.faceWidth,
                     s.rowStep * (sk::kLooks - 1) + s.faceHeight});
    }
    for (int i = 0; i < sk::kThumbCount; ++i) {
        const auto& t = sk::kThumbs[i];
        const int along = 3 * t.length + 2 * t.endCap + t.middle, across = t.thickness * (t.twoRows ? 2 : 1);
        p.push_back({"T" + std::to_string(i), t.x, t.y, t.vertical ? across : along, t.vertical ? along : across});
    }
    return p;
}

TEST(SkinArt, EveryPieceLiesInsideTheBitmapAndApartFromTheOthers) {
    const auto pieces = Pieces();
    for (const Piece& p : pieces) {
        EXPECT_GE(p.x, 0) << p.name;
        EXPECT_GE(p.y, 0) << p.name;
        EXPECT_LE(p.x + p.w, sk::kBitmapWidth) << p.name;
        EXPECT_LE(p.y + p.h, sk::kBitmapHeight) << p.name;
    }
    for (std::size_t i = 0; i < pieces.size(); ++i)
        for (std::size_t j = i + 1; j < pieces.size(); ++j) {
            const Piece &a = pieces[i], &b = pieces[j];
            const bool apart = a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
            EXPECT_TRUE(apart) << a.name << " overlaps " << b.name;
        }
}

// Checks that the e x e tile at (x, y) has equal pixels along the direction it is stretched.
void ExpectUniform(const Bitmap& bm, int x, int y, int e, bool alongX, const std::string& what) {
    for (int i = 0; i < e; ++i)
        for (int k = 1; k < e; ++k) {
            const std::uint32_t first = alongX ? bm.at(x, y + i) : bm.at(x + i, y);
            const std::uint32_t other = alongX ? bm.at(x + k, y + i) : bm.at(x + i, y + k);
            ASSERT_EQ(first, other) << what << " is not uniform along its length";
        }
}

void ExpectSeamlessFrame(const Bitmap& bm, int x, int y, int e, const std::string& what) {
    ExpectUniform(bm, x + 2 * e, y, e, true, what + " top edge");
    ExpectUniform(bm, x + 2 * e, y + e, e, true, what + " bottom edge");
    ExpectUniform(bm, x + 3 * e, y, e, false, what + " left edge");
    ExpectUniform(bm, x + 3 * e, y + e, e, false, what + " right edge");
}

TEST(SkinArt, BitmapIs24BitsAndItsEdgeTilesStretchWithoutSeams) {
    const Bitmap bm = LoadBmp(g_res + "/skin.bmp");
    ASSERT_EQ(bm.width, sk::kBitmapWidth);
    ASSERT_EQ(bm.height, sk::kBitmapHeight);
    ASSERT_EQ(bm.bits, 24);
    for (int i = 0; i < sk::kFrameCount; ++i) {
        const auto& f = sk::kFrames[i];
        ExpectSeamlessFrame(bm, f.x, f.y, f.edge, "F" + std::to_string(i));
    }
    for (int i = 0; i < sk::kSpriteCount; ++i) {
        const auto& s = sk::kSprites[i];
        if (!s.edge) continue;
        for (int look = 0; look < sk::kLooks; ++look)
            for (int v = 0; v < s.variants; ++v)
                ExpectSeamlessFrame(bm, s.x + s.columnStep * v, s.y + s.rowStep * look, s.edge,
                                    "S" + std::to_string(i) + " cell " + std::to_string(look) + "," + std::to_string(v));
    }
    // A slider's middle piece is stretched along the channel: one column (row) wide.
    for (int i = 0; i < sk::kThumbCount; ++i) EXPECT_EQ(sk::kThumbs[i].middle, 1);
    // The looks differ: a normal push face is not the disabled one.
    const auto& push = sk::kSprites[sk::kPushSprite];
    EXPECT_NE(bm.at(push.x + 4 * push.edge + 10, push.y + 8), bm.at(push.x + 4 * push.edge + 10, push.y + push.rowStep + 8));
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
