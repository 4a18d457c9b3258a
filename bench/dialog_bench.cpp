// Control redraw benchmark: the whole redraw of each skinned control (invalidate,
// erase, paint, flush) against its system twin of the same size and state in
// the same run. Each row is one control; a control that has no twin of its own
// is measured against the nearest system control (named in its row).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "bench.h"
#include "kelmard.h"

namespace {

// One control and its system twin: the same style, size and set-up messages.
struct Row {
    const char* what;
    const char* libraryClass;
    const char* systemClass;
    DWORD style;
    int width, height;
    const char* text;
    void (*setUp)(HWND control);  // may be null
};

void CheckIt(HWND control) { SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0); }
void HalfWay(HWND control) { SendMessageA(control, TBM_SETPOS, TRUE, 50); }

void ThreeTabs(HWND control) {
    const char* names[] = {"General", "Timing", "Colour"};
    for (int i = 0; i < 3; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(names[i]);
        SendMessageA(control, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(control, TCM_SETCURSEL, 1, 0);
}

const Row kRows[] = {
    {"push button 75x23", "WKButton", "Button", BS_PUSHBUTTON, 75, 23, "Preview", nullptr},
    {"check box 120x16, checked", "WKButton", "Button", BS_AUTOCHECKBOX, 120, 16, "Smooth edges", CheckIt},
    {"group box 200x120", "WKButton", "Button", BS_GROUPBOX, 200, 120, "Direction", nullptr},
    {"static text 200x32", "WKStatic", "Static", SS_LEFT, 200, 32, "A label on the skin, over two lines.", nullptr},
    {"edit 160x20", "WKEdit", "Edit", ES_AUTOHSCROLL | WS_BORDER, 160, 20, "Chapter One", nullptr},
    // The value controls add their rows here.
    {"slider 200x24, at 50 of 0..100", "WKSlider", TRACKBAR_CLASSA, TBS_NOTICKS, 200, 24, "", HalfWay},
    {"range 200x24 (against a trackbar)", "WKRange", "msctls_trackbar32", 0, 200, 24, "", nullptr},
    {"spin 16x40", "WKSpin", "msctls_updown32", 0, 16, 40, "", nullptr},
    {"tab 260x120, 3 tabs, the second selected", "WKTab", WC_TABCONTROLA, 0, 260, 120, "", ThreeTabs},
};

// The best time of one whole redraw of `control`, in nanoseconds.
double Redraw(HWND control) {
    return bench::NsPerOp(5, 200, [control] {
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        GdiFlush();
    });
}

HWND Make(HWND host, const char* className, const Row& row) {
    HWND control = CreateWindowExA(0, className, row.text, WS_CHILD | WS_VISIBLE | row.style, 10, 10, row.width,
                                   row.height, host, reinterpret_cast<HMENU>(100), GetModuleHandleA(nullptr), nullptr);
    if (control && row.setUp) row.setUp(control);
    return control;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace

int main() {
    WKGetColor(0);  // the library registers its classes when it loads
    INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    HWND host = CreateWindowExA(0, "WKDialog", "bench", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 640, 480, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!host) host = CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
    std::printf("Whole redraw of a control against its system twin (best of 5 rounds of 200)\n");
    int failed = 0;
    for (const Row& row : kRows) {
        HWND twin = Make(host, row.systemClass, row);
        HWND control = Make(host, row.libraryClass, row);
        if (!twin || !control) {
            std::printf("%-48s could not be created\n", row.what);
            ++failed;
        } else {
            ShowWindow(control, SW_HIDE);
            Pump();
            const double floor = Redraw(twin);
            ShowWindow(twin, SW_HIDE);
            ShowWindow(control, SW_SHOW);
            Pump();
            char what[96];
            std::snprintf(what, sizeof what, "%s %s", row.libraryClass, row.what);
            bench::Report(what, Redraw(control), row.systemClass, floor);
        }
        if (control) DestroyWindow(control);
        if (twin) DestroyWindow(twin);
    }
    DestroyWindow(host);
    return failed;
}
