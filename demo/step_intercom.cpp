// Step: two scenes in two processes. Scene A (this process) takes the scene
// place; scene B, in a second process, registers after it, and the library
// makes A's shutdown routine run here, in A's own process, before B takes over.
#include <cstdlib>

#include "demo.h"
#include "kelmard.h"
#include "owners/win32_owners.h"

namespace demo {
namespace {

kelmard::UniqueHandle g_evicted;

const char* PriorityName(int priority) {
    return priority == THREAD_PRIORITY_TIME_CRITICAL ? "time-critical" : "normal or other";
}

DWORD WINAPI SceneShutdown(LPVOID argument) {
    const char name = static_cast<char>(reinterpret_cast<DWORD_PTR>(argument));
    const int priority = GetThreadPriority(GetCurrentThread());
    Say("  [process %lu] scene %c: shutdown routine runs on thread %lu at %s priority (%d)\n",
        GetCurrentProcessId(), name, GetCurrentThreadId(), PriorityName(priority), priority);
    if (g_evicted) SetEvent(g_evicted.get());
    return 1;
}

void ShowScenePlace(const char* when) {
    const QVRIntercomRecord record = ReadPlace(QVR_SCENE_INTERCOM_NAME);
    if (record.routine)
        Say("  scene place %s: held by scene %c of process %lu\n", when,
            static_cast<char>(record.argument), record.processId);
    else
        Say("  scene place %s: free\n", when);
}

}  // namespace

bool StepIntercom(Context& context) {
    g_evicted.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ShowScenePlace("at start");
    const int a = QVRRegisterScene(SceneShutdown, 'A', QVR_REGISTER);
    Say("  [process %lu] scene A registers: %d\n", GetCurrentProcessId(), a);
    ShowScenePlace("now");

    Say("  starting scene B in a second process...\n");
    const DWORD b = RunSelf(context, "second-scene");
    const bool evicted = WaitForSingleObject(g_evicted.get(), 0) == WAIT_OBJECT_0;
    Say("  scene A was %s\n", evicted ? "shut down in its own process before B took the place"
                                      : "NOT shut down");
    ShowScenePlace("after B left");
    g_evicted.reset();
    return a == 1 && b == 0 && evicted;
}

int SecondSceneProcess(int, char**) {
    const int b = QVRRegisterScene(SceneShutdown, 'B', QVR_REGISTER);
    Say("  [process %lu] scene B registers: %d\n", GetCurrentProcessId(), b);
    ShowScenePlace("now");
    Say("  [process %lu] scene B is done and unregisters: %d\n", GetCurrentProcessId(),
        QVRRegisterScene(SceneShutdown, 'B', QVR_UNREGISTER));
    return b == 1 ? 0 : 1;
}

}  // namespace demo
