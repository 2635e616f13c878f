#include "accel/Accelerator.h"

#include "accel/Shutdown.h"

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

void PostCommand(HWND hWnd, UINT nID)
{
    ::PostMessageA(hWnd, WM_COMMAND, nID, 0);
}
}  // namespace

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

    g_hKazaaMain = hWnd;
    PostCommand(hWnd, KAZAA_CMD_MAIN);
    ::EnumChildWindows(hWnd, EnumKazaaChildProc, 0);
    return g_hKazaaTree.load() ? FALSE : TRUE;
}

BOOL CALLBACK EnumKazaaChildProc(HWND hWnd, LPARAM)
{
    if (::GetDlgCtrlID(hWnd) != KAZAA_TREE_ID) return TRUE;
    g_hKazaaPane = ::GetParent(::GetParent(::GetParent(hWnd)));
    g_hKazaaTree = hWnd;
    return FALSE;
}

unsigned __stdcall AccelerateCycleProc(void*)
{
    // One reading of the shared handles for the whole pass: a restart clears
    // them for a moment while it searches again. A pass that catches them
    // cleared does nothing, as a tick does that finds no tree; only a tree
    // that answers 0 (empty, or Kazaa gone) counts as "all done".
    const HWND hMain = g_hKazaaMain;
    const HWND hPane = g_hKazaaPane;
    const HWND hTree = g_hKazaaTree;
    if (!hTree) return 0;

    PostCommand(hMain, KAZAA_CMD_MAIN);
    PostCommand(hPane, KAZAA_CMD_PANE);

    const int n = static_cast<int>(::SendMessageA(hTree, TVM_GETCOUNT, 0, 0));
    char line[32];
    std::snprintf(line, sizeof line, "count is %d\r\n", n);
    ::OutputDebugStringA(line);

    if (n == 0) {
        // An empty tree: every download has finished (or Kazaa has gone).
        if (g_bShutdownWhenDone) ShutdownComputer();
        return 0;
    }

    ::SendMessageA(hTree, WM_KEYDOWN, VK_HOME, 0);
    ::SendMessageA(hTree, WM_KEYUP, VK_HOME, 0);
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
