// WKMessageBox: the skinned message box. A "WKDialog" made from the library's
// empty dialog template 900, laid out at run time from the text's size, with
// a "WKStatic" icon and text and a row of "WKButton"s whose captions come
// from the library's string table (so they follow the resource language).
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <iterator>

#include "controls/framework/dialog_entry.h"
#include "controls/framework/skin.h"
#include "frame/frame.h"
#include "owners/win32_owners.h"
#include "frame/trace.h"
#include "kelmard.h"

namespace kelmard {
namespace {

constexpr int kMessageBoxTemplate = 900;
constexpr int kIconId = 1000, kTextId = 1001;
constexpr int kCaptionChars = 40;
// A button in dialog units; the caption's room beyond its title (pixels).
constexpr int kButtonWidthUnits = 40, kButtonHeightUnits = 14;
constexpr int kCaptionMargin = 15;

// The block handed to the dialog as its init value.
struct MessageBoxParams {
    const char* text;
    const char* caption;
    std::uint32_t type;
    HICON icon;
    std::int32_t buttonCount;   // 1 to 4
    std::int32_t defaultIndex;  // 0 .. buttonCount - 1
    std::uint32_t buttons[4];   // MAKELONG(command id, caption string id)
};
#if !defined(_WIN64)
static_assert(offsetof(MessageBoxParams, type) == 8 && offsetof(MessageBoxParams, icon) == 12 &&
                  offsetof(MessageBoxParams, buttons) == 24 && sizeof(MessageBoxParams) == 40,
              "the message box block: six 32-bit fields and four button words");
#endif

// Caption string ids and command ids of the buttons.
constexpr std::uint32_t Button(int command, int stringId) {
    return static_cast<std::uint32_t>(MAKELONG(command, stringId));
}
constexpr std::uint32_t kOk = Button(IDOK, 1000), kCancel = Button(IDCANCEL, 1001), kAbort = Button(IDABORT, 1002),
                        kRetry = Button(IDRETRY, 1003), kIgnore = Button(IDIGNORE, 1004), kYes = Button(IDYES, 1005),
                        kNo = Button(IDNO, 1006), kHelp = Button(IDHELP, 1007);

struct ButtonSet {
    int count;
    std::uint32_t buttons[3];
};
constexpr ButtonSet kButtonSets[6] = {
    {1, {kOk}},                     // MB_OK
    {2, {kOk, kCancel}},            // MB_OKCANCEL
    {3, {kAbort, kRetry, kIgnore}}, // MB_ABORTRETRYIGNORE
    {3, {kYes, kNo, kCancel}},      // MB_YESNOCANCEL
    {2, {kYes, kNo}},               // MB_YESNO
    {2, {kRetry, kCancel}},         // MB_RETRYCANCEL
};

HICON IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_HAND));
    case MB_ICONQUESTION: return LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_QUESTION));
    case MB_ICONEXCLAMATION: return LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_EXCLAMATION));
    case MB_ICONASTERISK: return LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_ASTERISK));
    default: return nullptr;
    }
}

void FillParams(MessageBoxParams& p, const char* text, const char* caption, UINT type) {
    p.text = text ? text : "";
    p.caption = caption ? caption : "Error";
    p.type = type;
    p.icon = IconOf(type);
    const unsigned set = type & MB_TYPEMASK;
    const ButtonSet& buttons = kButtonSets[set < std::size(kButtonSets) ? set : 0];
    p.buttonCount = 0;
    for (int i = 0; i < buttons.count; ++i) p.buttons[p.buttonCount++] = buttons.buttons[i];
    if (type & MB_HELP) p.buttons[p.buttonCount++] = kHelp;
    // MB_DEFBUTTON1..4; one beyond the buttons there are means the first.
    p.defaultIndex = static_cast<int>((type & MB_DEFMASK) >> 8);
    if (p.defaultIndex >= p.buttonCount) p.defaultIndex = 0;
}

BOOL CALLBACK KeepFirstWindow(HWND window, LPARAM found) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The owner of a task-modal box without an owner window: the last active
// popup of the thread's first window's top owner.
HWND FindThreadOwner() {
    HWND first = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), KeepFirstWindow, reinterpret_cast<LPARAM>(&first));
    if (!first) return nullptr;
    for (HWND owner = GetWindow(first, GW_OWNER); owner; owner = GetWindow(first, GW_OWNER)) first = owner;
    return GetLastActivePopup(first);
}

HWND OwnerByModality(HWND owner, UINT type) {
    switch (type & MB_MODEMASK) {
    case MB_SYSTEMMODAL: return nullptr;  // no owner to disable; the box is made topmost
    case MB_TASKMODAL: return owner ? GetLastActivePopup(owner) : FindThreadOwner();
    default:
        if (!owner) return nullptr;  // never another program's window
        if (HWND top = GetTopWindow(owner)) return top;
        return owner;
    }
}

HWND MakeChild(HWND dialog, const char* className, const char* text, DWORD style, int x, int y, int cx, int cy, int id) {
    return CreateWindowExA(0, className, text, style, x, y, cx, cy, dialog,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleHandle(), nullptr);
}

// Dialog units of the box: one horizontal and one vertical unit, and eight of each.
struct Units {
    int x, y, gapX, gapY;
};

Units UnitsOf(HWND dialog) {
    RECT units{1, 1, 8, 8};
    MapDialogRect(dialog, &units);
    return {units.left, units.top, units.right, units.bottom};
}

// The text's rectangle (at most two thirds of the screen wide, wider when the
// caption needs it) and the width the caption needs.
struct TextMeasure {
    RECT text;
    int captionWidth;
};

TextMeasure MeasureMessage(HWND dialog, const MessageBoxParams& p, HFONT font) {
    TextMeasure m{{0, 0, 2 * GetSystemMetrics(SM_CXSCREEN) / 3, 0}, 0};
    WindowDC dc(dialog);
    if (!dc) return m;
    SIZE extent{};
    {
        SelectGuard system(dc.get(), GetStockObject(SYSTEM_FONT));
        GetTextExtentPoint32A(dc.get(), p.caption, static_cast<int>(std::strlen(p.caption)), &extent);
    }
    m.captionWidth = extent.cx + 2 * GetSystemMetrics(SM_CXSMSIZE) + kCaptionMargin;
    if (m.captionWidth > m.text.right) m.text.right = m.captionWidth;
    SelectGuard selected(dc.get(), font);
    DrawTextA(dc.get(), p.text, -1, &m.text, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    return m;
}

// The icon at the top left; answers where the text starts.
int AddIcon(HWND dialog, const MessageBoxParams& p, const Units& u) {
    if (!p.icon) return u.gapX;
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    const HWND icon = MakeChild(dialog, "WKStatic", "", WS_CHILD | WS_VISIBLE | SS_ICON | SS_CENTERIMAGE | SS_REALSIZEIMAGE,
                                u.gapX, u.gapY, cx, cy, kIconId);
    if (icon) SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(p.icon), 0);
    return 2 * u.gapX + cx;
}

// The text, an owner-drawn static (DrawMessageText paints it).
void AddText(HWND dialog, const RECT& text, HFONT font) {
    if (const HWND label = MakeChild(dialog, "WKStatic", "", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, text.left, text.top,
                                     text.right - text.left, text.bottom - text.top, kTextId))
        SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
}

// The row of buttons at `y`, centred in `width`, captions from the string
// table; the default one gets the focus. Answers the default button's id.
int AddButtons(HWND dialog, const MessageBoxParams& p, int y, int width, const Units& u) {
    const int bw = kButtonWidthUnits * u.x, bh = kButtonHeightUnits * u.y;
    const int row = p.buttonCount * bw + (p.buttonCount - 1) * u.gapX;
    int defaultId = IDOK;
    for (int i = 0; i < p.buttonCount; ++i) {
        const int command = LOWORD(p.buttons[i]);
        char caption[kCaptionChars] = "";
        LoadStringA(ModuleHandle(), HIWORD(p.buttons[i]), caption, kCaptionChars);
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CENTER | BS_VCENTER;
        if (i == p.defaultIndex) {
            style |= BS_DEFPUSHBUTTON;
            defaultId = command;
        }
        MakeChild(dialog, "WKButton", caption, style, (width - row) / 2 + i * (bw + u.gapX), y, bw, bh, command);
    }
    SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(defaultId), 0);
    if (HWND focus = GetDlgItem(dialog, defaultId)) SetFocus(focus);
    return defaultId;
}

// Grows the box by (dw, dh) and centres it on the screen; system-modal and
// topmost boxes go on top.
void PlaceBox(HWND dialog, int dw, int dh, bool topmost) {
    if (dw || dh) {
        RECT w;
        GetWindowRect(dialog, &w);
        const int width = w.right - w.left + dw, height = w.bottom - w.top + dh;
        SetWindowPos(dialog, topmost ? HWND_TOPMOST : nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, topmost ? 0 : SWP_NOZORDER);
    } else if (topmost) {
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

// WM_INITDIALOG: the box laid out from its caption and text.
BOOL InitMessageBox(HWND dialog, MessageBoxParams& p) {
    SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&p));
    SetWindowTextA(dialog, p.caption);
    const Units u = UnitsOf(dialog);
    RECT client;
    GetClientRect(dialog, &client);
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));

    TextMeasure m = MeasureMessage(dialog, p, font);
    RECT& text = m.text;
    OffsetRect(&text, AddIcon(dialog, p, u), u.gapY);
    AddText(dialog, text, font);

    // The box widens for the button row and the caption, and grows down to the buttons.
    const int row = p.buttonCount * kButtonWidthUnits * u.x + (p.buttonCount - 1) * u.gapX;
    const int y = text.bottom + 2 * u.gapY, bh = kButtonHeightUnits * u.y;
    if (text.right < row + 2 * u.gapX) text.right = row + 2 * u.gapX;
    int dw = client.right <= u.gapX + text.right ? text.right + u.gapX - client.right : 0;
    if (client.right + dw < m.captionWidth) dw = m.captionWidth - client.right;
    AddButtons(dialog, p, y, client.right + dw, u);

    const int dh = client.bottom <= y + bh + u.gapY ? y + bh + u.gapY - client.bottom : 0;
    PlaceBox(dialog, dw, dh, (p.type & (MB_SYSTEMMODAL | MB_TOPMOST)) != 0);
    SetForegroundWindow(dialog);
    return FALSE;  // the focus was set
}

BOOL DrawMessageText(HWND dialog, const DRAWITEMSTRUCT& item) {
    const auto* p = reinterpret_cast<const MessageBoxParams*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (!p) return FALSE;
    SelectGuard font(item.hDC, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    BkModeGuard mode(item.hDC, TRANSPARENT);
    TextColorGuard colour(item.hDC, SkinColorAt(skin::kTextColor));
    RECT r = item.rcItem;
    DrawTextA(item.hDC, p->text, -1, &r, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    return TRUE;
}

LRESULT SendHelp(HWND dialog) {
    HELPINFO help{};
    help.cbSize = sizeof help;
    help.iContextType = HELPINFO_WINDOW;
    help.iCtrlId = 0;
    help.hItemHandle = dialog;
    help.dwContextId = 0;
    GetCursorPos(&help.MousePos);
    return SendMessageA(GetParent(dialog), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
}

INT_PTR CALLBACK MessageBoxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return InitMessageBox(dialog, *reinterpret_cast<MessageBoxParams*>(lParam));
    case WM_DRAWITEM:
        if (wParam != kTextId) return FALSE;
        return DrawMessageText(dialog, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND: {
        const int command = LOWORD(wParam);
        if (command >= IDOK && command <= IDNO) {
            EndDialog(dialog, command);
            return TRUE;
        }
        if (command == IDHELP) return static_cast<INT_PTR>(SendHelp(dialog));
        return FALSE;
    }
    default: return FALSE;
    }
}

}  // namespace
}  // namespace kelmard

extern "C" KELMARD_API int QVRAPI WKMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    using namespace kelmard;
    MessageBoxParams params{};
    FillParams(params, text, caption, type);
    const HWND dialogOwner = OwnerByModality(owner, type);
    KTRACE("WKMessageBox: type %x, %d buttons\n", type, params.buttonCount);
    return static_cast<int>(DialogBoxFromResource(ModuleHandle(), MAKEINTRESOURCEA(kMessageBoxTemplate), dialogOwner,
                                                  MessageBoxDlgProc, reinterpret_cast<LPARAM>(&params)));
}
