// The dialog entry points under Wine: templates from the program's resources
// and from memory, modal and modeless, and the dialog manager reading the
// converted copies as it reads the originals.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialog_support.h"
#include "kelmard.h"

namespace {

using namespace dialog_tests;

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

// Creation data seen by "KTestData" windows, by control id.
struct SeenData {
    int id;
    std::string bytes;  // the block lpCreateParams points to: its count word and the data
};
std::vector<SeenData> g_seen;

LRESULT CALLBACK DataProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
        std::string bytes;
        if (const auto* p = static_cast<const unsigned char*>(cs->lpCreateParams)) {
            const unsigned count = p[0] | (p[1] << 8);
            bytes.assign(reinterpret_cast<const char*>(p), 2 + count);
        }
        g_seen.push_back({GetDlgCtrlID(w), bytes});
    }
    return DefWindowProcA(w, m, wp, lp);
}

// The test's own window classes: a plain pane, a control that records its
// creation data, and a dialog class of a plug-in's own.
class Classes : public testing::Environment {
public:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = Self();
        wc.lpszClassName = "KTestPane";
        RegisterClassA(&wc);
        wc.lpfnWndProc = DataProc;
        wc.lpszClassName = "KTestData";
        RegisterClassA(&wc);
        wc.lpfnWndProc = DefDlgProcA;
        wc.cbWndExtra = DLGWINDOWEXTRA;
        wc.lpszClassName = "KTestDialogClass";
        RegisterClassA(&wc);
    }
};
const auto* const g_classes = testing::AddGlobalTestEnvironment(new Classes);

TEST(DialogEntry, ResourceTemplatesRunAsSkinnedDialogs) {
    Recorder r;
    r.endWith = 4321;
    g_recorder = &r;
    EXPECT_EQ(WKDialogBoxParam(Self(), MAKEINTRESOURCEA(100), nullptr, RecordingProc, 0x1234), 4321);
    EXPECT_EQ(r.init, 0x1234);
    EXPECT_EQ(r.firstChildClass, "KTestPane");
    EXPECT_FALSE(IsWindow(r.dialog));

    Recorder named;
    named.endWith = 7;
    named.init = 99;
    g_recorder = &named;
    EXPECT_EQ(WKDialogBox(Self(), "NAMED", nullptr, RecordingProc), 7);
    EXPECT_EQ(named.init, 0);
    EXPECT_EQ(named.firstChildClass, "KTestPane");
    g_recorder = nullptr;
}

// WM_INITDIALOG sees the dialog's class.
std::string g_initClass;
INT_PTR CALLBACK ClassProbe(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        g_initClass = ClassOf(dialog);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        EndDialog(dialog, 55);
        return TRUE;
    }
    return FALSE;
}

TEST(DialogEntry, TheDialogGetsTheLibraryClassUnlessItNamesItsOwn) {
    g_initClass.clear();
    EXPECT_EQ(WKDialogBoxParam(Self(), MAKEINTRESOURCEA(100), nullptr, ClassProbe, 0), 55);
    EXPECT_EQ(g_initClass, "WKDialog");

    TemplateBuilder own;
    own.Dialog(kPopupCaption | DS_SETFONT, 0, 10, 10, 100, 50).Word(0).String("KTestDialogClass").String("Own")
        .Font(8, "MS Shell Dlg");
    g_initClass.clear();
    EXPECT_EQ(WKDialogBoxIndirect(Self(), reinterpret_cast<LPCDLGTEMPLATEA>(own.data()), nullptr, ClassProbe), 55);
    EXPECT_EQ(g_initClass, "KTestDialogClass");
}

TEST(DialogEntry, MissingOrOverrunningResourcesAnswerMinusOne) {
    EXPECT_EQ(WKDialogBox(Self(), MAKEINTRESOURCEA(999), nullptr, RecordingProc), -1);
    EXPECT_EQ(WKDialogBoxParam(Self(), "NOSUCHDIALOG", nullptr, RecordingProc, 0), -1);
    // Resource 101 counts three items it does not hold: nothing is read past it.
    EXPECT_EQ(WKDialogBoxParam(Self(), MAKEINTRESOURCEA(101), nullptr, RecordingProc, 0), -1);
    // No template at all.
    EXPECT_EQ(WKDialogBoxIndirect(Self(), nullptr, nullptr, RecordingProc), -1);
    EXPECT_EQ(WKCreateDialogIndirect(Self(), nullptr, nullptr, RecordingProc), nullptr);
}

TEST(DialogEntry, MemoryTemplatesModalAndModeless) {
    const TemplateBuilder t = CaptionDialog(kPopupCaption);
    Recorder r;
    r.endWith = 3;
    g_recorder = &r;
    EXPECT_EQ(WKDialogBoxIndirectParam(Self(), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), nullptr, RecordingProc, 77), 3);
    EXPECT_EQ(r.init, 77);

    Recorder m;
    g_recorder = &m;
    const HWND modeless =
        WKCreateDialogIndirectParam(Self(), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), nullptr, RecordingProc, 88);
    ASSERT_TRUE(modeless);
    EXPECT_EQ(m.init, 88);
    EXPECT_EQ(ClassOf(modeless), "WKDialog");
    DestroyWindow(modeless);
    const HWND plain = WKCreateDialogIndirect(Self(), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), nullptr, RecordingProc);
    ASSERT_TRUE(plain);
    EXPECT_EQ(m.init, 0);
    DestroyWindow(plain);
    g_recorder = nullptr;
}

// A control with creation data followed by another control: the dialog
// manager must read the converted copy as it reads the original, in both
// template formats and for data sizes that fall differently on the items'
// 4-byte boundaries. (Even sizes: the dialog manager skips an odd count one
// byte short of the data, so a template with one is broken before conversion.)
TEST(DialogEntry, CreationDataAndTheFollowingItemSurviveConversion) {
    const std::uint8_t data[] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    for (bool dialogEx : {false, true}) {
        for (std::uint16_t count : {2, 4, 6}) {
            SCOPED_TRACE(testing::Message() << (dialogEx ? "DIALOGEX" : "DIALOG") << " data " << count);
            TemplateBuilder t;
            if (dialogEx) t.DialogEx(kPopupCaption | DS_SETFONT, 2, 10, 10, 100, 60);
            else t.Dialog(kPopupCaption | DS_SETFONT, 2, 10, 10, 100, 60);
            t.Word(0).Word(0).String("Data").Font(8, "MS Shell Dlg");
            t.Item(WS_CHILD | WS_VISIBLE, 5, 5, 40, 10, 60).String("KTestData").String("d").Word(count).Bytes(data, count);
            t.Item(WS_CHILD | WS_VISIBLE, 5, 20, 40, 10, 61).String("KTestPane").String("After").NoData();

            g_seen.clear();
            const HWND original = CreateDialogIndirectParamA(Self(), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()),
                                                             nullptr, RecordingProc, 0);
            ASSERT_TRUE(original);
            const auto seenOriginal = g_seen;
            g_seen.clear();
            const HWND converted = WKCreateDialogIndirectParam(Self(), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()),
                                                               nullptr, RecordingProc, 0);
            ASSERT_TRUE(converted);
            const auto seenConverted = g_seen;

            ASSERT_EQ(seenOriginal.size(), 1u);
            ASSERT_EQ(seenConverted.size(), 1u);
            EXPECT_EQ(seenConverted[0].id, 60);
            EXPECT_EQ(seenConverted[0].bytes, seenOriginal[0].bytes);
            EXPECT_EQ(seenOriginal[0].bytes.size(), 2u + count);
            for (HWND dialog : {original, converted}) {
                const HWND after = GetDlgItem(dialog, 61);
                ASSERT_TRUE(after);
                EXPECT_EQ(ClassOf(after), "KTestPane");
                char text[16] = "";
                GetWindowTextA(after, text, sizeof text);
                EXPECT_STREQ(text, "After");
            }
            DestroyWindow(original);
            DestroyWindow(converted);
        }
    }
}

// The standard controls of a template become the library's.
TEST(DialogEntry, StandardControlsBecomeTheSkinnedOnes) {
    TemplateBuilder t = CaptionDialog(kPopupCaption, 0, 5);
    t.Item(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 5, 50, 14, 1).Ordinal(0x80).String("OK").NoData();
    t.Item(WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 5, 20, 50, 14, 2).Ordinal(0x80).String("Check").NoData();
    t.Item(WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 5, 35, 50, 14, 3).Ordinal(0x80).String("Owner").NoData();
    t.Item(WS_CHILD | WS_VISIBLE, 60, 5, 50, 10, 4).Ordinal(0x82).String("Label").NoData();
    t.Item(WS_CHILD | WS_VISIBLE | WS_BORDER, 60, 20, 50, 12, 5).Ordinal(0x81).String("text").NoData();
    const HWND d = WKCreateDialogIndirectParam(Self(), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), nullptr,
                                               RecordingProc, 0);
    ASSERT_TRUE(d);
    EXPECT_EQ(ClassOf(GetDlgItem(d, 1)), "WKButton");
    EXPECT_EQ(ClassOf(GetDlgItem(d, 2)), "WKButton");
    EXPECT_EQ(ClassOf(GetDlgItem(d, 3)), "Button");
    EXPECT_EQ(ClassOf(GetDlgItem(d, 4)), "WKStatic");
    EXPECT_EQ(ClassOf(GetDlgItem(d, 5)), "WKEdit");
    char text[16] = "";
    GetDlgItemTextA(d, 5, text, sizeof text);
    EXPECT_STREQ(text, "text");
    DestroyWindow(d);
}

}  // namespace
