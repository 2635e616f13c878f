#pragma once

// Records the shutdown's system calls instead of making them. Installed by
// every test that can reach ShutdownComputer and never taken out again, so
// that no test of this program can turn the machine off.
#include "accel/Shutdown.h"

#include <string>
#include <vector>

struct ShutdownRecorder {
    static ShutdownRecorder& Get()
    {
        static ShutdownRecorder s_recorder;
        return s_recorder;
    }

    // Installs the recorder with this platform family and forgets earlier calls.
    void Install(DWORD platformId)
    {
        ::EnterCriticalSection(&m_lock);
        m_platformId = platformId;
        m_calls.clear();
        ::LeaveCriticalSection(&m_lock);
        g_shutdownApi = ShutdownApi{GetVersionEx, Sleep, OpenProcessToken, LookupPrivilegeValue,
                                    AdjustTokenPrivileges, CloseHandle, ExitWindowsEx};
    }

    std::vector<std::string> Calls()
    {
        ::EnterCriticalSection(&m_lock);
        std::vector<std::string> copy = m_calls;
        ::LeaveCriticalSection(&m_lock);
        return copy;
    }

    int Count(const std::string& prefix)
    {
        int n = 0;
        for (const std::string& c : Calls())
            if (c.compare(0, prefix.size(), prefix) == 0) ++n;
        return n;
    }

private:
    ShutdownRecorder() { ::InitializeCriticalSection(&m_lock); }

    void Add(const std::string& call)
    {
        ::EnterCriticalSection(&m_lock);
        m_calls.push_back(call);
        ::LeaveCriticalSection(&m_lock);
    }

    static BOOL WINAPI GetVersionEx(LPOSVERSIONINFOA info)
    {
        Get().Add("GetVersionEx " + std::to_string(info->dwOSVersionInfoSize));
        info->dwMajorVersion = 4;
        info->dwPlatformId = Get().m_platformId;
        return TRUE;
    }
    static void WINAPI Sleep(DWORD ms) { Get().Add("Sleep " + std::to_string(ms)); }
    static BOOL WINAPI OpenProcessToken(HANDLE process, DWORD access, PHANDLE token)
    {
        Get().Add(std::string("OpenProcessToken ") + (process == ::GetCurrentProcess() ? "self " : "other ") +
                  std::to_string(access));
        *token = reinterpret_cast<HANDLE>(0x4711);
        return TRUE;
    }
    static BOOL WINAPI LookupPrivilegeValue(LPCSTR system, LPCSTR name, PLUID luid)
    {
        Get().Add(std::string("LookupPrivilegeValue ") + (system ? system : "local") + " " + name);
        luid->LowPart = 19;
        luid->HighPart = 0;
        return TRUE;
    }
    static BOOL WINAPI AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD,
                                             PTOKEN_PRIVILEGES, PDWORD)
    {
        std::string call = "AdjustTokenPrivileges " + std::string(token == reinterpret_cast<HANDLE>(0x4711) ? "token" : "?") +
                           " " + std::to_string(disableAll) + " " + std::to_string(state->PrivilegeCount);
        if (state->PrivilegeCount == 1)
            call += " luid " + std::to_string(state->Privileges[0].Luid.LowPart) + " attr " +
                    std::to_string(state->Privileges[0].Attributes);
        Get().Add(call);
        return TRUE;
    }
    static BOOL WINAPI CloseHandle(HANDLE h)
    {
        Get().Add(std::string("CloseHandle ") + (h == reinterpret_cast<HANDLE>(0x4711) ? "token" : "?"));
        return TRUE;
    }
    static BOOL WINAPI ExitWindowsEx(UINT flags, DWORD reason)
    {
        Get().Add("ExitWindowsEx " + std::to_string(flags) + " " + std::to_string(reason));
        return TRUE;
    }

    CRITICAL_SECTION m_lock;
    DWORD m_platformId = VER_PLATFORM_WIN32_NT;
    std::vector<std::string> m_calls;
};
