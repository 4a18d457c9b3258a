// The intercom. Registrations are serialised system-wide by the stage lock,
// then the scene semaphore; unregistration and release take no lock.
#include "coordination/intercom.h"

#include <cstddef>
#include <cstdio>
#include <utility>

#include "frame/frame.h"
#include "owners/win32_owners.h"
#include "frame/trace.h"

// The 32-bit record is the shared layout every copy of the library relies on.
#if !defined(_WIN64)
static_assert(sizeof(QVRIntercomRecord) == 12, "registration record is 12 bytes");
static_assert(offsetof(QVRIntercomRecord, routine) == 0, "routine at offset 0");
static_assert(offsetof(QVRIntercomRecord, argument) == 4, "argument at offset 4");
static_assert(offsetof(QVRIntercomRecord, processId) == 8, "process id at offset 8");
#else
static_assert(sizeof(QVRIntercomRecord) == 24, "64-bit registration record is 24 bytes");
static_assert(offsetof(QVRIntercomRecord, processId) == 16, "64-bit process id at offset 16");
#endif

namespace kelmard {
namespace {

constexpr DWORD kStageLockWaitMs = 12000;
constexpr DWORD kSceneLockWaitMs = 9000;
constexpr DWORD kShutdownWaitMs = 6000;

// One place (scene or stage): its shared record, semaphore and the local copy
// of the last record this process wrote there.
struct Place {
    const char* mappingName;
    const char* semaphoreName;
    UniqueHandle mapping;
    UniqueView view;  // the shared record
    UniqueHandle semaphore;
    QVRIntercomRecord local{};

    bool Available() const { return static_cast<bool>(view); }
    volatile QVRIntercomRecord* Shared() const {
        return static_cast<volatile QVRIntercomRecord*>(view.get());
    }

    QVRIntercomRecord Read() const {
        QVRIntercomRecord r;
        r.routine = Shared()->routine;
        r.argument = Shared()->argument;
        r.processId = Shared()->processId;
        return r;
    }
    void Write(const QVRIntercomRecord& r) {
        Shared()->routine = r.routine;
        Shared()->argument = r.argument;
        Shared()->processId = r.processId;
        local = r;
    }
};

Place g_stage{QVR_STAGE_INTERCOM_NAME, QVR_STAGE_SEMAPHORE_NAME};
Place g_scene{QVR_SCENE_INTERCOM_NAME, QVR_SCENE_SEMAPHORE_NAME};

bool SameRecord(const QVRIntercomRecord& a, const QVRIntercomRecord& b) {
    return a.routine == b.routine && a.argument == b.argument && a.processId == b.processId;
}

int OpenPlace(Place& place) {
    // A new page-file mapping is all zeros: a fresh place is free without our
    // writing to it (another process may already be using it).
    UniqueHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(QVRIntercomRecord), place.mappingName));
    if (!mapping) return 0;
    UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view) return 0;
    // Without its semaphore the place would have no lock: keep it unavailable.
    UniqueHandle semaphore(CreateSemaphoreA(nullptr, 1, 1, place.semaphoreName));
    if (!semaphore) return 0;
    place.mapping = std::move(mapping);
    place.view = std::move(view);
    place.semaphore = std::move(semaphore);
    place.local = QVRIntercomRecord{};
    return 1;
}

// Clears the shared record when it is still the one this process wrote, then
// unmaps and closes the place.
void ReleasePlace(Place& place) {
    if (place.Available() && SameRecord(place.Read(), place.local)) {
        KTRACE("Intercom did get released correctly: " KTRACE_PTR ", " KTRACE_PTR ", %8x\n",
               KTRACE_PTR_ARG(place.local.routine), KTRACE_PTR_ARG(place.local.argument),
               static_cast<unsigned>(GetCurrentProcessId()));
        place.Write(QVRIntercomRecord{});
    }
    place.view.reset();
    place.mapping.reset();
    place.semaphore.reset();
    place.local = QVRIntercomRecord{};
}

// Holds a place's semaphore for a scope. A wait that times out goes on as if
// it held the lock, and the semaphore is given back either way: that is how a
// lock left taken by a process that died recovers.
class SemaphoreScope {
public:
    SemaphoreScope(HANDLE semaphore, DWORD waitMs) : semaphore_(semaphore) {
        if (semaphore_) WaitForSingleObject(semaphore_, waitMs);
    }
    ~SemaphoreScope() {
        if (semaphore_) ReleaseSemaphore(semaphore_, 1, nullptr);
    }
    SemaphoreScope(const SemaphoreScope&) = delete;
    SemaphoreScope& operator=(const SemaphoreScope&) = delete;

private:
    HANDLE semaphore_;
};

enum class Holder { Running, Gone, Unknown };

// Every process that has the library loaded keeps a named event whose name
// holds its process id, so another process can ask "is the library loaded
// there?" with one call. The 64-bit build's names carry its suffix.
UniqueHandle g_processMarker;

void MarkerName(DWORD processId, char (&name)[48]) {
    std::snprintf(name, sizeof name, "FxIntercomProcess%lu" QVR_INTERCOM_SUFFIX,
                  static_cast<unsigned long>(processId));
}

// Whether the process with this id still runs.
Holder HolderState(DWORD processId) {
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process) {
        return GetLastError() == ERROR_INVALID_PARAMETER ? Holder::Gone : Holder::Unknown;
    }
    return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0 ? Holder::Gone
                                                                    : Holder::Running;
}

// A process id is reused once its process has ended. Before a thread is sent
// into the recorded process, make sure it can still be the holder: it has
// this library loaded, and the routine lies in committed executable memory
// there (a routine may be an adapter thunk in allocated memory, not inside a
// module). A process without the library is not the one that registered; a
// routine that is no longer executable belongs to code that is gone: either
// way the place is free. A question that cannot be answered counts as "the
// holder is running".
Holder RecordedProcessIsHolder(HANDLE process, const QVRIntercomRecord& record) {
    char name[48];
    MarkerName(record.processId, name);
    UniqueHandle marker(OpenEventA(SYNCHRONIZE, FALSE, name));
    if (!marker && GetLastError() == ERROR_FILE_NOT_FOUND) return Holder::Gone;

    MEMORY_BASIC_INFORMATION memory{};
    if (!VirtualQueryEx(process, reinterpret_cast<LPCVOID>(record.routine), &memory,
                        sizeof memory)) {
        return Holder::Unknown;
    }
    constexpr DWORD kExecutable =
        PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const bool runnable = memory.State == MEM_COMMIT && (memory.Protect & kExecutable) &&
                          !(memory.Protect & PAGE_GUARD);
    return runnable ? Holder::Running : Holder::Gone;
}

QVRIntercomRecord MakeRecord(QVRShutdownRoutine routine, DWORD_PTR argument) {
    QVRIntercomRecord r;
    r.routine = routine;
    r.argument = argument;
    r.processId = GetCurrentProcessId();
    return r;
}

// Steps 3 to 7 of a scene registration, the stage lock being held: evicts a
// different holder and writes the new record. 1 on success; 0 leaves the
// shared record as it was.
int TakeScenePlace(const QVRIntercomRecord& fresh) {
    KTRACE(2, "Register scene: " KTRACE_PTR ", " KTRACE_PTR ", %8x\n",
           KTRACE_PTR_ARG(fresh.routine), KTRACE_PTR_ARG(fresh.argument),
           static_cast<unsigned>(fresh.processId));
    SemaphoreScope sceneLock(g_scene.semaphore.get(), kSceneLockWaitMs);
    const QVRIntercomRecord old = g_scene.Read();
    if (old.routine && !SameRecord(old, fresh)) {
        KTRACE(2, "Try to shutdown scene: " KTRACE_PTR ", " KTRACE_PTR ", %8x\n",
               KTRACE_PTR_ARG(old.routine), KTRACE_PTR_ARG(old.argument),
               static_cast<unsigned>(old.processId));
        if (!IntercomShutdown(old)) return 0;
    }
    g_scene.Write(fresh);
    return 1;
}

int Unregister(Place& place, const char* format, QVRShutdownRoutine routine,
               DWORD_PTR argument) {
    if (!place.Available()) return 0;
    const QVRIntercomRecord shared = place.Read();
    KTRACE(2, format, KTRACE_PTR_ARG(shared.routine), KTRACE_PTR_ARG(shared.argument),
           static_cast<unsigned>(shared.processId), KTRACE_PTR_ARG(routine),
           KTRACE_PTR_ARG(argument), static_cast<unsigned>(GetCurrentProcessId()));
    place.Write(QVRIntercomRecord{});
    return 1;
}

#define KUNREG_FMT(kind)                                                              \
    "Unregister " kind ": " KTRACE_PTR "," KTRACE_PTR ",%8x/" KTRACE_PTR "," KTRACE_PTR \
    ",%8x\n"

}  // namespace

int InitIntercom() {
    KTRACE("InitIntercom()\n");
    char name[48];
    MarkerName(GetCurrentProcessId(), name);
    g_processMarker.reset(CreateEventA(nullptr, TRUE, FALSE, name));
    const int stage = OpenPlace(g_stage);
    const int scene = OpenPlace(g_scene);
    return stage && scene ? 1 : 0;
}

void ReleaseIntercom() {
    KTRACE("ReleaseIntercom()\n");
    ReleasePlace(g_stage);
    ReleasePlace(g_scene);
    g_processMarker.reset();
}

// How deep this thread is inside the stage lock: a thread that holds it
// takes it again without waiting (a stage's init registers while the thread
// that loads it holds the lock).
thread_local int t_stageLockDepth = 0;

StageLock::StageLock() {
    if (t_stageLockDepth++ == 0 && g_stage.semaphore)
        WaitForSingleObject(g_stage.semaphore.get(), kStageLockWaitMs);
}

StageLock::~StageLock() {
    if (--t_stageLockDepth == 0 && g_stage.semaphore)
        ReleaseSemaphore(g_stage.semaphore.get(), 1, nullptr);
}

void ForgetOwnStageRecord() {
    if (g_stage.Available() && SameRecord(g_stage.Read(), g_stage.local)) {
        g_stage.Write(QVRIntercomRecord{});
    }
}

int IntercomShutdown(const QVRIntercomRecord& record) {
    if (!record.routine) return 0;
    if (record.processId == GetCurrentProcessId()) {
        return record.routine(reinterpret_cast<LPVOID>(record.argument)) != 0 ? 1 : 0;
    }

    UniqueHandle process(OpenProcess(PROCESS_ALL_ACCESS, TRUE, record.processId));
    if (!process) {
        // A holder whose process has ended can never give its place back: the
        // place is free. A live process we cannot reach keeps it.
        return HolderState(record.processId) == Holder::Gone ? 1 : 0;
    }
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return 1;
    if (RecordedProcessIsHolder(process.get(), record) == Holder::Gone) return 1;

    // Created suspended so that the routine starts at its priority.
    UniqueHandle thread(CreateRemoteThread(process.get(), nullptr, 0, record.routine,
                                           reinterpret_cast<LPVOID>(record.argument),
                                           CREATE_SUSPENDED, nullptr));
    if (!thread) {
        return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0 ? 1 : 0;
    }
    SetThreadPriority(thread.get(), THREAD_PRIORITY_TIME_CRITICAL);
    ResumeThread(thread.get());
    if (WaitForSingleObject(thread.get(), kShutdownWaitMs) == WAIT_OBJECT_0) return 1;
    KTRACE("IntercomShutdown(): Shutdown timeout failed\n");
    return 0;
}

}  // namespace kelmard

extern "C" int QVRAPI QVRRegisterScene(QVRShutdownRoutine routine, DWORD_PTR argument,
                                       DWORD flags) {
    using namespace kelmard;
    if (!(flags & QVR_REGISTER)) {
        return Unregister(g_scene, KUNREG_FMT("scene"), routine, argument);
    }
    StageLock stageLock;
    if (!g_scene.Available()) return 0;
    return TakeScenePlace(MakeRecord(routine, argument));
}

extern "C" int QVRAPI QVRRegisterStage(QVRShutdownRoutine routine, DWORD_PTR argument,
                                       DWORD flags) {
    using namespace kelmard;
    if (!(flags & QVR_REGISTER)) {
        return Unregister(g_stage, KUNREG_FMT("stage"), routine, argument);
    }
    if (!g_stage.Available()) return 0;
    KTRACE(2, "Register stage: " KTRACE_PTR ", " KTRACE_PTR ", %8x\n", KTRACE_PTR_ARG(routine),
           KTRACE_PTR_ARG(argument), static_cast<unsigned>(GetCurrentProcessId()));
    StageLock stageLock;
    const QVRIntercomRecord fresh = MakeRecord(routine, argument);
    const QVRIntercomRecord old = g_stage.Read();
    if (old.routine && !SameRecord(old, fresh)) {
        KTRACE(2, "Try to shutdown stage: " KTRACE_PTR "," KTRACE_PTR ",%8x\n",
               KTRACE_PTR_ARG(old.routine), KTRACE_PTR_ARG(old.argument),
               static_cast<unsigned>(old.processId));
        if (!g_scene.Available()) return 0;
        // The scene goes first, wherever it runs; its place is left free.
        if (!TakeScenePlace(MakeRecord(nullptr, 0))) return 0;
        // The stage may have left meanwhile (a scene's shutdown may unregister it).
        if (g_stage.Read().routine && !IntercomShutdown(old)) return 0;
    }
    g_stage.Write(fresh);
    return 1;
}
