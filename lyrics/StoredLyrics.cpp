// Listing the lyric store into the main dialog at start-up: every artist
// folder becomes an entry of the artist combo box, every stored lyric a row.
#include "app/SonglarkDlg.h"
#include "app/songlist/SongRow.h"
#include "core/store/LyricFile.h"
#include "framework/FileFind.h"
#include "lyrics/LyricStore.h"
#include "platform/SystemPath.h"

namespace {

// A name the store had to map always holds a '_'; only such a file's first
// line is read, for the real names the row shows. False keeps the listed ones.
bool RealNames(const CString& path, const CString& listedArtist, const CString& listedTitle, CString& artist,
               CString& title)
{
    if (listedArtist.Find('_') < 0 && listedTitle.Find('_') < 0) return false;
    std::string a, t;
    if (!songlark::NamesFromFirstLine(ReadLyricFile(path).str(), listedArtist.str(), listedTitle.str(), &a, &t))
        return false;
    artist = CString(a);
    title = CString(t);
    return true;
}

// The combo's entry for an artist folder: the real artist, as the first of
// its lyrics that tells it says, else the folder's name.
CString ArtistEntry(const CString& folder, const CString& folderName)
{
    if (folderName.Find('_') < 0) return folderName;
    CFileFind finder;
    BOOL bMore = finder.FindFile(folder + "\\*.lyric");
    while (bMore) {
        bMore = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory()) continue;
        CString artist, title;
        const CString listedTitle(songlark::TitleFromFileName(finder.GetFileName().str()));
        if (RealNames(finder.GetFilePath(), folderName, listedTitle, artist, title)) return artist;
    }
    return folderName;
}

}  // namespace

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
        m_comboArtist.AddString(ArtistEntry(finder.GetFilePath(), finder.GetFileName()));
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
        CString realArtist = artist, realTitle = title;
        RealNames(finder.GetFilePath(), artist, title, realArtist, realTitle);
        AppendSongRow("OK", realArtist, realTitle, MakeRowData(ROW_SOURCE_NONE, ROW_STATE_FOUND));
    }
}
