#include "accel/AccelOptionDlg.h"

const char kPromptItemSecondsRange[] = "Please enter an integer between 0 and 86400.";

CAccelOptionDlg::CAccelOptionDlg(CWnd* pParent)
    : CDialog(IDD_ACCEL_OPTION, pParent),
      m_nItemSeconds(1),
      m_nFileLimit(10),
      m_nCycleSeconds(20),
      m_bShutdown(FALSE)
{
}

CAccelOptionDlg::~CAccelOptionDlg() = default;

void CAccelOptionDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ITEM_SECONDS, m_nItemSeconds);
    DDX_Text(pDX, IDC_FILE_LIMIT, m_nFileLimit);
    DDX_Text(pDX, IDC_CYCLE_SECONDS, m_nCycleSeconds);
    DDX_Check(pDX, IDC_SHUTDOWN_WHEN_DONE, m_bShutdown);

    // The range comes after every edit has passed as an integer. The engine
    // turns the delay into a 32-bit millisecond count, so it must stay small
    // and never negative.
    if (pDX->m_bSaveAndValidate && !pDX->Failed()
        && (m_nItemSeconds < kMinItemSeconds || m_nItemSeconds > kMaxItemSeconds)) {
        pDX->PrepareEditCtrl(IDC_ITEM_SECONDS);
        pDX->Fail(kPromptItemSecondsRange);
    }
}

void CAccelOptionDlg::OnApply()
{
    // The same as Enter: validate, and close with OK when every field is good.
    OnOK();
}

void CAccelOptionDlg::OnClose()
{
    OnCancel();
}
