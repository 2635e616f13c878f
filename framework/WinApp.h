#pragma once

#include "framework/Afx.h"
#include "framework/CString.h"

class CWnd;

// The application object. Exactly one exists, constructed statically; the
// framework's entry point runs its InitInstance and, if that returns TRUE,
// its Run and ExitInstance.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    HICON LoadIcon(UINT nIDResource) const;
    // The application's title: the running exe's base name.
    const CString& GetAppTitle() const { return m_strTitle; }

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;

protected:
    // Registers the common control classes the dialogs use (list view, tree view).
    void EnableDialogControls();

private:
    friend int AfxWinMain(HINSTANCE hInstance, int nCmdShow);
    CString m_strTitle;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
CWnd* AfxGetMainWnd();

// A message box captioned with the application's title, owned by the main
// window's last active popup.
int AfxMessageBox(const char* pszText, UINT nType = MB_OK | MB_ICONEXCLAMATION);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK | MB_ICONEXCLAMATION);

// WinSock start-up asking for version 1.1; FALSE when WSAStartup fails or
// grants another version. WSACleanup runs at process exit.
BOOL AfxSocketInit();

// The framework's entry point, called from the program's WinMain.
int AfxWinMain(HINSTANCE hInstance, int nCmdShow);
