#include "app/SonglarkApp.h"

#include "app/SonglarkDlg.h"
#include "res/resource.h"

BOOL CSonglarkApp::InitInstance()
{
    if (!AfxSocketInit()) {
        AfxMessageBox(IDP_SOCKETS_INIT_FAILED, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }

    EnableDialogControls();

    CSonglarkDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // The dialog has ended; returning FALSE ends the program without a
    // message loop of our own.
    return FALSE;
}
