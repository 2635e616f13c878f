#pragma once

#include "framework/ComboBox.h"
#include "framework/Dialog.h"
#include "framework/ListCtrl.h"

// The main window: a modal dialog that holds every control of the program.
class CSonglarkDlg : public CDialog {
public:
    explicit CSonglarkDlg(CWnd* pParent = nullptr);

    CComboBox m_comboArtist;
    CListCtrl m_listSongs;
    CString m_strLyric;
    CString m_strSong;
    CString m_strArtist;
    HICON m_hIcon;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    BEGIN_MSG_MAP(CSonglarkDlg)
    END_MSG_MAP(CDialog)
};
