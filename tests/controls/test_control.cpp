// WKControl through a small test control registered with the library's class
// machinery: text and font, WM_GETTEXT sizes, parent notifications, the
// skinned client edge, superclasses and the object's life with its window.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/framework/control.h"
#include "controls/framework/draw.h"
#include "support.h"

namespace {

using namespace kelmard;

int g_live = 0;           // test control objects alive
bool g_failNcCreate = false;
bool g_failCreate = false;

class TestControl : public WKControl {
public:
    explicit TestControl(HWND window) : WKControl(window) { ++g_live; }
    ~TestControl() override { --g_live; }
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NCCREATE && g_failNcCreate) return FALSE;
        if (message == WM_USER + 1) {  // paints with the control's font, answers the font it replaced
            HDC dc = GetDC(window);
            HFONT old = SelectControlFont(dc);
            const HFONT selected = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
            if (old) SelectObject(dc, old);
            ReleaseDC(window, dc);
            return reinterpret_cast<LRESULT>(selected);
        }
        return WKControl::WindowProc(window, message, wParam, lParam);
    }
    LRESULT OnCreate(const CREATESTRUCTA* create) override {
        if (g_failCreate) return -1;
        return WKControl::OnCreate(create);
    }
};

ControlClass g_testClass{"KelmardTestControl", ClassKind::Own, nullptr, nullptr, MakeControl<TestControl>, nullptr, nullptr};

// A superclass of the system edit box whose object lets the edit do the work.
class TestEdit : public WKControl {
public:
    explicit TestEdit(HWND window) : WKControl(window) { ++g_live; }
    ~TestEdit() override { --g_live; }
    static WNDPROC system;
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER + 7) return 4242;
        return CallWindowProcA(system, window, message, wParam, lParam);
    }
};
WNDPROC TestEdit::system = nullptr;
ControlClass g_testEdit{"KelmardTestEdit", ClassKind::Superclass, "EDIT", nullptr, MakeControl<TestEdit>, nullptr, nullptr};

// The parent: records WM_PARENTNOTIFY and answers WM_GETFONT.
struct ParentLog {
    std::vector<std::pair<WPARAM, LPARAM>> notes;
    int fontQuestions = 0;
    HFONT font = nullptr;
} g_parent;

LRESULT CALLBACK ParentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PARENTNOTIFY) g_parent.notes.push_back({wp, lp});
    if (m == WM_GETFONT) {
        ++g_parent.fontQuestions;
        return reinterpret_cast<LRESULT>(g_parent.font);
    }
    return DefWindowProcA(w, m, wp, lp);
}

class Controls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!SharedSkin().brushes[0]) LoadSkin(GetModuleHandleA("KELMARD.DLL"));
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        g_testClass.procedure = ClassProc<g_testClass>;
        ASSERT_NE(RegisterOwnClass(instance, g_testClass.name, g_testClass.procedure, 0x83), 0);
        g_testEdit.procedure = ClassProc<g_testEdit>;
        ASSERT_NE(RegisterSuperclass(instance, g_testEdit.name, g_testEdit.procedure, "EDIT", &g_testEdit.systemProcedure), 0);
        TestEdit::system = g_testEdit.systemProcedure;
        WNDCLASSA wc{};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = instance;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "KelmardTestParent";
        RegisterClassA(&wc);
    }
    static void TearDownTestSuite() { DestroyWindow(parent_); }
    void SetUp() override {
        if (!parent_)
            parent_ = CreateWindowExA(WS_EX_TOPMOST, "KelmardTestParent", "parent", WS_POPUP | WS_VISIBLE, 40, 40, 300,
                                      200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        g_parent = ParentLog{};
    }
    void TearDown() override {
        EXPECT_EQ(g_live, 0) << "every object went with its window";
        g_failNcCreate = g_failCreate = false;
    }
    // Children have WS_EX_NOPARENTNOTIFY, so that the parent hears only the
    // control's own notifications.
    HWND Child(const char* text, int id = 77, DWORD style = WS_CHILD | WS_VISIBLE, DWORD exStyle = 0,
               const char* cls = "KelmardTestControl") {
        return CreateWindowExA(exStyle | WS_EX_NOPARENTNOTIFY, cls, text, style, 10, 10, 120, 40, parent_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    }
    static HWND parent_;
};
HWND Controls::parent_ = nullptr;

TEST_F(Controls, TextIsCopiedAndAnsweredInEverySize) {
    HWND c = Child("Opacity");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(g_live, 1);
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(SendMessageA(c, WM_GETTEXTLENGTH, 0, 0), 7);
    EXPECT_EQ(SendMessageA(c, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 7);
    EXPECT_STREQ(buffer, "Opacity");
    // Exactly the length: one character less, terminated.
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(SendMessageA(c, WM_GETTEXT, 7, reinterpret_cast<LPARAM>(buffer)), 6);
    EXPECT_STREQ(buffer, "Opacit");
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(SendMessageA(c, WM_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], '\0');
    // No room, or no buffer: nothing is written.
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(SendMessageA(c, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(SendMessageA(c, WM_GETTEXT, 10, 0), 0);

    EXPECT_EQ(SendMessageA(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Feather width")), 1);
    EXPECT_EQ(SendMessageA(c, WM_GETTEXTLENGTH, 0, 0), 13);
    char got[64] = "";
    GetWindowTextA(c, got, sizeof got);
    EXPECT_STREQ(got, "Feather width");
    // A null text is the empty text.
    EXPECT_EQ(SendMessageA(c, WM_SETTEXT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(c, WM_GETTEXTLENGTH, 0, 0), 0);
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(SendMessageA(c, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], '\0');
    DestroyWindow(c);
    // Dialog templates name an icon or bitmap by 0xFF and its id: no text.
    const char ordinal[] = {'\xFF', 5, 0, 0};
    for (const char* title : {ordinal, static_cast<const char*>(nullptr)}) {
        HWND o = Child(title);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(SendMessageA(o, WM_GETTEXTLENGTH, 0, 0), 0);
        DestroyWindow(o);
    }
}

TEST_F(Controls, TellsTheParentOfCreationAndDestruction) {
    HWND c = Child("x", 0x1234);
    ASSERT_NE(c, nullptr);
    const LPARAM packed = static_cast<LPARAM>(MAKELONG(LOWORD(reinterpret_cast<UINT_PTR>(c)), 0x1234));
    ASSERT_EQ(g_parent.notes.size(), 1u);
    EXPECT_EQ(g_parent.notes[0].first, static_cast<WPARAM>(WM_CREATE));
    EXPECT_EQ(g_parent.notes[0].second, packed);
    DestroyWindow(c);
    ASSERT_EQ(g_parent.notes.size(), 2u);
    EXPECT_EQ(g_parent.notes[1].first, static_cast<WPARAM>(WM_DESTROY));
    EXPECT_EQ(g_parent.notes[1].second, packed);
}

TEST_F(Controls, FontFromWmSetFontOrAskedOfTheParent) {
    HFONT parentFont = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    HFONT ownFont = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    HWND c = Child("f");
    ASSERT_NE(c, nullptr);
    // The parent has no font yet: asked again at the next paint.
    EXPECT_NE(reinterpret_cast<HFONT>(SendMessageA(c, WM_USER + 1, 0, 0)), parentFont);
    EXPECT_EQ(g_parent.fontQuestions, 1);
    g_parent.font = parentFont;
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(c, WM_USER + 1, 0, 0)), parentFont);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(c, WM_USER + 1, 0, 0)), parentFont);
    EXPECT_EQ(g_parent.fontQuestions, 2) << "asked once it answered";
    EXPECT_EQ(SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(ownFont), TRUE), 0);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(c, WM_USER + 1, 0, 0)), ownFont);
    EXPECT_EQ(g_parent.fontQuestions, 2);
    DestroyWindow(c);
    DeleteObject(parentFont);
    DeleteObject(ownFont);
}

// WS_EX_CLIENTEDGE is drawn from the skin; a plain border is the system's.
TEST_F(Controls, TheClientEdgeIsTheSkinsAndABorderTheSystems) {
    HWND edged = Child("e", 1, WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE);
    HWND bordered = CreateWindowExA(WS_EX_NOPARENTNOTIFY, "KelmardTestControl", "b", WS_CHILD | WS_VISIBLE | WS_BORDER,
                                    10, 60, 120, 40, parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_BLACKRECT, 140, 60, 120, 40,
                                 parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(edged, nullptr);
    ASSERT_NE(bordered, nullptr);
    RedrawWindow(parent_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ctl_test::Pump(nullptr, 100);
    const kpicture::Image shot = kpicture::CaptureWindow(edged);
    ASSERT_EQ(shot.width, 120);
    const kelmard::skin::FramePlace& f = kelmard::skin::kFrames[kelmard::skin::kClientEdgeFrame];
    EXPECT_EQ(ctl_test::DiffersFromSkin(shot, 0, 0, f.x, f.y, 2, 2), 0) << "top-left corner 1:1";
    EXPECT_EQ(ctl_test::DiffersFromSkin(shot, 118, 38, f.x + 2, f.y + 2, 2, 2), 0) << "bottom-right corner";
    EXPECT_EQ(ctl_test::DiffersFromSkin(shot, 60, 0, f.x + 4, f.y, 2, 2), 0) << "top edge";
    const kpicture::Image a = kpicture::CaptureWindow(bordered), b = kpicture::CaptureWindow(plain);
    ASSERT_EQ(a.width, b.width);
    for (int x = 0; x < a.width; ++x) EXPECT_EQ(a.rgb(x, 0), b.rgb(x, 0)) << x;
    for (int y = 0; y < a.height; ++y) EXPECT_EQ(a.rgb(0, y), b.rgb(0, y)) << y;
    for (HWND w : {edged, bordered, plain}) DestroyWindow(w);
}

TEST_F(Controls, ObjectsGoWithTheirWindowsEvenWhenCreationFails) {
    g_failNcCreate = true;  // the object refuses WM_NCCREATE: no WM_DESTROY follows
    EXPECT_EQ(Child("n"), nullptr);
    EXPECT_EQ(g_live, 0) << "freed at WM_NCDESTROY";
    g_failNcCreate = false;
    g_failCreate = true;  // WM_CREATE answers -1
    EXPECT_EQ(Child("c"), nullptr);
    EXPECT_EQ(g_live, 0);
    g_failCreate = false;
    HWND c = Child("ok");
    ASSERT_NE(c, nullptr);
    EXPECT_NE(AttachedControl(c, g_testClass), nullptr);
    DestroyWindow(c);
    EXPECT_EQ(g_live, 0);
}

// A superclass keeps the system control working under its object; one of a
// missing system class is not registered.
TEST_F(Controls, SuperclassesKeepTheSystemControl) {
    HWND e = Child("typed", 3, WS_CHILD | WS_VISIBLE, 0, "KelmardTestEdit");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(g_live, 1);
    EXPECT_NE(AttachedControl(e, g_testEdit), nullptr);
    EXPECT_EQ(SendMessageA(e, WM_USER + 7, 0, 0), 4242);
    SendMessageA(e, EM_SETSEL, 0, -1);
    EXPECT_EQ(SendMessageA(e, EM_GETSEL, 0, 0), MAKELONG(0, 5));
    DestroyWindow(e);

    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDPROC saved = reinterpret_cast<WNDPROC>(1);
    EXPECT_EQ(RegisterSuperclass(instance, "KelmardTestGhost", ClassProc<g_testEdit>, "NoSuchSystemClass", &saved), 0);
    WNDCLASSA wc{};
    EXPECT_FALSE(GetClassInfoA(instance, "KelmardTestGhost", &wc));
    EXPECT_EQ(saved, reinterpret_cast<WNDPROC>(1)) << "nothing saved";
}

}  // namespace
