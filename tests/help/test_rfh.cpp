// rfh, the authoring tool: each command on real files, and what it says and
// answers for bad input.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "help_test_support.h"
#include "rfh.h"

using namespace kelmard;

namespace {

// A command line, the exit code it must give, and a part of the message it must print.
struct Command {
    std::vector<std::string> args;
    int code;
    const char* message;
};

class Rfh : public ::testing::Test {
protected:
    struct Result {
        int code;
        std::string out, err;
    };
    Result Run(std::vector<std::string> args) {
        args.insert(args.begin(), "rfh");
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        std::FILE* out = std::fopen(folder.File("out.txt").c_str(), "w+b");
        std::FILE* err = std::fopen(folder.File("err.txt").c_str(), "w+b");
        const int code = rfh::Run(static_cast<int>(argv.size()), argv.data(), out, err);
        std::fclose(out);
        std::fclose(err);
        return {code, htest::ReadBytes(folder.File("out.txt")), htest::ReadBytes(folder.File("err.txt"))};
    }
    template <size_t N>
    void RunAll(const Command (&commands)[N]) {
        for (const Command& k : commands) {
            const Result r = Run(k.args);
            EXPECT_EQ(r.code, k.code) << (k.args.empty() ? "" : k.args[0]) << " " << k.message;
            EXPECT_NE(r.err.find(k.message), std::string::npos) << r.err;
        }
    }
    // A topic folder: file name -> contents.
    std::string Topics(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files) {
        const std::string dir = folder.File(name);
        std::filesystem::create_directory(dir);
        for (const auto& f : files) EXPECT_TRUE(htest::WriteBytes(dir + "/" + f.first, f.second));
        return dir;
    }
    std::string GoodTopics() {
        return Topics("topics", {{"100-intro.rtf", "\\b Intro\\b0\\par {\\cf2 green} text \\{ \\}"},
                                 {"101-cross-fade.rtf", "\\b Cross fade\\b0\\par"},
                                 {"7.rtf", "seven"},
                                 {"notes.md", "not a topic"},
                                 {"strings.txt", "# titles\n100 1033 Introduction\r\n\n"
                                                 "101 1033 Cross fade\n101 0x0407 Blende\n"
                                                 "1:7 1033   Seven  \n"}});
    }
    htest::TempFolder folder;
};

TEST_F(Rfh, CreatesListsAndExtracts) {
    const std::string help = folder.File("HELP.RFH");
    Result r = Run({"create", help, GoodTopics()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("3 topics"), std::string::npos) << r.out;
    EXPECT_FALSE(htest::Exists(help + ".new"));

    htest::Container expected;
    expected.entries = {htest::E(FxTag(1, 7), "seven"),
                        htest::E(FxTag(1, 100), "\\b Intro\\b0\\par {\\cf2 green} text \\{ \\}"),
                        htest::E(FxTag(1, 101), "\\b Cross fade\\b0\\par")};
    expected.strings = {{FxTag(1, 7), 1033, "Seven"}, {FxTag(1, 100), 1033, "Introduction"},
                        {FxTag(1, 101), 1033, "Cross fade"}, {FxTag(1, 101), 0x0407, "Blende"}};
    EXPECT_EQ(htest::Committed(help), expected);

    r = Run({"list", help});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("3 entries, 4 strings"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0x00010065"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Cross fade\""), std::string::npos) << r.out;

    const std::string extracted = folder.File("intro.rtf");
    r = Run({"extract", help, "100", extracted});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(htest::ReadBytes(extracted), "\\b Intro\\b0\\par {\\cf2 green} text \\{ \\}");
    r = Run({"extract", help, "0x00010007"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "seven");
}

TEST_F(Rfh, ChangesStringsAndEntries) {
    const std::string help = folder.File("HELP.RFH"), body = folder.File("new.rtf");
    ASSERT_EQ(Run({"create", help, GoodTopics()}).code, 0);
    ASSERT_TRUE(htest::WriteBytes(body, "short"));
    const Command commands[] = {
        {{"set-string", help, "100", "1036", "Introduction en francais"}, 0, ""},
        {{"set-string", help, "7", "1033", "Cross fade"}, 1, "stored already"},  // the text of 101
        {{"set-string", help, "555", "1033", "Nobody"}, 1, "no entry 0x0001022B"},
        {{"delete-string", help, "101", "1031"}, 0, ""},
        {{"delete-string", help, "101", "1031"}, 1, "no string"},
        {{"put", help, "100", body}, 0, ""},  // shorter than before
        {{"put", help, "3:4", body}, 0, ""},  // a new entry of another type
        {{"delete", help, "7"}, 0, ""},
        {{"delete", help, "7"}, 1, "no entry 0x00010007"},
    };
    RunAll(commands);
    htest::Container expected;
    expected.entries = {htest::E(FxTag(3, 4), "short"), htest::E(FxTag(1, 100), "short"),
                        htest::E(FxTag(1, 101), "\\b Cross fade\\b0\\par")};
    expected.strings = {{FxTag(1, 100), 1033, "Introduction"}, {FxTag(1, 100), 1036, "Introduction en francais"},
                        {FxTag(1, 101), 1033, "Cross fade"}};  // "Seven" went with its entry
    EXPECT_EQ(htest::Committed(help), expected);
}

TEST_F(Rfh, BadInputIsNamedAndLeavesFilesAlone) {
    const std::string help = folder.File("HELP.RFH");
    ASSERT_EQ(Run({"create", help, GoodTopics()}).code, 0);
    const std::string before = htest::ReadBytes(help);
    ASSERT_TRUE(htest::WriteBytes(folder.File("text.rfh"), "just some text, not a help file"));
    ASSERT_TRUE(htest::WriteBytes(folder.File("odd.bin"), "12345"));

    const Command commands[] = {
        {{}, 2, ""},
        {{"frobnicate"}, 2, ""},
        {{"list"}, 2, ""},
        {{"extract", help, "seventy"}, 2, "\"seventy\" is not a tag"},
        {{"extract", help, "70000"}, 2, ""},  // help IDs are 16 bits
        {{"set-string", help, "100", "0", "x"}, 2, ""},
        {{"create", help, folder.File("missing")}, 1, "not a folder"},
        {{"list", folder.File("text.rfh")}, 1, "not a help file"},
        {{"list", folder.File("none.rfh")}, 1, "cannot open"},
        {{"put", help, "0x80010001", folder.File("odd.bin")}, 1, "8-byte pairs"},
    };
    RunAll(commands);

    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        const char* message;
    } folders[] = {
        {"no help ID", {{"intro.rtf", "x"}}, "starts with its help ID"},
        {"help ID 0", {{"0-zero.rtf", "x"}}, "starts with its help ID"},
        {"two files for one topic", {{"5-a.rtf", "a"}, {"05-b.rtf", "b"}}, "both are topic 5"},
        {"an open group", {{"5.rtf", "{\\b bold"}}, "a group is not closed"},
        {"a stray brace", {{"5.rtf", "text}"}}, "a closing brace without its group"},
        {"a whole document", {{"5.rtf", "{\\rtf1 x}"}}, "whole RTF document"},
        {"a bad strings line", {{"5.rtf", "x"}, {"strings.txt", "5 1033 ok\n5 English\n"}}, "strings.txt:2"},
        {"a string for no topic", {{"5.rtf", "x"}, {"strings.txt", "6 1033 Six\n"}}, "no entry 0x00010006"},
        {"no topics", {{"readme.txt", "x"}}, "no topics"},
    };
    int n = 0;
    for (const auto& k : folders) {
        const Result r = Run({"create", help, Topics("bad" + std::to_string(n++), k.files)});
        EXPECT_EQ(r.code, 1) << k.what;
        EXPECT_NE(r.err.find(k.message), std::string::npos) << k.what << ": " << r.err;
        EXPECT_FALSE(htest::Exists(help + ".new")) << k.what;
    }
    EXPECT_EQ(htest::ReadBytes(help), before);
}

}  // namespace
