// Helper commands for the stage tests: processes that use the stage.
#include <cstdlib>
#include <string>

#include "kelmard.h"
#include "support/helper_main.h"
#include "support/processes.h"

namespace {

QVRStage* Create() {
    QVRStageTarget target{};
    target.size = sizeof target;
    target.width = 64;
    target.height = 48;
    target.pixelFormat = QVR_PIXELS_BGRA32;
    return QVRCreateStage(&target, 0);
}

// "stage-user INDEX": creates a stage object (loading the stage), reports
// ready, and on "go.INDEX" creates two more; successful creations are counted
// in the test log's registrations, failed ones in its failures. Stays until
// "quit.INDEX".
ktest::HelperCommand user("stage-user", [](const std::vector<std::string>& args) {
    ktest::SharedLog log(false);
    const int index = std::atoi(args.at(0).c_str());
    const std::string id = args.at(0);
    log->pid[index] = static_cast<LONG>(GetCurrentProcessId());
    auto createAndCount = [&] {
        InterlockedIncrement(Create() ? &log->registrations[index] : &log->failures[index]);
    };
    createAndCount();
    ktest::Event("ready." + id).Set();
    if (ktest::Event("go." + id).Wait(60000)) {
        createAndCount();
        createAndCount();
        log->done[index] = 1;
        ktest::Event("done." + id).Set();
    }
    ktest::Event("quit." + id).Wait(60000);
    return 0;
});

// "stage-exit INDEX": loads the stage, reports ready, and on "go.INDEX" ends
// the process with the stage library still loaded.
ktest::HelperCommand exiter("stage-exit", [](const std::vector<std::string>& args) {
    const std::string id = args.at(0);
    const bool loaded = Create() != nullptr;
    ktest::Event("ready." + id).Set();
    ktest::Event("go." + id).Wait(60000);
    return loaded ? 0 : 1;
});

// "stage-scene INDEX": holds the scene place with a routine that destroys
// the scene's stage object and unregisters, as a scene's shutdown does;
// reports ready, and on "go.INDEX" creates a stage object (the test's stage
// may register in its init, which evicts this very scene). done[INDEX] is 1
// for an object, 2 for none; shutdowns[INDEX] counts the routine's runs.
QVRStage* g_sceneStage = nullptr;
ktest::TestLog* g_sceneLog = nullptr;
int g_sceneIndex = 0;

DWORD WINAPI SceneShutdown(LPVOID) {
    g_sceneLog->shutdownPid[g_sceneIndex] = static_cast<LONG>(GetCurrentProcessId());
    QVRDestroyStage(g_sceneStage);
    QVRRegisterScene(SceneShutdown, 0, QVR_UNREGISTER);
    InterlockedIncrement(&g_sceneLog->shutdowns[g_sceneIndex]);
    return 1;
}

ktest::HelperCommand scene("stage-scene", [](const std::vector<std::string>& args) {
    ktest::SharedLog log(false);
    g_sceneLog = &*log;
    g_sceneIndex = std::atoi(args.at(0).c_str());
    const std::string id = args.at(0);
    log->pid[g_sceneIndex] = static_cast<LONG>(GetCurrentProcessId());
    if (QVRRegisterScene(SceneShutdown, 0, QVR_REGISTER)) InterlockedIncrement(&log->registrations[g_sceneIndex]);
    ktest::Event("ready." + id).Set();
    if (ktest::Event("go." + id).Wait(60000)) {
        g_sceneStage = Create();
        log->done[g_sceneIndex] = g_sceneStage ? 1 : 2;
        ktest::Event("done." + id).Set();
    }
    ktest::Event("quit." + id).Wait(60000);
    return 0;
});

}  // namespace
