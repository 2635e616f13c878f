#include "tray/SystemTray.h"

#include "framework/WinApp.h"

#include <cstring>

TrayApi g_trayApi = {::Shell_NotifyIconA, ::LoadMenuA, ::TrackPopupMenu};

namespace {
// Broadcast by the shell to every top-level window when the taskbar is
// (re)created; the icons of the old taskbar are gone by then.
UINT TaskbarCreatedMessage()
{
    static const UINT s_uMsg = ::RegisterWindowMessageA("TaskbarCreated");
    return s_uMsg;
}

// The popup of the tray menu: the first submenu of the menu resource.
struct TrayMenu {
    HMENU hMenu = nullptr;
    HMENU hPopup = nullptr;
    explicit TrayMenu(UINT uID)
    {
        hMenu = g_trayApi.LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(uID));
        if (hMenu) hPopup = ::GetSubMenu(hMenu, 0);
    }
    ~TrayMenu()
    {
        if (hMenu) ::DestroyMenu(hMenu);
    }
    TrayMenu(const TrayMenu&) = delete;
    TrayMenu& operator=(const TrayMenu&) = delete;
};
}  // namespace

CSystemTray::CSystemTray()
    : m_bIconShown(FALSE), m_nid(), m_uDefaultItem(0), m_bDefaultByPos(TRUE)
{
}

CSystemTray::~CSystemTray()
{
    DeleteIcon();
    DestroyWindow();
}

BOOL CSystemTray::Create(CWnd* pParent, UINT uCallbackMessage, const char* pszToolTip, HICON hIcon, UINT uID)
{
    // The notification area came with Windows 95 and NT 4.
    if (LOBYTE(LOWORD(::GetVersion())) < 4) {
        m_bIconShown = FALSE;
        return FALSE;
    }

    // Never shown; with a parent given the icon works without it.
    CreateEx(0, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);

    m_nid.cbSize = kTrayRecordSize;
    m_nid.hWnd = (pParent && pParent->m_hWnd) ? pParent->m_hWnd : m_hWnd;
    m_nid.uID = uID;
    m_nid.hIcon = hIcon;
    m_nid.uCallbackMessage = uCallbackMessage;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    // The first record's tooltip field holds 63 characters and the zero.
    const size_t tipMax = 63;
    std::strncpy(m_nid.szTip, pszToolTip ? pszToolTip : "", tipMax);
    m_nid.szTip[tipMax] = '\0';

    m_bIconShown = g_trayApi.Shell_NotifyIconA(NIM_ADD, &m_nid);
    return m_bIconShown;
}

void CSystemTray::DeleteIcon()
{
    if (!m_bIconShown) return;
    m_nid.uFlags = 0;
    g_trayApi.Shell_NotifyIconA(NIM_DELETE, &m_nid);
    m_bIconShown = FALSE;
}

BOOL CSystemTray::SetDefaultMenuItem(UINT uItem, BOOL bByPos)
{
    if (m_uDefaultItem == uItem && m_bDefaultByPos == bByPos) return TRUE;
    m_uDefaultItem = uItem;
    m_bDefaultByPos = bByPos;

    // The loaded menu is a throwaway copy: what lasts is the stored pair,
    // which the popup applies each time it is shown.
    TrayMenu menu(m_nid.uID);
    if (!menu.hPopup) return FALSE;
    ::SetMenuDefaultItem(menu.hPopup, m_uDefaultItem, m_bDefaultByPos);
    return TRUE;
}

HWND CSystemTray::TargetWindow() const
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && pMain->m_hWnd) return pMain->m_hWnd;
    // No application window (a tray used on its own): the callback's window.
    return m_nid.hWnd;
}

LRESULT CSystemTray::HandleTrayMessage(WPARAM wParam, LPARAM lParam)
{
    if (wParam != m_nid.uID) return 0;
    HWND hTarget = TargetWindow();

    switch (LOWORD(lParam)) {
    case WM_RBUTTONUP: {
        TrayMenu menu(m_nid.uID);
        if (!menu.hPopup) return 0;
        ::SetMenuDefaultItem(menu.hPopup, m_uDefaultItem, m_bDefaultByPos);
        POINT pos;
        ::GetCursorPos(&pos);
        // Our window must be foreground before TrackPopupMenu, or the menu
        // will not go away when the user clicks elsewhere.
        ::SetForegroundWindow(hTarget);
        g_trayApi.TrackPopupMenu(menu.hPopup, 0, pos.x, pos.y, 0, hTarget, nullptr);
        // Lets the target's queue move on, so that a second popup opens at once.
        ::PostMessageA(hTarget, WM_NULL, 0, 0);
        return 1;
    }
    case WM_LBUTTONDBLCLK: {
        ::SetForegroundWindow(hTarget);
        UINT uCommand = m_uDefaultItem;
        if (m_bDefaultByPos) {
            TrayMenu menu(m_nid.uID);
            if (!menu.hPopup) return 0;
            uCommand = ::GetMenuItemID(menu.hPopup, static_cast<int>(m_uDefaultItem));
        }
        ::SendMessageA(hTarget, WM_COMMAND, uCommand, 0);
        return 1;
    }
    default:
        return 1;
    }
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_nid.uCallbackMessage && message == m_nid.uCallbackMessage) return HandleTrayMessage(wParam, lParam);
    if (message == TaskbarCreatedMessage()) {
        // Explorer restarted: the new taskbar has none of the old icons. The
        // icon is wanted while Create's flags stand (DeleteIcon clears them);
        // when the shell still knows it, a modify keeps it.
        if (m_nid.uFlags) {
            m_bIconShown = g_trayApi.Shell_NotifyIconA(NIM_ADD, &m_nid)
                           || g_trayApi.Shell_NotifyIconA(NIM_MODIFY, &m_nid);
        }
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
