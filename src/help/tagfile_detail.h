// Helpers shared by the container's source files (not part of its interface).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "help/file_layer.h"

namespace kelmard {
namespace detail {

// The on-disk format is little-endian, like every target of this library:
// headers and records are read and written as they lie in memory.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "little-endian targets only");

constexpr uint64_t kUnknownPosition = ~0ull;

// Moves the file to `at` unless `filePosition` (where the file is known to
// stand) says it is there already. On a failed seek the position becomes
// unknown and the answer is false.
inline bool SeekTo(FileHandle file, uint64_t at, uint64_t& filePosition) {
    if (at == filePosition) return true;
    if (Files().Seek(file, static_cast<uint32_t>(at))) return true;
    filePosition = kUnknownPosition;
    return false;
}

// An array on the heap that reports allocation failure instead of throwing.
template <typename T>
class HeapArray {
public:
    HeapArray() = default;
    HeapArray(const HeapArray&) = delete;
    HeapArray& operator=(const HeapArray&) = delete;
    ~HeapArray() { std::free(p_); }
    // False when there is no memory; an empty array needs none.
    bool Allocate(size_t n) {
        std::free(p_);
        p_ = nullptr;
        if (n == 0) return true;
        if (n > SIZE_MAX / sizeof(T)) return false;
        p_ = static_cast<T*>(std::malloc(n * sizeof(T)));
        return p_ != nullptr;
    }
    T* get() const { return p_; }
    T* release() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    T& operator[](size_t i) const { return p_[i]; }

private:
    T* p_ = nullptr;
};

// One record of a string table.
struct StringRecord {
    uint32_t id;
    uint32_t length;  // the whole record: 8 + text length + 1
    uint32_t language;
    const char* text;
};
constexpr uint32_t kStringHeader = 8;

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline uint16_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// The record at `offset` of a table already checked by ValidStringTable.
inline StringRecord StringAt(const uint8_t* table, uint32_t offset) {
    const uint8_t* p = table + offset;
    return StringRecord{Load32(p), Load16(p + 4), Load16(p + 6),
                        reinterpret_cast<const char*>(p + kStringHeader)};
}

// Every record has its header, a length that covers at least the NUL, stays
// inside the table, and ends with its text's NUL.
inline bool ValidStringTable(const uint8_t* table, uint32_t size) {
    uint32_t offset = 0;
    while (offset < size) {
        if (size - offset < kStringHeader) return false;
        const uint32_t length = Load16(table + offset + 4);
        if (length < kStringHeader + 1 || length > size - offset) return false;
        if (table[offset + length - 1] != 0) return false;
        offset += length;
    }
    return true;
}

// The name a commit writes the new file under: the path without the extension
// of its last component, plus ".TMP" (a container that is itself named ".TMP"
// gets ".TMP" appended). False when that does not fit `size` characters.
bool TempName(const char* path, char* out, size_t size);

}  // namespace detail
}  // namespace kelmard
