#include "framework/Dialog.h"

#include "framework/WinApp.h"

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

namespace {
HWND OwnerFor(CWnd* pParent)
{
    if (pParent && pParent->m_hWnd) return pParent->m_hWnd;
    CWnd* pMain = AfxGetMainWnd();
    return pMain ? pMain->m_hWnd : nullptr;
}
}  // namespace

INT_PTR CDialog::DoModal()
{
    m_bModal = true;
    const INT_PTR result = ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                             OwnerFor(m_pParentWnd), DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return result;
}

bool CDialog::Create(HWND hWndParent)
{
    m_bModal = false;
    HWND h = ::CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hWndParent,
                                  DialogProc, reinterpret_cast<LPARAM>(this));
    return h != nullptr;
}

void CDialog::EndDialog(int nResult)
{
    if (!m_hWnd) return;
    if (m_bModal)
        ::EndDialog(m_hWnd, nResult);
    else
        ::DestroyWindow(m_hWnd);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;  // a failed validation keeps the dialog open
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDlg = nullptr;
    if (message == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(pDlg));
        pDlg->Attach(hDlg);
        try {
            return pDlg->OnInitDialog();
        } catch (...) {
            return TRUE;
        }
    }
    pDlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hDlg, DWLP_USER));
    if (!pDlg) return FALSE;

    LRESULT result = 0;
    bool handled = false;
    try {
        handled = pDlg->ProcessMessage(message, wParam, lParam, result);
    } catch (...) {
        // No exception may cross into the dialog manager.
        handled = true;
        result = 0;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hDlg, DWLP_USER, 0);
        pDlg->Detach();
        return FALSE;
    }
    if (!handled) return FALSE;

    // A few messages return their value directly; the rest through DWLP_MSGRESULT.
    switch (message) {
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, static_cast<LONG_PTR>(result));
        return TRUE;
    }
}
