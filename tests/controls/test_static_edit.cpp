// "WKStatic" and "WKEdit" in a test dialog: text kinds painted from the skin,
// the sunken style turned into the skinned edge, every other static kind and
// all editing left to the system's controls, the skinned edit border, and
// dropped files passed to the dialog.
#include <algorithm>
#include <string>

#include "support.h"

namespace {

using namespace ctl_test;
namespace sk = kelmard::skin;

const COLORREF kText = SkinColour(8);

// The box around the pixels near the text colour (empty: right < left).
RECT TextExtent(const kpicture::Image& shot) {
    RECT r{shot.width, shot.height, -1, -1};
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (CountIn(shot, kText, x, y, x + 1, y + 1, 40)) {
                r.left = std::min<LONG>(r.left, x), r.right = std::max<LONG>(r.right, x);
                r.top = std::min<LONG>(r.top, y), r.bottom = std::max<LONG>(r.bottom, y);
            }
    return r;
}

using Statics = ControlDialog;

TEST_F(Statics, TextIsPaintedOnTheSkinAndFollowsEnablingAndNewTexts) {
    HWND label = Make("WKStatic", "MMMM", SS_LEFT, 50, 10, 10, 120, 20);
    HWND off = Make("WKStatic", "MMMM", SS_LEFT | WS_DISABLED, 51, 10, 40, 120, 20);
    const kpicture::Image on = Shot(label), grey = Shot(off);
    EXPECT_EQ(on.rgb(119, 19), kpicture::FromColorRef(SkinColour(1))) << "the skin's face behind the text";
    EXPECT_GT(CountNear(on, kText, 0, 0, 120, 20), 15);
    EXPECT_EQ(CountIn(grey, kText, 0, 0, 120, 20, 30), 0) << "disabled text is embossed";
    EXPECT_GT(CountIn(grey, SkinColour(4), 0, 0, 120, 20, 16), 10);

    EnableWindow(off, TRUE);  // repainted at once, no message pumped
    EXPECT_GT(CountNear(kpicture::CaptureWindow(off, true), kText, 0, 0, 120, 20), 15);

    // The system static paints a new text at once in its own look; the
    // skinned one follows.
    SetWindowTextA(label, "");
    Pump(dialog_);
    EXPECT_EQ(CountIn(kpicture::CaptureWindow(label, true), SkinColour(1), 0, 0, 120, 20), 120 * 20);
}

TEST_F(Statics, StyleChoosesAlignmentAndFollowsStyleChanges) {
    HWND top = Make("WKStatic", "Ag", SS_LEFT, 50, 10, 10, 120, 40);
    HWND centred = Make("WKStatic", "Ag", SS_LEFT | SS_CENTERIMAGE, 51, 10, 60, 120, 40);
    const RECT a = TextExtent(Shot(top)), b = TextExtent(Shot(centred));
    ASSERT_GE(a.right, a.left);
    ASSERT_GE(b.right, b.left);
    EXPECT_LT(a.bottom, 20) << "at the top";
    EXPECT_LT(a.left, 10);
    EXPECT_NEAR((b.top + b.bottom) / 2, 20, 4) << "SS_CENTERIMAGE centres one line";
    SetWindowLongA(top, GWL_STYLE, (GetWindowLongA(top, GWL_STYLE) & ~SS_TYPEMASK) | SS_RIGHT);
    const RECT c = TextExtent(Shot(top));
    EXPECT_GT(c.left, 60) << "the new style's alignment";
}

TEST_F(Statics, AFontGivenToTheStaticIsTheOnePainted) {
    HWND s = Make("WKStatic", "Ag", SS_LEFT, 50, 10, 10, 160, 60);
    const RECT small = TextExtent(Shot(s));
    HFONT big = CreateFontA(-36, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    ASSERT_NE(big, nullptr);
    SendMessageA(s, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
    EXPECT_EQ(SendMessageA(s, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(big));
    const RECT large = TextExtent(Shot(s));
    EXPECT_GT(large.bottom - large.top, 2 * (small.bottom - small.top)) << "drawn with the static's own font";
    DestroyWindow(s);
    DeleteObject(big);
}

TEST_F(Statics, OtherKindsAreThoseOfTheSystemStaticAndDropsGoToTheDialog) {
    for (DWORD kind : {DWORD(SS_BLACKFRAME), DWORD(SS_ETCHEDHORZ), DWORD(SS_GRAYRECT)}) {
        HWND ours = Make("WKStatic", "", kind, 50, 10, 10, 100, 30);
        HWND system = Make("STATIC", "", kind, 51, 120, 10, 100, 30);
        EXPECT_EQ(Shot(ours).pixels, Shot(system).pixels) << "kind " << kind;
        EnableWindow(ours, FALSE);
        EnableWindow(system, FALSE);
        EXPECT_EQ(Shot(ours).pixels, Shot(system).pixels) << "disabled kind " << kind;
        DestroyWindow(ours);
        DestroyWindow(system);
    }
    HWND icon = Make("WKStatic", "", SS_ICON, 52, 10, 50, 40, 40);
    const HICON shown = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(shown), 0);
    EXPECT_EQ(SendMessageA(icon, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(shown));
    ExpectDropsGoToTheDialog(Make("WKStatic", "drop here", SS_LEFT, 53, 10, 100, 120, 20));
}

// A bordered static, edit and sunken static from a template; OK to tab from.
class Edits : public ControlDialog {
protected:
    void SetUp() override {
        ControlDialog::SetUp();
        TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 100, "edits");
        t.Add("WKEdit", "hello", 30, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 4, 4, 80, 12);
        t.Add("WKEdit", "edge", 32, ES_AUTOHSCROLL | WS_TABSTOP, 4, 24, 80, 12, WS_EX_CLIENTEDGE);
        t.Add("WKStatic", "", 33, SS_LEFT | SS_SUNKEN, 4, 44, 80, 12);
        t.Add("WKButton", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 24, 50, 14);
        Open(t);
    }
    std::string Text(int id) const {
        char buffer[64] = "";
        GetDlgItemTextA(dialog_, id, buffer, sizeof buffer);
        return buffer;
    }
};

TEST_F(Edits, WithoutAClientEdgeAnEditLooksLikeTheSystemEdit) {
    // Made here, not from the template: the dialog manager gives a bordered
    // edit of any class the client edge instead.
    HWND ours = Make("WKEdit", "hello", ES_AUTOHSCROLL | WS_BORDER, 40, 10, 90, 120, 22);
    HWND system = Make("EDIT", "hello", ES_AUTOHSCROLL | WS_BORDER, 41, 10, 125, 120, 22);
    RedrawWindow(ours, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    RedrawWindow(system, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    const kpicture::Image a = kpicture::CaptureWindow(ours), b = kpicture::CaptureWindow(system);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(Get(ours, WM_GETDLGCODE), Get(system, WM_GETDLGCODE));
}

// The skinned edge of an edit (drawn again on activation) and of a sunken static.
TEST_F(Edits, TheSkinnedEdgeIsDrawnOverTheSystemsAndOnActivation) {
    const sk::FramePlace& f = sk::kFrames[sk::kClientEdgeFrame];
    EXPECT_FALSE(GetWindowLongA(Item(33), GWL_STYLE) & SS_SUNKEN);
    EXPECT_TRUE(GetWindowLongA(Item(33), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    for (int id : {32, 33}) {
        HWND w = Item(id);
        RECT r;
        GetWindowRect(w, &r);
        const int width = r.right - r.left, height = r.bottom - r.top;
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        kpicture::Image shot = kpicture::CaptureWindow(w);
        EXPECT_EQ(DiffersFromSkin(shot, 0, 0, f.x, f.y, 2, 2), 0) << id;
        EXPECT_EQ(DiffersFromSkin(shot, width - 2, height - 2, f.x + 2, f.y + 2, 2, 2), 0) << id;
        if (id != 32) continue;
        // Paint over the border, then activation draws it again.
        HDC dc = GetWindowDC(w);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT all{0, 0, width, height};
        FrameRect(dc, &all, red);
        DeleteObject(red);
        ReleaseDC(w, dc);
        ASSERT_GT(CountIn(kpicture::CaptureWindow(w), RGB(255, 0, 0), 0, 0, width, height), 0);
        EXPECT_EQ(SendMessageA(w, WM_NCACTIVATE, TRUE, 0), 0);
        shot = kpicture::CaptureWindow(w);
        EXPECT_EQ(CountIn(shot, RGB(255, 0, 0), 0, 0, width, height), 0);
        EXPECT_EQ(DiffersFromSkin(shot, 0, 0, f.x, f.y, 2, 2), 0);
    }
}

TEST_F(Edits, EditingAndNotificationsAreTheSystemEdits) {
    SetFocus(Item(IDOK));
    Pump(dialog_);
    // Tab from OK, the last stop, wraps to the skinned edit and selects its text.
    Post(Item(IDOK), WM_KEYDOWN, VK_TAB, 1);
    ASSERT_EQ(GetFocus(), Item(30)) << "Tab wraps to the first edit";
    DWORD start = 1, end = 0;
    SendMessageA(Item(30), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u) << "the dialog selected the whole text";
    SendMessageA(Item(30), EM_LIMITTEXT, 3, 0);
    for (char c : {'x', 'y', 'a', 'b'}) PostMessageA(Item(30), WM_CHAR, c, 1);
    Pump(dialog_);
    EXPECT_EQ(Text(30), "xya");
    EXPECT_GE(Log().Count(30, EN_CHANGE), 3);
    EXPECT_GE(Log().Count(30, EN_SETFOCUS), 1);
    EXPECT_GE(Log().Count(30, EN_MAXTEXT), 1);
    ExpectDropsGoToTheDialog(Item(32));
    EXPECT_EQ(Text(32), "edge") << "the edit itself did nothing with the drop";
}

}  // namespace
