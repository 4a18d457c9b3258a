// The help window through FxHelp: help files written with rfh into a
// temporary installation, popups on this thread's message loop, their text,
// size, place and pixels, and how they close.
#include <gtest/gtest.h>

#include <string>

#include "help_window_support.h"
#include "kelmard.h"
#include "picture.h"

namespace {

using hwtest::Popups;
using hwtest::PopupText;
using hwtest::Pump;

LONG_PTR Open(const char* first = nullptr, const char* second = nullptr) {
    FxHelpOpenBlock block{nullptr, first, second};
    return FxHelp(FXHELP_OPEN, nullptr, &block);
}
void* Handle(LONG_PTR help) { return reinterpret_cast<void*>(help); }
LONG_PTR Show(LONG_PTR help, WORD id, int x = 100, int y = 100, HWND parent = nullptr) {
    FxHelpShowBlock block{parent, x, y, id};
    return FxHelp(FXHELP_SHOW, Handle(help), &block);
}
LONG_PTR Has(LONG_PTR help, WORD id) {
    return FxHelp(FXHELP_HAS_TOPIC, Handle(help), reinterpret_cast<void*>(static_cast<UINT_PTR>(id)));
}
LONG_PTR Close(LONG_PTR help) { return FxHelp(FXHELP_CLOSE, Handle(help), nullptr); }

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

class HelpWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(install.recorded());
        ASSERT_TRUE(install.WriteHelpFile("FxHelp.RFH", {{100, "General cross fade"}, {200, "General only"}}));
    }
    // Wine takes seconds to unload RichEdit: the suite keeps it loaded, except
    // where a case watches the library come and go.
    static void SetUpTestSuite() { richEdit = LoadLibraryA("riched32.dll"); }
    static void TearDownTestSuite() {
        if (richEdit) FreeLibrary(richEdit);
        richEdit = nullptr;
    }
    void TearDown() override { hwtest::DestroyPopups(); }
    // Shows a topic and answers its popup once the text has arrived.
    HWND ShowOne(LONG_PTR help, WORD id, int x = 100, int y = 100) {
        EXPECT_EQ(Show(help, id, x, y), 1);
        Pump(100);
        const auto popups = Popups();
        EXPECT_EQ(popups.size(), 1u);
        return popups.empty() ? nullptr : popups.back();
    }
    hwtest::Installation install;
    static HMODULE richEdit;
};
HMODULE HelpWindow::richEdit = nullptr;

TEST_F(HelpWindow, OpensTheGeneralFileAndEveryNamedOneOrNothing) {
    LONG_PTR help = Open();
    ASSERT_NE(help, 0);
    EXPECT_EQ(Close(help), 1);

    // A named file that is missing fails the whole open.
    EXPECT_EQ(Open("Missing"), 0);
    EXPECT_EQ(Open(nullptr, "Missing"), 0);
    // Blanks are dropped from a name: "Page Curl" is PageCurl.RFH.
    ASSERT_TRUE(install.WriteHelpFile("PageCurl.RFH", {{7, "Curl"}}));
    help = Open("Page Curl");
    ASSERT_NE(help, 0);
    EXPECT_EQ(Has(help, 7), 1);
    EXPECT_EQ(Close(help), 1);
    // A name whose path cannot be held fails the open (and nothing overflows).
    const std::string longName(600, 'n');
    EXPECT_EQ(Open(longName.c_str()), 0);
    EXPECT_EQ(Open("Page Curl", longName.c_str()), 0);

    // Without the general file nothing opens, named files or not.
    ASSERT_TRUE(DeleteFileA((install.HelpFolder() + "\\FxHelp.RFH").c_str()));
    EXPECT_EQ(Open(), 0);
    EXPECT_EQ(Open("Page Curl"), 0);
}

TEST_F(HelpWindow, ALaterFileWinsAndIdZeroFindsAnyTopic) {
    ASSERT_TRUE(install.WriteHelpFile("SceneA.RFH", {{100, "Scene A cross fade"}, {300, "Only in A"}}));
    ASSERT_TRUE(install.WriteHelpFile("SceneB.RFH", {{100, "Scene B cross fade"}}));
    LONG_PTR help = Open("SceneA", "SceneB");
    ASSERT_NE(help, 0);
    HWND popup = ShowOne(help, 100);
    EXPECT_EQ(PopupText(popup), "Scene B cross fade");
    hwtest::DestroyPopups();
    EXPECT_EQ(PopupText(ShowOne(help, 300)), "Only in A");
    hwtest::DestroyPopups();
    EXPECT_EQ(PopupText(ShowOne(help, 200)), "General only");
    hwtest::DestroyPopups();
    EXPECT_EQ(Has(help, 300), 1);
    EXPECT_EQ(Has(help, 999), 0);
    EXPECT_EQ(Show(help, 999), 0);
    Pump(50);
    EXPECT_TRUE(Popups().empty()) << "a missing topic shows nothing";
    EXPECT_EQ(Close(help), 1);

    // A second name without a first: its file still wins over the general one.
    help = Open(nullptr, "SceneB");
    ASSERT_NE(help, 0);
    EXPECT_EQ(PopupText(ShowOne(help, 100)), "Scene B cross fade");
    hwtest::DestroyPopups();
    EXPECT_EQ(Has(help, 300), 0);
    EXPECT_EQ(Close(help), 1);

    // ID 0 finds the first topic of the last file that has one.
    ASSERT_TRUE(install.WriteHelpFile("FxHelp.RFH", {}));
    help = Open();
    ASSERT_NE(help, 0);
    EXPECT_EQ(Has(help, 0), 0) << "a help file without topics";
    EXPECT_EQ(Close(help), 1);
    help = Open("SceneA");
    ASSERT_NE(help, 0);
    EXPECT_EQ(Has(help, 0), 1);
    EXPECT_EQ(PopupText(ShowOne(help, 0)), "Scene A cross fade");
    EXPECT_EQ(Close(help), 1);
}

TEST_F(HelpWindow, NullHandlesAndUnknownOperations) {
    EXPECT_EQ(Close(0), 1);
    EXPECT_EQ(Show(0, 100), 0);
    EXPECT_EQ(Has(0, 100), 0);
    const LONG_PTR help = Open();
    ASSERT_NE(help, 0);
    EXPECT_EQ(FxHelp(4, Handle(help), nullptr), 0);
    EXPECT_EQ(FxHelp(-1, Handle(help), nullptr), 0);
    EXPECT_EQ(FxHelp(FXHELP_SHOW, Handle(help), nullptr), 0);
    EXPECT_EQ(Close(help), 1);
}

TEST_F(HelpWindow, ThePopupShowsTheTextOnTheTooltipBackground) {
    ASSERT_TRUE(install.WriteHelpFile(
        "FxHelp.RFH", {{100, "{\\b\\cf1 Cross fade}\\par The first picture fades into the second."}}));
    const LONG_PTR help = Open();
    ASSERT_NE(help, 0);
    HWND popup = ShowOne(help, 100, 120, 140);
    ASSERT_TRUE(popup);
    EXPECT_TRUE(IsWindowVisible(popup));
    RECT r{};
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 140);
    const SIZE client = ClientSize(popup);
    EXPECT_GE(client.cx, 3 * client.cy) << "at least three times as wide as high";

    const kpicture::Image image = kpicture::CaptureWindow(popup);
    ASSERT_FALSE(image.empty());
    const int area = image.width * image.height;
    const std::uint32_t background = kpicture::FromColorRef(WKGetSysColor(COLOR_INFOBK));
    EXPECT_GT(kpicture::CountColour(image, background, 8), area / 2);
    EXPECT_GT(kpicture::CountColour(image, kpicture::Rgb(0, 0, 128), 60), 10) << "the dark blue title (colour 1)";
    EXPECT_EQ(Close(help), 1);
}

TEST_F(HelpWindow, AOneLineTopicWidensOnlyWhileNarrowerThanThreeTimesItsHeight) {
    ASSERT_TRUE(install.WriteHelpFile("FxHelp.RFH", {{1, "OK."}}));
    const LONG_PTR help = Open();
    ASSERT_NE(help, 0);
    HWND popup = ShowOne(help, 1);
    ASSERT_TRUE(popup);
    const SIZE client = ClientSize(popup);
    EXPECT_GE(client.cx, 3 * client.cy);
    EXPECT_LT(client.cx - 50, 3 * client.cy) << "one widening step too many";
    EXPECT_GT(client.cy, 10) << "a line of text";
    EXPECT_EQ(Close(help), 1);
}

TEST_F(HelpWindow, PopupsOpenAwayFromTheScreenEdgesAndStayOnTheScreen) {
    std::string lines;
    for (int i = 0; i < 90; ++i) lines += "Line " + std::to_string(i) + "\\par ";
    ASSERT_TRUE(install.WriteHelpFile("FxHelp.RFH", {{1, "A short topic of a few words."}, {2, lines}}));
    const LONG_PTR help = Open();
    ASSERT_NE(help, 0);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);

    // Near the right edge: to the left of x; near the bottom: above y.
    const int x = screenWidth - 20, y = screenHeight - 10;
    HWND popup = ShowOne(help, 1, x, y);
    ASSERT_TRUE(popup);
    RECT r{};
    GetWindowRect(popup, &r);
    EXPECT_LT(r.left, x);
    EXPECT_LE(r.right, x + 2);
    EXPECT_LT(r.top, y);
    EXPECT_LE(r.bottom, y + 2);
    hwtest::DestroyPopups();

    // Far from the edges: at (x, y).
    popup = ShowOne(help, 1, 10, 20);
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    hwtest::DestroyPopups();

    // Ninety lines would need a popup three times wider than the screen is
    // high: it stops at the screen.
    popup = ShowOne(help, 2, 600, 500);
    ASSERT_TRUE(popup);
    GetWindowRect(popup, &r);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, screenWidth);
    EXPECT_LE(r.bottom, screenHeight);
    EXPECT_EQ(Close(help), 1);
}

TEST_F(HelpWindow, ThePopupClosesOnAKeyOnDeactivationAndOnFocusLoss) {
    const LONG_PTR help = Open();
    ASSERT_NE(help, 0);

    HWND popup = ShowOne(help, 100);
    ASSERT_TRUE(popup);
    EXPECT_EQ(GetFocus(), popup) << "keys come to the popup";
    PostMessageA(popup, WM_KEYDOWN, VK_SPACE, 0);
    Pump(50);
    EXPECT_FALSE(IsWindow(popup)) << "a key";

    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 400, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(other);
    popup = ShowOne(help, 100);
    ASSERT_TRUE(popup);
    SetActiveWindow(other);
    Pump(50);
    EXPECT_FALSE(IsWindow(popup)) << "another window became active";

    popup = ShowOne(help, 100, 10, 10);
    ASSERT_TRUE(popup);
    SetFocus(nullptr);
    Pump(50);
    EXPECT_FALSE(IsWindow(popup)) << "the focus went";
    DestroyWindow(other);
    EXPECT_EQ(Close(help), 1);
}

TEST_F(HelpWindow, APopupOutlivesItsHelpHandleAndThenLetsRichEditGo) {
    if (richEdit) FreeLibrary(richEdit);
    richEdit = nullptr;
    ASSERT_EQ(GetModuleHandleA("riched32.dll"), nullptr) << "nothing else holds RichEdit 1.0";
    const LONG_PTR help = Open();
    ASSERT_NE(help, 0);
    HWND popup = ShowOne(help, 100);
    ASSERT_TRUE(popup);
    EXPECT_EQ(Close(help), 1);
    EXPECT_NE(GetModuleHandleA("riched32.dll"), nullptr) << "the open popup still needs RichEdit";
    // The popup still works: it repaints, keeps its text, and closes.
    InvalidateRect(popup, nullptr, TRUE);
    UpdateWindow(GetWindow(popup, GW_CHILD));
    Pump(30);
    EXPECT_EQ(PopupText(popup), "General cross fade");
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump(50);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetModuleHandleA("riched32.dll"), nullptr) << "the last popup let RichEdit go";

    // A popup that cannot be created (its parent is no window) holds nothing.
    const LONG_PTR again = Open();
    ASSERT_NE(again, 0);
    EXPECT_EQ(Show(again, 100, 100, 100, reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7654321))), 1);
    EXPECT_TRUE(Popups().empty());
    EXPECT_EQ(Close(again), 1);
    EXPECT_EQ(GetModuleHandleA("riched32.dll"), nullptr) << "the popup object that had no window was freed";
}

TEST_F(HelpWindow, OnlyFxHelpMakesPopupsAndTheyIgnoreForeignObjects) {
    HINSTANCE library = GetModuleHandleA("KELMARD.DLL");
    ASSERT_TRUE(library);
    // Made by someone else, with no creation parameter or a strange one: refused.
    EXPECT_EQ(CreateWindowExA(0, "FxHelp Window", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, library, nullptr),
              nullptr);
    EXPECT_EQ(CreateWindowExA(0, "FxHelp Window", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, library,
                              reinterpret_cast<void*>(static_cast<UINT_PTR>(0x10))),
              nullptr);

    // WM_INITDIALOG does not replace a popup's object with its lParam.
    const LONG_PTR help = Open();
    ASSERT_NE(help, 0);
    HWND popup = ShowOne(help, 100);
    ASSERT_TRUE(popup);
    SendMessageA(popup, WM_INITDIALOG, 0, 0x1234);
    SendMessageA(popup, WM_KEYDOWN, VK_SPACE, 0);
    Pump(50);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(Close(help), 1);
}

TEST_F(HelpWindow, WithoutDestDirTheHelpFilesAreLookedForBelowTheCurrentFolder) {
    htest::TempFolder current;
    CreateDirectoryA(current.File("Help").c_str(), nullptr);
    ASSERT_TRUE(hwtest::MakeHelpFile(current, "FxHelp.RFH", {{5, "From the current folder"}}));
    ASSERT_TRUE(install.ForgetDestDir());
    char previous[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(current.path().c_str()));
    const LONG_PTR help = Open();
    SetCurrentDirectoryA(previous);
    ASSERT_NE(help, 0);
    EXPECT_EQ(Has(help, 5), 1);
    EXPECT_EQ(Has(help, 100), 0) << "not the installation's file";
    EXPECT_EQ(Close(help), 1);
}

}  // namespace
