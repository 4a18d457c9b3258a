// Reading containers: opening and what it refuses, finding entries, strings
// and their languages, entry streams, and when a container closes.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <cstring>
#include <string>

#include "help_test_support.h"

using namespace kelmard;
using htest::Container;
using htest::Entry;
using htest::Put32;

namespace {

Entry E(uint32_t tag, std::string data) {
    Entry e;
    e.tag = tag;
    e.data = std::move(data);
    return e;
}

class TagFileRead : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::string& bytes) {
        const std::string path = folder.File(name);
        EXPECT_TRUE(htest::WriteBytes(path, bytes));
        return path;
    }
    std::string Make(const std::string& name, const Container& c) {
        return Make(name, htest::Build(c));
    }
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

TEST_F(TagFileRead, RefusesWhatIsNotAContainer) {
    const std::string good = htest::Build(Sample());
    std::string magic = good;
    magic[3] = 'X';
    std::string recordSize = good;
    Put32(recordSize, 8, 32);
    std::string behindHeader = good;
    Put32(behindHeader, 4, 20);  // directory overlapping the header
    const std::string cases[] = {"", good.substr(0, 23), magic, recordSize, behindHeader};
    FxTagFile file;
    for (const std::string& bytes : cases) {
        EXPECT_EQ(file.Open(Make("bad.rfh", bytes).c_str(), 0), 0) << bytes.size();
        EXPECT_EQ(file.GetError(), FXFILE_ERROR_INVALID_FILE);
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(file.GetEntryCount(), 0u);
    }
    // Nothing was left held: the same object opens a good file.
    ASSERT_EQ(file.Open(Make("good.rfh", good).c_str(), 0), 1);
    EXPECT_EQ(file.GetEntryCount(), 4u);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_NONE);

    FxTagFile missing;
    EXPECT_EQ(missing.Open(folder.File("none.rfh").c_str(), 0), 0);
    EXPECT_EQ(missing.GetError(), FXFILE_ERROR_FILE_NOT_FOUND);
    // A path with no room for the commit's ".TMP" name is refused, not cut.
    const std::string longPath = folder.File(std::string(kFxPathChars, 'a'));
    EXPECT_EQ(missing.Open(longPath.c_str(), 0), 0);
    EXPECT_EQ(missing.GetError(), FXFILE_ERROR_FILE_NOT_FOUND);
}

// Every count, offset and size of the file is checked against the file.
TEST_F(TagFileRead, RefusesCountsAndOffsetsOutsideTheFile) {
    Container c = Sample();
    Entry list = E(FxTag(0x8001, 1), htest::Pairs({{FxTag(1, 3), 2}, {FxTag(1, 5), 3}}));
    list.attr[0] = 2;
    c.entries.insert(c.entries.begin(), list);
    const std::string good = htest::Build(c);
    const uint32_t dataStart = htest::Get32(good, 20);
    const uint32_t dataSize = static_cast<uint32_t>(good.size()) - dataStart;
    struct Damage {
        const char* what;
        size_t offset;
        uint32_t value;
    } const damages[] = {
        {"a directory that does not fit the file", 16, 1000},
        {"an entry count whose directory size wraps 32 bits", 16, 0x0924924A},
        {"the largest entry count", 16, 0xFFFFFFFF},
        {"a directory past the end", 4, static_cast<uint32_t>(good.size())},
        {"a directory offset that wraps", 4, 0xFFFFFFF0},
        {"a data area past the end", 20, static_cast<uint32_t>(good.size()) + 1},
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
        Put32(bytes, d.offset, d.value);
        EXPECT_EQ(file.Open(Make("damaged.rfh", bytes).c_str(), 1), 0) << d.what;
        EXPECT_EQ(file.GetError(), FXFILE_ERROR_INVALID_FILE) << d.what;
        EXPECT_FALSE(file.IsOpen()) << d.what;
    }
    ASSERT_EQ(file.Open(Make("good.rfh", good).c_str(), 0), 1);
    EXPECT_EQ(file.GetEntryCount(), 5u);
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
        // The entries still read.
        FxTagStream stream;
        ASSERT_EQ(stream.Open(&file, 1, 0), 1);
        char data[12] = {};
        EXPECT_EQ(stream.Read(data, 11), 11u);
        EXPECT_STREQ(data, "topic three");
        EXPECT_EQ(stream.Close(), 1);
        EXPECT_EQ(file.Close(), 1) << d.what;  // nothing changed: nothing written
        EXPECT_EQ(htest::ReadBytes(folder.File("strings.rfh")), bytes);
    }
}

TEST_F(TagFileRead, FindsEntriesByTypeOrByWholeTag) {
    FxTagFile file;
    ASSERT_EQ(file.Open(Make("find.rfh", Sample()).c_str(), 0), 1);
    EXPECT_EQ(file.FindEntry(0, FxTag(1, 0)), 1);  // the first of type 1, whatever its number
    EXPECT_EQ(file.FindEntry(0, FxTag(1, 5)), 2);  // only number 5
    EXPECT_EQ(file.FindEntry(2, FxTag(1, 0)), 2);  // from a start index on
    EXPECT_EQ(file.FindEntry(3, FxTag(1, 5)), -1);
    EXPECT_EQ(file.FindEntry(0, FxTag(1, 4)), -1);
    EXPECT_EQ(file.FindEntry(0, FxTag(3, 0)), -1);
    EXPECT_EQ(file.FindEntry(4, FxTag(1, 0)), -1);  // start past the last entry
    uint32_t tag = 7;
    EXPECT_EQ(file.GetEntryTag(&tag, 3), FxTag(1, 9));
    EXPECT_EQ(tag, FxTag(1, 9));
    EXPECT_EQ(file.GetEntryTag(&tag, 4), 0u);
    EXPECT_EQ(tag, 0u);
    EXPECT_EQ(file.Reserved(12), 0u);

    // FindEntry's -1 is no index: opening it fails instead of reading record -1.
    FxTagStream stream;
    EXPECT_EQ(stream.Open(&file, static_cast<uint32_t>(file.FindEntry(0, FxTag(1, 4))), 0), 0);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_INDEX_INVALID);
    EXPECT_EQ(stream.Open(&file, 4, 0), 0);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_INDEX_INVALID);
    EXPECT_EQ(file.Close(), 1);  // the failed opens counted nothing open
    EXPECT_EQ(stream.Open(&file, 0, 0), 0);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_NOT_INITIALIZED);
}

TEST_F(TagFileRead, StringsFallBackToEnglishThenToTheFirstStored) {
    FxTagFile file;
    ASSERT_EQ(file.Open(Make("strings.rfh", Sample()).c_str(), 0), 1);
    char text[32];
    EXPECT_EQ(file.GetTagString(FxTag(1, 3), text, sizeof text, 1036), 6u);
    EXPECT_STREQ(text, "Trois");
    EXPECT_EQ(file.GetTagString(FxTag(1, 3), text, sizeof text, 1040), 6u);  // no Italian
    EXPECT_STREQ(text, "Three");
    EXPECT_EQ(file.GetTagString(FxTag(1, 3), text, sizeof text, 0), 6u);  // the default
    EXPECT_STREQ(text, "Three");
    EXPECT_EQ(file.GetTagString(FxTag(1, 5), text, sizeof text, 1040), 12u);  // no English
    EXPECT_STREQ(text, "Nur Deutsch");
    EXPECT_EQ(file.GetTagString(FxTag(1, 9), text, sizeof text, 1033), 0u);
    EXPECT_EQ(file.GetTagString(FxTag(1, 5), nullptr, 0, 1036), 10u);  // the length only

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
    EXPECT_EQ(file.GetTagStringAt(FxTag(1, 3), 2, text, sizeof text, 0), 6u);
    EXPECT_STREQ(text, "Trois");
    EXPECT_EQ(file.GetTagStringAt(FxTag(1, 3), 3, text, sizeof text, 0), 0u);
    EXPECT_EQ(file.GetStringCount(), 5u);
}

TEST_F(TagFileRead, EntryReadsAreCutAtTheEndAndFailPastIt) {
    FxTagFile file;
    ASSERT_EQ(file.Open(Make("read.rfh", Sample()).c_str(), 0), 1);
    FxTagStream stream;
    ASSERT_EQ(stream.Open(&file, 2, 0), 1);
    EXPECT_EQ(stream.GetSize(), 100u);
    EXPECT_EQ(stream.GetTag(), FxTag(1, 5));
    char buffer[64];
    EXPECT_EQ(stream.Read(buffer, 30), 30u);  // sequential reads advance
    EXPECT_EQ(stream.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "efgh");
    EXPECT_EQ(stream.GetPosition(), 34u);
    EXPECT_EQ(stream.ReadAt(90, buffer, 20), 10u);  // cut at the entry's end
    EXPECT_EQ(std::string(buffer, 10), "mnopqrstuv");
    EXPECT_EQ(stream.GetPosition(), 100u);
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
    EXPECT_EQ(stream.SetAttribute(0, 1), 0);
    EXPECT_EQ(stream.Close(), 1);
    EXPECT_EQ(stream.Close(), 0);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_NOT_INITIALIZED);
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_NOT_INITIALIZED);

    // An empty entry reads nothing.
    ASSERT_EQ(stream.Open(&file, 3, 0), 1);
    EXPECT_EQ(stream.Read(buffer, 10), 0u);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_NONE);
    EXPECT_EQ(stream.Close(), 1);
}

TEST_F(TagFileRead, ClosesWhenTheLastUserCloses) {
    const std::string path = Make("close.rfh", Sample());
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    FxTagStream a, b;
    ASSERT_EQ(a.Open(&file, 1, 0), 1);
    ASSERT_EQ(b.Open(&file, 2, 0), 1);
    EXPECT_EQ(a.Open(&file, 0, 0), 0);  // one entry per stream at a time
    EXPECT_EQ(a.GetError(), FXFILE_ERROR_LINKED);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_LINKED);
    EXPECT_EQ(file.Close(), 0);  // asking again does not count twice
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_LINKED);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(a.Close(), 1);
    EXPECT_TRUE(file.IsOpen());
    char c;
    EXPECT_EQ(b.ReadAt(0, &c, 1), 1u);  // the other entry still reads
    EXPECT_EQ(c, 'a');
    EXPECT_EQ(b.Close(), 1);  // the last one closes the file
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_NOT_INITIALIZED);

    // A stream dropped while open still gives its entry back.
    ASSERT_EQ(file.Open(path.c_str(), 0), 1);
    {
        FxTagStream dropped;
        ASSERT_EQ(dropped.Open(&file, 0, 0), 1);
    }
    EXPECT_EQ(file.Close(), 1);
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(TagFileRead, UnchangedOrReadOnlyContainersAreNeverWritten) {
    const std::string path = Make("quiet.rfh", Sample());
    const std::string before = htest::ReadBytes(path);
    htest::TestFiles files;
    for (int writable = 0; writable <= 1; ++writable) {
        FxTagFile file;
        ASSERT_EQ(file.Open(path.c_str(), writable), 1);
        const Container read = htest::ReadThroughLibrary(file);
        EXPECT_EQ(read, Sample()) << htest::Describe(read);
        EXPECT_EQ(file.Close(), 1);
    }
    {
        FxTagFile file;
        ASSERT_EQ(file.Open(path.c_str(), 0), 1);
        EXPECT_EQ(file.SetTagString(FxTag(1, 3), "changed", 1033), 0);
        EXPECT_EQ(file.GetError(), FXFILE_ERROR_READ_ONLY);
        EXPECT_EQ(file.CreateEntry(FxTag(4, 4), nullptr), -1);
        EXPECT_EQ(file.GetError(), FXFILE_ERROR_READ_ONLY);
        EXPECT_EQ(file.DeleteEntry(0), 0);
        FxTagStream stream;
        EXPECT_EQ(stream.Open(&file, 0, 1), 0);
        EXPECT_EQ(stream.GetError(), FXFILE_ERROR_READ_ONLY);
        EXPECT_EQ(file.Close(), 1);
    }
    {
        FxTagFile dropped;  // destroyed with changes: nothing is committed
        ASSERT_EQ(dropped.Open(path.c_str(), 1), 1);
        EXPECT_EQ(dropped.SetTagString(FxTag(1, 3), "changed", 1033), 1);
    }
    EXPECT_EQ(files.writes, 0);
    EXPECT_EQ(files.creates, 0);
    EXPECT_EQ(files.replaces, 0);
    EXPECT_EQ(htest::ReadBytes(path), before);
}

// Another program may hold the file so that it cannot be opened for writing.
TEST_F(TagFileRead, OpensReadOnlyWhenTheFileCannotBeWritten) {
    const std::string path = Make("shared.rfh", Sample());
    htest::TestFiles files;
    files.refuseWritable = true;
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    EXPECT_TRUE(file.IsReadOnly());
    EXPECT_EQ(files.writableOpens, 1);
    EXPECT_EQ(file.CreateEntry(FxTag(4, 1), nullptr), -1);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_READ_ONLY);
    char text[8];
    EXPECT_EQ(file.GetTagString(FxTag(1, 3), text, sizeof text, 1036), 6u);
    EXPECT_EQ(file.Close(), 1);
#if defined(_WIN32)
    // The real case: another program reads the file and lets others only read.
    files.refuseWritable = false;
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    FxTagFile shared;
    EXPECT_EQ(shared.Open(path.c_str(), 1), 1);
    EXPECT_TRUE(shared.IsReadOnly());
    EXPECT_EQ(shared.SetTagString(FxTag(1, 3), "changed", 1033), 0);
    EXPECT_EQ(shared.GetError(), FXFILE_ERROR_READ_ONLY);
    EXPECT_EQ(shared.Close(), 1);
    CloseHandle(reader);
#endif
}

TEST(TagFileErrors, EveryCodeHasItsName) {
    FxTagFile file;
    char text[29];
    EXPECT_EQ(file.GetErrorText(0, text), 1);
    EXPECT_STREQ(text, "FXFILE_ERROR_NONE");
    EXPECT_EQ(file.GetErrorText(1, text), 1);  // the longest name fits 29 bytes
    EXPECT_STREQ(text, "FXFILE_ERROR_NOT_INITIALIZED");
    EXPECT_EQ(file.GetErrorText(14, text), 1);
    EXPECT_STREQ(text, "FXFILE_ERROR_LINKED");
    EXPECT_EQ(file.GetErrorText(15, text), 1);
    EXPECT_STREQ(text, "FXFILE_ERROR_UNKNOWN");
    EXPECT_EQ(file.GetErrorText(16, text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(file.GetEntryCount(), 0u);
    EXPECT_EQ(file.GetTagString(1, text, sizeof text, 0), 0u);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_NOT_INITIALIZED);
}

}  // namespace
