// Control redraw benchmark: the whole redraw of each skinned control (invalidate,
// erase, paint, flush) against its system twin of the same size and state in
// the same run. Each row is one control; a control that has no twin of its own
// is measured against the nearest system control (named in its row). Then the
// dialog frame's redraw, and the demo's settings dialog from its creation to
// the end of its first paint, each against the system's dialog manager.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench.h"
#include "kelmard.h"
#include "owners/win32_owners.h"

namespace {

using kelmard::UniqueWindow;

// One control and its system twin: the same style, size and set-up messages.
struct Row {
    const char* what;
    const char* libraryClass;
    const char* systemClass;
    DWORD style;
    int width, height;
    const char* text;
    void (*setUp)(HWND control);  // may be null
};

void CheckIt(HWND control) { SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0); }
void HalfWay(HWND control) { SendMessageA(control, TBM_SETPOS, TRUE, 50); }

void ThreeTabs(HWND control) {
    const char* names[] = {"General", "Timing", "Colour"};
    for (int i = 0; i < 3; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(names[i]);
        SendMessageA(control, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(control, TCM_SETCURSEL, 1, 0);
}

// The list controls' set-ups: a bar at 30 of 0..100 with a page of 20; a
// tree of 30 items (more than fit, so its vertical bar shows).
void BarAt30(HWND control) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 100, 20, 30, 0};
    SetScrollInfo(control, SB_CTL, &info, TRUE);
}
void ThirtyItems(HWND control) {
    for (int i = 0; i < 30; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "Effect %d", i + 1);
        TVINSERTSTRUCTA insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = text;
        SendMessageA(control, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    }
}
void TwentyItems(HWND control) {
    char text[16];
    for (int i = 0; i < 20; ++i) {
        std::snprintf(text, sizeof text, "Item %02d", i);
        SendMessageA(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageA(control, LB_SETCURSEL, 2, 0);
}

void ThreeItems(HWND control) {
    for (const char* item : {"Fade", "Wipe", "Door"}) SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(control, CB_SETCURSEL, 1, 0);
}

// The 3D angle control has no twin: a static showing a 200 x 200 picture
// (a borrowed bitmap; the angle control ignores the message).
void Picture(HWND control) {
    static const kelmard::UniqueBitmap picture([] {
        kelmard::WindowDC screen(nullptr);
        return CreateCompatibleBitmap(screen.get(), 200, 200);
    }());
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()));
}

const Row kRows[] = {
    {"push button 75x23", "WKButton", "Button", BS_PUSHBUTTON, 75, 23, "Preview", nullptr},
    {"check box 120x16, checked", "WKButton", "Button", BS_AUTOCHECKBOX, 120, 16, "Smooth edges", CheckIt},
    {"radio button 120x16, checked", "WKButton", "Button", BS_AUTORADIOBUTTON, 120, 16, "From the left", CheckIt},
    {"group box 200x120", "WKButton", "Button", BS_GROUPBOX, 200, 120, "Direction", nullptr},
    {"static text 200x32", "WKStatic", "Static", SS_LEFT, 200, 32, "A label on the skin, over two lines.", nullptr},
    {"edit 160x20", "WKEdit", "Edit", ES_AUTOHSCROLL | WS_BORDER, 160, 20, "Chapter One", nullptr},
    // The value controls add their rows here.
    {"slider 200x24, at 50 of 0..100", "WKSlider", TRACKBAR_CLASSA, TBS_NOTICKS, 200, 24, "", HalfWay},
    {"range 200x24 (against a trackbar)", "WKRange", "msctls_trackbar32", 0, 200, 24, "", nullptr},
    {"spin 16x40", "WKSpin", "msctls_updown32", 0, 16, 40, "", nullptr},
    {"tab 260x120, 3 tabs, the second selected", "WKTab", WC_TABCONTROLA, 0, 260, 120, "", ThreeTabs},
    // The list controls add their rows here.
    {"scroll bar 17x200, at 30 of 0..100, page 20", "WKScrollBar", "ScrollBar", SBS_VERT, 17, 200, "", BarAt30},
    {"tree view 160x120, 30 items, vertical bar", "WKTreeView", WC_TREEVIEWA, WS_BORDER | WS_VSCROLL | TVS_HASLINES,
     160, 120, "", ThirtyItems},
    {"list box 160x120, 20 items, the third selected", "WKListBox", "ListBox", WS_BORDER | WS_VSCROLL | LBS_NOTIFY,
     160, 120, "", TwentyItems},
    {"combo box 140 wide, drop-down, closed", "WKComboBox", "ComboBox", CBS_DROPDOWN | WS_VSCROLL, 140, 120, "", ThreeItems},
    {"3D angle 200x200 (against a static picture)", "WKAngle3D", "Static", SS_BITMAP, 200, 200, "", Picture},
};

// The best time of one whole redraw of `control`, in nanoseconds.
double Redraw(HWND control) {
    return bench::NsPerOp(5, 200, [control] {
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        GdiFlush();
    });
}

UniqueWindow Make(HWND host, const char* className, const Row& row) {
    UniqueWindow control(CreateWindowExA(0, className, row.text, WS_CHILD | WS_VISIBLE | row.style, 10, 10, row.width,
                                   row.height, host, reinterpret_cast<HMENU>(100), GetModuleHandleA(nullptr), nullptr));
    if (control && row.setUp) row.setUp(control.get());
    return control;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The settings template of the demo (step_dialog.rc, built into this program).
// For the system's dialog manager every "WKRange" in it becomes a trackbar, the
// nearest system control (the library's classes are global, so the system
// would make the library's range); the rest is copied as it is.
std::vector<BYTE> SettingsTemplate(bool forSystem) {
    const HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, "EFFECTSETTINGS", MAKEINTRESOURCEA(5));  // RT_DIALOG
    const BYTE* source = found ? static_cast<const BYTE*>(LockResource(LoadResource(self, found))) : nullptr;
    const DWORD size = found ? SizeofResource(self, found) : 0;
    std::vector<BYTE> out;
    if (!source || size < 26 || reinterpret_cast<const WORD*>(source)[1] != 0xFFFF) return out;  // not DIALOGEX
    auto word = [source](size_t at) { return reinterpret_cast<const WORD*>(source + at)[0]; };
    auto skipName = [&word](size_t at) {  // an ordinal (0xFFFF, n) or a zero-ended string
        if (word(at) == 0xFFFF) return at + 4;
        while (word(at)) at += 2;
        return at + 2;
    };
    const WORD items = word(16);
    size_t at = skipName(skipName(skipName(26)));  // menu, class, title
    if ((reinterpret_cast<const DWORD*>(source + 12)[0] & DS_SETFONT))
        at = skipName(at + 6);  // point size, weight, italic, charset, face
    out.assign(source, source + at);
    static const wchar_t kRange[] = L"WKRange";
    static const wchar_t kTrackbar[] = L"msctls_trackbar32";
    for (WORD i = 0; i < items; ++i) {
        at = (at + 3) & ~size_t(3);
        out.resize((out.size() + 3) & ~size_t(3), 0);
        const size_t classAt = at + 24;  // help id, ex style, style, x, y, cx, cy, id
        const size_t titleAt = skipName(classAt);
        out.insert(out.end(), source + at, source + classAt);
        if (forSystem && word(classAt) != 0xFFFF &&
            !lstrcmpiW(reinterpret_cast<LPCWSTR>(source + classAt), kRange))  // the resource compiler may upper-case it
            out.insert(out.end(), reinterpret_cast<const BYTE*>(kTrackbar),
                       reinterpret_cast<const BYTE*>(kTrackbar) + sizeof kTrackbar);
        else
            out.insert(out.end(), source + classAt, source + titleAt);
        const size_t extraAt = skipName(titleAt);
        at = extraAt + 2 + word(extraAt);
        out.insert(out.end(), source + titleAt, source + at);
    }
    return out;
}

constexpr int kRangeId = 113;  // IDC_PART of step_dialog_ids.h

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The time of a dialog from `source` made by `make`, shown, painted with all
// its children, the queue emptied, and destroyed, in nanoseconds (one round of
// 20); 0 when the dialog cannot be made.
template <typename Make>
double FirstPaint(const std::vector<BYTE>& source, Make make, const char* rangeClass) {
    const auto dialogTemplate = reinterpret_cast<LPCDLGTEMPLATEA>(source.data());
    // One trial run: the range is the expected class, and nothing is left to paint.
    UniqueWindow trial(make(GetModuleHandleA(nullptr), dialogTemplate, nullptr, QuietProc, 0));
    if (!trial) return 0;
    ShowWindow(trial.get(), SW_SHOWNA);
    RedrawWindow(trial.get(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    char range[64] = "";
    GetClassNameA(GetDlgItem(trial.get(), kRangeId), range, sizeof range);
    bool painted = !GetUpdateRect(trial.get(), nullptr, FALSE);
    for (HWND child = GetWindow(trial.get(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        painted &= !GetUpdateRect(child, nullptr, FALSE);
    trial.reset();
    Pump();
    if (std::strcmp(range, rangeClass) != 0 || !painted) {
        std::printf("trial: the range is a %s (want %s), %s\n", range, rangeClass,
                    painted ? "all painted" : "a window left unpainted");
        return 0;
    }
    return bench::NsPerOp(1, 20, [&] {
        UniqueWindow dialog(make(GetModuleHandleA(nullptr), dialogTemplate, nullptr, QuietProc, 0));
        if (!dialog) return;
        ShowWindow(dialog.get(), SW_SHOWNA);
        RedrawWindow(dialog.get(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
        GdiFlush();
        dialog.reset();
        Pump();
    });
}

// A captioned dialog template with no controls, `cx` x `cy` dialog units.
std::vector<BYTE> EmptyTemplate(short cx, short cy) {
    std::vector<BYTE> out(sizeof(DLGTEMPLATE) + 3 * sizeof(WORD), 0);  // no menu, the dialog class, no title
    DLGTEMPLATE header{};
    header.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    header.cx = cx, header.cy = cy;
    std::memcpy(out.data(), &header, sizeof header);
    return out;
}

// The library's dialog frame and the system's, both made from one template:
// the whole redraw with the frame, best of 5 rounds of 200.
int DialogFrameRow() {
    const std::vector<BYTE> empty = EmptyTemplate(260, 170);
    const auto source = reinterpret_cast<LPCDLGTEMPLATEA>(empty.data());
    UniqueWindow system(CreateDialogIndirectParamA(GetModuleHandleA(nullptr), source, nullptr, QuietProc, 0));
    UniqueWindow skinned(WKCreateDialogIndirectParam(GetModuleHandleA(nullptr), source, nullptr, QuietProc, 0));
    int failed = 0;
    char name[64] = "";
    if (skinned) GetClassNameA(skinned.get(), name, sizeof name);
    if (!system || !skinned || std::strcmp(name, "WKDialog") != 0) {
        std::printf("%-48s could not be created\n", "WKDialog frame");
        failed = 1;
    } else {
        ShowWindow(skinned.get(), SW_HIDE);
        Pump();
        const double floor = Redraw(system.get());
        ShowWindow(system.get(), SW_HIDE);
        ShowWindow(skinned.get(), SW_SHOWNA);
        Pump();
        bench::Report("WKDialog dialog frame 260x170 DLU, no controls", Redraw(skinned.get()), "#32770", floor);
    }
    skinned.reset();
    system.reset();
    Pump();
    return failed;
}

// The demo's settings dialog from its creation to the end of its first paint.
int SettingsRow() {
    const std::vector<BYTE> skinnedSource = SettingsTemplate(false);
    const std::vector<BYTE> systemSource = SettingsTemplate(true);
    if (skinnedSource.empty() || systemSource.empty()) {
        std::printf("%-48s template not found\n", "EFFECTSETTINGS");
        return 1;
    }
    // Rounds alternate between the two, so that both see the same load.
    double floor = 1e300, ns = 1e300;
    for (int round = 0; round < 7; ++round) {
        floor = std::min(floor, FirstPaint(systemSource, CreateDialogIndirectParamA, "msctls_trackbar32"));
        ns = std::min(ns, FirstPaint(skinnedSource, WKCreateDialogIndirectParam, "WKRange"));
    }
    if (floor == 0 || ns == 0) {
        std::printf("%-48s could not be created\n", "EFFECTSETTINGS");
        return 1;
    }
    bench::Report("EFFECTSETTINGS create, first paint, destroy", ns, "#32770", floor);
    return 0;
}

// The bitmap view: one whole redraw of a 256 x 256 view showing a 640 x 480
// picture zoomed in once (a 320 x 320 part fills the view), against the same
// window's redraw with a paint that is a plain StretchBlt of that part from a
// DC prepared beforehand (the floor).
HDC g_plainSource = nullptr;  // the floor's picture, selected into a memory DC
LRESULT CALLBACK PlainStretch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, 256, 256, g_plainSource, 160, 80, 320, 320, SRCCOPY);
    EndPaint(window, &paint);
    return 0;
}

int BitmapViewRow(HWND host) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 640, 480, 1, 32, BI_RGB};
    void* bits = nullptr;
    kelmard::UniqueBitmap picture(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueWindow view(CreateWindowExA(0, "WKBmpView", "", WS_CHILD | WS_VISIBLE, 10, 10, 256, 256, host, nullptr,
                                      GetModuleHandleA(nullptr), nullptr));
    if (!picture || !view) {
        std::printf("%-48s could not be created\n", "WKBmpView");
        return 1;
    }
    for (int i = 0; i < 640 * 480; ++i) static_cast<DWORD*>(bits)[i] = static_cast<DWORD>(i * 2654435761u);
    SendMessageA(view.get(), BVM_SETBITMAP, TRUE, reinterpret_cast<LPARAM>(picture.get()));
    SendMessageA(view.get(), BVM_ZOOM, TRUE, 0);  // fit 0.4 -> 0.8
    Pump();
    const double ns = Redraw(view.get());
    kelmard::UniqueMemoryDC source(CreateCompatibleDC(nullptr));
    kelmard::SelectGuard select(source.get(), picture.get());
    g_plainSource = source.get();
    const LONG_PTR viewProc = SetWindowLongPtrA(view.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PlainStretch));
    const double floor = Redraw(view.get());
    SetWindowLongPtrA(view.get(), GWLP_WNDPROC, viewProc);
    bench::Report("WKBmpView 256x256, 640x480 picture at 0.8", ns, "StretchBlt", floor);
    return 0;
}

}  // namespace

int main() {
    WKGetColor(0);  // the library registers its classes when it loads
    INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    UniqueWindow host(CreateWindowExA(0, "WKDialog", "bench", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 640, 480,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!host)
        host.reset(CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr));
    std::printf("Whole redraw of a control against its system twin (best of 5 rounds of 200)\n");
    int failed = 0;
    for (const Row& row : kRows) {
        const UniqueWindow twin = Make(host.get(), row.systemClass, row);
        const UniqueWindow control = Make(host.get(), row.libraryClass, row);
        if (!twin || !control) {
            std::printf("%-48s could not be created\n", row.what);
            ++failed;
        } else {
            ShowWindow(control.get(), SW_HIDE);
            Pump();
            const double floor = Redraw(twin.get());
            ShowWindow(twin.get(), SW_HIDE);
            ShowWindow(control.get(), SW_SHOW);
            Pump();
            char what[96];
            std::snprintf(what, sizeof what, "%s %s", row.libraryClass, row.what);
            bench::Report(what, Redraw(control.get()), row.systemClass, floor);
        }
    }
    failed += BitmapViewRow(host.get());  // no system twin: against the stretch it draws with
    host.reset();
    Pump();
    std::printf("\nA dialog against the system's dialog manager (frame: best of 5 rounds of 200;\n"
                "settings: creation to the end of the first paint, best of 7 alternating rounds of 20)\n");
    failed += DialogFrameRow();
    failed += SettingsRow();
    return failed;
}
