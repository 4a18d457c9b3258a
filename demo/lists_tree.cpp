// List controls: the tree view. A skinned dialog holds two "WKTreeView"
// controls with a few categories of effects, one enabled and one disabled;
// the enabled one is scrolled by presses on its skinned vertical bar, and the
// dialog is photographed into tree-states.png. What it heard is printed.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "demo.h"
#include "gallery.h"
#include "host.h"
#include "kelmard.h"
#include "owners/win32_owners.h"
#include "picture.h"

namespace demo {
namespace {

constexpr int kEnabledTree = 1, kDisabledTree = 2;

std::vector<std::string>& Heard() {
    static std::vector<std::string> heard;
    return heard;
}

INT_PTR CALLBACK TreeDialogProc(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == TVN_SELCHANGEDA || header->code == TVN_ITEMEXPANDEDA) {
            char line[64];
            std::snprintf(line, sizeof line, "#%u WM_NOTIFY %s", static_cast<unsigned>(header->idFrom),
                          header->code == TVN_SELCHANGEDA ? "TVN_SELCHANGED" : "TVN_ITEMEXPANDED");
            Heard().push_back(line);
        }
    }
    return message == WM_INITDIALOG;
}

void Fill(HWND tree) {
    const struct {
        const char* category;
        const char* effects[4];
    } categories[] = {
        {"Wipes", {"Clock wipe", "Barn doors", "Venetian blinds", "Checker board"}},
        {"Page turns", {"Page curl", "Book fold", "Peel away", "Roll"}},
        {"3D", {"Cube spin", "Door", "Flip", "Sphere"}},
        {"Particles", {"Shatter", "Sand", "Bubbles", "Sparks"}},
    };
    for (const auto& c : categories) {
        const HTREEITEM parent = AddTreeItem(tree, TVI_ROOT, c.category);
        for (const char* effect : c.effects) AddTreeItem(tree, parent, effect);
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    }
}

}  // namespace

bool ShowTreeView(Context& context) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    const std::vector<WORD> dialogTemplate = EmptyDialog("Tree view states", 260, 130);
    kelmard::UniqueWindow dialog(WKCreateDialogIndirectParam(
        self, reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()), nullptr, TreeDialogProc, 0));
    if (!dialog) return Say("WKCreateDialogIndirectParam failed\n"), false;
    HWND trees[2] = {};
    for (int i = 0; i < 2; ++i) {
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | TVS_HASLINES | TVS_HASBUTTONS |
                            TVS_LINESATROOT | TVS_SHOWSELALWAYS | (i ? WS_DISABLED : 0);
        trees[i] = CreateWindowExA(WS_EX_CLIENTEDGE, "WKTreeView", "", style, 10 + i * 200, 10, 180, 180, dialog.get(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(i ? kDisabledTree : kEnabledTree)),
                                   self, nullptr);
        if (!trees[i]) return Say("a \"WKTreeView\" could not be created\n"), false;
        Fill(trees[i]);
    }
    SetWindowPos(dialog.get(), HWND_TOPMOST, 0, 0, 420, 240, SWP_NOMOVE | SWP_SHOWWINDOW);
    SetForegroundWindow(dialog.get());
    khost::PumpMessages(150);
    // Select an effect, then three presses on the skinned bar's down arrow.
    HWND tree = trees[0];
    const auto first = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    const auto child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(first)));
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
    RECT client;
    GetClientRect(tree, &client);
    POINT arrow{client.right + GetSystemMetrics(SM_CXVSCROLL) / 2, client.bottom - 4};
    ClientToScreen(tree, &arrow);
    POINT inClient = arrow;
    ScreenToClient(tree, &inClient);
    for (int i = 0; i < 3; ++i) {
        SendMessageA(tree, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
        SendMessageA(tree, WM_LBUTTONUP, 0, MAKELPARAM(inClient.x, inClient.y));
    }
    SCROLLINFO info{sizeof info, SIF_POS};
    GetScrollInfo(tree, SB_VERT, &info);
    Say("the enabled tree scrolled to line %d by its skinned bar\n", info.nPos);
    khost::PumpMessages(100);
    const kpicture::Image image = Photograph(dialog.get());
    const std::string path = context.outputFolder + "\\tree-states.png";
    const bool written = WritePicture(image, path);
    Say("%s %s\n", written ? "wrote" : "could not write", path.c_str());
    for (const std::string& line : Heard()) Say("  %s\n", line.c_str());
    return written && info.nPos >= 3;
}

}  // namespace demo
