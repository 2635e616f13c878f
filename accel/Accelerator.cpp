#include "accel/Accelerator.h"

#include "accel/Shutdown.h"

#include <process.h>

#include <cstdio>
#include <cstring>

std::atomic<HWND> g_hKazaaMain{nullptr};
std::atomic<HWND> g_hKazaaTree{nullptr};
std::atomic<HWND> g_hKazaaPane{nullptr};
std::atomic<int> g_nItemSeconds{1};
std::atomic<BOOL> g_bShutdownWhenDone{FALSE};

void (WINAPI* g_pfnAccelItemSleep)(DWORD) = ::Sleep;

namespace {
const char kKazaaTitlePrefix[] = "Kazaa";

// Held shared while a pass reads the three handles, exclusive while the
// user-interface thread changes them.
SRWLOCK g_kazaaWindowsLock = SRWLOCK_INIT;

std::atomic<int> g_nPassesAlive{0};
// Passes in a row whose count failed; any count that comes clears it.
std::atomic<int> g_nCountFailures{0};

unsigned __stdcall CountedPassProc(void* pParam)
{
    AccelerateCycleProc(pParam);
    --g_nPassesAlive;
    return 0;
}

void PostCommand(HWND hWnd, UINT nID)
{
    ::PostMessageA(hWnd, WM_COMMAND, nID, 0);
}
}  // namespace

KazaaWindows ReadKazaaWindows()
{
    ::AcquireSRWLockShared(&g_kazaaWindowsLock);
    const KazaaWindows windows{g_hKazaaMain, g_hKazaaPane, g_hKazaaTree};
    ::ReleaseSRWLockShared(&g_kazaaWindowsLock);
    return windows;
}

void ForgetKazaaTree()
{
    ::AcquireSRWLockExclusive(&g_kazaaWindowsLock);
    g_hKazaaTree = nullptr;
    g_hKazaaPane = nullptr;
    g_nCountFailures = 0;
    ::ReleaseSRWLockExclusive(&g_kazaaWindowsLock);
}

bool KazaaWindowsLost()
{
    const KazaaWindows kazaa = ReadKazaaWindows();
    if (!kazaa.hTree) return false;
    return !::IsWindow(kazaa.hTree) || !::IsWindow(kazaa.hMain) || g_nCountFailures >= kCountFailuresBeforeSearch;
}

void FindKazaaWindows()
{
    ::EnumWindows(EnumKazaaTopProc, 0);
}

BOOL CALLBACK EnumKazaaTopProc(HWND hWnd, LPARAM)
{
    char title[256] = {0};
    if (::GetWindowTextA(hWnd, title, sizeof title) <= 0) return TRUE;
    // The first five characters, case-sensitively; a shorter title is
    // compared whole and so cannot match.
    if (std::strncmp(title, kKazaaTitlePrefix, sizeof kKazaaTitlePrefix - 1) != 0) return TRUE;

    ::AcquireSRWLockExclusive(&g_kazaaWindowsLock);
    g_hKazaaMain = hWnd;
    ::ReleaseSRWLockExclusive(&g_kazaaWindowsLock);
    PostCommand(hWnd, KAZAA_CMD_MAIN);
    ::EnumChildWindows(hWnd, EnumKazaaChildProc, 0);
    return g_hKazaaTree.load() ? FALSE : TRUE;
}

BOOL CALLBACK EnumKazaaChildProc(HWND hWnd, LPARAM)
{
    if (::GetDlgCtrlID(hWnd) != KAZAA_TREE_ID) return TRUE;
    const HWND hPane = ::GetParent(::GetParent(::GetParent(hWnd)));
    ::AcquireSRWLockExclusive(&g_kazaaWindowsLock);
    g_hKazaaPane = hPane;
    g_hKazaaTree = hWnd;
    ::ReleaseSRWLockExclusive(&g_kazaaWindowsLock);
    return FALSE;
}

unsigned __stdcall AccelerateCycleProc(void*)
{
    // One reading of the shared handles for the whole pass: a restart clears
    // them for a moment while it searches again. A pass that catches them
    // cleared does nothing, as a tick does that finds no tree.
    const KazaaWindows kazaa = ReadKazaaWindows();
    const HWND hPane = kazaa.hPane;
    const HWND hTree = kazaa.hTree;
    if (!hTree) return 0;

    PostCommand(kazaa.hMain, KAZAA_CMD_MAIN);
    PostCommand(hPane, KAZAA_CMD_PANE);

    // Only a tree that really answers 0 counts as "all done"; a count that
    // fails (a window that refuses us, or has gone) or does not come is no
    // count at all.
    DWORD_PTR count = 0;
    if (!::SendMessageTimeoutA(hTree, TVM_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kKazaaCountTimeoutMs, &count)) {
        ++g_nCountFailures;
        ::OutputDebugStringA("count is unknown\r\n");
        return 0;
    }
    g_nCountFailures = 0;
    const int n = static_cast<int>(count);
    char line[32];
    std::snprintf(line, sizeof line, "count is %d\r\n", n);
    ::OutputDebugStringA(line);

    if (n == 0) {
        if (g_bShutdownWhenDone) ShutdownComputer();
        return 0;
    }

    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutA(hTree, WM_KEYDOWN, VK_HOME, 0, SMTO_ABORTIFHUNG, kKazaaCountTimeoutMs, &ignored) ||
        !::SendMessageTimeoutA(hTree, WM_KEYUP, VK_HOME, 0, SMTO_ABORTIFHUNG, kKazaaCountTimeoutMs, &ignored)) {
        ::OutputDebugStringA("Home was not taken\r\n");
        return 0;
    }
    for (int i = 0; i < n; ++i) {
        PostCommand(hPane, KAZAA_CMD_ITEM);
        // Read afresh for every item, so a new delay applies from the next one.
        const int seconds = g_nItemSeconds;
        g_pfnAccelItemSleep(seconds > 0 ? static_cast<DWORD>(seconds) * 1000u : 0u);
        ::PostMessageA(hTree, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageA(hTree, WM_KEYUP, VK_DOWN, 0);
    }
    return 0;
}

bool StartAcceleratePass()
{
    // Only the user-interface thread starts passes, so the count cannot
    // pass the cap between this test and the increment.
    if (g_nPassesAlive >= kMaxPassesAlive) return false;
    ++g_nPassesAlive;
    const uintptr_t hThread = ::_beginthreadex(nullptr, kPassStackBytes, CountedPassProc, nullptr,
                                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!hThread) {
        --g_nPassesAlive;
        return false;
    }
    // Detached: nobody waits for a pass, and passes may overlap.
    ::CloseHandle(reinterpret_cast<HANDLE>(hThread));
    return true;
}

int AcceleratePassesAlive()
{
    return g_nPassesAlive;
}
