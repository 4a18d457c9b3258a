// Help container benchmark (native and x64 under Wine; the same portable code
// over each platform's file layer).
//   1. Reading every entry of a 4 MB container through entry streams, against
//      reading the same bytes with the bare file calls (one positional read
//      per entry).
//   2. FindEntry of a missing tag over 10,000 entries (a full walk), against a
//      plain loop over an array of the same tags.
//   3. A commit of a 10 MB container (one string changed: the whole file is
//      written anew, flushed and put in place), against a plain copy of the
//      file in 64 KiB pieces with a flush; and the same copy in 1024-byte
//      pieces, to show what small pieces cost.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench.h"
#include "help/file_layer.h"
#include "help/tagfile.h"

using namespace kelmard;

namespace {

std::string g_folder;

std::string PathOf(const char* name) {
    return (std::filesystem::path(g_folder) / name).string();
}

// A container of `count` entries of `size` bytes each, and a title string per entry.
bool MakeContainer(const std::string& path, uint32_t count, uint32_t size) {
    FxTagFile file;
    if (!file.Create(path.c_str())) return false;
    std::vector<char> data(size);
    for (uint32_t i = 0; i < count; ++i) {
        for (uint32_t b = 0; b < size; ++b) data[b] = static_cast<char>(i + b);
        FxTagStream stream;
        const uint32_t tag = FxTag(1 + i / 60000, 1 + i % 60000);
        if (!stream.Create(&file, tag) || stream.Write(data.data(), size) != size || !stream.Close())
            return false;
        if (i < 100) file.SetTagString(tag, ("title " + std::to_string(i)).c_str(), 1033);
    }
    return file.Close() == 1;
}

struct Span {
    uint32_t offset, size;  // absolute
};

// Where each entry lies, for the bare reads.
std::vector<Span> Spans(const std::string& path) {
    std::vector<Span> spans;
    FxTagFile file;
    if (!file.Open(path.c_str(), 0)) return spans;
    const uint32_t dataStart = 24 + 28 * file.GetEntryCount();
    for (uint32_t i = 0; i < file.GetEntryCount(); ++i) {
        FxTagEntry e;
        file.GetEntry(i, &e);
        spans.push_back({dataStart + e.offset, e.size});
    }
    file.Close();
    return spans;
}

bool CopyFile(const std::string& from, const std::string& to, uint32_t piece) {
    FileLayer& files = PlatformFileLayer();
    const LayerFile in(files.OpenExisting(from.c_str(), false));
    const LayerFile out(files.CreateAlways(to.c_str()));
    static std::vector<char> buffer(1 << 16);
    bool ok = in && out;
    for (uint64_t at = 0, n = 0; ok; at += n) {
        uint32_t got = 0;
        ok = files.ReadAt(in.get(), at, buffer.data(), piece, got);
        if (!ok || got == 0) break;
        n = got;
        ok = WriteWhole(out.get(), at, buffer.data(), got);
    }
    return ok && files.Flush(out.get());
}

}  // namespace

int main() {
    std::error_code ec;
    g_folder = (std::filesystem::temp_directory_path(ec) / "kelmard-bench-help").string();
    std::filesystem::create_directories(g_folder, ec);
    std::printf("Help container benchmark (best of 5 rounds)\n");

    // 1. Reading every entry.
    const std::string four = PathOf("four.rfh");
    if (!MakeContainer(four, 1000, 4096)) {
        std::printf("cannot make %s\n", four.c_str());
        return 1;
    }
    const std::vector<Span> spans = Spans(four);
    std::vector<char> buffer(4096);
    unsigned long long sum = 0;
    const double bare = bench::NsPerOp(5, 20, [&] {
        FileLayer& files = PlatformFileLayer();
        const LayerFile f(files.OpenExisting(four.c_str(), false));
        for (const Span& s : spans) {
            uint32_t n = 0;
            files.ReadAt(f.get(), s.offset, buffer.data(), s.size, n);
            sum += static_cast<unsigned char>(buffer[n / 2]);
        }
    });
    const double streams = bench::NsPerOp(5, 20, [&] {
        FxTagFile file;
        file.Open(four.c_str(), 0);
        for (uint32_t i = 0; i < file.GetEntryCount(); ++i) {
            FxTagStream stream;
            stream.Open(&file, i, 0);
            const uint32_t n = stream.Read(buffer.data(), stream.GetSize());
            sum += static_cast<unsigned char>(buffer[n / 2]);
            stream.Close();
        }
        file.Close();
    });
    bench::Report("read 1000 entries of 4 KiB (4 MB) by stream", streams, "bare positional reads", bare);

    // 2. FindEntry over 10,000 entries.
    const std::string many = PathOf("many.rfh");
    if (!MakeContainer(many, 10000, 16)) return 1;
    FxTagFile file;
    file.Open(many.c_str(), 0);
    std::vector<uint32_t> tags(file.GetEntryCount());
    for (uint32_t i = 0; i < tags.size(); ++i) file.GetEntryTag(&tags[i], i);
    volatile uint32_t missing = FxTag(1, 60001 % 65536);
    long found = 0;
    const double loop = bench::NsPerOp(5, 2000, [&] {
        const uint32_t want = missing;
        long at = -1;
        for (size_t i = 0; i < tags.size(); ++i)
            if (tags[i] == want) {
                at = static_cast<long>(i);
                break;
            }
        found += at;
    });
    const double find = bench::NsPerOp(5, 2000, [&] { found += file.FindEntry(0, missing); });
    bench::Report("FindEntry, missing tag, 10,000 entries", find, "array loop", loop);
    file.Close();

    // 3. Commit of a 10 MB container against plain copies.
    const std::string ten = PathOf("ten.rfh");
    if (!MakeContainer(ten, 2560, 4096)) return 1;
    const std::string copy = PathOf("copy.rfh");
    const double copy64 = bench::NsPerOp(5, 1, [&] { CopyFile(ten, copy, 1 << 16); });
    const double copy1k = bench::NsPerOp(5, 1, [&] { CopyFile(ten, copy, 1024); });
    int round = 0;
    const double commit = bench::NsPerOp(5, 1, [&] {
        FxTagFile changed;
        changed.Open(ten.c_str(), 1);
        changed.SetTagString(FxTag(1, 1), (round++ % 2) ? "odd" : "even", 1033);
        if (changed.Close() != 1) std::printf("commit failed\n");
    });
    bench::Report("commit of a 10 MB container", commit, "copy, 64 KiB pieces", copy64);
    bench::Report("copy in 1024-byte pieces", copy1k, "copy, 64 KiB pieces", copy64);

    std::filesystem::remove_all(g_folder, ec);
    return sum == 0 && found == 0 ? 2 : 0;  // keeps the work from being optimised away
}
