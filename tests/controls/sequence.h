// Message-sequence tests of controls: a table of input steps and, for each
// step, the notifications the parent window must see, in order.
//
//   const seq::Table mouse = {
//       seq::Press(7, 5, 5).Sees({seq::Command(7, BN_SETFOCUS)}),
//       seq::Send(7, BM_GETSTATE).Answers(BST_PUSHED, BST_PUSHED),
//       seq::Release(7, 5, 5).Sees({seq::Command(7, BN_CLICKED)}),
//   };
//   EXPECT_TRUE(seq::Run(dialog, mouse));
//
// Steps name controls by their id (kParent: the parent itself). Input is real
// messages: mouse steps put the cursor on the point, let the queue take the
// move that makes, then post the button or move message with the client
// point; key steps post WM_KEYDOWN/WM_KEYUP (WM_CHAR) to the window that has
// the focus; after every step the queue is pumped through the parent's dialog
// manager (IsDialogMessage), so Tab, arrows, Return and mnemonics act as for a
// user. Checks are steps too: Send(...).Answers(value, mask), FocusIs, Style.
//
// Run subclasses the parent's window procedure for the run and records what
// reaches it of the watched kinds: WM_COMMAND, WM_NOTIFY, WM_HSCROLL,
// WM_VSCROLL, WM_DRAWITEM, WM_PARENTNOTIFY and WM_DROPFILES always, any other
// kind (WM_CTLCOLOR*) once an expectation names it; Ignore(kind) drops a kind.
// Each record keeps the message, the control id and the code (WM_COMMAND:
// LOWORD/HIWORD of wParam, checked against the sending window's id; WM_NOTIFY:
// idFrom and code; scrolls: the scroll bar's id, the code and the position;
// others: the id of the window in lParam, or of wParam for WM_DRAWITEM).
// An expectation may leave id or code open (kAny), be Optional (may be
// missing) or Many (one or more in a row). On the first difference Run fails
// with the step, the expected and the received message, then every step with
// what it expected and what was recorded. The same table can run against the
// library's control and the system's, which is how "behaves as the system
// control" is checked: create each in turn with the same ids and run it.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <initializer_list>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace seq {

constexpr int kAny = INT_MIN;   // an open id, code or value
constexpr int kParent = -1;     // a step's target: the parent window itself
constexpr int kNobody = -2;     // FocusIs/CaptureIs: no window
enum : unsigned { kOptional = 1, kMany = 2 };

// A message the parent saw, or is to see.
struct Msg {
    UINT message = 0;
    int id = kAny, code = kAny, value = kAny;
    unsigned flags = 0;
    int sender = kAny;  // recorded only: the id of the window that sent a WM_COMMAND
};
inline Msg Command(int id, int code) { return {WM_COMMAND, id, code}; }
inline Msg Notify(int id, int code) { return {WM_NOTIFY, id, code}; }
inline Msg Scroll(UINT message, int id, int code, int position = kAny) { return {message, id, code, position}; }
inline Msg Colour(UINT message, int id) { return {message, id}; }
inline Msg Drawn(int id) { return {WM_DRAWITEM, id}; }
inline Msg Dropped(int id) { return {WM_DROPFILES, id}; }
inline Msg Optional(Msg m) { return m.flags |= kOptional, m; }
inline Msg Many(Msg m) { return m.flags |= kMany, m; }

struct Step {
    enum Op { Send, Post, KeyDown, KeyUp, KeyRepeat, Char, Press, Move, Release, Focus, FocusIs, CaptureIs, Style, Call } op;
    int target = kParent;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool checked = false;  // Send: the answer is checked
    LRESULT answer = 0, mask = -1;
    std::function<void(HWND parent)> call;
    std::string label;
    std::vector<Msg> expect;

    Step Answers(LRESULT value, LRESULT bits = -1) const {
        Step s = *this;
        s.checked = true, s.answer = value, s.mask = bits;
        return s;
    }
    Step Sees(std::initializer_list<Msg> messages) const {
        Step s = *this;
        s.expect.assign(messages);
        return s;
    }
};
using Table = std::vector<Step>;

inline Step Send(int id, UINT m, WPARAM w = 0, LPARAM l = 0) { return {Step::Send, id, m, w, l}; }
inline Step Post(int id, UINT m, WPARAM w = 0, LPARAM l = 0) { return {Step::Post, id, m, w, l}; }
inline Step KeyDown(UINT vk) { return {Step::KeyDown, kParent, WM_KEYDOWN, vk, 1}; }
inline Step KeyUp(UINT vk) { return {Step::KeyUp, kParent, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u)}; }
inline Step KeyRepeat(UINT vk) { return {Step::KeyRepeat, kParent, WM_KEYDOWN, vk, 0x40000001}; }
inline Step Char(char c) { return {Step::Char, kParent, WM_CHAR, static_cast<WPARAM>(c), 1}; }
inline LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))); }
inline Step Press(int id, int x, int y) { return {Step::Press, id, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y)}; }
inline Step Move(int id, int x, int y) { return {Step::Move, id, WM_MOUSEMOVE, MK_LBUTTON, At(x, y)}; }
inline Step Release(int id, int x, int y) { return {Step::Release, id, WM_LBUTTONUP, 0, At(x, y)}; }
inline Step Focus(int id) { return {Step::Focus, id}; }
inline Step FocusIs(int id) { return {Step::FocusIs, id}; }
inline Step CaptureIs(int id) { return {Step::CaptureIs, id}; }
// The control's window style has all of `bits` (set) or none of them.
inline Step Style(int id, DWORD bits, bool set) { return {Step::Style, id, 0, bits, set}; }
inline Step Do(std::string label, std::function<void(HWND parent)> call) {
    Step s{Step::Call};
    s.label = std::move(label), s.call = std::move(call);
    return s;
}

// A key pressed and released on the focus window; a click at a point.
inline Table Key(UINT vk) { return {KeyDown(vk), KeyUp(vk)}; }
inline Table Click(int id, int x, int y, std::initializer_list<Msg> sees = {}) {
    return {Press(id, x, y), Release(id, x, y).Sees(sees)};
}
// Tables joined in order.
inline Table Then(std::initializer_list<Table> parts) {
    Table all;
    for (const Table& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Lets the windows of this thread handle what is queued, through the dialog
// manager of `dialog`, until the queue stays empty for a few milliseconds. On
// another thread than the window's (a modal box run elsewhere) it waits.
inline void Pump(HWND dialog = nullptr, DWORD atLeast = 0) {
    if (dialog && GetWindowThreadProcessId(dialog, nullptr) != GetCurrentThreadId()) return Sleep(atLeast + 30);
    const DWORD start = GetTickCount();
    for (int quiet = 0; quiet < 3 || GetTickCount() - start < atLeast;) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ++quiet, Sleep(2);
            continue;
        }
        quiet = 0;
        if (dialog && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

namespace detail {
inline std::string Name(UINT m) {
    static const std::pair<UINT, const char*> names[] = {
        {WM_COMMAND, "WM_COMMAND"}, {WM_NOTIFY, "WM_NOTIFY"}, {WM_HSCROLL, "WM_HSCROLL"}, {WM_VSCROLL, "WM_VSCROLL"},
        {WM_DRAWITEM, "WM_DRAWITEM"}, {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"}, {WM_DROPFILES, "WM_DROPFILES"},
        {WM_CTLCOLOREDIT, "WM_CTLCOLOREDIT"}, {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"}, {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"},
        {WM_KEYDOWN, "WM_KEYDOWN"}, {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"}, {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {BM_GETCHECK, "BM_GETCHECK"},
        {BM_SETCHECK, "BM_SETCHECK"}, {BM_GETSTATE, "BM_GETSTATE"}, {BM_SETSTATE, "BM_SETSTATE"},
        {BM_SETSTYLE, "BM_SETSTYLE"}, {BM_CLICK, "BM_CLICK"}, {WM_GETDLGCODE, "WM_GETDLGCODE"}};
    for (const auto& n : names)
        if (n.first == m) return n.second;
    std::ostringstream s;
    s << "message 0x" << std::hex << m;
    return s.str();
}
inline std::string Describe(const Msg& m) {
    std::ostringstream s;
    s << Name(m.message);
    if (m.id != kAny) s << " id " << m.id;
    if (m.code != kAny) s << " code " << m.code;
    if (m.value != kAny) s << " value " << m.value;
    if (m.sender != kAny && m.sender != m.id) s << " sent by id " << m.sender;
    if (m.flags & kOptional) s << " (optional)";
    if (m.flags & kMany) s << " (one or more)";
    return s.str();
}
inline std::string Describe(const Step& s) {
    static const char* ops[] = {"send", "post", "key down", "key up", "key repeat", "char", "press",
                                "move", "release", "focus", "focus is", "capture is", "style of", "do"};
    std::ostringstream o;
    o << ops[s.op];
    if (s.op == Step::Call) return o << ' ' << s.label, o.str();
    if (s.target == kNobody) o << " no window";
    else if (s.target != kParent || s.op == Step::Send || s.op == Step::Post) o << " #" << s.target;
    if (s.op == Step::Send || s.op == Step::Post) o << ' ' << Name(s.message) << '(' << s.wParam << ", " << s.lParam << ')';
    if (s.op >= Step::KeyDown && s.op <= Step::Char) o << " 0x" << std::hex << s.wParam << std::dec;
    if (s.op >= Step::Press && s.op <= Step::Release)
        o << " at " << static_cast<short>(LOWORD(s.lParam)) << ',' << static_cast<short>(HIWORD(s.lParam));
    if (s.checked) o << " answers " << s.answer;
    if (s.op == Step::Style) o << (s.lParam ? " has 0x" : " lacks 0x") << std::hex << s.wParam;
    return o.str();
}
inline bool Matches(const Msg& want, const Msg& got) {
    return want.message == got.message && (want.id == kAny || want.id == got.id) &&
           (want.code == kAny || want.code == got.code) && (want.value == kAny || want.value == got.value) &&
           (got.sender == kAny || got.sender == got.id);
}

struct Recorder {
    HWND parent = nullptr;
    WNDPROC previous = nullptr;
    std::set<UINT> watched;
    std::vector<Msg>* into = nullptr;
};
inline Recorder*& Current() {
    static Recorder* current = nullptr;
    return current;
}
inline int IdOf(LPARAM window) { return window ? GetDlgCtrlID(reinterpret_cast<HWND>(window)) : kAny; }
inline LRESULT CALLBACK Record(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    Recorder* r = Current();
    if (r && w == r->parent && r->into && r->watched.count(m)) {
        Msg got{m, IdOf(lp)};
        if (m == WM_COMMAND) got.id = LOWORD(wp), got.code = HIWORD(wp), got.sender = IdOf(lp);
        if (m == WM_NOTIFY) {
            const auto* h = reinterpret_cast<const NMHDR*>(lp);
            got.id = static_cast<int>(h->idFrom), got.code = static_cast<int>(h->code), got.sender = IdOf(reinterpret_cast<LPARAM>(h->hwndFrom));
        }
        if (m == WM_HSCROLL || m == WM_VSCROLL) got.code = LOWORD(wp), got.value = HIWORD(wp);
        if (m == WM_DRAWITEM) got.id = static_cast<int>(wp);
        if (m == WM_PARENTNOTIFY) got.code = LOWORD(wp), got.id = (LOWORD(wp) == WM_CREATE || LOWORD(wp) == WM_DESTROY) ? HIWORD(wp) : kAny;
        r->into->push_back(got);
    }
    return CallWindowProcA(r ? r->previous : DefWindowProcA, w, m, wp, lp);
}

inline HWND Window(HWND parent, int id) {
    return id == kParent ? parent : id == kNobody ? nullptr : GetDlgItem(parent, id);
}
inline HWND FocusOf(HWND parent) {
    const DWORD thread = GetWindowThreadProcessId(parent, nullptr);
    if (thread == GetCurrentThreadId()) return GetFocus();
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(thread, &gui);
    return gui.hwndFocus;
}
}  // namespace detail

// Performs one step's input on the controls of `parent` (any thread), and
// answers an empty string or what a check step found wrong.
inline std::string Perform(HWND parent, const Step& s) {
    using namespace detail;
    const HWND target = Window(parent, s.target);
    std::ostringstream wrong;
    switch (s.op) {
    case Step::Send: {
        const LRESULT got = SendMessageA(target, s.message, s.wParam, s.lParam);
        if (s.checked && (got & s.mask) != s.answer) wrong << "answered " << (got & s.mask) << ", expected " << s.answer;
        break;
    }
    case Step::Post: PostMessageA(target, s.message, s.wParam, s.lParam); break;
    case Step::KeyDown: case Step::KeyUp: case Step::KeyRepeat: case Step::Char:
        PostMessageA(FocusOf(parent) ? FocusOf(parent) : parent, s.message, s.wParam, s.lParam);
        break;
    case Step::Press: case Step::Move: case Step::Release: {
        POINT p{static_cast<short>(LOWORD(s.lParam)), static_cast<short>(HIWORD(s.lParam))};
        ClientToScreen(target, &p);
        SetCursorPos(p.x, p.y);
        Pump(parent);  // the move the cursor makes comes first
        PostMessageA(target, s.message, s.wParam, s.lParam);
        break;
    }
    case Step::Focus:
        SetForegroundWindow(GetAncestor(target, GA_ROOT));  // as a click on it would
        SetFocus(target);
        break;
    case Step::FocusIs: case Step::CaptureIs: {
        const HWND on = s.op == Step::FocusIs ? FocusOf(parent) : GetCapture();
        if (on != target) wrong << "it is on " << (on == parent ? "the parent" : on ? "id " : "no window");
        if (on != target && on && on != parent) wrong << GetDlgCtrlID(on);
        break;
    }
    case Step::Style: {
        const DWORD has = static_cast<DWORD>(GetWindowLongA(target, GWL_STYLE)) & static_cast<DWORD>(s.wParam);
        if (has != (s.lParam ? s.wParam : 0)) wrong << "style bits 0x" << std::hex << has;
        break;
    }
    case Step::Call: s.call(parent); break;
    }
    Pump(parent);
    return wrong.str();
}

// Runs the table on the controls of `parent` (a window of this thread) and
// compares what the parent saw, step by step.
inline testing::AssertionResult Run(HWND parent, const Table& table, std::initializer_list<UINT> ignore = {}) {
    using namespace detail;
    Recorder r;
    r.parent = parent;
    r.watched = {WM_COMMAND, WM_NOTIFY, WM_HSCROLL, WM_VSCROLL, WM_DRAWITEM, WM_PARENTNOTIFY, WM_DROPFILES};
    for (const Step& s : table)
        for (const Msg& m : s.expect) r.watched.insert(m.message);
    for (UINT m : ignore) r.watched.erase(m);
    SetForegroundWindow(GetAncestor(parent, GA_ROOT));  // the keyboard's input goes there
    Pump(parent);
    r.previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Record)));
    Current() = &r;
    std::vector<std::vector<Msg>> seen(table.size());
    std::ostringstream first;
    std::size_t failed = table.size();
    for (std::size_t k = 0; k < table.size() && failed == table.size(); ++k) {
        r.into = &seen[k];
        const std::string wrong = Perform(parent, table[k]);
        r.into = nullptr;
        if (!wrong.empty()) {
            first << "step " << k + 1 << " (" << Describe(table[k]) << "): " << wrong;
            failed = k;
            break;
        }
        const std::vector<Msg>& want = table[k].expect;
        const std::vector<Msg>& got = seen[k];
        std::size_t i = 0, j = 0;
        while (i < want.size() || j < got.size()) {
            if (i < want.size() && j < got.size() && Matches(want[i], got[j])) {
                ++j;
                while ((want[i].flags & kMany) && j < got.size() && Matches(want[i], got[j])) ++j;
                ++i;
            } else if (i < want.size() && (want[i].flags & kOptional)) {
                ++i;
            } else {
                first << "step " << k + 1 << " (" << Describe(table[k]) << "): expected "
                      << (i < want.size() ? Describe(want[i]) : "nothing more") << ", got "
                      << (j < got.size() ? Describe(got[j]) : "nothing");
                failed = k;
                break;
            }
        }
    }
    Current() = nullptr;
    SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(r.previous));
    if (failed == table.size()) return testing::AssertionSuccess();
    std::ostringstream all;
    all << first.str() << "\nthe whole sequence:";
    for (std::size_t k = 0; k <= failed; ++k) {
        all << "\n  " << k + 1 << ". " << Describe(table[k]);
        for (const Msg& m : table[k].expect) all << "\n       expected " << Describe(m);
        for (const Msg& m : seen[k]) all << "\n       got      " << Describe(m);
    }
    if (failed + 1 < table.size()) all << "\n  (" << table.size() - failed - 1 << " more steps not run)";
    return testing::AssertionFailure() << all.str();
}

}  // namespace seq
