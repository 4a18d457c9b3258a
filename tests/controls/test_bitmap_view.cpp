// "WKBmpView" as its owner and a user drive it: the bitmap stays the owner's, degenerate
// sizes and input, picks against the pixels drawn (with and without a mask), a click zooming
// about its point, presses and pans cut short, and the picks the parent receives.
#include "support.h"

#include <vector>

namespace {

using namespace ctl_test;
using namespace seq;

constexpr int kView = 1, kOther = 2;
constexpr int kWidth = 64, kHeight = 48;  // the picture; in the 128 x 128 view it fits at 2x, from y 16
constexpr COLORREF kBackground = RGB(1, 2, 3);

// The picture: pixel (x, y) is RGB(x, y, 0x80), rows stored bottom-up as a loaded picture's are.
kelmard::UniqueBitmap Picture(int width = kWidth, int height = kHeight) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB};
    void* bits = nullptr;
    kelmard::UniqueBitmap picture(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    for (int y = 0; bits && y < height; ++y)
        for (int x = 0; x < width; ++x)
            static_cast<DWORD*>(bits)[(height - 1 - y) * width + x] = kpicture::Rgb(x & 0xFF, y & 0xFF, 0x80);
    return picture;
}

struct Pick {
    int code, x, y;
    bool operator==(const Pick& o) const { return code == o.code && x == o.x && y == o.y; }
};
std::vector<Pick> g_picks;  // the parent's WM_COMMAND from the view, in order
WNDPROC g_parentProc = nullptr;
LRESULT CALLBACK RecordPicks(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND && LOWORD(wp) == kView)
        g_picks.push_back({HIWORD(wp), static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
    return CallWindowProcA(g_parentProc, w, m, wp, lp);
}
Step Picked(std::vector<Pick> want) {  // the picks since the last check are exactly `want`
    return Do("picks seen", [want](HWND) {
        EXPECT_EQ(g_picks, want);
        g_picks.clear();
    });
}
const Table kRightClick = {Step{Step::Press, kView, WM_RBUTTONDOWN, MK_RBUTTON, At(50, 70)},
                           Step{Step::Release, kView, WM_RBUTTONUP, 0, At(50, 70)}};

class BitmapViews : public ControlDialog {
protected:
    void SetUp() override {
        ControlDialog::SetUp();
        view_ = Make("WKBmpView", "", WS_TABSTOP, kView, 10, 10, 128, 128);
        Make("Button", "other", BS_PUSHBUTTON, kOther, 200, 10, 80, 24);
        g_picks.clear();
        g_parentProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(dialog_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordPicks)));
        SendMessageA(view_, BVM_SETBKCOLOR, 0, kBackground);
        SendMessageA(view_, BVM_SETBITMAP, TRUE, reinterpret_cast<LPARAM>(picture_.get()));
    }
    void TearDown() override {
        SetWindowLongPtrA(dialog_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_parentProc));
        ControlDialog::TearDown();
    }
    // The pick of a release at (x, y) in pick mode (the mode put back after): the pixel, or none (-1).
    Pick PickAt(int x, int y) {
        const LRESULT mode = SendMessageA(view_, BVM_SETMODE, BVMODE_PICK, 0);
        g_picks.clear();
        SendMessageA(view_, WM_LBUTTONUP, 0, At(x, y));
        const Pick got = g_picks.size() == 1 ? g_picks[0] : Pick{-1, -1, -1};
        g_picks.clear();
        SendMessageA(view_, BVM_SETMODE, static_cast<WPARAM>(mode), 0);
        return got;
    }
    // Every client pixel as drawn against the pick there; the pixels that differ.
    int PicksDifferingFromTheDrawing(bool masked) {
        const kpicture::Image shot = Shot(view_);
        int wrong = 0;
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x) {
                const std::uint32_t drawn = shot.rgb(x, y);
                const Pick got = PickAt(x, y);
                if (drawn == kpicture::FromColorRef(kBackground)) wrong += !masked && got.code >= 0;  // nothing there
                else wrong += !(got == Pick{BVN_PICKED, int(drawn >> 16), int((drawn >> 8) & 0xFF)}) || (drawn & 0xFF) != 0x80;
            }
        return wrong;
    }
    kelmard::UniqueBitmap picture_ = Picture();
    HWND view_ = nullptr;
};

TEST_F(BitmapViews, APickNamesExactlyThePixelDrawnUnderThePointerAtEveryZoom) {
    EXPECT_EQ(PicksDifferingFromTheDrawing(false), 0) << "fitted";
    for (const UINT key : {VK_NEXT, VK_NEXT, VK_RIGHT, VK_DOWN}) {  // zoomed to 2x, 4x, then moved by keys
        SendMessageA(view_, WM_KEYDOWN, key, 1);
        EXPECT_EQ(PicksDifferingFromTheDrawing(false), 0) << "after key " << key;
    }
    // With a mask: white (left half) shows the background, black the picture, drawn the same way.
    std::vector<BYTE> rows(kWidth / 8 * kHeight, 0);
    for (int y = 0; y < kHeight; ++y) std::fill_n(&rows[y * kWidth / 8], kWidth / 16, BYTE{0xFF});
    const kelmard::UniqueBitmap mask(CreateBitmap(kWidth, kHeight, 1, 1, rows.data()));
    SendMessageA(view_, BVM_SETMASK, TRUE, reinterpret_cast<LPARAM>(mask.get()));
    EXPECT_EQ(PicksDifferingFromTheDrawing(true), 0) << "masked";
    EXPECT_GT(CountIn(Shot(view_), kBackground, 0, 0, 128, 128), 0) << "the mask's white shows the background";
    SendMessageA(view_, BVM_SETMASK, FALSE, 0);
}

TEST_F(BitmapViews, AClickZoomsAboutItsPointAndALostCaptureEndsAPressAndAPan) {
    const Pick before = PickAt(50, 70);
    ASSERT_EQ(before, (Pick{BVN_PICKED, 25, 27}));
    const Table clicks[] = {Click(kView, 50, 70), kRightClick};
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(Run(clicks[i]));
        EXPECT_EQ(PickAt(50, 70), before) << "the clicked pixel stays under the pointer";
        EXPECT_EQ(PickAt(i ? 52 : 54, 70).x, 26) << (i ? "back to 2" : "4") << " client pixels per picture pixel";
    }
    EXPECT_TRUE(Run(Then({Click(kView, 5, 5), {Focus(kView), KeyDown(VK_NEXT)}})));  // off the picture: nothing
    EXPECT_EQ(PickAt(52, 70).x, 29) << "only the key zoomed, to 4x about the centre (x 16..47 shown)";
    // The pointer over a new view (nothing sent to it) shows the magnifier, never no cursor; so after a lost capture.
    const HCURSOR magnifier = LoadCursorA(Library(), MAKEINTRESOURCEA(kelmard::skin::kMagnifierCursorId));
    const Step showsMagnifier = Do("the magnifier shows", [magnifier](HWND) { EXPECT_EQ(GetCursor(), magnifier); });
    Make("WKBmpView", "", 0, kOther + 1, 10, 150, 40, 40);
    EXPECT_TRUE(Run({Move(kOther + 1, 20, 20), CaptureIs(kOther + 1), showsMagnifier}));
    const Pick held = PickAt(50, 70);
    const Step toOther = Do("capture to #2", [](HWND d) { SetCapture(GetDlgItem(d, kOther)); });
    const Step letGo = Do("release the capture", [](HWND) { ReleaseCapture(); });
    EXPECT_TRUE(Run({Press(kView, 50, 70), CaptureIs(kView), toOther, letGo,
                     Do("wait past the hold", [](HWND d) { Pump(d, 450); }), Move(kView, 60, 60), CaptureIs(kView),
                     showsMagnifier, Move(kView, 300, 60), CaptureIs(kNobody), Release(kView, 50, 70)}));
    EXPECT_EQ(PickAt(50, 70), held) << "no pan started by the hold, no zoom by the late release";
    // A pan (at 4x: 20 client pixels are 5 picture pixels; up, then down) cut short by a lost capture or
    // WM_CANCELMODE stays where it was.
    const Table cuts[] = {{toOther, letGo}, {Send(kView, WM_CANCELMODE)}};
    for (int i = 0, dy = -20; i < 2; ++i, dy = 20) {
        const Pick from = PickAt(50, 70);
        EXPECT_TRUE(Run(Then({{Press(kView, 50, 70), Move(kView, 30, 70 + dy)}, cuts[i],
                              {Move(kView, 10, 70 + 2 * dy), Release(kView, 10, 70 + 2 * dy)}})));
        EXPECT_EQ(PickAt(50, 70), (Pick{BVN_PICKED, from.x + 5, from.y - dy / 4})) << "the pan followed the pointer once";
    }
}

TEST_F(BitmapViews, PicksReachTheParentAsCommandsWithThePixel) {
    const Table table = Then({
        {Send(kView, WM_GETDLGCODE).Answers(DLGC_WANTARROWS), Send(kView, BVM_SETMODE, 7).Answers(BVMODE_ZOOM),
         Send(kView, BVM_SETMODE, static_cast<WPARAM>(-1)), Send(kView, BVM_SETMODE, BVMODE_PICK).Answers(BVMODE_ZOOM),
         Send(kView, BVM_GETMODE).Answers(BVMODE_PICK)},
        // Without BVM_ENABLEPICKS only the release tells.
        {Press(kView, 20, 20), Move(kView, 30, 30), Release(kView, 31, 32), Picked({{BVN_PICKED, 15, 8}})},
        {Send(kView, BVM_ENABLEPICKS, TRUE), Press(kView, 20, 20), Picked({{BVN_PICKING, 10, 2}}),
         Send(kView, WM_MOUSEMOVE, MK_LBUTTON, At(40, 20)), Picked({{BVN_PICKING, 20, 2}}), Release(kView, 40, 20),
         Picked({{BVN_PICKING, 20, 2}, {BVN_PICKED, 20, 2}})},  // the pointer placed there moves first
        // A right click, and clicks off the picture, pick nothing; mode 3 ignores the mouse and lets the capture go.
        kRightClick,
        {Press(kView, 20, 5), Release(kView, 20, 120), Picked({}), Move(kView, 20, 20), CaptureIs(kView),
         Send(kView, BVM_SETMODE, BVMODE_INACTIVE), CaptureIs(kNobody), Press(kView, 20, 20), Release(kView, 20, 20),
         Picked({}), DropOn(kView)},
    });
    EXPECT_TRUE(seq::Run(dialog_.get(), table, {WM_COMMAND}));
}

TEST_F(BitmapViews, TheBitmapStaysTheCallersAndOddSizesAndInputDoNotBreakIt) {
    const kelmard::UniqueBitmap mask(CreateBitmap(kWidth, kHeight, 1, 1, nullptr));
    EXPECT_EQ(SendMessageA(view_, BVM_SETMASK, 0, reinterpret_cast<LPARAM>(mask.get())), 0);
    EXPECT_EQ(SendMessageA(view_, BVM_GETBITMAP, 0, 0), reinterpret_cast<LRESULT>(picture_.get()));
    DestroyWindow(view_);
    EXPECT_EQ(GetObjectType(picture_.get()), static_cast<DWORD>(OBJ_BITMAP)) << "the picture lives on";
    EXPECT_EQ(GetObjectType(mask.get()), static_cast<DWORD>(OBJ_BITMAP)) << "the mask lives on";
    // No picture, 1 x 300, 1 x 1, a handle that is no bitmap (its size unreadable) in 0 x 0, 1 x 1 and 128 x 3 views.
    const kelmard::UniqueBitmap strip = Picture(1, 300), pixel = Picture(1, 1);
    const kelmard::UniqueBrush notABitmap(CreateSolidBrush(0));
    const HBITMAP inputs[] = {nullptr, strip.get(), pixel.get(), reinterpret_cast<HBITMAP>(notABitmap.get())};
    for (const SIZE size : {SIZE{0, 0}, SIZE{1, 1}, SIZE{128, 3}}) {
        view_ = Make("WKBmpView", "", 0, kView, 10, 10, size.cx, size.cy);
        for (const HBITMAP input : inputs) {
            SendMessageA(view_, BVM_SETBITMAP, TRUE, reinterpret_cast<LPARAM>(input));
            for (int i = 0; i < 8; ++i) SendMessageA(view_, BVM_ZOOM, TRUE, 0);
            SendMessageA(view_, WM_KEYDOWN, VK_PRIOR, 1);
            for (const UINT m : {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP})  // a pan from the corner
                SendMessageA(view_, m, MK_LBUTTON, m == WM_LBUTTONDOWN ? At(0, 0) : At(9, 9));
            UpdateWindow(view_);
            const Pick got = PickAt((size.cx - 1) / 2, size.cy / 2);  // where a picture is drawn, centred
            const bool shown = input && input != inputs[3] && size.cx > 0;
            EXPECT_EQ(got.code >= 0, shown) << size.cx << 'x' << size.cy;
            EXPECT_TRUE(!shown || (got.x == 0 && got.y >= 0 && got.y < 300)) << got.y;
        }
        SendMessageA(view_, BVM_SETBITMAP, FALSE, reinterpret_cast<LPARAM>(pixel.get()));
        SetWindowPos(view_, nullptr, 0, 0, 40, 40, SWP_NOMOVE | SWP_NOZORDER);  // a resize lays out anew
        EXPECT_EQ(PickAt(20, 20).code, BVN_PICKED) << "the 1 x 1 picture at 40 x 40";
        DestroyWindow(view_);
    }
}

}  // namespace
