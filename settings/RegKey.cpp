#include "settings/RegKey.h"

#include <cstring>
#include <utility>

CRegKey::CRegKey(HKEY hRoot, const CString& strSubKey, bool* pbSuccess)
    : m_hRoot(hRoot), m_strSubKey(strSubKey)
{
    if (pbSuccess) *pbSuccess = true;
    if (::RegOpenKeyExA(m_hRoot, m_strSubKey, 0, KEY_ALL_ACCESS, &m_hKey) == ERROR_SUCCESS) return;
    m_hKey = nullptr;
    char emptyClass[] = "";
    if (::RegCreateKeyExA(m_hRoot, m_strSubKey, 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, &m_hKey, nullptr) == ERROR_SUCCESS) {
        return;
    }
    m_hKey = nullptr;
    if (pbSuccess) *pbSuccess = false;
}

CRegKey::~CRegKey()
{
    if (m_hKey) ::RegCloseKey(m_hKey);
}

CRegKey::CRegKey(CRegKey&& other) noexcept
    : m_hRoot(other.m_hRoot), m_strSubKey(std::move(other.m_strSubKey)), m_hKey(other.m_hKey)
{
    other.m_hKey = nullptr;
}

CRegKey& CRegKey::operator=(CRegKey&& other) noexcept
{
    if (this != &other) {
        if (m_hKey) ::RegCloseKey(m_hKey);
        m_hRoot = other.m_hRoot;
        m_strSubKey = std::move(other.m_strSubKey);
        m_hKey = other.m_hKey;
        other.m_hKey = nullptr;
    }
    return *this;
}

HKEY CRegKey::UseKey(HKEY hKey, const CString& strSubKey, bool* pbOpened) const
{
    *pbOpened = false;
    if (hKey) return hKey;
    HKEY hOpened = nullptr;
    if (::RegOpenKeyExA(m_hRoot, strSubKey, 0, KEY_ALL_ACCESS, &hOpened) != ERROR_SUCCESS) return nullptr;
    *pbOpened = true;
    return hOpened;
}

namespace {

// Closes a key that one operation opened for itself.
struct OpenedFor {
    HKEY hKey;
    bool bOpened;
    ~OpenedFor() { if (bOpened) ::RegCloseKey(hKey); }
};

}  // namespace

BOOL CRegKey::ReadString(HKEY hKey, const CString& strSubKey, const CString& strValueName, CString& strValue) const
{
    OpenedFor key{nullptr, false};
    key.hKey = UseKey(hKey, strSubKey, &key.bOpened);
    if (!key.hKey) return FALSE;

    char buffer[256] = {};
    DWORD cb = sizeof buffer;
    if (::RegQueryValueExA(key.hKey, strValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &cb) != ERROR_SUCCESS)
        return FALSE;
    // A value that fills the buffer without a NUL still ends at its edge.
    strValue = CString(buffer, static_cast<int>(strnlen(buffer, sizeof buffer)));
    return TRUE;
}

BOOL CRegKey::ReadDword(HKEY hKey, const CString& strSubKey, const CString& strValueName, DWORD& dwValue) const
{
    OpenedFor key{nullptr, false};
    key.hKey = UseKey(hKey, strSubKey, &key.bOpened);
    if (!key.hKey) return FALSE;

    // Shorter values overwrite only their own bytes, as when querying into
    // the caller's integer; a failed query must not touch it at all.
    DWORD value = dwValue;
    DWORD cb = sizeof value;
    if (::RegQueryValueExA(key.hKey, strValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &cb) != ERROR_SUCCESS)
        return FALSE;
    dwValue = value;
    return TRUE;
}

BOOL CRegKey::WriteDword(HKEY hKey, const CString& strSubKey, const CString& strValueName, DWORD dwValue) const
{
    OpenedFor key{nullptr, false};
    key.hKey = UseKey(hKey, strSubKey, &key.bOpened);
    if (!key.hKey) return FALSE;
    return ::RegSetValueExA(key.hKey, strValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                            sizeof dwValue) == ERROR_SUCCESS;
}

BOOL CRegKey::WriteString(HKEY hKey, const CString& strSubKey, const CString& strValueName, CString strValue) const
{
    OpenedFor key{nullptr, false};
    key.hKey = UseKey(hKey, strSubKey, &key.bOpened);
    if (!key.hKey) return FALSE;
    const char* text = strValue;
    const DWORD cb = static_cast<DWORD>(std::strlen(text)) + 1;
    return ::RegSetValueExA(key.hKey, strValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), cb) == ERROR_SUCCESS;
}
