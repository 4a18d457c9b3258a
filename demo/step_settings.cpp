// Step: the settings the library reads.
#include "demo.h"
#include "kelmard.h"

namespace demo {

bool StepSettings(Context& context) {
    char folder[256] = "";
    DWORD size = sizeof folder, type = 0;
    HKEY key = nullptr;
    bool found = false;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        found = RegQueryValueExA(key, "DestDir", nullptr, &type, reinterpret_cast<BYTE*>(folder),
                                 &size) == ERROR_SUCCESS && type == REG_SZ;
        RegCloseKey(key);
    }
    Say("HKEY_LOCAL_MACHINE\\%s\n", QVR_SETTINGS_ROOT);
    Say("  DestDir = %s\n", found ? folder : "(missing: run \"kelmard-demo install\" first)");
    Say("  the library finds its files below it: \\Stages\\, \\Presets\\TvFormats.cfg, \\Help\\\n");
    Say("QVRUpdateID (one word for every process) = %lu\n", static_cast<unsigned long>(QVRUpdateID));
    (void)context;
    return found;
}

}  // namespace demo
