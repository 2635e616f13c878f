// The Search command and the lyric lookup behind it and behind a row's
// selection: a stored lyric first, else (when allowed) the lyrics source,
// asked on a thread of its own so that the window never waits for it.
#include "app/SonglarkDlg.h"
#include "app/songlist/SongRow.h"
#include "core/store/LyricFile.h"
#include "lyrics/LyricStore.h"
#include "lyrics/net/FetchLyric.h"

#include <process.h>

#include <atomic>

namespace {
const char kLyricNotFound[] = "can't find this song's lyric!";
const char kCouldNotAsk[] = "can't reach the lyrics source now; try again later.";
}  // namespace

// One manual search, shared by the dialog and the thread that asks. The
// thread posts its answer only while the window has not begun to end, under
// the lock that the window's end takes to say so: a late answer never reaches
// a dead window, and whichever side lets go last frees the task.
struct LyricSearchTask {
    HWND hWnd = nullptr;
    std::string artist, title;
    LyricResult result;
    SRWLOCK lock = SRWLOCK_INIT;
    bool bAbandoned = false;
    bool bAppendedRow = false;
};

namespace {
unsigned __stdcall SearchThreadProc(void* pParam)
{
    std::unique_ptr<std::shared_ptr<LyricSearchTask>> owner(static_cast<std::shared_ptr<LyricSearchTask>*>(pParam));
    LyricSearchTask& task = **owner;
    task.result = LyricOrCouldNotAsk([&] { return FetchLyric(task.artist.c_str(), task.title.c_str()); });
    ::AcquireSRWLockExclusive(&task.lock);
    if (!task.bAbandoned) ::PostMessageA(task.hWnd, WM_LYRIC_SEARCH_DONE, 0, 0);
    ::ReleaseSRWLockExclusive(&task.lock);
    return 0;
}
}  // namespace

void CSonglarkDlg::OnOK()
{
    // One search at a time; Enter may still reach here while Search is disabled.
    if (m_pSearch) return;
    SearchLyric(TRUE);
    // Select the song's row; the boxes take its texts, the panel keeps the
    // search's result.
    m_bKeepLyricPanel = true;
    SelectSongRow(m_strArtist, m_strSong);
    m_bKeepLyricPanel = false;
}

void CSonglarkDlg::SearchLyric(BOOL bFetch)
{
    UpdateData(TRUE);

    CString lowerArtist = m_strArtist;
    lowerArtist.MakeLower();
    bool listed = false;
    const int entries = m_comboArtist.GetCount();
    for (int i = 0; i < entries && !listed; ++i) {
        CString entry;
        m_comboArtist.GetLBText(i, entry);
        entry.MakeLower();
        listed = entry == lowerArtist;
    }
    if (!listed) m_comboArtist.AddString(m_strArtist);

    const CString path = PrepareLyricPath(m_strArtist, m_strSong);
    m_strLyric.Empty();
    m_strLyric = ReadLyricFile(path);

    if (m_strLyric.IsEmpty() && bFetch && !m_pSearch) {
        auto task = std::make_shared<LyricSearchTask>();
        task->hWnd = m_hWnd;
        task->artist = m_strArtist.str();
        task->title = m_strSong.str();
        task->bAppendedRow = FindSongRow(m_strArtist, m_strSong) == 0 &&
                             AppendSongRow("SEARCH", m_strArtist, m_strSong,
                                           MakeRowData(ROW_SOURCE_NONE, ROW_STATE_SEARCHING)) >= 0;
        m_pSearch = task;
        ::EnableWindow(GetDlgItem(IDOK), FALSE);
        auto* pThreadRef = new std::shared_ptr<LyricSearchTask>(task);
        const uintptr_t hThread = ::_beginthreadex(nullptr, 0, SearchThreadProc, pThreadRef, 0, nullptr);
        if (hThread) {
            // Detached: nobody waits for a search; closing never does.
            ::CloseHandle(reinterpret_cast<HANDLE>(hThread));
        } else {
            delete pThreadRef;
            task->result = LyricResult::CouldNotAsk("no thread for the search");
            ::PostMessageA(m_hWnd, WM_LYRIC_SEARCH_DONE, 0, 0);
        }
    }

    UpdateData(FALSE);
}

LRESULT CSonglarkDlg::OnSearchDone(WPARAM, LPARAM)
{
    if (!m_pSearch) return 0;
    const std::shared_ptr<LyricSearchTask> task = std::move(m_pSearch);
    ::EnableWindow(GetDlgItem(IDOK), TRUE);

    const CString artist(task->artist.c_str());
    const CString title(task->title.c_str());
    // The row this search appended, unless the user deleted it meanwhile.
    int row = task->bAppendedRow ? FindSongRow(artist, title) : 0;
    if (row > 0 && m_listSongs.GetItemData(row - 1) != MakeRowData(ROW_SOURCE_NONE, ROW_STATE_SEARCHING)) row = 0;
    CString panel;
    switch (task->result.outcome) {
    case LyricOutcome::Found: {
        const CString lyric(task->result.lyric.c_str());
        if (lyric.IsEmpty()) {
            panel = kLyricNotFound;
            if (row > 0) SetSongRowStatus(row - 1, "FALSE", MakeRowData(ROW_SOURCE_NONE, ROW_STATE_NOT_FOUND));
            break;
        }
        panel = CString(songlark::FormatLyricFile(artist, title, lyric));
        // A lyric that could not be stored never shows "OK" without a file.
        const bool stored = StoreLyric(PrepareLyricPath(artist, title), artist, title, lyric);
        if (row > 0)
            SetSongRowStatus(row - 1, stored ? "OK" : "FALSE",
                             MakeRowData(ROW_SOURCE_NONE, stored ? ROW_STATE_FOUND : ROW_STATE_NOT_FOUND));
        break;
    }
    case LyricOutcome::NotFound:
        panel = kLyricNotFound;
        if (row > 0) SetSongRowStatus(row - 1, "FALSE", MakeRowData(ROW_SOURCE_NONE, ROW_STATE_NOT_FOUND));
        break;
    case LyricOutcome::CouldNotAsk:
        panel = kCouldNotAsk;
        // Nothing was learnt about the song: the row this search added goes.
        if (row > 0) m_listSongs.DeleteItem(row - 1);
        break;
    }
    // The panel is the search's only while the boxes still name its song;
    // the user may have moved on meanwhile.
    UpdateData(TRUE);
    if (m_strArtist == artist && m_strSong == title) {
        m_strLyric = panel;
        ::SetDlgItemTextA(m_hWnd, IDC_LYRIC, m_strLyric);
    }
    return 0;
}

LRESULT CSonglarkDlg::OnDestroyDialog(WPARAM, LPARAM)
{
    if (m_pSearch) {
        ::AcquireSRWLockExclusive(&m_pSearch->lock);
        m_pSearch->bAbandoned = true;
        ::ReleaseSRWLockExclusive(&m_pSearch->lock);
        m_pSearch.reset();
    }
    Default();
    return 0;
}
