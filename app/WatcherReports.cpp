// The watcher's four reports. They are sent, so the payloads (the watcher's
// own strings and record) are valid while a handler runs; handlers copy what
// they keep.
#include "app/SonglarkDlg.h"
#include "app/songlist/SongRow.h"
#include "lyrics/LyricStore.h"
#include "watcher/ThreadLimeWire.h"

LRESULT CSonglarkDlg::OnSongReported(WPARAM wParam, LPARAM lParam, int source)
{
    const CString artist = *reinterpret_cast<const CString*>(wParam);
    const CString title = *reinterpret_cast<const CString*>(lParam);
    const int row = FindSongRow(artist, title);
    if (row != 0) {
        // A search by hand for this song is still running, and would drop its
        // row if the source cannot be reached: the download takes the row
        // over and is queued, so that it is never left unasked.
        if (m_pSearch && m_listSongs.GetItemData(row - 1) == MakeRowData(ROW_SOURCE_NONE, ROW_STATE_SEARCHING)) {
            SetSongRowStatus(row - 1, "SEARCH", MakeRowData(source, ROW_STATE_SEARCHING));
            return 1;
        }
        return 0;  // listed already (in any case, with any status): nothing to fetch
    }
    AppendSongRow("SEARCH", artist, title, MakeRowData(source, ROW_STATE_SEARCHING));
    return 1;
}

LRESULT CSonglarkDlg::OnLyricReported(WPARAM wParam, LPARAM lParam, int source)
{
    const SongRecord& record = *reinterpret_cast<const SongRecord*>(wParam);
    const int row = FindSongRow(record.strArtist, record.strTitle);
    if (row == 0) return 0;  // the user deleted the row meanwhile
    if (lParam == 0) {
        SetSongRowStatus(row - 1, "FALSE", MakeRowData(source, ROW_STATE_NOT_FOUND));
        return 0;
    }
    const CString path = PrepareLyricPath(record.strArtist, record.strTitle);
    const CString& lyric = *reinterpret_cast<const CString*>(lParam);
    const bool stored = lyric.IsEmpty() || StoreLyric(path, record.strArtist, record.strTitle, lyric);
    SetSongRowStatus(row - 1, stored ? "OK" : "FALSE",
                     MakeRowData(source, stored ? ROW_STATE_FOUND : ROW_STATE_NOT_FOUND));
    return 0;
}

LRESULT CSonglarkDlg::OnLimeWireSong(WPARAM wParam, LPARAM lParam)
{
    return OnSongReported(wParam, lParam, ROW_SOURCE_LIMEWIRE);
}

LRESULT CSonglarkDlg::OnKazaaSong(WPARAM wParam, LPARAM lParam)
{
    return OnSongReported(wParam, lParam, ROW_SOURCE_KAZAA);
}

LRESULT CSonglarkDlg::OnLimeWireLyric(WPARAM wParam, LPARAM lParam)
{
    return OnLyricReported(wParam, lParam, ROW_SOURCE_LIMEWIRE);
}

LRESULT CSonglarkDlg::OnKazaaLyric(WPARAM wParam, LPARAM lParam)
{
    return OnLyricReported(wParam, lParam, ROW_SOURCE_KAZAA);
}
