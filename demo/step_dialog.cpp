// Step: the effect's settings. The plug-in's own dialog template, written for
// the system controls, run through WKDialogBoxParam with the skinned controls
// and, for comparison, through the system's DialogBoxParamA; then a message
// box. Each is photographed and closed from a timer or a second thread.
#include <string>
#include <thread>

#include "demo.h"
#include "step_dialog_ids.h"
#include "kelmard.h"
#include "picture.h"

namespace demo {
namespace {

constexpr UINT_PTR kShootTimer = 1;

struct Shot {
    std::string path;
    void (*fill)(HWND dialog);  // sets the dialog's values as a plug-in would
    bool written = false;
    int width = 0, height = 0;
};

void FillSettings(HWND dialog) {
    CheckRadioButton(dialog, IDC_LEFT, IDC_UP, IDC_RIGHT);
    CheckDlgButton(dialog, IDC_SMOOTH, BST_CHECKED);
    SetDlgItemTextA(dialog, IDC_FRAMES, "25");
    SetDlgItemTextA(dialog, IDC_NAME, "Chapter One");
}

void FillKinds(HWND dialog) {
    CheckDlgButton(dialog, IDC_KIND_CHECK, BST_CHECKED);
    CheckDlgButton(dialog, IDC_KIND_3STATE, BST_INDETERMINATE);
    CheckRadioButton(dialog, IDC_KIND_RADIO1, IDC_KIND_RADIO2, IDC_KIND_RADIO2);
    CheckDlgButton(dialog, IDC_KIND_PUSHLIKE, BST_CHECKED);
    HWND edit = GetNextDlgTabItem(dialog, GetDlgItem(dialog, IDC_KIND_PUSH), FALSE);
    SetWindowTextA(edit, "An edit field");
    SetWindowTextA(GetNextDlgTabItem(dialog, edit, FALSE), "Read-only");
}

// Fills the dialog, then photographs and closes it.
INT_PTR CALLBACK ShotProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        reinterpret_cast<Shot*>(lParam)->fill(dialog);
        SetTimer(dialog, kShootTimer, 400, nullptr);
        return TRUE;
    case WM_TIMER: {
        if (wParam != kShootTimer) return FALSE;
        KillTimer(dialog, kShootTimer);
        auto* shot = reinterpret_cast<Shot*>(GetWindowLongPtrA(dialog, DWLP_USER));
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const kpicture::Image image = kpicture::CaptureWindow(dialog);
        shot->width = image.width;
        shot->height = image.height;
        shot->written = !image.empty() && kpicture::WritePng(image, shot->path);
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "WKDialog" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

bool StepDialog(Context& context) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    Shot skinned{context.outputFolder + "\\dialog-skinned.png", FillSettings};
    const INT_PTR a = WKDialogBoxParam(self, "EFFECTSETTINGS", nullptr, ShotProc, reinterpret_cast<LPARAM>(&skinned));
    Say("WKDialogBoxParam(\"EFFECTSETTINGS\") = %d; the skinned dialog, %d x %d: %s\n", static_cast<int>(a),
        skinned.width, skinned.height, skinned.written ? skinned.path.c_str() : "(no picture)");

    Shot system{context.outputFolder + "\\dialog-system.png", FillSettings};
    const INT_PTR b = DialogBoxParamA(self, "EFFECTSETTINGS", nullptr, ShotProc, reinterpret_cast<LPARAM>(&system));
    Say("DialogBoxParamA(\"EFFECTSETTINGS\") = %d; the same template with the system controls, %d x %d: %s\n",
        static_cast<int>(b), system.width, system.height, system.written ? system.path.c_str() : "(no picture)");

    Shot kinds{context.outputFolder + "\\controls.png", FillKinds};
    const INT_PTR c = WKDialogBoxParam(self, "CONTROLKINDS", nullptr, ShotProc, reinterpret_cast<LPARAM>(&kinds));
    Say("WKDialogBoxParam(\"CONTROLKINDS\") = %d; every button, static and edit kind, %d x %d: %s\n",
        static_cast<int>(c), kinds.width, kinds.height, kinds.written ? kinds.path.c_str() : "(no picture)");

    // The message box: photographed and answered "No" from a second thread.
    Shot box{context.outputFolder + "\\message-box.png"};
    const DWORD thread = GetCurrentThreadId();
    std::thread user([&] {
        HWND found = nullptr;
        for (int i = 0; i < 200 && !found; ++i) {
            Sleep(25);
            EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&found));
        }
        if (!found) return;
        Sleep(400);
        const kpicture::Image image = kpicture::CaptureWindow(found);
        box.width = image.width;
        box.height = image.height;
        box.written = !image.empty() && kpicture::WritePng(image, box.path);
        if (HWND no = GetDlgItem(found, IDNO)) {
            PostMessageA(no, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageA(no, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        } else {
            PostMessageA(found, WM_COMMAND, IDCANCEL, 0);
        }
    });
    const int answer = WKMessageBox(nullptr,
                                    "The transition has unsaved settings.\n\nSave them before the preview is rendered?",
                                    "Page Turn", MB_YESNOCANCEL | MB_ICONQUESTION);
    user.join();
    Say("WKMessageBox(MB_YESNOCANCEL | MB_ICONQUESTION) = %d (%s), %d x %d: %s\n", answer,
        answer == IDNO ? "No" : "not No", box.width, box.height, box.written ? box.path.c_str() : "(no picture)");
    return a == IDOK && b == IDOK && c == IDOK && answer == IDNO && skinned.written && system.written &&
           kinds.written && box.written;
}

}  // namespace demo
