// "WKScrollBar" in dialogs written for the system's scroll bar: the SBM_* and key answers
// (also against the system's control), a handler written for the system's bar driven by
// presses, drags and lost captures, and bars changed or destroyed in their notifications.
#include <windows.h>

#include <functional>

#include "support.h"

namespace {

using namespace ctl_test;
using namespace seq;
using testing_support::kScrollBarAtom;

constexpr int kVert = 21, kHorz = 22;
constexpr int kPage = 10;

std::function<void(HWND bar, int code)> g_during;  // what the handler does after stepping

// The scroll handler as programs write it for the system's bar: read the
// position, step it, set it back with redraw.
INT_PTR CALLBACK ScrollingProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_VSCROLL && message != WM_HSCROLL) return FALSE;
    const HWND bar = reinterpret_cast<HWND>(lParam);
    const int code = LOWORD(wParam), steps[] = {-1, 1, -kPage, kPage};  // SB_LINEUP .. SB_PAGEDOWN
    int pos = GetScrollPos(bar, SB_CTL);
    if (code <= SB_PAGEDOWN) pos += steps[code];
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) pos = HIWORD(wParam);
    SetScrollPos(bar, SB_CTL, pos, TRUE);
    if (g_during) g_during(bar, code);
    return TRUE;
}

// A dialog with a vertical bar and a horizontal one, from the system's
// ScrollBar atom, range 0..100, page 10.
HWND OpenBars(bool skinned) {
    TemplateBuilder t = DialogTemplate(WS_POPUP | WS_VISIBLE, 200, 120);
    t.Count().Item(WS_CHILD | WS_VISIBLE | SBS_VERT, 10, 10, 10, 80, kVert).Ordinal(kScrollBarAtom).String("").NoData();
    t.Count().Item(WS_CHILD | WS_VISIBLE | SBS_HORZ, 40, 10, 120, 10, kHorz).Ordinal(kScrollBarAtom).String("").NoData();
    if (!Library()) return nullptr;
    const HWND d = skinned ? WKCreateDialogIndirectParam(Self(), Get(t), nullptr, ScrollingProc, 0)
                           : CreateDialogIndirectParamA(Self(), Get(t), nullptr, ScrollingProc, 0);
    if (!d) return nullptr;
    SetWindowPos(d, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    const SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, kPage, 0, 0};
    for (int id : {kVert, kHorz}) SetScrollInfo(GetDlgItem(d, id), SB_CTL, &info, TRUE);
    Pump(d, 50);
    return d;
}

Msg V(int code, int value = kAny) { return {WM_VSCROLL, kVert, code, value}; }
Msg H(int code, int value = kAny) { return {WM_HSCROLL, kHorz, code, value}; }
Step Pos(int id, LRESULT position) { return Send(id, SBM_GETPOS).Answers(position); }
Step Hold(DWORD ms) { return Do("hold " + std::to_string(ms) + " ms", [ms](HWND d) { Pump(d, ms); }); }

class ScrollBars : public ::testing::Test {
protected:
    void SetUp() override {
        g_during = nullptr;
        dialog_.reset(OpenBars(true));
        ASSERT_TRUE(dialog_);
        ASSERT_EQ(ClassOf(Item(kVert)), "WKScrollBar");
        RECT r;  // in pixels: dialog units differ by font
        GetClientRect(Item(kVert), &r);
        x_ = r.right / 2, down_ = r.bottom - 3, bottom_ = r.bottom;
    }
    void TearDown() override { g_during = nullptr, dialog_.reset(), Pump(); }
    HWND Item(int id) const { return GetDlgItem(dialog_.get(), id); }
    testing::AssertionResult Run(const Table& table) { return seq::Run(dialog_.get(), table); }
    kelmard::UniqueWindow dialog_;
    int x_ = 0, down_ = 0, bottom_ = 0;  // the vertical bar: across its middle, on its down arrow, its length
};

TEST(ScrollBarMessages, AnswerAsTheSystemsScrollBar) {
    for (bool skinned : {false, true}) {
        SCOPED_TRACE(skinned ? "skinned" : "system");
        kelmard::UniqueWindow d(OpenBars(skinned));
        ASSERT_TRUE(d);
        static SCROLLINFO set{sizeof set, SIF_POS, 0, 0, 0, 95, 0}, bad{3, SIF_POS, 0, 0, 0, 5, 0},
            empty{sizeof empty, SIF_ALL | SIF_DISABLENOSCROLL, 0, 5, 10, 0, 0}, full{sizeof full, SIF_ALL | SIF_DISABLENOSCROLL, 0, 100, 10, 0, 0};
        auto Enabled = [](bool on) {
            return Do(on ? "enabled" : "disabled", [on](HWND dlg) { EXPECT_EQ(IsWindowEnabled(GetDlgItem(dlg, kVert)) != 0, on); });
        };
        auto readBack = Do("SBM_GETSCROLLINFO, SBM_GETRANGE", [](HWND dlg) {
            SCROLLINFO got{sizeof got, SIF_ALL};
            EXPECT_EQ(SendDlgItemMessageA(dlg, kVert, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&got)), TRUE);
            EXPECT_EQ(std::vector<int>({got.nMin, got.nMax, static_cast<int>(got.nPage), got.nPos, got.nTrackPos}),
                      std::vector<int>({0, 100, 10, 91, 91}));
            int lo = -1, hi = -1;
            SendDlgItemMessageA(dlg, kVert, SBM_GETRANGE, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
            EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(0, 100));
        });
        EXPECT_TRUE(seq::Run(d.get(), {
            Send(kVert, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&set)).Answers(91), Pos(kVert, 91), readBack,
            Send(kVert, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&bad)), Pos(kVert, 91),
            Send(kVert, SBM_SETPOS, 40, TRUE).Answers(91), Pos(kVert, 40), Send(kVert, SBM_SETPOS, 40, TRUE).Answers(40),
            Send(kVert, SBM_SETPOS, -7, FALSE).Answers(40),
            Pos(kVert, 0), Send(kVert, SBM_SETRANGE, 10, 20).Answers(0), Pos(kVert, 0),
            Send(kVert, SBM_SETPOS, 0, TRUE).Answers(0), Pos(kVert, 10), Send(kVert, SBM_SETRANGEREDRAW, 0, 5).Answers(0),
            Pos(kVert, 10), Send(kVert, SBM_SETPOS, 3, TRUE).Answers(10), Pos(kVert, 0),
            Send(kVert, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&empty)), Enabled(false),
            Send(kVert, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&full)), Enabled(true),
            Send(kVert, WM_GETDLGCODE).Answers(DLGC_WANTARROWS), Send(kVert, WM_KEYDOWN, VK_NEXT).Sees({V(SB_PAGEDOWN, 0)}),
            Send(kHorz, WM_KEYDOWN, VK_HOME).Sees({H(SB_TOP, 0)}), Send(kHorz, WM_KEYDOWN, 'A').Sees({})}));
        if (!skinned) continue;  // the system's bar writes through null pointers
        EXPECT_EQ(SendDlgItemMessageA(d.get(), kVert, SBM_ENABLE_ARROWS, ESB_DISABLE_BOTH, 0), 0) << "not done";
        EXPECT_EQ(SendDlgItemMessageA(d.get(), kVert, SBM_GETSCROLLINFO, 0, 0), FALSE);
        EXPECT_EQ(SendDlgItemMessageA(d.get(), kVert, SBM_GETRANGE, 0, 0), 0);
    }
}

// The handler steps once per press and repeat (the bar never moves itself):
// again after 500 ms, then every 50 ms; none off the arrow (nothing heard while
// there); a held page area stops at the pointer.
TEST_F(ScrollBars, ArrowsAndPageAreasStepOnceAndRepeatWhileHeld) {
    const int x = x_, down = down_, page = bottom_ * 3 / 5;
    EXPECT_TRUE(Run({Press(kVert, x, down).Sees({V(SB_LINEDOWN, 0)}), Pos(kVert, 1), CaptureIs(kVert),
                     Release(kVert, x, down).Sees({V(SB_ENDSCROLL, 0)}), Pos(kVert, 1), CaptureIs(kNobody),
                     Press(kVert, x, 3).Sees({V(SB_LINEUP, 0)}), Release(kVert, x, 3).Sees({V(SB_ENDSCROLL)}),
                     Pos(kVert, 0), Press(kVert, x, down).Sees({V(SB_LINEDOWN)}), Hold(350), Pos(kVert, 1),
                     Hold(400).Sees({Many(V(SB_LINEDOWN))}), Move(kVert, x + 40, down), Hold(230), CaptureIs(kVert),
                     Move(kVert, x, down).Sees({Optional(Many(V(SB_LINEDOWN)))}), Hold(200).Sees({Many(V(SB_LINEDOWN))}),
                     Release(kVert, x, down).Sees({Optional(Many(V(SB_LINEDOWN))), V(SB_ENDSCROLL)}),
                     Send(kVert, SBM_SETPOS, 0, TRUE), Press(kVert, x, page).Sees({V(SB_PAGEDOWN)}), Pos(kVert, 10),
                     Hold(1200).Sees({Many(V(SB_PAGEDOWN))}), Release(kVert, x, page).Sees({V(SB_ENDSCROLL)})}));
    const LRESULT paged = SendMessageA(Item(kVert), SBM_GETPOS, 0, 0);
    EXPECT_TRUE(paged >= 30 && paged <= 80) << paged << ": paging stops at the pointer";
}

// SB_THUMBPOSITION carries the dropped position.
TEST_F(ScrollBars, ThumbDragsReportTheTrackAndTheDrop) {
    int dropped = -1;
    g_during = [&dropped](HWND bar, int code) {
        if (code == SB_THUMBPOSITION) dropped = GetScrollPos(bar, SB_CTL);
    };
    const int arrow = GetSystemMetrics(SM_CYVTHUMB), onThumb = arrow + 2, to = onThumb + (bottom_ - 2 * arrow) / 2;
    EXPECT_TRUE(Run({Press(kVert, x_, onThumb).Sees({}), CaptureIs(kVert), Move(kVert, x_, to).Sees({Many(V(SB_THUMBTRACK))}),
                     Release(kVert, x_, to).Sees({Optional(Many(V(SB_THUMBTRACK))), V(SB_THUMBPOSITION), V(SB_ENDSCROLL, 0)}),
                     CaptureIs(kNobody)}));
    EXPECT_GT(dropped, 30);
    EXPECT_LT(dropped, 70);
}

// A lost capture or WM_CANCELMODE ends a held press: SB_ENDSCROLL, no repeat.
TEST_F(ScrollBars, LosingTheCaptureEndsAHeldPress) {
    EXPECT_TRUE(Run({Press(kVert, x_, down_).Sees({V(SB_LINEDOWN)}),
                     Do("capture to the dialog", [](HWND d) { SetCapture(d); }).Sees({V(SB_ENDSCROLL)}),
                     Do("release it", [](HWND) { ReleaseCapture(); }), Hold(700), Pos(kVert, 1), Release(kVert, x_, down_),
                     Press(kVert, x_, down_).Sees({V(SB_LINEDOWN)}), Send(kVert, WM_CANCELMODE).Sees({V(SB_ENDSCROLL)}),
                     CaptureIs(kNobody), Hold(700), Pos(kVert, 2), Release(kVert, x_, down_)}));
}

// Bars hidden, resized or destroyed by the handler inside their own
// notification leave no capture, timer or freed element behind.
TEST_F(ScrollBars, ChangedOrDestroyedInsideItsOwnNotification) {
    g_during = [](HWND bar, int code) {
        if (code == SB_LINEDOWN) SetWindowPos(bar, nullptr, 0, 0, 30, 200, SWP_NOMOVE | SWP_NOZORDER);
        if (code == SB_LINEUP) ShowWindow(bar, SW_HIDE);
    };
    EXPECT_TRUE(Run({Press(kVert, x_, down_).Sees({V(SB_LINEDOWN)}), Hold(600).Sees({Many(V(SB_LINEDOWN))}),
                     Release(kVert, x_, down_).Sees({Optional(Many(V(SB_LINEDOWN))), V(SB_ENDSCROLL)}), CaptureIs(kNobody),
                     Press(kVert, x_, 3).Sees({V(SB_LINEUP)}), Release(kVert, x_, 3).Sees({V(SB_ENDSCROLL)})}));
    g_during = [](HWND bar, int) { DestroyWindow(bar); };
    ShowWindow(Item(kVert), SW_SHOW);
    EXPECT_TRUE(Run({Press(kVert, x_, 3).Sees({V(SB_LINEUP)}), CaptureIs(kNobody), Hold(700)}));
    EXPECT_EQ(Item(kVert), nullptr);
    g_during = [](HWND bar, int code) {
        if (code == SB_THUMBPOSITION) DestroyWindow(bar);
    };
    EXPECT_TRUE(Run({Press(kHorz, 3 + GetSystemMetrics(SM_CXHTHUMB), 4), Move(kHorz, 60, 4).Sees({Many(H(SB_THUMBTRACK))}),
                     Release(kHorz, 60, 4).Sees({Optional(Many(H(SB_THUMBTRACK))), H(SB_THUMBPOSITION)}),
                     CaptureIs(kNobody), Hold(100)}));
    EXPECT_EQ(Item(kHorz), nullptr);
}

}  // namespace
