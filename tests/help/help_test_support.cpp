#include "help_test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace htest {

// ---------------------------------------------------------------------------
// Files and folders

TempFolder::TempFolder() {
    static int serial = 0;
    std::error_code ec;
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const fs::path p = fs::temp_directory_path(ec) /
                           ("kelmard-help-" + std::to_string(random()) + "-" + std::to_string(++serial));
        if (fs::create_directory(p, ec)) path_ = p.string();
    }
}

TempFolder::~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
}

std::string TempFolder::File(const std::string& name) const { return (fs::path(path_) / name).string(); }

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && out.flush();
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

void Put32(std::string& bytes, size_t offset, uint32_t value) {
    if (bytes.size() < offset + 4) bytes.resize(offset + 4, '\0');
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t Get32(const std::string& bytes, size_t offset) {
    if (bytes.size() < offset + 4) return 0;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return v;
}

// ---------------------------------------------------------------------------
// Containers made and read without the library

void PrintTo(const Container& c, std::ostream* os) {
    char line[160];
    for (const Entry& e : c.entries)
        *os << (std::snprintf(line, sizeof line, "\nentry %08x size %zu attr %x %x %x %x first \"%.12s\"", e.tag,
                              e.data.size(), e.attr[0], e.attr[1], e.attr[2], e.attr[3], e.data.c_str()), line);
    for (const String& t : c.strings)
        *os << (std::snprintf(line, sizeof line, "\nstring %08x lang %u \"%.40s\"", t.id, t.language, t.text.c_str()), line);
}

std::string Build(const Container& c) {
    const uint32_t count = static_cast<uint32_t>(c.entries.size());
    std::string strings;
    for (const String& t : c.strings) {
        const size_t at = strings.size();
        Put32(strings, at, t.id);
        Put32(strings, at + 4, static_cast<uint32_t>(8 + t.text.size() + 1) | (t.language << 16));  // length, language
        strings += t.text;
        strings.push_back('\0');
    }
    const uint32_t dataStart = 24 + 28 * count, header[] = {kelmard::kFxMagic, 24, 28,
                                                           static_cast<uint32_t>(strings.size()), count, dataStart};
    std::string bytes(dataStart, '\0');
    for (int i = 0; i < 6; ++i) Put32(bytes, 4 * i, header[i]);
    uint32_t offset = static_cast<uint32_t>(strings.size());
    for (uint32_t i = 0; i < count; ++i) {
        const Entry& e = c.entries[i];
        const size_t r = 24 + 28 * i;
        const uint32_t record[] = {e.tag, offset, static_cast<uint32_t>(e.data.size()), e.attr[0], e.attr[1],
                                   e.attr[2], e.attr[3]};
        for (int a = 0; a < 7; ++a) Put32(bytes, r + 4 * a, record[a]);
        offset += static_cast<uint32_t>(e.data.size());
    }
    bytes += strings;
    for (const Entry& e : c.entries) bytes += e.data;
    return bytes;
}

std::string Pairs(const std::vector<std::pair<uint32_t, uint32_t>>& pairs) {
    std::string data;
    for (const auto& p : pairs) {
        Put32(data, data.size(), p.first);
        Put32(data, data.size(), p.second);
    }
    return data;
}

bool ParseCommitted(const std::string& bytes, Container& out, std::string& why) {
    out = Container{};
    auto fail = [&why](const char* rule) {
        why = rule;
        return false;
    };
    if (bytes.size() < 24) return fail("shorter than a header");
    if (Get32(bytes, 0) != kelmard::kFxMagic) return fail("magic");
    if (Get32(bytes, 4) != 24) return fail("directory right after the header");
    if (Get32(bytes, 8) != 28) return fail("record size 28");
    const uint32_t stringSize = Get32(bytes, 12), count = Get32(bytes, 16);
    const uint64_t dataStart = Get32(bytes, 20);
    if (dataStart != 24 + 28ull * count) return fail("data area right after the directory");
    if (dataStart + stringSize > bytes.size()) return fail("string table inside the file");
    uint64_t expected = stringSize;
    uint32_t lastKey = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t r = 24 + 28 * static_cast<size_t>(i);
        Entry e;
        e.tag = Get32(bytes, r);
        const uint32_t offset = Get32(bytes, r + 4), size = Get32(bytes, r + 8);
        for (int a = 0; a < 4; ++a) e.attr[a] = Get32(bytes, r + 12 + 4 * a);
        if ((e.tag >> 16) == 0xFFFF) return fail("no deleted entries");
        const uint32_t key = ((0xFFFFu - (e.tag >> 16)) << 16) | (e.tag & 0xFFFF);
        if (i > 0 && key < lastKey) return fail("sorted: type descending, number ascending");
        lastKey = key;
        if (offset != expected) return fail("entries contiguous in directory order");
        if (dataStart + offset + size > bytes.size()) return fail("entry inside the file");
        e.data = bytes.substr(dataStart + offset, size);
        expected += size;
        out.entries.push_back(std::move(e));
    }
    if (dataStart + expected != bytes.size()) return fail("nothing after the last entry");
    for (const Entry& e : out.entries) {
        if (!kelmard::FxIsReferenceList(e.tag)) continue;
        if (e.attr[0] * 8ull != e.data.size()) return fail("reference list: pairs = size / 8");
        for (uint32_t p = 0; p < e.attr[0]; ++p) {
            const uint32_t tag = Get32(e.data, 8 * p), index = Get32(e.data, 8 * p + 4);
            if (index >= out.entries.size()) return fail("reference list: index inside the directory");
            const uint32_t there = out.entries[index].tag;
            const bool match = (tag & 0xFFFF) == 0 ? (there >> 16) == (tag >> 16) : there == tag;
            if (!match) return fail("reference list: the index holds the tag");
        }
    }
    uint32_t lastId = 0;
    for (uint64_t at = dataStart, end = dataStart + stringSize; at < end;) {
        if (end - at < 9) return fail("string record header");
        String t;
        t.id = Get32(bytes, at);
        const uint32_t length = Get32(bytes, at + 4) & 0xFFFF;
        t.language = Get32(bytes, at + 4) >> 16;
        if (length < 9 || at + length > end) return fail("string record length");
        if (bytes[at + length - 1] != '\0') return fail("string ends with its NUL");
        t.text = bytes.substr(at + 8, length - 9);
        if (!out.strings.empty() && t.id < lastId) return fail("strings ascending by id");
        lastId = t.id;
        out.strings.push_back(std::move(t));
        at += length;
    }
    return true;
}

Container Committed(const std::string& path) {
    Container c;
    std::string why;
    if (!ParseCommitted(ReadBytes(path), c, why))
        c = Container{{E(0xFFFFFFFF, "not committed by the rules: " + why)}, {}};
    return c;
}

Container ReadThroughLibrary(kelmard::FxTagFile& file) {
    Container c;
    for (uint32_t i = 0; i < file.GetEntryCount(); ++i) {
        kelmard::FxTagEntry record;
        file.GetEntry(i, &record);
        Entry e;
        e.tag = record.tag;
        std::copy(record.attribute, record.attribute + 4, e.attr);
        kelmard::FxTagStream stream;
        if (stream.Open(&file, i, 0)) {
            e.data.resize(stream.GetSize());
            e.data.resize(stream.Read(&e.data[0], stream.GetSize()));
            stream.Close();
        }
        c.entries.push_back(std::move(e));
    }
    const uint32_t strings = file.GetStringCount();
    for (uint32_t n = 0; n < strings; ++n) {
        String t;
        const char* text = nullptr;
        file.GetStringRecord(n, &t.id, &t.language, &text);
        t.text = text ? text : "";
        c.strings.push_back(std::move(t));
    }
    return c;
}

// ---------------------------------------------------------------------------
// The counting, failing file layer

void TestFiles::Reset() {
    writes = flushes = replaces = creates = writableOpens = failWrite = 0;
    replaced.clear();
    failFlush = failReplace = refuseWritable = crash = crashed_ = false;
}

bool TestFiles::Count(int& count, bool fail) {
    if (crashed_) return false;
    ++count;
    if (fail) crashed_ = crash;
    return !fail;
}

FileHandle TestFiles::OpenExisting(const char* path, bool writable) {
    if (crashed_ || (writable && (++writableOpens, refuseWritable))) return nullptr;
    return Opened(real_.OpenExisting(path, writable));
}

FileHandle TestFiles::CreateAlways(const char* path) {
    return Count(creates, false) ? Opened(real_.CreateAlways(path)) : nullptr;
}

bool TestFiles::WriteAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t size, uint32_t& done) {
    done = 0;
    if (crashed_) return false;
    if (Count(writes, writes + 1 == failWrite)) return real_.WriteAt(file, offset, buffer, size, done);
    real_.WriteAt(file, offset, buffer, size / 2, done);  // a failing write may put some bytes down
    return false;
}

void TestFiles::Close(FileHandle file) {
    if (open_.erase(file) == 0) {
        ++badCloses;  // not open: closing it could close someone else's file
        return;
    }
    real_.Close(file);
}

bool TestFiles::Replace(const char* from, const char* to) {
    if (!crashed_) replaced.emplace_back(from, to);
    return Count(replaces, failReplace) && real_.Replace(from, to);
}

// ---------------------------------------------------------------------------
// Files in memory

namespace {
constexpr uint64_t kLimit = 64ull << 20;  // larger files are refused, as by a full disk
struct Open {
    std::shared_ptr<MemoryFiles::Bytes> bytes;
    bool writable;
};
}  // namespace

FileHandle MemoryFiles::OpenExisting(const char* path, bool writable) {
    auto it = files_.find(path);
    return it == files_.end() ? nullptr : Handle(it->second, writable);
}

FileHandle MemoryFiles::Handle(std::shared_ptr<Bytes> bytes, bool writable) {
    ++handles_;
    return new Open{std::move(bytes), writable};
}

bool MemoryFiles::Size(FileHandle file, uint64_t& size) {
    size = static_cast<Open*>(file)->bytes->size();
    return true;
}

bool MemoryFiles::ReadAt(FileHandle file, uint64_t offset, void* buffer, uint32_t size, uint32_t& done) {
    const Bytes& bytes = *static_cast<Open*>(file)->bytes;
    done = static_cast<uint32_t>(std::min<uint64_t>(size, offset < bytes.size() ? bytes.size() - offset : 0));
    if (done) std::memcpy(buffer, bytes.data() + offset, done);
    return true;
}

bool MemoryFiles::WriteAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t size, uint32_t& done) {
    Open& f = *static_cast<Open*>(file);
    done = 0;
    if (!f.writable || offset + size > kLimit) return false;
    if (f.bytes->size() < offset + size) f.bytes->resize(offset + size);
    if (size) std::memcpy(f.bytes->data() + offset, buffer, size);
    done = size;
    return true;
}

void MemoryFiles::Close(FileHandle file) {
    --handles_;
    delete static_cast<Open*>(file);
}

bool MemoryFiles::Replace(const char* from, const char* to) {
    auto it = files_.find(from);
    if (it == files_.end()) return false;
    std::shared_ptr<Bytes> bytes = std::move(it->second);
    files_.erase(it);
    files_[to] = std::move(bytes);
    return true;
}

}  // namespace htest
