// Changing a container: strings, new and deleted entries, storing entries
// back, and the commit that writes the whole file anew.
//
// The file's own header and directory keep describing its old contents until
// the commit: changed entries are stored past the end of the data they
// describe, and reference lists are fixed only in the new file. The commit
// writes the new file beside the old one, makes it durable, and replaces the
// old one in one step, so the user always has one whole file, old or new.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "help/tagfile.h"
#include "help/tagfile_detail.h"

namespace kelmard {

using detail::HeapArray;
using detail::StringAt;
using detail::StringRecord;

namespace {

constexpr uint32_t kCopyChunk = 1024;
// The most entries a file can describe (its data area must start in 32 bits)
// and an index can answer.
constexpr uint32_t kMaxEntries = (0xFFFFFFFFu - kFxHeaderSize) / kFxRecordSize;

// Directory order: type descending, then number ascending.
uint32_t SortKey(uint32_t tag) { return ((0xFFFFu - FxTagType(tag)) << 16) | FxTagNumber(tag); }

// FindEntry on a sorted directory: the first record of the tag's type when its
// number is 0, else the first with the whole tag; -1 when there is none.
int64_t FindSorted(const FxTagEntry* records, uint32_t count, uint32_t tag) {
    const uint32_t key = SortKey(tag);
    const FxTagEntry* end = records + count;
    const FxTagEntry* it = std::lower_bound(
        records, end, key, [](const FxTagEntry& r, uint32_t k) { return SortKey(r.tag) < k; });
    if (it == end) return -1;
    const bool match = FxTagNumber(tag) == 0 ? FxTagType(it->tag) == FxTagType(tag) : it->tag == tag;
    return match ? it - records : -1;
}

// Where a string record lies in the table.
struct StringSlot {
    uint32_t id, offset, length;
};

// Writes all of `size` bytes to `file` at its position.
bool WriteAll(FileHandle file, const void* data, uint32_t size) {
    uint32_t n = 0;
    return size == 0 || (Files().Write(file, data, size, n) && n == size);
}

}  // namespace

// ---------------------------------------------------------------------------
// Strings

int FxTagFile::SetTagString(uint32_t id, const char* text, uint32_t language) {
    if (!open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (readOnly_) return Fail(FXFILE_ERROR_READ_ONLY);
    if (language == 0) language = defaultLanguage_;
    // The record's 16-bit length and language must hold what is stored.
    if (!text || language > 0xFFFF) return Fail(FXFILE_ERROR_CREATE_TAG);
    const size_t textLength = std::strlen(text);
    if (textLength > kFxMaxStringText) return Fail(FXFILE_ERROR_CREATE_TAG);
    if (!LoadStrings()) return 0;

    const uint32_t size = header_.stringTableSize;
    const uint32_t recordLength = detail::kStringHeader + static_cast<uint32_t>(textLength) + 1;
    uint32_t oldOffset = size, oldLength = 0;  // the (id, language) record, if any
    for (uint32_t offset = 0; offset < size;) {
        const StringRecord r = StringAt(strings_, offset);
        if (r.language == language && r.length == recordLength &&
            std::memcmp(r.text, text, textLength) == 0)
            return Fail(FXFILE_ERROR_TAG_EXIST);  // stored already (under some id)
        if (r.id == id && r.language == language && oldLength == 0) {
            oldOffset = offset;
            oldLength = r.length;
        }
        offset += r.length;
    }
    const uint64_t newSize = static_cast<uint64_t>(size) - oldLength + recordLength;
    if (newSize > 0xFFFFFFFFull) return Fail(FXFILE_ERROR_OUT_OF_MEMORY);

    // The new table is made whole before the old one is given up.
    HeapArray<uint8_t> table;
    if (!table.Allocate(static_cast<size_t>(newSize))) return Fail(FXFILE_ERROR_OUT_OF_MEMORY);
    uint8_t* out = table.get();
    bool inserted = false;
    auto insert = [&] {
        const uint16_t length16 = static_cast<uint16_t>(recordLength);
        const uint16_t language16 = static_cast<uint16_t>(language);
        std::memcpy(out, &id, 4);
        std::memcpy(out + 4, &length16, 2);
        std::memcpy(out + 6, &language16, 2);
        std::memcpy(out + 8, text, textLength + 1);
        out += recordLength;
        inserted = true;
    };
    for (uint32_t offset = 0; offset < size;) {
        const StringRecord r = StringAt(strings_, offset);
        if (!inserted && r.id > id) insert();
        if (offset != oldOffset) {
            std::memcpy(out, strings_ + offset, r.length);
            out += r.length;
        }
        offset += r.length;
    }
    if (!inserted) insert();

    std::free(strings_);
    strings_ = table.release();
    header_.stringTableSize = static_cast<uint32_t>(newSize);
    modified_ = 1;
    data_.error_ = FXFILE_ERROR_NONE;
    return 1;
}

int FxTagFile::DeleteTagString(uint32_t id, uint32_t language) {
    if (!open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (readOnly_) return Fail(FXFILE_ERROR_READ_ONLY);
    if (language == 0) language = defaultLanguage_;
    if (!LoadStrings()) return 0;
    const uint32_t size = header_.stringTableSize;
    for (uint32_t offset = 0; offset < size;) {
        const StringRecord r = StringAt(strings_, offset);
        if (r.id == id && r.language == language) {
            std::memmove(strings_ + offset, strings_ + offset + r.length, size - offset - r.length);
            header_.stringTableSize = size - r.length;
            modified_ = 1;
            data_.error_ = FXFILE_ERROR_NONE;
            return 1;
        }
        offset += r.length;
    }
    return Fail(FXFILE_ERROR_INDEX_INVALID);
}

// ---------------------------------------------------------------------------
// Entries

int32_t FxTagFile::CreateEntry(uint32_t tag, FxStream** data) {
    auto failed = [this](uint32_t code) {
        Fail(code);
        return -1;
    };
    if (!open_) return failed(FXFILE_ERROR_NOT_INITIALIZED);
    if (readOnly_) return failed(FXFILE_ERROR_READ_ONLY);
    if (FxTagType(tag) == kFxDeletedType) return failed(FXFILE_ERROR_CREATE_TAG);
    if (FindEntry(0, tag) >= 0) return failed(FXFILE_ERROR_TAG_EXIST);
    const uint32_t count = header_.entryCount;
    if (count >= kMaxEntries) return failed(FXFILE_ERROR_OUT_OF_MEMORY);
    if (count == capacity_) {
        void* grown = std::realloc(directory_, (static_cast<size_t>(capacity_) + 8) * kFxRecordSize);
        if (!grown) return failed(FXFILE_ERROR_OUT_OF_MEMORY);
        directory_ = static_cast<FxTagEntry*>(grown);
        capacity_ += 8;
    }
    FxTagEntry& record = directory_[count];
    record = FxTagEntry{};
    record.tag = tag;
    record.offset = endOfFile_ - header_.dataStart;
    header_.entryCount = count + 1;
    if (data) *data = &data_;
    ++openCount_;
    modified_ = 1;
    data_.error_ = FXFILE_ERROR_NONE;
    return static_cast<int32_t>(count);
}

int FxTagFile::DeleteEntry(uint32_t index) {
    if (!open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (readOnly_) return Fail(FXFILE_ERROR_READ_ONLY);
    if (index >= header_.entryCount) return Fail(FXFILE_ERROR_INDEX_INVALID);
    FxTagEntry& record = directory_[index];
    record.tag = FxTag(kFxDeletedType, FxTagNumber(record.tag));
    modified_ = 1;
    data_.error_ = FXFILE_ERROR_NONE;
    return 1;
}

// Stores an entry's attributes and, from `stream`, its data. Data never goes
// where the file's own directory can see it: it is written in place only when
// it fits space written since the file was opened, else after the end.
bool FxTagFile::Store(uint32_t index, const FxTagEntry& entry, FxStream* stream) {
    FxTagEntry& record = directory_[index];
    if (FxTagType(record.tag) == kFxDeletedType) return true;  // dropped by the commit anyway
    const uint32_t newSize = stream ? entry.size : record.size;
    if (FxIsReferenceList(record.tag) && static_cast<uint64_t>(entry.attribute[0]) * 8 != newSize)
        return Fail(FXFILE_ERROR_INVALID_FILE);  // the pair count must match the data
    if (stream) {
        const uint32_t dataStart = header_.dataStart;
        uint32_t offset = record.offset;
        const bool pastOldEnd = static_cast<uint64_t>(dataStart) + record.offset >= committedEnd_;
        if (!pastOldEnd || newSize > record.size) offset = endOfFile_ - dataStart;
        if (newSize && data_.CopyFrom(offset, stream, 0, newSize) != newSize)
            return Fail(FXFILE_ERROR_WRITE_FILE);
        record.offset = offset;
        record.size = newSize;
    }
    std::memcpy(record.attribute, entry.attribute, sizeof record.attribute);
    modified_ = 1;
    return true;
}

int FxTagFile::CloseEntry(uint32_t index, const FxTagEntry* entry, FxStream* stream,
                          int writeBack) {
    if (!open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (index >= header_.entryCount) return Fail(FXFILE_ERROR_INDEX_INVALID);
    uint32_t failure = FXFILE_ERROR_NONE;
    if (writeBack) {
        if (readOnly_)
            failure = FXFILE_ERROR_READ_ONLY;  // nothing could ever store it
        else if (entry && !Store(index, *entry, stream))
            return 0;  // still open and counted: nothing is committed without it
    }
    if (openCount_ > 0) --openCount_;
    int result = 1;
    if (openCount_ == 0) result = Finish();
    if (failure != FXFILE_ERROR_NONE) return Fail(failure);
    return result;
}

int FxTagFile::StoreEntry(uint32_t index, const FxTagEntry* entry, FxStream* stream) {
    if (!open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (readOnly_) return Fail(FXFILE_ERROR_READ_ONLY);
    if (index >= header_.entryCount || !entry) return Fail(FXFILE_ERROR_INDEX_INVALID);
    if (!Store(index, *entry, stream)) return 0;
    data_.error_ = FXFILE_ERROR_NONE;
    return 1;
}

// ---------------------------------------------------------------------------
// The commit

int FxTagFile::Commit() {
    if (header_.stringTableSize != 0 && !LoadStrings()) return 0;
    FileLayer& files = Files();

    // 1. The new directory: sorted, without deleted entries. `from` keeps
    //    where each entry's data lies in the old file.
    const uint32_t total = header_.entryCount;
    HeapArray<FxTagEntry> records;
    HeapArray<uint32_t> from;
    if (!records.Allocate((static_cast<size_t>(total) + 7) & ~size_t{7}) || !from.Allocate(total))
        return Fail(FXFILE_ERROR_OUT_OF_MEMORY);
    if (total) std::memcpy(records.get(), directory_, static_cast<size_t>(total) * kFxRecordSize);
    std::stable_sort(records.get(), records.get() + total, [](const FxTagEntry& a, const FxTagEntry& b) {
        return SortKey(a.tag) < SortKey(b.tag);
    });
    uint32_t skip = 0;
    while (skip < total && FxTagType(records[skip].tag) == kFxDeletedType) ++skip;
    const uint32_t count = total - skip;
    if (skip) std::memmove(records.get(), records.get() + skip, static_cast<size_t>(count) * kFxRecordSize);
    for (uint32_t i = 0; i < count; ++i) from[i] = records[i].offset;

    // 2. Reference lists (first in this order) keep the pairs whose tag is
    //    still found, with its new index. Fixed here, written to the new file only.
    uint32_t lists = 0;
    uint64_t listBytes = 0;
    while (lists < count && FxIsReferenceList(records[lists].tag)) listBytes += records[lists++].size;
    HeapArray<uint8_t> pairs;
    if (listBytes > 0xFFFFFFFFull || !pairs.Allocate(static_cast<size_t>(listBytes)))
        return Fail(FXFILE_ERROR_OUT_OF_MEMORY);
    for (uint32_t i = 0, at = 0; i < lists; ++i) {
        FxTagEntry& r = records[i];
        uint8_t* list = pairs.get() + at;
        if (r.size && data_.ReadAt(from[i], list, r.size) != r.size)
            return Fail(FXFILE_ERROR_READ_FILE);
        uint32_t kept = 0;
        for (uint32_t p = 0; p < r.size / 8; ++p) {
            const uint32_t tag = detail::Load32(list + p * 8);
            const int64_t found = FindSorted(records.get(), count, tag);
            if (found < 0) continue;
            const uint32_t index = static_cast<uint32_t>(found);
            std::memcpy(list + kept * 8, &tag, 4);
            std::memcpy(list + kept * 8 + 4, &index, 4);
            ++kept;
        }
        from[i] = at;  // from now on: where the fixed list lies in `pairs`
        at += r.size;
        r.attribute[0] = kept;
        r.size = kept * 8;
    }

    // 3. Strings stay only for ids that are still found, ascending by id (a
    //    table read from a file may not be), each id's in their order.
    const uint32_t oldStrings = header_.stringTableSize;
    uint32_t kept = 0;
    for (uint32_t offset = 0; offset < oldStrings; ++kept) offset += StringAt(strings_, offset).length;
    HeapArray<uint8_t> strings;
    HeapArray<StringSlot> slots;
    if (!strings.Allocate(oldStrings) || !slots.Allocate(kept)) return Fail(FXFILE_ERROR_OUT_OF_MEMORY);
    kept = 0;
    for (uint32_t offset = 0; offset < oldStrings;) {
        const StringRecord r = StringAt(strings_, offset);
        if (FindSorted(records.get(), count, r.id) >= 0) slots[kept++] = StringSlot{r.id, offset, r.length};
        offset += r.length;
    }
    std::stable_sort(slots.get(), slots.get() + kept,
                     [](const StringSlot& a, const StringSlot& b) { return a.id < b.id; });
    uint32_t stringBytes = 0;
    for (uint32_t i = 0; i < kept; ++i) {
        std::memcpy(strings.get() + stringBytes, strings_ + slots[i].offset, slots[i].length);
        stringBytes += slots[i].length;
    }

    // 4. The new layout: directory right after the header, data area right
    //    after the directory, strings first, entries in directory order.
    FxTagHeader header = {kFxMagic, kFxHeaderSize, kFxRecordSize, stringBytes, count, 0};
    uint64_t running = stringBytes;
    for (uint32_t i = 0; i < count; ++i) {
        records[i].offset = static_cast<uint32_t>(running);
        running += records[i].size;
    }
    const uint64_t dataStart = kFxHeaderSize + static_cast<uint64_t>(count) * kFxRecordSize;
    if (dataStart + running > 0xFFFFFFFFull) return Fail(FXFILE_ERROR_WRITE_FILE);
    header.dataStart = static_cast<uint32_t>(dataStart);

    // 5. Write the new file beside the old one.
    char temp[kFxPathChars];
    if (!detail::TempName(path_, temp, sizeof temp)) return Fail(FXFILE_ERROR_TMP_FILE);
    FileHandle out = files.CreateAlways(temp);
    if (!out) return Fail(FXFILE_ERROR_TMP_FILE);
    auto abandon = [&](uint32_t code) {
        files.Close(out);
        files.Remove(temp);
        return Fail(code);
    };
    if (!WriteAll(out, &header, sizeof header) ||
        !WriteAll(out, records.get(), count * kFxRecordSize) ||
        !WriteAll(out, strings.get(), stringBytes))
        return abandon(FXFILE_ERROR_WRITE_FILE);
    unsigned char chunk[kCopyChunk];
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t size = records[i].size;
        if (i < lists) {  // the fixed list, from memory
            if (!WriteAll(out, pairs.get() + from[i], size)) return abandon(FXFILE_ERROR_WRITE_FILE);
            continue;
        }
        for (uint32_t done = 0; done < size;) {
            const uint32_t n = std::min(size - done, kCopyChunk);
            if (data_.ReadAt(from[i] + done, chunk, n) != n) return abandon(FXFILE_ERROR_READ_FILE);
            if (!WriteAll(out, chunk, n)) return abandon(FXFILE_ERROR_WRITE_FILE);
            done += n;
        }
    }
    if (!files.Flush(out)) return abandon(FXFILE_ERROR_WRITE_FILE);
    files.Close(out);

    // 6. Put it in the old one's place in one step. The old file must be
    //    closed for that on Windows; if the replace fails it is opened again.
    files.Close(file_);
    file_ = nullptr;
    if (!files.Replace(temp, path_)) {
        files.Remove(temp);
        File();
        return Fail(FXFILE_ERROR_TMP_FILE);
    }

    // The container now describes the new file.
    std::free(directory_);
    directory_ = records.release();
    capacity_ = (count + 7u) & ~7u;
    std::free(strings_);
    strings_ = strings.release();
    stringsLoaded_ = true;
    header_ = header;
    endOfFile_ = committedEnd_ = static_cast<uint32_t>(dataStart + running);
    modified_ = 0;
    data_.error_ = FXFILE_ERROR_NONE;
    return 1;
}

}  // namespace kelmard
