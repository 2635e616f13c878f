#pragma once

#include "framework/Dialog.h"
#include "res/resource.h"

#include <shlobj.h>

// The Options dialog: both watch switches and both folders. It reads the
// stored values when it opens and writes all four back on OK; Cancel keeps
// the registry as it was.
class COptionsDlg : public CDialog {
public:
    explicit COptionsDlg(CWnd* pParent = nullptr);
    ~COptionsDlg() override;

    BOOL m_bCheckLimeWire;
    CString m_strLimeWirePath;
    BOOL m_bCheckKazaa;
    CString m_strKazaaPath;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnBrowseLimeWire();
    void OnBrowseKazaa();

    BEGIN_MSG_MAP(COptionsDlg)
        ON_BN_CLICKED(IDC_BROWSE_LIMEWIRE, OnBrowseLimeWire)
        ON_BN_CLICKED(IDC_BROWSE_KAZAA, OnBrowseKazaa)
    END_MSG_MAP(CDialog)

private:
    // Lets the user pick a folder, starting at strFolder; on a choice that
    // has a file-system path, strFolder becomes it and the fields show it.
    void BrowseForFolder(CString& strFolder, const char* pszTitle);
};

// The shell's folder browser is a modal system dialog, so tests put their
// own in its place. Null restores SHBrowseForFolderA.
using BrowseForFolderFn = PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOA lpbi);
void SetBrowseForFolderHook(BrowseForFolderFn pfnBrowse);
