// The stage engines through the exports a scene uses: detection, the user's
// stage and option block, loading, forwarding, and the reload after
// QVRUpdateStage in other processes. The test stage libraries answer what
// each test sets and record what they get (stages/test/).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "kelmard.h"
#include "support/processes.h"
#include "test_stage_control.h"

namespace {

using ktest::Helper;
using ktest::Start;
using Bytes = std::vector<BYTE>;

enum StageIndex { kD3D7CDI, kOPENGL, kD3D7UNI };
const char* const kNames[] = {"D3D7CDI", "OPENGL", "D3D7UNI"};
const std::string kRoot = QVR_SETTINGS_ROOT;

// The control block the test stages read and write, for the whole run.
teststage::Control& Block() {
    static ktest::SharedBlock<teststage::Control> block(teststage::kMappingName, false);
    return *block;
}
teststage::Answers& Answers(StageIndex i) { return Block().answers[i]; }
teststage::Calls& Calls(StageIndex i) { return Block().calls[i]; }
// A stage's calls in all processes together, as one line.
std::string Counts(StageIndex i) {
    const teststage::Calls& c = Calls(i);
    char line[128];
    std::snprintf(line, sizeof line, "loaded %ld freed %ld init %ld create %ld destroy %ld", c.attaches, c.detaches,
                  c.inits, c.creates, c.destroys);
    return line;
}
const teststage::ProcessCalls* ProcessCounts(DWORD pid) {
    for (const auto& slot : Block().processes)
        if (static_cast<DWORD>(slot.pid) == pid) return &slot;
    return nullptr;
}

void ChooseStage(const std::string& name) {
    ASSERT_TRUE(khost::WriteRegString(HKEY_CURRENT_USER, kRoot, "Stage", name));
}
QVRIntercomRecord Place(const char* name) { return *ktest::SharedBlock<QVRIntercomRecord>(name, false); }
std::string StoredStage() {
    std::string name;
    return khost::ReadRegString(HKEY_CURRENT_USER, kRoot, "Stage", name) ? name : "";
}
void StoreOptions(const char* stage, DWORD type, const void* data, DWORD size) {
    ASSERT_TRUE(khost::WriteRegValue(HKEY_CURRENT_USER, kRoot + "\\StageData", stage, type, data, size));
}
// The option block stored for a stage (of whatever type); empty when there is none.
Bytes StoredOptions(const char* stage) {
    Bytes b(512);
    DWORD size = 512;
    const LONG rc = RegGetValueA(HKEY_CURRENT_USER, (kRoot + "\\StageData").c_str(), stage, RRF_RT_ANY, nullptr,
                                 b.data(), &size);
    b.resize(rc == ERROR_SUCCESS ? size : 0);
    return b;
}
Bytes Options(const BYTE* p) { return Bytes(p, p + QVR_STAGE_OPTIONS_SIZE); }
Bytes Pattern(BYTE seed) {
    Bytes b(QVR_STAGE_OPTIONS_SIZE);
    for (int i = 0; i < QVR_STAGE_OPTIONS_SIZE; ++i) b[i] = static_cast<BYTE>(seed + i * 37);
    return b;
}

class Stages : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&Block(), 0, sizeof(teststage::Control));
        for (int i = 0; i < teststage::kStages; ++i) {
            teststage::Answers& a = Block().answers[i];
            a.test = a.offerOptions = a.init = a.destroyResult = 1;
            std::memcpy(a.defaults, Pattern(static_cast<BYTE>(0x10 * (i + 1))).data(), QVR_STAGE_OPTIONS_SIZE);
        }
        RegDeleteTreeA(HKEY_CURRENT_USER, kRoot.c_str());
        ASSERT_TRUE(install_.recorded());
        CreateDirectoryA(install_.File("Stages").c_str(), nullptr);
    }
    void TearDown() override {
        // The next creation after an update frees the stage; without an
        // installation folder nothing is loaded again.
        QVRUpdateStage();
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRoot.c_str(), "DestDir");
        QVRCreateStage(nullptr, 0);
        QVRRegisterScene(nullptr, 0, QVR_UNREGISTER);
        QVRRegisterStage(nullptr, 0, QVR_UNREGISTER);
        RegDeleteTreeA(HKEY_CURRENT_USER, kRoot.c_str());
    }
    // Copies a built library (by default the test stage of that name) into
    // the Stages folder of `folder` (by default the installation) as `as`.
    void Install(StageIndex as, std::string built = "", const std::string& folder = "") {
        if (built.empty()) built = std::string("test-stages\\") + kNames[as] + ".DLL";
        const std::string dest = (folder.empty() ? install_.path() : folder) + "\\Stages\\" + kNames[as] + ".DLL";
        ASSERT_TRUE(CopyFileA((khost::ExeFolder() + "\\" + built).c_str(), dest.c_str(), FALSE)) << built;
    }
    void InstallAll() {
        for (StageIndex i : {kD3D7CDI, kOPENGL, kD3D7UNI}) Install(i);
    }
    void UseStage(StageIndex stage) {
        Install(stage);
        ChooseStage(kNames[stage]);
    }
    QVRStage* Create() { return QVRCreateStage(&target_, 0); }

    ktest::Installation install_{"stages"};
    ktest::SharedLog log{true};  // what helper processes report
    QVRStageTarget target_{sizeof target_, nullptr, 32, 24, QVR_PIXELS_BGRA32, nullptr, 0};
};

TEST_F(Stages, WithoutAChoiceTheFirstCreationDetectsLoadsAndForwards) {
    InstallAll();
    Answers(kD3D7CDI).test = 0;  // the first known stage does not run here
    Answers(kOPENGL).destroyResult = 7;

    QVRStage* object = QVRCreateStage(&target_, 0x55);
    ASSERT_NE(object, nullptr);
    // The stage that said no was loaded, asked and freed; the third never loaded.
    EXPECT_EQ(Calls(kD3D7CDI).tests, 1);
    EXPECT_EQ(Counts(kD3D7CDI), "loaded 1 freed 1 init 0 create 0 destroy 0");
    EXPECT_EQ(Counts(kD3D7UNI), "loaded 0 freed 0 init 0 create 0 destroy 0");
    // The choice and the stage's defaults are stored, and loading read them
    // back instead of asking again.
    EXPECT_EQ(StoredStage(), "OPENGL");
    EXPECT_EQ(StoredOptions("OPENGL"), Options(Answers(kOPENGL).defaults));
    EXPECT_EQ(Calls(kOPENGL).enums, 1);
    const QVRStageInit& init = Calls(kOPENGL).lastInit;
    EXPECT_EQ(init.size, sizeof(QVRStageInit));
    EXPECT_EQ(Options(init.options), Options(Answers(kOPENGL).defaults));
    EXPECT_EQ(init.reserved, 0u);
    EXPECT_EQ(init.registerStage, &QVRRegisterStage);
    // The call went through untouched, and so did the answer.
    EXPECT_EQ(Calls(kOPENGL).lastTarget, &target_);
    EXPECT_EQ(Calls(kOPENGL).lastFlags, 0x55u);
    EXPECT_EQ(object, Calls(kOPENGL).lastCreated);

    // Detection freed the chosen library; loading took it again, once, and keeps it.
    EXPECT_NE(Create(), nullptr);
    EXPECT_EQ(QVRDestroyStage(object), 7);
    EXPECT_EQ(Counts(kOPENGL), "loaded 2 freed 1 init 1 create 2 destroy 1");
    EXPECT_EQ(Calls(kOPENGL).lastDestroyed, object);
}

TEST_F(Stages, DetectionIntoACallersBuffer) {
    InstallAll();
    Install(kD3D7CDI, "test-stages\\without-QVRTestStage.DLL");
    Answers(kOPENGL).test = Answers(kD3D7UNI).test = 0;
    char buffer[300];
    std::memset(buffer, 'x', sizeof buffer);
    // Nothing runs: an empty path, every library freed, no choice stored.
    EXPECT_EQ(QVRDetectStage(buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(buffer[1], 'x');
    for (StageIndex i : {kD3D7CDI, kOPENGL, kD3D7UNI}) {
        EXPECT_EQ(Calls(i).attaches, 1) << kNames[i];
        EXPECT_EQ(Calls(i).detaches, 1) << kNames[i];
    }
    EXPECT_EQ(StoredStage(), "");

    // A stage that declines to offer options is chosen without a stored block.
    Answers(kD3D7UNI).test = 1;
    Answers(kD3D7UNI).offerOptions = 0;
    EXPECT_EQ(QVRDetectStage(buffer), 1);
    EXPECT_EQ(std::string(buffer), install_.File("Stages\\D3D7UNI.DLL"));
    EXPECT_EQ(StoredStage(), "D3D7UNI");
    EXPECT_TRUE(StoredOptions("D3D7UNI").empty());
    EXPECT_EQ(Calls(kD3D7UNI).detaches, Calls(kD3D7UNI).attaches);
    EXPECT_EQ(QVRDetectStage(nullptr), 1);

    // The longest path that fits 256 characters is found and written whole;
    // one more and the installation counts as missing.
    const std::string suffix = "\\Stages\\D3D7UNI.DLL";
    const std::string longDir = install_.File(std::string(254 - suffix.size() - install_.path().size(), 'd'));
    CreateDirectoryA(longDir.c_str(), nullptr);
    CreateDirectoryA((longDir + "\\Stages").c_str(), nullptr);
    Install(kD3D7UNI, "", longDir);
    for (const std::string& dir : {longDir, longDir + "e"}) {
        ASSERT_TRUE(khost::WriteRegString(HKEY_LOCAL_MACHINE, kRoot, "DestDir", dir));
        std::memset(buffer, 'x', sizeof buffer);
        const bool fits = dir == longDir;
        EXPECT_EQ(QVRDetectStage(buffer), fits ? 1 : 0);
        EXPECT_EQ(std::string(buffer), fits ? dir + suffix : "");
        if (fits) { EXPECT_EQ(buffer[256], 'x'); }
    }
    EXPECT_EQ(Create(), nullptr);
}

TEST_F(Stages, AStageNameLongerThan19CharactersLeadsToDetection) {
    InstallAll();
    // 19 characters fit: the named (missing) stage is tried, nothing detected.
    ChooseStage("ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(Create(), nullptr);
    EXPECT_EQ(Calls(kD3D7CDI).attaches, 0);
    // 20 do not: the value cannot be read, and detection chooses a stage.
    ChooseStage("ABCDEFGHIJKLMNOPQRST");
    EXPECT_NE(Create(), nullptr);
    EXPECT_EQ(StoredStage(), "D3D7CDI");
    EXPECT_EQ(Calls(kD3D7CDI).inits, 1);
}

TEST_F(Stages, IncompleteOrFailingStagesAreFreedAndNeverCalled) {
    ChooseStage("OPENGL");
    QVRStage* const foreign = reinterpret_cast<QVRStage*>(&target_);
    EXPECT_EQ(QVRDestroyStage(foreign), 0);  // nothing loaded
    for (const char* missing : {"QVRInitStage", "QVRCreateStage", "QVRDestroyStage"}) {
        SCOPED_TRACE(missing);
        Install(kOPENGL, std::string("test-stages\\without-") + missing + ".DLL");
        Calls(kOPENGL) = {};
        EXPECT_EQ(Create(), nullptr);
        EXPECT_EQ(QVRDestroyStage(foreign), 0);
        EXPECT_EQ(Counts(kOPENGL), "loaded 1 freed 1 init 0 create 0 destroy 0");
    }

    // A stage whose init fails is freed, and the next creation tries again.
    Install(kOPENGL);
    Calls(kOPENGL) = {};
    Answers(kOPENGL).init = 0;
    EXPECT_EQ(Create(), nullptr);
    EXPECT_EQ(Counts(kOPENGL), "loaded 1 freed 1 init 1 create 0 destroy 0");
    Answers(kOPENGL).init = 1;
    EXPECT_NE(Create(), nullptr);
    EXPECT_EQ(Counts(kOPENGL), "loaded 2 freed 1 init 2 create 1 destroy 0");

    // Without "QVREnumOptions" the stage runs with a zero block, not stored.
    Install(kD3D7UNI, "test-stages\\without-QVREnumOptions.DLL");
    ChooseStage("D3D7UNI");
    QVRUpdateStage();
    EXPECT_NE(Create(), nullptr);
    EXPECT_EQ(Calls(kOPENGL).detaches, 2);
    EXPECT_EQ(Options(Calls(kD3D7UNI).lastInit.options), Bytes(QVR_STAGE_OPTIONS_SIZE, 0));
    EXPECT_TRUE(StoredOptions("D3D7UNI").empty());
}

TEST_F(Stages, TheStoredOptionBlockReachesTheStageByteForByte) {
    UseStage(kOPENGL);
    const Bytes mine = Pattern(0xF3), defaults = Options(Answers(kOPENGL).defaults);
    StoreOptions("OPENGL", REG_BINARY, mine.data(), 64);
    ASSERT_NE(Create(), nullptr);
    EXPECT_EQ(Options(Calls(kOPENGL).lastInit.options), mine);
    EXPECT_EQ(Calls(kOPENGL).enums, 0);

    // A block of another length or type is no block: the stage's defaults
    // replace it. Each change takes effect at the reload after the update.
    const DWORD number = 0x01020304;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round ? "a number" : "63 bytes");
        if (round == 0) StoreOptions("OPENGL", REG_BINARY, mine.data(), 63);
        else StoreOptions("OPENGL", REG_DWORD, &number, 4);
        QVRUpdateStage();
        ASSERT_NE(Create(), nullptr);
        EXPECT_EQ(Options(Calls(kOPENGL).lastInit.options), defaults);
        EXPECT_EQ(StoredOptions("OPENGL"), defaults);
    }
    EXPECT_EQ(Counts(kOPENGL), "loaded 3 freed 2 init 3 create 3 destroy 0");
}

// A stage that registered itself in its init and then failed it is freed;
// its shutdown routine must not stay in the shared record, where the next
// registration from another process would run it at an unmapped address.
TEST_F(Stages, AFreedStageLeavesNoShutdownRoutineBehind) {
    UseStage(kOPENGL);
    Answers(kOPENGL).registerInInit = 1;
    Answers(kOPENGL).init = 0;
    EXPECT_EQ(Create(), nullptr);
    EXPECT_EQ(Calls(kOPENGL).registerResult, 1);
    EXPECT_EQ(Calls(kOPENGL).detaches, 1);
    EXPECT_EQ(Place(QVR_STAGE_INTERCOM_NAME).routine, nullptr);

    // A stage that stays holds the place until the update shuts it down here.
    Answers(kOPENGL).init = 1;
    ASSERT_NE(Create(), nullptr);
    EXPECT_NE(Place(QVR_STAGE_INTERCOM_NAME).routine, nullptr);
    EXPECT_EQ(QVRUpdateStage(), 1);
    const teststage::ProcessCalls* self = ProcessCounts(GetCurrentProcessId());
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self->shutdowns, 1);
    EXPECT_EQ(Place(QVR_STAGE_INTERCOM_NAME).routine, nullptr);
}

TEST_F(Stages, ThreadsOfOneProcessLoadTheStageOnce) {
    UseStage(kOPENGL);
    Answers(kOPENGL).initDelayMs = 300;
    QVRStage* objects[4] = {};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) threads.emplace_back([this, &objects, i] { objects[i] = Create(); });
    for (std::thread& t : threads) t.join();
    for (QVRStage* object : objects) EXPECT_NE(object, nullptr);
    EXPECT_EQ(Counts(kOPENGL), "loaded 1 freed 0 init 1 create 4 destroy 0");
}

TEST_F(Stages, AfterAnUpdateEveryOtherProcessReloadsOnce) {
    UseStage(kOPENGL);
    Answers(kOPENGL).registerInInit = 1;
    Helper holder = Start("stage-user", 1);  // loads the stage, which takes the place
    Answers(kOPENGL).registerInInit = 0;
    Helper user = Start("stage-user", 3);    // loads the stage, holds nothing
    Helper scene = Start("scene", 2);        // the scene place
    ASSERT_EQ(Place(QVR_STAGE_INTERCOM_NAME).processId, holder.pid());
    ASSERT_EQ(Place(QVR_SCENE_INTERCOM_NAME).processId, scene.pid());

    EXPECT_EQ(QVRUpdateStage(), 1);
    // Both holders were shut down in their own processes.
    EXPECT_EQ(log->shutdowns[2], 1);
    EXPECT_EQ(static_cast<DWORD>(log->shutdownPid[2]), scene.pid());
    const teststage::ProcessCalls* held = ProcessCounts(holder.pid());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->shutdowns, 1);
    EXPECT_EQ(held->shutdownPriority, THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_EQ(Place(QVR_STAGE_INTERCOM_NAME).routine, nullptr);
    EXPECT_EQ(Place(QVR_SCENE_INTERCOM_NAME).routine, nullptr);

    // Their next creations reload the stage once; the one after does not.
    for (auto [index, helper] : {std::pair<int, Helper*>{1, &holder}, {3, &user}}) {
        SCOPED_TRACE("helper " + std::to_string(index));
        helper->Signal("go");
        ASSERT_TRUE(helper->Await("done"));
        EXPECT_EQ(log->registrations[index], 3);
        const teststage::ProcessCalls* counts = ProcessCounts(helper->pid());
        ASSERT_NE(counts, nullptr);
        EXPECT_EQ(counts->attaches, 2);
        EXPECT_EQ(counts->detaches, 1);
        EXPECT_EQ(counts->inits, 2);
    }
}

// A scene's shutdown routine destroys its stage objects. When the stage
// being loaded registers in its init, it evicts the loading process's own
// scene on the same thread; the routine's QVRDestroyStage must not wait for
// the load, and other processes register as soon as it is over.
LONG g_stageShutdowns = 0;
DWORD WINAPI CountStageShutdown(LPVOID) {
    InterlockedIncrement(&g_stageShutdowns);
    return 1;
}

// This process holds the stage place; the stage registers in its init; a
// "stage-user INDEX scene" helper holds the scene place.
class StageLoads : public Stages {
protected:
    Helper StartScene(int index) {
        UseStage(kOPENGL);
        Answers(kOPENGL).registerInInit = 1;
        g_stageShutdowns = 0;
        EXPECT_EQ(QVRRegisterStage(CountStageShutdown, 1, QVR_REGISTER), 1);
        Helper scene = Start("stage-user", index, "scene");
        EXPECT_EQ(log->registrations[index], 1);
        return scene;
    }
};

TEST_F(StageLoads, AShutdownRoutineDestroysItsStageWhileItsStageLoads) {
    Helper scene = StartScene(5);
    scene.Signal("go");
    ASSERT_TRUE(scene.Await("done", 20000)) << "the creation never came back";
    EXPECT_EQ(log->registrations[5], 2) << "the scene's stage object";
    EXPECT_EQ(log->shutdowns[5], 1);
    EXPECT_EQ(static_cast<DWORD>(log->shutdownPid[5]), scene.pid());
    EXPECT_EQ(g_stageShutdowns, 1);
    EXPECT_EQ(Place(QVR_STAGE_INTERCOM_NAME).processId, scene.pid());
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(QVRRegisterScene(CountStageShutdown, 2, QVR_REGISTER), 1);
    EXPECT_LT(GetTickCount64() - start, 3000u);
}

// Another process evicts a scene while a thread of the scene's process is
// loading the stage: the eviction must not wait for that thread (which in
// turn waits for the evicting registration), so it ends within its time.
TEST_F(StageLoads, AnEvictionDuringAStageLoadInTheHoldersProcessEndsInTime) {
    Helper scene = StartScene(6);
    Answers(kOPENGL).initDelayMs = 1500;
    scene.Signal("go");
    ASSERT_TRUE(khost::PumpUntil([] { return Calls(kOPENGL).lastInit.size != 0; }, 20000));
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(QVRRegisterScene(CountStageShutdown, 2, QVR_REGISTER), 1);
    EXPECT_LT(GetTickCount64() - start, 5000u);
    ASSERT_TRUE(scene.Await("done", 20000));
    EXPECT_EQ(log->registrations[6], 2);
    EXPECT_EQ(log->shutdowns[6], 1);
    EXPECT_EQ(Place(QVR_SCENE_INTERCOM_NAME).processId, GetCurrentProcessId());
}

// A process that ends with its stage loaded must not wait for the stage lock
// at exit: here another process holds it.
TEST_F(Stages, AProcessEndsAtOnceWhileAnotherHoldsTheStageLock) {
    UseStage(kOPENGL);
    Helper h = Start("stage-user", 4, "exit");
    ASSERT_EQ(Calls(kOPENGL).inits, 1);
    kelmard::UniqueHandle lock(OpenSemaphoreA(SYNCHRONIZE | SEMAPHORE_MODIFY_STATE, FALSE, QVR_STAGE_SEMAPHORE_NAME));
    ASSERT_TRUE(lock);
    ASSERT_EQ(WaitForSingleObject(lock.get(), 5000), WAIT_OBJECT_0);
    const ULONGLONG start = GetTickCount64();
    h.Signal("go");
    const DWORD code = h.Wait(8000);
    const ULONGLONG took = GetTickCount64() - start;
    ReleaseSemaphore(lock.get(), 1, nullptr);
    EXPECT_EQ(code, 0u);
    EXPECT_LT(took, 4000u);
}

// The sample stage, as the demo installs it: it runs here, registers itself
// and draws the door transition.
TEST_F(Stages, TheSampleStageDrawsATransition) {
    Install(kOPENGL, "stages\\OPENGL.DLL");
    char path[256];
    ASSERT_EQ(QVRDetectStage(path), 1);
    EXPECT_EQ(std::string(path), install_.File("Stages\\OPENGL.DLL"));

    const int w = 160, h = 120;
    const kelmard::UniqueWindow window(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, w, h,
                                                       nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    std::vector<std::uint32_t> frame(w * h), red(w * h, 0xFFFF0000u), blue(w * h, 0xFF0000FFu);
    QVRStageTarget target{sizeof target, window.get(), w, h, QVR_PIXELS_BGRA32, frame.data(), w * 4};
    QVRStage* stage = QVRCreateStage(&target, 0);
    ASSERT_NE(stage, nullptr);
    EXPECT_EQ(Place(QVR_STAGE_INTERCOM_NAME).processId, GetCurrentProcessId());
    const QVRPicture from{w, h, w * 4, red.data()}, to{w, h, w * 4, blue.data()};

    ASSERT_EQ(stage->methods->RenderTransition(stage, &from, &to, 0.0f), 1);
    EXPECT_EQ(frame[0] & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(frame[(h / 2) * w + w - 1] & 0xFFFFFFu, 0xFF0000u);
    // Half way the door has turned away from the right edge, showing the
    // second picture there, and is shaded where it still stands.
    ASSERT_EQ(stage->methods->RenderTransition(stage, &from, &to, 0.5f), 1);
    const std::uint32_t hinge = frame[(h / 2) * w + 2], open = frame[(h / 2) * w + w - 3];
    EXPECT_EQ(open & 0xFFFFFFu, 0x0000FFu);
    EXPECT_EQ(hinge & 0xFFFFu, 0u);
    EXPECT_GT((hinge >> 16) & 0xFF, 120u);
    EXPECT_LT((hinge >> 16) & 0xFF, 240u);
    EXPECT_EQ(QVRDestroyStage(stage), 1);
}

}  // namespace
