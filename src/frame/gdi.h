// Owners for GDI objects and device contexts, and scope guards that put the
// previous selection of a DC back. Each object has exactly one owner.
#pragma once
#include <windows.h>
#include <utility>

namespace kelmard {

// Owns a GDI object (pen, brush, bitmap, font, region) deleted with DeleteObject.
template <typename T>
class UniqueGdi {
public:
    UniqueGdi() = default;
    explicit UniqueGdi(T h) : h_(h) {}
    UniqueGdi(const UniqueGdi&) = delete;
    UniqueGdi& operator=(const UniqueGdi&) = delete;
    UniqueGdi(UniqueGdi&& o) noexcept : h_(o.release()) {}
    UniqueGdi& operator=(UniqueGdi&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~UniqueGdi() { reset(); }
    T get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    T release() { return std::exchange(h_, nullptr); }
    void reset(T h = nullptr) {
        if (h_) DeleteObject(h_);
        h_ = h;
    }

private:
    T h_ = nullptr;
};

using UniquePen = UniqueGdi<HPEN>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueRegion = UniqueGdi<HRGN>;

// Owns a memory DC made with CreateCompatibleDC (deleted with DeleteDC).
class UniqueMemoryDC {
public:
    UniqueMemoryDC() = default;
    explicit UniqueMemoryDC(HDC dc) : dc_(dc) {}
    UniqueMemoryDC(const UniqueMemoryDC&) = delete;
    UniqueMemoryDC& operator=(const UniqueMemoryDC&) = delete;
    ~UniqueMemoryDC() { if (dc_) DeleteDC(dc_); }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_ = nullptr;
};

// A DC borrowed from a window (GetDC, GetWindowDC, GetDCEx), released with ReleaseDC.
class WindowDC {
public:
    WindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { if (dc_) ReleaseDC(window_, dc_); }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// An icon made with CreateIconIndirect (destroyed with DestroyIcon).
class UniqueIcon {
public:
    UniqueIcon() = default;
    explicit UniqueIcon(HICON icon) : icon_(icon) {}
    UniqueIcon(const UniqueIcon&) = delete;
    UniqueIcon& operator=(const UniqueIcon&) = delete;
    ~UniqueIcon() { if (icon_) DestroyIcon(icon_); }
    HICON get() const { return icon_; }
    HICON release() { return std::exchange(icon_, nullptr); }

private:
    HICON icon_ = nullptr;
};

// Selects an object into a DC for the scope and puts the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() { if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_); }
    // True when the object was selected.
    explicit operator bool() const { return old_ != nullptr && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Sets the stretch mode for the scope and puts the previous one back.
class StretchModeGuard {
public:
    StretchModeGuard(HDC dc, int mode) : dc_(dc), old_(SetStretchBltMode(dc, mode)) {}
    StretchModeGuard(const StretchModeGuard&) = delete;
    StretchModeGuard& operator=(const StretchModeGuard&) = delete;
    ~StretchModeGuard() { if (old_) SetStretchBltMode(dc_, old_); }

private:
    HDC dc_;
    int old_;
};

}  // namespace kelmard
