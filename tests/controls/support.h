// Support for the control and dialog tests under Wine: test dialogs from
// in-memory templates, one dialog procedure that records what it sees, a
// message pump through the dialog manager, the skin art as the library ships
// it, pixel counts over pictures of the picture tool, and a watchdog.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "controls/framework/skin_layout.h"
#include "picture.h"
#include "template_builder.h"

namespace ctl_test {

using testing_support::TemplateBuilder;

// A DIALOG template at (x, y) dialog units, 8-point "MS Shell Dlg", no menu;
// items are added with TemplateBuilder::Add.
inline TemplateBuilder DialogTemplate(DWORD style, short cx, short cy, const char* title = "test",
                                      const char* dialogClass = nullptr, DWORD exStyle = 0, short x = 0, short y = 0) {
    TemplateBuilder b;
    b.Dialog(style | DS_SETFONT, 0, x, y, cx, cy, exStyle).Word(0);
    if (dialogClass) b.String(dialogClass);
    else b.Word(0);
    b.String(title).Font(8, "MS Shell Dlg");
    return b;
}
inline LPCDLGTEMPLATEA Get(const TemplateBuilder& t) { return reinterpret_cast<LPCDLGTEMPLATEA>(t.data()); }

constexpr DWORD kPopupCaption = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr UINT kReleaseCaptureMessage = WM_APP + 1;  // ReleaseCapture() on the dialog's thread

// What the test dialog's procedure saw.
struct Note {
    WORD id, code;
    HWND from;
};
struct Recorder {
    LPARAM init = 0;
    HWND dialog = nullptr;
    std::string dialogClass, firstChildClass;
    INT_PTR endWith = 0;  // non-zero: EndDialog with it at the first WM_TIMER
    std::vector<Note> commands;
    std::vector<std::pair<WPARAM, LPARAM>> drops;
    int Count(WORD id, WORD code) const {
        int n = 0;
        for (const Note& c : commands) n += c.id == id && c.code == code;
        return n;
    }
};
inline Recorder& Log() {
    static Recorder log;
    return log;
}

inline std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

inline INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Recorder& r = Log();
    switch (message) {
    case WM_INITDIALOG:
        r.init = lParam;
        r.dialog = dialog;
        r.dialogClass = ClassOf(dialog);
        if (HWND child = GetWindow(dialog, GW_CHILD)) r.firstChildClass = ClassOf(child);
        if (r.endWith) SetTimer(dialog, 1, 10, nullptr);
        return TRUE;
    case WM_TIMER:
        if (r.endWith) EndDialog(dialog, r.endWith);
        return TRUE;
    case WM_COMMAND:
        r.commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return TRUE;
    case WM_DROPFILES:
        r.drops.push_back({wParam, lParam});
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 77);
        return TRUE;
    case kReleaseCaptureMessage:
        ReleaseCapture();
        return TRUE;
    default:
        return FALSE;
    }
}

// The library (its classes register when it is loaded).
inline HMODULE Library() {
    static const HMODULE module = LoadLibraryA("KELMARD.DLL");
    return module;
}

// Lets the thread's windows, through the dialog manager of `dialog`, handle
// what is queued for about `ms` milliseconds.
inline void Pump(HWND dialog = nullptr, DWORD ms = 30) {
    const DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog && IsDialogMessageA(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

// A modeless test dialog made by the system's dialog manager, topmost at the
// screen's top-left corner, with a fresh log.
inline HWND OpenDialog(const TemplateBuilder& t) {
    if (!Library()) return nullptr;
    Log() = Recorder{};
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), Get(t), nullptr, RecordingProc, 0);
    if (dialog) {
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dialog);
    }
    return dialog;
}

// A control made by the test inside a dialog, in pixels.
inline HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h,
                  DWORD exStyle = 0) {
    return CreateWindowExA(exStyle, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

inline LPARAM Point(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

// A window's client area repainted now and captured.
inline kpicture::Image Shot(HWND w) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return kpicture::CaptureWindow(w, true);
}

// The skin bitmap as the library ships it.
inline const kpicture::Image& SkinArt() {
    static const kpicture::Image image = [] {
        HBITMAP b = static_cast<HBITMAP>(
            LoadImageA(Library(), MAKEINTRESOURCEA(kelmard::skin::kBitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        kpicture::Image i = kpicture::FromBitmap(b);
        if (b) DeleteObject(b);
        return i;
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

// Pixels within `tolerance` per channel of a colour inside a rectangle of the
// shot (text is drawn smoothed; 0: exactly the colour).
inline int CountIn(const kpicture::Image& shot, COLORREF colour, int left, int top, int right, int bottom,
                   int tolerance = 0) {
    kpicture::Image part;
    if (right > shot.width) right = shot.width;
    if (bottom > shot.height) bottom = shot.height;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) part.pixels.push_back(shot.at(x, y));
    part.width = static_cast<int>(part.pixels.size());
    part.height = part.width ? 1 : 0;
    return part.width ? kpicture::CountColour(part, kpicture::FromColorRef(colour), tolerance) : 0;
}
inline int CountNear(const kpicture::Image& shot, COLORREF colour, int left, int top, int right, int bottom) {
    return CountIn(shot, colour, left, top, right, bottom, 48);
}

// Ends the program with a message when a step does not finish in time (a
// hang would otherwise only show as the test's timeout).
class Watchdog {
public:
    Watchdog(DWORD ms, const char* what) : ms_(ms), what_(what) {
        done_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~Watchdog() {
        SetEvent(done_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(done_);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    static DWORD WINAPI Run(void* self) {
        auto* w = static_cast<Watchdog*>(self);
        if (WaitForSingleObject(w->done_, w->ms_) == WAIT_TIMEOUT) {
            std::fprintf(stderr, "FAILED: %s did not finish in %lu ms\n", w->what_, static_cast<unsigned long>(w->ms_));
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        return 0;
    }
    DWORD ms_;
    const char* what_;
    HANDLE done_ = nullptr;
    HANDLE thread_ = nullptr;
};

// A test with an empty captioned dialog (replaced by Open) in which to make
// controls, and the means to drive them through the dialog manager.
class ControlDialog : public ::testing::Test {
protected:
    void SetUp() override {
        dialog_ = OpenDialog(DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 240, 160));
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
        Pump();
    }
    void Open(const TemplateBuilder& t) {
        DestroyWindow(dialog_);
        dialog_ = OpenDialog(t);
        ASSERT_NE(dialog_, nullptr) << "the dialog manager created every control";
        Pump(dialog_);
    }
    HWND Make(const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h, DWORD exStyle = 0) {
        HWND c = Child(dialog_, cls, text, style, id, x, y, w, h, exStyle);
        EXPECT_NE(c, nullptr) << cls << ": error " << GetLastError();
        return c;
    }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    LRESULT Check(int id) const { return SendDlgItemMessageA(dialog_, id, BM_GETCHECK, 0, 0); }
    static LRESULT Get(HWND w, UINT message) { return SendMessageA(w, message, 0, 0); }
    // Posts a message and lets the dialog run.
    void Post(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
        PostMessageA(w, message, wParam, lParam);
        Pump(dialog_);
    }
    void PostClick(HWND w, int x, int y) {
        PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
        Post(w, WM_LBUTTONUP, 0, Point(x, y));
    }
    void PostKey(HWND w, UINT key) {
        PostMessageA(w, WM_KEYDOWN, key, 1);
        Post(w, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    }
    // A message WM_DROPFILES sent to `control` reaches the dialog with the
    // control in lParam and answers the dialog's answer.
    void ExpectDropsGoToTheDialog(HWND control) {
        HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
        ASSERT_NE(drop, nullptr);
        EXPECT_EQ(SendMessageA(control, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0), 77) << "the dialog's answer";
        ASSERT_EQ(Log().drops.size(), 1u);
        EXPECT_EQ(Log().drops[0].first, reinterpret_cast<WPARAM>(drop));
        EXPECT_EQ(Log().drops[0].second, reinterpret_cast<LPARAM>(control));
        GlobalFree(drop);
    }
    HWND dialog_ = nullptr;
};

}  // namespace ctl_test
