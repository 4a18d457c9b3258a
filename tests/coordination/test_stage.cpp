// The stage engines through the exports a scene uses: detection, the user's
// stage and option block, loading, forwarding, and the reload after
// QVRUpdateStage in other processes. The test stage libraries answer what
// each test sets and record what they get (stages/test/).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "kelmard.h"
#include "support/processes.h"
#include "test_stage_control.h"

namespace {

using ktest::Event;
using ktest::Helper;

enum StageIndex { kD3D7CDI, kOPENGL, kD3D7UNI };
const char* const kFileNames[] = {"D3D7CDI.DLL", "OPENGL.DLL", "D3D7UNI.DLL"};
const std::string kRoot = QVR_SETTINGS_ROOT;

// The control block the test stages read and write, for the whole run.
teststage::Control& Block() {
    static ktest::SharedBlock<teststage::Control> block(teststage::kMappingName, false);
    return *block;
}

std::string KeyPath(const char* subKey) { return subKey ? kRoot + "\\" + subKey : kRoot; }
void Put(const char* subKey, const char* name, DWORD type, const void* data, DWORD size) {
    ASSERT_TRUE(khost::WriteRegValue(HKEY_CURRENT_USER, KeyPath(subKey), name, type, data, size));
}
void ChooseStage(const std::string& name) {
    ASSERT_TRUE(khost::WriteRegString(HKEY_CURRENT_USER, kRoot, "Stage", name));
}

// A user setting as stored: its type and bytes; type REG_NONE when missing.
struct Stored {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes = std::vector<BYTE>(512);
};
Stored Get(const char* subKey, const char* name) {
    Stored s;
    DWORD size = static_cast<DWORD>(s.bytes.size());
    if (RegGetValueA(HKEY_CURRENT_USER, KeyPath(subKey).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &s.type,
                     s.bytes.data(), &size) != ERROR_SUCCESS)
        return Stored{REG_NONE, {}};
    s.bytes.resize(size);
    return s;
}
std::string StoredStage() {
    std::string name;
    return khost::ReadRegString(HKEY_CURRENT_USER, kRoot, "Stage", name) ? name : "";
}
std::vector<BYTE> Block64(BYTE seed) {
    std::vector<BYTE> b(QVR_STAGE_OPTIONS_SIZE);
    for (int i = 0; i < QVR_STAGE_OPTIONS_SIZE; ++i) b[i] = static_cast<BYTE>(seed + i * 37);
    return b;
}
std::vector<BYTE> Bytes(const BYTE* p, std::size_t n) { return std::vector<BYTE>(p, p + n); }

class Stages : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&Block(), 0, sizeof(teststage::Control));
        for (int i = 0; i < teststage::kStages; ++i) {
            teststage::Answers& a = Block().answers[i];
            a.test = a.offerOptions = a.init = a.destroyResult = 1;
            const std::vector<BYTE> defaults = Block64(static_cast<BYTE>(0x10 * (i + 1)));
            std::memcpy(a.defaults, defaults.data(), defaults.size());
        }
        RegDeleteTreeA(HKEY_CURRENT_USER, kRoot.c_str());
        ASSERT_TRUE(install_.recorded());
        CreateDirectoryA(install_.File("Stages").c_str(), nullptr);
        target_.size = sizeof target_;
        target_.width = 32;
        target_.height = 24;
        target_.pixelFormat = QVR_PIXELS_BGRA32;
    }

    void TearDown() override {
        helpers_.QuitAll();
        // The next creation after an update frees the stage; without an
        // installation folder nothing is loaded again.
        QVRUpdateStage();
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRoot.c_str(), "DestDir");
        QVRCreateStage(nullptr, 0);
        QVRRegisterScene(nullptr, 0, QVR_UNREGISTER);
        QVRRegisterStage(nullptr, 0, QVR_UNREGISTER);
        RegDeleteTreeA(HKEY_CURRENT_USER, kRoot.c_str());
    }

    // Copies a built stage library into an installation's Stages folder.
    void Install(const std::string& built, StageIndex as, const char* from = "test-stages") {
        InstallInto(install_.path(), built, as, from);
    }
    void InstallInto(const std::string& folder, const std::string& built, StageIndex as,
                     const char* from = "test-stages") {
        const std::string source = khost::ExeFolder() + "\\" + from + "\\" + built;
        const std::string dest = folder + "\\Stages\\" + kFileNames[as];
        ASSERT_TRUE(CopyFileA(source.c_str(), dest.c_str(), FALSE)) << source;
    }
    void InstallAll() {
        for (int i = 0; i < teststage::kStages; ++i) Install(kFileNames[i], StageIndex(i));
    }
    // Installs the test stage as `stage` and makes it the user's stage.
    void UseStage(StageIndex stage) {
        Install(kFileNames[stage], stage);
        ChooseStage(std::string(kFileNames[stage]).substr(0, std::strlen(kFileNames[stage]) - 4));
    }

    teststage::Answers& Answers(StageIndex i) { return Block().answers[i]; }
    teststage::Calls& Calls(StageIndex i) { return Block().calls[i]; }
    QVRStage* Create() { return QVRCreateStage(&target_, 0); }
    Helper& Start(const std::string& command, int index) { return helpers_.Start(command, index); }

    ktest::Installation install_{"stages"};
    QVRStageTarget target_{};
    ktest::HelperSet helpers_;
};

const teststage::ProcessCalls* ProcessCounts(DWORD pid) {
    for (const auto& slot : Block().processes)
        if (static_cast<DWORD>(slot.pid) == pid) return &slot;
    return nullptr;
}

TEST_F(Stages, WithoutAChoiceTheFirstCreationDetectsLoadsAndForwards) {
    InstallAll();
    Answers(kD3D7CDI).test = 0;  // the first known stage does not run here
    Answers(kOPENGL).destroyResult = 7;

    QVRStage* object = QVRCreateStage(&target_, 0x55);
    ASSERT_NE(object, nullptr);
    // The stage that said no was loaded, asked and freed; the third never loaded.
    EXPECT_EQ(Calls(kD3D7CDI).tests, 1);
    EXPECT_EQ(Calls(kD3D7CDI).detaches, Calls(kD3D7CDI).attaches);
    EXPECT_EQ(Calls(kD3D7CDI).inits, 0);
    EXPECT_EQ(Calls(kD3D7UNI).attaches, 0);
    // The choice and the stage's defaults are stored.
    EXPECT_EQ(StoredStage(), "OPENGL");
    const Stored options = Get("StageData", "OPENGL");
    EXPECT_EQ(options.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(options.bytes, Bytes(Answers(kOPENGL).defaults, QVR_STAGE_OPTIONS_SIZE));
    // Loading read the stored block back instead of asking again.
    EXPECT_EQ(Calls(kOPENGL).enums, 1);
    EXPECT_EQ(Calls(kOPENGL).inits, 1);
    const QVRStageInit& init = Calls(kOPENGL).lastInit;
    EXPECT_EQ(init.size, sizeof(QVRStageInit));
    EXPECT_EQ(Bytes(init.options, QVR_STAGE_OPTIONS_SIZE), options.bytes);
    EXPECT_EQ(init.reserved, 0u);
    EXPECT_EQ(init.registerStage, &QVRRegisterStage);
    // The call went through untouched, and so did the answer.
    EXPECT_EQ(Calls(kOPENGL).lastTarget, &target_);
    EXPECT_EQ(Calls(kOPENGL).lastFlags, 0x55u);
    EXPECT_EQ(object, Calls(kOPENGL).lastCreated);

    // Detection freed the chosen library; loading took it again and keeps it.
    EXPECT_EQ(Calls(kOPENGL).attaches, 2);
    EXPECT_NE(Create(), nullptr);
    EXPECT_EQ(Calls(kOPENGL).attaches, 2);
    EXPECT_EQ(Calls(kOPENGL).detaches, 1);
    EXPECT_EQ(Calls(kOPENGL).creates, 2);
    EXPECT_EQ(QVRDestroyStage(object), 7);
    EXPECT_EQ(Calls(kOPENGL).lastDestroyed, object);
}

TEST_F(Stages, DetectionIntoACallersBuffer) {
    InstallAll();
    Install("without-QVRTestStage.DLL", kD3D7CDI);
    Answers(kOPENGL).test = Answers(kD3D7UNI).test = 0;
    char buffer[300];
    std::memset(buffer, 'x', sizeof buffer);
    // Nothing runs: an empty path, every library freed, no choice stored.
    EXPECT_EQ(QVRDetectStage(buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(buffer[1], 'x');
    for (StageIndex i : {kD3D7CDI, kOPENGL, kD3D7UNI}) {
        EXPECT_EQ(Calls(i).attaches, 1) << kFileNames[i];
        EXPECT_EQ(Calls(i).detaches, 1) << kFileNames[i];
    }
    EXPECT_EQ(StoredStage(), "");

    // A stage that declines to offer options is chosen without a stored block.
    Answers(kD3D7UNI).test = 1;
    Answers(kD3D7UNI).offerOptions = 0;
    EXPECT_EQ(QVRDetectStage(buffer), 1);
    EXPECT_EQ(std::string(buffer), install_.path() + "\\Stages\\D3D7UNI.DLL");
    EXPECT_EQ(StoredStage(), "D3D7UNI");
    EXPECT_EQ(Get("StageData", "D3D7UNI").type, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(Calls(kD3D7UNI).detaches, Calls(kD3D7UNI).attaches);
    EXPECT_EQ(QVRDetectStage(nullptr), 1);

    // The longest path that fits 256 characters is found and written whole...
    const std::string suffix = "\\Stages\\D3D7UNI.DLL";
    const std::string longDir =
        install_.path() + "\\" + std::string(255 - suffix.size() - install_.path().size() - 1, 'd');
    CreateDirectoryA(longDir.c_str(), nullptr);
    CreateDirectoryA((longDir + "\\Stages").c_str(), nullptr);
    InstallInto(longDir, kFileNames[kD3D7UNI], kD3D7UNI);
    ASSERT_TRUE(khost::WriteRegString(HKEY_LOCAL_MACHINE, kRoot, "DestDir", longDir));
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(QVRDetectStage(buffer), 1);
    EXPECT_EQ(std::string(buffer), longDir + suffix);
    EXPECT_EQ(buffer[255], '\0');
    EXPECT_EQ(buffer[256], 'x');
    // ...one more and the installation counts as missing.
    ASSERT_TRUE(khost::WriteRegString(HKEY_LOCAL_MACHINE, kRoot, "DestDir", longDir + "e"));
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(QVRDetectStage(buffer), 0);
    EXPECT_STREQ(buffer, "");
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
    EXPECT_EQ(QVRDestroyStage(reinterpret_cast<QVRStage*>(&target_)), 0);  // nothing loaded

    for (const char* missing : {"QVRInitStage", "QVRCreateStage", "QVRDestroyStage"}) {
        Install(std::string("without-") + missing + ".DLL", kOPENGL);
        std::memset(&Calls(kOPENGL), 0, sizeof(teststage::Calls));
        EXPECT_EQ(Create(), nullptr) << missing;
        EXPECT_EQ(Calls(kOPENGL).attaches, 1) << missing;
        EXPECT_EQ(Calls(kOPENGL).detaches, 1) << missing;
        EXPECT_EQ(Calls(kOPENGL).inits, 0) << missing;
        EXPECT_EQ(Calls(kOPENGL).creates, 0) << missing;
        EXPECT_EQ(QVRDestroyStage(reinterpret_cast<QVRStage*>(&target_)), 0) << missing;
        EXPECT_EQ(Calls(kOPENGL).destroys, 0) << missing;
    }

    // A stage whose init fails is freed, and the next creation tries again.
    Install(kFileNames[kOPENGL], kOPENGL);
    std::memset(&Calls(kOPENGL), 0, sizeof(teststage::Calls));
    Answers(kOPENGL).init = 0;
    EXPECT_EQ(Create(), nullptr);
    EXPECT_EQ(Calls(kOPENGL).detaches, 1);
    Answers(kOPENGL).init = 1;
    EXPECT_NE(Create(), nullptr);
    EXPECT_EQ(Calls(kOPENGL).attaches, 2);
    EXPECT_EQ(Calls(kOPENGL).inits, 2);

    // Without "QVREnumOptions" the stage runs with a zero block, not stored.
    Install("without-QVREnumOptions.DLL", kD3D7UNI);
    ChooseStage("D3D7UNI");
    QVRUpdateStage();
    EXPECT_NE(Create(), nullptr);
    EXPECT_EQ(Calls(kOPENGL).detaches, 2);
    EXPECT_EQ(Bytes(Calls(kD3D7UNI).lastInit.options, QVR_STAGE_OPTIONS_SIZE),
              std::vector<BYTE>(QVR_STAGE_OPTIONS_SIZE, 0));
    EXPECT_EQ(Get("StageData", "D3D7UNI").type, static_cast<DWORD>(REG_NONE));
}

TEST_F(Stages, TheStoredOptionBlockReachesTheStageByteForByte) {
    UseStage(kOPENGL);
    const std::vector<BYTE> mine = Block64(0xF3);
    Put("StageData", "OPENGL", REG_BINARY, mine.data(), 64);
    ASSERT_NE(Create(), nullptr);
    EXPECT_EQ(Bytes(Calls(kOPENGL).lastInit.options, 64), mine);
    EXPECT_EQ(Calls(kOPENGL).enums, 0);

    // A block of another length or type is no block: the stage's defaults
    // replace it. Each change takes effect at the reload after the update.
    const std::vector<BYTE> defaults = Bytes(Answers(kOPENGL).defaults, 64);
    const DWORD number = 0x01020304;
    for (int round = 0; round < 2; ++round) {
        if (round == 0) Put("StageData", "OPENGL", REG_BINARY, mine.data(), 63);
        else Put("StageData", "OPENGL", REG_DWORD, &number, 4);
        QVRUpdateStage();
        ASSERT_NE(Create(), nullptr);
        EXPECT_EQ(Bytes(Calls(kOPENGL).lastInit.options, 64), defaults) << "round " << round;
        EXPECT_EQ(Get("StageData", "OPENGL").bytes, defaults) << "round " << round;
    }
    EXPECT_EQ(Calls(kOPENGL).attaches, 3);
    EXPECT_EQ(Calls(kOPENGL).detaches, 2);
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
    EXPECT_EQ(ktest::ReadPlace(QVR_STAGE_INTERCOM_NAME).routine, nullptr);

    // A stage that stays holds the place until the update shuts it down here.
    Answers(kOPENGL).init = 1;
    ASSERT_NE(Create(), nullptr);
    EXPECT_NE(ktest::ReadPlace(QVR_STAGE_INTERCOM_NAME).routine, nullptr);
    EXPECT_EQ(QVRUpdateStage(), 1);
    const teststage::ProcessCalls* self = ProcessCounts(GetCurrentProcessId());
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self->shutdowns, 1);
    EXPECT_EQ(ktest::ReadPlace(QVR_STAGE_INTERCOM_NAME).routine, nullptr);
}

TEST_F(Stages, ThreadsOfOneProcessLoadTheStageOnce) {
    UseStage(kOPENGL);
    Answers(kOPENGL).initDelayMs = 300;
    QVRStage* objects[4] = {};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) threads.emplace_back([this, &objects, i] { objects[i] = Create(); });
    for (std::thread& t : threads) t.join();
    for (QVRStage* object : objects) EXPECT_NE(object, nullptr);
    EXPECT_EQ(Calls(kOPENGL).inits, 1);
    EXPECT_EQ(Calls(kOPENGL).creates, 4);
}

TEST_F(Stages, AfterAnUpdateEveryOtherProcessReloadsOnce) {
    InstallAll();
    ChooseStage("OPENGL");
    ktest::SharedLog log(true);
    Answers(kOPENGL).registerInInit = 1;
    Helper& holder = Start("stage-user", 1);     // loads the stage, which takes the place
    Answers(kOPENGL).registerInInit = 0;
    Helper& user = Start("stage-user", 3);       // loads the stage, holds nothing
    Helper& scene = Start("scene", 2);           // the scene place
    ASSERT_EQ(ktest::ReadPlace(QVR_STAGE_INTERCOM_NAME).processId, holder.pid());
    ASSERT_EQ(ktest::ReadPlace(QVR_SCENE_INTERCOM_NAME).processId, scene.pid());

    EXPECT_EQ(QVRUpdateStage(), 1);
    // Both holders were shut down in their own processes.
    EXPECT_EQ(log->shutdowns[2], 1);
    EXPECT_EQ(static_cast<DWORD>(log->shutdownPid[2]), scene.pid());
    const teststage::ProcessCalls* held = ProcessCounts(holder.pid());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->shutdowns, 1);
    EXPECT_EQ(held->shutdownPriority, THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_EQ(ktest::ReadPlace(QVR_STAGE_INTERCOM_NAME).routine, nullptr);
    EXPECT_EQ(ktest::ReadPlace(QVR_SCENE_INTERCOM_NAME).routine, nullptr);

    // Their next creations reload the stage once; the one after does not.
    for (Helper* h : {&holder, &user}) {
        const int index = h == &holder ? 1 : 3;
        Event("go." + std::to_string(index)).Set();
        ASSERT_TRUE(Event("done." + std::to_string(index)).Wait(20000));
        EXPECT_EQ(log->registrations[index], 3);
        const teststage::ProcessCalls* counts = ProcessCounts(h->pid());
        ASSERT_NE(counts, nullptr);
        EXPECT_EQ(counts->attaches, 2) << "helper " << index;
        EXPECT_EQ(counts->detaches, 1) << "helper " << index;
        EXPECT_EQ(counts->inits, 2) << "helper " << index;
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
// "stage-scene" helper holds the scene place.
class StageLoads : public Stages {
protected:
    Helper& StartScene(int index) {
        UseStage(kOPENGL);
        Answers(kOPENGL).registerInInit = 1;
        g_stageShutdowns = 0;
        EXPECT_EQ(QVRRegisterStage(CountStageShutdown, 1, QVR_REGISTER), 1);
        Helper& scene = Start("stage-scene", index);
        EXPECT_EQ(log->registrations[index], 1);
        return scene;
    }
    ktest::SharedLog log{true};
};

TEST_F(StageLoads, AShutdownRoutineDestroysItsStageWhileItsStageLoads) {
    Helper& scene = StartScene(5);

    Event("go.5").Set();
    ASSERT_TRUE(Event("done.5").Wait(20000)) << "the creation never came back";
    EXPECT_EQ(log->done[5], 1);
    EXPECT_EQ(log->shutdowns[5], 1);
    EXPECT_EQ(static_cast<DWORD>(log->shutdownPid[5]), scene.pid());
    EXPECT_EQ(g_stageShutdowns, 1);
    EXPECT_EQ(ktest::ReadPlace(QVR_STAGE_INTERCOM_NAME).processId, scene.pid());
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(QVRRegisterScene(CountStageShutdown, 2, QVR_REGISTER), 1);
    EXPECT_LT(GetTickCount64() - start, 3000u);
}

// Another process evicts a scene while a thread of the scene's process is
// loading the stage: the eviction must not wait for that thread (which in
// turn waits for the evicting registration), so it ends within its time.
TEST_F(StageLoads, AnEvictionDuringAStageLoadInTheHoldersProcessEndsInTime) {
    StartScene(6);
    Answers(kOPENGL).initDelayMs = 1500;

    Event("go.6").Set();
    ASSERT_TRUE(ktest::WaitUntil([this] { return Calls(kOPENGL).lastInit.size != 0; }, 20000));
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(QVRRegisterScene(CountStageShutdown, 2, QVR_REGISTER), 1);
    EXPECT_LT(GetTickCount64() - start, 5000u);
    ASSERT_TRUE(Event("done.6").Wait(20000));
    EXPECT_EQ(log->done[6], 1);
    EXPECT_EQ(log->shutdowns[6], 1);
    EXPECT_EQ(ktest::ReadPlace(QVR_SCENE_INTERCOM_NAME).processId, GetCurrentProcessId());
}

// A process that ends with its stage loaded must not wait for the stage lock
// at exit: here another process holds it.
TEST_F(Stages, AProcessEndsAtOnceWhileAnotherHoldsTheStageLock) {
    UseStage(kOPENGL);
    Helper& h = Start("stage-exit", 4);
    ASSERT_EQ(Calls(kOPENGL).inits, 1);
    kelmard::UniqueHandle lock(OpenSemaphoreA(SYNCHRONIZE | SEMAPHORE_MODIFY_STATE, FALSE,
                                              QVR_STAGE_SEMAPHORE_NAME));
    ASSERT_TRUE(lock);
    ASSERT_EQ(WaitForSingleObject(lock.get(), 5000), WAIT_OBJECT_0);
    const ULONGLONG start = GetTickCount64();
    Event("go.4").Set();
    const DWORD code = h.Wait(8000);
    const ULONGLONG took = GetTickCount64() - start;
    ReleaseSemaphore(lock.get(), 1, nullptr);
    EXPECT_EQ(code, 0u);
    EXPECT_LT(took, 4000u);
}

// The sample stage, as the demo installs it: it runs here, registers itself
// and draws the door transition.
TEST_F(Stages, TheSampleStageDrawsATransition) {
    Install("OPENGL.DLL", kOPENGL, "stages");
    char path[256];
    ASSERT_EQ(QVRDetectStage(path), 1);
    EXPECT_EQ(std::string(path), install_.path() + "\\Stages\\OPENGL.DLL");

    const int w = 160, h = 120;
    const kelmard::UniqueWindow window(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, w, h,
                                                       nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    std::vector<std::uint32_t> frame(w * h), red(w * h, 0xFFFF0000u), blue(w * h, 0xFF0000FFu);
    QVRStageTarget target{sizeof target, window.get(), w, h, QVR_PIXELS_BGRA32, frame.data(), w * 4};
    QVRStage* stage = QVRCreateStage(&target, 0);
    ASSERT_NE(stage, nullptr);
    EXPECT_EQ(ktest::ReadPlace(QVR_STAGE_INTERCOM_NAME).processId, GetCurrentProcessId());
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
