// Helper verb of the frame tests.
#include <cstdlib>

#include "kelmard.h"
#include "support/processes.h"

namespace {

// "updateid V": answers the shared QVRUpdateID as the exit code and then writes V there.
ktest::HelperVerb updateId("updateid", [](const ktest::HelperRun& run) {
    const DWORD found = QVRUpdateID;
    QVRUpdateID = static_cast<DWORD>(std::strtoul(run.id.c_str(), nullptr, 0));
    return static_cast<int>(found);
});

}  // namespace
