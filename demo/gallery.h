// What the demo's control files share: an empty dialog template to make
// controls in, the font their labels use, children made with it, clicks and
// keys sent as a user's, and pictures of a window taken, pieced and written.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "owners/win32_owners.h"
#include "picture.h"

namespace demo {

// A DIALOG template without items, as 16-bit words: WS_POPUP | WS_CAPTION |
// DS_SETFONT and `extraStyle`, captioned `title`, 8-point "MS Shell Dlg", no
// menu, no class (it becomes a "WKDialog"), at 0,0, `cx` by `cy` dialog units.
std::vector<WORD> EmptyDialog(const char* title, short cx, short cy, DWORD extraStyle = 0);

// The labels' font: 11-pixel Tahoma. The caller owns it.
kelmard::UniqueFont LabelFont();

// A visible child of `host` of class `cls` with id `id`, told to use `font`.
HWND MakeChild(HWND host, const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h,
               HFONT font);

// A left click at (x, y) of `window`'s client: the button's press and release,
// sent (answered before this returns) or posted (handled when pumped).
void Click(HWND window, int x, int y);
void PostClick(HWND window, int x, int y);

// A key pressed and released on `control`, sent.
void PressKey(HWND control, WPARAM key);

// `window` redrawn whole (frame, background, children) and captured as it is
// on the screen, frame included.
kpicture::Image Photograph(HWND window);

// Copies the pixels of `control` in `from` (a picture of `window`, frame
// included) into `into`.
void PasteControl(kpicture::Image& into, const kpicture::Image& from, HWND window, HWND control);

// An item `text` added last under `parent` (TVI_ROOT at the top) of `tree`.
HTREEITEM AddTreeItem(HWND tree, HTREEITEM parent, const char* text);

// Writes `image` as a PNG file at `path`; false when it is empty or not written.
bool WritePicture(const kpicture::Image& image, const std::string& path);

}  // namespace demo
