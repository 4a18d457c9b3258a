// The tagged container file (".RFH"): the library's own format for help files.
//
// One file holds many entries, each a run of bytes found by a 32-bit tag (high
// 16 bits the type, low 16 bits the number), and a table of strings attached to
// tags in several languages. The help window opens its files read-only; the
// writing side (entry streams writing through temporary copies, strings,
// new entries, and the commit that rewrites a changed file compacted and
// sorted) serves whatever authors containers, such as tools/rfh.
//
// Layout on disk (little-endian, unsigned 32-bit unless said otherwise):
//
//   header (24 bytes)      "RFOF", directory offset (24), record size (28),
//                          string table size, number of entries, data area start
//   directory              number x 28-byte records: tag, data offset (relative
//                          to the data area), data size, attributes 1..4
//   data area              the string table, then the entries' data
//   string table record    id (4), record length (2) = 8 + text length + 1,
//                          language (2, a Windows LANGID), text with its NUL
//   reference list         an entry whose type has bit 15 set (0x8000..0xFFFE):
//                          pairs (tag, directory index), attribute 1 = pairs
//
// Type 0xFFFF marks a deleted entry. A search tag whose number is 0 finds the
// first entry of its type.
//
// Nothing read from a file is trusted: a header, directory, entry or string
// table that does not fit the file fails with FXFILE_ERROR_INVALID_FILE.
//
// A changed container is never patched where its own directory could see it:
// changed entries go past the end of the data the file describes, and the
// commit writes the whole file anew beside the old one ("name.TMP"), makes it
// durable, and puts it in the old one's place in one step. A failure at any
// point leaves the old file as it was.
//
// No exceptions: every operation answers a result and keeps a last error.
#pragma once
#include <cstdint>
#include <memory>

#include "help/file_layer.h"

namespace kelmard {

// Last-error codes of every object of the family; GetErrorText names them.
enum FxFileError : uint32_t {
    FXFILE_ERROR_NONE = 0,
    FXFILE_ERROR_NOT_INITIALIZED = 1,  // no file (or no entry) open
    FXFILE_ERROR_FILE_NOT_FOUND = 2,   // cannot open the file (or the path is too long)
    FXFILE_ERROR_INVALID_FILE = 3,     // not a container, or a damaged one
    FXFILE_ERROR_WRITE_FILE = 4,
    FXFILE_ERROR_READ_FILE = 5,
    FXFILE_ERROR_TMP_FILE = 6,         // temporary file, short copy, or the final rename
    FXFILE_ERROR_READ_ONLY = 7,
    FXFILE_ERROR_INVALID_OFFSET = 8,   // a position outside the stream or the 32-bit range
    FXFILE_ERROR_EOF = 9,
    FXFILE_ERROR_INDEX_INVALID = 10,   // no entry (or string) at that index
    FXFILE_ERROR_CREATE_TAG = 11,      // a tag or string that cannot be stored
    FXFILE_ERROR_TAG_EXIST = 12,
    FXFILE_ERROR_OUT_OF_MEMORY = 13,
    FXFILE_ERROR_LINKED = 14,          // entries are still open
    FXFILE_ERROR_UNKNOWN = 15,
};

// The code's name ("FXFILE_ERROR_NONE"...), or null for an unknown code.
const char* FxErrorName(uint32_t code);

// Tags.
constexpr uint32_t FxTag(uint32_t type, uint32_t number) {
    return ((type & 0xFFFFu) << 16) | (number & 0xFFFFu);
}
constexpr uint32_t FxTagType(uint32_t tag) { return tag >> 16; }
constexpr uint32_t FxTagNumber(uint32_t tag) { return tag & 0xFFFFu; }
constexpr uint32_t kFxDeletedType = 0xFFFF;
constexpr uint32_t kFxTopicType = 1;  // help topics: tag = FxTag(1, help ID)
// Types 0x8000..0xFFFE hold reference lists.
constexpr bool FxIsReferenceList(uint32_t tag) {
    return (FxTagType(tag) & 0x8000u) != 0 && FxTagType(tag) != kFxDeletedType;
}

constexpr uint32_t kFxMagic = 0x464F4652;  // "RFOF"
constexpr uint32_t kFxHeaderSize = 24;
constexpr uint32_t kFxRecordSize = 28;
constexpr uint32_t kFxDefaultLanguage = 1033;  // U.S. English
constexpr uint32_t kFxPathChars = 260;
// The longest string text a record's 16-bit length can hold (8 + text + NUL).
constexpr uint32_t kFxMaxStringText = 0xFFFF - 9;
constexpr uint32_t kFxNoIndex = 0xFFFFFFFFu;

// The header and a directory record, as they lie in the file.
struct FxTagHeader {
    uint32_t magic;
    uint32_t directoryOffset;
    uint32_t recordSize;
    uint32_t stringTableSize;
    uint32_t entryCount;
    uint32_t dataStart;
};
static_assert(sizeof(FxTagHeader) == kFxHeaderSize, "the header is 24 bytes");

struct FxTagEntry {
    uint32_t tag;
    uint32_t offset;  // relative to the data area start
    uint32_t size;
    uint32_t attribute[4];  // the writer's; attribute[0] of a reference list = pairs
};
static_assert(sizeof(FxTagEntry) == kFxRecordSize, "a directory record is 28 bytes");

class FxTagFile;
class FxTempStream;

// A stream of bytes addressed by 32-bit positions.
class FxStream {
public:
    FxStream() = default;
    FxStream(const FxStream&) = delete;
    FxStream& operator=(const FxStream&) = delete;
    virtual ~FxStream();

    // At the stream's position, which advances by the bytes transferred.
    virtual uint32_t Read(void* buffer, uint32_t size);
    virtual uint32_t ReadAt(uint32_t position, void* buffer, uint32_t size) = 0;
    virtual uint32_t Write(const void* buffer, uint32_t size);
    virtual uint32_t WriteAt(uint32_t position, const void* buffer, uint32_t size) = 0;
    // Copies `size` bytes of `source` (from `sourcePosition`) to `destination`
    // in this stream, 1024 bytes at a time; answers the bytes written.
    virtual uint32_t CopyFrom(uint32_t destination, FxStream* source, uint32_t sourcePosition,
                              uint32_t size);
    virtual uint32_t GetSize() = 0;

    uint32_t GetError() const { return error_; }
    uint32_t GetPosition() const { return position_; }
    void SetPosition(uint32_t position) { position_ = position; }

protected:
    // Records a failure: answers 0, what a failed transfer or call answers.
    uint32_t Fail(uint32_t code) {
        error_ = code;
        return 0;
    }

    uint32_t error_ = FXFILE_ERROR_NONE;
    uint32_t position_ = 0;  // the byte after the last transfer
};

// A stream on one file of the file layer, which it owns; `size` is the
// file's size when it is handed over. Without a file every transfer fails
// with FXFILE_ERROR_TMP_FILE.
class FxFileStream : public FxStream {
public:
    explicit FxFileStream(LayerFile file = nullptr, uint32_t size = 0)
        : size_(size), file_(std::move(file)) {}
    bool IsOpen() const { return static_cast<bool>(file_); }
    // Makes everything written so far durable.
    bool Flush() { return file_ && Files().Flush(file_.get()); }
    void Close() { file_.reset(); }

    uint32_t ReadAt(uint32_t position, void* buffer, uint32_t size) override;
    uint32_t WriteAt(uint32_t position, const void* buffer, uint32_t size) override;
    uint32_t GetSize() override { return size_; }

protected:
    uint32_t size_ = 0;
    LayerFile file_;
};

// A stream on a temporary file that the system deletes when it is closed.
// Made in error FXFILE_ERROR_TMP_FILE when no temporary file could be made.
class FxTempStream : public FxFileStream {
public:
    FxTempStream();
};

// The container interface.
class FxTagFileBase {
public:
    FxTagFileBase() = default;
    FxTagFileBase(const FxTagFileBase&) = delete;
    FxTagFileBase& operator=(const FxTagFileBase&) = delete;
    virtual ~FxTagFileBase();

    virtual uint32_t GetEntryCount() = 0;
    // The tag of record `index` (also into *tag), or 0 when there is none.
    virtual uint32_t GetEntryTag(uint32_t* tag, uint32_t index) = 0;
    // The first index from `start` on whose record matches `tag` (by type
    // alone when the tag's number is 0), or -1.
    virtual int32_t FindEntry(uint32_t start, uint32_t tag);
    // Kept free for a later operation: answers 0 and does nothing.
    virtual uint32_t Reserved(uint32_t value);
    // The string of `id` in `language` (0: the default, U.S. English), else in
    // U.S. English, else the first one stored. Answers text length + 1 (0 when
    // there is none) and copies at most `size` bytes, always terminated.
    virtual uint32_t GetTagString(uint32_t id, char* buffer, uint32_t size, uint32_t language) = 0;
    // The n-th string of `id` (from 0) whatever its language.
    virtual uint32_t GetTagStringAt(uint32_t id, uint32_t n, char* buffer, uint32_t size,
                                    uint32_t ignored) = 0;
    virtual int SetTagString(uint32_t id, const char* text, uint32_t language) = 0;
    virtual uint32_t GetError() = 0;
    // The code's name into `buffer` (29 bytes suffice); 0 and "" for an unknown code.
    virtual int GetErrorText(uint32_t code, char* buffer) = 0;
    // Counts the entry open and hands back its record and the container's data
    // stream. 1 or 0.
    virtual int OpenEntry(uint32_t index, FxTagEntry* entry, FxStream** data, int forWriting) = 0;
    // A new empty entry, open; its index, or -1.
    virtual int32_t CreateEntry(uint32_t tag, FxStream** data) = 0;
    // Closes an entry, first storing it (as StoreEntry) when `writeBack` is
    // set. A store that fails keeps the entry open and the container as it
    // was: closing the entry again tries again. The last close finishes the
    // container.
    virtual int CloseEntry(uint32_t index, const FxTagEntry* entry, FxStream* stream,
                           int writeBack) = 0;
    // Stores an open entry's attributes and (from `stream`, when given) its
    // data; the entry stays open. 1 or 0.
    virtual int StoreEntry(uint32_t index, const FxTagEntry* entry, FxStream* stream) = 0;

protected:
    uint32_t openCount_ = 0;  // the container's own reference + open entries
};

// The container's data area as a stream (positions relative to its start).
// It lives inside its container and answers for it; the container owns
// everything, so destroying the stream does nothing.
class FxTagData : public FxStream {
public:
    explicit FxTagData(FxTagFile& container) : container_(container) {}
    ~FxTagData() override;

    uint32_t ReadAt(uint32_t position, void* buffer, uint32_t size) override;
    uint32_t WriteAt(uint32_t position, const void* buffer, uint32_t size) override;
    uint32_t GetSize() override;

private:
    friend class FxTagFile;
    FxTagFile& container_;
};

// A container file.
class FxTagFile : public FxTagFileBase {
public:
    FxTagFile();
    // Releases the file and memory without committing anything.
    ~FxTagFile() override;

    // Opens a container; with writable 0 read-only. A file that cannot be
    // opened for writing, or whose path leaves no room for the commit's
    // ".TMP" name, is opened read-only (changes fail with
    // FXFILE_ERROR_READ_ONLY). 1 or 0.
    int Open(const char* path, int writable);
    // Writes an empty container at `path` (replacing a file there) and opens it
    // for writing. 1 or 0.
    int Create(const char* path);
    // Gives up the opener's reference: the file is finished (committed when it
    // was changed) and closed once no entry is open. 1 when it was; 0 with
    // FXFILE_ERROR_LINKED while entries are open, or the commit's error (then
    // everything is still held and Close may be called again).
    int Close();

    // Marks an entry deleted (its type becomes 0xFFFF); the commit drops it and
    // its strings, and reference lists lose the pairs that name it.
    int DeleteEntry(uint32_t index);
    // Removes the string of (id, language); 0 with FXFILE_ERROR_INDEX_INVALID
    // when there is none.
    int DeleteTagString(uint32_t id, uint32_t language);
    // A copy of directory record `index`; false when there is none.
    bool GetEntry(uint32_t index, FxTagEntry* entry) const;
    // The number of strings in the table (0 with an error when it cannot be read).
    uint32_t GetStringCount();
    // String `n` of the table in table order: its id, language and text.
    bool GetStringRecord(uint32_t n, uint32_t* id, uint32_t* language, const char** text);

    bool IsOpen() const { return open_; }
    bool IsReadOnly() const { return readOnly_ != 0; }
    bool IsModified() const { return modified_ != 0; }
    const char* GetPath() const { return path_; }
    FxStream* GetData() { return &data_; }

    // Final, so that FindEntry may walk the directory itself.
    uint32_t GetEntryCount() final;
    uint32_t GetEntryTag(uint32_t* tag, uint32_t index) final;
    int32_t FindEntry(uint32_t start, uint32_t tag) override;
    uint32_t GetTagString(uint32_t id, char* buffer, uint32_t size, uint32_t language) override;
    uint32_t GetTagStringAt(uint32_t id, uint32_t n, char* buffer, uint32_t size,
                            uint32_t ignored) override;
    int SetTagString(uint32_t id, const char* text, uint32_t language) override;
    uint32_t GetError() override { return data_.error_; }
    int GetErrorText(uint32_t code, char* buffer) override;
    int OpenEntry(uint32_t index, FxTagEntry* entry, FxStream** data, int forWriting) override;
    int32_t CreateEntry(uint32_t tag, FxStream** data) override;
    int CloseEntry(uint32_t index, const FxTagEntry* entry, FxStream* stream,
                   int writeBack) override;
    int StoreEntry(uint32_t index, const FxTagEntry* entry, FxStream* stream) override;

private:
    friend class FxTagData;

    int Fail(uint32_t code) {
        data_.error_ = code;
        return 0;
    }
    FileHandle File();  // the file, opened again after a commit that failed late
    bool LoadStrings();
    int Finish();
    int Commit();
    uint32_t PutInPlace(const char* temp);
    void Release();
    bool Store(uint32_t index, const FxTagEntry& entry, FxStream* stream);

    FxTagData data_;  // its last error is the container's
    int32_t readOnly_ = 0;
    uint32_t endOfFile_ = 0;  // absolute end of the data area
    char path_[kFxPathChars] = {};
    LayerFile file_;
    FxTagHeader header_ = {};
    uint32_t capacity_ = 0;  // directory records allocated, a multiple of 8
    UniqueMalloc<FxTagEntry> directory_;
    UniqueMalloc<uint8_t> strings_;  // loaded on first use
    uint32_t defaultLanguage_ = kFxDefaultLanguage;
    int32_t modified_ = 0;
    // What safe commits and repeated closes need:
    uint32_t committedEnd_ = 0;  // end of the data the file's own directory describes
    bool open_ = false;
    bool stringsLoaded_ = false;
    bool closeRequested_ = false;  // the opener's Close came
};

// An entry opened as a stream: reads in place; the first write makes a private
// temporary copy of the entry, which closing the stream stores back.
class FxTagStream : public FxStream {
public:
    FxTagStream() = default;
    // Closes the entry (storing changes) if the stream is still open; the
    // container must outlive its streams. When that store fails the entry
    // stays open, so the container never commits without it.
    ~FxTagStream() override;

    uint32_t ReadAt(uint32_t position, void* buffer, uint32_t size) override;
    uint32_t WriteAt(uint32_t position, const void* buffer, uint32_t size) override;
    uint32_t GetSize() override { return entry_.size; }

    virtual int Open(FxTagFileBase* container, uint32_t index, int forWriting);
    virtual int Create(FxTagFileBase* container, uint32_t tag);
    // Stores a changed entry and closes it. When the store fails the stream
    // stays open with its changes and closing it again tries again.
    virtual int Close();
    virtual FxTempStream* NewTempStream();

    bool IsOpen() const { return source_ != nullptr; }
    uint32_t GetIndex() const { return index_; }
    uint32_t GetTag() const { return entry_.tag; }
    uint32_t GetAttribute(unsigned i) const { return i < 4 ? entry_.attribute[i] : 0; }
    // Sets attribute i (0..3), stored when the stream closes. 1 or 0.
    int SetAttribute(unsigned i, uint32_t value);

private:
    FxTagEntry entry_ = {};  // copy of the entry's record
    uint32_t index_ = kFxNoIndex;
    FxTagFileBase* container_ = nullptr;
    FxStream* containerData_ = nullptr;  // handed back by OpenEntry / CreateEntry
    FxStream* source_ = nullptr;         // the container's data, or the copy
    std::unique_ptr<FxTempStream> copy_;
    int32_t writable_ = 0;
    int32_t modified_ = 0;
};

}  // namespace kelmard
