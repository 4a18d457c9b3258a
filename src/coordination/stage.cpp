// The stage engines. Each process loads the user's stage library on its first
// QVRCreateStage and forwards creation and destruction of stage objects to
// it; QVRUpdateStage in any process makes every process reload it.
#include "coordination/stage.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "coordination/intercom.h"
#include "coordination/stage_paths.h"
#include "frame/handles.h"
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
// loads, forwards or unloads at a time.
SRWLOCK g_processLock = SRWLOCK_INIT;

class ProcessLock {
public:
    ProcessLock() { AcquireSRWLockExclusive(&g_processLock); }
    ~ProcessLock() { ReleaseSRWLockExclusive(&g_processLock); }
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;
};

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
// unmapped address. The process lock is held.
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
// user has none). 1 or 0; on failure nothing stays loaded. The process lock
// is held.
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
        g_loaded.module.release();
        g_loaded.create = nullptr;
        g_loaded.destroy = nullptr;
        return;
    }
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
    using namespace kelmard;
    ProcessLock lock;
    const DWORD serial = StageUpdateSerial();
    if (g_seenSerial != serial) {
        UnloadStage();
        g_seenSerial = serial;
    }
    if (!g_loaded.module) LoadStage();
    return g_loaded.create ? g_loaded.create(target, flags) : nullptr;
}

extern "C" int QVRAPI QVRDestroyStage(QVRStage* stage) {
    using namespace kelmard;
    ProcessLock lock;
    return g_loaded.destroy ? g_loaded.destroy(stage) : 0;
}

extern "C" int QVRAPI QVRUpdateStage(void) {
    kelmard::AdvanceStageUpdateSerial();
    return QVRRegisterStage(nullptr, 0, QVR_REGISTER);
}
