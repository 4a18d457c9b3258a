// What a host program needs, shared by the test programs and the demo host
// (and by nothing that ships): a message pump with a deadline, its own
// folder, other processes started from it, and registry writes.
// Static library kelmard_host (tools/host); links user32 and advapi32.
#pragma once
#include <windows.h>

#include <string>

#include "owners/win32_owners.h"

namespace khost {

// Dispatches this thread's messages for about `ms` milliseconds, through the
// dialog manager of `dialog` when one is given.
void PumpMessages(DWORD ms, HWND dialog = nullptr);

// Dispatches this thread's messages until the queue has been found empty
// three times in a row, 10 milliseconds apart.
void PumpUntilQuiet();

// Pumps messages until `done()` answers true or `ms` milliseconds have
// passed. Answers done().
template <typename F>
bool PumpUntil(F done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() >= end) return done();
        PumpMessages(10);
    }
    return true;
}

// This program's executable, and the folder it is in (no separator at the end).
std::string ExePath();
std::string ExeFolder();

// A process started from `program` (a path) with `arguments`; empty when it
// could not be started. `pid` receives its id. With `inheritHandles` it
// writes into this program's standard output and error.
kelmard::UniqueHandle StartProcess(const std::string& program, const std::string& arguments,
                                   DWORD* pid = nullptr, bool inheritHandles = false);
// Waits at most `ms` for the process to end: its exit code, or STILL_ACTIVE.
DWORD WaitForExit(HANDLE process, DWORD ms);

// Writes a value at `hive\path`, creating missing keys. True on success.
bool WriteRegValue(HKEY hive, const std::string& path, const char* name, DWORD type,
                   const void* data, DWORD size);
bool WriteRegString(HKEY hive, const std::string& path, const char* name, const std::string& text);
// A REG_SZ value of at most 1023 characters; false when missing or of another type.
bool ReadRegString(HKEY hive, const std::string& path, const char* name, std::string& text);

// Sets a string value for the scope and then puts back the value that was
// there before, or removes it when there was none.
class RegStringScope {
public:
    RegStringScope(HKEY hive, std::string path, const char* name, const std::string& text);
    ~RegStringScope();
    RegStringScope(const RegStringScope&) = delete;
    RegStringScope& operator=(const RegStringScope&) = delete;
    bool written() const { return written_; }

private:
    HKEY hive_;
    std::string path_, name_, previous_;
    bool hadPrevious_ = false, written_ = false;
};

}  // namespace khost
