// Value controls: the spin. A template written for the system's up-down
// control (values_spin.rc) run with WKDialogBoxParam: its spins driven into
// each state (normal after a click, pressed by a held Up key in the buddy,
// focused in base 16, disabled, horizontal), photographed into
// spin-states.png, with what the dialog heard from the buddies.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "demo.h"
#include "gallery.h"
#include "kelmard.h"
#include "picture.h"

namespace demo {
namespace {

constexpr int kFirstEdit = 101, kFirstSpin = 201, kRows = 5;
enum Row { kNormal, kPressed, kFocused, kDisabled, kHorizontal };
constexpr UINT_PTR kShootTimer = 1;

struct SpinShot {
    std::string path;
    std::vector<std::string> heard;  // the buddies' notifications, in order
    std::string texts[kRows];        // the buddies' texts when photographed
    bool written = false;
};

HWND Edit(HWND dialog, Row row) { return GetDlgItem(dialog, kFirstEdit + row); }
HWND Spin(HWND dialog, Row row) { return GetDlgItem(dialog, kFirstSpin + row); }

void SetUp(HWND dialog) {
    SendMessageA(Spin(dialog, kHorizontal), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Edit(dialog, kHorizontal)), 0);
    for (int row = kNormal; row <= kHorizontal; ++row) {
        SendMessageA(Spin(dialog, static_cast<Row>(row)), UDM_SETRANGE, 0, MAKELONG(999, 0));
        SendMessageA(Spin(dialog, static_cast<Row>(row)), UDM_SETPOS, 0, MAKELONG(10 * row + 42, 0));
    }
    SendMessageA(Spin(dialog, kFocused), UDM_SETBASE, 16, 0);
    SendMessageA(Spin(dialog, kFocused), UDM_SETPOS, 0, MAKELONG(255, 0));
}

// A click on the first row's down arrow, the Up key held in the second's
// buddy, the focus in the third's; then the picture.
void DriveAndShoot(HWND dialog, SpinShot& shot) {
    RECT client;
    GetClientRect(Spin(dialog, kNormal), &client);
    Click(Spin(dialog, kNormal), client.right / 2, client.bottom - 3);
    SendMessageA(Edit(dialog, kPressed), WM_KEYDOWN, VK_UP, 1);
    SetFocus(Edit(dialog, kFocused));
    shot.written = WritePicture(Photograph(dialog), shot.path);
    SendMessageA(Edit(dialog, kPressed), WM_KEYUP, VK_UP, static_cast<LPARAM>(0xC0000001u));
    for (int row = kNormal; row <= kHorizontal; ++row) {
        char text[32] = "";
        GetWindowTextA(Edit(dialog, static_cast<Row>(row)), text, sizeof text);
        shot.texts[row] = text;
    }
}

void Heard(HWND dialog, SpinShot& shot, WPARAM wParam) {
    const int id = LOWORD(wParam);
    const char* code = HIWORD(wParam) == EN_CHANGE ? "EN_CHANGE" : HIWORD(wParam) == EN_SETFOCUS ? "EN_SETFOCUS"
                                                                                                : nullptr;
    if (id < kFirstEdit || id >= kFirstEdit + kRows || !code) return;
    char text[32] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    shot.heard.push_back(std::string(code) + " from edit " + std::to_string(id) + " (\"" + text + "\")");
}

INT_PTR CALLBACK SpinProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* shot = reinterpret_cast<SpinShot*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetUp(dialog);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SetTimer(dialog, kShootTimer, 400, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam != kShootTimer || !shot) return FALSE;
        KillTimer(dialog, kShootTimer);
        DriveAndShoot(dialog, *shot);
        EndDialog(dialog, IDOK);
        return TRUE;
    case WM_COMMAND:
        if (shot) Heard(dialog, *shot, wParam);
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

bool ShowSpin(Context& context) {
    SpinShot shot{context.outputFolder + "\\spin-states.png"};
    const INT_PTR result = WKDialogBoxParam(GetModuleHandleA(nullptr), "SPINSTATES", nullptr, SpinProc,
                                            reinterpret_cast<LPARAM>(&shot));
    Say("WKDialogBoxParam(\"SPINSTATES\") = %d; the dialog heard from the buddies after setting them up:\n",
        static_cast<int>(result));
    for (const std::string& line : shot.heard) Say("  %s\n", line.c_str());
    static const char* const kNames[kRows] = {"normal", "pressed", "focused", "disabled", "horizontal"};
    for (int row = 0; row < kRows; ++row) Say("  %-10s buddy shows \"%s\"\n", kNames[row], shot.texts[row].c_str());
    Say("The spin's states: %s\n", shot.written ? shot.path.c_str() : "(no picture)");
    // Clicked down from 42, stepped up from 52 by the key, 255 shown in base 16.
    return result == IDOK && shot.written && shot.texts[kNormal] == "41" && shot.texts[kPressed] == "53" &&
           shot.texts[kFocused] == "ff";
}

}  // namespace demo
