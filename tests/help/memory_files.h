// A file layer with every file in memory: the fuzz target opens and commits
// thousands of containers a second through it without touching the disk.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "help/file_layer.h"

namespace htest {

class MemoryFiles final : public kelmard::FileLayer {
public:
    using Bytes = std::vector<uint8_t>;
    void Clear() { files_.clear(); }
    void Put(const std::string& path, const uint8_t* data, size_t size);
    // The file's bytes, or null when there is none.
    const Bytes* Get(const std::string& path) const;
    int OpenHandles() const { return handles_; }

    kelmard::FileHandle OpenExisting(const char* path, bool writable) override;
    kelmard::FileHandle CreateAlways(const char* path) override;
    kelmard::FileHandle CreateTemporary() override;
    bool Seek(kelmard::FileHandle file, uint32_t position) override;
    bool Read(kelmard::FileHandle file, void* buffer, uint32_t size, uint32_t& done) override;
    bool Write(kelmard::FileHandle file, const void* buffer, uint32_t size, uint32_t& done) override;
    bool Size(kelmard::FileHandle file, uint64_t& size) override;
    bool Flush(kelmard::FileHandle) override { return true; }
    void Close(kelmard::FileHandle file) override;
    bool Replace(const char* from, const char* to) override;
    bool Remove(const char* path) override { return files_.erase(path) > 0; }

private:
    struct Open {
        std::shared_ptr<Bytes> bytes;
        uint64_t position = 0;
        bool writable = false;
    };
    std::map<std::string, std::shared_ptr<Bytes>> files_;
    int handles_ = 0;
};

}  // namespace htest
