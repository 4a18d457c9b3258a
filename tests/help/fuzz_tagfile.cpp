// Fuzz target: arbitrary bytes opened as a container, everything a reader can
// reach walked, then the same bytes changed and committed and the committed
// file walked again. Files live in memory; a finding is a sanitizer report, a
// leak, a file left open, a committed file that does not open or breaks the
// order of its entries or reference lists, or a commit failing for a reason it
// cannot have.
// (What the reads answer and how a commit lays out a file are the unit cases'.)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "help/file_layer.h"
#include "help/tagfile.h"

using namespace kelmard;

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
        for (uint32_t size : {0u, 5u, 300u}) file.GetTagString(id, buffer, size, language);
    for (uint32_t n = 0; n < 4; ++n) file.GetTagStringAt(id, n, buffer, 7, 0);
}

// Everything a reader can reach. A committed file's entries are sorted (type
// descending, number ascending), none deleted, and its reference lists name
// entries by index.
void Walk(FxTagFile& file, uint32_t seed, bool committed) {
    static uint8_t buffer[512];
    const uint32_t count = file.GetEntryCount(), want = (seed >> 3) % sizeof buffer;
    auto key = [](uint32_t t) { return ((0xFFFFu - FxTagType(t)) << 16) | FxTagNumber(t); };
    for (uint32_t i = 0, last = 0; i < count && i < 64; ++i) {
        const uint32_t tag = file.GetEntryTag(nullptr, i);
        if (committed && (FxTagType(tag) == kFxDeletedType || (i > 0 && key(tag) < key(last))))
            Finding("a committed entry deleted or out of order");
        last = tag;
        // The container's own search answers as the walk by record does.
        for (uint32_t start : {0u, i, i + 1, count + 1})
            for (uint32_t wanted : {tag, FxTag(FxTagType(tag), 0), tag ^ 1u})
                if (file.FindEntry(start, wanted) != file.FxTagFileBase::FindEntry(start, wanted))
                    Finding("FindEntry differs from the walk by record");
        WalkStrings(file, tag);
        FxTagStream stream;
        if (!stream.Open(&file, i, 0)) Finding("an entry of an open container does not open");
        const uint32_t size = stream.GetSize();
        for (uint32_t at : {0u, size / 2, size ? size - 1 : 0u, size, size + 1, seed % (size + 1), 0xFFFFFFFFu})
            stream.ReadAt(at, buffer, want);
        if (size) stream.ReadAt(size - 1, buffer, 0xFFFFFFFFu);  // cut to the one byte left
        // A reference list's pairs name entries by tag and index; neither is trusted.
        for (uint32_t p = 0, pair[2]; FxIsReferenceList(tag) && p < size / 8 && p < 64; ++p) {
            stream.ReadAt(p * 8, pair, 8);
            file.FindEntry(0, pair[0]);
            FxTagStream named;
            if (named.Open(&file, pair[1], 0)) named.Close();
            const uint32_t held = file.GetEntryTag(nullptr, pair[1]);
            if (committed && (pair[1] >= count || (FxTagNumber(pair[0]) ? held != pair[0]
                                                                          : FxTagType(held) != FxTagType(pair[0]))))
                Finding("a committed reference list names an index that does not hold its tag");
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
        Walk(reader, seed, false);
        if (reader.Close() != 1) Finding("a read-only container does not close");
    }
    if (FxTagFile writer; writer.Open(kPath, 1)) {
        const bool stored = Change(writer, seed), changed = writer.IsModified();
        const int closed = writer.Close();
        const uint32_t error = writer.GetError();
        if (closed && changed) {
            FxTagFile again;
            if (!again.Open(kPath, 0)) Finding("a committed file does not open");
            Walk(again, seed, true);
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
