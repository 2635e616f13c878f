#pragma once

#include "framework/Afx.h"
#include "framework/CString.h"
#include "framework/MessageMap.h"

// The whole window text of any window.
void ReadWindowText(HWND hWnd, CString& str);

// A non-owning view of an HWND, with the forwarders the program calls and a
// message map hook. Windows that we create ourselves (CreateEx) and dialogs
// route their messages through ProcessMessage; other windows (controls bound
// with Attach) only carry the object pointer so that owner drawing can find it.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Binds this object to an existing window (no subclassing).
    bool Attach(HWND hWnd);
    HWND Detach();
    static CWnd* FromHandlePermanent(HWND hWnd);

    // The message map of the class; true when an entry handled the message.
    virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Owner drawing reflected from the parent's WM_DRAWITEM.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    // Creates a window of our own class that routes messages to this object.
    bool CreateEx(DWORD dwExStyle, const char* pszWindowName, DWORD dwStyle,
                  int x, int y, int cx, int cy, HWND hWndParent, HMENU hMenu);
    void DestroyWindow();

    // Forwarders.
    LRESULT SendMessage(UINT m, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(m_hWnd, m, w, l); }
    BOOL PostMessage(UINT m, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageA(m_hWnd, m, w, l); }
    void SetWindowText(const char* psz) const { ::SetWindowTextA(m_hWnd, psz); }
    void GetWindowText(CString& str) const { ReadWindowText(m_hWnd, str); }
    BOOL ShowWindow(int nCmdShow) const { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    void GetClientRect(RECT* pRect) const { ::GetClientRect(m_hWnd, pRect); }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) const { return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr); }
    BOOL KillTimer(UINT_PTR nIDEvent) const { return ::KillTimer(m_hWnd, nIDEvent); }
    HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) const
    {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
    }
    void SetRedraw(BOOL bRedraw) const { SendMessage(WM_SETREDRAW, bRedraw, 0); }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }

protected:
    // Asks for the system's default processing of the message being handled,
    // which runs when the handler has returned.
    void Default()
    {
        if (m_pbDefaultRequested) *m_pbDefaultRequested = true;
    }
    // Reflects WM_DRAWITEM to the owner-drawn control's own DrawItem.
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    // The window procedure of our own windows: the message map, then the default.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Set up by the message-map macros around each handler call: the
    // handler's own Default() request. A handler that sends or pumps messages
    // runs nested handlers of this same object, and each of those gets its
    // own request, so none can clear or set the outer one.
    class CHandlerFrame {
    public:
        explicit CHandlerFrame(CWnd* pWnd) : m_pWnd(pWnd), m_pbOuter(pWnd->m_pbDefaultRequested)
        {
            pWnd->m_pbDefaultRequested = &m_bDefault;
        }
        ~CHandlerFrame() { m_pWnd->m_pbDefaultRequested = m_pbOuter; }
        CHandlerFrame(const CHandlerFrame&) = delete;
        CHandlerFrame& operator=(const CHandlerFrame&) = delete;
        bool Handled() const { return !m_bDefault; }

    private:
        CWnd* m_pWnd;
        bool* m_pbOuter;
        bool m_bDefault = false;
    };

private:
    bool* m_pbDefaultRequested = nullptr;

    friend LRESULT CALLBACK SonglarkWndProc(HWND, UINT, WPARAM, LPARAM);
    friend class CDialog;
};
