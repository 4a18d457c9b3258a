// Fuzz target: arbitrary bytes opened as a container. Everything a reader can
// reach is walked (entries, tags, strings in every language, entry reads at
// odd positions, reference lists); then the same bytes are opened for writing,
// changed and committed, and the committed file must keep every rule of one.
// Files live in memory; a finding is a sanitizer report, a leak, a file left
// open, or a committed file that breaks a rule.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "help_test_support.h"

using namespace kelmard;
using htest::Get32;

namespace {

const char kPath[] = "C:\\fuzz\\input.rfh";

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

// Every file in memory; writes past 64 MiB are refused, as by a full disk.
class MemoryFiles final : public FileLayer {
public:
    using Bytes = std::vector<uint8_t>;
    std::map<std::string, std::shared_ptr<Bytes>> files;
    int handles = 0;

    FileHandle OpenExisting(const char* path, bool writable) override {
        auto it = files.find(path);
        return it == files.end() ? nullptr : Handle(it->second, writable);
    }
    FileHandle CreateAlways(const char* path) override { return Handle(files[path] = std::make_shared<Bytes>(), true); }
    FileHandle CreateTemporary() override { return Handle(std::make_shared<Bytes>(), true); }
    bool ReadAt(FileHandle file, uint64_t offset, void* buffer, uint32_t size, uint32_t& done) override {
        const Bytes& bytes = *Of(file).bytes;
        done = static_cast<uint32_t>(std::min<uint64_t>(size, offset < bytes.size() ? bytes.size() - offset : 0));
        if (done) std::memcpy(buffer, bytes.data() + offset, done);
        return true;
    }
    bool WriteAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t size, uint32_t& done) override {
        Open& f = Of(file);
        done = 0;
        if (!f.writable || offset + size > (64ull << 20)) return false;
        if (f.bytes->size() < offset + size) f.bytes->resize(offset + size);
        if (size) std::memcpy(f.bytes->data() + offset, buffer, size);
        done = size;
        return true;
    }
    bool Size(FileHandle file, uint64_t& size) override {
        size = Of(file).bytes->size();
        return true;
    }
    bool Flush(FileHandle) override { return true; }
    void Close(FileHandle file) override {
        --handles;
        delete &Of(file);
    }
    bool Replace(const char* from, const char* to) override {
        auto moved = files.extract(from);
        if (moved.empty()) return false;
        files[to] = std::move(moved.mapped());
        return true;
    }
    bool Remove(const char* path) override { return files.erase(path) > 0; }

private:
    struct Open {
        std::shared_ptr<Bytes> bytes;
        bool writable;
    };
    static Open& Of(FileHandle file) { return *static_cast<Open*>(file); }
    FileHandle Handle(std::shared_ptr<Bytes> bytes, bool writable) {
        ++handles;
        return new Open{std::move(bytes), writable};
    }
};

void WalkStrings(FxTagFile& file, uint32_t id) {
    char buffer[300];
    for (uint32_t language : {0u, 1031u, 0xFFFFu, 0x10000u})
        for (uint32_t size : {0u, 5u, 300u})
            if (file.GetTagString(id, buffer, size, language) && size && std::strlen(buffer) >= size)
                Finding("string not terminated in its buffer");
    for (uint32_t n = 0; n < 4; ++n) file.GetTagStringAt(id, n, buffer, 7, 0);
}

void Walk(FxTagFile& file, uint32_t seed) {
    static uint8_t buffer[512];
    const uint32_t count = file.GetEntryCount(), want = (seed >> 3) % sizeof buffer;
    for (uint32_t i = 0; i < count && i < 64; ++i) {
        uint32_t tag = 0;
        file.GetEntryTag(&tag, i);
        const int32_t byTag = file.FindEntry(0, tag);
        if (byTag < 0 || static_cast<uint32_t>(byTag) > i) Finding("FindEntry misses an entry");
        file.FindEntry(i, FxTag(FxTagType(tag), 0));
        WalkStrings(file, tag);
        FxTagStream stream;
        if (!stream.Open(&file, i, 0)) Finding("an entry of an open container does not open");
        const uint32_t size = stream.GetSize();
        for (uint32_t at : {0u, size / 2, size ? size - 1 : 0u, size, size + 1, seed % (size + 1), 0xFFFFFFFFu}) {
            const uint32_t n = stream.ReadAt(at, buffer, want);
            if (n > want || (at <= size && n > size - at)) Finding("read past the entry");
        }
        // A read of the largest size is cut to what is left: one byte here.
        if (size && stream.ReadAt(size - 1, buffer, 0xFFFFFFFFu) != 1) Finding("a cut read");
        // A reference list's pairs name entries by tag and index; neither is trusted.
        for (uint32_t p = 0, pair[2]; FxIsReferenceList(tag) && p < size / 8 && p < 64; ++p) {
            if (stream.ReadAt(p * 8, pair, 8) != 8) Finding("a reference list reads short");
            file.FindEntry(0, pair[0]);
            FxTagStream named;
            if (named.Open(&file, pair[1], 0)) named.Close();
        }
        stream.Close();
    }
    // Strings of ids that name no entry are reachable too.
    for (uint32_t n = 0, strings = file.GetStringCount(); n < strings && n < 64; ++n) {
        uint32_t id = 0, language = 0;
        const char* text = nullptr;
        if (!file.GetStringRecord(n, &id, &language, &text)) Finding("a counted string is missing");
        if (std::strlen(text) > 0xFFFF) Finding("a string longer than its record");
        WalkStrings(file, id);
    }
    FxTagStream past;
    if (past.Open(&file, count, 0)) Finding("an entry past the directory opens");
    if (past.Open(&file, 0xFFFFFFFFu, 0)) Finding("entry -1 opens");
}

// Changes that exercise the write paths, chosen from the seed. False when an
// entry could not be stored (a changed reference list whose pair count no
// longer fits): it stays open, and the container cannot finish.
bool Change(FxTagFile& file, uint32_t seed) {
    bool stored = true;
    const uint32_t count = file.GetEntryCount();
    if (count && (seed & 1)) file.DeleteEntry(seed % count);
    if (FxTagStream stream; count > 1 && stream.Open(&file, (seed >> 5) % count, 1)) {
        stream.WriteAt((seed >> 9) % (stream.GetSize() + 8), "changed", 7);
        stream.SetAttribute(1, seed);
        stored = stream.Close() != 0;
    }
    FxTagStream created;
    if (created.Create(&file, FxTag(1 + (seed >> 20) % 3, 1 + (seed >> 12) % 50))) {
        created.Write("new entry", 9);
        created.Close();
    }
    uint32_t tag = 0;
    if (count) file.GetEntryTag(&tag, (seed >> 7) % count);
    file.SetTagString(tag, "fuzz text", (seed & 2) ? 1033 : 1031);
    if (seed & 4) file.DeleteTagString(tag, 1031);
    return stored;
}

// A committed file keeps every rule of one: the directory right after the
// header and the data area right after it, the strings first, then the
// entries contiguous in directory order and nothing after them; entries
// sorted (type descending, number ascending), none deleted; reference lists
// naming entries by index; string records whole and ascending by id.
void CheckCommitted(const std::string& bytes) {
    const uint32_t strings = Get32(bytes, 12), count = Get32(bytes, 16);
    const uint64_t data = Get32(bytes, 20);
    if (Get32(bytes, 0) != kFxMagic || Get32(bytes, 4) != 24 || Get32(bytes, 8) != 28 || data != 24 + 28ull * count)
        Finding("a committed header out of place");
    auto tag = [&](uint32_t i) { return Get32(bytes, 24 + 28 * size_t{i}); };
    auto key = [](uint32_t t) { return ((0xFFFFu - FxTagType(t)) << 16) | FxTagNumber(t); };
    uint64_t end = strings;
    for (uint32_t i = 0; i < count; ++i) {
        if (FxTagType(tag(i)) == kFxDeletedType || (i > 0 && key(tag(i)) < key(tag(i - 1))))
            Finding("a committed entry deleted or out of order");
        const size_t record = 24 + 28 * size_t{i}, at = data + Get32(bytes, record + 4);
        const uint32_t size = Get32(bytes, record + 8), pairs = Get32(bytes, record + 12);
        if (at != data + end) Finding("committed entries not contiguous");
        end += size;
        if (FxIsReferenceList(tag(i)) && pairs * 8ull != size) Finding("a reference list's pairs not size / 8");
        for (uint32_t p = 0; FxIsReferenceList(tag(i)) && p < pairs; ++p) {
            const uint32_t named = Get32(bytes, at + 8 * p), index = Get32(bytes, at + 8 * p + 4);
            const bool holds = index < count && ((named & 0xFFFF) ? tag(index) == named
                                                                  : FxTagType(tag(index)) == FxTagType(named));
            if (!holds)
                Finding("a reference list names an index that does not hold its tag");
        }
    }
    if (data + end != bytes.size()) Finding("a committed file does not end with its last entry");
    for (uint64_t at = data, last = 0; at < data + strings; at += Get32(bytes, at + 4) & 0xFFFF) {
        const uint32_t id = Get32(bytes, at), length = Get32(bytes, at + 4) & 0xFFFF;
        if (length < 9 || at + length > data + strings || bytes[at + length - 1] != '\0' || id < last)
            Finding("a committed string record broken or out of order");
        last = id;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFiles files;
    UseFileLayer(&files);
    files.files.clear();
    files.files[kPath] = std::make_shared<MemoryFiles::Bytes>(data, data + size);
    uint32_t seed = 2166136261u;  // FNV-1a of the first 64 bytes, and the size
    for (size_t i = 0; i < size && i < 64; ++i) seed = (seed ^ data[i]) * 16777619u;
    seed ^= static_cast<uint32_t>(size);
    if (FxTagFile reader; reader.Open(kPath, 0)) {
        Walk(reader, seed);
        if (reader.Close() != 1) Finding("a read-only container does not close");
    }
    if (FxTagFile writer; writer.Open(kPath, 1)) {
        const bool stored = Change(writer, seed), changed = writer.IsModified();
        const int closed = writer.Close();
        const uint32_t error = writer.GetError();
        if (auto committed = files.files.find(kPath); closed && changed) {
            if (committed == files.files.end()) Finding("the commit left no file");
            CheckCommitted(std::string(committed->second->begin(), committed->second->end()));
            FxTagFile again;
            if (!again.Open(kPath, 0)) Finding("a committed file does not open");
            Walk(again, seed);
            again.Close();
        } else if (!closed && (stored || error != FXFILE_ERROR_LINKED) && error != FXFILE_ERROR_INVALID_FILE &&
                   error != FXFILE_ERROR_READ_FILE && error != FXFILE_ERROR_WRITE_FILE) {
            std::fprintf(stderr, "commit failed with %s\n", FxErrorName(error));
            Finding("an unexpected commit failure");
        }
    }
    if (files.handles != 0) Finding("a file handle was not closed");
    UseFileLayer(nullptr);
    return 0;
}
