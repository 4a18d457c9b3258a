// The help popup: its window class, the text it shows, its size and place,
// its messages, and its hold on the library while it is open.
#include "help/help_popup.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "controls/framework/skin.h"
#include "frame/frame.h"
#include "help/tagfile.h"
#include "owners/win32_owners.h"

namespace kelmard {
namespace {

constexpr char kRichEditClass[] = "RichEdit";
constexpr UINT kCloseMessage = WM_USER + 10;
constexpr DWORD kPopupStyle = WS_POPUP | WS_VISIBLE | WS_BORDER;
constexpr UINT kClassStyle = CS_NOCLOSE | CS_CLASSDC | CS_HREDRAW | CS_VREDRAW;
constexpr int kInset = 3;     // the text's distance from the popup's edges
constexpr int kWiden = 50;    // a popup narrower than three times its height widens by this
constexpr int kInitialWidth = 50, kInitialHeight = 5;
constexpr int kTooltipBackground = COLOR_INFOBK;
constexpr int kMaxFitRounds = 64;

// Every topic body is shown between this head and the trailer: 9-point text
// and a colour table of 16 entries for the body's colour commands.
constexpr char kRtfHead[] =
    "{\\rtf1\\fs18{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue128;\\red0\\green128\\blue0;"
    "\\red0\\green128\\blue128;\\red128\\green0\\blue0;\\red128\\green0\\blue128;\\red128\\green128\\blue0;"
    "\\red128\\green128\\blue128;\\red64\\green64\\blue64;\\red0\\green0\\blue255;\\red0\\green255\\blue0;"
    "\\red0\\green255\\blue255;\\red255\\green0\\blue0;\\red255\\green0\\blue255;\\red255\\green255\\blue0;"
    "\\red255\\green255\\blue255;}";
static_assert(sizeof kRtfHead - 1 == 377, "the RTF head is 377 characters");
constexpr char kRtfTrailer[] = "}";

// The message-only windows of LibraryHold: their procedure is the system's
// own, so handling them runs no code of this library.
constexpr char kAnchorClass[] = "FxHelp Anchor";

// Keeps this library loaded while a popup is open, whichever thread owns the
// popup: the plug-in that showed it may free its last reference meanwhile,
// and the popup's next message would then run code that is gone. The
// reference may be given back only once the popup's thread has left the
// library's code, or freeing the last reference would unmap the code that
// thread returns into. So a message-only window of the system's own procedure
// (the anchor) is made on the popup's thread, and when the popup is gone a
// posted WM_CLOSE closes the anchor from that thread's message loop, outside
// the library; a short-lived thread waits for that and frees the reference
// with FreeLibraryAndExitThread, which never returns into the library. A
// hold dropped without ReleaseLater gives the reference back at once: that
// happens inside an export, while the plug-in still holds the library.
class LibraryHold {
public:
    LibraryHold() = default;
    LibraryHold(LibraryHold&&) noexcept = default;
    LibraryHold& operator=(LibraryHold&&) = delete;

    // A reference to this library and the anchor on the calling thread.
    static LibraryHold Take() {
        LibraryHold hold;
        if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                               reinterpret_cast<LPCSTR>(&ModuleHandle), hold.module_.put())) {
            hold.anchor_.reset(CreateWindowExA(0, kAnchorClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                               nullptr, ModuleHandle(), nullptr));
        }
        return hold;
    }
    bool Held() const { return static_cast<bool>(module_); }

    // From the popup's last message: gives the reference back once the
    // popup's thread is in its message loop again.
    void ReleaseLater() {
        if (!module_ || !anchor_) {
            // Without the anchor the library stays loaded, which is safe.
            (void)module_.release();
            return;
        }
        // The posted WM_CLOSE destroys the anchor on its own thread.
        const HWND anchor = anchor_.release();
        PostMessageA(anchor, WM_CLOSE, 0, 0);
        UniqueHandle thread(CreateThread(nullptr, 0, ReleaseWhenLeft, anchor, 0, nullptr));
        // The thread frees the reference; without the thread the library stays loaded.
        (void)module_.release();
    }

private:
    static DWORD WINAPI ReleaseWhenLeft(LPVOID anchor) {
        while (IsWindow(static_cast<HWND>(anchor))) Sleep(10);
        FreeLibraryAndExitThread(ModuleHandle(), 0);
    }

    UniqueModule module_;
    UniqueWindow anchor_;  // message-only, on the popup's thread; destroyed before the reference goes
};

// The RTF a popup is fed: the head, the topic's body, the trailer. A part
// that delivers less than asked passes to the next one in the same call.
class TopicText {
public:
    explicit TopicText(FxTagStream& topic) : topic_(topic) {}

    static DWORD CALLBACK Callback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
        if (!cookie) return 1;
        const LONG n = buffer && size > 0 ? reinterpret_cast<TopicText*>(cookie)->Fill(buffer, size) : 0;
        if (done) *done = n;
        return 0;
    }

private:
    LONG Fill(BYTE* buffer, LONG size) {
        LONG filled = 0;
        while (filled < size && part_ < kDone) {
            const LONG wanted = size - filled;
            const LONG got = FillFromPart(buffer + filled, wanted);
            filled += got;
            if (got < wanted) {
                ++part_;
                position_ = 0;
            }
        }
        return filled;
    }
    LONG FillFromPart(BYTE* buffer, LONG size) {
        switch (part_) {
        case kHead: return CopyFixed(kRtfHead, sizeof kRtfHead - 1, buffer, size);
        case kBody: return static_cast<LONG>(topic_.Read(buffer, static_cast<uint32_t>(size)));
        default: return CopyFixed(kRtfTrailer, sizeof kRtfTrailer - 1, buffer, size);
        }
    }
    LONG CopyFixed(const char* text, LONG length, BYTE* buffer, LONG size) {
        const LONG n = std::min(length - position_, size);
        if (n <= 0) return 0;
        std::memcpy(buffer, text + position_, static_cast<size_t>(n));
        position_ += n;
        return n;
    }

    enum Part { kHead, kBody, kTrailer, kDone };
    FxTagStream& topic_;
    int part_ = kHead;
    LONG position_ = 0;  // within the head or trailer
};

// `position`, moved back to `limit` when past it, and never below 0.
int KeepOnScreen(int position, int limit) { return std::max(0, std::min(position, limit)); }

// One shown popup. Its window owns it: the object is made before the
// window, given to it at WM_NCCREATE and deleted at WM_NCDESTROY.
class HelpPopup {
public:
    HelpPopup(int x, int y, UniqueModule richEdit, LibraryHold hold)
        : hold_(std::move(hold)),
          richEdit_(std::move(richEdit)),
          background_(CreateSolidBrush(SkinSysColor(kTooltipBackground))),
          x_(x),
          y_(y) {}

    void Attach(HWND window) { window_ = window; }
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Feeds the topic to the text control and sizes the popup to the text.
    void LoadText(FxTagStream& topic);
    // The popup is gone: its hold on the library goes to whoever frees it.
    LibraryHold TakeHold() { return std::move(hold_); }

private:
    LRESULT OnCreate(HWND window);
    void OnSize(LPARAM lParam);
    void OnEraseBackground(HDC dc);
    void OnRequestResize(const RECT& requested);
    void TakeRequestedSize(const RECT& requested);
    void Widen();
    void Place();
    void PostClose();

    LibraryHold hold_;  // this library, while the popup is open
    // Freed after the text control: the control's window class lives in it,
    // so a popup outlives the help handle that showed it without harm.
    UniqueModule richEdit_;
    UniqueWindow child_;  // the RichEdit control, destroyed with the popup
    UniqueBrush background_;
    HWND window_ = nullptr;       // the popup, which owns this object
    int x_, y_;                   // where the caller asked for the popup
    int width_ = 0, height_ = 0;  // the client size the text asks for
    int nesting_ = 0;             // resize requests inside resize requests
    bool refit_ = false;          // the child was widened: its text wants measuring again
};

HelpPopup* Stored(HWND window) {
    return reinterpret_cast<HelpPopup*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The object whose popup this thread is creating: the only creation parameter
// the class accepts, so no other window of the class gets an object it does
// not own (or a pointer it cannot read).
thread_local HelpPopup* t_creating = nullptr;

LRESULT HelpPopup::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        child_.reset();
        break;
    case WM_SIZE:
        OnSize(lParam);
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) PostClose();
        else SetFocus(window);  // keys come to the popup
        return 0;
    case WM_KILLFOCUS:
    case WM_KEYDOWN:
        PostClose();
        return 0;
    case WM_ERASEBKGND:
        OnEraseBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && child_ && header->hwndFrom == child_.get() && header->code == EN_REQUESTRESIZE)
            OnRequestResize(reinterpret_cast<const REQRESIZE*>(lParam)->rc);
        break;
    }
    case kCloseMessage:
        // Destroying the window deletes this object (WM_NCDESTROY): from here
        // on only the handle may be used.
        if (IsWindow(window)) DestroyWindow(window);
        return 0;
    case EM_STREAMIN:
        return child_ ? SendMessageA(child_.get(), EM_STREAMIN, wParam, lParam) : 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT HelpPopup::OnCreate(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    child_.reset(CreateWindowExA(0, kRichEditClass, "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, kInset,
                                 kInset, r.right - r.left - 2 * kInset, r.bottom - r.top - 2 * kInset,
                                 window, nullptr, ModuleHandle(), nullptr));
    if (child_) {
        const HWND child = child_.get();
        SendMessageA(child, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(SkinSysColor(kTooltipBackground)));
        // A stock object: nobody frees it.
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        SendMessageA(child, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE | ENM_LINK);
    }
    nesting_ = 0;
    return DefWindowProcA(window, WM_CREATE, 0, 0);
}

void HelpPopup::OnSize(LPARAM lParam) {
    if (!child_) return;
    const int width = LOWORD(lParam) - 2 * kInset, height = HIWORD(lParam) - 2 * kInset;
    SetWindowPos(child_.get(), nullptr, 0, 0, std::max(width, 0), std::max(height, 0),
                 SWP_NOMOVE | SWP_NOZORDER);
}

void HelpPopup::OnEraseBackground(HDC dc) {
    RECT r{};
    if (window_ && dc && GetClientRect(window_, &r)) FillRect(dc, &r, background_.get());
}

void HelpPopup::PostClose() {
    if (window_ && IsWindow(window_)) PostMessageA(window_, kCloseMessage, 0, 0);
}

// The child asks for the height its text needs at its width. A popup less
// than three times as wide as high widens and the child is asked again,
// until the text fits a box at least three times as wide as high or the
// popup would no longer fit the screen.
void HelpPopup::OnRequestResize(const RECT& requested) {
    ++nesting_;
    TakeRequestedSize(requested);
    if (width_ < 3 * height_ && width_ + kWiden <= GetSystemMetrics(SM_CXSCREEN)) Widen();
    else refit_ = false;
    if (--nesting_ == 0) Place();
}

// The request's width is the child's own, or (some RichEdit versions) the
// width of its widest line: never narrower than the child.
void HelpPopup::TakeRequestedSize(const RECT& requested) {
    RECT child{};
    GetClientRect(child_.get(), &child);
    const int textWidth = std::max(static_cast<int>(requested.right - requested.left), static_cast<int>(child.right));
    width_ = textWidth + 2 * kInset;
    height_ = requested.bottom - requested.top + 2 * kInset;
}

// 50 pixels wider, the height shrinking in proportion as the text's will. A
// RichEdit that answers the new size with a request at once handles it
// inside this one.
void HelpPopup::Widen() {
    const int width = width_ + kWiden;
    height_ = static_cast<int>(static_cast<double>(height_) * width_ / width);
    width_ = width;
    refit_ = true;
    SetWindowPos(child_.get(), nullptr, 0, 0, width_ - 2 * kInset,
                 height_ > 2 * kInset ? height_ - 2 * kInset : 0, SWP_NOMOVE | SWP_NOZORDER);
}

// At (x, y), or to the left of x / above y when the popup would reach the
// screen's right / bottom edge; always on the screen.
void HelpPopup::Place() {
    if (!window_) return;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT outer{0, 0, width_, height_};
    AdjustWindowRect(&outer, kPopupStyle, FALSE);
    const int outerWidth = std::min(static_cast<int>(outer.right) + 1, screenWidth);
    const int outerHeight = std::min(static_cast<int>(outer.bottom) + 1, screenHeight);
    const int left = KeepOnScreen(x_ + width_ >= screenWidth ? x_ - width_ : x_, screenWidth - outerWidth);
    const int top = KeepOnScreen(y_ + height_ >= screenHeight ? y_ - height_ : y_, screenHeight - outerHeight);
    SetWindowPos(window_, nullptr, left, top, outerWidth, outerHeight, SWP_NOZORDER);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME);
}

void HelpPopup::LoadText(FxTagStream& topic) {
    if (!window_ || !child_) return;
    TopicText text(topic);
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&text);
    stream.pfnCallback = &TopicText::Callback;
    SendMessageA(window_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    // Ask for the text's size; again after each widening, for RichEdit
    // versions that do not answer a widening with a request of their own.
    int rounds = 0;
    do {
        refit_ = false;
        SendMessageA(child_.get(), EM_REQUESTRESIZE, 0, 0);
    } while (refit_ && child_ && ++rounds < kMaxFitRounds);
}

LRESULT CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        HelpPopup* popup = t_creating;
        // Popups are made by ShowHelpPopup only: any other creation is refused.
        if (!create || !popup || create->lpCreateParams != popup) return FALSE;
        t_creating = nullptr;  // the window owns the object now
        popup->Attach(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(popup));
        return popup->WindowProc(window, message, wParam, lParam);
    }
    case WM_NCDESTROY: {
        std::unique_ptr<HelpPopup> popup(Stored(window));
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (popup) {
            LibraryHold hold = popup->TakeHold();
            popup.reset();
            hold.ReleaseLater();
        }
        return 0;
    }
    default: {
        HelpPopup* popup = Stored(window);
        return popup ? popup->WindowProc(window, message, wParam, lParam) : 0;
    }
    }
}

}  // namespace

int RegisterHelpWindowClass(HINSTANCE module) {
    WNDCLASSA popup{};
    popup.style = kClassStyle;
    popup.lpfnWndProc = HelpWindowProc;
    popup.hInstance = module;
    popup.lpszClassName = kHelpWindowClass;
    WNDCLASSA anchor{};
    anchor.lpfnWndProc = DefWindowProcA;
    anchor.hInstance = module;
    anchor.lpszClassName = kAnchorClass;
    return RegisterClassA(&popup) && RegisterClassA(&anchor) ? 1 : 0;
}

// Not while the process ends: the class goes with it, and under Wine
// unregistering this class (it has a class DC) during process exit was seen to
// hang the exiting process.
void UnregisterHelpWindowClass(HINSTANCE module) {
    if (ProcessIsExiting()) return;
    UnregisterClassA(kHelpWindowClass, module);
    UnregisterClassA(kAnchorClass, module);
}

void ShowHelpPopup(FxTagStream& topic, HWND parent, int x, int y) {
    UniqueModule richEdit(LoadLibraryA(kRichEditLibrary));
    if (!richEdit) return;
    LibraryHold hold = LibraryHold::Take();
    if (!hold.Held()) return;
    std::unique_ptr<HelpPopup> popup(new (std::nothrow) HelpPopup(x, y, std::move(richEdit), std::move(hold)));
    if (!popup) return;
    t_creating = popup.get();
    // The window closes itself (on its close message); its object goes with it.
    const HWND window = CreateWindowExA(0, kHelpWindowClass, "", kPopupStyle, x, y, kInitialWidth,
                                        kInitialHeight, parent, nullptr, ModuleHandle(), popup.get());
    const bool adopted = t_creating == nullptr;
    t_creating = nullptr;
    if (!adopted) return;  // no window ever owned it: it goes here
    // The window owns it now; one that failed after taking it deleted it already.
    (void)popup.release();
    if (window && IsWindow(window)) {
        if (HelpPopup* shown = Stored(window)) shown->LoadText(topic);
    }
}

}  // namespace kelmard
