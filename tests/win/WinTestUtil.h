#pragma once

// Helpers for tests that drive windows in-process.
#include "framework/Afx.h"

#include <functional>

// Dispatches this thread's pending messages for about `ms` milliseconds.
inline void PumpMessages(DWORD ms = 50)
{
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(5);
    } while (::GetTickCount() - start < ms);
}

// Pumps messages until the predicate holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= timeoutMs) return false;
        PumpMessages(10);
    }
    return true;
}

// The rectangle of a child window in its parent's client coordinates.
inline RECT ChildRect(HWND child)
{
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Dialog units to pixels for a dialog, as the dialog manager converts a
// template's position and size (each on its own, so rounding matches).
inline RECT DialogUnits(HWND dlg, int x, int y, int w, int h)
{
    RECT pos{x, y, 0, 0};
    RECT size{w, h, 0, 0};
    ::MapDialogRect(dlg, &pos);
    ::MapDialogRect(dlg, &size);
    return RECT{pos.left, pos.top, pos.left + size.left, pos.top + size.top};
}
