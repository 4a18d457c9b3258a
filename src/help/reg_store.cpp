// The registry store: values of one key below HKEY_LOCAL_MACHINE.
#include "help/reg_store.h"

#include <cstring>
#include <new>

#include "owners/win32_owners.h"
#include "kelmard.h"

namespace kelmard {
namespace {

constexpr DWORD kTypeString = 1;
constexpr size_t kMaxKeyPath = 512;
constexpr DWORD kKeyNameChars = 260;

std::unique_ptr<char[]> Copy(const char* text) {
    if (!text) return nullptr;
    const size_t n = std::strlen(text);
    std::unique_ptr<char[]> copy(new (std::nothrow) char[n + 1]);
    if (copy) std::memcpy(copy.get(), text, n + 1);
    return copy;
}

DWORD RegistryType(int type) { return type == kTypeString ? REG_SZ : REG_BINARY; }

void PutDefault(int type, void* buffer, DWORD size, const void* defaultData) {
    if (!defaultData || size == 0) return;
    if (type != kTypeString) {
        std::memcpy(buffer, defaultData, size);
        return;
    }
    // A string default: its own bytes only, terminated in the buffer.
    char* out = static_cast<char*>(buffer);
    const char* text = static_cast<const char*>(defaultData);
    DWORD n = 0;
    while (n + 1 < size && text[n] != '\0') {
        out[n] = text[n];
        ++n;
    }
    out[n] = '\0';
}

// Deletes `name` below `parent` depth first. Stops at the first part that
// cannot be deleted.
bool DeleteTree(HKEY parent, const char* name) {
    {
        UniqueKey key;
        if (RegOpenKeyA(parent, name, key.put()) != ERROR_SUCCESS) return false;
        char child[kKeyNameChars];
        while (RegEnumKeyA(key.get(), 0, child, kKeyNameChars) == ERROR_SUCCESS) {
            // A sub-key that stays would be found again at index 0 for ever.
            if (!DeleteTree(key.get(), child)) return false;
        }
    }
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}

}  // namespace

FxRegStore::FxRegStore(const char* subKey, const char* root)
    : subKey_(Copy(subKey)), root_(Copy(root ? root : QVR_SETTINGS_ROOT)) {
    if (!root_ || (subKey && !subKey_)) return;
    const size_t rootLength = std::strlen(root_.get());
    const size_t subLength = subKey_ ? std::strlen(subKey_.get()) : 0;
    const size_t length = rootLength + (subLength ? 1 + subLength : 0);
    if (length >= kMaxKeyPath) return;
    path_.reset(new (std::nothrow) char[length + 1]);
    if (!path_) return;
    std::memcpy(path_.get(), root_.get(), rootLength);
    if (subLength) {
        path_[rootLength] = '\\';
        std::memcpy(path_.get() + rootLength + 1, subKey_.get(), subLength);
    }
    path_[length] = '\0';
}

FxRegStore::~FxRegStore() = default;

int FxRegStore::Read(int type, const char* name, void* buffer, DWORD size, const void* defaultData) {
    if (!buffer) return 0;
    PutDefault(type, buffer, size, defaultData);
    if (!Usable()) return 0;
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path_.get(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return 0;
    DWORD stored = 0, n = size;
    LONG rc = RegQueryValueExA(key.get(), name, nullptr, &stored, static_cast<BYTE*>(buffer), &n);
    bool ok = rc == ERROR_SUCCESS && stored == RegistryType(type) && n <= size;
    if (ok && type == kTypeString) {
        // Terminate what the registry gave: it need not end in a NUL.
        char* text = static_cast<char*>(buffer);
        if (n == 0 && size > 0) text[0] = '\0';
        else if (n > 0 && text[n - 1] != '\0') {
            if (n < size) text[n] = '\0';
            else ok = false;
        }
        if (size == 0) ok = false;
    }
    if (!ok) {
        PutDefault(type, buffer, size, defaultData);
        return 0;
    }
    return 1;
}

int FxRegStore::Write(int type, const char* name, const void* data, DWORD size) {
    if (!Usable()) return 0;
    UniqueKey key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, path_.get(), key.put()) != ERROR_SUCCESS) return 0;
    return RegSetValueExA(key.get(), name, 0, RegistryType(type), static_cast<const BYTE*>(data), size) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

int FxRegStore::EnumSubKey(DWORD index, char* buffer, DWORD size) {
    if (!Usable() || !buffer || size == 0) return 0;
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path_.get(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return 0;
    DWORD n = size;
    return RegEnumKeyExA(key.get(), index, buffer, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS ? 1
                                                                                                            : 0;
}

int FxRegStore::DeleteKey() {
    if (!Usable()) return 0;
    return DeleteTree(HKEY_LOCAL_MACHINE, path_.get()) ? 1 : 0;
}

}  // namespace kelmard
