// Views: the bitmap view. Four "WKBmpView" controls in a skinned window show
// one generated picture: fitted, zoomed in 4x by two clicks about a point,
// through a round mask over a background colour, and in pick mode with a
// click whose pick the parent prints; then photographed.
#include "demo.h"
#include "gallery.h"

#include <string>

#include "host.h"
#include "kelmard.h"
#include "owners/win32_owners.h"
#include "picture.h"

namespace demo {
namespace {

using kelmard::SelectGuard;
using kelmard::UniqueBitmap;
using kelmard::UniqueBrush;

enum : int { kFitted = 1, kZoomed, kMasked, kPicking, kFirstLabel = 11 };
constexpr int kPictureWidth = 320, kPictureHeight = 240;
constexpr int kViewWidth = 240, kViewHeight = 150;

WNDPROC g_hostProc = nullptr;
int g_picks = 0;

// The host's WM_COMMAND from the views, printed as they arrive.
LRESULT CALLBACK Host(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) >= kFitted && LOWORD(wParam) <= kPicking) {
        Say("  parent: WM_COMMAND from view %d, %s at picture pixel (%d, %d)\n", LOWORD(wParam),
            HIWORD(wParam) == BVN_PICKED ? "BVN_PICKED" : "BVN_PICKING", static_cast<short>(LOWORD(lParam)),
            static_cast<short>(HIWORD(lParam)));
        ++g_picks;
        return 0;
    }
    return CallWindowProcA(g_hostProc, window, message, wParam, lParam);
}

// A picture to look at: a sky-to-field gradient, a sun, hills and a grid of
// one-pixel lines that show the zoom.
UniqueBitmap MakePicture(HDC screen) {
    UniqueBitmap picture(CreateCompatibleBitmap(screen, kPictureWidth, kPictureHeight));
    kelmard::UniqueMemoryDC dc(CreateCompatibleDC(screen));
    SelectGuard select(dc.get(), picture.get());
    if (!select) return picture;
    for (int y = 0; y < kPictureHeight; ++y) {
        const int t = y * 255 / kPictureHeight;
        UniqueBrush band(CreateSolidBrush(RGB(60 + t / 3, 110 + t / 4, 230 - t / 2)));
        const RECT row{0, y, kPictureWidth, y + 1};
        FillRect(dc.get(), &row, band.get());
    }
    SelectGuard noPen(dc.get(), GetStockObject(NULL_PEN));
    UniqueBrush sun(CreateSolidBrush(RGB(255, 214, 64))), hill(CreateSolidBrush(RGB(70, 140, 60)));
    {
        SelectGuard brush(dc.get(), sun.get());
        Ellipse(dc.get(), 210, 30, 270, 90);
    }
    {
        SelectGuard brush(dc.get(), hill.get());
        Ellipse(dc.get(), -80, 150, 200, 330);
        Ellipse(dc.get(), 120, 170, 420, 360);
    }
    for (int x = 0; x < kPictureWidth; x += 16)
        for (int y = 0; y < kPictureHeight; y += 2) SetPixel(dc.get(), x, y, RGB(255, 255, 255));
    return picture;
}

// A round mask: black (the picture shows) inside a circle, white outside.
UniqueBitmap MakeMask() {
    UniqueBitmap mask(CreateBitmap(kPictureWidth, kPictureHeight, 1, 1, nullptr));
    kelmard::UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    SelectGuard select(dc.get(), mask.get());
    if (!select) return mask;
    PatBlt(dc.get(), 0, 0, kPictureWidth, kPictureHeight, WHITENESS);
    SelectGuard brush(dc.get(), GetStockObject(BLACK_BRUSH));
    Ellipse(dc.get(), 50, 10, 270, 230);
    return mask;
}

}  // namespace

bool ShowBitmapView(Context& context) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    kelmard::UniqueWindow host(CreateWindowExA(0, "WKDialog", "Bitmap views", WS_POPUP | WS_VISIBLE | WS_CAPTION, 40,
                                               40, 2 * kViewWidth + 36, 2 * kViewHeight + 96, nullptr, nullptr, self,
                                               nullptr));
    const kelmard::UniqueFont font = LabelFont();
    kelmard::WindowDC screen(nullptr);
    const UniqueBitmap picture = MakePicture(screen.get());
    const UniqueBitmap mask = MakeMask();
    if (!host || !picture || !mask) return false;
    g_hostProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(host.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Host)));
    g_picks = 0;
    const char* labels[] = {"Fitted", "Zoomed in 4x about the sun", "With a round mask", "Pick mode, a click picked"};
    HWND views[4] = {};
    for (int i = 0; i < 4; ++i) {
        const int x = 12 + (kViewWidth + 12) * (i % 2), y = 8 + (kViewHeight + 26) * (i / 2);
        MakeChild(host.get(), "WKStatic", labels[i], SS_LEFT, kFirstLabel + i, x, y, kViewWidth, 16, font.get());
        views[i] = CreateWindowExA(WS_EX_CLIENTEDGE, "WKBmpView", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y + 18,
                                   kViewWidth, kViewHeight, host.get(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFitted + i)), self, nullptr);
        if (!views[i]) return false;
        SendMessageA(views[i], BVM_SETBITMAP, TRUE, reinterpret_cast<LPARAM>(picture.get()));
    }
    khost::PumpUntilQuiet();

    // The picture fits a 236 x 146 client at 146 / 240: the sun's middle (240, 60) is drawn at about (164, 36).
    Say("Two clicks on the sun of the second view (zoom mode): each zooms in 2x, the sun stays under the pointer\n");
    Click(views[1], 164, 36);
    Click(views[1], 164, 36);
    Say("A round mask on the third view, over a pale background colour\n");
    SendMessageA(views[2], BVM_SETBKCOLOR, FALSE, RGB(250, 240, 200));
    SendMessageA(views[2], BVM_SETMASK, TRUE, reinterpret_cast<LPARAM>(mask.get()));
    Say("Pick mode on the fourth view (presses and drags reported too); a click on the sun:\n");
    SendMessageA(views[3], BVM_SETMODE, BVMODE_PICK, 0);
    SendMessageA(views[3], BVM_ENABLEPICKS, TRUE, 0);
    Click(views[3], 164, 36);
    SetFocus(views[3]);
    khost::PumpUntilQuiet();

    const kpicture::Image image = Photograph(host.get());
    const std::string path = context.outputFolder + "\\bmpview-states.png";
    const bool written = WritePicture(image, path);
    Say("The views, %d x %d: %s\n", image.width, image.height, written ? path.c_str() : "(no picture)");
    // The views leave the bitmaps to their owner: this step frees them when it ends.
    SetWindowLongPtrA(host.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hostProc));
    return written && g_picks == 2;
}

}  // namespace demo
