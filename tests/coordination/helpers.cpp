// Helper verbs of the intercom and stage tests: processes that hold the scene
// or stage place, race for the scene place, or use the stage.
#include "kelmard.h"
#include "support/processes.h"

namespace {

const ktest::HelperRun* g_run = nullptr;
QVRStage* g_stage = nullptr;

ktest::TestLog& Log() {
    static ktest::SharedLog log(false);
    return *log;
}
void Count(bool ok) { InterlockedIncrement(ok ? &Log().registrations[g_run->index] : &Log().failures[g_run->index]); }
void Ready(const ktest::HelperRun& run) {
    g_run = &run;
    Log().pid[run.index] = static_cast<LONG>(GetCurrentProcessId());
    run.Signal("ready");
}

// The shutdown routine every helper registers, with its index as argument; it
// notes where and how it ran. MODE "unregister-stage" unregisters the stage,
// "scene" destroys the scene's stage object and unregisters the scene (as a
// scene's shutdown does), "hang" never ends and "zero" answers 0.
DWORD WINAPI HelperShutdown(LPVOID argument) {
    const int i = g_run->index;
    const std::string& mode = g_run->mode;
    if (reinterpret_cast<DWORD_PTR>(argument) != static_cast<DWORD_PTR>(i)) InterlockedIncrement(&Log().wrongProcess);
    Log().shutdownPid[i] = static_cast<LONG>(GetCurrentProcessId());
    Log().shutdownPriority[i] = GetThreadPriority(GetCurrentThread());
    Log().order[i] = InterlockedIncrement(&Log().sequence);
    if (mode == "unregister-stage") QVRRegisterStage(nullptr, 0, QVR_UNREGISTER);
    if (mode == "scene") QVRDestroyStage(g_stage), QVRRegisterScene(nullptr, 0, QVR_UNREGISTER);
    InterlockedIncrement(&Log().shutdowns[i]);
    if (mode == "hang") Sleep(INFINITE);
    return mode == "zero" ? 0 : 1;
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

// "scene INDEX [MODE]", "stage INDEX [MODE]": take the place (MODE "thunk":
// through a thunk) and stay until "quit"; "idle INDEX" takes nothing.
using Register = int(QVRAPI*)(QVRShutdownRoutine, DWORD_PTR, DWORD);
int Hold(const ktest::HelperRun& run, Register take) {
    g_run = &run;
    const bool ok = !take || take(run.mode == "thunk" ? MakeThunk() : HelperShutdown, run.index, QVR_REGISTER);
    if (take) Count(ok);
    Ready(run);
    run.Await("quit");
    return ok ? 0 : 1;
}
ktest::HelperVerb scene("scene", [](const ktest::HelperRun& run) { return Hold(run, QVRRegisterScene); });
ktest::HelperVerb stage("stage", [](const ktest::HelperRun& run) { return Hold(run, QVRRegisterStage); });
ktest::HelperVerb idle("idle", [](const ktest::HelperRun& run) { return Hold(run, nullptr); });

// "race INDEX MS": after the "start" event, for MS milliseconds, take the
// scene place whenever this helper does not hold it (registrations - shutdowns).
ktest::HelperVerb race("race", [](const ktest::HelperRun& run) {
    Ready(run);
    srand(GetCurrentProcessId());
    ktest::Event("start").Wait();
    for (const ULONGLONG end = GetTickCount64() + std::atoi(run.mode.c_str()); GetTickCount64() < end;
         Sleep(static_cast<DWORD>(rand() % 4)))
        if (Log().registrations[run.index] == Log().shutdowns[run.index])
            Count(QVRRegisterScene(HelperShutdown, run.index, QVR_REGISTER));
    Log().done[run.index] = 1;
    run.Await("quit");
    return 0;
});

QVRStage* CreateStage() {
    QVRStageTarget target{sizeof target, nullptr, 64, 48, QVR_PIXELS_BGRA32, nullptr, 0};
    return QVRCreateStage(&target, 0);
}

// "stage-user INDEX [scene|exit]": creates a stage object (loading the
// stage), or with "scene" takes the scene place; successes count as
// registrations, failures as failures. On "go" it creates two objects more
// (with "scene" one, whose loading stage may evict this very scene) and sets
// "done"; with "exit" it ends there instead, the stage still loaded.
ktest::HelperVerb user("stage-user", [](const ktest::HelperRun& run) {
    g_run = &run;
    const bool scene = run.mode == "scene";
    Count(scene ? QVRRegisterScene(HelperShutdown, run.index, QVR_REGISTER) : CreateStage() != nullptr);
    Ready(run);
    if (!run.Await("go") || run.mode == "exit") return Log().failures[run.index] ? 1 : 0;
    for (int i = scene ? 1 : 2; i > 0; --i) Count((g_stage = CreateStage()) != nullptr);
    run.Signal("done");
    run.Await("quit");
    return 0;
});

}  // namespace
