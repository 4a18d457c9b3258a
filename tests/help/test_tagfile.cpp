// Reading containers: what opening refuses, finding entries, strings and
// their languages, entry streams, and when a container closes.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <cstring>
#include <string>

#include "help_test_support.h"

using namespace kelmard;
using htest::Container;
using htest::E;
using htest::Put32;

namespace {

class TagFileRead : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::string& bytes) {
        const std::string path = folder.File(name);
        EXPECT_TRUE(htest::WriteBytes(path, bytes));
        return path;
    }
    std::string Make(const std::string& name, const Container& c) { return Make(name, htest::Build(c)); }
    // Three topics and a second type; strings in several languages.
    static Container Sample() {
        Container c;
        c.entries = {E(FxTag(2, 1), "second type"), E(FxTag(1, 3), "topic three"),
                     E(FxTag(1, 5), std::string(100, 'x')), E(FxTag(1, 9), "")};
        for (int i = 0; i < 100; ++i) c.entries[2].data[i] = static_cast<char>('a' + i % 26);
        c.strings = {{FxTag(1, 3), 1031, "Drei"},  {FxTag(1, 3), 1033, "Three"},
                     {FxTag(1, 3), 1036, "Trois"}, {FxTag(1, 5), 1031, "Nur Deutsch"},
                     {FxTag(1, 5), 1036, "Seulement"}};
        return c;
    }
    htest::TempFolder folder;
};

// Every count, offset and size of the file is checked against the file.
TEST_F(TagFileRead, RefusesWhatIsNotAWholeContainer) {
    Container c = Sample();
    c.entries.insert(c.entries.begin(),
                     E(FxTag(0x8001, 1), htest::Pairs({{FxTag(1, 3), 2}, {FxTag(1, 5), 3}}), 2));
    const std::string good = htest::Build(c);
    const uint32_t size = static_cast<uint32_t>(good.size()), dataSize = size - htest::Get32(good, 20);
    struct Damage {
        const char* what;
        size_t offset;  // where `value` is put; past the end: the file is cut to `value` bytes
        uint32_t value;
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
    };
    FxTagFile file;
    for (const Damage& d : damages) {
        std::string bytes = good;
        if (d.offset < size)
            Put32(bytes, d.offset, d.value);
        else
            bytes.resize(d.value);
        EXPECT_EQ(file.Open(Make("damaged.rfh", bytes).c_str(), 1), 0) << d.what;
        EXPECT_EQ(file.GetError(), FXFILE_ERROR_INVALID_FILE) << d.what;
        EXPECT_FALSE(file.IsOpen()) << d.what;
    }
    // Nothing was left held: the same object opens the good file.
    ASSERT_EQ(file.Open(Make("good.rfh", good).c_str(), 0), 1);
    EXPECT_EQ(file.GetEntryCount(), 5u);

    FxTagFile missing;
    EXPECT_EQ(missing.Open(folder.File("none.rfh").c_str(), 0), 0);
    EXPECT_EQ(missing.GetError(), FXFILE_ERROR_FILE_NOT_FOUND);
    // A path with no room for the commit's ".TMP" name is refused, not cut.
    EXPECT_EQ(missing.Open(folder.File(std::string(kFxPathChars, 'a')).c_str(), 0), 0);
    EXPECT_EQ(missing.GetError(), FXFILE_ERROR_FILE_NOT_FOUND);
}

// A damaged string table fails the string operations, not the file.
TEST_F(TagFileRead, DamagedStringTableFailsOnlyItsOperations) {
    const std::string good = htest::Build(Sample());
    const uint32_t strings = htest::Get32(good, 20);  // the first record
    struct Damage {
        const char* what;
        size_t offset;
        char value;
    } const damages[] = {
        {"a record shorter than its header", strings + 4, 7},
        {"a record running past the table", strings + 5, 0x40},
        {"a text without its NUL", strings + 8 + 4, 'x'},
    };
    for (const Damage& d : damages) {
        std::string bytes = good;
        bytes[d.offset] = d.value;
        FxTagFile file;
        ASSERT_EQ(file.Open(Make("strings.rfh", bytes).c_str(), 1), 1) << d.what;
        char text[32] = "untouched";
        EXPECT_EQ(file.GetTagString(FxTag(1, 3), text, sizeof text, 1033), 0u) << d.what;
        EXPECT_EQ(file.GetError(), FXFILE_ERROR_INVALID_FILE) << d.what;
        EXPECT_STREQ(text, "untouched");
        EXPECT_EQ(file.SetTagString(FxTag(1, 3), "new", 1033), 0) << d.what;
        EXPECT_EQ(htest::ReadThroughLibrary(file).entries, Sample().entries) << d.what;
        EXPECT_EQ(file.Close(), 1) << d.what;
    }
}

TEST_F(TagFileRead, FindsEntriesByTypeOrByWholeTag) {
    FxTagFile file;
    ASSERT_EQ(file.Open(Make("find.rfh", Sample()).c_str(), 0), 1);
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
    EXPECT_EQ(file.Close(), 1);  // the failed opens counted nothing open
}

TEST_F(TagFileRead, StringsFallBackToEnglishThenToTheFirstStored) {
    FxTagFile file;
    ASSERT_EQ(file.Open(Make("strings.rfh", Sample()).c_str(), 0), 1);
    const struct {
        uint32_t id, language, length;
        const char* text;
    } reads[] = {
        {FxTag(1, 3), 1036, 6, "Trois"}, {FxTag(1, 3), 1040, 6, "Three"},  // no Italian
        {FxTag(1, 3), 0, 6, "Three"},                                     // the default
        {FxTag(1, 5), 1040, 12, "Nur Deutsch"},                           // no English
        {FxTag(1, 9), 1033, 0, "untouched"},
    };
    for (const auto& r : reads) {
        char text[32] = "untouched";
        EXPECT_EQ(file.GetTagString(r.id, text, sizeof text, r.language), r.length) << r.text;
        EXPECT_STREQ(text, r.text);
    }
    // A short buffer gets a cut, terminated text; a buffer of size 0 nothing.
    char small[8];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(file.GetTagString(FxTag(1, 5), small, 5, 1031), 12u);
    EXPECT_STREQ(small, "Nur ");
    EXPECT_EQ(small[5], '#');
    char guard[3] = {'#', '#', '#'};
    EXPECT_EQ(file.GetTagString(FxTag(1, 5), guard + 1, 0, 1031), 12u);
    EXPECT_EQ(guard[0], '#');
    EXPECT_EQ(guard[1], '#');
    // By position among the strings of an id, whatever the language.
    char text[32];
    EXPECT_EQ(file.GetTagStringAt(FxTag(1, 3), 2, text, sizeof text, 0), 6u);
    EXPECT_STREQ(text, "Trois");
    EXPECT_EQ(file.GetTagStringAt(FxTag(1, 3), 3, text, sizeof text, 0), 0u);
}

TEST_F(TagFileRead, EntryReadsAreCutAtTheEndAndFailPastIt) {
    FxTagFile file;
    ASSERT_EQ(file.Open(Make("read.rfh", Sample()).c_str(), 0), 1);
    FxTagStream stream;
    ASSERT_EQ(stream.Open(&file, 2, 0), 1);
    char buffer[64];
    EXPECT_EQ(stream.Read(buffer, 30), 30u);  // sequential reads advance
    EXPECT_EQ(stream.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "efgh");
    EXPECT_EQ(stream.ReadAt(90, buffer, 20), 10u);  // cut at the entry's end
    EXPECT_EQ(std::string(buffer, 10), "mnopqrstuv");
    EXPECT_EQ(stream.ReadAt(100, buffer, 5), 0u);  // at the end: nothing, no error
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_NONE);
    EXPECT_EQ(stream.ReadAt(101, buffer, 1), 0u);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_INVALID_OFFSET);
    EXPECT_EQ(stream.ReadAt(0xFFFFFFF0u, buffer, 0x20), 0u);  // position + size wraps
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_INVALID_OFFSET);
    EXPECT_EQ(stream.ReadAt(99, buffer, 0xFFFFFFFFu), 1u);
    // An entry opened for reading is not written.
    EXPECT_EQ(stream.WriteAt(0, "x", 1), 0u);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_READ_ONLY);
    EXPECT_EQ(stream.Close(), 1);
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

// Unchanged, read-only (also when the file cannot be opened for writing) or
// dropped with changes: the file is never written.
TEST_F(TagFileRead, UnchangedOrReadOnlyContainersAreNeverWritten) {
    const std::string path = Make("quiet.rfh", Sample());
    const std::string before = htest::ReadBytes(path);
    htest::TestFiles files;
    for (int writable = 0; writable <= 1; ++writable) {
        FxTagFile file;
        ASSERT_EQ(file.Open(path.c_str(), writable), 1);
        EXPECT_EQ(htest::ReadThroughLibrary(file), Sample());
        EXPECT_EQ(file.Close(), 1);
    }
    for (int refused = 0; refused <= 1; ++refused) {
        files.refuseWritable = refused != 0;
        FxTagFile file;
        ASSERT_EQ(file.Open(path.c_str(), refused), 1);
        EXPECT_TRUE(file.IsReadOnly());
        EXPECT_EQ(file.SetTagString(FxTag(1, 3), "changed", 1033), 0);
        EXPECT_EQ(file.GetError(), FXFILE_ERROR_READ_ONLY);
        EXPECT_EQ(file.CreateEntry(FxTag(4, 4), nullptr), -1);
        EXPECT_EQ(file.GetError(), FXFILE_ERROR_READ_ONLY);
        EXPECT_EQ(file.DeleteEntry(0), 0);
        FxTagStream stream;
        EXPECT_EQ(stream.Open(&file, 0, 1), 0);
        EXPECT_EQ(stream.GetError(), FXFILE_ERROR_READ_ONLY);
        char text[8];
        EXPECT_EQ(file.GetTagString(FxTag(1, 3), text, sizeof text, 1036), 6u);
        EXPECT_EQ(file.Close(), 1);
    }
    EXPECT_EQ(files.writableOpens, 2);
    files.refuseWritable = false;
    {
        FxTagFile dropped;  // destroyed with changes: nothing is committed
        ASSERT_EQ(dropped.Open(path.c_str(), 1), 1);
        EXPECT_EQ(dropped.SetTagString(FxTag(1, 3), "changed", 1033), 1);
    }
#if defined(_WIN32)
    // The real case: another program reads the file and lets others only read.
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    FxTagFile shared;
    EXPECT_EQ(shared.Open(path.c_str(), 1), 1);
    EXPECT_TRUE(shared.IsReadOnly());
    EXPECT_EQ(shared.Close(), 1);
    CloseHandle(reader);
#endif
    EXPECT_EQ(files.writes + files.creates + files.replaces, 0);
    EXPECT_EQ(htest::ReadBytes(path), before);
}

}  // namespace
