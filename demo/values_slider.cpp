// Value controls: the slider. A skinned dialog holds sliders in each state
// (normal, the thumb dragged, focused, disabled, the small strip, vertical),
// driven with the messages a user's mouse and keys send; the dialog is
// photographed into slider-states.png and what it heard is printed.
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

enum : int { kNormal = 1, kDragged, kFocused, kDisabled, kSmall, kVertical };

// The scroll notifications the dialog received, one line each.
std::vector<std::string>& Heard() {
    static std::vector<std::string> heard;
    return heard;
}

const char* CodeName(int code) {
    static const char* const names[] = {"TB_LINEUP",        "TB_LINEDOWN",   "TB_PAGEUP",
                                        "TB_PAGEDOWN",      "TB_THUMBPOSITION", "TB_THUMBTRACK",
                                        "TB_TOP",           "TB_BOTTOM",     "TB_ENDTRACK"};
    return code >= 0 && code <= TB_ENDTRACK ? names[code] : "(unknown)";
}

INT_PTR CALLBACK SliderDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL || message == WM_VSCROLL) {
        char line[96];
        std::snprintf(line, sizeof line, "#%d %s %s, position word %u", GetDlgCtrlID(reinterpret_cast<HWND>(lParam)),
                      message == WM_HSCROLL ? "WM_HSCROLL" : "WM_VSCROLL", CodeName(LOWORD(wParam)),
                      static_cast<unsigned>(HIWORD(wParam)));
        Heard().push_back(line);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

// The centre of a slider's thumb, as a mouse message's point.
LPARAM ThumbCentre(HWND slider, int alongBy = 0) {
    RECT thumb{};
    SendMessageA(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    return MAKELPARAM((thumb.left + thumb.right) / 2 + alongBy, (thumb.top + thumb.bottom) / 2);
}

}  // namespace

bool ShowSlider(Context& context) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    const std::vector<WORD> dialogTemplate = EmptyDialog("Slider states", 240, 110);
    kelmard::UniqueWindow dialog(WKCreateDialogIndirectParam(
        self, reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()), nullptr, SliderDialogProc, 0));
    if (!dialog) {
        Say("WKCreateDialogIndirectParam failed\n");
        return false;
    }
    const struct {
        int id;
        const char* label;
        DWORD style;
        int y, width, height, position;
    } rows[] = {
        {kNormal, "normal", 0, 10, 200, 24, 30},     {kDragged, "dragged", 0, 40, 200, 24, 20},
        {kFocused, "focused", 0, 70, 200, 24, 50},   {kDisabled, "disabled", WS_DISABLED, 100, 200, 24, 70},
        {kSmall, "19 high", 0, 130, 200, 19, 40},    {kVertical, "", TBS_VERT, 10, 30, 140, 25},
    };
    HWND sliders[kVertical + 1] = {};
    for (const auto& r : rows) {
        const bool vertical = r.id == kVertical;
        const int x = vertical ? 310 : 90;
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | r.style;
        sliders[r.id] = CreateWindowExA(0, "WKSlider", "", style, x, r.y, r.width, r.height, dialog.get(),
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(r.id)), self, nullptr);
        if (!vertical)
            CreateWindowExA(0, "WKStatic", r.label, WS_CHILD | WS_VISIBLE, 10, r.y + 4, 75, 16, dialog.get(), nullptr,
                            self, nullptr);
        SendMessageA(sliders[r.id], TBM_SETPOS, TRUE, r.position);
    }
    for (int id = kNormal; id <= kVertical; ++id) {
        if (!sliders[id]) {
            Say("a \"WKSlider\" could not be created\n");
            return false;
        }
    }
    SetWindowPos(dialog.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(dialog.get());
    khost::PumpMessages(150);

    // The third slider has the focus and takes two arrow keys, the vertical
    // one is paged down once, and a user drags the second thumb 40 pixels on
    // and holds it there (the cursor put where the drag went).
    HWND focused = sliders[kFocused];
    SetFocus(focused);
    for (int i = 0; i < 2; ++i) PressKey(focused, VK_RIGHT);
    HWND vertical = sliders[kVertical];
    Click(vertical, 15, 130);
    HWND dragged = sliders[kDragged];
    const LPARAM grab = ThumbCentre(dragged), to = ThumbCentre(dragged, 40);
    POINT cursor{static_cast<short>(LOWORD(to)), static_cast<short>(HIWORD(to))};
    ClientToScreen(dragged, &cursor);
    SetCursorPos(cursor.x, cursor.y);
    khost::PumpMessages(50);
    SendMessageA(dragged, WM_LBUTTONDOWN, MK_LBUTTON, grab);
    SendMessageA(dragged, WM_MOUSEMOVE, MK_LBUTTON, to);
    SetFocus(focused);
    khost::PumpMessages(150);

    const kpicture::Image image = Photograph(dialog.get());
    const std::string path = context.outputFolder + "\\slider-states.png";
    const bool written = WritePicture(image, path);
    SendMessageA(dragged, WM_LBUTTONUP, 0, to);

    Say("Sliders in a skinned dialog, %d x %d: %s\n", image.width, image.height,
        written ? path.c_str() : "(no picture)");
    Say("The dialog heard:\n");
    for (const std::string& line : Heard()) Say("  %s\n", line.c_str());
    const LRESULT draggedTo = SendMessageA(dragged, TBM_GETPOS, 0, 0);
    const LRESULT keyedTo = SendMessageA(focused, TBM_GETPOS, 0, 0);
    const LRESULT pagedTo = SendMessageA(vertical, TBM_GETPOS, 0, 0);
    Say("Positions: dragged %d, focused %d (two arrow keys from 50), vertical %d (one page down from 25)\n",
        static_cast<int>(draggedTo), static_cast<int>(keyedTo), static_cast<int>(pagedTo));
    // Keys 4, paging 2, the drag at least 3 (a track, its position, its end).
    return written && draggedTo > 20 && keyedTo == 52 && pagedTo == 45 && Heard().size() >= 9;
}

}  // namespace demo
