// The help window: FxHelp's help handles (the help files of an installation
// and RichEdit 1.0) and the popup that shows one topic, sized to its text.
#pragma once
#include <windows.h>

namespace kelmard {

// The class name of the popups.
constexpr char kHelpWindowClass[] = "FxHelp Window";

// Registers the popup's class under the library's module. 1 or 0.
int RegisterHelpWindowClass(HINSTANCE module);
void UnregisterHelpWindowClass(HINSTANCE module);

}  // namespace kelmard
