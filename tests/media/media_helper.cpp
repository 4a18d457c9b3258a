// Helper verb of the media tests.
#include <thread>

#include "media/render.h"
#include "support/processes.h"

namespace {

bool RenderHasInk() {
    const RichTextDesc desc = ktest::MakeDesc(
        "{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue0;}\\cf1\\fs40 Thread}", 200, 40, 0, true);
    const kpicture::Image image = ktest::Render(desc, 200, 80);
    return std::count(image.pixels.begin(), image.pixels.end(), 0xFFFFFF00u) > 0;  // covered, yellow
}
bool OnThread() {
    bool ok = false;
    std::thread([&ok] { ok = RenderHasInk(); }).join();
    return ok;
}

// "media-render-threads": the first render of this process runs on a thread
// that ends; later renders run on the main thread, on another thread while
// the main thread's control lives, and on the main thread again. Exit code:
// 0, or the number of the render that drew nothing.
ktest::HelperVerb renderThreads("media-render-threads", [](const ktest::HelperRun&) {
    return !OnThread() ? 1 : !RenderHasInk() ? 2 : !OnThread() ? 3 : !RenderHasInk() ? 4 : 0;
});

}  // namespace
