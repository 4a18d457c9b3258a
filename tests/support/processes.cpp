#include "support/processes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace ktest {

Event::Event(const std::string& name)
    : event_(CreateEventA(nullptr, TRUE, FALSE, ("KelmardTest." + name).c_str())) {
    // A named event lives only while someone has it open. Keep one handle to
    // each for the life of the process, so a Set() made before the other
    // process opens the event is not lost with the last handle.
    static std::map<std::string, kelmard::UniqueHandle> keepAlive;
    kelmard::UniqueHandle copy;
    if (event_ && keepAlive.find(name) == keepAlive.end() &&
        DuplicateHandle(GetCurrentProcess(), event_.get(), GetCurrentProcess(), copy.put(), 0, FALSE,
                        DUPLICATE_SAME_ACCESS))
        keepAlive.emplace(name, std::move(copy));
}

Helper& HelperSet::Start(const std::string& command, int index, const std::string& more) {
    const std::string id = std::to_string(index);
    for (const char* event : {"ready.", "go.", "done.", "quit."}) Event(event + id).Reset();
    helpers_.emplace_back(id, std::make_unique<Helper>(command + " " + id + " " + more));
    Helper& helper = *helpers_.back().second;
    EXPECT_TRUE(helper.started());
    EXPECT_TRUE(Event("ready." + id).Wait(kWaitMs)) << "helper " << command << " " << id << " not ready";
    return helper;
}

void HelperSet::QuitAll() {
    for (auto& [id, helper] : helpers_) {
        Event("quit." + id).Set();
        helper->Wait(kWaitMs);
    }
    helpers_.clear();
}

QVRIntercomRecord ReadPlace(const char* mappingName) {
    QVRIntercomRecord record{};
    kelmard::UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, mappingName));
    kelmard::UniqueView view(mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof record) : nullptr);
    if (view) std::memcpy(&record, view.get(), sizeof record);
    return record;
}

bool WritePlace(const char* mappingName, const QVRIntercomRecord& record) {
    kelmard::UniqueHandle mapping(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, mappingName));
    kelmard::UniqueView view(mapping ? MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof record)
                                     : nullptr);
    if (view) std::memcpy(view.get(), &record, sizeof record);
    return static_cast<bool>(view);
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
