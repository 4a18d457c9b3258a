// Test support: helper processes and their named events, named shared memory
// (the test log, the intercom's places, the test stages' block) and
// temporary installations; at the end, the helper program's verbs.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host.h"
#include "kelmard.h"

namespace ktest {

constexpr DWORD kWaitMs = 30000;  // a loaded machine can take seconds to start or end a process

// A manual-reset named event "KelmardTest.<name>", created or opened. The
// process keeps every event it has named open until it ends, so a signal sent
// before the other side opens the event still arrives.
class Event {
public:
    explicit Event(const std::string& name);
    void Set() { SetEvent(event_.get()); }
    void Reset() { ResetEvent(event_.get()); }
    bool Wait(DWORD ms = kWaitMs) { return WaitForSingleObject(event_.get(), ms) == WAIT_OBJECT_0; }

private:
    kelmard::UniqueHandle event_;
};

// Another process: `program` from this program's folder with `arguments`. One
// with an `id` is waited for until it sets "ready.ID"; at the end it gets
// "quit.ID" and is waited for. Whatever still runs then is killed.
class Helper {
public:
    explicit Helper(const std::string& arguments, std::string id = "",
                    const char* program = "kelmard-test-helper.exe");
    Helper(Helper&&) = default;
    ~Helper();
    DWORD pid() const { return pid_; }
    // Waits for the process to end: its exit code, or STILL_ACTIVE.
    DWORD Wait(DWORD ms = kWaitMs) { return khost::WaitForExit(process_.get(), ms); }
    void Kill();
    void Signal(const char* what) { Event(what + ("." + id_)).Set(); }
    bool Await(const char* what, DWORD ms = kWaitMs) { return Event(what + ("." + id_)).Wait(ms); }
    DWORD Quit() { return Signal("quit"), Wait(); }

private:
    std::string id_;
    DWORD pid_ = 0;
    kelmard::UniqueHandle process_;
};

// The helper program's "VERB INDEX [MORE]"; the index is its id.
inline Helper Start(const std::string& verb, int index, const std::string& more = "") {
    return Helper(verb + " " + std::to_string(index) + " " + more, std::to_string(index));
}

// A block of named shared memory of type T, created or opened; zeroed when `reset`.
template <typename T>
class SharedBlock {
public:
    SharedBlock(const char* name, bool reset)
        : mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(T), name)),
          view_(mapping_ ? MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr) {
        if (view_ && reset) std::memset(view_.get(), 0, sizeof(T));
    }
    T* operator->() const { return static_cast<T*>(view_.get()); }
    T& operator*() const { return *operator->(); }

private:
    kelmard::UniqueHandle mapping_;
    kelmard::UniqueView view_;
};

// What helper processes report, by helper index: their shutdown routine's
// calls, the process, thread priority and sequence number of the last one;
// registrations that worked and failed; work done; the helper's process id.
struct TestLog {
    volatile LONG shutdowns[16], shutdownPid[16], shutdownPriority[16], order[16];
    volatile LONG registrations[16], failures[16], done[16], pid[16];
    volatile LONG wrongProcess;  // a routine ran with another helper's argument
    volatile LONG sequence;      // counts shutdowns across all helpers
    volatile LONG64 address;     // a routine address a helper publishes
};
struct SharedLog : SharedBlock<TestLog> {
    explicit SharedLog(bool reset) : SharedBlock("KelmardTest.Log", reset) {}
};

// A fresh folder below the temporary folder, recorded as DestDir for the
// scope; then the previous DestDir comes back and the folder goes.
class Installation {
public:
    explicit Installation(const std::string& name);
    ~Installation();
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    bool recorded() const { return destDir_.written(); }

private:
    std::string path_;
    khost::RegStringScope destDir_;
};

// In the helper program: a verb's arguments, "INDEX [MODE]" for most, and
// the events of its index. Each test folder adds its verbs with HelperVerb
// objects; a verb answers the exit code.
struct HelperRun {
    std::vector<std::string> args;
    std::string id = args.empty() ? "" : args[0];
    int index = std::atoi(id.c_str());
    std::string mode = args.size() > 1 ? args[1] : "";
    void Signal(const char* what) const { Event(what + ("." + id)).Set(); }
    bool Await(const char* what) const { return Event(what + ("." + id)).Wait(60000); }
};
struct HelperVerb {
    HelperVerb(const char* name, int (*verb)(const HelperRun&));
};

}  // namespace ktest
