// Test support: helper processes, named events and the test log that helper
// processes and test programs share.
#pragma once
#include <windows.h>

#include <string>

#include "owners/win32_owners.h"
#include "kelmard.h"

namespace ktest {

// A helper process: "kelmard-test-helper.exe" (or another program) from the
// test program's folder, started with the given arguments. Killed on destruction if still running.
class Helper {
public:
    explicit Helper(const std::string& arguments,
                    const char* program = "kelmard-test-helper.exe");
    ~Helper();
    Helper(Helper&&) = default;
    Helper& operator=(Helper&&) = default;

    bool started() const { return static_cast<bool>(process_); }
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return process_.get(); }
    // Waits for the process to end; answers its exit code, or STILL_ACTIVE.
    DWORD Wait(DWORD ms);
    void Kill();

private:
    kelmard::UniqueHandle process_;
    DWORD pid_ = 0;
};

// A manual-reset named event, "KelmardTest.<name>", created or opened. The
// process keeps every event it has named open until it ends, so a signal sent
// before the other side opens the event still arrives.
class Event {
public:
    explicit Event(const std::string& name);
    void Set();
    void Reset();
    bool Wait(DWORD ms);

private:
    kelmard::UniqueHandle event_;
};

// What helper processes report to the test program, in named shared memory.
struct TestLog {
    static constexpr int kSlots = 16;
    volatile LONG shutdowns[kSlots];         // shutdown routine calls, by helper index
    volatile LONG shutdownPid[kSlots];       // process the routine last ran in
    volatile LONG shutdownPriority[kSlots];  // thread priority it last ran at
    volatile LONG registrations[kSlots];     // successful registrations
    volatile LONG failures[kSlots];          // failed registrations
    volatile LONG done[kSlots];              // the helper finished its work
    volatile LONG pid[kSlots];               // the helper's own process id
    volatile LONG order[kSlots];             // sequence number of the last shutdown
    volatile LONG wrongProcess;              // a routine ran with another helper's argument
    volatile LONG sequence;                  // counts shutdowns across all helpers
    volatile LONG64 address;                 // a routine address a helper publishes
};

// The test log, created (and zeroed) by the test program, opened by helpers.
class SharedLog {
public:
    explicit SharedLog(bool reset);
    ~SharedLog();
    SharedLog(const SharedLog&) = delete;
    SharedLog& operator=(const SharedLog&) = delete;
    TestLog* operator->() { return log_; }
    TestLog& operator*() { return *log_; }

private:
    kelmard::UniqueHandle mapping_;
    TestLog* log_ = nullptr;
};

// Reads a place's record straight from its named shared memory, the way
// another copy of the library would.
QVRIntercomRecord ReadPlace(const char* mappingName);

// Waits until `done()` is true or `ms` have passed; answers done().
template <typename F>
bool WaitUntil(F done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() > end) return done();
        Sleep(5);
    }
    return true;
}

}  // namespace ktest
