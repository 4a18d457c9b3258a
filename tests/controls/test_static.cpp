// "WKStatic" in a test dialog: text kinds painted from the skin, the sunken
// style turned into the skinned edge, every other kind and message left to
// the system static, dropped files passed to the dialog.
#include <gtest/gtest.h>

#include <algorithm>

#include "ctl_support.h"

namespace {

using namespace ctl_test;
namespace sk = kelmard::skin;

// The box around the pixels near a colour (empty: right < left).
RECT Extent(const kpicture::Image& shot, COLORREF colour) {
    RECT r{shot.width, shot.height, -1, -1};
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (CountNear(shot, colour, x, y, x + 1, y + 1, 40)) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x);
                r.bottom = std::max<LONG>(r.bottom, y);
            }
    return r;
}

class Statics : public ::testing::Test {
protected:
    void SetUp() override {
        dialog_ = EmptyDialog();
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(dialog_);
        Pump(nullptr, 1);
    }
    HWND Make(const char* cls, const char* text, DWORD style, int x = 10, int y = 10, int w = 120, int h = 20,
              int id = 50) {
        HWND s = Child(dialog_, cls, text, style, id, x, y, w, h);
        EXPECT_NE(s, nullptr);
        return s;
    }
    static kpicture::Image Shot(HWND w) {
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return kpicture::CaptureWindow(w, true);
    }
    HWND dialog_ = nullptr;
};

const COLORREF kText = SkinColour(8);

TEST_F(Statics, TextIsPaintedOnTheSkinAndFollowsEnabling) {
    HWND label = Make("WKStatic", "MMMM", SS_LEFT);
    HWND off = Make("WKStatic", "MMMM", SS_LEFT | WS_DISABLED, 10, 40);
    HWND empty = Make("WKStatic", "", SS_LEFT, 10, 70);
    const kpicture::Image on = Shot(label);
    EXPECT_EQ(on.rgb(119, 19), kpicture::FromColorRef(SkinColour(1))) << "the skin's face behind the text";
    EXPECT_GT(CountNear(on, kText, 0, 0, 120, 20), 15);
    const kpicture::Image grey = Shot(off);
    EXPECT_EQ(CountNear(grey, kText, 0, 0, 120, 20, 30), 0) << "disabled text is embossed";
    EXPECT_GT(CountNear(grey, SkinColour(4), 0, 0, 120, 20, 16), 10);
    EXPECT_EQ(CountIn(Shot(empty), SkinColour(1), 0, 0, 120, 20), 120 * 20) << "no text: the face only";

    EnableWindow(off, TRUE);  // repainted at once, no message pumped
    EXPECT_GT(CountNear(kpicture::CaptureWindow(off, true), kText, 0, 0, 120, 20), 15);

    SetWindowTextA(label, "");
    char buffer[8] = "x";
    EXPECT_EQ(GetWindowTextA(label, buffer, sizeof buffer), 0);
    Pump(dialog_);
    EXPECT_EQ(CountIn(kpicture::CaptureWindow(label, true), SkinColour(1), 0, 0, 120, 20), 120 * 20)
        << "the new text is the system static's and is shown";
}

TEST_F(Statics, SunkenBecomesTheSkinnedEdge) {
    HWND s = Make("WKStatic", "edge", SS_LEFT | SS_SUNKEN, 10, 10, 100, 30);
    EXPECT_FALSE(GetWindowLongA(s, GWL_STYLE) & SS_SUNKEN);
    EXPECT_TRUE(GetWindowLongA(s, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(GetWindowLongA(s, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    RedrawWindow(s, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    const kpicture::Image whole = kpicture::CaptureWindow(s);
    const sk::FramePlace& f = sk::kFrames[sk::kClientEdgeFrame];
    EXPECT_EQ(DiffersFromSkin(whole, 0, 0, f.x, f.y, 2, 2), 0);
    EXPECT_EQ(DiffersFromSkin(whole, 98, 28, f.x + 2, f.y + 2, 2, 2), 0);
    EXPECT_EQ(SendMessageA(s, WM_NCACTIVATE, TRUE, 0), 0);
}

TEST_F(Statics, StyleChoosesAlignmentAndFollowsStyleChanges) {
    HWND top = Make("WKStatic", "Ag", SS_LEFT, 10, 10, 120, 40);
    HWND centred = Make("WKStatic", "Ag", SS_LEFT | SS_CENTERIMAGE, 10, 60, 120, 40);
    const RECT a = Extent(Shot(top), kText), b = Extent(Shot(centred), kText);
    ASSERT_GE(a.right, a.left);
    ASSERT_GE(b.right, b.left);
    EXPECT_LT(a.bottom, 20) << "at the top";
    EXPECT_NEAR((b.top + b.bottom) / 2, 20, 4) << "SS_CENTERIMAGE centres one line";
    EXPECT_LT(a.left, 10);

    SetWindowLongA(top, GWL_STYLE, (GetWindowLongA(top, GWL_STYLE) & ~SS_TYPEMASK) | SS_RIGHT);
    const RECT c = Extent(Shot(top), kText);
    EXPECT_GT(c.right, 110) << "the new style's alignment";
    EXPECT_GT(c.left, 60);
}

TEST_F(Statics, AFontGivenToTheStaticIsTheOnePainted) {
    HWND s = Make("WKStatic", "Ag", SS_LEFT, 10, 10, 160, 60);
    const RECT small = Extent(Shot(s), kText);
    HFONT big = CreateFontA(-36, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    ASSERT_NE(big, nullptr);
    SendMessageA(s, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
    EXPECT_EQ(SendMessageA(s, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(big));
    const RECT large = Extent(Shot(s), kText);
    EXPECT_GT(large.bottom - large.top, 2 * (small.bottom - small.top)) << "drawn with the static's own font";
    DestroyWindow(s);
    DeleteObject(big);
}

TEST_F(Statics, OtherKindsAreThoseOfTheSystemStatic) {
    for (DWORD kind : {DWORD(SS_BLACKFRAME), DWORD(SS_ETCHEDHORZ), DWORD(SS_GRAYRECT)}) {
        HWND ours = Make("WKStatic", "", kind, 10, 10, 100, 30);
        HWND system = Make("STATIC", "", kind, 120, 10, 100, 30);
        const kpicture::Image a = Shot(ours), b = Shot(system);
        ASSERT_EQ(a.width, b.width);
        EXPECT_EQ(a.pixels, b.pixels) << "kind " << kind;
        EnableWindow(ours, FALSE);
        EnableWindow(system, FALSE);
        EXPECT_EQ(Shot(ours).pixels, Shot(system).pixels) << "disabled kind " << kind;
        DestroyWindow(ours);
        DestroyWindow(system);
    }
    HWND icon = Make("WKStatic", "", SS_ICON, 10, 50, 40, 40);
    const HICON shown = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(shown), 0);
    EXPECT_EQ(SendMessageA(icon, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(shown));
}

TEST_F(Statics, DroppedFilesGoToTheParent) {
    HWND s = Make("WKStatic", "drop here", SS_LEFT, 10, 10, 120, 20, 51);
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(SendMessageA(s, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0), 77) << "the dialog's answer";
    ASSERT_EQ(Log().drops.size(), 1u);
    EXPECT_EQ(Log().drops[0].first, reinterpret_cast<WPARAM>(drop));
    EXPECT_EQ(Log().drops[0].second, reinterpret_cast<LPARAM>(s));
    GlobalFree(drop);
}

TEST(StaticTemplate, TheDialogManagerCreatesSkinnedStatics) {
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_VISIBLE, 120, 60, "statics");
    t.Add("WKStatic", "&Name:", 20, SS_LEFT, 4, 4, 60, 10);
    t.Add("WKStatic", "", 21, SS_LEFT | SS_SUNKEN, 4, 20, 60, 12);
    HWND dialog = OpenDialog(t);
    ASSERT_NE(dialog, nullptr);
    Pump(dialog);
    char name[32] = "";
    GetClassNameA(GetDlgItem(dialog, 20), name, sizeof name);
    EXPECT_STREQ(name, "WKStatic");
    char text[32] = "";
    GetDlgItemTextA(dialog, 20, text, sizeof text);
    EXPECT_STREQ(text, "&Name:");
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, 21), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 20, WM_GETFONT, 0, 0), SendMessageA(dialog, WM_GETFONT, 0, 0))
        << "the dialog's font went to the system static";
    const kpicture::Image label = kpicture::CaptureWindow(GetDlgItem(dialog, 20), true);
    EXPECT_GT(CountIn(label, SkinColour(1), 0, 0, label.width, label.height), label.width * label.height / 2);
    EXPECT_GT(CountNear(label, kText, 0, 0, label.width, label.height), 10);
    DestroyWindow(dialog);
}

}  // namespace
