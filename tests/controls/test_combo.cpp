// "WKComboBox" in dialogs made from templates naming the system's combo box:
// every way the list closes, in the order the dialog hears it (also against
// the system's combo box), Escape and Return reaching an open combo inside a
// modal dialog, the text and selection a cancel gives back, the painted skin.
#include <functional>

#include "support.h"

namespace {

using namespace ctl_test;
using namespace seq;
namespace sk = kelmard::skin;

constexpr int kCombo = 7, kOther = 8;
constexpr LPARAM kAltKey = 0x20000001;
constexpr UINT kRunTable = WM_APP + 7;

Msg Cbn(int code) { return Command(kCombo, code); }
Msg MaybeChange() { return Optional(Cbn(CBN_SELCHANGE)); }
Step Opens(const Step& s) { return s.Sees({Cbn(CBN_DROPDOWN)}); }
Step Cancels(const Step& s) { return s.Sees({Cbn(CBN_SELENDCANCEL), Cbn(CBN_CLOSEUP)}); }
Step Chooses(const Step& s) { return s.Sees({Cbn(CBN_SELENDOK), Cbn(CBN_CLOSEUP)}); }
Step Dropped(bool open) { return Send(kCombo, CB_GETDROPPEDSTATE).Answers(open ? 1 : 0); }
Step Selected(int index) { return Send(kCombo, CB_GETCURSEL).Answers(index); }

COMBOBOXINFO InfoOf(HWND dialog) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    SendDlgItemMessageA(dialog, kCombo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}

// Mouse input where the system delivers it: to the window holding the
// capture, else to the window under the point (given on the screen).
Step MouseAt(UINT message, WPARAM keys, const char* what, std::function<POINT(HWND)> where) {
    return Do(what, [=](HWND dialog) {
        const POINT screen = where(dialog);
        SetCursorPos(screen.x, screen.y);
        Pump(dialog);
        HWND target = GetCapture();
        if (!target) target = WindowFromPoint(screen);
        POINT p = screen;
        ScreenToClient(target, &p);
        PostMessageA(target, message, keys, MAKELPARAM(p.x, p.y));
    });
}
POINT OnButton(HWND dialog) {
    const COMBOBOXINFO info = InfoOf(dialog);
    POINT p{(info.rcButton.left + info.rcButton.right) / 2, (info.rcButton.top + info.rcButton.bottom) / 2};
    ClientToScreen(info.hwndCombo, &p);
    return p;
}
std::function<POINT(HWND)> OnItem(int item) {
    return [item](HWND dialog) {
        const HWND list = InfoOf(dialog).hwndList;
        const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        POINT p{20, h * item + h / 2};
        ClientToScreen(list, &p);
        return p;
    };
}
POINT OnOther(HWND dialog) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, kOther), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
Step PressButton() { return MouseAt(WM_LBUTTONDOWN, MK_LBUTTON, "press on the combo's button", OnButton); }
Step ReleaseButton() { return MouseAt(WM_LBUTTONUP, 0, "release on the combo's button", OnButton); }
Step PressItem(int i) { return MouseAt(WM_LBUTTONDOWN, MK_LBUTTON, "press on an item", OnItem(i)); }
Step ReleaseItem(int i) { return MouseAt(WM_LBUTTONUP, 0, "release on an item", OnItem(i)); }
Step HoverItem(int i) { return MouseAt(WM_MOUSEMOVE, 0, "pointer over an item", OnItem(i)); }
Step DragToItem(int i) { return MouseAt(WM_MOUSEMOVE, MK_LBUTTON, "drag over an item", OnItem(i)); }
Step PressOutside() { return MouseAt(WM_LBUTTONDOWN, MK_LBUTTON, "press outside the list", OnOther); }
Step ReleaseOutside() { return MouseAt(WM_LBUTTONUP, 0, "release outside the list", OnOther); }
Step AltDown() {
    return Do("Alt+Down", [](HWND d) { PostMessageA(detail::FocusOf(d), WM_SYSKEYDOWN, VK_DOWN, kAltKey); });
}
Step TextIs(const char* want) {
    return Do(std::string("text is ") + want, [want](HWND d) {
        char text[64] = "";
        GetDlgItemTextA(d, kCombo, text, sizeof text);
        EXPECT_STREQ(text, want);
    });
}
// The dialog gives the combo the focus first; the tables start elsewhere.
Step FocusAway() { return Focus(kOther).Sees({Optional(Cbn(CBN_SELENDCANCEL)), Cbn(CBN_KILLFOCUS)}); }
Step Fill() {
    return Do("fill the list, select Beta, the pointer away", [](HWND d) {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        for (const char* item : {"Alpha", "Beta", "Gamma", "Delta"})
            SendDlgItemMessageA(d, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendDlgItemMessageA(d, kCombo, CB_SETCURSEL, 1, 0);
    });
}

TemplateBuilder ComboTemplate(DWORD kind, DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE) {
    TemplateBuilder t = DialogTemplate(style, 200, 120);
    t.Count().Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | kind, 10, 10, 100, 80, kCombo)
        .Ordinal(testing_support::kComboBoxAtom).String("").NoData();
    t.Add("Button", "Other", kOther, BS_PUSHBUTTON | WS_TABSTOP, 130, 80, 50, 14);
    return t;
}

class Combos : public ControlDialog {
protected:
    // For each kind, a dialog with the library's combo (and then with the
    // system's, if `both`) and the table for it.
    void ForEach(std::initializer_list<DWORD> kinds, bool both, const std::function<Table(bool, DWORD)>& table) {
        for (DWORD kind : kinds)
            for (const bool ours : {true, false}) {
                if (!ours && !both) continue;
                SCOPED_TRACE(std::string(ours ? "WKComboBox" : "ComboBox") + " kind " + std::to_string(kind));
                dialog_.reset(OpenDialog(ComboTemplate(kind), ours));
                ASSERT_TRUE(dialog_);
                EXPECT_TRUE(!ours || ClassOf(Item(kCombo)) == "WKComboBox");
                EXPECT_TRUE(Run(table(ours, kind)));
            }
    }
};

// Every way an open list closes, as the dialog hears it.
TEST_F(Combos, EveryWayTheListClosesTellsTheDialogInOrder) {
    ForEach({CBS_DROPDOWNLIST, CBS_DROPDOWN}, true, [](bool ours, DWORD) {
        // The system's list may tell of the new selection before it closes.
        const Step release =
            ours ? ReleaseItem(3).Sees({Cbn(CBN_SELENDOK), Cbn(CBN_CLOSEUP), Cbn(CBN_SELCHANGE)})
                 : ReleaseItem(3).Sees({MaybeChange(), Cbn(CBN_SELENDOK), Cbn(CBN_CLOSEUP), MaybeChange()});
        return Table{Fill(), FocusAway(), Focus(kCombo).Sees({Cbn(CBN_SETFOCUS)}),
                     // F4 and Alt+Down open and close; closing so is no choice.
                     Opens(KeyDown(VK_F4)), Dropped(true), Cancels(KeyDown(VK_F4)), Dropped(false), Opens(AltDown()),
                     Dropped(true), Cancels(AltDown()), Dropped(false),
                     // Escape cancels, Return chooses, a press outside the list cancels.
                     Opens(KeyDown(VK_F4)), Cancels(KeyDown(VK_ESCAPE)), Opens(KeyDown(VK_F4)),
                     Chooses(KeyDown(VK_RETURN)), Selected(1), Dropped(false), Opens(KeyDown(VK_F4)),
                     Cancels(PressOutside()), ReleaseOutside(), Dropped(false),
                     // A click on an item of a list opened by the button chooses it.
                     Opens(PressButton()), ReleaseButton(), Dropped(true),
                     PressItem(3).Sees({Optional(Many(Cbn(CBN_SELCHANGE)))}), release, Selected(3), Dropped(false),
                     // The focus going elsewhere cancels.
                     Opens(KeyDown(VK_F4)),
                     Focus(kOther).Sees({Cbn(CBN_SELENDCANCEL), Cbn(CBN_CLOSEUP), Cbn(CBN_KILLFOCUS)}),
                     Dropped(false), CaptureIs(kNobody)};
    });
}

// A drag from the button chooses the item released on; a press on the
// button that ends after the list was closed leaves the mouse free (the
// hidden list does not take it). The system's list takes over a drag with
// the combo's coordinates and cancels: these run on the library's combo only.
TEST_F(Combos, ADragChoosesAndAPressEndingAfterTheCloseLeavesTheMouseFree) {
    ForEach({CBS_DROPDOWNLIST, CBS_DROPDOWN}, false, [](bool, DWORD kind) {
        const Table start{Fill(), FocusAway(), PressButton().Sees({Cbn(CBN_SETFOCUS), Cbn(CBN_DROPDOWN)})};
        if (kind == CBS_DROPDOWNLIST)
            return Then({start,
                         {DragToItem(2), DragToItem(2),
                          ReleaseItem(2).Sees({MaybeChange(), Cbn(CBN_SELENDOK), Cbn(CBN_CLOSEUP), MaybeChange()}),
                          Selected(2), TextIs("Gamma"), CaptureIs(kNobody)}});
        return Then({start,
                     {Cancels(KeyDown(VK_ESCAPE)), ReleaseButton(), Dropped(false), CaptureIs(kNobody),
                      Opens(KeyDown(VK_F4)), Cancels(KeyDown(VK_F4)), CaptureIs(kNobody)}});
    });
}

// A cancel gives back the text and the selection the dialog last heard of,
// whatever the pointer or the typing did meanwhile.
TEST_F(Combos, ACancelRestoresTheTextAndTheSelection) {
    ForEach({CBS_DROPDOWNLIST, CBS_DROPDOWN}, false, [](bool, DWORD kind) {
        Table t{Fill(), Opens(KeyDown(VK_F4)), HoverItem(3), Selected(3)};
        if (kind == CBS_DROPDOWN)
            t = Then({t, {Char('Z').Sees({Cbn(CBN_EDITUPDATE), Cbn(CBN_EDITCHANGE)}), TextIs("Z")}});
        return Then({t,
                     {Cancels(KeyDown(VK_ESCAPE)), Selected(1), TextIs("Beta"),
                      // A press outside after the pointer moved gives back the same.
                      Opens(KeyDown(VK_F4)), HoverItem(0), Cancels(PressOutside()), ReleaseOutside(), Selected(1),
                      TextIs("Beta"),
                      // Keys move the selection and tell of it at once: that stays.
                      Opens(KeyDown(VK_F4)), KeyDown(VK_DOWN).Sees({Cbn(CBN_SELCHANGE)}), TextIs("Gamma"),
                      Cancels(KeyDown(VK_ESCAPE)), Selected(2)}});
    });
}

// Escape and Return with the list open go to the combo, not to the modal
// dialog around it; with the list closed they are the dialog's again.
INT_PTR CALLBACK RunTableProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    static std::pair<const Table*, testing::AssertionResult*>* job = nullptr;
    if (message == WM_INITDIALOG) {
        job = reinterpret_cast<decltype(job)>(lParam);
        PostMessageA(dialog, kRunTable, 0, 0);
        return TRUE;
    }
    if (message != kRunTable || !job) return FALSE;
    *job->second = seq::Run(dialog, *job->first);
    EndDialog(dialog, 1);
    return TRUE;
}

TEST(ComboInModalDialog, EscapeAndReturnReachTheOpenComboNotTheDialog) {
    for (DWORD kind : {DWORD(CBS_DROPDOWNLIST), DWORD(CBS_DROPDOWN)})
        for (const bool ours : {true, false}) {
            SCOPED_TRACE(ours ? "WKComboBox" : "ComboBox");
            const TemplateBuilder t = ComboTemplate(kind, kPopupCaption);
            const Table table{Fill(), FocusAway(), Focus(kCombo).Sees({Cbn(CBN_SETFOCUS)}), Opens(KeyDown(VK_F4)),
                              Cancels(KeyDown(VK_ESCAPE)), Opens(KeyDown(VK_F4)), Chooses(KeyDown(VK_RETURN)),
                              KeyDown(VK_ESCAPE).Sees({Command(IDCANCEL, BN_CLICKED)}),
                              KeyDown(VK_RETURN).Sees({Command(IDOK, BN_CLICKED)})};
            testing::AssertionResult result = testing::AssertionFailure() << "the table did not run";
            std::pair<const Table*, testing::AssertionResult*> job{&table, &result};
            const LPARAM arg = reinterpret_cast<LPARAM>(&job);
            ASSERT_TRUE(Library());
            const INT_PTR ended = ours ? WKDialogBoxIndirectParam(Self(), Get(t), nullptr, RunTableProc, arg)
                                       : DialogBoxIndirectParamA(Self(), Get(t), nullptr, RunTableProc, arg);
            EXPECT_EQ(ended, 1);
            EXPECT_TRUE(result);
        }
}

// Typing in a dialog as in the system's combo: a program giving the combo
// the focus again leaves it in the edit; typed text is no item (no
// selection) and Return keeps it; a drop-down list selects by typing.
TEST_F(Combos, TypingAsTheSystemCombo) {
    ForEach({CBS_DROPDOWN, CBS_DROPDOWNLIST}, true, [](bool, DWORD kind) {
        const Table start{Fill(), FocusAway(), Focus(kCombo).Sees({Cbn(CBN_SETFOCUS)})};
        if (kind == CBS_DROPDOWNLIST)
            return Then({start,
                         {Char('d').Sees({Optional(Cbn(CBN_SELENDOK)), Cbn(CBN_SELCHANGE), Optional(Cbn(CBN_SELENDOK))}),
                          Selected(3), TextIs("Delta")}});
        return Then({start,
                     {Focus(kCombo).Sees({Optional(Cbn(CBN_SELENDCANCEL)), Optional(Cbn(CBN_KILLFOCUS)),
                                          Optional(Cbn(CBN_SETFOCUS))}),
                      Char('Z').Sees({Cbn(CBN_EDITUPDATE), Cbn(CBN_EDITCHANGE)}), TextIs("Z"), Selected(-1),
                      Opens(KeyDown(VK_F4)), Chooses(KeyDown(VK_RETURN)), TextIs("Z"), Selected(-1)}});
    });
}

// The simple kind shows its list for good: the arrows move its selection,
// F4 does nothing, the extended interface does not apply.
TEST_F(Combos, TheSimpleKindKeepsItsListShown) {
    ForEach({CBS_SIMPLE}, true, [](bool, DWORD) {
        return Table{Fill(), FocusAway(), Focus(kCombo).Sees({Cbn(CBN_SETFOCUS)}),
                     KeyDown(VK_DOWN).Sees({Optional(Cbn(CBN_SELENDOK)), Cbn(CBN_SELCHANGE),
                                            Optional(Cbn(CBN_SELENDOK))}),
                     Selected(2), TextIs("Gamma"), KeyDown(VK_F4), Dropped(false),
                     Send(kCombo, CB_SETEXTENDEDUI, TRUE).Answers(CB_ERR)};
    });
}

// The painted skin in each state; answers a dialog relies on: sizes, the
// dropped rectangle (also with no place to write it), and "not done" for
// what a drop-down list cannot do.
TEST_F(Combos, TheSkinInEachStateSizesAndAnswers) {
    dialog_.reset(OpenDialog(ComboTemplate(CBS_DROPDOWNLIST), true));
    ASSERT_TRUE(dialog_);
    const HWND combo = Item(kCombo);
    const sk::SpritePlace& s = sk::kSprites[sk::kArrowButtonSprite];
    const RECT b = InfoOf(dialog_.get()).rcButton;
    auto cornerDiffers = [&](int look) {
        return DiffersFromSkin(Shot(combo), b.left, b.top, s.x, s.y + s.rowStep * look, s.edge, s.edge);
    };
    EXPECT_EQ(cornerDiffers(1), 0) << "normal";
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("MMMMMM"));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SetFocus(combo);
    const RECT t = InfoOf(dialog_.get()).rcItem;
    EXPECT_GT(CountIn(Shot(combo), SkinColour(sk::kAlternateTextVariant2Color), t.left, t.top, t.right, t.bottom), 20)
        << "focused: the text on the selection colour";
    EnableWindow(combo, FALSE);
    EXPECT_EQ(cornerDiffers(0), 0) << "disabled";
    EXPECT_GT(CountNear(Shot(combo), SkinColour(sk::kGreyTextColor), t.left, t.top, t.right, t.bottom), 5);
    EnableWindow(combo, TRUE);

    RECT units{0, 0, 100, 80}, ten{0, 1, 0, 10}, client, dropped{}, list;
    MapDialogRect(dialog_.get(), &units);
    MapDialogRect(dialog_.get(), &ten);
    GetClientRect(combo, &client);
    EXPECT_EQ(client.bottom, ten.bottom + 5) << "closed: ten dialog units and the frame";
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, 0), CB_OKAY);
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)), CB_OKAY);
    EXPECT_EQ(dropped.bottom - dropped.top, units.bottom) << "down to the height the template asked for";
    EXPECT_EQ(SendMessageA(combo, CB_SETDROPPEDWIDTH, 300, 0), 300);
    for (UINT notDone : {UINT(CB_GETEDITSEL), UINT(CB_SETEDITSEL), UINT(CB_LIMITTEXT), UINT(WM_SETTEXT)})
        EXPECT_EQ(SendMessageA(combo, notDone, 0, 0), CB_ERR) << std::hex << notDone;
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    const COMBOBOXINFO info = InfoOf(dialog_.get());
    EXPECT_EQ(ClassOf(info.hwndList), "WKListBox");
    GetWindowRect(info.hwndList, &list);
    EXPECT_EQ(list.right - list.left, 300);
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(IsWindowVisible(info.hwndList));
}

}  // namespace
