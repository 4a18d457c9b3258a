// Containers through FxTagFile and FxTagStream: opening, finding, reading,
// changing, and the commit, also when any step of it fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "help_test_support.h"

using namespace kelmard;
using namespace htest;
namespace fs = std::filesystem;

namespace {

std::string Pattern(size_t n, char first) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(first + i % 23);
    return s;
}

class TagFileRead : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::string& bytes) {
        const std::string path = folder.File(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }
    std::string Make(const std::string& name, const Container& c) { return Make(name, Build(c)); }
    // Three topics and a second type; strings in several languages.
    static Container Sample() {
        Container c;
        c.entries = {E(FxTag(2, 1), "second type"), E(FxTag(1, 3), "topic three"),
                     E(FxTag(1, 5), Pattern(100, 'a')), E(FxTag(1, 9), "")};
        c.strings = {{FxTag(1, 3), 1031, "Drei"},  {FxTag(1, 3), 1033, "Three"},
                     {FxTag(1, 3), 1036, "Trois"}, {FxTag(1, 5), 1031, "Nur Deutsch"},
                     {FxTag(1, 5), 1036, "Seulement"}};
        return c;
    }
    TempFolder folder;
};

// Damaged counts, offsets and sizes refuse the file; a damaged string table only the strings.
TEST_F(TagFileRead, RefusesWhatIsNotAWholeContainer) {
    Container c = Sample();
    c.entries.insert(c.entries.begin(),
                     E(FxTag(0x8001, 1), Pairs({{FxTag(1, 3), 2}, {FxTag(1, 5), 3}}), 2));
    const std::string good = Build(c);
    const uint32_t size = static_cast<uint32_t>(good.size()), strings = Get32(good, 20),
                   dataSize = size - strings;  // the strings come first: "Drei" in 1031
    struct Damage {
        const char* what;
        size_t offset;  // where `value` is put; past the end: the file is cut to `value` bytes
        uint32_t value;
        bool opens;
    } const damages[] = {
        {"an empty file", ~size_t(0), 0},
        {"a short header", ~size_t(0), 23},
        {"the wrong magic", 0, 0x12345678},
        {"another record size", 8, 32},
        {"a directory overlapping the header", 4, 20},
        {"a directory that does not fit the file", 16, 1000},
        {"an entry count whose directory size wraps 32 bits", 16, 0x0924924A},
        {"the largest entry count", 16, 0xFFFFFFFF},
        {"a directory past the end", 4, size},
        {"a directory offset that wraps", 4, 0xFFFFFFF0},
        {"a data area past the end", 20, size + 1},
        {"a string table past the end", 12, dataSize + 1},
        {"a string table size that wraps", 12, 0xFFFFFFF0},
        {"an entry past the data area", 24 + 28 * 3 + 8, dataSize},
        {"an entry whose offset + size wraps", 24 + 28 * 3 + 4, 0xFFFFFFF0},
        {"a reference list with more pairs than data", 24 + 12, 3},
        {"a reference list with a pair count that wraps", 24 + 12, 0x20000002},
        {"a string record shorter than its header", strings + 4, 7 | 1031u << 16, true},
        {"a string record running past the table", strings + 4, 0x400D | 1031u << 16, true},
        {"a string without its NUL", strings + 9, 0x78696572, true},  // "Dreix"
    };
    FxTagFile file;
    for (const Damage& d : damages) {
        std::string bytes = good;
        if (d.offset < size)
            Put32(bytes, d.offset, d.value);
        else
            bytes.resize(d.value);
        ASSERT_EQ(file.Open(Make("damaged.rfh", bytes).c_str(), 1), d.opens ? 1 : 0) << d.what;
        char text[32];
        if (d.opens) {
            EXPECT_EQ(file.GetTagString(FxTag(1, 3), text, sizeof text, 1033), 0u) << d.what;
        }
        EXPECT_EQ(file.GetError(), FXFILE_ERROR_INVALID_FILE) << d.what;
        EXPECT_EQ(file.IsOpen(), d.opens) << d.what;
        if (!d.opens) continue;
        EXPECT_EQ(file.SetTagString(FxTag(1, 3), "new", 1033), 0) << d.what;
        EXPECT_EQ(ReadThroughLibrary(file), Build({c.entries, {}})) << d.what;
        EXPECT_EQ(file.Close(), 1) << d.what;
    }
    // Nothing was left held: the same object opens the good file.
    ASSERT_EQ(file.Open(Make("good.rfh", good).c_str(), 0), 1);
    EXPECT_EQ(file.GetEntryCount(), 5u);

    FxTagFile missing;
    EXPECT_EQ(missing.Open(folder.File("none.rfh").c_str(), 0), 0);
    EXPECT_EQ(missing.GetError(), FXFILE_ERROR_FILE_NOT_FOUND);
    // A path longer than a file name can be is refused, not cut.
    EXPECT_EQ(missing.Open(folder.File(std::string(kFxPathChars, 'a')).c_str(), 1), 0);
    EXPECT_EQ(missing.GetError(), FXFILE_ERROR_FILE_NOT_FOUND);
}

// Finds by type or tag; strings fall back to English, then the first; reads cut at the entry's end.
TEST_F(TagFileRead, FindsAndReadsEntriesAndStrings) {
    FxTagFile file;
    ASSERT_EQ(file.Open(Make("read.rfh", Sample()).c_str(), 0), 1);
    const struct {
        uint32_t start, tag;
        int32_t found;
    } finds[] = {
        {0, FxTag(1, 0), 1},  // the first of type 1, whatever its number
        {0, FxTag(1, 5), 2},  {2, FxTag(1, 0), 2},  {3, FxTag(1, 5), -1},
        {0, FxTag(1, 4), -1}, {0, FxTag(3, 0), -1}, {4, FxTag(1, 0), -1},
    };
    for (const auto& f : finds) EXPECT_EQ(file.FindEntry(f.start, f.tag), f.found) << f.start << " " << f.tag;

    // FindEntry's -1 is no index: opening it fails instead of reading record -1.
    FxTagStream stream;
    EXPECT_EQ(stream.Open(&file, static_cast<uint32_t>(file.FindEntry(0, FxTag(1, 4))), 0), 0);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_INDEX_INVALID);
    EXPECT_EQ(stream.Open(&file, 4, 0), 0);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_INDEX_INVALID);

    // The length whatever the buffer holds (a short one gets a cut, terminated text); At: the n-th of an id.
    const struct {
        uint32_t id, language, size, length;
        const char* text;
        int at;
    } reads[] = {
        {FxTag(1, 3), 1036, 32, 6, "Trois"}, {FxTag(1, 3), 1040, 32, 6, "Three"},  // no Italian
        {FxTag(1, 3), 0, 32, 6, "Three"},                                         // the default
        {FxTag(1, 5), 1040, 32, 12, "Nur Deutsch"},                               // no English
        {FxTag(1, 9), 1033, 32, 0, "untouched"},   {FxTag(1, 5), 1031, 5, 12, "Nur "},
        {FxTag(1, 5), 1031, 0, 12, "untouched"},   {FxTag(1, 3), 0, 32, 6, "Trois", 2},
        {FxTag(1, 3), 0, 32, 0, "untouched", 3},
    };
    for (const auto& r : reads) {
        char text[40] = "#untouched";
        EXPECT_EQ(r.at ? file.GetTagStringAt(r.id, static_cast<uint32_t>(r.at), text + 1, r.size, r.language)
                       : file.GetTagString(r.id, text + 1, r.size, r.language),
                  r.length)
            << r.text;
        EXPECT_STREQ(text + 1, r.text);
        EXPECT_EQ(text[0], '#');  // nothing before the buffer, nothing after its size
        if (r.size < 9) {
            EXPECT_STREQ(text + 1 + r.size, &"untouched"[r.size]);
        }
    }

    ASSERT_EQ(stream.Open(&file, 2, 0), 1);
    char buffer[64];
    EXPECT_EQ(stream.Read(buffer, 30), 30u);  // sequential reads advance
    EXPECT_EQ(stream.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "hijk");
    const struct {
        uint32_t at, size;
        std::string bytes;
        uint32_t error;
    } readsAt[] = {
        {90, 20, "vwabcdefgh", FXFILE_ERROR_NONE},  // cut at the entry's end
        {99, 0xFFFFFFFFu, "h", FXFILE_ERROR_NONE},
        {100, 5, "", FXFILE_ERROR_NONE},  // at the end: nothing, no error
        {101, 1, "", FXFILE_ERROR_INVALID_OFFSET},
        {0xFFFFFFF0u, 0x20, "", FXFILE_ERROR_INVALID_OFFSET},  // position + size wraps
    };
    for (const auto& r : readsAt) {
        EXPECT_EQ(std::string(buffer, stream.ReadAt(r.at, buffer, r.size)), r.bytes) << r.at;
        EXPECT_EQ(stream.GetError(), r.error) << r.at;
    }
    // An entry opened for reading is not written.
    EXPECT_EQ(stream.WriteAt(0, "x", 1), 0u);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_READ_ONLY);
    EXPECT_EQ(stream.Close(), 1);
    EXPECT_EQ(file.Close(), 1);  // the failed opens counted nothing open
}

TEST_F(TagFileRead, ClosesWhenTheLastUserCloses) {
    const std::string path = Make("close.rfh", Sample());
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    FxTagStream a, b;
    ASSERT_EQ(a.Open(&file, 1, 0), 1);
    ASSERT_EQ(b.Open(&file, 2, 0), 1);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_LINKED);
    EXPECT_EQ(file.Close(), 0);  // asking again does not count twice
    EXPECT_EQ(a.Close(), 1);
    EXPECT_TRUE(file.IsOpen());
    char c;
    EXPECT_EQ(b.ReadAt(0, &c, 1), 1u);  // the other entry still reads
    EXPECT_EQ(c, 'a');
    EXPECT_EQ(b.Close(), 1);  // the last one closes the file
    EXPECT_FALSE(file.IsOpen());

    // A stream dropped while open still gives its entry back.
    ASSERT_EQ(file.Open(path.c_str(), 0), 1);
    {
        FxTagStream dropped;
        ASSERT_EQ(dropped.Open(&file, 0, 0), 1);
    }
    EXPECT_EQ(file.Close(), 1);
    EXPECT_FALSE(file.IsOpen());
}

// Unchanged, read-only (also when refused writing, or a 256-259-character path
// has no room for ".TMP") or dropped with changes: the file is never written.
TEST_F(TagFileRead, UnchangedOrReadOnlyContainersAreNeverWritten) {
    const std::string path = Make("quiet.rfh", Sample());
    const std::string before = ReadBytes(path);
    const std::string deep = folder.File(std::string(150, 'd'));
    ASSERT_TRUE(fs::create_directory(deep));
    std::string longPaths[2];
    for (size_t n : {256, 259}) {
        std::string& p = longPaths[n == 259];
        p = (fs::path(deep) / std::string(n - deep.size() - 1, 'f')).string();
        ASSERT_EQ(p.size(), n);
        ASSERT_TRUE(WriteBytes(p, before));
    }
    TestFiles files;
    for (int mode = 0; mode < 5; ++mode) {  // read-only, writable, writable refused, long paths
        files.refuseWritable = mode == 2;
        FxTagFile file;
        ASSERT_EQ(file.Open((mode < 3 ? path : longPaths[mode - 3]).c_str(), mode > 0), 1);
        EXPECT_EQ(ReadThroughLibrary(file), Build(Sample()));
        EXPECT_EQ(file.IsReadOnly(), mode != 1);
        if (mode != 1) {
            EXPECT_EQ(file.SetTagString(FxTag(1, 3), "changed", 1033), 0);
            EXPECT_EQ(file.GetError(), FXFILE_ERROR_READ_ONLY);
            EXPECT_EQ(file.CreateEntry(FxTag(4, 4), nullptr), -1);
            EXPECT_EQ(file.GetError(), FXFILE_ERROR_READ_ONLY);
            EXPECT_EQ(file.DeleteEntry(0), 0);
            FxTagStream stream;
            EXPECT_EQ(stream.Open(&file, 0, 1), 0);
            EXPECT_EQ(stream.GetError(), FXFILE_ERROR_READ_ONLY);
        }
        EXPECT_EQ(file.Close(), 1);
    }
    EXPECT_EQ(files.writableOpens, 2);
    files.refuseWritable = false;
    {
        FxTagFile dropped;  // destroyed with changes: nothing is committed
        ASSERT_EQ(dropped.Open(path.c_str(), 1), 1);
        EXPECT_EQ(dropped.SetTagString(FxTag(1, 3), "changed", 1033), 1);
    }
    EXPECT_EQ(files.writes + files.creates + files.replaces, 0);
    for (const std::string& p : {path, longPaths[0], longPaths[1]}) EXPECT_EQ(ReadBytes(p), before);
}

class TagFileWrite : public TagFileRead {
protected:
    static void WriteEntry(FxTagFile& file, uint32_t index, uint32_t position, const std::string& data) {
        FxTagStream stream;
        ASSERT_EQ(stream.Open(&file, index, 1), 1);
        ASSERT_EQ(stream.WriteAt(position, data.data(), static_cast<uint32_t>(data.size())), data.size());
        ASSERT_EQ(stream.Close(), 1) << FxErrorName(stream.GetError());
    }
    static Container Sample() {
        Container c;
        c.entries = {E(FxTag(3, 1), Pattern(50, 'A')), E(FxTag(1, 2), Pattern(100, 'a')),
                     E(FxTag(1, 4), Pattern(2000, '0'))};
        c.strings = {{FxTag(1, 2), 1033, "Two"}, {FxTag(1, 4), 1033, "Four"}};
        return c;
    }
};

// A foreign file (gap, unsorted, deleted entry, orphan string) is committed in
// order; entries deleted meanwhile take their strings and reference pairs along.
TEST_F(TagFileWrite, CommitPutsAForeignFileInOrder) {
    Container c;
    c.entries = {E(FxTag(1, 1), "one"), E(FxTag(kFxDeletedType, 2), "deleted"), E(FxTag(2, 1), "two"),
                 E(FxTag(1, 3), "three"), E(FxTag(1, 4), "four"),
                 E(FxTag(0x8001, 1), Pairs({{FxTag(1, 1), 0}, {FxTag(1, 3), 3}, {FxTag(2, 1), 2},
                                                   {FxTag(1, 4), 4}}), 4)};
    c.strings = {{FxTag(2, 1), 1033, "Two"}, {FxTag(1, 3), 1033, "gone with its entry"},
                 {FxTag(1, 1), 1033, "One"}, {FxTag(9, 9), 1033, "orphan"}};
    std::string bytes = Build(c);
    bytes.insert(24, 16, '\x5A');
    Put32(bytes, 4, 40);
    Put32(bytes, 20, Get32(bytes, 20) + 16);
    const std::string path = folder.File("foreign.rfh");
    ASSERT_TRUE(WriteBytes(path, bytes));
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    EXPECT_EQ(ReadThroughLibrary(file), Build(c));
    ASSERT_EQ(file.SetTagString(FxTag(1, 1), "Eins", 1031), 1);
    ASSERT_EQ(file.DeleteEntry(static_cast<uint32_t>(file.FindEntry(0, FxTag(1, 3)))), 1);
    ASSERT_EQ(file.Close(), 1);

    Container expected;
    expected.entries = {E(FxTag(0x8001, 1), Pairs({{FxTag(1, 1), 2}, {FxTag(2, 1), 1}, {FxTag(1, 4), 3}}), 3),
                        E(FxTag(2, 1), "two"), E(FxTag(1, 1), "one"), E(FxTag(1, 4), "four")};
    expected.strings = {{FxTag(1, 1), 1031, "Eins"}, {FxTag(1, 1), 1033, "One"}, {FxTag(2, 1), 1033, "Two"}};
    EXPECT_EQ(ReadBytes(path), Build(expected));
}

// Existing tags are not created again, a text is stored once per language, overlong texts refused.
TEST_F(TagFileWrite, RefusesTagsThatExistAndTextsStoredAlready) {
    const std::string path = Make("strings.rfh", Sample());
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    const std::pair<uint32_t, uint32_t> refused[] = {
        {FxTag(1, 2), FXFILE_ERROR_TAG_EXIST},
        {FxTag(3, 0), FXFILE_ERROR_TAG_EXIST},  // number 0: any entry of the type
        {FxTag(kFxDeletedType, 1), FXFILE_ERROR_CREATE_TAG},
    };
    for (const auto& [tag, error] : refused) {
        FxStream* data = nullptr;
        EXPECT_EQ(file.CreateEntry(tag, &data), -1) << tag;
        EXPECT_EQ(file.GetError(), error) << tag;
    }
    EXPECT_EQ(file.SetTagString(FxTag(3, 1), "Two", 1033), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_TAG_EXIST);
    EXPECT_EQ(file.SetTagString(FxTag(1, 2), "Two", 0), 0);
    EXPECT_FALSE(file.IsModified());
    EXPECT_EQ(file.SetTagString(FxTag(3, 1), "Two", 1031), 1);     // another language
    EXPECT_EQ(file.SetTagString(FxTag(1, 2), "Second", 1033), 1);  // replaces "Two"
    const std::string tooLong(kFxMaxStringText + 1, 'x'), longest(kFxMaxStringText, 'y');
    EXPECT_EQ(file.SetTagString(FxTag(1, 4), tooLong.c_str(), 1033), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_CREATE_TAG);
    EXPECT_EQ(file.SetTagString(FxTag(1, 4), longest.c_str(), 1033), 1);
    ASSERT_EQ(file.Close(), 1);  // the failures opened nothing
    Container expected = Sample();
    expected.strings = {{FxTag(1, 2), 1033, "Second"}, {FxTag(1, 4), 1033, longest}, {FxTag(3, 1), 1031, "Two"}};
    EXPECT_EQ(ReadBytes(path), Build(expected));
}

// A partial write keeps the entry's other bytes; one past the end grows the
// entry. The old file stays whole until the commit, which makes it contiguous.
TEST_F(TagFileWrite, WritesKeepTheOtherBytesAndGrownEntriesMoveToTheEnd) {
    const std::string path = Make("grow.rfh", Sample());
    const std::string before = ReadBytes(path);
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    const std::string grown = Pattern(3000, 'k');
    WriteEntry(file, 0, 0, "0123456789");
    WriteEntry(file, 0, 60, "!");  // past its end: it grows to 61 bytes
    WriteEntry(file, 1, 0, grown);
    WriteEntry(file, 1, 2990, "tail");
    WriteEntry(file, 2, 0, "short");
    EXPECT_EQ(ReadBytes(path).substr(0, before.size()), before);  // the old file is still whole
    ASSERT_EQ(file.Close(), 1);

    Container expected = Sample();  // already in directory order
    expected.entries[0].data.replace(0, 10, "0123456789");
    expected.entries[0].data += std::string(10, '\0') + "!";
    expected.entries[1].data = grown.substr(0, 2990) + "tail" + grown.substr(2994);
    expected.entries[2].data.replace(0, 5, "short");
    EXPECT_EQ(ReadBytes(path), Build(expected));
}

TEST_F(TagFileWrite, TheNewFileIsWrittenUnderTheNameWithTMP) {
    TestFiles files;
    Container expected = Sample();
    expected.entries.erase(expected.entries.begin());
    const struct {
        const char *folder, *name, *temp;
    } cases[] = {
        {"plain", "HELP.RFH", "HELP.TMP"},
        {"dotted.dir", "NODOT", "NODOT.TMP"},  // the folder's dot is not the extension
        {"dotted.dir", "two.dots.rfh", "two.dots.TMP"},
        {"tmp", "SELF.TMP", "SELF.TMP.TMP"},  // never its own temporary file
    };
    for (const auto& k : cases) {
        const std::string dir = folder.File(k.folder);
        fs::create_directory(dir);
        const std::string path = (fs::path(dir) / k.name).string(), temp = (fs::path(dir) / k.temp).string();
        ASSERT_TRUE(WriteBytes(path, Build(Sample())));
        files.Reset();
        FxTagFile file;
        ASSERT_EQ(file.Open(path.c_str(), 1), 1);
        ASSERT_EQ(file.DeleteEntry(0), 1);
        ASSERT_EQ(file.Close(), 1) << k.name;
        ASSERT_EQ(files.replaced.size(), 1u);
        EXPECT_EQ(files.replaced[0], std::make_pair(temp, path));
        EXPECT_FALSE(fs::exists(temp));
        EXPECT_EQ(ReadBytes(path), Build(expected));
    }
}

// An entry whose store fails stays open with its changes, so nothing commits
// without them (even as the last one open); closing it again stores it.
TEST_F(TagFileWrite, FailedStoreKeepsTheEntryOpenUntilItIsStored) {
    const std::string path = Make("store.rfh", Sample());
    const std::string before = ReadBytes(path);
    TestFiles files;
    const uint32_t size = (1u << 20) + 5000;  // two pieces of the copy
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    FxTagStream grown, created;
    ASSERT_EQ(grown.Open(&file, 2, 1), 1);
    ASSERT_EQ(grown.WriteAt(0, Pattern(size, 'q').data(), size), size);
    ASSERT_EQ(created.Create(&file, FxTag(2, 9)), 1);
    ASSERT_EQ(created.Write("created", 7), 7u);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_LINKED);
    files.Reset();
    files.failWrite = 2;  // the second piece into the container
    EXPECT_EQ(grown.Close(), 0);
    EXPECT_EQ(grown.GetError(), FXFILE_ERROR_WRITE_FILE);
    FxTagEntry record;
    ASSERT_TRUE(file.GetEntry(2, &record));
    EXPECT_EQ(record.size, 2000u);
    files.Reset();
    files.failWrite = 1;
    EXPECT_EQ(created.Close(), 0);  // the last entry open
    EXPECT_EQ(created.GetError(), FXFILE_ERROR_WRITE_FILE);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_LINKED);
    EXPECT_EQ(files.creates + files.replaces, 0);
    EXPECT_EQ(ReadBytes(path).substr(0, before.size()), before);

    files.Reset();
    EXPECT_EQ(grown.Close(), 1);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(created.Close(), 1) << FxErrorName(created.GetError());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(files.replaces, 1);
    Container expected = Sample();
    expected.entries[2].data = Pattern(size, 'q');
    expected.entries.insert(expected.entries.begin() + 1, E(FxTag(2, 9), "created"));
    EXPECT_EQ(ReadBytes(path), Build(expected));
    EXPECT_EQ(files.OpenFiles(), 0u);
}

// Whichever write, flush or replace fails, going on or dying there, the path
// holds all of the old container or all of the new one.
TEST_F(TagFileWrite, EveryFailureDuringTheCommitLeavesOldOrNew) {
    const std::string path = folder.File("faults.rfh");
    Container old = Sample();
    old.entries.insert(old.entries.begin(),
                       E(FxTag(0x8001, 1), Pairs({{FxTag(1, 2), 2}, {FxTag(3, 1), 1}}), 2));
    const std::string oldBytes = Build(old);
    Container expected = old;  // the list keeps the pair of (1, 2), now at index 2
    expected.entries = {E(FxTag(0x8001, 1), Pairs({{FxTag(1, 2), 2}}), 1), E(FxTag(2, 9), "created"),
                        E(FxTag(1, 2), Pattern(2500, 'g')), old.entries[3]};
    expected.entries[3].data.replace(1990, 10, "0123456789");
    expected.strings.push_back({FxTag(2, 9), 1033, "Nine"});
    const std::string fresh = Build(expected);
    // The changes: a grown entry, a partial write, a new entry, a deleted one, a string.
    auto change = [&](FxTagFile& file) {
        ASSERT_EQ(file.Open(path.c_str(), 1), 1);
        WriteEntry(file, static_cast<uint32_t>(file.FindEntry(0, FxTag(1, 2))), 0, Pattern(2500, 'g'));
        WriteEntry(file, static_cast<uint32_t>(file.FindEntry(0, FxTag(1, 4))), 1990, "0123456789");
        ASSERT_EQ(file.DeleteEntry(static_cast<uint32_t>(file.FindEntry(0, FxTag(3, 1)))), 1);
        FxTagStream created;
        ASSERT_EQ(created.Create(&file, FxTag(2, 9)), 1);
        ASSERT_EQ(created.Write("created", 7), 7u);
        ASSERT_EQ(created.Close(), 1);
        ASSERT_EQ(file.SetTagString(FxTag(2, 9), "Nine", 1033), 1);
    };

    TestFiles files;
    ASSERT_TRUE(WriteBytes(path, oldBytes));
    int commitWrites = 0;
    {
        FxTagFile file;
        change(file);
        files.Reset();
        ASSERT_EQ(file.Close(), 1);
        commitWrites = files.writes;
        EXPECT_EQ(files.flushes, 1);
        EXPECT_EQ(files.replaces, 1);
        ASSERT_EQ(ReadBytes(path), fresh);
    }
    // Each piece is one write through the layer: header, directory, strings,
    // the fixed list, the new entry, and the 2500 and 2000 bytes stored one
    // after the other, copied as one run.
    ASSERT_EQ(commitWrites, 1 + 1 + 1 + 1 + 1 + 1);

    // The k-th write for every k, then the flush, then the replace.
    for (int crash = 0; crash <= 1; ++crash)
        for (int k = 1; k <= commitWrites + 2; ++k) {
            const bool flush = k == commitWrites + 1, replace = k == commitWrites + 2;
            SCOPED_TRACE(testing::Message() << (flush ? "flush" : replace ? "replace" : "write ")
                                            << (flush || replace ? "" : std::to_string(k))
                                            << (crash ? ", dying there" : ""));
            ASSERT_TRUE(WriteBytes(path, oldBytes));
            std::remove(folder.File("faults.TMP").c_str());
            auto file = std::make_unique<FxTagFile>();
            change(*file);
            files.Reset();
            files.crash = crash != 0;
            files.failWrite = flush || replace ? 0 : k;
            files.failFlush = flush;
            files.failReplace = replace;
            EXPECT_EQ(file->Close(), 0);
            const uint32_t error = file->GetError();
            EXPECT_TRUE(error == FXFILE_ERROR_WRITE_FILE || error == FXFILE_ERROR_TMP_FILE) << FxErrorName(error);
            EXPECT_EQ(files.Crashed(), crash != 0);
            files.Reset();
            // Everything the old file describes is as it was.
            EXPECT_EQ(ReadBytes(path).substr(0, oldBytes.size()), oldBytes);
            if (crash) {
                file.reset();  // the program is gone, and its handles with it
                FxTagFile reopened;
                ASSERT_EQ(reopened.Open(path.c_str(), 0), 1);
                EXPECT_EQ(ReadThroughLibrary(reopened), oldBytes);
                reopened.Close();
            } else {
                EXPECT_FALSE(fs::exists(folder.File("faults.TMP")));
                // Still open and changed: closing again commits.
                ASSERT_EQ(file->Close(), 1) << FxErrorName(file->GetError());
                EXPECT_EQ(ReadBytes(path), fresh);
            }
            EXPECT_EQ(files.OpenFiles(), 0u);  // every file closed, the temporary copies too
        }
    EXPECT_EQ(files.badCloses, 0);
}

}  // namespace
