// The stage engines. Each process loads the user's stage library on its first
// QVRCreateStage and forwards creation and destruction of stage objects to
// it; QVRUpdateStage in any process makes every process reload it.
#include "coordination/stage.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "coordination/intercom.h"
#include "coordination/stage_paths.h"
#include "owners/win32_owners.h"
#include "frame/trace.h"
#include "kelmard.h"

// The 32-bit init block is the layout every stage library relies on.
#if !defined(_WIN64)
static_assert(sizeof(QVRStageInit) == 76, "init block is 76 bytes");
static_assert(offsetof(QVRStageInit, options) == 4, "option block at offset 4");
static_assert(offsetof(QVRStageInit, reserved) == 68, "reserved field at offset 68");
static_assert(offsetof(QVRStageInit, registerStage) == 72, "register address at offset 72");
#else
static_assert(sizeof(QVRStageInit) == 88, "64-bit init block is 88 bytes");
static_assert(offsetof(QVRStageInit, reserved) == 72, "64-bit reserved field at offset 72");
static_assert(offsetof(QVRStageInit, registerStage) == 80, "64-bit register address at 80");
#endif

namespace kelmard {
namespace {

constexpr char kStageValue[] = "Stage";
constexpr char kStageDataKey[] = "StageData";
constexpr DWORD kOptionsSize = QVR_STAGE_OPTIONS_SIZE;
using OptionBlock = BYTE[QVR_STAGE_OPTIONS_SIZE];

// This process's stage library and the two entries it forwards to. The
// entries are set only once the stage has initialised.
struct LoadedStage {
    UniqueModule module;
    QVRCreateStageFn create = nullptr;
    QVRDestroyStageFn destroy = nullptr;
};
LoadedStage g_loaded;
DWORD g_seenSerial = 0;  // the last stage update serial this process acted on

// Guards the loaded stage between the threads of this process: one thread
// checks, loads or unloads at a time. A thread that holds it takes it again
// without waiting (a shutdown routine that runs inside a stage's init may
// destroy its stage objects). A thread that holds it never waits for the
// stage lock: whoever needs both takes the stage lock first. So an eviction,
// which runs while its registration holds the stage lock, always finds this
// lock free or held by its own thread, and no stage code other than init
// runs under it.
SRWLOCK g_processLock = SRWLOCK_INIT;
thread_local int t_processLockDepth = 0;

class ProcessLock {
public:
    ProcessLock() {
        if (t_processLockDepth++ == 0) AcquireSRWLockExclusive(&g_processLock);
    }
    ~ProcessLock() {
        if (--t_processLockDepth == 0) ReleaseSRWLockExclusive(&g_processLock);
    }
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;
};

// A stage entry held for one forwarded call: its library stays mapped until
// the call returns, even when another thread unloads the stage meanwhile, so
// the call runs without any lock held.
template <typename Fn>
struct PinnedEntry {
    Fn fn = nullptr;
    UniqueModule pin;
};

// Call with the process lock held.
template <typename Fn>
PinnedEntry<Fn> Pin(Fn fn) {
    PinnedEntry<Fn> entry;
    if (fn && GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                 reinterpret_cast<LPCSTR>(reinterpret_cast<void*>(fn)),
                                 entry.pin.put())) {
        entry.fn = fn;
    }
    return entry;
}

// A stage library that cannot be loaded must not put up a system error box
// in the host: failures are results.
class QuietErrors {
public:
    QuietErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_); }
    ~QuietErrors() { SetThreadErrorMode(old_, nullptr); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    DWORD old_ = 0;
};

UniqueModule LoadStageLibrary(const char* path) {
    if (!path[0]) return UniqueModule();
    QuietErrors quiet;
    return UniqueModule(LoadLibraryA(path));
}

template <typename Fn>
Fn Entry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The stored option block of stage `name`: only REG_BINARY of exactly 64
// bytes counts. The settings read does not tell the length, and a shorter
// value leaves the rest of the buffer holding the default: so the block is
// read with two different defaults, and a short value shows as a difference.
bool ReadOptionBlock(const char* name, OptionBlock& block) {
    static const OptionBlock kZeros = {};
    OptionBlock ones, second;
    std::memset(ones, 0xFF, sizeof ones);
    const bool ok =
        ReadUserSetting(REG_BINARY, kStageDataKey, name, block, kOptionsSize, kZeros) &&
        ReadUserSetting(REG_BINARY, kStageDataKey, name, second, kOptionsSize, ones) &&
        std::memcmp(block, second, kOptionsSize) == 0;
    if (!ok) std::memset(block, 0, kOptionsSize);
    return ok;
}

// The stage's own defaults from its "QVREnumOptions", stored for next time.
// Without the entry, or when it declines, the block is all zeros and nothing
// is stored.
void TakeDefaultOptions(HMODULE module, const char* name, OptionBlock& block) {
    const auto enumOptions = Entry<QVREnumOptionsFn>(module, "QVREnumOptions");
    if (enumOptions && enumOptions(0, 0, block)) {
        WriteUserSetting(REG_BINARY, kStageDataKey, name, block, kOptionsSize);
        return;
    }
    std::memset(block, 0, kOptionsSize);
}

void FetchOptionBlock(HMODULE module, const char* name, OptionBlock& block) {
    if (!ReadOptionBlock(name, block)) TakeDefaultOptions(module, name, block);
}

// The first known stage whose library loads and whose "QVRTestStage" answers
// non-zero, its library kept loaded in `chosen`. -1, with an empty path, when
// none runs. Libraries that are not chosen are freed.
int FindRunningStage(char (&path)[kPathChars], UniqueModule& chosen) {
    for (int i = 0; i < kKnownStageCount; ++i) {
        UniqueModule module = LoadStageLibrary(BuildStagePath(kKnownStages[i], path));
        if (!module) continue;
        const auto test = Entry<QVRTestStageFn>(module.get(), "QVRTestStage");
        if (test && test()) {
            chosen = std::move(module);
            return i;
        }
    }
    path[0] = '\0';
    return -1;
}

// Detection: chooses the stage, makes sure it has an option block, and makes
// it the user's stage. The index of the chosen stage, or -1.
int DetectStage(char (&path)[kPathChars]) {
    UniqueModule module;
    const int chosen = FindRunningStage(path, module);
    if (chosen < 0) return -1;
    const char* name = kKnownStages[chosen];
    OptionBlock block;
    FetchOptionBlock(module.get(), name, block);
    module.reset();
    WriteUserSetting(REG_SZ, nullptr, kStageValue, name,
                     static_cast<DWORD>(std::strlen(name) + 1));
    return chosen;
}

// Frees the stage library under the stage lock. A stage that registered
// itself leaves its shutdown routine in the shared record; that routine must
// not outlive the library, or the next eviction would run a thread at an
// unmapped address. The stage lock and the process lock are held.
void UnloadStage() {
    StageLock stageLock;
    if (g_loaded.module) {
        ForgetOwnStageRecord();
        g_loaded.module.reset();
    }
    g_loaded.create = nullptr;
    g_loaded.destroy = nullptr;
}

// Loads and initialises the user's stage library (detecting one when the
// user has none). 1 or 0; on failure nothing stays loaded. The stage lock
// and the process lock are held: the stage's init may register, evicting
// holders whose routines may come back here to destroy stage objects.
int LoadStage() {
    char name[QVR_STAGE_NAME_SIZE];
    char path[kPathChars];
    if (ReadUserSetting(REG_SZ, nullptr, kStageValue, name, sizeof name, nullptr)) {
        BuildStagePath(name, path);
    } else {
        const int chosen = DetectStage(path);
        if (chosen < 0) return 0;
        CopyTerminated(name, sizeof name, kKnownStages[chosen]);
    }
    KTRACE("Trying to load stage dll: %s\n", path);
    g_loaded.module = LoadStageLibrary(path);
    if (!g_loaded.module) return 0;

    const HMODULE module = g_loaded.module.get();
    const auto create = Entry<QVRCreateStageFn>(module, "QVRCreateStage");
    const auto destroy = Entry<QVRDestroyStageFn>(module, "QVRDestroyStage");
    const auto init = Entry<QVRInitStageFn>(module, "QVRInitStage");

    QVRStageInit block{};
    block.size = sizeof block;
    FetchOptionBlock(module, name, block.options);
    block.reserved = 0;
    block.registerStage = QVRRegisterStage;

    if (create && destroy && init && init(&block)) {
        g_loaded.create = create;
        g_loaded.destroy = destroy;
        KTRACE("Stage DLL Linked !!!\n");
        return 1;
    }
    UnloadStage();
    return 0;
}

// The stage's "QVRCreateStage", loading the stage first when needed.
PinnedEntry<QVRCreateStageFn> CreateEntry() {
    {
        ProcessLock lock;
        if (g_loaded.module && g_seenSerial == StageUpdateSerial()) return Pin(g_loaded.create);
    }
    StageLock stageLock;
    ProcessLock lock;
    const DWORD serial = StageUpdateSerial();
    if (g_seenSerial != serial) {
        UnloadStage();
        g_seenSerial = serial;
    }
    if (!g_loaded.module) LoadStage();
    return Pin(g_loaded.create);
}

}  // namespace

char* BuildStagePath(const char* name, char (&path)[kPathChars]) {
    char suffix[kPathChars];
    if (!BuildStageSuffix(name, suffix, sizeof suffix) || !BuildInstallPath(suffix, path)) {
        path[0] = '\0';
    }
    return path;
}

void ReleaseStage() {
    if (ProcessIsExiting()) {
        // Other threads are gone (one may have died holding a lock) and the
        // loader lock is held: no waiting and no FreeLibrary.
        ForgetOwnStageRecord();
        (void)g_loaded.module.release();  // stays loaded: no FreeLibrary under the loader lock
        g_loaded.create = nullptr;
        g_loaded.destroy = nullptr;
        return;
    }
    StageLock stageLock;
    ProcessLock lock;
    UnloadStage();
}

}  // namespace kelmard

extern "C" int QVRAPI QVRDetectStage(char* path) {
    using namespace kelmard;
    char found[kPathChars];
    const int chosen = DetectStage(found);
    if (path) CopyTerminated(path, kPathChars, found);
    return chosen >= 0 ? 1 : 0;
}

extern "C" QVRStage* QVRAPI QVRCreateStage(const QVRStageTarget* target, DWORD flags) {
    const auto create = kelmard::CreateEntry();
    return create.fn ? create.fn(target, flags) : nullptr;
}

extern "C" int QVRAPI QVRDestroyStage(QVRStage* stage) {
    using namespace kelmard;
    PinnedEntry<QVRDestroyStageFn> destroy;
    {
        ProcessLock lock;
        destroy = Pin(g_loaded.destroy);
    }
    return destroy.fn ? destroy.fn(stage) : 0;
}

extern "C" int QVRAPI QVRUpdateStage(void) {
    kelmard::AdvanceStageUpdateSerial();
    return QVRRegisterStage(nullptr, 0, QVR_REGISTER);
}
