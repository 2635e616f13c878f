#pragma once

#include "framework/Afx.h"
#include "framework/CString.h"

// A folder search. FindFile starts it; each FindNextFile makes the next
// match current and says whether another one follows, so the loop is
//   BOOL more = ff.FindFile(pattern);
//   while (more) { more = ff.FindNextFile(); ...use the current match... }
class CFileFind {
public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // FALSE when nothing matches pattern (or the folder cannot be listed).
    BOOL FindFile(const char* pszPattern);
    // Makes the next match current; FALSE when that one is the last.
    BOOL FindNextFile();
    void Close();

    // The current match (valid after a FindNextFile).
    CString GetFileName() const;
    // The pattern's folder, a backslash and the name; the name alone when
    // the pattern names no folder.
    CString GetFilePath() const;
    BOOL IsDirectory() const;
    BOOL IsDots() const;

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA m_found{};   // the current match
    WIN32_FIND_DATAA m_next{};    // the one fetched ahead
    bool m_bHaveNext = false;
    CString m_strRoot;            // the pattern up to its last separator
    bool m_bRooted = false;       // the pattern has a separator at all
};
