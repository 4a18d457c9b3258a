// Reading the bitmaps of QVRRenderText in tests: pixels as stored (bottom-up
// rows), the ink's bounding box, and RichTextDesc set-up.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kelmard.h"

namespace ktest {

struct TextImage {
    int width = 0, height = 0;
    std::vector<std::uint32_t> px;  // rows top-down (flipped from the bitmap)
    std::uint32_t at(int x, int y) const { return px[static_cast<std::size_t>(y) * width + x]; }
    unsigned alpha(int x, int y) const { return at(x, y) >> 24; }
};

// Copies the DIB section's pixels (checking its form) and frees the bitmap.
inline bool TakeBitmap(HBITMAP bitmap, TextImage& image) {
    if (!bitmap) return false;
    DIBSECTION dib{};
    const bool ok = GetObjectA(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBmih.biBitCount == 32 &&
                    dib.dsBmih.biHeight > 0 && dib.dsBm.bmBits;
    if (ok) {
        image.width = dib.dsBmih.biWidth;
        image.height = dib.dsBmih.biHeight;
        image.px.resize(static_cast<std::size_t>(image.width) * image.height);
        const auto* bits = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
        for (int y = 0; y < image.height; ++y)
            std::memcpy(&image.px[static_cast<std::size_t>(y) * image.width],
                        bits + static_cast<std::size_t>(image.height - 1 - y) * image.width,
                        static_cast<std::size_t>(image.width) * 4);
    }
    DeleteObject(bitmap);
    return ok;
}

inline RichTextDesc MakeDesc(const char* rtf, int layoutWidth, int layoutHeight, COLORREF background,
                             bool coverage) {
    RichTextDesc d;
    std::memset(&d, 0xCD, sizeof d);  // reserved fields hold junk
    std::memset(d.rtf, 0, sizeof d.rtf);
    std::strncpy(d.rtf, rtf, sizeof d.rtf - 1);
    d.layoutWidth = static_cast<WORD>(layoutWidth);
    d.layoutHeight = static_cast<WORD>(layoutHeight);
    d.background = background;
    d.coverage = coverage ? 1 : 0;
    return d;
}

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
    bool empty() const { return right < 0; }
};

// Pixels whose RGB differs from `rgb` (or, with coverage, alpha > 0).
template <typename Covered>
Box InkBox(const TextImage& image, Covered covered) {
    Box b;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (covered(image.at(x, y))) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

}  // namespace ktest
