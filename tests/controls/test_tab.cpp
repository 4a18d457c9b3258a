// "WKTab" driven as a dialog and a user drive it: clicks and keys against the
// system's tab control, a parent's refusal ignored, items and the selection
// across inserts and deletes, rows rotated next to the page, images from an
// image list, and the painted page frame.
#include "support.h"

#include <commctrl.h>

#include "controls/value/tab_layout.h"

namespace {

using namespace ctl_test;
using namespace seq;
using kelmard::SelectGuard;
using kelmard::WindowDC;
namespace tab = kelmard::tab;

constexpr int kTab = 20;
Msg Tcn(int code) { return {WM_NOTIFY, kTab, code}; }
const Msg kChanging = Tcn(TCN_SELCHANGING), kChange = Tcn(TCN_SELCHANGE);
// The system's tab also tells of keys and clicks; the library's does not.
const Msg kKeyNote = Optional(Tcn(TCN_KEYDOWN)), kClickNote = Optional(Tcn(NM_CLICK));
Step Selected(int index) { return Send(kTab, TCM_GETCURSEL).Answers(index); }
// A tab selects on the press.
Table Tap(int x, int y, std::initializer_list<Msg> sees) {
    return {Press(kTab, x, y).Sees(sees), Release(kTab, x, y).Sees({kClickNote})};
}

// The dialog answers TCN_SELCHANGING with TRUE (refusing) while this is set.
bool g_refuse = false;
WNDPROC g_dialogProc = nullptr;
LRESULT CALLBACK Refusing(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NOTIFY && g_refuse && reinterpret_cast<const NMHDR*>(lp)->code == TCN_SELCHANGING) return TRUE;
    return CallWindowProcA(g_dialogProc, w, m, wp, lp);
}
Step Refuse(bool on) { return Do(on ? "the parent refuses" : "the parent allows", [on](HWND) { g_refuse = on; }); }

class Tabs : public ControlDialog {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_TAB_CLASSES};
        InitCommonControlsEx(&init);
        ControlDialog::SetUp();
    }
    HWND MakeTab(const char* cls, int count, int width = 220, int height = 120, DWORD style = 0) {
        HWND tab = Make(cls, "", style, kTab, 5, 5, width, height);
        for (int i = 0; i < count; ++i) Insert(tab, i, "Page");
        if (GetWindowLongPtrA(dialog_.get(), GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(Refusing))
            g_dialogProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(dialog_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Refusing)));
        Pump(dialog_.get());
        return tab;
    }
    static LRESULT Insert(HWND tab, int at, const char* text, int image = -1) {
        TCITEMA item{};
        item.mask = TCIF_TEXT | (image >= 0 ? TCIF_IMAGE : 0);
        item.pszText = const_cast<char*>(text);
        item.iImage = image;
        return SendMessageA(tab, TCM_INSERTITEMA, at, reinterpret_cast<LPARAM>(&item));
    }
    // A "Page" tab of the library in the dialog's font: its width and row height.
    SIZE PageTab() {
        WindowDC dc(dialog_.get());
        SelectGuard font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(dialog_.get(), WM_GETFONT, 0, 0)));
        SIZE text{};
        GetTextExtentPoint32A(dc.get(), "Page", 4, &text);
        return {text.cx + tab::kTextPadding, text.cy + tab::kRowPadding};
    }
    int PageWidth() { return PageTab().cx; }
    int RowHeight() { return PageTab().cy; }
    // A point on tab `index` of a one-row strip.
    POINT On(HWND tab, int index, bool ours) {
        if (ours) return {2 + index * PageWidth() + PageWidth() / 2, 2 + RowHeight() / 2};
        RECT r{};
        SendMessageA(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    Table ClickOn(HWND tab, int index, bool ours, std::initializer_list<Msg> sees) {
        return Tap(On(tab, index, ours).x, On(tab, index, ours).y, sees);
    }
};

TEST_F(Tabs, ClicksAndKeysSelectAsTheSystemTabAndTheParentIsTold) {
    for (const char* cls : {"WKTab", "SysTabControl32"}) {
        SCOPED_TRACE(cls);
        const bool ours = cls[0] == 'W';
        Open(DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 240, 160));
        HWND t = MakeTab(cls, 3);
        Make("Button", "other", BS_PUSHBUTTON, 21, 5, 130, 60, 20);
        Table table = Then({{Selected(0)},
                            ClickOn(t, 1, ours, {kChanging, kChange}),
                            {Selected(1)},
                            ClickOn(t, 1, ours, {}),  // the selected tab: no change
                            {Focus(kTab), KeyDown(VK_RIGHT).Sees({kKeyNote, kChanging, kChange}), Selected(2),
                             KeyDown(VK_RIGHT).Sees({kKeyNote}), Selected(2),
                             KeyDown(VK_LEFT).Sees({kKeyNote, kChanging, kChange}), Selected(1),
                             Send(kTab, TCM_SETCURSEL, 7).Answers(-1), Selected(1)}});
        if (!ours) {
            // The system's tab keeps its selection when the parent refuses.
            table = Then({table, {Refuse(true)}, ClickOn(t, 0, ours, {kChanging}), {Selected(1), Refuse(false)}});
        } else {
            // The library's tab changes whatever the parent answers to
            // TCN_SELCHANGING, for a click, a key or a program; a click on
            // another tab leaves the focus where it is, a click on the
            // selected one takes it; Home and End.
            table = Then({table,
                          {Refuse(true)},
                          ClickOn(t, 0, ours, {kChanging, kChange}),
                          {Selected(0), KeyDown(VK_RIGHT).Sees({kChanging, kChange}), Selected(1),
                           Send(kTab, TCM_SETCURSEL, 0).Answers(1).Sees({kChanging, kChange}), Selected(0),
                           Refuse(false), Focus(21)},
                          ClickOn(t, 2, ours, {kChanging, kChange}),
                          {FocusIs(21)},
                          ClickOn(t, 2, ours, {}),
                          {FocusIs(kTab), KeyDown(VK_HOME).Sees({kChanging, kChange}), Selected(0),
                           KeyDown(VK_END).Sees({kChanging, kChange}), Selected(2),
                           Send(kTab, WM_GETDLGCODE).Answers(DLGC_WANTARROWS)}});
        }
        EXPECT_TRUE(Run(table));
        g_refuse = false;
    }
}

TEST_F(Tabs, TheSelectionFollowsItsItemAcrossInsertsAndDeletes) {
    for (const char* cls : {"WKTab", "SysTabControl32"}) {
        SCOPED_TRACE(cls);
        HWND t = MakeTab(cls, 0);
        EXPECT_EQ(Insert(t, 10, "first"), 0) << "appended";
        EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), 0) << "the first item is selected";
        EXPECT_EQ(Insert(t, 0, "zero"), 0);
        EXPECT_EQ(Insert(t, 5, "last"), 2);
        EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), 1) << "still \"first\"";
        char text[4] = "xxx";
        TCITEMA item{TCIF_TEXT | TCIF_IMAGE};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        EXPECT_EQ(SendMessageA(t, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item)), 1);
        EXPECT_STREQ(text, "fir") << "cut to the buffer";
        EXPECT_EQ(item.iImage, -1);
        EXPECT_EQ(SendMessageA(t, TCM_GETITEMA, 3, reinterpret_cast<LPARAM>(&item)), 0);
        EXPECT_EQ(SendMessageA(t, TCM_DELETEITEM, 0, 0), 1);
        EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), 0) << "still \"first\"";
        EXPECT_EQ(SendMessageA(t, TCM_DELETEITEM, 0, 0), 1);
        EXPECT_EQ(SendMessageA(t, TCM_GETCURSEL, 0, 0), -1) << "the selected item is gone";
        EXPECT_EQ(SendMessageA(t, TCM_DELETEITEM, 1, 0), 0);
        item.pszText = const_cast<char*>("new");
        EXPECT_EQ(SendMessageA(t, TCM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)), 1);
        item.pszText = text;
        EXPECT_EQ(SendMessageA(t, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)), 1);
        EXPECT_STREQ(text, "new");
        DestroyWindow(t);
    }
    HWND t = MakeTab("WKTab", 2);
    EXPECT_EQ(SendMessageA(t, TCM_INSERTITEMA, 0, 0), -1) << "no item";
    EXPECT_EQ(SendMessageA(t, TCM_SETITEMA, 0, 0), 0);
    EXPECT_EQ(Insert(t, 2, LPSTR_TEXTCALLBACKA), 2) << "a text asked back later is no text";
    char text[8] = "xxx";
    TCITEMA item{TCIF_TEXT};
    item.pszText = text;
    item.cchTextMax = sizeof text;
    EXPECT_EQ(SendMessageA(t, TCM_GETITEMA, 2, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_STREQ(text, "");
    // A longer text widens the first tab over where the second one was.
    const POINT second = On(t, 1, true);
    item.pszText = const_cast<char*>("A much longer page name");
    SendMessageA(t, TCM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_TRUE(Run(Then({Tap(second.x, second.y, {}), {Selected(0)}})));
}

// Six tabs in three rows of two: the selected tab's row touches the page from
// the first layout on; clicking a tab of another row rotates the rows.
TEST_F(Tabs, TheSelectedRowTouchesThePageAndArrowsMoveBetweenRows) {
    const int w = PageWidth(), h = RowHeight();
    MakeTab("WKTab", 6, 2 * w + 5, 3 * h + 60);
    // Rows from the top: items 2 3, items 4 5, then items 0 1 next to the page.
    const int top = 2 + h / 2, page = 2 + 2 * h + h / 2, left = 2 + w / 2, right = 2 + w + w / 2;
    EXPECT_TRUE(Run(Then({Tap(left, page, {}),  // item 0, already selected
                          {Selected(0), FocusIs(kTab)},
                          Tap(right, top, {kChanging, kChange}),
                          // Up from item 3: items 0 1, then (after item 1's row went down) items 4 5.
                          {Selected(3), KeyDown(VK_UP).Sees({kChanging, kChange}), Selected(1),
                           KeyDown(VK_DOWN), Selected(1), KeyDown(VK_UP).Sees({kChanging, kChange}), Selected(5)},
                          Tap(left, top, {kChanging, kChange}),
                          {Selected(0)}})));
}

TEST_F(Tabs, ImagesComeFromABorrowedImageList) {
    kelmard::UniqueOwner<kelmard::NullEmptyTraits<HIMAGELIST, ImageList_Destroy>> list(
        ImageList_Create(16, 16, ILC_COLOR32, 3, 0));
    for (COLORREF c : {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}) {
        WindowDC screen(nullptr);
        kelmard::UniqueBitmap b(CreateCompatibleBitmap(screen.get(), 16, 16));
        kelmard::UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
        {
            SelectGuard select(memory.get(), b.get());
            kelmard::UniqueBrush brush(CreateSolidBrush(c));
            const RECT all{0, 0, 16, 16};
            FillRect(memory.get(), &all, brush.get());
        }
        ImageList_Add(list.get(), b.get(), nullptr);
    }
    HWND t = MakeTab("WKTab", 0);
    const auto images = reinterpret_cast<LPARAM>(list.get());
    EXPECT_EQ(SendMessageA(t, TCM_SETIMAGELIST, 0, images), 0);
    EXPECT_EQ(SendMessageA(t, TCM_GETIMAGELIST, 0, 0), images);
    Insert(t, 0, "Red", 0);
    Insert(t, 1, "Blue", 2);
    Insert(t, 2, "None");
    auto count = [&](COLORREF c) { return CountIn(Shot(t), c, 0, 0, 220, 40); };
    EXPECT_EQ(count(RGB(255, 0, 0)), 256);
    EXPECT_EQ(count(RGB(0, 0, 255)), 256);
    EXPECT_EQ(SendMessageA(t, TCM_REMOVEIMAGE, 0, 0), 0);
    EXPECT_EQ(ImageList_GetImageCount(list.get()), 2);
    EXPECT_EQ(count(RGB(255, 0, 0)), 0) << "the tab that used the image lost it";
    EXPECT_EQ(count(RGB(0, 0, 255)), 256) << "the later image kept by its new index";
    SendMessageA(t, TCM_REMOVEIMAGE, 5, 0);
    SendMessageA(t, TCM_REMOVEIMAGE, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(ImageList_GetImageCount(list.get()), 2) << "indices outside the list remove nothing";
    DestroyWindow(t);
    EXPECT_EQ(ImageList_GetImageCount(list.get()), 2) << "the control never destroys the list";
}

TEST_F(Tabs, ThePageFrameIsRaisedAndTheSelectedTabOpensIntoIt) {
    HWND t = MakeTab("WKTab", 2, 200, 100);
    RECT page{0, 0, 200, 100};
    SendMessageA(t, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    EXPECT_EQ(page.top, RowHeight() + 2 + 2);
    EXPECT_EQ(page.right, 198);
    const kpicture::Image shot = Shot(t);
    const int frameTop = page.top - 2;
    EXPECT_EQ(shot.rgb(page.left - 2, 60), kpicture::FromColorRef(SkinColour(3))) << "outer highlight";
    EXPECT_EQ(shot.rgb(page.right + 1, 60), kpicture::FromColorRef(SkinColour(5))) << "outer shadow";
    EXPECT_EQ(shot.rgb(PageWidth() + 20, frameTop), kpicture::FromColorRef(SkinColour(3))) << "under tab 1";
    EXPECT_EQ(shot.rgb(PageWidth() / 2, frameTop), kpicture::FromColorRef(SkinColour(1))) << "open under tab 0";
    RECT window{0, 0, 196, page.bottom - page.top};
    SendMessageA(t, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&window));
    EXPECT_EQ(window.right, 200);
    EXPECT_EQ(window.bottom, 100);
}

TEST(TabTemplate, ADialogForTheSystemTabGetsTheLibrarysTab) {
    TemplateBuilder t = DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 160, 100);
    t.Add("SysTabControl32", "", kTab, WS_TABSTOP, 4, 4, 150, 90);
    kelmard::UniqueWindow d(OpenDialog(t, true));
    ASSERT_TRUE(d);
    EXPECT_EQ(ClassOf(GetDlgItem(d.get(), kTab)), "WKTab");
}

}  // namespace
