// Value controls: the range ("WKRange"). A skinned dialog with a range in
// each state (normal, focused, each part dragged, disabled, the small strip
// with start equal to end) photographed into range-states.png; then a drag
// and keys on the first range, with what the dialog heard.
#include <string>
#include <vector>

#include "demo.h"
#include "gallery.h"
#include "host.h"
#include "kelmard.h"
#include "picture.h"

namespace demo {
namespace {

// The rows: a label and a range 220 pixels wide (1.9 pixels per unit of
// 0..100 on the large strip: the start thumb spans 3 + 1.9 start to 12 more,
// the end thumb 15 + 1.9 end to 12 more).
struct Row {
    const char* label;
    int start, length, height;
    int pressX;  // where the row's part is held for its picture (0: not held)
};
constexpr int kLabelWidth = 130, kRangeWidth = 220, kRowStep = 34, kMargin = 10;
constexpr int kThumbY = 12;
const Row kRows[] = {
    {"normal", 20, 50, 24, 0},
    {"focused", 20, 50, 24, 0},
    {"start thumb dragged", 20, 50, 24, 47},
    {"end thumb dragged", 20, 50, 24, 154},
    {"bar dragged", 20, 50, 24, 100},
    {"disabled", 20, 50, 24, 0},
    {"small, start = end", 40, 0, 20, 0},
};
constexpr int kRowCount = sizeof kRows / sizeof kRows[0];
constexpr int kFirstId = 100;

std::string heard;  // the notifications since the last report

INT_PTR CALLBACK RangeDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_HSCROLL || !lParam) return FALSE;
    static const char* const names[] = {"RGN_ENDTRACK", "RGN_CHANGED", "RGN_TRACKING"};
    const WORD code = LOWORD(wParam);
    heard += heard.empty() ? "" : ", ";
    heard += code < 3 ? names[code] : "?";
    if (code != RGN_ENDTRACK) heard += " " + std::to_string(static_cast<short>(HIWORD(wParam)));
    return TRUE;
}

LPARAM At(int x) { return MAKELPARAM(static_cast<WORD>(x), kThumbY); }

// What the dialog heard since the last report.
void Report(const char* what) {
    Say("  %s: %s\n", what, heard.empty() ? "(nothing)" : heard.c_str());
    heard.clear();
}

}  // namespace

bool ShowRange(Context& context) {
    const std::vector<WORD> t = EmptyDialog("The range", 222, 156, WS_VISIBLE);
    HWND dialog = WKCreateDialogIndirectParam(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()),
                                              nullptr, RangeDialogProc, 0);
    if (!dialog) {
        Say("WKCreateDialogIndirectParam failed\n");
        return false;
    }
    RECT client;
    GetClientRect(dialog, &client);
    SetWindowPos(dialog, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    HWND ranges[kRowCount] = {};
    for (int i = 0; i < kRowCount; ++i) {
        const Row& r = kRows[i];
        const int y = kMargin + i * kRowStep;
        CreateWindowExA(0, "WKStatic", r.label, WS_CHILD | WS_VISIBLE | SS_LEFT, kMargin, y + 4, kLabelWidth, 18,
                        dialog, nullptr, GetModuleHandleA(nullptr), nullptr);
        ranges[i] = CreateWindowExA(0, "WKRange", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, kMargin + kLabelWidth, y,
                                    kRangeWidth, r.height, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)),
                                    GetModuleHandleA(nullptr), nullptr);
        if (!ranges[i]) {
            Say("WKRange could not be created\n");
            DestroyWindow(dialog);
            return false;
        }
        SendMessageA(ranges[i], RGM_SETSTART, 0, r.start);
        SendMessageA(ranges[i], RGM_SETLENGTH, 1, r.length);
    }
    EnableWindow(ranges[5], FALSE);
    SetForegroundWindow(dialog);
    SetFocus(ranges[1]);
    khost::PumpMessages(300);

    // The normal, focused and disabled rows at once; each dragged part alone,
    // held while its row is photographed, pasted into the first picture.
    kpicture::Image states = kpicture::CaptureWindow(dialog);
    for (int i = 0; i < kRowCount; ++i) {
        if (!kRows[i].pressX) continue;
        SendMessageA(ranges[i], WM_LBUTTONDOWN, MK_LBUTTON, At(kRows[i].pressX));
        khost::PumpMessages(150);
        PasteControl(states, kpicture::CaptureWindow(dialog), dialog, ranges[i]);
        SendMessageA(ranges[i], WM_LBUTTONUP, 0, At(kRows[i].pressX));
    }
    heard.clear();
    const std::string path = context.outputFolder + "\\range-states.png";
    const bool written = WritePicture(states, path);
    Say("The range in each state, %d x %d: %s\n", states.width, states.height, written ? path.c_str() : "(no picture)");

    // A drag of the first range's start thumb from 20 to 35 (held 6 pixels
    // left of its right edge), then keys: Right moves the selection, End with
    // Shift the end alone.
    HWND first = ranges[0];
    SendMessageA(first, WM_LBUTTONDOWN, MK_LBUTTON, At(47));
    SendMessageA(first, WM_MOUSEMOVE, MK_LBUTTON, At(62));
    SendMessageA(first, WM_MOUSEMOVE, MK_LBUTTON, At(76));
    SendMessageA(first, WM_LBUTTONUP, 0, At(76));
    Report("drag the start thumb from 20 to 35 in two moves");
    PressKey(first, VK_RIGHT);
    Report("Right");
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE shift = keys[VK_SHIFT];
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    PressKey(first, VK_END);
    keys[VK_SHIFT] = shift;
    SetKeyboardState(keys);
    Report("Shift+End");
    const LRESULT start = SendMessageA(first, RGM_GETSTART, 0, 0), length = SendMessageA(first, RGM_GETLENGTH, 0, 0);
    Say("  now start %d, length %d (end %d)\n", static_cast<int>(start), static_cast<int>(length),
        static_cast<int>(start + length));
    DestroyWindow(dialog);
    return written && start == 36 && length == 64;
}

}  // namespace demo
