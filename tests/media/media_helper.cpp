// Helper commands for the media tests.
#include <windows.h>

#include <cstdint>
#include <thread>

#include "kelmard.h"
#include "media/text_pixels.h"
#include "support/helper_main.h"

namespace {

bool RenderHasInk() {
    const RichTextDesc desc = ktest::MakeDesc(
        "{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue0;}\\cf1\\fs40 Thread}", 200, 40,
        RGB(0, 0, 0), true);
    ktest::TextImage image;
    if (!ktest::TakeBitmap(QVRRenderText(&desc, 200, 80), image)) return false;
    for (std::uint32_t p : image.px)
        if ((p >> 24) == 255 && (p & 0xFFFFFF) == 0x00FFFF00u) return true;
    return false;
}

bool OnThread() {
    bool ok = false;
    std::thread t([&ok] { ok = RenderHasInk(); });
    t.join();
    return ok;
}

// "media-render-threads": the first render of this process runs on a thread
// that ends; later renders run on the main thread, on another thread while
// the main thread's control lives, and on the main thread again.
// Exit code: 0, or the number of the render that drew nothing.
ktest::HelperCommand renderThreads("media-render-threads", [](const std::vector<std::string>&) {
    if (!OnThread()) return 1;
    if (!RenderHasInk()) return 2;
    if (!OnThread()) return 3;
    if (!RenderHasInk()) return 4;
    return 0;
});

}  // namespace
