// Support for the control and dialog tests under Wine: test dialogs from
// in-memory templates with a dialog procedure that logs what it was started
// with, the library's skin art, pixel counts and a watchdog. Message
// sequences are sequence.h's.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "controls/framework/skin_layout.h"
#include "kelmard.h"
#include "owners/win32_owners.h"
#include "picture.h"
#include "sequence.h"
#include "template_builder.h"

namespace ctl_test {

using testing_support::TemplateBuilder;
using seq::Pump;

// A DIALOG template, 8-point "MS Shell Dlg", no menu; items are added with Add.
inline TemplateBuilder DialogTemplate(DWORD style, short cx, short cy, const char* title = "test",
                                      const char* dialogClass = nullptr, DWORD exStyle = 0, short x = 0, short y = 0) {
    TemplateBuilder b;
    b.Dialog(style | DS_SETFONT, 0, x, y, cx, cy, exStyle).Word(0);
    if (dialogClass) b.String(dialogClass);
    else b.Word(0);
    return b.String(title).Font(8, "MS Shell Dlg"), b;
}
inline LPCDLGTEMPLATEA Get(const TemplateBuilder& t) { return reinterpret_cast<LPCDLGTEMPLATEA>(t.data()); }
inline HINSTANCE Self() { return GetModuleHandleA(nullptr); }

constexpr DWORD kPopupCaption = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr UINT kReleaseCaptureMessage = WM_APP + 1;  // ReleaseCapture() on the dialog's thread
constexpr LRESULT kDropAnswer = 77;                  // the test dialogs' answer to WM_DROPFILES

inline std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// What the test dialog's procedure was started with.
struct Started {
    LPARAM init = 0;
    HWND dialog = nullptr;
    std::string dialogClass, firstChildClass;
    INT_PTR endWith = 0;  // non-zero: EndDialog with it at the first WM_TIMER
};
inline Started& Log() {
    static Started log;
    return log;
}

inline INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    Started& r = Log();
    switch (message) {
    case WM_INITDIALOG:
        r.init = lParam, r.dialog = dialog, r.dialogClass = ClassOf(dialog);
        if (HWND child = GetWindow(dialog, GW_CHILD)) r.firstChildClass = ClassOf(child);
        if (r.endWith) SetTimer(dialog, 1, 10, nullptr);
        return TRUE;
    case WM_TIMER: return r.endWith && EndDialog(dialog, r.endWith);
    case WM_DROPFILES: SetWindowLongPtrA(dialog, DWLP_MSGRESULT, kDropAnswer); return TRUE;
    case kReleaseCaptureMessage: ReleaseCapture(); return TRUE;
    default: return FALSE;
    }
}

// The library (its classes register when it is loaded).
inline HMODULE Library() {
    static const HMODULE module = LoadLibraryA("KELMARD.DLL");
    return module;
}

// A modeless test dialog with a fresh log (a modal test's end code would end
// it too), made by the system's dialog manager or the library's entry point,
// in front of every other window.
inline HWND OpenDialog(const TemplateBuilder& t, bool skinned = false, HWND owner = nullptr) {
    if (!Library()) return nullptr;
    Log() = Started{};
    const HWND d = skinned ? WKCreateDialogIndirectParam(Self(), Get(t), owner, RecordingProc, 0)
                           : CreateDialogIndirectParamA(Self(), Get(t), owner, RecordingProc, 0);
    if (!d) return nullptr;
    if (!(GetWindowLongA(d, GWL_STYLE) & WS_CHILD))
        SetWindowPos(d, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(d);
    Pump(nullptr, skinned ? 80 : 0);
    return d;
}

// A window's client area (or whole window) repainted now and captured.
inline kpicture::Image Shot(HWND w, bool client = true) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    return kpicture::CaptureWindow(w, client);
}

// The skin bitmap as the library ships it, and its colours.
inline const kpicture::Image& SkinArt() {
    static const kpicture::Image image = [] {
        kelmard::UniqueBitmap b(static_cast<HBITMAP>(
            LoadImageA(Library(), MAKEINTRESOURCEA(kelmard::skin::kBitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        return kpicture::FromBitmap(b.get());
    }();
    return image;
}
inline COLORREF SkinColour(int index) { return kelmard::skin::kColors[index]; }

// Pixels of `shot` at (x, y) that differ from the skin art at (sx, sy), w x h.
inline int DiffersFromSkin(const kpicture::Image& shot, int x, int y, int sx, int sy, int w, int h) {
    const kpicture::Image& art = SkinArt();
    if (shot.empty() || art.empty() || x < 0 || y < 0 || x + w > shot.width || y + h > shot.height) return w * h;
    int n = 0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) n += shot.rgb(x + i, y + j) != art.rgb(sx + i, sy + j);
    return n;
}

// Pixels in a rectangle of the shot within `tolerance` per channel of a
// colour (0: exactly it); CountNear allows for smoothed text.
inline int CountIn(const kpicture::Image& shot, COLORREF colour, int left, int top, int right, int bottom,
                   int tolerance = 0) {
    const std::uint32_t want = kpicture::FromColorRef(colour);
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, shot.height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, shot.width); ++x) {
            bool within = true;
            for (int shift : {0, 8, 16})
                within &= std::abs(int((shot.rgb(x, y) >> shift) & 0xFF) - int((want >> shift) & 0xFF)) <= tolerance;
            n += within;
        }
    return n;
}
inline int CountNear(const kpicture::Image& shot, COLORREF colour, int left, int top, int right, int bottom) {
    return CountIn(shot, colour, left, top, right, bottom, 48);
}

// Ends the program with a message when a step does not finish in time (a
// hang would otherwise only show as the test's timeout).
class Watchdog {
public:
    Watchdog(DWORD ms, const char* what)
        : ms_(ms), what_(what), done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          thread_(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {}
    ~Watchdog() {
        SetEvent(done_.get());
        WaitForSingleObject(thread_.get(), INFINITE);
    }

private:
    static DWORD WINAPI Run(void* self) {
        auto* w = static_cast<Watchdog*>(self);
        if (WaitForSingleObject(w->done_.get(), w->ms_) != WAIT_TIMEOUT) return 0;
        std::fprintf(stderr, "FAILED: %s did not finish in %lu ms\n", w->what_, static_cast<unsigned long>(w->ms_));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
        return 3;
    }
    DWORD ms_;
    const char* what_;
    kelmard::UniqueHandle done_, thread_;
};

// A test with a captioned dialog made by the system (replaced by Open) in
// which to make controls.
class ControlDialog : public ::testing::Test {
protected:
    void SetUp() override { Open(DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 240, 160)); }
    void TearDown() override {
        dialog_.reset();
        Pump();
    }
    void Open(const TemplateBuilder& t) {
        dialog_.reset(OpenDialog(t));
        ASSERT_TRUE(dialog_) << "the dialog manager created every control";
        Pump(dialog_.get());
    }
    HWND Make(const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h, DWORD exStyle = 0) {
        HWND c = CreateWindowExA(exStyle, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, dialog_.get(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Self(), nullptr);
        EXPECT_NE(c, nullptr) << cls << ": error " << GetLastError();
        return c;
    }
    HWND Item(int id) const { return GetDlgItem(dialog_.get(), id); }
    testing::AssertionResult Run(const seq::Table& table) { return seq::Run(dialog_.get(), table); }
    kelmard::UniqueWindow dialog_;
};

// WM_DROPFILES sent to control `id` reaches the parent from the control, and
// the control answers the parent's answer.
inline seq::Step DropOn(int id) {
    return seq::Do("drop files on #" + std::to_string(id), [id](HWND parent) {
        kelmard::UniqueGlobal drop(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64));
        const LRESULT answer = SendDlgItemMessageA(parent, id, WM_DROPFILES, reinterpret_cast<WPARAM>(drop.get()), 0);
        EXPECT_EQ(answer, kDropAnswer) << "the parent's answer";
    }).Sees({seq::Dropped(id)});
}

}  // namespace ctl_test
