#include "support/processes.h"

#include <cstring>
#include <map>
#include <vector>

namespace ktest {

namespace {
std::string ProgramPath(const char* program) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    p.resize(p.find_last_of("\\/") + 1);
    return p + program;
}
}  // namespace

Helper::Helper(const std::string& arguments, const char* program) {
    std::string command = "\"" + ProgramPath(program) + "\" " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi)) {
        CloseHandle(pi.hThread);
        process_.reset(pi.hProcess);
        pid_ = pi.dwProcessId;
    }
}

Helper::~Helper() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) Kill();
}

DWORD Helper::Wait(DWORD ms) {
    if (!process_) return STILL_ACTIVE;
    if (WaitForSingleObject(process_.get(), ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

void Helper::Kill() {
    if (!process_) return;
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
}

Event::Event(const std::string& name)
    : event_(CreateEventA(nullptr, TRUE, FALSE, ("KelmardTest." + name).c_str())) {
    // A named event lives only while someone has it open. Keep one handle to
    // each for the life of the process, so a Set() made before the other
    // process opens the event is not lost with the last handle.
    static std::map<std::string, kelmard::UniqueHandle> keepAlive;
    if (event_ && keepAlive.find(name) == keepAlive.end()) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(GetCurrentProcess(), event_.get(), GetCurrentProcess(), &copy, 0, FALSE,
                            DUPLICATE_SAME_ACCESS))
            keepAlive.emplace(name, kelmard::UniqueHandle(copy));
    }
}

void Event::Set() { SetEvent(event_.get()); }
void Event::Reset() { ResetEvent(event_.get()); }
bool Event::Wait(DWORD ms) { return WaitForSingleObject(event_.get(), ms) == WAIT_OBJECT_0; }

SharedLog::SharedLog(bool reset)
    : mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  sizeof(TestLog), "KelmardTest.Log")) {
    if (mapping_) {
        log_ = static_cast<TestLog*>(MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    }
    if (log_ && reset) std::memset(log_, 0, sizeof(TestLog));
}

SharedLog::~SharedLog() {
    if (log_) UnmapViewOfFile(log_);
}

QVRIntercomRecord ReadPlace(const char* mappingName) {
    QVRIntercomRecord record{};
    kelmard::UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, mappingName));
    if (!mapping) return record;
    void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof record);
    if (!view) return record;
    std::memcpy(&record, view, sizeof record);
    UnmapViewOfFile(view);
    return record;
}

}  // namespace ktest
