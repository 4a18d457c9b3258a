// One owner for every kind of resource that is released by a call: a value,
// the one owner that releases it, moved but never copied. A kind of resource
// is a traits policy, and each kind a one-line alias (see win32_owners.h).
//
//   struct Traits {
//       using Type = ...;                      // what is owned (a handle, a pointer)
//       static Type Empty() noexcept;          // the value that owns nothing
//       static bool Holds(Type) noexcept;      // true when the value must be released
//       static void Release(Type) noexcept;    // releases it
//   };
//
// Portable: no system header, so the portable code uses it too.
#pragma once
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kelmard {

template <typename Traits>
class UniqueOwner {
public:
    using Type = typename Traits::Type;

    UniqueOwner() noexcept = default;
    UniqueOwner(std::nullptr_t) noexcept {}  // owns nothing: `return nullptr;`
    explicit UniqueOwner(Type value) noexcept : value_(value) {}
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    UniqueOwner(UniqueOwner&& other) noexcept : value_(other.release()) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueOwner() { reset(); }

    Type get() const noexcept { return value_; }
    Type operator->() const noexcept { return value_; }  // for owned pointers
    explicit operator bool() const noexcept { return Traits::Holds(value_); }
    // Gives the value up without releasing it.
    [[nodiscard]] Type release() noexcept { return std::exchange(value_, Traits::Empty()); }
    // Releases what is owned and owns `value` instead.
    void reset(Type value = Traits::Empty()) noexcept {
        const Type old = std::exchange(value_, value);
        if (Traits::Holds(old)) Traits::Release(old);
    }
    // Releases what is owned and lends the place to a call that fills it in.
    Type* put() noexcept {
        reset();
        return &value_;
    }

private:
    Type value_ = Traits::Empty();
};

// The common case: `T{}` (null) owns nothing and `Free` releases.
template <typename T, auto Free>
struct NullEmptyTraits {
    using Type = T;
    static T Empty() noexcept { return T{}; }
    static bool Holds(T value) noexcept { return value != T{}; }
    static void Release(T value) noexcept { Free(value); }
};

// Memory from malloc (the portable code reports exhaustion instead of throwing).
template <typename T>
using UniqueMalloc = UniqueOwner<NullEmptyTraits<T*, std::free>>;

// A file of the C library. Whoever must know that the last writes reached the
// file closes it itself: `std::fclose(file.release()) == 0`.
inline void CloseCFile(std::FILE* file) noexcept { std::fclose(file); }
using UniqueCFile = UniqueOwner<NullEmptyTraits<std::FILE*, CloseCFile>>;

// Runs a function when the scope ends, unless dismissed: for undoing a step
// that is not the release of one owned value (a state put back, a count undone).
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) noexcept : f_(std::move(f)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() {
        if (armed_) f_();
    }
    void Dismiss() noexcept { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};

}  // namespace kelmard
