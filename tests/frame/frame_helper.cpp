// Helper commands for the library frame tests.
#include <cstdlib>

#include "kelmard.h"
#include "support/helper_main.h"

namespace {

// "updateid-set V": writes V into the shared QVRUpdateID.
ktest::HelperCommand setUpdateId("updateid-set", [](const std::vector<std::string>& args) {
    QVRUpdateID = static_cast<DWORD>(std::strtoul(args.at(0).c_str(), nullptr, 0));
    return 0;
});

// "updateid-get": answers QVRUpdateID as the exit code.
ktest::HelperCommand getUpdateId("updateid-get", [](const std::vector<std::string>&) {
    return static_cast<int>(QVRUpdateID);
});

}  // namespace
