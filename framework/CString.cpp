#include "framework/CString.h"

#include "framework/Afx.h"
#include "platform/FoldText.h"

#include <cstdio>
#include <cstring>
#include <vector>

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0) {
        m_str.clear();
        return;
    }
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), pszFormat, args);
    m_str.assign(buf.data(), static_cast<size_t>(n));
}

CString CString::Left(int nCount) const
{
    if (nCount <= 0) return CString();
    return CString(m_str.substr(0, static_cast<size_t>(nCount)));
}

CString CString::Mid(int nFirst) const
{
    if (nFirst < 0) nFirst = 0;
    if (nFirst >= GetLength()) return CString();
    return CString(m_str.substr(static_cast<size_t>(nFirst)));
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0) nFirst = 0;
    if (nFirst >= GetLength() || nCount <= 0) return CString();
    return CString(m_str.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0) nStart = 0;
    const size_t pos = m_str.find(ch, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* psz, int nStart) const
{
    if (nStart < 0) nStart = 0;
    const size_t pos = m_str.find(psz, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const
{
    const size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString& CString::MakeLower()
{
    if (!m_str.empty()) songlark::FoldTextCase(&m_str[0], std::strlen(m_str.c_str()));
    return *this;
}

int CString::CompareNoCase(const char* psz) const
{
    CString a(*this), b(psz);
    a.MakeLower();
    b.MakeLower();
    return std::strcmp(a.m_str.c_str(), b.m_str.c_str());
}

bool CString::LoadString(unsigned int nID)
{
    char buf[1024];
    const int n = ::LoadStringA(::GetModuleHandleA(nullptr), nID, buf, sizeof buf);
    if (n <= 0) return false;
    m_str.assign(buf, static_cast<size_t>(n));
    return true;
}

char* CString::GetBuffer(int nMinLength)
{
    if (nMinLength < 0) nMinLength = 0;
    // A std::string always keeps room for its terminator, which the caller
    // may write at index nMinLength.
    if (m_str.size() < static_cast<size_t>(nMinLength)) m_str.resize(static_cast<size_t>(nMinLength));
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0) nNewLength = static_cast<int>(std::strlen(m_str.c_str()));
    m_str.resize(static_cast<size_t>(nNewLength));
}
