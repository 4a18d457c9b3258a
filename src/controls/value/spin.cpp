// "WKSpin": the skinned up-down control.
#include "controls/value/spin.h"

#include <cstddef>
#include <cstring>

#include "controls/framework/draw.h"

namespace kelmard {
namespace {

using spin::Arrow;

// The timer of a held arrow.
constexpr UINT_PTR kRepeatTimer = 1;

// Window properties of a buddy whose keys a spin holds: the spin, and the
// buddy's procedure from before (kept while the buddy procedure below stays in
// its chain). Named by strings, which the system keeps as global atoms.
constexpr char kSpinProperty[] = "BuddySpinObject";
constexpr char kProcedureProperty[] = "BuddySpinProcedure";

static_assert(sizeof(spin::Accel) == sizeof(UDACCEL) && offsetof(UDACCEL, nSec) == offsetof(spin::Accel, seconds) &&
                  offsetof(UDACCEL, nInc) == offsetof(spin::Accel, increment),
              "acceleration rows are laid out as UDACCEL");

WNDPROC BuddysOwnProcedure(HWND buddy) {
    if (auto saved = reinterpret_cast<WNDPROC>(GetPropA(buddy, kProcedureProperty))) return saved;
    return reinterpret_cast<WNDPROC>(GetClassLongPtrA(buddy, GCLP_WNDPROC));
}

// Installed in a buddy: its messages go to the spin that holds its keys, if
// any, else on to the buddy's own procedure.
LRESULT CALLBACK BuddyProc(HWND buddy, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC own = BuddysOwnProcedure(buddy);
    if (message == WM_NCDESTROY) {
        if (auto* spin = static_cast<WKSpin*>(GetPropA(buddy, kSpinProperty))) spin->BuddyDestroyed();
        RemovePropA(buddy, kSpinProperty);
        RemovePropA(buddy, kProcedureProperty);
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(buddy, GWLP_WNDPROC)) == BuddyProc)
            SetWindowLongPtrA(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    } else if (auto* spin = static_cast<WKSpin*>(GetPropA(buddy, kSpinProperty))) {
        return spin->BuddyWindowProc(buddy, message, wParam, lParam);
    }
    return own ? CallWindowProcA(own, buddy, message, wParam, lParam) : DefWindowProcA(buddy, message, wParam, lParam);
}

Arrow ArrowForKey(WPARAM key) { return key == VK_UP ? Arrow::kUp : key == VK_DOWN ? Arrow::kDown : Arrow::kNone; }

// An edit-like buddy (it keeps a selection) takes the focus from a click on the spin.
bool KeepsSelection(HWND window) { return (SendMessageA(window, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0; }

Rect ScreenRect(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return FromRECT(r);
}

// Moves a window to a rectangle given in screen coordinates.
void MoveTo(HWND window, const Rect& screen, UINT extra = 0) {
    RECT r = ToRECT(screen);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | extra);
}

int PointX(LPARAM point) { return static_cast<short>(LOWORD(point)); }
int PointY(LPARAM point) { return static_cast<short>(HIWORD(point)); }

}  // namespace

WKSpin::WKSpin(HWND window) : WKControl(window) {
    const DWORD style = Style();
    enabled_ = (style & WS_DISABLED) == 0;
    dialogCode_ = static_cast<int>(spin::DialogCode(style));
    for (const spin::Accel& row : spin::kDefaultAccels) accels_[accelCount_++] = row;
}

WKSpin::~WKSpin() { ReleaseBuddy(); }

LRESULT WKSpin::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case UDM_SETRANGE: return OnSetRange(spin::RangeFromWords(static_cast<std::uint32_t>(lParam)));
    case UDM_GETRANGE: return static_cast<LRESULT>(spin::RangeWords(range_));
    case UDM_SETRANGE32: return OnSetRange({static_cast<int>(wParam), static_cast<int>(lParam)});
    case UDM_GETRANGE32: return OnGetRange32(wParam, lParam);
    case UDM_SETPOS: return OnSetPos(spin::SetPosArgument(wParam, lParam));
    case UDM_GETPOS: return OnGetPos();
    case UDM_SETPOS32: return OnSetPos(static_cast<int>(lParam));
    case UDM_GETPOS32: return OnGetPos32(lParam);
    case UDM_SETBUDDY: return OnSetBuddy(reinterpret_cast<HWND>(wParam));
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(buddy_);
    case UDM_SETBASE: return OnSetBase(wParam);
    case UDM_GETBASE: return base_;
    case UDM_SETACCEL: return OnSetAccel(wParam, lParam);
    case UDM_GETACCEL: return OnGetAccel(wParam, lParam);
    case WM_TIMER: return OnTimer();
    case WM_CAPTURECHANGED: return OnCaptureChanged(reinterpret_cast<HWND>(lParam));
    case WM_CANCELMODE: return OnCancelMode();
    default: return WKControl::WindowProc(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- messages

LRESULT WKSpin::OnSetRange(spin::Range range) {
    range_ = range;  // the position is not clamped until it is next used
    return 0;
}

LRESULT WKSpin::OnGetRange32(WPARAM minimum, LPARAM maximum) const {
    if (auto* out = reinterpret_cast<int*>(minimum)) *out = range_.minimum;
    if (auto* out = reinterpret_cast<int*>(maximum)) *out = range_.maximum;
    return 0;
}

LRESULT WKSpin::OnSetPos(int position) {
    const int previous = position_;
    SetPosition(position);
    return previous;
}

LRESULT WKSpin::OnGetPos() {
    if (BuddyHoldsInteger()) ReadBuddy();  // the buddy's text first, as before a step
    return spin::PosAnswer(position_);
}

LRESULT WKSpin::OnGetPos32(LPARAM failed) {
    const bool wrong = BuddyHoldsInteger() && !ReadBuddy();
    if (auto* out = reinterpret_cast<BOOL*>(failed)) *out = wrong;
    return position_;
}

LRESULT WKSpin::OnSetBuddy(HWND buddy) { return reinterpret_cast<LRESULT>(AttachBuddy(buddy)); }

LRESULT WKSpin::OnSetBase(WPARAM base) {
    if (!spin::ValidBase(base)) return 0;
    const int previous = base_;
    if (BuddyHoldsInteger()) ReadBuddy();  // in the old base
    base_ = static_cast<int>(base);
    if (BuddyHoldsInteger()) SetPosition(position_);
    return previous;
}

LRESULT WKSpin::OnSetAccel(WPARAM count, LPARAM table) {
    const auto* rows = reinterpret_cast<const spin::Accel*>(table);
    if (count && !rows) return FALSE;
    accelCount_ = count > spin::kMaxAccels ? spin::kMaxAccels : static_cast<int>(count);
    if (accelCount_) std::memcpy(accels_, rows, sizeof(spin::Accel) * static_cast<std::size_t>(accelCount_));
    return TRUE;
}

LRESULT WKSpin::OnGetAccel(WPARAM count, LPARAM table) const {
    auto* rows = reinterpret_cast<spin::Accel*>(table);
    if (!count && !rows) return accelCount_;
    if (!count || !rows) return 0;
    const int n = count < static_cast<WPARAM>(accelCount_) ? static_cast<int>(count) : accelCount_;
    std::memcpy(rows, accels_, sizeof(spin::Accel) * static_cast<std::size_t>(n));
    return n;
}

// ---------------------------------------------------------------- buddy

bool WKSpin::BuddyHoldsInteger() const { return (Style() & UDS_SETBUDDYINT) && buddy_ && IsWindow(buddy_); }

HWND WKSpin::AttachBuddy(HWND buddy) {
    const HWND previous = buddy_;
    if (previous) {
        GiveBackRoom();
        ReleaseBuddy();
    }
    buddy_ = buddy && IsWindow(buddy) && buddy != window_ ? buddy : nullptr;
    if (buddy_) {
        const DWORD style = Style();
        const spin::Placement place = spin::PlaceBesideBuddy(ScreenRect(buddy_), ScreenRect(window_), style);
        takenRoom_ = place.taken;
        if (place.taken) {
            SetWindowLongPtrA(window_, GWL_EXSTYLE, GetWindowLongPtrA(window_, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
            MoveTo(buddy_, place.buddy);
            MoveTo(window_, place.spin, SWP_FRAMECHANGED);
        }
        if (style & UDS_ARROWKEYS) TakeBuddyKeys();
        if (style & UDS_SETBUDDYINT) ReadBuddy();
    }
    Layout();
    Redraw();
    return previous;
}

void WKSpin::GiveBackRoom() {
    if (takenRoom_ && buddy_ && IsWindow(buddy_)) MoveTo(buddy_, spin::GiveBackRoom(ScreenRect(buddy_), takenRoom_));
    takenRoom_ = 0;
}

void WKSpin::TakeBuddyKeys() {
    // Another spin may hold this buddy's keys already: it keeps them.
    if (GetPropA(buddy_, kSpinProperty) || !SetPropA(buddy_, kSpinProperty, this)) return;
    // The buddy procedure may still be in the buddy's chain from an earlier
    // spin (a later subclass kept it there): it finds this spin by the property.
    if (!GetPropA(buddy_, kProcedureProperty)) {
        const LONG_PTR own = GetWindowLongPtrA(buddy_, GWLP_WNDPROC);
        if (!SetPropA(buddy_, kProcedureProperty, reinterpret_cast<HANDLE>(own))) {
            RemovePropA(buddy_, kSpinProperty);
            return;
        }
        SetWindowLongPtrA(buddy_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProc));
    }
    holdsBuddyKeys_ = true;
}

void WKSpin::ReleaseBuddy() {
    if (holdsBuddyKeys_ && buddy_ && IsWindow(buddy_)) {
        if (GetPropA(buddy_, kSpinProperty) == this) RemovePropA(buddy_, kSpinProperty);
        // Unhooked only while nobody subclassed the buddy after this spin.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(buddy_, GWLP_WNDPROC)) == BuddyProc) {
            SetWindowLongPtrA(buddy_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddysOwnProcedure(buddy_)));
            RemovePropA(buddy_, kProcedureProperty);
        }
    }
    holdsBuddyKeys_ = false;
    buddy_ = nullptr;
}

LRESULT WKSpin::BuddyWindowProc(HWND buddy, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT answer = 1;
    if (message == WM_KEYDOWN) answer = OnKeyDown(wParam, lParam);
    if (message == WM_KEYUP) answer = OnKeyUp(wParam, lParam);
    if (answer == 0) return 0;
    return CallWindowProcA(BuddysOwnProcedure(buddy), buddy, message, wParam, lParam);
}

void WKSpin::BuddyDestroyed() {
    holdsBuddyKeys_ = false;
    takenRoom_ = 0;
    buddy_ = nullptr;
}

bool WKSpin::ReadBuddy() {
    if (!BuddyHoldsInteger()) return false;
    char text[spin::kTextSize] = "";
    const int length = GetWindowTextA(buddy_, text, spin::kTextSize);
    if (length >= spin::kTextSize - 1) {  // too long to be a number
        position_ = spin::Clamp(range_, position_);
        return false;
    }
    const spin::Reading reading = spin::ParseValue(text, base_, range_);
    position_ = reading.value;
    return reading.exact;
}

void WKSpin::SetPosition(long long position) {
    position_ = spin::Clamp(range_, position);
    if (!BuddyHoldsInteger()) return;
    char text[spin::kTextSize];
    spin::FormatValue(position_, base_, text);
    // The owner hears EN_CHANGE only when the text changes.
    char shown[spin::kTextSize] = "";
    GetWindowTextA(buddy_, shown, spin::kTextSize);
    if (std::strcmp(shown, text) != 0) SetWindowTextA(buddy_, text);
}

void WKSpin::StepBy(Arrow arrow, int increment) {
    ReadBuddy();
    SetPosition(spin::Step(range_, position_, arrow, increment, (Style() & UDS_WRAP) != 0));
}

// ---------------------------------------------------------------- input

LRESULT WKSpin::OnKeyDown(WPARAM key, LPARAM) {
    const Arrow arrow = ArrowForKey(key);
    if (!(Style() & UDS_ARROWKEYS) || arrow == Arrow::kNone) return 1;
    if (!enabled_) return 1;
    keyArrow_ = arrow;
    if (captured_ == Arrow::kNone) SetPressed(arrow);
    // Every key-down, auto-repeats too, steps by the table's first increment.
    StepBy(arrow, spin::IncrementAt(accels_, accelCount_, 0));
    return 0;
}

LRESULT WKSpin::OnKeyUp(WPARAM key, LPARAM) {
    if (!(Style() & UDS_ARROWKEYS) || ArrowForKey(key) == Arrow::kNone) return 1;
    keyArrow_ = Arrow::kNone;
    if (captured_ == Arrow::kNone) SetPressed(Arrow::kNone);
    return 0;
}

LRESULT WKSpin::OnLButtonDown(WPARAM, LPARAM point) {
    const Arrow arrow = spin::HitArrow(arrows_, PointX(point), PointY(point));
    if (arrow == Arrow::kNone || !enabled_) return 0;
    // As the system's: an edit buddy takes the focus, the spin never does.
    const HWND self = window_;
    if (buddy_ && IsWindow(buddy_) && GetFocus() != buddy_ && KeepsSelection(buddy_)) SetFocus(buddy_);
    if (!IsWindow(self)) return 0;
    captured_ = arrow;
    repeats_ = 0;
    SetCapture(window_);
    SetPressed(arrow);
    SetTimer(window_, kRepeatTimer, spin::kFirstRepeatMs, nullptr);
    // Last: the owner may destroy the spin when it hears of the change.
    StepBy(arrow, spin::IncrementAt(accels_, accelCount_, 0));
    return 0;
}

LRESULT WKSpin::OnMouseMove(WPARAM, LPARAM point) {
    if (captured_ == Arrow::kNone) return 0;
    const bool over = spin::HitArrow(arrows_, PointX(point), PointY(point)) == captured_;
    SetPressed(over ? captured_ : Arrow::kNone);
    return 0;
}

LRESULT WKSpin::OnTimer() {
    // A tick without the hold's capture ends the hold (and the timer).
    if (captured_ == Arrow::kNone || GetCapture() != window_) {
        EndHold();
        return 1;
    }
    SetTimer(window_, kRepeatTimer, spin::kRepeatMs, nullptr);  // from now on the shorter interval
    // The cursor decides: off its arrow the hold pauses, its time too.
    SetPressed(ArrowUnderCursor() == captured_ ? captured_ : Arrow::kNone);
    if (pressed_ != Arrow::kNone)
        StepBy(pressed_, spin::IncrementAt(accels_, accelCount_, spin::HoldTimeOfRepeat(++repeats_)));
    return 1;
}

LRESULT WKSpin::OnLButtonUp(WPARAM, LPARAM) {
    if (captured_ == Arrow::kNone) return 0;
    const bool over = pressed_ != Arrow::kNone;
    EndHold();
    // As the system's: the buddy's whole text selected after a click.
    if (over && buddy_ && IsWindow(buddy_) && KeepsSelection(buddy_)) SendMessageA(buddy_, EM_SETSEL, 0, -1);
    return 0;
}

LRESULT WKSpin::OnCaptureChanged(HWND gaining) {
    if (captured_ != Arrow::kNone && gaining != window_) EndHold();
    return 0;
}

LRESULT WKSpin::OnCancelMode() {
    EndHold();
    return 0;
}

void WKSpin::EndHold() {
    KillTimer(window_, kRepeatTimer);
    const bool held = captured_ != Arrow::kNone;
    captured_ = Arrow::kNone;  // before the release: WM_CAPTURECHANGED then finds nothing to end
    repeats_ = 0;
    if (held && GetCapture() == window_) ReleaseCapture();
    SetPressed(keyArrow_);
}

void WKSpin::SetPressed(Arrow arrow) {
    if (arrow == pressed_) return;
    pressed_ = arrow;
    Redraw();
}

Arrow WKSpin::ArrowUnderCursor() const {
    POINT p;
    if (!GetCursorPos(&p) || !ScreenToClient(window_, &p)) return Arrow::kNone;
    return spin::HitArrow(arrows_, p.x, p.y);
}

LRESULT WKSpin::OnSetFocus(HWND lost) {
    // The spin passes the focus on: to its buddy, else to the next control
    // of its group; never back to where it came from, nor around a ring of
    // spins doing the same.
    static thread_local bool forwarding = false;
    focus_ = 1;
    if (forwarding) return 0;
    HWND next = buddy_ && IsWindow(buddy_) ? buddy_ : nullptr;
    if (!next && parent_) next = GetNextDlgGroupItem(parent_, window_, FALSE);
    if (next && next != lost && next != window_) {
        forwarding = true;
        SetFocus(next);
        forwarding = false;
    }
    return 0;
}

LRESULT WKSpin::OnEnable(WPARAM enabled) {
    enabled_ = enabled != 0;
    if (!enabled_) {
        keyArrow_ = Arrow::kNone;
        EndHold();
    }
    Redraw();
    return 0;
}

// ---------------------------------------------------------------- life and looks

LRESULT WKSpin::OnCreate(const CREATESTRUCTA* create) {
    // An automatic buddy with an alignment gets the bordered look at once,
    // whether or not there is a control to be its buddy.
    const DWORD style = Style();
    if ((style & UDS_AUTOBUDDY) && (style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)))
        SetWindowLongPtrA(window_, GWL_EXSTYLE, GetWindowLongPtrA(window_, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    // With UDS_AUTOBUDDY the buddy is the control made just before.
    AttachBuddy((Style() & UDS_AUTOBUDDY) ? GetWindow(window_, GW_HWNDPREV) : nullptr);
    return WKControl::OnCreate(create);
}

LRESULT WKSpin::OnDestroy() {
    EndHold();
    ReleaseBuddy();
    upIcon_.reset();
    downIcon_.reset();
    return WKControl::OnDestroy();
}

LRESULT WKSpin::OnSize(WPARAM, LPARAM) {
    Layout();
    return 1;
}

void WKSpin::Layout() {
    RECT client;
    GetClientRect(window_, &client);
    const Rect area = FromRECT(client);
    if (upIcon_ && area.width() == size_.cx && area.height() == size_.cy) return;
    size_ = {area.width(), area.height()};
    const bool horizontal = (Style() & UDS_HORZ) != 0;
    arrows_ = spin::LayoutArrows(area, Style());
    // Glyphs half a button's width and height.
    const Rect& up = arrows_.up;
    const Rect& down = arrows_.down;
    upIcon_.reset(CreateArrowIcon(up.width() / 2, up.height() / 2, horizontal ? kArrowRight : kArrowUp));
    downIcon_.reset(CreateArrowIcon(down.width() / 2, down.height() / 2, horizontal ? kArrowLeft : kArrowDown));
}

LRESULT WKSpin::OnPaint() {
    PaintDC paint(window_);
    if (!paint || !IsWindowVisible(window_)) return 0;
    const HDC dc = paint.get();
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, skin_->brushes[skin::kFaceBrush]);
    PaintArrow(dc, arrows_.up, upIcon_.get(), pressed_ == Arrow::kUp);
    PaintArrow(dc, arrows_.down, downIcon_.get(), pressed_ == Arrow::kDown);
    return 0;
}

// One arrow button: the skin's face for its state (a bevelled box without
// one), the glyph one pixel down and right when pressed.
void WKSpin::PaintArrow(HDC dc, const Rect& where, HICON icon, bool pressed) {
    const Look look = !enabled_ ? kDisabledLook : pressed ? kPressedLook : kNormalLook;
    const ControlState state = MakeState(look, 0);
    RECT r = ToRECT(where);
    if (!DrawSkinFace(dc, &skin_->sprites[skin::kArrowButtonSprite], r, state)) {
        FillRect(dc, &r, skin_->brushes[enabled_ ? skin::kAlternateFaceBrush : skin::kFaceBrush]);
        Draw3DFrame(dc, skin_, &r, look == kPressedLook, enabled_);
    }
    if (look == kPressedLook) OffsetRect(&r, 1, 1);
    DrawSkinIcon(skin_, dc, r, icon, state, true);
}

// ---------------------------------------------------------------- class

ControlClass kSpinClass{"WKSpin", ClassKind::Own, nullptr, ClassProc<kSpinClass>, MakeControl<WKSpin>,
                        nullptr, nullptr};

}  // namespace kelmard
