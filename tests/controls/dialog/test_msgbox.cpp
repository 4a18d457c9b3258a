// WKMessageBox under Wine: real boxes on the test's thread, looked at and
// closed from a second thread with keys and clicks, as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support.h"

namespace {

using ctl_test::ClassOf;

struct BoxButton {
    int id;
    RECT rect;  // screen
    bool isDefault;
};

// What the second thread saw of the box (rectangles on the screen; the client's size).
struct Seen {
    HWND box = nullptr, owner = nullptr;
    std::string title;
    RECT window{}, client{}, text{}, icon{};
    std::vector<BoxButton> buttons;  // left to right
    int focusId = 0;
    bool hasIcon = false;
    LONG exStyle = 0;
};

// Runs WKMessageBox on this thread while `act` runs on another once the box
// is up, with what it saw of the box; answers the box's result.
int RunBox(HWND owner, const char* text, const char* caption, UINT type, Seen& seen,
           const std::function<void(const Seen&)>& act) {
    const DWORD thread = GetCurrentThreadId();
    std::thread driver([&] {
        HWND box = nullptr;
        for (int i = 0; i < 2400 && !(box && IsWindowVisible(box)); ++i) {  // up to a minute
            Sleep(25);
            box = FindWindowA("WKDialog", nullptr);
        }
        if (!box) return;
        Sleep(150);  // let WM_INITDIALOG's layout settle
        seen.box = box;
        seen.owner = GetWindow(box, GW_OWNER);
        char title[256] = "";
        GetWindowTextA(box, title, sizeof title);
        seen.title = title;
        GetWindowRect(box, &seen.window);
        GetClientRect(box, &seen.client);
        EnumChildWindows(box, [](HWND w, LPARAM out) {
            BoxButton b{GetDlgCtrlID(w), {}, (GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON};
            GetWindowRect(w, &b.rect);
            if (ClassOf(w) == "WKButton") reinterpret_cast<std::vector<BoxButton>*>(out)->push_back(b);
            return TRUE;
        }, reinterpret_cast<LPARAM>(&seen.buttons));
        std::sort(seen.buttons.begin(), seen.buttons.end(), [](auto& a, auto& b) { return a.rect.left < b.rect.left; });
        GUITHREADINFO gui{sizeof gui};
        if (GetGUIThreadInfo(thread, &gui)) seen.focusId = GetDlgCtrlID(gui.hwndFocus);
        if (HWND label = GetDlgItem(box, 1001)) GetWindowRect(label, &seen.text);
        if (HWND icon = GetDlgItem(box, 1000)) seen.hasIcon = GetWindowRect(icon, &seen.icon);
        seen.exStyle = GetWindowLongA(box, GWL_EXSTYLE);
        act(seen);
    });
    const int result = WKMessageBox(owner, text, caption, type);
    driver.join();
    return result;
}

// Input to the box from the driver thread, as the sequence driver gives it.
std::function<void(const Seen&)> Input(const seq::Table& steps) {
    return [steps](const Seen& s) {
        for (const seq::Step& step : steps) seq::Perform(s.box, step);
    };
}
const auto Escape = Input(seq::Key(VK_ESCAPE));
seq::Table ClickOn(int id) { return seq::Click(id, 10, 5); }

// The buttons of a set in order, with the default button focused and
// answering Return (one beyond the buttons there are is the first); Escape
// closes every box with IDCANCEL, a click answers the button's id; one row of
// equal buttons below the text, inside the box, the text right of an icon; a
// null caption shows "Error" (a null text an empty text); an unknown type is MB_OK.
TEST(SkinnedMessageBox, ButtonSetsAnswerKeysAndClicks) {
    using seq::Key;
    const struct {
        UINT type;
        std::vector<int> ids;
        seq::Table act;
        int answer, defaultId;
        const char* caption = "Question";
    } cases[] = {
        {MB_YESNOCANCEL | MB_HELP, {IDYES, IDNO, IDCANCEL, IDHELP}, Key(VK_ESCAPE), IDCANCEL, IDYES},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, Key(VK_ESCAPE), IDCANCEL, IDRETRY},
        {7, {IDOK}, Key(VK_ESCAPE), IDCANCEL, IDOK},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, {IDYES, IDNO, IDCANCEL}, Key(VK_RETURN), IDNO, IDNO},
        {MB_OKCANCEL | MB_DEFBUTTON4, {IDOK, IDCANCEL}, Key(VK_RETURN), IDOK, IDOK},
        {MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION, {IDABORT, IDRETRY, IDIGNORE}, ClickOn(IDIGNORE), IDIGNORE, IDABORT},
        {MB_OK, {IDOK}, Key(VK_ESCAPE), IDCANCEL, IDOK, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << (c.caption ? "" : ", no caption"));
        Seen s;
        EXPECT_EQ(RunBox(nullptr, c.caption ? "Proceed?" : nullptr, c.caption, c.type, s, Input(c.act)), c.answer);
        ASSERT_TRUE(s.box);
        EXPECT_EQ(s.title, c.caption ? c.caption : "Error");
        std::vector<int> ids;
        for (const auto& b : s.buttons) {
            ids.push_back(b.id);
            EXPECT_EQ(b.isDefault, b.id == c.defaultId) << b.id;
            EXPECT_EQ(b.rect.top, s.buttons[0].rect.top);
            EXPECT_EQ(b.rect.right - b.rect.left, s.buttons[0].rect.right - s.buttons[0].rect.left);
            EXPECT_GE(b.rect.top, s.text.bottom);
            EXPECT_LE(b.rect.right, s.window.right);
        }
        EXPECT_EQ(ids, c.ids);
        EXPECT_EQ(s.focusId, c.defaultId);
        if (!(c.type & MB_ICONMASK)) continue;
        ASSERT_TRUE(s.hasIcon);
        EXPECT_GT(s.text.left, s.icon.right);
        EXPECT_EQ(s.icon.right - s.icon.left, GetSystemMetrics(SM_CXICON));
    }
}

// The box is as wide as its caption needs, and a long text wraps at two
// thirds of the screen's width.
TEST(SkinnedMessageBox, TheBoxFitsItsCaptionAndText) {
    const char* longCaption = "A caption much longer than the short text of this box, to be read in full";
    Seen wide;
    RunBox(nullptr, "Hi", longCaption, MB_OK, wide, Escape);
    ASSERT_TRUE(wide.box);
    SIZE extent{};
    {
        const kelmard::WindowDC dc(nullptr);
        const kelmard::SelectGuard font(dc.get(), GetStockObject(SYSTEM_FONT));
        GetTextExtentPoint32A(dc.get(), longCaption, static_cast<int>(std::strlen(longCaption)), &extent);
    }
    EXPECT_GE(wide.client.right, extent.cx + 2 * GetSystemMetrics(SM_CXSMSIZE) + 15);

    std::string words;
    for (int i = 0; i < 60; ++i) words += "transition\t& ";
    Seen wrapped;
    RunBox(nullptr, words.c_str(), "Long", MB_OK, wrapped, Escape);
    ASSERT_TRUE(wrapped.box);
    const int third = GetSystemMetrics(SM_CXSCREEN) * 2 / 3, textWidth = wrapped.text.right - wrapped.text.left;
    EXPECT_LE(textWidth, third);
    EXPECT_GT(textWidth, third / 2);
    EXPECT_GE(wrapped.window.bottom, wrapped.buttons.at(0).rect.bottom) << "the box holds the lines and the buttons";
}

HWND g_helpSource = nullptr;
int g_helps = 0;
LRESULT CALLBACK OwnerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_HELP) return DefWindowProcA(w, m, wp, lp);
    ++g_helps;
    g_helpSource = static_cast<HWND>(reinterpret_cast<const HELPINFO*>(lp)->hItemHandle);
    return TRUE;
}

TEST(SkinnedMessageBox, OwnersByModalityAndHelpToTheOwner) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnerProc, wc.hInstance = ctl_test::Self(), wc.lpszClassName = "KTestBoxOwner";
    RegisterClassA(&wc);
    const kelmard::UniqueWindow ownerWindow(CreateWindowExA(0, "KTestBoxOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                            50, 50, 300, 200, nullptr, nullptr, wc.hInstance, nullptr));
    const HWND owner = ownerWindow.get();
    ASSERT_TRUE(owner);
    // Help tells the owner and leaves the box open.
    Seen help;
    bool openAfterHelp = false;
    EXPECT_EQ(RunBox(owner, "Need help?", "Help", MB_OK | MB_HELP, help, [&](const Seen& s) {
                  Input(ClickOn(IDHELP))(s);
                  Sleep(300);
                  openAfterHelp = IsWindow(s.box) != FALSE;
                  Input(ClickOn(IDOK))(s);
              }), IDOK);
    EXPECT_TRUE(openAfterHelp);
    EXPECT_EQ(g_helps, 1);
    EXPECT_EQ(g_helpSource, help.box);

    // By modality: the box's owner, whether the owner window is enabled while
    // the box is up, and a topmost box. Application modal disables the owner;
    // without an owner window nothing else is taken as the owner; system modal
    // has no owner and disables nothing (the desktop neither); task modal
    // without an owner window takes the thread's window.
    const struct {
        HWND owner;
        UINT type;
        HWND ownedBy;
        bool ownerEnabled, topmost;
    } modes[] = {{owner, MB_APPLMODAL, owner, false, false},
                 {nullptr, MB_APPLMODAL, nullptr, true, false},
                 {owner, MB_SYSTEMMODAL, nullptr, true, true},
                 {nullptr, MB_TASKMODAL, owner, false, false}};
    for (const auto& m : modes) {
        SCOPED_TRACE(testing::Message() << "type " << m.type << (m.owner ? " with an owner" : ""));
        Seen s;
        bool ownerEnabled = false, desktopEnabled = false;
        RunBox(m.owner, "Owned", "Modal", MB_OK | m.type, s, [&](const Seen& box) {
            ownerEnabled = IsWindowEnabled(owner) != FALSE;
            desktopEnabled = IsWindowEnabled(GetDesktopWindow()) != FALSE;
            Escape(box);
        });
        EXPECT_EQ(s.owner, m.ownedBy);
        EXPECT_EQ(ownerEnabled, m.ownerEnabled);
        EXPECT_TRUE(desktopEnabled);
        EXPECT_EQ((s.exStyle & WS_EX_TOPMOST) != 0, m.topmost);
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
}

// Each language's captions are stored under its own language id (the
// Japanese under Japanese, the Chinese under Chinese), as the resource
// lookup must find them.
std::wstring LibraryString(WORD language, int id) {
    const HMODULE library = GetModuleHandleA("KELMARD.DLL");
    const HRSRC found = FindResourceExW(library, reinterpret_cast<LPCWSTR>(RT_STRING), MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!found) return L"<missing>";
    const auto* p = static_cast<const WCHAR*>(LockResource(LoadResource(library, found)));
    for (int i = 0; i < id % 16; ++i) p += 1 + *p;
    return std::wstring(p + 1, *p);
}

TEST(SkinnedMessageBox, CaptionTablesHoldEachLanguageUnderItsOwnId) {
    EXPECT_EQ(LibraryString(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), 1001), L"Cancel");
    EXPECT_EQ(LibraryString(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), 1001), L"\xff77\xff6c\xff9d\xff7e\xff99");
    EXPECT_EQ(LibraryString(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), 1001), L"\x53d6\x6d88");
}

}  // namespace
