// "WKScrollBar" in dialogs written for the system's scroll bar: the SBM_*
// answers (also against the system's control), a scroll handler written for
// the system's bar driven by arrows, page areas, thumb drags, held presses and
// lost captures, and bars changed or destroyed from inside their own
// notifications.
#include <windows.h>

#include <functional>

#include "support.h"

namespace {

using namespace ctl_test;
using namespace seq;
using testing_support::kScrollBarAtom;

constexpr int kVert = 21, kHorz = 22;
constexpr int kLine = 1, kPage = 10;

// What a scroll handler does inside a notification, after stepping.
std::function<void(HWND dialog, HWND bar, int code)>& DuringNotification() {
    static std::function<void(HWND, HWND, int)> action;
    return action;
}

// The scroll handler as programs write it for the system's bar: read the
// position, step it, set it back with redraw.
INT_PTR CALLBACK ScrollingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_VSCROLL && message != WM_HSCROLL) return FALSE;
    const HWND bar = reinterpret_cast<HWND>(lParam);
    int pos = GetScrollPos(bar, SB_CTL);
    switch (LOWORD(wParam)) {
    case SB_LINEUP: pos -= kLine; break;
    case SB_LINEDOWN: pos += kLine; break;
    case SB_PAGEUP: pos -= kPage; break;
    case SB_PAGEDOWN: pos += kPage; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = HIWORD(wParam); break;
    default: break;
    }
    SetScrollPos(bar, SB_CTL, pos, TRUE);
    if (auto& action = DuringNotification()) action(dialog, bar, LOWORD(wParam));
    return TRUE;
}

// A dialog with a vertical bar (120 pixels high) and a horizontal one (160
// wide), from the system's ScrollBar atom, range 0..100, page 10.
HWND OpenBars(bool skinned) {
    TemplateBuilder t = DialogTemplate(WS_POPUP | WS_VISIBLE, 200, 120);
    t.Count().Item(WS_CHILD | WS_VISIBLE | SBS_VERT, 10, 10, 10, 80, kVert).Ordinal(kScrollBarAtom).String("").NoData();
    t.Count().Item(WS_CHILD | WS_VISIBLE | SBS_HORZ, 40, 10, 120, 10, kHorz).Ordinal(kScrollBarAtom).String("").NoData();
    if (!Library()) return nullptr;
    const HWND d = skinned ? WKCreateDialogIndirectParam(Self(), Get(t), nullptr, ScrollingProc, 0)
                           : CreateDialogIndirectParamA(Self(), Get(t), nullptr, ScrollingProc, 0);
    if (!d) return nullptr;
    SetWindowPos(d, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    for (int id : {kVert, kHorz}) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, kPage, 0, 0};
        SetScrollInfo(GetDlgItem(d, id), SB_CTL, &info, TRUE);
    }
    Pump(d, 50);
    return d;
}

class ScrollBars : public ::testing::Test {
protected:
    void SetUp() override {
        DuringNotification() = nullptr;
        dialog_.reset(OpenBars(true));
        ASSERT_TRUE(dialog_);
        ASSERT_EQ(ClassOf(Item(kVert)), "WKScrollBar");
        Size(kVert), Size(kHorz);
    }
    void TearDown() override {
        DuringNotification() = nullptr;
        dialog_.reset();
        Pump();
    }
    HWND Item(int id) const { return GetDlgItem(dialog_.get(), id); }
    // The bar's client size in pixels (dialog units differ by font).
    void Size(int id) {
        RECT r;
        GetClientRect(Item(id), &r);
        (id == kVert ? vert_ : horz_) = r;
    }
    testing::AssertionResult Run(const Table& table) { return seq::Run(dialog_.get(), table); }
    // A point along the vertical bar at `y`, in its middle across.
    int MidX() const { return vert_.right / 2; }
    int Bottom() const { return vert_.bottom; }
    kelmard::UniqueWindow dialog_;
    RECT vert_{}, horz_{};
};

Msg V(int code, int value = kAny) { return {WM_VSCROLL, kVert, code, value}; }
Msg H(int code, int value = kAny) { return {WM_HSCROLL, kHorz, code, value}; }
Step Pos(int id, LRESULT position) { return Send(id, SBM_GETPOS).Answers(position); }
Step Hold(DWORD ms) { return Do("hold " + std::to_string(ms) + " ms", [ms](HWND d) { Pump(d, ms); }); }

TEST(ScrollBarMessages, AnswerAsTheSystemsScrollBar) {
    for (bool skinned : {false, true}) {
        SCOPED_TRACE(skinned ? "skinned" : "system");
        kelmard::UniqueWindow d(OpenBars(skinned));
        ASSERT_TRUE(d);
        EXPECT_EQ(ClassOf(GetDlgItem(d.get(), kVert)), skinned ? "WKScrollBar" : "ScrollBar");
        auto info = [](UINT mask, int pos, UINT page = 0, int min = 0, int max = 0) {
            SCROLLINFO i{sizeof i, mask, min, max, page, pos, 0};
            return i;
        };
        static SCROLLINFO set = info(SIF_POS, 95), bad = info(SIF_POS, 5);
        bad.cbSize = 3;
        auto readBack = Do("SBM_GETSCROLLINFO", [](HWND dlg) {
            SCROLLINFO got{sizeof got, SIF_ALL};
            EXPECT_EQ(SendDlgItemMessageA(dlg, kVert, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&got)), TRUE);
            EXPECT_EQ(got.nMin, 0);
            EXPECT_EQ(got.nMax, 100);
            EXPECT_EQ(got.nPage, 10u);
            EXPECT_EQ(got.nPos, 91);
            EXPECT_EQ(got.nTrackPos, 91) << "not tracking: the position";
            int lo = -1, hi = -1;
            SendDlgItemMessageA(dlg, kVert, SBM_GETRANGE, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
            EXPECT_EQ(lo, 0);
            EXPECT_EQ(hi, 100);
        });
        EXPECT_TRUE(seq::Run(d.get(), {Send(kVert, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&set)).Answers(91),
                                       Pos(kVert, 91), readBack,
                                       Send(kVert, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&bad)),
                                       Pos(kVert, 91), Send(kVert, SBM_SETPOS, 40, TRUE).Answers(91), Pos(kVert, 40),
                                       Send(kVert, SBM_SETPOS, -7, FALSE).Answers(40), Pos(kVert, 0),
                                       Send(kVert, SBM_SETRANGE, 10, 20).Answers(0), Pos(kVert, 0),
                                       Send(kVert, SBM_SETPOS, 0, TRUE).Answers(0), Pos(kVert, 10),
                                       Send(kVert, SBM_SETRANGEREDRAW, 0, 5).Answers(0), Pos(kVert, 10),
                                       Send(kVert, SBM_SETPOS, 3, TRUE).Answers(10), Pos(kVert, 0)}));
        if (!skinned) continue;  // the system's bar writes through null pointers
        EXPECT_EQ(SendDlgItemMessageA(d.get(), kVert, SBM_ENABLE_ARROWS, ESB_DISABLE_BOTH, 0), 0) << "not done";
        EXPECT_EQ(SendDlgItemMessageA(d.get(), kVert, SBM_GETSCROLLINFO, 0, 0), FALSE);
        EXPECT_EQ(SendDlgItemMessageA(d.get(), kVert, SBM_GETRANGE, 0, 0), 0);
    }
}

// A handler written for the system's bar steps once per press and repeat.
TEST_F(ScrollBars, ArrowsAndPageAreasStepOnceAndRepeatWhileHeld) {
    const int x = MidX(), down = Bottom() - 3;
    EXPECT_TRUE(Run({Press(kVert, x, down).Sees({V(SB_LINEDOWN, 0)}), Pos(kVert, 1), CaptureIs(kVert),
                     Release(kVert, x, down).Sees({V(SB_ENDSCROLL, 0)}), Pos(kVert, 1), CaptureIs(kNobody),
                     Press(kVert, x, 3).Sees({V(SB_LINEUP, 0)}), Release(kVert, x, 3).Sees({V(SB_ENDSCROLL)}),
                     Pos(kVert, 0),
                     // Held: once at the press, again after 500 ms, then every 50 ms.
                     Press(kVert, x, down).Sees({V(SB_LINEDOWN)}), Hold(350), Pos(kVert, 1),
                     Hold(400).Sees({Many(V(SB_LINEDOWN))}),
                     // Off the arrow the steps stop and the capture stays; back on, they go on.
                     Move(kVert, x + 40, down), Hold(30), Do("no step while off the arrow", [](HWND d) {
                         const LRESULT at = SendDlgItemMessageA(d, kVert, SBM_GETPOS, 0, 0);
                         Pump(d, 200);
                         EXPECT_EQ(SendDlgItemMessageA(d, kVert, SBM_GETPOS, 0, 0), at);
                     }),
                     CaptureIs(kVert), Move(kVert, x, down), Hold(200).Sees({Many(V(SB_LINEDOWN))}),
                     Release(kVert, x, down).Sees({Optional(Many(V(SB_LINEDOWN))), V(SB_ENDSCROLL)})}));
    // A held page press pages until the thumb reaches the pointer, then stops.
    SendMessageA(Item(kVert), SBM_SETPOS, 0, TRUE);
    const int y = Bottom() * 3 / 5;
    EXPECT_TRUE(Run({Press(kVert, x, y).Sees({V(SB_PAGEDOWN)}), Pos(kVert, 10),
                     Hold(1200).Sees({Many(V(SB_PAGEDOWN))}), Release(kVert, x, y).Sees({V(SB_ENDSCROLL)})}));
    const LRESULT paged = SendMessageA(Item(kVert), SBM_GETPOS, 0, 0);
    EXPECT_GE(paged, 30);
    EXPECT_LE(paged, 80) << "paging stopped at the pointer";
}

TEST_F(ScrollBars, ThumbDragsReportTheTrackAndTheDrop) {
    const int x = MidX();
    EXPECT_TRUE(Run({Send(kVert, SBM_SETPOS, 0, TRUE)}));
    // The thumb at position 0 lies right below the up arrow.
    const int arrow = GetSystemMetrics(SM_CYVTHUMB);
    const int onThumb = arrow + 2;
    const int travel = Bottom() - 2 * arrow;  // track pixels for 0..100 (page 10)
    const int to = onThumb + travel / 2;
    EXPECT_TRUE(Run({Press(kVert, x, onThumb).Sees({}), CaptureIs(kVert),
                     Move(kVert, x, to).Sees({Many(V(SB_THUMBTRACK))}),
                     Release(kVert, x, to).Sees({Optional(Many(V(SB_THUMBTRACK))), V(SB_THUMBPOSITION),
                                                 V(SB_ENDSCROLL, 0)}),
                     CaptureIs(kNobody)}));
    const LRESULT dropped = SendMessageA(Item(kVert), SBM_GETPOS, 0, 0);
    EXPECT_GT(dropped, 30);
    EXPECT_LT(dropped, 70);
    // Dragged beyond the bar's end along it: back to where the drag began;
    // sideways away from the bar: still dragged.
    const int thumbX = GetSystemMetrics(SM_CXHTHUMB) + 2, mid = horz_.right / 2;
    EXPECT_TRUE(Run({Press(kHorz, thumbX, 4), Move(kHorz, horz_.right + 30, 4).Sees({Many(H(SB_THUMBTRACK, 0))}),
                     Move(kHorz, mid, 60).Sees({Many(H(SB_THUMBTRACK))}), Release(kHorz, mid, 60)
                         .Sees({Optional(Many(H(SB_THUMBTRACK))), H(SB_THUMBPOSITION), H(SB_ENDSCROLL)})}));
    EXPECT_GT(SendMessageA(Item(kHorz), SBM_GETPOS, 0, 0), 20);
}

TEST_F(ScrollBars, LosingTheCaptureEndsAHeldPress) {
    const int x = MidX(), down = Bottom() - 3;
    EXPECT_TRUE(Run({Press(kVert, x, down).Sees({V(SB_LINEDOWN)}),
                     Do("capture to the dialog", [](HWND d) { SetCapture(d); }).Sees({V(SB_ENDSCROLL)}),
                     Do("release it", [](HWND) { ReleaseCapture(); }), Hold(700), Pos(kVert, 1),
                     Release(kVert, x, down),
                     Press(kVert, x, down).Sees({V(SB_LINEDOWN)}),
                     Send(kVert, WM_CANCELMODE).Sees({V(SB_ENDSCROLL)}), CaptureIs(kNobody), Hold(700),
                     Pos(kVert, 2), Release(kVert, x, down)}));
}

// Bars hidden, resized or destroyed by the handler inside their own
// notification leave no capture, timer or freed element behind.
TEST_F(ScrollBars, ChangedOrDestroyedInsideItsOwnNotification) {
    const int x = MidX(), down = Bottom() - 3;
    DuringNotification() = [](HWND, HWND bar, int code) {
        if (code == SB_LINEDOWN) SetWindowPos(bar, nullptr, 0, 0, 30, 200, SWP_NOMOVE | SWP_NOZORDER);
        if (code == SB_LINEUP) ShowWindow(bar, SW_HIDE);
    };
    EXPECT_TRUE(Run({Press(kVert, x, down).Sees({V(SB_LINEDOWN)}), Hold(600).Sees({Many(V(SB_LINEDOWN))}),
                     Release(kVert, x, down).Sees({Optional(Many(V(SB_LINEDOWN))), V(SB_ENDSCROLL)}),
                     CaptureIs(kNobody), Press(kVert, x, 3).Sees({V(SB_LINEUP)}),
                     Release(kVert, x, 3).Sees({V(SB_ENDSCROLL)})}));
    DuringNotification() = [](HWND, HWND bar, int) { DestroyWindow(bar); };
    ShowWindow(Item(kVert), SW_SHOW);
    EXPECT_TRUE(Run({Press(kVert, x, 3).Sees({V(SB_LINEUP)}), CaptureIs(kNobody), Hold(700)}));
    EXPECT_EQ(Item(kVert), nullptr);
    DuringNotification() = [](HWND, HWND bar, int code) {
        if (code == SB_THUMBPOSITION) DestroyWindow(bar);
    };
    EXPECT_TRUE(Run({Press(kHorz, 3 + GetSystemMetrics(SM_CXHTHUMB), 4), Move(kHorz, 60, 4).Sees({Many(H(SB_THUMBTRACK))}),
                     Release(kHorz, 60, 4).Sees({Optional(Many(H(SB_THUMBTRACK))), H(SB_THUMBPOSITION)}),
                     CaptureIs(kNobody), Hold(100)}));
    EXPECT_EQ(Item(kHorz), nullptr);
}

}  // namespace
