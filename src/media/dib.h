// 32-bit DIB sections for the media services.
#pragma once
#include <windows.h>

#include "owners/win32_owners.h"

namespace kelmard::media {

// A 32-bit DIB section with positive height (rows bottom-up), width x
// height, made on `dc`; `bits` receives its pixels. Empty on failure.
inline UniqueBitmap CreateDib32(HDC dc, int width, int height, void** bits) {
    if (bits) *bits = nullptr;
    const long long bytes = static_cast<long long>(width) * height * 4;
    if (width <= 0 || height <= 0 || bytes > 0x7FFFFFFFll) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(bytes);
    void* pixels = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (bits) *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

}  // namespace kelmard::media
