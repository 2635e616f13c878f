#pragma once

#include "core/tags/SongFacts.h"
#include "core/watch/KnownFiles.h"
#include "core/watch/RetrySchedule.h"
#include "framework/CString.h"
#include "framework/WinThread.h"
#include "framework/Wnd.h"

#include <atomic>
#include <memory>
#include <utility>
#include <vector>

// One song queued for a lyric fetch.
struct SongRecord {
    SongRecord(const CString& artist, const CString& title, int source)
        : strArtist(artist), strTitle(title), nSource(source)
    {
    }
    CString strArtist;
    CString strTitle;
    int nSource;  // 0 LimeWire, 1 Kazaa
    songlark::SongFacts facts;  // what the file tells, for the lookup
    uint64_t nId = 0;
};

// The download-folder watcher: every pass it lists both folders, reads the
// artist and title of each file it has not met before, reports each song to
// the main dialog (SendMessage, base + 0 / + 1), and asks for the lyric of one
// queued song whose time has come (found or not found is reported with
// base + 2 + source). A song that could not be asked stays queued and is
// asked again later, after the retry rules' back-off (RetrySchedule).
class CThreadLimeWire : public CWinThread {
public:
    CThreadLimeWire();
    CThreadLimeWire(CWnd* pDialog, int nMsgBase, CString strLimeWirePath, CString strKazaaPath);
    ~CThreadLimeWire() override;

    BOOL InitInstance() override;
    int Run() override;
    int ExitInstance() override;

    // The two readers; they use no member state.
    int ReadMp3Tags(CString path, CString& artist, CString& title, int tryNameFirst);
    int ReadKazaaSong(CString path, CString& artist, CString& title, int unused);

    bool IsKnownFile(const CString& path) const;
    void ScanLimeWireFolder();
    void ScanKazaaFolder();
    void ProcessNextPending();

    // Hands new folders to the watcher from the user-interface thread; it
    // takes them at the start of its next pass.
    void SetFolders(const CString& strLimeWirePath, const CString& strKazaaPath);

    // Asks the loop to end and wakes it from its pause. Once asked, the
    // watcher starts no scan, no read, no fetch and no send.
    void RequestStop();
    // Stops the thread: asks it to end and waits at most timeoutMs for it,
    // serving messages that it sends to this thread meanwhile. True when the
    // thread has ended (only then may the object be destroyed).
    bool StopAndWait(DWORD timeoutMs);

    // From the user-interface thread: the user deleted the song's last row,
    // so the watcher forgets it at its next step.
    void ForgetSong(const CString& strArtist, const CString& strTitle);

    // Test seam: the pause between passes (5000 ms).
    void SetPassInterval(DWORD ms) { m_nPassInterval = ms; }

    // The main dialog's window, taken when the watcher is made: the dialog
    // object may be gone before the watcher (Escape and Exit leave it
    // running), and a send to a destroyed window simply fails.
    HWND m_hDialog = nullptr;
    int m_nMsgBase = 0;
    CString m_strLimeWirePath;
    CString m_strKazaaPath;
    songlark::KnownFiles m_arrKnownFiles;
    // The queued songs, in the order met; when each is asked is the schedule's.
    std::vector<std::unique_ptr<SongRecord>> m_listPending;
    songlark::RetrySchedule m_schedule;

private:
    void Setup(CWnd* pDialog, int nMsgBase, const CString& strLimeWirePath, const CString& strKazaaPath);
    bool StopRequested() const;
    // Waits ms, or less when a stop is requested; true when stopping.
    bool Pause(DWORD ms);
    void TakeNewFolders();
    // Reports a song; false when stopping (nothing was sent).
    bool Report(UINT offset, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ScanFolder(const CString& folder, const char* pattern, int nSource);
    void DropForgottenSongs();
    void RemovePending(uint64_t nId);
    uint64_t m_nLastId = 0;

    // The stop request, and the pause that it cuts short: nothing here can
    // fail to be created, so the watcher is always stoppable and always pauses.
    std::atomic<bool> m_bStopRequested{false};
    CRITICAL_SECTION m_stopLock;
    CONDITION_VARIABLE m_stopWake;
    DWORD m_nPassInterval = 5000;

    CRITICAL_SECTION m_forgetLock;
    std::vector<std::pair<CString, CString>> m_listForgotten;

    CRITICAL_SECTION m_folderLock;
    bool m_bNewFolders = false;
    CString m_strNewLimeWirePath;
    CString m_strNewKazaaPath;
};

// The running watcher, or null.
extern CThreadLimeWire* g_pWatcher;
