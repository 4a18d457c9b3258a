// "WKButton" driven as the dialog manager and a user drive it, as message
// sequences run against the library's button and, where it promises the same,
// the system's; and the painted skin.
#include <cstdint>
#include <vector>

#include "support.h"

namespace {

using namespace ctl_test;
using namespace seq;
namespace sk = kelmard::skin;

constexpr LPARAM kKeyUp = static_cast<LPARAM>(0xC0000001u);

Step Checks(int id, LRESULT state) { return Send(id, BM_GETCHECK).Answers(state); }
Step Pushed(int id, bool pushed) { return Send(id, BM_GETSTATE).Answers(pushed ? BST_PUSHED : 0, BST_PUSHED); }
Step Code(int id, LRESULT code) { return Send(id, WM_GETDLGCODE).Answers(code); }
Msg Clicked(int id) { return Command(id, BN_CLICKED); }
Table Space(int id) { return {KeyDown(VK_SPACE), KeyUp(VK_SPACE).Sees({Clicked(id)})}; }

class Buttons : public ControlDialog {
protected:
    // For the library's class and then the system's, a fresh dialog with the
    // controls `make` creates, and the table for that class.
    template <typename MakeControls, typename MakeTable>
    void ForBoth(MakeControls make, MakeTable table) {
        for (const char* cls : {"WKButton", "Button"}) {
            SCOPED_TRACE(cls);
            Open(DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 240, 160));
            make(cls);
            EXPECT_TRUE(Run(table(cls[0] == 'W')));
        }
    }
    HWND Button(const char* cls, const char* text, DWORD style, int id, int y = 10, int h = 24) {
        return Make(cls, text, style, id, 10, y, 120, h);
    }
};

// BM_SETCHECK by kind, and what a click (the space bar) does to the check of each kind.
TEST_F(Buttons, ChecksFollowTheButtonKind) {
    const struct Case {
        DWORD style;
        WPARAM set;
        LRESULT afterSet, afterClicks[3];
        bool systemToo;
    } cases[] = {
        {BS_CHECKBOX, 2, BST_CHECKED, {BST_CHECKED, BST_CHECKED, BST_CHECKED}, true},  // 2 checks a two-state box
        {BS_CHECKBOX, 3, BST_UNCHECKED, {0, 0, 0}, false},                             // 3 changes nothing
        {BS_3STATE, 2, BST_INDETERMINATE, {2, 2, 2}, true},
        {BS_AUTOCHECKBOX, 2, BST_CHECKED, {BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED}, true},
        {BS_AUTOCHECKBOX | BS_PUSHLIKE, 0, 0, {BST_CHECKED, BST_UNCHECKED, BST_CHECKED}, true},
        {BS_AUTO3STATE, 0, 0, {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}, true},
    };
    ForBoth(
        [&](const char* cls) {
            for (int id = 1; id <= 6; ++id) Button(cls, "box", cases[id - 1].style, id, 4 + 20 * id, 18);
            Button(cls, "three", BS_AUTO3STATE, 7, 140, 18);
        },
        [&](bool ours) {
            Table t;
            for (int id = 1; id <= 6; ++id) {
                const Case& c = cases[id - 1];
                if (!ours && !c.systemToo) continue;
                t = Then({t, {Checks(id, 0), Send(id, BM_SETCHECK, c.set), Checks(id, c.afterSet), Focus(id)}});
                for (LRESULT after : c.afterClicks) t = Then({t, Space(id), {Checks(id, after)}});
            }
            // WM_USER + 1 is the library's old name of BM_SETCHECK.
            return Then({t, {Send(7, ours ? WM_USER + 1 : BM_SETCHECK, BST_INDETERMINATE), Focus(7),
                             Send(7, BM_SETSTATE, TRUE),
                             Send(7, BM_GETSTATE).Answers(BST_PUSHED | BST_INDETERMINATE | BST_FOCUS),
                             Send(7, BM_SETSTATE, FALSE), Send(7, BM_GETSTATE).Answers(BST_INDETERMINATE | BST_FOCUS)}});
        });
}

TEST_F(Buttons, MouseClicksOnlyAPressReleasedInside) {
    ForBoth([&](const char* cls) { Button(cls, "OK", BS_PUSHBUTTON, 7); },
            [](bool) {
                return Then({Click(7, 5, 5, {Clicked(7)}),
                             {FocusIs(7),  // a press takes the focus
                              // Dragged out and released outside: no click, not pushed.
                              Press(7, 5, 5), Pushed(7, true), CaptureIs(7), Move(7, -20, -20), Pushed(7, false),
                              Release(7, -20, -20), CaptureIs(kNobody),
                              // Dragged out and back in: a click.
                              Press(7, 5, 5), Move(7, 300, 5), Move(7, 6, 6), Pushed(7, true),
                              Release(7, 6, 6).Sees({Clicked(7)}),
                              // A release whose press this button never saw is no click.
                              Release(7, 5, 5),
                              Send(7, BM_CLICK).Sees({Clicked(7)})}});
            });
}

TEST_F(Buttons, SpaceBarClicksOnlyAfterItsOwnPress) {
    ForBoth([&](const char* cls) { Button(cls, "box", BS_AUTOCHECKBOX, 8); },
            [](bool ours) {
                Table t = {Focus(8), KeyDown(VK_SPACE), Pushed(8, true), KeyUp(VK_SPACE).Sees({Clicked(8)}),
                           Send(8, BM_GETSTATE).Answers(BST_CHECKED | BST_FOCUS),
                           // A key-up alone (its press went to another window) does nothing.
                           KeyUp(VK_SPACE), Checks(8, BST_CHECKED),
                           // Other keys do not click.
                           Send(8, WM_KEYDOWN, 'A', 1), Send(8, WM_KEYUP, 'A', kKeyUp)};
                if (ours) t = Then({t, {KeyRepeat(VK_SPACE), Pushed(8, false)}});  // an auto-repeat alone does not press
                return t;
            });
}

TEST_F(Buttons, FocusNotificationsOnlyWithNotifyStyle) {
    ForBoth(
        [&](const char* cls) {
            Button(cls, "n", BS_PUSHBUTTON | BS_NOTIFY, 1);
            Button(cls, "q", BS_PUSHBUTTON, 2, 40);
        },
        [](bool) {
            return Table{Focus(1).Sees({Command(1, BN_SETFOCUS)}), Focus(2).Sees({Command(1, BN_KILLFOCUS)}),
                         Focus(1).Sees({Command(1, BN_SETFOCUS)})};
        });
}

TEST_F(Buttons, APressEndsWithFocusCaptureOrDisabling) {
    auto enable = [](BOOL on) {
        return Do(on ? "enable #1" : "disable #1", [on](HWND d) { EnableWindow(GetDlgItem(d, 1), on); });
    };
    ForBoth(
        [&](const char* cls) {
            Button(cls, "b", BS_PUSHBUTTON, 1);
            Button(cls, "o", BS_PUSHBUTTON, 2, 40);
        },
        [&](bool) {
            return Table{
                Press(1, 4, 4), Pushed(1, true), Focus(2), Pushed(1, false), CaptureIs(kNobody), Release(1, 4, 4),
                Press(1, 4, 4), Do("capture to #2", [](HWND d) { SetCapture(GetDlgItem(d, 2)); }), Pushed(1, false),
                Do("release the capture", [](HWND) { ReleaseCapture(); }), Release(1, 4, 4),
                Press(1, 4, 4), enable(FALSE), Pushed(1, false), CaptureIs(kNobody), enable(TRUE), Release(1, 4, 4),
                // A space bar's press cancelled by the focus going clicks no more.
                Focus(1), KeyDown(VK_SPACE), Focus(2), Post(1, WM_KEYUP, VK_SPACE, kKeyUp)};
        });
}

// ------------------------------------------------------------------ painting

// Pixels of w at (x, y) unlike the skin's sprite cell: look (0 disabled, 1 normal, 2 pressed), variant.
int DiffersFromCell(HWND w, int x, int y, int sprite, int look, int variant, int size) {
    const sk::SpritePlace& s = sk::kSprites[sprite];
    return DiffersFromSkin(Shot(w), x, y, s.x + s.columnStep * variant, s.y + s.rowStep * look, size, size);
}

TEST_F(Buttons, PaintsTheSkinsGlyphsFacesAndText) {
    HWND box = Make("WKButton", "MMMM", BS_3STATE, 1, 10, 10, 120, 19);
    HWND radio = Make("WKButton", "MMMM", BS_RADIOBUTTON, 3, 10, 70, 120, 20);
    HWND push = Make("WKButton", "MMMM", BS_PUSHBUTTON, 4, 140, 10, 90, 26);
    HWND empty = Make("WKButton", "", BS_PUSHBUTTON, 5, 140, 40, 90, 26);
    HWND group = Make("WKButton", "Group", BS_GROUPBOX, 6, 140, 70, 90, 60);
    HWND def = Make("WKButton", "OK", BS_DEFPUSHBUTTON, 7, 10, 100, 80, 26);
    HWND off = Make("WKButton", "box", BS_AUTOCHECKBOX | WS_DISABLED, 8, 10, 130, 120, 19);

    for (int variant = 0; variant < 3; ++variant) {
        SendMessageA(box, BM_SETCHECK, variant, 0);
        EXPECT_EQ(DiffersFromCell(box, 0, 2, sk::kCheckSprite, 1, variant, 15), 0) << "check variant " << variant;
    }
    SendMessageA(radio, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(DiffersFromCell(radio, 0, 2, sk::kRadioSprite, 1, 1, 16), 0);
    EXPECT_GT(CountNear(Shot(box), SkinColour(8), 17, 0, 120, 19), 15) << "text in the normal palette beside the glyph";

    // The push button's text in the alternate palette; pressed, the pressed face.
    EXPECT_GT(CountNear(Shot(push), SkinColour(19), 3, 3, 87, 23), CountNear(Shot(empty), SkinColour(19), 3, 3, 87, 23) + 15);
    SendMessageA(push, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(DiffersFromCell(push, 0, 0, sk::kPushSprite, 2, 0, 3), 0);
    EXPECT_GT(CountNear(Shot(push), SkinColour(18), 3, 3, 87, 23), 15) << "pressed text";

    // The default look has its own sprite, and BM_SETSTYLE takes it away.
    EXPECT_EQ(DiffersFromCell(def, 0, 0, sk::kDefaultPushSprite, 1, 0, 3), 0);
    SendMessageA(def, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(DiffersFromCell(def, 0, 0, sk::kPushSprite, 1, 0, 3), 0);

    // A disabled box keeps its look when pushed and released, until enabled.
    EXPECT_EQ(DiffersFromCell(off, 0, 2, sk::kCheckSprite, 0, 0, 15), 0);
    SendMessageA(off, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(SendMessageA(off, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageA(off, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(SendMessageA(off, BM_GETSTATE, 0, 0), 0);
    EXPECT_EQ(DiffersFromCell(off, 0, 2, sk::kCheckSprite, 0, 0, 15), 0) << "still drawn disabled";
    EnableWindow(off, TRUE);
    EXPECT_EQ(DiffersFromCell(off, 0, 2, sk::kCheckSprite, 1, 0, 15), 0);

    // The group box: its frame's bottom corners from the skin, the caption on the face colour.
    const sk::FramePlace& f = sk::kFrames[sk::kGroupBoxFrame];
    const kpicture::Image g = Shot(group);
    EXPECT_EQ(DiffersFromSkin(g, 0, 60 - 3, f.x, f.y + 3, 3, 3), 0);
    EXPECT_EQ(DiffersFromSkin(g, 90 - 3, 60 - 3, f.x + 3, f.y + 3, 3, 3), 0);
    EXPECT_GT(CountIn(g, SkinColour(1), 6, 0, 40, 8), 20);
    EXPECT_EQ(SendMessageA(group, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
}

TEST_F(Buttons, AnImageSetAfterCreationIsLaidOutAndShown) {
    HWND box = Make("WKButton", "", BS_AUTOCHECKBOX | BS_BITMAP, 1, 10, 10, 120, 24);
    const std::vector<std::uint32_t> pixels(20 * 10, 0xFF0000);
    const kelmard::UniqueBitmap red(CreateBitmap(20, 10, 1, 32, pixels.data()));
    const LPARAM image = reinterpret_cast<LPARAM>(red.get());
    EXPECT_EQ(SendMessageA(box, BM_SETIMAGE, IMAGE_BITMAP, image), 0);
    EXPECT_EQ(SendMessageA(box, BM_GETIMAGE, IMAGE_BITMAP, 0), image);
    Pump(dialog_.get());
    const kpicture::Image shot = kpicture::CaptureWindow(box, true);
    EXPECT_EQ(CountIn(shot, RGB(255, 0, 0), 0, 0, 120, 24), 200) << "the whole bitmap is shown";
    EXPECT_EQ(CountIn(shot, RGB(255, 0, 0), 0, 0, 17, 24), 0) << "beside the glyph, not over it";
    EXPECT_EQ(SendMessageA(box, BM_SETIMAGE, IMAGE_BITMAP, 0), image);
    EXPECT_EQ(SendMessageA(box, BM_SETIMAGE, 5, 0), 0) << "an unknown image type";
    DestroyWindow(box);
    BITMAP bm{};
    EXPECT_NE(GetObjectA(red.get(), sizeof bm, &bm), 0) << "the button never frees a borrowed bitmap";
}

// ---------------------------------------------------------------- in dialogs

// Radio buttons A, B (automatic), C (manual), D (automatic), then OK (id 5)
// in a new group, and two automatic ones with mnemonics (6, 7).
constexpr int kOk = 5;
TemplateBuilder RadioTemplate(const char* cls, bool mnemonics = false) {
    TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 160, 120, "radios");
    t.Add(cls, "A", 1, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 8, 8, 60, 12);
    t.Add(cls, "B", 2, BS_AUTORADIOBUTTON, 8, 22, 60, 12);
    t.Add(cls, "C", 3, BS_RADIOBUTTON, 8, 36, 60, 12);
    t.Add(cls, "D", 4, BS_AUTORADIOBUTTON, 8, 50, 60, 12);
    t.Add(cls, "OK", kOk, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 90, 8, 50, 14);
    if (!mnemonics) return t;
    t.Add(cls, "&Red", 6, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 8, 70, 60, 12);
    t.Add(cls, "&Green", 7, BS_AUTORADIOBUTTON, 8, 84, 60, 12);
    return t;
}

class RadioDialog : public Buttons {
protected:
    void SetUp() override { Open(RadioTemplate("WKButton")); }
};

TEST_F(RadioDialog, AnAutomaticRadioButtonUnchecksOnlyItsAutomaticPeers) {
    EXPECT_TRUE(Run(Then({{Send(1, BM_SETCHECK, 1), Send(3, BM_SETCHECK, 1), Send(4, BM_SETCHECK, 1)},
                          Click(2, 3, 3, {Clicked(2)}),
                          {Checks(2, 1), Checks(1, 0), Checks(4, 0),
                           Checks(3, 1)}})));  // a manual radio button is the program's
}

// Radio buttons answer DLGC_RADIOBUTTON with DLGC_BUTTON; gaining the focus
// checks nothing; the dialog manager's arrows select (and tell of) each radio
// button they pass, the manual one included.
TEST_F(RadioDialog, ArrowKeysMoveTheFocusAndSelect) {
    EXPECT_TRUE(Run({Code(3, DLGC_BUTTON | DLGC_RADIOBUTTON), Code(4, DLGC_BUTTON | DLGC_RADIOBUTTON), Focus(4), Checks(4, 0), Send(1, BM_SETCHECK, 1), Focus(1),
                     KeyDown(VK_DOWN).Sees({Clicked(2)}), FocusIs(2), Checks(2, 1), Checks(1, 0),
                     KeyDown(VK_DOWN).Sees({Clicked(3)}), FocusIs(3), Checks(3, 0),
                     KeyDown(VK_DOWN).Sees({Clicked(4)}), FocusIs(4), Checks(4, 1), Checks(2, 0)}));
}

TEST_F(RadioDialog, AMnemonicChecksItsRadioButton) {
    Open(RadioTemplate("WKButton", true));
    EXPECT_TRUE(Run({Focus(kOk), Char('g').Sees({Clicked(7)}), Checks(7, 1), Char('r').Sees({Clicked(6)}),
                     Checks(6, 1), Checks(7, 0)}));
}

// With none of a group checked, its first radio button keeps the tab stop:
// the initial focus and Tab reach it without checking it. A check moves the
// tab stop onto the checked button.
TEST_F(RadioDialog, TabReachesARadioGroupWithNoneChecked) {
    EXPECT_TRUE(Run({FocusIs(1), Checks(1, 0), Focus(kOk), KeyDown(VK_TAB), FocusIs(1), Checks(1, 0), Checks(2, 0),
                     Checks(3, 0), Checks(4, 0), Send(3, BM_SETCHECK, 1), Style(1, WS_TABSTOP, false),
                     Style(2, WS_TABSTOP, false), Style(3, WS_TABSTOP, true), Style(4, WS_TABSTOP, false)}));
}

// The group walk of a click skips the disabled or hidden button it starts from.
TEST_F(RadioDialog, ClickingADisabledRadioButtonEndsItsGroupWalk) {
    const Table space = {Send(2, WM_KEYDOWN, VK_SPACE, 1), Send(2, WM_KEYUP, VK_SPACE, kKeyUp).Sees({Clicked(2)})};
    Watchdog watch(10000, "the radio group walk from a disabled or hidden button");
    EXPECT_TRUE(Run(Then({{Send(1, BM_SETCHECK, 1), Send(4, BM_SETCHECK, 1),
                           Do("disable #2", [](HWND d) { EnableWindow(GetDlgItem(d, 2), FALSE); })},
                          space,
                          {Checks(2, 1), Checks(1, 0), Checks(4, 0),
                           Do("hide #2", [](HWND d) { ShowWindow(GetDlgItem(d, 2), SW_HIDE); }), Send(1, BM_SETCHECK, 1)},
                          space,
                          {Checks(1, 0)}})));
}

// Each kind's dialog code; Tab onto a group box lands on its first control
// (the system's group box takes the focus itself: the dialog is told to move
// on); the dialog gives the focused push button the default look and Return
// clicks the default button.
TEST_F(Buttons, AGroupBoxHandsTheFocusOnAndTheDialogMovesTheDefault) {
    for (const char* cls : {"WKButton", "Button"}) {
        SCOPED_TRACE(cls);
        TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 160, 100, "groups");
        t.Add(cls, "Options", 10, BS_GROUPBOX | WS_GROUP | WS_TABSTOP, 4, 4, 80, 60);
        t.Add(cls, "Sharp", 11, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 18, 60, 12);
        t.Add(cls, "OK", IDOK, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 100, 8, 50, 14);
        t.Add(cls, "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 100, 26, 50, 14);
        Open(t);
        const bool ours = cls[0] == 'W';
        const Step toTheBox = ours ? KeyDown(VK_TAB) : Do("next control #11", [](HWND d) {
            SendMessageA(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, 11)), TRUE);
        });
        const Step def = Code(IDOK, DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
        const Table keys = {Code(10, DLGC_STATIC), Code(11, DLGC_BUTTON), def, Focus(IDOK), KeyDown(VK_TAB), FocusIs(IDCANCEL),
                            Code(IDCANCEL, DLGC_BUTTON | DLGC_DEFPUSHBUTTON), Code(IDOK, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON),
                            toTheBox, FocusIs(11), def, KeyDown(VK_RETURN).Sees({Clicked(IDOK)}),
                            // Other style bits beside the type do not hide the request.
                            Send(IDOK, BM_SETSTYLE, BS_PUSHBUTTON, TRUE), Code(IDOK, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON),
                            Send(IDOK, BM_SETSTYLE, BS_DEFPUSHBUTTON | BS_NOTIFY | BS_CENTER, TRUE), def};
        // The library's window style keeps its type.
        EXPECT_TRUE(Run(ours ? Then({keys, {Style(IDOK, BS_DEFPUSHBUTTON, true), Style(IDOK, BS_TYPEMASK & ~BS_DEFPUSHBUTTON, false)}}) : keys));
    }
}

}  // namespace
