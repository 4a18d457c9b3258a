// Owners for kernel handles: each handle has exactly one owner that closes it.
#pragma once
#include <windows.h>
#include <utility>

namespace kelmard {

// Owns a handle closed with CloseHandle. `Invalid` is the value that means
// "nothing" for the kind of handle (null for most, INVALID_HANDLE_VALUE for files).
template <HANDLE (*Invalid)()>
class BasicHandle {
public:
    BasicHandle() = default;
    explicit BasicHandle(HANDLE h) : h_(h) {}
    BasicHandle(const BasicHandle&) = delete;
    BasicHandle& operator=(const BasicHandle&) = delete;
    BasicHandle(BasicHandle&& other) noexcept : h_(other.release()) {}
    BasicHandle& operator=(BasicHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~BasicHandle() { reset(); }

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr && h_ != Invalid(); }
    HANDLE release() { return std::exchange(h_, Invalid()); }
    void reset(HANDLE h = Invalid()) {
        if (*this) CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_ = Invalid();
};

inline HANDLE NullHandleValue() { return nullptr; }
inline HANDLE InvalidHandleValue() { return INVALID_HANDLE_VALUE; }

using UniqueHandle = BasicHandle<NullHandleValue>;      // processes, threads, events...
using UniqueFile = BasicHandle<InvalidHandleValue>;     // CreateFile results

// Owns a registry key.
class UniqueKey {
public:
    UniqueKey() = default;
    UniqueKey(const UniqueKey&) = delete;
    UniqueKey& operator=(const UniqueKey&) = delete;
    ~UniqueKey() { if (key_) RegCloseKey(key_); }
    HKEY get() const { return key_; }
    HKEY* put() { if (key_) RegCloseKey(key_); key_ = nullptr; return &key_; }
private:
    HKEY key_ = nullptr;
};

// Owns a module loaded with LoadLibrary.
class UniqueModule {
public:
    UniqueModule() = default;
    explicit UniqueModule(HMODULE m) : m_(m) {}
    UniqueModule(const UniqueModule&) = delete;
    UniqueModule& operator=(const UniqueModule&) = delete;
    UniqueModule(UniqueModule&& o) noexcept : m_(o.release()) {}
    UniqueModule& operator=(UniqueModule&& o) noexcept { if (this != &o) reset(o.release()); return *this; }
    ~UniqueModule() { reset(); }
    HMODULE get() const { return m_; }
    explicit operator bool() const { return m_ != nullptr; }
    HMODULE release() { return std::exchange(m_, nullptr); }
    void reset(HMODULE m = nullptr) { if (m_) FreeLibrary(m_); m_ = m; }
private:
    HMODULE m_ = nullptr;
};

}  // namespace kelmard
