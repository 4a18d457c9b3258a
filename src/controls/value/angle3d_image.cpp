// The 3D angle control's prepared image.
#include "controls/value/angle3d_image.h"

#include <cstddef>
#include <cstdint>

#include "controls/framework/resample.h"
#include "controls/framework/skin_layout.h"

namespace kelmard {
namespace {

// Rows of the skin bitmap counted from its top, whichever way it is stored.
struct SourceRows {
    const std::uint8_t* bits;
    std::ptrdiff_t stride;  // from one row to the one below it
    int height, bytesPerPixel;
    const std::uint8_t* Row(int fromTop, int column) const {
        return bits + fromTop * stride + static_cast<std::ptrdiff_t>(column) * bytesPerPixel;
    }
};

// One cell resized into the image; nothing for an empty one.
void Place(std::uint8_t* image, std::ptrdiff_t imageStride, int x, int y, int w, int h, const SourceRows& source,
           int sx, int sy, int sw, int sh, int bitsPerPixel) {
    if (w < 1 || h < 1 || sw < 1 || sh < 1) return;
    ResampleAreaAverage(image + y * imageStride + static_cast<std::ptrdiff_t>(x) * 4, w, h, imageStride,
                        source.Row(sy, sx), sw, sh, source.stride, bitsPerPixel);
}

}  // namespace

angle3d::Element ElementOf(const SkinAngle& a) {
    return {a.elementWidth, a.ballCell, a.ringHalfWidth, a.ringDiameter, a.tickStart, a.tickEnd, a.trackStart,
            a.trackEnd};
}

UniqueBitmap PrepareAngleImage(const SkinAngle& art, const angle3d::Layout& layout) {
    const int width = layout.image.cx, height = layout.image.cy;
    if (width < 1 || height < 1) return UniqueBitmap();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap image;
    {
        WindowDC screen(nullptr);
        image.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    if (!image || !bits) return UniqueBitmap();

    DIBSECTION ds{};
    const int cell = art.ballCell, strip = art.elementWidth - art.ballCell;
    if (!art.bitmap || GetObjectA(art.bitmap, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits ||
        ds.dsBm.bmBitsPixel < 24 || ds.dsBm.bmWidth < art.elementWidth || ds.dsBm.bmHeight < art.elementHeight ||
        cell < 1 || strip < 1 || 3 * cell + 3 * strip > art.elementHeight)
        return image;  // blank: only the wire sphere and marks will show
    const bool topDown = ds.dsBmih.biHeight < 0;
    const auto* source = static_cast<const std::uint8_t*>(ds.dsBm.bmBits);
    const std::ptrdiff_t sourceStride = ds.dsBm.bmWidthBytes;
    const SourceRows rows{topDown ? source : source + (ds.dsBm.bmHeight - 1) * sourceStride,
                          topDown ? sourceStride : -sourceStride, ds.dsBm.bmHeight, ds.dsBm.bmBitsPixel / 8};

    GdiFlush();
    auto* out = static_cast<std::uint8_t*>(bits);
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(width) * 4;
    const int b = layout.ballSize, stripWidth = layout.right.width(), stripHeight = layout.bottom.height();
    const int bpp = ds.dsBm.bmBitsPixel;
    for (int k = 0; k < skin::kLooks; ++k) {
        Place(out, stride, 0, k * b, b, b, rows, 0, k * cell, cell, cell, bpp);
        if (layout.ballOnly) continue;
        Place(out, stride, b, k * b, stripWidth, b, rows, cell, k * cell, strip, cell, bpp);
        Place(out, stride, 0, 3 * b + k * stripHeight, b, stripHeight, rows, 0, 3 * cell + k * strip, cell, strip,
              bpp);
    }
    return image;
}

}  // namespace kelmard
