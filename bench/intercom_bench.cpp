// Intercom benchmark.
//   1. A register + unregister pair that evicts nobody, against the floor of
//      its locks: the stage and scene semaphore waits and releases alone.
//   2. A cross-process eviction (the remote shutdown of a holder in a helper
//      process), against a bare CreateRemoteThread + wait of an empty routine
//      in the same helper process.
// Run as "kelmard-bench-intercom"; it starts itself as "holder" for the helper.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "bench.h"
#include "host.h"
#include "kelmard.h"

using kelmard::UniqueHandle;
using kelmard::UniqueView;

namespace {

// What the helper publishes for the bench.
struct HolderInfo {
    LPTHREAD_START_ROUTINE emptyRoutine;
    volatile LONG stop;
};

UniqueHandle g_evicted;

DWORD WINAPI EmptyRoutine(LPVOID) { return 0; }
DWORD WINAPI LocalShutdown(LPVOID) { return 1; }
DWORD WINAPI HolderShutdown(LPVOID) {
    SetEvent(g_evicted.get());
    return 1;
}

UniqueHandle NamedEvent(const char* name) { return UniqueHandle(CreateEventA(nullptr, FALSE, FALSE, name)); }

// The holder's published block, created or opened.
struct HolderBlock {
    UniqueHandle mapping{CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(HolderInfo),
                                            "KelmardBench.Holder")};
    UniqueView view{mapping ? MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr};
    HolderInfo* operator->() const { return static_cast<HolderInfo*>(view.get()); }
};

// The helper: publishes its empty routine, holds the scene place, and takes it
// again each time it is evicted.
int Holder() {
    const HolderBlock info;
    g_evicted.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    const UniqueHandle held = NamedEvent("KelmardBench.Held");
    if (!info.view) return 1;
    info->emptyRoutine = EmptyRoutine;
    while (!info->stop) {
        QVRRegisterScene(HolderShutdown, 1, QVR_REGISTER);
        SetEvent(held.get());
        while (WaitForSingleObject(g_evicted.get(), 100) == WAIT_TIMEOUT && !info->stop) {
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "holder") == 0) return Holder();

    std::printf("Intercom benchmark (best of 5 rounds)\n");
    QVRRegisterScene(nullptr, 0, QVR_UNREGISTER);

    // 1. Registration without eviction against its locks.
    const UniqueHandle stageLock(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, QVR_STAGE_SEMAPHORE_NAME));
    const UniqueHandle sceneLock(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, QVR_SCENE_SEMAPHORE_NAME));
    if (!stageLock || !sceneLock) {
        std::printf("the intercom's semaphores are not there\n");
        return 1;
    }
    const double locks = bench::NsPerOp(5, 20000, [&] {
        WaitForSingleObject(stageLock.get(), 12000);
        WaitForSingleObject(sceneLock.get(), 9000);
        ReleaseSemaphore(sceneLock.get(), 1, nullptr);
        ReleaseSemaphore(stageLock.get(), 1, nullptr);
    });
    const double pair = bench::NsPerOp(5, 20000, [] {
        QVRRegisterScene(LocalShutdown, 7, QVR_REGISTER);
        QVRRegisterScene(LocalShutdown, 7, QVR_UNREGISTER);
    });
    bench::Report("register + unregister, no eviction", pair, "semaphores alone", locks);

    // 2. Cross-process eviction against a bare remote thread.
    const UniqueHandle held = NamedEvent("KelmardBench.Held");
    const UniqueHandle holder = khost::StartProcess(khost::ExePath(), "holder");
    if (!holder) {
        std::printf("cannot start the holder\n");
        return 1;
    }
    WaitForSingleObject(held.get(), 20000);
    const HolderBlock info;
    if (!info.view) {
        std::printf("the holder published nothing\n");
        TerminateProcess(holder.get(), 1);
        return 1;
    }
    const double remote = bench::NsPerOp(5, 200, [&] {
        const UniqueHandle t(CreateRemoteThread(holder.get(), nullptr, 0, info->emptyRoutine, nullptr, 0, nullptr));
        WaitForSingleObject(t.get(), 6000);
    });
    // Each eviction is timed alone; the holder takes the place back between them.
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        double total = 0;
        const int n = 100;
        for (int i = 0; i < n; ++i) {
            WaitForSingleObject(held.get(), 6000);
            LARGE_INTEGER f, t0, t1;
            QueryPerformanceFrequency(&f);
            QueryPerformanceCounter(&t0);
            QVRRegisterScene(LocalShutdown, 2, QVR_REGISTER);
            QueryPerformanceCounter(&t1);
            total += double(t1.QuadPart - t0.QuadPart) * 1e9 / double(f.QuadPart);
            QVRRegisterScene(nullptr, 0, QVR_UNREGISTER);
        }
        if (total / n < best) best = total / n;
    }
    bench::Report("cross-process eviction", best, "bare remote thread + wait", remote);

    info->stop = 1;
    WaitForSingleObject(holder.get(), 5000);
    return 0;
}
