// LoadSettings and the program's key against Wine's real registry. Each test
// points g_regSettings at a key of its own (under HKEY_LOCAL_MACHINE, or a
// machine root that refuses, for the fallback) and restores the process-wide
// key and Kazaa's "DownloadDir" afterwards.
#include "settings/Settings.h"

#include "lyrics/net/LyricsSite.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What the program's key looked like during static initialisation to an
// object in another file that is built ahead of every ordinary one (the
// application object is ordinary), so link order cannot make this pass.
struct StartupView {
    HKEY root = g_regSettings.GetRoot();
    bool hasKey = g_regSettings.GetKey() != nullptr;
};
StartupView g_seenAtStartup __attribute__((init_priority(2000)));

bool KeyExists(HKEY root, const CString& p)
{
    HKEY h = nullptr;
    if (::RegOpenKeyExA(root, p, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    ::RegCloseKey(h);
    return true;
}

void SetString(HKEY root, const CString& p, const char* name, const std::string& value)
{
    ASSERT_EQ(::RegSetKeyValueA(root, p, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
}

void SetDword(HKEY root, const CString& p, const char* name, DWORD value)
{
    ASSERT_EQ(::RegSetKeyValueA(root, p, name, REG_DWORD, &value, sizeof value), ERROR_SUCCESS);
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = CString("Software\\SonglarkTests\\Settings-") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, path);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, path);

        char buf[1024];
        DWORD cb = sizeof buf;
        hadDownloadDir = ::RegGetValueA(HKEY_CURRENT_USER, kKazaaKeyPath, "DownloadDir", RRF_RT_REG_SZ, nullptr,
                                        buf, &cb) == ERROR_SUCCESS;
        if (hadDownloadDir) savedDownloadDir = buf;

        g_bCheckLimeWire = g_bCheckKazaa = 12345;
        g_strLimeWirePath = g_strKazaaPath = "left over";
    }
    void TearDown() override
    {
        SetLyricsSite("");
        SetLrclibUrl("");
        g_regSettings = OpenSettingsKey();
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, path);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, path);
        if (hadDownloadDir) SetString(HKEY_CURRENT_USER, kKazaaKeyPath, "DownloadDir", savedDownloadDir);
        else ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kKazaaKeyPath, "DownloadDir");
    }

    void SetDownloadDir(const char* dir) { SetString(HKEY_CURRENT_USER, kKazaaKeyPath, "DownloadDir", dir); }

    // The program's key as a first start would make it, at this test's path.
    void UseMachineKey()
    {
        g_regSettings = OpenSettingsKey(HKEY_LOCAL_MACHINE, path);
        ASSERT_EQ(g_regSettings.GetRoot(), HKEY_LOCAL_MACHINE);
        ASSERT_NE(g_regSettings.GetKey(), nullptr);
    }

    CString path;
    bool hadDownloadDir = false;
    std::string savedDownloadDir;
};

// A handle to a key deleted since: nothing can be opened or created below it,
// as below HKEY_LOCAL_MACHINE for a user without the rights.
HKEY RefusingRoot(const CString& p)
{
    HKEY h = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, p, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) != ERROR_SUCCESS)
        return nullptr;
    ::RegDeleteKeyA(HKEY_CURRENT_USER, p);
    return h;
}

TEST(SettingsStartup, TheProgramKeyIsOpenBeforeOtherStaticObjectsAreBuilt)
{
    EXPECT_EQ(g_seenAtStartup.root, HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(g_seenAtStartup.hasKey);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKeyPath));
}

TEST_F(SettingsTest, FirstStartCreatesTheKeyAndTakesDefaultsAndKazaasFolder)
{
    // Values under the user's key are not looked at while the machine key works.
    SetDword(HKEY_CURRENT_USER, path, "CheckLimeWire", 1);
    SetString(HKEY_CURRENT_USER, path, "KazaaPath", "C:\\user's own");
    SetDownloadDir("C:\\Program Files\\Kazaa\\My Shared Folder");
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, path));

    UseMachineKey();
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, path));
    LoadSettings();
    EXPECT_EQ(g_bCheckLimeWire, 0);
    EXPECT_EQ(g_strLimeWirePath, "");
    EXPECT_EQ(g_bCheckKazaa, 0);
    EXPECT_EQ(g_strKazaaPath, "C:\\Program Files\\Kazaa\\My Shared Folder");
}

TEST_F(SettingsTest, WithoutKazaasKeyTheFolderKeepsItsValueAndTheKeyIsMadeEmpty)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kKazaaKeyPath);
    UseMachineKey();
    g_strKazaaPath = "from before";
    LoadSettings();
    EXPECT_EQ(g_strKazaaPath, "from before");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kKazaaKeyPath));
    // The key made is empty: once more, and nothing changes.
    LoadSettings();
    EXPECT_EQ(g_strKazaaPath, "from before");
}

TEST_F(SettingsTest, StoredValuesReachTheGlobals)
{
    UseMachineKey();
    SetDownloadDir("C:\\not this one");
    const HKEY h = g_regSettings.GetKey();
    ASSERT_TRUE(g_regSettings.WriteDword(h, "", "CheckLimeWire", 1));
    ASSERT_TRUE(g_regSettings.WriteString(h, "", "LimeWirePath", "C:\\LimeWire\\Incomplete"));
    ASSERT_TRUE(g_regSettings.WriteDword(h, "", "CheckKazaa", 7));   // any nonzero value is kept as it is
    ASSERT_TRUE(g_regSettings.WriteString(h, "", "KazaaPath", "D:\\Kazaa"));
    LoadSettings();
    EXPECT_EQ(g_bCheckLimeWire, 1);
    EXPECT_EQ(g_strLimeWirePath, "C:\\LimeWire\\Incomplete");
    EXPECT_EQ(g_bCheckKazaa, 7);
    EXPECT_EQ(g_strKazaaPath, "D:\\Kazaa");
}

TEST_F(SettingsTest, AnOverlongLimeWireFolderCountsAsMissing)
{
    UseMachineKey();
    SetString(HKEY_LOCAL_MACHINE, path, "LimeWirePath", std::string(256, 'p'));
    LoadSettings();
    EXPECT_EQ(g_strLimeWirePath, "");
}

TEST_F(SettingsTest, ASwitchStoredAsAStringIsTakenAsRawBytesOrAsMissing)
{
    UseMachineKey();
    SetString(HKEY_LOCAL_MACHINE, path, "CheckKazaa", "1");     // '1', NUL: two bytes
    LoadSettings();
    EXPECT_EQ(g_bCheckKazaa, 0x31);

    SetString(HKEY_LOCAL_MACHINE, path, "CheckKazaa", "true");  // five bytes
    LoadSettings();
    EXPECT_EQ(g_bCheckKazaa, 0);
}

TEST_F(SettingsTest, AStoredEmptyKazaaFolderStaysEmptyAnUnreadableOneFallsBack)
{
    UseMachineKey();
    SetDownloadDir("C:\\Kazaa downloads");
    ASSERT_TRUE(g_regSettings.WriteString(g_regSettings.GetKey(), "", "KazaaPath", ""));
    LoadSettings();
    EXPECT_EQ(g_strKazaaPath, "");

    SetString(HKEY_LOCAL_MACHINE, path, "KazaaPath", std::string(300, 'k'));
    LoadSettings();
    EXPECT_EQ(g_strKazaaPath, "C:\\Kazaa downloads");
}

TEST_F(SettingsTest, TheLyricsSiteAndLrclibUrlValuesChooseTheSource)
{
    UseMachineKey();
    SetString(HKEY_LOCAL_MACHINE, path, "LyricsSite", "127.0.0.1:8080");
    LoadSettings();
    EXPECT_TRUE(GetLyricsSource().bLyricsSite);
    EXPECT_EQ(GetLyricsSite().host, "127.0.0.1");
    EXPECT_EQ(GetLyricsSite().port, 8080);

    SetString(HKEY_LOCAL_MACHINE, path, "LyricsSite", "lyrics.example");
    LoadSettings();
    EXPECT_EQ(GetLyricsSite().host, "lyrics.example");
    EXPECT_EQ(GetLyricsSite().port, 80);

    // Empty, then gone: back to the built-in site each time.
    SetLyricsSite("elsewhere:1");
    SetString(HKEY_LOCAL_MACHINE, path, "LyricsSite", "");
    LoadSettings();
    EXPECT_EQ(GetLyricsSite().host, kBuiltInLyricsHost);
    EXPECT_EQ(GetLyricsSite().port, kBuiltInLyricsPort);
    SetLyricsSite("elsewhere:1");
    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, path, "LyricsSite");
    LoadSettings();
    EXPECT_EQ(GetLyricsSite().host, kBuiltInLyricsHost);
    EXPECT_FALSE(GetLyricsSource().bLyricsSite) << "no site named: LRCLIB is asked";

    // "LrclibUrl" names the LRCLIB server; unusable or gone, the built-in one.
    SetString(HKEY_LOCAL_MACHINE, path, "LrclibUrl", "http://127.0.0.1:8081");
    LoadSettings();
    EXPECT_FALSE(GetLyricsSource().lrclib.secure);
    EXPECT_EQ(GetLyricsSource().lrclib.host, "127.0.0.1");
    EXPECT_EQ(GetLyricsSource().lrclib.port, 8081);
    SetString(HKEY_LOCAL_MACHINE, path, "LrclibUrl", "127.0.0.1:8081");
    LoadSettings();
    EXPECT_EQ(GetLyricsSource().lrclib.host, LrclibAddress().host);
    SetLrclibUrl("http://elsewhere");
    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, path, "LrclibUrl");
    LoadSettings();
    EXPECT_EQ(GetLyricsSource().lrclib.host, LrclibAddress().host);
    EXPECT_EQ(GetLyricsSource().lrclib.port, LrclibAddress().port);
}

TEST_F(SettingsTest, WhenTheMachineKeyRefusesTheUsersKeyIsReadAndWritten)
{
    HKEY refusing = RefusingRoot(path + "-machine");
    ASSERT_NE(refusing, nullptr);
    g_regSettings = OpenSettingsKey(refusing, path);
    ::RegCloseKey(refusing);
    EXPECT_EQ(g_regSettings.GetRoot(), HKEY_CURRENT_USER);
    ASSERT_NE(g_regSettings.GetKey(), nullptr);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, path));

    // What the Options dialog writes through the key lands in the user's key...
    const HKEY h = g_regSettings.GetKey();
    EXPECT_TRUE(g_regSettings.WriteDword(h, "", "CheckLimeWire", 1));
    EXPECT_TRUE(g_regSettings.WriteString(h, "", "LimeWirePath", "C:\\Incomplete"));
    DWORD v = 0, cb = sizeof v;
    EXPECT_EQ(::RegGetValueA(HKEY_CURRENT_USER, path, "CheckLimeWire", RRF_RT_REG_DWORD, nullptr, &v, &cb),
              ERROR_SUCCESS);
    EXPECT_EQ(v, 1u);

    // ...and is what the next LoadSettings finds there.
    SetDword(HKEY_CURRENT_USER, path, "CheckKazaa", 1);
    SetString(HKEY_CURRENT_USER, path, "KazaaPath", "D:\\Kazaa");
    LoadSettings();
    EXPECT_EQ(g_bCheckLimeWire, 1);
    EXPECT_EQ(g_strLimeWirePath, "C:\\Incomplete");
    EXPECT_EQ(g_bCheckKazaa, 1);
    EXPECT_EQ(g_strKazaaPath, "D:\\Kazaa");
}

TEST_F(SettingsTest, WhenBothRefuseTheMachineSideIsKeptWithoutAKey)
{
    // A key name over the registry's limit cannot be made under either root;
    // the user's root itself must then not receive the values.
    HKEY refusing = RefusingRoot(path + "-machine");
    ASSERT_NE(refusing, nullptr);
    const CString unmakeable = path + "\\" + std::string(300, 'n').c_str();
    CRegKey key = OpenSettingsKey(refusing, unmakeable);
    EXPECT_EQ(key.GetRoot(), refusing);
    EXPECT_EQ(key.GetKey(), nullptr);
    // What the Options dialog writes through the key goes nowhere.
    EXPECT_FALSE(key.WriteDword(key.GetKey(), "", "CheckLimeWire", 1));
    EXPECT_FALSE(key.WriteString(key.GetKey(), "", "LimeWirePath", "C:\\nowhere"));
    for (const char* name : {"CheckLimeWire", "LimeWirePath"}) {
        EXPECT_NE(::RegGetValueA(HKEY_CURRENT_USER, nullptr, name, RRF_RT_ANY, nullptr, nullptr, nullptr), ERROR_SUCCESS)
            << name << " reached the user's root";
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, nullptr, name);
    }
    ::RegCloseKey(refusing);
}

}  // namespace
