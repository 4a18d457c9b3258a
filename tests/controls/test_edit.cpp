// "WKEdit" in a test dialog: the system edit's editing and notifications
// unchanged, the skinned border drawn over the system's non-client area on
// painting and on activation, dropped files passed to the dialog.
#include <gtest/gtest.h>

#include <string>

#include "ctl_support.h"

namespace {

using namespace ctl_test;
namespace sk = kelmard::skin;

class Edits : public ::testing::Test {
protected:
    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
        Pump(nullptr, 1);
    }
    void Open() {
        DialogTemplate t(WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 100, "edits");
        t.Add("WKEdit", "hello", 30, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 4, 4, 80, 12);
        t.Add("WKEdit", "edge", 32, ES_AUTOHSCROLL | WS_TABSTOP, 4, 24, 80, 12, WS_EX_CLIENTEDGE);
        t.Add("WKButton", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 24, 50, 14);
        dialog_ = OpenDialog(t);
        ASSERT_NE(dialog_, nullptr);
        Pump(dialog_);
    }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    std::string Text(int id) const {
        char buffer[64] = "";
        GetDlgItemTextA(dialog_, id, buffer, sizeof buffer);
        return buffer;
    }
    HWND dialog_ = nullptr;
};

TEST_F(Edits, WithoutAClientEdgeItLooksLikeTheSystemEdit) {
    Open();
    // Made here, not from the template: the dialog manager gives a bordered
    // edit of any class the client edge instead.
    HWND ours = Child(dialog_, "WKEdit", "hello", ES_AUTOHSCROLL | WS_BORDER, 40, 10, 90, 120, 22);
    HWND system = Child(dialog_, "EDIT", "hello", ES_AUTOHSCROLL | WS_BORDER, 41, 10, 125, 120, 22);
    RedrawWindow(ours, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    RedrawWindow(system, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    const kpicture::Image a = kpicture::CaptureWindow(ours), b = kpicture::CaptureWindow(system);
    ASSERT_FALSE(a.empty());
    ASSERT_EQ(a.width, b.width);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(SendMessageA(ours, WM_GETDLGCODE, 0, 0), SendMessageA(system, WM_GETDLGCODE, 0, 0));
}

TEST_F(Edits, TheSkinnedBorderIsDrawnOverTheSystemsAndOnActivation) {
    Open();
    HWND edit = Item(32);
    RECT r;
    GetWindowRect(edit, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const sk::FramePlace& f = sk::kFrames[sk::kClientEdgeFrame];
    RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    kpicture::Image shot = kpicture::CaptureWindow(edit);
    EXPECT_EQ(DiffersFromSkin(shot, 0, 0, f.x, f.y, 2, 2), 0);
    EXPECT_EQ(DiffersFromSkin(shot, w - 2, h - 2, f.x + 2, f.y + 2, 2, 2), 0);

    // Paint over the border, then activation draws it again.
    HDC dc = GetWindowDC(edit);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, w, h};
    FrameRect(dc, &all, red);
    DeleteObject(red);
    ReleaseDC(edit, dc);
    ASSERT_GT(CountIn(kpicture::CaptureWindow(edit), RGB(255, 0, 0), 0, 0, w, h), 0);
    EXPECT_EQ(SendMessageA(edit, WM_NCACTIVATE, TRUE, 0), 0);
    shot = kpicture::CaptureWindow(edit);
    EXPECT_EQ(CountIn(shot, RGB(255, 0, 0), 0, 0, w, h), 0);
    EXPECT_EQ(DiffersFromSkin(shot, 0, 0, f.x, f.y, 2, 2), 0);
}

TEST_F(Edits, EditingAndNotificationsAreTheSystemEdits) {
    Open();
    SetFocus(Item(IDOK));
    Pump(dialog_);
    // Tab from OK, the last stop, wraps to the skinned edit and selects its text.
    PostMessageA(Item(IDOK), WM_KEYDOWN, VK_TAB, 1);
    Pump(dialog_);
    ASSERT_EQ(GetFocus(), Item(30)) << "Tab wraps to the first edit";
    DWORD start = 1, end = 0;
    SendMessageA(Item(30), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u) << "the dialog selected the whole text";
    for (char c : {'x', 'y'}) PostMessageA(Item(30), WM_CHAR, c, 1);
    Pump(dialog_);
    EXPECT_EQ(Text(30), "xy");
    EXPECT_GE(Log().Count(30, EN_CHANGE), 2);
    EXPECT_GE(Log().Count(30, EN_SETFOCUS), 1);

    SendMessageA(Item(30), EM_LIMITTEXT, 3, 0);
    for (char c : {'a', 'b'}) PostMessageA(Item(30), WM_CHAR, c, 1);
    Pump(dialog_);
    EXPECT_EQ(Text(30), "xya");
    EXPECT_GE(Log().Count(30, EN_MAXTEXT), 1);
    SendMessageA(Item(30), EM_SETSEL, 0, -1);
    SendMessageA(Item(30), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("new"));
    EXPECT_EQ(Text(30), "new");
    EXPECT_EQ(SendMessageA(Item(30), WM_GETTEXTLENGTH, 0, 0), 3);
}

TEST_F(Edits, DroppedFilesGoToTheParent) {
    Open();
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(SendMessageA(Item(32), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0), 77);
    ASSERT_EQ(Log().drops.size(), 1u);
    EXPECT_EQ(Log().drops[0].first, reinterpret_cast<WPARAM>(drop));
    EXPECT_EQ(Log().drops[0].second, reinterpret_cast<LPARAM>(Item(32)));
    EXPECT_EQ(Text(32), "edge") << "the edit itself did nothing with it";
    GlobalFree(drop);
}

}  // namespace
