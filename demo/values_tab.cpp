// Value controls: the tab. Four "WKTab" controls in a skinned window, one per
// state (normal; focused, in three rows; with images from an image list and
// TCS_BOTTOM; disabled), driven by clicks and keys as a user would, with the
// notifications the parent received printed; then photographed.
#include "demo.h"
#include "gallery.h"

#include <commctrl.h>

#include <string>

#include "host.h"
#include "kelmard.h"
#include "owners/win32_owners.h"
#include "picture.h"

namespace demo {
namespace {

using kelmard::SelectGuard;

enum : int { kNormal = 1, kFocused, kImages, kDisabled, kFirstLabel = 11 };

WNDPROC g_hostProc = nullptr;
bool g_refuse = false;  // the host answers TCN_SELCHANGING with TRUE while set

const char* CodeName(UINT code) {
    switch (code) {
    case TCN_SELCHANGING: return "TCN_SELCHANGING";
    case TCN_SELCHANGE: return "TCN_SELCHANGE";
    default: return "another code";
    }
}

// The host window's notifications, printed as they arrive.
LRESULT CALLBACK Host(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        const int selected = static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0));
        const bool refuse = g_refuse && header->code == TCN_SELCHANGING;
        Say("  parent: WM_NOTIFY from tab %d, %s (selection %d)%s\n", static_cast<int>(header->idFrom),
            CodeName(header->code), selected, refuse ? ", answered TRUE" : "");
        if (refuse) return TRUE;
    }
    return CallWindowProcA(g_hostProc, window, message, wParam, lParam);
}

void AddTabs(HWND tab, std::initializer_list<const char*> names, bool images = false) {
    int i = 0;
    for (const char* name : names) {
        TCITEMA item{};
        item.mask = TCIF_TEXT | (images ? TCIF_IMAGE : 0);
        item.pszText = const_cast<char*>(name);
        item.iImage = i % 2;
        SendMessageA(tab, TCM_INSERTITEMA, i++, reinterpret_cast<LPARAM>(&item));
    }
}

// Two 16 x 16 images: a red and a green disc on a transparent ground.
HIMAGELIST MakeImages() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
    kelmard::WindowDC screen(nullptr);
    for (COLORREF colour : {RGB(200, 40, 30), RGB(40, 160, 60)}) {
        kelmard::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), 16, 16));
        kelmard::UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
        {
            SelectGuard select(memory.get(), bitmap.get());
            kelmard::UniqueBrush ground(CreateSolidBrush(RGB(255, 0, 255)));
            kelmard::UniqueBrush disc(CreateSolidBrush(colour));
            const RECT all{0, 0, 16, 16};
            FillRect(memory.get(), &all, ground.get());
            SelectGuard brush(memory.get(), disc.get());
            SelectGuard pen(memory.get(), GetStockObject(NULL_PEN));
            Ellipse(memory.get(), 1, 1, 16, 16);
        }
        ImageList_AddMasked(list, bitmap.get(), RGB(255, 0, 255));
    }
    return list;
}

}  // namespace

bool ShowTab(Context& context) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    kelmard::UniqueWindow host(CreateWindowExA(0, "WKDialog", "Tabs", WS_POPUP | WS_VISIBLE | WS_CAPTION, 40, 40, 580,
                                               340, nullptr, nullptr, self, nullptr));
    const kelmard::UniqueFont font = LabelFont();
    kelmard::UniqueOwner<kelmard::NullEmptyTraits<HIMAGELIST, ImageList_Destroy>> images(MakeImages());
    if (!host || !images) return false;
    g_hostProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(host.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Host)));
    const HFONT f = font.get();
    const char* labels[] = {"Normal", "Focused, three rows", "Images, TCS_BOTTOM", "Disabled"};
    for (int i = 0; i < 4; ++i)
        MakeChild(host.get(), "WKStatic", labels[i], SS_LEFT, kFirstLabel + i, 12 + 280 * (i % 2), 8 + 150 * (i / 2), 260, 16, f);
    HWND normal = MakeChild(host.get(), "WKTab", "", 0, kNormal, 12, 26, 260, 120, f);
    HWND focused = MakeChild(host.get(), "WKTab", "", WS_TABSTOP, kFocused, 292, 26, 260, 120, f);
    HWND pictured = MakeChild(host.get(), "WKTab", "", TCS_BOTTOM, kImages, 12, 176, 260, 120, f);
    HWND disabled = MakeChild(host.get(), "WKTab", "", WS_DISABLED, kDisabled, 292, 176, 260, 120, f);
    if (!normal || !focused || !pictured || !disabled) return false;
    AddTabs(normal, {"General", "Timing", "Colour"});
    AddTabs(focused, {"Direction", "Edges", "Light", "Shadow", "Speed", "Easing", "Preview", "Sound"});
    SendMessageA(pictured, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
    AddTabs(pictured, {"Before", "After", "Mask"}, true);
    AddTabs(disabled, {"General", "Timing"});
    khost::PumpUntilQuiet();

    Say("A click on \"Timing\" of the first tab:\n");
    PostClick(normal, 70, 10);
    khost::PumpUntilQuiet();
    Say("The right arrow key on it:\n");
    SetFocus(normal);
    SendMessageA(normal, WM_KEYDOWN, VK_RIGHT, 1);
    Say("The parent answers TRUE to TCN_SELCHANGING for the left arrow key (told, not asked: it changes):\n");
    g_refuse = true;
    SendMessageA(normal, WM_KEYDOWN, VK_LEFT, 1);
    g_refuse = false;
    Say("TCM_SETCURSEL 1 on the three-row tab, then the up arrow key (rows turn to keep the selection at the page):\n");
    SendMessageA(focused, TCM_SETCURSEL, 1, 0);
    SetFocus(focused);
    SendMessageA(focused, WM_KEYDOWN, VK_UP, 1);
    SendMessageA(pictured, TCM_SETCURSEL, 1, 0);
    khost::PumpUntilQuiet();

    const kpicture::Image image = Photograph(host.get());
    const std::string path = context.outputFolder + "\\tab-states.png";
    const bool written = WritePicture(image, path);
    const int first = static_cast<int>(SendMessageA(normal, TCM_GETCURSEL, 0, 0));
    const int rows = static_cast<int>(SendMessageA(focused, TCM_GETCURSEL, 0, 0));
    Say("Selections: first tab %d, three-row tab %d; the tabs, %d x %d: %s\n", first, rows, image.width, image.height,
        written ? path.c_str() : "(no picture)");
    SetWindowLongPtrA(host.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hostProc));
    return written && first == 1;  // the answer to TCN_SELCHANGING did not keep it at 2
}

}  // namespace demo
