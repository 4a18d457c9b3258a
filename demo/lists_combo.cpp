// Lists: the combo box. The three kinds (simple, drop-down, drop-down list)
// in a skinned window, each normal, focused and disabled, driven by keys with
// the notifications the parent received printed and photographed; then a
// drop-down combo opened by F4, photographed with its list over the window,
// and closed by Return.
#include "demo.h"
#include "gallery.h"

#include <algorithm>
#include <string>

#include "host.h"
#include "kelmard.h"
#include "owners/win32_owners.h"
#include "picture.h"

namespace demo {
namespace {

WNDPROC g_hostProc = nullptr;

const char* CodeName(UINT code) {
    static const char* const names[] = {"?",           "CBN_SELCHANGE", "CBN_DBLCLK",  "CBN_SETFOCUS",
                                        "CBN_KILLFOCUS", "CBN_EDITCHANGE", "CBN_EDITUPDATE", "CBN_DROPDOWN",
                                        "CBN_CLOSEUP", "CBN_SELENDOK",  "CBN_SELENDCANCEL"};
    return code < sizeof names / sizeof *names ? names[code] : "another code";
}

LRESULT CALLBACK Host(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam && LOWORD(wParam) < 100) {
        char text[64] = "";
        GetWindowTextA(reinterpret_cast<HWND>(lParam), text, sizeof text);
        Say("  parent: combo %d, %s (text \"%s\")\n", LOWORD(wParam), CodeName(HIWORD(wParam)), text);
    }
    return CallWindowProcA(g_hostProc, window, message, wParam, lParam);
}

void Fill(HWND combo) {
    for (const char* item : {"Fade", "Wipe", "Door", "Page turn", "Ripple", "Zoom"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
}

// The key goes where a user's would: to the focus window.
void Key(UINT key) {
    SendMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    khost::PumpUntilQuiet();
}

}  // namespace

bool ShowComboBox(Context& context) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    kelmard::UniqueWindow host(CreateWindowExA(0, "WKDialog", "Combo boxes", WS_POPUP | WS_VISIBLE | WS_CAPTION, 40,
                                               40, 540, 250, nullptr, nullptr, self, nullptr));
    const kelmard::UniqueFont font = LabelFont();
    if (!host) return false;
    g_hostProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(host.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Host)));
    const HFONT f = font.get();
    const char* columns[] = {"Normal", "Focused", "Disabled"};
    const char* rows[] = {"Drop-down list", "Drop-down", "Simple"};
    const DWORD kinds[] = {CBS_DROPDOWNLIST, CBS_DROPDOWN, CBS_SIMPLE};
    HWND combos[3][3] = {};
    for (int c = 0; c < 3; ++c) MakeChild(host.get(), "WKStatic", columns[c], SS_LEFT, 200 + c, 110 + 140 * c, 6, 120, 16, f);
    for (int r = 0; r < 3; ++r) {
        const int y = 26 + 44 * r;
        MakeChild(host.get(), "WKStatic", rows[r], SS_LEFT, 210 + r, 8, y + 4, 98, 16, f);
        for (int c = 0; c < 3; ++c) {
            const DWORD style = kinds[r] | WS_VSCROLL | WS_TABSTOP | (c == 2 ? WS_DISABLED : 0);
            combos[r][c] = MakeChild(host.get(), "WKComboBox", "", style, 10 * r + c + 1, 110 + 140 * c, y, 126,
                                     r == 2 ? 96 : 120, f);
            if (!combos[r][c]) return false;
            Fill(combos[r][c]);
        }
    }
    khost::PumpUntilQuiet();
    Say("Down on the focused drop-down list (it moves the selection with the list closed):\n");
    SetFocus(combos[0][1]);
    khost::PumpUntilQuiet();
    Key(VK_DOWN);
    Say("Up in the focused simple combo's edit:\n");
    SetFocus(combos[2][1]);
    khost::PumpUntilQuiet();
    Key(VK_UP);
    Say("The focus to the drop-down in the middle, which keeps it for the picture:\n");
    SetFocus(combos[1][1]);
    khost::PumpUntilQuiet();
    const kpicture::Image states = Photograph(host.get());
    const std::string statesPath = context.outputFolder + "\\combo-states.png";
    const bool statesWritten = WritePicture(states, statesPath);
    Say("The combos, %d x %d: %s\n", states.width, states.height, statesWritten ? statesPath.c_str() : "(no picture)");

    Say("F4 opens the focused drop-down's list:\n");
    Key(VK_F4);
    const bool open = SendMessageA(combos[1][1], CB_GETDROPPEDSTATE, 0, 0) != 0;
    RECT combo{}, dropped{};
    GetWindowRect(combos[1][1], &combo);
    SendMessageA(combos[1][1], CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    SendMessageA(combos[1][1], CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
    RECT list{};
    GetWindowRect(info.hwndList, &list);
    RedrawWindow(info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    kpicture::Image droppedShot;
    {
        kelmard::WindowDC screen(nullptr);
        const int left = combo.left - 8, top = combo.top - 8;
        droppedShot = kpicture::CaptureDC(screen.get(), left, top, std::max(combo.right, list.right) + 8 - left,
                                          std::max(combo.bottom, list.bottom) + 8 - top);
    }
    const std::string droppedPath = context.outputFolder + "\\combo-dropped.png";
    const bool droppedWritten = open && WritePicture(droppedShot, droppedPath);
    Say("The opened drop-down and its list, %d x %d: %s\n", droppedShot.width, droppedShot.height,
        droppedWritten ? droppedPath.c_str() : "(no picture)");
    Say("Down moves the list's selection, Return chooses it:\n");
    Key(VK_DOWN);
    Key(VK_RETURN);
    const int chosen = static_cast<int>(SendMessageA(combos[1][1], CB_GETCURSEL, 0, 0));
    Say("The drop-down's selection: %d\n", chosen);
    SetWindowLongPtrA(host.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hostProc));
    return statesWritten && droppedWritten && chosen == 2;
}

}  // namespace demo
