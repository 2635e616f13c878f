#include "framework/FileFind.h"

#include <cstring>

BOOL CFileFind::FindFile(const char* pszPattern)
{
    Close();
    m_hFind = ::FindFirstFileA(pszPattern, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE) return FALSE;
    m_bHaveNext = true;

    const CString pattern(pszPattern);
    int cut = pattern.ReverseFind('\\');
    const int slash = pattern.ReverseFind('/');
    if (slash > cut) cut = slash;
    m_bRooted = cut >= 0;
    m_strRoot = pattern.Left(cut);
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHaveNext) return FALSE;
    m_found = m_next;
    m_bHaveNext = ::FindNextFileA(m_hFind, &m_next) != FALSE;
    return m_bHaveNext ? TRUE : FALSE;
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE) {
        ::FindClose(m_hFind);
        m_hFind = INVALID_HANDLE_VALUE;
    }
    m_bHaveNext = false;
    m_found = WIN32_FIND_DATAA{};
    m_strRoot.Empty();
    m_bRooted = false;
}

CString CFileFind::GetFileName() const
{
    return CString(m_found.cFileName);
}

CString CFileFind::GetFilePath() const
{
    if (!m_bRooted) return GetFileName();
    return m_strRoot + "\\" + m_found.cFileName;
}

BOOL CFileFind::IsDirectory() const
{
    return (m_found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL CFileFind::IsDots() const
{
    return IsDirectory() && (std::strcmp(m_found.cFileName, ".") == 0 || std::strcmp(m_found.cFileName, "..") == 0);
}
