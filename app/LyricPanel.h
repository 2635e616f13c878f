#pragma once

#include "framework/Afx.h"

// Edit Lyric starts Notepad through this; tests put their own in its place,
// since a test must not start a program. Null restores WinExec.
using StartEditorFn = UINT(WINAPI*)(LPCSTR lpCmdLine, UINT uCmdShow);
void SetStartEditorHook(StartEditorFn pfnStart);
