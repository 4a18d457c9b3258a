// A 32-bit top-down DIB section in a memory DC for the drawing tests, and the
// shared skin of the test program loaded from the library's resources.
#pragma once
#include <windows.h>

#include <cstdint>

#include "controls/framework/skin.h"
#include "picture.h"

namespace testing_support {

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void Fill(COLORREF c) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) bits_[i] = kpicture::FromColorRef(c);
    }
    // The pixel as 0xRRGGBB.
    std::uint32_t at(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFFu;
    }
    int Count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) n += at(x, y) == kpicture::FromColorRef(c);
        return n;
    }
    bool SameAs(const Canvas& o) const {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (at(x, y) != o.at(x, y)) return false;
        return true;
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

// The test program's copy of the shared skin, filled from KELMARD.DLL's resources.
inline kelmard::WKSkin& TestSkin() {
    kelmard::WKSkin& skin = kelmard::SharedSkin();
    if (!skin.brushes[0]) kelmard::LoadSkin(GetModuleHandleA("KELMARD.DLL"));
    return skin;
}

// The skin bitmap's pixels.
inline const kpicture::Image& SkinPixels() {
    static const kpicture::Image image = kpicture::FromBitmap(TestSkin().frames[0].bitmap);
    return image;
}

}  // namespace testing_support
