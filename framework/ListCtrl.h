#pragma once

#include "framework/Wnd.h"

// A view of a list-view control: the handle plus the calls we use.
class CListCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
};
