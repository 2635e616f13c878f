// The lyric panel's buttons, which act on the stored lyric of the selected
// row, and the artist box's selection.
#include "app/LyricPanel.h"

#include "app/SonglarkDlg.h"
#include "lyrics/LyricStore.h"

#include <cstring>

namespace {
StartEditorFn g_pfnStartEditor = nullptr;
}  // namespace

void SetStartEditorHook(StartEditorFn pfnStart)
{
    g_pfnStartEditor = pfnStart;
}

CString CSonglarkDlg::GetSelectedLyricPath()
{
    const int row = m_listSongs.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0) return CString();
    return LyricFilePath(m_listSongs.GetItemText(row, 1), m_listSongs.GetItemText(row, 2));
}

void CSonglarkDlg::OnDeleteLyric()
{
    if (m_listSongs.GetNextItem(-1, LVNI_SELECTED) < 0) return;

    // A row still searching, or not found, has no file, and no row has one
    // when the program's own path is too long to name the Lyrics folder: the
    // row goes anyway.
    const CString path = GetSelectedLyricPath();
    if (!path.IsEmpty()) DeleteLyricFile(path);

    const int row = m_listSongs.GetNextItem(-1, LVNI_SELECTED);
    if (row >= 0) {
        m_listSongs.DeleteItem(row);
        m_strLyric.Empty();
        UpdateData(FALSE);
    }
}

void CSonglarkDlg::OnToClipboard()
{
    // What the edit shows now, the user's own changes included.
    UpdateData(TRUE);

    if (!::OpenClipboard(m_hWnd)) return;
    ::EmptyClipboard();

    const size_t length = static_cast<size_t>(m_strLyric.GetLength());
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
    if (!hText) {
        ::CloseClipboard();
        return;
    }
    if (char* pText = static_cast<char*>(::GlobalLock(hText))) {
        std::memcpy(pText, m_strLyric.GetString(), length);
        pText[length] = '\0';
        ::GlobalUnlock(hText);
    }
    // From here on the block is the clipboard's.
    ::SetClipboardData(CF_TEXT, hText);
    ::CloseClipboard();
}

void CSonglarkDlg::OnEditLyric()
{
    // The member, not the edit: choosing an artist clears only the edit, and
    // the row's lyric is still the one to open.
    if (m_strLyric.IsEmpty()) return;
    const CString path = GetSelectedLyricPath();
    if (path.IsEmpty()) return;
    // A name that is not one plain path component could point the editor
    // (and the user's Save) outside the Lyrics folder.
    if (!IsLyricStorePath(path)) return;

    // Unquoted: Notepad takes its whole command tail as the file name.
    const CString command = CString("notepad.exe ") + path;
    if (g_pfnStartEditor)
        g_pfnStartEditor(command, SW_SHOW);
    else
        ::WinExec(command, SW_SHOW);
}

void CSonglarkDlg::OnSelChangeArtist()
{
    // The combo's own edit is not updated yet when the notice arrives, so
    // the entry is read from the list.
    m_comboArtist.GetLBText(m_comboArtist.GetCurSel(), m_strArtist);
    ::SetDlgItemTextA(m_hWnd, IDC_LYRIC, "");
}
