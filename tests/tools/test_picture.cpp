// The picture tool that tests and the demo use to look at what was drawn.
#include <gtest/gtest.h>

#include <objbase.h>
#include <wincodec.h>

#include "host.h"
#include "picture.h"

namespace {

using kpicture::Image;
using kpicture::Rgb;

// Decodes an image file with WIC into 32-bit BGRA pixels.
Image ReadWithWic(const std::string& path) {
    const std::wstring wide(path.begin(), path.end());
    kelmard::ComRef<IWICImagingFactory> factory;
    kelmard::ComRef<IWICBitmapDecoder> decoder;
    kelmard::ComRef<IWICBitmapFrameDecode> frame;
    kelmard::ComRef<IWICBitmapSource> bgra;
    UINT w = 0, h = 0;
    Image image;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(factory.put()))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, decoder.put())) &&
        SUCCEEDED(decoder->GetFrame(0, frame.put())) &&
        SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), bgra.put())) &&
        SUCCEEDED(bgra->GetSize(&w, &h))) {
        image = Image{static_cast<int>(w), static_cast<int>(h), std::vector<std::uint32_t>(w * h)};
        if (FAILED(bgra->CopyPixels(nullptr, w * 4, w * h * 4, reinterpret_cast<BYTE*>(image.pixels.data()))))
            image = Image{};
    }
    return image;
}

TEST(Picture, CapturesADeviceContextAndWritesPng) {
    const kelmard::WindowDC screen(nullptr);
    const kelmard::UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
    const kelmard::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), 40, 30));
    Image shot;
    {
        const kelmard::SelectGuard select(dc.get(), bitmap.get());
        const RECT left{0, 0, 20, 30}, right{20, 0, 40, 30};
        FillRect(dc.get(), &left, kelmard::UniqueBrush(CreateSolidBrush(RGB(255, 0, 0))).get());
        FillRect(dc.get(), &right, kelmard::UniqueBrush(CreateSolidBrush(RGB(0, 0, 255))).get());
        SetPixel(dc.get(), 5, 7, RGB(1, 2, 3));
        shot = kpicture::CaptureDC(dc.get(), 0, 0, 40, 30);
    }
    ASSERT_EQ(shot.width, 40);
    ASSERT_EQ(shot.height, 30);
    EXPECT_EQ(shot.rgb(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(shot.rgb(39, 29), Rgb(0, 0, 255));
    EXPECT_EQ(shot.rgb(5, 7), Rgb(1, 2, 3)) << "rows are top-down";
    EXPECT_EQ(kpicture::CountColour(shot, Rgb(255, 0, 0)), 20 * 30 - 1);
    EXPECT_EQ(kpicture::FromBitmap(bitmap.get()).pixels, shot.pixels);

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "kelmard-picture-test.png";
    ASSERT_TRUE(kpicture::WritePng(shot, path));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const Image back = ReadWithWic(path);
    CoUninitialize();
    DeleteFileA(path.c_str());
    ASSERT_EQ(back.width, 40);
    ASSERT_EQ(back.height, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(back.at(x, y), shot.at(x, y) | 0xFF000000u);
    EXPECT_FALSE(kpicture::WritePng(Image{}, path));
}

TEST(Picture, CapturesAWindowOnScreenAndByPrinting) {
    // A window that only erases its background, in the highlight colour.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    wc.lpszClassName = "KelmardPictureTest";
    RegisterClassA(&wc);
    const kelmard::UniqueWindow window(CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE,
                                                       50, 50, 64, 48, nullptr, nullptr, wc.hInstance, nullptr));
    ASSERT_TRUE(window);
    UpdateWindow(window.get());
    khost::PumpMessages(200);
    const std::uint32_t highlight = kpicture::FromColorRef(GetSysColor(COLOR_HIGHLIGHT));
    ASSERT_NE(highlight, 0u);
    const Image onScreen = kpicture::CaptureWindow(window.get(), true);
    ASSERT_EQ(onScreen.width, 64);
    EXPECT_EQ(kpicture::CountColour(onScreen, highlight), 64 * 48);
    ShowWindow(window.get(), SW_HIDE);
    const Image printed = kpicture::PrintWindowImage(window.get());
    ASSERT_EQ(printed.height, 48);
    EXPECT_EQ(kpicture::CountColour(printed, highlight), 64 * 48);
}

}  // namespace
