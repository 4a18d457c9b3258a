// The combo box's window-free rules: its kind from the style, the closed
// size and the rectangles of text, button and list, how high the opened list
// is for its items, the styles of its list and edit children, which list box
// message each combo message becomes, and the dialog code it answers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "controls/framework/geometry.h"
#include "controls/framework/system_constants.h"

namespace kelmard {
namespace combo {

enum class Kind { kSimple, kDropDown, kDropDownList };

// The kind from the low two bits of the style (0 counts as a drop-down).
Kind KindOf(sys::Bits style);

// What the combo's layout is made from.
struct Metrics {
    Extent full;       // the size asked for at creation or by the last sizing (the list's room included)
    int lineHeight;    // ten vertical dialog units in pixels
    int buttonWidth;   // the drop-down button's width (the scroll thumb's width)
    int droppedWidth;  // CB_SETDROPPEDWIDTH's width, 0 when not set
};

struct Layout {
    Extent closed;  // the visible combo with its list closed
    Rect text;      // where the edit child lies, or where a drop-down list draws its text
    Rect button;    // the drop-down button (empty for the simple kind)
    Rect list;      // the list, in the combo's client coordinates, below the closed part
};

// Never an inverted rectangle, however small the combo.
Layout LayoutFor(Kind kind, const Metrics& metrics);

// The height the opened list takes: its items' height and its border when
// they need less than `room`, else `room`. A negative count counts as none.
int DroppedHeight(int room, long count, long itemHeight);

// The size a WM_WINDOWPOSCHANGING asks for, given the kind and the closed
// size: `remember` when the request is a new full size (anything but the
// closed size itself), and the size the window is to get.
struct Sizing {
    bool remember;
    Extent apply;
};
Sizing SizeRequest(Kind kind, Extent requested, Extent closed);

// The children's window styles for the combo's style.
sys::Bits ListStyle(sys::Bits comboStyle);
sys::Bits EditStyle(sys::Bits comboStyle);
// The style bits the combo drops from itself: it draws its own frame and its
// list has its own scroll bar.
constexpr sys::Bits kDroppedStyleBits = sys::kWsBorder | sys::kWsThickFrame | sys::kWsVScroll | sys::kWsHScroll;

// The list box message a combo message is passed on as, or 0 when the combo
// answers it itself. `selectionFollows` is set for the messages after which
// the combo shows the list's selection (delete, reset, set selection).
struct ListForward {
    sys::Bits message;
    bool selectionFollows;
};
ListForward ListMessageFor(sys::Bits comboMessage);

// WM_GETDLGCODE: the arrow keys always; Return and Escape too while the list
// is open, so the dialog leaves them to the combo. `key` is the key of the
// WM_KEYDOWN the dialog manager asks about, 0 for none.
sys::Bits DialogCode(bool open, std::uint32_t key);

// The text of the selected item: a buffer that grows to the longest text
// shown. Growth allocates the new buffer before letting the old one go, so a
// failed growth keeps the old buffer and its text.
class TextBuffer {
public:
    using Allocate = char* (*)(std::size_t bytes);  // null when memory ran out; freed with delete[]
    static constexpr std::size_t kInitialCapacity = 80;

    explicit TextBuffer(Allocate allocate = nullptr);
    // Room for `length` characters and the terminator; false when memory ran out.
    bool Reserve(std::size_t length);
    void Clear();
    char* data() { return data_.get(); }
    const char* c_str() const { return data_ ? data_.get() : ""; }
    std::size_t capacity() const { return capacity_; }

private:
    Allocate allocate_;
    std::unique_ptr<char[]> data_;
    std::size_t capacity_ = 0;
};

}  // namespace combo
}  // namespace kelmard
