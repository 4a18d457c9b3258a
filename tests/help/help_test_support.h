// Support for the container tests: temporary folders, container bytes laid out
// independently of the library, a file layer that counts and fails operations.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "help/file_layer.h"
#include "help/tagfile.h"

namespace htest {

using kelmard::FileHandle;

// A fresh folder in the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const;  // folder + separator + name

private:
    std::string path_;
};

std::string ReadBytes(const std::string& path);  // "" when missing
bool WriteBytes(const std::string& path, const std::string& bytes);
void Put32(std::string& bytes, size_t offset, uint32_t value);
uint32_t Get32(const std::string& bytes, size_t offset);

struct Entry {
    uint32_t tag = 0;
    std::string data;
    uint32_t attr[4] = {0, 0, 0, 0};
};
struct String {
    uint32_t id = 0, language = 0;
    std::string text;
};
struct Container {
    std::vector<Entry> entries;   // in directory order
    std::vector<String> strings;  // in table order
};
inline Entry E(uint32_t tag, std::string data, uint32_t attr0 = 0) { return Entry{tag, std::move(data), {attr0}}; }

// The bytes of a container as a commit lays them out (header, directory,
// strings, data in directory order): a committed file equals Build of its
// sorted entries and strings.
std::string Build(const Container& c);
// A reference list's data from (tag, index) pairs.
std::string Pairs(const std::vector<std::pair<uint32_t, uint32_t>>& pairs);
// Everything the library reads of a container, laid out by Build.
std::string ReadThroughLibrary(kelmard::FxTagFile& file);

// A file layer over the platform's that counts operations and can fail them.
// Installed while it lives.
class TestFiles final : public kelmard::FileLayer {
public:
    TestFiles() : real_(kelmard::PlatformFileLayer()), previous_(kelmard::UseFileLayer(this)) {}
    ~TestFiles() override { kelmard::UseFileLayer(previous_); }

    // What happened since the last Reset.
    int writes = 0, flushes = 0, replaces = 0, creates = 0, writableOpens = 0;
    std::vector<std::pair<std::string, std::string>> replaced;  // (from, to)
    // Faults: failWrite = n fails the n-th write (half its bytes put down);
    // with crash every later operation fails too, handles still close.
    int failWrite = 0;
    bool failFlush = false, failReplace = false, refuseWritable = false, crash = false;
    bool Crashed() const { return crashed_; }
    void Reset() {
        writes = flushes = replaces = creates = writableOpens = failWrite = 0;
        replaced.clear();
        failFlush = failReplace = refuseWritable = crash = crashed_ = false;
    }
    // Files open through the layer, and closes of files that were not open.
    size_t OpenFiles() const { return open_.size(); }
    int badCloses = 0;

    FileHandle OpenExisting(const char* path, bool writable) override {
        if (crashed_ || (writable && (++writableOpens, refuseWritable))) return nullptr;
        return Opened(real_.OpenExisting(path, writable));
    }
    FileHandle CreateAlways(const char* path) override {
        return Count(creates, false) ? Opened(real_.CreateAlways(path)) : nullptr;
    }
    FileHandle CreateTemporary() override { return crashed_ ? nullptr : Opened(real_.CreateTemporary()); }
    bool ReadAt(FileHandle file, uint64_t offset, void* buffer, uint32_t size, uint32_t& done) override {
        done = 0;
        return !crashed_ && real_.ReadAt(file, offset, buffer, size, done);
    }
    bool WriteAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t size, uint32_t& done) override {
        done = 0;
        if (crashed_) return false;
        if (Count(writes, writes + 1 == failWrite)) return real_.WriteAt(file, offset, buffer, size, done);
        real_.WriteAt(file, offset, buffer, size / 2, done);
        return false;
    }
    bool Size(FileHandle file, uint64_t& size) override { return !crashed_ && real_.Size(file, size); }
    bool Flush(FileHandle file) override { return Count(flushes, failFlush) && real_.Flush(file); }
    void Close(FileHandle file) override {
        if (open_.erase(file))
            real_.Close(file);
        else
            ++badCloses;  // not open: closing it could close someone else's file
    }
    bool Replace(const char* from, const char* to) override {
        if (!crashed_) replaced.emplace_back(from, to);
        return Count(replaces, failReplace) && real_.Replace(from, to);
    }
    bool Remove(const char* path) override { return !crashed_ && real_.Remove(path); }

private:
    FileHandle Opened(FileHandle file) {
        if (file) open_.insert(file);
        return file;
    }
    // Counts an operation; false when it fails (a fault, or after a crash).
    bool Count(int& count, bool fail) {
        if (crashed_) return false;
        ++count;
        if (fail) crashed_ = crash;
        return !fail;
    }
    std::set<FileHandle> open_;
    kelmard::FileLayer& real_;
    kelmard::FileLayer* previous_;
    bool crashed_ = false;
};

}  // namespace htest
