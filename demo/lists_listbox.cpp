// List controls: the list box. Four "WKListBox" windows in a skinned window
// (normal, focused with a selection made by keys, disabled, scrolled by its
// scroll bar), photographed into listbox-states.png, with what the window
// heard from them.
#include <windows.h>

#include <string>
#include <vector>

#include "demo.h"
#include "gallery.h"
#include "host.h"
#include "kelmard.h"
#include "owners/win32_owners.h"
#include "picture.h"

namespace demo {
namespace {

enum Row { kNormal, kFocused, kDisabled, kScrolled, kLists };
constexpr int kFirstList = 301;
const char* const kNames[kLists] = {"normal", "focused", "disabled", "scrolled"};
const char* const kEffects[] = {"Cross fade", "Door", "Page curl", "Ripple", "Slide", "Spin", "Twist", "Wipe",
                                "Zoom",       "Blinds", "Cube",    "Fold",   "Iris",  "Mosaic", "Peel", "Swap"};

std::vector<std::string>* g_heard = nullptr;  // the host's WM_COMMANDs while the demo runs
WNDPROC g_hostProcedure = nullptr;

LRESULT CALLBACK Listening(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && g_heard) {
        const int id = LOWORD(wParam);
        const WORD code = HIWORD(wParam);
        const char* name = code == LBN_SELCHANGE ? "LBN_SELCHANGE" : code == LBN_SETFOCUS ? "LBN_SETFOCUS"
                           : code == LBN_KILLFOCUS ? "LBN_KILLFOCUS" : code == LBN_DBLCLK ? "LBN_DBLCLK" : "code";
        const LRESULT selection = SendMessageA(reinterpret_cast<HWND>(lParam), LB_GETCURSEL, 0, 0);
        g_heard->push_back(std::string(name) + " from list " + std::to_string(id) + " (selection " +
                           std::to_string(selection) + ")");
    }
    return CallWindowProcA(g_hostProcedure, window, message, wParam, lParam);
}

}  // namespace

bool ShowListBox(Context& context) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    kelmard::UniqueWindow host(CreateWindowExA(0, "WKDialog", "List boxes", WS_POPUP | WS_VISIBLE | WS_CAPTION,
                                               40, 40, 4 * 140 + 30, 170, nullptr, nullptr, self, nullptr));
    if (!host) return false;
    std::vector<std::string> heard;
    g_heard = &heard;
    g_hostProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(host.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Listening)));
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    HWND lists[kLists];
    for (int row = 0; row < kLists; ++row) {
        lists[row] = CreateWindowExA(WS_EX_CLIENTEDGE, "WKListBox", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY,
                                     10 + row * 140, 10, 130, 120, host.get(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstList + row)), self, nullptr);
        if (!lists[row]) return false;
        SendMessageA(lists[row], WM_SETFONT, font, FALSE);
        const int count = row == kScrolled ? 16 : 6;
        for (int i = 0; i < count; ++i) SendMessageA(lists[row], LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kEffects[i]));
    }
    // Focused: two Down keys from the first item. Disabled: a selection, then disabled.
    SetForegroundWindow(host.get());
    SetFocus(lists[kFocused]);
    SendMessageA(lists[kFocused], LB_SETCURSEL, 0, 0);
    SendMessageA(lists[kFocused], WM_KEYDOWN, VK_DOWN, 1);
    SendMessageA(lists[kFocused], WM_KEYDOWN, VK_DOWN, 1);
    SendMessageA(lists[kDisabled], LB_SETCURSEL, 3, 0);
    EnableWindow(lists[kDisabled], FALSE);
    // Scrolled: a page down on its scroll bar's track, then the last item clicked.
    khost::PumpMessages(0);
    UpdateWindow(lists[kScrolled]);
    if (HWND bar = GetDlgItem(lists[kScrolled], 1000)) {
        RECT r;
        GetClientRect(bar, &r);
        PostClick(bar, r.right / 2, r.bottom - GetSystemMetrics(SM_CYVSCROLL) - 4);
        khost::PumpMessages(0);
    }
    RECT item;
    const LRESULT top = SendMessageA(lists[kScrolled], LB_GETTOPINDEX, 0, 0);
    if (SendMessageA(lists[kScrolled], LB_GETITEMRECT, static_cast<WPARAM>(top + 2), reinterpret_cast<LPARAM>(&item)) == 1)
        Click(lists[kScrolled], item.left + 10, item.top + 2);
    SetFocus(lists[kFocused]);
    khost::PumpMessages(0);
    const std::string path = context.outputFolder + "\\listbox-states.png";
    const kpicture::Image image = Photograph(host.get());
    const bool written = WritePicture(image, path);
    Say("The window heard from its list boxes:\n");
    for (const std::string& line : heard) Say("  %s\n", line.c_str());
    LRESULT selections[kLists];
    for (int row = 0; row < kLists; ++row) {
        selections[row] = SendMessageA(lists[row], LB_GETCURSEL, 0, 0);
        Say("  %-9s selection %d, top index %d\n", kNames[row], static_cast<int>(selections[row]),
            static_cast<int>(SendMessageA(lists[row], LB_GETTOPINDEX, 0, 0)));
    }
    Say("The list box's states: %s\n", written ? path.c_str() : "(no picture)");
    g_heard = nullptr;
    SetWindowLongPtrA(host.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hostProcedure));
    return written && selections[kNormal] == LB_ERR && selections[kFocused] == 2 && selections[kDisabled] == 3 &&
           selections[kScrolled] == top + 2 && top > 0;
}

}  // namespace demo
