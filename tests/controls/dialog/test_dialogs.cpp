// "WKDialog" under Wine: dialogs made by the library's entry points from
// templates written for the system, in memory and in the program's
// resources, driven with the messages the system and the user send them, and
// the dialog manager reading the converted copies as it reads the originals.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support.h"

#include <commctrl.h>

namespace {

using namespace ctl_test;

// A DIALOG template at (300, 200), 160 x 90 dialog units; items are added.
TemplateBuilder CaptionDialog(DWORD style, DWORD exStyle = 0, const char* title = "Effect") {
    return DialogTemplate(style, 160, 90, title, nullptr, exStyle, 300, 200);
}
// A modeless dialog from the library's entry point (or the system's, for comparison).
kelmard::UniqueWindow Dialog(const TemplateBuilder& t, bool skinned = true, HWND owner = nullptr) {
    return kelmard::UniqueWindow(OpenDialog(t, skinned, owner));
}
std::pair<LONG, LONG> Size(HWND w, bool client = true) {
    RECT r;
    client ? GetClientRect(w, &r) : GetWindowRect(w, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The caption band of a skinned dialog in screen coordinates: from the
// window's top to the client's top.
RECT CaptionBand(HWND w) {
    RECT window;
    GetWindowRect(w, &window);
    POINT client{0, 0};
    ClientToScreen(w, &client);
    return {window.left, window.top, window.right, client.y};
}
LRESULT HitAt(HWND w, int x, int y) { return SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(x, y)); }

// Hit codes along the caption's middle row, with runs merged and the frame's
// own codes (border, sizing edges, nowhere) left out, and the runs' widths.
std::vector<LRESULT> CaptionCodes(HWND w, std::vector<int>& widths) {
    const RECT band = CaptionBand(w);
    std::vector<LRESULT> codes;
    for (int x = band.left; x < band.right; ++x) {
        const LRESULT hit = HitAt(w, x, (band.top + band.bottom) / 2);
        if (hit == HTBORDER || hit == HTNOWHERE || (hit >= HTLEFT && hit <= HTBOTTOMRIGHT)) continue;
        if (codes.empty() || codes.back() != hit) codes.push_back(hit), widths.push_back(0);
        ++widths.back();
    }
    return codes;
}
// The first point along the caption's middle row where the hit code is `code`.
POINT FindHit(HWND w, LRESULT code) {
    const RECT band = CaptionBand(w);
    for (int x = band.left; x < band.right; ++x)
        if (HitAt(w, x, (band.top + band.bottom) / 2) == code) return {x + 2, (band.top + band.bottom) / 2};
    return {-1, -1};
}
// Removes and answers the WM_SYSCOMMAND queued for the dialog (0: none).
WPARAM QueuedSysCommand(HWND w) {
    MSG msg;
    WPARAM command = 0;
    while (PeekMessageA(&msg, w, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) command = msg.wParam;
    return command;
}
void Repaint(HWND w) {
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pump(nullptr, 50);
}

// The skinned caption and background, a new title drawn at once (the system
// no longer draws the caption), and the window's own DC left as it was set:
// the class keeps one DC per window.
TEST(DialogWindow, PaintsCaptionTitleAndBackgroundLeavingTheOwnDC) {
    const kelmard::UniqueWindow d = Dialog(CaptionDialog(kPopupCaption | WS_MINIMIZEBOX, 0, "A"));
    ASSERT_TRUE(d);
    const HGDIOBJ font = GetStockObject(ANSI_FIXED_FONT);
    {
        const kelmard::WindowDC own(d.get());
        SetTextColor(own.get(), RGB(1, 2, 3));
        SetBkMode(own.get(), OPAQUE);
        SetTextAlign(own.get(), TA_BASELINE | TA_RIGHT);
        SelectObject(own.get(), font);  // kept by the window's own DC on purpose
    }
    Repaint(d.get());
    const int band = CaptionBand(d.get()).bottom - CaptionBand(d.get()).top;
    const kpicture::Image before = kpicture::CaptureWindow(d.get());
    ASSERT_FALSE(before.empty());
    SetWindowTextA(d.get(), "A much longer title, drawn at once");
    GdiFlush();
    const kpicture::Image after = kpicture::CaptureWindow(d.get());
    int changed = 0;
    for (int y = 0; y < band; ++y)
        for (int x = 0; x < after.width; ++x) changed += before.rgb(x, y) != after.rgb(x, y);
    EXPECT_GT(changed, 100) << "the new title is drawn at once";
    // The caption band in the caption colour with the title in the title colours.
    EXPECT_GT(CountIn(after, WKGetColor(22), 0, 0, after.width, band), after.width * 4);
    EXPECT_GT(CountIn(after, WKGetColor(19), 0, 0, after.width, band) + CountIn(after, WKGetColor(17), 0, 0, after.width, band), 30);
    const kpicture::Image client = kpicture::CaptureWindow(d.get(), true);
    EXPECT_EQ(CountIn(client, WKGetColor(1), 0, 0, client.width, client.height), client.width * client.height);

    SendMessageA(d.get(), WKDIALOG_SETPANEL, 0, MAKELONG(30, 20));  // the panel, painted at the client's top left
    Repaint(d.get());
    EXPECT_EQ(kpicture::CaptureWindow(d.get(), true).rgb(4, 4), kpicture::FromColorRef(WKGetColor(12)));
    SendMessageA(d.get(), WM_NCACTIVATE, FALSE, 0);
    SendMessageA(d.get(), WM_NCPAINT, 1, 0);
    const kelmard::WindowDC again(d.get());
    EXPECT_EQ(GetTextColor(again.get()), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(again.get()), OPAQUE);
    EXPECT_EQ(GetTextAlign(again.get()), static_cast<UINT>(TA_BASELINE | TA_RIGHT));
    EXPECT_EQ(GetCurrentObject(again.get(), OBJ_FONT), font);
}

// Each caption style keeps the template's client size (as the system's
// dialog does) and has its caption buttons where the style says, all as wide;
// the help button posts SC_CONTEXTHELP.
TEST(DialogWindow, CaptionStylesKeepTheClientSizeAndHitTheirButtons) {
    const struct {
        DWORD style, exStyle;
        std::vector<LRESULT> codes;
    } cases[] = {
        {kPopupCaption, 0, {HTCAPTION, HTCLOSE, HTCAPTION}},
        {kPopupCaption & ~DS_MODALFRAME, 0, {HTCAPTION, HTSYSMENU, HTCAPTION, HTCLOSE, HTCAPTION}},
        {kPopupCaption | WS_THICKFRAME, 0, {HTCAPTION, HTCLOSE, HTCAPTION}},
        {WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, {HTCAPTION}},
        {kPopupCaption | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, {HTCAPTION, HTMINBUTTON, HTMAXBUTTON, HTCAPTION, HTCLOSE, HTCAPTION}},
        // A maximise box alone: the minimise button is drawn disabled and not hit.
        {kPopupCaption | WS_MAXIMIZEBOX, 0, {HTCAPTION, HTMAXBUTTON, HTCAPTION, HTCLOSE, HTCAPTION}},
        {kPopupCaption, WS_EX_CONTEXTHELP, {HTCAPTION, HTHELP, HTCAPTION, HTCLOSE, HTCAPTION}},
        // Without a system menu there are no close, minimise or maximise buttons.
        {(kPopupCaption & ~WS_SYSMENU) | WS_MINIMIZEBOX, 0, {HTCAPTION}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << std::hex << c.style << " ex " << c.exStyle);
        const TemplateBuilder t = CaptionDialog(c.style, c.exStyle);
        const kelmard::UniqueWindow d = Dialog(t), system = Dialog(t, false);
        ASSERT_TRUE(d && system);
        RECT units{0, 0, 160, 90};  // the template's size as the dialog's font maps it
        MapDialogRect(d.get(), &units);
        EXPECT_EQ(Size(d.get()), std::make_pair(units.right, units.bottom));
        EXPECT_EQ(Size(system.get()), Size(d.get()));
        EXPECT_EQ(GetWindowLongA(d.get(), GWL_STYLE) & WS_DLGFRAME, 0) << "the system draws no caption of its own";
        std::vector<int> widths;
        const std::vector<LRESULT> codes = CaptionCodes(d.get(), widths);
        EXPECT_EQ(codes, c.codes);
        for (std::size_t k = 0, button = 0; k < codes.size(); ++k) {
            if (codes[k] == HTCAPTION) continue;
            if (!button) button = k;
            EXPECT_EQ(widths[k], widths[button]) << "every button is as wide as the others";
        }
        POINT inside{5, 5};  // below the caption is the client
        ClientToScreen(d.get(), &inside);
        EXPECT_EQ(HitAt(d.get(), inside.x, inside.y), HTCLIENT);
        if (!(c.exStyle & WS_EX_CONTEXTHELP)) continue;
        const POINT help = FindHit(d.get(), HTHELP);  // the help button acts when pressed
        SendMessageA(d.get(), WM_NCLBUTTONDOWN, HTHELP, MAKELPARAM(help.x, help.y));
        EXPECT_EQ(QueuedSysCommand(d.get()), static_cast<WPARAM>(SC_CONTEXTHELP));
    }
}

TEST(DialogWindow, ACaptionButtonActsOnlyWhenReleasedOverIt) {
    const kelmard::UniqueWindow d = Dialog(CaptionDialog(kPopupCaption | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    ASSERT_TRUE(d);
    const std::pair<LRESULT, WPARAM> buttons[] = {{HTCLOSE, SC_CLOSE}, {HTMINBUTTON, SC_MINIMIZE}, {HTMAXBUTTON, SC_MAXIMIZE}};
    for (const auto& [hit, command] : buttons) {
        SCOPED_TRACE(testing::Message() << "hit " << hit);
        const POINT over = FindHit(d.get(), hit);
        ASSERT_GE(over.x, 0);
        Pump(nullptr, 10);
        // Pressed, moved off and released elsewhere: nothing happens; released over it: its command.
        for (const LONG releasedAt : {CaptionBand(d.get()).bottom + 30, over.y}) {
            SetCursorPos(over.x, releasedAt);
            PostMessageA(d.get(), WM_MOUSEMOVE, 0, 0);
            PostMessageA(d.get(), WM_LBUTTONUP, 0, 0);
            SendMessageA(d.get(), WM_NCLBUTTONDOWN, hit, MAKELPARAM(over.x, over.y));
            EXPECT_EQ(QueuedSysCommand(d.get()), releasedAt == over.y ? command : 0u);
            EXPECT_EQ(GetCapture(), nullptr);
        }
    }
    EXPECT_TRUE(IsWindow(d.get()));
}

// The press ends when the dialog loses the capture, without a button-up.
// (A button-up over the button arrives much later: a tracking that waited
// for it would post SC_CLOSE.)
TEST(DialogWindow, LosingTheCaptureEndsAPressWithoutActing) {
    const kelmard::UniqueWindow d = Dialog(CaptionDialog(kPopupCaption));
    ASSERT_TRUE(d);
    const POINT over = FindHit(d.get(), HTCLOSE);
    ASSERT_GE(over.x, 0);
    SetCursorPos(over.x, over.y);
    const HWND dialog = d.get();
    std::thread other([dialog, over] {
        Sleep(200);
        SendMessageA(dialog, kReleaseCaptureMessage, 0, 0);
        Sleep(1500);
        SetCursorPos(over.x, over.y);
        PostMessageA(dialog, WM_LBUTTONUP, 0, 0);
    });
    const DWORD start = GetTickCount();
    SendMessageA(dialog, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(over.x, over.y));
    const DWORD took = GetTickCount() - start;
    other.join();
    EXPECT_LT(took, 1200u);
    EXPECT_EQ(QueuedSysCommand(dialog), 0u);
    Pump(nullptr, 20);
}

// Hit tests and the frame (the panel is no business of a minimised dialog's
// frame either way) are the system's.
TEST(DialogWindow, AMinimisedDialogIsLeftToTheSystem) {
    const kelmard::UniqueWindow d = Dialog(CaptionDialog(kPopupCaption | WS_MINIMIZEBOX));
    ASSERT_TRUE(d);
    const POINT close = FindHit(d.get(), HTCLOSE);
    ASSERT_GE(close.x, 0);
    ShowWindow(d.get(), SW_MINIMIZE);
    Pump(nullptr, 50);
    ASSERT_TRUE(IsIconic(d.get()));
    RECT w;
    GetWindowRect(d.get(), &w);
    for (POINT p : {close, POINT{w.left + 2, w.top + 2}, POINT{(w.left + w.right) / 2, (w.top + w.bottom) / 2}})
        EXPECT_EQ(HitAt(d.get(), p.x, p.y), DefDlgProcA(d.get(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)));
    RECT proposed = w, system = w;
    SendMessageA(d.get(), WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&proposed));
    DefDlgProcA(d.get(), WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&system));
    EXPECT_TRUE(EqualRect(&proposed, &system));
}

// Without both caption bits (none, a border or a dialog frame alone, a
// bordered child page) the system draws a plain panel: same size, no title,
// no panel.
TEST(DialogWindow, AnUncaptionedDialogIsLeftToTheSystem) {
    const kelmard::UniqueWindow host = Dialog(CaptionDialog(kPopupCaption));
    ASSERT_TRUE(host);
    for (DWORD style : {DWORD{WS_POPUP}, DWORD{WS_POPUP | WS_BORDER}, DWORD{WS_POPUP | WS_DLGFRAME}, DWORD{WS_CHILD | WS_BORDER}}) {
        style |= WS_VISIBLE;
        SCOPED_TRACE(testing::Message() << "style " << std::hex << style);
        const HWND owner = (style & WS_CHILD) ? host.get() : nullptr;
        const kelmard::UniqueWindow d = Dialog(CaptionDialog(style), true, owner),
                                    system = Dialog(CaptionDialog(style), false, owner);
        ASSERT_TRUE(d && system);
        EXPECT_EQ(Size(d.get(), false), Size(system.get(), false));
        EXPECT_EQ(Size(d.get()), Size(system.get()));
        RECT skinned;
        GetWindowRect(d.get(), &skinned);
        int captionRows = 0;  // along the top edge: nothing to drag the window by
        for (int y = skinned.top; y < skinned.top + 12; ++y) captionRows += HitAt(d.get(), skinned.left + 40, y) == HTCAPTION;
        EXPECT_EQ(captionRows, 0);
        EXPECT_EQ(SendMessageA(d.get(), WKDIALOG_SETPANEL, 0, MAKELONG(20, 20)), 0);
        EXPECT_EQ(SendMessageA(d.get(), WKDIALOG_SETPANEL, 0, 0), 0) << "the panel message keeps nothing";
    }
}

// The panel's corner by size or by a child window (its bottom-right corner in
// client coordinates); each answer is the old corner.
TEST(DialogWindow, ThePanelMessageAnswersTheOldCorner) {
    TemplateBuilder t = CaptionDialog(kPopupCaption);
    t.Add("Static", "Panel", 50, 0, 10, 10, 60, 20);
    const kelmard::UniqueWindow d = Dialog(t);
    ASSERT_TRUE(d);
    RECT r;
    GetWindowRect(GetDlgItem(d.get(), 50), &r);
    POINT corner{r.right, r.bottom};
    ScreenToClient(d.get(), &corner);
    WORD notWindow = 0xFFF0;
    while (IsWindow(reinterpret_cast<HWND>(static_cast<UINT_PTR>(notWindow)))) --notWindow;
    const auto child = static_cast<LPARAM>(reinterpret_cast<UINT_PTR>(GetDlgItem(d.get(), 50)) & 0xFFFF);
    auto panel = [](WPARAM byWindow, LPARAM to) { return seq::Send(seq::kParent, WKDIALOG_SETPANEL, byWindow, to); };
    const seq::Table corners = {panel(0, MAKELONG(40, 30)).Answers(0), panel(0, MAKELONG(70, 50)).Answers(MAKELONG(40, 30)),
                                panel(0, 0).Answers(MAKELONG(70, 50)), panel(0, 0).Answers(0), panel(1, child).Answers(0),
                                panel(0, MAKELONG(11, 12)).Answers(MAKELONG(corner.x, corner.y)),
                                panel(1, notWindow).Answers(MAKELONG(11, 12)),  // no window: the corner stays
                                panel(0, 0).Answers(MAKELONG(11, 12)), panel(0, MAKELONG(60, 40))};
    EXPECT_TRUE(seq::Run(d.get(), corners));
}

// Fields are asked for in the field colour, everything else in the face's.
TEST(DialogWindow, ControlColoursComeFromTheSkin) {
    const kelmard::UniqueWindow d = Dialog(CaptionDialog(kPopupCaption));
    ASSERT_TRUE(d);
    const kelmard::WindowDC dc(nullptr);
    for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORDLG,
                          WM_CTLCOLORSCROLLBAR}) {
        const int background = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ? 0 : 1;
        SetBkMode(dc.get(), OPAQUE);
        LOGBRUSH lb{};
        GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(d.get(), message, reinterpret_cast<WPARAM>(dc.get()), 0)),
                   sizeof lb, &lb);
        EXPECT_EQ(lb.lbColor, WKGetColor(background)) << message;
        EXPECT_EQ(GetBkColor(dc.get()), WKGetColor(background)) << message;
        EXPECT_EQ(GetTextColor(dc.get()), WKGetColor(8));
        EXPECT_EQ(GetBkMode(dc.get()), TRANSPARENT);
    }
}

// Messages dispatched before the queue is empty, counted up to `most`.
int DispatchUntilEmpty(int most) {
    int n = 0;
    MSG msg;
    for (; n < most && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) DispatchMessageA(&msg);
    return n;
}

// A system tab has its parent's background drawn into its own DC when it
// paints (WM_ERASEBKGND and WM_PRINTCLIENT to the dialog): that must not
// invalidate the tab again, or the two repaint each other and the queue never
// runs dry. The dialog's erase of its own surface, which paints over its
// children, still has them painted again.
TEST(DialogWindow, ASystemTabOnTheDialogLetsTheQueueRunDry) {
    const INITCOMMONCONTROLSEX init{sizeof init, ICC_TAB_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&init));
    ASSERT_TRUE(Library());
    const kelmard::UniqueWindow d(CreateWindowExA(WS_EX_TOPMOST, "WKDialog", "Tabs", WS_POPUP | WS_VISIBLE | WS_CAPTION,
                                                  40, 40, 360, 240, nullptr, nullptr, Self(), nullptr));
    ASSERT_TRUE(d);
    const RECT at{10, 10, 270, 130};
    const HWND tab = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE, at.left, at.top, at.right - at.left,
                                     at.bottom - at.top, d.get(), nullptr, Self(), nullptr);
    ASSERT_TRUE(tab);
    for (const char* name : {"General", "Timing", "Colour"}) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(name);
        SendMessageA(tab, TCM_INSERTITEMA, 3, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(tab, TCM_SETCURSEL, 1, 0);
    constexpr int kBound = 2000, kSettled = 100;
    EXPECT_LT(DispatchUntilEmpty(kBound), kSettled);
    RedrawWindow(d.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    EXPECT_LT(DispatchUntilEmpty(kBound), kSettled) << "after a whole repaint";

    auto tabPixels = [&] {  // pixels over the tab not in the dialog's face colour
        const kpicture::Image client = kpicture::CaptureWindow(d.get(), true);
        return (at.right - at.left) * (at.bottom - at.top) - CountIn(client, WKGetColor(1), at.left, at.top, at.right, at.bottom);
    };
    const int drawn = tabPixels();
    EXPECT_GT(drawn, 200) << "the tab paints in colours of its own";
    {
        const kelmard::WindowDC own(d.get());
        SendMessageA(d.get(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(own.get()), 0);
    }
    GdiFlush();
    EXPECT_EQ(tabPixels(), 0) << "the dialog's erase paints over the tab";
    EXPECT_LT(DispatchUntilEmpty(kBound), kSettled);
    EXPECT_EQ(tabPixels(), drawn) << "the tab is painted again";
}

// Creation data seen by "KTestData" windows: the control id and the block
// lpCreateParams points to (its count word and the data).
std::vector<std::pair<int, std::string>> g_seen;

LRESULT CALLBACK DataProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_CREATE) return DefWindowProcA(w, m, wp, lp);
    const auto* p = static_cast<const unsigned char*>(reinterpret_cast<const CREATESTRUCTA*>(lp)->lpCreateParams);
    g_seen.push_back({GetDlgCtrlID(w), p ? std::string(reinterpret_cast<const char*>(p), 2 + (p[0] | p[1] << 8)) : ""});
    return 0;
}

// The test's own window classes: a plain pane, a control that records its
// creation data, and a dialog class of a plug-in's own.
class Classes : public testing::Environment {
public:
    void SetUp() override {
        const std::pair<const char*, WNDPROC> classes[] = {
            {"KTestPane", DefWindowProcA}, {"KTestData", DataProc}, {"KTestDialogClass", DefDlgProcA}};
        for (const auto& [name, procedure] : classes) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = procedure, wc.hInstance = Self(), wc.lpszClassName = name;
            wc.cbWndExtra = procedure == DefDlgProcA ? DLGWINDOWEXTRA : 0;
            RegisterClassA(&wc);
        }
    }
};
const auto* const g_classes = testing::AddGlobalTestEnvironment(new Classes);

// Runs a modal entry point with a fresh log whose dialog ends itself with `end`.
template <typename Call>
INT_PTR Modal(INT_PTR end, Call call) {
    Log() = Started{};
    Log().endWith = end;
    return call();
}

TEST(DialogEntry, ResourceAndMemoryTemplatesRunAsSkinnedDialogs) {
    const Started& r = Log();
    EXPECT_EQ(Modal(4321, [] { return WKDialogBoxParam(Self(), MAKEINTRESOURCEA(100), nullptr, RecordingProc, 0x1234); }), 4321);
    EXPECT_EQ(r.init, 0x1234);
    EXPECT_EQ(r.dialogClass, "WKDialog");
    EXPECT_EQ(r.firstChildClass, "KTestPane");
    EXPECT_FALSE(IsWindow(r.dialog));
    EXPECT_EQ(Modal(7, [] { return WKDialogBox(Self(), "NAMED", nullptr, RecordingProc); }), 7);
    EXPECT_EQ(r.firstChildClass, "KTestPane");

    const TemplateBuilder t = CaptionDialog(kPopupCaption);
    EXPECT_EQ(Modal(3, [&] { return WKDialogBoxIndirectParam(Self(), Get(t), nullptr, RecordingProc, 77); }), 3);
    EXPECT_EQ(r.init, 77);
    kelmard::UniqueWindow modeless(WKCreateDialogIndirectParam(Self(), Get(t), nullptr, RecordingProc, 88));
    ASSERT_TRUE(modeless);
    EXPECT_EQ(r.init, 88);
    EXPECT_EQ(ClassOf(modeless.get()), "WKDialog");
    modeless.reset();  // before its timer ends it with the next modal test's code

    // A dialog class of the template's own is kept.
    const TemplateBuilder own = DialogTemplate(kPopupCaption, 100, 50, "Own", "KTestDialogClass");
    EXPECT_EQ(Modal(55, [&] { return WKDialogBoxIndirect(Self(), Get(own), nullptr, RecordingProc); }), 55);
    EXPECT_EQ(r.dialogClass, "KTestDialogClass");
}

TEST(DialogEntry, MissingOrOverrunningResourcesAnswerMinusOne) {
    EXPECT_EQ(WKDialogBox(Self(), MAKEINTRESOURCEA(999), nullptr, RecordingProc), -1);
    EXPECT_EQ(WKDialogBoxParam(Self(), "NOSUCHDIALOG", nullptr, RecordingProc, 0), -1);
    // Resource 101 counts three items it does not hold: nothing is read past it.
    EXPECT_EQ(WKDialogBoxParam(Self(), MAKEINTRESOURCEA(101), nullptr, RecordingProc, 0), -1);
    EXPECT_EQ(WKDialogBoxIndirect(Self(), nullptr, nullptr, RecordingProc), -1);
    EXPECT_EQ(WKCreateDialogIndirect(Self(), nullptr, nullptr, RecordingProc), nullptr);
}

// An in-memory template carries no size: what is read of it stops at the end
// of the readable memory that holds it. A header counting 65535 items, zeros up
// to an unreadable page, makes no dialog; a whole template ending right at that
// page is a dialog as usual.
TEST(DialogEntry, TemplatesInMemoryAreReadOnlyWhileTheMemoryIsReadable) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const std::size_t page = system.dwPageSize;
    auto* pages = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_TRUE(pages);
    const kelmard::ScopeExit release([pages] { VirtualFree(pages, 0, MEM_RELEASE); });
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(pages + page, page, PAGE_NOACCESS, &old));
    auto atPageEnd = [&](const TemplateBuilder& t, std::size_t room) {
        std::uint8_t* at = pages + page - room;
        std::memset(at, 0, room);
        std::memcpy(at, t.data(), t.size());
        return reinterpret_cast<LPCDLGTEMPLATEA>(at);
    };
    TemplateBuilder counted;
    counted.DialogEx(kPopupCaption, 65535, 10, 10, 100, 60).Word(0).Word(0).String("Runs on");
    EXPECT_EQ(WKDialogBoxIndirectParam(Self(), atPageEnd(counted, 256), nullptr, RecordingProc, 0), -1);
    EXPECT_EQ(WKCreateDialogIndirect(Self(), atPageEnd(counted, 256), nullptr, RecordingProc), nullptr);

    TemplateBuilder whole = CaptionDialog(kPopupCaption);
    whole.Count().Item(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 5, 50, 14, IDOK).Ordinal(0x80).String("OK").NoData();
    const std::size_t room = (whole.size() + 3) & ~std::size_t{3};  // the dialog manager reads aligned templates
    const kelmard::UniqueWindow d(WKCreateDialogIndirectParam(Self(), atPageEnd(whole, room), nullptr, RecordingProc, 0));
    ASSERT_TRUE(d);
    EXPECT_EQ(ClassOf(GetDlgItem(d.get(), IDOK)), "WKButton");
    EXPECT_EQ(Modal(6, [&] { return WKDialogBoxIndirect(Self(), atPageEnd(whole, room), nullptr, RecordingProc); }), 6);
}

// A control with creation data followed by another control: the dialog
// manager must read the converted copy as it reads the original, in both
// template formats and for data sizes that fall differently on the items'
// 4-byte boundaries. (Even sizes: the dialog manager skips an odd count one
// byte short of the data, so a template with one is broken before conversion.)
TEST(DialogEntry, CreationDataAndTheFollowingItemSurviveConversion) {
    const std::uint8_t data[] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    for (bool dialogEx : {false, true}) {
        for (std::uint16_t count : {2, 6}) {
            SCOPED_TRACE(testing::Message() << (dialogEx ? "DIALOGEX" : "DIALOG") << " data " << count);
            TemplateBuilder t;
            if (dialogEx) t.DialogEx(kPopupCaption | DS_SETFONT, 2, 10, 10, 100, 60);
            else t.Dialog(kPopupCaption | DS_SETFONT, 2, 10, 10, 100, 60);
            t.Word(0).Word(0).String("Data").Font(8, "MS Shell Dlg");
            t.Item(WS_CHILD | WS_VISIBLE, 5, 5, 40, 10, 60).String("KTestData").String("d").Word(count).Bytes(data, count);
            t.Item(WS_CHILD | WS_VISIBLE, 5, 20, 40, 10, 61).String("KTestPane").String("After").NoData();
            g_seen.clear();
            const kelmard::UniqueWindow original = Dialog(t, false), converted = Dialog(t);
            ASSERT_TRUE(original && converted);
            ASSERT_EQ(g_seen.size(), 2u);
            EXPECT_EQ(g_seen[1], g_seen[0]);
            EXPECT_EQ(g_seen[0].second.size(), 2u + count);
            for (HWND dialog : {original.get(), converted.get()}) {
                char text[16] = "";
                GetDlgItemTextA(dialog, 61, text, sizeof text);
                EXPECT_STREQ(text, "After") << "the item after the data";
            }
        }
    }
}

// A converted dialog of standard controls (an owner-drawn button and a list
// box among them) answers the keyboard as the system's.
TEST(DialogEntry, StandardControlsAnswerTheKeysAsTheSystems) {
    TemplateBuilder t = CaptionDialog(kPopupCaption);
    const struct {
        DWORD style;
        WORD id, atom;
        const char* text;
    } items[] = {{BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 0x80, "OK"}, {BS_AUTOCHECKBOX | WS_TABSTOP, 2, 0x80, "&Check"},
                 {BS_OWNERDRAW, 3, 0x80, "Owner"}, {0, 4, 0x82, "Label"},
                 {WS_BORDER | WS_TABSTOP, 5, 0x81, "text"}, {WS_BORDER, 6, 0x83, ""}};
    for (short k = 0; k < 6; ++k)
        t.Count().Item(WS_CHILD | WS_VISIBLE | items[k].style, 5 + 55 * (k / 3), 5 + 15 * (k % 3), 50, 14, items[k].id)
            .Ordinal(items[k].atom).String(items[k].text).NoData();
    using namespace seq;
    const Table keys = {Focus(2), FocusIs(2), KeyDown(VK_SPACE), KeyUp(VK_SPACE).Sees({Command(2, BN_CLICKED)}), Focus(IDOK),
                        Char('c').Sees({Command(2, BN_CLICKED)}), Send(2, BM_GETCHECK).Answers(BST_UNCHECKED),
                        KeyDown(VK_TAB).Sees({Command(5, EN_SETFOCUS)}),
                        KeyDown(VK_RETURN).Sees({Command(IDOK, BN_CLICKED)}),
                        KeyDown(VK_ESCAPE).Sees({Command(IDCANCEL, BN_CLICKED)})};
    for (bool skinned : {true, false}) {
        const kelmard::UniqueWindow d = Dialog(t, skinned);
        ASSERT_TRUE(d);
        EXPECT_TRUE(seq::Run(d.get(), keys)) << (skinned ? "skinned" : "system");
    }
}

}  // namespace
