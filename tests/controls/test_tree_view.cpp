// "WKTreeView" in a dialog written for the system's tree view: its colours
// across disabling and enabling, its notifications reaching the dialog, and
// its skinned vertical bar scrolling the tree and showing every position
// the tree view sets.
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
        for (int i = 0; i < 30; ++i) {
            std::string text = "Effect " + std::to_string(i);
            TVINSERTSTRUCTA insert{};
            insert.hParent = TVI_ROOT;
            insert.hInsertAfter = TVI_LAST;
            insert.item.mask = TVIF_TEXT;
            insert.item.pszText = &text[0];
            items_[i] = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        }
        Pump(dialog_.get(), 50);
    }
    void TearDown() override {
        dialog_.reset();
        Pump();
    }
    COLORREF Get(UINT message) const { return static_cast<COLORREF>(SendMessageA(tree_, message, 0, 0)); }
    COLORREF Set(UINT message, COLORREF c) const {
        return static_cast<COLORREF>(SendMessageA(tree_, message, 0, static_cast<LPARAM>(c)));
    }
    int FirstVisible() const {
        const auto first = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
        for (int i = 0; i < 30; ++i)
            if (items_[i] == first) return i;
        return -1;
    }
    // The skinned vertical bar's strip of the window as the screen shows it (no repaint first).
    kpicture::Image BarStrip() const {
        RECT window, client;
        GetWindowRect(tree_, &window);
        GetClientRect(tree_, &client);
        POINT origin{0, 0};
        ClientToScreen(tree_, &origin);
        kelmard::WindowDC dc(tree_, GetWindowDC(tree_));
        const int left = origin.x - window.left + client.right;
        return kpicture::CaptureDC(dc.get(), left, origin.y - window.top, GetSystemMetrics(SM_CXVSCROLL), client.bottom);
    }
    // A point of the vertical bar in screen coordinates, `fromBottom` pixels above its end.
    POINT OnBar(int fromBottom) const {
        RECT client;
        GetClientRect(tree_, &client);
        POINT p{client.right + GetSystemMetrics(SM_CXVSCROLL) / 2, client.bottom - fromBottom};
        ClientToScreen(tree_, &p);
        return p;
    }
    kelmard::UniqueWindow dialog_;
    HWND tree_ = nullptr;
    HTREEITEM items_[30]{};
};

TEST_F(TreeViews, ColoursComeFromTheSkinAndTheProgramsComeBackAfterDisabling) {
    Open(WS_VSCROLL);
    EXPECT_EQ(Get(TVM_GETBKCOLOR), CLR_NONE) << "none set by the program";
    EXPECT_EQ(Get(TVM_GETLINECOLOR), CLR_DEFAULT);
    EXPECT_EQ(Get(TVM_GETINSERTMARKCOLOR), CLR_DEFAULT);
    EXPECT_EQ(Set(TVM_SETTEXTCOLOR, kMine), CLR_NONE);
    EXPECT_EQ(Set(TVM_SETTEXTCOLOR, kOther), kMine);
    EXPECT_EQ(Set(TVM_SETLINECOLOR, kMine), CLR_DEFAULT);
    EXPECT_EQ(Get(TVM_GETTEXTCOLOR), kOther);
    EnableWindow(tree_, FALSE);
    EXPECT_EQ(Get(TVM_GETTEXTCOLOR), SkinColour(sk::kGreyTextColor)) << "disabled: the skin's grey";
    EXPECT_EQ(Get(TVM_GETLINECOLOR), SkinColour(sk::kGreyTextColor));
    EnableWindow(tree_, TRUE);
    EXPECT_EQ(Get(TVM_GETTEXTCOLOR), kOther) << "enabled again: the program's colour";
    EXPECT_EQ(Get(TVM_GETLINECOLOR), kMine);
    EXPECT_EQ(Set(TVM_SETTEXTCOLOR, CLR_NONE), kOther);
    EXPECT_EQ(Get(TVM_GETTEXTCOLOR), CLR_NONE);
    const kpicture::Image shot = Shot(tree_);
    EXPECT_GT(CountIn(shot, SkinColour(sk::kFieldColor), 0, 0, shot.width, shot.height), shot.width * shot.height / 2)
        << "the skin's field colour behind the items";
}

TEST_F(TreeViews, ATreeViewMadeDisabledShowsTheDisabledColours) {
    Open(WS_VSCROLL | WS_DISABLED);
    Set(TVM_SETTEXTCOLOR, kMine);
    EXPECT_EQ(Get(TVM_GETTEXTCOLOR), SkinColour(sk::kGreyTextColor));
    EnableWindow(tree_, TRUE);
    EXPECT_EQ(Get(TVM_GETTEXTCOLOR), kMine);
}

TEST_F(TreeViews, NotificationsReachTheDialog) {
    Open(WS_VSCROLL);
    const Msg custom = Optional(Many(Msg{WM_NOTIFY, kTree, static_cast<int>(NM_CUSTOMDRAW)}));
    const HTREEITEM item = items_[3];
    EXPECT_TRUE(seq::Run(dialog_.get(), {Send(kTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item))
                                             .Sees({custom, Msg{WM_NOTIFY, kTree, static_cast<int>(TVN_SELCHANGINGA)},
                                                    custom, Msg{WM_NOTIFY, kTree, static_cast<int>(TVN_SELCHANGEDA)},
                                                    custom})}));
}

// A press on the skinned bar's down arrow scrolls the tree one line; the
// bar shows each position the tree view sets, and the system's bar never.
TEST_F(TreeViews, TheSkinnedBarScrollsTheTreeAndShowsItsPosition) {
    Open(WS_VSCROLL);
    ASSERT_EQ(FirstVisible(), 0);
    const kpicture::Image before = BarStrip();
    EXPECT_GT(CountIn(before, SkinColour(sk::kLightColor), 0, 0, before.width, before.height), 0)
        << "the skin's track";
    const POINT arrow = OnBar(4);
    EXPECT_EQ(SendMessageA(tree_, WM_NCHITTEST, 0, MAKELPARAM(arrow.x, arrow.y)), HTVSCROLL);
    SetCursorPos(arrow.x, arrow.y);
    PostMessageA(tree_, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
    Pump(dialog_.get());
    EXPECT_EQ(GetCapture(), tree_);
    EXPECT_EQ(FirstVisible(), 1) << "one line down, once";
    POINT client = arrow;
    ScreenToClient(tree_, &client);
    PostMessageA(tree_, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    Pump(dialog_.get());
    EXPECT_EQ(GetCapture(), nullptr);
    const kpicture::Image moved = BarStrip();
    EXPECT_NE(moved.pixels, before.pixels) << "the thumb moved";
    Shot(tree_, false);  // everything repainted
    EXPECT_EQ(BarStrip().pixels, moved.pixels) << "nothing else was drawn over the bar";

    // A program scrolls the tree: the tree view sets its scroll information
    // with redraw, which paints the system's bar.
    SendMessageA(tree_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0);
    EXPECT_EQ(FirstVisible(), 10);
    const kpicture::Image set = BarStrip();
    EXPECT_NE(set.pixels, moved.pixels);
    Shot(tree_, false);
    EXPECT_EQ(BarStrip().pixels, set.pixels) << "the skinned bar at the new position, no system bar";
}

}  // namespace
