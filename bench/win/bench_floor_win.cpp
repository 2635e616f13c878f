// The floor of listing a lyric store at start-up: what any program must do to
// show it. Lists LYRICS_FOLDER\* and each artist folder's *.lyric with
// FindFirstFile/FindNextFile and inserts one row per file (status "OK", row
// data 0, artist, title) into a report list view with the song table's style
// and columns, its redrawing off meanwhile (as any program that adds many
// rows at once does). Prints the rows, the artist folders and the seconds
// that this work took,
// measured inside the process (window creation and process start not
// included).
//
//   bench_floor_win LYRICS_FOLDER
#include "bench/win/WinBench.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

HWND CreateList()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    HWND top = ::CreateWindowExA(0, "STATIC", "floor", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "",
                                  WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                      LVS_OWNERDRAWFIXED | WS_BORDER | WS_TABSTOP,
                                  10, 80, 460, 120, top, reinterpret_cast<HMENU>(1007), nullptr, nullptr);
    const struct { const char* name; int width; } columns[] = {{"Status", 50}, {"Artist", 120}, {"Title", 260}};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA col{};
        col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.fmt = LVCFMT_LEFT;
        col.cx = columns[i].width;
        col.pszText = const_cast<char*>(columns[i].name);
        col.iSubItem = i;
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
    }
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    return list;
}

void AddRow(HWND list, int row, const char* artist, const char* title)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<char*>("OK");
    item.lParam = 0;
    ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(artist);
    ::SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 2;
    item.pszText = const_cast<char*>(title);
    ::SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

int ListStore(HWND list, const std::string& lyrics, int& artists)
{
    int rows = 0;
    WIN32_FIND_DATAA artist;
    HANDLE hArtists = ::FindFirstFileA((lyrics + "\\*").c_str(), &artist);
    if (hArtists == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(artist.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (!std::strcmp(artist.cFileName, ".") || !std::strcmp(artist.cFileName, "..")) continue;
        ++artists;
        WIN32_FIND_DATAA song;
        HANDLE hSongs = ::FindFirstFileA((lyrics + "\\" + artist.cFileName + "\\*.lyric").c_str(), &song);
        if (hSongs == INVALID_HANDLE_VALUE) continue;
        do {
            if (song.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            if (char* dot = std::strrchr(song.cFileName, '.')) *dot = '\0';
            AddRow(list, rows++, artist.cFileName, song.cFileName);
        } while (::FindNextFileA(hSongs, &song));
        ::FindClose(hSongs);
    } while (::FindNextFileA(hArtists, &artist));
    ::FindClose(hArtists);
    return rows;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_floor_win LYRICS_FOLDER\n");
        return 2;
    }
    HWND list = CreateList();
    int rows = 0, artists = 0;
    const double seconds = winbench::Seconds([&] {
        ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        rows = ListStore(list, argv[1], artists);
        ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    });
    const int listed = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::printf("%d %d %.6f\n", listed, artists, seconds);
    ::DestroyWindow(::GetParent(list));
    return listed == rows ? 0 : 1;
}
