// Helpers shared by the container's source files (not part of its interface).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "owners/unique_owner.h"

namespace kelmard {
namespace detail {

// The on-disk format is little-endian, like every target of this library:
// headers and records are read and written as they lie in memory.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "little-endian targets only");

// An array from malloc that reports exhaustion instead of throwing.
template <typename T>
class HeapArray {
public:
    // False when there is no memory; an empty array needs none.
    bool Allocate(size_t n) {
        block_.reset();
        if (n == 0) return true;
        if (n > SIZE_MAX / sizeof(T)) return false;
        block_.reset(static_cast<T*>(std::malloc(n * sizeof(T))));
        return static_cast<bool>(block_);
    }
    T* get() const { return block_.get(); }
    T& operator[](size_t i) const { return block_.get()[i]; }
    // Hands the memory over to its next owner.
    UniqueMalloc<T> Take() { return std::move(block_); }

private:
    UniqueMalloc<T> block_;
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
