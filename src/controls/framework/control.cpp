// WKControl and the static window procedure of the control classes.
#include "controls/framework/control.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "controls/framework/draw.h"
#include "owners/win32_owners.h"

namespace kelmard {

namespace {

// The system class's procedure of a superclass row: saved at registration,
// else looked up.
WNDPROC SystemProcedureOf(const ControlClass& row) {
    if (row.kind != ClassKind::Superclass) return nullptr;
    if (row.systemProcedure) return row.systemProcedure;
    WNDCLASSA wc{};
    return row.systemClass && GetClassInfoA(nullptr, row.systemClass, &wc) ? wc.lpfnWndProc : nullptr;
}

// A title given as an ordinal (a resource id, or 0xFF and the id as in
// dialog templates) is no text.
constexpr unsigned char kOrdinalTitleMark = 0xFF;

}  // namespace

WKControl::WKControl(HWND window)
    : window_(window), parent_(GetParent(window)), id_(GetDlgCtrlID(window)), skin_(&SharedSkin()) {}

WKControl::WKControl(HWND window, const ControlClass& row) : WKControl(window) {
    systemProcedure_ = SystemProcedureOf(row);
}

WKControl::~WKControl() = default;

LRESULT WKControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY: return OnDestroy();
    case WM_SIZE: return OnSize(wParam, lParam);
    case WM_SETFOCUS: return OnSetFocus(reinterpret_cast<HWND>(wParam));
    case WM_KILLFOCUS: return OnKillFocus(reinterpret_cast<HWND>(wParam));
    case WM_ENABLE: return OnEnable(wParam);
    case WM_SETTEXT: return OnSetText(reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT: return GetText(wParam, lParam);
    case WM_GETTEXTLENGTH: return textLength_;
    case WM_PAINT: return OnPaint();
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_SETFONT: return OnSetFont(reinterpret_cast<HFONT>(wParam), lParam);
    case WM_NCPAINT: return OnNcPaint(wParam);
    case WM_NCACTIVATE: return OnNcActivate(wParam);
    case WM_GETDLGCODE: return dialogCode_;
    case WM_KEYDOWN: return OnKeyDown(wParam, lParam);
    case WM_KEYUP: return OnKeyUp(wParam, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN: return OnLButtonDown(wParam, lParam);
    case WM_LBUTTONUP: return OnLButtonUp(wParam, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT WKControl::OnCreate(const CREATESTRUCTA* create) {
    const char* name = create ? create->lpszName : nullptr;
    if (IS_INTRESOURCE(name) || static_cast<unsigned char>(name[0]) == kOrdinalTitleMark) name = nullptr;
    OnSetText(name);
    NotifyParent(WM_CREATE);
    return 0;
}

LRESULT WKControl::OnDestroy() {
    NotifyParent(WM_DESTROY);
    return 0;
}

LRESULT WKControl::OnSize(WPARAM, LPARAM) { return 1; }
LRESULT WKControl::OnPaint() {
    // Nothing to paint, but the update region is validated: a region left
    // invalid would bring WM_PAINT back for ever.
    PaintDC validate(window_);
    return 1;
}
LRESULT WKControl::OnNcPaint(WPARAM region) { return PaintClientEdge(region, true); }
LRESULT WKControl::OnNcActivate(WPARAM) { return PaintClientEdge(0, false); }
LRESULT WKControl::OnEraseBkgnd(HDC) { return 1; }

LRESULT WKControl::OnSetFocus(HWND) {
    focus_ = 1;
    return 1;
}

LRESULT WKControl::OnKillFocus(HWND) {
    focus_ = 0;
    return 1;
}

LRESULT WKControl::OnEnable(WPARAM) { return 1; }
LRESULT WKControl::OnKeyUp(WPARAM, LPARAM) { return 1; }
LRESULT WKControl::OnKeyDown(WPARAM, LPARAM) { return 1; }
LRESULT WKControl::OnMouseMove(WPARAM, LPARAM) { return 0; }
LRESULT WKControl::OnLButtonDown(WPARAM, LPARAM) { return 0; }
LRESULT WKControl::OnLButtonUp(WPARAM, LPARAM) { return 0; }

LRESULT WKControl::OnSetText(const char* text) {
    text_.reset();
    textLength_ = 0;
    const std::size_t length = text ? std::strlen(text) : 0;
    if (length >= static_cast<std::size_t>(INT_MAX)) return 0;  // the length and terminator fit an int
    std::unique_ptr<char[]> copy(new (std::nothrow) char[length + 1]);
    if (!copy) return 0;
    if (length) std::memcpy(copy.get(), text, length);
    copy[length] = '\0';
    text_ = std::move(copy);
    textLength_ = static_cast<int>(length);
    return 1;
}

LRESULT WKControl::OnSetFont(HFONT font, LPARAM redraw) {
    font_ = font;
    if (redraw) Redraw();
    return 0;
}

LRESULT WKControl::GetText(WPARAM size, LPARAM buffer) const {
    // No text, no room or no buffer: nothing is written.
    char* out = reinterpret_cast<char*>(buffer);
    if (!text_ || size == 0 || !out) return 0;
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(textLength_), size - 1);
    std::memcpy(out, text_.get(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

void WKControl::NotifyParent(UINT event) {
    if (!parent_) return;
    // The control id in the high word, the low word of the window handle in the low word.
    const auto handleLow = LOWORD(reinterpret_cast<UINT_PTR>(window_));
    SendMessageA(parent_, WM_PARENTNOTIFY, event,
                 static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(handleLow, static_cast<WORD>(id_)))));
}

void WKControl::NotifyCommand(WORD code) {
    if (!parent_) return;
    SendMessageA(parent_, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id_), code), reinterpret_cast<LPARAM>(window_));
}

void WKControl::NotifyCommandPoint(WORD code, int x, int y) {
    if (!parent_) return;
    SendMessageA(parent_, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id_), code),
                 static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y)))));
}

void WKControl::NotifyScroll(bool vertical, WORD code, WORD position) {
    if (!parent_) return;
    SendMessageA(parent_, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, position),
                 reinterpret_cast<LPARAM>(window_));
}

LRESULT WKControl::NotifyHeader(UINT code) {
    if (!parent_) return 0;
    NMHDR header{window_, static_cast<UINT_PTR>(id_), code};
    return SendMessageA(parent_, WM_NOTIFY, static_cast<WPARAM>(id_), reinterpret_cast<LPARAM>(&header));
}

LRESULT WKControl::PassDroppedFiles(WPARAM drop) {
    return parent_ ? SendMessageA(parent_, WM_DROPFILES, drop, reinterpret_cast<LPARAM>(window_)) : 0;
}

LRESULT WKControl::CallSystem(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (systemProcedure_) return CallWindowProcA(systemProcedure_, window, message, wParam, lParam);
    return WKControl::WindowProc(window, message, wParam, lParam);
}

LRESULT WKControl::SkinBorderOverSystem(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DefWindowProcA(window, message, wParam, lParam);
    return message == WM_NCPAINT ? OnNcPaint(wParam) : OnNcActivate(wParam);
}

LRESULT WKControl::PaintClientEdge(WPARAM region, bool useRegion) {
    const LONG_PTR exStyle = GetWindowLongPtrA(window_, GWL_EXSTYLE);
    if (!(exStyle & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME)))
        return DefWindowProcA(window_, useRegion ? WM_NCPAINT : WM_NCACTIVATE, 0, 0);
    // WM_NCPAINT's region 1 stands for the whole window.
    constexpr WPARAM kWholeWindow = 1;
    WindowDC dc(window_, (!useRegion || region == kWholeWindow)
                             ? GetWindowDC(window_)
                             : GetDCEx(window_, reinterpret_cast<HRGN>(region),
                                       DCX_WINDOW | DCX_CACHE | DCX_INTERSECTRGN));
    if (!dc) return 0;
    RECT rect;
    GetWindowRect(window_, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    DrawSkinFrame(dc.get(), &rect, &skin_->frames[skin::kClientEdgeFrame], kAllSides);
    return 0;
}

HFONT WKControl::ControlFont() {
    if (!font_ && parent_) font_ = reinterpret_cast<HFONT>(SendMessageA(parent_, WM_GETFONT, 0, 0));
    return font_;
}

void WKControl::Redraw() {
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

// ---------------------------------------------------------------- classes

ATOM RegisterOwnClass(HINSTANCE instance, const char* name, WNDPROC procedure, UINT style) {
    WNDCLASSA wc{};
    wc.style = style | CS_GLOBALCLASS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

ATOM RegisterSuperclass(HINSTANCE instance, const char* name, WNDPROC procedure, const char* systemClass,
                        WNDPROC* systemProcedure) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, systemClass, &wc)) return 0;
    if (systemProcedure) *systemProcedure = wc.lpfnWndProc;
    wc.style |= CS_GLOBALCLASS;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra += static_cast<int>(sizeof(LONG_PTR));
    wc.hInstance = instance;
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

namespace {

// Where a superclass window keeps its object: the last pointer-sized slot of
// the window extra.
int ObjectSlotOffset(HWND window) {
    return static_cast<int>(GetClassLongA(window, GCL_CBWNDEXTRA)) - static_cast<int>(sizeof(LONG_PTR));
}

void StoreControl(HWND window, const ControlClass& row, WKControl* object) {
    const auto value = reinterpret_cast<LONG_PTR>(object);
    if (row.kind == ClassKind::Own) {
        SetWindowLongPtrA(window, GWLP_USERDATA, value);
    } else {
        const int offset = ObjectSlotOffset(window);
        if (offset >= 0) SetWindowLongPtrA(window, offset, value);
    }
}

// With no object attached: superclasses let the system class answer (it also
// sees the WM_NCDESTROY that frees its own state); own classes answer 0.
LRESULT Unattached(const ControlClass& row, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (row.kind == ClassKind::Superclass && row.systemProcedure)
        return CallWindowProcA(row.systemProcedure, window, message, wParam, lParam);
    return 0;
}

}  // namespace

WKControl* AttachedControl(HWND window, const ControlClass& row) {
    if (row.kind == ClassKind::Own) return reinterpret_cast<WKControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const int offset = ObjectSlotOffset(window);
    return offset >= 0 ? reinterpret_cast<WKControl*>(GetWindowLongPtrA(window, offset)) : nullptr;
}

LRESULT RunControlProc(ControlClass& row, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WKControl* object = AttachedControl(window, row);
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (!object && create && row.make) object = row.make(window, *create);
        if (!object) return 0;  // the window is not created
        StoreControl(window, row, object);
        return object->WindowProc(window, message, wParam, lParam);
    }
    case WM_DESTROY:
    case WM_NCDESTROY: {
        // WM_NCDESTROY finds an object only when creation failed after
        // WM_NCCREATE (no WM_DESTROY came): it is freed then.
        if (!object) return Unattached(row, window, message, wParam, lParam);
        const LRESULT result = object->WindowProc(window, message, wParam, lParam);
        if (IsWindow(window)) StoreControl(window, row, nullptr);
        delete object;
        return result;
    }
    default:
        if (!object) return Unattached(row, window, message, wParam, lParam);
        return object->WindowProc(window, message, wParam, lParam);
    }
}

}  // namespace kelmard
