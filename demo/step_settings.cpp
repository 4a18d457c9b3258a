// Step: the settings the library reads.
#include "demo.h"
#include "host.h"
#include "kelmard.h"

namespace demo {

bool StepSettings(Context& context) {
    std::string folder;
    const bool found = khost::ReadRegString(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, "DestDir", folder);
    Say("HKEY_LOCAL_MACHINE\\%s\n", QVR_SETTINGS_ROOT);
    Say("  DestDir = %s\n", found ? folder.c_str() : "(missing: run \"kelmard-demo install\" first)");
    Say("  the library finds its files below it: \\Stages\\, \\Presets\\TvFormats.cfg, \\Help\\\n");
    Say("QVRUpdateID (one word for every process) = %lu\n", static_cast<unsigned long>(QVRUpdateID));
    (void)context;
    return found;
}

}  // namespace demo
