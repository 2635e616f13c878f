// The Search command and the watcher's reports, driven on a live main dialog
// with a loopback lyrics site and the real Lyrics folder beside the test exe.
#include "app/SonglarkDlg.h"
#include "framework/FileFind.h"
#include "lyrics/LyricStore.h"
#include "lyrics/net/LyricsSite.h"
#include "tests/core/LoopbackServer.h"
#include "tests/win/AppTestUtil.h"
#include "tests/win/FsTestUtil.h"
#include "tests/win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

const char kNotFound[] = "can't find this song's lyric!";

std::string Page(const std::string& body)
{
    return "HTTP/1.0 200 OK\r\n\r\n" + body;
}


class LyricSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const CString lyrics = LyricsFolderPath();
        lyricsDir = lyrics.Left(lyrics.GetLength() - 1);
        RemoveTree(lyricsDir);
        server = std::make_unique<LoopbackServer>([](SOCKET c, const std::string& request) {
            const std::map<std::string, std::string> pages = {
                {"/n/night-owls/songs.html",
                 Page("<p><a href=\"/\">home</a> <a href=\"/n/night-owls/blue-hour.html\" title=\"Blue Hour Lyrics\">x</a>")},
                {"/n/night-owls/blue-hour.html", Page("<div>lamps<br>hum<br>low<br></div>")},
            };
            const size_t a = request.find(' '), b = request.find(' ', a + 1);
            const auto it = pages.find(request.substr(a + 1, b - a - 1));
            SendAll(c, it != pages.end() ? it->second : "HTTP/1.0 404 Not Found\r\n\r\nno");
        }, 16);
        ASSERT_TRUE(dlg.Create(nullptr));
        hDlg = dlg.m_hWnd;
        // After the dialog loaded the settings, which may name a site of their own.
        SetLyricsSite("127.0.0.1:" + std::to_string(server->port()));
    }
    void TearDown() override
    {
        if (::IsWindow(hDlg)) ::DestroyWindow(hDlg);
        StopWatcherForTest();
        SetLyricsSite("");
        server.reset();
        RemoveTree(lyricsDir);
    }
    // Presses Search; unless told not to, serves the window until the search has ended.
    void Search(const char* artist, const char* song, bool wait = true)
    {
        ::SetDlgItemTextA(hDlg, IDC_ARTIST, artist);
        ::SetDlgItemTextA(hDlg, IDC_SONG, song);
        ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        if (wait) {
            ASSERT_TRUE(PumpUntil([&] { return !dlg.IsSearching(); }, 40000));
        }
    }
    std::string Panel() { return Box(IDC_LYRIC); }
    std::string Box(int id)
    {
        char buf[4096] = {0};
        ::GetDlgItemTextA(hDlg, id, buf, sizeof buf);
        return buf;
    }
    int SelectedRow() { return dlg.m_listSongs.GetNextItem(-1, LVNI_SELECTED); }
    std::string Cell(int row, int col) { return dlg.m_listSongs.GetItemText(row, col).str(); }
    size_t Requests() { return server->requests().size(); }
    void Store(const char* artist, const char* title, const char* lyric)
    {
        StoreLyric(PrepareLyricPath(artist, title), artist, title, lyric);
    }

    CString lyricsDir;
    std::unique_ptr<LoopbackServer> server;
    CSonglarkDlg dlg;
    HWND hDlg = nullptr;
};

}  // namespace

TEST_F(LyricSearchTest, AStoredSongIsShownAsStoredWithoutARequest)
{
    Store("Night Owls", "Blue Hour", "stored words");
    dlg.AppendSongRow("OK", "Night Owls", "Blue Hour", 0);
    Search("night owls", "BLUE HOUR");
    EXPECT_EQ(Panel(), "Night Owls - Blue Hour\r\n\r\nstored words") << "the whole file, header included";
    EXPECT_EQ(Requests(), 0u);
    EXPECT_EQ(dlg.m_listSongs.GetItemCount(), 1);
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(Box(IDC_ARTIST), "Night Owls") << "the boxes show the selected row's texts";
    EXPECT_EQ(Box(IDC_SONG), "Blue Hour");
}

TEST_F(LyricSearchTest, ANewSongIsAppendedFetchedStoredShownAndSelected)
{
    dlg.AppendSongRow("OK", "Someone", "Else", 0);
    Search("Night Owls", "Blue Hour");
    ASSERT_EQ(dlg.m_listSongs.GetItemCount(), 2);
    EXPECT_EQ(Cell(1, 0), "OK");
    EXPECT_EQ(dlg.m_listSongs.GetItemData(1), 0u);
    EXPECT_EQ(SelectedRow(), 1);
    const std::string text = "Night Owls - Blue Hour\r\n\r\nlamps  \r\nhum  \r\nlow  \r\n";
    EXPECT_EQ(Panel(), text) << "the selection keeps the search's text";
    EXPECT_EQ(ReadBytes(LyricFilePath("Night Owls", "Blue Hour")), "\xEF\xBB\xBF" + text) << "UTF-8, marked";
    EXPECT_EQ(Requests(), 2u);
}

TEST_F(LyricSearchTest, ASongTheSiteLacksStaysFalseSelectedWithTheNotFoundText)
{
    Search("Night Owls", "Unwritten");
    ASSERT_EQ(dlg.m_listSongs.GetItemCount(), 1);
    EXPECT_EQ(Cell(0, 0), "FALSE");
    EXPECT_EQ(dlg.m_listSongs.GetItemData(0), 2u);
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(Panel(), kNotFound);
    EXPECT_FALSE(Exists(LyricFilePath("Night Owls", "Unwritten")));
    EXPECT_TRUE(Exists(lyricsDir + "\\Night Owls")) << "the artist folder is prepared all the same";
}

TEST_F(LyricSearchTest, ASearchRunsOffTheWindowsThreadOneAtATime)
{
    // The site holds each request until the test lets it answer.
    HANDLE answer = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    server = std::make_unique<LoopbackServer>([answer](SOCKET c, const std::string&) {
        ::WaitForSingleObject(answer, 20000);
        SendAll(c, "HTTP/1.0 404 Not Found\r\n\r\nno");
    }, 16);
    SetLyricsSite("127.0.0.1:" + std::to_string(server->port()));
    dlg.AppendSongRow("OK", "Someone", "Else", 0);
    Search("Night Owls", "Unwritten", false);
    ASSERT_TRUE(dlg.IsSearching()) << "Search returned while the site still holds the request";
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)));
    ASSERT_EQ(dlg.m_listSongs.GetItemCount(), 2);
    EXPECT_EQ(Cell(1, 0), "SEARCH");
    EXPECT_EQ(dlg.m_listSongs.GetItemData(1), 1u);
    Search("Night Owls", "Unwritten", false);
    PumpMessages(300);
    EXPECT_EQ(Requests(), 1u) << "one search at a time";
    ::SetEvent(answer);
    ASSERT_TRUE(PumpUntil([&] { return !dlg.IsSearching(); }, 20000));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)));
    EXPECT_EQ(Cell(1, 0), "FALSE");
    EXPECT_EQ(Panel(), kNotFound);

    ::CloseHandle(answer);
}

TEST_F(LyricSearchTest, ADownloadReportedDuringASearchThatCannotAskKeepsItsRowAndIsQueued)
{
    HANDLE answer = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    server = std::make_unique<LoopbackServer>([answer](SOCKET c, const std::string&) {
        ::WaitForSingleObject(answer, 20000);
        SendAll(c, "HTTP/1.0 500 Internal Server Error\r\n\r\nbusy");
    }, 16);
    SetLyricsSite("127.0.0.1:" + std::to_string(server->port()));
    Search("Night Owls", "Unwritten", false);
    ASSERT_TRUE(dlg.IsSearching());
    CString artist = "Night Owls", title = "Unwritten";
    EXPECT_EQ(::SendMessageA(hDlg, WM_LIMEWIRE_SONG, reinterpret_cast<WPARAM>(&artist), reinterpret_cast<LPARAM>(&title)), 1)
        << "the download is queued";
    ::SetEvent(answer);
    ASSERT_TRUE(PumpUntil([&] { return !dlg.IsSearching(); }, 20000));
    ASSERT_EQ(dlg.FindSongRow(artist, title), 1) << "the search that could not ask left the download's row";
    EXPECT_EQ(dlg.m_listSongs.GetItemData(0), 0x101u);
    ::CloseHandle(answer);
}

TEST_F(LyricSearchTest, ClosingDuringASearchEndsAtOnceAndTheLateAnswerIsDropped)
{
    HANDLE answer = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    server = std::make_unique<LoopbackServer>([answer](SOCKET c, const std::string& request) {
        ::WaitForSingleObject(answer, 20000);
        const bool list = request.find("songs.html") != std::string::npos;
        SendAll(c, Page(list ? "<a href=\"/n/night-owls/blue-hour.html\" title=\"Blue Hour Lyrics\">x</a>"
                             : "<div>lamps<br></div>"));
    }, 16);
    SetLyricsSite("127.0.0.1:" + std::to_string(server->port()));
    Search("Night Owls", "Blue Hour", false);
    ASSERT_TRUE(dlg.IsSearching());
    const DWORD start = ::GetTickCount();
    ::SendMessageA(hDlg, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(hDlg); }, 2000));
    EXPECT_LT(::GetTickCount() - start, 2000u) << "closing waits for no answer";
    ::SetEvent(answer);
    ASSERT_TRUE(PumpUntil([&] { return Requests() >= 2; }, 10000));
    PumpMessages(500);
    EXPECT_FALSE(Exists(LyricFilePath("Night Owls", "Blue Hour"))) << "the answer came to no window";
    ::CloseHandle(answer);
}

TEST_F(LyricSearchTest, AnExistingRowKeepsItsStatusWhenTheSearchFindsTheLyric)
{
    dlg.AppendSongRow("FALSE", "Night Owls", "Blue Hour", 0x102);
    Search("Night Owls", "Blue Hour");
    EXPECT_EQ(dlg.m_listSongs.GetItemCount(), 1);
    EXPECT_EQ(Cell(0, 0), "FALSE");
    EXPECT_EQ(dlg.m_listSongs.GetItemData(0), 0x102u);
    EXPECT_TRUE(Exists(LyricFilePath("Night Owls", "Blue Hour")));
    EXPECT_EQ(Panel().substr(0, 22), "Night Owls - Blue Hour");
}

TEST_F(LyricSearchTest, EmptyFieldsMakeNoRequestButStillListTheArtistAndAddARow)
{
    const int entries = dlg.m_comboArtist.GetCount();
    Search("", "Blue Hour");
    EXPECT_EQ(Requests(), 0u);
    EXPECT_EQ(Panel(), kNotFound);
    EXPECT_EQ(dlg.m_comboArtist.GetCount(), entries + 1) << "even an empty artist joins the list";
    ASSERT_EQ(dlg.m_listSongs.GetItemCount(), 1);
    EXPECT_EQ(Cell(0, 0), "FALSE");
    Search("", "Blue Hour");
    EXPECT_EQ(dlg.m_listSongs.GetItemCount(), 1) << "only the first time";
    EXPECT_EQ(dlg.m_comboArtist.GetCount(), entries + 1);

    Search("Night Owls", "");
    EXPECT_EQ(Requests(), 0u);
    EXPECT_EQ(Panel(), kNotFound);
}

TEST_F(LyricSearchTest, AnArtistDifferingOnlyInCaseIsListedOnce)
{
    Search("Paper Kites Club", "x");
    const int entries = dlg.m_comboArtist.GetCount();
    Search("PAPER kites CLUB", "y");
    EXPECT_EQ(dlg.m_comboArtist.GetCount(), entries);
}

TEST_F(LyricSearchTest, SelectingARowShowsItsStoredLyricOrAnEmptyPanel)
{
    Store("Night Owls", "Blue Hour", "stored");
    dlg.AppendSongRow("OK", "Night Owls", "Blue Hour", 0);
    dlg.AppendSongRow("FALSE", "Night Owls", "Unwritten", 2);
    dlg.m_listSongs.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(Panel(), "Night Owls - Blue Hour\r\n\r\nstored");
    dlg.m_listSongs.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(Panel(), "");
    EXPECT_EQ(Requests(), 0u) << "selection never fetches";
}

TEST_F(LyricSearchTest, SongReportsAppendSearchRowsOnlyForSongsNotListed)
{
    CString artist = "Some Artist", title = "A Song";
    EXPECT_EQ(::SendMessageA(hDlg, WM_LIMEWIRE_SONG, reinterpret_cast<WPARAM>(&artist), reinterpret_cast<LPARAM>(&title)), 1);
    EXPECT_EQ(Cell(0, 0), "SEARCH");
    EXPECT_EQ(dlg.m_listSongs.GetItemData(0), 0x101u);
    CString upper = "SOME ARTIST", upperTitle = "a song";
    EXPECT_EQ(::SendMessageA(hDlg, WM_KAZAA_SONG, reinterpret_cast<WPARAM>(&upper), reinterpret_cast<LPARAM>(&upperTitle)), 0);
    EXPECT_EQ(dlg.m_listSongs.GetItemCount(), 1);
    CString other = "Other";
    EXPECT_EQ(::SendMessageA(hDlg, WM_KAZAA_SONG, reinterpret_cast<WPARAM>(&other), reinterpret_cast<LPARAM>(&title)), 1);
    EXPECT_EQ(dlg.m_listSongs.GetItemData(1), 0x201u);
}

TEST_F(LyricSearchTest, LyricReportsSetTheRowAndStoreTheLyric)
{
    dlg.AppendSongRow("SEARCH", "Some Artist", "A Song", 0x101);
    dlg.AppendSongRow("SEARCH", "Kazaa Artist", "Gone", 0x201);
    dlg.AppendSongRow("SEARCH", "Kazaa Artist", "Empty", 0x201);
    ::SetDlgItemTextA(hDlg, IDC_LYRIC, "panel text");

    SongRecord lime{"some artist", "a song", 0};
    CString lyric = "la  \r\nla";
    EXPECT_EQ(::SendMessageA(hDlg, WM_LIMEWIRE_LYRIC, reinterpret_cast<WPARAM>(&lime), reinterpret_cast<LPARAM>(&lyric)), 0);
    EXPECT_EQ(Cell(0, 0), "OK");
    EXPECT_EQ(dlg.m_listSongs.GetItemData(0), 0x100u);
    EXPECT_EQ(ReadBytes(LyricFilePath("some artist", "a song")), "\xEF\xBB\xBFsome artist - a song\r\n\r\nla  \r\nla")
        << "stored under the record's own texts";

    SongRecord gone{"Kazaa Artist", "Gone", 1};
    ::SendMessageA(hDlg, WM_KAZAA_LYRIC, reinterpret_cast<WPARAM>(&gone), 0);
    EXPECT_EQ(Cell(1, 0), "FALSE");
    EXPECT_EQ(dlg.m_listSongs.GetItemData(1), 0x202u);
    EXPECT_FALSE(Exists(LyricFilePath("Kazaa Artist", "Gone")));

    SongRecord empty{"Kazaa Artist", "Empty", 1};
    CString nothing;
    ::SendMessageA(hDlg, WM_KAZAA_LYRIC, reinterpret_cast<WPARAM>(&empty), reinterpret_cast<LPARAM>(&nothing));
    EXPECT_EQ(Cell(2, 0), "OK");
    EXPECT_EQ(dlg.m_listSongs.GetItemData(2), 0x200u);
    EXPECT_TRUE(Exists(lyricsDir + "\\Kazaa Artist")) << "the folder is prepared";
    EXPECT_FALSE(Exists(LyricFilePath("Kazaa Artist", "Empty"))) << "an empty lyric is not written";

    SongRecord deleted{"Nobody", "Listed", 0};
    EXPECT_EQ(::SendMessageA(hDlg, WM_LIMEWIRE_LYRIC, reinterpret_cast<WPARAM>(&deleted), reinterpret_cast<LPARAM>(&lyric)), 0);
    EXPECT_FALSE(Exists(lyricsDir + "\\Nobody")) << "a result for a row no longer listed is dropped";
    EXPECT_EQ(Panel(), "panel text") << "reports never touch the panel";
}

TEST_F(LyricSearchTest, StartUpListsTheStoreIntoTheComboAndTheTable)
{
    ::DestroyWindow(hDlg);
    StopWatcherForTest();
    Store("Night Owls", "Blue Hour", "x");
    Store("Night Owls", "a.b", "y");
    ::CreateDirectoryA(lyricsDir + "\\Night Owls\\Old", nullptr);
    ::CreateDirectoryA(lyricsDir + "\\Night Owls\\Old.lyric", nullptr);  // a folder, not a lyric
    ::CreateDirectoryA(lyricsDir + "\\Empty Artist", nullptr);
    FILE* stray = std::fopen(lyricsDir + "\\Stray.lyric", "wb");
    ASSERT_NE(stray, nullptr);
    std::fclose(stray);

    CSonglarkDlg second;
    ASSERT_TRUE(second.Create(nullptr));
    EXPECT_EQ(second.m_listSongs.GetItemCount(), 2);
    std::map<std::string, std::string> rows;
    for (int i = 0; i < second.m_listSongs.GetItemCount(); ++i) {
        EXPECT_EQ(second.m_listSongs.GetItemText(i, 0).str(), "OK");
        EXPECT_EQ(second.m_listSongs.GetItemData(i), 0u);
        rows[second.m_listSongs.GetItemText(i, 2).str()] = second.m_listSongs.GetItemText(i, 1).str();
    }
    EXPECT_EQ(rows["Blue Hour"], "Night Owls");
    EXPECT_EQ(rows["a.b"], "Night Owls");
    std::vector<std::string> entries;
    for (int i = 0; i < second.m_comboArtist.GetCount(); ++i) {
        CString e;
        second.m_comboArtist.GetLBText(i, e);
        entries.push_back(e.str());
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"Empty Artist", "Night Owls"})) << "sorted, empty folders included";
    ::DestroyWindow(second.m_hWnd);
}
