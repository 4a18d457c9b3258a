// The block shared by every process that loads the library: one copy
// system-wide, kept in a section the loader maps shared.
#include "kelmard.h"
#include "frame/frame.h"

#define KELMARD_SHARED __attribute__((section(".shared"), shared))

extern "C" {
KELMARD_SHARED volatile DWORD QVRUpdateID = 0;
}

namespace {
KELMARD_SHARED volatile LONG g_stageUpdateSerial = 0;
}

namespace kelmard {

DWORD StageUpdateSerial() {
    return static_cast<DWORD>(InterlockedCompareExchange(&g_stageUpdateSerial, 0, 0));
}

DWORD AdvanceStageUpdateSerial() {
    return static_cast<DWORD>(InterlockedIncrement(&g_stageUpdateSerial));
}

}  // namespace kelmard
