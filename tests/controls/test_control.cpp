// WKControl through a small test control registered with the library's class
// machinery: text and font, WM_GETTEXT sizes, parent notifications, the
// skinned client edge, superclasses and the object's life with its window.
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

// A superclass of the system edit box whose object lets the edit do the work.
class TestEdit : public WKControl {
public:
    explicit TestEdit(HWND window) : WKControl(window) { ++g_live; }
    ~TestEdit() override { --g_live; }
    static WNDPROC system;
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        return message == WM_USER + 7 ? 4242 : CallWindowProcA(system, window, message, wParam, lParam);
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
    if (m != WM_GETFONT) return DefWindowProcA(w, m, wp, lp);
    ++g_parent.fontQuestions;
    return reinterpret_cast<LRESULT>(g_parent.font);
}

class Controls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!SharedSkin().brushes[0]) LoadSkin(GetModuleHandleA("KELMARD.DLL"));
        g_testClass.procedure = ClassProc<g_testClass>;
        ASSERT_NE(RegisterOwnClass(ctl_test::Self(), g_testClass.name, g_testClass.procedure, kOwnClassStyle), 0);
        g_testEdit.procedure = ClassProc<g_testEdit>;
        ASSERT_NE(RegisterSuperclass(ctl_test::Self(), g_testEdit.name, g_testEdit.procedure, "EDIT",
                                     &g_testEdit.systemProcedure), 0);
        TestEdit::system = g_testEdit.systemProcedure;
        WNDCLASSA wc{};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = ctl_test::Self();
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "KelmardTestParent";
        RegisterClassA(&wc);
        parent_.reset(CreateWindowExA(WS_EX_TOPMOST, "KelmardTestParent", "parent", WS_POPUP | WS_VISIBLE, 40, 40, 300,
                                      200, nullptr, nullptr, ctl_test::Self(), nullptr));
    }
    static void TearDownTestSuite() { parent_.reset(); }
    void SetUp() override {
        ASSERT_TRUE(parent_);
        g_parent = ParentLog{};
    }
    void TearDown() override {
        EXPECT_EQ(g_live, 0) << "every object went with its window";
        g_failNcCreate = g_failCreate = false;
    }
    // Children have WS_EX_NOPARENTNOTIFY: the parent hears only the control's own notifications.
    static HWND Child(const char* text, int id = 77, DWORD style = 0, DWORD exStyle = 0,
                      const char* cls = "KelmardTestControl", int y = 10) {
        return CreateWindowExA(exStyle | WS_EX_NOPARENTNOTIFY, cls, text, style | WS_CHILD | WS_VISIBLE, 10, y, 120, 40,
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
    EXPECT_EQ(SendMessageA(c.get(), WM_GETTEXTLENGTH, 0, 0), 7);
    EXPECT_EQ(SendMessageA(c.get(), WM_GETTEXT, 10, 0), 0) << "no buffer";
    EXPECT_EQ(SendMessageA(c.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Feather width")), 1);
    char got[64] = "";
    GetWindowTextA(c.get(), got, sizeof got);
    EXPECT_STREQ(got, "Feather width");
    EXPECT_EQ(SendMessageA(c.get(), WM_SETTEXT, 0, 0), 1) << "a null text is the empty text";
    EXPECT_EQ(SendMessageA(c.get(), WM_GETTEXTLENGTH, 0, 0), 0);
    // Dialog templates name an icon or bitmap by 0xFF and its id: no text.
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
    EXPECT_EQ(g_parent.notes, told);
}

TEST_F(Controls, FontFromWmSetFontOrAskedOfTheParent) {
    const UniqueFont parentFont(CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
    const UniqueFont ownFont(CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
    UniqueWindow c(Child("f"));
    ASSERT_TRUE(c);
    auto painted = [&] { return reinterpret_cast<HFONT>(SendMessageA(c.get(), kPaintWithFont, 0, 0)); };
    EXPECT_NE(painted(), parentFont.get());  // the parent has no font yet: asked again at the next paint
    EXPECT_EQ(g_parent.fontQuestions, 1);
    g_parent.font = parentFont.get();
    EXPECT_EQ(painted(), parentFont.get());
    EXPECT_EQ(painted(), parentFont.get());
    EXPECT_EQ(g_parent.fontQuestions, 2) << "asked once it answered";
    EXPECT_EQ(SendMessageA(c.get(), WM_SETFONT, reinterpret_cast<WPARAM>(ownFont.get()), TRUE), 0);
    EXPECT_EQ(painted(), ownFont.get());
    EXPECT_EQ(g_parent.fontQuestions, 2);
}

// WS_EX_CLIENTEDGE is drawn from the skin; a plain border is the system's.
TEST_F(Controls, TheClientEdgeIsTheSkinsAndABorderTheSystems) {
    UniqueWindow edged(Child("e", 1, 0, WS_EX_CLIENTEDGE)), bordered(Child("b", 2, WS_BORDER, 0, "KelmardTestControl", 60));
    UniqueWindow plain(CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_BLACKRECT, 140, 60, 120,
                                       40, parent_.get(), nullptr, ctl_test::Self(), nullptr));
    ASSERT_TRUE(edged && bordered);
    RedrawWindow(parent_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ctl_test::Pump(nullptr, 100);
    const kpicture::Image shot = kpicture::CaptureWindow(edged.get());
    ASSERT_EQ(shot.width, 120);
    const skin::FramePlace& f = skin::kFrames[skin::kClientEdgeFrame];
    EXPECT_EQ(ctl_test::DiffersFromSkin(shot, 0, 0, f.x, f.y, 2, 2), 0) << "top-left corner 1:1";
    EXPECT_EQ(ctl_test::DiffersFromSkin(shot, 118, 38, f.x + 2, f.y + 2, 2, 2), 0) << "bottom-right corner";
    EXPECT_EQ(ctl_test::DiffersFromSkin(shot, 60, 0, f.x + 4, f.y, 2, 2), 0) << "top edge";
    const kpicture::Image a = kpicture::CaptureWindow(bordered.get()), b = kpicture::CaptureWindow(plain.get());
    ASSERT_EQ(a.width, b.width);
    for (int x = 0; x < a.width; ++x) EXPECT_EQ(a.rgb(x, 0), b.rgb(x, 0)) << x;
    for (int y = 0; y < a.height; ++y) EXPECT_EQ(a.rgb(0, y), b.rgb(0, y)) << y;
}

// WM_NCCREATE refused (no WM_DESTROY follows) or WM_CREATE answering -1: the
// object is freed at WM_NCDESTROY.
TEST_F(Controls, ObjectsGoWithTheirWindowsEvenWhenCreationFails) {
    for (bool* fail : {&g_failNcCreate, &g_failCreate}) {
        *fail = true;
        EXPECT_EQ(Child("n"), nullptr);
        EXPECT_EQ(g_live, 0);
        *fail = false;
    }
    UniqueWindow c(Child("ok"));
    EXPECT_NE(AttachedControl(c.get(), g_testClass), nullptr);
}

// A superclass keeps the system control working under its object; one of a
// missing system class is not registered.
TEST_F(Controls, SuperclassesKeepTheSystemControl) {
    UniqueWindow e(Child("typed", 3, 0, 0, "KelmardTestEdit"));
    ASSERT_TRUE(e);
    EXPECT_NE(AttachedControl(e.get(), g_testEdit), nullptr);
    EXPECT_EQ(SendMessageA(e.get(), WM_USER + 7, 0, 0), 4242);
    SendMessageA(e.get(), EM_SETSEL, 0, -1);
    EXPECT_EQ(SendMessageA(e.get(), EM_GETSEL, 0, 0), MAKELONG(0, 5));

    WNDPROC saved = reinterpret_cast<WNDPROC>(1);
    EXPECT_EQ(RegisterSuperclass(ctl_test::Self(), "KelmardTestGhost", ClassProc<g_testEdit>, "NoSuchSystemClass", &saved), 0);
    WNDCLASSA wc{};
    EXPECT_FALSE(GetClassInfoA(ctl_test::Self(), "KelmardTestGhost", &wc));
    EXPECT_EQ(saved, reinterpret_cast<WNDPROC>(1)) << "nothing saved";
}

}  // namespace
