/*
 * A C program for the MSVC ABI (clang --target=*-pc-windows-msvc), linked by
 * lld-link against the SDK's KELMARD.lib and nothing else: no C runtime, no
 * system import library. Its entry point answers the process's exit code: 0
 * when every call answered as the header says, else the bits of the checks
 * that failed. Its layouts are checked while it compiles.
 */
#include <stddef.h>

#include "kelmard.h"

#if defined(_WIN64)
#define LAYOUT(bits32, bits64) (bits64)
#else
#define LAYOUT(bits32, bits64) (bits32)
#endif

/* The layouts other modules rely on, as an MSVC-ABI compiler lays them out. */
_Static_assert(sizeof(QVRIntercomRecord) == LAYOUT(12, 24), "registration record");
_Static_assert(offsetof(QVRIntercomRecord, processId) == LAYOUT(8, 16), "record's process id");
_Static_assert(sizeof(QVRStageInit) == LAYOUT(76, 88), "init block");
_Static_assert(offsetof(QVRStageInit, reserved) == LAYOUT(68, 72), "init block's reserved field");
_Static_assert(offsetof(QVRStageInit, registerStage) == LAYOUT(72, 80), "init block's register address");
_Static_assert(sizeof(RichTextDesc) == 1044, "text render descriptor");
_Static_assert(offsetof(RichTextDesc, coverage) == 1040, "descriptor's coverage flag");
_Static_assert(sizeof(FxHelpOpenBlock) == LAYOUT(12, 24), "help open block");
_Static_assert(sizeof(QVRPicture) == LAYOUT(16, 24), "picture");
_Static_assert(sizeof(QVRStageTarget) == LAYOUT(28, 48), "stage target");

static volatile LONG shutdowns;

static DWORD WINAPI Shutdown(LPVOID argument) {
    (void)argument;
    ++shutdowns;
    return 1;
}

int Start(void) {
    int failed = 0;
    if (WKGetColor(99) != WKGetColor(0) || WKGetColor(1) == WKGetColor(0)) failed |= 1; /* 99: colour 0 */
    if (WKGetSysColor(COLOR_ACTIVECAPTION) != WKGetColor(22)) failed |= 2;
    QVRUpdateID = 0x5EED;
    if (QVRUpdateID != 0x5EED) failed |= 4;
    if (QVRRegisterScene(Shutdown, 42, QVR_REGISTER) != 1) failed |= 8;
    if (QVRRegisterScene(Shutdown, 42, QVR_REGISTER) != 1 || shutdowns != 0) failed |= 16; /* same holder: no eviction */
    if (QVRRegisterScene(Shutdown, 42, QVR_UNREGISTER) != 1) failed |= 32;
    if (FxHelp(FXHELP_HAS_TOPIC, NULL, NULL) != 0 || FxHelp(FXHELP_CLOSE, NULL, NULL) != 1) failed |= 64;
    if (QVRGetOpenFileName(NULL) != 0) failed |= 128;
    if (QVRLoadImage("Z:\\no such folder\\no such picture.bmp") != NULL) failed |= 256;
    return failed;
}
