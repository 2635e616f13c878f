#include "watcher/ThreadLimeWire.h"

#include "core/tags/TagReaders.h"
#include "framework/FileFind.h"
#include "lyrics/net/FetchLyric.h"
#include "platform/FileRead.h"
#include "platform/FoldText.h"
#include "platform/SystemPath.h"
#include "settings/Settings.h"

#include <memory>
#include <utility>

CThreadLimeWire* g_pWatcher = nullptr;

// Known paths compare like _mbsicmp.
CThreadLimeWire::CThreadLimeWire() : m_arrKnownFiles(songlark::FoldTextCase)
{
    ::InitializeCriticalSection(&m_stopLock);
    ::InitializeConditionVariable(&m_stopWake);
    ::InitializeCriticalSection(&m_folderLock);
}

CThreadLimeWire::CThreadLimeWire(CWnd* pDialog, int nMsgBase, CString strLimeWirePath, CString strKazaaPath)
    : CThreadLimeWire()
{
    Setup(pDialog, nMsgBase, strLimeWirePath, strKazaaPath);
}

CThreadLimeWire::~CThreadLimeWire()
{
    for (SongRecord* pRecord : m_listPending) delete pRecord;
    m_listPending.clear();
    ::DeleteCriticalSection(&m_folderLock);
    ::DeleteCriticalSection(&m_stopLock);
}

void CThreadLimeWire::Setup(CWnd* pDialog, int nMsgBase, const CString& strLimeWirePath, const CString& strKazaaPath)
{
    m_hDialog = pDialog ? pDialog->m_hWnd : nullptr;
    m_nMsgBase = nMsgBase;
    m_strLimeWirePath = strLimeWirePath;
    m_strKazaaPath = strKazaaPath;
}

BOOL CThreadLimeWire::InitInstance()
{
    return TRUE;
}

int CThreadLimeWire::ExitInstance()
{
    return CWinThread::ExitInstance();
}

int CThreadLimeWire::ReadMp3Tags(CString path, CString& artist, CString& title, int tryNameFirst)
{
    std::string a = artist.str(), t = title.str();
    const int result = songlark::ReadMp3Tags(path.str(), a, t, tryNameFirst, songlark::ReadFileHead,
                                                songlark::SystemPathSyntax());
    artist = a;
    title = t;
    return result;
}

int CThreadLimeWire::ReadKazaaSong(CString path, CString& artist, CString& title, int unused)
{
    std::string a = artist.str(), t = title.str();
    const int result = songlark::ReadKazaaSong(path.str(), a, t, unused, songlark::ReadFileTail, songlark::SystemPathSyntax());
    artist = a;
    title = t;
    return result;
}

bool CThreadLimeWire::IsKnownFile(const CString& path) const
{
    return m_arrKnownFiles.Contains(path.str());
}

void CThreadLimeWire::SetFolders(const CString& strLimeWirePath, const CString& strKazaaPath)
{
    // Copied before the lock is taken, and moved under it: a failed
    // allocation can neither leave the lock held nor escape.
    CString limeWire, kazaa;
    try {
        limeWire = strLimeWirePath;
        kazaa = strKazaaPath;
    } catch (...) {
        return;  // out of memory: the watcher keeps its folders
    }
    ::EnterCriticalSection(&m_folderLock);
    m_strNewLimeWirePath = std::move(limeWire);
    m_strNewKazaaPath = std::move(kazaa);
    m_bNewFolders = true;
    ::LeaveCriticalSection(&m_folderLock);
}

void CThreadLimeWire::TakeNewFolders()
{
    ::EnterCriticalSection(&m_folderLock);
    if (m_bNewFolders) {
        m_strLimeWirePath = std::move(m_strNewLimeWirePath);
        m_strKazaaPath = std::move(m_strNewKazaaPath);
        m_bNewFolders = false;
    }
    ::LeaveCriticalSection(&m_folderLock);
}

void CThreadLimeWire::RequestStop()
{
    // Set under the lock, so a pause that is about to begin cannot miss it.
    ::EnterCriticalSection(&m_stopLock);
    m_bStopRequested = true;
    ::LeaveCriticalSection(&m_stopLock);
    ::WakeAllConditionVariable(&m_stopWake);
}

bool CThreadLimeWire::StopRequested() const
{
    return m_bStopRequested;
}

bool CThreadLimeWire::Pause(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    ::EnterCriticalSection(&m_stopLock);
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (m_bStopRequested || elapsed >= ms) break;
        ::SleepConditionVariableCS(&m_stopWake, &m_stopLock, ms - elapsed);
    }
    ::LeaveCriticalSection(&m_stopLock);
    return m_bStopRequested;
}

bool CThreadLimeWire::StopAndWait(DWORD timeoutMs)
{
    RequestStop();
    if (!m_hThread) return true;
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        const DWORD remaining = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
        // The watcher may be blocked sending to this very thread: serve sent
        // messages while waiting, or neither of us would ever go on. One that
        // was already waiting, though seen, is served too.
        const DWORD r = ::MsgWaitForMultipleObjectsEx(1, &m_hThread, remaining, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return false;
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

int CThreadLimeWire::Run()
{
    for (;;) {
        if (StopRequested()) break;
        TakeNewFolders();
        // A source that is switched off, or has no folder, is not scanned.
        const bool bLimeWire = g_bCheckLimeWire && !m_strLimeWirePath.IsEmpty();
        const bool bKazaa = g_bCheckKazaa && !m_strKazaaPath.IsEmpty();
        if (bLimeWire || bKazaa) {
            if (bLimeWire) ScanLimeWireFolder();
            if (bKazaa) ScanKazaaFolder();
            ProcessNextPending();
        }
        if (Pause(m_nPassInterval)) break;
    }
    return 0;
}

void CThreadLimeWire::ScanLimeWireFolder()
{
    ScanFolder(m_strLimeWirePath, "\\*.mp3", 0);
}

void CThreadLimeWire::ScanKazaaFolder()
{
    ScanFolder(m_strKazaaPath, "\\*.dat", 1);
}

bool CThreadLimeWire::Report(UINT offset, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    if (StopRequested()) return false;
    if (m_hDialog) result = ::SendMessageA(m_hDialog, static_cast<UINT>(m_nMsgBase) + offset, wParam, lParam);
    return true;
}

void CThreadLimeWire::ScanFolder(const CString& folder, const char* pattern, int nSource)
{
    // An empty folder would make the pattern look at the root of the drive.
    if (folder.IsEmpty() || StopRequested()) return;

    // A failed allocation ends this scan only; a file not yet known is met
    // again at the next pass.
    try {
        CFileFind finder;
        BOOL bMore = finder.FindFile(folder + pattern);
        while (bMore && !StopRequested()) {
            bMore = finder.FindNextFile();
            if (finder.IsDots() || finder.IsDirectory()) continue;
            const CString path = finder.GetFilePath();
            if (IsKnownFile(path)) continue;
            // Remembered before reading, so a file is read at most once.
            m_arrKnownFiles.Add(path.str());

            CString artist, title;
            const int found = nSource == 0 ? ReadMp3Tags(path, artist, title, 1) : ReadKazaaSong(path, artist, title, 0);
            if (found != 1) continue;

            LRESULT answer = 0;
            if (!Report(static_cast<UINT>(nSource), reinterpret_cast<WPARAM>(&artist),
                        reinterpret_cast<LPARAM>(&title), answer))
                return;
            if (m_hDialog && answer) {
                std::unique_ptr<SongRecord> pRecord(new SongRecord{artist, title, nSource});
                m_listPending.push_back(pRecord.get());
                pRecord.release();
            }
        }
    } catch (...) {
        // Out of memory: the song in hand is not queued.
    }
}

void CThreadLimeWire::ProcessNextPending()
{
    if (m_listPending.empty() || StopRequested()) return;
    SongRecord* pRecord = m_listPending.front();

    CString lyric;
    try {
        lyric = FetchLyric(pRecord->strArtist, pRecord->strTitle).lyric;
    } catch (...) {
        lyric.Empty();  // a fetch that failed on memory found nothing
    }
    if (m_hDialog) {
        LRESULT ignored = 0;
        Report(2 + static_cast<UINT>(pRecord->nSource), reinterpret_cast<WPARAM>(pRecord),
               lyric.IsEmpty() ? 0 : reinterpret_cast<LPARAM>(&lyric), ignored);
    }

    delete pRecord;
    m_listPending.pop_front();
}
