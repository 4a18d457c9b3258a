#include "memory_files.h"

#include <algorithm>
#include <cstring>

using kelmard::FileHandle;

namespace htest {
namespace {
// Files larger than this are refused, as a full disk would.
constexpr uint64_t kLimit = 64ull << 20;
}  // namespace

void MemoryFiles::Put(const std::string& path, const uint8_t* data, size_t size) {
    files_[path] = std::make_shared<Bytes>(data, data + size);
}

const MemoryFiles::Bytes* MemoryFiles::Get(const std::string& path) const {
    auto it = files_.find(path);
    return it == files_.end() ? nullptr : it->second.get();
}

FileHandle MemoryFiles::OpenExisting(const char* path, bool writable) {
    auto it = files_.find(path);
    if (it == files_.end()) return nullptr;
    ++handles_;
    return new Open{it->second, 0, writable};
}

FileHandle MemoryFiles::CreateAlways(const char* path) {
    auto bytes = std::make_shared<Bytes>();
    files_[path] = bytes;
    ++handles_;
    return new Open{bytes, 0, true};
}

FileHandle MemoryFiles::CreateTemporary() {
    ++handles_;
    return new Open{std::make_shared<Bytes>(), 0, true};
}

bool MemoryFiles::Seek(FileHandle file, uint32_t position) {
    static_cast<Open*>(file)->position = position;
    return true;
}

bool MemoryFiles::Read(FileHandle file, void* buffer, uint32_t size, uint32_t& done) {
    Open& f = *static_cast<Open*>(file);
    const uint64_t available = f.position < f.bytes->size() ? f.bytes->size() - f.position : 0;
    done = static_cast<uint32_t>(std::min<uint64_t>(size, available));
    if (done) std::memcpy(buffer, f.bytes->data() + f.position, done);
    f.position += done;
    return true;
}

bool MemoryFiles::Write(FileHandle file, const void* buffer, uint32_t size, uint32_t& done) {
    Open& f = *static_cast<Open*>(file);
    done = 0;
    if (!f.writable || f.position + size > kLimit) return false;
    if (f.bytes->size() < f.position + size) f.bytes->resize(f.position + size);
    if (size) std::memcpy(f.bytes->data() + f.position, buffer, size);
    f.position += size;
    done = size;
    return true;
}

bool MemoryFiles::Size(FileHandle file, uint64_t& size) {
    size = static_cast<Open*>(file)->bytes->size();
    return true;
}

void MemoryFiles::Close(FileHandle file) {
    --handles_;
    delete static_cast<Open*>(file);
}

bool MemoryFiles::Replace(const char* from, const char* to) {
    auto it = files_.find(from);
    if (it == files_.end()) return false;
    std::shared_ptr<Bytes> bytes = it->second;
    files_.erase(it);
    files_[to] = bytes;
    return true;
}

}  // namespace htest
