// "WKListBox" driven as a dialog and a user drive it: keys, type-ahead, the
// mouse and the list messages against the system's list box too; the scroll
// bar, heights, the combo mode, the kinds left to the system list, painting.
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
    HWND List(const char* cls, DWORD style, int count = 10) {
        const auto font = static_cast<WPARAM>(SendMessageA(dialog_.get(), WM_GETFONT, 0, 0));
        HWND list = Make(cls, "", style | WS_BORDER, kList, 10, 10, 140, 40);
        SendMessageA(list, WM_SETFONT, font, FALSE);
        itemHeight_ = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        SetWindowPos(list, nullptr, 0, 0, 140, kRows * itemHeight_ + 2, SWP_NOMOVE | SWP_NOZORDER);
        for (int i = 0; i < count; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kTen[i % 10]));
        UpdateWindow(list);
        return list;
    }
    // For each style, the library's class and then the system's: a fresh
    // dialog with a list of that style, and the table for it.
    template <typename MakeTable>
    void ForBoth(std::initializer_list<DWORD> styles, MakeTable table) {
        for (DWORD style : styles)
            for (const char* cls : {"WKListBox", "ListBox"}) {
                SCOPED_TRACE(std::string(cls) + " style " + std::to_string(style));
                Open(DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 240, 160));
                List(cls, style);
                EXPECT_TRUE(Run(table(cls[0] == 'W', (style & LBS_NOTIFY) != 0)));
            }
    }
    // The middle of row `row` in the list's client.
    int RowY(int row) const { return row * itemHeight_ + itemHeight_ / 2; }
    int itemHeight_ = 0;
};
Step Tells(Step s, bool notify, Msg m = SelChange()) { return notify ? s.Sees({m}) : s; }

// Arrows, Home, End and the page keys: the same selection, top index and
// notifications as the system list, LBN_SELCHANGE only with LBS_NOTIFY;
// without WS_VSCROLL the selection still scrolls into view.
TEST_F(ListBoxes, KeysSelectAndScrollAsTheSystemList) {
    ForBoth({0, WS_VSCROLL, LBS_NOTIFY, LBS_NOTIFY | WS_VSCROLL}, [&](bool, bool notify) {
        auto key = [&](UINT vk, LRESULT selected, LRESULT top) {
            return Table{Tells(KeyDown(vk), notify), KeyUp(vk), Selected(selected), Top(top)};
        };
        return Then({{Focus(kList).Sees({Command(kList, LBN_SETFOCUS)}),
                      Send(kList, WM_GETDLGCODE).Answers(DLGC_WANTARROWS | DLGC_WANTCHARS),
                      Send(kList, LB_SETCURSEL, 0).Answers(0)},  // no notification
                     key(VK_DOWN, 1, 0), key(VK_NEXT, 4, 1), key(VK_END, 9, 6), key(VK_PRIOR, 6, 6),
                     key(VK_UP, 5, 5), key(VK_RIGHT, 6, 5), key(VK_HOME, 0, 0), key(VK_LEFT, 0, 0)});
    });
}

// A click selects at the release (LBN_SELCHANGE with LBS_NOTIFY), a press
// takes the focus, a double click reports LBN_DBLCLK with LBS_NOTIFY. Typing
// a letter again steps through the items that begin with it; the system list
// tells of it as of a key.
TEST_F(ListBoxes, MouseAndTypeAheadAsTheSystemList) {
    ForBoth({WS_VSCROLL, LBS_NOTIFY | WS_VSCROLL}, [&](bool ours, bool notify) {
        auto type = [&](char c, LRESULT selected) { return Table{Tells(Char(c), notify), Selected(selected)}; };
        const Step dbl = Send(kList, WM_LBUTTONDBLCLK, MK_LBUTTON, At(20, RowY(1)));
        Table t = Then({{Press(kList, 20, RowY(2)).Sees({Command(kList, LBN_SETFOCUS)}), CaptureIs(kList), Selected(2),
                         FocusIs(kList), Tells(Release(kList, 20, RowY(2)), notify), CaptureIs(kNobody),
                         Tells(dbl, notify, Command(kList, LBN_DBLCLK)), Selected(2),
                         // Dragged over the items, the selection follows the pointer's row.
                         Press(kList, 20, RowY(0)), Move(kList, 20, RowY(3)), Selected(3),
                         Tells(Release(kList, 20, RowY(3)), notify)},
                        type('b', 1), type('b', 2), type('b', 3), type('b', 1)});
        // The system list looks for one letter; the library's for what
        // was typed within two seconds (its timer empties the buffer). A new
        // search starts after the selection, a longer prefix at its match.
        if (!ours) return Then({t, {Send(kList, LB_SETCURSEL, 2)}, type('b', 3), type('h', 9), {Top(6)}});
        return Then({t, {Send(kList, WM_TIMER, 2), Send(kList, LB_SETCURSEL, 2)}, type('b', 3), type('r', 3),
                     {Send(kList, WM_TIMER, 2)}, type('c', 4), type('h', 4), {Char('x'), Selected(4)},
                     {Send(kList, WM_TIMER, 2)}, type('h', 9), {Top(6)}});
    });
}

// The answers to the list messages, bad indices (negative ones too) and
// messages of other kinds of list included, and the selection and top index
// after deletions.
TEST_F(ListBoxes, MessagesAnswerAsTheSystemList) {
    char text[32];
    RECT r;
    const auto lb = [](UINT m, WPARAM w = 0, const void* l = nullptr) {
        return Send(kList, m, w, reinterpret_cast<LPARAM>(l));
    };
    const WPARAM minus1 = static_cast<WPARAM>(-1), minus5 = static_cast<WPARAM>(-5);
    ForBoth({WS_VSCROLL | LBS_NOTIFY}, [&](bool ours, bool) {
        return Table{
            lb(LB_GETCOUNT).Answers(10), lb(LB_GETTEXTLEN, 4).Answers(7), lb(LB_GETTEXT, 4, text).Answers(7),
            Do("the text", [&text](HWND) { EXPECT_STREQ(text, "charlie"); }),
            lb(LB_GETTEXT, minus5, text).Answers(LB_ERR), lb(LB_GETTEXTLEN, 10).Answers(LB_ERR),
            lb(LB_SETCURSEL, minus5).Answers(LB_ERR), Selected(LB_ERR),
            Send(kList, LB_SETITEMDATA, 3, 77).Answers(TRUE),
            lb(LB_GETITEMDATA, 3).Answers(77), lb(LB_GETITEMDATA, minus1).Answers(LB_ERR),
            lb(LB_GETITEMRECT, 2, &r).Answers(1), Do("item 2's rect", [&r, this](HWND) {
                EXPECT_EQ(r.top, 2 * itemHeight_);
                EXPECT_EQ(r.bottom - r.top, itemHeight_);
            }),
            lb(LB_GETITEMRECT, 8, &r).Answers(0) /* not on screen */, lb(LB_GETITEMRECT, 10, &r).Answers(LB_ERR),
            Send(kList, LB_ITEMFROMPOINT, 0, At(20, RowY(3))).Answers(3),
            Send(kList, LB_ITEMFROMPOINT, 0, At(20, 300)).Answers(MAKELONG(3, 1)),
            lb(LB_SETCARETINDEX, 8).Answers(0), Top(5),  // the caret scrolled into view
            Send(kList, LB_SETSEL, TRUE, 12).Answers(LB_ERR), Send(kList, LB_SETSEL, TRUE, 2).Answers(0), Selected(2),
            // Messages of the other kinds of list are not done.
            lb(LB_GETSELCOUNT).Answers(LB_ERR), Send(kList, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 2)).Answers(LB_ERR),
            Selected(2), lb(LB_FINDSTRING, minus1, "BR").Answers(1), lb(LB_FINDSTRINGEXACT, 1, "BRAVO").Answers(1),
            lb(LB_FINDSTRINGEXACT, minus1, "br").Answers(LB_ERR),
            lb(LB_SELECTSTRING, minus1, "d").Answers(5), Selected(5),  // no notification
            lb(LB_GETSEL, 5).Answers(1), lb(LB_GETSEL, 4).Answers(0), lb(LB_GETSEL, 10).Answers(LB_ERR),
            lb(LB_GETSEL, minus1).Answers(LB_ERR), lb(LB_GETCARETINDEX).Answers(5),
            lb(LB_SETCARETINDEX, 12).Answers(LB_ERR), lb(LB_SETTOPINDEX, 3).Answers(0), Top(3),
            lb(LB_SETTOPINDEX, 10).Answers(0), Top(6), lb(LB_SETTOPINDEX, 0).Answers(0),
            lb(LB_INSERTSTRING, 0, "zero").Answers(0), Selected(6),
            // Deleting before the selection keeps its item; deleting it clears it.
            lb(LB_DELETESTRING, 1).Answers(10), Selected(5), lb(LB_DELETESTRING, 5).Answers(9), Selected(LB_ERR),
            lb(LB_DELETESTRING, minus1).Answers(LB_ERR), lb(LB_SETCURSEL, 8).Answers(8), Top(5),
            // Deleting at the end: the library keeps the last page full, the
            // system list its top item.
            lb(LB_DELETESTRING, 8).Answers(8), lb(LB_DELETESTRING, 7).Answers(7), Selected(LB_ERR), Top(ours ? 3 : 5),
            lb(LB_RESETCONTENT), lb(LB_GETCOUNT).Answers(0), Selected(LB_ERR), Top(0)};
    });
}

// The scroll bar child: its arrow and track scroll the list with the cursor
// on them. Few items hide it, or with LBS_DISABLENOSCROLL leave it disabled
// until more come. The painted selection. Integral height shrinks to whole
// rows, never below one; LB_SETITEMHEIGHT takes 1 to 255.
TEST_F(ListBoxes, ScrollBarPaintingAndHeights) {
    HWND list = List("WKListBox", WS_VSCROLL | LBS_NOTIFY);
    HWND bar = GetDlgItem(list, 1000);
    ASSERT_NE(bar, nullptr);
    RECT r;
    GetClientRect(bar, &r);
    auto pressAt = [bar, x = r.right / 2](int y) {
        return Do("press the bar at " + std::to_string(y), [bar, x, y](HWND) {
            POINT p{x, y};
            ClientToScreen(bar, &p);
            SetCursorPos(p.x, p.y);
            PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
            PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        });
    };
    const Step down = pressAt(r.bottom - 3);
    EXPECT_TRUE(Run({down, Top(1), pressAt(r.bottom - GetSystemMetrics(SM_CYVSCROLL) - 4), Top(4),  // a line, a page
                     down, Top(5), down, Top(6), down, Top(6), pressAt(3), Top(5), Selected(LB_ERR)}));
    DestroyWindow(list);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(List("WKListBox", WS_VSCROLL, 2), 1000)));
    DestroyWindow(Item(kList));
    list = List("WKListBox", WS_VSCROLL | LBS_DISABLENOSCROLL, 2);
    bar = GetDlgItem(list, 1000);
    EXPECT_TRUE(IsWindowVisible(bar) && !IsWindowEnabled(bar));
    for (int i = 0; i < 5; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("more"));
    UpdateWindow(list);
    EXPECT_TRUE(IsWindowEnabled(bar));
    // Painted: the selection in the skin's selection colour on the field
    // colour, grey when disabled.
    namespace sk = kelmard::skin;
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    kpicture::Image shot = Shot(list);
    const int width = shot.width - GetSystemMetrics(SM_CXVSCROLL), row = itemHeight_;
    EXPECT_GT(CountIn(shot, SkinColour(sk::kAlternateTextVariant2Color), 0, row, width, 2 * row), width * row / 2);
    EXPECT_GT(CountIn(shot, SkinColour(sk::kFieldColor), 0, 2 * row, width, 4 * row), width * row);
    EXPECT_EQ(CountIn(shot, SkinColour(sk::kAlternateTextVariant2Color), 0, 2 * row, width, 4 * row), 0);
    EnableWindow(list, FALSE);
    EXPECT_GT(CountIn(Shot(list), SkinColour(sk::kGreyTextColor), 0, row, width, 2 * row), width * row / 2);
    EnableWindow(list, TRUE);
    SetWindowPos(list, nullptr, 0, 0, 140, kRows * itemHeight_ + itemHeight_ / 2 + 2, SWP_NOMOVE | SWP_NOZORDER);
    UpdateWindow(list);
    GetClientRect(list, &r);
    EXPECT_EQ(r.bottom, kRows * itemHeight_);
    for (LPARAM height : {0, 256}) EXPECT_EQ(SendMessageA(list, LB_SETITEMHEIGHT, 0, height), LB_ERR) << height;
    EXPECT_EQ(SendMessageA(list, LB_SETITEMHEIGHT, 0, 20), 0);
    EXPECT_EQ(SendMessageA(list, LB_ITEMFROMPOINT, 0, At(20, 25)), 1);  // rows of 20 pixels
    HWND low = Make("WKListBox", "", WS_BORDER, 2, 10, 100, 100, 6);  // lower than a row
    SendMessageA(low, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a"));
    UpdateWindow(low);
    GetClientRect(low, &r);
    EXPECT_GT(r.bottom, 0);
}

// A dialog that selects an item beyond the first page in WM_INITDIALOG sees
// it on screen; the template's list box is the library's.
INT_PTR CALLBACK SelectsAtInit(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    for (int i = 0; i < 20; ++i)
        SendDlgItemMessageA(dialog, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kTen[i % 10]));
    SendDlgItemMessageA(dialog, kList, LB_SETCURSEL, 15, 0);
    return TRUE;
}

TEST(ListBoxDialog, SelectionMadeAtInitShows) {
    ASSERT_TRUE(Library());
    for (DWORD scroll : {0ul, static_cast<unsigned long>(WS_VSCROLL)}) {
        TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 120);
        t.Count().Item(WS_CHILD | WS_VISIBLE | WS_BORDER | scroll, 10, 10, 100, 50, kList).Ordinal(0x83).String("")
            .NoData();
        kelmard::UniqueWindow dialog(WKCreateDialogIndirectParam(Self(), Get(t), nullptr, SelectsAtInit, 0));
        ASSERT_TRUE(dialog);
        Pump(dialog.get());
        HWND list = GetDlgItem(dialog.get(), kList);
        EXPECT_EQ(ClassOf(list), "WKListBox");
        RECT item, client;
        GetClientRect(list, &client);
        EXPECT_EQ(SendMessageA(list, LB_GETITEMRECT, 15, reinterpret_cast<LPARAM>(&item)), 1);
        EXPECT_LE(item.bottom, client.bottom);
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
    EXPECT_EQ(GetDlgItem(list, 1000), nullptr);  // the system's own bar
}

}  // namespace
