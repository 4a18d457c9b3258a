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

// The skin's colours and brushes in the dialog's roles.
constexpr skin::SkinColor kCtlTextColor = skin::kTextColor;
constexpr skin::SkinColor kFieldColor = skin::kFieldColor, kFaceColor = skin::kFaceColor;
constexpr skin::SkinColor kActiveTitleColor = skin::kAlternateTextColor;
constexpr skin::SkinColor kInactiveTitleColor = skin::kInactiveTitleColor;
constexpr skin::SkinColor kEmbossLightColor = skin::kAlternateHighlightColor;
constexpr skin::SkinColor kEmbossDarkColor = skin::kAlternateDarkShadowColor;
constexpr skin::SkinBrush kPanelBrush = skin::kAlternateFaceBrush;
constexpr skin::SkinBrush kGripDarkBrush = skin::kAlternateShadowBrush;
constexpr skin::SkinBrush kGripLightBrush = skin::kAlternateLightBrush;

// WM_NCPAINT's region 1 stands for the whole window.
constexpr WPARAM kWholeWindow = 1;

// The title: drawn this far right of where it starts; the grip lines keep
// this gap to the title and the buttons; an icon leaves this much of its
// right part to the title's start.
constexpr int kTitleIndent = 10;
constexpr int kGripGap = 7;
constexpr int kIconOverlap = 5;

void FillWithBrush(HDC dc, const RECT& rect, const WKSkin& skin, skin::SkinBrush brush) {
    if (HBRUSH b = skin.brushes[brush]) FillRect(dc, &rect, b);
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
    case WM_CTLCOLORLISTBOX: return OnCtlColor(reinterpret_cast<HDC>(wParam), kFieldColor, skin::kFieldBrush);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return OnCtlColor(reinterpret_cast<HDC>(wParam), kFaceColor, skin::kFaceBrush);
    case kDialogSetPanel: return OnSetPanel(wParam, lParam);
    default: break;
    }
    return DefDlgProcA(window, message, wParam, lParam);
}

LRESULT WKDialog::OnCreate(LPARAM create) { return DefDlgProcA(window_, WM_CREATE, 0, create); }

LRESULT WKDialog::OnDestroy() { return DefDlgProcA(window_, WM_DESTROY, 0, 0); }

// The child paints with the DC as set here: these settings are its, not undone.
LRESULT WKDialog::OnCtlColor(HDC dc, skin::SkinColor background, skin::SkinBrush brush) {
    SetTextColor(dc, skin_->colors[kCtlTextColor]);
    SetBkColor(dc, skin_->colors[background]);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(skin_->brushes[brush]);
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
    // The caption buttons' size and the icon's and close button's insets.
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
    SavedDC saved(dc.get());
    const Look look = !enabled ? kDisabledLook : pressed ? kPressedLook : kNormalLook;
    DrawSkinFace(dc.get(), &skin_->sprites[sprite], ToWindow(window_, screenRect),
                 MakeState(look, static_cast<unsigned>(variant)));
}

// ---------------------------------------------------------------- painting

LRESULT WKDialog::OnNcPaint(WPARAM region) {
    if (Minimised() || (!Skinned() && !(ExStyle() & WS_EX_CLIENTEDGE)))
        return DefDlgProcA(window_, WM_NCPAINT, region, 0);
    LayoutCaption();
    PaintFrame(region == kWholeWindow ? nullptr : reinterpret_cast<HRGN>(region), true);
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
    WindowDC dc(window_, region ? GetDCEx(window_, region, DCX_WINDOW | DCX_CACHE | DCX_INTERSECTRGN)
                                : GetWindowDC(window_));
    if (!dc) return;
    SavedDC saved(dc.get());
    RECT w;
    GetWindowRect(window_, &w);
    OffsetRect(&w, -w.left, -w.top);
    if (!Skinned()) {
        Draw3DFrame(dc.get(), skin_, &w, true, false);
        return;
    }
    if (erase) FillWithBrush(dc.get(), w, *skin_, skin::kFaceBrush);
    DrawSkinFrame(dc.get(), &w, &skin_->frames[skin::kThickFrame], kAllSides);
    PaintCaption(dc.get());
    if (panelX_ && panelY_) PaintPanelEdge(dc.get(), erase);
}

// The part of the inset panel's frame that lies in the non-client area.
void WKDialog::PaintPanelEdge(HDC dc, bool erase) {
    const int edge = FrameEdge(*skin_);
    RECT panel{0, captionHeight_ + edge, edge + panelX_, 0};
    panel.bottom = edge + panelY_ + panel.top;
    if (erase) FillWithBrush(dc, panel, *skin_, kPanelBrush);
    DrawSkinFrame(dc, &panel, &skin_->frames[skin::kInsetPanelFrame], erase ? kAllSides : (kSideLeft | kSideTop));
}

// The caption in named steps: its frame, the icon and the buttons, the title,
// the grip lines.
void WKDialog::PaintCaption(HDC dc) {
    const RECT inner = PaintCaptionFrame(dc);
    int titleStart = inner.left;
    int leftmostButton = inner.right;
    PaintCaptionButtons(dc, &titleStart, &leftmostButton);
    const int length = GetWindowTextLengthA(window_);
    std::unique_ptr<char[]> title(new (std::nothrow) char[static_cast<std::size_t>(length) + 1]);
    if (!title) return;
    const int n = GetWindowTextA(window_, title.get(), length + 1);
    SelectGuard font(dc, GetStockObject(SYSTEM_FONT));
    PaintTitle(dc, inner, titleStart, title.get(), n);
    if (skin_->styleFlags & kGripLines) PaintGripLines(dc, titleStart, leftmostButton, title.get(), n);
}

// The caption's frame, filled and framed again inside with kFilledCaption;
// answers the inside of the caption frame (window coordinates).
RECT WKDialog::PaintCaptionFrame(HDC dc) {
    RECT caption = ToWindow(window_, captionRect_);
    DrawSkinFrame(dc, &caption, &skin_->frames[skin::kCaptionFrame], kAllSides);
    RECT inner = caption;
    InflateRect(&inner, -CaptionEdge(*skin_), -CaptionEdge(*skin_));
    if (skin_->styleFlags & kFilledCaption) {
        FillWithBrush(dc, inner, *skin_, skin::kCaptionBrush);
        DrawSkinFrame(dc, &inner, &skin_->frames[skin::kCaptionInnerFrame], kAllSides);
    }
    return inner;
}

// The icon and the caption buttons the style asks for; moves the title's
// start past the icon and tells the left edge of the leftmost button.
void WKDialog::PaintCaptionButtons(HDC dc, int* titleStart, int* leftmostButton) {
    const DWORD style = Style();
    if (style & WS_SYSMENU) {
        if (!modalFrame_) {
            HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(window_, GCLP_HICONSM));
            if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(window_, GCLP_HICON));
            const RECT r = ToWindow(window_, icon_);
            if (icon) DrawIconEx(dc, r.left, r.top, icon, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
            *titleStart = r.right - kIconOverlap;
        }
        const SkinSprite* buttons = &skin_->sprites[skin::kCaptionButtonSprite];
        RECT r = ToWindow(window_, closeButton_);
        DrawSkinFace(dc, buttons, r, MakeState(kNormalLook, kCloseButton));
        *leftmostButton = r.left;
        if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
            r = ToWindow(window_, minimiseButton_);
            DrawSkinFace(dc, buttons, r,
                         MakeState((style & WS_MINIMIZEBOX) ? kNormalLook : kDisabledLook, kMinimiseButton));
            *leftmostButton = r.left;
            r = ToWindow(window_, maximiseButton_);
            DrawSkinFace(dc, buttons, r,
                         MakeState((style & WS_MAXIMIZEBOX) ? kNormalLook : kDisabledLook,
                                   IsZoomed(window_) ? kRestoreButton : kMaximiseButton));
        }
    }
    if (ExStyle() & WS_EX_CONTEXTHELP) {
        const RECT r = ToWindow(window_, helpButton_);
        DrawSkinFace(dc, &skin_->sprites[skin::kHelpButtonSprite], r,
                     MakeState(helpPressed_ ? kPressedLook : kNormalLook, 0));
        *leftmostButton = r.left;
    }
}

// The title in the selected font, vertically centred in the caption's inside
// (embossed first with kEmbossedTitle), clipped to it.
void WKDialog::PaintTitle(HDC dc, const RECT& inner, int start, const char* title, int length) {
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const int x = start + kTitleIndent, y = (inner.bottom - tm.tmHeight + inner.top) / 2;
    const UINT n = static_cast<UINT>(length);
    if (skin_->styleFlags & kEmbossedTitle) {
        SetTextColor(dc, skin_->colors[kEmbossLightColor]);
        ExtTextOutA(dc, x - 1, y - 1, ETO_CLIPPED, &inner, title, n, nullptr);
        SetTextColor(dc, skin_->colors[kEmbossDarkColor]);
        ExtTextOutA(dc, x + 1, y + 1, ETO_CLIPPED, &inner, title, n, nullptr);
    }
    SetTextColor(dc, skin_->colors[active_ ? kActiveTitleColor : kInactiveTitleColor]);
    ExtTextOutA(dc, x, y, ETO_CLIPPED, &inner, title, n, nullptr);
}

// Grip lines from after the title to before the leftmost button, at the
// buttons' height: every third row dark with a light row below.
void WKDialog::PaintGripLines(HDC dc, int start, int leftmostButton, const char* title, int length) {
    SIZE extent{};
    GetTextExtentPoint32A(dc, title, length, &extent);
    const int from = start + extent.cx + kTitleIndent + kGripGap, to = leftmostButton - kGripGap;
    const RECT closeRect = ToWindow(window_, closeButton_);
    for (int row = closeRect.top; from < to && row <= closeRect.bottom - 2; row += 3) {
        RECT line{from, row, to, row + 1};
        FillWithBrush(dc, line, *skin_, kGripDarkBrush);
        OffsetRect(&line, 0, 1);
        FillWithBrush(dc, line, *skin_, kGripLightBrush);
    }
}

LRESULT WKDialog::OnEraseBkgnd(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    FillWithBrush(dc, client, *skin_, skin::kFaceBrush);
    if (panelX_ && panelY_ && Skinned()) {
        const int edge = FrameEdge(*skin_);
        RECT panel{-edge, -edge, panelX_, panelY_};
        FillWithBrush(dc, panel, *skin_, kPanelBrush);
        DrawSkinFrame(dc, &panel, &skin_->frames[skin::kInsetPanelFrame], kAllSides);
    }
    // Erasing its own surface painted over the children (the dialog does not
    // clip them): they are painted again. A child that has its parent's
    // background drawn into its own DC (a themed control's transparent parts)
    // gets only the drawing: invalidating here would invalidate that child,
    // whose next paint asks for the background again, for ever.
    if (WindowFromDC(dc) == window_) InvalidateRect(window_, &client, FALSE);
    return 1;
}

}  // namespace kelmard
