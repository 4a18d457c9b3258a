// Picture loading: files the test writes itself through WIC, decoded by the
// library into 32-bit bottom-up DIB sections at the picture's size.
#include <gtest/gtest.h>
#include <wincodec.h>

#include <cderr.h>
#include <fstream>
#include <string>

#include "media/render.h"

namespace {

using namespace kelmard;

std::string TempPath(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "kelmard-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

// Red top-left, green top-right, blue bottom-left, white bottom-right: any
// flip or mirror shows.
std::uint32_t Quadrant(int x, int y) {
    return y >= 24 ? (x >= 32 ? 0xFFFFFFu : 0x0000FFu) : (x >= 32 ? 0x00FF00u : 0xFF0000u);
}

// The 64x48 quadrants through a WIC encoder: GIF as 8-bit indexed (its
// colours as palette), the others as 24-bit. False without such an encoder.
bool WriteQuadrants(const std::string& path, const GUID& container) {
    const bool gif = IsEqualGUID(container, GUID_ContainerFormatGif);
    WICColor palette[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    std::vector<BYTE> data;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const std::uint32_t c = Quadrant(x, y);
            if (gif) data.push_back(static_cast<BYTE>(std::find(palette, palette + 4, 0xFF000000u | c) - palette));
            else data.insert(data.end(), {BYTE(c & 0xFF), BYTE(c >> 8 & 0xFF), BYTE(c >> 16 & 0xFF)});
        }
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const ScopeExit uninitialize([com] { if (com) CoUninitialize(); });
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapEncoder> encoder;
    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IWICPalette> colours;
    const WICPixelFormatGUID wanted = gif ? GUID_WICPixelFormat8bppIndexed : GUID_WICPixelFormat24bppBGR;
    WICPixelFormatGUID format = wanted;
    const std::wstring wide(path.begin(), path.end());
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.put()))) &&
           SUCCEEDED(factory->CreateStream(stream.put())) &&
           SUCCEEDED(stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(container, nullptr, encoder.put())) &&
           SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->SetSize(64, 48)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
           IsEqualGUID(format, wanted) &&
           (!gif || (SUCCEEDED(factory->CreatePalette(colours.put())) &&
                     SUCCEEDED(colours->InitializeCustom(palette, 4)) && SUCCEEDED(frame->SetPalette(colours.get())))) &&
           SUCCEEDED(frame->WritePixels(48, gif ? 64 : 192, static_cast<UINT>(data.size()), data.data())) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

// A file no other handle keeps open can be opened for exclusive writing.
bool NobodyHoldsFile(const std::string& path) {
    return static_cast<bool>(UniqueFile(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
}

TEST(PictureLoading, BmpJpegAndGifComeOutUprightAtTheirSize) {
    const struct { const char* name; GUID container; int tolerance; } files[] = {
        {"quadrants.bmp", GUID_ContainerFormatBmp, 0},
        {"quadrants.jpg", GUID_ContainerFormatJpeg, 24},  // lossy
        {"quadrants.gif", GUID_ContainerFormatGif, 0},
    };
    for (const auto& f : files) {
        const std::string path = TempPath(f.name);
        ASSERT_TRUE(WriteQuadrants(path, f.container)) << "no WIC encoder for " << f.name;
        const UniqueBitmap bitmap(QVRLoadImage(path.c_str()));
        ASSERT_TRUE(ktest::IsDib32(bitmap.get(), 64, 48)) << f.name;
        const kpicture::Image image = kpicture::FromBitmap(bitmap.get());
        for (int y : {2, 20, 27, 45})
            for (int x : {3, 28, 36, 60})
                for (int shift : {0, 8, 16})
                    EXPECT_NEAR(image.rgb(x, y) >> shift & 0xFF, Quadrant(x, y) >> shift & 0xFF, f.tolerance)
                        << f.name << " at " << x << "," << y;
        EXPECT_TRUE(NobodyHoldsFile(path)) << f.name;
        DeleteFileA(path.c_str());
    }
}

TEST(PictureLoading, FailuresAnswerNullAndLetGoOfTheFile) {
    EXPECT_EQ(QVRLoadImage(nullptr), nullptr);
    EXPECT_EQ(QVRLoadImage(TempPath("missing.bmp").c_str()), nullptr);
    std::string garbage(3000, '\0'), cut(100, '\0');  // cut: a bitmap file cut short in its pixels
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 131 + 7);
    ASSERT_TRUE(WriteQuadrants(TempPath("cut.bmp"), GUID_ContainerFormatBmp));
    std::ifstream(TempPath("cut.bmp"), std::ios::binary).read(&cut[0], 100);
    for (const auto& [name, bytes] : {std::pair<std::string, std::string>{"empty.bmp", ""}, {"garbage.bmp", garbage},
                                      {"cut.bmp", cut}}) {
        std::ofstream(TempPath(name), std::ios::binary) << bytes;
        const UniqueBitmap bitmap(QVRLoadImage(TempPath(name).c_str()));
        EXPECT_TRUE(!bitmap || name == "cut.bmp") << name;  // the decoder may take a cut file
        EXPECT_TRUE(NobodyHoldsFile(TempPath(name))) << name;
        EXPECT_TRUE(DeleteFileA(TempPath(name).c_str())) << name;
    }
}

TEST(OpenFileName, PassesTheBlockToTheDialogAndRefusesNone) {
    OPENFILENAMEA ofn{};
    ofn.lStructSize = 3;  // refused by the dialog itself, at once
    EXPECT_EQ(QVRGetOpenFileName(&ofn), 0);
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
    EXPECT_EQ(QVRGetOpenFileName(nullptr), 0);  // and this process is still here
}

}  // namespace
