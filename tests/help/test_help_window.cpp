// The help window through FxHelp: help files written with rfh into a
// temporary installation recorded as DestDir, popups on this thread's message
// loop, which file's topic they show, and where and how large they open.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "help_test_support.h"
#include "kelmard.h"
#include "rfh.h"
#include "support/processes.h"

namespace {

LONG_PTR Open(const char* first = nullptr, const char* second = nullptr) {
    FxHelpOpenBlock block{nullptr, first, second};
    return FxHelp(FXHELP_OPEN, nullptr, &block);
}
LONG_PTR Show(LONG_PTR help, WORD id, int x = 100, int y = 100) {
    FxHelpShowBlock block{nullptr, x, y, id};
    return FxHelp(FXHELP_SHOW, reinterpret_cast<void*>(help), &block);
}
LONG_PTR Has(LONG_PTR help, WORD id) {
    return FxHelp(FXHELP_HAS_TOPIC, reinterpret_cast<void*>(help), reinterpret_cast<void*>(UINT_PTR{id}));
}
LONG_PTR Close(LONG_PTR help) { return FxHelp(FXHELP_CLOSE, reinterpret_cast<void*>(help), nullptr); }

std::vector<HWND> Popups() {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "FxHelp Window", nullptr)) != nullptr;) found.push_back(w);
    return found;
}
// The plain text of a popup's RichEdit child.
std::string PopupText(HWND popup) {
    char text[4096] = "(no child)";
    if (HWND child = GetWindow(popup, GW_CHILD)) GetWindowTextA(child, text, sizeof text);
    return text;
}
void DestroyPopups() {
    for (HWND popup : Popups()) DestroyWindow(popup);
    khost::PumpMessages(20);
}

// Writes <folder>\Help\<file> with rfh's "create" from topic bodies (help ID -> RTF body).
bool MakeHelpFile(const std::string& folder, const std::string& file, const std::map<unsigned, std::string>& topics) {
    static int serial = 0;
    const std::string sources = folder + "\\topics-" + std::to_string(++serial), target = folder + "\\Help\\" + file;
    CreateDirectoryA((folder + "\\Help").c_str(), nullptr);
    CreateDirectoryA(sources.c_str(), nullptr);
    for (const auto& [id, body] : topics)
        if (!htest::WriteBytes(sources + "\\" + std::to_string(id) + ".rtf", body)) return false;
    std::FILE* sink = std::tmpfile();
    const char* create[] = {"rfh", "create", target.c_str(), sources.c_str()};
    const int rc = rfh::Run(4, create, sink, sink);
    if (sink) std::fclose(sink);
    return rc == 0;
}

// Each case runs in a temporary installation recorded as DestDir.
class HelpWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(install.recorded());
        ASSERT_TRUE(Write("FxHelp.RFH", {{100, "General cross fade"}, {200, "General only"}}));
    }
    void TearDown() override { DestroyPopups(); }
    bool Write(const std::string& file, const std::map<unsigned, std::string>& topics) {
        return MakeHelpFile(install.path(), file, topics);
    }
    // Shows a topic and answers its popup once the text has arrived.
    HWND ShowOne(LONG_PTR help, WORD id, int x = 100, int y = 100) {
        EXPECT_EQ(Show(help, id, x, y), 1);
        khost::PumpMessages(100);
        const auto popups = Popups();
        EXPECT_EQ(popups.size(), 1u);
        return popups.empty() ? nullptr : popups.back();
    }
    // Wine takes seconds to unload RichEdit: the suite keeps it loaded, except
    // where a case watches the library come and go.
    static void SetUpTestSuite() { richEdit.reset(LoadLibraryA("riched32.dll")); }
    static void TearDownTestSuite() { richEdit.reset(); }
    static kelmard::UniqueModule richEdit;
    ktest::Installation install{"help"};
};
kelmard::UniqueModule HelpWindow::richEdit;

// The scene files named at the open, the second after the first, win over
// the general file; ID 0 finds the first topic of the last file.
TEST_F(HelpWindow, ALaterFileWinsAndIdZeroFindsAnyTopic) {
    ASSERT_TRUE(Write("SceneA.RFH", {{100, "Scene A cross fade"}, {300, "Only in A"}}));
    ASSERT_TRUE(Write("SceneB.RFH", {{100, "Scene B cross fade"}}));
    const struct { const char *first, *second; WORD id; const char* text; } cases[] = {
        {"SceneA", "SceneB", 100, "Scene B cross fade"}, {"SceneA", "SceneB", 300, "Only in A"},
        {"SceneA", "SceneB", 200, "General only"},       {"SceneA", "SceneB", 999, nullptr},
        {nullptr, "SceneB", 100, "Scene B cross fade"},  {nullptr, "SceneB", 300, nullptr},
        {"SceneA", nullptr, 0, "Scene A cross fade"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.first ? c.first : "-") + " " + (c.second ? c.second : "-") + " " +
                     std::to_string(c.id));
        const LONG_PTR help = Open(c.first, c.second);
        ASSERT_NE(help, 0);
        if (c.text) {
            EXPECT_EQ(PopupText(ShowOne(help, c.id)), c.text);
        } else {
            EXPECT_EQ(Has(help, c.id), 0);
            EXPECT_EQ(Show(help, c.id), 0);
            khost::PumpMessages(50);
            EXPECT_TRUE(Popups().empty()) << "a missing topic shows nothing";
        }
        EXPECT_EQ(Close(help), 1);
        DestroyPopups();
    }
    // A null handle closes (there is nothing to do) and shows nothing.
    EXPECT_EQ(Close(0), 1);
    EXPECT_EQ(Show(0, 100), 0);
}

TEST_F(HelpWindow, PopupsFitTheirTextAndOpenAwayFromTheScreenEdges) {
    std::string lines;
    for (int i = 0; i < 90; ++i) lines += "Line " + std::to_string(i) + "\\par ";
    ASSERT_TRUE(Write("FxHelp.RFH", {{1, "A short topic of a few words."}, {2, lines}, {3, "OK."}}));
    const LONG_PTR help = Open();
    ASSERT_NE(help, 0);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);

    // A one-line topic widens only while narrower than three times its height.
    HWND popup = ShowOne(help, 3);
    RECT r{};
    ASSERT_TRUE(GetClientRect(popup, &r));
    EXPECT_GE(r.right, 3 * r.bottom);
    EXPECT_LT(r.right - 50, 3 * r.bottom) << "one widening step too many";
    EXPECT_GT(r.bottom, 10) << "a line of text";
    DestroyPopups();

    // Near the right edge: to the left of x; near the bottom: above y.
    const int x = screenWidth - 20, y = screenHeight - 10;
    ASSERT_TRUE(GetWindowRect(ShowOne(help, 1, x, y), &r));
    EXPECT_LT(r.left, x);
    EXPECT_LE(r.right, x + 2);
    EXPECT_LT(r.top, y);
    EXPECT_LE(r.bottom, y + 2);
    DestroyPopups();

    // Ninety lines would need a popup three times wider than the screen is
    // high: the widening stops at the screen.
    ASSERT_TRUE(GetWindowRect(ShowOne(help, 2, 600, 500), &r));
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, screenWidth);
    EXPECT_LE(r.bottom, screenHeight);
    EXPECT_EQ(Close(help), 1);
}

TEST_F(HelpWindow, APopupOutlivesItsHelpHandleAndThenLetsRichEditGo) {
    richEdit.reset();
    ASSERT_EQ(GetModuleHandleA("riched32.dll"), nullptr) << "nothing else holds RichEdit 1.0";
    const LONG_PTR help = Open();
    ASSERT_NE(help, 0);
    HWND popup = ShowOne(help, 100);
    ASSERT_TRUE(popup);
    EXPECT_EQ(Close(help), 1);
    EXPECT_NE(GetModuleHandleA("riched32.dll"), nullptr) << "the open popup still needs RichEdit";
    // The popup still works: it repaints, keeps its text, and closes on a key.
    InvalidateRect(popup, nullptr, TRUE);
    UpdateWindow(GetWindow(popup, GW_CHILD));
    khost::PumpMessages(30);
    EXPECT_EQ(PopupText(popup), "General cross fade");
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    khost::PumpMessages(50);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetModuleHandleA("riched32.dll"), nullptr) << "the last popup let RichEdit go";
}

// A plug-in frees the library while a popup is open (its help handle already
// closed): the popup keeps the library's code until it closes, then lets it go.
TEST_F(HelpWindow, APopupKeepsTheLibraryLoadedUntilItCloses) {
    EXPECT_EQ(ktest::Helper("", "", "kelmard-test-unload.exe").Wait(60000), 0u)
        << "2: unloaded under the popup, 3/4: the popup stopped working, 5: never unloaded, other: crashed or failed";
}

TEST_F(HelpWindow, WithoutDestDirTheHelpFilesAreLookedForBelowTheCurrentFolder) {
    htest::TempFolder current;
    ASSERT_TRUE(MakeHelpFile(current.path(), "FxHelp.RFH", {{5, "From the current folder"}}));
    ASSERT_EQ(RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, "DestDir"), ERROR_SUCCESS);
    char previousFolder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, previousFolder);
    ASSERT_TRUE(SetCurrentDirectoryA(current.path().c_str()));
    const LONG_PTR help = Open();
    SetCurrentDirectoryA(previousFolder);
    ASSERT_NE(help, 0);
    EXPECT_EQ(Has(help, 5), 1);
    EXPECT_EQ(Has(help, 100), 0) << "not the installation's file";
    EXPECT_EQ(Close(help), 1);
}

}  // namespace
