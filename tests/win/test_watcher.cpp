// The watcher thread against real folders under Wine, a fake main dialog
// that records the four reports, and a loopback lyrics site.
#include "app/SonglarkDlg.h"
#include "core/lyrics/LrclibAddress.h"
#include "lyrics/net/LyricsSite.h"
#include "settings/Settings.h"
#include "tests/core/LoopbackServer.h"
#include "tests/win/AppTestUtil.h"
#include "tests/win/FailingAlloc.h"
#include "tests/win/FsTestUtil.h"
#include "tests/win/WinTestUtil.h"
#include "watcher/ThreadLimeWire.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr int kBase = 2024;

struct Report {
    UINT message;
    std::string artist, title;
    int source = -1;
    bool hasLyric = false;
    std::string lyric;
    DWORD tick = 0;
};

// Stands in for the main dialog: records every report and answers the song
// reports with `answer`.
class FakeDialog : public CWnd {
public:
    LRESULT answer = 1;
    std::vector<Report> reports;
    DWORD holdMs = 0;  // keeps each song report waiting this long
    std::function<void()> onSong;  // runs inside each song report

    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message < kBase || message > kBase + 3) return false;
        Report r;
        r.message = message;
        r.tick = ::GetTickCount();
        if (message <= kBase + 1) {
            r.artist = reinterpret_cast<const CString*>(wParam)->str();
            r.title = reinterpret_cast<const CString*>(lParam)->str();
            if (holdMs) ::Sleep(holdMs);
            if (onSong) onSong();
            result = answer;
        } else {
            const auto* rec = reinterpret_cast<const SongRecord*>(wParam);
            r.artist = rec->strArtist.str();
            r.title = rec->strTitle.str();
            r.source = rec->nSource;
            r.hasLyric = lParam != 0;
            if (lParam) r.lyric = reinterpret_cast<const CString*>(lParam)->str();
            result = 0;
        }
        reports.push_back(r);
        return true;
    }
    size_t Count(UINT message) const
    {
        size_t n = 0;
        for (const Report& r : reports) n += r.message == message;
        return n;
    }
};

// The retry rules' first back-off for the watchers made in its scope.
struct RetryAfterMs {
    explicit RetryAfterMs(int ms) { ::SetEnvironmentVariableA("SONGLARK_TEST_RETRY_MS", std::to_string(ms).c_str()); }
    ~RetryAfterMs() { ::SetEnvironmentVariableA("SONGLARK_TEST_RETRY_MS", nullptr); }
};

// A loopback lyrics site with two artists' pages.
std::string Page(const std::string& body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body;
}

std::map<std::string, std::string> SitePages()
{
    return {
        {"/s/some-artist/songs.html",
         Page("<html><a href=\"/\">home</a> <a href=\"/s/some-artist/a-song.html\" title=\"A Song Lyrics\">A Song</a>"
              " <a href=\"/s/some-artist/b-side.html\" title=\"B Side Lyrics\">B Side</a></html>")},
        {"/s/some-artist/a-song.html", Page("<div>first line<br>second<br>third<br></div>")},
        {"/s/some-artist/b-side.html", Page("<div>b one<br>b two<br>b three<br></div>")},
    };
}

std::string PathOf(const std::string& request)
{
    const size_t a = request.find(' ');
    const size_t b = request.find(' ', a + 1);
    return a == std::string::npos || b == std::string::npos ? std::string() : request.substr(a + 1, b - a - 1);
}

class WatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, tmp);
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root = std::string(tmp) + "songlark-watcher-" + name;
        lime = root + "\\lime";
        kazaa = root + "\\kazaa";
        RemoveTree(root.c_str());
        ::CreateDirectoryA(root.c_str(), nullptr);
        ::CreateDirectoryA(lime.c_str(), nullptr);
        ::CreateDirectoryA(kazaa.c_str(), nullptr);
        ASSERT_TRUE(dialog.CreateEx(0, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        server = std::make_unique<LoopbackServer>([this](SOCKET c, const std::string& request) {
            const auto pages = SitePages();
            const auto it = pages.find(PathOf(request));
            SendAll(c, it != pages.end() ? it->second : "HTTP/1.0 404 Not Found\r\n\r\nnone");
        }, 16);
        SetLyricsSite("127.0.0.1:" + std::to_string(server->port()));
        g_bCheckLimeWire = TRUE;
        g_bCheckKazaa = FALSE;
    }
    void TearDown() override
    {
        if (watcher) {
            EXPECT_TRUE(watcher->StopAndWait(10000));
            delete watcher;
        }
        dialog.DestroyWindow();
        server.reset();
        SetLyricsSite("");
        g_bCheckLimeWire = FALSE;
        g_bCheckKazaa = FALSE;
        RemoveTree(root.c_str());
    }
    void Start(DWORD passMs = 400)
    {
        watcher = new CThreadLimeWire(&dialog, kBase, lime.c_str(), kazaa.c_str());
        watcher->SetPassInterval(passMs);
        ASSERT_TRUE(watcher->CreateThread());
    }

    std::string root, lime, kazaa;
    FakeDialog dialog;
    std::unique_ptr<LoopbackServer> server;
    CThreadLimeWire* watcher = nullptr;
};

}  // namespace

TEST_F(WatcherTest, TwoNewSongsAreBothReportedAndFetchedOnePerPassOldestFirst)
{
    WriteBytes(lime + "\\T-1-Some Artist - A Song.mp3", "");
    WriteBytes(lime + "\\T-2-Some Artist - B Side.mp3", "");
    Start(1500);
    ASSERT_TRUE(PumpUntil([&] { return dialog.Count(kBase + 2) >= 2; }, 15000));

    ASSERT_GE(dialog.reports.size(), 4u);
    EXPECT_EQ(dialog.reports[0].message, static_cast<UINT>(kBase));
    EXPECT_EQ(dialog.reports[1].message, static_cast<UINT>(kBase));
    EXPECT_EQ(dialog.reports[2].message, static_cast<UINT>(kBase + 2));
    EXPECT_LT(dialog.reports[2].tick - dialog.reports[1].tick, 1000u) << "the first lyric comes in the same pass";
    EXPECT_EQ(dialog.reports[3].message, static_cast<UINT>(kBase + 2));
    EXPECT_EQ(dialog.reports[2].artist, "Some Artist");
    EXPECT_EQ(dialog.reports[2].title, dialog.reports[0].title) << "oldest first";
    EXPECT_EQ(dialog.reports[3].title, dialog.reports[1].title);
    EXPECT_EQ(dialog.reports[2].source, 0);
    EXPECT_TRUE(dialog.reports[2].hasLyric);
    EXPECT_EQ(dialog.reports[2].lyric.substr(0, 10), dialog.reports[0].title == "A Song" ? "first line" : "b one  \r\nb");
    const DWORD gap = dialog.reports[3].tick - dialog.reports[2].tick;
    EXPECT_GE(gap, 1000u) << "the second fetch waits for the next pass";
    EXPECT_EQ(dialog.Count(kBase), 2u) << "each file is reported once";
}

TEST_F(WatcherTest, ASongTheDialogRefusesIsNeitherQueuedNorFetched)
{
    dialog.answer = 0;
    WriteBytes(lime + "\\T-1-Some Artist - A Song.mp3", "");
    Start();
    ASSERT_TRUE(PumpUntil([&] { return dialog.Count(kBase) == 1; }, 10000));
    PumpMessages(1500);  // several more passes
    EXPECT_EQ(dialog.Count(kBase + 2), 0u);
    EXPECT_EQ(server->requests().size(), 0u);
}

TEST_F(WatcherTest, AFailedFetchIsReportedWithoutALyric)
{
    WriteBytes(lime + "\\T-1-Nobody Here - No Song.mp3", "");
    Start();
    ASSERT_TRUE(PumpUntil([&] { return dialog.Count(kBase + 2) == 1; }, 10000));
    const Report& r = dialog.reports.back();
    EXPECT_EQ(r.artist, "Nobody Here");
    EXPECT_FALSE(r.hasLyric) << "lParam 0";
}

TEST_F(WatcherTest, KazaaDownloadsAreReportedWithTheirOwnMessages)
{
    g_bCheckLimeWire = FALSE;
    g_bCheckKazaa = TRUE;
    // A .dat trailer block: value 1 at offset 4, then the download name.
    std::string block(8, '\0');
    block[4] = 1;
    block += "Some Artist - A Song.mp3";
    block += '\0';
    block += '\0';
    block += std::string(150, '\0');
    std::string trailer = "KAZA";
    trailer += static_cast<char>(block.size() & 0xFF);
    trailer += static_cast<char>(block.size() >> 8);
    trailer += std::string(4, '\0');
    WriteBytes(kazaa + "\\download1.dat", std::string(100, 'x') + block + trailer);
    WriteBytes(lime + "\\T-1-Some Artist - B Side.mp3", "") ;  // LimeWire is switched off
    Start();
    ASSERT_TRUE(PumpUntil([&] { return dialog.Count(kBase + 3) == 1; }, 10000));
    EXPECT_EQ(dialog.Count(kBase + 1), 1u);
    EXPECT_EQ(dialog.Count(kBase), 0u) << "a switched-off source is not scanned";
    EXPECT_EQ(dialog.reports.back().source, 1);
    EXPECT_TRUE(dialog.reports.back().hasLyric);
}

TEST_F(WatcherTest, FoldersAndUnreadableFilesAreSkippedAndNeverReadAgain)
{
    ::CreateDirectoryA((lime + "\\T-1-Some Artist - Folder.mp3").c_str(), nullptr);
    WriteBytes(lime + "\\no tag here.mp3", "ID3 too short");
    Start(300);
    PumpMessages(1200);
    EXPECT_TRUE(dialog.reports.empty());

    // The file now holds a good tag; it was met before, so it stays unread.
    std::string tag = "ID3";
    tag += std::string("\x03\x00\x00\x00\x00\x00\x40", 7);
    auto frame = [](const char* id, const std::string& text) {
        std::string f = id;
        const size_t n = text.size() + 1;
        f += std::string(3, '\0');
        f += static_cast<char>(n);
        f += std::string(2, '\0');
        f += '\0';
        f += text;
        return f;
    };
    tag += frame("TPE1", "Some Artist") + frame("TIT2", "A Song") + std::string(64, '\0');
    WriteBytes(lime + "\\no tag here.mp3", tag);
    PumpMessages(1200);
    EXPECT_TRUE(dialog.reports.empty());

    // The known files belong to the watcher's thread: asked only once it has ended.
    ASSERT_TRUE(watcher->StopAndWait(10000));
    EXPECT_TRUE(watcher->IsKnownFile((lime + "\\no tag here.mp3").c_str()));
    EXPECT_TRUE(watcher->IsKnownFile((lime + "\\NO TAG HERE.MP3").c_str())) << "case does not matter";
    EXPECT_FALSE(watcher->IsKnownFile((lime + "\\T-1-Some Artist - Folder.mp3").c_str()));
}

TEST_F(WatcherTest, IdleSourcesScanNothingAndTheWatcherStillWakesEveryFiveSeconds)
{
    // A song where an empty folder's pattern would look: the root of the
    // current drive, while the test's folder is the current one.
    struct DriveRootSong {
        char oldDir[MAX_PATH] = {0};
        std::string path;
        explicit DriveRootSong(const std::string& dir) : path(dir.substr(0, 3) + "T-1-Drive Root - Never Seen.mp3")
        {
            ::GetCurrentDirectoryA(MAX_PATH, oldDir);
            ::SetCurrentDirectoryA(dir.c_str());
            WriteBytes(path, "");
        }
        ~DriveRootSong()
        {
            ::DeleteFileA(path.c_str());
            ::SetCurrentDirectoryA(oldDir);
        }
    } atRoot(root);
    WriteBytes(lime + "\\T-1-Some Artist - A Song.mp3", "");

    const struct {
        const char* name;
        BOOL bLimeWire, bKazaa;
        bool bLimeWireFolder, bKazaaFolder;
        DWORD passMs;  // 0: the watcher's own
    } cases[] = {
        {"both switched off", FALSE, FALSE, true, true, 0},
        {"both switched on without folders", TRUE, TRUE, false, false, 300},
        {"LimeWire switched on without its folder", TRUE, TRUE, false, true, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.reports.clear();
        g_bCheckLimeWire = c.bLimeWire;
        g_bCheckKazaa = c.bKazaa;
        watcher = new CThreadLimeWire(&dialog, kBase, c.bLimeWireFolder ? lime.c_str() : "",
                                      c.bKazaaFolder ? kazaa.c_str() : "");
        if (c.passMs) watcher->SetPassInterval(c.passMs);
        const DWORD start = ::GetTickCount();
        ASSERT_TRUE(watcher->CreateThread());
        PumpMessages(1000);
        EXPECT_TRUE(dialog.reports.empty());

        // Switched on, with its folder, the song is found at the next wake.
        g_bCheckLimeWire = TRUE;
        g_bCheckKazaa = FALSE;
        watcher->SetFolders(lime.c_str(), kazaa.c_str());
        ASSERT_TRUE(PumpUntil([&] { return dialog.Count(kBase) == 1; }, 10000));
        if (!c.passMs) {
            const DWORD waited = dialog.reports[0].tick - start;
            EXPECT_GE(waited, 4000u) << "a pass every 5000 ms";
            EXPECT_LT(waited, 8000u);
        }
        EXPECT_EQ(dialog.reports[0].title, "A Song");
        ASSERT_TRUE(watcher->StopAndWait(10000));
        delete watcher;
        watcher = nullptr;
    }
}

TEST_F(WatcherTest, NewFoldersAreTakenAtTheNextPass)
{
    const std::string other = root + "\\other";
    ::CreateDirectoryA(other.c_str(), nullptr);
    WriteBytes(other + "\\T-1-Some Artist - B Side.mp3", "");
    Start(300);
    PumpMessages(800);
    EXPECT_TRUE(dialog.reports.empty());
    // Out of memory, nothing is handed over and nothing escapes or stays locked.
    const CString nowhere = (other + "\\nowhere").c_str(), kazaaFolder = kazaa.c_str();
    FailAllocationsOnThread(::GetCurrentThreadId());
    watcher->SetFolders(nowhere, kazaaFolder);
    FailAllocationsOnThread(0);
    EXPECT_GT(FailedAllocations(), 0u);
    watcher->SetFolders(other.c_str(), kazaa.c_str());
    ASSERT_TRUE(PumpUntil([&] { return dialog.Count(kBase) == 1; }, 5000));
    EXPECT_EQ(dialog.reports[0].title, "B Side");
}

TEST_F(WatcherTest, StoppingWhileTheWatcherIsSendingNeverDeadlocks)
{
    for (int i = 0; i < 40; ++i)
        WriteBytes(lime + "\\T-" + std::to_string(i) + "-Some Artist - Song " + std::to_string(i) + ".mp3", "");
    dialog.answer = 0;
    dialog.holdMs = 5;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        dialog.reports.clear();
        auto* w = new CThreadLimeWire(&dialog, kBase, lime.c_str(), kazaa.c_str());
        ASSERT_TRUE(w->CreateThread());
        // Do not serve its sends for a moment, so it is blocked inside one.
        ::Sleep(static_cast<DWORD>(round % 4) * 10);
        const DWORD start = ::GetTickCount();
        ASSERT_TRUE(w->StopAndWait(10000));
        EXPECT_LT(::GetTickCount() - start, 5000u);
        EXPECT_LT(dialog.reports.size(), 40u);
        delete w;
    }
}

namespace {

// True once a message sent by another thread waits for this one.
bool WaitForSentMessage(DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!(HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE)) {
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(5);
    }
    return true;
}

// The main dialog, closed while the watcher waits inside a report: it answers
// the first song (which the watcher queues), lets the watcher go on into its
// next report and, with that one unserved, closes the window.
class CloseInReportDlg : public CSonglarkDlg {
public:
    bool bClosing = false;
    bool bWatcherWasSending = false;
    DWORD closeMs = 0;

    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        const bool handled = CSonglarkDlg::ProcessMessage(message, wParam, lParam, result);
        if (message == WM_LIMEWIRE_SONG && !bClosing) {
            bClosing = true;
            ::ReplyMessage(result);
            bWatcherWasSending = WaitForSentMessage(5000);
            const DWORD start = ::GetTickCount();
            ::SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
            closeMs = ::GetTickCount() - start;
        }
        return handled;
    }
};

}  // namespace

TEST_F(WatcherTest, ClosingWhileTheWatcherWaitsInAReportEndsItWithoutAFetch)
{
    WriteBytes(lime + "\\T-1-Some Artist - A Song.mp3", "");
    WriteBytes(lime + "\\T-2-Some Artist - B Side.mp3", "");
    CloseInReportDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    const HWND hDlg = dlg.m_hWnd;
    StopWatcherForTest();  // the one the dialog started on the stored settings
    // A site that takes the request and never answers.
    server = std::make_unique<LoopbackServer>([](SOCKET c, const std::string&) { WaitForClose(c, 10000); });
    SetLyricsSite("127.0.0.1:" + std::to_string(server->port()));
    g_bCheckLimeWire = TRUE;
    g_bCheckKazaa = FALSE;
    g_pWatcher = new CThreadLimeWire(&dlg, WM_WATCHER_BASE, lime.c_str(), kazaa.c_str());
    ASSERT_TRUE(g_pWatcher->CreateThread());
    HANDLE thread = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), g_pWatcher->m_hThread, ::GetCurrentProcess(), &thread, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);

    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(hDlg); }, 10000));
    EXPECT_TRUE(dlg.bWatcherWasSending);
    EXPECT_LT(dlg.closeMs, 1000u) << "well within the 3 s a close waits at most";
    EXPECT_EQ(::WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "the watcher has ended";
    EXPECT_EQ(g_pWatcher, nullptr);
    EXPECT_TRUE(server->requests().empty()) << "no fetch was started";
    ::CloseHandle(thread);
    if (::IsWindow(hDlg)) ::DestroyWindow(hDlg);
    StopWatcherForTest();
}

TEST_F(WatcherTest, ReportsNeverReachWhatTakesTheEndedDialogsPlace)
{
    // The dialog ends and its object is freed while the watcher goes on;
    // another window object is then built in the same memory.
    alignas(FakeDialog) unsigned char place[sizeof(FakeDialog)];
    auto* ended = new (place) FakeDialog;
    ASSERT_TRUE(ended->CreateEx(0, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    watcher = new CThreadLimeWire(ended, kBase, lime.c_str(), kazaa.c_str());
    watcher->SetPassInterval(200);
    ASSERT_TRUE(watcher->CreateThread());
    ended->DestroyWindow();
    ended->~FakeDialog();
    auto* successor = new (place) FakeDialog;
    ASSERT_TRUE(successor->CreateEx(0, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));

    WriteBytes(lime + "\\T-1-Some Artist - A Song.mp3", "");
    PumpMessages(1000);
    ASSERT_TRUE(watcher->StopAndWait(10000));
    EXPECT_TRUE(watcher->IsKnownFile((lime + "\\T-1-Some Artist - A Song.mp3").c_str())) << "the song was met";
    EXPECT_TRUE(successor->reports.empty());
    successor->DestroyWindow();
    successor->~FakeDialog();
}

TEST_F(WatcherTest, ASongListedJustBeforeMemoryRunsOutIsStillQueuedAndAsked)
{
    RetryAfterMs quick(200);
    WriteBytes(lime + "\\T-1-Some Artist - A Song.mp3", "");
    // From the song's answer on, every allocation of the watcher fails.
    dialog.onSong = [this] { FailAllocationsOnThread(watcher->m_nThreadID); };
    Start(300);
    ASSERT_TRUE(PumpUntil([&] { return dialog.Count(kBase) == 1; }, 5000));
    dialog.onSong = nullptr;
    PumpMessages(900);  // the rest of that pass, and more passes, without memory
    FailAllocationsOnThread(0);
    EXPECT_GT(FailedAllocations(), 1u);

    // The dialog listed it "SEARCH": its lyric must come, or the row would stay so.
    ASSERT_TRUE(PumpUntil([&] { return dialog.Count(kBase + 2) == 1; }, 5000)) << "the song was queued";
    EXPECT_EQ(dialog.reports.back().title, "A Song");
    WriteBytes(lime + "\\T-2-Some Artist - B Side.mp3", "");
    ASSERT_TRUE(PumpUntil([&] { return dialog.Count(kBase + 2) == 2; }, 5000)) << "the watcher goes on";
    EXPECT_EQ(dialog.reports.back().title, "B Side");
}

TEST_F(WatcherTest, SongsThatCouldNotBeAskedWaitWithBackOffAndFollowOnceTheSourceAnswers)
{
    RetryAfterMs quick(300);
    // An LRCLIB on loopback that drops every request unanswered while down.
    auto down = std::make_shared<std::atomic<bool>>(true);
    server = std::make_unique<LoopbackServer>([down](SOCKET c, const std::string&) {
        if (*down) return;
        const std::string body = "{\"plainLyrics\":\"la la\",\"instrumental\":false}";
        SendAll(c, "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                       std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    }, 16);
    const std::string url = "http://127.0.0.1:" + std::to_string(server->port());
    LrclibAddress address;
    ASSERT_TRUE(ParseLrclibUrl(url, &address)) << "never the built-in server";
    SetLyricsSite("");
    SetLrclibUrl(url);
    for (const char* title : {"One", "Two", "Three"})
        WriteBytes(lime + "\\T-1-Some Artist - " + title + ".mp3", "");
    Start(100);

    // 2.5 s of outage at a pass every 0.1 s: the source is probed after 0,
    // 0.3, 0.9 and 2.1 s, one song at a time (a loaded machine may lose one);
    // without the source's pause each song would be tried every 0.3 s.
    PumpMessages(2500);
    const size_t duringOutage = server->requests().size();
    EXPECT_GE(duringOutage, 2u);
    EXPECT_LE(duringOutage, 5u);
    EXPECT_EQ(dialog.Count(kBase), 3u);
    EXPECT_EQ(dialog.Count(kBase + 2), 0u) << "no song is reported not found";

    // The user deletes "Two"'s row; the source comes back.
    watcher->ForgetSong("SOME ARTIST", "two");
    PumpMessages(50);
    const size_t beforeBack = server->requests().size();
    *down = false;
    ASSERT_TRUE(PumpUntil([&] { return dialog.Count(kBase + 2) == 2; }, 15000));
    PumpMessages(1500);
    EXPECT_EQ(dialog.Count(kBase + 2), 2u);
    for (const Report& r : dialog.reports) {
        if (r.message == kBase + 2) {
            EXPECT_NE(r.title, "Two");
        }
    }
    const auto asked = server->requests();
    for (size_t i = beforeBack; i < asked.size(); ++i)
        EXPECT_EQ(asked[i].find("track_name=Two"), std::string::npos) << "a forgotten song is never asked again";
    EXPECT_EQ(asked.size() - beforeBack, 2u);
}

// The watcher goes on after a failed allocation, so a failed Add must leave
// the known paths as they were: not known, and addable later.
TEST(KnownFilesAllocation, AFailedAddLeavesThePathUnknown)
{
    songlark::KnownFiles known;
    known.Add(std::string(400, 'a'));
    known.Add("C:\\Dl\\T-1-A - Song.mp3");  // the arena now has room to spare
    const std::string path = "C:\\Dl\\T-2-Some Artist - Another Song.mp3";
    FailAllocationsOnThread(::GetCurrentThreadId());
    EXPECT_THROW(known.Add(path), std::bad_alloc);
    FailAllocationsOnThread(0);
    EXPECT_FALSE(known.Contains(path));
    EXPECT_TRUE(known.Add(path));
    EXPECT_TRUE(known.Contains(path));
    EXPECT_EQ(known.size(), 3u);
}
