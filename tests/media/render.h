// Bitmaps as the media tests read them: a RichTextDesc with junk in its
// reserved fields, the bitmap checked for its form and taken as an image.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "kelmard.h"
#include "owners/win32_owners.h"
#include "picture.h"

namespace ktest {

inline RichTextDesc MakeDesc(const char* rtf, int layoutWidth, int layoutHeight, COLORREF background, bool coverage) {
    RichTextDesc d;
    std::memset(&d, 0xCD, sizeof d);
    std::memset(d.rtf, 0, sizeof d.rtf);
    std::strncpy(d.rtf, rtf, sizeof d.rtf - 1);
    d.layoutWidth = static_cast<WORD>(layoutWidth);
    d.layoutHeight = static_cast<WORD>(layoutHeight);
    d.background = background;
    d.coverage = coverage ? 1 : 0;
    return d;
}

// True for a 32-bit bottom-up DIB section of width x height pixels.
inline bool IsDib32(HBITMAP bitmap, int width, int height) {
    DIBSECTION dib{};
    return bitmap && GetObjectA(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits &&
           dib.dsBmih.biBitCount == 32 && dib.dsBmih.biCompression == BI_RGB && dib.dsBmih.biWidth == width &&
           dib.dsBmih.biHeight == height;
}

// The render's pixels (top-down, alpha kept); empty when it failed or is not
// such a DIB section of the size asked. The bitmap is freed.
inline kpicture::Image Render(const RichTextDesc& desc, int width, int height) {
    const kelmard::UniqueBitmap bitmap(QVRRenderText(&desc, width, height));
    return IsDib32(bitmap.get(), width, height) ? kpicture::FromBitmap(bitmap.get()) : kpicture::Image{};
}

// The bounding box (inclusive) of the pixels with alpha above 0.
struct Box { int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; };
inline Box InkBox(const kpicture::Image& image) {
    Box b;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.at(x, y) >> 24) b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x), y};
    return b;
}

}  // namespace ktest
