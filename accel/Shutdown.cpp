#include "accel/Shutdown.h"

ShutdownApi g_shutdownApi = {
    ::GetVersionExA, ::Sleep, ::OpenProcessToken, ::LookupPrivilegeValueA,
    ::AdjustTokenPrivileges, ::CloseHandle, ::ExitWindowsEx,
};

namespace {
// ExitWindowsEx refuses to shut down unless the caller has enabled the
// shutdown privilege in its own token (the Windows NT family).
void EnableShutdownPrivilege()
{
    HANDLE hToken = nullptr;
    if (!g_shutdownApi.OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken))
        return;
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (g_shutdownApi.LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid))
        g_shutdownApi.AdjustTokenPrivileges(hToken, FALSE, &tp, 0, nullptr, nullptr);
    g_shutdownApi.CloseHandle(hToken);
}
}  // namespace

void ShutdownComputer()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = kVersionInfoSize;
    g_shutdownApi.GetVersionExA(&info);

    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        g_shutdownApi.Sleep(1000);
        g_shutdownApi.ExitWindowsEx(kShutdownFlags95, 0);
        return;
    }
    // Nothing is reported: when the machine is still up at the next pass
    // that finds the tree empty, the shutdown is asked for again.
    EnableShutdownPrivilege();
    g_shutdownApi.ExitWindowsEx(kShutdownFlags, kShutdownReason);
}
