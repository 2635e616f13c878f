#include "settings/Settings.h"

#include "lyrics/net/LyricsSite.h"

BOOL g_bCheckLimeWire = 0;
CString g_strLimeWirePath;
BOOL g_bCheckKazaa = 0;
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

void LoadSettings()
{
    const HKEY hKey = g_regSettings.GetKey();

    DWORD dwCheck = 0;
    g_bCheckLimeWire = g_regSettings.ReadDword(hKey, "", "CheckLimeWire", dwCheck) ? static_cast<BOOL>(dwCheck) : 0;

    if (!g_regSettings.ReadString(hKey, "", "LimeWirePath", g_strLimeWirePath)) g_strLimeWirePath.Empty();

    dwCheck = 0;
    g_bCheckKazaa = g_regSettings.ReadDword(hKey, "", "CheckKazaa", dwCheck) ? static_cast<BOOL>(dwCheck) : 0;

    // Only a missing or unreadable "KazaaPath" falls back; a stored empty one
    // stays empty. When Kazaa has no folder either, the old value stays.
    if (!g_regSettings.ReadString(hKey, "", "KazaaPath", g_strKazaaPath)) {
        bool bKazaa = false;
        CRegKey kazaa(HKEY_CURRENT_USER, kKazaaKeyPath, &bKazaa);
        if (bKazaa) kazaa.ReadString(kazaa.GetKey(), "", "DownloadDir", g_strKazaaPath);
    }

    // Never written by the program: a user or a test points the lyric fetch
    // elsewhere with it. Missing or empty means the built-in site.
    CString strSite;
    g_regSettings.ReadString(hKey, "", "LyricsSite", strSite);
    SetLyricsSite(strSite.str());
}
