// Owners for the GDI objects and device contexts of the media services: each
// object has one owner that frees it, and a selection is undone on every path.
#pragma once
#include <windows.h>

#include <utility>

namespace kelmard::media {

// Owns a GDI object (bitmap, brush, font...) freed with DeleteObject.
template <typename T>
class UniqueGdi {
public:
    UniqueGdi() = default;
    explicit UniqueGdi(T object) : object_(object) {}
    UniqueGdi(const UniqueGdi&) = delete;
    UniqueGdi& operator=(const UniqueGdi&) = delete;
    UniqueGdi(UniqueGdi&& other) noexcept : object_(other.release()) {}
    ~UniqueGdi() { reset(); }
    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    T release() { return std::exchange(object_, nullptr); }
    void reset(T object = nullptr) {
        if (object_) DeleteObject(object_);
        object_ = object;
    }

private:
    T object_ = nullptr;
};
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueBrush = UniqueGdi<HBRUSH>;

// The screen's device context (GetDC of no window), released on destruction.
class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    ~ScreenDC() { if (dc_) ReleaseDC(nullptr, dc_); }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// A memory device context compatible with `reference`, deleted on destruction.
class MemoryDC {
public:
    explicit MemoryDC(HDC reference) : dc_(CreateCompatibleDC(reference)) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() { if (dc_) DeleteDC(dc_); }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// Selects an object into a context and puts the old one back on destruction.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { if (ok()) SelectObject(dc_, old_); }
    bool ok() const { return old_ != nullptr && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A 32-bit DIB section with positive
// height (rows bottom-up), width x height, made on `dc`. Null on failure.
inline HBITMAP CreateDib32(HDC dc, int width, int height, void** bits) {
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
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits) *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

}  // namespace kelmard::media
