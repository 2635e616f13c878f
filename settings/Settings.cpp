#include "settings/Settings.h"

#include "lyrics/net/LyricsSite.h"

std::atomic<BOOL> g_bCheckLimeWire{0};
CString g_strLimeWirePath;
std::atomic<BOOL> g_bCheckKazaa{0};
CString g_strKazaaPath;

const char kSettingsKeyPath[] = "Software\\Hollowfen\\Songlark";
const char kKazaaKeyPath[] = "Software\\Kazaa\\LocalContent";

CRegKey OpenSettingsKey(HKEY hMachineRoot, const char* pszSubKey)
{
    bool bMachine = false;
    CRegKey machine(hMachineRoot, pszSubKey, &bMachine);
    if (bMachine) return machine;
    bool bUser = false;
    CRegKey user(HKEY_CURRENT_USER, pszSubKey, &bUser);
    if (bUser) return user;
    return machine;
}

// Built before any object of default priority, the application object among
// them, whatever order the linker puts the files in.
CRegKey g_regSettings __attribute__((init_priority(1000))) = OpenSettingsKey();

BOOL ReadSettingsSwitch(const char* pszName)
{
    DWORD dwCheck = 0;
    return g_regSettings.ReadDword(g_regSettings.GetKey(), "", pszName, dwCheck) ? static_cast<BOOL>(dwCheck) : 0;
}

void ReadKazaaDownloadDir(CString& folder)
{
    bool bKazaa = false;
    CRegKey kazaa(HKEY_CURRENT_USER, kKazaaKeyPath, &bKazaa);
    if (bKazaa) kazaa.ReadString(kazaa.GetKey(), "", "DownloadDir", folder);
}

void LoadSettings()
{
    const HKEY hKey = g_regSettings.GetKey();

    g_bCheckLimeWire = ReadSettingsSwitch("CheckLimeWire");
    if (!g_regSettings.ReadString(hKey, "", "LimeWirePath", g_strLimeWirePath)) g_strLimeWirePath.Empty();
    g_bCheckKazaa = ReadSettingsSwitch("CheckKazaa");

    // Only a missing or unreadable "KazaaPath" falls back; a stored empty one
    // stays empty. When Kazaa has no folder either, the old value stays.
    if (!g_regSettings.ReadString(hKey, "", "KazaaPath", g_strKazaaPath)) ReadKazaaDownloadDir(g_strKazaaPath);

    // Never written by the program: a user or a test points the lyric fetch
    // elsewhere with them. A classic site in "LyricsSite" wins; missing or
    // empty, LRCLIB is asked, at "LrclibUrl" when that names a server.
    CString strSite;
    g_regSettings.ReadString(hKey, "", "LyricsSite", strSite);
    SetLyricsSite(strSite.str());
    CString strLrclib;
    g_regSettings.ReadString(hKey, "", "LrclibUrl", strLrclib);
    SetLrclibUrl(strLrclib.str());
    const LrclibAddress lrclib = GetLyricsSource().lrclib;
    if (!lrclib.unusable.empty()) ::OutputDebugStringA(("Songlark: " + lrclib.unusable + "; no song is asked.\n").c_str());
}
