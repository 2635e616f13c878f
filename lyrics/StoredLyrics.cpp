// Listing the lyric store into the main dialog at start-up: every artist
// folder becomes an entry of the artist combo box, every stored lyric a row.
#include "app/SonglarkDlg.h"
#include "app/songlist/SongRow.h"
#include "core/store/LyricFile.h"
#include "framework/FileFind.h"
#include "lyrics/LyricStore.h"
#include "platform/SystemPath.h"

void CSonglarkDlg::LoadStoredLyrics()
{
    const CString lyricsFolder = LyricsFolderPath();
    if (lyricsFolder.IsEmpty()) return;

    // Thousands of rows and artists may arrive here; draw once at the end.
    m_listSongs.SetRedraw(FALSE);
    m_comboArtist.SetRedraw(FALSE);

    CFileFind finder;
    BOOL bMore = finder.FindFile(lyricsFolder + "*");
    while (bMore) {
        bMore = finder.FindNextFile();
        if (finder.IsDots() || !finder.IsDirectory()) continue;
        m_comboArtist.AddString(finder.GetFileName());
        LoadArtistLyrics(finder.GetFilePath());
    }

    m_comboArtist.SetRedraw(TRUE);
    m_listSongs.SetRedraw(TRUE);
}

void CSonglarkDlg::LoadArtistLyrics(const CString& folder)
{
    // Every file's artist is the name of this folder: taken from the path once.
    const CString artist(songlark::ArtistFromFilePath((folder + "\\").str(), songlark::SystemPathSyntax()));

    CFileFind finder;
    BOOL bMore = finder.FindFile(folder + "\\*.lyric");
    while (bMore) {
        bMore = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory()) continue;
        const CString title(songlark::TitleFromFileName(finder.GetFileName().str()));
        AppendSongRow("OK", artist, title, MakeRowData(ROW_SOURCE_NONE, ROW_STATE_FOUND));
    }
}
