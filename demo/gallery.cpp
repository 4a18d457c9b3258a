// What the demo's control files share (gallery.h).
#include "gallery.h"

namespace demo {

std::vector<WORD> EmptyDialog(const char* title, short cx, short cy, DWORD extraStyle) {
    const DWORD style = WS_POPUP | WS_CAPTION | DS_SETFONT | extraStyle;
    std::vector<WORD> t = {LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0, static_cast<WORD>(cx), static_cast<WORD>(cy),
                           0, 0};  // style, no extended style, no items, at 0,0; size; no menu, no class
    for (const char* c = title; *c; ++c) t.push_back(static_cast<unsigned char>(*c));
    t.push_back(0);
    t.push_back(8);  // the font's point size before its name
    for (const char* c = "MS Shell Dlg"; *c; ++c) t.push_back(static_cast<unsigned char>(*c));
    t.push_back(0);
    return t;
}

kelmard::UniqueFont LabelFont() {
    return kelmard::UniqueFont(CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
}

HWND MakeChild(HWND host, const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h,
               HFONT font) {
    HWND child = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, host,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (child) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

void Click(HWND window, int x, int y) {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void PostClick(HWND window, int x, int y) {
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void PressKey(HWND control, WPARAM key) {
    SendMessageA(control, WM_KEYDOWN, key, 1);
    SendMessageA(control, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

kpicture::Image Photograph(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return kpicture::CaptureWindow(window);
}

void PasteControl(kpicture::Image& into, const kpicture::Image& from, HWND window, HWND control) {
    RECT w, c;
    GetWindowRect(window, &w);
    GetWindowRect(control, &c);
    for (int y = c.top - w.top; y < c.bottom - w.top && y < into.height && y < from.height; ++y)
        for (int x = c.left - w.left; x < c.right - w.left && x < into.width && x < from.width; ++x)
            into.at(x, y) = from.at(x, y);
}

bool WritePicture(const kpicture::Image& image, const std::string& path) {
    return !image.empty() && kpicture::WritePng(image, path);
}

HTREEITEM AddTreeItem(HWND tree, HTREEITEM parent, const char* text) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

}  // namespace demo
