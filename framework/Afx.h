#pragma once

// The one place the framework takes the Windows headers from. The program is
// 8-bit ANSI (the A functions), because its files and registry values are.
#ifdef UNICODE
#error "Songlark is an ANSI program; do not build it with UNICODE"
#endif

#include <windows.h>
#include <commctrl.h>

#ifndef ASSERT
#include <cassert>
#define ASSERT(x) assert(x)
#endif
