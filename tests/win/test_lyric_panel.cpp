// The lyric panel's buttons and the artist box's selection, on a live main
// dialog: Delete Lyric, To Clipboard (the real clipboard), Edit Lyric (with a
// stand-in for starting Notepad), and choosing an artist.
#include "app/LyricPanel.h"
#include "app/SonglarkDlg.h"
#include "lyrics/LyricStore.h"
#include "tests/win/AppTestUtil.h"
#include "tests/win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<std::string, UINT>> g_started;  // command line, show state

UINT WINAPI FakeStartEditor(LPCSTR lpCmdLine, UINT uCmdShow)
{
    g_started.emplace_back(lpCmdLine, uCmdShow);
    return 33;
}

// The clipboard's CF_UNICODETEXT up to its NUL, or "<none>".
std::wstring ClipboardUnicode(HWND owner)
{
    if (!::OpenClipboard(owner)) return L"<not opened>";
    std::wstring text = L"<none>";
    if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* p = static_cast<const wchar_t*>(::GlobalLock(h))) {
            text.assign(p, wcsnlen(p, ::GlobalSize(h) / sizeof(wchar_t)));
            ::GlobalUnlock(h);
        }
    }
    ::CloseClipboard();
    return text;
}

void PutOnClipboard(HWND owner, const char* text)
{
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    strcpy(static_cast<char*>(::GlobalLock(h)), text);
    ::GlobalUnlock(h);
    ::SetClipboardData(CF_TEXT, h);
    ::CloseClipboard();
}

bool Exists(const CString& path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

class LyricPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_started.clear();
        SetStartEditorHook(FakeStartEditor);
        ASSERT_TRUE(dlg.Create(nullptr));
        hDlg = dlg.m_hWnd;
    }
    void TearDown() override
    {
        if (::IsWindow(hDlg)) ::DestroyWindow(hDlg);
        StopWatcherForTest();
        SetStartEditorHook(nullptr);
        // Selecting a row makes its artist's folder; leave the store as found.
        for (const char* artist : {"Panel Artist", "Some Artist", "Other Artist"})
            ::RemoveDirectoryA(LyricsFolderPath() + artist);
    }

    // Selects a row as a click would; the selection fills the boxes and the panel.
    void Select(int row) { dlg.m_listSongs.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED); }
    int Selected() { return dlg.m_listSongs.GetNextItem(-1, LVNI_SELECTED); }
    void Click(int id) { ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, id))); }
    std::string Box(int id)
    {
        char buf[1024] = {0};
        ::GetDlgItemTextA(hDlg, id, buf, sizeof buf);
        return buf;
    }
    // What the panel shows after a search that found nothing.
    void ShowInPanel(const char* text)
    {
        dlg.m_strLyric = text;
        dlg.UpdateData(FALSE);
    }

    CSonglarkDlg dlg;
    HWND hDlg = nullptr;
};

}  // namespace

TEST_F(LyricPanelTest, DeleteRemovesTheStoredFileAndTheRowButKeepsTheArtist)
{
    const CString path = PrepareLyricPath("Panel Artist", "Stored Song");
    StoreLyric(path, "Panel Artist", "Stored Song", "la la");
    const int row = dlg.AppendSongRow("OK", "Panel Artist", "Stored Song", 0x000);
    Select(row);
    ASSERT_EQ(Box(IDC_LYRIC), "Panel Artist - Stored Song\r\n\r\nla la");
    EXPECT_EQ(dlg.GetSelectedLyricPath(), path);

    Click(IDC_DELETE_LYRIC);
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(dlg.FindSongRow("Panel Artist", "Stored Song"), 0) << "the row is gone";
    EXPECT_EQ(Box(IDC_LYRIC), "");
    EXPECT_EQ(Box(IDC_ARTIST), "Panel Artist");
    EXPECT_EQ(Box(IDC_SONG), "Stored Song");
    EXPECT_TRUE(Exists(LyricsFolderPath() + "Panel Artist")) << "the artist's folder stays, empty";
    EXPECT_GE(::SendMessageA(::GetDlgItem(hDlg, IDC_ARTIST), CB_FINDSTRINGEXACT, -1,
                             reinterpret_cast<LPARAM>("Panel Artist")), 0) << "and so does its entry";
}

TEST_F(LyricPanelTest, DeleteOfARowWithoutAFileRemovesItAndEmptiesThePanelThenDeleteDoesNothing)
{
    dlg.AppendSongRow("OK", "Other Artist", "Kept", 0x000);
    const int row = dlg.AppendSongRow("SEARCH", "Some Artist", "Not Yet", 0x101);
    Select(row);
    ShowInPanel("can't find this song's lyric!");
    ASSERT_FALSE(Exists(dlg.GetSelectedLyricPath()));

    Click(IDC_DELETE_LYRIC);
    EXPECT_EQ(dlg.m_listSongs.GetItemCount(), 1);
    EXPECT_EQ(dlg.FindSongRow("Some Artist", "Not Yet"), 0);
    EXPECT_EQ(Box(IDC_LYRIC), "");
    EXPECT_EQ(dlg.m_strLyric, "");
    EXPECT_EQ(Selected(), -1) << "no other row is selected";
    EXPECT_EQ(dlg.GetSelectedLyricPath(), "");

    ::SetDlgItemTextA(hDlg, IDC_LYRIC, "typed since");
    Click(IDC_DELETE_LYRIC);
    EXPECT_EQ(dlg.m_listSongs.GetItemCount(), 1);
    EXPECT_EQ(Box(IDC_LYRIC), "typed since") << "no data exchange either";
}

TEST_F(LyricPanelTest, ToClipboardCopiesExactlyWhatTheEditShowsAsUnicode)
{
    PutOnClipboard(hDlg, "something older");
    ShowInPanel("Some Artist - A Song\r\n\r\nfirst line\r\nsecond line");
    // The user's own changes, in the process's code page (UTF-8 under the
    // manifest): Latin, Greek, a curly quote, and a character beyond U+FFFF.
    const std::string edited = "Some Artist - A Song\r\n\r\ncaf\xC3\xA9 \xE2\x80\x99\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1\r\n"
                               "\xF0\x9F\x8C\x99 my own last line ";
    ::SetDlgItemTextA(hDlg, IDC_LYRIC, edited.c_str());
    Click(IDC_TO_CLIPBOARD);
    EXPECT_EQ(ClipboardUnicode(hDlg), L"Some Artist - A Song\r\n\r\ncaf\u00e9 \u2019\u03a9\u03bc\u03ad\u03b3\u03b1\r\n"
                                      L"\U0001F319 my own last line ");
    EXPECT_EQ(dlg.m_strLyric, edited.c_str()) << "the member took the edit's text";

    ::SetDlgItemTextA(hDlg, IDC_LYRIC, "");
    Click(IDC_TO_CLIPBOARD);
    EXPECT_EQ(ClipboardUnicode(hDlg), L"") << "an empty text, not the older one";
}

TEST_F(LyricPanelTest, AnArtistChoiceClearsOnlyTheEditAndEditLyricStillOpensTheRowsFile)
{
    const int row = dlg.AppendSongRow("FALSE", "Some Artist", "A Song", 0x002);
    Select(row);
    ShowInPanel("can't find this song's lyric!");
    const CString path = LyricFilePath("Some Artist", "A Song");
    ASSERT_FALSE(Exists(path));

    // The user picks an entry; the combo's edit still shows the old text
    // when the notice arrives.
    HWND combo = ::GetDlgItem(hDlg, IDC_ARTIST);
    dlg.m_comboArtist.AddString("Other Artist");
    const LRESULT entry = ::SendMessageA(combo, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("Other Artist"));
    ::SendMessageA(combo, CB_SETCURSEL, entry, 0);
    ::SetWindowTextA(combo, "Some Artist");
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_ARTIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));

    EXPECT_EQ(dlg.m_strArtist, "Other Artist");
    EXPECT_EQ(Box(IDC_LYRIC), "");
    EXPECT_EQ(dlg.m_strLyric, "can't find this song's lyric!");
    EXPECT_EQ(Box(IDC_SONG), "A Song");
    EXPECT_EQ(Selected(), row);

    Click(IDC_EDIT_LYRIC);
    ASSERT_EQ(g_started.size(), 1u) << "the member is tested, not the empty edit";
    EXPECT_EQ(g_started[0].first, std::string("notepad.exe ") + path.GetString()) << "unquoted, blanks and all";
    EXPECT_EQ(g_started[0].second, static_cast<UINT>(SW_SHOW));
    EXPECT_FALSE(Exists(path)) << "nothing is made for the editor";
}

TEST_F(LyricPanelTest, EditLyricWantsALyricInTheMemberAndASelectedRow)
{
    const int row = dlg.AppendSongRow("OK", "Some Artist", "A Song", 0x000);
    Select(row);
    dlg.m_strLyric.Empty();
    ::SetDlgItemTextA(hDlg, IDC_LYRIC, "typed into the edit");
    Click(IDC_EDIT_LYRIC);
    EXPECT_TRUE(g_started.empty()) << "an empty member, whatever the edit shows";

    ShowInPanel("a lyric");
    dlg.m_listSongs.SetItemState(-1, 0, LVIS_SELECTED);
    Click(IDC_EDIT_LYRIC);
    EXPECT_TRUE(g_started.empty()) << "no row selected";
}

TEST_F(LyricPanelTest, EditLyricNeverOpensAPathOutsideTheLyricsFolder)
{
    // A title from a web page or a tag that climbs out of the artist folder.
    const int row = dlg.AppendSongRow("FALSE", "Some Artist", "..\\..\\outside", 0x002);
    Select(row);
    ShowInPanel("can't find this song's lyric!");
    Click(IDC_EDIT_LYRIC);
    // The store maps the title to a name inside the artist's folder.
    ASSERT_EQ(g_started.size(), 1u);
    EXPECT_EQ(g_started[0].first, std::string("notepad.exe ") + LyricsFolderPath().str() + "Some Artist\\.._.._outside.lyric");
}

// Only where the program's own path fills the module-name buffer is there no
// Lyrics folder to name: ctest runs this test once more from such a folder
// (tests/win/run_from_deep_folder.py).
TEST_F(LyricPanelTest, DeleteRemovesTheRowWhenTheProgramsPathIsTooLongForTheLyricsFolder)
{
    if (!LyricsFolderPath().IsEmpty()) GTEST_SKIP() << "runs from a folder whose path fills the module-name buffer";
    const int row = dlg.AppendSongRow("SEARCH", "Some Artist", "Not Yet", 0x101);
    Select(row);
    ShowInPanel("can't find this song's lyric!");
    ASSERT_EQ(dlg.GetSelectedLyricPath(), "");
    Click(IDC_DELETE_LYRIC);
    EXPECT_EQ(dlg.m_listSongs.GetItemCount(), 0);
    EXPECT_EQ(Box(IDC_LYRIC), "");
}
