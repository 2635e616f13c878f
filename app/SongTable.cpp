// The song table's operations and its selection handling.
#include "app/SonglarkDlg.h"

#include <mbstring.h>

namespace {
bool SameText(const CString& a, const CString& b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a.GetString()),
                    reinterpret_cast<const unsigned char*>(b.GetString())) == 0;
}
}  // namespace

int CSonglarkDlg::FindSongRow(const CString& artist, const CString& title) const
{
    const int count = m_listSongs.GetItemCount();
    for (int i = 0; i < count; ++i) {
        if (SameText(m_listSongs.GetItemText(i, 1), artist) && SameText(m_listSongs.GetItemText(i, 2), title))
            return i + 1;
    }
    return 0;
}

void CSonglarkDlg::SelectSongRow(const CString& artist, const CString& title)
{
    m_listSongs.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    const int row = FindSongRow(artist, title);
    if (row > 0) m_listSongs.SetItemState(row - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int CSonglarkDlg::AppendSongRow(const char* status, const CString& artist, const CString& title, DWORD rowData)
{
    const int row = m_listSongs.InsertItem(m_listSongs.GetItemCount(), status);
    m_listSongs.SetItemData(row, rowData);
    m_listSongs.SetItemText(row, 1, artist);
    m_listSongs.SetItemText(row, 2, title);
    return row;
}

void CSonglarkDlg::SetSongRowStatus(int row, const char* status, DWORD rowData)
{
    m_listSongs.SetItemText(row, 0, status);
    m_listSongs.SetItemData(row, rowData);
}

LRESULT CSonglarkDlg::OnSongListClickOrKey(NMHDR*)
{
    // Clicks and keys act through the list's own selection, which reaches us
    // as LVN_ITEMCHANGED.
    return 0;
}

LRESULT CSonglarkDlg::OnSongListItemChanged(NMHDR* pNMHDR)
{
    auto* pNMListView = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    if (pNMListView->uChanged != LVIF_STATE || pNMListView->uNewState == 0) return 0;

    m_strArtist = m_listSongs.GetItemText(pNMListView->iItem, 1);
    m_strSong = m_listSongs.GetItemText(pNMListView->iItem, 2);
    UpdateData(FALSE);

    if (!m_bKeepLyricPanel) SearchLyric(FALSE);
    return 0;
}
