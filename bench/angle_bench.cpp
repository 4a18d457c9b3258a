// The 3D angle control's costs, each against a floor measured in the same run:
//   1. preparing its picture at 200 x 200 (layout, DIB section, the nine
//      area-averaged cells) against making the same DIB section and copying
//      the same number of bytes into it;
//   2. one whole redraw of a 200 x 200 control against one BitBlt of its
//      client from a memory DC to the window (its last step alone);
//   3. the ball cell's resize (90 x 90 to the ball of a 200 x 200 control)
//      against a plain copy of the same source bytes.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench.h"
#include "controls/framework/resample.h"
#include "controls/framework/skin_layout.h"
#include "controls/value/angle3d_image.h"
#include "kelmard.h"

namespace {

using namespace kelmard;

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The skin's angle record from the library's own skin bitmap.
SkinAngle LoadArt(HMODULE library, UniqueBitmap& bitmap) {
    bitmap.reset(static_cast<HBITMAP>(
        LoadImageA(library, MAKEINTRESOURCEA(skin::kBitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    const int* n = skin::kAngleNumbers;
    return SkinAngle{bitmap.get(), n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8]};
}

int Prepare(const SkinAngle& art) {
    const angle3d::Layout layout = angle3d::ComputeLayout({0, 0, 200, 200}, false, ElementOf(art));
    const double ns = bench::NsPerOp(5, 200, [&] { UniqueBitmap image = PrepareAngleImage(art, layout); });
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, layout.image.cx, -layout.image.cy, 1, 32, BI_RGB};
    std::vector<unsigned char> bytes(static_cast<size_t>(layout.image.cx) * layout.image.cy * 4, 7);
    const double floor = bench::NsPerOp(5, 200, [&] {
        void* bits = nullptr;
        WindowDC screen(nullptr);
        UniqueBitmap image(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (bits) std::memcpy(bits, bytes.data(), bytes.size());
    });
    bench::Report("prepare the picture, 200x200 control", ns, "DIB section + copy", floor);
    return 0;
}

int Redraw(HMODULE) {
    UniqueWindow host(CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr));
    UniqueWindow control(CreateWindowExA(0, "WKAngle3D", "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 200, host.get(),
                                         nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!control) {
        std::printf("%-48s could not be created\n", "WKAngle3D");
        return 1;
    }
    const float turned[3] = {0.35f, -0.52f, 0.17f};
    SendMessageA(control.get(), ANM_SETANGLES, 0, reinterpret_cast<LPARAM>(turned));
    Pump();
    const double ns = bench::NsPerOp(5, 200, [&] {
        RedrawWindow(control.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        GdiFlush();
    });
    WindowDC dc(control.get());
    UniqueMemoryDC memory(CreateCompatibleDC(dc.get()));
    UniqueBitmap canvas(CreateCompatibleBitmap(dc.get(), 200, 200));
    SelectGuard in(memory.get(), canvas.get());
    const double floor = bench::NsPerOp(5, 200, [&] {
        BitBlt(dc.get(), 0, 0, 200, 200, memory.get(), 0, 0, SRCCOPY);
        GdiFlush();
    });
    bench::Report("whole redraw, 200x200 control", ns, "one 200x200 BitBlt", floor);
    return 0;
}

int Resample(const SkinAngle& art) {
    DIBSECTION ds{};
    if (GetObjectA(art.bitmap, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits) {
        std::printf("%-48s the skin bitmap cannot be read\n", "resample");
        return 1;
    }
    const int cell = art.ballCell, ball = angle3d::ComputeLayout({0, 0, 200, 200}, false).ballSize;
    const int stride = ds.dsBm.bmWidthBytes;
    const auto* top = static_cast<const unsigned char*>(ds.dsBm.bmBits) + (ds.dsBm.bmHeight - 1) * stride;
    std::vector<unsigned char> out(static_cast<size_t>(ball) * ball * 4), copy(static_cast<size_t>(cell) * stride);
    const double ns = bench::NsPerOp(5, 400, [&] {
        ResampleAreaAverage(out.data(), ball, ball, ball * 4, top, cell, cell, -stride, ds.dsBm.bmBitsPixel);
    });
    const auto* first = static_cast<const unsigned char*>(ds.dsBm.bmBits) + (ds.dsBm.bmHeight - cell) * stride;
    const double floor = bench::NsPerOp(5, 400, [&] {
        std::memcpy(copy.data(), first, copy.size());
        copy[copy.size() / 2] ^= out[out.size() / 3];  // keep the copy from being optimised away
    });
    char what[96];
    std::snprintf(what, sizeof what, "resize the ball cell %dx%d to %dx%d", cell, cell, ball, ball);
    bench::Report(what, ns, "copy of the source", floor);
    return 0;
}

}  // namespace

int main() {
    WKGetColor(0);  // the library registers its classes when it loads
    const HMODULE library = GetModuleHandleA("KELMARD.DLL");
    UniqueBitmap bitmap;
    const SkinAngle art = LoadArt(library, bitmap);
    if (!art.bitmap) {
        std::printf("the skin bitmap cannot be loaded\n");
        return 1;
    }
    std::printf("The 3D angle control (best of 5 rounds)\n");
    int failed = Prepare(art);
    failed += Redraw(library);
    failed += Resample(art);
    return failed;
}
