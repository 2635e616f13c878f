// The song table: cut text, the row operations, selection, and the owner-drawn
// rows checked pixel by pixel against the glyph strip.
#include "app/SonglarkDlg.h"
#include "app/songlist/SongRow.h"
#include "lyrics/LyricStore.h"
#include "tests/win/AppTestUtil.h"
#include "tests/win/FsTestUtil.h"
#include "tests/win/WinTestUtil.h"

#include <gtest/gtest.h>
#include <mbctype.h>
#include <mbstring.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

TEST(FitCellText, KeepsTextThatFitsAndCutsTheRestByTheAverageCharacterWidth)
{
    // 10 characters, 100 pixels: 10 pixels each on average.
    EXPECT_STREQ(FitCellText("abcdefghij", 100, 100), "abcdefghij") << "fits exactly";
    EXPECT_STREQ(FitCellText("abcdefghij", 150, 100), "abcdefghij");
    EXPECT_STREQ(FitCellText("abcdefghij", 99, 100), "abcdef...") << "9 fit, keep 9 - 3";
    EXPECT_STREQ(FitCellText("abcdefghij", 55, 100), "ab...");
    EXPECT_STREQ(FitCellText("abcdefghij", 40, 100), "a...") << "an estimate of 4 keeps 1";
    EXPECT_STREQ(FitCellText("abcdefghij", 39, 100), "a...") << "an estimate of 3 or less keeps the first byte";
    EXPECT_STREQ(FitCellText("abcdefghij", -5, 100), "a...");
    EXPECT_STREQ(FitCellText("", 0, 0), "");
    EXPECT_STREQ(FitCellText("", -7, 0), "") << "an empty text in a cell narrower than its margins";
}

TEST(SongRowData, GlyphColumnsFollowSourceAndState)
{
    EXPECT_EQ(SourceGlyphColumn(0x000), 0);
    EXPECT_EQ(SourceGlyphColumn(0x101), 1);
    EXPECT_EQ(SourceGlyphColumn(0x202), 2);
    EXPECT_EQ(SourceGlyphColumn(0x300), 0) << "an unknown source draws the sheet";
    EXPECT_EQ(StateGlyphColumn(0x100), 3);
    EXPECT_EQ(StateGlyphColumn(0x101), 5);
    EXPECT_EQ(StateGlyphColumn(0x102), 4);
    EXPECT_EQ(MakeRowData(ROW_SOURCE_KAZAA, ROW_STATE_NOT_FOUND), 0x202u);
}

namespace {

class SongTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dlg.Create(nullptr));
        hDlg = dlg.m_hWnd;
        list = ::GetDlgItem(hDlg, IDC_SONG_LIST);
        ASSERT_EQ(dlg.m_listSongs.GetItemCount(), 0) << "the tests' Lyrics folder must be empty";
    }
    void TearDown() override
    {
        if (::IsWindow(hDlg)) ::DestroyWindow(hDlg);
        StopWatcherForTest();
    }
    std::string ItemText(int row, int col) { return std::string(dlg.m_listSongs.GetItemText(row, col)); }
    std::string BoxText(int id)
    {
        char buf[256] = {0};
        ::GetDlgItemTextA(hDlg, id, buf, sizeof buf);
        return buf;
    }

    CSonglarkDlg dlg;
    HWND hDlg = nullptr;
    HWND list = nullptr;
};

}  // namespace

TEST_F(SongTableTest, AppendGoesToTheEndWithItsStatusDataAndTexts)
{
    EXPECT_EQ(dlg.AppendSongRow("OK", "Night Owls", "Blue Hour", 0x000), 0);
    EXPECT_EQ(dlg.AppendSongRow("SEARCH", "Some Artist", "A Song", 0x101), 1);
    EXPECT_EQ(ItemText(1, 0), "SEARCH");
    EXPECT_EQ(ItemText(1, 1), "Some Artist");
    EXPECT_EQ(ItemText(1, 2), "A Song");
    EXPECT_EQ(dlg.m_listSongs.GetItemData(1), 0x101u);

    dlg.SetSongRowStatus(1, "FALSE", 0x102);
    EXPECT_EQ(ItemText(1, 0), "FALSE");
    EXPECT_EQ(dlg.m_listSongs.GetItemData(1), 0x102u);
    EXPECT_EQ(ItemText(1, 1), "Some Artist") << "status changes leave the texts";
}

TEST_F(SongTableTest, FindIgnoresCaseFindsOnlyTheFirstOfTwoCaseVariantsAndNeverADeletedRow)
{
    dlg.AppendSongRow("OK", "Night Owls", "Blue Hour", 0);
    dlg.AppendSongRow("OK", "NIGHT OWLS", "BLUE HOUR", 0);
    dlg.AppendSongRow("OK", "Night Owls", "Other", 0);
    EXPECT_EQ(dlg.FindSongRow("night owls", "blue hour"), 1);
    EXPECT_EQ(dlg.FindSongRow("NIGHT OWLS", "BLUE HOUR"), 1);
    EXPECT_EQ(dlg.FindSongRow("Night Owls", "Other"), 3);
    EXPECT_EQ(dlg.FindSongRow("Night Owls", "Blue"), 0) << "whole texts, not prefixes";
    EXPECT_EQ(dlg.FindSongRow("Night OwlsBlue", " Hour"), 0) << "artist and title are not run together";
    EXPECT_EQ(dlg.FindSongRow("Other", "Night Owls"), 0);

    // Each delete must reach the index: a row then added past AppendSongRow
    // brings the table back to the index's old count, so a missed delete
    // would leave the index stale with nothing to show it.
    dlg.m_listSongs.DeleteItem(0);
    const int added = dlg.m_listSongs.InsertItem(2, "OK");
    dlg.m_listSongs.SetItemText(added, 1, "Zed");
    dlg.m_listSongs.SetItemText(added, 2, "Tune");
    EXPECT_EQ(dlg.FindSongRow("night owls", "blue hour"), 1) << "the other variant, first now";
    EXPECT_EQ(dlg.FindSongRow("Night Owls", "Other"), 2);
    EXPECT_EQ(dlg.FindSongRow("zed", "tune"), 3);
    dlg.m_listSongs.DeleteItem(0);
    EXPECT_EQ(dlg.FindSongRow("night owls", "blue hour"), 0) << "deleted rows are never found";
    EXPECT_EQ(dlg.AppendSongRow("OK", "night owls", "blue hour", 0), 2);
    EXPECT_EQ(dlg.FindSongRow("Night Owls", "Blue Hour"), 3);
    EXPECT_EQ(dlg.FindSongRow("Night Owls", "Other"), 1);
    EXPECT_EQ(dlg.FindSongRow("Zed", "Tune"), 2);
}

TEST_F(SongTableTest, FindAnswersLikeTheSystemsMultibyteComparisonOfEachRow)
{
    // Every single byte of the system code page, and double-byte letters of
    // code page 932 (one with the trail byte 0x5C); each text is asked for
    // and must give the first row that _mbsicmp calls equal.
    std::vector<std::string> ansi;
    for (int c = 0x20; c < 0x100; ++c) ansi.push_back(std::string(1, static_cast<char>(c)));
    const std::vector<std::string> cp932 = {"\x82\x60", "\x82\x81", "\x82\x61", "\x83\x5C", "\x95\x5C", "a\x83\x5C", "A\x83\x5C"};
    for (const auto& [codePage, texts] : {std::make_pair(_MB_CP_ANSI, ansi), std::make_pair(932, cp932)}) {
        ASSERT_EQ(_setmbcp(codePage), 0);
        dlg.m_listSongs.SendMessage(LVM_DELETEALLITEMS);
        for (const std::string& t : texts) dlg.AppendSongRow("OK", t.c_str(), "T", 0);
        for (const std::string& q : texts) {
            int expected = 0;
            for (size_t i = 0; i < texts.size() && !expected; ++i)
                if (_mbsicmp(reinterpret_cast<const unsigned char*>(texts[i].c_str()), reinterpret_cast<const unsigned char*>(q.c_str())) == 0)
                    expected = static_cast<int>(i) + 1;
            EXPECT_EQ(dlg.FindSongRow(q.c_str(), "t"), expected) << "code page " << codePage << ", text " << q;
        }
    }
    _setmbcp(_MB_CP_ANSI);
}

TEST_F(SongTableTest, SelectMovesSelectionAndFocusToTheMatchOrClearsThem)
{
    dlg.AppendSongRow("OK", "A", "One", 0);
    dlg.AppendSongRow("OK", "B", "Two", 0);
    dlg.SelectSongRow("b", "two");
    EXPECT_EQ(dlg.m_listSongs.GetItemState(1, LVIS_SELECTED | LVIS_FOCUSED), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(dlg.m_listSongs.GetItemState(0, LVIS_SELECTED | LVIS_FOCUSED), 0u);

    dlg.SelectSongRow("nobody", "nothing");
    EXPECT_EQ(dlg.m_listSongs.GetNextItem(-1, LVNI_SELECTED), -1) << "no match leaves no selection";
    EXPECT_EQ(dlg.m_listSongs.GetItemState(1, LVIS_FOCUSED), 0u);
}

TEST_F(SongTableTest, SelectingARowFillsTheArtistAndSongBoxes)
{
    dlg.AppendSongRow("OK", "A", "One", 0);
    dlg.AppendSongRow("FALSE", "Paper Kites Club", "Lanterns", 2);
    dlg.m_listSongs.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(BoxText(IDC_ARTIST), "Paper Kites Club");
    EXPECT_EQ(BoxText(IDC_SONG), "Lanterns");

    // Moving to another row: only the row that gains a state fills the boxes.
    dlg.m_listSongs.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(BoxText(IDC_ARTIST), "A");
    EXPECT_EQ(BoxText(IDC_SONG), "One");

    // A row left with the focus state alone still fills them.
    ::SetDlgItemTextA(hDlg, IDC_SONG, "typed");
    dlg.m_listSongs.SetItemState(1, LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(BoxText(IDC_SONG), "Lanterns");

    // Rows that only lose their states leave the boxes alone.
    ::SetDlgItemTextA(hDlg, IDC_SONG, "typed");
    dlg.m_listSongs.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(BoxText(IDC_SONG), "typed");
    EXPECT_EQ(BoxText(IDC_ARTIST), "Paper Kites Club");
}

namespace {

// A 32-bit top-down DIB with a memory DC, to render rows into.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    DWORD* bits = nullptr;
    int w = 0, h = 0;

    Canvas(HDC like, int width, int height) : w(width), h(height)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc = ::CreateCompatibleDC(like);
        bmp = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        old = ::SelectObject(dc, bmp);
        for (int i = 0; i < w * h; ++i) bits[i] = 0x00123456;  // a colour nothing draws
    }
    ~Canvas()
    {
        ::SelectObject(dc, old);
        ::DeleteObject(bmp);
        ::DeleteDC(dc);
    }
    COLORREF At(int x, int y) const
    {
        const DWORD p = bits[y * w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

// The glyph strip as the program's resources hold it.
struct Strip {
    std::vector<COLORREF> px;
    int w = 0, h = 0;
    Strip()
    {
        HBITMAP b = static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_STATUS_GLYPHS),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        DIBSECTION ds{};
        ::GetObjectA(b, sizeof ds, &ds);
        w = ds.dsBm.bmWidth;
        h = ds.dsBm.bmHeight;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        std::vector<DWORD> raw(static_cast<size_t>(w * h));
        HDC screen = ::GetDC(nullptr);
        ::GetDIBits(screen, b, 0, h, raw.data(), &bi, DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
        ::DeleteObject(b);
        for (DWORD p : raw) px.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    COLORREF At(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
};

// Compares the 15 x 14 glyph at strip (sx, sy) with the canvas at (cx, cy),
// over the rows that the cell shows; returns the number of differing pixels.
int GlyphDifferences(const Strip& strip, int sx, int sy, const Canvas& c, int cx, int cy, int visibleRows)
{
    int diff = 0;
    for (int y = 0; y < 14 && y < visibleRows; ++y)
        for (int x = 0; x < 15; ++x)
            if (strip.At(sx + x, sy + y) != c.At(cx + x, cy + y)) ++diff;
    return diff;
}

}  // namespace

TEST_F(SongTableTest, RowsDrawGlyphsAndCellColoursForEveryStateAndSelection)
{
    const Strip strip;
    ASSERT_EQ(strip.w, 90);
    ASSERT_EQ(strip.h, 42);
    // The glyph backgrounds of the three strip rows.
    EXPECT_EQ(strip.At(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(strip.At(0, 14), RGB(0, 0, 80));
    EXPECT_EQ(strip.At(0, 28), RGB(224, 224, 224));

    const unsigned datas[] = {0x000, 0x001, 0x002, 0x100, 0x101, 0x102, 0x200, 0x201, 0x202};
    // A status word wide enough to show beside the glyphs if it were drawn.
    for (unsigned d : datas) dlg.AppendSongRow("SEARCH", "Artist", "A title", d);
    const int statusWidth = static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));

    RECT client;
    ::GetClientRect(list, &client);
    HDC listDC = ::GetDC(list);

    struct Look {
        const char* name;
        UINT itemState;
        bool focus;
        int glyphRow;
        COLORREF background, text;
    };
    const Look looks[] = {
        {"not selected", 0, false, 0, RGB(255, 255, 255), RGB(0, 0, 0)},
        {"selected with focus", ODS_SELECTED, true, 1, RGB(0, 0, 128), RGB(255, 255, 255)},
        {"selected without focus", ODS_SELECTED, false, 2, RGB(224, 224, 224), RGB(0, 0, 0)},
        {"grayed counts as selected", ODS_GRAYED, false, 2, RGB(224, 224, 224), RGB(0, 0, 0)},
    };
    for (const Look& look : looks) {
        if (look.focus) {
            ::SetFocus(list);
            ASSERT_EQ(::GetFocus(), list);
        } else {
            ::SetFocus(::GetDlgItem(hDlg, IDC_SONG));
            ASSERT_NE(::GetFocus(), list);
        }
        for (int row = 0; row < 9; ++row) {
            SCOPED_TRACE(std::string(look.name) + ", row " + std::to_string(row));
            RECT item{};
            item.left = LVIR_BOUNDS;
            ::SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
            // Rows below the visible part are drawn all the same: size the canvas to hold them.
            Canvas canvas(listDC, std::max<int>(client.right, item.right + 1), std::max<int>(client.bottom, item.bottom + 1));
            ::SelectObject(canvas.dc, reinterpret_cast<HFONT>(::SendMessageA(list, WM_GETFONT, 0, 0)));
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_LISTVIEW;
            dis.CtlID = IDC_SONG_LIST;
            dis.itemID = static_cast<UINT>(row);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = look.itemState;
            dis.hwndItem = list;
            dis.hDC = canvas.dc;
            dis.rcItem = item;
            dlg.m_listSongs.DrawItem(&dis);

            const unsigned d = datas[row];
            const int rowHeight = item.bottom - item.top;
            const int s = (d >> 8) == 1 || (d >> 8) == 2 ? static_cast<int>(d >> 8) : 0;
            const int t = (d & 0xFF) == 0 ? 3 : (d & 0xFF) == 1 ? 5 : 4;
            EXPECT_EQ(GlyphDifferences(strip, 15 * s, 14 * look.glyphRow, canvas, item.left + 1, item.top, rowHeight), 0)
                << "source glyph";
            EXPECT_EQ(GlyphDifferences(strip, 15 * t, 14 * look.glyphRow, canvas, item.left + 16, item.top, rowHeight), 0)
                << "state glyph";

            RECT title{};
            dlg.m_listSongs.GetSubItemRect(row, 2, LVIR_BOUNDS, title);
            EXPECT_EQ(canvas.At(title.right - 3, title.top + rowHeight / 2), look.background) << "title cell background";
            int textPixels = 0;
            for (int y = title.top; y < title.bottom; ++y)
                for (int x = title.left + 6; x < title.left + 60 && x < canvas.w; ++x)
                    if (canvas.At(x, y) == look.text) ++textPixels;
            EXPECT_GT(textPixels, 0) << "title text in its colour";
            // The status word itself is never drawn: right of the glyphs the cell is plain.
            int statusPixels = 0;
            for (int y = item.top; y < item.bottom - 1; ++y)
                for (int x = item.left + 31; x < item.left + statusWidth - 1; ++x)
                    if (canvas.At(x, y) != look.background) ++statusPixels;
            EXPECT_EQ(statusPixels, 0) << "status cell right of the glyphs";
        }
    }
    ::ReleaseDC(list, listDC);
}

TEST_F(SongTableTest, ATitleTooWideForItsCellIsDrawnCutWithDots)
{
    const CString title(std::string(80, 'W').c_str());
    dlg.AppendSongRow("OK", "Artist", title, 0);
    RECT item{};
    item.left = LVIR_BOUNDS;
    ::SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    RECT cell{};
    dlg.m_listSongs.GetSubItemRect(0, 2, LVIR_BOUNDS, cell);
    HDC listDC = ::GetDC(list);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageA(list, WM_GETFONT, 0, 0));

    // Where the title cell holds black text: the row as the control draws it,
    // or the given text drawn plainly at the cell's margins.
    auto textPixels = [&](const CString* text) {
        Canvas canvas(listDC, cell.right + 1, item.bottom + 1);
        ::SelectObject(canvas.dc, font);
        if (text) {
            RECT r{cell.left + CSongListCtrl::kTextMargin, cell.top, cell.right - CSongListCtrl::kTextMargin, cell.bottom};
            ::SetBkMode(canvas.dc, TRANSPARENT);
            ::SetTextColor(canvas.dc, RGB(0, 0, 0));
            ::DrawTextA(canvas.dc, *text, text->GetLength(), &r, 0);
        } else {
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_LISTVIEW;
            dis.CtlID = IDC_SONG_LIST;
            dis.itemAction = ODA_DRAWENTIRE;
            dis.hwndItem = list;
            dis.hDC = canvas.dc;
            dis.rcItem = item;
            dlg.m_listSongs.DrawItem(&dis);
        }
        std::vector<bool> black;
        for (int y = cell.top; y < cell.bottom - 1; ++y)
            for (int x = cell.left; x < cell.right - 1; ++x) black.push_back(canvas.At(x, y) == RGB(0, 0, 0));
        return black;
    };
    SIZE extent{};
    ::SelectObject(listDC, font);
    ::GetTextExtentPoint32A(listDC, title, title.GetLength(), &extent);
    const CString cut = FitCellText(title, cell.right - cell.left - 2 * CSongListCtrl::kTextMargin, extent.cx);
    ASSERT_EQ(cut.Mid(cut.GetLength() - 3), "...");
    const std::vector<bool> drawn = textPixels(nullptr);
    EXPECT_EQ(drawn, textPixels(&cut)) << "the cut text with its dots";
    EXPECT_NE(drawn, textPixels(&title)) << "not the whole title clipped at the cell's edge";
    ::ReleaseDC(list, listDC);
}

namespace {
// Saves the window's pixels from the screen as a 24-bit BMP.
bool SaveWindowShot(HWND hWnd, const std::string& path)
{
    RECT r;
    ::GetWindowRect(hWnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(mem, old);
    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof bih;
    bih.biWidth = w;
    bih.biHeight = h;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    const int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> data(static_cast<size_t>(stride * h));
    ::GetDIBits(screen, bmp, 0, h, data.data(), reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER bfh{};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof bfh + sizeof bih;
    bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(data.size());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(&bfh, sizeof bfh, 1, f);
    std::fwrite(&bih, sizeof bih, 1, f);
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
    return true;
}
}  // namespace

TEST_F(SongTableTest, ScreenshotOfTheMainWindowWithRowsInEveryState)
{
    dlg.AppendSongRow("OK", "Night Owls", "Blue Hour", 0x000);
    dlg.AppendSongRow("FALSE", "Night Owls", "Unwritten Song", 0x002);
    dlg.AppendSongRow("SEARCH", "Some Artist", "A Song", 0x101);
    dlg.AppendSongRow("OK", "Paper Kites Club", "Lanterns", 0x100);
    dlg.AppendSongRow("FALSE", "Paper Kites Club", "A Title Far Too Long To Fit Into Its Column Of The Table", 0x102);
    dlg.AppendSongRow("SEARCH", "Kazaa Artist", "Downloading", 0x201);
    dlg.AppendSongRow("OK", "Kazaa Artist", "Finished", 0x200);
    dlg.AppendSongRow("FALSE", "Kazaa Artist", "Missing", 0x202);
    // The selected row shows its stored lyric, as at run time.
    StoreLyric(PrepareLyricPath("Night Owls", "Blue Hour"), "Night Owls", "Blue Hour",
               "the street lamps hum  \r\nand we keep time  \r\nwith the last bus home  \r\n");
    ::SetWindowPos(hDlg, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    dlg.SelectSongRow("Night Owls", "Blue Hour");
    ::SetFocus(list);
    ::RedrawWindow(hDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(300);
    // Beside the test exe, whatever the working folder.
    char exe[MAX_PATH] = {0};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder = folder.substr(0, folder.rfind('\\')) + "\\screenshots";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(SaveWindowShot(hDlg, folder + "\\main-window.bmp"));
    // The shot holds the navy selection, so the rows really were drawn.
    RECT lr;
    ::GetWindowRect(list, &lr);
    HDC screen = ::GetDC(nullptr);
    int navy = 0;
    for (int x = lr.left + 60; x < lr.left + 200; ++x)
        for (int y = lr.top; y < lr.top + 40; ++y)
            if (::GetPixel(screen, x, y) == RGB(0, 0, 128)) ++navy;
    ::ReleaseDC(nullptr, screen);
    EXPECT_GT(navy, 100);
    char panel[256] = {0};
    ::GetDlgItemTextA(hDlg, IDC_LYRIC, panel, sizeof panel);
    EXPECT_EQ(std::string(panel).substr(0, 22), "Night Owls - Blue Hour");
    RemoveTree(LyricsFolderPath().Left(LyricsFolderPath().GetLength() - 1));
}
