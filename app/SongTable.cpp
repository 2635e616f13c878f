// The song table's operations and its selection handling.
#include "app/SonglarkDlg.h"
#include "watcher/ThreadLimeWire.h"

void CSonglarkDlg::SyncSongRows() const
{
    // Rows come and go only through AppendSongRow and the list's deletions;
    // should the table ever hold rows added some other way, read it afresh.
    const int count = m_listSongs.GetItemCount();
    if (count == m_songRows.GetCount()) return;
    m_songRows.Clear();
    for (int i = 0; i < count; ++i) m_songRows.Append(m_listSongs.GetItemText(i, 1), m_listSongs.GetItemText(i, 2));
}

int CSonglarkDlg::FindSongRow(const CString& artist, const CString& title) const
{
    SyncSongRows();
    return m_songRows.Find(artist, title) + 1;
}

void CSonglarkDlg::SelectSongRow(const CString& artist, const CString& title)
{
    m_listSongs.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    const int row = FindSongRow(artist, title);
    if (row > 0) m_listSongs.SetItemState(row - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int CSonglarkDlg::AppendSongRow(const char* status, const CString& artist, const CString& title, DWORD rowData)
{
    SyncSongRows();
    const int row = m_listSongs.InsertItem(m_listSongs.GetItemCount(), status);
    if (row < 0) return row;
    m_listSongs.SetItemData(row, rowData);
    m_listSongs.SetItemText(row, 1, artist);
    m_listSongs.SetItemText(row, 2, title);
    m_songRows.Append(artist, title);
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

LRESULT CSonglarkDlg::OnSongListDeleteItem(NMHDR* pNMHDR)
{
    SyncSongRows();
    const int row = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iItem;
    // Sent before the row goes, so its texts can still be read.
    const CString artist = m_listSongs.GetItemText(row, 1);
    const CString title = m_listSongs.GetItemText(row, 2);
    m_songRows.Erase(row);
    // The song's last row gone: the watcher stops asking for it.
    if (g_pWatcher && m_songRows.Find(artist, title) < 0) g_pWatcher->ForgetSong(artist, title);
    return 0;
}

LRESULT CSonglarkDlg::OnSongListDeleteAllItems(NMHDR*)
{
    m_songRows.Clear();
    // No LVN_DELETEITEM per row: the rows are forgotten all at once.
    return TRUE;
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
