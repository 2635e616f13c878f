#pragma once

#include "framework/Dialog.h"

// The about box: no members, no data exchange, OK and Cancel end it.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
