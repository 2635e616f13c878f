#include "framework/File.h"

bool CFile::Open(const char* pszFileName, UINT nOpenFlags)
{
    Close();
    const DWORD access = (nOpenFlags & modeWrite) ? GENERIC_WRITE : GENERIC_READ;
    const DWORD share = (nOpenFlags & shareDenyNone) == shareDenyNone ? (FILE_SHARE_READ | FILE_SHARE_WRITE) : 0;
    const DWORD disposition = (nOpenFlags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    m_hFile = ::CreateFileA(pszFileName, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return IsOpen();
}

UINT CFile::Read(void* pBuffer, UINT nCount)
{
    DWORD done = 0;
    if (!IsOpen() || !::ReadFile(m_hFile, pBuffer, nCount, &done, nullptr)) return 0;
    return done;
}

bool CFile::Write(const void* pBuffer, UINT nCount)
{
    DWORD done = 0;
    if (!IsOpen() || !::WriteFile(m_hFile, pBuffer, nCount, &done, nullptr)) return false;
    return done == nCount;
}

bool CFile::Flush()
{
    return IsOpen() && ::FlushFileBuffers(m_hFile);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!IsOpen() || !::GetFileSizeEx(m_hFile, &size)) return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::Close()
{
    if (IsOpen()) {
        ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}
