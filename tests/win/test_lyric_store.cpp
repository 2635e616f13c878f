// The lyric store against real files: the exact bytes, reading rules, the
// write that only ever replaces a complete file, and names that must not
// lead anywhere outside the Lyrics folder.
#include "framework/FileFind.h"
#include "lyrics/LyricStore.h"
#include "tests/win/FsTestUtil.h"

#include <gtest/gtest.h>

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
    StoreLyric(path, "Night Owls", "Blue Hour", "la  \r\nla");
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
    StoreLyric(path, "Nobody", "Song", "la");
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
    StoreLyric(path, "Night Owls", "Blue Hour", std::string(3000, 'n').c_str());
    EXPECT_EQ(g_seenDuringWrite, old);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(List(lyrics + "Night Owls"), std::vector<std::string>{"Blue Hour.lyric"});
}

TEST_F(LyricStore, APlaceThatCannotBeReplacedLeavesNoTemporaryFile)
{
    // A folder where the file should be: the final rename fails.
    const CString path = PrepareLyricPath("A", "B");
    ASSERT_TRUE(::CreateDirectoryA(path, nullptr));
    StoreLyric(path, "A", "B", "x");
    EXPECT_EQ(::GetFileAttributesA(path) & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(List(lyrics + "A"), std::vector<std::string>{"B.lyric"});
}

TEST_F(LyricStore, HostileNamesTouchNothingOutsideTheLyricsFolder)
{
    ::CreateDirectoryA(lyricsDir, nullptr);
    const std::vector<std::string> before = List(exeDir);
    const std::vector<std::string> parentBefore = List(exeDir.Left(exeDir.ReverseFind('\\')));
    const char* const hostile[] = {"..", "..\\x", "C:\\x", "CON", "a/b", "nul.txt", ".", "..\\..\\x", "x:y", "aux.lyric"};
    for (const char* name : hostile) {
        SCOPED_TRACE(name);
        // As artist: no folder, no file.
        CString path = PrepareLyricPath(name, "Song");
        StoreLyric(path, name, "Song", "la");
        EXPECT_FALSE(Exists(path));
        EXPECT_EQ(ReadLyricFile(path), "");
        // As title under a plain artist: the artist folder comes, nothing else
        // (its listing is checked below; a device name "exists" anywhere).
        path = PrepareLyricPath("Plain", name);
        StoreLyric(path, "Plain", name, "la");
    }
    EXPECT_EQ(List(lyricsDir), std::vector<std::string>{"Plain"});
    EXPECT_TRUE(List(lyrics + "Plain").empty());
    EXPECT_EQ(List(exeDir), before);
    EXPECT_EQ(List(exeDir.Left(exeDir.ReverseFind('\\'))), parentBefore);
    EXPECT_FALSE(Exists("C:\\x"));
    EXPECT_FALSE(Exists("C:\\x\\Song.lyric"));
}

TEST_F(LyricStore, PathsLeadingOutAreNeitherReadNorDeleted)
{
    // A real file beside the executable, reachable by ".." from an artist folder.
    const CString outside = exeDir + "\\outside.lyric";
    WriteBytes(outside, "not ours");
    const CString sneaky = LyricFilePath("A", "..\\..\\outside");
    PrepareLyricPath("A", "x");
    ASSERT_EQ(ReadBytes(sneaky), "not ours");   // the file system would go there

    EXPECT_EQ(ReadLyricFile(sneaky), "");
    EXPECT_FALSE(DeleteLyricFile(sneaky));
    StoreLyric(sneaky, "A", "x", "overwritten");
    EXPECT_EQ(ReadBytes(outside), "not ours");
    EXPECT_FALSE(DeleteLyricFile(outside));
    EXPECT_EQ(ReadLyricFile(outside), "");
    ::DeleteFileA(outside);
}

}  // namespace
