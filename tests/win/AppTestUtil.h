#pragma once

// Helpers for tests that create the program's own windows in-process.
#include "watcher/ThreadLimeWire.h"

// A main dialog started a watcher; tests that end a dialog without its
// Close command stop and free it here.
inline void StopWatcherForTest()
{
    if (!g_pWatcher) return;
    if (g_pWatcher->StopAndWait(10000)) delete g_pWatcher;
    g_pWatcher = nullptr;
}
