// "WKTreeView" in a dialog written for the system's tree view: its colours across
// disabling and enabling, its notifications, its skinned bar scrolling the tree.
#include <windows.h>
#include <commctrl.h>

#include "support.h"

namespace {

using namespace ctl_test;
using namespace seq;
namespace sk = kelmard::skin;

constexpr int kTree = 31;
constexpr COLORREF kMine = RGB(0x12, 0x34, 0x56), kOther = RGB(0x65, 0x43, 0x21);

class TreeViews : public ::testing::Test {
protected:
    void Open(DWORD style) {
        InitCommonControls();
        TemplateBuilder t = DialogTemplate(WS_POPUP | WS_VISIBLE, 200, 120);
        t.Add("SysTreeView32", "", kTree, style | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS, 10, 10, 120, 80);
        dialog_.reset(OpenDialog(t, true));
        ASSERT_TRUE(dialog_);
        tree_ = GetDlgItem(dialog_.get(), kTree);
        ASSERT_EQ(ClassOf(tree_), "WKTreeView");
        char text[] = "Effect";
        TVINSERTSTRUCTA insert{TVI_ROOT, TVI_LAST, {TVIF_TEXT}};
        insert.item.pszText = text;
        for (HTREEITEM& item : items_)
            item = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        Pump(dialog_.get(), 50);
    }
    void TearDown() override { dialog_.reset(), Pump(); }
    COLORREF Get(UINT message) const { return static_cast<COLORREF>(SendMessageA(tree_, message, 0, 0)); }
    COLORREF Set(UINT message, COLORREF c) const { return static_cast<COLORREF>(SendMessageA(tree_, message, 0, c)); }
    HTREEITEM FirstVisible() const {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    }
    // The skinned vertical bar's strip of the window as the screen shows it (no repaint first).
    kpicture::Image BarStrip() const {
        RECT window, client;
        POINT origin{0, 0};
        GetWindowRect(tree_, &window), GetClientRect(tree_, &client), ClientToScreen(tree_, &origin);
        kelmard::WindowDC dc(tree_, GetWindowDC(tree_));
        return kpicture::CaptureDC(dc.get(), origin.x - window.left + client.right, origin.y - window.top,
                                   GetSystemMetrics(SM_CXVSCROLL), client.bottom);
    }
    kelmard::UniqueWindow dialog_;
    HWND tree_ = nullptr;
    HTREEITEM items_[30]{};
};

// The program's colours give way to the skin's grey while disabled and come
// back when enabled; the get messages answer CLR_NONE/CLR_DEFAULT while unset.
TEST_F(TreeViews, ColoursComeFromTheSkinAndTheProgramsComeBackAfterDisabling) {
    Open(WS_VSCROLL | WS_DISABLED);  // made disabled
    Set(TVM_SETTEXTCOLOR, kMine);
    EXPECT_EQ(Get(TVM_GETTEXTCOLOR), SkinColour(sk::kGreyTextColor));
    EnableWindow(tree_, TRUE);
    EXPECT_EQ(Get(TVM_GETTEXTCOLOR), kMine);
    Open(WS_VSCROLL);
    const struct { UINT set, get; COLORREF unset; } elements[] = {{TVM_SETTEXTCOLOR, TVM_GETTEXTCOLOR, CLR_NONE},
        {TVM_SETLINECOLOR, TVM_GETLINECOLOR, CLR_DEFAULT}, {TVM_SETINSERTMARKCOLOR, TVM_GETINSERTMARKCOLOR, CLR_DEFAULT}};
    for (const auto& e : elements) {
        SCOPED_TRACE(e.get);
        EXPECT_EQ(Get(e.get), e.unset) << "none set by the program";
        EXPECT_EQ(Set(e.set, kMine), e.unset);
        EXPECT_EQ(Set(e.set, kOther), kMine);
        EnableWindow(tree_, FALSE);
        EXPECT_EQ(Get(e.get), SkinColour(sk::kGreyTextColor)) << "disabled: the skin's grey";
        EnableWindow(tree_, TRUE);
        EXPECT_EQ(Get(e.get), kOther) << "enabled again: the program's colour";
        EXPECT_EQ(Set(e.set, CLR_NONE), kOther);
        EXPECT_EQ(Get(e.get), e.unset);
    }
    EXPECT_EQ(Get(TVM_GETBKCOLOR), CLR_NONE);
    const kpicture::Image shot = Shot(tree_);
    EXPECT_GT(CountIn(shot, SkinColour(sk::kFieldColor), 0, 0, shot.width, shot.height), shot.width * shot.height / 2)
        << "the skin's field colour behind the items";
}

// The notifications reach the dialog. A press on the skinned bar's down arrow
// scrolls the tree one line; the bar shows each position the tree view sets
// (with redraw, which paints the system's bar), and the system's bar never.
TEST_F(TreeViews, NotificationsReachTheDialogAndTheSkinnedBarScrollsTheTree) {
    Open(WS_VSCROLL);
    auto notify = [](UINT code) { return Msg{WM_NOTIFY, kTree, static_cast<int>(code)}; };
    const Msg custom = Optional(Many(notify(NM_CUSTOMDRAW)));
    const Step select = Send(kTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items_[3]));
    EXPECT_TRUE(seq::Run(dialog_.get(),
                         {select.Sees({custom, notify(TVN_SELCHANGINGA), custom, notify(TVN_SELCHANGEDA), custom})}));
    const kpicture::Image before = BarStrip();
    EXPECT_GT(CountIn(before, SkinColour(sk::kLightColor), 0, 0, before.width, before.height), 0) << "the skin's track";
    RECT r;  // the client area; the bar beside it
    GetClientRect(tree_, &r);
    POINT client{r.right + GetSystemMetrics(SM_CXVSCROLL) / 2, r.bottom - 4}, arrow = client;  // on the down arrow
    ClientToScreen(tree_, &arrow);
    SetCursorPos(arrow.x, arrow.y);
    PostMessageA(tree_, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y)), Pump(dialog_.get());
    EXPECT_EQ(GetCapture(), tree_);
    EXPECT_EQ(FirstVisible(), items_[1]) << "one line down, once";
    PostMessageA(tree_, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y)), Pump(dialog_.get());
    EXPECT_EQ(GetCapture(), nullptr);
    const kpicture::Image moved = BarStrip();
    EXPECT_NE(moved.pixels, before.pixels) << "the thumb moved";
    SendMessageA(tree_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0);  // a program scrolls the tree
    EXPECT_EQ(FirstVisible(), items_[10]);
    const kpicture::Image set = BarStrip();
    EXPECT_NE(set.pixels, moved.pixels);
    Shot(tree_, false);  // everything repainted
    EXPECT_EQ(BarStrip().pixels, set.pixels) << "the skinned bar at the new position, no system bar";
}

}  // namespace
