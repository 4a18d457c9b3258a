#include "frame/trace.h"

#include <windows.h>
#include <cstdarg>
#include <cstdio>

namespace kelmard {

Trace& Trace::Instance() {
    static Trace trace;
    return trace;
}

void Trace::Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Emit(0, format, args);
    va_end(args);
}

void Trace::Print(int level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Emit(level, format, args);
    va_end(args);
}

void Trace::Emit(int level, const char* format, va_list args) {
    if (level > verbosity_) return;
    char line[512];
    int n = vsnprintf(line, sizeof line, format, args);
    if (n < 0) return;
    OutputDebugStringA(line);
}

}  // namespace kelmard
