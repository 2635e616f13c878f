#include "framework/DataExchange.h"

#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char kPromptEnterInteger[] = "Please enter an integer.";

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND h = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    m_hWndLastControl = h;
    m_bEditLastControl = false;
    return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND h = PrepareCtrl(nIDC);
    m_bEditLastControl = true;
    return h;
}

void CDataExchange::Fail(const char* pszPrompt)
{
    m_bFailed = true;
    if (pszPrompt) AfxMessageBox(pszPrompt, MB_OK | MB_ICONEXCLAMATION);
    if (m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (pDX->Failed()) return;
    HWND h = pDX->PrepareCtrl(nIDC);
    // Bound at the first exchange of each showing: a view kept from an
    // earlier showing still holds that window's destroyed control.
    if (rControl.m_hWnd == h) return;
    rControl.Detach();
    rControl.Attach(h);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    if (pDX->Failed()) return;
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        ReadWindowText(h, value);
    } else {
        ::SetWindowTextA(h, value);
    }
}

bool ParseDialogInteger(const char* text, int& value)
{
    char buf[32];
    std::strncpy(buf, text ? text : "", 31);
    buf[31] = '\0';
    const char* p = buf;
    while (*p == ' ' || *p == '\t') ++p;
    const char* start = p;
    if (*p == '+' || *p == '-') ++p;
    if (*p < '0' || *p > '9') return false;
    while (*p >= '0' && *p <= '9') ++p;
    const char* end = p;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != '\0') return false;
    errno = 0;
    const long long v = std::strtoll(std::string(start, end).c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->Failed()) return;
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        char buf[64] = {0};
        ::GetWindowTextA(h, buf, sizeof buf);
        int v = 0;
        if (!ParseDialogInteger(buf, v)) {
            pDX->Fail(kPromptEnterInteger);
            return;
        }
        value = v;
    } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%d", value);
        ::SetWindowTextA(h, buf);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->Failed()) return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(h, BM_GETCHECK, 0, 0));
    } else {
        const int state = (value < 0 || value > 2) ? 0 : value;
        ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    // The edit part of a drop-down combo box is its window text.
    DDX_Text(pDX, nIDC, value);
}
