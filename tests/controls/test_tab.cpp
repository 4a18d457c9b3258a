// "WKTab" driven as a dialog and a user drive it: clicks, keys and items
// against the system's tab, a parent's refusal ignored, rows turned next to
// the page, images from a borrowed image list, the painted page frame.
#include "support.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "controls/value/tab_layout.h"

namespace {

using namespace ctl_test;
using namespace seq;

constexpr int kTab = 20;
Msg Tcn(int code) { return {WM_NOTIFY, kTab, code}; }
const Msg kChanging = Tcn(TCN_SELCHANGING), kChange = Tcn(TCN_SELCHANGE);
// The system's tab also tells of keys and clicks; the library's does not.
const Msg kKeyNote = Optional(Tcn(TCN_KEYDOWN)), kClickNote = Optional(Tcn(NM_CLICK));
Step Selected(int index) { return Send(kTab, TCM_GETCURSEL).Answers(index); }
Table Tap(int x, int y, std::initializer_list<Msg> sees) {
    return {Press(kTab, x, y).Sees(sees), Release(kTab, x, y).Sees({kClickNote})};
}

LRESULT Insert(HWND tab, int at, const char* text, int image = -1) {
    TCITEMA item{static_cast<UINT>(TCIF_TEXT | (image >= 0 ? TCIF_IMAGE : 0))};
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    return SendMessageA(tab, TCM_INSERTITEMA, at, reinterpret_cast<LPARAM>(&item));
}
Step InsertAt(int at, const char* text, LRESULT index) {
    const auto insert = [=](HWND d) { EXPECT_EQ(Insert(GetDlgItem(d, kTab), at, text), index); };
    return Do("insert at " + std::to_string(at), insert);
}
Step SetText(int index, const char* text) {
    return Do(std::string("set text ") + text, [=](HWND d) {
        TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(text)};
        EXPECT_EQ(SendDlgItemMessageA(d, kTab, TCM_SETITEMA, index, reinterpret_cast<LPARAM>(&item)), 1);
    });
}
// Item `index` as TCM_GETITEMA copies it into `size` bytes: its text, or "no item".
Step ItemIs(int index, int size, const std::string& text) {
    return Do("item " + std::to_string(index), [=](HWND d) {
        char buffer[32] = "xxx";
        TCITEMA item{TCIF_TEXT | TCIF_IMAGE, 0, 0, buffer, size, 7};
        const LRESULT found = SendDlgItemMessageA(d, kTab, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(found ? buffer + std::string(item.iImage == -1 ? "" : " with an image") : "no item", text);
    });
}

// A dialog procedure that refuses every TCN_SELCHANGING (answers TRUE).
WNDPROC g_dialogProc = nullptr;
LRESULT CALLBACK Refusing(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == TCN_SELCHANGING) return TRUE;
    return CallWindowProcA(g_dialogProc, w, m, wp, lp);
}

class Tabs : public ControlDialog {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_TAB_CLASSES};
        InitCommonControlsEx(&init);
        ControlDialog::SetUp();
    }
    HWND MakeTab(const char* cls, int count, int width = 220, int height = 120) {
        HWND tab = Make(cls, "", 0, kTab, 5, 5, width, height);
        for (int i = 0; i < count; ++i) Insert(tab, i, "Page");
        Pump(dialog_.get());
        return tab;
    }
    // A "Page" tab of the library in the dialog's font: its width and row height.
    SIZE PageTab() {
        kelmard::WindowDC dc(dialog_.get());
        kelmard::SelectGuard font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(dialog_.get(), WM_GETFONT, 0, 0)));
        SIZE text{};
        GetTextExtentPoint32A(dc.get(), "Page", 4, &text);
        return {text.cx + kelmard::tab::kTextPadding, text.cy + kelmard::tab::kRowPadding};
    }
    // Clicks the middle of tab `index` of a one-row strip.
    Table ClickOn(HWND tab, int index, bool ours, std::initializer_list<Msg> sees) {
        RECT r{2 + index * PageTab().cx, 2, 2 + (index + 1) * PageTab().cx, 2 + PageTab().cy};
        if (!ours) SendMessageA(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return Tap((r.left + r.right) / 2, (r.top + r.bottom) / 2, sees);
    }
};

// A template written for the system's tab, converted, runs the same table; the
// library's tab changes though the parent refuses, and a click takes the focus
// only on the selected tab.
TEST_F(Tabs, ClicksAndKeysSelectAsTheSystemTabAndTheParentIsTold) {
    TemplateBuilder dialog = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 240, 160);
    dialog.Add("SysTabControl32", "", kTab, WS_TABSTOP, 3, 3, 150, 60).Add("Button", "other", 21, 0, 3, 80, 40, 14);
    for (bool ours : {true, false}) {
        dialog_.reset(OpenDialog(dialog, ours));
        ASSERT_EQ(ClassOf(Item(kTab)), ours ? "WKTab" : "SysTabControl32");
        HWND t = Item(kTab);
        for (int i = 0; i < 3; ++i) Insert(t, i, "Page");
        if (ours)
            g_dialogProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(dialog_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Refusing)));
        Table table = Then({{Selected(0)}, ClickOn(t, 1, ours, {kChanging, kChange}), {Selected(1)},
                            ClickOn(t, 1, ours, {}),
                            {Focus(kTab), KeyDown(VK_RIGHT).Sees({kKeyNote, kChanging, kChange}), Selected(2),
                             KeyDown(VK_RIGHT).Sees({kKeyNote}), KeyDown(VK_LEFT).Sees({kKeyNote, kChanging, kChange}),
                             Selected(1), Send(kTab, TCM_SETCURSEL, 7).Answers(-1), Selected(1)}});
        if (ours)
            table = Then({table,
                          {Send(kTab, TCM_SETCURSEL, 0).Answers(1).Sees({kChanging, kChange}), Selected(0), Focus(21)},
                          ClickOn(t, 2, ours, {kChanging, kChange}), {FocusIs(21)}, ClickOn(t, 2, ours, {}),
                          {FocusIs(kTab), KeyDown(VK_HOME).Sees({kChanging, kChange}), Selected(0),
                           KeyDown(VK_END).Sees({kChanging, kChange}), Selected(2)}});
        EXPECT_TRUE(Run(table));
    }
}

// The selection follows its item across inserts and deletes as on the
// system's tab; null items and texts, and texts asked back later, are no text.
TEST_F(Tabs, TheSelectionFollowsItsItemAcrossInsertsAndDeletes) {
    for (const char* cls : {"WKTab", "SysTabControl32"}) {
        SCOPED_TRACE(cls);
        MakeTab(cls, 0);
        EXPECT_TRUE(Run({InsertAt(10, "first", 0), Selected(0), InsertAt(0, "zero", 0), InsertAt(5, "last", 2),
                         Selected(1), ItemIs(1, 4, "fir"), ItemIs(3, 4, "no item"),
                         Send(kTab, TCM_DELETEITEM, 0).Answers(1), Selected(0),
                         Send(kTab, TCM_DELETEITEM, 0).Answers(1), Selected(-1),
                         Send(kTab, TCM_DELETEITEM, 1).Answers(0), SetText(0, "new"), ItemIs(0, 8, "new")}));
        DestroyWindow(Item(kTab));
    }
    MakeTab("WKTab", 2, 400);
    const int second = 2 + PageTab().cx * 3 / 2, middle = 2 + PageTab().cy / 2;
    EXPECT_TRUE(Run(Then({{Send(kTab, TCM_INSERTITEMA, 0, 0).Answers(-1), Send(kTab, TCM_SETITEMA, 0, 0).Answers(0),
                           InsertAt(2, LPSTR_TEXTCALLBACKA, 2), ItemIs(2, 8, ""), InsertAt(3, nullptr, 3),
                           ItemIs(3, 8, ""), SetText(0, "A much longer page name")},  // widens the first tab
                          Tap(second, middle, {}), {Selected(0)}})));
}

// Six tabs in three rows of two: the selected tab's row touches the page from
// the first layout on, and after a click or a key on another row.
TEST_F(Tabs, TheSelectedRowTouchesThePageAndArrowsMoveBetweenRows) {
    const int w = PageTab().cx, h = PageTab().cy;
    MakeTab("WKTab", 6, 2 * w + 5, 3 * h + 60);
    // Rows from the top: items 2 3, items 4 5, then items 0 1 next to the page.
    const int top = 2 + h / 2, page = 2 + 2 * h + h / 2, left = 2 + w / 2, right = 2 + w + w / 2;
    EXPECT_TRUE(Run(Then({Tap(left, page, {}), {Selected(0), FocusIs(kTab)}, Tap(right, top, {kChanging, kChange}),
                          // Up from item 3: items 0 1, then (after item 1's row went down) items 4 5.
                          {Selected(3), KeyDown(VK_UP).Sees({kChanging, kChange}), Selected(1),
                           KeyDown(VK_DOWN), Selected(1), KeyDown(VK_UP).Sees({kChanging, kChange}), Selected(5)},
                          Tap(left, top, {kChanging, kChange}), {Selected(0)}})));
}

// TCM_REMOVEIMAGE clears the tabs that used the image, renumbers the later ones, rejects bad indices.
TEST_F(Tabs, ImagesComeFromABorrowedImageList) {
    kelmard::UniqueOwner<kelmard::NullEmptyTraits<HIMAGELIST, ImageList_Destroy>> list(
        ImageList_Create(16, 16, ILC_COLOR32, 3, 0));
    std::vector<std::uint32_t> pixels(48 * 16);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF0000u >> (i % 48 / 16 * 8);  // red, green, blue
    kelmard::UniqueBitmap strip(CreateBitmap(48, 16, 1, 32, pixels.data()));
    ASSERT_EQ(ImageList_Add(list.get(), strip.get(), nullptr), 0);
    HWND t = MakeTab("WKTab", 0);
    const auto images = reinterpret_cast<LPARAM>(list.get());
    EXPECT_EQ(SendMessageA(t, TCM_SETIMAGELIST, 0, images), 0);
    Insert(t, 0, "Red", 0);
    Insert(t, 1, "Blue", 2);
    Insert(t, 2, "None");
    auto count = [&](COLORREF c) { return CountIn(Shot(t), c, 0, 0, 220, 40); };
    EXPECT_TRUE(count(RGB(255, 0, 0)) == 256 && count(RGB(0, 0, 255)) == 256);
    EXPECT_EQ(SendMessageA(t, TCM_REMOVEIMAGE, 0, 0), 0);
    EXPECT_EQ(count(RGB(255, 0, 0)), 0) << "the tab that used the image lost it";
    EXPECT_EQ(count(RGB(0, 0, 255)), 256) << "the later image kept by its new index";
    SendMessageA(t, TCM_REMOVEIMAGE, 5, 0);
    SendMessageA(t, TCM_REMOVEIMAGE, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(ImageList_GetImageCount(list.get()), 2) << "one removed; indices outside the list remove nothing";
    DestroyWindow(t);
    EXPECT_EQ(ImageList_GetImageCount(list.get()), 2) << "the control never destroys the list";
}

// TCM_ADJUSTRECT both ways; the page's raised frame stays open under the selected tab.
TEST_F(Tabs, ThePageFrameIsRaisedAndTheSelectedTabOpensIntoIt) {
    HWND t = MakeTab("WKTab", 2, 200, 100);
    RECT page{0, 0, 200, 100};
    SendMessageA(t, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    EXPECT_TRUE(page.top == PageTab().cy + 4 && page.right == 198) << page.top << ", " << page.right;
    const kpicture::Image shot = Shot(t);
    EXPECT_EQ(shot.rgb(page.left - 2, 60), kpicture::FromColorRef(SkinColour(3))) << "outer highlight";
    EXPECT_EQ(shot.rgb(PageTab().cx + 20, page.top - 2), kpicture::FromColorRef(SkinColour(3))) << "under tab 1";
    EXPECT_EQ(shot.rgb(PageTab().cx / 2, page.top - 2), kpicture::FromColorRef(SkinColour(1))) << "open under tab 0";
    RECT window{0, 0, 196, page.bottom - page.top};
    SendMessageA(t, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&window));
    EXPECT_TRUE(window.right == 200 && window.bottom == 100) << window.right << ", " << window.bottom;
}

}  // namespace
