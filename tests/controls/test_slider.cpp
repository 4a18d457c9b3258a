// "WKSlider" driven by messages, keys (also against the system's trackbar),
// drags, held presses and drags cut short, as message sequences; its paint.
#include <windows.h>
#include <commctrl.h>

#include "support.h"

namespace {

using namespace ctl_test;
using namespace seq;
namespace sk = kelmard::skin;

constexpr int kId = 9, kVertId = 10;

Msg Scroll(int code, int value = 0) { return {WM_HSCROLL, kId, code, value}; }
Msg VScroll(int code, int value = 0) { return {WM_VSCROLL, kVertId, code, value}; }
Step Pos(LRESULT position) { return Send(kId, TBM_GETPOS).Answers(position); }
Step Hold(DWORD ms) { return Do("hold " + std::to_string(ms) + " ms", [ms](HWND d) { Pump(d, ms); }); }
Table Keys(UINT vk, int code) { return {KeyDown(vk).Sees({Scroll(code)}), KeyUp(vk).Sees({Scroll(TB_ENDTRACK)})}; }

// 200 x 24: the large strip at y 2..22; 172 pixels of travel over 0..100 from x 3.
class Sliders : public ControlDialog {
protected:
    HWND Slider(DWORD style = 0) { return Make("WKSlider", "", style, kId, 10, 10, 200, 24); }
};

TEST_F(Sliders, KeysStepAsOnTheSystemsTrackbar) {
    InitCommonControls();
    for (bool skinned : {true, false}) {
        SCOPED_TRACE(skinned ? "skinned" : "system");
        TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 60);
        t.Add("msctls_trackbar32", "", kId, WS_TABSTOP, 10, 10, 150, 16);
        dialog_.reset(OpenDialog(t, skinned));
        ASSERT_TRUE(dialog_);
        EXPECT_EQ(ClassOf(Item(kId)), skinned ? "WKSlider" : "msctls_trackbar32");
        const Table keys = Then({{Send(kId, TBM_SETPOS, TRUE, 50), Focus(kId)}, Keys(VK_RIGHT, TB_LINEDOWN),
                                 {Pos(51)}, Keys(VK_UP, TB_LINEUP), Keys(VK_NEXT, TB_PAGEDOWN), {Pos(70)},
                                 Keys(VK_PRIOR, TB_PAGEUP), {Pos(50)}, Keys(VK_HOME, TB_TOP), {Pos(0)},
                                 Keys(VK_END, TB_BOTTOM), {Pos(100)},
                                 {Send(kId, WM_GETDLGCODE).Answers(DLGC_WANTARROWS, DLGC_WANTARROWS)}});
        // The system's trackbar also asks its parent about custom drawing.
        EXPECT_TRUE(seq::Run(dialog_.get(), keys, {WM_NOTIFY}));
    }
}

TEST_F(Sliders, ProgramsSetRangeAndPositionAndKeysClampAtTheEnds) {
    HWND s = Slider();
    auto rectIs = [s](UINT message, RECT want) {
        return Do("rectangle of message " + std::to_string(message), [s, message, want](HWND) {
            RECT got{};
            EXPECT_EQ(SendMessageA(s, message, 0, reinterpret_cast<LPARAM>(&got)), 0);
            EXPECT_TRUE(EqualRect(&got, &want)) << got.left << ',' << got.top << ',' << got.right << ',' << got.bottom;
            EXPECT_EQ(SendMessageA(s, message, 0, 0), 0) << "no rectangle to fill";
        });
    };
    EXPECT_TRUE(Run({rectIs(TBM_GETCHANNELRECT, {0, 2, 200, 22}), rectIs(TBM_GETTHUMBRECT, {3, 2, 25, 22}),
                     Send(kId, TBM_SETRANGE, FALSE, MAKELPARAM(0xFFFF, 5)), Send(kId, TBM_GETRANGEMIN).Answers(-1),
                     Send(kId, TBM_GETRANGEMAX).Answers(5), Send(kId, TBM_GETPAGESIZE).Answers(1),
                     Send(kId, TBM_SETRANGEMIN, FALSE, 0), Send(kId, TBM_SETRANGEMAX, TRUE, 100),
                     Send(kId, TBM_GETPAGESIZE).Answers(10), Send(kId, TBM_SETPAGESIZE, 0, 25).Answers(0),
                     Send(kId, TBM_SETLINESIZE, 0, 5).Answers(0), Send(kId, TBM_GETLINESIZE).Answers(5),
                     Send(kId, TBM_SETPOS, TRUE, 1000000), Pos(1000000), Focus(kId),
                     KeyDown(VK_LEFT).Sees({Scroll(TB_LINEUP)}), Pos(100),
                     KeyDown(VK_END).Sees({Scroll(TB_BOTTOM)}), KeyRepeat(VK_END).Sees({Scroll(TB_BOTTOM)}),
                     KeyUp(VK_END).Sees({Scroll(TB_ENDTRACK)}), KeyUp(VK_END),
                     KeyDown(VK_PRIOR).Sees({Scroll(TB_PAGEUP)}), Pos(75),
                     KeyDown('A'), KeyUp('A').Sees({Scroll(TB_ENDTRACK)}), KeyDown('A'), KeyUp('A')}));
}

TEST_F(Sliders, DraggingTheThumbTracksAndPinsAtTheEnds) {
    Slider();
    Make("WKSlider", "", TBS_VERT, kVertId, 220, 10, 30, 100);  // thumb at y 6..22, 72 pixels of travel
    EXPECT_TRUE(Run({Press(kId, 10, 12), CaptureIs(kId), FocusIs(kId),
                     Move(kId, 97, 12).Sees({Many(Scroll(TB_THUMBTRACK, 50))}),  // 87 / 1.72 past the grab
                     Move(kId, 420, 40).Sees({Many(Scroll(TB_THUMBTRACK, 100))}),
                     Release(kId, 420, 40)
                         .Sees({Optional(Many(Scroll(TB_THUMBTRACK, 100))), Scroll(TB_THUMBPOSITION, 100),
                                Scroll(TB_ENDTRACK)}),
                     CaptureIs(kNobody), Pos(100), Release(kId, 50, 12),  // a release without a press: nothing
                     Press(kVertId, 15, 10), Move(kVertId, 15, 47).Sees({Many(VScroll(TB_THUMBTRACK, 51))}),
                     Release(kVertId, 15, 47)
                         .Sees({Optional(Many(VScroll(TB_THUMBTRACK, 51))), VScroll(TB_THUMBPOSITION, 51),
                                VScroll(TB_ENDTRACK)})}));
}

// Held beside the thumb, pages every 100 ms until it passes the value under the pointer.
TEST_F(Sliders, AHeldPressPagesTowardThePointer) {
    Slider();
    const Msg anyPageUp = Optional(Many(Scroll(TB_PAGEUP)));
    EXPECT_TRUE(Run({Send(kId, TBM_SETPOS, TRUE, 80),
                     Press(kId, 55, 12).Sees({Many(Scroll(TB_PAGEUP))}),  // the value 30 under the pointer
                     Hold(450).Sees({anyPageUp}), Pos(20), Hold(250),
                     Move(kId, 2, 12).Sees({anyPageUp}), Hold(450).Sees({anyPageUp}), Pos(0),
                     // At the minimum, the pointer before it: the ticks still page, the position stays.
                     Move(kId, -40, 12).Sees({anyPageUp}), Hold(300).Sees({Many(Scroll(TB_PAGEUP))}), Pos(0),
                     // A tick already queued may arrive before the release is read.
                     Release(kId, -40, 12).Sees({anyPageUp, Scroll(TB_ENDTRACK)}), Hold(250)}));
}

TEST_F(Sliders, LosingTheCaptureEndsADragOrAHeldPress) {
    Slider();
    EXPECT_TRUE(Run({Press(kId, 10, 12), Move(kId, 97, 12).Sees({Many(Scroll(TB_THUMBTRACK, 50))}),
                     Do("capture to the dialog", [](HWND d) { SetCapture(d); })
                         .Sees({Scroll(TB_THUMBPOSITION, 50), Scroll(TB_ENDTRACK)}),
                     Do("release the capture", [](HWND) { ReleaseCapture(); }), Release(kId, 97, 12),
                     Press(kId, 115, 12).Sees({Scroll(TB_PAGEDOWN)}),  // the value 65 under the pointer
                     Send(kId, WM_CANCELMODE).Sees({Scroll(TB_ENDTRACK)}), CaptureIs(kNobody), Hold(300),
                     Release(kId, 115, 12), Pos(70),
                     Press(kId, 125, 12), Do("disable", [](HWND d) { EnableWindow(GetDlgItem(d, kId), FALSE); })
                                              .Sees({Scroll(TB_THUMBPOSITION, 70), Scroll(TB_ENDTRACK)}),
                     CaptureIs(kNobody)}));
}

// Pixels of a slider's client that differ from cell `press` of thumb strip
// `strip` at (x, y), or from its end caps at the channel's ends.
int DiffersFromStrip(HWND w, int strip, int press, int x, int y, int channelLength) {
    const sk::ThumbPlace& t = sk::kThumbs[strip];
    const kpicture::Image shot = Shot(w);
    auto differs = [&](int at, int from, int length) {
        return t.vertical ? DiffersFromSkin(shot, x, at, t.x, t.y + from, t.thickness, length)
                          : DiffersFromSkin(shot, at, y, t.x + from, t.y, length, t.thickness);
    };
    const int caps = 3 * t.length;
    return differs(t.vertical ? y : x, press * t.length, t.length) + differs(0, caps, t.endCap) +
           differs(channelLength - t.endCap, caps + t.endCap, t.endCap);
}

TEST_F(Sliders, PaintsTheSkinsStripsByStateAndSize) {
    HWND large = Slider();
    HWND small = Make("WKSlider", "", 0, 2, 10, 40, 200, 19);
    HWND off = Make("WKSlider", "", WS_DISABLED, 3, 10, 70, 200, 24);
    HWND vert = Make("WKSlider", "", TBS_VERT, 4, 220, 10, 30, 100);
    for (HWND s : {large, small, off, vert}) SendMessageA(s, TBM_SETPOS, TRUE, 50);  // the thumb clear of the caps
    EXPECT_EQ(DiffersFromStrip(small, 0, 1, 89, 1, 200), 0) << "19 pixels high: the small strip";
    EXPECT_EQ(DiffersFromStrip(off, 1, 0, 89, 2, 200), 0) << "disabled";
    EXPECT_EQ(DiffersFromStrip(vert, 3, 1, 2, 6 + 36, 100), 0);
    const sk::ThumbPlace& t = sk::kThumbs[1];
    EXPECT_EQ(DiffersFromSkin(Shot(large), 40, 2, t.x + 3 * t.length + 2 * t.endCap, t.y, 1, t.thickness), 0)
        << "the middle, stretched";

    SendMessageA(large, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(95, 12));
    SetFocus(nullptr);  // the press took the focus: its rectangle would cover the cells' edges
    EXPECT_EQ(DiffersFromStrip(large, 1, 2, 89, 2, 200), 0) << "dragged";
    SendMessageA(large, WM_LBUTTONUP, 0, MAKELPARAM(95, 12));
    EXPECT_EQ(DiffersFromStrip(large, 1, 1, 89, 2, 200), 0);
    SetFocus(large);
    EXPECT_GT(DiffersFromStrip(large, 1, 1, 89, 2, 200), 0) << "the focus rectangle around the channel";
}

}  // namespace
