#include "watcher/ThreadLimeWire.h"

#include "core/tags/TagReaders.h"
#include "framework/FileFind.h"
#include "lyrics/net/FetchLyric.h"
#include "platform/FileRead.h"
#include "platform/FoldText.h"
#include "platform/SystemPath.h"
#include "settings/Settings.h"


#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

CThreadLimeWire* g_pWatcher = nullptr;

namespace {
// The retry rules' first back-off. Tests that cannot wait half a minute per
// retry set SONGLARK_TEST_RETRY_MS in the environment; the longest back-off
// keeps its ratio to the first (30 s to 30 min).
songlark::RetrySchedule MakeSchedule()
{
    char value[32] = {0};
    const DWORD n = ::GetEnvironmentVariableA("SONGLARK_TEST_RETRY_MS", value, sizeof value);
    const long long first = n > 0 && n < sizeof value ? std::atoll(value) : 0;
    if (first <= 0) return songlark::RetrySchedule();
    return songlark::RetrySchedule(first, first * (songlark::RetrySchedule::kMaxDelayMs /
                                                   songlark::RetrySchedule::kFirstDelayMs));
}

int64_t Now()
{
    return static_cast<int64_t>(::GetTickCount64());
}

// Songs are the same when their rows would be (FindSongRow): the same fold
// of case, in whatever code page the process runs.
bool SameSong(const SongRecord& record, const CString& artist, const CString& title)
{
    return record.strArtist.CompareNoCase(artist) == 0 && record.strTitle.CompareNoCase(title) == 0;
}
}  // namespace

// Known paths compare like _mbsicmp.
CThreadLimeWire::CThreadLimeWire() : m_arrKnownFiles(songlark::FoldTextCase), m_schedule(MakeSchedule())
{
    ::InitializeCriticalSection(&m_stopLock);
    ::InitializeConditionVariable(&m_stopWake);
    ::InitializeCriticalSection(&m_forgetLock);
    ::InitializeCriticalSection(&m_folderLock);
}

CThreadLimeWire::CThreadLimeWire(CWnd* pDialog, int nMsgBase, CString strLimeWirePath, CString strKazaaPath)
    : CThreadLimeWire()
{
    Setup(pDialog, nMsgBase, strLimeWirePath, strKazaaPath);
}

CThreadLimeWire::~CThreadLimeWire()
{
    ::DeleteCriticalSection(&m_folderLock);
    ::DeleteCriticalSection(&m_forgetLock);
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
    const int result =
        songlark::ReadKazaaSong(path.str(), a, t, unused, songlark::ReadFileTail, songlark::SystemPathSyntax());
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

void CThreadLimeWire::ForgetSong(const CString& strArtist, const CString& strTitle)
{
    // Copied before the lock is taken; out of memory, the song stays queued
    // and its answer finds no row.
    try {
        std::pair<CString, CString> song(strArtist, strTitle);
        ::EnterCriticalSection(&m_forgetLock);
        try {
            m_listForgotten.push_back(std::move(song));
        } catch (...) {
        }
        ::LeaveCriticalSection(&m_forgetLock);
    } catch (...) {
    }
}

void CThreadLimeWire::DropForgottenSongs()
{
    std::vector<std::pair<CString, CString>> forgotten;
    ::EnterCriticalSection(&m_forgetLock);
    forgotten.swap(m_listForgotten);
    ::LeaveCriticalSection(&m_forgetLock);
    for (const auto& song : forgotten) {
        for (size_t i = m_listPending.size(); i-- > 0;) {
            if (!SameSong(*m_listPending[i], song.first, song.second)) continue;
            m_schedule.Remove(m_listPending[i]->nId);
            m_listPending.erase(m_listPending.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void CThreadLimeWire::RemovePending(uint64_t nId)
{
    m_schedule.Remove(nId);
    for (auto it = m_listPending.begin(); it != m_listPending.end(); ++it) {
        if ((*it)->nId != nId) continue;
        m_listPending.erase(it);
        return;
    }
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
            try {
                ProcessNextPending();
            } catch (...) {
                // Nothing there should throw; no exception may end the thread.
            }
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

            // Everything the file tells goes to the lookup; the row gets the
            // artist and title the name and tag rules choose.
            songlark::SongFacts facts;
            const int found =
                nSource == 0
                    ? songlark::ReadMp3Facts(path.str(), facts, songlark::ReadFileHead, songlark::SystemPathSyntax())
                    : songlark::ReadKazaaFacts(path.str(), facts, songlark::ReadFileTail, songlark::SystemPathSyntax());
            if (found != 1) continue;
            CString artist(facts.artist);
            CString title(facts.title);

            // Everything queueing needs is allocated before the dialog lists
            // the song: once listed "SEARCH", a song is always queued.
            std::unique_ptr<SongRecord> pRecord(new SongRecord(artist, title, nSource));
            pRecord->facts = facts;
            m_listPending.reserve(m_listPending.size() + 1);
            m_schedule.Reserve(m_schedule.size() + 1);

            LRESULT answer = 0;
            if (!Report(static_cast<UINT>(nSource), reinterpret_cast<WPARAM>(&artist),
                        reinterpret_cast<LPARAM>(&title), answer))
                return;
            if (m_hDialog && answer) {
                pRecord->nId = ++m_nLastId;
                m_schedule.Add(pRecord->nId, Now());
                m_listPending.push_back(std::move(pRecord));
            }
        }
    } catch (...) {
        // Out of memory before the report: the song in hand is not listed.
    }
}

void CThreadLimeWire::ProcessNextPending()
{
    DropForgottenSongs();
    uint64_t nId = 0;
    if (StopRequested() || !m_schedule.Next(Now(), nId)) return;
    SongRecord* pRecord = nullptr;
    for (const auto& p : m_listPending)
        if (p->nId == nId) pRecord = p.get();
    if (!pRecord) {
        m_schedule.Remove(nId);
        return;
    }

    LyricResult result = FetchLyric(pRecord->facts);
    // A row deleted while the source was asked: its answer is not wanted.
    DropForgottenSongs();
    if (!m_schedule.Contains(nId) || StopRequested()) return;

    if (result.outcome == LyricOutcome::CouldNotAsk) {
        const int64_t now = Now();
        m_schedule.Failed(nId, now, result.retryAfterSeconds);
        // One line per failed ask, for whoever watches the debugger output.
        char line[768];
        std::snprintf(line, sizeof line, "songlark: could not ask for %s - %s (%s); next ask in %lld s\r\n",
                      static_cast<const char*>(pRecord->strArtist), static_cast<const char*>(pRecord->strTitle),
                      result.reason.c_str(), static_cast<long long>((m_schedule.NextAskAt() - now + 999) / 1000));
        ::OutputDebugStringA(line);
        return;
    }

    CString lyric;
    try {
        lyric = result.lyric.c_str();
    } catch (...) {
        // Out of memory for the text: ask again later rather than lose it.
        m_schedule.Failed(nId, Now(), 0);
        return;
    }
    if (m_hDialog) {
        LRESULT ignored = 0;
        Report(2 + static_cast<UINT>(pRecord->nSource), reinterpret_cast<WPARAM>(pRecord),
               lyric.IsEmpty() ? 0 : reinterpret_cast<LPARAM>(&lyric), ignored);
    }
    m_schedule.Answered(nId);
    RemovePending(nId);
}
