// The library entry point: starts the subsystems at process attach and stops
// them at process detach, in a fixed order. A failed start step is never
// reported to the loader; the service that depends on it fails by its own
// results.
#include <windows.h>

#include "controls/framework/classes.h"
#include "coordination/intercom.h"
#include "coordination/stage.h"
#include "frame/frame.h"
#include "help/help_popup.h"
#include "media/media.h"

namespace kelmard {
namespace {
HINSTANCE g_module = nullptr;
bool g_processExiting = false;
}  // namespace

HINSTANCE ModuleHandle() { return g_module; }
bool ProcessIsExiting() { return g_processExiting; }

}  // namespace kelmard

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    using namespace kelmard;
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_module = module;
        InitIntercom();
        RegisterControlClasses(module);
        RegisterHelpWindowClass(module);
        LoadTvFormats();
        InitTextRender();
        break;
    case DLL_PROCESS_DETACH:
        // A non-null `reserved` means the process is ending: the other threads
        // are gone and the loader lock is held.
        g_processExiting = reserved != nullptr;
        ReleaseTextRender();
        ReleaseStage();
        FreeTvFormats();
        UnregisterHelpWindowClass(module);
        UnregisterControlClasses(module);
        ReleaseIntercom();
        g_module = nullptr;
        break;
    default:
        break;
    }
    return TRUE;
}
