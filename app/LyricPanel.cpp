// The lyric panel's buttons, which act on the stored lyric of the selected
// row, and the artist box's selection.
#include "app/LyricPanel.h"

#include "app/SonglarkDlg.h"
#include "lyrics/LyricStore.h"
#include "platform/TextCodec.h"

#include <cstring>
#include <string>

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

namespace {
// Hands a zero-terminated copy of `bytes` bytes at data to the clipboard as
// `format`; nothing when there is no memory for it.
void PutClipboardBlock(UINT format, const void* data, size_t bytes, size_t terminator)
{
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes + terminator);
    if (!hBlock) return;
    void* pBlock = ::GlobalLock(hBlock);
    if (!pBlock) {
        ::GlobalFree(hBlock);
        return;
    }
    std::memcpy(pBlock, data, bytes);
    ::GlobalUnlock(hBlock);
    // Once taken, the block is the clipboard's.
    if (!::SetClipboardData(format, hBlock)) ::GlobalFree(hBlock);
}
}  // namespace

void CSonglarkDlg::OnToClipboard()
{
    // What the edit shows now, the user's own changes included.
    UpdateData(TRUE);

    const std::string text(m_strLyric.GetString());
    const std::wstring wide = songlark::WideFromProcessText(text);

    if (!::OpenClipboard(m_hWnd)) return;
    ::EmptyClipboard();
    // The Unicode text, which every program can paste whatever its code page.
    // A legacy process also puts its own bytes; a UTF-8 one leaves CF_TEXT to
    // the system, which makes it in the code page of the reader's locale, as
    // programs that read CF_TEXT expect.
    PutClipboardBlock(CF_UNICODETEXT, wide.data(), wide.size() * sizeof(wchar_t), sizeof(wchar_t));
    if (songlark::ProcessCodePage() != CP_UTF8) PutClipboardBlock(CF_TEXT, text.data(), text.size(), 1);
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
