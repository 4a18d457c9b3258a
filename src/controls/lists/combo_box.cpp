// "WKComboBox": the skinned combo box.
#include "controls/lists/combo_box.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "controls/framework/draw.h"
#include "controls/lists/edit.h"
#include "controls/lists/list_box.h"

namespace kelmard {
namespace {

using combo::Kind;

// Bit 29 of a key message's flags: Alt is held.
constexpr LPARAM kAltDown = 0x20000000;
// Above and below the text when the height comes from the font.
constexpr int kTextMargin = 3;
// The list's placement when it opens: topmost, not activated, its old bits not copied.
constexpr UINT kDropFlags = SWP_NOACTIVATE | SWP_NOCOPYBITS;

WKComboBox* ComboOf(HWND child) {
    return static_cast<WKComboBox*>(AttachedControl(GetParent(child), kComboBoxClass));
}

// The edit child's procedure: the combo sees its keys and focus first.
LRESULT CALLBACK EditChildProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (WKComboBox* combo = ComboOf(edit)) return combo->EditWindowProc(edit, message, wParam, lParam);
    return CallWindowProcA(kEditClass.procedure, edit, message, wParam, lParam);
}

LRESULT CallEdit(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(kEditClass.procedure, edit, message, wParam, lParam);
}

Rect ClientToScreenRect(HWND window, const Rect& r) {
    RECT out = ToRECT(r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&out), 2);
    return FromRECT(out);
}

bool Contains(const Rect& r, LPARAM point) {
    const int x = static_cast<short>(LOWORD(point)), y = static_cast<short>(HIWORD(point));
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

WKComboBox::WKComboBox(HWND window) : WKControl(window) {
    const DWORD style = Style();
    kind_ = combo::KindOf(style);
    enabled_ = (style & WS_DISABLED) == 0;
    dialogCode_ = DLGC_WANTARROWS;
    SetWindowLongA(window_, GWL_STYLE, static_cast<LONG>(style & ~combo::kDroppedStyleBits));
    SetWindowLongA(window_, GWL_EXSTYLE, GetWindowLongA(window_, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
}

WKComboBox::~WKComboBox() = default;  // the children and the icon go with their owners

LRESULT WKComboBox::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const combo::ListForward forward = combo::ListMessageFor(message);
    if (forward.message) {
        if (forward.selectionFollows) return ForwardToList(forward.message, wParam, lParam);
        return list_ ? SendMessageA(list_.get(), forward.message, wParam, lParam) : CB_ERR;
    }
    switch (message) {
    case WM_SETTEXT: case WM_GETTEXT: case WM_GETTEXTLENGTH: return OnText(message, wParam, lParam);
    case WM_CUT: case WM_COPY: case WM_PASTE: case WM_CLEAR: return OnEditMessage(message, wParam, lParam);
    case WM_ACTIVATEAPP:
        if (list_) SendMessageA(list_.get(), message, wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_WINDOWPOSCHANGING: return OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
    case WM_WINDOWPOSCHANGED: return OnWindowPosChanged(reinterpret_cast<const WINDOWPOS*>(lParam));
    case WM_HELP: return OnHelp(lParam);
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORSTATIC:
        return parent_ ? SendMessageA(parent_, message, wParam, lParam) : 0;
    case WM_GETDLGCODE: return DialogCode(lParam) | (edit_ ? 0 : DLGC_WANTCHARS);
    case WM_CHAR:
        // A drop-down list selects by typing, as its list does.
        if (edit_ || !list_ || wParam < 0x20) return WKControl::WindowProc(window, message, wParam, lParam);
        keyToList_ = true;
        SendMessageA(list_.get(), WM_CHAR, wParam, lParam);
        keyToList_ = false;
        return 0;
    case WM_SYSKEYDOWN: return OnSysKeyDown(wParam, lParam);
    case WM_CAPTURECHANGED: return OnCaptureChanged();
    case kComboHandOverMouse: return OnHandOverMouse();
    case CB_GETEDITSEL: return OnEditMessage(EM_GETSEL, wParam, lParam);
    case CB_LIMITTEXT: return OnEditMessage(EM_LIMITTEXT, wParam, lParam);
    case CB_SETEDITSEL:
        return OnEditMessage(EM_SETSEL, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    case CB_SELECTSTRING: return OnSelectString(wParam, lParam);
    case CB_SHOWDROPDOWN:
        if (wParam) Open(true);
        else Close(Ending::kCancel);
        return TRUE;
    case CB_GETDROPPEDCONTROLRECT: return OnGetDroppedControlRect(lParam);
    case CB_SETEXTENDEDUI:
        if (kind_ == Kind::kSimple) return CB_ERR;
        extendedUi_ = wParam != 0;
        return CB_OKAY;
    case CB_GETEXTENDEDUI: return extendedUi_;
    case CB_GETDROPPEDSTATE: return open_;
    case CB_GETDROPPEDWIDTH: return droppedWidth_ ? droppedWidth_ : layout_.list.width();
    case CB_SETDROPPEDWIDTH: return OnSetDroppedWidth(wParam);
    case CB_GETCOMBOBOXINFO: return OnGetComboBoxInfo(lParam);
    default:
        // The combo box messages it does not handle: the system's "not done".
        if (message >= CB_GETEDITSEL && message < CB_MSGMAX) return CB_ERR;
        return WKControl::WindowProc(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- creation

LRESULT WKComboBox::OnCreate(const CREATESTRUCTA* create) {
    full_ = {create ? create->cx : 0, create ? create->cy : 0};
    UpdateLayout();
    const DWORD style = Style();
    const bool simple = kind_ == Kind::kSimple;
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
    const Rect at = simple ? layout_.list : ClientToScreenRect(window_, layout_.list);
    list_.reset(CreateWindowExA(simple ? WS_EX_CLIENTEDGE : WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "WKListBox", "",
                                combo::ListStyle(style), at.left, at.top, at.width(), at.height(), window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboListId)), instance, nullptr));
    if (kind_ != Kind::kDropDownList) {
        const Rect& t = layout_.text;
        edit_.reset(CreateWindowExA(simple ? WS_EX_CLIENTEDGE : 0, "WKEdit", "", combo::EditStyle(style), t.left,
                                    t.top, t.width(), t.height(), window_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboEditId)), instance, nullptr));
        if (edit_) SetWindowLongPtrA(edit_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditChildProc));
    }
    if (simple) {
        if (list_) ShowWindow(list_.get(), SW_SHOWNORMAL);
    } else {
        if (list_) SetParent(list_.get(), GetDesktopWindow());
        arrow_.reset(CreateArrowIcon(layout_.button.width() / 2, layout_.button.height() / 2, kArrowDown));
        SetWindowPos(window_, nullptr, 0, 0, layout_.closed.cx, layout_.closed.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    NotifyParent(WM_CREATE);
    return 0;
}

LRESULT WKComboBox::OnDestroy() {
    open_ = false;
    edit_.reset();
    list_.reset();
    NotifyParent(WM_DESTROY);
    return 0;
}

// ---------------------------------------------------------------- layout

int WKComboBox::LineHeight() {
    RECT units{0, 1, 0, 10};
    if (parent_ && MapDialogRect(parent_, &units) && units.bottom > 0) return units.bottom;
    // Not in a dialog made from a template: the font's height and a margin.
    WindowDC dc(window_);
    SelectGuard font(dc.get(), ControlFont());
    TEXTMETRICA metrics{};
    if (dc && GetTextMetricsA(dc.get(), &metrics) && metrics.tmHeight > 0) return metrics.tmHeight + kTextMargin;
    return MulDiv(10, HIWORD(GetDialogBaseUnits()), 8);
}

void WKComboBox::UpdateLayout() {
    layout_ = combo::LayoutFor(kind_, {full_, LineHeight(), GetSystemMetrics(SM_CXHTHUMB), droppedWidth_});
}

LRESULT WKComboBox::OnWindowPosChanging(WINDOWPOS* position) {
    if (!position || (position->flags & SWP_NOSIZE)) return 0;
    const combo::Sizing sizing = combo::SizeRequest(kind_, {position->cx, position->cy}, layout_.closed);
    if (!sizing.remember) return 0;
    full_ = {position->cx, position->cy};
    UpdateLayout();
    position->cx = sizing.apply.cx;
    position->cy = sizing.apply.cy;
    return 0;
}

LRESULT WKComboBox::OnWindowPosChanged(const WINDOWPOS* position) {
    if (position && (position->flags & SWP_NOSIZE)) return 0;  // null: place the children anyway
    const Rect& t = layout_.text;
    constexpr UINT kPlace = SWP_NOZORDER | SWP_NOACTIVATE;
    if (edit_) SetWindowPos(edit_.get(), nullptr, t.left, t.top, t.width(), t.height(), kPlace);
    if (list_ && kind_ == Kind::kSimple) {
        const Rect& l = layout_.list;
        SetWindowPos(list_.get(), nullptr, l.left, l.top, l.width(), l.height(), kPlace);
    }
    return 0;
}

LRESULT WKComboBox::OnSetDroppedWidth(WPARAM width) {
    droppedWidth_ = static_cast<int>(std::min<WPARAM>(width, 0x7FFF));
    UpdateLayout();
    return layout_.list.width();
}

LRESULT WKComboBox::OnGetDroppedControlRect(LPARAM out) const {
    // From the combo's top-left corner to the list's bottom-right corner, on the screen.
    auto* rect = reinterpret_cast<RECT*>(out);
    if (!rect) return CB_OKAY;
    const Rect whole{0, 0, layout_.list.right, std::max(layout_.list.bottom, layout_.closed.cy)};
    *rect = ToRECT(ClientToScreenRect(window_, whole));
    return CB_OKAY;
}

LRESULT WKComboBox::OnGetComboBoxInfo(LPARAM out) const {
    auto* info = reinterpret_cast<COMBOBOXINFO*>(out);
    if (!info || info->cbSize < sizeof(COMBOBOXINFO)) return FALSE;
    info->rcItem = ToRECT(layout_.text);
    info->rcButton = ToRECT(layout_.button);
    info->stateButton = (pressedLook_ ? STATE_SYSTEM_PRESSED : 0) |
                        (kind_ == Kind::kSimple ? STATE_SYSTEM_INVISIBLE : 0);
    info->hwndCombo = window_;
    info->hwndItem = edit_.get();
    info->hwndList = list_.get();
    return TRUE;
}

// ---------------------------------------------------------------- the list and the text

int WKComboBox::ListSelection() const {
    return list_ ? static_cast<int>(SendMessageA(list_.get(), LB_GETCURSEL, 0, 0)) : -1;
}

LRESULT WKComboBox::ForwardToList(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!list_) return CB_ERR;
    const LRESULT answer = SendMessageA(list_.get(), message, wParam, lParam);
    remembered_ = ListSelection();
    SetSelText(remembered_);
    return answer;
}

LRESULT WKComboBox::OnSelectString(WPARAM start, LPARAM text) {
    if (!list_) return CB_ERR;
    const LRESULT found = SendMessageA(list_.get(), LB_SELECTSTRING, start, text);
    if (found >= 0) {
        remembered_ = static_cast<int>(found);
        SetSelText(remembered_);
    }
    return found;
}

void WKComboBox::SetSelText(int index) {
    selText_.Clear();
    if (list_ && index >= 0) {
        const LRESULT length = SendMessageA(list_.get(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        // A buffer that cannot grow keeps its old memory and shows no text.
        if (length >= 0 && selText_.Reserve(static_cast<std::size_t>(length)) &&
            SendMessageA(list_.get(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(selText_.data())) < 0)
            selText_.Clear();
    }
    if (edit_) {
        settingText_ = true;
        SetWindowTextA(edit_.get(), selText_.c_str());
        settingText_ = false;
        SendMessageA(edit_.get(), EM_SETSEL, 0, -1);
    } else {
        Redraw();
    }
}

void WKComboBox::TakeListSelection() {
    remembered_ = ListSelection();
    SetSelText(remembered_);
}

void WKComboBox::SyncListToEdit() {
    if (!edit_ || !list_ || !open_) return;
    const int length = GetWindowTextLengthA(edit_.get());
    std::unique_ptr<char[]> text(new (std::nothrow) char[static_cast<std::size_t>(length) + 1]);
    if (!text) return;
    GetWindowTextA(edit_.get(), text.get(), length + 1);
    const LRESULT found = SendMessageA(list_.get(), LB_FINDSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.get()));
    SendMessageA(list_.get(), LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    if (found < 0) SendMessageA(list_.get(), LB_SETTOPINDEX, 0, 0);
}

LRESULT WKComboBox::OnText(UINT message, WPARAM wParam, LPARAM lParam) {
    if (edit_) {
        settingText_ = message == WM_SETTEXT;  // as the program's own change: no CBN_EDIT* notifications
        const LRESULT answer = SendMessageA(edit_.get(), message, wParam, lParam);
        settingText_ = false;
        return answer;
    }
    // A drop-down list: its text is the selected item's, which a program cannot set.
    if (message == WM_SETTEXT) return CB_ERR;
    const std::size_t length = std::strlen(selText_.c_str());
    if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(length);
    char* out = reinterpret_cast<char*>(lParam);
    if (!out || wParam == 0) return 0;
    const std::size_t n = std::min<std::size_t>(length, wParam - 1);
    std::memcpy(out, selText_.c_str(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT WKComboBox::OnEditMessage(UINT editMessage, WPARAM wParam, LPARAM lParam) {
    return edit_ ? SendMessageA(edit_.get(), editMessage, wParam, lParam) : CB_ERR;
}

// ---------------------------------------------------------------- opening and closing

void WKComboBox::Open(bool listTakesMouse) {
    if (kind_ == Kind::kSimple || !list_ || open_) return;
    const HWND self = window_;
    NotifyCommand(CBN_DROPDOWN);  // the parent may fill the list now
    if (!IsWindow(self) || open_ || !list_) return;
    open_ = true;
    const long count = static_cast<long>(SendMessageA(list_.get(), LB_GETCOUNT, 0, 0));
    const long itemHeight = static_cast<long>(SendMessageA(list_.get(), LB_GETITEMHEIGHT, 0, 0));
    const Rect room = ClientToScreenRect(window_, layout_.list);
    const int height = combo::DroppedHeight(room.height(), count, itemHeight);
    SetWindowPos(list_.get(), HWND_TOPMOST, room.left, room.top, room.width(), height, kDropFlags);
    ShowWindow(list_.get(), SW_SHOWNOACTIVATE);
    SyncListToEdit();
    if (kind_ == Kind::kDropDownList) Redraw();
    SendMessageA(list_.get(), kListSetComboMode, listTakesMouse ? 1 : 0, 0);
}

void WKComboBox::Close(Ending ending) {
    if (!open_) return;
    const HWND self = window_;
    const int before = remembered_;
    if (ending == Ending::kCommit) {
        // With no item selected the typed text stays: there is nothing to choose.
        const int chosen = ListSelection();
        if (chosen >= 0 || !edit_) remembered_ = chosen;
        if (remembered_ != before) SetSelText(remembered_);
    } else {
        // Back to what the parent last heard of: the list's selection and the text.
        SendMessageA(list_.get(), LB_SETCURSEL, static_cast<WPARAM>(remembered_), 0);
        if (remembered_ >= 0) SetSelText(remembered_);
    }
    NotifyCommand(ending == Ending::kCommit ? CBN_SELENDOK : CBN_SELENDCANCEL);
    if (!IsWindow(self) || !open_) return;  // the parent closed or destroyed it meanwhile
    open_ = false;
    SendMessageA(list_.get(), kListSetComboMode, 0, 0);
    ShowWindow(list_.get(), SW_HIDE);
    if (kind_ == Kind::kDropDownList) Redraw();
    NotifyCommand(CBN_CLOSEUP);
    if (IsWindow(self) && ending == Ending::kCommit && remembered_ != before) NotifyCommand(CBN_SELCHANGE);
}

void WKComboBox::ToggleDropDown() {
    if (kind_ == Kind::kSimple) return;
    if (open_) Close(Ending::kCancel);
    else Open(true);
}

LRESULT WKComboBox::OnCaptureChanged() {
    if (!tracking_) return 0;
    tracking_ = false;
    SetPressedLook(false);
    // The open list takes the mouse once the press is over; a list closed
    // meanwhile takes nothing.
    if (open_) PostMessageA(window_, kComboHandOverMouse, 0, 0);
    return 0;
}

LRESULT WKComboBox::OnHandOverMouse() {
    if (open_ && list_ && !tracking_) SendMessageA(list_.get(), kListSetComboMode, 1, 0);
    return 0;
}

// ---------------------------------------------------------------- children

LRESULT WKComboBox::OnCommand(WPARAM wParam, LPARAM lParam) {
    const HWND from = reinterpret_cast<HWND>(lParam);
    const WORD code = HIWORD(wParam);
    if (from && from == list_.get()) return OnListNotification(code);
    if (!from || from != edit_.get()) return WKControl::WindowProc(window_, WM_COMMAND, wParam, lParam);
    switch (code) {
    case EN_CHANGE:
        if (settingText_) return 0;
        // Typed text is no item: a closed list loses its selection.
        if (open_) SyncListToEdit();
        else if (list_) SendMessageA(list_.get(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        NotifyCommand(CBN_EDITCHANGE);
        return 0;
    case EN_UPDATE:
        if (!settingText_) NotifyCommand(CBN_EDITUPDATE);
        return 0;
    case EN_ERRSPACE: NotifyCommand(static_cast<WORD>(CBN_ERRSPACE)); return 0;
    default: return 0;  // the focus is followed in the edit's own procedure
    }
}

LRESULT WKComboBox::OnListNotification(WORD code) {
    switch (code) {
    case LBN_SELCHANGE:
        if (open_ && !keyToList_) {
            // A release over an item of the open list: the user chose it.
            Close(Ending::kCommit);
            return 0;
        }
        TakeListSelection();
        NotifyCommand(CBN_SELCHANGE);
        if (!open_) NotifyCommand(CBN_SELENDOK);
        return 0;
    case LBN_DBLCLK: NotifyCommand(CBN_DBLCLK); return 1;
    case LBN_SELCANCEL: Close(Ending::kCancel); return 0;
    case LBN_SETFOCUS: SetFocus(edit_ ? edit_.get() : window_); return 0;
    case static_cast<WORD>(LBN_ERRSPACE): NotifyCommand(static_cast<WORD>(CBN_ERRSPACE)); return 0;
    default: return 0;
    }
}

LRESULT WKComboBox::EditWindowProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE: {
        LRESULT code = CallEdit(edit, message, wParam, lParam);
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_KEYDOWN) code |= combo::DialogCode(open_, static_cast<std::uint32_t>(msg->wParam));
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_F4 || wParam == VK_UP || wParam == VK_DOWN || wParam == VK_RETURN || wParam == VK_ESCAPE)
            if (HandleKey(wParam, lParam)) return 0;
        return CallEdit(edit, message, wParam, lParam);
    case WM_SYSKEYDOWN:
        if ((lParam & kAltDown) && (wParam == VK_UP || wParam == VK_DOWN) && kind_ != Kind::kSimple) {
            ToggleDropDown();
            return 0;
        }
        return CallEdit(edit, message, wParam, lParam);
    case WM_CHAR:
        if (wParam == '\r' || wParam == '\x1b') return 0;  // the combo's keys, not the edit's text
        return CallEdit(edit, message, wParam, lParam);
    case WM_SETFOCUS: {
        const LRESULT answer = CallEdit(edit, message, wParam, lParam);
        CallEdit(edit, EM_SETSEL, 0, -1);
        SetFocusState(true);
        return answer;
    }
    case WM_KILLFOCUS: {
        const LRESULT answer = CallEdit(edit, message, wParam, lParam);
        if (reinterpret_cast<HWND>(wParam) != window_) SetFocusState(false);
        return answer;
    }
    default: return CallEdit(edit, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- keys

LRESULT WKComboBox::DialogCode(LPARAM message) const {
    const auto* msg = reinterpret_cast<const MSG*>(message);
    const std::uint32_t key = msg && msg->message == WM_KEYDOWN ? static_cast<std::uint32_t>(msg->wParam) : 0;
    return combo::DialogCode(open_, key);
}

bool WKComboBox::HandleKey(WPARAM key, LPARAM flags) {
    switch (key) {
    case VK_RETURN:
        if (!open_) return false;
        Close(Ending::kCommit);
        return true;
    case VK_ESCAPE:
        if (!open_) return false;
        Close(Ending::kCancel);
        return true;
    case VK_F4:
        if (kind_ == Kind::kSimple) return false;
        ToggleDropDown();
        return true;
    default:
        if (key < VK_SPACE || key > VK_DOWN || !list_) return false;
        keyToList_ = true;  // the selection it makes is reported, not chosen
        SendMessageA(list_.get(), WM_KEYDOWN, key, flags);
        keyToList_ = false;
        return true;
    }
}

LRESULT WKComboBox::OnKeyDown(WPARAM key, LPARAM flags) { return HandleKey(key, flags) ? 0 : 1; }

LRESULT WKComboBox::OnSysKeyDown(WPARAM key, LPARAM flags) {
    if ((flags & kAltDown) && (key == VK_UP || key == VK_DOWN) && kind_ != Kind::kSimple) {
        ToggleDropDown();
        return 0;
    }
    return DefWindowProcA(window_, WM_SYSKEYDOWN, key, flags);
}

// ---------------------------------------------------------------- focus and mouse

void WKComboBox::SetFocusState(bool focused) {
    if (focused == focused_) return;
    if (!focused) {
        const HWND self = window_;
        Close(Ending::kCancel);
        if (!IsWindow(self)) return;
    }
    focused_ = focused;
    NotifyCommand(focused ? CBN_SETFOCUS : CBN_KILLFOCUS);
}

LRESULT WKComboBox::OnSetFocus(HWND) {
    focus_ = 1;
    if (edit_) {
        // The edit holds the focus of an edit kind, also when a program
        // gives the combo the focus while its edit has it.
        SetFocus(edit_.get());
        return 0;
    }
    SetFocusState(true);
    Redraw();
    return 0;
}

LRESULT WKComboBox::OnKillFocus(HWND gaining) {
    focus_ = 0;
    if (gaining && (gaining == edit_.get() || gaining == list_.get())) return 0;
    const HWND self = window_;
    SetFocusState(false);
    if (!IsWindow(self)) return 0;
    SetPressedLook(false);
    Redraw();
    return 0;
}

LRESULT WKComboBox::OnEnable(WPARAM enabled) {
    if (edit_) EnableWindow(edit_.get(), static_cast<BOOL>(enabled));
    if (list_) EnableWindow(list_.get(), static_cast<BOOL>(enabled));
    enabled_ = enabled != 0;
    if (!enabled_) Close(Ending::kCancel);
    Redraw();
    return 0;
}

bool WKComboBox::InButton(LPARAM point) const { return Contains(layout_.button, point); }

void WKComboBox::SetPressedLook(bool pressed) {
    if (pressed == pressedLook_) return;
    pressedLook_ = pressed;
    RECT button = ToRECT(layout_.button);
    InvalidateRect(window_, &button, FALSE);
    UpdateWindow(window_);
}

LRESULT WKComboBox::OnLButtonDown(WPARAM, LPARAM point) {
    const HWND self = window_;
    if (!focused_) SetFocus(edit_ ? edit_.get() : window_);
    if (!IsWindow(self) || kind_ == Kind::kSimple || !enabled_) return 0;
    if (open_) {
        Close(Ending::kCancel);  // a press on the combo while its list is open
        return 0;
    }
    Open(false);
    if (!IsWindow(self) || !open_) return 0;
    tracking_ = true;
    SetCapture(window_);
    SetPressedLook(InButton(point));
    return 0;
}

LRESULT WKComboBox::OnMouseMove(WPARAM, LPARAM point) {
    if (!tracking_) return 0;
    SetPressedLook(InButton(point));
    RECT list;
    if (open_ && GetWindowRect(list_.get(), &list)) {
        POINT p{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
        ClientToScreen(window_, &p);
        if (PtInRect(&list, p)) ReleaseCapture();  // the list follows the pointer from here
    }
    return 0;
}

LRESULT WKComboBox::OnLButtonUp(WPARAM, LPARAM) {
    if (!tracking_) return 0;
    SetPressedLook(false);
    ReleaseCapture();
    return 0;
}

LRESULT WKComboBox::OnSetFont(HFONT font, LPARAM redraw) {
    if (edit_) SendMessageA(edit_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    if (list_) SendMessageA(list_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    font_ = font;
    // Outside a dialog the closed height follows the font.
    UpdateLayout();
    const Extent shown = kind_ == Kind::kSimple ? full_ : layout_.closed;
    SetWindowPos(window_, nullptr, 0, 0, shown.cx, shown.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    OnWindowPosChanged(nullptr);
    if (redraw) Redraw();
    return 0;
}

LRESULT WKComboBox::OnHelp(LPARAM info) {
    if (auto* help = reinterpret_cast<HELPINFO*>(info)) {
        help->iCtrlId = id_;
        help->hItemHandle = window_;
    }
    return DefWindowProcA(window_, WM_HELP, 0, info);
}

// ---------------------------------------------------------------- painting

void WKComboBox::PaintButton(HDC dc) {
    const unsigned look = !enabled_ ? kDisabledLook : pressedLook_ ? kPressedLook : kNormalLook;
    const ControlState state = MakeState(look, 0);
    RECT button = ToRECT(layout_.button);
    if (!DrawSkinFace(dc, &skin_->sprites[skin::kArrowButtonSprite], button, state)) {
        FillRect(dc, &button, skin_->brushes[enabled_ ? skin::kAlternateFaceBrush : skin::kFaceBrush]);
        Draw3DFrame(dc, skin_, &button, pressedLook_, enabled_);
    }
    if (pressedLook_) OffsetRect(&button, 1, 1);
    DrawSkinIcon(skin_, dc, button, arrow_.get(), state, true);
}

LRESULT WKComboBox::OnPaint() {
    PaintDC paint(window_);
    if (!paint || !IsWindowVisible(window_)) return 0;
    const HDC dc = paint.get();
    if (kind_ == Kind::kSimple) return 0;  // the edit and the list cover it
    RECT closed{0, 0, layout_.closed.cx, layout_.closed.cy};
    FillRect(dc, &closed, skin_->brushes[skin::kFieldBrush]);
    Draw3DFrame(dc, skin_, &closed, true, false);
    if (kind_ == Kind::kDropDownList) {
        RECT text = ToRECT(layout_.text);
        const bool highlighted = focus_ && enabled_ && !open_;
        if (highlighted) FillRect(dc, &text, skin_->brushes[skin::kSelectionBrush]);
        SelectGuard font(dc, ControlFont());
        BkModeGuard mode(dc, TRANSPARENT);
        TextColorGuard colour(dc, skin_->colors[!enabled_     ? skin::kGreyTextColor
                                               : highlighted ? skin::kHighlightTextColor
                                                             : skin::kTextColor]);
        RECT inner = text;
        InflateRect(&inner, -2, 0);
        DrawTextA(dc, selText_.c_str(), -1, &inner, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
        if (focus_) DrawSkinFocusRect(dc, &text);
    }
    PaintButton(dc);
    return 0;
}

// ---------------------------------------------------------------- class

ControlClass kComboBoxClass{"WKComboBox", ClassKind::Own, nullptr, ClassProc<kComboBoxClass>,
                            MakeControl<WKComboBox>, nullptr, nullptr};

}  // namespace kelmard
