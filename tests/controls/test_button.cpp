// "WKButton" driven as the dialog manager and a user drive it: messages,
// posted mouse and keyboard input, the dialog manager's own keys, the
// WM_COMMAND notifications the dialog receives and the painted pixels.
#include <cstdlib>
#include <string>

#include "support.h"

namespace {

using namespace ctl_test;
namespace sk = kelmard::skin;

// Where the skin's sprite cells lie: look (0 disabled, 1 normal, 2 pressed), variant.
struct Cell {
    int x, y;
};
Cell SpriteCell(int sprite, int look, int variant) {
    const sk::SpritePlace& s = sk::kSprites[sprite];
    return {s.x + s.columnStep * variant, s.y + s.rowStep * look};
}

class Buttons : public ControlDialog {
protected:
    HWND Make(const char* text, DWORD style, int id = 100, int x = 10, int y = 10, int w = 120, int h = 24) {
        return ControlDialog::Make("WKButton", text, style, id, x, y, w, h);
    }
};

// BM_SETCHECK by kind, and what a click does to the check of each kind.
TEST_F(Buttons, ChecksFollowTheButtonKind) {
    struct Case {
        DWORD style;
        WPARAM set;
        LRESULT afterSet;
        LRESULT afterClicks[3];
    } cases[] = {
        {BS_CHECKBOX, 2, BST_CHECKED, {BST_CHECKED, BST_CHECKED, BST_CHECKED}},  // 2 checks a two-state box
        {BS_CHECKBOX, 3, BST_UNCHECKED, {BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED}},  // 3 changes nothing
        {BS_3STATE, BST_INDETERMINATE, BST_INDETERMINATE, {BST_INDETERMINATE, BST_INDETERMINATE, BST_INDETERMINATE}},
        {BS_AUTOCHECKBOX, BST_INDETERMINATE, BST_CHECKED, {BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED}},
        {BS_AUTO3STATE, BST_UNCHECKED, BST_UNCHECKED, {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}},
    };
    int id = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << " set " << c.set);
        HWND b = Make("box", c.style, id);
        EXPECT_EQ(Get(b, BM_GETCHECK), BST_UNCHECKED);
        SendMessageA(b, BM_SETCHECK, c.set, 0);
        EXPECT_EQ(Get(b, BM_GETCHECK), c.afterSet);
        EXPECT_TRUE(Log().commands.empty()) << "setting a check notifies nobody";
        SetFocus(b);
        for (int k = 0; k < 3; ++k) {
            PostKey(b, VK_SPACE);
            EXPECT_EQ(Get(b, BM_GETCHECK), c.afterClicks[k]) << "click " << k;
        }
        EXPECT_EQ(Log().Count(static_cast<WORD>(id), BN_CLICKED), 3);
        DestroyWindow(b);
        Log().commands.clear();
        ++id;
    }
    HWND tri = Make("three", BS_AUTO3STATE);
    SendMessageA(tri, WM_USER + 1, BST_INDETERMINATE, 0);  // the old name of BM_SETCHECK
    SetFocus(tri);
    SendMessageA(tri, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(Get(tri, BM_GETSTATE), BST_PUSHED | BST_INDETERMINATE | BST_FOCUS);
    SendMessageA(tri, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(Get(tri, BM_GETSTATE), BST_INDETERMINATE | BST_FOCUS);
}

TEST_F(Buttons, DialogCodesAndTheDefaultLook) {
    HWND def = Make("OK", BS_DEFPUSHBUTTON, 1, 10, 10, 80, 26);
    EXPECT_EQ(Get(def, WM_GETDLGCODE), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(Get(Make("p", BS_PUSHBUTTON, 2, 10, 40), WM_GETDLGCODE), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(Get(Make("r", BS_AUTORADIOBUTTON, 3, 10, 70), WM_GETDLGCODE), DLGC_BUTTON | DLGC_RADIOBUTTON);
    EXPECT_EQ(Get(Make("c", BS_AUTOCHECKBOX, 4, 10, 100), WM_GETDLGCODE), DLGC_BUTTON);
    EXPECT_EQ(Get(Make("g", BS_GROUPBOX, 5, 140, 10, 80, 80), WM_GETDLGCODE), DLGC_STATIC);

    // The default look is drawn with its own sprite.
    const Cell defCell = SpriteCell(sk::kDefaultPushSprite, 1, 0), pushCell = SpriteCell(sk::kPushSprite, 1, 0);
    EXPECT_EQ(DiffersFromSkin(Shot(def), 0, 0, defCell.x, defCell.y, 3, 3), 0);
    EXPECT_NE(DiffersFromSkin(Shot(def), 0, 0, pushCell.x, pushCell.y, 3, 3), 0);

    SendMessageA(def, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(Get(def, WM_GETDLGCODE), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(def, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON) << "the window style stays";
    EXPECT_EQ(DiffersFromSkin(Shot(def), 0, 0, pushCell.x, pushCell.y, 3, 3), 0);

    // Other style bits beside the type do not hide the request.
    SendMessageA(def, BM_SETSTYLE, BS_DEFPUSHBUTTON | BS_NOTIFY | BS_CENTER, TRUE);
    EXPECT_EQ(Get(def, WM_GETDLGCODE), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
}

TEST_F(Buttons, MouseClicksOnlyAPressReleasedInside) {
    HWND b = Make("OK", BS_PUSHBUTTON, 7);
    PostClick(b, 5, 5);
    EXPECT_EQ(Log().Count(7, BN_CLICKED), 1);
    EXPECT_EQ(GetFocus(), b) << "a press takes the focus";
    EXPECT_EQ(Log().commands.back().from, b);

    // Dragged out and released outside: no click, not pushed.
    Post(b, WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 5));
    EXPECT_TRUE(Get(b, BM_GETSTATE) & BST_PUSHED);
    EXPECT_EQ(GetCapture(), b);
    Post(b, WM_MOUSEMOVE, MK_LBUTTON, Point(-20, -20));
    EXPECT_FALSE(Get(b, BM_GETSTATE) & BST_PUSHED) << "the pointer left";
    Post(b, WM_LBUTTONUP, 0, Point(-20, -20));
    EXPECT_EQ(Log().Count(7, BN_CLICKED), 1);
    EXPECT_NE(GetCapture(), b);

    // Dragged out and back in: a click.
    PostMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 5));
    PostMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, Point(300, 5));
    Post(b, WM_MOUSEMOVE, MK_LBUTTON, Point(6, 6));
    EXPECT_TRUE(Get(b, BM_GETSTATE) & BST_PUSHED);
    Post(b, WM_LBUTTONUP, 0, Point(6, 6));
    EXPECT_EQ(Log().Count(7, BN_CLICKED), 2);

    // A release whose press this button never saw is no click.
    Post(b, WM_LBUTTONUP, 0, Point(5, 5));
    EXPECT_EQ(Log().Count(7, BN_CLICKED), 2);

    SendMessageA(b, BM_CLICK, 0, 0);
    EXPECT_EQ(Log().Count(7, BN_CLICKED), 3) << "BM_CLICK clicks as the mouse does";
}

TEST_F(Buttons, SpaceBarClicksOnlyAfterItsOwnPress) {
    HWND box = Make("box", BS_AUTOCHECKBOX, 8);
    SetFocus(box);
    Post(box, WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_TRUE(Get(box, BM_GETSTATE) & BST_PUSHED);
    Post(box, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
    EXPECT_EQ(Log().Count(8, BN_CLICKED), 1);
    EXPECT_EQ(Get(box, BM_GETSTATE), BST_CHECKED | BST_FOCUS);

    // A key-up alone (its press went to another window) does nothing.
    Post(box, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
    EXPECT_EQ(Log().Count(8, BN_CLICKED), 1);
    EXPECT_EQ(Get(box, BM_GETCHECK), BST_CHECKED);

    // An auto-repeat alone does not press; other keys do not click.
    Post(box, WM_KEYDOWN, VK_SPACE, 0x40000001);
    EXPECT_FALSE(Get(box, BM_GETSTATE) & BST_PUSHED);
    SendMessageA(box, WM_KEYDOWN, 'A', 1);
    SendMessageA(box, WM_KEYUP, 'A', static_cast<LPARAM>(0xC0000001u));
    EXPECT_EQ(Log().Count(8, BN_CLICKED), 1);
}

TEST_F(Buttons, FocusNotificationsOnlyWithNotifyStyle) {
    HWND noisy = Make("n", BS_PUSHBUTTON | BS_NOTIFY, 1);
    HWND quiet = Make("q", BS_PUSHBUTTON, 2, 10, 40);
    SetFocus(noisy);
    SetFocus(quiet);
    SetFocus(noisy);
    EXPECT_EQ(Log().Count(1, BN_SETFOCUS), 2);
    EXPECT_EQ(Log().Count(1, BN_KILLFOCUS), 1);
    EXPECT_EQ(Log().Count(2, BN_SETFOCUS) + Log().Count(2, BN_KILLFOCUS), 0);
}

TEST_F(Buttons, APressEndsWithFocusCaptureOrDisabling) {
    HWND b = Make("b", BS_PUSHBUTTON, 1);
    HWND other = Make("o", BS_PUSHBUTTON, 2, 10, 40);
    auto press = [&] {
        Post(b, WM_LBUTTONDOWN, MK_LBUTTON, Point(4, 4));
        ASSERT_TRUE(Get(b, BM_GETSTATE) & BST_PUSHED);
    };
    auto release = [&] {
        Post(b, WM_LBUTTONUP, 0, Point(4, 4));
    };

    press();
    SetFocus(other);
    EXPECT_FALSE(Get(b, BM_GETSTATE) & BST_PUSHED) << "losing the focus ends the press";
    EXPECT_NE(GetCapture(), b);
    release();

    press();
    SetCapture(other);
    EXPECT_FALSE(Get(b, BM_GETSTATE) & BST_PUSHED) << "losing the capture ends the press";
    ReleaseCapture();
    release();

    press();
    EnableWindow(b, FALSE);
    EXPECT_FALSE(Get(b, BM_GETSTATE) & BST_PUSHED) << "disabling ends the press";
    EXPECT_NE(GetCapture(), b);
    EnableWindow(b, TRUE);
    release();

    EXPECT_EQ(Log().Count(1, BN_CLICKED), 0);
    PostKey(b, VK_SPACE);
    EXPECT_EQ(Log().Count(1, BN_CLICKED), 1) << "a space press and release on the button itself clicks";
    Log().commands.clear();
    SetFocus(b);
    Post(b, WM_KEYDOWN, VK_SPACE, 1);
    SetFocus(other);
    Post(b, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
    EXPECT_EQ(Log().Count(1, BN_CLICKED), 0) << "no click after the press was cancelled";
}

TEST_F(Buttons, ADisabledButtonKeepsItsLookWhenUnpushed) {
    HWND box = Make("box", BS_AUTOCHECKBOX | WS_DISABLED, 1, 10, 10, 120, 19);
    const Cell disabled = SpriteCell(sk::kCheckSprite, 0, 0), normal = SpriteCell(sk::kCheckSprite, 1, 0);
    EXPECT_EQ(DiffersFromSkin(Shot(box), 0, 2, disabled.x, disabled.y, 15, 15), 0);
    EXPECT_NE(DiffersFromSkin(Shot(box), 0, 2, normal.x, normal.y, 15, 15), 0);
    SendMessageA(box, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(Get(box, BM_GETSTATE) & BST_PUSHED);
    SendMessageA(box, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(Get(box, BM_GETSTATE), 0);
    EXPECT_EQ(DiffersFromSkin(Shot(box), 0, 2, disabled.x, disabled.y, 15, 15), 0) << "still drawn disabled";
    EnableWindow(box, TRUE);
    EXPECT_EQ(DiffersFromSkin(Shot(box), 0, 2, normal.x, normal.y, 15, 15), 0);
}

TEST_F(Buttons, PaintsTheSkinsGlyphsFacesAndText) {
    HWND box = Make("MMMM", BS_3STATE, 1, 10, 10, 120, 19);
    HWND left = Make("MMMM", BS_CHECKBOX | BS_LEFTTEXT, 2, 10, 40, 120, 19);
    HWND radio = Make("MMMM", BS_RADIOBUTTON, 3, 10, 70, 120, 20);
    HWND push = Make("MMMM", BS_PUSHBUTTON, 4, 140, 10, 90, 26);
    HWND empty = Make("", BS_PUSHBUTTON, 5, 140, 40, 90, 26);
    HWND group = Make("Group", BS_GROUPBOX, 6, 140, 70, 90, 60);

    for (int variant = 0; variant < 3; ++variant) {
        SendMessageA(box, BM_SETCHECK, variant, 0);
        const Cell c = SpriteCell(sk::kCheckSprite, 1, variant);
        EXPECT_EQ(DiffersFromSkin(Shot(box), 0, 2, c.x, c.y, 15, 15), 0) << "check variant " << variant;
    }
    const Cell off = SpriteCell(sk::kCheckSprite, 1, 0);
    EXPECT_EQ(DiffersFromSkin(Shot(left), 120 - 15, 2, off.x, off.y, 15, 15), 0) << "BS_LEFTTEXT: glyph on the right";
    SendMessageA(radio, BM_SETCHECK, BST_CHECKED, 0);
    const Cell on = SpriteCell(sk::kRadioSprite, 1, 1);
    EXPECT_EQ(DiffersFromSkin(Shot(radio), 0, 2, on.x, on.y, 16, 16), 0);

    // The check box's text in the normal palette, right of the glyph.
    EXPECT_GT(CountNear(Shot(box), SkinColour(8), 17, 0, 120, 19), 15);

    // The push button's text in the alternate palette; pressed, the pressed face.
    const int withText = CountNear(Shot(push), SkinColour(19), 3, 3, 87, 23);
    const int without = CountNear(Shot(empty), SkinColour(19), 3, 3, 87, 23);
    EXPECT_GT(withText, without + 15);
    SendMessageA(push, BM_SETSTATE, TRUE, 0);
    const Cell pressed = SpriteCell(sk::kPushSprite, 2, 0);
    EXPECT_EQ(DiffersFromSkin(Shot(push), 0, 0, pressed.x, pressed.y, 3, 3), 0);
    EXPECT_GT(CountNear(Shot(push), SkinColour(18), 3, 3, 87, 23), 15) << "pressed text";

    // The group box: its frame's bottom corners from the skin, the caption on the face colour.
    const sk::FramePlace& f = sk::kFrames[sk::kGroupBoxFrame];
    const kpicture::Image g = Shot(group);
    EXPECT_EQ(DiffersFromSkin(g, 0, 60 - 3, f.x, f.y + 3, 3, 3), 0);
    EXPECT_EQ(DiffersFromSkin(g, 90 - 3, 60 - 3, f.x + 3, f.y + 3, 3, 3), 0);
    EXPECT_GT(CountIn(g, SkinColour(1), 6, 0, 40, 8), 20);
    EXPECT_EQ(SendMessageA(group, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
}

TEST_F(Buttons, AnImageSetAfterCreationIsLaidOutAndShown) {
    HWND box = Make("", BS_AUTOCHECKBOX | BS_BITMAP, 1, 10, 10, 120, 24);
    HDC screen = GetDC(nullptr);
    HBITMAP red = CreateCompatibleBitmap(screen, 20, 10);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, red);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 20, 10};
    FillRect(memory, &all, brush);
    SelectObject(memory, old);
    DeleteObject(brush);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    EXPECT_EQ(SendMessageA(box, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(red)), 0);
    EXPECT_EQ(SendMessageA(box, BM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(red));
    Pump(dialog_);
    const kpicture::Image shot = kpicture::CaptureWindow(box, true);
    EXPECT_EQ(CountIn(shot, RGB(255, 0, 0), 0, 0, 120, 24), 200) << "the whole bitmap is shown";
    EXPECT_EQ(CountIn(shot, RGB(255, 0, 0), 0, 0, 17, 24), 0) << "beside the glyph, not over it";
    EXPECT_EQ(SendMessageA(box, BM_SETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(red));
    EXPECT_EQ(SendMessageA(box, BM_SETIMAGE, 5, 0), 0) << "an unknown image type";
    DestroyWindow(box);
    BITMAP bm{};
    EXPECT_NE(GetObjectA(red, sizeof bm, &bm), 0) << "the button never frees a borrowed bitmap";
    DeleteObject(red);
}

// ---------------------------------------------------------------- in dialogs

// Radio buttons A, B (automatic), C (manual), D (automatic), then OK (id 5) in a new group.
constexpr int kRadioOk = 5;
TemplateBuilder RadioTemplate() {
    TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 160, 120, "radios");
    t.Add("WKButton", "A", 1, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 8, 8, 60, 12);
    t.Add("WKButton", "B", 2, BS_AUTORADIOBUTTON, 8, 22, 60, 12);
    t.Add("WKButton", "C", 3, BS_RADIOBUTTON, 8, 36, 60, 12);
    t.Add("WKButton", "D", 4, BS_AUTORADIOBUTTON, 8, 50, 60, 12);
    t.Add("WKButton", "OK", kRadioOk, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 90, 8, 50, 14);
    return t;
}

TEST_F(Buttons, AnAutomaticRadioButtonUnchecksOnlyItsAutomaticPeers) {
    Open(RadioTemplate());
    for (int id : {1, 3, 4}) SendDlgItemMessageA(dialog_, id, BM_SETCHECK, BST_CHECKED, 0);
    PostMessageA(Item(2), WM_LBUTTONDOWN, MK_LBUTTON, Point(3, 3));
    Post(Item(2), WM_LBUTTONUP, 0, Point(3, 3));
    EXPECT_EQ(Check(2), BST_CHECKED);
    EXPECT_EQ(Check(1), BST_UNCHECKED);
    EXPECT_EQ(Check(4), BST_UNCHECKED);
    EXPECT_EQ(Check(3), BST_CHECKED) << "a manual radio button is the program's";
    EXPECT_EQ(Log().Count(2, BN_CLICKED), 1);
    EXPECT_TRUE(GetWindowLongA(Item(2), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongA(Item(1), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongA(Item(4), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(Buttons, ArrowKeysMoveTheFocusAndSelect) {
    Open(RadioTemplate());
    SetFocus(Item(4));
    Pump(dialog_);
    EXPECT_EQ(Check(4), BST_UNCHECKED) << "gaining the focus alone checks nothing";
    EXPECT_EQ(Log().Count(4, BN_CLICKED), 0);
    SendDlgItemMessageA(dialog_, 1, BM_SETCHECK, BST_CHECKED, 0);
    SetFocus(Item(1));
    Pump(dialog_);
    EXPECT_EQ(Log().Count(1, BN_CLICKED), 0) << "a checked radio button taking the focus is not clicked";
    Post(Item(1), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(GetFocus(), Item(2));
    EXPECT_EQ(Check(2), BST_CHECKED) << "the arrow selects an automatic radio button";
    EXPECT_EQ(Check(1), BST_UNCHECKED);
    EXPECT_EQ(Log().Count(2, BN_CLICKED), 1) << "once";
    Post(Item(2), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(GetFocus(), Item(3));
    Post(Item(3), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(GetFocus(), Item(4));
    EXPECT_EQ(Log().Count(3, BN_CLICKED), 1) << "the manual one was passed and told";
    EXPECT_EQ(Check(3), BST_UNCHECKED);
    EXPECT_EQ(Check(4), BST_CHECKED);
    EXPECT_EQ(Check(2), BST_UNCHECKED);
}

// The dialog manager clicks the control of a typed mnemonic.
TEST_F(Buttons, AMnemonicChecksItsRadioButton) {
    TemplateBuilder t = RadioTemplate();
    t.Add("WKButton", "&Red", 6, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 8, 70, 60, 12);
    t.Add("WKButton", "&Green", 7, BS_AUTORADIOBUTTON, 8, 84, 60, 12);
    Open(t);
    SetFocus(Item(kRadioOk));
    Pump(dialog_);
    Post(Item(kRadioOk), WM_CHAR, 'g', 1);
    EXPECT_EQ(Check(7), BST_CHECKED);
    EXPECT_EQ(Log().Count(7, BN_CLICKED), 1);
    Post(Item(7), WM_CHAR, 'r', 1);
    EXPECT_EQ(Check(6), BST_CHECKED);
    EXPECT_EQ(Check(7), BST_UNCHECKED);
    EXPECT_EQ(Log().Count(6, BN_CLICKED), 1);
}

// With none of a group checked, its first radio button keeps the tab stop:
// the initial focus and Tab reach it without checking it. A check moves the
// tab stop onto the checked button.
TEST_F(Buttons, TabReachesARadioGroupWithNoneChecked) {
    Open(RadioTemplate());
    EXPECT_EQ(GetFocus(), Item(1)) << "the initial focus";
    EXPECT_EQ(Check(1), BST_UNCHECKED);
    SetFocus(Item(kRadioOk));
    Post(Item(kRadioOk), WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(GetFocus(), Item(1));
    for (int id : {1, 2, 3, 4}) EXPECT_EQ(Check(id), BST_UNCHECKED) << id;
    EXPECT_TRUE(Log().commands.empty());
    SendDlgItemMessageA(dialog_, 3, BM_SETCHECK, BST_CHECKED, 0);
    for (int id : {1, 2, 3, 4})
        EXPECT_EQ((GetWindowLongA(Item(id), GWL_STYLE) & WS_TABSTOP) != 0, id == 3) << id;
}

TEST_F(Buttons, ClickingADisabledRadioButtonEndsItsGroupWalk) {
    Open(RadioTemplate());
    SendDlgItemMessageA(dialog_, 1, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(dialog_, 4, BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(Item(2), FALSE);
    {
        // The group walk skips the disabled button it starts from.
        Watchdog watch(10000, "the radio group walk from a disabled button");
        SendMessageA(Item(2), WM_KEYDOWN, VK_SPACE, 1);
        SendMessageA(Item(2), WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
    }
    EXPECT_EQ(Check(2), BST_CHECKED);
    EXPECT_EQ(Check(1), BST_UNCHECKED);
    EXPECT_EQ(Check(4), BST_UNCHECKED);
    ShowWindow(Item(2), SW_HIDE);
    {
        Watchdog watch(10000, "the radio group walk from a hidden button");
        SendDlgItemMessageA(dialog_, 1, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageA(Item(2), WM_KEYDOWN, VK_SPACE, 1);
        SendMessageA(Item(2), WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
    }
    EXPECT_EQ(Check(1), BST_UNCHECKED);
}

TEST_F(Buttons, AGroupBoxHandsTheFocusOnAndTheDialogMovesTheDefault) {
    TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 160, 100, "groups");
    t.Add("WKButton", "Options", 10, BS_GROUPBOX | WS_GROUP | WS_TABSTOP, 4, 4, 80, 60);
    t.Add("WKButton", "Sharp", 11, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 18, 60, 12);
    t.Add("WKButton", "OK", IDOK, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 100, 8, 50, 14);
    t.Add("WKButton", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 100, 26, 50, 14);
    Open(t);
    SetFocus(Item(IDOK));
    Pump(dialog_);
    Post(Item(IDOK), WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(GetFocus(), Item(IDCANCEL));
    EXPECT_EQ(SendMessageA(Item(IDCANCEL), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON)
        << "the dialog gave the focused push button the default look";
    EXPECT_EQ(SendMessageA(Item(IDOK), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    Post(Item(IDCANCEL), WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(GetFocus(), Item(11)) << "tabbing onto the group box lands on its first control";
    EXPECT_EQ(SendMessageA(Item(IDOK), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON)
        << "the dialog's default button has its look back";
    Post(Item(11), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Log().Count(IDOK, BN_CLICKED), 1) << "Return clicks the dialog's default button";
}

// Every kind in one dialog made by the dialog manager; with KELMARD_PICTURES
// set, its picture is written there (the README's).
TEST_F(Buttons, EveryKindInOneDialog) {
    TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 230, 128, "Buttons, statics and edits",
                     "WKDialog");
    t.Add("WKButton", "Buttons", 1, BS_GROUPBOX | WS_GROUP, 4, 2, 108, 98);
    t.Add("WKButton", "Check box", 2, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 14, 90, 11);
    t.Add("WKButton", "Three states", 3, BS_AUTO3STATE | WS_TABSTOP, 10, 26, 90, 11);
    t.Add("WKButton", "Radio one", 4, BS_AUTORADIOBUTTON | WS_GROUP, 10, 38, 90, 11);
    t.Add("WKButton", "Radio two", 5, BS_AUTORADIOBUTTON, 10, 50, 90, 11);
    t.Add("WKButton", "Disabled", 6, BS_AUTOCHECKBOX | WS_DISABLED | WS_GROUP, 10, 62, 90, 11);
    t.Add("WKButton", "Push-like", 7, BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP, 10, 78, 46, 14);
    t.Add("WKButton", "Push", 8, BS_PUSHBUTTON | WS_TABSTOP, 60, 78, 46, 14);
    t.Add("WKStatic", "A label on the skin, wrapped over two lines.", 9, SS_LEFT, 120, 6, 104, 18);
    t.Add("WKStatic", "Sunken", 10, SS_CENTER | SS_SUNKEN | SS_CENTERIMAGE, 120, 28, 104, 12);
    t.Add("WKStatic", "", 11, SS_ETCHEDHORZ, 120, 46, 104, 2);
    t.Add("WKEdit", "An edit field", 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 120, 54, 104, 12);
    t.Add("WKEdit", "Read-only", 13, ES_AUTOHSCROLL | ES_READONLY | WS_BORDER, 120, 70, 104, 12);
    t.Add("WKButton", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 120, 106, 50, 14);
    t.Add("WKButton", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 174, 106, 50, 14);
    Open(t);
    SendDlgItemMessageA(dialog_, 2, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(dialog_, 3, BM_SETCHECK, BST_INDETERMINATE, 0);
    SendDlgItemMessageA(dialog_, 5, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(dialog_, 7, BM_SETCHECK, BST_CHECKED, 0);
    for (int id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, IDOK, IDCANCEL}) {
        char name[32] = "";
        GetClassNameA(Item(id), name, sizeof name);
        EXPECT_EQ(std::string(name), id >= 9 && id <= 11 ? "WKStatic" : id == 12 || id == 13 ? "WKEdit" : "WKButton")
            << id;
    }
    EXPECT_EQ(SendDlgItemMessageA(dialog_, 7, BM_GETSTATE, 0, 0), BST_CHECKED);
    EXPECT_EQ(Check(3), BST_INDETERMINATE);
    RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const kpicture::Image shot = kpicture::CaptureWindow(dialog_);
    ASSERT_FALSE(shot.empty());
    if (const char* folder = getenv("KELMARD_PICTURES")) {
        EXPECT_TRUE(kpicture::WritePng(shot, std::string(folder) + "\\controls.png"));
    }
}

}  // namespace
