// A small store of values in one registry key below HKEY_LOCAL_MACHINE: the
// settings root, or a sub-key of it. The help window reads the installation
// folder through it.
#pragma once
#include <windows.h>

#include <memory>

namespace kelmard {

class FxRegStore {
public:
    // `subKey` null or empty: the root itself. `root` null: the settings root.
    explicit FxRegStore(const char* subKey = nullptr, const char* root = nullptr);
    FxRegStore(const FxRegStore&) = delete;
    FxRegStore& operator=(const FxRegStore&) = delete;
    virtual ~FxRegStore();

    // Type 1 means a string (REG_SZ), any other value binary data (REG_BINARY).
    //
    // Reads value `name` into `buffer` (`size` bytes). With a default, the
    // buffer holds the default first and again whenever the read fails: a
    // string default up to its own terminating NUL (at most `size` bytes,
    // always terminated), binary data `size` bytes of it. A string read from
    // the registry is always terminated: one whose NUL does not fit counts as
    // missing. A value of another type counts as missing. 1 when the value
    // was read, else 0.
    virtual int Read(int type, const char* name, void* buffer, DWORD size, const void* defaultData);
    // Creates the key when missing and writes the value. 1 or 0.
    virtual int Write(int type, const char* name, const void* data, DWORD size);
    // The name of sub-key `index` into `buffer`. 1 or 0.
    virtual int EnumSubKey(DWORD index, char* buffer, DWORD size);
    // Deletes the key with everything below it. 0 when any part of it could
    // not be deleted (what could be deleted is gone).
    virtual int DeleteKey();

    // The key's path below HKEY_LOCAL_MACHINE; empty when it did not fit or
    // memory ran out.
    const char* KeyPath() const { return path_ ? path_.get() : ""; }

private:
    bool Usable() const { return path_ && path_[0] != '\0'; }

    std::unique_ptr<char[]> subKey_;
    std::unique_ptr<char[]> root_;
    std::unique_ptr<char[]> path_;  // root, or root + "\" + sub-key
};

}  // namespace kelmard
