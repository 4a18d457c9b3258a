// WKControl through a small test control registered with the library's class
// machinery: text and font, WM_GETTEXT sizes, parent notifications, the
// object's life with its window, and a superclass of a missing system class.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/framework/classes.h"
#include "controls/framework/control.h"
#include "support.h"

namespace {

using namespace kelmard;

constexpr UINT kPaintWithFont = WM_APP + 1;  // the test control's own message
int g_live = 0;  // test control objects alive
bool g_failNcCreate = false, g_failCreate = false;

class TestControl : public WKControl {
public:
    explicit TestControl(HWND window) : WKControl(window) { ++g_live; }
    ~TestControl() override { --g_live; }
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NCCREATE && g_failNcCreate) return FALSE;
        if (message == kPaintWithFont) {  // paints with the control's font, answers the font it selected
            WindowDC dc(window);
            SelectGuard font(dc.get(), ControlFont());
            return reinterpret_cast<LRESULT>(GetCurrentObject(dc.get(), OBJ_FONT));
        }
        return WKControl::WindowProc(window, message, wParam, lParam);
    }
    LRESULT OnCreate(const CREATESTRUCTA* create) override { return g_failCreate ? -1 : WKControl::OnCreate(create); }
};
ControlClass g_testClass{"KelmardTestControl", ClassKind::Own, nullptr, nullptr, MakeControl<TestControl>, nullptr, nullptr};

// The parent: records WM_PARENTNOTIFY and answers WM_GETFONT.
std::vector<std::pair<WPARAM, LPARAM>> g_notes;
HFONT g_parentFont = nullptr;

LRESULT CALLBACK ParentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PARENTNOTIFY) g_notes.push_back({wp, lp});
    return m == WM_GETFONT ? reinterpret_cast<LRESULT>(g_parentFont) : DefWindowProcA(w, m, wp, lp);
}

class Controls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!SharedSkin().brushes[0]) LoadSkin(GetModuleHandleA("KELMARD.DLL"));
        g_testClass.procedure = ClassProc<g_testClass>;
        ASSERT_NE(RegisterOwnClass(ctl_test::Self(), g_testClass.name, g_testClass.procedure, kOwnClassStyle), 0);
        WNDCLASSA wc{};
        wc.lpfnWndProc = ParentProc, wc.hInstance = ctl_test::Self(), wc.lpszClassName = "KelmardTestParent";
        RegisterClassA(&wc);
        parent_.reset(CreateWindowExA(WS_EX_TOPMOST, "KelmardTestParent", "parent", WS_POPUP | WS_VISIBLE, 40, 40, 300,
                                      200, nullptr, nullptr, ctl_test::Self(), nullptr));
    }
    static void TearDownTestSuite() { parent_.reset(); }
    void SetUp() override {
        ASSERT_TRUE(parent_);
        g_notes.clear(), g_parentFont = nullptr;
    }
    // Children have WS_EX_NOPARENTNOTIFY: the parent hears only the control's own notifications.
    static HWND Child(const char* text, int id = 77) {
        return CreateWindowExA(WS_EX_NOPARENTNOTIFY, "KelmardTestControl", text, WS_CHILD | WS_VISIBLE, 10, 10, 120, 40,
                               parent_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ctl_test::Self(), nullptr);
    }
    static UniqueWindow parent_;
};
UniqueWindow Controls::parent_;

TEST_F(Controls, TextIsCopiedAndAnsweredInEverySize) {
    UniqueWindow c(Child("Opacity"));
    ASSERT_TRUE(c);
    // Room for the whole text, exactly its length (one character less), one
    // character (the terminator), none (nothing written); from a buffer of 'x'.
    const struct {
        WPARAM room;
        LRESULT copied;
        std::string buffer;
    } reads[] = {{32, 7, "Opacity"}, {7, 6, "Opacit"}, {1, 0, ""}, {0, 0, std::string(31, 'x')}};
    for (const auto& r : reads) {
        char buffer[32];
        std::memset(buffer, 'x', 31);
        buffer[31] = '\0';
        EXPECT_EQ(SendMessageA(c.get(), WM_GETTEXT, r.room, reinterpret_cast<LPARAM>(buffer)), r.copied) << r.room;
        EXPECT_EQ(buffer, r.buffer) << r.room;
    }
    EXPECT_EQ(SendMessageA(c.get(), WM_GETTEXT, 10, 0), 0) << "no buffer";
    EXPECT_EQ(SendMessageA(c.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Feather width")), 1);
    EXPECT_EQ(SendMessageA(c.get(), WM_GETTEXTLENGTH, 0, 0), 13);
    EXPECT_EQ(SendMessageA(c.get(), WM_SETTEXT, 0, 0), 1) << "a null text is the empty text";
    EXPECT_EQ(SendMessageA(c.get(), WM_GETTEXTLENGTH, 0, 0), 0);
    // A creation text naming an icon or bitmap by 0xFF and its id, or none: no text.
    const char ordinal[] = {'\xFF', 5, 0, 0};
    for (const char* title : {ordinal, static_cast<const char*>(nullptr)}) {
        UniqueWindow o(Child(title));
        ASSERT_TRUE(o);
        EXPECT_EQ(SendMessageA(o.get(), WM_GETTEXTLENGTH, 0, 0), 0);
    }
}

TEST_F(Controls, TellsTheParentOfCreationAndDestruction) {
    HWND c = Child("x", 0x1234);
    ASSERT_NE(c, nullptr);
    const LPARAM packed = static_cast<LPARAM>(MAKELONG(LOWORD(reinterpret_cast<UINT_PTR>(c)), 0x1234));
    DestroyWindow(c);
    const std::vector<std::pair<WPARAM, LPARAM>> told = {{WM_CREATE, packed}, {WM_DESTROY, packed}};
    EXPECT_EQ(g_notes, told);
}

// The parent's font until the parent has one asked again at each paint; then WM_SETFONT's.
TEST_F(Controls, FontFromWmSetFontOrAskedOfTheParent) {
    const UniqueFont parentFont(CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
    const UniqueFont ownFont(CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
    UniqueWindow c(Child("f"));
    ASSERT_TRUE(c);
    auto painted = [&] { return reinterpret_cast<HFONT>(SendMessageA(c.get(), kPaintWithFont, 0, 0)); };
    EXPECT_NE(painted(), parentFont.get());
    g_parentFont = parentFont.get();
    EXPECT_EQ(painted(), parentFont.get());
    EXPECT_EQ(SendMessageA(c.get(), WM_SETFONT, reinterpret_cast<WPARAM>(ownFont.get()), TRUE), 0);
    EXPECT_EQ(painted(), ownFont.get());
}

// WM_NCCREATE refused (no WM_DESTROY follows) or WM_CREATE answering -1: the
// object is freed at WM_NCDESTROY, as it is with a window destroyed.
TEST_F(Controls, ObjectsGoWithTheirWindowsEvenWhenCreationFails) {
    for (bool* fail : {&g_failNcCreate, &g_failCreate}) {
        *fail = true;
        EXPECT_EQ(Child("n"), nullptr);
        EXPECT_EQ(g_live, 0);
        *fail = false;
    }
    DestroyWindow(Child("ok"));
    EXPECT_EQ(g_live, 0);
}

// A superclass of a missing system class is not registered and saves nothing.
TEST_F(Controls, ASuperclassOfAMissingSystemClassIsNotRegistered) {
    WNDPROC saved = reinterpret_cast<WNDPROC>(1);
    EXPECT_EQ(RegisterSuperclass(ctl_test::Self(), "KelmardTestGhost", DefWindowProcA, "NoSuchSystemClass", &saved), 0);
    WNDCLASSA wc{};
    EXPECT_FALSE(GetClassInfoA(ctl_test::Self(), "KelmardTestGhost", &wc));
    EXPECT_EQ(saved, reinterpret_cast<WNDPROC>(1));
}

}  // namespace
