// The help popup: a small borderless window that shows one help topic's rich
// text in a RichEdit 1.0 control, sized to the text, and vanishes on the
// first deactivation, loss of focus or key press.
#pragma once
#include <windows.h>

namespace kelmard {

class FxTagStream;

// The class name of the popups.
constexpr char kHelpWindowClass[] = "FxHelp Window";
// RichEdit 1.0, whose "RichEdit" class the popup's text control is.
constexpr char kRichEditLibrary[] = "RichEd32";

// Registers the popup's class under the library's module. 1 or 0.
int RegisterHelpWindowClass(HINSTANCE module);
void UnregisterHelpWindowClass(HINSTANCE module);

// Shows the topic's body in a popup at (x, y) on this thread's message loop.
// The stream is read during the call only.
void ShowHelpPopup(FxTagStream& topic, HWND parent, int x, int y);

}  // namespace kelmard
