#pragma once

#include "framework/Afx.h"
#include "framework/CString.h"

class CWnd;

// Carries one run of DoDataExchange: the direction and, when reading back,
// whether a validation failed. After the first failure the remaining DDX calls
// do nothing, the failed control has the focus and its text is selected.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    HWND PrepareEditCtrl(int nIDC);
    HWND PrepareCtrl(int nIDC);
    // Marks the exchange as failed: shows the prompt, focuses and selects the
    // last prepared edit control.
    void Fail(const char* pszPrompt);
    bool Failed() const { return m_bFailed; }

private:
    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;
    bool m_bFailed = false;
};

// Binds a control object to the dialog's control (control view, no subclassing).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Window text of an edit (or any window) <-> string.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Edit text <-> int; reading back accepts a decimal integer with an optional
// sign and surrounding blanks or tabs, else fails with "Please enter an integer.".
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// Check box state <-> int (0, 1, 2); a value outside 0..2 shows unchecked.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Combo box edit text <-> string.
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);

// The integer rule of DDX_Text, exposed for tests: true and the value when
// the first 31 characters of text are one decimal integer.
bool ParseDialogInteger(const char* text, int& value);

// The framework's prompt for a failed integer field.
extern const char kPromptEnterInteger[];
