#pragma once

#include "framework/DataExchange.h"
#include "framework/Wnd.h"

// A dialog built from a template resource. `this` lives in DWLP_USER from
// WM_INITDIALOG on; messages go through the message map, and whatever the map
// leaves (or hands back with Default()) goes to the dialog manager.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog modally; the result of EndDialog, or -1.
    INT_PTR DoModal();
    // Creates the dialog modeless (used by tests that inspect a live dialog).
    bool Create(HWND hWndParent = nullptr);
    void EndDialog(int nResult);

    // Runs DoDataExchange: TRUE reads the controls into the members and
    // validates, FALSE writes the members into the controls.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    UINT GetTemplateId() const { return m_nIDTemplate; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // The result goes to the dialog manager: nonzero lets it set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BEGIN_MSG_MAP(CDialog)
        ON_COMMAND(IDOK, OnOK)
        ON_COMMAND(IDCANCEL, OnCancel)
        ON_WM_DRAWITEM()
    END_MSG_MAP(CWnd)

private:
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bModal = false;
};
