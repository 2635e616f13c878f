#pragma once

// The Kazaa accelerator's engine: discovery of Kazaa's windows and the body of
// one pass over its download tree. The start/stop and timer handlers are
// methods of the main dialog (AccelHandlers.cpp).
#include "framework/Afx.h"

#include <atomic>

// Written whole by the user-interface thread, read by the pass threads;
// atomics make every read see a whole value. The three window handles change
// together (a start clears the tree and pane, discovery sets them): a pass
// takes them with ReadKazaaWindows, and the user-interface thread changes
// them through discovery and ForgetKazaaTree only.
extern std::atomic<HWND> g_hKazaaMain;   // last top-level window titled "Kazaa..."
extern std::atomic<HWND> g_hKazaaTree;   // its download tree (control 373)
extern std::atomic<HWND> g_hKazaaPane;   // the tree's parent's parent's parent
extern std::atomic<int> g_nItemSeconds;  // pause after each item's command
extern std::atomic<BOOL> g_bShutdownWhenDone;

struct KazaaWindows {
    HWND hMain;
    HWND hPane;
    HWND hTree;
};
// The three handles as they stood at one moment, never half of a change.
KazaaWindows ReadKazaaWindows();
// Clears the tree and the pane before a new search; the main window keeps
// the last match, as discovery leaves it.
void ForgetKazaaTree();

// Kazaa's own identifiers, posted as menu commands (WM_COMMAND, lParam 0).
constexpr UINT KAZAA_CMD_MAIN = 32896;  // to the main window, at discovery and each pass
constexpr UINT KAZAA_CMD_PANE = 32959;  // to the pane, at each pass
constexpr UINT KAZAA_CMD_ITEM = 32986;  // to the pane, once per selected item
constexpr int KAZAA_TREE_ID = 373;

// True when the saved Kazaa is no longer worth driving: its tree or main
// window has gone (Kazaa was closed or restarted), or the last
// kCountFailuresBeforeSearch passes in a row got no count. The tick then
// forgets it and searches again.
constexpr int kCountFailuresBeforeSearch = 3;
bool KazaaWindowsLost();

// Searches the top-level windows; afterwards g_hKazaaTree is non-null when
// Kazaa's download tree was found.
void FindKazaaWindows();
BOOL CALLBACK EnumKazaaTopProc(HWND hWnd, LPARAM lParam);
BOOL CALLBACK EnumKazaaChildProc(HWND hWnd, LPARAM lParam);

// One pass over the tree, on a thread of its own; the argument is ignored.
unsigned __stdcall AccelerateCycleProc(void* pParam);

// How long a pass waits for Kazaa to answer the item count, and each of the
// Home key's two messages. A count that fails or times out (Kazaa hung, or
// elevated above us so that its windows refuse our messages) is unknown:
// that pass walks nothing and never shuts the computer down. A Home that is
// not taken in time ends the pass.
constexpr UINT kKazaaCountTimeoutMs = 5000;

// A pass can live for days (each item may wait a day), and a tick comes
// every 20 s: passes get a small stack, and a tick that finds this many
// still alive starts none.
constexpr int kMaxPassesAlive = 8;
constexpr unsigned kPassStackBytes = 64 * 1024;
// Starts AccelerateCycleProc on a detached thread of its own unless
// kMaxPassesAlive passes are alive; false when none was started.
bool StartAcceleratePass();
int AcceleratePassesAlive();

// The pause between items, in milliseconds. Tests shorten it so that a pass
// over many items does not take minutes; the program uses ::Sleep.
extern void (WINAPI* g_pfnAccelItemSleep)(DWORD dwMilliseconds);
