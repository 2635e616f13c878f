#pragma once

#include "framework/Afx.h"
#include "framework/CString.h"
#include "settings/RegKey.h"

#include <atomic>

// The four watch settings, filled by LoadSettings on the user-interface
// thread. The watcher reads the two switches on every pass, hence atomics;
// it takes the folders through SetFolders.
extern std::atomic<BOOL> g_bCheckLimeWire;
extern CString g_strLimeWirePath;
extern std::atomic<BOOL> g_bCheckKazaa;
extern CString g_strKazaaPath;

// The program's own key, open for the whole run. Callers pass
// g_regSettings.GetKey() and an empty subkey to its value operations.
extern CRegKey g_regSettings;

extern const char kSettingsKeyPath[];   // "Software\Hollowfen\Songlark"
extern const char kKazaaKeyPath[];      // "Software\Kazaa\LocalContent", under HKEY_CURRENT_USER

// The program's key under hMachineRoot; when it can be neither opened nor
// created there, the same path under HKEY_CURRENT_USER, so that an ordinary
// user's settings are kept. When both fail, the machine key's object (which
// holds no key). g_regSettings is made by this with the defaults; tests pass
// a root that refuses, or a path of their own.
CRegKey OpenSettingsKey(HKEY hMachineRoot = HKEY_LOCAL_MACHINE, const char* pszSubKey = kSettingsKeyPath);

// A stored switch ("CheckLimeWire", "CheckKazaa"), 0 when it cannot be read.
BOOL ReadSettingsSwitch(const char* pszName);

// Kazaa's own download folder ("DownloadDir" under its key in
// HKEY_CURRENT_USER, the key created when missing) into folder; folder is
// left as it was when Kazaa has none.
void ReadKazaaDownloadDir(CString& folder);

// Copies the stored values into the four globals (Kazaa's folder falls back
// to Kazaa's own "DownloadDir") and the "LyricsSite" and "LrclibUrl" values
// into the lyric fetch's source setting.
void LoadSettings();
