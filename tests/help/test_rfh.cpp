// rfh, the authoring tool: each command on real files, and what it says and
// answers for bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "help_test_support.h"
#include "owners/unique_owner.h"
#include "rfh.h"

using namespace kelmard;
using htest::Build;
using htest::E;
using htest::ReadBytes;

namespace {

using TopicFiles = std::vector<std::pair<std::string, std::string>>;  // name, contents
const char kIntro[] = "\\b Intro\\b0\\par {\\cf2 green} text \\{ \\}";

class Rfh : public ::testing::Test {
protected:
    // A command line, the exit code it must give, and a part of what it must print.
    struct Command {
        std::vector<std::string> args;
        int code;
        std::string says;
    };
    // Runs a command: its exit code, then what it printed (standard output, then errors).
    std::pair<int, std::string> Run(std::vector<std::string> args) {
        args.insert(args.begin(), "rfh");
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        int code = 0;
        {
            const UniqueCFile out(std::fopen(folder.File("out").c_str(), "wb"));
            const UniqueCFile err(std::fopen(folder.File("err").c_str(), "wb"));
            code = rfh::Run(static_cast<int>(argv.size()), argv.data(), out.get(), err.get());
        }
        return {code, ReadBytes(folder.File("out")) + ReadBytes(folder.File("err"))};
    }
    // Runs each; none leaves the help file's ".new" copy behind.
    void RunAll(const std::vector<Command>& commands) {
        for (const Command& k : commands) {
            const auto [code, said] = Run(k.args);
            EXPECT_EQ(code, k.code) << (k.args.empty() ? "" : k.args[0]) << " " << k.says;
            EXPECT_NE(said.find(k.says), std::string::npos) << said;
            EXPECT_FALSE(std::filesystem::exists(help + ".new")) << k.says;
        }
    }
    // A new topic folder with the files.
    std::string Topics(const TopicFiles& files) {
        const std::string dir = folder.File("topics" + std::to_string(folders++));
        std::filesystem::create_directory(dir);
        for (const auto& [file, contents] : files) EXPECT_TRUE(htest::WriteBytes(dir + "/" + file, contents));
        return dir;
    }
    htest::TempFolder folder;
    int folders = 0;
    const std::string help = folder.File("HELP.RFH");
    const TopicFiles goodTopics = {{"100-intro.rtf", kIntro},
                              {"101-cross-fade.rtf", "\\b Cross fade\\b0\\par"},
                              {"7.rtf", "seven"},
                              {"notes.md", "not a topic"},
                              {"strings.txt", "# titles\n100 1033 Introduction\r\n\n"
                                              "101 1033 Cross fade\n101 0x0407 Blende\n1:7 1033   Seven  \n"}};
};

TEST_F(Rfh, CreatesListsExtractsAndChanges) {
    const std::string body = folder.File("new.rtf"), extracted = folder.File("intro.rtf");
    ASSERT_TRUE(htest::WriteBytes(body, "short"));
    RunAll({{{"create", help, Topics(goodTopics)}, 0, "3 topics"},
            {{"list", help}, 0, "3 entries, 4 strings"},
            {{"list", help}, 0, "0x00010065"},
            {{"list", help}, 0, "\"Cross fade\""},
            {{"extract", help, "100", extracted}, 0, ""}});
    htest::Container expected;
    expected.entries = {E(FxTag(1, 7), "seven"), E(FxTag(1, 100), kIntro),
                        E(FxTag(1, 101), "\\b Cross fade\\b0\\par")};
    expected.strings = {{FxTag(1, 7), 1033, "Seven"}, {FxTag(1, 100), 1033, "Introduction"},
                        {FxTag(1, 101), 1033, "Cross fade"}, {FxTag(1, 101), 0x0407, "Blende"}};
    EXPECT_EQ(ReadBytes(help), Build(expected));
    EXPECT_EQ(ReadBytes(extracted), kIntro);
    EXPECT_EQ(Run({"extract", help, "0x00010007"}), std::make_pair(0, std::string("seven")));

    RunAll({{{"set-string", help, "100", "1036", "Introduction en francais"}, 0, ""},
            {{"set-string", help, "7", "1033", "Cross fade"}, 1, "stored already"},  // the text of 101
            {{"set-string", help, "555", "1033", "Nobody"}, 1, "no entry 0x0001022B"},
            {{"delete-string", help, "101", "1031"}, 0, ""},
            {{"delete-string", help, "101", "1031"}, 1, "no string"},
            {{"put", help, "100", body}, 0, ""},  // shorter than before
            {{"put", help, "3:4", body}, 0, ""},  // a new entry of another type
            {{"delete", help, "7"}, 0, ""},
            {{"delete", help, "7"}, 1, "no entry 0x00010007"}});
    expected.entries = {E(FxTag(3, 4), "short"), E(FxTag(1, 100), "short"), expected.entries[2]};
    expected.strings = {{FxTag(1, 100), 1033, "Introduction"}, {FxTag(1, 100), 1036, "Introduction en francais"},
                        {FxTag(1, 101), 1033, "Cross fade"}};  // "Seven" went with its entry
    EXPECT_EQ(ReadBytes(help), Build(expected));
}

TEST_F(Rfh, BadInputIsNamedAndLeavesFilesAlone) {
    ASSERT_EQ(Run({"create", help, Topics(goodTopics)}).first, 0);
    const std::string before = ReadBytes(help);
    ASSERT_TRUE(htest::WriteBytes(folder.File("text.rfh"), "just some text, not a help file"));
    ASSERT_TRUE(htest::WriteBytes(folder.File("odd.bin"), "12345"));
    RunAll({{{}, 2, "usage"},
            {{"frobnicate"}, 2, "unknown command"},
            {{"list"}, 2, "list takes FILE"},
            {{"extract", help, "seventy"}, 2, "\"seventy\" is not a tag"},
            {{"extract", help, "70000"}, 2, "is not a tag"},  // help IDs are 16 bits
            {{"set-string", help, "100", "0", "x"}, 2, "is not a language id"},
            {{"create", help, folder.File("missing")}, 1, "not a folder"},
            {{"list", folder.File("text.rfh")}, 1, "not a help file"},
            {{"list", folder.File("none.rfh")}, 1, "cannot open"},
            {{"put", help, "0x80010001", folder.File("odd.bin")}, 1, "8-byte pairs"},
            {{"create", help, Topics({{"intro.rtf", "x"}})}, 1, "starts with its help ID"},
            {{"create", help, Topics({{"0-zero.rtf", "x"}})}, 1, "starts with its help ID"},
            {{"create", help, Topics({{"5-a.rtf", "a"}, {"05-b.rtf", "b"}})}, 1, "both are topic 5"},
            {{"create", help, Topics({{"5.rtf", "{\\b bold"}})}, 1, "a group is not closed"},
            {{"create", help, Topics({{"5.rtf", "text}"}})}, 1, "a closing brace without its group"},
            {{"create", help, Topics({{"5.rtf", "{\\rtf1 x}"}})}, 1, "whole RTF document"},
            {{"create", help, Topics({{"5.rtf", "x"}, {"strings.txt", "5 1033 ok\n5 English\n"}})}, 1, "strings.txt:2"},
            {{"create", help, Topics({{"5.rtf", "x"}, {"strings.txt", "6 1033 Six\n"}})}, 1, "no entry 0x00010006"},
            {{"create", help, Topics({{"readme.txt", "x"}})}, 1, "no topics"}});
    EXPECT_EQ(ReadBytes(help), before);
}

}  // namespace
