// The library frame: settings below the settings root, the installation
// folder, and the block shared by every process.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/frame.h"
#include "kelmard.h"
#include "support/processes.h"

namespace {

const char kRoot[] = QVR_SETTINGS_ROOT;

void DeleteTree(HKEY hive) { RegDeleteTreeA(hive, kRoot); }

// Writes a value the way another program (an installer, a user) would.
void Put(HKEY hive, const char* subKey, const char* name, DWORD type, const void* data,
         DWORD size) {
    std::string path = kRoot;
    if (subKey) path += std::string("\\") + subKey;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree(HKEY_CURRENT_USER);
        DeleteTree(HKEY_LOCAL_MACHINE);
    }
    void TearDown() override {
        DeleteTree(HKEY_CURRENT_USER);
        DeleteTree(HKEY_LOCAL_MACHINE);
    }
};

TEST_F(Settings, MissingKeyKeepsTheDefaultOrLeavesTheBufferAlone) {
    const DWORD def = 0x11223344;
    DWORD value = 0;
    EXPECT_EQ(kelmard::ReadUserSetting(REG_DWORD, "Nowhere", "Value", &value, sizeof value, &def), 0);
    EXPECT_EQ(value, def);
    value = 0xAAAA;
    EXPECT_EQ(kelmard::ReadUserSetting(REG_DWORD, nullptr, "Value", &value, sizeof value, nullptr), 0);
    EXPECT_EQ(value, 0xAAAAu);
}

TEST_F(Settings, WriteCreatesItsSubKeyAndReadsBack) {
    BYTE block[64];
    for (int i = 0; i < 64; ++i) block[i] = static_cast<BYTE>(i * 7 + 1);
    ASSERT_EQ(kelmard::WriteUserSetting(REG_BINARY, "StageData", "OPENGL", block, sizeof block), 1);
    BYTE back[64] = {};
    const BYTE def[64] = {};
    EXPECT_EQ(kelmard::ReadUserSetting(REG_BINARY, "StageData", "OPENGL", back, sizeof back, def), 1);
    EXPECT_EQ(std::memcmp(back, block, sizeof block), 0);
    // Machine settings are separate: nothing there.
    EXPECT_EQ(kelmard::ReadMachineSetting(REG_BINARY, "StageData", "OPENGL", back, sizeof back, def), 0);
}

TEST_F(Settings, AnotherRegistryType) {
    const DWORD stored = 0xCAFEF00D;
    Put(HKEY_CURRENT_USER, nullptr, "Number", REG_DWORD, &stored, sizeof stored);
    // With a default, the type must match: the default comes back.
    const BYTE def[4] = {9, 9, 9, 9};
    BYTE buffer[4] = {};
    EXPECT_EQ(kelmard::ReadUserSetting(REG_BINARY, nullptr, "Number", buffer, 4, def), 0);
    EXPECT_EQ(std::memcmp(buffer, def, 4), 0);
    // Without a default, any type is read as bytes.
    EXPECT_EQ(kelmard::ReadUserSetting(REG_BINARY, nullptr, "Number", buffer, 4, nullptr), 1);
    EXPECT_EQ(std::memcmp(buffer, &stored, 4), 0);
    // ...but a string read takes strings only: callers use the result as one.
    char text[20] = "untouched";
    EXPECT_EQ(kelmard::ReadUserSetting(REG_SZ, nullptr, "Number", text, sizeof text, nullptr), 0);
}

TEST_F(Settings, StringsMustEndInsideTheBuffer) {
    Put(HKEY_CURRENT_USER, nullptr, "Stage", REG_SZ, "OPENGL", 7);
    char name[20];
    ASSERT_EQ(kelmard::ReadUserSetting(REG_SZ, nullptr, "Stage", name, sizeof name, nullptr), 1);
    EXPECT_STREQ(name, "OPENGL");
    // 20 characters do not fit a 20-byte buffer with their NUL.
    Put(HKEY_CURRENT_USER, nullptr, "Stage", REG_SZ, "ABCDEFGHIJKLMNOPQRST", 21);
    EXPECT_EQ(kelmard::ReadUserSetting(REG_SZ, nullptr, "Stage", name, sizeof name, nullptr), 0);
    // Binary data stored as REG_SZ without a NUL is no string.
    char raw[8];
    std::memset(raw, 'x', sizeof raw);
    Put(HKEY_CURRENT_USER, nullptr, "Raw", REG_BINARY, raw, sizeof raw);
    EXPECT_EQ(kelmard::ReadUserSetting(REG_SZ, nullptr, "Raw", name, sizeof name, nullptr), 0);
}

TEST_F(Settings, ValueLargerThanTheBuffer) {
    const BYTE big[100] = {1};
    Put(HKEY_CURRENT_USER, nullptr, "Big", REG_BINARY, big, sizeof big);
    BYTE buffer[64];
    const BYTE def[64] = {0x5A};
    EXPECT_EQ(kelmard::ReadUserSetting(REG_BINARY, nullptr, "Big", buffer, 64, nullptr), 0);
    EXPECT_EQ(kelmard::ReadUserSetting(REG_BINARY, nullptr, "Big", buffer, 64, def), 0);
    EXPECT_EQ(std::memcmp(buffer, def, 64), 0);
}

TEST_F(Settings, InstallFolderAndPaths) {
    char path[kelmard::kPathChars];
    EXPECT_FALSE(kelmard::BuildInstallPath("\\Presets\\TvFormats.cfg", path));
    EXPECT_STREQ(path, "");

    const char dest[] = "C:\\Program Files\\Kelmard";
    Put(HKEY_LOCAL_MACHINE, nullptr, "DestDir", REG_SZ, dest, sizeof dest);
    ASSERT_TRUE(kelmard::BuildInstallPath("\\Stages\\OPENGL.DLL", path));
    EXPECT_STREQ(path, "C:\\Program Files\\Kelmard\\Stages\\OPENGL.DLL");

    // A folder whose paths would not fit 256 characters counts as missing.
    std::string longDest = "C:\\" + std::string(240, 'd');
    Put(HKEY_LOCAL_MACHINE, nullptr, "DestDir", REG_SZ, longDest.c_str(),
        static_cast<DWORD>(longDest.size() + 1));
    char folder[kelmard::kPathChars];
    EXPECT_TRUE(kelmard::ReadInstallFolder(folder));
    EXPECT_FALSE(kelmard::BuildInstallPath("\\Presets\\TvFormats.cfg", path));
    EXPECT_STREQ(path, "");
}

TEST(SharedBlock, UpdateIdIsOneWordForEveryProcess) {
    QVRUpdateID = 0x1234;
    ktest::Helper reader("updateid-get");
    EXPECT_EQ(reader.Wait(20000), 0x1234u);
    ktest::Helper writer("updateid-set 0x4321");
    EXPECT_EQ(writer.Wait(20000), 0u);
    EXPECT_EQ(QVRUpdateID, 0x4321u);
}

}  // namespace
