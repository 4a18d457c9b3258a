// rfh: authoring help files (".RFH" tagged containers).
//
//   rfh create FILE FOLDER          a new help file from a folder of topics
//   rfh list FILE                   its entries and strings
//   rfh extract FILE TAG [OUTPUT]   an entry's bytes (to standard output)
//   rfh put FILE TAG INPUT          an entry's bytes from a file (added or replaced)
//   rfh set-string FILE TAG LANGUAGE TEXT
//   rfh delete-string FILE TAG LANGUAGE
//   rfh delete FILE TAG
//
// A topic folder holds one file per topic, "<help ID>[-anything].rtf", with the
// body of the topic's RTF (what comes between the help window's own head and
// its closing brace), and optionally "strings.txt": lines "TAG LANGUAGE TEXT",
// such as "100 1033 Cross fade" (blank lines and lines starting with # are
// skipped).
//
// TAG is a help ID in decimal (the topic's tag: type 1, number = ID), or
// "TYPE:NUMBER", or a whole tag in hexadecimal ("0x00010064"). LANGUAGE is a
// Windows language id (1033, or 0x0409).
#include "rfh.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "help/tagfile.h"
#include "owners/unique_owner.h"

namespace rfh {
namespace {

using namespace kelmard;
namespace fs = std::filesystem;

constexpr int kOk = 0, kFailed = 1, kUsage = 2;

const char kUsageText[] =
    "usage: rfh create FILE FOLDER\n"
    "       rfh list FILE\n"
    "       rfh extract FILE TAG [OUTPUT]\n"
    "       rfh put FILE TAG INPUT\n"
    "       rfh set-string FILE TAG LANGUAGE TEXT\n"
    "       rfh delete-string FILE TAG LANGUAGE\n"
    "       rfh delete FILE TAG\n"
    "TAG: a help ID (decimal), TYPE:NUMBER, or a whole tag in hex (0x00010064)\n"
    "LANGUAGE: a Windows language id (1033 or 0x0409)\n";

struct Io {
    std::FILE* out;
    std::FILE* err;
    void Error(const char* format, ...) const __attribute__((format(printf, 2, 3)));
};

void Io::Error(const char* format, ...) const {
    std::fputs("rfh: ", err);
    va_list args;
    va_start(args, format);
    std::vfprintf(err, format, args);
    va_end(args);
    std::fputc('\n', err);
}

std::string ErrorOf(uint32_t code) {
    const char* name = FxErrorName(code);
    return name ? name : "an unknown error";
}

// An unsigned number in decimal or 0x-hexadecimal, all of `text`, at most `max`.
bool ParseNumber(const std::string& text, uint32_t max, uint32_t& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return false;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || v > max) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

bool ParseTag(const std::string& text, uint32_t& tag) {
    const size_t colon = text.find(':');
    if (colon != std::string::npos) {
        uint32_t type = 0, number = 0;
        if (!ParseNumber(text.substr(0, colon), 0xFFFF, type) ||
            !ParseNumber(text.substr(colon + 1), 0xFFFF, number))
            return false;
        tag = FxTag(type, number);
        return true;
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseNumber(text, 0xFFFFFFFFu, tag);
    uint32_t id = 0;
    if (!ParseNumber(text, 0xFFFF, id)) return false;
    tag = FxTag(kFxTopicType, id);
    return true;
}

bool ParseLanguage(const std::string& text, uint32_t& language) {
    return ParseNumber(text, 0xFFFF, language) && language != 0;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    const UniqueCFile f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    bytes.clear();
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0;) bytes.append(buffer, n);
    return !std::ferror(f.get());
}

// A topic body goes between the help window's RTF head and its closing brace:
// its groups must balance, and it must not be a whole document of its own.
bool CheckTopicBody(const std::string& body, std::string& why) {
    size_t start = 0;
    while (start < body.size() && std::strchr(" \t\r\n", body[start])) ++start;
    if (body.compare(start, 5, "{\\rtf") == 0) {
        why = "it is a whole RTF document; a topic holds only the body";
        return false;
    }
    long depth = 0;
    for (size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\\') {
            ++i;  // \{ \} \\ are text
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth < 0) {
            why = "a closing brace without its group";
            return false;
        }
    }
    if (depth != 0) {
        why = "a group is not closed";
        return false;
    }
    return true;
}

// The container of one command: opened, and closed (committing) at the end.
class Container {
public:
    explicit Container(const Io& io) : io_(io) {}
    bool Open(const std::string& path, bool writable) {
        path_ = path;
        if (file_.Open(path.c_str(), writable ? 1 : 0)) {
            if (writable && file_.IsReadOnly()) {
                io_.Error("%s: cannot be opened for writing", path.c_str());
                return false;
            }
            return true;
        }
        const uint32_t e = file_.GetError();
        if (e == FXFILE_ERROR_INVALID_FILE)
            io_.Error("%s: not a help file, or a damaged one (%s)", path.c_str(), ErrorOf(e).c_str());
        else
            io_.Error("%s: cannot open it (%s)", path.c_str(), ErrorOf(e).c_str());
        return false;
    }
    bool Create(const std::string& path) {
        path_ = path;
        if (file_.Create(path.c_str())) return true;
        io_.Error("%s: cannot create it (%s)", path.c_str(), ErrorOf(file_.GetError()).c_str());
        return false;
    }
    // Finishes the file: a changed one is committed.
    bool Close() {
        if (file_.Close()) return true;
        io_.Error("%s: cannot write it (%s); the file is as it was",
                  path_.c_str(), ErrorOf(file_.GetError()).c_str());
        return false;
    }
    int32_t Find(uint32_t tag) { return file_.FindEntry(0, tag); }
    // The index of the entry `tag`, with a message when there is none.
    bool Require(uint32_t tag, uint32_t& index) {
        const int32_t found = Find(tag);
        if (found < 0) {
            io_.Error("%s: no entry 0x%08X", path_.c_str(), tag);
            return false;
        }
        index = static_cast<uint32_t>(found);
        return true;
    }
    // Stores `bytes` as the whole data of entry `tag` (made when missing).
    bool PutEntry(uint32_t tag, const std::string& bytes) {
        FxTagEntry old = {};
        const int32_t found = Find(tag);
        if (found >= 0) {
            // An entry stream cannot shrink an entry: the new one takes its place.
            file_.GetEntry(static_cast<uint32_t>(found), &old);
            if (old.tag != tag) {
                io_.Error("%s: 0x%08X names entry 0x%08X; give the whole tag", path_.c_str(), tag, old.tag);
                return false;
            }
            file_.DeleteEntry(static_cast<uint32_t>(found));
        }
        FxTagStream stream;
        if (!stream.Create(&file_, tag)) {
            io_.Error("%s: cannot add entry 0x%08X (%s)", path_.c_str(), tag,
                      ErrorOf(stream.GetError()).c_str());
            return false;
        }
        const uint32_t size = static_cast<uint32_t>(bytes.size());
        bool ok = bytes.size() <= 0xFFFFFFF0u && stream.Write(bytes.data(), size) == size;
        for (unsigned i = 0; i < 4; ++i)
            if (old.attribute[i]) stream.SetAttribute(i, old.attribute[i]);
        if (FxIsReferenceList(tag)) stream.SetAttribute(0, size / 8);
        const uint32_t writeError = stream.GetError();
        if (!stream.Close()) ok = false;
        if (!ok) {
            io_.Error("%s: cannot store entry 0x%08X (%s)", path_.c_str(), tag,
                      ErrorOf(writeError ? writeError : stream.GetError()).c_str());
        }
        return ok;
    }
    // Attaches a string to an entry that exists (strings of missing entries
    // are dropped when the file is written).
    bool SetString(uint32_t tag, uint32_t language, const std::string& text, const std::string& where) {
        if (Find(tag) < 0) {
            io_.Error("%s: no entry 0x%08X for the string \"%s\"", where.c_str(), tag, text.c_str());
            return false;
        }
        if (file_.SetTagString(tag, text.c_str(), language)) return true;
        const uint32_t e = file_.GetError();
        if (e == FXFILE_ERROR_TAG_EXIST)
            io_.Error("%s: \"%s\" is stored already in language %u; a help file keeps each text "
                      "once per language", where.c_str(), text.c_str(), language);
        else
            io_.Error("%s: cannot store the string (%s)", where.c_str(), ErrorOf(e).c_str());
        return false;
    }
    FxTagFile& file() { return file_; }
    const std::string& path() const { return path_; }

private:
    const Io& io_;
    std::string path_;
    FxTagFile file_;
};

// A line of a string list without its line end and the blanks around it;
// false for a blank line or a comment.
bool TrimLine(std::string& line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.pop_back();
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') return false;
    line = line.substr(first);
    return true;
}

// "TAG LANGUAGE TEXT": the text is the rest of the line.
bool ParseStringLine(const std::string& line, uint32_t& tag, uint32_t& language, std::string& text) {
    const size_t s1 = line.find_first_of(" \t");
    const size_t t2 = s1 == std::string::npos ? s1 : line.find_first_not_of(" \t", s1);
    const size_t s2 = t2 == std::string::npos ? t2 : line.find_first_of(" \t", t2);
    const size_t t3 = s2 == std::string::npos ? s2 : line.find_first_not_of(" \t", s2);
    if (t3 == std::string::npos || !ParseTag(line.substr(0, s1), tag) ||
        !ParseLanguage(line.substr(t2, s2 - t2), language))
        return false;
    text = line.substr(t3);
    return true;
}

// "strings.txt" of a topic folder: "TAG LANGUAGE TEXT" per line.
bool ApplyStrings(Container& c, const std::string& listPath, const Io& io) {
    std::string text;
    if (!ReadWholeFile(listPath, text)) {
        io.Error("%s: cannot read it", listPath.c_str());
        return false;
    }
    size_t lineNumber = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (!TrimLine(line)) continue;
        const std::string where = listPath + ":" + std::to_string(lineNumber);
        uint32_t tag = 0, language = 0;
        std::string string;
        if (!ParseStringLine(line, tag, language, string)) {
            io.Error("%s: expected \"TAG LANGUAGE TEXT\"", where.c_str());
            return false;
        }
        if (!c.SetString(tag, language, string, where)) return false;
    }
    return true;
}

struct Topic {
    uint32_t id;
    std::string path;
};

// A topic file's help ID from its name, "<help ID>[-anything].rtf"; false for
// a name that does not start with one (1 to 65535).
bool TopicId(const std::string& name, uint32_t& id) {
    const size_t digits = name.find_first_not_of("0123456789");
    return digits != 0 && (name[digits] == '.' || name[digits] == '-') &&
           ParseNumber(name.substr(0, digits), 0xFFFF, id) && id != 0;
}

// The topics of a folder, by help ID, and its string list ("" when it has none).
bool ListTopics(const std::string& folder, std::vector<Topic>& topics, std::string& stringList,
                const Io& io) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const std::string name = it->path().filename().string();
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
        if (lower == "strings.txt") {
            stringList = it->path().string();
            continue;
        }
        if (lower.size() < 4 || lower.compare(lower.size() - 4, 4, ".rtf") != 0) continue;
        uint32_t id = 0;
        if (!TopicId(name, id)) {
            io.Error("%s: a topic's name starts with its help ID (1 to 65535), as in 100-intro.rtf",
                     it->path().string().c_str());
            return false;
        }
        topics.push_back({id, it->path().string()});
    }
    if (ec) {
        io.Error("%s: cannot list it (%s)", folder.c_str(), ec.message().c_str());
        return false;
    }
    std::sort(topics.begin(), topics.end(), [](const Topic& a, const Topic& b) { return a.id < b.id; });
    return true;
}

// Each help ID names one topic, and there is at least one.
bool CheckTopics(const std::string& folder, const std::vector<Topic>& topics, const Io& io) {
    if (topics.empty()) {
        io.Error("%s: no topics (files named <help ID>-<name>.rtf)", folder.c_str());
        return false;
    }
    for (size_t i = 1; i < topics.size(); ++i) {
        if (topics[i].id == topics[i - 1].id) {
            io.Error("%s and %s: both are topic %u", topics[i - 1].path.c_str(), topics[i].path.c_str(),
                     topics[i].id);
            return false;
        }
    }
    return true;
}

// Reads a topic's body and checks it.
bool ReadTopic(const Topic& t, std::string& body, const Io& io) {
    std::string why;
    if (!ReadWholeFile(t.path, body)) {
        io.Error("%s: cannot read it", t.path.c_str());
        return false;
    }
    if (!CheckTopicBody(body, why)) {
        io.Error("%s: %s", t.path.c_str(), why.c_str());
        return false;
    }
    return true;
}

// Fills a new help file with the topics and the string list, and closes it.
bool FillHelpFile(Container& c, const std::vector<Topic>& topics, const std::string& stringList,
                  const Io& io) {
    for (const Topic& t : topics) {
        std::string body;
        if (!ReadTopic(t, body, io) || !c.PutEntry(FxTag(kFxTopicType, t.id), body)) return false;
    }
    if (!stringList.empty() && !ApplyStrings(c, stringList, io)) return false;
    return c.Close();
}

int Create(const std::string& output, const std::string& folder, const Io& io) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        io.Error("%s: not a folder", folder.c_str());
        return kFailed;
    }
    std::vector<Topic> topics;
    std::string stringList;
    if (!ListTopics(folder, topics, stringList, io) || !CheckTopics(folder, topics, io)) return kFailed;
    // Made under another name and put in place whole at the end: a failure
    // leaves an older file of that name as it was.
    const std::string building = output + ".new";
    bool written = false;
    {
        Container c(io);
        if (!c.Create(building)) return kFailed;
        written = FillHelpFile(c, topics, stringList, io);
    }
    if (!written || !Files().Replace(building.c_str(), output.c_str())) {
        if (written) io.Error("%s: cannot put the new file in place", output.c_str());
        Files().Remove(building.c_str());
        return kFailed;
    }
    std::fprintf(io.out, "%s: %zu topics\n", output.c_str(), topics.size());
    return kOk;
}

int List(const std::string& path, const Io& io) {
    Container c(io);
    if (!c.Open(path, false)) return kFailed;
    FxTagFile& f = c.file();
    const uint32_t count = f.GetEntryCount();
    const uint32_t strings = f.GetStringCount();
    const bool stringsOk = f.GetError() == FXFILE_ERROR_NONE;
    std::fprintf(io.out, "%s: %u entries, %u strings\n", path.c_str(), count, strings);
    if (count) std::fprintf(io.out, "index  tag         type  number      size  attributes\n");
    for (uint32_t i = 0; i < count; ++i) {
        FxTagEntry e;
        f.GetEntry(i, &e);
        std::fprintf(io.out, "%5u  0x%08X %5u  %6u  %8u  %u %u %u %u%s\n", i, e.tag, FxTagType(e.tag),
                     FxTagNumber(e.tag), e.size, e.attribute[0], e.attribute[1], e.attribute[2],
                     e.attribute[3],
                     FxTagType(e.tag) == kFxDeletedType ? "  (deleted)"
                     : FxIsReferenceList(e.tag)         ? "  (reference list)"
                     : FxTagType(e.tag) == kFxTopicType  ? "  (topic)"
                                                         : "");
    }
    if (strings) std::fprintf(io.out, "strings:\n");
    for (uint32_t n = 0; n < strings; ++n) {
        uint32_t id = 0, language = 0;
        const char* text = "";
        f.GetStringRecord(n, &id, &language, &text);
        std::fprintf(io.out, "  0x%08X  %5u  \"%s\"\n", id, language, text);
    }
    const bool closed = c.Close();
    if (!stringsOk) {
        io.Error("%s: its string table is damaged", path.c_str());
        return kFailed;
    }
    return closed ? kOk : kFailed;
}

int Extract(const std::string& path, uint32_t tag, const char* output, const Io& io) {
    Container c(io);
    if (!c.Open(path, false)) return kFailed;
    uint32_t index = 0;
    if (!c.Require(tag, index)) return kFailed;
    FxTagStream stream;
    if (!stream.Open(&c.file(), index, 0)) {
        io.Error("%s: cannot open entry 0x%08X (%s)", path.c_str(), tag, ErrorOf(stream.GetError()).c_str());
        return kFailed;
    }
    UniqueCFile file(output ? std::fopen(output, "wb") : nullptr);
    if (output && !file) {
        io.Error("%s: cannot write it", output);
        return kFailed;
    }
    std::FILE* const target = output ? file.get() : io.out;
    bool ok = true;
    char buffer[65536];
    for (uint32_t n; ok && (n = stream.Read(buffer, sizeof buffer)) > 0;)
        ok = std::fwrite(buffer, 1, n, target) == n;
    if (stream.GetError() != FXFILE_ERROR_NONE || stream.GetPosition() != stream.GetSize()) {
        io.Error("%s: entry 0x%08X reads short (%s)", path.c_str(), tag, ErrorOf(stream.GetError()).c_str());
        ok = false;
    }
    if (output && std::fclose(file.release()) != 0) ok = false;
    if (!ok && output) io.Error("%s: not written whole", output);
    stream.Close();
    return ok ? kOk : kFailed;
}

int Put(const std::string& path, uint32_t tag, const std::string& input, const Io& io) {
    std::string bytes;
    if (!ReadWholeFile(input, bytes)) {
        io.Error("%s: cannot read it", input.c_str());
        return kFailed;
    }
    if (FxIsReferenceList(tag) && bytes.size() % 8 != 0) {
        io.Error("%s: a reference list is a run of 8-byte pairs", input.c_str());
        return kFailed;
    }
    if (FxTagType(tag) == kFxTopicType) {
        std::string why;
        if (!CheckTopicBody(bytes, why)) {
            io.Error("%s: %s", input.c_str(), why.c_str());
            return kFailed;
        }
    }
    Container c(io);
    if (!c.Open(path, true)) return kFailed;
    if (!c.PutEntry(tag, bytes)) return kFailed;
    return c.Close() ? kOk : kFailed;
}

int SetString(const std::string& path, uint32_t tag, uint32_t language, const std::string& text,
              const Io& io) {
    Container c(io);
    if (!c.Open(path, true)) return kFailed;
    if (!c.SetString(tag, language, text, path)) return kFailed;
    return c.Close() ? kOk : kFailed;
}

int DeleteString(const std::string& path, uint32_t tag, uint32_t language, const Io& io) {
    Container c(io);
    if (!c.Open(path, true)) return kFailed;
    if (!c.file().DeleteTagString(tag, language)) {
        io.Error("%s: no string of 0x%08X in language %u", path.c_str(), tag, language);
        return kFailed;
    }
    return c.Close() ? kOk : kFailed;
}

int Delete(const std::string& path, uint32_t tag, const Io& io) {
    Container c(io);
    if (!c.Open(path, true)) return kFailed;
    uint32_t index = 0;
    if (!c.Require(tag, index)) return kFailed;
    c.file().DeleteEntry(index);
    return c.Close() ? kOk : kFailed;
}

}  // namespace

int Run(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    const Io io{out, err};
    const std::vector<std::string> a(argv + (argc > 0 ? 1 : 0), argv + argc);
    auto usage = [&](const char* why) {
        if (why) io.Error("%s", why);
        std::fputs(kUsageText, err);
        return kUsage;
    };
    if (a.empty()) return usage(nullptr);
    const std::string& command = a[0];
    const size_t n = a.size() - 1;  // operands
    uint32_t tag = 0, language = 0;
    auto tagAt = [&](size_t i) {
        if (ParseTag(a[i], tag)) return true;
        io.Error("\"%s\" is not a tag", a[i].c_str());
        return false;
    };
    auto languageAt = [&](size_t i) {
        if (ParseLanguage(a[i], language)) return true;
        io.Error("\"%s\" is not a language id", a[i].c_str());
        return false;
    };
    if (command == "create") {
        if (n != 2) return usage("create takes FILE FOLDER");
        return Create(a[1], a[2], io);
    }
    if (command == "list") {
        if (n != 1) return usage("list takes FILE");
        return List(a[1], io);
    }
    if (command == "extract") {
        if (n != 2 && n != 3) return usage("extract takes FILE TAG [OUTPUT]");
        if (!tagAt(2)) return kUsage;
        return Extract(a[1], tag, n == 3 ? a[3].c_str() : nullptr, io);
    }
    if (command == "put") {
        if (n != 3) return usage("put takes FILE TAG INPUT");
        if (!tagAt(2)) return kUsage;
        return Put(a[1], tag, a[3], io);
    }
    if (command == "set-string") {
        if (n != 4) return usage("set-string takes FILE TAG LANGUAGE TEXT");
        if (!tagAt(2) || !languageAt(3)) return kUsage;
        return SetString(a[1], tag, language, a[4], io);
    }
    if (command == "delete-string") {
        if (n != 3) return usage("delete-string takes FILE TAG LANGUAGE");
        if (!tagAt(2) || !languageAt(3)) return kUsage;
        return DeleteString(a[1], tag, language, io);
    }
    if (command == "delete") {
        if (n != 2) return usage("delete takes FILE TAG");
        if (!tagAt(2)) return kUsage;
        return Delete(a[1], tag, io);
    }
    if (command == "help" || command == "--help" || command == "-h") {
        std::fputs(kUsageText, out);
        return kOk;
    }
    io.Error("unknown command \"%s\"", command.c_str());
    return usage(nullptr);
}

}  // namespace rfh
