// The library's window classes: registered at library attach after the skin
// is loaded, unregistered at detach before the skin is freed.
#pragma once
#include <windows.h>

namespace kelmard {

// Loads the shared skin, then registers every class of the class table.
// Registration results are ignored: a class that fails is simply missing.
void RegisterControlClasses(HINSTANCE module);
// Unregisters the classes of the table, then frees the skin.
void UnregisterControlClasses(HINSTANCE module);

// The style of every own class (no double clicks: a second click arrives as
// another button-down).
constexpr UINT kOwnClassStyle = CS_PARENTDC | CS_HREDRAW | CS_VREDRAW;

}  // namespace kelmard
