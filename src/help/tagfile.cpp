// The container: opening, the directory, strings, entries opened for reading,
// finishing and release. Changes and the commit are in tagfile_write.cpp.
#include <cstdlib>
#include <cstring>

#include "help/tagfile.h"
#include "help/tagfile_detail.h"

namespace kelmard {

using detail::HeapArray;
using detail::StringAt;
using detail::StringRecord;

namespace {

const char* const kErrorNames[] = {
    "FXFILE_ERROR_NONE",         "FXFILE_ERROR_NOT_INITIALIZED", "FXFILE_ERROR_FILE_NOT_FOUND",
    "FXFILE_ERROR_INVALID_FILE", "FXFILE_ERROR_WRITE_FILE",      "FXFILE_ERROR_READ_FILE",
    "FXFILE_ERROR_TMP_FILE",     "FXFILE_ERROR_READ_ONLY",       "FXFILE_ERROR_INVALID_OFFSET",
    "FXFILE_ERROR_EOF",          "FXFILE_ERROR_INDEX_INVALID",   "FXFILE_ERROR_CREATE_TAG",
    "FXFILE_ERROR_TAG_EXIST",    "FXFILE_ERROR_OUT_OF_MEMORY",   "FXFILE_ERROR_LINKED",
    "FXFILE_ERROR_UNKNOWN",
};
static_assert(sizeof kErrorNames / sizeof kErrorNames[0] == 16, "sixteen codes");

// The header describes a directory, data area and string table inside a file
// of `fileSize` bytes (all sums in 64 bits: nothing wraps).
bool ValidHeader(const FxTagHeader& h, uint64_t fileSize) {
    if (h.magic != kFxMagic || h.recordSize != kFxRecordSize) return false;
    if (h.directoryOffset < kFxHeaderSize) return false;
    if (h.directoryOffset + static_cast<uint64_t>(h.entryCount) * kFxRecordSize > fileSize)
        return false;
    return static_cast<uint64_t>(h.dataStart) + h.stringTableSize <= fileSize;
}

// Every entry lies inside the data area; a reference list holds exactly its pairs.
bool ValidDirectory(const FxTagEntry* records, uint32_t count, uint64_t dataSize) {
    for (uint32_t i = 0; i < count; ++i) {
        const FxTagEntry& r = records[i];
        if (static_cast<uint64_t>(r.offset) + r.size > dataSize) return false;
        if (FxIsReferenceList(r.tag) && static_cast<uint64_t>(r.attribute[0]) * 8 != r.size)
            return false;
    }
    return true;
}

// Copies a found string: the result is text length + 1; at most `size` bytes
// are written, and a cut text is still terminated. Size 0 writes nothing.
uint32_t CopyString(const StringRecord& r, char* buffer, uint32_t size) {
    const uint32_t result = r.length - detail::kStringHeader;
    if (buffer && size > 0) {
        std::strncpy(buffer, r.text, size);
        if (size < result) buffer[size - 1] = '\0';
    }
    return result;
}

}  // namespace

const char* FxErrorName(uint32_t code) { return code < 16 ? kErrorNames[code] : nullptr; }

namespace detail {

bool TempName(const char* path, char* out, size_t size) {
    const size_t length = std::strlen(path);
    size_t base = 0;  // the last path component starts here
    for (size_t i = 0; i < length; ++i)
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':') base = i + 1;
    const char* dot = std::strrchr(path + base, '.');
    size_t keep = dot ? static_cast<size_t>(dot - path) : length;
    // "NAME.TMP" would be its own temporary file: keep the whole name.
    if (dot && (length - keep) == 4 && (dot[1] | 0x20) == 't' && (dot[2] | 0x20) == 'm' &&
        (dot[3] | 0x20) == 'p')
        keep = length;
    if (keep + 5 > size) return false;
    std::memcpy(out, path, keep);
    std::memcpy(out + keep, ".TMP", 5);
    return true;
}

}  // namespace detail

// ---------------------------------------------------------------------------
// FxTagFileBase

FxTagFileBase::~FxTagFileBase() = default;

int32_t FxTagFileBase::FindEntry(uint32_t start, uint32_t tag) {
    const uint32_t count = GetEntryCount();
    const bool byType = FxTagNumber(tag) == 0;
    for (uint32_t i = start; i < count; ++i) {
        uint32_t t = 0;
        GetEntryTag(&t, i);
        if (byType ? FxTagType(t) == FxTagType(tag) : t == tag) return static_cast<int32_t>(i);
    }
    return -1;
}

uint32_t FxTagFileBase::Reserved(uint32_t) { return 0; }

// ---------------------------------------------------------------------------
// FxTagData

FxTagData::~FxTagData() = default;  // the container owns and releases everything

uint32_t FxTagData::ReadAt(uint32_t position, void* buffer, uint32_t size) {
    FxTagFile& c = container_;
    error_ = FXFILE_ERROR_NONE;
    FileHandle file = c.File();
    if (!file) return Fail(c.open_ ? FXFILE_ERROR_READ_FILE : FXFILE_ERROR_NOT_INITIALIZED);
    const uint64_t at = static_cast<uint64_t>(c.header_.dataStart) + position;
    if (at > 0xFFFFFFFFull) return Fail(FXFILE_ERROR_INVALID_OFFSET);
    uint32_t n = 0;
    if (!Files().ReadAt(file, at, buffer, size, n)) return Fail(FXFILE_ERROR_READ_FILE);
    position_ = position + n;
    return n;
}

uint32_t FxTagData::WriteAt(uint32_t position, const void* buffer, uint32_t size) {
    FxTagFile& c = container_;
    error_ = FXFILE_ERROR_NONE;
    if (!c.open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (c.readOnly_) return Fail(FXFILE_ERROR_READ_ONLY);
    FileHandle file = c.File();
    if (!file) return Fail(FXFILE_ERROR_WRITE_FILE);
    const uint64_t at = static_cast<uint64_t>(c.header_.dataStart) + position;
    if (at + size > 0xFFFFFFFFull) return Fail(FXFILE_ERROR_INVALID_OFFSET);
    uint32_t n = 0;
    if (!Files().WriteAt(file, at, buffer, size, n)) error_ = FXFILE_ERROR_WRITE_FILE;
    if (at + n > c.endOfFile_) c.endOfFile_ = static_cast<uint32_t>(at + n);
    position_ = position + n;
    return n;
}

uint32_t FxTagData::GetSize() {
    const FxTagFile& c = container_;
    return c.open_ ? c.endOfFile_ - c.header_.dataStart : 0;
}

// ---------------------------------------------------------------------------
// FxTagFile: opening and release

FxTagFile::FxTagFile() : data_(*this) {}

FxTagFile::~FxTagFile() { Release(); }

int FxTagFile::Open(const char* path, int writable) {
    if (open_) return Fail(FXFILE_ERROR_LINKED);  // one file per object
    if (!path || std::strlen(path) >= kFxPathChars) return Fail(FXFILE_ERROR_FILE_NOT_FOUND);
    char temp[kFxPathChars];
    if (writable && !detail::TempName(path, temp, sizeof temp))
        writable = 0;  // a commit could not name its new file: read-only, as nothing can change

    readOnly_ = writable ? 0 : 1;
    std::strcpy(path_, path);
    FileLayer& files = Files();
    LayerFile file(files.OpenExisting(path, writable != 0));
    if (!file && writable) {
        readOnly_ = 1;
        file.reset(files.OpenExisting(path, false));
    }
    if (!file) return Fail(FXFILE_ERROR_FILE_NOT_FOUND);

    // Everything below is read from the file and checked before it is used.
    uint64_t fileSize = 0;
    FxTagHeader header;
    if (!files.Size(file.get(), fileSize) || fileSize > 0xFFFFFFFFull ||
        !ReadWhole(file.get(), 0, &header, sizeof header) || !ValidHeader(header, fileSize))
        return Fail(FXFILE_ERROR_INVALID_FILE);
    const uint32_t count = header.entryCount;
    const uint32_t capacity = (count + 7u) & ~7u;  // count <= size / 28: no wrap
    HeapArray<FxTagEntry> directory;
    if (!directory.Allocate(capacity)) return Fail(FXFILE_ERROR_OUT_OF_MEMORY);
    if (!ReadWhole(file.get(), header.directoryOffset, directory.get(), count * kFxRecordSize) ||
        !ValidDirectory(directory.get(), count, fileSize - header.dataStart))
        return Fail(FXFILE_ERROR_INVALID_FILE);

    file_ = std::move(file);
    header_ = header;
    capacity_ = capacity;
    directory_ = directory.Take();
    endOfFile_ = static_cast<uint32_t>(fileSize);
    committedEnd_ = endOfFile_;
    stringsLoaded_ = false;
    modified_ = 0;
    open_ = true;
    closeRequested_ = false;
    openCount_ = 1;
    data_.error_ = FXFILE_ERROR_NONE;
    data_.position_ = 0;
    return 1;
}

int FxTagFile::Create(const char* path) {
    if (open_) return Fail(FXFILE_ERROR_LINKED);
    char temp[kFxPathChars];
    if (!path || std::strlen(path) >= kFxPathChars || !detail::TempName(path, temp, sizeof temp))
        return Fail(FXFILE_ERROR_FILE_NOT_FOUND);
    LayerFile file(Files().CreateAlways(path));
    if (!file) return Fail(FXFILE_ERROR_FILE_NOT_FOUND);
    const FxTagHeader header = {kFxMagic, kFxHeaderSize, kFxRecordSize, 0, 0, kFxHeaderSize};
    const bool written = WriteWhole(file.get(), 0, &header, sizeof header);
    file.reset();
    if (!written) {
        Files().Remove(path);
        return Fail(FXFILE_ERROR_WRITE_FILE);
    }
    return Open(path, 1);
}

void FxTagFile::Release() {
    file_.reset();
    directory_.reset();
    strings_.reset();
    capacity_ = 0;
    header_ = FxTagHeader{};
    endOfFile_ = committedEnd_ = 0;
    stringsLoaded_ = false;
    modified_ = 0;
    open_ = false;
    closeRequested_ = false;
    openCount_ = 0;
}

FileHandle FxTagFile::File() {
    // A commit that failed after closing the file: take it up again.
    if (!file_ && open_) file_.reset(Files().OpenExisting(path_, readOnly_ == 0));
    return file_.get();
}

int FxTagFile::Close() {
    if (!open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (closeRequested_) {
        // Closed before: entries are still open, or the last finish failed and
        // may be tried again.
        if (openCount_ == 0) return Finish();
        return Fail(FXFILE_ERROR_LINKED);
    }
    closeRequested_ = true;
    if (openCount_ > 0) --openCount_;
    if (openCount_ == 0) return Finish();
    return Fail(FXFILE_ERROR_LINKED);
}

int FxTagFile::Finish() {
    if (!modified_ || readOnly_) {
        Release();
        data_.error_ = FXFILE_ERROR_NONE;
        return 1;
    }
    if (!Commit()) return 0;  // everything stays held
    Release();
    data_.error_ = FXFILE_ERROR_NONE;
    return 1;
}

// ---------------------------------------------------------------------------
// FxTagFile: directory and entries

uint32_t FxTagFile::GetEntryCount() { return open_ ? header_.entryCount : 0; }

uint32_t FxTagFile::GetEntryTag(uint32_t* tag, uint32_t index) {
    const uint32_t t = open_ && index < header_.entryCount ? directory_.get()[index].tag : 0;
    if (tag) *tag = t;
    return t;
}

namespace {

// The first record from `i` on for which `match(tag)` holds, or -1. Eight
// records are tested per step (one branch for the eight).
template <class Match>
int32_t FirstMatch(const FxTagEntry* records, uint32_t i, uint32_t count, Match match) {
    for (; i < count && count - i >= 8; i += 8) {
        int any = 0;
        for (uint32_t k = 0; k < 8; ++k) any |= int{match(records[i + k].tag)};
        if (any) break;
    }
    for (; i < count; ++i)
        if (match(records[i].tag)) return static_cast<int32_t>(i);
    return -1;
}

}  // namespace

// The base's walk, over the records in memory: the first match from `start`
// on, in directory order (sorted or not).
int32_t FxTagFile::FindEntry(uint32_t start, uint32_t tag) {
    const uint32_t count = GetEntryCount();
    const FxTagEntry* records = directory_.get();
    if (FxTagNumber(tag) == 0) {
        const uint32_t type = FxTagType(tag);
        return FirstMatch(records, start, count, [type](uint32_t t) { return FxTagType(t) == type; });
    }
    return FirstMatch(records, start, count, [tag](uint32_t t) { return t == tag; });
}

bool FxTagFile::GetEntry(uint32_t index, FxTagEntry* entry) const {
    if (!open_ || index >= header_.entryCount) return false;
    if (entry) *entry = directory_.get()[index];
    return true;
}

int FxTagFile::OpenEntry(uint32_t index, FxTagEntry* entry, FxStream** data, int forWriting) {
    if (!open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (forWriting && readOnly_) return Fail(FXFILE_ERROR_READ_ONLY);
    // Unsigned: FindEntry's -1 is no index either.
    if (index >= header_.entryCount) return Fail(FXFILE_ERROR_INDEX_INVALID);
    if (entry) *entry = directory_.get()[index];
    if (data) *data = &data_;
    ++openCount_;
    data_.error_ = FXFILE_ERROR_NONE;
    return 1;
}

// ---------------------------------------------------------------------------
// FxTagFile: strings

bool FxTagFile::LoadStrings() {
    if (stringsLoaded_) return true;
    const uint32_t size = header_.stringTableSize;
    if (size == 0) {
        stringsLoaded_ = true;
        return true;
    }
    HeapArray<uint8_t> table;
    if (!table.Allocate(size)) return Fail(FXFILE_ERROR_OUT_OF_MEMORY);
    const uint32_t n = data_.ReadAt(0, table.get(), size);
    if (n == 0) return Fail(FXFILE_ERROR_READ_FILE);
    if (n != size || !detail::ValidStringTable(table.get(), size))
        return Fail(FXFILE_ERROR_INVALID_FILE);
    strings_ = table.Take();
    stringsLoaded_ = true;
    return true;
}

uint32_t FxTagFile::GetTagString(uint32_t id, char* buffer, uint32_t size, uint32_t language) {
    if (!open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (!LoadStrings()) return 0;
    if (language == 0) language = defaultLanguage_;
    const uint32_t tableSize = header_.stringTableSize;
    StringRecord wanted{}, english{}, first{};
    for (uint32_t offset = 0; offset < tableSize;) {
        const StringRecord r = StringAt(strings_.get(), offset);
        offset += r.length;
        if (r.id != id) continue;
        if (!first.text) first = r;
        if (r.language == language && !wanted.text) wanted = r;
        if (r.language == kFxDefaultLanguage) english = r;  // the last one counts
    }
    const StringRecord& found = wanted.text ? wanted : english.text ? english : first;
    if (!found.text) return 0;
    return CopyString(found, buffer, size);
}

uint32_t FxTagFile::GetTagStringAt(uint32_t id, uint32_t n, char* buffer, uint32_t size,
                                   uint32_t) {
    if (!open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (!LoadStrings()) return 0;
    const uint32_t tableSize = header_.stringTableSize;
    for (uint32_t offset = 0; offset < tableSize;) {
        const StringRecord r = StringAt(strings_.get(), offset);
        offset += r.length;
        if (r.id == id && n-- == 0) return CopyString(r, buffer, size);
    }
    return 0;
}

uint32_t FxTagFile::GetStringCount() {
    if (!open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (!LoadStrings()) return 0;
    uint32_t count = 0;
    for (uint32_t offset = 0; offset < header_.stringTableSize; ++count)
        offset += StringAt(strings_.get(), offset).length;
    return count;
}

bool FxTagFile::GetStringRecord(uint32_t n, uint32_t* id, uint32_t* language, const char** text) {
    if (!open_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (!LoadStrings()) return false;
    for (uint32_t offset = 0; offset < header_.stringTableSize;) {
        const StringRecord r = StringAt(strings_.get(), offset);
        offset += r.length;
        if (n-- == 0) {
            if (id) *id = r.id;
            if (language) *language = r.language;
            if (text) *text = r.text;
            return true;
        }
    }
    return Fail(FXFILE_ERROR_INDEX_INVALID);
}

int FxTagFile::GetErrorText(uint32_t code, char* buffer) {
    const char* name = FxErrorName(code);
    if (buffer) std::strcpy(buffer, name ? name : "");
    return name ? 1 : 0;
}

}  // namespace kelmard
