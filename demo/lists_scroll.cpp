// List controls: the scroll bar. A skinned dialog holds vertical and
// horizontal "WKScrollBar" controls in each state (normal, an arrow pressed,
// the thumb pressed, focused, disabled) and a frame window (a tree view with
// both window bars); each pressed or focused bar is photographed in its state
// and the pieces are put together into scroll-states.png. What the dialog
// heard is printed.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
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

enum State : int { kNormal, kArrow, kThumb, kFocused, kDisabled, kStates };
constexpr int kVertBase = 10, kHorzBase = 20, kFrameId = 30;
const char* const kStateNames[kStates] = {"normal", "arrow pressed", "thumb pressed", "focused", "disabled"};

std::vector<std::string>& Heard() {
    static std::vector<std::string> heard;
    return heard;
}

// The scroll handler of a program written for the system's bar.
INT_PTR CALLBACK ScrollDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_HSCROLL && message != WM_VSCROLL) return message == WM_INITDIALOG;
    const HWND bar = reinterpret_cast<HWND>(lParam);
    char line[96];
    std::snprintf(line, sizeof line, "#%d %s code %u", GetDlgCtrlID(bar), message == WM_HSCROLL ? "WM_HSCROLL" : "WM_VSCROLL",
                  static_cast<unsigned>(LOWORD(wParam)));
    Heard().push_back(line);
    int pos = GetScrollPos(bar, SB_CTL);
    if (LOWORD(wParam) == SB_LINEDOWN) ++pos;
    if (LOWORD(wParam) == SB_THUMBTRACK) pos = HIWORD(wParam);
    SetScrollPos(bar, SB_CTL, pos, TRUE);
    return TRUE;
}

}  // namespace

bool ShowScrollBars(Context& context) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    const std::vector<WORD> dialogTemplate = EmptyDialog("Scroll bar states", 300, 170);
    kelmard::UniqueWindow dialog(WKCreateDialogIndirectParam(
        self, reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()), nullptr, ScrollDialogProc, 0));
    if (!dialog) return Say("WKCreateDialogIndirectParam failed\n"), false;
    HWND bars[2][kStates] = {};
    for (int s = kNormal; s < kStates; ++s) {
        const DWORD disabled = s == kDisabled ? WS_DISABLED : 0;
        bars[0][s] = CreateWindowExA(0, "WKScrollBar", "", WS_CHILD | WS_VISIBLE | (s == kFocused ? WS_TABSTOP : 0) | SBS_VERT | disabled,
                                     14 + s * 36, 10, 17, 150, dialog.get(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kVertBase + s)), self, nullptr);
        bars[1][s] = CreateWindowExA(0, "WKScrollBar", "", WS_CHILD | WS_VISIBLE | (s == kFocused ? WS_TABSTOP : 0) | SBS_HORZ | disabled,
                                     200, 14 + s * 28, 200, 17, dialog.get(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHorzBase + s)), self, nullptr);
        for (HWND bar : {bars[0][s], bars[1][s]}) {
            if (!bar) return Say("a \"WKScrollBar\" could not be created\n"), false;
            SCROLLINFO info{sizeof info, SIF_ALL, 0, 100, 20, 10 + 15 * s, 0};
            SetScrollInfo(bar, SB_CTL, &info, TRUE);
        }
        CreateWindowExA(0, "WKStatic", kStateNames[s], WS_CHILD | WS_VISIBLE, 410, 14 + s * 28, 90, 16, dialog.get(),
                        nullptr, self, nullptr);
    }
    // A frame window with both bars: a tree view too small for its items.
    HWND frame = CreateWindowExA(0, "WKTreeView", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
                                     TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT,
                                 200, 160, 150, 90, dialog.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFrameId)),
                                 self, nullptr);
    if (!frame) return Say("a \"WKTreeView\" could not be created\n"), false;
    for (int i = 0; i < 12; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "A long transition name, number %d", i + 1);
        TVINSERTSTRUCTA insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = text;
        SendMessageA(frame, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    }
    SetWindowPos(dialog.get(), HWND_TOPMOST, 0, 0, 520, 300, SWP_NOMOVE | SWP_SHOWWINDOW);
    SetForegroundWindow(dialog.get());
    SetFocus(nullptr);
    khost::PumpMessages(150);
    kpicture::Image picture = Photograph(dialog.get());

    // Each special state in turn, pasted into the picture.
    for (int axis = 0; axis < 2; ++axis) {
        HWND arrow = bars[axis][kArrow], thumb = bars[axis][kThumb], focused = bars[axis][kFocused];
        RECT client;
        GetClientRect(arrow, &client);
        const LPARAM second = axis == 0 ? MAKELPARAM(client.right / 2, client.bottom - 4)
                                        : MAKELPARAM(client.right - 4, client.bottom / 2);
        SendMessageA(arrow, WM_LBUTTONDOWN, MK_LBUTTON, second);
        PasteControl(picture, Photograph(dialog.get()), dialog.get(), arrow);
        SendMessageA(arrow, WM_LBUTTONUP, 0, second);
        SCROLLINFO info{sizeof info, SIF_POS};
        GetScrollInfo(thumb, SB_CTL, &info);
        const int arrowLength = GetSystemMetrics(axis == 0 ? SM_CYVTHUMB : SM_CXHTHUMB);
        const LPARAM grab = axis == 0 ? MAKELPARAM(8, arrowLength + 4 + info.nPos) : MAKELPARAM(arrowLength + 4 + info.nPos, 8);
        const LPARAM moved = axis == 0 ? MAKELPARAM(8, arrowLength + 34 + info.nPos) : MAKELPARAM(arrowLength + 34 + info.nPos, 8);
        SendMessageA(thumb, WM_LBUTTONDOWN, MK_LBUTTON, grab);
        SendMessageA(thumb, WM_MOUSEMOVE, MK_LBUTTON, moved);
        PasteControl(picture, Photograph(dialog.get()), dialog.get(), thumb);
        SendMessageA(thumb, WM_LBUTTONUP, 0, moved);
        SetFocus(focused);
        PasteControl(picture, Photograph(dialog.get()), dialog.get(), focused);
        SetFocus(nullptr);
    }
    const std::string path = context.outputFolder + "\\scroll-states.png";
    const bool written = WritePicture(picture, path);
    Say("%s %s\n", written ? "wrote" : "could not write", path.c_str());
    Say("the dialog heard %u scroll messages:\n", static_cast<unsigned>(Heard().size()));
    for (const std::string& line : Heard()) Say("  %s\n", line.c_str());
    return written && !Heard().empty();
}

}  // namespace demo
