#pragma once

#include "framework/Wnd.h"

// A view of a combo box: the handle plus the calls we use.
class CComboBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int AddString(const char* psz) const { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz))); }

    void GetLBText(int nIndex, CString& str) const
    {
        const int n = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex)));
        if (n < 0) {
            str.Empty();
            return;
        }
        char* p = str.GetBuffer(n + 1);
        const int got = static_cast<int>(SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(p)));
        str.ReleaseBuffer(got > 0 ? got : 0);
    }
};
