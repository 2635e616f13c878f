#pragma once

#include "framework/Afx.h"

// A thread object: CreateThread starts it with _beginthreadex and runs
// InitInstance, then Run (when InitInstance returned TRUE), then ExitInstance
// on the new thread. The object owns the thread handle.
class CWinThread {
public:
    CWinThread() = default;
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // FALSE when the thread could not be started.
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;

private:
    static unsigned __stdcall ThreadEntry(void* pParam);
};
