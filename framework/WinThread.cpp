#include "framework/WinThread.h"

#include <process.h>

CWinThread::~CWinThread()
{
    if (m_hThread) ::CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    unsigned threadId = 0;
    const uintptr_t h = _beginthreadex(lpSecurityAttrs, nStackSize, ThreadEntry, this, dwCreateFlags, &threadId);
    if (h == 0) return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(h);
    m_nThreadID = threadId;
    return TRUE;
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::Run()
{
    return 0;
}

int CWinThread::ExitInstance()
{
    return 0;
}

unsigned __stdcall CWinThread::ThreadEntry(void* pParam)
{
    auto* pThread = static_cast<CWinThread*>(pParam);
    int code = 0;
    try {
        const int runCode = pThread->InitInstance() ? pThread->Run() : 0;
        const int exitCode = pThread->ExitInstance();
        code = exitCode ? exitCode : runCode;
    } catch (...) {
        // No exception may leave the thread.
        code = -1;
    }
    return static_cast<unsigned>(code);
}
