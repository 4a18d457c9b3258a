// Picture tool for tests, the demo and the docs: capture a window, a device
// context or a bitmap into a 32-bit image, and write images as PNG files.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kpicture {

// 32-bit pixels, 0xAARRGGBB (BGRA bytes in memory), rows top-down.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool empty() const { return width <= 0 || height <= 0; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    // The RGB part only (alpha is often undefined in GDI output).
    std::uint32_t rgb(int x, int y) const { return at(x, y) & 0x00FFFFFFu; }
};

inline std::uint32_t Rgb(int r, int g, int b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
           static_cast<std::uint32_t>(b);
}
// The same colour as a COLORREF (GDI's 0x00BBGGRR) given as a pixel's RGB.
inline std::uint32_t FromColorRef(COLORREF c) { return Rgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Copies a rectangle of a device context (BitBlt into a 32-bit DIB section).
Image CaptureDC(HDC dc, int x, int y, int width, int height);
// A window as it is on the screen (it must be visible and not covered), the
// whole window or its client area.
Image CaptureWindow(HWND window, bool clientOnly = false);
// A window drawn by itself into a memory DC (WM_PRINT with its non-client
// area, children and background): works for windows that are hidden or covered.
Image PrintWindowImage(HWND window);
// A bitmap's pixels (any depth) as 32-bit.
Image FromBitmap(HBITMAP bitmap);

// Writes a PNG file through the platform's WIC encoder. `keepAlpha` false
// writes every pixel opaque (GDI leaves alpha undefined).
bool WritePng(const Image& image, const std::string& path, bool keepAlpha = false);

// Counts pixels whose RGB is within `tolerance` (per channel) of `rgb`.
int CountColour(const Image& image, std::uint32_t rgb, int tolerance = 0);

}  // namespace kpicture
