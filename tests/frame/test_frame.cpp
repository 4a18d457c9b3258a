// The library frame: settings below the settings root, the installation
// folder, and the block shared by every process.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/frame.h"
#include "kelmard.h"
#include "support/processes.h"

namespace {

using namespace kelmard;
const std::string kRoot = QVR_SETTINGS_ROOT;

class Settings : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kRoot.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kRoot.c_str());
    }
};

// A user setting read of a value as another program (an installer, a user)
// stored it: 1 with the value in the buffer, or 0 with the default there.
TEST_F(Settings, ReadsTakeOnlyValuesOfTheirKindThatFit) {
    using namespace std::string_literals;
    const std::string number = "\x0D\xF0\xFE\xCA"s, twenty = "ABCDEFGHIJKLMNOPQRST"s + '\0';
    const struct { const char* what; DWORD storedType; std::string stored; DWORD type, size; bool withDefault; int result; }
        cases[] = {
            {"missing", REG_NONE, "", REG_DWORD, 4, true, 0},
            {"missing, without a default", REG_NONE, "", REG_DWORD, 4, false, 0},
            {"another type, with a default", REG_DWORD, number, REG_BINARY, 4, true, 0},
            {"another type read as bytes without a default", REG_DWORD, number, REG_BINARY, 4, false, 1},
            {"a string read takes strings only", REG_DWORD, number, REG_SZ, 20, false, 0},
            {"a string", REG_SZ, "OPENGL\0"s, REG_SZ, 20, false, 1},
            {"a string whose NUL does not fit", REG_SZ, twenty, REG_SZ, 20, false, 0},
            {"bytes stored without a NUL are no string", REG_BINARY, std::string(8, 'x'), REG_SZ, 20, false, 0},
            {"larger than the buffer", REG_BINARY, std::string(100, '\1'), REG_BINARY, 64, false, 0},
            {"larger than the buffer, with a default", REG_BINARY, std::string(100, '\1'), REG_BINARY, 64, true, 0},
        };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteTreeA(HKEY_CURRENT_USER, kRoot.c_str());
        if (c.storedType != REG_NONE) {
            ASSERT_TRUE(khost::WriteRegValue(HKEY_CURRENT_USER, kRoot, "Value", c.storedType, c.stored.data(),
                                             static_cast<DWORD>(c.stored.size())));
        }
        const std::string defaults(c.size, '\x5A');
        std::string buffer(c.size, '\xAB');
        EXPECT_EQ(ReadUserSetting(c.type, nullptr, "Value", &buffer[0], c.size,
                                  c.withDefault ? defaults.data() : nullptr),
                  c.result);
        const std::string expected = c.result        ? c.stored + buffer.substr(c.stored.size())
                                     : c.withDefault ? defaults
                                     : c.storedType == REG_NONE ? std::string(c.size, '\xAB')  // untouched
                                                                : buffer;
        EXPECT_EQ(buffer, expected);
    }
}

TEST_F(Settings, WriteCreatesItsSubKeyAndReadsBack) {
    BYTE block[64], back[64] = {};
    const BYTE def[64] = {};
    for (int i = 0; i < 64; ++i) block[i] = static_cast<BYTE>(i * 7 + 1);
    ASSERT_EQ(WriteUserSetting(REG_BINARY, "StageData", "OPENGL", block, sizeof block), 1);
    EXPECT_EQ(ReadUserSetting(REG_BINARY, "StageData", "OPENGL", back, sizeof back, def), 1);
    EXPECT_EQ(std::memcmp(back, block, sizeof block), 0);
    // Machine settings are separate: nothing there.
    EXPECT_EQ(ReadMachineSetting(REG_BINARY, "StageData", "OPENGL", back, sizeof back, def), 0);
}

TEST_F(Settings, InstallFolderAndPaths) {
    char path[kPathChars];
    EXPECT_FALSE(BuildInstallPath("\\Presets\\TvFormats.cfg", path));
    EXPECT_STREQ(path, "");
    ASSERT_TRUE(khost::WriteRegString(HKEY_LOCAL_MACHINE, kRoot, "DestDir", "C:\\Program Files\\Kelmard"));
    ASSERT_TRUE(BuildInstallPath("\\Stages\\OPENGL.DLL", path));
    EXPECT_STREQ(path, "C:\\Program Files\\Kelmard\\Stages\\OPENGL.DLL");
    // A folder whose paths would not fit 256 characters counts as missing.
    ASSERT_TRUE(khost::WriteRegString(HKEY_LOCAL_MACHINE, kRoot, "DestDir", "C:\\" + std::string(240, 'd')));
    char folder[kPathChars];
    EXPECT_TRUE(ReadInstallFolder(folder));
    EXPECT_FALSE(BuildInstallPath("\\Presets\\TvFormats.cfg", path));
    EXPECT_STREQ(path, "");
}

TEST(SharedBlock, UpdateIdIsOneWordForEveryProcess) {
    QVRUpdateID = 0x1234;
    EXPECT_EQ(ktest::Helper("updateid 0x4321").Wait(), 0x1234u);
    EXPECT_EQ(QVRUpdateID, 0x4321u);
}

}  // namespace
