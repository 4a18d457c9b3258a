// "WKTreeView": the system tree view with the skinned frame, bars and colours.
#include "controls/lists/tree_view.h"

#include <commctrl.h>

namespace kelmard {
namespace {

// The colour elements: the message that sets and the one that reads each, the
// answer while the program has set none, and the skin's colours when enabled
// and disabled.
struct ColourElement {
    UINT set, get;
    COLORREF unset;
    skin::SkinColor enabled, disabled;
};
constexpr ColourElement kColourElements[] = {
    {TVM_SETBKCOLOR, TVM_GETBKCOLOR, CLR_NONE, skin::kFieldColor, skin::kFieldColor},
    {TVM_SETTEXTCOLOR, TVM_GETTEXTCOLOR, CLR_NONE, skin::kTextColor, skin::kGreyTextColor},
    {TVM_SETLINECOLOR, TVM_GETLINECOLOR, CLR_DEFAULT, skin::kTextColor, skin::kGreyTextColor},
    {TVM_SETINSERTMARKCOLOR, TVM_GETINSERTMARKCOLOR, CLR_DEFAULT, skin::kHighlightTextColor, skin::kGreyTextColor},
};

LRESULT AsAnswer(COLORREF colour) { return static_cast<LRESULT>(colour); }

}  // namespace

WKTreeView::WKTreeView(HWND window)
    : WKFrame(window, kTreeViewClass), enabled_((Style() & WS_DISABLED) == 0) {}

bool WKTreeView::HandleMessage(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) {
    for (int i = 0; i < kElements; ++i) {
        if (message == kColourElements[i].set) return *result = OnSetColour(i, lParam), true;
        if (message == kColourElements[i].get) return *result = OnGetColour(i), true;
    }
    switch (message) {
    case WM_CREATE: *result = OnCreateTree(lParam); return true;
    case WM_ENABLE:
        WKFrame::HandleMessage(result, message, wParam, lParam);  // the bars take the state
        *result = OnEnableTree(wParam);
        return true;
    case WM_DROPFILES: *result = PassDroppedFiles(wParam); return true;
    default: return WKFrame::HandleMessage(result, message, wParam, lParam);
    }
}

LRESULT WKTreeView::OnCreateTree(LPARAM create) {
    constexpr LRESULT kFailed = -1;
    if (!systemProcedure_ || CallSystem(window_, WM_CREATE, 0, create) != 0) return kFailed;
    ApplyColours();
    return 0;
}

LRESULT WKTreeView::OnEnableTree(WPARAM enabled) {
    enabled_ = enabled != 0;
    ApplyColours();
    InvalidateRect(window_, nullptr, TRUE);
    return 0;
}

COLORREF WKTreeView::ShownColour(int element) const {
    if (enabled_ && (userMask_ & (1u << element))) return userColours_[element];
    const ColourElement& e = kColourElements[element];
    return skin_->colors[enabled_ ? e.enabled : e.disabled];
}

void WKTreeView::ApplyColours() {
    for (int i = 0; i < kElements; ++i)
        CallSystem(window_, kColourElements[i].set, 0, static_cast<LPARAM>(ShownColour(i)));
}

LRESULT WKTreeView::OnSetColour(int element, LPARAM colour) {
    const ColourElement& e = kColourElements[element];
    const unsigned bit = 1u << element;
    const auto value = static_cast<COLORREF>(colour);
    const LRESULT previous = AsAnswer((userMask_ & bit) ? userColours_[element] : e.unset);
    // CLR_NONE (or the element's own default) takes the skin's colour back.
    if (value == CLR_NONE || value == e.unset) {
        userMask_ &= ~bit;
    } else {
        userMask_ |= bit;
        userColours_[element] = value;
    }
    CallSystem(window_, e.set, 0, static_cast<LPARAM>(ShownColour(element)));
    return previous;
}

LRESULT WKTreeView::OnGetColour(int element) {
    const ColourElement& e = kColourElements[element];
    if (!(userMask_ & (1u << element))) return AsAnswer(e.unset);
    return CallSystem(window_, e.get, 0, 0);
}

ControlClass kTreeViewClass{"WKTreeView", ClassKind::Superclass, WC_TREEVIEWA, ClassProc<kTreeViewClass>,
                            MakeControl<WKTreeView>, nullptr, nullptr};

}  // namespace kelmard
