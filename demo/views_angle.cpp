// Views: the 3D angle control ("WKAngle3D"). A skinned dialog with the control
// normal, focused, held in a drag that turned it, disabled and in ball-only
// mode, photographed into angle-states.png; then a drag and keys on the first
// one, with the notifications and angles the dialog received.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "demo.h"
#include "gallery.h"
#include "host.h"
#include "kelmard.h"
#include "picture.h"

namespace demo {
namespace {

constexpr int kSize = 150, kGap = 12, kMargin = 10, kLabelHeight = 18;
constexpr int kFirstId = 200;
const char* const kLabels[] = {"normal", "focused", "dragged", "disabled", "ball only"};
constexpr int kCount = sizeof kLabels / sizeof kLabels[0];
constexpr int kDragged = 2, kDisabled = 3, kBallOnly = 4;
// The 150 x 150 control's ball centre (the ring's inner radius is 42).
constexpr int kCentre = 59;

std::string heard;  // what the dialog received since the last report

void Angles(HWND control, float out[3]) {
    out[0] = out[1] = out[2] = 0;
    SendMessageA(control, ANM_GETANGLES, 0, reinterpret_cast<LPARAM>(out));
}

std::string Degrees(HWND control) {
    float a[3];
    Angles(control, a);
    char text[64];
    std::snprintf(text, sizeof text, "(%.0f, %.0f, %.0f)", a[0] * 180 / 3.14159265, a[1] * 180 / 3.14159265,
                  a[2] * 180 / 3.14159265);
    return text;
}

INT_PTR CALLBACK AngleDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND || !lParam || LOWORD(wParam) < kFirstId) return FALSE;
    heard += heard.empty() ? "" : ", ";
    heard += HIWORD(wParam) == ANN_TRACKING ? "ANN_TRACKING " : HIWORD(wParam) == ANN_CHANGED ? "ANN_CHANGED " : "? ";
    heard += Degrees(reinterpret_cast<HWND>(lParam));
    return TRUE;
}

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

void Report(const char* what) {
    Say("  %s: %s\n", what, heard.empty() ? "(nothing)" : heard.c_str());
    heard.clear();
}

}  // namespace

bool ShowAngle3D(Context& context) {
    const std::vector<WORD> t = EmptyDialog("The 3D angle", 100, 60, WS_VISIBLE);
    HWND dialog = WKCreateDialogIndirectParam(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()),
                                              nullptr, AngleDialogProc, 0);
    if (!dialog) {
        Say("WKCreateDialogIndirectParam failed\n");
        return false;
    }
    // The client made to hold the row of controls and their labels.
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const int width = 2 * kMargin + kCount * kSize + (kCount - 1) * kGap, height = 2 * kMargin + kLabelHeight + kSize;
    SetWindowPos(dialog, HWND_TOPMOST, 40, 40, width + (window.right - window.left) - client.right,
                 height + (window.bottom - window.top) - client.bottom, SWP_SHOWWINDOW);
    HWND angles[kCount] = {};
    const float tilted[3] = {0.35f, -0.52f, 0.17f};  // about 20, -30 and 10 degrees
    for (int i = 0; i < kCount; ++i) {
        const int x = kMargin + i * (kSize + kGap);
        CreateWindowExA(0, "WKStatic", kLabels[i], WS_CHILD | WS_VISIBLE | SS_CENTER, x, kMargin, kSize, kLabelHeight,
                        dialog, nullptr, GetModuleHandleA(nullptr), nullptr);
        angles[i] = CreateWindowExA(0, "WKAngle3D", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, kMargin + kLabelHeight,
                                    kSize, kSize, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)),
                                    GetModuleHandleA(nullptr), nullptr);
        if (!angles[i]) {
            Say("WKAngle3D could not be created\n");
            DestroyWindow(dialog);
            return false;
        }
        SendMessageA(angles[i], ANM_SETANGLES, 0, reinterpret_cast<LPARAM>(tilted));
    }
    SendMessageA(angles[kBallOnly], ANM_SETMODE, 0, ANM_BALLONLY);
    EnableWindow(angles[kDisabled], FALSE);
    SetForegroundWindow(dialog);
    SetFocus(angles[1]);
    khost::PumpMessages(300);

    // Everything at once, then the dragged one held after a turn, pasted in.
    kpicture::Image states = kpicture::CaptureWindow(dialog);
    HWND dragged = angles[kDragged];
    SendMessageA(dragged, WM_LBUTTONDOWN, MK_LBUTTON, At(kCentre, kCentre));
    SendMessageA(dragged, WM_MOUSEMOVE, MK_LBUTTON, At(kCentre + 22, kCentre + 12));
    khost::PumpMessages(150);
    PasteControl(states, kpicture::CaptureWindow(dialog), dialog, dragged);
    SendMessageA(dragged, WM_LBUTTONUP, 0, At(kCentre + 22, kCentre + 12));
    SetFocus(angles[1]);
    Report("the third control dragged 22 right and 12 down from its centre (held for the picture)");
    const std::string path = context.outputFolder + "\\angle-states.png";
    const bool written = WritePicture(states, path);
    Say("The 3D angle in each state, %d x %d: %s\n", states.width, states.height,
        written ? path.c_str() : "(no picture)");

    // The first control: Home, a drag on the right strip, keys.
    HWND first = angles[0];
    PressKey(first, VK_HOME);
    Report("Home");
    SendMessageA(first, WM_LBUTTONDOWN, MK_LBUTTON, At(135, kCentre));
    SendMessageA(first, WM_MOUSEMOVE, MK_LBUTTON, At(135, kCentre - 15));
    SendMessageA(first, WM_LBUTTONUP, 0, At(135, kCentre - 15));
    Report("a drag 15 pixels up the right strip");
    SendMessageA(first, ANM_SETSTEP, 0, 15);
    PressKey(first, VK_RIGHT);
    Report("Right with a step of 15");
    PressKey(first, VK_PRIOR);
    Report("Page Up");
    SendMessageA(first, ANM_SETMAXTILT, 0, 30);
    PressKey(first, VK_END);
    Report("End with the tilt limited to 30 degrees");
    float end[3];
    Angles(first, end);
    const double tilt = std::acos(std::cos(end[0]) * std::cos(end[1])) * 180 / 3.14159265;
    Say("  the front axis now %.1f degrees from the viewing axis\n", tilt);
    DestroyWindow(dialog);
    return written && std::fabs(tilt - 30) < 0.1;
}

}  // namespace demo
