// "WKDialog": the skinned dialog window (see dialog.h).
//
// The skinned frame of a captioned dialog: the thick frame (7 pixels) on every
// side, and at the top the caption: its own 7-pixel frame around a band as
// high as the system caption. The system draws no caption (WS_DLGFRAME is
// taken off the style at creation) and the client area is placed inside the
// skinned frame, keeping the size the template asked for.
#include "controls/framework/dialog.h"

#include <memory>
#include <new>

#include "controls/framework/draw.h"
#include "owners/win32_owners.h"
#include "frame/trace.h"

namespace kelmard {
namespace {

// Skin style flags (the skin's first field).
constexpr std::uint32_t kFilledCaption = 1;  // caption filled and framed, smaller caption buttons
constexpr std::uint32_t kGripLines = 2;      // grip lines after the title
constexpr std::uint32_t kEmbossedTitle = 4;

// Skin colours the dialog uses.
constexpr int kFieldColor = 0, kFaceColor = 1, kTextColor = 8, kPanelColor = 12, kGripLight = 13,
              kEmbossLight = 14, kGripDark = 15, kEmbossDark = 16, kInactiveTitle = 17, kActiveTitle = 19,
              kCaptionColor = 22;

HBRUSH BrushOfColor(const WKSkin& skin, int color) {
    for (int i = 0; i < skin::kBrushCount; ++i)
        if (skin::kBrushColors[i] == color) return skin.brushes[i];
    return nullptr;
}

void FillWithColor(HDC dc, const RECT& rect, const WKSkin& skin, int color) {
    if (HBRUSH brush = BrushOfColor(skin, color)) FillRect(dc, &rect, brush);
}

int FrameEdge(const WKSkin& skin) { return skin.frames[skin::kThickFrame].edge; }
int CaptionEdge(const WKSkin& skin) { return skin.frames[skin::kCaptionFrame].edge; }

// Screen rectangle to window coordinates.
RECT ToWindow(HWND window, const RECT& screen) {
    RECT w;
    GetWindowRect(window, &w);
    RECT r = screen;
    OffsetRect(&r, -w.left, -w.top);
    return r;
}

bool Contains(const RECT& r, POINT p) { return PtInRect(&r, p) != FALSE; }

// Where a dialog keeps its object: the slot after the dialog manager's extra.
WKDialog* AttachedDialog(HWND window) {
    return reinterpret_cast<WKDialog*>(GetWindowLongPtrA(window, kDialogManagerExtra));
}

void StoreDialog(HWND window, WKDialog* dialog) {
    SetWindowLongPtrA(window, kDialogManagerExtra, reinterpret_cast<LONG_PTR>(dialog));
}

LRESULT CALLBACK DialogClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WKDialog* dialog = AttachedDialog(window);
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (!dialog && create) {
            dialog = new (std::nothrow) WKDialog(window, *create);
            if (!dialog) return 0;  // the dialog is not created
            StoreDialog(window, dialog);
        }
        if (!dialog) return 0;
        return dialog->WindowProc(window, message, wParam, lParam);
    }
    case WM_DESTROY:
    case WM_NCDESTROY: {
        // WM_NCDESTROY finds an object only when creation failed after
        // WM_NCCREATE: it is freed then.
        if (!dialog) return DefDlgProcA(window, message, wParam, lParam);
        const LRESULT result = dialog->WindowProc(window, message, wParam, lParam);
        if (IsWindow(window)) StoreDialog(window, nullptr);
        delete dialog;
        return result;
    }
    default:
        if (!dialog) return DefDlgProcA(window, message, wParam, lParam);
        return dialog->WindowProc(window, message, wParam, lParam);
    }
}

}  // namespace

ControlClass kDialogClass = {"WKDialog", ClassKind::Custom, nullptr, DialogClassProc, nullptr, RegisterDialogClass,
                              nullptr};

ATOM RegisterDialogClass(HINSTANCE instance, ControlClass& row) {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_GLOBALCLASS;
    wc.lpfnWndProc = row.procedure;
    wc.cbWndExtra = kDialogWindowExtra;
    wc.hInstance = instance;
    wc.hIcon = SharedSkin().dialogIcon;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = row.name;
    return RegisterClassA(&wc);
}

// ---------------------------------------------------------------- construction

WKDialog::WKDialog(HWND window, const CREATESTRUCTA& create) : window_(window), skin_(&SharedSkin()) {
    const DWORD style = static_cast<DWORD>(create.style);
    // Only a full caption (border and dialog frame) is skinned; either bit
    // alone is a plain bordered panel the system draws.
    caption_ = (style & WS_CAPTION) == WS_CAPTION;
    captionHeight_ = GetSystemMetrics(SM_CYCAPTION);
    if (!Skinned()) return;

    // Grow the window by how much thicker the skinned frame is than the
    // frame the dialog manager sized it for, so the client keeps its size.
    RECT system{0, 0, 0, 0};
    AdjustWindowRectEx(&system, style, FALSE, static_cast<DWORD>(create.dwExStyle));
    const int edge = FrameEdge(*skin_);
    const int left = edge + system.left, right = edge - system.right, bottom = edge - system.bottom;
    const int top = CaptionEdge(*skin_) + captionHeight_ + edge + system.top;

    // The system draws no caption of its own.
    if (style & WS_DLGFRAME) SetWindowLongPtrA(window_, GWL_STYLE, static_cast<LONG_PTR>(style & ~WS_DLGFRAME));
    modalFrame_ = style & DS_MODALFRAME;
    SetWindowPos(window_, nullptr, create.x - left, create.y - top, create.cx + left + right,
                 create.cy + top + bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutCaption();
}

// ---------------------------------------------------------------- dispatch

LRESULT WKDialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(lParam);
    case WM_DESTROY: return OnDestroy();
    case WM_MOVE:
    case WM_SIZE: LayoutCaption(); break;
    case WM_ENABLE:
    case WM_HELP: ReleaseHelpButton(); break;
    case WM_SETTEXT: return OnSetText(lParam);
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_NCCALCSIZE: return OnNcCalcSize(wParam, lParam);
    case WM_NCHITTEST: return OnNcHitTest(lParam);
    case WM_NCPAINT: return OnNcPaint(wParam);
    case WM_NCACTIVATE: return OnNcActivate(wParam);
    case WM_NCLBUTTONDOWN: return OnNcLButtonDown(wParam, lParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return OnCtlColor(reinterpret_cast<HDC>(wParam), kTextColor, kFieldColor);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return OnCtlColor(reinterpret_cast<HDC>(wParam), kTextColor, kFaceColor);
    case kDialogSetPanel: return OnSetPanel(wParam, lParam);
    default: break;
    }
    return DefDlgProcA(window, message, wParam, lParam);
}

LRESULT WKDialog::OnCreate(LPARAM create) { return DefDlgProcA(window_, WM_CREATE, 0, create); }

LRESULT WKDialog::OnDestroy() { return DefDlgProcA(window_, WM_DESTROY, 0, 0); }

LRESULT WKDialog::OnCtlColor(HDC dc, int textColor, int backgroundColor) {
    SetTextColor(dc, skin_->colors[textColor]);
    SetBkColor(dc, skin_->colors[backgroundColor]);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(BrushOfColor(*skin_, backgroundColor));
}

// The system no longer draws the caption, so a new title is drawn here.
LRESULT WKDialog::OnSetText(LPARAM text) {
    const LRESULT result = DefDlgProcA(window_, WM_SETTEXT, 0, text);
    if (Skinned() && !Minimised() && IsWindowVisible(window_)) PaintFrame(nullptr, false);
    return result;
}

LRESULT WKDialog::OnSetPanel(WPARAM byWindow, LPARAM value) {
    if (!Skinned()) return 0;
    const LRESULT previous = static_cast<LRESULT>(
        static_cast<DWORD>(MAKELONG(static_cast<WORD>(panelX_), static_cast<WORD>(panelY_))));
    const WORD low = LOWORD(static_cast<DWORD_PTR>(value));
    if (low == 0) {
        panelX_ = panelY_ = 0;
    } else if (!byWindow) {
        panelX_ = low;
        panelY_ = HIWORD(static_cast<DWORD_PTR>(value));
    } else {
        const HWND child = reinterpret_cast<HWND>(static_cast<UINT_PTR>(low));
        RECT r;
        // A window that cannot be read leaves the panel as it was.
        if (!IsWindow(child) || !GetWindowRect(child, &r)) return previous;
        POINT corner{r.right, r.bottom};
        MapWindowPoints(nullptr, window_, &corner, 1);
        panelX_ = corner.x;
        panelY_ = corner.y;
    }
    return previous;
}

// ---------------------------------------------------------------- geometry

LRESULT WKDialog::OnNcCalcSize(WPARAM validate, LPARAM params) {
    auto* proposed = reinterpret_cast<RECT*>(params);
    const RECT window = proposed ? *proposed : RECT{};
    const LRESULT result = DefDlgProcA(window_, WM_NCCALCSIZE, validate, params);
    if (proposed && Skinned() && !Minimised()) {
        // The client lies inside the skinned frame and caption.
        const int edge = FrameEdge(*skin_);
        proposed->left = window.left + edge;
        proposed->right = window.right - edge;
        proposed->top = window.top + CaptionEdge(*skin_) + captionHeight_ + edge;
        proposed->bottom = window.bottom - edge;
        if (proposed->right < proposed->left) proposed->right = proposed->left;
        if (proposed->bottom < proposed->top) proposed->bottom = proposed->top;
    }
    return result;
}

void WKDialog::LayoutCaption() {
    if (!Skinned()) return;
    RECT w;
    if (!GetWindowRect(window_, &w)) return;
    const DWORD style = Style();
    const bool filled = (skin_->styleFlags & kFilledCaption) != 0;
    captionRect_ = {w.left, w.top, w.right, w.top + 2 * CaptionEdge(*skin_) + captionHeight_};
    const int b = filled ? static_cast<int>(captionHeight_ * 0.75) : captionHeight_;
    const int v = (captionRect_.bottom - captionRect_.top - b) / 2;

    SetRectEmpty(&icon_);
    if ((style & WS_SYSMENU) && !modalFrame_) {
        icon_ = captionRect_;
        InflateRect(&icon_, -(filled ? 10 : 5), -v);
        icon_.right = icon_.left + b;
    }
    closeButton_ = captionRect_;
    InflateRect(&closeButton_, -(filled ? 15 : 5), -v);
    closeButton_.left = closeButton_.right - b;

    SetRectEmpty(&maximiseButton_);
    SetRectEmpty(&minimiseButton_);
    RECT last = closeButton_;
    if ((style & WS_SYSMENU) && (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
        maximiseButton_ = closeButton_;
        OffsetRect(&maximiseButton_, -(b + 2), 0);
        minimiseButton_ = maximiseButton_;
        OffsetRect(&minimiseButton_, -b, 0);
        last = minimiseButton_;
    }
    helpButton_ = last;
    OffsetRect(&helpButton_, -(b + 2), 0);
}

LRESULT WKDialog::OnNcHitTest(LPARAM lParam) {
    ReleaseHelpButton();
    const LRESULT hit = DefDlgProcA(window_, WM_NCHITTEST, 0, lParam);
    if (!Skinned() || Minimised() || hit != HTNOWHERE) return hit;
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const DWORD style = Style();
    if (!Contains(captionRect_, p)) return hit;
    if ((style & WS_SYSMENU) && Contains(closeButton_, p)) return HTCLOSE;
    if ((style & WS_SYSMENU) && !modalFrame_ && Contains(icon_, p)) return HTSYSMENU;
    if ((style & WS_MAXIMIZEBOX) && Contains(maximiseButton_, p)) return HTMAXBUTTON;
    if ((style & WS_MINIMIZEBOX) && Contains(minimiseButton_, p)) return HTMINBUTTON;
    if ((ExStyle() & WS_EX_CONTEXTHELP) && Contains(helpButton_, p)) return HTHELP;
    return HTCAPTION;
}

// ---------------------------------------------------------------- caption buttons

LRESULT WKDialog::OnNcLButtonDown(WPARAM hit, LPARAM point) {
    if (!Skinned() || Minimised()) return DefDlgProcA(window_, WM_NCLBUTTONDOWN, hit, point);
    switch (hit) {
    case HTMINBUTTON:
        if (TrackCaptionButton(kMinimiseButton, minimiseButton_))
            PostMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE, point);
        break;
    case HTMAXBUTTON: {
        const bool zoomed = IsZoomed(window_) != FALSE;
        if (TrackCaptionButton(zoomed ? kRestoreButton : kMaximiseButton, maximiseButton_))
            PostMessageA(window_, WM_SYSCOMMAND, zoomed ? SC_RESTORE : SC_MAXIMIZE, point);
        break;
    }
    case HTCLOSE:
        if (TrackCaptionButton(kCloseButton, closeButton_)) PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, point);
        break;
    case HTHELP:
        helpPressed_ = 1;
        DrawCaptionButton(skin::kHelpButtonSprite, 0, helpButton_, true);
        PostMessageA(window_, WM_SYSCOMMAND, SC_CONTEXTHELP, point);
        break;
    default: return DefDlgProcA(window_, WM_NCLBUTTONDOWN, hit, point);
    }
    return 0;
}

// Holds the capture while the left button is down: the button is drawn
// pressed while the pointer is over it. Waits for input; ends at the button-up
// (answering whether it came over the button) or when the capture or the
// window is lost (answering false). A handler of a message sent meanwhile may
// destroy the dialog, which deletes this object: the handle and the rectangle
// are kept in locals, and no member is touched once the window is gone.
bool WKDialog::TrackCaptionButton(int variant, const RECT& screenRect) {
    const HWND window = window_;
    const RECT rect = screenRect;
    DrawCaptionButton(skin::kCaptionButtonSprite, variant, rect, true);
    bool pressed = true;
    bool released = false;
    POINT up{};
    SetCapture(window);
    while (IsWindow(window) && GetCapture() == window) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MBUTTONDBLCLK, PM_REMOVE)) {
            MsgWaitForMultipleObjectsEx(0, nullptr, 100, QS_MOUSE | QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
            continue;
        }
        if (!IsWindow(window)) return false;
        if (msg.message == WM_LBUTTONUP) {
            released = true;
            up = msg.pt;
            break;
        }
        if (msg.message == WM_MOUSEMOVE) {
            const bool inside = Contains(rect, msg.pt);
            if (inside != pressed) {
                pressed = inside;
                DrawCaptionButton(skin::kCaptionButtonSprite, variant, rect, pressed);
            }
        }
        // Other mouse messages are dropped.
    }
    if (!IsWindow(window)) return false;
    if (pressed) DrawCaptionButton(skin::kCaptionButtonSprite, variant, rect, false);
    if (GetCapture() == window) ReleaseCapture();
    return released && Contains(rect, up);
}

void WKDialog::ReleaseHelpButton() {
    if (!helpPressed_) return;
    helpPressed_ = 0;
    DrawCaptionButton(skin::kHelpButtonSprite, 0, helpButton_, false);
}

void WKDialog::DrawCaptionButton(int sprite, int variant, const RECT& screenRect, bool pressed, bool enabled) {
    if (IsRectEmpty(&screenRect)) return;
    WindowDC dc(window_, GetWindowDC(window_));
    if (!dc) return;
    const int saved = SaveDC(dc.get());
    const unsigned look = !enabled ? 0u : pressed ? 2u : 1u;
    DrawSkinFace(dc.get(), &skin_->sprites[sprite], ToWindow(window_, screenRect),
                 MakeState(look, static_cast<unsigned>(variant)));
    if (saved) RestoreDC(dc.get(), saved);
}

// ---------------------------------------------------------------- painting

LRESULT WKDialog::OnNcPaint(WPARAM region) {
    if (Minimised() || (!Skinned() && !(ExStyle() & WS_EX_CLIENTEDGE)))
        return DefDlgProcA(window_, WM_NCPAINT, region, 0);
    LayoutCaption();
    PaintFrame(region == 1 ? nullptr : reinterpret_cast<HRGN>(region), true);
    return 0;
}

LRESULT WKDialog::OnNcActivate(WPARAM active) {
    active_ = active ? 1 : 0;
    if (Minimised() || (!Skinned() && !(ExStyle() & WS_EX_CLIENTEDGE)))
        return DefDlgProcA(window_, WM_NCACTIVATE, active, 0);
    PaintFrame(nullptr, false);
    return 1;
}

// Paints the frame through a window DC (clipped to `region` when given). The
// class keeps one DC per window: whatever the painting selects and sets is
// put back.
void WKDialog::PaintFrame(HRGN region, bool erase) {
    const HDC raw = region ? GetDCEx(window_, region, DCX_WINDOW | DCX_CACHE | DCX_INTERSECTRGN)
                           : GetWindowDC(window_);
    WindowDC dc(window_, raw);
    if (!dc) return;
    const int saved = SaveDC(dc.get());
    RECT w;
    GetWindowRect(window_, &w);
    OffsetRect(&w, -w.left, -w.top);
    if (!Skinned()) {
        Draw3DFrame(dc.get(), skin_, &w, true, false);
    } else {
        if (erase) FillWithColor(dc.get(), w, *skin_, kFaceColor);
        DrawSkinFrame(dc.get(), &w, &skin_->frames[skin::kThickFrame], kAllSides);
        PaintCaption(dc.get());
        if (panelX_ && panelY_) {
            const int edge = FrameEdge(*skin_);
            RECT panel{0, captionHeight_ + edge, edge + panelX_, 0};
            panel.bottom = edge + panelY_ + panel.top;
            if (erase) FillWithColor(dc.get(), panel, *skin_, kPanelColor);
            DrawSkinFrame(dc.get(), &panel, &skin_->frames[skin::kInsetPanelFrame],
                          erase ? kAllSides : (kSideLeft | kSideTop));
        }
    }
    if (saved) RestoreDC(dc.get(), saved);
}

void WKDialog::PaintCaption(HDC dc) {
    const DWORD style = Style();
    const std::uint32_t flags = skin_->styleFlags;
    RECT caption = ToWindow(window_, captionRect_);
    DrawSkinFrame(dc, &caption, &skin_->frames[skin::kCaptionFrame], kAllSides);
    RECT inner = caption;
    InflateRect(&inner, -CaptionEdge(*skin_), -CaptionEdge(*skin_));
    if (flags & kFilledCaption) {
        FillWithColor(dc, inner, *skin_, kCaptionColor);
        DrawSkinFrame(dc, &inner, &skin_->frames[skin::kCaptionInnerFrame], kAllSides);
    }

    int start = inner.left;
    int leftmostButton = inner.right;
    if (style & WS_SYSMENU) {
        if (!modalFrame_) {
            HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(window_, GCLP_HICONSM));
            if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(window_, GCLP_HICON));
            const RECT r = ToWindow(window_, icon_);
            if (icon) DrawIconEx(dc, r.left, r.top, icon, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
            start = r.right - 5;
        }
        const SkinSprite* buttons = &skin_->sprites[skin::kCaptionButtonSprite];
        RECT r = ToWindow(window_, closeButton_);
        DrawSkinFace(dc, buttons, r, MakeState(1, kCloseButton));
        leftmostButton = r.left;
        if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
            r = ToWindow(window_, minimiseButton_);
            DrawSkinFace(dc, buttons, r, MakeState((style & WS_MINIMIZEBOX) ? 1 : 0, kMinimiseButton));
            leftmostButton = r.left;
            r = ToWindow(window_, maximiseButton_);
            DrawSkinFace(dc, buttons, r,
                         MakeState((style & WS_MAXIMIZEBOX) ? 1 : 0, IsZoomed(window_) ? kRestoreButton : kMaximiseButton));
        }
    }
    if (ExStyle() & WS_EX_CONTEXTHELP) {
        const RECT r = ToWindow(window_, helpButton_);
        DrawSkinFace(dc, &skin_->sprites[skin::kHelpButtonSprite], r, MakeState(helpPressed_ ? 2 : 1, 0));
        leftmostButton = r.left;
    }

    // The title.
    const int length = GetWindowTextLengthA(window_);
    std::unique_ptr<char[]> title(new (std::nothrow) char[static_cast<std::size_t>(length) + 1]);
    if (!title) return;
    const int n = GetWindowTextA(window_, title.get(), length + 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));  // the caller restores the DC
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const int y = (inner.bottom - tm.tmHeight + inner.top) / 2;
    if (flags & kEmbossedTitle) {
        SetTextColor(dc, skin_->colors[kEmbossLight]);
        ExtTextOutA(dc, start + 9, y - 1, ETO_CLIPPED, &inner, title.get(), static_cast<UINT>(n), nullptr);
        SetTextColor(dc, skin_->colors[kEmbossDark]);
        ExtTextOutA(dc, start + 11, y + 1, ETO_CLIPPED, &inner, title.get(), static_cast<UINT>(n), nullptr);
    }
    SetTextColor(dc, skin_->colors[active_ ? kActiveTitle : kInactiveTitle]);
    ExtTextOutA(dc, start + 10, y, ETO_CLIPPED, &inner, title.get(), static_cast<UINT>(n), nullptr);

    if (flags & kGripLines) {
        SIZE extent{};
        GetTextExtentPoint32A(dc, title.get(), n, &extent);
        const int from = start + extent.cx + 10 + 7, to = leftmostButton - 7;
        const RECT closeRect = ToWindow(window_, closeButton_);
        for (int row = closeRect.top; from < to && row <= closeRect.bottom - 2; row += 3) {
            RECT line{from, row, to, row + 1};
            FillWithColor(dc, line, *skin_, kGripDark);
            OffsetRect(&line, 0, 1);
            FillWithColor(dc, line, *skin_, kGripLight);
        }
    }
}

LRESULT WKDialog::OnEraseBkgnd(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    FillWithColor(dc, client, *skin_, kFaceColor);
    if (panelX_ && panelY_ && Skinned()) {
        const int edge = FrameEdge(*skin_);
        RECT panel{-edge, -edge, panelX_, panelY_};
        FillWithColor(dc, panel, *skin_, kPanelColor);
        DrawSkinFrame(dc, &panel, &skin_->frames[skin::kInsetPanelFrame], kAllSides);
    }
    InvalidateRect(window_, &client, FALSE);
    return 1;
}

}  // namespace kelmard
