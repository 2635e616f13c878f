#pragma once

#include "framework/Wnd.h"

// A view of a list-view control: the handle plus the calls we use.
class CListCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }

    int InsertColumn(int nCol, const char* pszHeading, int nFormat, int nWidth) const
    {
        LVCOLUMNA col{};
        col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.fmt = nFormat;
        col.cx = nWidth;
        col.pszText = const_cast<char*>(pszHeading);
        col.iSubItem = nCol;
        return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(&col)));
    }

    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    void SetExtendedStyle(DWORD dwStyle) const { SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(dwStyle)); }

    // Inserts an item with the text of column 0; the new index, or -1.
    int InsertItem(int nItem, const char* pszText) const
    {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = nItem;
        item.pszText = const_cast<char*>(pszText);
        return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }

    BOOL SetItemText(int nItem, int nSubItem, const char* pszText) const
    {
        LVITEMA item{};
        item.iSubItem = nSubItem;
        item.pszText = const_cast<char*>(pszText);
        return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
    }

    CString GetItemText(int nItem, int nSubItem) const
    {
        // LVM_GETITEMTEXT answers with the length copied; grow until it fits.
        for (int size = 256;; size *= 2) {
            CString text;
            LVITEMA item{};
            item.iSubItem = nSubItem;
            item.cchTextMax = size;
            item.pszText = text.GetBuffer(size);
            const int n = static_cast<int>(SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
            if (n < size - 1 || size >= (1 << 20)) {
                text.ReleaseBuffer(n);
                return text;
            }
        }
    }

    BOOL SetItemData(int nItem, DWORD_PTR dwData) const
    {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = nItem;
        item.lParam = static_cast<LPARAM>(dwData);
        return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }

    DWORD_PTR GetItemData(int nItem) const
    {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = nItem;
        SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return static_cast<DWORD_PTR>(item.lParam);
    }

    // nItem -1 applies the state to every item.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask) const
    {
        LVITEMA item{};
        item.stateMask = nMask;
        item.state = nState;
        return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
    }

    UINT GetItemState(int nItem, UINT nMask) const
    {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), static_cast<LPARAM>(nMask)));
    }

    int GetNextItem(int nItem, int nFlags) const
    {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(nItem), MAKELPARAM(nFlags, 0)));
    }

    BOOL DeleteItem(int nItem) const { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(nItem))); }

    BOOL GetSubItemRect(int nItem, int nSubItem, int nArea, RECT& rect) const
    {
        rect.top = nSubItem;
        rect.left = nArea;
        return static_cast<BOOL>(SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&rect)));
    }

    // The header control is the list's child window with the id 0.
    HWND GetHeaderCtrl() const { return ::GetDlgItem(m_hWnd, 0); }
};
