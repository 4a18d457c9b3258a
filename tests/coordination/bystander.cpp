// A program that never loads the library: it stands for an unrelated program
// given the process id of a holder that died. It publishes the address of a
// routine of its own and counts its calls in the log's slot 15.
#include "support/processes.h"

namespace {
ktest::SharedLog g_log(false);
DWORD WINAPI Routine(LPVOID) { return static_cast<DWORD>(InterlockedIncrement(&g_log->shutdowns[15])); }
}  // namespace

int main() {
    g_log->address = reinterpret_cast<LONG64>(&Routine);
    ktest::Event("ready.bystander").Set();
    ktest::Event("quit.bystander").Wait(60000);
    return GetModuleHandleA("KELMARD.DLL") ? 1 : 0;
}
