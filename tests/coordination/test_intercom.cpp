// The intercom across real processes: helper processes hold the scene and
// stage places, and this program takes them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kelmard.h"
#include "support/processes.h"

namespace {

using ktest::Helper;
using ktest::Start;

QVRIntercomRecord Place(const char* name) { return *ktest::SharedBlock<QVRIntercomRecord>(name, false); }
QVRIntercomRecord Scene() { return Place(QVR_SCENE_INTERCOM_NAME); }
QVRIntercomRecord Stage() { return Place(QVR_STAGE_INTERCOM_NAME); }
bool Holds(const QVRIntercomRecord& r, QVRShutdownRoutine routine, DWORD_PTR argument,
           DWORD pid = GetCurrentProcessId()) {
    return r.routine == routine && r.argument == argument && r.processId == pid;
}

// Shutdown routines of this process: they count their calls and note the thread.
struct LocalCalls {
    LONG count = 0;
    DWORD thread = 0;
} g_calls[4];

template <int N, DWORD Result>
DWORD WINAPI LocalShutdown(LPVOID) {
    ++g_calls[N].count;
    g_calls[N].thread = GetCurrentThreadId();
    return Result;
}

class Intercom : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto& c : g_calls) c = LocalCalls{};
        Unregister();
    }
    void TearDown() override { Unregister(); }
    static void Unregister() {
        QVRRegisterScene(nullptr, 0, QVR_UNREGISTER);
        QVRRegisterStage(nullptr, 0, QVR_UNREGISTER);
    }
    void EvictRemoteScene(int index, const std::string& mode);

    ktest::SharedLog log_{true};
};

TEST_F(Intercom, SameProcessRegistrations) {
    // A fresh (free) place is taken without any shutdown.
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 10, QVR_REGISTER), 1);
    EXPECT_TRUE(Holds(Scene(), LocalShutdown<0, 1>, 10));
    // The same holder again evicts nobody.
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 10, QVR_REGISTER), 1);
    EXPECT_EQ(g_calls[0].count, 0);
    // The same routine with another argument is another holder: called directly, on this thread.
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 11, QVR_REGISTER), 1);
    EXPECT_EQ(g_calls[0].count, 1);
    EXPECT_EQ(g_calls[0].thread, GetCurrentThreadId());
    EXPECT_TRUE(Holds(Scene(), LocalShutdown<0, 1>, 11));
    // A holder whose routine answers 0 keeps its place.
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<1, 0>, 20, QVR_REGISTER), 1);
    EXPECT_EQ(QVRRegisterScene(LocalShutdown<2, 1>, 30, QVR_REGISTER), 0);
    EXPECT_EQ(g_calls[1].count, 1);
    EXPECT_TRUE(Holds(Scene(), LocalShutdown<1, 0>, 20));
    // The stage place works alike, and a stage registration against another
    // stage evicts the caller's own scene first, leaving it free.
    ASSERT_EQ(QVRRegisterStage(LocalShutdown<3, 1>, 40, QVR_REGISTER), 1);
    QVRRegisterScene(nullptr, 0, QVR_UNREGISTER);
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<2, 1>, 50, QVR_REGISTER), 1);
    ASSERT_EQ(QVRRegisterStage(LocalShutdown<3, 1>, 41, QVR_REGISTER), 1);
    EXPECT_EQ(g_calls[2].count, 1);
    EXPECT_EQ(g_calls[3].count, 1);
    EXPECT_TRUE(Holds(Scene(), nullptr, 0));
    EXPECT_TRUE(Holds(Stage(), LocalShutdown<3, 1>, 41));
}

// A helper holds the scene place with `mode`; this process takes the place,
// and the helper's routine must have run in the helper's process at
// time-critical priority.
void Intercom::EvictRemoteScene(int index, const std::string& mode) {
    SCOPED_TRACE("scene " + mode);
    Helper holder = Start("scene", index, mode);
    ASSERT_EQ(log_->registrations[index], 1);
    EXPECT_TRUE(Holds(Scene(), Scene().routine, index, holder.pid()));
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 7, QVR_REGISTER), 1);
    EXPECT_EQ(log_->shutdowns[index], 1);
    EXPECT_EQ(static_cast<DWORD>(log_->shutdownPid[index]), holder.pid());
    EXPECT_EQ(log_->shutdownPriority[index], THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_EQ(log_->wrongProcess, 0);
    EXPECT_TRUE(Holds(Scene(), LocalShutdown<0, 1>, 7));
}

TEST_F(Intercom, HolderInAnotherProcessShutsDownThere) {
    EvictRemoteScene(1, "");
    // In another process only the end of the routine's thread counts, not its answer.
    EvictRemoteScene(2, "zero");
}

// An adapter thunk in allocated executable memory, outside any module.
TEST_F(Intercom, RoutineOutsideAnyModuleStillRunsInTheHoldersProcess) { EvictRemoteScene(8, "thunk"); }

TEST_F(Intercom, RoutineThatNeverEndsFailsAfterSixSeconds) {
    Helper holder = Start("scene", 3, "hang");
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
    Helper holder = Start("scene", 4);
    holder.Kill();  // crashed: no detach ran, the record still names it
    EXPECT_EQ(Scene().processId, holder.pid());
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 7, QVR_REGISTER), 1);
    EXPECT_EQ(log_->shutdowns[4], 0);
    EXPECT_TRUE(Holds(Scene(), LocalShutdown<0, 1>, 7));
    // The same for a stage holder.
    Start("stage", 5).Kill();
    ASSERT_EQ(QVRRegisterStage(LocalShutdown<1, 1>, 8, QVR_REGISTER), 1);
    EXPECT_TRUE(Holds(Stage(), LocalShutdown<1, 1>, 8));
}

TEST_F(Intercom, ReusedProcessIdIsNeverSentAThread) {
    // A holder died and its process id now belongs to a program that never
    // loaded the library; the record still names the id and a routine address
    // that happens to be valid code there.
    Helper bystander("", "bystander", "kelmard-test-bystander.exe");
    *ktest::SharedBlock<QVRIntercomRecord>(QVR_SCENE_INTERCOM_NAME, false) = {
        reinterpret_cast<QVRShutdownRoutine>(log_->address), 1, bystander.pid()};
    ASSERT_EQ(Scene().processId, bystander.pid());
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 7, QVR_REGISTER), 1);
    EXPECT_EQ(log_->shutdowns[15], 0) << "a thread ran in an unrelated process";
    EXPECT_TRUE(Holds(Scene(), LocalShutdown<0, 1>, 7));
    EXPECT_EQ(bystander.Quit(), 0u) << "the bystander never loaded the library";
}

// Against another stage, the scene goes first, then the stage, unless the
// scene's routine unregistered the stage.
TEST_F(Intercom, StageRegistrationEvictsSceneThenStage) {
    for (const bool stageLeaves : {false, true}) {
        SCOPED_TRACE(stageLeaves ? "the scene's routine unregisters the stage" : "both stay");
        const int scene = stageLeaves ? 8 : 6, stage = scene + 1;
        Helper sceneHolder = Start("scene", scene, stageLeaves ? "unregister-stage" : "");
        Helper stageHolder = Start("stage", stage);
        ASSERT_EQ(QVRRegisterStage(LocalShutdown<0, 1>, 9, QVR_REGISTER), 1);
        EXPECT_EQ(log_->shutdowns[scene], 1);
        EXPECT_EQ(log_->shutdowns[stage], stageLeaves ? 0 : 1);
        if (!stageLeaves) { EXPECT_LT(log_->order[scene], log_->order[stage]); }
        EXPECT_TRUE(Holds(Scene(), nullptr, 0));
        EXPECT_TRUE(Holds(Stage(), LocalShutdown<0, 1>, 9));
        Unregister();
    }
}

TEST_F(Intercom, UnregisterClearsWhoeverHolds) {
    Helper scene = Start("scene", 10), stage = Start("stage", 11);
    EXPECT_EQ(QVRRegisterScene(nullptr, 0, QVR_UNREGISTER), 1);
    EXPECT_EQ(QVRRegisterStage(nullptr, 0, QVR_UNREGISTER), 1);
    EXPECT_TRUE(Holds(Scene(), nullptr, 0, 0));
    EXPECT_TRUE(Holds(Stage(), nullptr, 0, 0));
    EXPECT_EQ(log_->shutdowns[10] + log_->shutdowns[11], 0);
}

TEST_F(Intercom, DetachClearsOnlyTheProcessesOwnRecord) {
    Helper holder = Start("scene", 12);
    EXPECT_EQ(Start("idle", 13).Quit(), 0u);
    EXPECT_EQ(Scene().processId, holder.pid()) << "a non-holder leaving keeps the record";
    EXPECT_EQ(holder.Quit(), 0u);
    EXPECT_TRUE(Holds(Scene(), nullptr, 0, 0)) << "the holder leaving frees its place";
    // An evicted process leaving does not touch its successor's record.
    Helper evicted = Start("scene", 14);
    ASSERT_EQ(QVRRegisterScene(LocalShutdown<0, 1>, 5, QVR_REGISTER), 1);
    EXPECT_EQ(evicted.Quit(), 0u);
    EXPECT_TRUE(Holds(Scene(), LocalShutdown<0, 1>, 5));
}

TEST_F(Intercom, RacingHelpersEndWithExactlyOneHolder) {
    constexpr int kHelpers = 6, kRaceMs = 3000;
    ktest::Event start("start");
    start.Reset();
    std::vector<Helper> racers;
    for (int i = 0; i < kHelpers; ++i) racers.push_back(Start("race", i, std::to_string(kRaceMs)));
    start.Set();
    const bool finished = khost::PumpUntil([&] {
        int done = 0;
        for (int i = 0; i < kHelpers; ++i) done += log_->done[i];
        return done == kHelpers;
    }, kRaceMs + 60000);
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
        if (held == 1) ++holders, holder = i;
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
    EXPECT_TRUE(Holds(Scene(), Scene().routine, holder, static_cast<DWORD>(log_->pid[holder])));
    std::printf("race: %ld registrations, %ld evictions in %d ms\n", registrations, shutdowns, kRaceMs);
}

}  // namespace
