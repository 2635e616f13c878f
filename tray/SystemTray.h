#pragma once

// One icon with a tooltip in the taskbar's notification area. A right-button
// release pops up the menu whose resource id is the icon's id, a left
// double-click sends that menu's default command to the main window. The
// object is itself a hidden window, so that it hears the shell's
// "TaskbarCreated" broadcast and puts its icon back after Explorer restarts.
#include "framework/Wnd.h"

#include <shellapi.h>

class CSystemTray : public CWnd {
public:
    CSystemTray();
    ~CSystemTray() override;

    // Adds the icon; the parent (when it has a window) receives the callback
    // messages. FALSE when the system is too old or the shell refuses.
    BOOL Create(CWnd* pParent, UINT uCallbackMessage, const char* pszToolTip, HICON hIcon, UINT uID);
    void DeleteIcon();
    // The popup's default item, by position or by command id.
    BOOL SetDefaultMenuItem(UINT uItem, BOOL bByPos);
    BOOL IsIconShown() const { return m_bIconShown; }

    // One callback: wParam the icon id, LOWORD(lParam) the mouse message.
    virtual LRESULT HandleTrayMessage(WPARAM wParam, LPARAM lParam);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    BOOL m_bIconShown;
    NOTIFYICONDATAA m_nid;
    UINT m_uDefaultItem;
    BOOL m_bDefaultByPos;

private:
    HWND TargetWindow() const;
};

// The record's first version: up to the 64-byte tooltip (88 bytes in the
// 32-bit program), which every shell understands.
constexpr DWORD kTrayRecordSize = NOTIFYICONDATAA_V1_SIZE;
#ifndef _WIN64
static_assert(kTrayRecordSize == 88, "the first NOTIFYICONDATA is 88 bytes");
#endif

// The shell and menu calls of the tray, replaceable by tests (a refused icon,
// a popup that records what it would show instead of tracking the mouse).
struct TrayApi {
    BOOL (WINAPI* Shell_NotifyIconA)(DWORD dwMessage, PNOTIFYICONDATAA lpData);
    HMENU (WINAPI* LoadMenuA)(HINSTANCE hInstance, LPCSTR lpMenuName);
    BOOL (WINAPI* TrackPopupMenu)(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd,
                                  const RECT* prcRect);
};
extern TrayApi g_trayApi;
