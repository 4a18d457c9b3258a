// "WKRange" driven by messages, keys with a real Shift state, drags of each
// part and drags cut short, as message sequences; its paint.
#include "support.h"

namespace {

using namespace ctl_test;
using namespace seq;
namespace sk = kelmard::skin;

constexpr int kRange = 1, kOther = 2;

// A placed cursor reports a move of its own before the posted one.
Msg Moved(int start) { return Many({WM_HSCROLL, kRange, RGN_TRACKING, start}); }
Msg Changed(int start) { return {WM_HSCROLL, kRange, RGN_CHANGED, start}; }
const Msg kEndTrack{WM_HSCROLL, kRange, RGN_ENDTRACK, 0};

Step Answer(UINT message, LRESULT value) { return Send(kRange, message).Answers(value); }
Table Selects(int start, int length) { return {Answer(RGM_GETSTART, start), Answer(RGM_GETLENGTH, length)}; }
Table Select(int start, int length) { return {Send(kRange, RGM_SETSTART, 0, start), Send(kRange, RGM_SETLENGTH, 0, length)}; }

Step HoldShift(bool down) {
    return Do(down ? "hold Shift" : "let Shift go", [down](HWND) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    });
}

// 200 x 24, the large strip: the start thumb's left edge at 3 + 1.7 start,
// the end thumb's at 15 + 1.7 end; a button to take the capture.
class Ranges : public ControlDialog {
protected:
    void SetUp() override {
        ControlDialog::SetUp();
        range_ = Make("WKRange", "", WS_TABSTOP, kRange, 10, 10, 200, 24);
        Make("Button", "other", BS_PUSHBUTTON, kOther, 10, 60, 80, 24);
    }
    HWND range_ = nullptr;
};

TEST_F(Ranges, AnswersItsMessagesWithoutNotifying) {
    EXPECT_TRUE(Run(Then({
        {Answer(WM_GETDLGCODE, DLGC_WANTARROWS), Send(kRange, RGM_SETMINLENGTH, 1, 500).Answers(100),
         Answer(RGM_GETMINLENGTH, 100), Send(kRange, RGM_SETMINLENGTH, 1, 0)},
        Select(30, 10),
        {Send(kRange, RGM_SETMINLENGTH, 1, 25).Answers(25)},  // a longer minimum moves the end out
        Selects(30, 25),
        // The range's setters recompute the page size and clamp nothing.
        {Send(kRange, RGM_SETRANGEMAX, 1, 5), Answer(RGM_GETPAGESIZE, 1), Send(kRange, RGM_SETRANGEMIN, 0, -30),
         Send(kRange, RGM_SETRANGEMAX, 0, 0), Answer(RGM_GETPAGESIZE, 3), Answer(RGM_GETRANGEMIN, -30),
         Answer(RGM_GETRANGEMAX, 0)},
        Selects(30, 25),
        {Send(kRange, RGM_SETPAGESIZE, 0, 7).Answers(0), Answer(RGM_GETPAGESIZE, 7),
         Send(kRange, RGM_SETLINESIZE, 0, 2).Answers(0), Answer(RGM_GETLINESIZE, 2)},
    })));
}

TEST_F(Ranges, KeysMoveTheSelectionOrWithShiftTheEnd) {
    EXPECT_TRUE(Run(Then({
        Select(80, 15),
        {Focus(kRange), HoldShift(true), KeyDown(VK_END).Sees({Changed(80)}), KeyUp(VK_END).Sees({kEndTrack}),
         HoldShift(false)},
        Selects(80, 20),
        {KeyDown(VK_END).Sees({Changed(80)}), KeyDown(VK_HOME).Sees({Changed(0)}), KeyUp(VK_HOME).Sees({kEndTrack})},
        Selects(0, 20),
        {KeyDown(VK_HOME), KeyUp(VK_HOME)},  // at the minimum: no report, no end of a track
        {KeyDown(VK_NEXT).Sees({Changed(20)}), KeyRepeat(VK_RIGHT).Sees({Changed(21)}),
         KeyDown(VK_UP).Sees({Changed(20)}), KeyUp(VK_UP).Sees({kEndTrack})},
        Selects(20, 20),
        {Send(kRange, RGM_SETMINLENGTH, 0, 15), HoldShift(true), KeyDown(VK_PRIOR).Sees({Changed(20)}),
         KeyUp(VK_PRIOR).Sees({kEndTrack}), HoldShift(false)},
        Selects(20, 15),
    })));
}

// Start 10, end 20, at least 5 apart: each thumb stops at 15; the bar keeps its length at the range's ends.
TEST_F(Ranges, DragsMoveEachPartWithinTheMinimumLengthAndTheRange) {
    EXPECT_TRUE(Run(Then({
        Select(10, 10),
        {Send(kRange, RGM_SETMINLENGTH, 0, 5), Press(kRange, 25, 10), CaptureIs(kRange), FocusIs(kRange),
         Move(kRange, 39, 10).Sees({Moved(15)}), Release(kRange, 39, 10).Sees({Optional(Moved(15)), Changed(15), kEndTrack}),
         CaptureIs(kNobody)},
        Selects(15, 5),
        Select(10, 10),
        {Press(kRange, 55, 10), Move(kRange, 42, 10).Sees({Moved(10)}),
         Release(kRange, 42, 10).Sees({Optional(Moved(10)), Changed(10), kEndTrack})},
        Selects(10, 5),
        {Press(kRange, 35, 10), Move(kRange, 300, 10).Sees({Moved(95)}), Move(kRange, -50, 10).Sees({Moved(0)}),
         Release(kRange, -50, 10).Sees({Optional(Moved(0)), Changed(0), kEndTrack})},
        Selects(0, 5),
        Click(kRange, 150, 10, {kEndTrack}),  // off the parts: no drag, the release only ends the track
        {Release(kRange, 150, 10)},           // a release without a press: nothing
    })));
}

TEST_F(Ranges, ADragCutShortEndsAsAtTheButtonUp) {
    EXPECT_TRUE(Run(Then({
        Select(10, 10),
        {Press(kRange, 25, 10), Move(kRange, 34, 10).Sees({Moved(15)}),
         KeyDown(VK_RIGHT), Answer(RGM_GETSTART, 15),  // keys wait for the drag's end
         Do("capture to #2", [](HWND d) { SetCapture(GetDlgItem(d, kOther)); }).Sees({Changed(15), kEndTrack}),
         Do("release the capture", [](HWND) { ReleaseCapture(); }), Release(kRange, 34, 10),
         Press(kRange, 40, 10), Send(kRange, WM_CANCELMODE).Sees({Changed(15), kEndTrack}), CaptureIs(kNobody),
         Move(kRange, 100, 10), Release(kRange, 100, 10), Press(kRange, 55, 10),
         Do("disable", [](HWND d) { EnableWindow(GetDlgItem(d, kRange), FALSE); }).Sees({Changed(15), kEndTrack}),
         CaptureIs(kNobody)},
        Selects(15, 5),
    })));
}

// Thumb cell `cell` of row `row` (0 start, 1 end) of strip `index` at `x`,
// without the channel's first and last rows (where the focus rectangle goes).
int DiffersFromCell(const kpicture::Image& shot, int x, int index, int row, int cell) {
    const sk::ThumbPlace& t = sk::kThumbs[index];
    const int inset = std::clamp((shot.height - t.thickness) / 2, 0, 3);
    return DiffersFromSkin(shot, x, inset + 1, t.x + cell * t.length, t.y + row * t.thickness + 1, t.length,
                           t.thickness - 2);
}

TEST_F(Ranges, PaintsTheStripsThumbCellsAndBar) {
    const sk::ThumbPlace& large = sk::kThumbs[sk::kRangeLargeThumb];
    const int caps = large.x + 3 * large.length;
    SendMessageA(range_, RGM_SETSTART, TRUE, 10);
    SendMessageA(range_, RGM_SETLENGTH, TRUE, 50);  // the thumbs at 20 and 117
    kpicture::Image shot = Shot(range_);
    EXPECT_EQ(DiffersFromCell(shot, 117, sk::kRangeLargeThumb, 1, 1), 0) << "end thumb";
    EXPECT_EQ(DiffersFromSkin(shot, 195, 0, caps + large.endCap, large.y, large.endCap, large.thickness), 0) << "cap";
    EXPECT_EQ(DiffersFromSkin(shot, 70, 0, caps + 2 * large.endCap, large.y + large.thickness, 1, large.thickness), 0)
        << "the bar piece, stretched";

    ASSERT_TRUE(Run({Press(kRange, 25, 10)}));
    shot = Shot(range_);
    EXPECT_EQ(DiffersFromCell(shot, 20, sk::kRangeLargeThumb, 0, 2), 0) << "the dragged thumb pressed";
    EXPECT_EQ(DiffersFromCell(shot, 117, sk::kRangeLargeThumb, 1, 1), 0) << "the other not";
    ASSERT_TRUE(Run({Release(kRange, 25, 10).Sees({Optional(Moved(10)), Changed(10), kEndTrack}),
                     KeyDown(VK_NEXT).Sees({Changed(30)})}));
    shot = kpicture::CaptureWindow(range_, true);  // as the key's repaint left it
    EXPECT_EQ(DiffersFromCell(shot, 54, sk::kRangeLargeThumb, 0, 1), 0) << "start thumb at 30";
    EXPECT_EQ(DiffersFromSkin(shot, 22, 1, caps + 2 * large.endCap, large.y + 1, 1, large.thickness - 2), 0)
        << "the channel where it was";

    EnableWindow(range_, FALSE);
    EXPECT_EQ(DiffersFromCell(Shot(range_), 151, sk::kRangeLargeThumb, 1, 0), 0) << "disabled";
    HWND small = Make("WKRange", "", 0, 3, 10, 100, 200, 20);
    EXPECT_EQ(DiffersFromCell(Shot(small), 187, sk::kRangeSmallThumb, 1, 1), 0) << "20 high: the small strip";
}

}  // namespace
