#include "watcher/ThreadLimeWire.h"

#include "core/tags/TagReaders.h"
#include "framework/FileFind.h"
#include "lyrics/net/FetchLyric.h"
#include "platform/FileRead.h"
#include "platform/FoldText.h"
#include "settings/Settings.h"

#include <new>

CThreadLimeWire* g_pWatcher = nullptr;

// Known paths compare like _mbsicmp.
CThreadLimeWire::CThreadLimeWire() : m_arrKnownFiles(songlark::FoldTextCase)
{
    m_hStopEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
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
    if (m_hStopEvent) ::CloseHandle(m_hStopEvent);
    ::DeleteCriticalSection(&m_folderLock);
}

void CThreadLimeWire::Setup(CWnd* pDialog, int nMsgBase, const CString& strLimeWirePath, const CString& strKazaaPath)
{
    m_pDialog = pDialog;
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
    const int result = songlark::ReadMp3Tags(path.str(), a, t, tryNameFirst, songlark::ReadFileHead);
    artist = a;
    title = t;
    return result;
}

int CThreadLimeWire::ReadKazaaSong(CString path, CString& artist, CString& title, int unused)
{
    std::string a = artist.str(), t = title.str();
    const int result = songlark::ReadKazaaSong(path.str(), a, t, unused, songlark::ReadFileTail);
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
    ::EnterCriticalSection(&m_folderLock);
    m_strNewLimeWirePath = strLimeWirePath;
    m_strNewKazaaPath = strKazaaPath;
    m_bNewFolders = true;
    ::LeaveCriticalSection(&m_folderLock);
}

void CThreadLimeWire::TakeNewFolders()
{
    ::EnterCriticalSection(&m_folderLock);
    if (m_bNewFolders) {
        m_strLimeWirePath = m_strNewLimeWirePath;
        m_strKazaaPath = m_strNewKazaaPath;
        m_bNewFolders = false;
    }
    ::LeaveCriticalSection(&m_folderLock);
}

void CThreadLimeWire::RequestStop()
{
    if (m_hStopEvent) ::SetEvent(m_hStopEvent);
}

bool CThreadLimeWire::StopRequested() const
{
    return m_hStopEvent && ::WaitForSingleObject(m_hStopEvent, 0) == WAIT_OBJECT_0;
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
        // messages while waiting, or neither of us would ever go on.
        const DWORD r = ::MsgWaitForMultipleObjects(1, &m_hThread, FALSE, remaining, QS_SENDMESSAGE);
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
        if (::WaitForSingleObject(m_hStopEvent, m_nPassInterval) == WAIT_OBJECT_0) break;
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
    if (m_pDialog) result = ::SendMessageA(m_pDialog->m_hWnd, static_cast<UINT>(m_nMsgBase) + offset, wParam, lParam);
    return true;
}

void CThreadLimeWire::ScanFolder(const CString& folder, const char* pattern, int nSource)
{
    // An empty folder would make the pattern look at the root of the drive.
    if (folder.IsEmpty()) return;

    CFileFind finder;
    BOOL bMore = finder.FindFile(folder + pattern);
    while (bMore) {
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
        if (!Report(static_cast<UINT>(nSource), reinterpret_cast<WPARAM>(&artist), reinterpret_cast<LPARAM>(&title), answer))
            return;
        if (m_pDialog && answer) {
            if (SongRecord* pRecord = new (std::nothrow) SongRecord{artist, title, nSource}) m_listPending.push_back(pRecord);
        }
    }
}

void CThreadLimeWire::ProcessNextPending()
{
    if (m_listPending.empty()) return;
    SongRecord* pRecord = m_listPending.front();

    const CString lyric(FetchLyric(pRecord->strArtist, pRecord->strTitle));
    if (m_pDialog) {
        LRESULT ignored = 0;
        Report(2 + static_cast<UINT>(pRecord->nSource), reinterpret_cast<WPARAM>(pRecord),
               lyric.IsEmpty() ? 0 : reinterpret_cast<LPARAM>(&lyric), ignored);
    }

    delete pRecord;
    m_listPending.pop_front();
}
