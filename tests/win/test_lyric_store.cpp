// The lyric store against real files: the exact bytes, reading rules, the
// write that only ever replaces a complete file, and names that must not
// lead anywhere outside the Lyrics folder.
#include "app/SonglarkDlg.h"
#include "framework/FileFind.h"
#include "lyrics/LyricStore.h"
#include "tests/win/AppTestUtil.h"
#include "tests/win/FsTestUtil.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {


class LyricStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        lyrics = LyricsFolderPath();
        ASSERT_FALSE(lyrics.IsEmpty());
        lyricsDir = lyrics.Left(lyrics.GetLength() - 1);
        exeDir = lyricsDir.Left(lyricsDir.ReverseFind('\\'));
        RemoveTree(lyricsDir);
        ASSERT_FALSE(Exists(lyricsDir));
    }
    void TearDown() override
    {
        SetLyricWriteHook(nullptr);
        RemoveTree(lyricsDir);
    }

    CString lyrics;     // with its trailing backslash
    CString lyricsDir;  // without
    CString exeDir;
};

TEST_F(LyricStore, LivesBesideTheExecutable)
{
    EXPECT_TRUE(Exists(exeDir + "\\win_tests.exe"));
    EXPECT_EQ(lyrics, exeDir + "\\Lyrics\\");
    EXPECT_EQ(LyricFilePath("Night Owls", "Blue Hour"), exeDir + "\\Lyrics\\Night Owls\\Blue Hour.lyric");
    // Texts are taken as given: no trimming, no case folding.
    EXPECT_EQ(LyricFilePath(" a ", "B.c"), exeDir + "\\Lyrics\\ a \\B.c.lyric");
    EXPECT_EQ(LyricFilePath("AC/DC", "Where?"), exeDir + "\\Lyrics\\AC_DC\\Where_.lyric");
}

TEST_F(LyricStore, PrepareMakesBothFoldersEvenWithoutAWrite)
{
    const CString path = PrepareLyricPath("Night Owls", "Blue Hour");
    EXPECT_EQ(path, LyricFilePath("Night Owls", "Blue Hour"));
    EXPECT_TRUE(Exists(lyricsDir));
    EXPECT_TRUE(Exists(lyrics + "Night Owls"));
    EXPECT_FALSE(Exists(path));
    // Again, with the folders already there, is harmless; another case of
    // the same artist shares its folder.
    EXPECT_EQ(PrepareLyricPath("night owls", "x"), LyricFilePath("night owls", "x"));
    EXPECT_EQ(List(lyricsDir), std::vector<std::string>{"Night Owls"});
}

TEST_F(LyricStore, StoresTheExampleByteForByteAndReadsItBackWhole)
{
    const CString path = PrepareLyricPath("Night Owls", "Blue Hour");
    EXPECT_TRUE(StoreLyric(path, "Night Owls", "Blue Hour", "la  \r\nla"));
    const std::string expected = "Night Owls - Blue Hour\r\n\r\nla  \r\nla";
    // The tests carry the program's manifest: UTF-8, marked as such.
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF" + expected);
    EXPECT_EQ(ReadLyricFile(path).str(), expected);
    EXPECT_EQ(List(lyrics + "Night Owls"), std::vector<std::string>{"Blue Hour.lyric"});
}

TEST_F(LyricStore, StoringAgainReplacesTheWholeFile)
{
    const CString path = PrepareLyricPath("Night Owls", "Blue Hour");
    StoreLyric(path, "Night Owls", "Blue Hour", std::string(5000, 'x').c_str());
    StoreLyric(path, "Night Owls", "Blue Hour", "short");
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBFNight Owls - Blue Hour\r\n\r\nshort");
    // The temporary file is gone once it is in place.
    EXPECT_EQ(List(lyrics + "Night Owls"), std::vector<std::string>{"Blue Hour.lyric"});
}

TEST_F(LyricStore, WithoutTheArtistFolderNothingIsWritten)
{
    ::CreateDirectoryA(lyricsDir, nullptr);
    const CString path = LyricFilePath("Nobody", "Song");
    EXPECT_FALSE(StoreLyric(path, "Nobody", "Song", "la"));
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(List(lyricsDir).empty());
}

TEST_F(LyricStore, ReadingMissingEmptyZeroBytesAndLockedFiles)
{
    const CString path = PrepareLyricPath("A", "B");
    EXPECT_EQ(ReadLyricFile(path), "");
    WriteBytes(path, "");
    EXPECT_EQ(ReadLyricFile(path), "");
    WriteBytes(path, std::string("A - B\r\n\r\nbefore\0after", 21));
    EXPECT_EQ(ReadLyricFile(path), "A - B\r\n\r\nbefore");
    WriteBytes(path, std::string("\0rest", 5));
    EXPECT_EQ(ReadLyricFile(path), "");
    // Whatever the user's editor left there is shown as it is.
    WriteBytes(path, "edited\nby hand");
    EXPECT_EQ(ReadLyricFile(path), "edited\nby hand");

    // Reading wants the file to itself.
    HANDLE other = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadLyricFile(path), "");
    ::CloseHandle(other);
    EXPECT_EQ(ReadLyricFile(path), "edited\nby hand");
}

TEST_F(LyricStore, DeleteRemovesTheFileAndKeepsTheFolder)
{
    const CString path = PrepareLyricPath("A", "B");
    StoreLyric(path, "A", "B", "x");
    ASSERT_TRUE(Exists(path));
    EXPECT_TRUE(DeleteLyricFile(path));
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(Exists(lyrics + "A"));
    EXPECT_FALSE(DeleteLyricFile(path));
}

// A write that gives up half-way, as on a full disk. While it runs, the old
// lyric must still be whole at its place.
std::string g_seenDuringWrite;
CString g_watchedPath;

bool WriteHalfThenFail(CFile& file, const void* pData, UINT nCount)
{
    g_seenDuringWrite = ReadBytes(g_watchedPath);
    file.Write(pData, nCount / 2);
    return false;
}

TEST_F(LyricStore, AFailedWriteLeavesTheOldLyricAndNoTemporaryFile)
{
    const CString path = PrepareLyricPath("Night Owls", "Blue Hour");
    StoreLyric(path, "Night Owls", "Blue Hour", "old words");
    const std::string old = ReadBytes(path);

    g_watchedPath = path;
    SetLyricWriteHook(WriteHalfThenFail);
    EXPECT_FALSE(StoreLyric(path, "Night Owls", "Blue Hour", std::string(3000, 'n').c_str()));
    EXPECT_EQ(g_seenDuringWrite, old);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(List(lyrics + "Night Owls"), std::vector<std::string>{"Blue Hour.lyric"});
}

TEST_F(LyricStore, APlaceThatCannotBeReplacedLeavesNoTemporaryFile)
{
    // A folder where the file should be: the final rename fails.
    const CString path = PrepareLyricPath("A", "B");
    ASSERT_TRUE(::CreateDirectoryA(path, nullptr));
    EXPECT_FALSE(StoreLyric(path, "A", "B", "x"));
    EXPECT_EQ(::GetFileAttributesA(path) & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(List(lyrics + "A"), std::vector<std::string>{"B.lyric"});
}

TEST_F(LyricStore, NamesWindowsCannotStoreAreMappedAndTouchNothingOutside)
{
    ::CreateDirectoryA(lyricsDir, nullptr);
    const std::vector<std::string> before = List(exeDir);
    const std::vector<std::string> parentBefore = List(exeDir.Left(exeDir.ReverseFind('\\')));
    const struct {
        const char* name;
        const char* stored;
    } names[] = {{"..", "_"},         {"..\\x", ".._x"}, {"C:\\x", "C__x"},       {"CON", "_CON"},
                 {"a/b", "a_b"},      {"nul.txt", "_nul.txt"}, {"x:y", "x_y"},   {"aux.lyric", "_aux.lyric"},
                 {"AC/DC", "AC_DC"}};
    for (const auto& n : names) {
        SCOPED_TRACE(n.name);
        // As artist, and as title under a plain artist: stored under the
        // mapped name, the first line keeps the real one.
        CString path = PrepareLyricPath(n.name, "Song");
        EXPECT_EQ(path, lyrics + n.stored + "\\Song.lyric");
        EXPECT_TRUE(StoreLyric(path, n.name, "Song", "la"));
        EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF" + std::string(n.name) + " - Song\r\n\r\nla");
        path = PrepareLyricPath("Plain", n.name);
        EXPECT_EQ(path, lyrics + "Plain\\" + n.stored + ".lyric");
        EXPECT_TRUE(StoreLyric(path, "Plain", n.name, "la"));
        EXPECT_EQ(ReadLyricFile(LyricFilePath("Plain", n.name)), CString("Plain - ") + n.name + "\r\n\r\nla");
    }
    EXPECT_EQ(List(lyrics + "Plain").size(), sizeof names / sizeof names[0]);
    EXPECT_EQ(List(exeDir), before);
    EXPECT_EQ(List(exeDir.Left(exeDir.ReverseFind('\\'))), parentBefore);
    EXPECT_FALSE(Exists("C:\\x"));
}

TEST_F(LyricStore, AReportedLyricIsStoredOrItsRowSaysFalseAndMappedNamesListBackAsTheyAre)
{
    ::CreateDirectoryA(lyricsDir, nullptr);
    WriteBytes(lyrics + "Blocked", "a file where the artist's folder would go");
    ASSERT_TRUE(StoreLyric(PrepareLyricPath("AC/DC", "Edited"), "AC/DC", "Edited", "la"));
    WriteBytes(LyricFilePath("AC/DC", "Edited"), "changed by hand");
    CSonglarkDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    CString lyric = "la";
    for (SongRecord record : {SongRecord{"Blocked", "Song", 0}, SongRecord{"AC/DC", "T.N.T.?", 0}}) {
        dlg.AppendSongRow("SEARCH", record.strArtist, record.strTitle, 0x101);
        ::SendMessageA(dlg.m_hWnd, WM_LIMEWIRE_LYRIC, reinterpret_cast<WPARAM>(&record),
                       reinterpret_cast<LPARAM>(&lyric));
    }
    EXPECT_EQ(dlg.m_listSongs.GetItemText(1, 0), "FALSE");
    EXPECT_EQ(dlg.m_listSongs.GetItemText(2, 0), "OK");
    EXPECT_EQ(ReadBytes(lyrics + "AC_DC\\T.N.T._.lyric"), "\xEF\xBB\xBF" "AC/DC - T.N.T.?\r\n\r\nla");
    ::DestroyWindow(dlg.m_hWnd);
    StopWatcherForTest();

    // Listed again: a file whose first line no longer tells keeps the listed names.
    CSonglarkDlg again;
    ASSERT_TRUE(again.Create(nullptr));
    std::set<std::string> rows, entries;
    for (int i = 0; i < again.m_listSongs.GetItemCount(); ++i)
        rows.insert(again.m_listSongs.GetItemText(i, 1).str() + "|" + again.m_listSongs.GetItemText(i, 2).str());
    for (int i = 0; i < again.m_comboArtist.GetCount(); ++i) {
        CString entry;
        again.m_comboArtist.GetLBText(i, entry);
        entries.insert(entry.str());
    }
    ::DestroyWindow(again.m_hWnd);
    StopWatcherForTest();
    EXPECT_EQ(rows, (std::set<std::string>{"AC/DC|T.N.T.?", "AC_DC|Edited"}));
    EXPECT_EQ(entries, std::set<std::string>{"AC/DC"});
}

TEST_F(LyricStore, PathsLeadingOutAreNeitherReadNorDeleted)
{
    // A real file beside the executable, reachable by ".." from an artist folder.
    const CString outside = exeDir + "\\outside.lyric";
    WriteBytes(outside, "not ours");
    const CString sneaky = lyrics + "A\\..\\..\\outside.lyric";
    PrepareLyricPath("A", "x");
    ASSERT_EQ(ReadBytes(sneaky), "not ours");   // the file system would go there

    EXPECT_EQ(ReadLyricFile(sneaky), "");
    EXPECT_FALSE(DeleteLyricFile(sneaky));
    EXPECT_FALSE(StoreLyric(sneaky, "A", "x", "overwritten"));
    EXPECT_EQ(ReadBytes(outside), "not ours");
    EXPECT_FALSE(DeleteLyricFile(outside));
    EXPECT_EQ(ReadLyricFile(outside), "");
    ::DeleteFileA(outside);
}

}  // namespace
