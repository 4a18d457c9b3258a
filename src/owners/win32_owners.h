// The Windows kinds of UniqueOwner (one alias each), the DCs borrowed from a
// window, and the guards that put a DC's previous selection or state back.
// Every kernel, GDI, registry, module and COM object the library makes has
// exactly one of these as its owner.
#pragma once
#include <windows.h>

#include "owners/unique_owner.h"

namespace kelmard {

namespace owner_traits {
// Files from CreateFile answer INVALID_HANDLE_VALUE for "nothing"; some calls
// answer null. Neither is released.
struct File {
    using Type = HANDLE;
    static HANDLE Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool Holds(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Release(HANDLE h) noexcept { CloseHandle(h); }
};
// One reference of a COM interface.
template <typename I>
struct Com {
    using Type = I*;
    static I* Empty() noexcept { return nullptr; }
    static bool Holds(I* p) noexcept { return p != nullptr; }
    static void Release(I* p) noexcept { p->Release(); }
};
inline void CloseKey(HKEY key) noexcept { RegCloseKey(key); }
inline void DeleteGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }
inline void UnmapView(void* view) noexcept { UnmapViewOfFile(view); }
}  // namespace owner_traits

// Kernel objects: processes, threads, events, mutexes, semaphores, mappings.
using UniqueHandle = UniqueOwner<NullEmptyTraits<HANDLE, CloseHandle>>;
using UniqueFile = UniqueOwner<owner_traits::File>;
using UniqueKey = UniqueOwner<NullEmptyTraits<HKEY, owner_traits::CloseKey>>;
using UniqueModule = UniqueOwner<NullEmptyTraits<HMODULE, FreeLibrary>>;
using UniqueView = UniqueOwner<NullEmptyTraits<void*, owner_traits::UnmapView>>;
using UniqueGlobal = UniqueOwner<NullEmptyTraits<HGLOBAL, GlobalFree>>;
// GDI objects.
template <typename T>
using UniqueGdi = UniqueOwner<NullEmptyTraits<T, owner_traits::DeleteGdiObject>>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueRegion = UniqueGdi<HRGN>;
using UniqueMemoryDC = UniqueOwner<NullEmptyTraits<HDC, DeleteDC>>;
using UniqueIcon = UniqueOwner<NullEmptyTraits<HICON, DestroyIcon>>;
using UniqueWindow = UniqueOwner<NullEmptyTraits<HWND, DestroyWindow>>;
template <typename I>
using ComRef = UniqueOwner<owner_traits::Com<I>>;

// A DC borrowed from a window (GetDC, GetWindowDC, GetDCEx), given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    WindowDC(HWND window, HDC dc) noexcept : window_(window), dc_(dc) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// The DC of a WM_PAINT: BeginPaint for the scope, EndPaint at its end.
class PaintDC {
public:
    explicit PaintDC(HWND window) noexcept : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(window_, &paint_); }
    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& paint() const noexcept { return paint_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a DC for the scope and puts the previous one back.
// A null DC or object selects nothing.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (*this) SelectObject(dc_, old_);
    }
    // True when the object was selected.
    explicit operator bool() const noexcept { return old_ != nullptr && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Saves a DC's whole state (selections, colours, modes, clip) for the scope.
class SavedDC {
public:
    explicit SavedDC(HDC dc) noexcept : dc_(dc), saved_(dc ? SaveDC(dc) : 0) {}
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
    ~SavedDC() {
        if (saved_) RestoreDC(dc_, saved_);
    }

private:
    HDC dc_;
    int saved_;
};

// Sets one DC attribute for the scope and puts the previous value back:
//   DcAttributeGuard<SetTextColor> colour(dc, RGB(0, 0, 0));
// `Set` answers the previous value; `Failed` is its failure answer.
template <auto Set, auto Failed>
class DcAttributeGuard {
public:
    template <typename V>
    DcAttributeGuard(HDC dc, V value) noexcept : dc_(dc), old_(Set(dc, value)) {}
    DcAttributeGuard(const DcAttributeGuard&) = delete;
    DcAttributeGuard& operator=(const DcAttributeGuard&) = delete;
    ~DcAttributeGuard() {
        if (old_ != Failed) Set(dc_, old_);
    }

private:
    HDC dc_;
    decltype(Failed) old_;
};
using TextColorGuard = DcAttributeGuard<SetTextColor, CLR_INVALID>;
using BkColorGuard = DcAttributeGuard<SetBkColor, CLR_INVALID>;
using BkModeGuard = DcAttributeGuard<SetBkMode, 0>;
using StretchModeGuard = DcAttributeGuard<SetStretchBltMode, 0>;

}  // namespace kelmard
