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

// The file a commit writes: everything it holds, made in memory first.
struct NewFile {
    FxTagHeader header = {kFxMagic, kFxHeaderSize, kFxRecordSize, 0, 0, 0};
    HeapArray<FxTagEntry> records;  // sorted, without deleted entries
    uint32_t count = 0;
    // Where each entry's data lies: in the old data area, or for the
    // reference lists (the first `lists` records) in `pairs`.
    HeapArray<uint32_t> from;
    uint32_t lists = 0;
    HeapArray<uint8_t> pairs;    // the reference lists, fixed
    HeapArray<uint8_t> strings;  // header.stringTableSize bytes
    uint32_t end = 0;            // the file's size
};

// The directory sorted, deleted entries dropped.
uint32_t SortDirectory(const FxTagEntry* directory, uint32_t total, NewFile& next) {
    HeapArray<FxTagEntry>& records = next.records;
    if (!records.Allocate((static_cast<size_t>(total) + 7) & ~size_t{7}) || !next.from.Allocate(total))
        return FXFILE_ERROR_OUT_OF_MEMORY;
    if (total) std::memcpy(records.get(), directory, static_cast<size_t>(total) * kFxRecordSize);
    std::stable_sort(records.get(), records.get() + total, [](const FxTagEntry& a, const FxTagEntry& b) {
        return SortKey(a.tag) < SortKey(b.tag);
    });
    uint32_t skip = 0;  // deleted entries sort first
    while (skip < total && FxTagType(records[skip].tag) == kFxDeletedType) ++skip;
    next.count = total - skip;
    if (skip) std::memmove(records.get(), records.get() + skip, static_cast<size_t>(next.count) * kFxRecordSize);
    for (uint32_t i = 0; i < next.count; ++i) next.from[i] = records[i].offset;
    return FXFILE_ERROR_NONE;
}

// Reference lists (first in directory order) keep the pairs whose tag is
// still found, with its new index. They are fixed in memory and go only into
// the new file.
uint32_t FixReferenceLists(FxStream& data, NewFile& next) {
    uint64_t bytes = 0;
    while (next.lists < next.count && FxIsReferenceList(next.records[next.lists].tag))
        bytes += next.records[next.lists++].size;
    if (bytes > 0xFFFFFFFFull || !next.pairs.Allocate(static_cast<size_t>(bytes)))
        return FXFILE_ERROR_OUT_OF_MEMORY;
    for (uint32_t i = 0, at = 0; i < next.lists; ++i) {
        FxTagEntry& r = next.records[i];
        uint8_t* list = next.pairs.get() + at;
        if (r.size && data.ReadAt(next.from[i], list, r.size) != r.size) return FXFILE_ERROR_READ_FILE;
        uint32_t kept = 0;
        for (uint32_t p = 0; p < r.size / 8; ++p) {
            const uint32_t tag = detail::Load32(list + p * 8);
            const int64_t found = FindSorted(next.records.get(), next.count, tag);
            if (found < 0) continue;
            const uint32_t index = static_cast<uint32_t>(found);
            std::memcpy(list + kept * 8, &tag, 4);
            std::memcpy(list + kept * 8 + 4, &index, 4);
            ++kept;
        }
        next.from[i] = at;
        at += r.size;
        r.attribute[0] = kept;
        r.size = kept * 8;
    }
    return FXFILE_ERROR_NONE;
}

// Strings stay only for ids that are still found, ascending by id (a table
// read from a file may not be), each id's in their order.
uint32_t KeepStrings(const uint8_t* table, uint32_t size, NewFile& next) {
    uint32_t kept = 0;
    for (uint32_t offset = 0; offset < size; ++kept) offset += StringAt(table, offset).length;
    HeapArray<StringSlot> slots;
    if (!next.strings.Allocate(size) || !slots.Allocate(kept)) return FXFILE_ERROR_OUT_OF_MEMORY;
    kept = 0;
    for (uint32_t offset = 0; offset < size;) {
        const StringRecord r = StringAt(table, offset);
        if (FindSorted(next.records.get(), next.count, r.id) >= 0) slots[kept++] = StringSlot{r.id, offset, r.length};
        offset += r.length;
    }
    std::stable_sort(slots.get(), slots.get() + kept,
                     [](const StringSlot& a, const StringSlot& b) { return a.id < b.id; });
    uint32_t bytes = 0;
    for (uint32_t i = 0; i < kept; ++i) {
        std::memcpy(next.strings.get() + bytes, table + slots[i].offset, slots[i].length);
        bytes += slots[i].length;
    }
    next.header.stringTableSize = bytes;
    return FXFILE_ERROR_NONE;
}

// The layout: directory right after the header, data area right after the
// directory, strings first, entries in directory order.
uint32_t LayOut(NewFile& next) {
    uint64_t running = next.header.stringTableSize;
    for (uint32_t i = 0; i < next.count; ++i) {
        next.records[i].offset = static_cast<uint32_t>(running);
        running += next.records[i].size;
    }
    const uint64_t dataStart = kFxHeaderSize + static_cast<uint64_t>(next.count) * kFxRecordSize;
    if (dataStart + running > 0xFFFFFFFFull) return FXFILE_ERROR_WRITE_FILE;
    next.header.entryCount = next.count;
    next.header.dataStart = static_cast<uint32_t>(dataStart);
    next.end = static_cast<uint32_t>(dataStart + running);
    return FXFILE_ERROR_NONE;
}

// Everything of the new file into `out`, piece after piece: the entries'
// data from the old data area `data`, the reference lists from memory.
// Entries that lie one after the other in the old data area (as a committed
// file's do) are copied as one run.
uint32_t WriteContents(FxStream& out, FxStream& data, const NewFile& next) {
    uint32_t at = 0;
    auto put = [&](const void* bytes, uint32_t size) {
        if (size && out.WriteAt(at, bytes, size) != size) return false;
        at += size;
        return true;
    };
    uint32_t runFrom = 0, runSize = 0;  // old data not copied yet
    auto copyRun = [&] {
        if (runSize && out.CopyFrom(at, &data, runFrom, runSize) != runSize) return false;
        at += runSize;
        runSize = 0;
        return true;
    };
    auto copyFailure = [&] {
        return out.GetError() == FXFILE_ERROR_WRITE_FILE ? FXFILE_ERROR_WRITE_FILE : FXFILE_ERROR_READ_FILE;
    };
    if (!put(&next.header, sizeof next.header) || !put(next.records.get(), next.count * kFxRecordSize) ||
        !put(next.strings.get(), next.header.stringTableSize))
        return FXFILE_ERROR_WRITE_FILE;
    for (uint32_t i = 0; i < next.count; ++i) {
        const uint32_t size = next.records[i].size;
        if (size == 0) continue;
        if (i < next.lists) {
            if (!copyRun()) return copyFailure();
            if (!put(next.pairs.get() + next.from[i], size)) return FXFILE_ERROR_WRITE_FILE;
        } else if (runSize && static_cast<uint64_t>(runFrom) + runSize == next.from[i]) {
            runSize += size;  // the new file's size (LayOut) bounds every run
        } else {
            if (!copyRun()) return copyFailure();
            runFrom = next.from[i];
            runSize = size;
        }
    }
    return copyRun() ? FXFILE_ERROR_NONE : copyFailure();
}

// Writes the new file under the name `temp` and makes it durable. A failure
// leaves nothing of it.
uint32_t WriteNewFile(const char* temp, FxStream& data, const NewFile& next) {
    FxFileStream out(LayerFile(Files().CreateAlways(temp)));
    if (!out.IsOpen()) return FXFILE_ERROR_TMP_FILE;
    uint32_t failure = WriteContents(out, data, next);
    if (!failure && !out.Flush()) failure = FXFILE_ERROR_WRITE_FILE;
    out.Close();
    if (failure) Files().Remove(temp);
    return failure;
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
        const StringRecord r = StringAt(strings_.get(), offset);
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
        const StringRecord r = StringAt(strings_.get(), offset);
        if (!inserted && r.id > id) insert();
        if (offset != oldOffset) {
            std::memcpy(out, strings_.get() + offset, r.length);
            out += r.length;
        }
        offset += r.length;
    }
    if (!inserted) insert();

    strings_ = table.Take();
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
        const StringRecord r = StringAt(strings_.get(), offset);
        if (r.id == id && r.language == language) {
            uint8_t* record = strings_.get() + offset;
            std::memmove(record, record + r.length, size - offset - r.length);
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
        HeapArray<FxTagEntry> grown;
        if (!grown.Allocate(static_cast<size_t>(capacity_) + 8)) return failed(FXFILE_ERROR_OUT_OF_MEMORY);
        if (count) std::memcpy(grown.get(), directory_.get(), static_cast<size_t>(count) * kFxRecordSize);
        directory_ = grown.Take();
        capacity_ += 8;
    }
    FxTagEntry& record = directory_.get()[count];
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
    FxTagEntry& record = directory_.get()[index];
    record.tag = FxTag(kFxDeletedType, FxTagNumber(record.tag));
    modified_ = 1;
    data_.error_ = FXFILE_ERROR_NONE;
    return 1;
}

// Stores an entry's attributes and, from `stream`, its data. Data never goes
// where the file's own directory can see it: it is written in place only when
// it fits space written since the file was opened, else after the end.
bool FxTagFile::Store(uint32_t index, const FxTagEntry& entry, FxStream* stream) {
    FxTagEntry& record = directory_.get()[index];
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
    NewFile next;
    char temp[kFxPathChars];
    uint32_t failure = SortDirectory(directory_.get(), header_.entryCount, next);
    if (!failure) failure = FixReferenceLists(data_, next);
    if (!failure) failure = KeepStrings(strings_.get(), header_.stringTableSize, next);
    if (!failure) failure = LayOut(next);
    if (!failure && !detail::TempName(path_, temp, sizeof temp)) failure = FXFILE_ERROR_TMP_FILE;
    if (!failure) failure = WriteNewFile(temp, data_, next);
    if (!failure) failure = PutInPlace(temp);
    if (failure) return Fail(failure);

    // The container now describes the new file.
    directory_ = next.records.Take();
    capacity_ = (next.count + 7u) & ~7u;
    strings_ = next.strings.Take();
    stringsLoaded_ = true;
    header_ = next.header;
    endOfFile_ = committedEnd_ = next.end;
    modified_ = 0;
    data_.error_ = FXFILE_ERROR_NONE;
    return 1;
}

// Puts the new file in the old one's place in one step. The old file must be
// closed for that on Windows; if the replace fails it is opened again.
uint32_t FxTagFile::PutInPlace(const char* temp) {
    file_.reset();
    if (Files().Replace(temp, path_)) return FXFILE_ERROR_NONE;
    Files().Remove(temp);
    File();
    return FXFILE_ERROR_TMP_FILE;
}

}  // namespace kelmard
