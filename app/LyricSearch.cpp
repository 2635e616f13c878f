// The Search command and the lyric lookup behind it and behind a row's
// selection: a stored lyric first, else (when allowed) the lyrics site.
#include "app/SonglarkDlg.h"
#include "app/songlist/SongRow.h"
#include "core/store/LyricFile.h"
#include "lyrics/LyricStore.h"
#include "lyrics/net/FetchLyric.h"

namespace {
const char kLyricNotFound[] = "can't find this song's lyric!";
}  // namespace

void CSonglarkDlg::OnOK()
{
    SearchLyric(TRUE);
    // Select the song's row; the boxes take its texts, the panel keeps the
    // search's result.
    m_bKeepLyricPanel = true;
    SelectSongRow(m_strArtist, m_strSong);
    m_bKeepLyricPanel = false;
}

void CSonglarkDlg::SearchLyric(BOOL bFetch)
{
    UpdateData(TRUE);

    CString lowerArtist = m_strArtist;
    lowerArtist.MakeLower();
    bool listed = false;
    const int entries = m_comboArtist.GetCount();
    for (int i = 0; i < entries && !listed; ++i) {
        CString entry;
        m_comboArtist.GetLBText(i, entry);
        entry.MakeLower();
        listed = entry == lowerArtist;
    }
    if (!listed) m_comboArtist.AddString(m_strArtist);

    HCURSOR hOldCursor = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));

    const CString path = PrepareLyricPath(m_strArtist, m_strSong);
    m_strLyric.Empty();
    m_strLyric = ReadLyricFile(path);

    if (m_strLyric.IsEmpty() && bFetch) {
        int appendedRow = -1;
        if (FindSongRow(m_strArtist, m_strSong) == 0)
            appendedRow = AppendSongRow("FALSE", m_strArtist, m_strSong, MakeRowData(ROW_SOURCE_NONE, ROW_STATE_NOT_FOUND));

        const CString lyric(FetchLyric(m_strArtist, m_strSong).lyric);
        if (lyric.IsEmpty()) {
            m_strLyric = kLyricNotFound;
        } else {
            m_strLyric = CString(songlark::FormatLyricFile(m_strArtist, m_strSong, lyric));
            if (StoreLyric(path, m_strArtist, m_strSong, lyric) && appendedRow >= 0)
                SetSongRowStatus(appendedRow, "OK", MakeRowData(ROW_SOURCE_NONE, ROW_STATE_FOUND));
        }
    }

    ::SetCursor(hOldCursor);
    UpdateData(FALSE);
}
