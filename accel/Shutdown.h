#pragma once

// Turns the computer off once Kazaa has nothing left to download. Runs on the
// accelerator's pass thread.
#include "framework/Afx.h"

void ShutdownComputer();

// Every system call of the shutdown goes through this table, so that tests
// can record the calls instead of turning the machine off.
struct ShutdownApi {
    BOOL (WINAPI* GetVersionExA)(LPOSVERSIONINFOA lpVersionInformation);
    void (WINAPI* Sleep)(DWORD dwMilliseconds);
    BOOL (WINAPI* OpenProcessToken)(HANDLE hProcess, DWORD dwDesiredAccess, PHANDLE phToken);
    BOOL (WINAPI* LookupPrivilegeValueA)(LPCSTR lpSystemName, LPCSTR lpName, PLUID lpLuid);
    BOOL (WINAPI* AdjustTokenPrivileges)(HANDLE hToken, BOOL bDisableAll, PTOKEN_PRIVILEGES pNewState,
                                         DWORD cbPrevious, PTOKEN_PRIVILEGES pPrevious, PDWORD pcbReturned);
    BOOL (WINAPI* CloseHandle)(HANDLE hObject);
    BOOL (WINAPI* ExitWindowsEx)(UINT uFlags, DWORD dwReason);
};
extern ShutdownApi g_shutdownApi;

// The record GetVersionEx is given: the 8-bit-character form.
constexpr DWORD kVersionInfoSize = 148;
static_assert(sizeof(OSVERSIONINFOA) == kVersionInfoSize, "OSVERSIONINFOA is 148 bytes");

// The flags and reason of the shutdown outside the Windows 95 family.
constexpr UINT kShutdownFlags = EWX_SHUTDOWN | EWX_POWEROFF | EWX_FORCEIFHUNG;
constexpr DWORD kShutdownReason = SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED;
// The Windows 95 family: shut down, and force the programs that hold on.
constexpr UINT kShutdownFlags95 = EWX_SHUTDOWN | EWX_FORCE;
