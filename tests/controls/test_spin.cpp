// "WKSpin" with an edit as its buddy, driven as a dialog and a user drive it:
// one table against the system's up-down, both bases with wrap, holds placed
// and cut short, two spins on one buddy, the focus passed on, the skin.
#include "support.h"

#include <commctrl.h>

namespace {

using namespace ctl_test;
using namespace seq;
namespace sk = kelmard::skin;

constexpr int kEdit = 1, kSpin = 2, kOther = 3;
constexpr DWORD kBuddied = UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS;

// The buddy's text changed (a press first gives it the focus); the system's
// spin also tells of a step with UDN_DELTAPOS and WM_VSCROLL.
const std::initializer_list<Msg> kChanged = {Optional(Command(kEdit, EN_SETFOCUS)), Optional(Command(kEdit, EN_UPDATE)),
                                             Command(kEdit, EN_CHANGE)};
const std::initializer_list<Msg> kStepped = {Optional(Command(kEdit, EN_SETFOCUS)),
                                             Optional(Msg{WM_NOTIFY, kSpin, static_cast<int>(UDN_DELTAPOS)}),
                                             Optional(Command(kEdit, EN_UPDATE)), Command(kEdit, EN_CHANGE),
                                             Optional(Many(Msg{WM_VSCROLL, kSpin}))};
const std::initializer_list<Msg> kAnyChanges = {Optional(Many(Command(kEdit, kAny)))};

Step TextIs(const char* text) {
    return Do(std::string("the buddy shows ") + text, [text](HWND d) {
        char shown[64] = "";
        GetDlgItemTextA(d, kEdit, shown, sizeof shown);
        EXPECT_STREQ(shown, text);
    });
}
Step Type(const char* text) {
    const auto set = [text](HWND d) { SetDlgItemTextA(d, kEdit, text); };
    return Do(std::string("buddy text set to ") + text, set).Sees(kChanged);
}
Step Wait(DWORD ms) { return Do("wait " + std::to_string(ms) + " ms", [ms](HWND d) { Pump(d, ms); }); }
Step GetPos(LRESULT answer) { return Send(kSpin, UDM_GETPOS).Answers(answer); }
Step FocusBuddy() { return Focus(kEdit).Sees({Optional(Command(kEdit, EN_SETFOCUS))}); }
int Value(HWND d) { return static_cast<int>(GetDlgItemInt(d, kEdit, nullptr, TRUE)); }

class Spins : public ControlDialog {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&init);
    }
    // An edit (100 x 22 at 10, 10) and after it a spin taking its right end.
    void MakePair(DWORD spinStyle = kBuddied) {
        Make("WKEdit", "", ES_AUTOHSCROLL | WS_TABSTOP, kEdit, 10, 10, 100, 22, WS_EX_CLIENTEDGE);
        Make("WKSpin", "", spinStyle, kSpin, 0, 0, 10, 10);
    }
};

// An automatic, aligned spin is bordered from its creation, buddy or not.
TEST_F(Spins, AnAlignedAutomaticSpinIsBorderedWithoutABuddy) {
    Make("WKSpin", "", kBuddied, kSpin, 0, 0, 16, 22);
    EXPECT_EQ(SendMessageA(Item(kSpin), UDM_GETBUDDY, 0, 0), 0);
    EXPECT_TRUE(GetWindowLongPtrA(Item(kSpin), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    Make("WKSpin", "", UDS_AUTOBUDDY | UDS_SETBUDDYINT, kOther, 20, 0, 16, 22);
    EXPECT_FALSE(GetWindowLongPtrA(Item(kOther), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "no alignment, no border";
}

// A template written for the system's up-down, converted, runs the same table.
TEST_F(Spins, ASystemWrittenDialogRunsUnchanged) {
    TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 160, 60, "spin");
    t.Add("Edit", "", kEdit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8, 8, 60, 14);
    t.Add("msctls_updown32", "", kSpin, kBuddied, 0, 0, 10, 10);
    for (bool skinned : {true, false}) {
        SCOPED_TRACE(skinned ? "WKSpin" : "msctls_updown32");
        dialog_.reset(OpenDialog(t, skinned));
        ASSERT_TRUE(dialog_);
        EXPECT_EQ(ClassOf(Item(kSpin)), skinned ? "WKSpin" : "msctls_updown32");
        RECT r;
        GetClientRect(Item(kSpin), &r);
        const int down = r.bottom - 3;
        EXPECT_TRUE(Run({
            Send(kSpin, UDM_SETRANGE, 0, MAKELONG(100, 0)), Send(kSpin, UDM_GETRANGE).Answers(MAKELONG(100, 0)),
            Send(kSpin, UDM_SETPOS, 0, MAKELONG(42, 0)).Answers(0).Sees(kChanged), TextIs("42"), GetPos(42),
            Type("57"), GetPos(57),  // the buddy's text is read again
            FocusBuddy(), KeyDown(VK_UP).Sees(kStepped), TextIs("58"), KeyUp(VK_UP),
            Press(kSpin, 4, down).Sees(kStepped), TextIs("57"),
            Release(kSpin, 4, down).Sees({Optional(Msg{WM_VSCROLL, kSpin})}), CaptureIs(kNobody),
            Send(kSpin, UDM_SETPOS32, 0, 250).Answers(57).Sees(kChanged), TextIs("100")}));
    }
}

// Keys wrap in both bases; UDM_SETPOS's older form; a negative position answered sign-extended.
TEST_F(Spins, TheBuddysTextInBothBasesWithWrap) {
    MakePair(kBuddied | UDS_WRAP);
    EXPECT_TRUE(Run({
        Send(kSpin, UDM_SETRANGE32, 0, 255), Send(kSpin, UDM_SETPOS, 254).Sees(kChanged), TextIs("254"),
        FocusBuddy(), KeyDown(VK_UP).Sees(kChanged), TextIs("255"),
        KeyDown(VK_UP).Sees(kChanged), TextIs("0"), KeyDown(VK_DOWN).Sees(kChanged), TextIs("255"),
        Send(kSpin, UDM_SETBASE, 16).Answers(10).Sees(kChanged), TextIs("ff"),
        Send(kSpin, UDM_SETBASE, 8).Answers(0), Send(kSpin, UDM_GETBASE).Answers(16),
        Type("0x1A"), GetPos(26), KeyDown(VK_UP).Sees(kChanged), TextIs("1b"),
        Send(kSpin, UDM_SETBASE, 10).Sees(kChanged), Send(kSpin, UDM_SETRANGE32, -300, 300),
        Send(kSpin, UDM_SETPOS32, 0, -5).Sees(kChanged), TextIs("-5"), GetPos(-5)}));
}

// A held arrow steps at once, then repeats faster by the acceleration table,
// pausing while the cursor is off the arrow.
TEST_F(Spins, AHeldArrowRepeatsAndAcceleratesWhileTheCursorIsOnIt) {
    MakePair();
    const UDACCEL table[] = {{0, 1}, {1, 10}};
    SendMessageA(Item(kSpin), UDM_SETRANGE32, 0, 100000);
    SendMessageA(Item(kSpin), UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(table));
    int paused = 0;
    const auto holding = [](const char* what, DWORD ms, std::function<void(HWND)> check) {
        return Do(what, [ms, check](HWND d) { Pump(d, ms), check(d); }).Sees(kAnyChanges);
    };
    EXPECT_TRUE(Run({
        Press(kSpin, 4, 2).Sees(kChanged), TextIs("1"), Wait(250), TextIs("1"), CaptureIs(kSpin).Sees(kAnyChanges),
        holding("held 1.6 s more, it accelerated", 1600, [](HWND d) { EXPECT_GE(Value(d), 20); }),
        Move(kSpin, -40, -40).Sees(kAnyChanges), holding("off the arrow", 0, [&](HWND d) { paused = Value(d); }),
        Wait(500), Do("paused", [&](HWND d) { EXPECT_EQ(Value(d), paused); }),
        Move(kSpin, 4, 2).Sees(kAnyChanges),
        holding("back on it 400 ms", 400, [&](HWND d) { EXPECT_GT(Value(d), paused); }),
        Release(kSpin, 4, 2).Sees(kAnyChanges), CaptureIs(kNobody), Wait(400)}));
}

// Lost capture or WM_CANCELMODE end a hold and its timer; a tick without capture does nothing.
TEST_F(Spins, AHoldEndsWhenItsCaptureGoes) {
    MakePair();
    SendMessageA(Item(kSpin), UDM_SETRANGE32, 0, 100);
    EXPECT_TRUE(Run({
        Press(kSpin, 4, 2).Sees(kChanged), Do("capture to the edit", [](HWND d) { SetCapture(GetDlgItem(d, kEdit)); }),
        CaptureIs(kEdit), Wait(700), TextIs("1"), Do("release", [](HWND) { ReleaseCapture(); }),
        Press(kSpin, 4, 2).Sees(kChanged), Send(kSpin, WM_CANCELMODE), CaptureIs(kNobody), Wait(700), TextIs("2"),
        Release(kSpin, 4, 2), Send(kSpin, WM_TIMER, 1), TextIs("2")}));
}

// A second spin on the same buddy leaves its keys to the first, and takes
// them once the first is gone and has given the buddy its procedure back.
TEST_F(Spins, TwoSpinsOnOneBuddy) {
    Make("WKEdit", "", ES_AUTOHSCROLL | WS_TABSTOP, kEdit, 10, 10, 100, 22, WS_EX_CLIENTEDGE);
    const LONG_PTR own = GetWindowLongPtrA(Item(kEdit), GWLP_WNDPROC);
    Make("WKSpin", "", kBuddied, kSpin, 0, 0, 10, 10);
    Make("WKSpin", "", UDS_SETBUDDYINT | UDS_ARROWKEYS, kOther, 150, 10, 16, 22);
    Watchdog watch(15000, "keys on a buddy of two spins");
    const LPARAM edit = reinterpret_cast<LPARAM>(Item(kEdit));
    const auto ownProcedure = [own](HWND d) { EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(d, kEdit), GWLP_WNDPROC), own); };
    EXPECT_TRUE(Run({
        Send(kOther, UDM_SETBUDDY, static_cast<WPARAM>(edit)), Send(kSpin, UDM_SETRANGE32, 0, 100),
        Send(kOther, UDM_SETRANGE32, 0, 100), Send(kSpin, UDM_SETPOS32, 0, 10).Sees(kChanged),
        FocusBuddy(), KeyDown(VK_UP).Sees(kChanged), TextIs("11"), Send(kOther, UDM_GETPOS).Answers(11),
        Do("destroy the first", [](HWND d) { DestroyWindow(GetDlgItem(d, kSpin)); })
            .Sees({Many(Msg{WM_PARENTNOTIFY, kAny, WM_DESTROY})}),
        Do("own procedure back", ownProcedure), KeyDown(VK_UP), TextIs("11"),  // the edit's own key now
        Send(kOther, UDM_SETBUDDY, static_cast<WPARAM>(edit)).Answers(edit),
        KeyDown(VK_UP).Sees(kChanged), TextIs("12")}));
}

// The focus goes on to the buddy, or along the group; two buddy-less spins
// never pass it back and forth.
TEST_F(Spins, FocusPassesOnWithoutBouncing) {
    MakePair();
    Make("WKSpin", "", WS_GROUP | WS_TABSTOP, 5, 150, 10, 16, 30);
    Make("WKSpin", "", WS_TABSTOP, 6, 170, 10, 16, 30);
    Watchdog watch(10000, "the focus between two spins");
    EXPECT_TRUE(Run({Focus(kSpin).Sees({Optional(Command(kEdit, EN_SETFOCUS))}), FocusIs(kEdit),
                     Focus(5).Sees({Optional(Command(kEdit, EN_KILLFOCUS))}), FocusIs(6)}));
}

TEST_F(Spins, PaintsTheSkinsArrowButtonsByState) {
    HWND spin = Make("WKSpin", "", 0, kSpin, 10, 10, 16, 40);
    const sk::SpritePlace& s = sk::kSprites[sk::kArrowButtonSprite];
    auto corner = [&](int y, int look) { return DiffersFromSkin(Shot(spin), 0, y, s.x, s.y + s.rowStep * look, 3, 3); };
    EXPECT_EQ(corner(0, 1) + corner(20, 1), 0);
    const int glyph = CountIn(Shot(spin), SkinColour(19), 0, 0, 16, 20);
    const auto pressed = [&](HWND) { EXPECT_TRUE(corner(0, 2) == 0 && corner(20, 1) == 0) << "only the up arrow"; };
    EXPECT_TRUE(Run({Press(kSpin, 4, 2), Do("pressed", pressed), Release(kSpin, 4, 2)}));
    EnableWindow(spin, FALSE);
    EXPECT_GT(glyph, CountIn(Shot(spin), SkinColour(19), 0, 0, 16, 20) + 2) << "the glyph in the alternate palette";
    EXPECT_EQ(corner(0, 0) + corner(20, 0), 0);
}

}  // namespace
