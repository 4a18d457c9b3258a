// "WKStatic" and "WKEdit" in a test dialog: text kinds painted from the skin,
// the sunken style turned into the skinned edge, every other static kind and
// all editing left to the system's controls (the same message sequences as
// the system edit's), the skinned edit border, and dropped files passed on.
#include <string>

#include "support.h"

namespace {

using namespace ctl_test;
using namespace seq;
namespace sk = kelmard::skin;

const COLORREF kText = SkinColour(8);

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

    // The system static paints a new text at once in its own look; the skinned one follows.
    SetWindowTextA(label, "");
    Pump(dialog_.get());
    EXPECT_EQ(CountIn(kpicture::CaptureWindow(label, true), SkinColour(1), 0, 0, 120, 20), 120 * 20);
}

// The text at the top left, at the right after a new style, in the font WM_SETFONT gave.
TEST_F(Statics, StyleAndFontChooseHowTheTextIsPainted) {
    HWND s = Make("WKStatic", "Ag", SS_LEFT, 50, 10, 10, 160, 60);
    const int small = CountNear(Shot(s), kText, 0, 0, 160, 60);
    EXPECT_GT(CountNear(Shot(s), kText, 0, 0, 10, 20), 0);
    EXPECT_EQ(CountNear(Shot(s), kText, 0, 20, 160, 60) + CountNear(Shot(s), kText, 80, 0, 160, 60), 0);
    SetWindowLongA(s, GWL_STYLE, (GetWindowLongA(s, GWL_STYLE) & ~SS_TYPEMASK) | SS_RIGHT);
    EXPECT_EQ(CountNear(Shot(s), kText, 0, 0, 80, 60), 0) << "the new style's alignment";
    kelmard::UniqueFont big(CreateFontA(-36, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
    ASSERT_TRUE(big);
    SendMessageA(s, WM_SETFONT, reinterpret_cast<WPARAM>(big.get()), TRUE);
    EXPECT_EQ(SendMessageA(s, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(big.get()));
    EXPECT_GT(CountNear(Shot(s), kText, 0, 0, 160, 60), 3 * small) << "drawn with the static's own font";
    DestroyWindow(s);
}

TEST_F(Statics, OtherKindsAreThoseOfTheSystemStaticAndDropsGoToTheParent) {
    for (DWORD kind : {DWORD(SS_BLACKFRAME), DWORD(SS_ETCHEDHORZ), DWORD(SS_GRAYRECT)}) {
        kelmard::UniqueWindow ours(Make("WKStatic", "", kind, 50, 10, 10, 100, 30));
        kelmard::UniqueWindow system(Make("STATIC", "", kind, 51, 120, 10, 100, 30));
        EXPECT_EQ(Shot(ours.get()).pixels, Shot(system.get()).pixels) << "kind " << kind;
        EnableWindow(ours.get(), FALSE);
        EnableWindow(system.get(), FALSE);
        EXPECT_EQ(Shot(ours.get()).pixels, Shot(system.get()).pixels) << "disabled kind " << kind;
    }
    Make("WKStatic", "", SS_ICON, 52, 10, 50, 40, 40);
    const LPARAM shown = reinterpret_cast<LPARAM>(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
    Make("WKStatic", "drop here", SS_LEFT, 53, 10, 100, 120, 20);
    EXPECT_TRUE(Run({Send(52, STM_SETICON, shown), Send(52, STM_GETICON).Answers(shown), DropOn(53)}));
}

// Edits of the library's class or the system's, a sunken static, OK to tab from.
class Edits : public ControlDialog {
protected:
    void Open(const char* edit) {
        TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 100, "edits");
        t.Add(edit, "hello", 30, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 4, 4, 80, 12);
        t.Add(edit, "read", 31, ES_AUTOHSCROLL | ES_READONLY | WS_BORDER, 100, 4, 80, 12);
        t.Add(edit, "edge", 32, ES_AUTOHSCROLL | WS_TABSTOP, 4, 24, 80, 12, WS_EX_CLIENTEDGE);
        t.Add("WKStatic", "", 33, SS_LEFT | SS_SUNKEN, 4, 44, 80, 12);
        t.Add("WKButton", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 24, 50, 14);
        ControlDialog::Open(t);
    }
    void SetUp() override { Open("WKEdit"); }
};

Step Repaint(int id) {
    return Do("repaint #" + std::to_string(id), [id](HWND d) {
        RedrawWindow(GetDlgItem(d, id), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    });
}
Step Text(int id, const char* text) {
    return Do(std::string("text of #") + std::to_string(id) + " is " + text, [id, text](HWND d) {
        char buffer[64] = "";
        GetDlgItemTextA(d, id, buffer, sizeof buffer);
        EXPECT_STREQ(buffer, text);
    });
}

// Tab selects the edit's text; typing past the limit; the colours asked of
// the parent: all as the system edit does it.
TEST_F(Edits, EditingAndNotificationsAreTheSystemEdits) {
    const std::initializer_list<Msg> changed = {Command(30, EN_UPDATE), Command(30, EN_CHANGE)};
    const Table typing = {
        Focus(IDOK).Sees({Command(30, EN_KILLFOCUS)}), KeyDown(VK_TAB).Sees({Command(30, EN_SETFOCUS)}), FocusIs(30),
        Send(30, EM_GETSEL).Answers(MAKELONG(0, 5)),  // the dialog selected the whole text
        Send(30, EM_LIMITTEXT, 3),
        Char('x').Sees(changed), Char('y').Sees(changed), Char('a').Sees(changed),
        Char('b').Sees({Command(30, EN_MAXTEXT), Optional(Command(30, EN_UPDATE)), Optional(Command(30, EN_CHANGE))}),
        Text(30, "xya")};
    // The colours are the parent's: of an edit, of a read-only one.
    const Table colours = {Repaint(30).Sees({Many(Colour(WM_CTLCOLOREDIT, 30))}),
                           Repaint(31).Sees({Many(Colour(WM_CTLCOLORSTATIC, 31))})};
    for (const char* cls : {"WKEdit", "Edit"}) {
        SCOPED_TRACE(cls);
        Open(cls);
        EXPECT_TRUE(Run(typing));
        EXPECT_TRUE(Run(colours));
        // The library's edit passes dropped files on and does nothing with them itself.
        if (cls[0] == 'W') {
            EXPECT_TRUE(Run({DropOn(32), Text(32, "edge")}));
        }
    }
}

TEST_F(Edits, WithoutAClientEdgeAnEditLooksLikeTheSystemEdit) {
    // Made here, not from the template: the dialog manager gives a bordered
    // edit of any class the client edge instead.
    HWND ours = Make("WKEdit", "hello", ES_AUTOHSCROLL | WS_BORDER, 40, 10, 90, 120, 22);
    HWND system = Make("EDIT", "hello", ES_AUTOHSCROLL | WS_BORDER, 41, 10, 125, 120, 22);
    const kpicture::Image a = Shot(ours, false), b = Shot(system, false);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(SendMessageA(ours, WM_GETDLGCODE, 0, 0), SendMessageA(system, WM_GETDLGCODE, 0, 0));
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
        kpicture::Image shot = Shot(w, false);
        EXPECT_EQ(DiffersFromSkin(shot, 0, 0, f.x, f.y, 2, 2), 0) << id;
        EXPECT_EQ(DiffersFromSkin(shot, width - 2, height - 2, f.x + 2, f.y + 2, 2, 2), 0) << id;
    }
    // Paint over the edit's border, then activation draws it again.
    HWND edit = Item(32);
    {
        kelmard::WindowDC dc(edit, GetWindowDC(edit));
        kelmard::UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
        RECT all;
        GetWindowRect(edit, &all);
        OffsetRect(&all, -all.left, -all.top);
        FrameRect(dc.get(), &all, red.get());
    }
    ASSERT_GT(CountIn(kpicture::CaptureWindow(edit), RGB(255, 0, 0), 0, 0, 400, 400), 0);
    EXPECT_EQ(SendMessageA(edit, WM_NCACTIVATE, TRUE, 0), 0);
    const kpicture::Image shot = kpicture::CaptureWindow(edit);
    EXPECT_EQ(CountIn(shot, RGB(255, 0, 0), 0, 0, shot.width, shot.height), 0);
    EXPECT_EQ(DiffersFromSkin(shot, 0, 0, f.x, f.y, 2, 2), 0);
}

}  // namespace
