// Support for the container tests and the fuzz target: temporary folders,
// container bytes made and read back independently of the library, a file
// layer over the real one that counts and fails operations, and one that keeps
// every file in memory.
#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
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
bool Exists(const std::string& path);
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
inline bool operator==(const Entry& a, const Entry& b) {
    return a.tag == b.tag && a.data == b.data && std::equal(a.attr, a.attr + 4, b.attr);
}
inline bool operator==(const String& a, const String& b) {
    return a.id == b.id && a.language == b.language && a.text == b.text;
}
inline bool operator==(const Container& a, const Container& b) {
    return a.entries == b.entries && a.strings == b.strings;
}
void PrintTo(const Container& c, std::ostream* os);  // for test failure messages

// The bytes of a container laid out as a committed file: directory after the
// header, strings, then each entry's data in the order given.
std::string Build(const Container& c);
// Reads a file that must keep every rule of a committed container (directory
// after the header, data area after it, sorted, no deleted entries, entries
// contiguous in directory order, reference lists naming existing entries by
// their index, strings ascending by id). False with the broken rule in `why`.
bool ParseCommitted(const std::string& bytes, Container& out, std::string& why);
// The file at `path` through ParseCommitted; a file that breaks a rule reads as
// one entry of tag 0xFFFFFFFF whose data names the rule, which fails any
// comparison with a container that keeps them.
Container Committed(const std::string& path);
// A reference list's data from (tag, index) pairs.
std::string Pairs(const std::vector<std::pair<uint32_t, uint32_t>>& pairs);
// Everything the library reads of a container, through its own interface.
Container ReadThroughLibrary(kelmard::FxTagFile& file);

// A file layer over the platform's that counts operations and can fail them.
// Installed while it lives.
class TestFiles final : public kelmard::FileLayer {
public:
    TestFiles() : real_(kelmard::PlatformFileLayer()), previous_(kelmard::UseFileLayer(this)) {}
    ~TestFiles() override { kelmard::UseFileLayer(previous_); }

    // What happened since the last Reset.
    int writes = 0, flushes = 0, replaces = 0, creates = 0, writableOpens = 0;
    std::vector<std::pair<std::string, std::string>> replaced;  // (from, to)
    // Faults. failWrite = n fails the n-th write from the last Reset. With
    // crash, every operation after the first fault fails, as if the process
    // had died there (handles are still closed, as the system would).
    int failWrite = 0;
    bool failFlush = false, failReplace = false, refuseWritable = false, crash = false;
    bool Crashed() const { return crashed_; }
    void Reset();
    // Files open through the layer, and closes of files that were not open.
    size_t OpenFiles() const { return open_.size(); }
    int badCloses = 0;

    FileHandle OpenExisting(const char* path, bool writable) override;
    FileHandle CreateAlways(const char* path) override;
    FileHandle CreateTemporary() override { return crashed_ ? nullptr : Opened(real_.CreateTemporary()); }
    bool ReadAt(FileHandle file, uint64_t offset, void* buffer, uint32_t size, uint32_t& done) override {
        done = 0;
        return !crashed_ && real_.ReadAt(file, offset, buffer, size, done);
    }
    bool WriteAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t size, uint32_t& done) override;
    bool Size(FileHandle file, uint64_t& size) override { return !crashed_ && real_.Size(file, size); }
    bool Flush(FileHandle file) override { return Count(flushes, failFlush) && real_.Flush(file); }
    void Close(FileHandle file) override;
    bool Replace(const char* from, const char* to) override;
    bool Remove(const char* path) override { return !crashed_ && real_.Remove(path); }

private:
    FileHandle Opened(FileHandle file) {
        if (file) open_.insert(file);
        return file;
    }
    // Counts an operation; false when it fails (a fault, or after a crash).
    bool Count(int& count, bool fail);
    std::set<FileHandle> open_;
    kelmard::FileLayer& real_;
    kelmard::FileLayer* previous_;
    bool crashed_ = false;
};

// A file layer with every file in memory, for the fuzz target.
class MemoryFiles final : public kelmard::FileLayer {
public:
    using Bytes = std::vector<uint8_t>;
    void Clear() { files_.clear(); }
    void Put(const std::string& path, const uint8_t* data, size_t size) {
        files_[path] = std::make_shared<Bytes>(data, data + size);
    }
    const Bytes* Get(const std::string& path) const {  // null when there is none
        auto it = files_.find(path);
        return it == files_.end() ? nullptr : it->second.get();
    }
    int OpenHandles() const { return handles_; }

    FileHandle OpenExisting(const char* path, bool writable) override;
    FileHandle CreateAlways(const char* path) override { return Handle(files_[path] = std::make_shared<Bytes>(), true); }
    FileHandle CreateTemporary() override { return Handle(std::make_shared<Bytes>(), true); }
    bool ReadAt(FileHandle file, uint64_t offset, void* buffer, uint32_t size, uint32_t& done) override;
    bool WriteAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t size, uint32_t& done) override;
    bool Size(FileHandle file, uint64_t& size) override;
    bool Flush(FileHandle) override { return true; }
    void Close(FileHandle file) override;
    bool Replace(const char* from, const char* to) override;
    bool Remove(const char* path) override { return files_.erase(path) > 0; }

private:
    FileHandle Handle(std::shared_ptr<Bytes> bytes, bool writable);
    std::map<std::string, std::shared_ptr<Bytes>> files_;
    int handles_ = 0;
};

}  // namespace htest
