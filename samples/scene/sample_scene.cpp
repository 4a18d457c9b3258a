// SampleScene.DLL: a scene (transition effect plug-in) written against the
// KELMARD SDK alone: kelmard.h, the import library and KELMARD.DLL.
//
// It walks a scene's road once when its host calls SampleScenePlay (see
// sample_scene.h): it takes the scene place with a shutdown routine, checks
// the frame format, renders a transition through the user's stage, loads a
// picture, lays a rich-text title over it, runs its settings dialog with the
// skinned controls (showing a help topic from it), and gives the place back.
//
// Everything the library hands out has one owner here that gives it back:
// bitmaps (DeleteObject), the help handle (FXHELP_CLOSE), the stage object
// (QVRDestroyStage) and the registration (unregistered at the end).
#include <windows.h>
#include <commctrl.h>  // the trackbar messages (TBM_*): macros only

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "kelmard.h"
#include "sample_scene.h"
#include "sample_scene_ids.h"

#if defined(__GNUC__)
#define SAMPLE_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define SAMPLE_PRINTF(f, a)
#endif

namespace {

// ---- Owners of what the library and the system hand out -----------------

struct BitmapFree {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapFree>;

struct WindowFree {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowFree>;

struct HelpClose {
    void operator()(void* help) const { FxHelp(FXHELP_CLOSE, help, nullptr); }
};
using HelpHandle = std::unique_ptr<void, HelpClose>;

// A screen DC for GetDIBits, released with the scope.
class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// ---- The scene's state ----------------------------------------------------

HMODULE g_module;                     // this DLL, for its dialog template
QVRStage* volatile g_stage = nullptr; // the stage object while one lives
volatile LONG g_evicted = 0;          // set by the shutdown routine

// Runs when another scene takes the place (in this process, on a thread the
// library made for it when the newcomer lives elsewhere). It must not
// register; it gives its stage object back and answers that it shut down.
DWORD WINAPI Shutdown(LPVOID) {
    InterlockedExchange(&g_evicted, 1);
    QVRStage* stage = static_cast<QVRStage*>(InterlockedExchangePointer(
        reinterpret_cast<PVOID volatile*>(&g_stage), nullptr));
    if (stage) QVRDestroyStage(stage);
    return 1;
}

// The stage object of this scene, given back with the scope unless the
// shutdown routine took it first.
class StageObject {
public:
    explicit StageObject(const QVRStageTarget& target) {
        QVRStage* stage = QVRCreateStage(&target, 0);
        InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&g_stage), stage);
    }
    ~StageObject() {
        QVRStage* stage = static_cast<QVRStage*>(InterlockedExchangePointer(
            reinterpret_cast<PVOID volatile*>(&g_stage), nullptr));
        if (stage) QVRDestroyStage(stage);
    }
    StageObject(const StageObject&) = delete;
    StageObject& operator=(const StageObject&) = delete;
    QVRStage* get() const { return g_stage; }
};

// The report and pictures, through the host's callbacks.
class Road {
public:
    explicit Road(const SampleSceneRun& run) : run_(run) {}

    void Say(const char* format, ...) SAMPLE_PRINTF(2, 3) {
        char line[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        if (run_.say) run_.say(run_.host, line);
    }
    void Picture(const char* name, int width, int height, const std::vector<DWORD>& pixels) {
        if (run_.picture) run_.picture(run_.host, name, width, height, pixels.data());
    }
    // Counts a step that did not go as it should.
    bool Check(bool ok, const char* step) {
        if (!ok) {
            ++failed_;
            Say("%s: did not go as it should", step);
        }
        return ok;
    }
    const SampleSceneRun& run() const { return run_; }
    int failed() const { return failed_; }

private:
    const SampleSceneRun& run_;
    int failed_ = 0;
};

// A bitmap's pixels as 32-bit BGRA, rows top-down; empty on failure.
std::vector<DWORD> ReadPixels(HBITMAP bitmap, int& width, int& height) {
    BITMAP info{};
    width = height = 0;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return {};
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;  // top-down
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    const ScreenDC screen;
    if (GetDIBits(screen.get(), bitmap, 0, info.bmHeight, pixels.data(), &request, DIB_RGB_COLORS) != info.bmHeight)
        return {};
    width = info.bmWidth;
    height = info.bmHeight;
    return pixels;
}

// ---- The steps ------------------------------------------------------------

// The frame this scene renders: PAL, and the format's pixel aspect and
// underscan from the installation's table.
constexpr int kFrameWidth = 720, kFrameHeight = 576;

void CheckFrame(Road& road) {
    float aspect = 0;
    short underscan[4] = {};
    const int known = QVRCheckVideoFormat(QVR_FRAME_SIZE(kFrameWidth, kFrameHeight), &aspect, underscan);
    road.Say("frame %dx%d: %s, pixel aspect %.4f, underscan (%d,%d - %d,%d)", kFrameWidth, kFrameHeight,
             known ? "a TV format" : "not in the table", aspect, underscan[0], underscan[1], underscan[2],
             underscan[3]);
    road.Check(known == 1 && aspect > 0, "the frame format");
}

// Two pictures to blend: a warm gradient and cool stripes.
std::vector<DWORD> MakePicture(int width, int height, bool warm) {
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const DWORD r = warm ? 220 : 30 + 40 * ((x / 16) % 2);
            const DWORD g = warm ? 60 + 150 * x / width : 90;
            const DWORD b = warm ? 40 : 120 + 120 * y / height;
            pixels[static_cast<size_t>(y) * width + x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    return pixels;
}

void RenderTransition(Road& road) {
    constexpr int kWidth = 320, kHeight = 180;
    constexpr float kProgress = 0.5f;
    const Window window(CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "SampleScene preview", WS_POPUP | WS_VISIBLE,
                                        0, 0, kWidth, kHeight, nullptr, nullptr, g_module, nullptr));
    std::vector<DWORD> frame(static_cast<size_t>(kWidth) * kHeight);
    const QVRStageTarget target{sizeof target, window.get(), kWidth, kHeight, QVR_PIXELS_BGRA32,
                                frame.data(), kWidth * 4};
    const StageObject stage(target);
    road.Say("stage object on a %dx%d window: %s", kWidth, kHeight, stage.get() ? "made" : "none");
    if (!road.Check(stage.get() != nullptr, "the stage")) return;

    const std::vector<DWORD> from = MakePicture(kWidth, kHeight, true), to = MakePicture(kWidth, kHeight, false);
    const QVRPicture a{kWidth, kHeight, kWidth * 4, from.data()};
    const QVRPicture b{kWidth, kHeight, kWidth * 4, to.data()};
    const int drawn = stage.get()->methods->RenderTransition(stage.get(), &a, &b, kProgress);
    int painted = 0;
    for (DWORD pixel : frame) painted += (pixel & 0x00FFFFFFu) != 0;
    road.Say("transition at progress %.2f: %s, %d of %d pixels painted", kProgress, drawn ? "drawn" : "failed",
             painted, kWidth * kHeight);
    if (road.Check(drawn == 1 && painted > 0, "the transition")) road.Picture("scene-transition", kWidth, kHeight, frame);
}

// Loads the host's picture and lays a rich-text title over it.
void TitleOverPicture(Road& road) {
    const char* path = road.run().picturePath ? road.run().picturePath : "";
    const Bitmap picture(QVRLoadImage(path));
    int width = 0, height = 0;
    std::vector<DWORD> pixels = ReadPixels(picture.get(), width, height);
    road.Say("picture %s: %s, %dx%d", path, picture ? "loaded" : "not loaded", width, height);
    if (!road.Check(!pixels.empty(), "the picture")) return;

    RichTextDesc desc{};
    std::snprintf(desc.rtf, sizeof desc.rtf, "%s",
                  "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green250\\blue220;}"
                  "\\qc\\f0\\fs64\\cf1\\b Sample Scene\\b0\\par}");
    desc.layoutWidth = static_cast<WORD>(width);
    desc.layoutHeight = static_cast<WORD>(height);
    desc.background = RGB(0, 0, 0);
    desc.coverage = 1;
    const Bitmap title(QVRRenderText(&desc, width, height));
    int titleWidth = 0, titleHeight = 0;
    const std::vector<DWORD> text = ReadPixels(title.get(), titleWidth, titleHeight);
    if (!road.Check(titleWidth == width && titleHeight == height, "the title")) return;

    // The title's alpha byte is its coverage: blend its colour over the
    // picture, a third of the way down.
    int covered = 0;
    const int shift = height / 3;
    for (int y = 0; y + shift < height; ++y)
        for (int x = 0; x < width; ++x) {
            const DWORD t = text[static_cast<size_t>(y) * width + x];
            DWORD& p = pixels[static_cast<size_t>(y + shift) * width + x];
            const DWORD alpha = t >> 24;
            covered += alpha != 0;
            DWORD out = 0xFF000000u;
            for (int s : {0, 8, 16})
                out |= ((((t >> s) & 0xFF) * alpha + ((p >> s) & 0xFF) * (255 - alpha) + 127) / 255) << s;
            p = out;
        }
    road.Say("title rendered at %dx%d: %d pixels covered", width, height, covered);
    if (road.Check(covered > 0, "the title")) road.Picture("scene-title", width, height, pixels);
}

// ---- The settings dialog ---------------------------------------------------

struct Settings {
    int softness = 40;
    bool shadow = false;
    char title[64] = "Sample Scene";
    bool unattended = false;
    LONG_PTR help = 0;     // the open help handle (borrowed from the road)
    LONG_PTR helpShown = 0;
};

enum : UINT_PTR { kPressHelp = 1, kPressOk = 2 };

void ShowHelp(HWND dialog, Settings& settings) {
    RECT button{};
    GetWindowRect(GetDlgItem(dialog, IDC_HELPBUTTON), &button);
    FxHelpShowBlock show{dialog, button.left, button.bottom, HELP_TOPIC};
    settings.helpShown = FxHelp(FXHELP_SHOW, reinterpret_cast<void*>(settings.help), &show);
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Settings* settings = reinterpret_cast<Settings*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        settings = reinterpret_cast<Settings*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SetDlgItemTextA(dialog, IDC_TITLE, settings->title);
        SendDlgItemMessageA(dialog, IDC_SOFTNESS, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
        SendDlgItemMessageA(dialog, IDC_SOFTNESS, TBM_SETPOS, TRUE, settings->softness);
        CheckDlgButton(dialog, IDC_SHADOW, settings->shadow ? BST_CHECKED : BST_UNCHECKED);
        if (settings->unattended) SetTimer(dialog, kPressHelp, 100, nullptr);
        return TRUE;
    case WM_TIMER:  // unattended: the user's clicks
        KillTimer(dialog, wParam);
        if (wParam == kPressHelp) {
            SendDlgItemMessageA(dialog, IDC_HELPBUTTON, BM_CLICK, 0, 0);
            SetTimer(dialog, kPressOk, 200, nullptr);
        } else {
            SendDlgItemMessageA(dialog, IDC_SOFTNESS, TBM_SETPOS, TRUE, 70);
            SendDlgItemMessageA(dialog, IDC_SHADOW, BM_CLICK, 0, 0);
            SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
        }
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_HELPBUTTON:
            ShowHelp(dialog, *settings);
            return TRUE;
        case IDOK:
            settings->softness = static_cast<int>(SendDlgItemMessageA(dialog, IDC_SOFTNESS, TBM_GETPOS, 0, 0));
            settings->shadow = IsDlgButtonChecked(dialog, IDC_SHADOW) == BST_CHECKED;
            GetDlgItemTextA(dialog, IDC_TITLE, settings->title, sizeof settings->title);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void RunSettings(Road& road) {
    FxHelpOpenBlock open{nullptr, nullptr, nullptr};  // the installation's FxHelp.RFH
    const HelpHandle help(reinterpret_cast<void*>(FxHelp(FXHELP_OPEN, nullptr, &open)));
    const LONG_PTR hasTopic =
        FxHelp(FXHELP_HAS_TOPIC, help.get(), reinterpret_cast<void*>(static_cast<UINT_PTR>(HELP_TOPIC)));
    road.Say("help file: %s, topic %d: %s", help ? "open" : "missing", HELP_TOPIC, hasTopic ? "there" : "missing");
    road.Check(hasTopic == 1, "the help file");

    Settings settings;
    settings.unattended = (road.run().flags & SAMPLE_SCENE_UNATTENDED) != 0;
    settings.help = reinterpret_cast<LONG_PTR>(help.get());
    const INT_PTR result = WKDialogBoxParam(g_module, MAKEINTRESOURCEA(IDD_SETTINGS), road.run().owner, SettingsProc,
                                            reinterpret_cast<LPARAM>(&settings));
    road.Say("settings dialog: %s; help topic shown from it: %ld; softness %d, shadow %s, title \"%s\"",
             result == IDOK ? "OK" : result == IDCANCEL ? "Cancel" : "could not be shown",
             static_cast<long>(settings.helpShown), settings.softness, settings.shadow ? "on" : "off",
             settings.title);
    road.Check(result == IDOK || result == IDCANCEL, "the settings dialog");
    if (settings.unattended) road.Check(settings.helpShown == 1 && settings.softness == 70 && settings.shadow,
                                        "the unattended settings");
}

}  // namespace

extern "C" int __cdecl SampleScenePlay(const SampleSceneRun* run) {
    if (!run || run->size < sizeof(SampleSceneRun)) return -1;
    Road road(*run);
    road.Say("SampleScene, built against KELMARD %s", KELMARD_VERSION_STRING);

    InterlockedExchange(&g_evicted, 0);
    const int registered = QVRRegisterScene(Shutdown, reinterpret_cast<DWORD_PTR>(g_module), QVR_REGISTER);
    road.Say("registered in the scene place: %d", registered);
    if (!road.Check(registered == 1, "the registration")) return road.failed();

    CheckFrame(road);
    RenderTransition(road);
    TitleOverPicture(road);
    RunSettings(road);

    const int unregistered = QVRRegisterScene(Shutdown, reinterpret_cast<DWORD_PTR>(g_module), QVR_UNREGISTER);
    road.Say("unregistered: %d%s", unregistered, g_evicted ? " (another scene had taken the place meanwhile)" : "");
    road.Check(unregistered == 1, "the unregistration");
    return road.failed();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
