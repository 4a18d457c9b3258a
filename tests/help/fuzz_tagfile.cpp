// Fuzz target: arbitrary bytes opened as a container. Everything a reader can
// reach is walked (entries, tags, strings in every language, entry reads at
// odd positions, reference lists); then the same bytes are opened for writing,
// changed and committed, and the committed file must keep every rule of one.
// Files live in memory (MemoryFiles); a finding is a sanitizer report, a leak,
// a leaked file handle, or a committed file that breaks a rule.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "help_test_support.h"

using namespace kelmard;

namespace {

const char kPath[] = "C:\\fuzz\\input.rfh";
const uint32_t kLanguages[] = {0, 1031, 0xFFFF, 0x10000};

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

uint32_t Mix(const uint8_t* data, size_t size) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size && i < 64; ++i) h = (h ^ data[i]) * 16777619u;
    return h ^ static_cast<uint32_t>(size);
}

void WalkStrings(FxTagFile& file, uint32_t id) {
    char buffer[300];
    const uint32_t sizes[] = {0, 5, sizeof buffer};
    for (uint32_t language : kLanguages)
        for (uint32_t size : sizes) {
            const uint32_t n = file.GetTagString(id, buffer, size, language);
            if (n && size && std::strlen(buffer) >= size) Finding("string not terminated in its buffer");
        }
    for (uint32_t n = 0; n < 4; ++n) file.GetTagStringAt(id, n, buffer, 7, 0);
}

void Walk(FxTagFile& file, uint32_t seed) {
    const uint32_t count = file.GetEntryCount();
    static uint8_t buffer[512];
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
        const uint32_t positions[] = {0, size / 2, size ? size - 1 : 0, size, size + 1,
                                      seed % (size + 1), 0xFFFFFFFFu};
        for (uint32_t at : positions) {
            const uint32_t want = (seed >> 3) % sizeof buffer;
            const uint32_t n = stream.ReadAt(at, buffer, want);
            if (n > want || (at <= size && n > size - at)) Finding("read past the entry");
        }
        // A read of the largest size is cut to what is left: one byte here.
        if (size && stream.ReadAt(size - 1, buffer, 0xFFFFFFFFu) != 1) Finding("a cut read");
        if (FxIsReferenceList(tag)) {
            // The pairs name entries by tag and index; neither is trusted.
            for (uint32_t p = 0; p < size / 8 && p < 64; ++p) {
                uint32_t pair[2];
                if (stream.ReadAt(p * 8, pair, 8) != 8) Finding("a reference list reads short");
                file.FindEntry(0, pair[0]);
                FxTagStream named;
                if (named.Open(&file, pair[1], 0)) named.Close();
            }
        }
        stream.Close();
    }
    // Strings of ids that name no entry are reachable too.
    const uint32_t strings = file.GetStringCount();
    for (uint32_t n = 0; n < strings && n < 64; ++n) {
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
    if (count > 1) {
        FxTagStream stream;
        const uint32_t index = (seed >> 5) % count;
        if (stream.Open(&file, index, 1)) {
            const uint32_t at = (seed >> 9) % (stream.GetSize() + 8);
            stream.WriteAt(at, "changed", 7);
            stream.SetAttribute(1, seed);
            stored = stream.Close() != 0;
        }
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
    static htest::MemoryFiles files;
    UseFileLayer(&files);
    files.Clear();
    files.Put(kPath, data, size);
    const uint32_t seed = Mix(data, size);

    {
        FxTagFile file;
        if (file.Open(kPath, 0)) {
            Walk(file, seed);
            if (file.Close() != 1) Finding("a read-only container does not close");
        }
    }
    {
        FxTagFile file;
        if (file.Open(kPath, 1)) {
            const bool stored = Change(file, seed);
            const bool changed = file.IsModified();
            const int closed = file.Close();
            if (closed && changed) {
                const htest::MemoryFiles::Bytes* bytes = files.Get(kPath);
                if (!bytes) Finding("the commit left no file");
                htest::Container c;
                std::string why;
                if (!htest::ParseCommitted(std::string(bytes->begin(), bytes->end()), c, why)) {
                    std::fprintf(stderr, "committed file breaks: %s\n", why.c_str());
                    Finding("a committed file breaks a rule");
                }
                FxTagFile again;
                if (!again.Open(kPath, 0)) Finding("a committed file does not open");
                Walk(again, seed);
                again.Close();
            } else if (!closed && (stored || file.GetError() != FXFILE_ERROR_LINKED) &&
                       file.GetError() != FXFILE_ERROR_INVALID_FILE &&
                       file.GetError() != FXFILE_ERROR_READ_FILE &&
                       file.GetError() != FXFILE_ERROR_WRITE_FILE) {
                std::fprintf(stderr, "commit failed with %s\n", FxErrorName(file.GetError()));
                Finding("an unexpected commit failure");
            }
        }
    }
    if (files.OpenHandles() != 0) Finding("a file handle was not closed");
    UseFileLayer(nullptr);
    return 0;
}
