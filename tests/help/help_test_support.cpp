#include "help_test_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace htest {

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
        const uint32_t record[] = {e.tag, offset, static_cast<uint32_t>(e.data.size()), e.attr[0], e.attr[1],
                                   e.attr[2], e.attr[3]};
        for (int a = 0; a < 7; ++a) Put32(bytes, 24 + 28 * i + 4 * a, record[a]);
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

std::string ReadThroughLibrary(kelmard::FxTagFile& file) {
    Container c;
    for (uint32_t i = 0; i < file.GetEntryCount(); ++i) {
        kelmard::FxTagEntry record;
        file.GetEntry(i, &record);
        Entry e{record.tag, "", {record.attribute[0], record.attribute[1], record.attribute[2], record.attribute[3]}};
        kelmard::FxTagStream stream;
        if (stream.Open(&file, i, 0)) {
            e.data.resize(stream.GetSize());
            e.data.resize(stream.Read(&e.data[0], stream.GetSize()));
            stream.Close();
        }
        c.entries.push_back(std::move(e));
    }
    for (uint32_t n = 0, count = file.GetStringCount(); n < count; ++n) {
        String t;
        const char* text = nullptr;
        file.GetStringRecord(n, &t.id, &t.language, &text);
        t.text = text ? text : "";
        c.strings.push_back(std::move(t));
    }
    return Build(c);
}

}  // namespace htest
