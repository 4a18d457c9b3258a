#include "support/processes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace ktest {

Event::Event(const std::string& name) : event_(CreateEventA(nullptr, TRUE, FALSE, ("KelmardTest." + name).c_str())) {
    static std::map<std::string, kelmard::UniqueHandle> keepAlive;
    kelmard::UniqueHandle copy;
    if (event_ && !keepAlive.count(name) &&
        DuplicateHandle(GetCurrentProcess(), event_.get(), GetCurrentProcess(), copy.put(), 0, FALSE,
                        DUPLICATE_SAME_ACCESS))
        keepAlive.emplace(name, std::move(copy));
}

Helper::Helper(const std::string& arguments, std::string id, const char* program) : id_(std::move(id)) {
    if (!id_.empty())
        for (const char* event : {"ready", "go", "done", "quit"}) Event(event + ("." + id_)).Reset();
    process_ = khost::StartProcess(khost::ExeFolder() + "\\" + program, arguments, &pid_);
    EXPECT_TRUE(process_) << program << " " << arguments;
    if (!id_.empty()) { EXPECT_TRUE(Await("ready")) << program << " " << arguments << ": not ready"; }
}

Helper::~Helper() {
    if (!process_) return;
    if (!id_.empty()) Quit();
    if (Wait(0) == STILL_ACTIVE) Kill();
}

void Helper::Kill() {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
}

namespace {
std::string FreshFolder(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "kelmard-" + name + "-" + std::to_string(GetCurrentProcessId());
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
    std::filesystem::create_directories(path, ignored);
    return path;
}
}  // namespace

Installation::Installation(const std::string& name)
    : path_(FreshFolder(name)), destDir_(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, "DestDir", path_) {}

Installation::~Installation() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace ktest
