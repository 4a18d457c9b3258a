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

// An adapter thunk in allocated executable memory that jumps to the helper's
// routine, as callback frameworks make them: a routine outside any module.
QVRShutdownRoutine MakeThunk() {
    auto* thunk = static_cast<BYTE*>(VirtualAlloc(nullptr, 64, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    const auto target = reinterpret_cast<ULONG_PTR>(&HelperShutdown);
#if defined(_WIN64)
    const BYTE code[] = {0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xE0};  // mov rax, target; jmp rax
    constexpr int kTarget = 2;
#else
    const BYTE code[] = {0xB8, 0, 0, 0, 0, 0xFF, 0xE0};  // mov eax, target; jmp eax
    constexpr int kTarget = 1;
#endif
    CopyMemory(thunk, code, sizeof code);
    CopyMemory(thunk + kTarget, &target, sizeof target);
    DWORD old = 0;
    VirtualProtect(thunk, 64, PAGE_EXECUTE_READ, &old);
    FlushInstructionCache(GetCurrentProcess(), thunk, 64);
    return reinterpret_cast<QVRShutdownRoutine>(thunk);
}

void Begin(ktest::SharedLog& log, const std::vector<std::string>& args) {
    g_log = &*log;
    g_index = std::atoi(args.at(0).c_str());
    if (args.size() > 1) g_mode = args[1];
    g_log->pid[g_index] = static_cast<LONG>(GetCurrentProcessId());
}

// "scene INDEX [MODE]" / "stage INDEX [MODE]": take the place, report, and
// stay until the test's "quit" event (or 60 s). MODE "thunk" registers the
// routine through a thunk; the others say what the routine does.
int Hold(bool scene, const std::vector<std::string>& args) {
    ktest::SharedLog log(false);
    Begin(log, args);
    const QVRShutdownRoutine routine = g_mode == "thunk" ? MakeThunk() : HelperShutdown;
    const int ok = scene ? QVRRegisterScene(routine, g_index, QVR_REGISTER)
                         : QVRRegisterStage(routine, g_index, QVR_REGISTER);
    InterlockedIncrement(ok ? &g_log->registrations[g_index] : &g_log->failures[g_index]);
    ktest::Event("ready." + args[0]).Set();
    ktest::Event("quit." + args[0]).Wait(60000);
    return ok ? 0 : 1;
}

ktest::HelperCommand holdScene("scene", [](const std::vector<std::string>& a) { return Hold(true, a); });
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
    Begin(log, {args.at(0)});
    const DWORD ms = static_cast<DWORD>(std::atoi(args.at(1).c_str()));
    srand(GetCurrentProcessId());
    ktest::Event("ready." + args[0]).Set();
    ktest::Event("start").Wait(30000);
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        if (g_log->registrations[g_index] == g_log->shutdowns[g_index])
            InterlockedIncrement(QVRRegisterScene(HelperShutdown, g_index, QVR_REGISTER)
                                     ? &g_log->registrations[g_index]
                                     : &g_log->failures[g_index]);
        Sleep(static_cast<DWORD>(rand() % 4));
    }
    g_log->done[g_index] = 1;
    ktest::Event("quit." + args[0]).Wait(60000);
    return 0;
});

}  // namespace
