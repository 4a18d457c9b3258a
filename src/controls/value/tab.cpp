// "WKTab": the skinned tab control.
#include "controls/value/tab.h"

#include <algorithm>
#include <initializer_list>
#include <new>

#include "controls/framework/draw.h"
#include "owners/win32_owners.h"

namespace kelmard {
namespace {

// The pens of a tab's edges: those of a raised Draw3DFrame.
enum EdgePen { kOuterHighlight, kInnerHighlight, kInnerShadow, kOuterShadow, kEdgePens };
constexpr skin::SkinColor kEdgeColors[kEdgePens] = {skin::kHighlightColor, skin::kLightColor, skin::kShadowColor,
                                                    skin::kDarkShadowColor};

// One pen's lines through the points (each end point left out, as LineTo does).
void Lines(HDC dc, const UniquePen& pen, std::initializer_list<POINT> points) {
    SelectGuard select(dc, pen.get());
    const POINT* p = points.begin();
    MoveToEx(dc, p->x, p->y, nullptr);
    for (++p; p != points.end(); ++p) LineTo(dc, p->x, p->y);
}

bool IsTextCallback(const char* text) { return text == LPSTR_TEXTCALLBACKA; }

}  // namespace

WKTab::WKTab(HWND window) : WKControl(window) { dialogCode_ = DLGC_WANTARROWS; }

LRESULT WKTab::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(images_);
    case TCM_SETIMAGELIST: return OnSetImageList(reinterpret_cast<HIMAGELIST>(lParam));
    case TCM_GETITEMA: return OnGetItem(wParam, reinterpret_cast<TCITEMA*>(lParam));
    case TCM_SETITEMA: return OnSetItem(wParam, reinterpret_cast<const TCITEMA*>(lParam));
    case TCM_INSERTITEMA: return OnInsertItem(wParam, reinterpret_cast<const TCITEMA*>(lParam));
    case TCM_DELETEITEM: return OnDeleteItem(wParam);
    case TCM_GETCURSEL: return items_.selection();
    case TCM_SETCURSEL: return OnSetCurSel(wParam);
    case TCM_ADJUSTRECT: return OnAdjustRect(wParam, reinterpret_cast<RECT*>(lParam));
    case TCM_REMOVEIMAGE: return OnRemoveImage(wParam);
    default: return WKControl::WindowProc(window, message, wParam, lParam);
    }
}

LRESULT WKTab::OnCreate(const CREATESTRUCTA* create) {
    // Siblings (the pages) are never painted over.
    SetWindowLongA(window_, GWL_STYLE, static_cast<LONG>(Style() | WS_CLIPSIBLINGS));
    return WKControl::OnCreate(create);
}

LRESULT WKTab::OnSize(WPARAM type, LPARAM) {
    if (type == SIZE_RESTORED || type == SIZE_MAXIMIZED) layoutNeeded_ = true;
    return 0;
}

LRESULT WKTab::OnSetFont(HFONT font, LPARAM redraw) {
    font_ = font;
    layoutNeeded_ = true;
    if (redraw) Redraw();
    return 0;
}

LRESULT WKTab::OnSetFocus(HWND) {
    focus_ = 1;
    Redraw();
    return 0;
}

LRESULT WKTab::OnKillFocus(HWND) {
    focus_ = 0;
    Redraw();
    return 0;
}

LRESULT WKTab::OnEnable(WPARAM) {
    Redraw();
    return 0;
}

// ---------------------------------------------------------------- items

LRESULT WKTab::OnSetImageList(HIMAGELIST images) {
    HIMAGELIST previous = images_;
    images_ = images;
    int cx = 0, cy = 0;
    if (!images_ || !ImageList_GetIconSize(images_, &cx, &cy)) cx = cy = 0;
    imageWidth_ = cx;
    imageHeight_ = cy;
    layoutNeeded_ = true;
    Redraw();
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT WKTab::OnGetItem(WPARAM index, TCITEMA* item) const {
    if (!item || index >= static_cast<WPARAM>(items_.count())) return 0;
    const tab::Item& it = items_[static_cast<int>(index)];
    if ((item->mask & TCIF_TEXT) && item->pszText && !IsTextCallback(item->pszText) && item->cchTextMax > 0) {
        const int n = std::min(it.textLength, item->cchTextMax - 1);
        if (n > 0) std::copy(it.text.get(), it.text.get() + n, item->pszText);
        item->pszText[n] = '\0';
    }
    if (item->mask & TCIF_IMAGE) item->iImage = it.image;
    return 1;
}

LRESULT WKTab::OnSetItem(WPARAM index, const TCITEMA* item) {
    if (!item || index >= static_cast<WPARAM>(items_.count())) return 0;
    tab::Item& it = items_[static_cast<int>(index)];
    if (item->mask & TCIF_TEXT) {
        // The new text is copied before the old one goes.
        std::unique_ptr<char[]> text;
        int length = 0;
        if (!tab::CopyText(IsTextCallback(item->pszText) ? nullptr : item->pszText, text, length)) return 0;
        it.text = std::move(text);
        it.textLength = length;
        layoutNeeded_ = true;
    }
    if (item->mask & TCIF_IMAGE) {
        if ((item->iImage >= 0) != (it.image >= 0)) layoutNeeded_ = true;  // the tab's width changes
        it.image = item->iImage;
    }
    if (layoutNeeded_) {
        InvalidateRect(window_, nullptr, FALSE);
    } else {
        InvalidateTab(static_cast<int>(index));
    }
    UpdateWindow(window_);
    return 1;
}

LRESULT WKTab::OnInsertItem(WPARAM index, const TCITEMA* item) {
    const int at = static_cast<int>(index);
    if (!item || at < 0) return -1;
    // Everything that can fail comes first: a failed insert changes nothing.
    std::unique_ptr<char[]> text;
    int length = 0;
    const bool withText = (item->mask & TCIF_TEXT) && !IsTextCallback(item->pszText);
    if (withText && !tab::CopyText(item->pszText, text, length)) return -1;
    const int placed = items_.Insert(at);
    if (placed < 0) return -1;
    tab::Item& it = items_[placed];
    it.text = std::move(text);
    it.textLength = length;
    if (item->mask & TCIF_IMAGE) it.image = item->iImage;
    layoutNeeded_ = true;
    InvalidateRect(window_, nullptr, FALSE);
    return placed;
}

LRESULT WKTab::OnDeleteItem(WPARAM index) {
    if (index >= static_cast<WPARAM>(items_.count())) return 0;
    items_.Remove(static_cast<int>(index));
    layoutNeeded_ = true;
    Redraw();
    return 1;
}

LRESULT WKTab::OnSetCurSel(WPARAM index) {
    if (index >= static_cast<WPARAM>(items_.count())) return -1;
    return Select(static_cast<int>(index));
}

LRESULT WKTab::OnRemoveImage(WPARAM index) {
    const int image = static_cast<int>(index);
    if (!images_ || index >= static_cast<WPARAM>(ImageList_GetImageCount(images_))) return 0;
    if (!ImageList_Remove(images_, image)) return 0;
    for (int i = 0; i < items_.count(); ++i) {
        tab::Item& it = items_[i];
        if (it.image == image) {
            it.image = -1;  // the tab loses its image and narrows
            layoutNeeded_ = true;
        } else if (it.image > image) {
            --it.image;
        }
    }
    InvalidateRect(window_, nullptr, FALSE);
    return 0;
}

// ---------------------------------------------------------------- layout

void WKTab::Measure() {
    WindowDC dc(window_);
    if (!dc) return;
    SelectGuard font(dc.get(), ControlFont());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.get(), &metrics);
    textHeight_ = metrics.tmHeight;
    rowHeight_ = tab::RowHeight(textHeight_, imageHeight_);
    for (int i = 0; i < items_.count(); ++i) {
        tab::Item& it = items_[i];
        SIZE size{0, 0};
        if (it.text && it.textLength > 0) GetTextExtentPoint32A(dc.get(), it.text.get(), it.textLength, &size);
        it.textWidth = size.cx;
    }
}

int WKTab::StripWidth(const RECT& area) const {
    const int width = area.right - area.left;
    if (width >= 1) return width;
    RECT client;
    GetClientRect(window_, &client);
    return client.right - client.left;
}

void WKTab::EnsureLayout() {
    if (!layoutNeeded_) return;
    layoutNeeded_ = false;
    GetClientRect(window_, &client_);
    Measure();
    const DWORD style = Style();
    const int width = StripWidth(client_);
    const tab::Rows rows =
        tab::ArrangeRows(items_.data(), items_.count(), width, imageWidth_, rowHeight_, style, true);
    lastRow_ = rows.lastRow;
    const tab::Frame frame = tab::PlaceStrip(FromRECT(client_), width, rows.stripHeight, style);
    strip_ = ToRECT(frame.strip);
    display_ = ToRECT(frame.display);
    // The selected tab's row goes next to the page, without a repaint: this
    // may run inside WM_PAINT.
    const int selected = items_.selection();
    if (items_.Valid(selected))
        tab::RotateRows(items_.data(), items_.count(), lastRow_, items_[selected].row, tab::PageRow(style, lastRow_));
    UpdateFocusRect();
}

RECT WKTab::TabRectOf(int index) const {
    return ToRECT(tab::TabRect(items_[index], FromRECT(strip_), rowHeight_, Style(), index == items_.selection()));
}

void WKTab::UpdateFocusRect() {
    const int selected = items_.selection();
    const int shown = items_.Valid(selected) ? selected : 0;
    focusRect_ = items_.count() > 0 ? ToRECT(tab::FocusRect(FromRECT(TabRectOf(shown)))) : RECT{};
}

void WKTab::InvalidateTab(int index) {
    if (!items_.Valid(index)) return;
    RECT r = TabRectOf(index);
    InflateRect(&r, 1, 1);
    InvalidateRect(window_, &r, FALSE);
}

LRESULT WKTab::OnAdjustRect(WPARAM larger, RECT* rect) {
    if (!rect) return 0;
    // Measured apart from the live layout: only the strip's height is needed.
    Measure();
    const DWORD style = Style();
    if (larger) {
        *rect = ToRECT(tab::GrowToWindow(FromRECT(*rect), 0));
        const int height = tab::ArrangeRows(items_.data(), items_.count(), StripWidth(*rect), imageWidth_,
                                            rowHeight_, style, false)
                               .stripHeight;
        rect->bottom += height;
        return 0;
    }
    const int width = StripWidth(*rect);
    const int height =
        tab::ArrangeRows(items_.data(), items_.count(), width, imageWidth_, rowHeight_, style, false).stripHeight;
    *rect = ToRECT(tab::PlaceStrip(FromRECT(*rect), width, height, style).display);
    return 0;
}

// ---------------------------------------------------------------- selection

int WKTab::Select(int index) {
    const int previous = items_.selection();
    if (index == previous || !items_.Valid(index)) return previous;
    EnsureLayout();
    const HWND self = window_;
    NotifyHeader(TCN_SELCHANGING);  // told, not asked: the answer is ignored
    // The parent may have changed the items or destroyed the control.
    if (!IsWindow(self) || !items_.Valid(index)) return previous;
    EnsureLayout();
    const DWORD style = Style();
    const int pageRow = tab::PageRow(style, lastRow_);
    if (items_[index].row == pageRow) {
        InvalidateTab(items_.selection());
        items_.Select(index);
        InvalidateTab(index);
    } else {
        tab::RotateRows(items_.data(), items_.count(), lastRow_, items_[index].row, pageRow);
        items_.Select(index);
        RECT strip = strip_;
        InflateRect(&strip, 0, tab::kSelectedGrowth);
        InvalidateRect(window_, &strip, FALSE);
    }
    UpdateFocusRect();
    UpdateWindow(window_);
    NotifyHeader(TCN_SELCHANGE);
    return previous;
}

LRESULT WKTab::OnLButtonDown(WPARAM, LPARAM point) {
    EnsureLayout();
    const int hit = tab::HitTest(items_.data(), items_.count(), FromRECT(strip_), rowHeight_, lastRow_, Style(),
                                 static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point)));
    if (hit < 0) return 0;
    if (hit != items_.selection()) {
        Select(hit);
    } else if (!focus_) {
        SetFocus(window_);
    }
    return 0;
}

LRESULT WKTab::OnKeyDown(WPARAM key, LPARAM) {
    if (items_.count() == 0) return 1;
    tab::Move move;
    switch (key) {
    case VK_HOME: move = tab::Move::kFirst; break;
    case VK_END: move = tab::Move::kLast; break;
    case VK_LEFT: move = tab::Move::kPrevious; break;
    case VK_RIGHT: move = tab::Move::kNext; break;
    case VK_UP: move = tab::Move::kRowUp; break;
    case VK_DOWN: move = tab::Move::kRowDown; break;
    default: return 1;
    }
    EnsureLayout();
    const int target = tab::MoveTarget(items_.data(), items_.count(), items_.selection(), lastRow_, move);
    if (target >= 0) Select(target);
    return 0;
}

// ---------------------------------------------------------------- painting

LRESULT WKTab::OnPaint() {
    PaintDC paint(window_);
    if (!paint || !IsWindowVisible(window_)) return 0;
    EnsureLayout();
    const HDC dc = paint.get();
    SelectGuard font(dc, ControlFont());
    FillRect(dc, &client_, skin_->brushes[skin::kFaceBrush]);
    const bool disabled = (Style() & WS_DISABLED) != 0;
    BkColorGuard background(dc, skin_->colors[skin::kFaceColor]);
    BkModeGuard mode(dc, OPAQUE);
    TextColorGuard colour(dc, skin_->colors[disabled ? skin::kGreyTextColor : skin::kTextColor]);
    UniquePen pens[kEdgePens];
    for (int i = 0; i < kEdgePens; ++i) pens[i].reset(CreatePen(PS_SOLID, 0, skin_->colors[kEdgeColors[i]]));

    const int selected = items_.selection();
    for (int i = 0; i < items_.count(); ++i)
        if (i != selected) DrawTab(dc, i, false, pens);
    RECT frame = display_;
    InflateRect(&frame, tab::kPageFrame, tab::kPageFrame);
    Draw3DFrame(dc, skin_, &frame, false, false);
    if (items_.Valid(selected)) {
        TextColorGuard selectedColour(dc, skin_->colors[disabled ? skin::kGreyTextColor : skin::kTextVariant1Color]);
        DrawTab(dc, selected, true, pens);
    }
    if (focus_ && !disabled && items_.count() > 0) DrawSkinFocusRect(dc, &focusRect_);
    return 0;
}

void WKTab::DrawTab(HDC dc, int index, bool selected, const UniquePen* pens) {
    const tab::Item& it = items_[index];
    const DWORD style = Style();
    const RECT r = ToRECT(tab::TabRect(it, FromRECT(strip_), rowHeight_, style, selected));
    FillRect(dc, &r, skin_->brushes[skin::kFaceBrush]);
    const bool image = images_ && it.image >= 0;
    const tab::Content at =
        tab::PlaceContent(FromRECT(r), it.textWidth, textHeight_, image, imageWidth_, imageHeight_, style);
    if (image) ImageList_Draw(images_, it.image, dc, at.imageLeft, at.imageTop, ILD_TRANSPARENT);
    if (it.text && it.textLength > 0) {
        // A paint DC starts with TA_LEFT | TA_TOP: the text's top-left corner.
        ExtTextOutA(dc, at.textLeft, at.textTop, 0, nullptr, it.text.get(), static_cast<UINT>(it.textLength),
                    nullptr);
    }
    const LONG left = r.left, top = r.top, right = r.right, bottom = r.bottom;
    if (style & TCS_BOTTOM) {
        Lines(dc, pens[kInnerHighlight], {{left + 1, top}, {left + 1, bottom - 3}});
        Lines(dc, pens[kOuterHighlight], {{left, top}, {left, bottom - 3}, {left + 2, bottom - 1}});
        Lines(dc, pens[kInnerShadow],
              {{left + 2, bottom - 2}, {right - 3, bottom - 2}, {right - 2, bottom - 3}, {right - 2, top - 1}});
        Lines(dc, pens[kOuterShadow],
              {{left + 2, bottom - 1}, {right - 3, bottom - 1}, {right - 1, bottom - 3}, {right - 1, top - 1}});
    } else {
        Lines(dc, pens[kOuterHighlight], {{left, bottom - 1}, {left, top + 2}, {left + 2, top}, {right - 2, top}});
        Lines(dc, pens[kInnerHighlight],
              {{left + 1, bottom - 1}, {left + 1, top + 2}, {left + 2, top + 1}, {right - 2, top + 1}});
        Lines(dc, pens[kInnerShadow], {{right - 2, bottom - 1}, {right - 2, top + 1}});
        Lines(dc, pens[kOuterShadow], {{right - 1, bottom - 1}, {right - 1, top + 2}, {right - 3, top}});
    }
}

ControlClass kTabClass{"WKTab", ClassKind::Own, nullptr, ClassProc<kTabClass>, MakeControl<WKTab>, nullptr, nullptr};

}  // namespace kelmard
