#pragma once

#include "core/watch/KnownFiles.h"
#include "framework/CString.h"
#include "framework/WinThread.h"
#include "framework/Wnd.h"

#include <atomic>
#include <deque>

// One song queued for a lyric fetch.
struct SongRecord {
    CString strArtist;
    CString strTitle;
    int nSource;  // 0 LimeWire, 1 Kazaa
};

// The download-folder watcher: every pass it lists both folders, reads the
// artist and title of each file it has not met before, reports each song to
// the main dialog (SendMessage, base + 0 / + 1), and fetches the lyric of the
// oldest queued song (reported with base + 2 + source).
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
    std::deque<SongRecord*> m_listPending;

private:
    void Setup(CWnd* pDialog, int nMsgBase, const CString& strLimeWirePath, const CString& strKazaaPath);
    bool StopRequested() const;
    // Waits ms, or less when a stop is requested; true when stopping.
    bool Pause(DWORD ms);
    void TakeNewFolders();
    // Reports a song; false when stopping (nothing was sent).
    bool Report(UINT offset, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ScanFolder(const CString& folder, const char* pattern, int nSource);

    // The stop request, and the pause that it cuts short: nothing here can
    // fail to be created, so the watcher is always stoppable and always pauses.
    std::atomic<bool> m_bStopRequested{false};
    CRITICAL_SECTION m_stopLock;
    CONDITION_VARIABLE m_stopWake;
    DWORD m_nPassInterval = 5000;

    CRITICAL_SECTION m_folderLock;
    bool m_bNewFolders = false;
    CString m_strNewLimeWirePath;
    CString m_strNewKazaaPath;
};

// The running watcher, or null.
extern CThreadLimeWire* g_pWatcher;
