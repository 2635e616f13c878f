#pragma once

// The accelerator's option dialog (template 133): the pause between items and
// the shutdown flag reach the engine when it closes with OK; the cycle period
// and the file limit are shown and validated but go nowhere.
#include "framework/Dialog.h"
#include "res/resource.h"

class CAccelOptionDlg : public CDialog {
public:
    explicit CAccelOptionDlg(CWnd* pParent = nullptr);
    ~CAccelOptionDlg() override;

    int m_nItemSeconds;
    int m_nFileLimit;
    int m_nCycleSeconds;
    BOOL m_bShutdown;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    void OnApply();
    void OnClose();

    BEGIN_MSG_MAP(CAccelOptionDlg)
        ON_BN_CLICKED(IDC_ACCEL_APPLY, OnApply)
        ON_BN_CLICKED(IDC_ACCEL_CLOSE, OnClose)
    END_MSG_MAP(CDialog)
};

// The item delay accepted by the dialog, in seconds: up to one day.
constexpr int kMinItemSeconds = 0;
constexpr int kMaxItemSeconds = 86400;
extern const char kPromptItemSecondsRange[];
