// Test support: helper processes, named events, named shared memory (the
// test log, the intercom's places) and temporary installations.
#pragma once
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host.h"
#include "kelmard.h"

namespace ktest {

// A helper process: "kelmard-test-helper.exe" (or another program) from the
// test program's folder, started with the given arguments. Killed on
// destruction if still running.
class Helper {
public:
    explicit Helper(const std::string& arguments, const char* program = "kelmard-test-helper.exe")
        : process_(khost::StartProcess(khost::ExeFolder() + "\\" + program, arguments, &pid_)) {}
    ~Helper() {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) Kill();
    }
    Helper(Helper&&) = default;
    Helper& operator=(Helper&&) = default;

    bool started() const { return static_cast<bool>(process_); }
    DWORD pid() const { return pid_; }
    // Waits for the process to end; answers its exit code, or STILL_ACTIVE.
    DWORD Wait(DWORD ms) { return khost::WaitForExit(process_.get(), ms); }
    void Kill() {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }

private:
    DWORD pid_ = 0;  // before process_: starting the process sets it
    kelmard::UniqueHandle process_;
};

// A manual-reset named event, "KelmardTest.<name>", created or opened. The
// process keeps every event it has named open until it ends, so a signal sent
// before the other side opens the event still arrives.
class Event {
public:
    explicit Event(const std::string& name);
    void Set() { SetEvent(event_.get()); }
    void Reset() { ResetEvent(event_.get()); }
    bool Wait(DWORD ms) { return WaitForSingleObject(event_.get(), ms) == WAIT_OBJECT_0; }

private:
    kelmard::UniqueHandle event_;
};

// Helpers that run "COMMAND INDEX [MORE]": each is waited for until it sets
// "ready.INDEX"; QuitAll sets every "quit.INDEX" and waits for the processes.
class HelperSet {
public:
    static constexpr DWORD kWaitMs = 30000;  // a loaded machine can take seconds to start or end one
    ~HelperSet() { QuitAll(); }
    Helper& Start(const std::string& command, int index, const std::string& more = "");
    void QuitAll();

private:
    std::vector<std::pair<std::string, std::unique_ptr<Helper>>> helpers_;
};

// A block of named shared memory of type T, created or opened; zeroed when
// `reset`.
template <typename T>
class SharedBlock {
public:
    SharedBlock(const char* name, bool reset)
        : mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(T), name)) {
        if (mapping_) view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
        if (view_ && reset) std::memset(view_.get(), 0, sizeof(T));
    }
    T* operator->() const { return static_cast<T*>(view_.get()); }
    T& operator*() const { return *operator->(); }

private:
    kelmard::UniqueHandle mapping_;
    kelmard::UniqueView view_;
};

// What helper processes report to the test program.
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
class SharedLog : public SharedBlock<TestLog> {
public:
    explicit SharedLog(bool reset) : SharedBlock("KelmardTest.Log", reset) {}
};

// Reads or writes a place's record straight in its named shared memory, the
// way another copy of the library would.
QVRIntercomRecord ReadPlace(const char* mappingName);
bool WritePlace(const char* mappingName, const QVRIntercomRecord& record);

// A fresh installation folder below the temporary folder, recorded as
// DestDir for the scope; then the previous DestDir comes back and the folder
// goes with everything in it.
class Installation {
public:
    explicit Installation(const std::string& name);
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    bool recorded() const { return destDir_.written(); }

private:
    std::string path_;
    khost::RegStringScope destDir_;
};

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
