// Step: the help window. A scene opens the installation's help file with
// FxHelp, asks for topics, shows one in a popup at a screen position, and the
// popup closes on a key press; near the screen's right edge it opens to the
// left of the position.
#include <string>

#include "demo.h"
#include "host.h"
#include "kelmard.h"
#include "picture.h"

namespace demo {
namespace {

// Shows `id` at (x, y); answers the popup's window rectangle.
HWND ShowTopic(LONG_PTR help, WORD id, int x, int y, RECT& r) {
    FxHelpShowBlock show{nullptr, x, y, id};
    const LONG_PTR shown = FxHelp(FXHELP_SHOW, reinterpret_cast<void*>(help), &show);
    khost::PumpMessages(300);
    HWND popup = FindWindowA("FxHelp Window", nullptr);
    r = RECT{};
    if (popup) GetWindowRect(popup, &r);
    Say("  show topic %u at (%d, %d): %ld; popup %ldx%ld at (%ld, %ld)\n", id, x, y, static_cast<long>(shown),
        r.right - r.left, r.bottom - r.top, r.left, r.top);
    return shown == 1 ? popup : nullptr;
}

bool CloseWithKey(HWND popup) {
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    khost::PumpMessages(100);
    const bool gone = !IsWindow(popup);
    Say("  a key press closes it: %s\n", gone ? "yes" : "NO");
    return gone;
}

}  // namespace

bool StepHelpPopup(Context& context) {
    FxHelpOpenBlock open{nullptr, nullptr, nullptr};
    const LONG_PTR help = FxHelp(FXHELP_OPEN, nullptr, &open);
    Say("FxHelp open (DestDir\\Help\\FxHelp.RFH): %s\n", help ? "a help handle" : "0");
    if (!help) return false;
    auto has = [&](WORD id) {
        return FxHelp(FXHELP_HAS_TOPIC, reinterpret_cast<void*>(help),
                      reinterpret_cast<void*>(static_cast<UINT_PTR>(id)));
    };
    Say("  has topic 101: %ld, topic 999: %ld, any topic (ID 0): %ld\n", static_cast<long>(has(101)),
        static_cast<long>(has(999)), static_cast<long>(has(0)));
    bool ok = has(101) == 1 && has(999) == 0 && has(0) == 1;

    RECT r{};
    HWND popup = ShowTopic(help, 100, 80, 60, r);
    if (popup) {
        const kpicture::Image image = kpicture::CaptureWindow(popup);
        const std::string file = context.outputFolder + "\\help-popup.png";
        const bool written = kpicture::WritePng(image, file);
        Say("  picture: %s (%s)\n", file.c_str(), written ? "written" : "NOT written");
        ok = ok && written && r.left == 80 && r.top == 60 && CloseWithKey(popup);
    } else {
        ok = false;
    }

    const int x = GetSystemMetrics(SM_CXSCREEN) - 40;
    popup = ShowTopic(help, 101, x, 200, r);
    const bool leftOfX = popup && r.right <= x + 2 && r.left < x;
    Say("  near the right edge it opens to the left of x: %s\n", leftOfX ? "yes" : "NO");
    ok = ok && leftOfX && CloseWithKey(popup);

    Say("FxHelp close: %ld\n", static_cast<long>(FxHelp(FXHELP_CLOSE, reinterpret_cast<void*>(help), nullptr)));
    return ok;
}

}  // namespace demo
