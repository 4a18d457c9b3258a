// The intercom across real processes: helper processes hold the scene and
// stage places, and this program takes them.
#include <gtest/gtest.h>

#include <string>

#include "kelmard.h"
#include "support/processes.h"

namespace {

using ktest::Event;
using ktest::Helper;

QVRIntercomRecord Scene() { return ktest::ReadPlace(QVR_SCENE_INTERCOM_NAME); }
QVRIntercomRecord Stage() { return ktest::ReadPlace(QVR_STAGE_INTERCOM_NAME); }

// Shutdown routines of this process: they count their calls and note the thread.
struct LocalCalls {
    LONG count = 0;
    DWORD thread = 0;
};
LocalCalls g_calls[4];

template <int N, DWORD Result>
DWORD WINAPI LocalShutdown(LPVOID) {
    ++g_calls[N].count;
    g_calls[N].thread = GetCurrentThreadId();
    return Result;
}

bool Holds(const QVRIntercomRecord& r, QVRShutdownRoutine routine, DWORD_PTR argument, DWORD pid) {
    return r.routine == routine && r.argument == argument && r.processId == pid;
}
bool HeldHere(const QVRIntercomRecord& r, QVRShutdownRoutine routine, DWORD_PTR argument) {
    return Holds(r, routine, argument, GetCurrentProcessId());
}

class Intercom : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto& c : g_calls) c = LocalCalls{};
        Unregister();
    }
    void TearDown() override {
        helpers_.QuitAll();
        Unregister();
    }
    static void Unregister() {
        QVRRegisterScene(nullptr, 0, QVR_UNREGISTER);
        QVRRegisterStage(nullptr, 0, QVR_UNREGISTER);
    }
    Helper& Start(const std::string& command, int index, const std::string& more = "") {
        return helpers_.Start(command, index, more);
    }
    void EvictRemoteScene(int index, const std::string& mode);

    ktest::SharedLog log_{true};
    ktest::HelperSet helpers_;
};

TEST_F(Intercom, SameProcessRegistrations) {
    // A fresh (free) place is taken without any shutdown.
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 10, QVR_REGISTER), 1);
    EXPECT_TRUE(HeldHere(Scene(), LocalShutdown<0, 1>, 10));
    // The same holder again evicts nobody.
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 10, QVR_REGISTER), 1);
    EXPECT_EQ(g_calls[0].count, 0);
    // The same routine with another argument is another holder: called directly,
    // on this thread.
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 11, QVR_REGISTER), 1);
    EXPECT_EQ(g_calls[0].count, 1);
    EXPECT_EQ(g_calls[0].thread, GetCurrentThreadId());
    EXPECT_TRUE(HeldHere(Scene(), LocalShutdown<0, 1>, 11));
    // A holder whose routine answers 0 keeps its place.
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<1, 0>, 20, QVR_REGISTER), 1);
    EXPECT_EQ(QVRRegisterScene(LocalShutdown<2, 1>, 30, QVR_REGISTER), 0);
    EXPECT_EQ(g_calls[1].count, 1);
    EXPECT_TRUE(HeldHere(Scene(), LocalShutdown<1, 0>, 20));
    // The stage place works alike, and a stage registration against another
    // stage evicts the caller's own scene first, leaving it free.
    ASSERT_EQ(QVRRegisterStage(LocalShutdown<3, 1>, 40, QVR_REGISTER), 1);
    QVRRegisterScene(nullptr, 0, QVR_UNREGISTER);
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<2, 1>, 50, QVR_REGISTER), 1);
    ASSERT_EQ(QVRRegisterStage(LocalShutdown<3, 1>, 41, QVR_REGISTER), 1);
    EXPECT_EQ(g_calls[2].count, 1);
    EXPECT_EQ(g_calls[3].count, 1);
    EXPECT_TRUE(HeldHere(Scene(), nullptr, 0));
    EXPECT_TRUE(HeldHere(Stage(), LocalShutdown<3, 1>, 41));
}

// A helper holds the scene place with `mode`; this process takes the place,
// and the helper's routine must have run in the helper's process at
// time-critical priority.
void Intercom::EvictRemoteScene(int index, const std::string& mode) {
    SCOPED_TRACE("scene " + mode);
    Helper& holder = Start("scene", index, mode);
    ASSERT_EQ(log_->registrations[index], 1);
    EXPECT_TRUE(Holds(Scene(), Scene().routine, index, holder.pid()));
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 7, QVR_REGISTER), 1);
    EXPECT_EQ(log_->shutdowns[index], 1);
    EXPECT_EQ(static_cast<DWORD>(log_->shutdownPid[index]), holder.pid());
    EXPECT_EQ(log_->shutdownPriority[index], THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_EQ(log_->wrongProcess, 0);
    EXPECT_TRUE(HeldHere(Scene(), LocalShutdown<0, 1>, 7));
}

TEST_F(Intercom, HolderInAnotherProcessShutsDownThere) {
    EvictRemoteScene(1, "");
    // In another process only the end of the routine's thread counts, not its answer.
    EvictRemoteScene(2, "zero");
}

// An adapter thunk in allocated executable memory, outside any module.
TEST_F(Intercom, RoutineOutsideAnyModuleStillRunsInTheHoldersProcess) { EvictRemoteScene(8, "thunk"); }

TEST_F(Intercom, RoutineThatNeverEndsFailsAfterSixSeconds) {
    Helper& holder = Start("scene", 3, "hang");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 7, QVR_REGISTER), 0);
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 5500u);
    EXPECT_LT(waited, 11000u);
    EXPECT_EQ(log_->shutdowns[3], 1);
    EXPECT_TRUE(Holds(Scene(), Scene().routine, 3, holder.pid()));
    holder.Kill();
}

TEST_F(Intercom, DeadHolderLeavesThePlaceFree) {
    Helper& holder = Start("scene", 4);
    const DWORD pid = holder.pid();
    holder.Kill();  // crashed: no detach ran, the record still names it
    EXPECT_EQ(Scene().processId, pid);
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 7, QVR_REGISTER), 1);
    EXPECT_EQ(log_->shutdowns[4], 0);
    EXPECT_TRUE(HeldHere(Scene(), LocalShutdown<0, 1>, 7));

    // The same for a stage holder.
    Start("stage", 5).Kill();
    ASSERT_EQ(QVRRegisterStage(LocalShutdown<1, 1>, 8, QVR_REGISTER), 1);
    EXPECT_TRUE(HeldHere(Stage(), LocalShutdown<1, 1>, 8));
}

TEST_F(Intercom, ReusedProcessIdIsNeverSentAThread) {
    // A holder died and its process id now belongs to a program that never
    // loaded the library; the record still names the id and a routine address
    // that happens to be valid code there.
    Event ready("ready.bystander");
    ready.Reset();
    Event("quit.bystander").Reset();
    Helper bystander("", "kelmard-test-bystander.exe");
    ASSERT_TRUE(bystander.started());
    ASSERT_TRUE(ready.Wait(ktest::HelperSet::kWaitMs));
    QVRIntercomRecord record{};
    record.routine = reinterpret_cast<QVRShutdownRoutine>(log_->address);
    record.argument = 1;
    record.processId = bystander.pid();
    ASSERT_TRUE(ktest::WritePlace(QVR_SCENE_INTERCOM_NAME, record));

    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 7, QVR_REGISTER), 1);
    EXPECT_EQ(log_->shutdowns[15], 0) << "a thread ran in an unrelated process";
    EXPECT_TRUE(HeldHere(Scene(), LocalShutdown<0, 1>, 7));
    Event("quit.bystander").Set();
    EXPECT_EQ(bystander.Wait(ktest::HelperSet::kWaitMs), 0u) << "the bystander never loaded the library";
}

TEST_F(Intercom, StageRegistrationEvictsSceneThenStage) {
    Start("scene", 6);
    Start("stage", 7);
    ASSERT_EQ(QVRRegisterStage(LocalShutdown<0, 1>, 9, QVR_REGISTER), 1);
    EXPECT_EQ(log_->shutdowns[6], 1);
    EXPECT_EQ(log_->shutdowns[7], 1);
    EXPECT_LT(log_->order[6], log_->order[7]) << "the scene goes first";
    EXPECT_TRUE(HeldHere(Scene(), nullptr, 0));
    EXPECT_TRUE(HeldHere(Stage(), LocalShutdown<0, 1>, 9));
}

TEST_F(Intercom, StageThatLeftWhileTheSceneShutDownIsNotEvicted) {
    Start("scene", 8, "unregister-stage");  // its routine unregisters the stage
    Start("stage", 9);
    ASSERT_EQ(QVRRegisterStage(LocalShutdown<0, 1>, 9, QVR_REGISTER), 1);
    EXPECT_EQ(log_->shutdowns[8], 1);
    EXPECT_EQ(log_->shutdowns[9], 0);
    EXPECT_TRUE(HeldHere(Stage(), LocalShutdown<0, 1>, 9));
}

TEST_F(Intercom, UnregisterClearsWhoeverHolds) {
    Start("scene", 10);
    Start("stage", 11);
    EXPECT_EQ(QVRRegisterScene(nullptr, 0, QVR_UNREGISTER), 1);
    EXPECT_EQ(QVRRegisterStage(nullptr, 0, QVR_UNREGISTER), 1);
    EXPECT_TRUE(Holds(Scene(), nullptr, 0, 0));
    EXPECT_TRUE(Holds(Stage(), nullptr, 0, 0));
    EXPECT_EQ(log_->shutdowns[10] + log_->shutdowns[11], 0);
}

TEST_F(Intercom, DetachClearsOnlyTheProcessesOwnRecord) {
    Helper& holder = Start("scene", 12);
    Helper& other = Start("idle", 13);
    Event("quit.13").Set();
    EXPECT_EQ(other.Wait(ktest::HelperSet::kWaitMs), 0u);
    EXPECT_EQ(Scene().processId, holder.pid()) << "a non-holder leaving keeps the record";
    Event("quit.12").Set();
    EXPECT_EQ(holder.Wait(ktest::HelperSet::kWaitMs), 0u);
    EXPECT_TRUE(Holds(Scene(), nullptr, 0, 0)) << "the holder leaving frees its place";

    // An evicted process leaving does not touch its successor's record.
    Helper& evicted = Start("scene", 14);
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 5, QVR_REGISTER), 1);
    Event("quit.14").Set();
    EXPECT_EQ(evicted.Wait(ktest::HelperSet::kWaitMs), 0u);
    EXPECT_TRUE(HeldHere(Scene(), LocalShutdown<0, 1>, 5));
}

TEST_F(Intercom, RacingHelpersEndWithExactlyOneHolder) {
    constexpr int kHelpers = 6;
    constexpr int kRaceMs = 3000;
    Event start("start");
    start.Reset();
    for (int i = 0; i < kHelpers; ++i) Start("race", i, std::to_string(kRaceMs));
    start.Set();
    const bool finished = ktest::WaitUntil(
        [&] {
            for (int i = 0; i < kHelpers; ++i)
                if (!log_->done[i]) return false;
            return true;
        },
        kRaceMs + 60000);
    start.Reset();
    ASSERT_TRUE(finished) << "a racer did not finish: deadlock";

    LONG registrations = 0, shutdowns = 0, failures = 0;
    int holders = 0, holder = -1;
    for (int i = 0; i < kHelpers; ++i) {
        registrations += log_->registrations[i];
        shutdowns += log_->shutdowns[i];
        failures += log_->failures[i];
        const LONG held = log_->registrations[i] - log_->shutdowns[i];
        EXPECT_TRUE(held == 0 || held == 1) << "helper " << i << " holds " << held;
        if (held == 1) {
            ++holders;
            holder = i;
        }
        if (log_->shutdowns[i] > 0) {
            EXPECT_EQ(log_->shutdownPid[i], log_->pid[i]) << "eviction ran in another process";
            EXPECT_EQ(log_->shutdownPriority[i], THREAD_PRIORITY_TIME_CRITICAL);
        }
    }
    EXPECT_EQ(log_->wrongProcess, 0);
    EXPECT_EQ(failures, 0);
    EXPECT_GT(registrations, kHelpers) << "the helpers hardly raced";
    EXPECT_EQ(registrations - shutdowns, 1) << "every registration but the last evicted one";
    ASSERT_EQ(holders, 1);
    const QVRIntercomRecord record = Scene();
    EXPECT_EQ(record.processId, static_cast<DWORD>(log_->pid[holder]));
    EXPECT_EQ(record.argument, static_cast<DWORD_PTR>(holder));
    std::printf("race: %ld registrations, %ld evictions in %d ms\n", registrations, shutdowns, kRaceMs);
}

}  // namespace
