// Support for the button, static and edit tests: a test dialog made from an
// in-memory template (the controls as a plug-in names them), the WM_COMMAND
// log of its procedure, a message pump through the dialog manager, the
// skin's own pixels from the library's resources, and a watchdog for cases
// that would otherwise hang.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "controls/framework/skin_layout.h"
#include "picture.h"

namespace ctl_test {

// An in-memory DLGTEMPLATE with items named by class.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short cx, short cy, const char* title, const char* dialogClass = nullptr) {
        Dword(style | DS_SETFONT);
        Dword(0);
        count_ = words_.size();
        words_.push_back(0);
        for (short v : {short(0), short(0), cx, cy}) words_.push_back(static_cast<WORD>(v));
        words_.push_back(0);  // no menu
        if (dialogClass)
            String(dialogClass);
        else
            words_.push_back(0);  // the system dialog class
        String(title);
        words_.push_back(8);
        String("Tahoma");
    }
    void Add(const char* cls, const char* text, WORD id, DWORD style, short x, short y, short cx, short cy,
             DWORD exStyle = 0) {
        if (words_.size() % 2) words_.push_back(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(exStyle);
        for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
        words_.push_back(id);
        String(cls);
        String(text);
        words_.push_back(0);  // no creation data
        ++words_[count_];
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Dword(DWORD v) {
        words_.push_back(LOWORD(v));
        words_.push_back(HIWORD(v));
    }
    void String(const char* s) {
        for (; *s; ++s) words_.push_back(static_cast<unsigned char>(*s));
        words_.push_back(0);
    }
    std::vector<WORD> words_;
    std::size_t count_ = 0;
};

// What the test dialog's procedure saw.
struct Note {
    WORD id;
    WORD code;
    HWND from;
};
struct DialogLog {
    std::vector<Note> commands;
    std::vector<std::pair<WPARAM, LPARAM>> drops;
    int Count(WORD id, WORD code) const {
        int n = 0;
        for (const Note& c : commands) n += c.id == id && c.code == code;
        return n;
    }
};
inline DialogLog& Log() {
    static DialogLog log;
    return log;
}

inline INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        Log().commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return TRUE;
    case WM_DROPFILES:
        Log().drops.push_back({wParam, lParam});
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 77);
        return TRUE;
    default: return FALSE;
    }
}

// The library registers its classes when it is loaded; nothing in these
// tests imports a function from it, so it is loaded here.
inline HMODULE Library() {
    static const HMODULE module = LoadLibraryA("KELMARD.DLL");
    return module;
}

// A modeless test dialog, visible at the screen's top-left corner.
inline HWND OpenDialog(const DialogTemplate& t) {
    if (!Library()) return nullptr;
    Log() = DialogLog{};
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.get(), nullptr, TestDialogProc, 0);
    if (dialog) {
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dialog);
    }
    return dialog;
}

inline HWND EmptyDialog(short cx = 240, short cy = 160) {
    return OpenDialog(DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, cx, cy, "test"));
}

// Pumps the thread's queue through the dialog manager.
inline void Pump(HWND dialog, int rounds = 5) {
    MSG msg;
    for (int i = 0; i < rounds; ++i) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog && IsDialogMessageA(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
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

// The skin bitmap as the library ships it.
inline const kpicture::Image& SkinArt() {
    static const kpicture::Image image = [] {
        HBITMAP b = static_cast<HBITMAP>(LoadImageA(Library(),
                                                    MAKEINTRESOURCEA(kelmard::skin::kBitmapId), IMAGE_BITMAP, 0, 0,
                                                    LR_CREATEDIBSECTION));
        kpicture::Image i = kpicture::FromBitmap(b);
        if (b) DeleteObject(b);
        return i;
    }();
    return image;
}

// Pixels of `shot` at (x, y) that differ from the skin art at (sx, sy), w x h.
inline int DiffersFromSkin(const kpicture::Image& shot, int x, int y, int sx, int sy, int w, int h) {
    const kpicture::Image& art = SkinArt();
    if (shot.empty() || art.empty() || x + w > shot.width || y + h > shot.height) return w * h;
    int n = 0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) n += shot.rgb(x + i, y + j) != art.rgb(sx + i, sy + j);
    return n;
}
inline bool SkinCellsDiffer(int ax, int ay, int bx, int by, int w, int h) {
    const kpicture::Image& art = SkinArt();
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (art.rgb(ax + i, ay + j) != art.rgb(bx + i, by + j)) return true;
    return false;
}

// Pixels of one colour (a COLORREF) within a rectangle of the shot.
inline int CountIn(const kpicture::Image& shot, COLORREF colour, int left, int top, int right, int bottom) {
    const std::uint32_t rgb = kpicture::FromColorRef(colour);
    int n = 0;
    for (int y = top; y < bottom && y < shot.height; ++y)
        for (int x = left; x < right && x < shot.width; ++x) n += shot.rgb(x, y) == rgb;
    return n;
}

// Pixels within `tolerance` per channel of a colour: text is drawn smoothed.
inline int CountNear(const kpicture::Image& shot, COLORREF colour, int left, int top, int right, int bottom,
                     int tolerance = 48) {
    const std::uint32_t rgb = kpicture::FromColorRef(colour);
    auto within = [&](std::uint32_t p, int shift) {
        const int a = static_cast<int>((p >> shift) & 0xFF), b = static_cast<int>((rgb >> shift) & 0xFF);
        return a - b <= tolerance && b - a <= tolerance;
    };
    int n = 0;
    for (int y = top; y < bottom && y < shot.height; ++y)
        for (int x = left; x < right && x < shot.width; ++x) {
            const std::uint32_t p = shot.rgb(x, y);
            n += within(p, 0) && within(p, 8) && within(p, 16);
        }
    return n;
}

inline COLORREF SkinColour(int index) { return kelmard::skin::kColors[index]; }

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

}  // namespace ctl_test
