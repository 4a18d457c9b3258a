// A plug-in that loads the library at run time, shows a help topic, closes
// its help handle and frees the library (its last reference) while the popup
// is still open, then goes on pumping messages. Exit code 0: the popup kept
// working, and the library went away once the popup had closed. A popup that
// outlived the library's code would crash this process instead.
#include <windows.h>

#include "host.h"
#include "kelmard.h"

int main() {
    kelmard::UniqueModule library(LoadLibraryA("KELMARD.DLL"));
    if (!library) return 10;
    using HelpFn = LONG_PTR(QVRAPI*)(int, void*, void*);
    auto help = reinterpret_cast<HelpFn>(reinterpret_cast<void*>(GetProcAddress(library.get(), "FxHelp")));
    if (!help) return 11;
    FxHelpOpenBlock open{nullptr, nullptr, nullptr};
    void* handle = reinterpret_cast<void*>(help(FXHELP_OPEN, nullptr, &open));
    if (!handle) return 12;
    FxHelpShowBlock show{nullptr, 100, 100, 100};
    if (help(FXHELP_SHOW, handle, &show) != 1) return 13;
    help(FXHELP_CLOSE, handle, nullptr);
    khost::PumpMessages(100);
    const HWND popup = FindWindowA("FxHelp Window", nullptr);
    if (!popup) return 14;

    library.reset();
    if (!GetModuleHandleA("KELMARD.DLL")) return 2;  // unloaded under an open popup
    // The popup still paints and answers; then a key closes it.
    InvalidateRect(popup, nullptr, TRUE);
    khost::PumpMessages(100);
    if (!IsWindow(popup)) return 3;
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    khost::PumpUntil([] { return !GetModuleHandleA("KELMARD.DLL"); }, 10000);
    if (IsWindow(popup)) return 4;
    return GetModuleHandleA("KELMARD.DLL") ? 5 : 0;  // 5: the popup kept the library for good
}
