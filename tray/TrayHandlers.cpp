// The main dialog's side of the tray icon: its callback message goes to the
// tray object, which answers with the menu or the default command.
#include "app/SonglarkDlg.h"

LRESULT CSonglarkDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam)
{
    return m_trayIcon.HandleTrayMessage(wParam, lParam);
}
