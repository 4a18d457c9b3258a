// WKMessageBox under Wine: real boxes on the test's thread, looked at and
// closed from a second thread with keys and clicks, as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "kelmard.h"
#include "support.h"

namespace {

using ctl_test::ClassOf;

struct BoxButton {
    int id;
    std::wstring caption;
    RECT rect;  // screen
    bool isDefault;
};

// What the second thread saw of the box.
struct Seen {
    HWND box = nullptr;
    HWND owner = nullptr;
    std::string title;
    RECT window{}, client{}, text{}, icon{};  // the box, its client, the text and icon controls (screen)
    std::vector<BoxButton> buttons;  // left to right
    HWND focus = nullptr;
    int focusId = 0;
    bool hasIcon = false;
    LONG exStyle = 0;
};

BOOL CALLBACK FindBox(HWND w, LPARAM out) {
    if (ClassOf(w) == "WKDialog" && IsWindowVisible(w)) {
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectButton(HWND w, LPARAM out) {
    if (ClassOf(w) != "WKButton") return TRUE;
    BoxButton b;
    b.id = GetDlgCtrlID(w);
    wchar_t text[64] = L"";
    GetWindowTextW(w, text, 64);
    b.caption = text;
    GetWindowRect(w, &b.rect);
    b.isDefault = (GetWindowLongA(w, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
    reinterpret_cast<std::vector<BoxButton>*>(out)->push_back(b);
    return TRUE;
}

// Runs WKMessageBox on this thread while `act` runs on another once the box
// is up; answers the box's result.
int RunBox(HWND owner, const char* text, const char* caption, UINT type, Seen& seen,
           std::function<void(const Seen&)> act) {
    const DWORD thread = GetCurrentThreadId();
    std::thread driver([&] {
        HWND box = nullptr;
        for (int i = 0; i < 2400 && !box; ++i) {  // up to a minute
            Sleep(25);
            EnumThreadWindows(thread, FindBox, reinterpret_cast<LPARAM>(&box));
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
        EnumChildWindows(box, CollectButton, reinterpret_cast<LPARAM>(&seen.buttons));
        std::sort(seen.buttons.begin(), seen.buttons.end(),
                  [](const BoxButton& a, const BoxButton& b) { return a.rect.left < b.rect.left; });
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        if (GetGUIThreadInfo(thread, &gui)) seen.focus = gui.hwndFocus;
        seen.focusId = GetDlgCtrlID(seen.focus);
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
void Input(const Seen& s, const seq::Table& steps) {
    for (const seq::Step& step : steps) seq::Perform(s.box, step);
}
void PressKey(const Seen& s, UINT key) { Input(s, seq::Key(key)); }
void Click(const Seen& s, int id) { Input(s, seq::Click(id, 10, 5)); }
void Escape(const Seen& s) { PressKey(s, VK_ESCAPE); }

std::vector<std::pair<int, std::wstring>> Buttons(const Seen& s) {
    std::vector<std::pair<int, std::wstring>> b;
    for (const auto& button : s.buttons) b.push_back({button.id, button.caption});
    return b;
}

bool EnglishResources() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_ENGLISH; }

TEST(SkinnedMessageBox, ButtonSetsCaptionsAndEscape) {
    if (!EnglishResources()) GTEST_SKIP() << "the English captions are checked in an English locale";
    const struct {
        UINT type;
        std::vector<std::pair<int, std::wstring>> buttons;
    } cases[] = {
        {MB_OK, {{IDOK, L"OK"}}},
        {MB_OKCANCEL, {{IDOK, L"OK"}, {IDCANCEL, L"Cancel"}}},
        {MB_ABORTRETRYIGNORE, {{IDABORT, L"Abort"}, {IDRETRY, L"Retry"}, {IDIGNORE, L"Ignore"}}},
        {MB_YESNOCANCEL | MB_HELP, {{IDYES, L"Yes"}, {IDNO, L"No"}, {IDCANCEL, L"Cancel"}, {IDHELP, L"Help"}}},
        {MB_YESNO, {{IDYES, L"Yes"}, {IDNO, L"No"}}},
        {MB_RETRYCANCEL, {{IDRETRY, L"Retry"}, {IDCANCEL, L"Cancel"}}},
        {7, {{IDOK, L"OK"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type);
        Seen seen;
        // Escape closes every box with IDCANCEL, whatever its buttons.
        EXPECT_EQ(RunBox(nullptr, "Proceed?", "Question", c.type, seen, Escape), IDCANCEL);
        ASSERT_TRUE(seen.box);
        EXPECT_EQ(Buttons(seen), c.buttons);
        EXPECT_EQ(seen.title, "Question");
        // One row of equal buttons below the text, inside the box.
        for (const auto& b : seen.buttons) {
            EXPECT_EQ(b.rect.top, seen.buttons[0].rect.top);
            EXPECT_EQ(b.rect.right - b.rect.left, seen.buttons[0].rect.right - seen.buttons[0].rect.left);
            EXPECT_GE(b.rect.top, seen.text.bottom);
            EXPECT_LE(b.rect.right, seen.window.right);
        }
    }
}

TEST(SkinnedMessageBox, TheDefaultButtonHasTheFocusAndAnswersEnter) {
    Seen seen;
    EXPECT_EQ(RunBox(nullptr, "Save the changes?", "Settings", MB_YESNOCANCEL | MB_DEFBUTTON2, seen,
                     [](const Seen& s) { PressKey(s, VK_RETURN); }),
              IDNO);
    ASSERT_EQ(seen.buttons.size(), 3u);
    EXPECT_FALSE(seen.buttons[0].isDefault);
    EXPECT_TRUE(seen.buttons[1].isDefault);
    EXPECT_EQ(seen.focusId, IDNO);

    // A default beyond the buttons there are is the first button.
    Seen beyond;
    EXPECT_EQ(RunBox(nullptr, "Two buttons", "Settings", MB_OKCANCEL | MB_DEFBUTTON4, beyond,
                     [](const Seen& s) { PressKey(s, VK_RETURN); }),
              IDOK);
    ASSERT_EQ(beyond.buttons.size(), 2u);
    EXPECT_TRUE(beyond.buttons[0].isDefault);
    EXPECT_EQ(beyond.focusId, IDOK);
}

TEST(SkinnedMessageBox, AClickOnAButtonAnswersItsId) {
    Seen seen;
    EXPECT_EQ(RunBox(nullptr, "Retry?", "Render", MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION, seen,
                     [](const Seen& s) { Click(s, IDIGNORE); }),
              IDIGNORE);
    ASSERT_TRUE(seen.hasIcon);
    // The text starts right of the icon.
    EXPECT_GT(seen.text.left, seen.icon.right);
    EXPECT_EQ(seen.icon.right - seen.icon.left, GetSystemMetrics(SM_CXICON));

    // A null caption shows "Error", a null text an empty one.
    Seen null;
    EXPECT_EQ(RunBox(nullptr, nullptr, nullptr, MB_OK, null, Escape), IDCANCEL);
    EXPECT_EQ(null.title, "Error");
    EXPECT_EQ(null.buttons.size(), 1u);
}

// The box is as wide as its caption needs, and a long text wraps at two
// thirds of the screen's width.
TEST(SkinnedMessageBox, TheBoxFitsItsCaptionAndText) {
    const char* longCaption = "A caption much longer than the short text of this box, to be read in full";
    Seen wide;
    RunBox(nullptr, "Hi", longCaption, MB_OK, wide, Escape);
    ASSERT_TRUE(wide.box);
    {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
        SIZE extent;
        GetTextExtentPoint32A(dc, longCaption, static_cast<int>(std::strlen(longCaption)), &extent);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        EXPECT_GE(wide.client.right, extent.cx + 2 * GetSystemMetrics(SM_CXSMSIZE) + 15);
    }

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
    if (m == WM_HELP) {
        const auto* info = reinterpret_cast<const HELPINFO*>(lp);
        ++g_helps;
        g_helpSource = static_cast<HWND>(info->hItemHandle);
        return TRUE;
    }
    return DefWindowProcA(w, m, wp, lp);
}

class OwnerWindow {
public:
    OwnerWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KTestBoxOwner";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, "KTestBoxOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~OwnerWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST(SkinnedMessageBox, OwnersByModalityAndHelpToTheOwner) {
    OwnerWindow owner;
    ASSERT_TRUE(owner.get());
    // Help tells the owner and leaves the box open.
    g_helps = 0;
    Seen help;
    bool openAfterHelp = false;
    EXPECT_EQ(RunBox(owner.get(), "Need help?", "Help", MB_OK | MB_HELP, help,
                     [&](const Seen& s) {
                         Click(s, IDHELP);
                         Sleep(300);
                         openAfterHelp = IsWindow(s.box) != FALSE;
                         Click(s, IDOK);
                     }),
              IDOK);
    EXPECT_TRUE(openAfterHelp);
    EXPECT_EQ(g_helps, 1);
    EXPECT_EQ(g_helpSource, help.box);

    // Application modal: the owner window, disabled while the box is up.
    Seen appl;
    bool ownerDisabled = false;
    RunBox(owner.get(), "Owned", "Modal", MB_OK | MB_APPLMODAL, appl, [&](const Seen& s) {
        ownerDisabled = !IsWindowEnabled(owner.get());
        Escape(s);
    });
    EXPECT_EQ(appl.owner, owner.get());
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.get()));

    // Without an owner window nothing else is taken as the owner.
    Seen none;
    RunBox(nullptr, "No owner", "Modal", MB_OK, none, Escape);
    EXPECT_EQ(none.owner, nullptr);

    // System modal: no owner, nothing disabled, the box on top.
    Seen system;
    bool desktopEnabled = false, ownerEnabled = false;
    RunBox(owner.get(), "On top", "System", MB_OK | MB_SYSTEMMODAL, system, [&](const Seen& s) {
        desktopEnabled = IsWindowEnabled(GetDesktopWindow()) != FALSE;
        ownerEnabled = IsWindowEnabled(owner.get()) != FALSE;
        Escape(s);
    });
    EXPECT_EQ(system.owner, nullptr);
    EXPECT_TRUE(desktopEnabled);
    EXPECT_TRUE(ownerEnabled);
    EXPECT_TRUE(system.exStyle & WS_EX_TOPMOST);

    // Task modal without an owner window: the thread's window.
    Seen task;
    RunBox(nullptr, "Task", "Task", MB_OK | MB_TASKMODAL, task, Escape);
    EXPECT_EQ(task.owner, owner.get());
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
