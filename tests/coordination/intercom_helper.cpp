// Helper commands for the intercom tests: processes that hold the scene or
// stage place, and racers.
#include <cstdlib>
#include <string>

#include "kelmard.h"
#include "support/helper_main.h"
#include "support/processes.h"

namespace {

int g_index = 0;
std::string g_mode = "ok";
ktest::TestLog* g_log = nullptr;

// The shutdown routine every helper registers. It notes where and how it ran.
DWORD WINAPI HelperShutdown(LPVOID argument) {
    const int index = static_cast<int>(reinterpret_cast<DWORD_PTR>(argument));
    if (index != g_index) InterlockedIncrement(&g_log->wrongProcess);
    g_log->shutdownPid[g_index] = static_cast<LONG>(GetCurrentProcessId());
    g_log->shutdownPriority[g_index] = GetThreadPriority(GetCurrentThread());
    g_log->order[g_index] = InterlockedIncrement(&g_log->sequence);
    InterlockedIncrement(&g_log->shutdowns[g_index]);
    if (g_mode == "hang") Sleep(INFINITE);
    if (g_mode == "zero") return 0;
    if (g_mode == "unregister-stage") QVRRegisterStage(nullptr, 0, QVR_UNREGISTER);
    return 1;
}

// "scene INDEX MODE" / "stage INDEX MODE": take the place, report, and stay
// until the test's "quit" event (or 60 s).
int Hold(bool scene, const std::vector<std::string>& args) {
    ktest::SharedLog log(false);
    g_log = &*log;
    g_index = std::atoi(args.at(0).c_str());
    if (args.size() > 1) g_mode = args[1];
    g_log->pid[g_index] = static_cast<LONG>(GetCurrentProcessId());
    const int ok = scene ? QVRRegisterScene(HelperShutdown, g_index, QVR_REGISTER)
                         : QVRRegisterStage(HelperShutdown, g_index, QVR_REGISTER);
    InterlockedIncrement(ok ? &g_log->registrations[g_index] : &g_log->failures[g_index]);
    ktest::Event("ready." + std::to_string(g_index)).Set();
    ktest::Event("quit." + std::to_string(g_index)).Wait(60000);
    return ok ? 0 : 1;
}

ktest::HelperCommand holdScene("scene", [](const std::vector<std::string>& a) { return Hold(true, a); });

// "scene-thunk INDEX": holds the scene place with a routine that is not in any
// module: an adapter thunk in allocated executable memory that jumps to the
// helper's routine, as callback frameworks make them.
ktest::HelperCommand holdSceneThunk("scene-thunk", [](const std::vector<std::string>& args) {
    ktest::SharedLog log(false);
    g_log = &*log;
    g_index = std::atoi(args.at(0).c_str());
    g_log->pid[g_index] = static_cast<LONG>(GetCurrentProcessId());
    auto* thunk = static_cast<BYTE*>(
        VirtualAlloc(nullptr, 64, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    const auto target = reinterpret_cast<ULONG_PTR>(&HelperShutdown);
#if defined(_WIN64)
    thunk[0] = 0x48;  // mov rax, target
    thunk[1] = 0xB8;
    CopyMemory(thunk + 2, &target, sizeof target);
    thunk[10] = 0xFF;  // jmp rax
    thunk[11] = 0xE0;
#else
    thunk[0] = 0xB8;  // mov eax, target
    CopyMemory(thunk + 1, &target, sizeof target);
    thunk[5] = 0xFF;  // jmp eax
    thunk[6] = 0xE0;
#endif
    DWORD old = 0;
    VirtualProtect(thunk, 64, PAGE_EXECUTE_READ, &old);
    FlushInstructionCache(GetCurrentProcess(), thunk, 64);
    const int ok = QVRRegisterScene(reinterpret_cast<QVRShutdownRoutine>(thunk), g_index,
                                    QVR_REGISTER);
    InterlockedIncrement(ok ? &g_log->registrations[g_index] : &g_log->failures[g_index]);
    ktest::Event("ready." + std::to_string(g_index)).Set();
    ktest::Event("quit." + std::to_string(g_index)).Wait(60000);
    return ok ? 0 : 1;
});
ktest::HelperCommand holdStage("stage", [](const std::vector<std::string>& a) { return Hold(false, a); });

// "idle INDEX": loads the library, holds nothing, stays until "quit".
ktest::HelperCommand idle("idle", [](const std::vector<std::string>& args) {
    ktest::Event("ready." + args.at(0)).Set();
    ktest::Event("quit." + args.at(0)).Wait(60000);
    return 0;
});

// "race INDEX MS": for MS milliseconds, take the scene place whenever this
// helper does not hold it. Holding is counted: registrations - shutdowns.
ktest::HelperCommand race("race", [](const std::vector<std::string>& args) {
    ktest::SharedLog log(false);
    g_log = &*log;
    g_index = std::atoi(args.at(0).c_str());
    const DWORD ms = static_cast<DWORD>(std::atoi(args.at(1).c_str()));
    g_log->pid[g_index] = static_cast<LONG>(GetCurrentProcessId());
    srand(GetCurrentProcessId());
    ktest::Event("ready." + std::to_string(g_index)).Set();
    ktest::Event("start").Wait(30000);
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        if (g_log->registrations[g_index] == g_log->shutdowns[g_index]) {
            if (QVRRegisterScene(HelperShutdown, g_index, QVR_REGISTER)) {
                InterlockedIncrement(&g_log->registrations[g_index]);
            } else {
                InterlockedIncrement(&g_log->failures[g_index]);
            }
        }
        Sleep(static_cast<DWORD>(rand() % 4));
    }
    g_log->done[g_index] = 1;
    ktest::Event("quit." + std::to_string(g_index)).Wait(60000);
    return 0;
});

}  // namespace
