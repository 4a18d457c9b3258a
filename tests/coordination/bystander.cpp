// A process that has never loaded the library: it stands for an unrelated
// program that was given the process id of a holder that died. It publishes
// the address of a routine of its own, and notes when anything calls it.
#include <windows.h>

#include "support/processes.h"

namespace {
ktest::TestLog* g_log = nullptr;

DWORD WINAPI Routine(LPVOID) {
    InterlockedIncrement(&g_log->shutdowns[15]);
    return 1;
}
}  // namespace

int main() {
    ktest::SharedLog log(false);
    g_log = &*log;
    g_log->address = reinterpret_cast<LONG64>(&Routine);
    g_log->pid[15] = static_cast<LONG>(GetCurrentProcessId());
    ktest::Event("ready.bystander").Set();
    ktest::Event("quit.bystander").Wait(60000);
    return GetModuleHandleA("KELMARD.DLL") ? 1 : 0;
}
