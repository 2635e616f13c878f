// The Options button: the dialog edits the stored settings; after OK the
// program takes them up again and the watcher gets the new folders.
#include "app/SonglarkDlg.h"
#include "settings/OptionsDlg.h"
#include "settings/Settings.h"
#include "watcher/ThreadLimeWire.h"

void CSonglarkDlg::OnOptions()
{
    COptionsDlg dlg;
    if (dlg.DoModal() != IDOK) return;

    // What the registry really holds, which is what the dialog wrote unless
    // a write failed.
    LoadSettings();
    if (g_pWatcher) g_pWatcher->SetFolders(g_strLimeWirePath, g_strKazaaPath);
}
