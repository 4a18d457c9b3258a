// Step: the effect's settings. The plug-in's own dialog template, written for
// the system controls, run through WKDialogBoxParam with the skinned controls
// and, for comparison, through the system's DialogBoxParamA; then a message
// box. Each is photographed and closed from a timer or a second thread. The
// settings have four pages: timing (slider, range, spins), shape (buttons),
// presets (a list, a tree of categories, a combo of the TV formats) and light
// (a preview of the media step's picture, the light's direction).
#include <string>
#include <thread>
#include <vector>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "demo.h"  // <windows.h> first
#include "gallery.h"
#include <commctrl.h>
#include "step_dialog_ids.h"
#include "kelmard.h"
#include "owners/win32_owners.h"
#include "picture.h"

namespace demo {
namespace {

constexpr UINT_PTR kShootTimer = 1;

struct Shot {
    std::string path;
    void (*fill)(HWND dialog);  // sets the dialog's values as a plug-in would
    bool written = false;
    int width = 0, height = 0;
    std::vector<std::string> heard;  // what the dialog's procedure was told, in order
    // The settings: the installation (its TV format table), the picture the
    // preview borrows, and the pictures of the pages after the first.
    std::string installFolder;
    kelmard::UniqueBitmap preview;
    std::vector<std::string> pagePaths;
    int pagesWritten = 0;
};

Shot* ShotOf(HWND dialog) { return reinterpret_cast<Shot*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// The settings' two pages: the controls each shows.
const int kTimingPage[] = {IDC_LABEL_SPEED, IDC_SPEED,  IDC_SPEED_EDIT, IDC_LABEL_PART,  IDC_PART,
                           IDC_LABEL_FRAMES, IDC_FRAMES, IDC_FRAMES_SPIN, IDC_LABEL_SEED, IDC_SEED,
                           IDC_SEED_SPIN,   IDC_LABEL_TITLE, IDC_NAME};
const int kShapePage[] = {IDC_GROUP_DIR, IDC_LEFT, IDC_RIGHT, IDC_UP, IDC_GROUP_LOOK, IDC_SMOOTH, IDC_SHADOW};
const int kPresetsPage[] = {IDC_LABEL_PRESETS, IDC_PRESETS, IDC_LABEL_CATEGORIES, IDC_CATEGORIES,
                            IDC_LABEL_FORMAT,  IDC_FORMAT};
const int kLightPage[] = {IDC_PREVIEW,       IDC_LIGHT,   IDC_LABEL_LIGHT_X, IDC_LIGHT_X, IDC_LABEL_LIGHT_Y,
                          IDC_LIGHT_Y,       IDC_LABEL_LIGHT_Z, IDC_LIGHT_Z, IDC_LABEL_LIGHT};

void ShowPage(HWND dialog, int page) {
    auto show = [&](const auto& ids, int which) {
        for (int id : ids) ShowWindow(GetDlgItem(dialog, id), page == which ? SW_SHOW : SW_HIDE);
    };
    show(kTimingPage, 0);
    show(kShapePage, 1);
    show(kPresetsPage, 2);
    show(kLightPage, 3);
}

// The frame formats of the installation's TV format table, each confirmed by
// the library's own check: "PAL 4:3 (720x576)".
std::vector<std::string> FrameFormats(const std::string& installFolder) {
    const std::string table = installFolder + "\\Presets\\TvFormats.cfg";
    std::vector<char> names(4096);
    const DWORD length = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), table.c_str());
    std::vector<std::string> formats;
    for (const char* name = names.data(); name < names.data() + length && *name; name += std::strlen(name) + 1) {
        char frame[64] = "";
        GetPrivateProfileStringA(name, "Frame", "", frame, sizeof frame, table.c_str());
        unsigned width = 0, height = 0;
        if (std::sscanf(frame, "%ux%u", &width, &height) != 2) continue;
        float aspect = 0;
        short underscan[4] = {};
        if (!QVRCheckVideoFormat(QVR_FRAME_SIZE(width, height), &aspect, underscan)) continue;
        formats.push_back(std::string(name) + " (" + frame + ")");
    }
    return formats;
}

void FillPresets(HWND dialog, const Shot& shot) {
    for (const char* preset : {"Default", "Gentle turn", "Fast flip", "Heavy paper", "Two pages", "Corner curl",
                               "Newspaper", "Slow reveal"})
        SendDlgItemMessageA(dialog, IDC_PRESETS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset));
    SendDlgItemMessageA(dialog, IDC_PRESETS, LB_SETCURSEL, 1, 0);
    for (const std::string& format : FrameFormats(shot.installFolder))
        SendDlgItemMessageA(dialog, IDC_FORMAT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(format.c_str()));
    SendDlgItemMessageA(dialog, IDC_FORMAT, CB_SETCURSEL, 0, 0);
    HWND tree = GetDlgItem(dialog, IDC_CATEGORIES);
    HTREEITEM pages = AddTreeItem(tree, TVI_ROOT, "Page turns");
    AddTreeItem(tree, pages, "Page Turn");
    AddTreeItem(tree, pages, "Page Curl");
    HTREEITEM wipes = AddTreeItem(tree, TVI_ROOT, "Wipes");
    AddTreeItem(tree, wipes, "Clock");
    AddTreeItem(tree, wipes, "Venetian blinds");
    AddTreeItem(tree, TVI_ROOT, "Cubes and spheres");
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(pages));
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(pages));
}

// The light's direction in whole degrees in the three edit boxes.
void ShowLight(HWND dialog) {
    float angles[3] = {};
    SendDlgItemMessageA(dialog, IDC_LIGHT, ANM_GETANGLES, 0, reinterpret_cast<LPARAM>(angles));
    const int ids[] = {IDC_LIGHT_X, IDC_LIGHT_Y, IDC_LIGHT_Z};
    for (int i = 0; i < 3; ++i)
        SetDlgItemInt(dialog, ids[i], static_cast<UINT>(static_cast<int>(std::lround(angles[i] * 180.0 / 3.14159265358979))),
                      TRUE);
}

void FillLight(HWND dialog, const Shot& shot) {
    SendDlgItemMessageA(dialog, IDC_PREVIEW, BVM_SETBITMAP, FALSE, reinterpret_cast<LPARAM>(shot.preview.get()));
    SendDlgItemMessageA(dialog, IDC_LIGHT, ANM_SETSTEP, 0, 5);
    const float light[3] = {0.5235988f, -0.7853982f, 0.0f};  // 30, -45, 0 degrees
    SendDlgItemMessageA(dialog, IDC_LIGHT, ANM_SETANGLES, 0, reinterpret_cast<LPARAM>(light));
    ShowLight(dialog);
}

void FillSettings(HWND dialog) {
    HWND tabs = GetDlgItem(dialog, IDC_TABS);
    char timing[] = "Timing", shape[] = "Shape";
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = timing;
    SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.pszText = shape;
    SendMessageA(tabs, TCM_INSERTITEMA, 1, reinterpret_cast<LPARAM>(&item));
    ShowPage(dialog, 0);
    SendDlgItemMessageA(dialog, IDC_SPEED, TBM_SETRANGE, TRUE, MAKELONG(0, 100));
    SendDlgItemMessageA(dialog, IDC_SPEED, TBM_SETPOS, TRUE, 50);
    SetDlgItemTextA(dialog, IDC_SPEED_EDIT, "50");
    // The active part of a clip of 250 frames: frames 40 to 190.
    SendDlgItemMessageA(dialog, IDC_PART, RGM_SETRANGEMAX, FALSE, 250);
    SendDlgItemMessageA(dialog, IDC_PART, RGM_SETSTART, FALSE, 40);
    SendDlgItemMessageA(dialog, IDC_PART, RGM_SETLENGTH, TRUE, 150);
    SendDlgItemMessageA(dialog, IDC_FRAMES_SPIN, UDM_SETRANGE, 0, MAKELONG(250, 1));
    SendDlgItemMessageA(dialog, IDC_FRAMES_SPIN, UDM_SETPOS, 0, MAKELONG(25, 0));
    SendDlgItemMessageA(dialog, IDC_SEED_SPIN, UDM_SETBASE, 16, 0);
    SendDlgItemMessageA(dialog, IDC_SEED_SPIN, UDM_SETRANGE, 0, MAKELONG(255, 0));
    SendDlgItemMessageA(dialog, IDC_SEED_SPIN, UDM_SETPOS, 0, MAKELONG(0xFE, 0));
    CheckRadioButton(dialog, IDC_LEFT, IDC_UP, IDC_RIGHT);
    CheckDlgButton(dialog, IDC_SMOOTH, BST_CHECKED);
    SetDlgItemTextA(dialog, IDC_NAME, "Chapter One");
    char presets[] = "Presets", light[] = "Light";
    item.pszText = presets;
    SendMessageA(tabs, TCM_INSERTITEMA, 2, reinterpret_cast<LPARAM>(&item));
    item.pszText = light;
    SendMessageA(tabs, TCM_INSERTITEMA, 3, reinterpret_cast<LPARAM>(&item));
}

// A key pressed and released on a control, as the user does.
void Key(HWND dialog, int id, WPARAM key) {
    HWND control = GetDlgItem(dialog, id);
    SetFocus(control);
    PressKey(control, key);
}

// Drives each value control once; the procedure records what it hears.
void DriveSettings(HWND dialog) {
    Key(dialog, IDC_SPEED, VK_RIGHT);    // the slider: one line up
    Key(dialog, IDC_PART, VK_RIGHT);     // the range: the whole part one frame on
    Key(dialog, IDC_FRAMES, VK_UP);      // the decimal spin, through its buddy
    Key(dialog, IDC_SEED, VK_UP);        // the hexadecimal spin, through its buddy
}

// Drives the presets page's controls once.
void DrivePresets(HWND dialog) {
    Key(dialog, IDC_PRESETS, VK_DOWN);     // the list: the next preset
    Key(dialog, IDC_CATEGORIES, VK_DOWN);  // the tree: the first effect of the category
    Key(dialog, IDC_FORMAT, VK_DOWN);      // the closed combo: the next format
}

// Drives the light page's controls once: the preview zoomed in and a pixel
// picked at its middle; the light turned by one step.
void DriveLight(HWND dialog) {
    HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
    SendMessageA(preview, BVM_ZOOM, TRUE, 0);
    SendMessageA(preview, BVM_SETMODE, BVMODE_PICK, 0);
    RECT client{};
    GetClientRect(preview, &client);
    Click(preview, client.right / 2, client.bottom / 2);
    Key(dialog, IDC_LIGHT, VK_RIGHT);
}

// What the settings' procedure hears from its controls, as one line each.
void Hear(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Shot* shot = ShotOf(dialog);
    if (!shot) return;
    char line[160] = "";
    if (message == WM_HSCROLL) {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        static const char* const kTrackbarCodes[] = {"TB_LINEUP",   "TB_LINEDOWN", "TB_PAGEUP",
                                                     "TB_PAGEDOWN", "TB_THUMBPOSITION", "TB_THUMBTRACK",
                                                     "TB_TOP",      "TB_BOTTOM",   "TB_ENDTRACK"};
        static const char* const kRangeCodes[] = {"RGN_ENDTRACK", "RGN_CHANGED", "RGN_TRACKING"};
        const unsigned code = LOWORD(wParam);
        const char* name = id == IDC_SPEED ? (code < 9 ? kTrackbarCodes[code] : "?") : (code < 3 ? kRangeCodes[code] : "?");
        std::snprintf(line, sizeof line, "WM_HSCROLL from the %s: %s, position %u",
                      id == IDC_SPEED ? "slider" : "range", name, HIWORD(wParam));
        if (id == IDC_SPEED) {
            const auto pos = SendDlgItemMessageA(dialog, IDC_SPEED, TBM_GETPOS, 0, 0);
            SetDlgItemInt(dialog, IDC_SPEED_EDIT, static_cast<UINT>(pos), FALSE);  // the slider's buddy edit
        }
    } else if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE &&
               (LOWORD(wParam) == IDC_FRAMES || LOWORD(wParam) == IDC_SEED)) {
        char text[32] = "";
        GetDlgItemTextA(dialog, LOWORD(wParam), text, sizeof text);
        std::snprintf(line, sizeof line, "EN_CHANGE from the %s buddy: \"%s\"",
                      LOWORD(wParam) == IDC_FRAMES ? "decimal" : "hexadecimal", text);
    } else if (message == WM_COMMAND && LOWORD(wParam) == IDC_PRESETS && HIWORD(wParam) == LBN_SELCHANGE) {
        char text[64] = "";
        const auto index = SendDlgItemMessageA(dialog, IDC_PRESETS, LB_GETCURSEL, 0, 0);
        SendDlgItemMessageA(dialog, IDC_PRESETS, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
        std::snprintf(line, sizeof line, "LBN_SELCHANGE from the presets: \"%s\"", text);
    } else if (message == WM_COMMAND && LOWORD(wParam) == IDC_FORMAT && HIWORD(wParam) == CBN_SELCHANGE) {
        char text[64] = "";
        GetDlgItemTextA(dialog, IDC_FORMAT, text, sizeof text);
        std::snprintf(line, sizeof line, "CBN_SELCHANGE from the frame formats: \"%s\"", text);
    } else if (message == WM_COMMAND && LOWORD(wParam) == IDC_PREVIEW) {
        std::snprintf(line, sizeof line, "WM_COMMAND from the preview: %s at picture pixel (%d, %d)",
                      HIWORD(wParam) == BVN_PICKED ? "BVN_PICKED" : "BVN_PICKING", static_cast<int>(LOWORD(lParam)),
                      static_cast<int>(HIWORD(lParam)));
    } else if (message == WM_COMMAND && LOWORD(wParam) == IDC_LIGHT) {
        if (HIWORD(wParam) != ANN_CHANGED) return;
        ShowLight(dialog);
        char x[16] = "", y[16] = "", z[16] = "";
        GetDlgItemTextA(dialog, IDC_LIGHT_X, x, sizeof x);
        GetDlgItemTextA(dialog, IDC_LIGHT_Y, y, sizeof y);
        GetDlgItemTextA(dialog, IDC_LIGHT_Z, z, sizeof z);
        std::snprintf(line, sizeof line, "ANN_CHANGED from the light: X %s, Y %s, Z %s degrees", x, y, z);
    } else if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->idFrom == IDC_CATEGORIES) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code != TVN_SELCHANGEDA && header->code != TVN_SELCHANGEDW) return;
        char text[64] = "";
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(header->hwndFrom, TVM_GETNEXTITEM, TVGN_CARET, 0));
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(header->hwndFrom, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        std::snprintf(line, sizeof line, "TVN_SELCHANGED from the categories: \"%s\"", text);
    } else if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_TABS) return;
        if (header->code == TCN_SELCHANGING) std::snprintf(line, sizeof line, "TCN_SELCHANGING from the tab");
        if (header->code == TCN_SELCHANGE) {
            const auto page = SendDlgItemMessageA(dialog, IDC_TABS, TCM_GETCURSEL, 0, 0);
            std::snprintf(line, sizeof line, "TCN_SELCHANGE from the tab: page %d", static_cast<int>(page));
            ShowPage(dialog, static_cast<int>(page));
        }
    }
    if (*line) shot->heard.push_back(line);
}

bool PhotographInto(HWND dialog, const std::string& path, int* width = nullptr, int* height = nullptr) {
    const kpicture::Image image = Photograph(dialog);
    if (width) *width = image.width;
    if (height) *height = image.height;
    return WritePicture(image, path);
}

// The settings: filled, driven, both pages photographed, closed.
INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        FillSettings(dialog);
        FillPresets(dialog, *reinterpret_cast<Shot*>(lParam));
        FillLight(dialog, *reinterpret_cast<Shot*>(lParam));
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);  // from here on the procedure records what it hears
        SetTimer(dialog, kShootTimer, 400, nullptr);
        return TRUE;
    case WM_TIMER: {
        if (wParam != kShootTimer) return FALSE;
        KillTimer(dialog, kShootTimer);
        Shot* shot = ShotOf(dialog);
        DriveSettings(dialog);
        shot->written = PhotographInto(dialog, shot->path, &shot->width, &shot->height);
        void (*const drive[])(HWND) = {nullptr, DrivePresets, DriveLight};  // the pages after the first
        for (size_t page = 0; page < shot->pagePaths.size() && page < 3; ++page) {
            Key(dialog, IDC_TABS, VK_RIGHT);  // the tab: the next page
            if (drive[page]) drive[page](dialog);
            shot->pagesWritten += PhotographInto(dialog, shot->pagePaths[page]) ? 1 : 0;
        }
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    case WM_HSCROLL:
    case WM_NOTIFY:
        Hear(dialog, message, wParam, lParam);
        return FALSE;
    case WM_COMMAND:
        Hear(dialog, message, wParam, lParam);
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
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
        shot->written = PhotographInto(dialog, shot->path, &shot->width, &shot->height);
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
    INITCOMMONCONTROLSEX common{sizeof common,
                                ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&common);  // the system's twins, for the comparison
    const std::string backdrop = context.outputFolder + "\\backdrop.bmp";  // written by the media step
    const char* const kPages[] = {"shape", "presets", "light"};
    auto settingsShot = [&](const char* kind) {
        Shot shot{context.outputFolder + "\\dialog-" + kind + ".png", nullptr};
        for (const char* page : kPages) shot.pagePaths.push_back(context.outputFolder + "\\dialog-" + kind + "-" + page + ".png");
        shot.installFolder = context.installFolder;
        shot.preview.reset(QVRLoadImage(backdrop.c_str()));
        return shot;
    };
    Shot skinned = settingsShot("skinned");
    const INT_PTR a = WKDialogBoxParam(self, "EFFECTSETTINGS", nullptr, SettingsProc, reinterpret_cast<LPARAM>(&skinned));
    Say("WKDialogBoxParam(\"EFFECTSETTINGS\") = %d; the skinned dialog, %d x %d: %s and %d more pages\n",
        static_cast<int>(a), skinned.width, skinned.height, skinned.written ? skinned.path.c_str() : "(no picture)",
        skinned.pagesWritten);
    Say("  the preview shows %s\n", skinned.preview ? backdrop.c_str() : "nothing (no picture from the media step)");
    Say("  driven once (slider, range, decimal spin, hexadecimal spin, tab, list, tree, combo, preview, light),\n"
        "  the dialog heard:\n");
    for (const std::string& line : skinned.heard) Say("    %s\n", line.c_str());

    Shot system = settingsShot("system");
    const INT_PTR b = DialogBoxParamA(self, "EFFECTSETTINGS", nullptr, SettingsProc, reinterpret_cast<LPARAM>(&system));
    Say("DialogBoxParamA(\"EFFECTSETTINGS\") = %d; the same template with the system controls, %d x %d: %s\n",
        static_cast<int>(b), system.width, system.height, system.written ? system.path.c_str() : "(no picture)");
    Say("  driven the same way, the dialog heard:\n");
    for (const std::string& line : system.heard) Say("    %s\n", line.c_str());

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
        box.written = WritePicture(image, box.path);
        if (HWND no = GetDlgItem(found, IDNO)) {
            PostClick(no, 5, 5);
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
           skinned.pagesWritten == 3 && skinned.preview && kinds.written && box.written;
}

}  // namespace demo
