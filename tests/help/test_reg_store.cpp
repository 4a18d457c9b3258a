// The registry store below HKEY_LOCAL_MACHINE: defaults, strings the registry
// hands back without their NUL, values of the wrong type, and whole trees.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "help/reg_store.h"
#include "kelmard.h"

namespace {

using kelmard::FxRegStore;

constexpr char kTestKey[] = "KelmardRegStoreTest";

class RegStore : public ::testing::Test {
protected:
    void SetUp() override { FxRegStore(kTestKey).DeleteKey(); }
    void TearDown() override { FxRegStore(kTestKey).DeleteKey(); }
    // Writes a raw value into the test key.
    void Put(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(QVR_SETTINGS_ROOT) + "\\" + kTestKey).c_str(), 0,
                                  nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
};

TEST_F(RegStore, AStringDefaultIsCopiedUpToItsOwnEnd) {
    // The default lies at the very end of readable memory: reading past its
    // NUL would fault.
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const DWORD page = info.dwPageSize;
    auto* pages = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(pages + page, page, PAGE_NOACCESS, &old));
    char* dot = pages + page - 2;
    std::memcpy(dot, ".", 2);

    FxRegStore store(kTestKey);
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(store.Read(1, "Missing", buffer, sizeof buffer, dot), 0);
    EXPECT_STREQ(buffer, ".");
    // A value of another type also leaves the default.
    const DWORD number = 7;
    Put("Number", REG_DWORD, &number, sizeof number);
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(store.Read(1, "Number", buffer, sizeof buffer, dot), 0);
    EXPECT_STREQ(buffer, ".");
    // A default longer than the buffer is cut and terminated.
    char small[4];
    EXPECT_EQ(store.Read(1, "Missing", small, sizeof small, "abcdefgh"), 0);
    EXPECT_STREQ(small, "abc");
    VirtualFree(pages, 0, MEM_RELEASE);
}

TEST_F(RegStore, StringsAreTerminatedAndTypesMustMatch) {
    FxRegStore store(kTestKey);
    Put("NoNul", REG_SZ, "abc", 3);
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(store.Read(1, "NoNul", buffer, sizeof buffer, nullptr), 1);
    EXPECT_STREQ(buffer, "abc");
    // A string that fills the buffer without its NUL counts as missing; so
    // does one that does not fit at all.
    Put("Full", REG_SZ, "0123456789abcdef", 16);
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(store.Read(1, "Full", buffer, sizeof buffer, "d"), 0);
    EXPECT_STREQ(buffer, "d");
    Put("Long", REG_SZ, "0123456789abcdef", 17);
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(store.Read(1, "Long", buffer, sizeof buffer, "d"), 0);
    EXPECT_STREQ(buffer, "d");

    // Binary data round trip; a string read of it answers 0 even without a default.
    const unsigned char blob[5] = {1, 2, 0, 4, 5};
    EXPECT_EQ(store.Write(2, "Blob", blob, sizeof blob), 1);
    unsigned char back[5] = {};
    EXPECT_EQ(store.Read(2, "Blob", back, sizeof back, nullptr), 1);
    EXPECT_EQ(std::memcmp(back, blob, sizeof blob), 0);
    EXPECT_EQ(store.Read(1, "Blob", buffer, sizeof buffer, nullptr), 0);
    EXPECT_EQ(store.Write(1, "Text", "hello", 6), 1);
    EXPECT_EQ(store.Read(2, "Text", back, sizeof back, nullptr), 0);
    EXPECT_EQ(store.Read(1, "Text", buffer, sizeof buffer, nullptr), 1);
    EXPECT_STREQ(buffer, "hello");
}

TEST_F(RegStore, SubKeysAreListedAndTreesDeletedDepthFirst) {
    EXPECT_EQ(FxRegStore(kTestKey).DeleteKey(), 0) << "no key to delete";
    EXPECT_EQ(FxRegStore((std::string(kTestKey) + "\\One\\Deep\\Deeper").c_str()).Write(1, "v", "1", 2), 1);
    EXPECT_EQ(FxRegStore((std::string(kTestKey) + "\\Two").c_str()).Write(1, "v", "2", 2), 1);
    FxRegStore store(kTestKey);
    char name[64];
    ASSERT_EQ(store.EnumSubKey(0, name, sizeof name), 1);
    EXPECT_STREQ(name, "One");
    ASSERT_EQ(store.EnumSubKey(1, name, sizeof name), 1);
    EXPECT_STREQ(name, "Two");
    EXPECT_EQ(store.EnumSubKey(2, name, sizeof name), 0);

    EXPECT_EQ(store.DeleteKey(), 1);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(QVR_SETTINGS_ROOT) + "\\" + kTestKey).c_str(), 0,
                            KEY_READ, &key),
              ERROR_SUCCESS);
    // The settings root itself is still there.
    char dest[8];
    FxRegStore root;
    EXPECT_EQ(root.EnumSubKey(0, dest, 0), 0) << "no room for a name";
    EXPECT_STREQ(FxRegStore().KeyPath(), QVR_SETTINGS_ROOT);
    EXPECT_STREQ(FxRegStore("", "SOFTWARE\\Other").KeyPath(), "SOFTWARE\\Other");
}

}  // namespace
