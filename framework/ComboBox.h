#pragma once

#include "framework/Wnd.h"

// A view of a combo box: the handle plus the calls we use.
class CComboBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
};
