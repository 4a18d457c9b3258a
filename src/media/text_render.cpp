// Rich text: RTF in and out of RichEdit controls, and rendering an RTF text
// laid out on a page into a 32-bit bitmap with 2x supersampling.
#include <windows.h>
#include <richedit.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "frame/frame.h"
#include "frame/trace.h"
#include "kelmard.h"
#include "owners/win32_owners.h"
#include "media/dib.h"
#include "media/media.h"
#include "media/supersample.h"

// The descriptor has no pointer: one layout in both builds.
static_assert(sizeof(RichTextDesc) == 1044, "the text render descriptor is 1044 bytes");
static_assert(offsetof(RichTextDesc, rtf) == 4, "RTF text at offset 4");
static_assert(offsetof(RichTextDesc, layoutWidth) == 1028, "layout width at offset 1028");
static_assert(offsetof(RichTextDesc, layoutHeight) == 1030, "layout height at offset 1030");
static_assert(offsetof(RichTextDesc, background) == 1032, "background at offset 1032");
static_assert(offsetof(RichTextDesc, coverage) == 1040, "coverage flag at offset 1040");

namespace kelmard {
namespace {

constexpr LONG kTwipsPerInch = 1440;
constexpr WPARAM kTextMode = TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE;
constexpr LPARAM kTextLimit = 1024;

UniqueModule g_richEdit;

// ---------------------------------------------------------------------------
// RTF streams

enum StreamDirection : int { kFromControl = 0, kIntoControl = 1 };

struct StreamCookie {
    int direction;
    LONG position;
    LONG limit;
    char* buffer;
};

bool AllZero(const BYTE* bytes, LONG count) {
    for (LONG i = 0; i < count; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

DWORD CALLBACK StreamCallback(DWORD_PTR cookieValue, LPBYTE data, LONG bytes, LONG* done) {
    auto* cookie = reinterpret_cast<StreamCookie*>(cookieValue);
    if (!cookie) return 1;
    const LONG left = cookie->limit - cookie->position;
    if (cookie->direction == kIntoControl) {
        const LONG count = left < bytes ? left : bytes;
        if (count > 0) std::memcpy(data, cookie->buffer + cookie->position, count);
        cookie->position += count;
        *done = count;
        return 0;
    }
    if (cookie->direction == kFromControl) {
        const LONG count = bytes <= left ? bytes : left;
        if (count > 0) std::memcpy(cookie->buffer + cookie->position, data, count);
        cookie->position += count;
        // Some RichEdit versions stream a NUL after the text: what does not
        // fit of it is no loss.
        const bool whole = count == bytes || AllZero(data + count, bytes - count);
        *done = whole ? bytes : count;
        return whole ? 0 : 1;
    }
    return 1;
}

// Streams `length` bytes of RTF into the control. The characters read, or
// -1 when the control took nothing of a non-empty text (no control, or one
// that does not answer). An RTF text that ends early (some versions report
// that as an error) still shows what was read.
LRESULT StreamIn(HWND control, const char* rtf, std::size_t length) {
    StreamCookie cookie{kIntoControl, 0, static_cast<LONG>(length), const_cast<char*>(rtf)};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamCallback};
    const LRESULT read = SendMessageA(control, EM_STREAMIN, SF_RTF | SFF_PLAINRTF,
                                      reinterpret_cast<LPARAM>(&stream));
    return length > 0 && cookie.position == 0 ? -1 : read;
}

// ---------------------------------------------------------------------------
// The render control

// The process's render control. A window can only be used and destroyed by
// the thread that made it: the owner is kept here, and only that thread
// destroys it. The lock guards the owner, never a call into the control.
SRWLOCK g_controlLock = SRWLOCK_INIT;
UniqueWindow g_control;

class ControlLock {
public:
    ControlLock() { AcquireSRWLockExclusive(&g_controlLock); }
    ~ControlLock() { ReleaseSRWLockExclusive(&g_controlLock); }
    ControlLock(const ControlLock&) = delete;
    ControlLock& operator=(const ControlLock&) = delete;
};

HWND ProcessControl() {
    ControlLock lock;
    return g_control.get();
}

UniqueWindow CreateRenderControl() {
    UniqueWindow control(CreateWindowExA(0, "RichEdit20A", "", ES_MULTILINE | ES_WANTRETURN, 0, 0,
                                         0, 0, nullptr, nullptr, ModuleHandle(), nullptr));
    if (!control) return nullptr;
    SendMessageA(control.get(), EM_SETTEXTMODE, kTextMode, 0);
    SendMessageA(control.get(), EM_EXLIMITTEXT, 0, kTextLimit);
    return control;
}

bool Alive(HWND window) { return window && IsWindow(window); }

bool OwnedByThisThread(HWND window) {
    return Alive(window) && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// Makes `made` the process's control when the process's control is still
// `seen` (none, or one whose thread has ended and taken it along). False,
// leaving `made` as it is, when another thread was quicker.
bool AdoptAsProcessControl(UniqueWindow& made, HWND seen) {
    ControlLock lock;
    if (g_control.get() != seen) return false;
    (void)g_control.release();  // destroyed with its thread, if there was one
    g_control = std::move(made);
    return true;
}

// The control a render uses: the process's control when this thread owns it,
// else a new one, which becomes the process's control when there is none
// alive or lives only for this render. Its text is cleared at the end.
class RenderControl {
public:
    RenderControl() {
        const HWND current = ProcessControl();
        if (OwnedByThisThread(current)) {
            window_ = current;
            return;
        }
        UniqueWindow made = CreateRenderControl();
        window_ = made.get();
        // Another live thread owns the process's control, or was quicker:
        // this one lives for the render only.
        if (made && (Alive(current) || !AdoptAsProcessControl(made, current)))
            temporary_ = std::move(made);
    }
    RenderControl(const RenderControl&) = delete;
    RenderControl& operator=(const RenderControl&) = delete;
    ~RenderControl() {
        if (window_) SetWindowTextA(window_, "");
    }
    HWND get() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }

private:
    HWND window_ = nullptr;  // the process's control or temporary_
    UniqueWindow temporary_;
};

// ---------------------------------------------------------------------------
// Drawing

struct Page {
    int layoutWidth;   // screen pixels
    int layoutHeight;  // screen pixels
    int dpiX;
    int dpiY;
};

bool FillBackground(HDC dc, int width, int height, COLORREF colour) {
    UniqueBrush brush(CreateSolidBrush(colour));
    if (!brush) return false;
    const RECT all{0, 0, width, height};
    return FillRect(dc, &all, brush.get()) != 0;
}

// One layout pixel becomes viewport/1000 device pixels both ways (PageScale).
bool SetScale(HDC dc, int viewport) {
    return SetMapMode(dc, MM_ANISOTROPIC) && SetWindowExtEx(dc, 1000, 1000, nullptr) &&
           SetViewportExtEx(dc, viewport, viewport, nullptr);
}

// The page in twips: the layout size with one more inch below.
RECT PageTwips(const Page& page) {
    return RECT{0, 0, MulDiv(page.layoutWidth, kTwipsPerInch, page.dpiX),
                MulDiv(page.layoutHeight, kTwipsPerInch, page.dpiY) + kTwipsPerInch};
}

void PrintPage(HWND control, HDC dc, const Page& page) {
    FORMATRANGE range{};
    range.hdc = dc;
    range.hdcTarget = dc;
    range.rc = PageTwips(page);
    range.rcPage = range.rc;
    range.chrg.cpMin = 0;
    range.chrg.cpMax = -1;
    SendMessageA(control, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    SendMessageA(control, EM_FORMATRANGE, FALSE, 0);
}

// The second route, for RichEdit versions whose page printing draws nothing:
// the control, sized to the same page, paints its client area into the DC,
// whose mapping gives the same scale.
void PaintPage(HWND control, HDC dc, const Page& page) {
    const int pageHeight = page.layoutHeight + page.dpiY;
    SetWindowPos(control, nullptr, 0, 0, page.layoutWidth, pageHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    RECT rect{0, 0, page.layoutWidth, pageHeight};
    SendMessageA(control, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

bool ControlHasText(HWND control) {
    GETTEXTLENGTHEX ask{GTL_DEFAULT, CP_ACP};
    return SendMessageA(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&ask), 0) > 0;
}

std::uint32_t KeyRgb(COLORREF colour) {
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

// Draws the control's text at twice the result's size into `work`.
bool DrawWork(HWND control, HDC screen, HBITMAP work, const std::uint32_t* workBits, int width,
              int height, int viewport, const RichTextDesc& desc) {
    UniqueMemoryDC memory(CreateCompatibleDC(screen));
    if (!memory) return false;
    SelectGuard select(memory.get(), work);
    if (!select) return false;
    if (!FillBackground(memory.get(), 2 * width + 1, 2 * height + 1, desc.background)) return false;
    if (!SetScale(memory.get(), viewport)) return false;
    const Page page{desc.layoutWidth, desc.layoutHeight, GetDeviceCaps(screen, LOGPIXELSX),
                    GetDeviceCaps(screen, LOGPIXELSY)};
    if (page.dpiX <= 0 || page.dpiY <= 0) return false;

    PrintPage(control, memory.get(), page);
    GdiFlush();
    const long long workPixels = 4ll * width * height;
    if (!media::HasInk(workBits, workPixels, KeyRgb(desc.background)) && ControlHasText(control)) {
        KTRACE("Text render: the page came back empty, painting the control instead\n");
        PaintPage(control, memory.get(), page);
        GdiFlush();
    }
    return true;
}

}  // namespace

int InitTextRender() {
    KTRACE("InitTextRender()\n");
    g_richEdit.reset(LoadLibraryA("RichEd20"));
    return 1;
}

void ReleaseTextRender() {
    KTRACE("ReleaseTextRender()\n");
    UniqueWindow control;
    {
        ControlLock lock;
        control = std::move(g_control);
    }
    if (ProcessIsExiting()) {
        // The other threads are gone and the loader lock is held: the system
        // takes the control and RichEdit with the process.
        (void)control.release();
        (void)g_richEdit.release();
        return;
    }
    const HWND window = control.get();
    // Only the owning thread can destroy the control.
    if (OwnedByThisThread(window)) control.reset();
    else (void)control.release();
    if (Alive(window)) (void)g_richEdit.release();  // the control alive on another thread needs it
    else g_richEdit.reset();
}

}  // namespace kelmard

extern "C" KELMARD_API int QVRAPI QVRGetRichText(HWND control, char* buffer, int size) {
    using namespace kelmard;
    if (!buffer || size < 1) return 0;
    buffer[0] = '\0';
    StreamCookie cookie{kFromControl, 0, size - 1, buffer};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamCallback};
    SendMessageA(control, EM_STREAMOUT, SF_RTF | SFF_PLAINRTF, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0) {
        buffer[0] = '\0';
        return 0;
    }
    const std::size_t length = strnlen(buffer, static_cast<std::size_t>(cookie.position));
    buffer[length] = '\0';
    return static_cast<int>(length);
}

extern "C" KELMARD_API int QVRAPI QVRSetRichText(HWND control, const char* rtf) {
    if (!rtf) return 0;
    const LRESULT read = kelmard::StreamIn(control, rtf, std::strlen(rtf));
    return read < 0 ? 0 : static_cast<int>(read);
}

extern "C" KELMARD_API HBITMAP QVRAPI QVRRenderText(const RichTextDesc* desc, int width,
                                                    int height) {
    using namespace kelmard;
    if (!desc || width <= 0 || height <= 0) return nullptr;
    int viewport = 0;  // checked before anything is made
    if (!media::PageScale(width, desc->layoutWidth, viewport)) return nullptr;
    RenderControl control;
    if (!control) return nullptr;
    WindowDC screen(nullptr, GetDC(nullptr));
    if (!screen) return nullptr;
    void* resultBits = nullptr;
    void* workBits = nullptr;
    UniqueBitmap result = media::CreateDib32(screen.get(), width, height, &resultBits);
    if (!result) return nullptr;
    UniqueBitmap work = media::CreateDib32(screen.get(), 2 * width, 2 * height, &workBits);
    if (!work) return nullptr;

    SendMessageA(control.get(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(desc->background));
    RECT layout{0, 0, desc->layoutWidth, desc->layoutHeight};
    SendMessageA(control.get(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&layout));
    // The text is read within its 1024 bytes, NUL or not.
    if (StreamIn(control.get(), desc->rtf, strnlen(desc->rtf, sizeof desc->rtf)) < 0) return nullptr;

    auto* work32 = static_cast<std::uint32_t*>(workBits);
    if (!DrawWork(control.get(), screen.get(), work.get(), work32, width, height, viewport, *desc))
        return nullptr;
    media::ReduceSupersampled(work32, static_cast<std::uint32_t*>(resultBits), width, height,
                              KeyRgb(desc->background), desc->coverage != 0);
    return result.release();
}
