// CRegKey against Wine's real registry. Each test works below its own key
// under HKEY_CURRENT_USER\Software\SonglarkTests and removes it afterwards.
#include "settings/RegKey.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class RegKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = CString("Software\\SonglarkTests\\") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, path);
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, path); }

    bool KeyExists(const CString& p) const
    {
        HKEY h = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, p, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
        ::RegCloseKey(h);
        return true;
    }
    void SetRaw(const char* name, DWORD type, const void* data, DWORD cb) const
    {
        ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, path, name, type, data, cb), ERROR_SUCCESS);
    }
    // Type and size of a stored value, as the registry holds it.
    void Stored(const char* name, DWORD* type, DWORD* cb) const
    {
        *cb = 0;
        ASSERT_EQ(::RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_ANY | RRF_NOEXPAND, type, nullptr, cb),
                  ERROR_SUCCESS);
    }

    CString path;
};

// A handle to a key that has been deleted since: a root below which nothing
// can be opened or created, for real.
HKEY DeletedKeyHandle(const CString& p)
{
    HKEY h = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, p, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) != ERROR_SUCCESS)
        return nullptr;
    ::RegDeleteKeyA(HKEY_CURRENT_USER, p);
    return h;
}

TEST_F(RegKeyTest, ConstructorCreatesAMissingKeyAndOpensAnExistingOne)
{
    ASSERT_FALSE(KeyExists(path));
    bool ok = false;
    {
        CRegKey key(HKEY_CURRENT_USER, path, &ok);
        EXPECT_TRUE(ok);
        EXPECT_NE(key.GetKey(), nullptr);
        EXPECT_EQ(key.GetRoot(), HKEY_CURRENT_USER);
        EXPECT_EQ(key.GetSubKey(), path);
        EXPECT_TRUE(key.WriteDword(key.GetKey(), "", "kept", 7));
    }
    EXPECT_TRUE(KeyExists(path));
    ok = false;
    CRegKey again(HKEY_CURRENT_USER, path, &ok);
    EXPECT_TRUE(ok);
    DWORD v = 0;
    EXPECT_TRUE(again.ReadDword(again.GetKey(), "", "kept", v));
    EXPECT_EQ(v, 7u);
}

TEST_F(RegKeyTest, AKeyThatCanBeNeitherOpenedNorCreatedLeavesNone)
{
    HKEY gone = DeletedKeyHandle(path + "\\gone");
    ASSERT_NE(gone, nullptr);
    bool ok = true;
    CRegKey key(gone, "Software\\Hollowfen\\Songlark", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(key.GetKey(), nullptr);
    // Without a key every operation fails and touches nothing.
    CString s = "before";
    DWORD v = 42;
    EXPECT_FALSE(key.ReadString(key.GetKey(), "", "x", s));
    EXPECT_FALSE(key.ReadDword(key.GetKey(), "", "x", v));
    EXPECT_FALSE(key.WriteDword(key.GetKey(), "", "x", 1));
    EXPECT_FALSE(key.WriteString(key.GetKey(), "", "x", "y"));
    EXPECT_EQ(s, "before");
    EXPECT_EQ(v, 42u);
    ::RegCloseKey(gone);
}

TEST_F(RegKeyTest, StringsAreStoredWithTheirNulAndTheEmptyOneAsANulAlone)
{
    bool ok = false;
    CRegKey key(HKEY_CURRENT_USER, path, &ok);
    ASSERT_TRUE(ok);
    DWORD type = 0, cb = 0;
    EXPECT_TRUE(key.WriteString(key.GetKey(), "", "folder", "C:\\Downloads"));
    Stored("folder", &type, &cb);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(cb, 13u);
    EXPECT_TRUE(key.WriteString(key.GetKey(), "", "empty", ""));
    Stored("empty", &type, &cb);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(cb, 1u);

    CString s = "not yet";
    EXPECT_TRUE(key.ReadString(key.GetKey(), "", "folder", s));
    EXPECT_EQ(s, "C:\\Downloads");
    EXPECT_TRUE(key.ReadString(key.GetKey(), "", "empty", s));
    EXPECT_EQ(s, "");
}

TEST_F(RegKeyTest, StringsThatDoNotFitTheBufferCountAsMissing)
{
    bool ok = false;
    CRegKey key(HKEY_CURRENT_USER, path, &ok);
    const std::string fits(255, 'f');
    const std::string tooLong(256, 't');
    ASSERT_TRUE(key.WriteString(key.GetKey(), "", "fits", fits.c_str()));
    ASSERT_TRUE(key.WriteString(key.GetKey(), "", "long", tooLong.c_str()));

    CString s = "untouched";
    EXPECT_TRUE(key.ReadString(key.GetKey(), "", "fits", s));
    EXPECT_EQ(s.str(), fits);
    s = "untouched";
    EXPECT_FALSE(key.ReadString(key.GetKey(), "", "long", s));
    EXPECT_EQ(s, "untouched");
    EXPECT_FALSE(key.ReadString(key.GetKey(), "", "absent", s));
    EXPECT_EQ(s, "untouched");

    // The type is not looked at; the text ends at the first NUL.
    SetRaw("bin", REG_BINARY, "ab\0cd", 5);
    EXPECT_TRUE(key.ReadString(key.GetKey(), "", "bin", s));
    EXPECT_EQ(s, "ab");
    // A full buffer without any NUL still ends at the buffer's edge.
    const std::string noNul(256, 'n');
    SetRaw("full", REG_BINARY, noNul.data(), 256);
    EXPECT_TRUE(key.ReadString(key.GetKey(), "", "full", s));
    EXPECT_EQ(s.str(), noNul);
}

TEST_F(RegKeyTest, DwordsAreReadAsUpToFourRawBytes)
{
    bool ok = false;
    CRegKey key(HKEY_CURRENT_USER, path, &ok);
    EXPECT_TRUE(key.WriteDword(key.GetKey(), "", "d", 0x12345678));
    DWORD type = 0, cb = 0;
    Stored("d", &type, &cb);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(cb, 4u);

    DWORD v = 0;
    EXPECT_TRUE(key.ReadDword(key.GetKey(), "", "d", v));
    EXPECT_EQ(v, 0x12345678u);

    // A string of at most 4 bytes with its NUL is taken as raw bytes; bytes it
    // does not cover keep what the integer held.
    SetRaw("abc", REG_SZ, "abc", 4);
    v = 0;
    EXPECT_TRUE(key.ReadDword(key.GetKey(), "", "abc", v));
    EXPECT_EQ(v, 0x00636261u);
    SetRaw("one", REG_SZ, "1", 2);
    v = 0xAABBCCDD;
    EXPECT_TRUE(key.ReadDword(key.GetKey(), "", "one", v));
    EXPECT_EQ(v, 0xAABB0031u);

    SetRaw("abcd", REG_SZ, "abcd", 5);
    v = 99;
    EXPECT_FALSE(key.ReadDword(key.GetKey(), "", "abcd", v));
    EXPECT_EQ(v, 99u);
    EXPECT_FALSE(key.ReadDword(key.GetKey(), "", "absent", v));
    EXPECT_EQ(v, 99u);
}

TEST_F(RegKeyTest, WithoutAHandleEachCallOpensRootAndSubkeyItself)
{
    bool ok = false;
    CRegKey key(HKEY_CURRENT_USER, path, &ok);
    const CString sub = path + "\\inner";
    // The call opens but never creates.
    EXPECT_FALSE(key.WriteDword(nullptr, sub, "n", 5));
    EXPECT_FALSE(KeyExists(sub));

    HKEY hSub = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hSub, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(hSub);
    EXPECT_TRUE(key.WriteDword(nullptr, sub, "n", 5));
    EXPECT_TRUE(key.WriteString(nullptr, sub, "s", "text"));
    DWORD v = 0;
    CString s;
    EXPECT_TRUE(key.ReadDword(nullptr, sub, "n", v));
    EXPECT_TRUE(key.ReadString(nullptr, sub, "s", s));
    EXPECT_EQ(v, 5u);
    EXPECT_EQ(s, "text");
    // The values went to the subkey, not to the object's own key.
    EXPECT_FALSE(key.ReadDword(key.GetKey(), "", "n", v));

    // With a handle the subkey argument is not used, and the handle stays open.
    EXPECT_TRUE(key.WriteDword(key.GetKey(), "ignored", "own", 1));
    EXPECT_TRUE(key.ReadDword(key.GetKey(), "", "own", v));
    EXPECT_EQ(v, 1u);
}

}  // namespace
