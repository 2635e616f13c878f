#pragma once

#include "framework/Afx.h"
#include "framework/CString.h"

// One registry key, opened (or created) for all access when constructed and
// closed when destroyed. The value operations take a key handle or null: with
// a handle they use it and leave it open; with null they open root\subkey
// themselves for the one call. Each returns TRUE on success and leaves its
// out-value untouched on failure.
class CRegKey {
public:
    // Opens root\subkey, else creates it; *pbSuccess becomes false when
    // neither worked (the object then holds no key). pbSuccess may be null.
    CRegKey(HKEY hRoot, const CString& strSubKey, bool* pbSuccess);
    ~CRegKey();
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    // Moving hands the open key over; the source is left holding none.
    CRegKey(CRegKey&& other) noexcept;
    CRegKey& operator=(CRegKey&& other) noexcept;

    HKEY GetRoot() const { return m_hRoot; }
    const CString& GetSubKey() const { return m_strSubKey; }
    HKEY GetKey() const { return m_hKey; }   // null when none could be had

    // Reads into a 256-byte buffer; a longer value counts as missing. The
    // result is the buffer's text up to its first NUL. The value's type is
    // not looked at.
    BOOL ReadString(HKEY hKey, const CString& strSubKey, const CString& strValueName, CString& strValue) const;
    // Reads up to 4 raw bytes over dwValue; a longer value counts as missing.
    BOOL ReadDword(HKEY hKey, const CString& strSubKey, const CString& strValueName, DWORD& dwValue) const;
    BOOL WriteDword(HKEY hKey, const CString& strSubKey, const CString& strValueName, DWORD dwValue) const;
    // REG_SZ with its terminating NUL; an empty string is that NUL alone.
    BOOL WriteString(HKEY hKey, const CString& strSubKey, const CString& strValueName, CString strValue) const;

private:
    // The key to use for one operation: hKey itself, or root\subkey opened
    // now (then *pbOpened is set and the caller closes it).
    HKEY UseKey(HKEY hKey, const CString& strSubKey, bool* pbOpened) const;

    HKEY m_hRoot;
    CString m_strSubKey;
    HKEY m_hKey = nullptr;
};
