#pragma once

#include "framework/Afx.h"

// An owned file handle. Failures are returned, never thrown: Open says
// whether the file is open, Read and Write say how much got through.
class CFile {
public:
    // Combine one access mode, one share mode and optionally modeCreate.
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        shareExclusive = 0x0010,   // no other handle may read or write meanwhile
        shareDenyNone = 0x0040,    // others may go on reading and writing
        modeCreate = 0x1000,       // create the file, or truncate an existing one
    };

    CFile() = default;
    ~CFile() { Close(); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Closes any file held before. Without modeCreate the file must exist.
    bool Open(const char* pszFileName, UINT nOpenFlags);
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    // Bytes read (0 at the end, or on failure).
    UINT Read(void* pBuffer, UINT nCount);
    // True when all nCount bytes were written.
    bool Write(const void* pBuffer, UINT nCount);
    // Pushes written bytes to the disk; true on success.
    bool Flush();
    // The file's length in bytes; 0 when it cannot be had.
    ULONGLONG GetLength() const;
    void Close();

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};
