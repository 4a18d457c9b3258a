// Message-sequence tests of controls (as Wine's ok_sequence): a table of input
// steps (real messages through the parent's dialog manager; mouse steps put the
// cursor on their point, keys go to the focus window) and checks (Answers,
// FocusIs, CaptureIs, Style, Do), each with the notifications the parent must
// see, in order; an expectation may leave id or code open (kAny), be Optional
// or Many. The first difference fails with the step, the expected and the
// received message, then every step run with what it expected and recorded.
// Steps name controls by id (kParent: the parent). Recorded: WM_COMMAND,
// WM_NOTIFY, WM_[HV]SCROLL, WM_DRAWITEM, WM_PARENTNOTIFY, WM_DROPFILES and any
// kind an expectation names.
//
//   EXPECT_TRUE(seq::Run(dialog, {seq::Press(7, 5, 5).Sees({seq::Command(7, BN_SETFOCUS)}),
//                                 seq::Send(7, BM_GETSTATE).Answers(BST_PUSHED, BST_PUSHED)}));
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <initializer_list>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace seq {

constexpr int kAny = INT_MIN;  // an open id, code or value
constexpr int kParent = -1;    // a step's target: the parent itself
constexpr int kNobody = -2;    // FocusIs/CaptureIs: no window
enum : unsigned { kOptional = 1, kMany = 2 };

// A message the parent saw, or is to see (e.g. Msg{WM_NOTIFY, id, code}).
struct Msg {
    UINT message = 0;
    int id = kAny, code = kAny, value = kAny;
    unsigned flags = 0;
    int sender = kAny;  // recorded: the id of the window that sent a WM_COMMAND or WM_NOTIFY
};
inline Msg Command(int id, int code) { return {WM_COMMAND, id, code}; }
inline Msg Colour(UINT message, int id) { return {message, id}; }
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
        return s.checked = true, s.answer = value, s.mask = bits, s;
    }
    Step Sees(std::initializer_list<Msg> messages) const {
        Step s = *this;
        return s.expect.assign(messages), s;
    }
};
using Table = std::vector<Step>;

inline LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }
inline Step Send(int id, UINT m, WPARAM w = 0, LPARAM l = 0) { return {Step::Send, id, m, w, l}; }
inline Step Post(int id, UINT m, WPARAM w = 0, LPARAM l = 0) { return {Step::Post, id, m, w, l}; }
inline Step KeyDown(UINT vk) { return {Step::KeyDown, kParent, WM_KEYDOWN, vk, 1}; }
inline Step KeyUp(UINT vk) { return {Step::KeyUp, kParent, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u)}; }
inline Step KeyRepeat(UINT vk) { return {Step::KeyRepeat, kParent, WM_KEYDOWN, vk, 0x40000001}; }
inline Step Char(char c) { return {Step::Char, kParent, WM_CHAR, static_cast<WPARAM>(c), 1}; }
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
    return s.label = std::move(label), s.call = std::move(call), s;
}

// A key pressed and released on the focus window; a click at a point; tables joined.
inline Table Key(UINT vk) { return {KeyDown(vk), KeyUp(vk)}; }
inline Table Click(int id, int x, int y, std::initializer_list<Msg> sees = {}) {
    return {Press(id, x, y), Release(id, x, y).Sees(sees)};
}
inline Table Then(std::initializer_list<Table> parts) {
    Table all;
    for (const Table& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Lets this thread's windows handle what is queued, through the dialog
// manager of `dialog`, until the queue stays empty a few milliseconds (at
// least `atLeast`). For a window of another thread (a modal box) it waits.
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
// The messages the tables use by name; any other as its number.
inline std::string Name(UINT m) {
#define SEQ_NAME(m) {m, #m}
    static const std::pair<UINT, const char*> names[] = {
        SEQ_NAME(WM_COMMAND), SEQ_NAME(WM_NOTIFY), SEQ_NAME(WM_DROPFILES), SEQ_NAME(WM_CTLCOLOREDIT),
        SEQ_NAME(WM_CTLCOLORSTATIC), SEQ_NAME(WM_KEYDOWN), SEQ_NAME(WM_KEYUP), SEQ_NAME(WM_GETDLGCODE),
        SEQ_NAME(BM_GETCHECK), SEQ_NAME(BM_SETCHECK), SEQ_NAME(BM_GETSTATE), SEQ_NAME(BM_SETSTATE),
        SEQ_NAME(BM_SETSTYLE), SEQ_NAME(BM_CLICK)};
#undef SEQ_NAME
    for (const auto& n : names)
        if (n.first == m) return n.second;
    std::ostringstream s;
    return s << "message 0x" << std::hex << m, s.str();
}
inline std::string Describe(const Msg& m) {
    std::ostringstream s;
    s << Name(m.message);
    if (m.id != kAny) s << " id " << m.id;
    if (m.code != kAny) s << " code " << m.code;
    if (m.value != kAny) s << " value " << m.value;
    if (m.sender != kAny && m.sender != m.id) s << " sent by id " << m.sender;
    s << (m.flags & kOptional ? " (optional)" : "") << (m.flags & kMany ? " (one or more)" : "");
    return s.str();
}
inline std::string Describe(const Step& s) {
    static const char* ops[] = {"send", "post", "key down", "key up", "key repeat", "char", "press",
                                "move", "release", "focus", "focus is", "capture is", "style of", "do"};
    std::ostringstream o;
    o << ops[s.op];
    if (s.op == Step::Call) return o << ' ' << s.label, o.str();
    if (s.target == kNobody) o << " no window";
    else if (s.target != kParent || s.op <= Step::Post) o << " #" << s.target;
    if (s.op <= Step::Post) o << ' ' << Name(s.message) << '(' << s.wParam << ", " << s.lParam << ')';
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
inline Recorder* g_recorder = nullptr;  // the one Run records with
inline int IdOf(LPARAM window) { return window ? GetDlgCtrlID(reinterpret_cast<HWND>(window)) : kAny; }
inline LRESULT CALLBACK Record(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    Recorder* r = g_recorder;
    if (r && w == r->parent && r->into && r->watched.count(m)) {
        Msg got{m, IdOf(lp)};
        if (m == WM_COMMAND) got.id = LOWORD(wp), got.code = HIWORD(wp), got.sender = IdOf(lp);
        if (m == WM_NOTIFY) {
            const auto* h = reinterpret_cast<const NMHDR*>(lp);
            got.id = static_cast<int>(h->idFrom), got.code = static_cast<int>(h->code);
            got.sender = IdOf(reinterpret_cast<LPARAM>(h->hwndFrom));
        }
        if (m == WM_HSCROLL || m == WM_VSCROLL) got.code = LOWORD(wp), got.value = HIWORD(wp);
        if (m == WM_DRAWITEM) got.id = static_cast<int>(wp);
        if (m == WM_PARENTNOTIFY) got.code = LOWORD(wp), got.id = (LOWORD(wp) == WM_CREATE || LOWORD(wp) == WM_DESTROY) ? HIWORD(wp) : kAny;
        r->into->push_back(got);
    }
    return CallWindowProcA(r ? r->previous : DefWindowProcA, w, m, wp, lp);
}
inline HWND FocusOf(HWND parent) {  // of the parent's thread
    GUITHREADINFO gui{sizeof gui};
    GetGUIThreadInfo(GetWindowThreadProcessId(parent, nullptr), &gui);
    return gui.hwndFocus;
}
}  // namespace detail

// Performs one step's input on the controls of `parent` (of any thread) and
// answers an empty string or what a check step found wrong.
inline std::string Perform(HWND parent, const Step& s) {
    const HWND target = s.target == kParent ? parent : s.target == kNobody ? nullptr : GetDlgItem(parent, s.target);
    std::ostringstream wrong;
    switch (s.op) {
    case Step::Send: {
        const LRESULT got = SendMessageA(target, s.message, s.wParam, s.lParam);
        if (s.checked && (got & s.mask) != s.answer) wrong << "answered " << (got & s.mask) << ", expected " << s.answer;
        break;
    }
    case Step::Post: PostMessageA(target, s.message, s.wParam, s.lParam); break;
    case Step::KeyDown: case Step::KeyUp: case Step::KeyRepeat: case Step::Char: {
        const HWND focus = detail::FocusOf(parent);
        PostMessageA(focus ? focus : parent, s.message, s.wParam, s.lParam);
        break;
    }
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
        const HWND on = s.op == Step::FocusIs ? detail::FocusOf(parent) : GetCapture();
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
    for (const Step& s : table) for (const Msg& m : s.expect) r.watched.insert(m.message);
    for (UINT m : ignore) r.watched.erase(m);
    SetForegroundWindow(GetAncestor(parent, GA_ROOT));  // the keyboard's input goes there
    Pump(parent);
    r.previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Record)));
    g_recorder = &r;
    std::vector<std::vector<Msg>> seen(table.size());
    std::ostringstream first;
    std::size_t k = 0;
    for (; k < table.size() && first.tellp() == 0; ++k) {
        r.into = &seen[k];
        const std::string wrong = Perform(parent, table[k]);
        r.into = nullptr;
        const std::vector<Msg>& want = table[k].expect;
        const std::vector<Msg>& got = seen[k];
        std::size_t i = 0, j = 0;
        while (wrong.empty() && (i < want.size() || j < got.size())) {
            if (i < want.size() && j < got.size() && Matches(want[i], got[j])) {
                for (++j; (want[i].flags & kMany) && j < got.size() && Matches(want[i], got[j]);) ++j;
                ++i;
            } else if (i < want.size() && (want[i].flags & kOptional)) {
                ++i;
            } else {
                first << "step " << k + 1 << " (" << Describe(table[k]) << "): expected "
                      << (i < want.size() ? Describe(want[i]) : "nothing more") << ", got "
                      << (j < got.size() ? Describe(got[j]) : "nothing");
                break;
            }
        }
        if (!wrong.empty()) first << "step " << k + 1 << " (" << Describe(table[k]) << "): " << wrong;
    }
    g_recorder = nullptr;
    SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(r.previous));
    if (first.tellp() == 0) return testing::AssertionSuccess();
    std::ostringstream all;
    all << first.str() << "\nthe whole sequence:";
    for (std::size_t n = 0; n < k; ++n) {
        all << "\n  " << n + 1 << ". " << Describe(table[n]);
        for (const Msg& m : table[n].expect) all << "\n       expected " << Describe(m);
        for (const Msg& m : seen[n]) all << "\n       got      " << Describe(m);
    }
    if (k < table.size()) all << "\n  (" << table.size() - k << " more steps not run)";
    return testing::AssertionFailure() << all.str();
}

}  // namespace seq
