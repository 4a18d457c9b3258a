// The library's trace: one process-wide trace object. Debug builds print each
// trace with OutputDebugStringA; the shipped build compiles every call out.
#pragma once

namespace kelmard {

class Trace {
public:
    static Trace& Instance();
    // Plain trace, printf-style, the format ends in a line feed.
    void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Trace with a level (the registrations pass 2).
    void Print(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));

private:
    Trace() = default;
    void Emit(int level, const char* format, __builtin_va_list args);
    int verbosity_ = 2;  // levels above this are not printed
};

}  // namespace kelmard

#if defined(KELMARD_TRACE) && KELMARD_TRACE
#define KTRACE(...) ::kelmard::Trace::Instance().Print(__VA_ARGS__)
#else
// Compiled out; the arguments stay type-checked and count as used.
#define KTRACE(...) do { if (false) ::kelmard::Trace::Instance().Print(__VA_ARGS__); } while (0)
#endif

// Pointer-wide values in traces: 8 hex digits in the 32-bit build as always,
// the whole value in the 64-bit build.
#if defined(_WIN64)
#define KTRACE_PTR "%8llx"
#define KTRACE_PTR_ARG(v) ((unsigned long long)(__UINTPTR_TYPE__)(v))
#else
#define KTRACE_PTR "%8x"
#define KTRACE_PTR_ARG(v) ((unsigned)(__UINTPTR_TYPE__)(v))
#endif
