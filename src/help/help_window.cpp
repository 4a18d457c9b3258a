// The help window: FxHelp opens the help files of the installation (and up to
// two more), shows a topic in a small borderless popup sized to its rich text,
// answers whether a topic exists, and closes. The popup vanishes on the first
// deactivation, loss of focus or key press.
#include "help/help_window.h"

#include <richedit.h>

#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "controls/framework/skin.h"
#include "frame/frame.h"
#include "owners/win32_owners.h"
#include "frame/trace.h"
#include "help/reg_store.h"
#include "help/tagfile.h"
#include "kelmard.h"

#if !defined(_WIN64)
static_assert(sizeof(FxHelpOpenBlock) == 12 && offsetof(FxHelpOpenBlock, firstName) == 4 &&
                  offsetof(FxHelpOpenBlock, secondName) == 8,
              "the open block: names at 4 and 8");
static_assert(offsetof(FxHelpShowBlock, x) == 4 && offsetof(FxHelpShowBlock, y) == 8 &&
                  offsetof(FxHelpShowBlock, helpId) == 12,
              "the show block: parent, x, y, help ID at 0, 4, 8, 12");
#endif

namespace kelmard {
namespace {

constexpr char kRichEditLibrary[] = "RichEd32";  // RichEdit 1.0: the "RichEdit" class
constexpr char kRichEditClass[] = "RichEdit";
constexpr char kGeneralHelpFile[] = "FxHelp.RFH";
constexpr int kSlots = 3;
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
// with FreeLibraryAndExitThread, which never returns into the library.
class LibraryHold {
public:
    LibraryHold() = default;
    LibraryHold(LibraryHold&& other) noexcept
        : module_(std::move(other.module_)), anchor_(std::exchange(other.anchor_, nullptr)) {}
    LibraryHold& operator=(LibraryHold&& other) noexcept {
        if (this != &other) {
            Drop();
            module_ = std::move(other.module_);
            anchor_ = std::exchange(other.anchor_, nullptr);
        }
        return *this;
    }
    LibraryHold(const LibraryHold&) = delete;
    LibraryHold& operator=(const LibraryHold&) = delete;
    // Not handed on: the caller is inside an export, so the plug-in still
    // holds the library and the reference can go at once.
    ~LibraryHold() { Drop(); }

    // A reference to this library and the anchor on the calling thread.
    static LibraryHold Take() {
        LibraryHold hold;
        HMODULE self = nullptr;
        if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                reinterpret_cast<LPCSTR>(&ModuleHandle), &self))
            return hold;
        hold.module_.reset(self);
        hold.anchor_ = CreateWindowExA(0, kAnchorClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       ModuleHandle(), nullptr);
        return hold;
    }
    bool Held() const { return static_cast<bool>(module_); }

    // From the popup's last message: gives the reference back once the
    // popup's thread is in its message loop again. Without the anchor or the
    // thread the reference stays: the library then stays loaded, which is safe.
    void ReleaseLater() {
        if (!module_ || !anchor_) {
            (void)module_.release();
            return;
        }
        const HWND anchor = std::exchange(anchor_, nullptr);
        PostMessageA(anchor, WM_CLOSE, 0, 0);
        UniqueHandle thread(CreateThread(nullptr, 0, ReleaseWhenLeft, anchor, 0, nullptr));
        (void)module_.release();  // the thread frees it; without the thread it stays
    }

private:
    static DWORD WINAPI ReleaseWhenLeft(LPVOID anchor) {
        while (IsWindow(static_cast<HWND>(anchor))) Sleep(10);
        FreeLibraryAndExitThread(ModuleHandle(), 0);
    }
    void Drop() {
        if (anchor_) DestroyWindow(std::exchange(anchor_, nullptr));
        module_.reset();
    }

    UniqueModule module_;
    HWND anchor_ = nullptr;  // message-only, on the popup's thread
};

// The state of a window that has a C++ object.
class FxWindowObject {
public:
    FxWindowObject() = default;
    FxWindowObject(const FxWindowObject&) = delete;
    FxWindowObject& operator=(const FxWindowObject&) = delete;
    virtual ~FxWindowObject() {
        if (window_ && IsWindow(window_)) SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    }
    virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    void Attach(HWND window) { window_ = window; }
    // The window is going: the object must not touch it any more.
    void Detach() { window_ = nullptr; }

protected:
    HWND window_ = nullptr;  // the popup
};

// One shown popup.
class FxHelpWindow final : public FxWindowObject {
public:
    FxHelpWindow(FxTagStream* topic, int x, int y, UniqueModule richEdit, LibraryHold hold)
        : hold_(std::move(hold)),
          richEdit_(std::move(richEdit)),
          topic_(topic),
          x_(x),
          y_(y),
          background_(CreateSolidBrush(SkinSysColor(kTooltipBackground))) {}
    ~FxHelpWindow() override;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Feeds the topic to the child (head, body, trailer) and sizes the popup
    // to the text. The entry stream is not used afterwards.
    void LoadText();

    static DWORD CALLBACK StreamCallback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done);

    // The popup is gone: its hold on the library goes to whoever frees it.
    LibraryHold TakeHold() { return std::move(hold_); }

private:
    LRESULT OnCreate(HWND window);
    void OnSize(LPARAM lParam);
    void OnEraseBackground(HDC dc);
    void OnRequestResize(const RECT& requested);
    void Place();
    void PostClose();
    LONG FillStream(BYTE* buffer, LONG size);
    LONG CopyFixed(const char* text, LONG length, BYTE* buffer, LONG size);

    LibraryHold hold_;  // this library, while the popup is open
    // Freed after everything below: the child's window class lives in it, so
    // a popup outlives the help handle that showed it without harm.
    UniqueModule richEdit_;
    FxTagStream* topic_;     // only while the text is loaded
    int phase_ = 0;          // 0 head, 1 body, 2 trailer, 3 done
    LONG position_ = 0;      // within the head or trailer
    HWND child_ = nullptr;   // the RichEdit control
    HFONT font_ = nullptr;   // the stock GUI font (not owned)
    int x_, y_;              // where the caller asked for the popup
    int width_ = 0, height_ = 0;  // the client size the text asks for
    int nesting_ = 0;        // resize requests inside resize requests
    bool refit_ = false;     // the child was widened: its text wants measuring again
    UniqueBrush background_;
};

FxHelpWindow* Stored(HWND window) {
    return reinterpret_cast<FxHelpWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The object whose popup this thread is creating: the only creation parameter
// the class accepts, so no other window of the class gets an object it does
// not own (or a pointer it cannot read).
thread_local FxHelpWindow* t_creating = nullptr;

FxHelpWindow::~FxHelpWindow() {
    if (child_ && IsWindow(child_)) DestroyWindow(child_);
    child_ = nullptr;
    if (window_ && IsWindow(window_)) {
        HWND popup = window_;
        SetWindowLongPtrA(popup, GWLP_USERDATA, 0);
        window_ = nullptr;
        DestroyWindow(popup);
    }
}

LRESULT FxHelpWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        if (child_ && IsWindow(child_)) DestroyWindow(child_);
        child_ = nullptr;
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
        if (header && child_ && header->hwndFrom == child_ && header->code == EN_REQUESTRESIZE)
            OnRequestResize(reinterpret_cast<const REQRESIZE*>(lParam)->rc);
        break;
    }
    case kCloseMessage:
        // Destroying the window deletes this object (WM_NCDESTROY): from here
        // on only the handle may be used.
        if (IsWindow(window)) DestroyWindow(window);
        return 0;
    case EM_STREAMIN:
        return child_ ? SendMessageA(child_, EM_STREAMIN, wParam, lParam) : 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT FxHelpWindow::OnCreate(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    child_ = CreateWindowExA(0, kRichEditClass, "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, kInset, kInset,
                             r.right - r.left - 2 * kInset, r.bottom - r.top - 2 * kInset, window, nullptr,
                             ModuleHandle(), nullptr);
    if (child_) {
        SendMessageA(child_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(SkinSysColor(kTooltipBackground)));
        if (!font_) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        SendMessageA(child_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        SendMessageA(child_, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE | ENM_LINK);
    }
    nesting_ = 0;
    return DefWindowProcA(window, WM_CREATE, 0, 0);
}

void FxHelpWindow::OnSize(LPARAM lParam) {
    if (!child_) return;
    const int width = LOWORD(lParam) - 2 * kInset, height = HIWORD(lParam) - 2 * kInset;
    SetWindowPos(child_, nullptr, 0, 0, width > 0 ? width : 0, height > 0 ? height : 0,
                 SWP_NOMOVE | SWP_NOZORDER);
}

void FxHelpWindow::OnEraseBackground(HDC dc) {
    RECT r{};
    if (window_ && dc && GetClientRect(window_, &r)) FillRect(dc, &r, background_.get());
}

void FxHelpWindow::PostClose() {
    if (window_ && IsWindow(window_)) PostMessageA(window_, kCloseMessage, 0, 0);
}

// The child asks for the height its text needs at its width. A popup less
// than three times as wide as high widens by 50 (the height shrinking in
// proportion, as the text will) and the child is asked again, until the text
// fits a box at least three times as wide as high or the popup would no
// longer fit the screen.
void FxHelpWindow::OnRequestResize(const RECT& requested) {
    ++nesting_;
    // The request's width is the child's own, or (some RichEdit versions) the
    // width of its widest line: never narrower than the child.
    RECT child{};
    GetClientRect(child_, &child);
    int textWidth = requested.right - requested.left;
    if (textWidth < child.right) textWidth = child.right;
    int width = textWidth + 2 * kInset;
    int height = requested.bottom - requested.top + 2 * kInset;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    width_ = width;
    height_ = height;
    if (width < 3 * height && width + kWiden <= screenWidth) {
        width += kWiden;
        height = static_cast<int>(static_cast<double>(height) * (width - kWiden) / width);
        width_ = width;
        height_ = height;
        refit_ = true;
        // A RichEdit that answers with a new request at once handles it inside this one.
        SetWindowPos(child_, nullptr, 0, 0, width - 2 * kInset, height > 2 * kInset ? height - 2 * kInset : 0,
                     SWP_NOMOVE | SWP_NOZORDER);
    } else {
        refit_ = false;
    }
    --nesting_;
    if (nesting_ == 0) Place();
}

// At (x, y), or to the left of x / above y when the popup would reach the
// screen's right / bottom edge; always on the screen.
void FxHelpWindow::Place() {
    if (!window_) return;
    RECT r{0, 0, width_, height_};
    AdjustWindowRect(&r, kPopupStyle, FALSE);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int outerWidth = r.right + 1, outerHeight = r.bottom + 1;
    if (outerWidth > screenWidth) outerWidth = screenWidth;
    if (outerHeight > screenHeight) outerHeight = screenHeight;
    int left = x_ + width_ >= screenWidth ? x_ - width_ : x_;
    int top = y_ + height_ >= screenHeight ? y_ - height_ : y_;
    if (left > screenWidth - outerWidth) left = screenWidth - outerWidth;
    if (top > screenHeight - outerHeight) top = screenHeight - outerHeight;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    SetWindowPos(window_, nullptr, left, top, outerWidth, outerHeight, SWP_NOZORDER);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME);
}

void FxHelpWindow::LoadText() {
    if (!window_ || !child_) return;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(this);
    stream.pfnCallback = &FxHelpWindow::StreamCallback;
    SendMessageA(window_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    topic_ = nullptr;
    // Ask for the text's size; again after each widening, for RichEdit
    // versions that do not answer a widening with a request of their own.
    int rounds = 0;
    do {
        refit_ = false;
        SendMessageA(child_, EM_REQUESTRESIZE, 0, 0);
    } while (refit_ && child_ && ++rounds < kMaxFitRounds);
}

DWORD CALLBACK FxHelpWindow::StreamCallback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    if (!cookie) return 1;
    const LONG n = buffer && size > 0 ? reinterpret_cast<FxHelpWindow*>(cookie)->FillStream(buffer, size) : 0;
    if (done) *done = n;
    return 0;
}

LONG FxHelpWindow::CopyFixed(const char* text, LONG length, BYTE* buffer, LONG size) {
    LONG n = length - position_;
    if (n > size) n = size;
    if (n <= 0) return 0;
    std::memcpy(buffer, text + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

// Head, body, trailer: a phase that delivers less than asked passes to the
// next one in the same call.
LONG FxHelpWindow::FillStream(BYTE* buffer, LONG size) {
    LONG filled = 0;
    while (filled < size && phase_ < 3) {
        const LONG wanted = size - filled;
        LONG got = 0;
        if (phase_ == 0) got = CopyFixed(kRtfHead, sizeof kRtfHead - 1, buffer + filled, wanted);
        else if (phase_ == 1) got = topic_ ? static_cast<LONG>(topic_->Read(buffer + filled, static_cast<uint32_t>(wanted))) : 0;
        else got = CopyFixed(kRtfTrailer, sizeof kRtfTrailer - 1, buffer + filled, wanted);
        filled += got;
        if (got < wanted) {
            ++phase_;
            position_ = 0;
        }
    }
    return filled;
}

LRESULT CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        FxHelpWindow* object = t_creating;
        // Popups are made by FxHelp only: any other creation is refused.
        if (!create || !object || create->lpCreateParams != object) return FALSE;
        t_creating = nullptr;  // the window owns the object now
        object->Attach(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object->WindowProc(window, message, wParam, lParam);
    }
    case WM_NCDESTROY: {
        FxHelpWindow* object = Stored(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (object) {
            object->Detach();  // the destructor must not destroy the window again
            LibraryHold hold = object->TakeHold();
            delete object;
            hold.ReleaseLater();
        }
        return 0;
    }
    default: {
        // WM_INITDIALOG's lParam is not taken for an object: the window has one.
        FxHelpWindow* object = Stored(window);
        return object ? object->WindowProc(window, message, wParam, lParam) : 0;
    }
    }
}

// A help handle: RichEdit 1.0 for its popups and up to three open help files.
struct HelpHandle {
    UniqueModule richEdit;
    FxTagFile files[kSlots];  // 0 the installation's, 1 and 2 the named ones
};

// folder + "\Help\" + name (blanks removed) + suffix; false when it does not fit.
bool BuildHelpPath(const char* folder, const char* name, const char* suffix, char (&path)[kFxPathChars]) {
    size_t n = 0;
    auto put = [&](const char* text, bool dropBlanks) {
        for (; *text; ++text) {
            if (dropBlanks && *text == ' ') continue;
            if (n + 1 >= sizeof path) return false;
            path[n++] = *text;
        }
        return true;
    };
    const bool fits = put(folder, false) && put("\\Help\\", false) && put(name, true) && put(suffix, false);
    path[fits ? n : 0] = '\0';
    return fits;
}

HelpHandle* OpenHelp(const FxHelpOpenBlock* block) {
    std::unique_ptr<HelpHandle> help(new (std::nothrow) HelpHandle);
    if (!help) return nullptr;
    help->richEdit.reset(LoadLibraryA(kRichEditLibrary));
    char folder[kPathChars];
    FxRegStore().Read(1, "DestDir", folder, sizeof folder, ".");
    char path[kFxPathChars];
    if (!BuildHelpPath(folder, kGeneralHelpFile, "", path) || !help->files[0].Open(path, 0)) {
        KTRACE("Help: cannot open %s\n", path);
        return nullptr;
    }
    int slot = 1;
    const char* names[2] = {block ? block->firstName : nullptr, block ? block->secondName : nullptr};
    for (const char* name : names) {
        if (!name) continue;
        if (!BuildHelpPath(folder, name, ".RFH", path) || !help->files[slot].Open(path, 0)) {
            KTRACE("Help: cannot open the help file of \"%s\"\n", name);
            return nullptr;
        }
        ++slot;
    }
    return help.release();
}

int CloseHelp(HelpHandle* help) {
    if (!help) return 1;
    help->richEdit.reset();  // popups still open hold their own reference
    for (FxTagFile& file : help->files)
        if (file.IsOpen()) file.Close();
    delete help;
    return 1;
}

// The topic's slot and entry: the last slot that has it wins.
bool FindTopic(HelpHandle& help, unsigned id, int& slot, int32_t& index) {
    for (slot = kSlots - 1; slot >= 0; --slot) {
        if (!help.files[slot].IsOpen()) continue;
        index = help.files[slot].FindEntry(0, FxTag(kFxTopicType, id));
        if (index >= 0) return true;
    }
    return false;
}

void ShowPopup(FxTagStream& topic, HWND parent, int x, int y) {
    UniqueModule richEdit(LoadLibraryA(kRichEditLibrary));
    if (!richEdit) return;
    LibraryHold hold = LibraryHold::Take();
    if (!hold.Held()) return;
    FxHelpWindow* object =
        new (std::nothrow) FxHelpWindow(&topic, x, y, std::move(richEdit), std::move(hold));
    if (!object) return;
    t_creating = object;
    HWND popup = CreateWindowExA(0, kHelpWindowClass, "", kPopupStyle, x, y, kInitialWidth, kInitialHeight,
                                 parent, nullptr, ModuleHandle(), object);
    const bool adopted = t_creating != object;
    t_creating = nullptr;
    if (!adopted) {
        // No window ever owned it.
        delete object;
        return;
    }
    // A window that failed after taking the object deleted it with itself.
    if (!popup || !IsWindow(popup)) return;
    if (FxHelpWindow* shown = Stored(popup)) shown->LoadText();
}

int ShowHelp(HelpHandle& help, const FxHelpShowBlock* block) {
    if (!block) return 0;
    const unsigned id = block->helpId;
    KTRACE("Display Help ID: %i\n", static_cast<int>(id));
    int slot = 0;
    int32_t index = -1;
    if (!FindTopic(help, id, slot, index)) return 0;
    // Without RichEdit 1.0 there would be an empty popup.
    if (!help.richEdit) return 0;
    FxTagStream topic;
    if (!topic.Open(&help.files[slot], static_cast<uint32_t>(index), 0)) return 0;
    ShowPopup(topic, block->parent, static_cast<int>(block->x), static_cast<int>(block->y));
    return topic.Close();
}

}  // namespace

int RegisterHelpWindowClass(HINSTANCE module) {
    WNDCLASSA wc{};
    wc.style = kClassStyle;
    wc.lpfnWndProc = HelpWindowProc;
    wc.hInstance = module;
    wc.lpszClassName = kHelpWindowClass;
    WNDCLASSA anchor{};
    anchor.lpfnWndProc = DefWindowProcA;
    anchor.hInstance = module;
    anchor.lpszClassName = kAnchorClass;
    return RegisterClassA(&wc) && RegisterClassA(&anchor) ? 1 : 0;
}

// Not while the process ends: the class goes with it, and under Wine
// unregistering this class (it has a class DC) during process exit was seen to
// hang the exiting process.
void UnregisterHelpWindowClass(HINSTANCE module) {
    if (ProcessIsExiting()) return;
    UnregisterClassA(kHelpWindowClass, module);
    UnregisterClassA(kAnchorClass, module);
}

}  // namespace kelmard

extern "C" KELMARD_API LONG_PTR QVRAPI FxHelp(int operation, void* help, void* parameters) {
    using namespace kelmard;
    auto* handle = static_cast<HelpHandle*>(help);
    switch (operation) {
    case FXHELP_OPEN:
        return reinterpret_cast<LONG_PTR>(OpenHelp(static_cast<const FxHelpOpenBlock*>(parameters)));
    case FXHELP_CLOSE:
        return CloseHelp(handle);
    case FXHELP_SHOW:
        return handle ? ShowHelp(*handle, static_cast<const FxHelpShowBlock*>(parameters)) : 0;
    case FXHELP_HAS_TOPIC: {
        int slot = 0;
        int32_t index = -1;
        const unsigned id = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(parameters) & 0xFFFFu);
        return handle && FindTopic(*handle, id, slot, index) ? 1 : 0;
    }
    default:
        return 0;
    }
}
