// Shared pieces of the dialog tests: templates, a message pump, and a dialog
// procedure that records what it sees.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "../template_builder.h"

namespace dialog_tests {

using testing_support::TemplateBuilder;

// Lets the thread's windows handle what is queued for `ms` milliseconds.
inline void Pump(DWORD ms = 50) {
    const DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

// A DIALOG template at (x, y) dialog units, `cx` x `cy`, with 8-point
// "MS Shell Dlg", no class of its own, and no items (add them with the
// builder, counting them in `items`).
inline TemplateBuilder CaptionDialog(DWORD style, DWORD exStyle = 0, std::uint16_t items = 0, const char* title = "Effect",
                                     std::int16_t cx = 160, std::int16_t cy = 90) {
    TemplateBuilder b;
    b.Dialog(style | DS_SETFONT, items, 300, 200, cx, cy, exStyle).Word(0).Word(0).String(title).Font(8, "MS Shell Dlg");
    return b;
}

constexpr DWORD kPopupCaption = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// Messages the recording dialog procedure understands.
constexpr UINT kReleaseCaptureMessage = WM_APP + 1;  // ReleaseCapture() on the dialog's thread

struct Recorder {
    LPARAM init = 0;
    HWND dialog = nullptr;
    std::string firstChildClass;
    INT_PTR endWith = 0;  // non-zero: EndDialog with it at the first WM_TIMER
    std::vector<UINT> commands;
};

inline Recorder* g_recorder = nullptr;

inline INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Recorder* r = g_recorder;
    switch (message) {
    case WM_INITDIALOG:
        if (r) {
            r->init = lParam;
            r->dialog = dialog;
            if (HWND child = GetWindow(dialog, GW_CHILD)) {
                char name[64] = "";
                GetClassNameA(child, name, sizeof name);
                r->firstChildClass = name;
            }
            if (r->endWith) SetTimer(dialog, 1, 10, nullptr);
        }
        return TRUE;
    case WM_TIMER:
        if (r && r->endWith) EndDialog(dialog, r->endWith);
        return TRUE;
    case WM_COMMAND:
        if (r) r->commands.push_back(LOWORD(wParam));
        return TRUE;
    case kReleaseCaptureMessage:
        ReleaseCapture();
        return TRUE;
    default:
        return FALSE;
    }
}

inline std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

}  // namespace dialog_tests
