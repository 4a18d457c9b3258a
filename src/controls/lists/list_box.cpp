// "WKListBox": the skinned list box and the pass-through object of the kinds
// the system list draws.
#include "controls/lists/list_box.h"

#include <algorithm>
#include <cstring>

#include "controls/framework/draw.h"

namespace kelmard {

const char* const kListScrollBarClass = "WKScrollBar";

namespace {

using listbox::kError;

constexpr LRESULT kNotHandled = 1;        // WM_KEYDOWN / WM_CHAR left to the caller
constexpr UINT_PTR kAutoScrollTimer = 1;  // steps the selection while dragging beyond the items
constexpr UINT_PTR kTypeAheadTimer = 2;   // empties the type-ahead buffer
constexpr UINT kTypeAheadResetMs = 2000;
constexpr int kAutoScrollFarthest = 100;  // pixels beyond the items at which auto-scroll is fastest
constexpr int kMaxItemHeight = 255;       // LB_SETITEMHEIGHT takes heights of 1 to 255
constexpr LRESULT kListDialogCode = DLGC_WANTARROWS | DLGC_WANTCHARS;

int SignedX(LPARAM point) { return static_cast<short>(LOWORD(point)); }
int SignedY(LPARAM point) { return static_cast<short>(HIWORD(point)); }
// Index parameters as the system list reads them: the whole signed word.
int IndexOf(WPARAM wParam) { return static_cast<int>(static_cast<INT_PTR>(wParam)); }

WKControl* MakeListBox(HWND window, const CREATESTRUCTA& create) {
    if (static_cast<DWORD>(create.style) & sys::kLbsSystemOnly) return new (std::nothrow) WKListBoxPassThrough(window);
    return new (std::nothrow) WKListBox(window);
}

}  // namespace

// ------------------------------------------------------------ pass-through

WKListBoxPassThrough::WKListBoxPassThrough(HWND window) : WKControl(window, kListBoxClass) {}

LRESULT WKListBoxPassThrough::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCPAINT:
    case WM_NCACTIVATE: return SkinBorderOverSystem(window, message, wParam, lParam);
    default: return CallSystem(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- the list

WKListBox::WKListBox(HWND window)
    : WKControl(window, kListBoxClass),
      enabled_(!(Style() & WS_DISABLED)),
      redraw_(!(Style() & sys::kLbsNoRedraw)),
      scrollStyle_((Style() & WS_VSCROLL) != 0) {
    dialogCode_ = kListDialogCode;
    // The platform draws no scroll bars of its own for the list.
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(Style() & ~(WS_VSCROLL | WS_HSCROLL)));
}

WKListBox::~WKListBox() = default;  // the scroll bar window, then the items

LRESULT WKListBox::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    switch (message) {
    case WM_CREATE: return OnCreateList(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_SETREDRAW: return OnSetRedraw(window, wParam);
    case WM_SHOWWINDOW: return OnShowWindow(window, wParam, lParam);
    case WM_CHAR: return OnChar(wParam);
    case WM_TIMER: return OnTimer(wParam);
    case WM_VSCROLL: return OnVScroll(wParam);
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(wParam, lParam);
    case WM_CAPTURECHANGED: return OnCaptureChanged(window, lParam);
    case LB_ADDSTRING: return AddString(text);
    case LB_INSERTSTRING: return InsertString(IndexOf(wParam), text);
    case LB_DELETESTRING: return DeleteString(IndexOf(wParam));
    case LB_RESETCONTENT: return ResetContent(), 0;
    case LB_SETCURSEL: return SetCurSel(IndexOf(wParam), false);
    case LB_GETCURSEL: return selection_;
    case LB_GETTEXT: return OnGetText(wParam, lParam);
    case LB_GETTEXTLEN: return OnGetTextLength(wParam);
    case LB_GETCOUNT: return items_.count();
    case LB_SELECTSTRING: return OnSelectString(wParam, lParam);
    case LB_GETTOPINDEX: return top_;
    case LB_FINDSTRING: return items_.Find(text, IndexOf(wParam), false);
    case LB_FINDSTRINGEXACT: return items_.Find(text, IndexOf(wParam), true);
    case LB_SETTOPINDEX: return OnSetTopIndex(wParam);
    case LB_GETITEMDATA: return OnGetItemData(wParam);
    case LB_SETITEMDATA: return OnSetItemData(wParam, lParam);
    case LB_GETITEMHEIGHT: return OnGetItemHeight();
    case LB_SETITEMHEIGHT: return OnSetItemHeight(lParam);
    case LB_GETSEL: return OnGetSel(wParam);
    case LB_SETSEL: return OnSetSel(wParam, lParam);
    case LB_GETCARETINDEX: return selection_ >= 0 ? selection_ : caret_;
    case LB_SETCARETINDEX: return OnSetCaretIndex(wParam);
    case LB_GETITEMRECT: return OnGetItemRect(wParam, lParam);
    case LB_ITEMFROMPOINT: return OnItemFromPoint(lParam);
    case kListSetComboMode: return SetComboMode(wParam);
    // The rest of the list messages concern kinds this list is not (several
    // selections, columns, tab stops, files): not done.
    case LB_SETCOUNT:
    case LB_GETSELCOUNT:
    case LB_GETSELITEMS:
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX:
    case LB_SETANCHORINDEX:
    case LB_GETANCHORINDEX:
    case LB_SETCOLUMNWIDTH:
    case LB_SETTABSTOPS:
    case LB_DIR:
    case LB_ADDFILE:
    case LB_INITSTORAGE: return LB_ERR;
    default: return WKControl::WindowProc(window, message, wParam, lParam);
    }
}

// ------------------------------------------------------------ layout

int WKListBox::MeasureItemHeight(HDC dc) {
    if (fixedItemHeight_ > 0) return fixedItemHeight_;
    TEXTMETRICA metrics{};
    if (dc) {
        GetTextMetricsA(dc, &metrics);
    } else {
        WindowDC client(window_);
        SelectGuard font(client.get(), ControlFont());
        GetTextMetricsA(client.get(), &metrics);
    }
    return std::max(static_cast<int>(metrics.tmHeight), 1);  // a font of no height still gives rows
}

void WKListBox::UpdateLayout(HDC dc) {
    const DWORD style = Style();
    RECT client;
    GetClientRect(window_, &client);
    area_ = FromRECT(client);
    rows_ = listbox::RowsFor(area_.height(), MeasureItemHeight(dc));
    if (!(style & sys::kLbsNoIntegralHeight) && rows_.partial) {
        const int height = listbox::IntegralHeight(area_.height(), rows_.itemHeight);
        if (height != area_.height()) {
            area_.bottom = area_.top + height;
            RECT wanted = ToRECT(area_);
            AdjustWindowRectEx(&wanted, style, FALSE, static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE)));
            SetWindowPos(window_, nullptr, 0, 0, wanted.right - wanted.left, wanted.bottom - wanted.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            rows_ = listbox::RowsFor(height, rows_.itemHeight);
        }
    }
    top_ = listbox::ClampTop(top_, items_.count(), rows_.rows);
    if (scrollStyle_) PlaceScrollBar(area_.height());
    layoutDirty_ = false;
}

void WKListBox::PlaceScrollBar(int height) {
    const int count = items_.count();
    if (rows_.rows >= count && !(Style() & sys::kLbsDisableNoScroll)) {
        scrollNeeded_ = false;
        if (scrollBar_) ShowWindow(scrollBar_.get(), SW_HIDE);
        return;
    }
    const int width = GetSystemMetrics(SM_CXVSCROLL);
    barRect_ = area_;
    barRect_.left = std::max(area_.right - width, area_.left);
    area_.right = barRect_.left;
    if (scrollBar_) {
        SetWindowPos(scrollBar_.get(), nullptr, barRect_.left, barRect_.top, barRect_.width(), height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
        scrollBar_.reset(CreateWindowExA(0, kListScrollBarClass, "", WS_CHILD | SBS_VERT, barRect_.left, barRect_.top,
                                         barRect_.width(), height, window_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListScrollBarId)), instance,
                                         nullptr));
    }
    if (!scrollBar_) return;
    const listbox::ScrollNumbers numbers = listbox::ScrollFor(count, top_, rows_);
    SCROLLINFO info{sizeof info, SIF_ALL, numbers.minimum, numbers.maximum, numbers.page, numbers.position, 0};
    SendMessageA(scrollBar_.get(), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
    scrollNeeded_ = numbers.enabled;
    ShowWindow(scrollBar_.get(), SW_SHOW);
    EnableWindow(scrollBar_.get(), scrollNeeded_ && enabled_);
}

void WKListBox::EnsureLayout() {
    if (layoutDirty_) UpdateLayout(nullptr);
}

bool WKListBox::GetItemRect(int index, RECT* rect) const {
    Rect r;
    if (!listbox::ItemRect(index, top_, items_.count(), rows_, area_, &r)) return false;
    *rect = ToRECT(r);
    return true;
}

void WKListBox::InvalidateItem(int index) {
    RECT rect;
    if (redraw_ && GetItemRect(index, &rect)) InvalidateRect(window_, &rect, FALSE);
}

// ------------------------------------------------------------ painting

bool WKListBox::DrawItemText(HDC dc, int index) {
    RECT rect;
    if (!GetItemRect(index, &rect)) return false;
    const listbox::Item& item = items_[index];
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    // Clipped always: a long text stays out of the scroll bar.
    ExtTextOutA(dc, rect.left + listbox::kTextIndent, rect.top, ETO_CLIPPED | ETO_OPAQUE, &rect, item.text.get(),
                static_cast<UINT>(item.length), nullptr);
    return true;
}

LRESULT WKListBox::OnPaint() {
    if (!IsWindowVisible(window_)) return 0;
    PaintDC dc(window_);
    if (!dc) return 0;
    SelectGuard font(dc.get(), ControlFont());
    if (layoutDirty_) UpdateLayout(dc.get());
    const RECT area = ToRECT(area_);
    FillRect(dc.get(), &area, skin_->brushes[skin::kFieldBrush]);
    BkModeGuard mode(dc.get(), OPAQUE);
    BkColorGuard background(dc.get(), skin_->colors[skin::kFieldColor]);
    TextColorGuard colour(dc.get(), skin_->colors[enabled_ ? skin::kTextColor : skin::kGreyTextColor]);
    const int last = listbox::LastVisible(top_, items_.count(), rows_);
    for (int i = top_; i <= last && DrawItemText(dc.get(), i);) ++i;
    if (selection_ >= 0 && !(Style() & sys::kLbsNoSel)) {
        SetBkColor(dc.get(), skin_->colors[enabled_ ? skin::kAlternateTextVariant2Color : skin::kGreyTextColor]);
        SetTextColor(dc.get(), skin_->colors[enabled_ ? skin::kHighlightTextColor : skin::kFieldColor]);
        DrawItemText(dc.get(), selection_);
    }
    RECT focus;
    if (focus_ && enabled_ && GetItemRect(selection_ >= 0 ? selection_ : caret_, &focus)) {
        SetTextColor(dc.get(), skin_->colors[skin::kAlternateTextColor]);
        SetBkColor(dc.get(), skin_->colors[skin::kTextColor]);
        DrawFocusRect(dc.get(), &focus);
    }
    return 0;
}

// ------------------------------------------------------------ selection and scrolling

void WKListBox::SetTopIndex(long long index) {
    EnsureLayout();
    // Kept in range whether or not a scroll bar shows: without one the
    // selection still scrolls into view.
    const int top = listbox::ClampTop(index, items_.count(), rows_.rows);
    if (top == top_) return;
    top_ = top;
    if (redraw_) {
        const RECT area = ToRECT(area_);
        InvalidateRect(window_, &area, FALSE);
    }
    if (scrollStyle_ && scrollBar_) SendMessageA(scrollBar_.get(), SBM_SETPOS, static_cast<WPARAM>(top_), TRUE);
}

int WKListBox::SetCurSel(int index, bool usePartial) {
    EnsureLayout();
    if (!listbox::IsItem(index, items_.count())) {
        if (index != -1) return kError;
        InvalidateItem(selection_);
        selection_ = -1;
    }
    const int top = listbox::TopToShow(index, top_, rows_, usePartial);
    if (top != top_) {
        SetTopIndex(top);
    } else if (index != selection_) {
        InvalidateItem(selection_);
        InvalidateItem(index);
    }
    if (index >= 0) caret_ = index;
    // The focus rectangle may have been around the caret.
    if (selection_ < 0 && index >= 0) InvalidateItem(caret_);
    selection_ = index;
    if (redraw_) UpdateWindow(window_);
    return index;
}

int WKListBox::SelectByUser(int index, bool usePartial) {
    const int previous = selection_;
    const int count = items_.count();
    SetCurSel(count ? std::clamp(index, 0, count - 1) : -1, usePartial);
    if (Style() & sys::kLbsNotify) Notify(LBN_SELCHANGE);
    return previous;
}

LRESULT WKListBox::OnSetTopIndex(WPARAM index) {
    // As the system list: any index is taken, kept within the items with the last page full.
    SetTopIndex(IndexOf(index));
    return 0;
}

// ------------------------------------------------------------ items

int WKListBox::InsertString(int index, const char* text) {
    if (!text) return kError;
    const int at = items_.Insert(listbox::IsItem(index, items_.count()) ? index : items_.count(), text);
    if (at == kError) {
        Notify(static_cast<WORD>(LBN_ERRSPACE));
        return LB_ERRSPACE;
    }
    layoutDirty_ = true;
    if (redraw_) InvalidateRect(window_, nullptr, FALSE);  // painted once after a run of inserts
    else scrollNeeded_ = scrollStyle_ && rows_.rows < items_.count();
    if (selection_ >= at) SetCurSel(selection_ + 1, false);
    return at;
}

int WKListBox::AddString(const char* text) {
    if (!text) return kError;
    return InsertString((Style() & sys::kLbsSort) ? items_.SortedPosition(text) : items_.count(), text);
}

int WKListBox::DeleteString(int index) {
    if (!items_.Remove(index)) return kError;
    selection_ = listbox::SelectionAfterRemove(selection_, index);
    caret_ = std::max(listbox::SelectionAfterRemove(caret_, index), 0);
    top_ = listbox::ClampTop(top_, items_.count(), rows_.rows);
    layoutDirty_ = true;
    if (redraw_) InvalidateRect(window_, nullptr, FALSE);
    return items_.count();
}

void WKListBox::ResetContent() {
    items_.Clear();
    top_ = 0;
    selection_ = -1;
    caret_ = 0;
    lastMatch_ = -1;
    layoutDirty_ = true;
    if (redraw_) Redraw();
}

LRESULT WKListBox::OnGetText(WPARAM index, LPARAM buffer) const {
    char* out = reinterpret_cast<char*>(buffer);
    if (!listbox::IsItem(IndexOf(index), items_.count()) || !out) return LB_ERR;
    const listbox::Item& item = items_[IndexOf(index)];
    std::memcpy(out, item.text.get(), static_cast<std::size_t>(item.length) + 1);
    return item.length;
}

LRESULT WKListBox::OnGetTextLength(WPARAM index) const {
    return listbox::IsItem(IndexOf(index), items_.count()) ? items_[IndexOf(index)].length : LB_ERR;
}

LRESULT WKListBox::OnGetItemData(WPARAM index) const {
    return listbox::IsItem(IndexOf(index), items_.count()) ? static_cast<LRESULT>(items_[IndexOf(index)].data) : LB_ERR;
}

LRESULT WKListBox::OnSetItemData(WPARAM index, LPARAM data) {
    if (!listbox::IsItem(IndexOf(index), items_.count())) return LB_ERR;
    items_[IndexOf(index)].data = static_cast<std::uintptr_t>(data);
    return TRUE;  // as the system list
}

LRESULT WKListBox::OnSelectString(WPARAM start, LPARAM text) {
    const int found = items_.Find(reinterpret_cast<const char*>(text), IndexOf(start), false);
    if (found != kError) SetCurSel(found, false);
    return found;
}

LRESULT WKListBox::OnGetItemHeight() {
    if (fixedItemHeight_ <= 0) rows_.itemHeight = MeasureItemHeight(nullptr);
    return fixedItemHeight_ > 0 ? fixedItemHeight_ : rows_.itemHeight;
}

LRESULT WKListBox::OnSetItemHeight(LPARAM height) {
    const int h = LOWORD(height);
    if (h < 1 || h > kMaxItemHeight) return LB_ERR;
    fixedItemHeight_ = h;
    layoutDirty_ = true;
    if (redraw_) Redraw();
    return 0;
}

LRESULT WKListBox::OnGetSel(WPARAM index) const {
    if (!listbox::IsItem(IndexOf(index), items_.count())) return LB_ERR;
    return IndexOf(index) == selection_ ? 1 : 0;
}

LRESULT WKListBox::OnSetSel(WPARAM select, LPARAM index) {
    // As the system's single-selection list: selecting an item makes it the
    // selection, deselecting the selection (or -1) leaves none.
    const int i = IndexOf(static_cast<WPARAM>(index));
    if (i != -1 && !listbox::IsItem(i, items_.count())) return LB_ERR;
    if (select) SetCurSel(i, false);
    else if (i == -1 || i == selection_) SetCurSel(-1, false);
    return 0;
}

LRESULT WKListBox::OnSetCaretIndex(WPARAM index) {
    const int i = IndexOf(index);
    if (!listbox::IsItem(i, items_.count()) || (Style() & sys::kLbsNoSel)) return LB_ERR;
    EnsureLayout();
    InvalidateItem(caret_);
    caret_ = i;
    SetTopIndex(listbox::TopToShow(i, top_, rows_, false));
    InvalidateItem(caret_);
    return 0;
}

LRESULT WKListBox::OnGetItemRect(WPARAM index, LPARAM rect) {
    auto* out = reinterpret_cast<RECT*>(rect);
    const int i = IndexOf(index);
    if (!listbox::IsItem(i, items_.count()) || !out) return LB_ERR;
    EnsureLayout();
    const int y = area_.top + (i - top_) * rows_.itemHeight;
    *out = RECT{area_.left, y, area_.right, y + rows_.itemHeight};
    return out->top < area_.bottom && out->bottom > area_.top ? 1 : 0;
}

LRESULT WKListBox::OnItemFromPoint(LPARAM point) {
    EnsureLayout();
    const listbox::Hit hit = listbox::HitTest(SignedX(point), SignedY(point), top_, items_.count(), rows_, area_);
    if (hit.index < 0) return LB_ERR;
    return MAKELONG(static_cast<WORD>(hit.index), hit.outside ? 1 : 0);
}

// ------------------------------------------------------------ messages

LRESULT WKListBox::OnCreateList(HWND, const CREATESTRUCTA* create) {
    UpdateLayout(nullptr);
    return WKControl::OnCreate(create);
}

LRESULT WKListBox::OnSetRedraw(HWND window, WPARAM flag) {
    redraw_ = flag != 0;
    return DefWindowProcA(window, WM_SETREDRAW, flag, 0);
}

LRESULT WKListBox::OnShowWindow(HWND window, WPARAM shown, LPARAM status) {
    if (shown && comboMode_) SendMessageA(window, kListSetComboMode, 0, 0);
    return DefWindowProcA(window, WM_SHOWWINDOW, shown, status);
}

LRESULT WKListBox::OnSize(WPARAM type, LPARAM) {
    if (type == SIZE_RESTORED || type == SIZE_MAXIMIZED) layoutDirty_ = true;
    return 0;
}

LRESULT WKListBox::OnSetFocus(HWND) {
    focus_ = 1;
    Redraw();
    Notify(LBN_SETFOCUS);
    return 0;
}

LRESULT WKListBox::OnKillFocus(HWND) {
    focus_ = 0;
    Redraw();
    Notify(LBN_KILLFOCUS);
    return 0;
}

LRESULT WKListBox::OnEnable(WPARAM enabled) {
    enabled_ = enabled != 0;
    if (scrollBar_) EnableWindow(scrollBar_.get(), enabled_ && scrollNeeded_);
    Redraw();
    return 0;
}

LRESULT WKListBox::OnSetFont(HFONT font, LPARAM redraw) {
    font_ = font;
    layoutDirty_ = true;
    if (redraw) Redraw();
    return 0;
}

LRESULT WKListBox::OnKeyDown(WPARAM key, LPARAM flags) {
    if (key == sys::kVkF4) {
        if (parent_) PostMessageA(parent_, WM_KEYDOWN, key, flags);
        return kNotHandled;
    }
    EnsureLayout();
    const int target = listbox::KeyTarget(static_cast<sys::Bits>(key), selection_, items_.count(), rows_.page);
    if (target == kError) return kNotHandled;
    SelectByUser(target, false);
    lastMatch_ = -1;
    typeAhead_.Clear();
    return 0;
}

LRESULT WKListBox::OnChar(WPARAM character) {
    if (items_.count() == 0) return kNotHandled;
    KillTimer(window_, kTypeAheadTimer);
    const int typed = typeAhead_.length();
    typeAhead_.Add(static_cast<char>(character));
    // A new search starts after the selection, the same letter again after
    // its last match, a longer prefix at the last match itself.
    int start = selection_;
    if (typed > 0 && typeAhead_.length() == 1) start = lastMatch_;
    else if (typed > 0 && lastMatch_ >= 0) start = lastMatch_ - 1;
    lastMatch_ = items_.Find(typeAhead_.text(), start, false);
    if (lastMatch_ != kError) {
        SetCurSel(lastMatch_, false);
        // The system list tells of a selection by typing as of one by keys.
        if (Style() & sys::kLbsNotify) Notify(LBN_SELCHANGE);
    }
    SetTimer(window_, kTypeAheadTimer, kTypeAheadResetMs, nullptr);
    return 0;
}

LRESULT WKListBox::OnTimer(WPARAM id) {
    if (id == kAutoScrollTimer) {
        const int count = items_.count();
        if (count == 0) return 0;
        return SetCurSel(std::clamp(selection_ + autoScroll_, 0, count - 1), true);
    }
    if (id == kTypeAheadTimer) {
        typeAhead_.Clear();
        lastMatch_ = -1;
        KillTimer(window_, kTypeAheadTimer);
    }
    return 0;
}

LRESULT WKListBox::OnVScroll(WPARAM code) {
    switch (LOWORD(code)) {
    case SB_LINEUP: SetTopIndex(top_ - 1LL); break;
    case SB_LINEDOWN: SetTopIndex(top_ + 1LL); break;
    case SB_PAGEUP: SetTopIndex(static_cast<long long>(top_) - std::max(rows_.page, 1)); break;
    case SB_PAGEDOWN: SetTopIndex(static_cast<long long>(top_) + std::max(rows_.page, 1)); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: SetTopIndex(HIWORD(code)); break;
    case SB_TOP: SetTopIndex(0); break;
    case SB_BOTTOM: SetTopIndex(items_.count()); break;
    case SB_ENDSCROLL:
        if (comboMode_ && !capture_) TakeCapture();
        break;
    default: break;
    }
    return 0;
}

LRESULT WKListBox::OnCaptureChanged(HWND window, LPARAM gaining) {
    StopAutoScroll();
    capture_ = false;
    if (comboMode_ && reinterpret_cast<HWND>(gaining) != scrollBar_.get() && parent_)
        PostMessageA(parent_, CB_SHOWDROPDOWN, FALSE, 0);
    return DefWindowProcA(window, WM_CAPTURECHANGED, 0, gaining);
}

// ------------------------------------------------------------ mouse

LRESULT WKListBox::ToScrollBar(WPARAM keys, LPARAM point) {
    const int x = SignedX(point), y = SignedY(point);
    if (scrollNeeded_ && scrollBar_ && x >= barRect_.left && x < barRect_.right && y >= barRect_.top &&
        y < barRect_.bottom) {
        POINT p{x, y};
        MapWindowPoints(window_, scrollBar_.get(), &p, 1);
        return SendMessageA(scrollBar_.get(), WM_LBUTTONDOWN, keys, MAKELPARAM(p.x, p.y));
    }
    if (comboMode_) Notify(LBN_SELCANCEL);
    return 0;
}

LRESULT WKListBox::OnLButtonDown(WPARAM keys, LPARAM point) {
    EnsureLayout();
    const listbox::Hit hit = listbox::HitTest(SignedX(point), SignedY(point), top_, items_.count(), rows_, area_);
    if (hit.outside) return ToScrollBar(keys, point);
    // As the system list: the focus first, then the selection.
    if (GetFocus() != window_ && !(Style() & sys::kLbsComboBox)) SetFocus(window_);
    TakeCapture();
    SetCurSel(hit.index, true);
    return 0;
}

LRESULT WKListBox::OnLButtonDblClk(WPARAM keys, LPARAM point) {
    EnsureLayout();
    const listbox::Hit hit = listbox::HitTest(SignedX(point), SignedY(point), top_, items_.count(), rows_, area_);
    if (hit.outside) return ToScrollBar(keys, point);
    if (Style() & sys::kLbsNotify) Notify(LBN_DBLCLK);
    return 0;
}

LRESULT WKListBox::OnMouseMove(WPARAM keys, LPARAM point) {
    if (!capture_) return 0;
    const int y = SignedY(point);
    const listbox::Hit hit = listbox::HitTest(SignedX(point), y, top_, items_.count(), rows_, area_);
    StopAutoScroll();
    if (hit.outside) {
        if (comboMode_ && !(keys & MK_LBUTTON)) return 0;
        int distance = 0;
        if (y < area_.top) autoScroll_ = -1, distance = area_.top - y;
        else if (y >= area_.bottom) autoScroll_ = 1, distance = y - area_.bottom + 1;
        if (autoScroll_)
            SetTimer(window_, kAutoScrollTimer,
                     static_cast<UINT>(kAutoScrollFarthest + 1 - std::min(distance, kAutoScrollFarthest)), nullptr);
    }
    if (hit.index >= 0) SetCurSel(hit.index, true);
    return 0;
}

LRESULT WKListBox::OnLButtonUp(WPARAM, LPARAM) {
    if (!capture_) return 0;
    SelectByUser(selection_, false);
    if (comboMode_ && parent_) PostMessageA(parent_, CB_SHOWDROPDOWN, FALSE, 0);
    ReleaseCapture();
    return 0;
}

void WKListBox::StopAutoScroll() {
    KillTimer(window_, kAutoScrollTimer);
    autoScroll_ = 0;
}

void WKListBox::TakeCapture() {
    if (capture_) return;
    SetCapture(window_);
    capture_ = true;
}

LRESULT WKListBox::SetComboMode(WPARAM mode) {
    if (mode == comboMode_ || !(Style() & sys::kLbsComboBox)) return 0;
    if (!mode) {
        comboMode_ = 0;
        if (capture_) ReleaseCapture();
        return 1;
    }
    TakeCapture();
    comboMode_ = mode;
    return 1;
}

void WKListBox::Notify(WORD code) { NotifyCommand(code); }

ControlClass kListBoxClass{"WKListBox", ClassKind::Superclass, "LISTBOX", ClassProc<kListBoxClass>, MakeListBox,
                           nullptr, nullptr};

}  // namespace kelmard
