// "WKListBox" driven as a dialog and a user drive it: keys, type-ahead and
// the mouse with and without LBS_NOTIFY, run against the system's list box
// too where the library promises the same; scrolling by the scroll bar, the
// answers to the list messages, the combo mode, the kinds left to the system
// list, and the painted selection.
#include <string>

#include "support.h"

namespace {

using namespace ctl_test;
using namespace seq;

constexpr int kList = 1;
constexpr int kRows = 4;  // whole rows the test lists show
constexpr UINT kSetComboMode = WM_USER + 100;
const char* const kTen[] = {"alpha", "bravo", "beta", "brick", "charlie", "delta", "echo", "fox", "golf", "hotel"};

Msg SelChange() { return Command(kList, LBN_SELCHANGE); }
Step Selected(LRESULT index) { return Send(kList, LB_GETCURSEL).Answers(index); }
Step Top(LRESULT index) { return Send(kList, LB_GETTOPINDEX).Answers(index); }

class ListBoxes : public ControlDialog {
protected:
    // A list `kRows` rows high in the dialog's font, filled with `kTen`.
    HWND List(const char* cls, DWORD style, int rows = kRows, int count = 10) {
        const auto font = static_cast<WPARAM>(SendMessageA(dialog_.get(), WM_GETFONT, 0, 0));
        HWND list = Make(cls, "", style | WS_BORDER, kList, 10, 10, 140, 40);
        SendMessageA(list, WM_SETFONT, font, FALSE);
        itemHeight_ = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        SetWindowPos(list, nullptr, 0, 0, 140, rows * itemHeight_ + 2, SWP_NOMOVE | SWP_NOZORDER);
        for (int i = 0; i < count; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kTen[i % 10]));
        UpdateWindow(list);
        return list;
    }
    // For the library's class and then the system's, a fresh dialog with a
    // list of `style`, and the table for that class.
    template <typename MakeTable>
    void ForBoth(DWORD style, MakeTable table) {
        for (const char* cls : {"WKListBox", "ListBox"}) {
            SCOPED_TRACE(cls);
            Open(DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 240, 160));
            List(cls, style);
            EXPECT_TRUE(Run(table(cls[0] == 'W')));
        }
    }
    // The middle of row `row` in the list's client.
    int RowY(int row) const { return row * itemHeight_ + itemHeight_ / 2; }
    LPARAM Row(int row) const { return At(20, RowY(row)); }
    int itemHeight_ = 0;
};

// Arrows, Home, End and the page keys: the same selection, top index and
// notifications as the system list, LBN_SELCHANGE only with LBS_NOTIFY.
TEST_F(ListBoxes, KeysSelectAndScrollAsTheSystemList) {
    for (DWORD notify : {0ul, static_cast<unsigned long>(LBS_NOTIFY)}) {
        SCOPED_TRACE(notify ? "LBS_NOTIFY" : "no LBS_NOTIFY");
        // Without WS_VSCROLL as well: the selection still scrolls into view.
        for (DWORD scroll : {0ul, static_cast<unsigned long>(WS_VSCROLL)}) {
            ForBoth(notify | scroll, [&](bool) {
                auto key = [&](UINT vk, LRESULT selected, LRESULT top) {
                    Table t = Key(vk);
                    if (notify) t[0] = t[0].Sees({SelChange()});
                    return Then({t, {Selected(selected), Top(top)}});
                };
                return Then({{Focus(kList).Sees({Command(kList, LBN_SETFOCUS)}),
                               Send(kList, WM_GETDLGCODE).Answers(DLGC_WANTARROWS | DLGC_WANTCHARS),
                               Send(kList, LB_SETCURSEL, 0).Answers(0)},  // no notification
                              key(VK_DOWN, 1, 0), key(VK_NEXT, 4, 1), key(VK_END, 9, 6), key(VK_PRIOR, 6, 6),
                              key(VK_UP, 5, 5), key(VK_RIGHT, 6, 5), key(VK_HOME, 0, 0), key(VK_LEFT, 0, 0)});
            });
        }
    }
}

// Typing a letter again steps through the items that begin with it; the
// system list tells of it as of a key.
TEST_F(ListBoxes, TypeAheadStepsThroughTheItemsOfALetter) {
    for (DWORD notify : {0ul, static_cast<unsigned long>(LBS_NOTIFY)}) {
        SCOPED_TRACE(notify ? "LBS_NOTIFY" : "no LBS_NOTIFY");
        ForBoth(notify | WS_VSCROLL, [&](bool ours) {
            auto type = [&](char c, LRESULT selected) {
                Step s = Char(c);
                if (notify) s = s.Sees({SelChange()});
                return Table{s, Selected(selected)};
            };
            Table t = Then({{Focus(kList).Sees({Command(kList, LBN_SETFOCUS)})}, type('b', 1), type('b', 2),
                            type('b', 3), type('b', 1)});
            // The system list looks for one letter; the library's for what
            // was typed within two seconds (its timer empties the buffer).
            if (!ours) return Then({t, type('h', 9), {Top(6)}});
            return Then({t, {Send(kList, WM_TIMER, 2)}, type('c', 4), type('h', 4), {Char('x'), Selected(4)},
                         {Send(kList, WM_TIMER, 2)}, type('h', 9), {Top(6)}});
        });
    }
}

// A click selects at the release (LBN_SELCHANGE with LBS_NOTIFY), a press
// takes the focus, a double click reports LBN_DBLCLK with LBS_NOTIFY.
TEST_F(ListBoxes, MouseSelectsAsTheSystemList) {
    for (DWORD notify : {0ul, static_cast<unsigned long>(LBS_NOTIFY)}) {
        SCOPED_TRACE(notify ? "LBS_NOTIFY" : "no LBS_NOTIFY");
        ForBoth(notify | WS_VSCROLL, [&](bool) {
            auto release = [&](int y) { return notify ? Release(kList, 20, y).Sees({SelChange()}) : Release(kList, 20, y); };
            Step dbl = Send(kList, WM_LBUTTONDBLCLK, MK_LBUTTON, At(20, RowY(1)));
            if (notify) dbl = dbl.Sees({Command(kList, LBN_DBLCLK)});
            return Table{Press(kList, 20, RowY(2)).Sees({Command(kList, LBN_SETFOCUS)}), CaptureIs(kList),
                         Selected(2), FocusIs(kList), release(RowY(2)), CaptureIs(kNobody), dbl, Selected(2),
                         // Dragged over the items, the selection follows the pointer's row.
                         Press(kList, 20, RowY(0)), Move(kList, 20, RowY(3)), Selected(3), release(RowY(3))};
        });
    }
}

// The answers to the list messages, bad indices included (negative ones
// too), and the selection and top index after deletions.
TEST_F(ListBoxes, MessagesAnswerAsTheSystemList) {
    ForBoth(WS_VSCROLL | LBS_NOTIFY, [&](bool ours) {
        char text[32];
        auto textIs = [&text](const char* want) {
            return Do(std::string("text is ") + want, [&text, want](HWND) { EXPECT_STREQ(text, want); });
        };
        return Table{
            Send(kList, LB_GETCOUNT).Answers(10), Send(kList, LB_GETTEXTLEN, 4).Answers(7),
            Send(kList, LB_GETTEXT, 4, reinterpret_cast<LPARAM>(text)).Answers(7), textIs("charlie"),
            Send(kList, LB_GETTEXT, static_cast<WPARAM>(-5), reinterpret_cast<LPARAM>(text)).Answers(LB_ERR),
            Send(kList, LB_GETTEXTLEN, 10).Answers(LB_ERR),
            Send(kList, LB_SETCURSEL, static_cast<WPARAM>(-5)).Answers(LB_ERR), Selected(LB_ERR),
            Send(kList, LB_SETITEMDATA, 3, 77).Answers(TRUE), Send(kList, LB_GETITEMDATA, 3).Answers(77),
            Send(kList, LB_GETITEMDATA, static_cast<WPARAM>(-1)).Answers(LB_ERR),
            Send(kList, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("BR")).Answers(1),
            Send(kList, LB_FINDSTRINGEXACT, 1, reinterpret_cast<LPARAM>("BRAVO")).Answers(1),
            Send(kList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("br")).Answers(LB_ERR),
            Send(kList, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("d")).Answers(5),
            Selected(5),  // no notification
            Send(kList, LB_GETSEL, 5).Answers(1), Send(kList, LB_GETSEL, 4).Answers(0),
            Send(kList, LB_GETSEL, 10).Answers(LB_ERR), Send(kList, LB_GETSEL, static_cast<WPARAM>(-1)).Answers(LB_ERR),
            Send(kList, LB_GETCARETINDEX).Answers(5), Send(kList, LB_SETCARETINDEX, 12).Answers(LB_ERR),
            Send(kList, LB_SETTOPINDEX, 3).Answers(0), Top(3), Send(kList, LB_SETTOPINDEX, 9).Answers(0), Top(6),
            Send(kList, LB_SETTOPINDEX, 10).Answers(0), Top(6),
            Send(kList, LB_SETTOPINDEX, 0).Answers(0),
            Send(kList, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zero")).Answers(0), Selected(6),
            // Deleting before the selection keeps its item; deleting it clears it.
            Send(kList, LB_DELETESTRING, 1).Answers(10), Selected(5),
            Send(kList, LB_DELETESTRING, 5).Answers(9), Selected(LB_ERR),
            Send(kList, LB_DELETESTRING, static_cast<WPARAM>(-1)).Answers(LB_ERR),
            Send(kList, LB_SETCURSEL, 8).Answers(8), Top(5),
            // Deleting at the end: the library keeps the last page full, the
            // system list its top item.
            Send(kList, LB_DELETESTRING, 8).Answers(8), Send(kList, LB_DELETESTRING, 7).Answers(7),
            Selected(LB_ERR), Top(ours ? 3 : 5),
            Send(kList, LB_RESETCONTENT), Send(kList, LB_GETCOUNT).Answers(0), Selected(LB_ERR), Top(0)};
    });
}

// LB_GETITEMRECT, LB_ITEMFROMPOINT and LB_SETCARETINDEX as the system answers
// them, and the rest of the list messages answering "not done".
TEST_F(ListBoxes, GeometryAnswersAndMessagesNotDone) {
    for (const char* cls : {"WKListBox", "ListBox"}) {
        SCOPED_TRACE(cls);
        Open(DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 240, 160));
        HWND list = List(cls, LBS_NOTIFY);  // no scroll bar: the width is the client's
        RECT client, r;
        GetClientRect(list, &client);
        EXPECT_EQ(SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r)), 1);
        EXPECT_EQ(r.top, 2 * itemHeight_);
        EXPECT_EQ(r.bottom - r.top, itemHeight_);
        EXPECT_EQ(r.right, client.right);
        EXPECT_EQ(SendMessageA(list, LB_GETITEMRECT, 8, reinterpret_cast<LPARAM>(&r)), 0);  // not on screen
        EXPECT_EQ(SendMessageA(list, LB_GETITEMRECT, 10, reinterpret_cast<LPARAM>(&r)), LB_ERR);
        EXPECT_EQ(SendMessageA(list, LB_ITEMFROMPOINT, 0, Row(3)), 3);
        EXPECT_EQ(SendMessageA(list, LB_ITEMFROMPOINT, 0, At(20, 300)), MAKELONG(3, 1));
        EXPECT_EQ(SendMessageA(list, LB_SETCARETINDEX, 8, 0), 0);
        EXPECT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), 8);
        EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 5);  // the caret scrolled into view
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
        EXPECT_EQ(SendMessageA(list, LB_SETSEL, TRUE, 12), LB_ERR);
        EXPECT_EQ(SendMessageA(list, LB_SETSEL, TRUE, 2), 0);  // a single-selection list selects the item
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), LB_ERR);
        EXPECT_EQ(SendMessageA(list, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 2)), LB_ERR);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
    }
}

// The scroll bar child: its arrow and track scroll the list with the cursor
// on them, and it shows the list's range.
TEST_F(ListBoxes, TheScrollBarScrollsTheList) {
    HWND list = List("WKListBox", WS_VSCROLL | LBS_NOTIFY);
    HWND bar = GetDlgItem(list, 1000);
    ASSERT_NE(bar, nullptr);
    SCROLLINFO info{sizeof info, SIF_ALL};
    SendMessageA(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.nMax, 8);
    EXPECT_EQ(info.nPage, 3u);
    RECT r;
    GetClientRect(bar, &r);
    auto pressAt = [bar](int x, int y) {
        return Do("press the bar at " + std::to_string(x) + "," + std::to_string(y), [bar, x, y](HWND) {
            POINT p{x, y};
            ClientToScreen(bar, &p);
            SetCursorPos(p.x, p.y);
            PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
            PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        });
    };
    const int mid = r.right / 2;
    EXPECT_TRUE(Run({pressAt(mid, r.bottom - 3), Top(1),                      // the down arrow: a line
                     pressAt(mid, r.bottom - GetSystemMetrics(SM_CYVSCROLL) - 4), Top(4),  // the track: a page
                     pressAt(mid, r.bottom - 3), Top(5), pressAt(mid, r.bottom - 3), Top(6),
                     pressAt(mid, r.bottom - 3), Top(6),                      // the end
                     pressAt(mid, 3), Top(5), Selected(LB_ERR)}));
    SendMessageA(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.nPos, 5);
}

// Few items: without LBS_DISABLENOSCROLL the bar hides, with it it stays,
// disabled, over a range its page covers.
TEST_F(ListBoxes, FewItemsHideOrDisableTheBar) {
    HWND hidden = List("WKListBox", WS_VSCROLL, kRows, 2);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hidden, 1000)));
    DestroyWindow(hidden);
    HWND list = List("WKListBox", WS_VSCROLL | LBS_DISABLENOSCROLL, kRows, 2);
    HWND bar = GetDlgItem(list, 1000);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_FALSE(IsWindowEnabled(bar));
    SCROLLINFO info{sizeof info, SIF_ALL};
    SendMessageA(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_GT(info.nMax, info.nMin);
    EXPECT_GT(static_cast<int>(info.nPage), info.nMax - info.nMin);
    // More items enable it.
    for (int i = 0; i < 5; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("more"));
    UpdateWindow(list);
    EXPECT_TRUE(IsWindowEnabled(bar));
}

// Integral height: a list lower than a row keeps its client; one between
// rows shrinks to whole rows. LB_SETITEMHEIGHT refuses 0.
TEST_F(ListBoxes, HeightsNeverVanish) {
    for (const char* cls : {"WKListBox", "ListBox"}) {
        SCOPED_TRACE(cls);
        HWND low = Make(cls, "", WS_BORDER, 2, 10, 100, 100, 6);
        SendMessageA(low, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a"));
        UpdateWindow(low);
        RECT r;
        GetClientRect(low, &r);
        EXPECT_GT(r.bottom, 0);
        DestroyWindow(low);
    }
    HWND list = List("WKListBox", WS_VSCROLL);
    SetWindowPos(list, nullptr, 0, 0, 140, kRows * itemHeight_ + itemHeight_ / 2 + 2, SWP_NOMOVE | SWP_NOZORDER);
    UpdateWindow(list);
    RECT r;
    GetClientRect(list, &r);
    EXPECT_EQ(r.bottom, kRows * itemHeight_);
    EXPECT_EQ(SendMessageA(list, LB_SETITEMHEIGHT, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_SETITEMHEIGHT, 0, 300), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_SETITEMHEIGHT, 0, 20), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 20);
    EXPECT_EQ(SendMessageA(list, LB_ITEMFROMPOINT, 0, At(20, 25)), 1);  // rows of 20 pixels
}

// A dialog that selects an item beyond the first page in WM_INITDIALOG sees
// it on screen; the template's list box is the library's.
INT_PTR CALLBACK SelectsAtInit(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    for (int i = 0; i < 20; ++i) SendDlgItemMessageA(dialog, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kTen[i % 10]));
    SendDlgItemMessageA(dialog, kList, LB_SETCURSEL, 15, 0);
    return TRUE;
}

TEST(ListBoxDialog, SelectionMadeAtInitShows) {
    ASSERT_TRUE(Library());
    for (DWORD scroll : {0ul, static_cast<unsigned long>(WS_VSCROLL)}) {
        TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 120);
        t.Count().Item(WS_CHILD | WS_VISIBLE | WS_BORDER | scroll, 10, 10, 100, 50, kList).Ordinal(0x83).String("").NoData();
        kelmard::UniqueWindow dialog(WKCreateDialogIndirectParam(Self(), Get(t), nullptr, SelectsAtInit, 0));
        ASSERT_TRUE(dialog);
        Pump(dialog.get());
        HWND list = GetDlgItem(dialog.get(), kList);
        EXPECT_EQ(ClassOf(list), "WKListBox");
        const LRESULT top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
        const LRESULT height = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
        RECT r;
        GetClientRect(list, &r);
        EXPECT_LE(top, 15);
        EXPECT_GT(top + r.bottom / height, 15) << "top " << top;
    }
}

// Combo mode: the list takes the mouse, follows the pointer, and a release
// over an item closes the drop-down; a press outside the items cancels.
TEST_F(ListBoxes, ComboModeTakesTheMouseAndClosesTheDropDown) {
    HWND list = List("WKListBox", LBS_COMBOBOX | LBS_NOTIFY | WS_VSCROLL);
    const Msg close{CB_SHOWDROPDOWN};
    EXPECT_TRUE(Run({Send(kList, kSetComboMode, 1).Answers(1), Send(kList, kSetComboMode, 1).Answers(0),
                     CaptureIs(kList), Move(kList, 20, RowY(2)), Selected(2),
                     Release(kList, 20, RowY(2)).Sees({SelChange(), Many(close)}), CaptureIs(kNobody),
                     Send(kList, kSetComboMode, 0).Answers(1), Send(kList, kSetComboMode, 1).Answers(1),
                     Press(kList, 300, 5).Sees({Command(kList, LBN_SELCANCEL)}),
                     Send(kList, kSetComboMode, 0).Answers(1), CaptureIs(kNobody)}));
    EXPECT_EQ(GetFocus() == list, false) << "a combo's list never takes the focus";
    HWND plain = Make("WKListBox", "", 0, 2, 160, 10, 60, 40);
    EXPECT_EQ(SendMessageA(plain, kSetComboMode, 1, 0), 0);
}

// Several selections, owner drawing, columns and no data are the system list's.
TEST_F(ListBoxes, OtherKindsAreTheSystemList) {
    HWND list = Make("WKListBox", "", LBS_EXTENDEDSEL | WS_VSCROLL, kList, 10, 10, 120, 80);
    for (const char* t : kTen) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    EXPECT_EQ(SendMessageA(list, LB_SELITEMRANGE, TRUE, MAKELPARAM(1, 3)), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(list, LB_SETSEL, TRUE, 7), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 4);
    EXPECT_NE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL, 0);  // the system's own bar
    EXPECT_EQ(GetDlgItem(list, 1000), nullptr);
}

// The painted list: the field colour, the selection in the skin's selection
// colour, grey when disabled.
TEST_F(ListBoxes, PaintsTheSelectionInTheSkinColours) {
    HWND list = List("WKListBox", WS_VSCROLL);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    namespace sk = kelmard::skin;
    kpicture::Image shot = Shot(list);
    const int width = shot.width - GetSystemMetrics(SM_CXVSCROLL);
    const int row = itemHeight_;
    EXPECT_GT(CountIn(shot, SkinColour(sk::kAlternateTextVariant2Color), 0, row, width, 2 * row), width * row / 2);
    EXPECT_GT(CountIn(shot, SkinColour(sk::kFieldColor), 0, 2 * row, width, 4 * row), width * row);
    EXPECT_EQ(CountIn(shot, SkinColour(sk::kAlternateTextVariant2Color), 0, 2 * row, width, 4 * row), 0);
    EnableWindow(list, FALSE);
    shot = Shot(list);
    EXPECT_GT(CountIn(shot, SkinColour(sk::kGreyTextColor), 0, row, width, 2 * row), width * row / 2);
}

}  // namespace
