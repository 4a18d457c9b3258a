// Picture files the media tests write themselves: BMP by hand, JPEG and GIF
// through the platform's WIC encoders, and an enhanced metafile with a
// physical size of its own.
#pragma once
#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace ktest {

// A test picture: 0x00RRGGBB pixels, rows top-down.
struct Picture {
    int width, height;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Four quadrants: red top-left, green top-right, blue bottom-left, white
// bottom-right: any flip or mirror shows.
inline Picture Quadrants(int width, int height) {
    Picture p{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, bottom = y >= height / 2;
            p.pixels[static_cast<std::size_t>(y) * width + x] =
                bottom ? (right ? 0xFFFFFFu : 0x0000FFu) : (right ? 0x00FF00u : 0xFF0000u);
        }
    return p;
}

inline bool WriteBytes(const std::string& path, const void* data, std::size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// A 24-bit bottom-up BMP.
inline bool WriteBmp(const Picture& p, const std::string& path) {
    const int stride = (p.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = p.width;
    info.biHeight = p.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride * p.height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::vector<BYTE> bytes(file.bfSize);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
    for (int y = 0; y < p.height; ++y) {
        BYTE* row = bytes.data() + file.bfOffBits + static_cast<std::size_t>(p.height - 1 - y) * stride;
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t c = p.at(x, y);
            row[3 * x] = c & 0xFF;
            row[3 * x + 1] = (c >> 8) & 0xFF;
            row[3 * x + 2] = (c >> 16) & 0xFF;
        }
    }
    return WriteBytes(path, bytes.data(), bytes.size());
}

// JPEG (24 bits) or GIF (8-bit indexed, the picture's colours as palette)
// through WIC. False when the platform has no such encoder.
inline bool WriteWic(const Picture& p, const std::string& path, const GUID& container) {
    const bool gif = IsEqualGUID(container, GUID_ContainerFormatGif);
    std::vector<BYTE> data;
    std::vector<WICColor> palette;
    UINT stride = 0;
    if (gif) {
        stride = static_cast<UINT>(p.width);
        for (std::uint32_t c : p.pixels) {
            std::size_t i = 0;
            while (i < palette.size() && palette[i] != (0xFF000000u | c)) ++i;
            if (i == palette.size()) palette.push_back(0xFF000000u | c);
            data.push_back(static_cast<BYTE>(i));
        }
    } else {
        stride = static_cast<UINT>(p.width * 3);
        for (std::uint32_t c : p.pixels) {
            data.push_back(c & 0xFF);
            data.push_back((c >> 8) & 0xFF);
            data.push_back((c >> 16) & 0xFF);
        }
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IWICPalette* wicPalette = nullptr;
    std::wstring wide(path.begin(), path.end());
    WICPixelFormatGUID format = gif ? GUID_WICPixelFormat8bppIndexed : GUID_WICPixelFormat24bppBGR;
    const WICPixelFormatGUID wanted = format;
    bool ok =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
        SUCCEEDED(frame->SetSize(static_cast<UINT>(p.width), static_cast<UINT>(p.height))) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, wanted);
    if (ok && gif) {
        ok = SUCCEEDED(factory->CreatePalette(&wicPalette)) &&
             SUCCEEDED(wicPalette->InitializeCustom(palette.data(), static_cast<UINT>(palette.size()))) &&
             SUCCEEDED(frame->SetPalette(wicPalette));
    }
    ok = ok &&
         SUCCEEDED(frame->WritePixels(static_cast<UINT>(p.height), stride,
                                      static_cast<UINT>(data.size()), data.data())) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    if (wicPalette) wicPalette->Release();
    if (frame) frame->Release();
    if (encoder) encoder->Release();
    if (stream) stream->Release();
    if (factory) factory->Release();
    CoUninitialize();
    return ok;
}

// An enhanced metafile whose frame is `himetric` x `himetric` (0.01 mm) with
// a solid red square drawn in its top-left quarter only.
inline bool WriteEmf(const std::string& path, int himetric) {
    HDC screen = GetDC(nullptr);
    const RECT frame{0, 0, himetric, himetric};
    HDC dc = CreateEnhMetaFileA(screen, path.c_str(), &frame, nullptr);
    ReleaseDC(nullptr, screen);
    if (!dc) return false;
    // Drawing units are the reference device's pixels.
    HDC reference = GetDC(nullptr);
    const int pixels = MulDiv(himetric, GetDeviceCaps(reference, HORZRES),
                              GetDeviceCaps(reference, HORZSIZE) * 100);
    ReleaseDC(nullptr, reference);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT quarter{0, 0, pixels / 2, pixels / 2};
    FillRect(dc, &quarter, red);
    DeleteObject(red);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    if (!emf) return false;
    DeleteEnhMetaFile(emf);
    return true;
}

}  // namespace ktest
