// List box benchmark: a list of 10,000 items filled with LB_ADDSTRING, then
// scrolled from the first item to the last one row at a time (LB_SETTOPINDEX
// and the repaint it brings), the library's "WKListBox" against the system's
// list box of the same size and style in the same run.
#include <windows.h>

#include <cstdio>

#include "bench.h"
#include "kelmard.h"
#include "owners/win32_owners.h"

namespace {

using kelmard::UniqueWindow;

constexpr int kItems = 10000;
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY;

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

UniqueWindow MakeList(HWND host, const char* className) {
    UniqueWindow list(CreateWindowExA(0, className, "", kStyle, 10, 10, 200, 300, host,
                                      reinterpret_cast<HMENU>(100), GetModuleHandleA(nullptr), nullptr));
    if (list) SendMessageA(list.get(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return list;
}

// A fresh list of `className` filled and painted once.
double Fill(HWND host, const char* className) {
    return bench::NsPerOp(3, 1, [&] {
        UniqueWindow list = MakeList(host, className);
        char text[32];
        for (int i = 0; i < kItems; ++i) {
            std::snprintf(text, sizeof text, "Transition %05d", i);
            SendMessageA(list.get(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
        UpdateWindow(list.get());
        GdiFlush();
    });
}

// From the top to the end, one row and one repaint at a time.
double Scroll(HWND list) {
    return bench::NsPerOp(3, 1, [list] {
        SendMessageA(list, LB_SETTOPINDEX, 0, 0);
        UpdateWindow(list);
        for (int top = 1; top < kItems; ++top) {
            SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
            UpdateWindow(list);
        }
        GdiFlush();
    });
}

}  // namespace

int main() {
    WKGetColor(0);  // the library registers its classes when it loads
    UniqueWindow host(CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr));
    if (!host) return 1;
    std::printf("A list of %d items against the system's list box (best of 3)\n", kItems);
    bench::Report("WKListBox filled with LB_ADDSTRING, painted", Fill(host.get(), "WKListBox"), "ListBox",
                  Fill(host.get(), "ListBox"));
    double times[2] = {0, 0};
    const char* classes[2] = {"ListBox", "WKListBox"};
    for (int k = 0; k < 2; ++k) {
        UniqueWindow list = MakeList(host.get(), classes[k]);
        if (!list) return 1;
        SendMessageA(list.get(), WM_SETREDRAW, FALSE, 0);
        for (int i = 0; i < kItems; ++i) SendMessageA(list.get(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Transition"));
        SendMessageA(list.get(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list.get(), nullptr, TRUE);
        UpdateWindow(list.get());
        Pump();
        times[k] = Scroll(list.get());
        if (SendMessageA(list.get(), LB_GETTOPINDEX, 0, 0) <= 0) {
            std::printf("%s did not scroll\n", classes[k]);
            return 1;
        }
    }
    bench::Report("WKListBox scrolled end to end by rows", times[1], "ListBox", times[0]);
    return 0;
}
