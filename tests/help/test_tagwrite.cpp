// Changing containers: entry streams writing through their copies, new and
// deleted entries, strings, and the commit that rewrites the file, also when
// writes, the flush or the final replace fail at any point.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "help_test_support.h"

using namespace kelmard;
using htest::Container;
using htest::Entry;

namespace {

Entry E(uint32_t tag, std::string data, uint32_t attr0 = 0) {
    Entry e;
    e.tag = tag;
    e.data = std::move(data);
    e.attr[0] = attr0;
    return e;
}

std::string Pattern(size_t n, char first) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(first + i % 23);
    return s;
}

class TagFileWrite : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const Container& c) {
        const std::string path = folder.File(name);
        EXPECT_TRUE(htest::WriteBytes(path, htest::Build(c)));
        return path;
    }
    // The file at `path` as a committed container (a failure names the rule).
    Container Committed(const std::string& path) {
        Container c;
        std::string why;
        EXPECT_TRUE(htest::ParseCommitted(htest::ReadBytes(path), c, why)) << path << ": " << why;
        return c;
    }
    // Writes `data` into entry `index` at `position` through an entry stream.
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
    htest::TempFolder folder;
};

TEST_F(TagFileWrite, NewContainerCommitsSortedAndContiguous) {
    const std::string path = folder.File("new.rfh");
    FxTagFile file;
    ASSERT_EQ(file.Create(path.c_str()), 1);
    const uint32_t tags[] = {FxTag(1, 7), FxTag(5, 1), FxTag(1, 2), FxTag(0x8002, 1), FxTag(1, 3)};
    for (uint32_t tag : tags) {
        FxTagStream stream;
        ASSERT_EQ(stream.Create(&file, tag), 1);
        if (FxIsReferenceList(tag)) {
            const std::string pairs = htest::Pairs({{FxTag(1, 7), 0}, {FxTag(1, 3), 0}});
            ASSERT_EQ(stream.Write(pairs.data(), 16), 16u);
            ASSERT_EQ(stream.SetAttribute(0, 2), 1);
        } else {
            const std::string body = "body of " + std::to_string(tag);
            ASSERT_EQ(stream.Write(body.data(), static_cast<uint32_t>(body.size())), body.size());
            ASSERT_EQ(stream.SetAttribute(3, tag ^ 0x55), 1);
        }
        ASSERT_EQ(stream.Close(), 1);
    }
    ASSERT_EQ(file.SetTagString(FxTag(1, 7), "Seven", 0), 1);
    ASSERT_EQ(file.SetTagString(FxTag(1, 2), "Zwei", 1031), 1);
    ASSERT_EQ(file.SetTagString(FxTag(1, 2), "Two", 1033), 1);
    ASSERT_EQ(file.Close(), 1);

    const Container c = Committed(path);
    ASSERT_EQ(c.entries.size(), 5u) << htest::Describe(c);
    const uint32_t order[] = {FxTag(0x8002, 1), FxTag(5, 1), FxTag(1, 2), FxTag(1, 3), FxTag(1, 7)};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(c.entries[i].tag, order[i]) << i;
    EXPECT_EQ(c.entries[2].data, "body of " + std::to_string(FxTag(1, 2)));
    EXPECT_EQ(c.entries[2].attr[3], FxTag(1, 2) ^ 0x55);
    EXPECT_EQ(c.entries[0].data, htest::Pairs({{FxTag(1, 7), 4}, {FxTag(1, 3), 3}}));
    ASSERT_EQ(c.strings.size(), 3u);
    EXPECT_EQ(c.strings[0].text, "Zwei");  // same id: in the order they were added
    EXPECT_EQ(c.strings[1].text, "Two");
    EXPECT_EQ(c.strings[2].text, "Seven");
    EXPECT_EQ(c.strings[2].language, 1033u);
    EXPECT_FALSE(htest::Exists(folder.File("new.TMP")));
}

// A file from elsewhere: a gap before its directory, entries out of order, a
// deleted entry, strings out of order and one for no entry. The commit writes
// it by the rules (directory after the header, sorted, compacted).
TEST_F(TagFileWrite, CommitPutsAForeignFileInOrder) {
    Container c;
    c.entries = {E(FxTag(1, 1), "one"), E(FxTag(kFxDeletedType, 2), "deleted"), E(FxTag(2, 1), "two")};
    c.strings = {{FxTag(2, 1), 1033, "Two"}, {FxTag(1, 1), 1033, "One"}, {FxTag(9, 9), 1033, "orphan"}};
    std::string bytes = htest::Build(c);
    bytes.insert(24, 16, '\x5A');
    htest::Put32(bytes, 4, 40);
    htest::Put32(bytes, 20, htest::Get32(bytes, 20) + 16);
    const std::string path = folder.File("foreign.rfh");
    ASSERT_TRUE(htest::WriteBytes(path, bytes));
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    EXPECT_EQ(htest::ReadThroughLibrary(file), c);
    ASSERT_EQ(file.SetTagString(FxTag(1, 1), "Eins", 1031), 1);
    ASSERT_EQ(file.Close(), 1);

    Container expected;
    expected.entries = {E(FxTag(2, 1), "two"), E(FxTag(1, 1), "one")};
    expected.strings = {{FxTag(1, 1), 1031, "Eins"}, {FxTag(1, 1), 1033, "One"}, {FxTag(2, 1), 1033, "Two"}};
    EXPECT_EQ(Committed(path), expected);
}

TEST_F(TagFileWrite, CreateEntryRefusesATagThatExists) {
    FxTagFile file;
    ASSERT_EQ(file.Open(Make("exist.rfh", Sample()).c_str(), 1), 1);
    FxStream* data = nullptr;
    EXPECT_EQ(file.CreateEntry(FxTag(1, 2), &data), -1);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_TAG_EXIST);
    EXPECT_EQ(file.CreateEntry(FxTag(3, 0), &data), -1);  // number 0: any entry of the type
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_TAG_EXIST);
    EXPECT_EQ(file.CreateEntry(FxTag(kFxDeletedType, 1), &data), -1);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_CREATE_TAG);
    FxTagStream stream;
    EXPECT_EQ(stream.Create(&file, FxTag(1, 4)), 0);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_TAG_EXIST);
    EXPECT_EQ(file.GetEntryCount(), 3u);
    EXPECT_FALSE(file.IsModified());
    EXPECT_EQ(file.Close(), 1);  // the failures opened nothing
}

TEST_F(TagFileWrite, SetTagStringKeepsOneCopyOfEachText) {
    const std::string path = Make("strings.rfh", Sample());
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    // The same text in the same language is stored once, under whichever id.
    EXPECT_EQ(file.SetTagString(FxTag(3, 1), "Two", 1033), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_TAG_EXIST);
    EXPECT_EQ(file.SetTagString(FxTag(1, 2), "Two", 0), 0);
    EXPECT_EQ(file.GetStringCount(), 2u);
    EXPECT_FALSE(file.IsModified());
    EXPECT_EQ(file.SetTagString(FxTag(3, 1), "Two", 1031), 1);  // another language
    EXPECT_EQ(file.SetTagString(FxTag(1, 2), "Deux", 1036), 1);
    EXPECT_EQ(file.SetTagString(FxTag(1, 2), "Second", 1033), 1);  // replaces "Two"
    char text[16];
    EXPECT_EQ(file.GetTagString(FxTag(1, 2), text, sizeof text, 1033), 7u);
    EXPECT_STREQ(text, "Second");
    // Texts the 16-bit record length cannot hold are refused, the longest one kept.
    const std::string tooLong(kFxMaxStringText + 1, 'x');
    EXPECT_EQ(file.SetTagString(FxTag(1, 4), tooLong.c_str(), 1033), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_CREATE_TAG);
    const std::string longest(kFxMaxStringText, 'y');
    EXPECT_EQ(file.SetTagString(FxTag(1, 4), longest.c_str(), 1033), 1);
    EXPECT_EQ(file.SetTagString(FxTag(1, 4), nullptr, 1033), 0);
    EXPECT_EQ(file.DeleteTagString(FxTag(1, 2), 1036), 1);
    EXPECT_EQ(file.DeleteTagString(FxTag(1, 2), 1036), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_INDEX_INVALID);
    ASSERT_EQ(file.Close(), 1);

    const Container c = Committed(path);
    ASSERT_EQ(c.strings.size(), 3u) << htest::Describe(c);
    EXPECT_EQ(c.strings[0].id, FxTag(1, 2));
    EXPECT_EQ(c.strings[0].text, "Second");
    EXPECT_EQ(c.strings[1].text, longest);
    EXPECT_EQ(c.strings[2].id, FxTag(3, 1));
    EXPECT_EQ(c.strings[2].language, 1031u);
}

TEST_F(TagFileWrite, PartialWriteKeepsTheOtherBytes) {
    const std::string path = Make("partial.rfh", Sample());
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    WriteEntry(file, 1, 0, "0123456789");
    FxTagEntry record;
    ASSERT_TRUE(file.GetEntry(1, &record));
    EXPECT_EQ(record.size, 100u);
    ASSERT_EQ(file.Close(), 1);

    Container expected = Sample();  // already in directory order
    expected.entries[1].data.replace(0, 10, "0123456789");
    EXPECT_EQ(Committed(path), expected) << htest::Describe(Committed(path));
}

// Changed data goes past the end of what the file's own directory describes,
// so the file stays whole until the commit; the commit makes it contiguous.
TEST_F(TagFileWrite, GrownEntryMovesToTheEndAndTheCommitCloseTheGap) {
    const std::string path = Make("grow.rfh", Sample());
    const std::string before = htest::ReadBytes(path);
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    const uint32_t oldEnd = file.GetData()->GetSize();
    const std::string grown = Pattern(3000, 'k');
    WriteEntry(file, 1, 0, grown);
    FxTagEntry record;
    ASSERT_TRUE(file.GetEntry(1, &record));
    EXPECT_EQ(record.offset, oldEnd);
    EXPECT_EQ(record.size, 3000u);
    // Written again while it lies past the old end: it stays there, in place.
    WriteEntry(file, 1, 2990, "tail");
    ASSERT_TRUE(file.GetEntry(1, &record));
    EXPECT_EQ(record.offset, oldEnd);
    EXPECT_EQ(record.size, 3000u);
    // An entry that fits its old place still does not go back into it.
    WriteEntry(file, 2, 0, "short");
    ASSERT_TRUE(file.GetEntry(2, &record));
    EXPECT_EQ(record.offset, oldEnd + 3000);
    const std::string during = htest::ReadBytes(path);
    EXPECT_EQ(during.substr(0, before.size()), before);  // the old file is still whole
    ASSERT_EQ(file.Close(), 1);

    Container expected = Sample();
    expected.entries[1].data = grown;
    expected.entries[1].data.replace(2990, 4, "tail");
    expected.entries[2].data.replace(0, 5, "short");
    EXPECT_EQ(Committed(path), expected) << htest::Describe(Committed(path));
}

TEST_F(TagFileWrite, ReferenceListsLosePairsOfDeletedEntries) {
    Container c;
    for (uint32_t n = 1; n <= 5; ++n) c.entries.push_back(E(FxTag(1, n), "topic " + std::to_string(n)));
    c.entries.insert(c.entries.begin(),
                     E(FxTag(0x8001, 1),
                       htest::Pairs({{FxTag(1, 1), 1}, {FxTag(1, 2), 2}, {FxTag(1, 3), 3},
                                     {FxTag(1, 5), 5}, {FxTag(1, 4), 4}}),
                       5));
    c.strings = {{FxTag(1, 2), 1033, "gone with its entry"}, {FxTag(1, 4), 1033, "stays"}};
    const std::string path = Make("lists.rfh", c);
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    ASSERT_EQ(file.DeleteEntry(static_cast<uint32_t>(file.FindEntry(0, FxTag(1, 2)))), 1);
    ASSERT_EQ(file.DeleteEntry(static_cast<uint32_t>(file.FindEntry(0, FxTag(1, 3)))), 1);
    EXPECT_EQ(file.FindEntry(0, FxTag(1, 2)), -1);
    EXPECT_EQ(file.DeleteEntry(99), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_INDEX_INVALID);
    ASSERT_EQ(file.Close(), 1);

    const Container after = Committed(path);  // also checks every pair's index
    ASSERT_EQ(after.entries.size(), 4u) << htest::Describe(after);
    EXPECT_EQ(after.entries[0].attr[0], 3u);
    EXPECT_EQ(after.entries[0].data,
              htest::Pairs({{FxTag(1, 1), 1}, {FxTag(1, 5), 3}, {FxTag(1, 4), 2}}));
    ASSERT_EQ(after.strings.size(), 1u);
    EXPECT_EQ(after.strings[0].text, "stays");
}

TEST_F(TagFileWrite, ReferenceListsMustHoldTheirPairCount) {
    const std::string path = Make("count.rfh", Sample());
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    FxTagStream stream;
    ASSERT_EQ(stream.Create(&file, FxTag(0x9000, 1)), 1);
    const std::string pairs = htest::Pairs({{FxTag(1, 2), 0}});
    ASSERT_EQ(stream.Write(pairs.data(), 8), 8u);  // attribute 1 still says 0 pairs
    EXPECT_EQ(stream.Close(), 0);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_INVALID_FILE);
    ASSERT_EQ(file.Close(), 1);
    const Container c = Committed(path);  // the list stayed empty
    EXPECT_EQ(c.entries[0].tag, FxTag(0x9000, 1));
    EXPECT_EQ(c.entries[0].data, "");
}

TEST_F(TagFileWrite, CloseIsLinkedUntilTheChangedEntryCloses) {
    const std::string path = Make("linked.rfh", Sample());
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    FxTagStream stream;
    ASSERT_EQ(stream.Open(&file, 0, 1), 1);
    ASSERT_EQ(stream.WriteAt(60, "!", 1), 1u);  // past its end: it grows to 61 bytes
    EXPECT_EQ(stream.GetSize(), 61u);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.GetError(), FXFILE_ERROR_LINKED);
    EXPECT_EQ(htest::ReadBytes(path), htest::Build(Sample()));
    EXPECT_EQ(stream.Close(), 1);  // stores the entry, commits and closes
    EXPECT_FALSE(file.IsOpen());
    const Container c = Committed(path);
    EXPECT_EQ(c.entries[0].data.substr(0, 50), Pattern(50, 'A'));
    EXPECT_EQ(c.entries[0].data[60], '!');
}

TEST_F(TagFileWrite, TheNewFileIsWrittenUnderTheNameWithTMP) {
    htest::TestFiles files;
    struct Case {
        const char* folder;
        const char* name;
        const char* temp;
    } const cases[] = {
        {"plain", "HELP.RFH", "HELP.TMP"},
        {"dotted.dir", "NODOT", "NODOT.TMP"},  // the folder's dot is not the extension
        {"dotted.dir", "two.dots.rfh", "two.dots.TMP"},
        {"tmp", "SELF.TMP", "SELF.TMP.TMP"},  // never its own temporary file
    };
    for (const Case& k : cases) {
        const std::string dir = folder.File(k.folder);
        ASSERT_TRUE(htest::Exists(dir) || std::filesystem::create_directory(dir));
#if defined(_WIN32)
        const std::string path = dir + "\\" + k.name, temp = dir + "\\" + k.temp;
#else
        const std::string path = dir + "/" + k.name, temp = dir + "/" + k.temp;
#endif
        ASSERT_TRUE(htest::WriteBytes(path, htest::Build(Sample())));
        files.Reset();
        FxTagFile file;
        ASSERT_EQ(file.Open(path.c_str(), 1), 1);
        ASSERT_EQ(file.DeleteEntry(0), 1);
        ASSERT_EQ(file.Close(), 1) << k.name;
        ASSERT_EQ(files.replaced.size(), 1u);
        EXPECT_EQ(files.replaced[0].first, temp);
        EXPECT_EQ(files.replaced[0].second, path);
        EXPECT_FALSE(htest::Exists(temp));
        EXPECT_EQ(Committed(path).entries.size(), 2u);
        EXPECT_EQ(files.OpenFiles(), 0u);
    }
    EXPECT_EQ(files.badCloses, 0);  // the file closed by the commit is not closed again
}

TEST_F(TagFileWrite, NoTemporaryFileMeansNoCopy) {
    const std::string path = Make("notemp.rfh", Sample());
    htest::TestFiles files;
    files.failTemporary = true;
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    FxTagStream stream;
    EXPECT_EQ(stream.NewTempStream(), nullptr);
    EXPECT_EQ(stream.Create(&file, FxTag(7, 7)), 0);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_TMP_FILE);
    ASSERT_EQ(stream.Open(&file, 1, 1), 1);
    EXPECT_EQ(stream.WriteAt(0, "x", 1), 0u);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_TMP_FILE);
    EXPECT_EQ(stream.Close(), 1);
    EXPECT_EQ(file.GetEntryCount(), 3u);
    EXPECT_EQ(file.Close(), 1);
    EXPECT_EQ(files.writes, 0);
}

// Storing an entry back can fail part-way: the close says so, and neither the
// old file nor the container's view of the entry changes.
TEST_F(TagFileWrite, FailedStoreLeavesTheEntryAsItWas) {
    const std::string path = Make("store.rfh", Sample());
    const std::string before = htest::ReadBytes(path);
    htest::TestFiles files;
    FxTagFile file;
    ASSERT_EQ(file.Open(path.c_str(), 1), 1);
    FxTagStream stream;
    ASSERT_EQ(stream.Open(&file, 2, 1), 1);
    const std::string grown = Pattern(5000, 'q');
    ASSERT_EQ(stream.WriteAt(0, grown.data(), 5000), 5000u);
    files.Reset();
    files.failWrite = 3;  // the third 1024-byte chunk into the container
    EXPECT_EQ(stream.Close(), 0);
    EXPECT_EQ(stream.GetError(), FXFILE_ERROR_WRITE_FILE);
    EXPECT_EQ(htest::ReadBytes(path).substr(0, before.size()), before);
    FxTagEntry record;
    ASSERT_TRUE(file.GetEntry(2, &record));
    EXPECT_EQ(record.size, 2000u);
    files.Reset();
    ASSERT_EQ(file.Close(), 1);  // nothing else changed: nothing to commit
    EXPECT_EQ(files.replaces, 0);
    Container c;
    std::string why;
    ASSERT_TRUE(htest::ParseCommitted(htest::ReadBytes(path).substr(0, before.size()), c, why)) << why;
    EXPECT_EQ(c, Sample());
}

// The commit never leaves the user without a file: whichever write fails, or
// the flush, or the replace, and whether the program goes on or dies there,
// the path holds either all of the old container or all of the new one.
TEST_F(TagFileWrite, EveryFailureDuringTheCommitLeavesOldOrNew) {
    const std::string path = folder.File("faults.rfh");
    Container old = Sample();
    old.entries.insert(old.entries.begin(),
                       E(FxTag(0x8001, 1), htest::Pairs({{FxTag(1, 2), 2}, {FxTag(3, 1), 1}}), 2));
    const std::string oldBytes = htest::Build(old);
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

    htest::TestFiles files;
    ASSERT_TRUE(htest::WriteBytes(path, oldBytes));
    Container fresh;
    int commitWrites = 0;
    {
        FxTagFile file;
        change(file);
        files.Reset();
        ASSERT_EQ(file.Close(), 1);
        commitWrites = files.writes;
        EXPECT_EQ(files.flushes, 1);
        EXPECT_EQ(files.replaces, 1);
        fresh = Committed(path);
        ASSERT_EQ(fresh.entries.size(), 4u) << htest::Describe(fresh);
        EXPECT_EQ(fresh.entries[0].data, htest::Pairs({{FxTag(1, 2), 2}}));
    }
    ASSERT_GE(commitWrites, 6);

    enum Fault { kWrite, kFlush, kReplace };
    struct Run {
        Fault fault;
        int k;
        bool crash;
    };
    std::vector<Run> runs;
    for (int crash = 0; crash <= 1; ++crash) {
        for (int k = 1; k <= commitWrites; ++k) runs.push_back({kWrite, k, crash != 0});
        runs.push_back({kFlush, 0, crash != 0});
        runs.push_back({kReplace, 0, crash != 0});
    }
    for (const Run& run : runs) {
        SCOPED_TRACE(testing::Message() << (run.fault == kWrite ? "write " : run.fault == kFlush ? "flush" : "replace")
                                        << (run.k ? std::to_string(run.k) : "") << (run.crash ? ", dying there" : ""));
        ASSERT_TRUE(htest::WriteBytes(path, oldBytes));
        std::remove(folder.File("faults.TMP").c_str());
        auto file = std::make_unique<FxTagFile>();
        files.Reset();
        change(*file);
        files.Reset();
        files.crash = run.crash;
        files.failWrite = run.fault == kWrite ? run.k : 0;
        files.failFlush = run.fault == kFlush;
        files.failReplace = run.fault == kReplace;
        EXPECT_EQ(file->Close(), 0);
        const uint32_t error = file->GetError();
        EXPECT_TRUE(error == FXFILE_ERROR_WRITE_FILE || error == FXFILE_ERROR_TMP_FILE) << FxErrorName(error);
        EXPECT_TRUE(files.Crashed() == run.crash);
        files.Reset();
        // The old file: stored entries may have gone past its end, where its
        // own directory does not look; everything it describes is as it was.
        EXPECT_EQ(htest::ReadBytes(path).substr(0, oldBytes.size()), oldBytes);
        if (run.crash) {
            file.reset();  // the program is gone, and its handles with it
            FxTagFile reopened;
            ASSERT_EQ(reopened.Open(path.c_str(), 0), 1);
            EXPECT_EQ(htest::ReadThroughLibrary(reopened), old);
            reopened.Close();
            EXPECT_EQ(files.OpenFiles(), 0u);
            continue;
        }
        EXPECT_FALSE(htest::Exists(folder.File("faults.TMP")));
        // Still open and changed: closing again commits.
        EXPECT_TRUE(file->IsOpen());
        ASSERT_EQ(file->Close(), 1) << FxErrorName(file->GetError());
        EXPECT_EQ(Committed(path), fresh);
        EXPECT_EQ(files.OpenFiles(), 0u);  // every file closed, the temporary copies too
    }
    EXPECT_EQ(files.badCloses, 0);
}

}  // namespace
