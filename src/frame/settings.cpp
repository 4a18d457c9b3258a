// Settings below one registry root, in HKEY_LOCAL_MACHINE (installation) and
// HKEY_CURRENT_USER (the user's choices).
#include "frame/frame.h"
#include "owners/win32_owners.h"
#include "kelmard.h"

#include <cstring>

namespace kelmard {
namespace {

// The root, and "\" and the sub-key when one is given. False when the key
// path does not fit its 256-character buffer.
bool BuildKeyPath(const char* subKey, char (&path)[kPathChars]) {
    static const char kRoot[] = QVR_SETTINGS_ROOT;
    std::size_t need = sizeof kRoot;  // with the NUL
    if (subKey) need += 1 + std::strlen(subKey);
    if (need > kPathChars) {
        path[0] = '\0';
        return false;
    }
    std::memcpy(path, kRoot, sizeof kRoot);
    if (subKey) {
        std::strcat(path, "\\");
        std::strcat(path, subKey);
    }
    return true;
}

int ReadSetting(HKEY hive, DWORD type, const char* subKey, const char* valueName, void* buffer,
                DWORD size, const void* defaultData) {
    if (defaultData) std::memcpy(buffer, defaultData, size);

    char path[kPathChars];
    if (!BuildKeyPath(subKey, path)) return 0;
    UniqueKey key;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return 0;

    DWORD storedType = REG_NONE;
    DWORD length = size;
    bool ok = RegQueryValueExA(key.get(), valueName, nullptr, &storedType,
                               static_cast<BYTE*>(buffer), &length) == ERROR_SUCCESS;
    // A string is only a string when it is one and ends inside the buffer:
    // callers use it as a C string.
    if (ok && type == REG_SZ) {
        ok = storedType == REG_SZ && length > 0 && length <= size &&
             std::memchr(buffer, '\0', length) != nullptr;
    }
    if (defaultData) {
        ok = ok && storedType == type;
        if (!ok) std::memcpy(buffer, defaultData, size);
    }
    return ok ? 1 : 0;
}

}  // namespace

int ReadMachineSetting(DWORD type, const char* subKey, const char* valueName, void* buffer,
                       DWORD size, const void* defaultData) {
    return ReadSetting(HKEY_LOCAL_MACHINE, type, subKey, valueName, buffer, size, defaultData);
}

int ReadUserSetting(DWORD type, const char* subKey, const char* valueName, void* buffer,
                    DWORD size, const void* defaultData) {
    return ReadSetting(HKEY_CURRENT_USER, type, subKey, valueName, buffer, size, defaultData);
}

int WriteUserSetting(DWORD type, const char* subKey, const char* valueName, const void* data,
                     DWORD size) {
    char path[kPathChars];
    if (!BuildKeyPath(subKey, path)) return 0;
    UniqueKey key;
    char noClass[] = "";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return 0;
    }
    return RegSetValueExA(key.get(), valueName, 0, type, static_cast<const BYTE*>(data), size) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

bool ReadInstallFolder(char (&folder)[kPathChars]) {
    if (ReadMachineSetting(REG_SZ, nullptr, "DestDir", folder, kPathChars, nullptr)) return true;
    folder[0] = '\0';
    return false;
}

bool BuildInstallPath(const char* suffix, char (&path)[kPathChars]) {
    char folder[kPathChars];
    if (!ReadInstallFolder(folder)) {
        path[0] = '\0';
        return false;
    }
    std::size_t a = std::strlen(folder), b = std::strlen(suffix);
    if (a + b + 1 > kPathChars) {
        path[0] = '\0';
        return false;
    }
    std::memcpy(path, folder, a);
    std::memcpy(path + a, suffix, b + 1);
    return true;
}

}  // namespace kelmard
