// Picture loading: files the test writes itself, decoded by the library into
// 32-bit bottom-up DIB sections at the picture's physical size.
#include <gtest/gtest.h>

#include <cderr.h>
#include <cstdint>
#include <string>

#include "kelmard.h"
#include "media/picture_files.h"

namespace {

std::string TempPath(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "kelmard-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

// The loaded bitmap's header and pixels (rows as stored: bottom-up).
struct Loaded {
    DIBSECTION dib{};
    const std::uint32_t* bits = nullptr;
    // The pixel shown at (x, y) from the top.
    std::uint32_t shown(int x, int y) const {
        return bits[static_cast<std::size_t>(dib.dsBmih.biHeight - 1 - y) * dib.dsBmih.biWidth + x];
    }
};

Loaded Inspect(HBITMAP bitmap) {
    Loaded l;
    EXPECT_EQ(GetObjectA(bitmap, sizeof l.dib, &l.dib), static_cast<int>(sizeof l.dib));
    l.bits = static_cast<const std::uint32_t*>(l.dib.dsBm.bmBits);
    return l;
}

void ExpectDibHeader(const Loaded& l, int width, int height) {
    EXPECT_EQ(l.dib.dsBmih.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(l.dib.dsBmih.biWidth, width);
    EXPECT_EQ(l.dib.dsBmih.biHeight, height);  // positive: bottom-up rows
    EXPECT_EQ(l.dib.dsBmih.biPlanes, 1);
    EXPECT_EQ(l.dib.dsBmih.biBitCount, 32);
    EXPECT_EQ(l.dib.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
    ASSERT_NE(l.bits, nullptr);
}

// A file no other handle keeps open can be opened for exclusive writing.
bool NobodyHoldsFile(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

int ChannelDistance(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16}) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        worst = std::max(worst, d < 0 ? -d : d);
    }
    return worst;
}

// The four quadrants come out upright, at the picture's own size.
void ExpectQuadrants(const std::string& path, int tolerance) {
    const ktest::Picture source = ktest::Quadrants(64, 48);
    HBITMAP bitmap = QVRLoadImage(path.c_str());
    ASSERT_NE(bitmap, nullptr) << path;
    const Loaded l = Inspect(bitmap);
    ExpectDibHeader(l, 64, 48);
    for (int y : {2, 20, 27, 45})
        for (int x : {3, 28, 36, 60})
            EXPECT_LE(ChannelDistance(l.shown(x, y) & 0xFFFFFF, source.at(x, y)), tolerance)
                << path << " at " << x << "," << y;
    DeleteObject(bitmap);
    EXPECT_TRUE(NobodyHoldsFile(path));
    DeleteFileA(path.c_str());
}

TEST(PictureLoading, BitmapFile) {
    const std::string path = TempPath("quadrants.bmp");
    ASSERT_TRUE(ktest::WriteBmp(ktest::Quadrants(64, 48), path));
    ExpectQuadrants(path, 0);
}

TEST(PictureLoading, JpegAndGifFiles) {
    const std::string jpeg = TempPath("quadrants.jpg");
    const std::string gif = TempPath("quadrants.gif");
    const bool haveJpeg = ktest::WriteWic(ktest::Quadrants(64, 48), jpeg, GUID_ContainerFormatJpeg);
    const bool haveGif = ktest::WriteWic(ktest::Quadrants(64, 48), gif, GUID_ContainerFormatGif);
    if (haveJpeg) ExpectQuadrants(jpeg, 24);  // lossy
    if (haveGif) ExpectQuadrants(gif, 0);
    if (!haveJpeg || !haveGif) GTEST_SKIP() << "no WIC encoder for" << (haveJpeg ? "" : " JPEG") << (haveGif ? "" : " GIF");
}

TEST(PictureLoading, SizeComesFromThePhysicalSizeAndUnpaintedPixelsStayZero) {
    // 2540 HIMETRIC is one inch: LOGPIXELSX pixels (96 at 96 dpi).
    const std::string path = TempPath("inch.emf");
    ASSERT_TRUE(ktest::WriteEmf(path, 2540));
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    HBITMAP bitmap = QVRLoadImage(path.c_str());
    if (!bitmap) {
        DeleteFileA(path.c_str());
        GTEST_SKIP() << "the picture decoder takes no enhanced metafiles";
    }
    const Loaded l = Inspect(bitmap);
    ExpectDibHeader(l, dpiX, dpiY);
    const int w = dpiX, h = dpiY;
    // Painted: the top-left quarter; the rest is untouched: all four bytes 0.
    EXPECT_EQ(l.shown(w / 8, h / 8) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(l.shown(w / 2 - 4, h / 2 - 4) & 0xFFFFFF, 0xFF0000u);
    int nonZeroOutside = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x > w / 2 + 2 || y > h / 2 + 2) && l.shown(x, y) != 0) ++nonZeroOutside;
    EXPECT_EQ(nonZeroOutside, 0);
    DeleteObject(bitmap);
    DeleteFileA(path.c_str());
}

TEST(PictureLoading, FailuresAnswerNullAndLetGoOfTheFile) {
    EXPECT_EQ(QVRLoadImage(nullptr), nullptr);
    EXPECT_EQ(QVRLoadImage(TempPath("does-not-exist.bmp").c_str()), nullptr);

    const std::string empty = TempPath("empty.bmp");
    ASSERT_TRUE(ktest::WriteBytes(empty, "", 0));
    EXPECT_EQ(QVRLoadImage(empty.c_str()), nullptr);
    EXPECT_TRUE(NobodyHoldsFile(empty));

    const std::string garbage = TempPath("garbage.bmp");
    std::string bytes(3000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 + 7);
    ASSERT_TRUE(ktest::WriteBytes(garbage, bytes.data(), bytes.size()));
    EXPECT_EQ(QVRLoadImage(garbage.c_str()), nullptr);
    EXPECT_TRUE(NobodyHoldsFile(garbage));

    // A bitmap file cut short in its pixels.
    const std::string cut = TempPath("cut.bmp");
    ASSERT_TRUE(ktest::WriteBmp(ktest::Quadrants(64, 48), cut));
    HANDLE h = CreateFileA(cut.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFilePointer(h, 100, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
    HBITMAP partial = QVRLoadImage(cut.c_str());
    if (partial) DeleteObject(partial);  // the decoder may or may not take it
    EXPECT_TRUE(NobodyHoldsFile(cut));

    for (const std::string& p : {empty, garbage, cut}) EXPECT_TRUE(DeleteFileA(p.c_str())) << p;
}

TEST(OpenFileName, PassesTheBlockToTheDialog) {
    // A malformed block (wrong size) is refused by the dialog itself, at once.
    OPENFILENAMEA ofn{};
    ofn.lStructSize = 3;
    EXPECT_EQ(QVRGetOpenFileName(&ofn), 0);
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
}

}  // namespace
