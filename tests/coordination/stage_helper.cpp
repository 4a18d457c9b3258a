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

}  // namespace
