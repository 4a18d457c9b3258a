// The committed skin art is what the generator makes (which refuses edge tiles
// that would show seams; where the pieces lie is checked at compile time in
// skin_layout.h).
//
//   test_skin_art <kelmard-skingen> <res folder> <scratch folder>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

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
