// The picture tool that tests and the demo use to look at what was drawn.
#include <gtest/gtest.h>

#include <objbase.h>
#include <wincodec.h>

#include "picture.h"

namespace {

using kpicture::Image;
using kpicture::Rgb;

// Decodes a PNG file with WIC into 32-bit BGRA pixels.
Image ReadPng(const std::wstring& path) {
    Image image;
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT w = 0, h = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&w, &h)) &&
        SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA,
                                        WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom))) {
        image.width = static_cast<int>(w);
        image.height = static_cast<int>(h);
        image.pixels.resize(w * h);
        if (FAILED(converter->CopyPixels(nullptr, w * 4, w * h * 4,
                                         reinterpret_cast<BYTE*>(image.pixels.data()))))
            image = Image{};
    }
    if (converter) converter->Release();
    if (frame) frame->Release();
    if (decoder) decoder->Release();
    if (factory) factory->Release();
    return image;
}

LRESULT CALLBACK GreenProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT || msg == WM_PRINTCLIENT) {
        PAINTSTRUCT ps;
        HDC dc = msg == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wp);
        RECT r;
        GetClientRect(hwnd, &r);
        HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
        FillRect(dc, &r, green);
        DeleteObject(green);
        if (msg == WM_PAINT) EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST(Picture, CapturesADeviceContextAndWritesPng) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 30);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT left{0, 0, 20, 30}, right{20, 0, 40, 30};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &left, red);
    FillRect(dc, &right, blue);
    SetPixel(dc, 5, 7, RGB(1, 2, 3));

    const Image shot = kpicture::CaptureDC(dc, 0, 0, 40, 30);
    ASSERT_EQ(shot.width, 40);
    ASSERT_EQ(shot.height, 30);
    EXPECT_EQ(shot.rgb(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(shot.rgb(39, 29), Rgb(0, 0, 255));
    EXPECT_EQ(shot.rgb(5, 7), Rgb(1, 2, 3)) << "rows are top-down";
    EXPECT_EQ(kpicture::CountColour(shot, Rgb(255, 0, 0)), 20 * 30 - 1);

    SelectObject(dc, old);
    const Image fromBitmap = kpicture::FromBitmap(bitmap);
    EXPECT_EQ(fromBitmap.pixels, shot.pixels);

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "kelmard-picture-test.png";
    ASSERT_TRUE(kpicture::WritePng(shot, path));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const Image back = ReadPng(std::wstring(path.begin(), path.end()));
    CoUninitialize();
    ASSERT_EQ(back.width, 40);
    ASSERT_EQ(back.height, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(back.at(x, y), shot.at(x, y) | 0xFF000000u);
    DeleteFileA(path.c_str());

    DeleteObject(red);
    DeleteObject(blue);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EXPECT_TRUE(kpicture::WritePng(Image{}, path) == false);
}

TEST(Picture, CapturesAWindowOnScreenAndByPrinting) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = GreenProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KelmardPictureTest";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, "KelmardPictureTest", "", WS_POPUP | WS_VISIBLE,
                                50, 50, 64, 48, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    UpdateWindow(hwnd);
    MSG msg;
    for (int i = 0; i < 20; ++i) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
    const Image onScreen = kpicture::CaptureWindow(hwnd, true);
    ASSERT_EQ(onScreen.width, 64);
    EXPECT_EQ(kpicture::CountColour(onScreen, Rgb(0, 200, 0)), 64 * 48);

    ShowWindow(hwnd, SW_HIDE);
    const Image printed = kpicture::PrintWindowImage(hwnd);
    ASSERT_EQ(printed.height, 48);
    EXPECT_EQ(kpicture::CountColour(printed, Rgb(0, 200, 0)), 64 * 48);
    DestroyWindow(hwnd);
}

}  // namespace
