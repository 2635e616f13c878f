// The main dialog in-process with the lyric store beside this exe (the
// script puts it beside a store of 20 000 lyrics): the cost of listing the
// store again (LoadStoredLyrics on an emptied table and combo box), and with
// the table full, of one watcher report of a song not listed (a whole search
// and an appended row), of one report of the last listed song, and of one
// finished fetch of that song without and with a lyric (the last writes its
// file). Medians of interleaved repetitions.
//
//   bench_reports_win [--reps 7]
#include "app/SonglarkDlg.h"
#include "bench/win/WinBench.h"
#include "watcher/ThreadLimeWire.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void EmptyTable(CSonglarkDlg& dlg)
{
    dlg.m_listSongs.SendMessage(LVM_DELETEALLITEMS);
    dlg.m_comboArtist.SendMessage(CB_RESETCONTENT);
}

}  // namespace

int main(int argc, char** argv)
{
    int reps = 7;
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], "--reps")) reps = std::atoi(argv[i + 1]);

    CSonglarkDlg dlg;
    double created = winbench::Seconds([&] { dlg.Create(nullptr); });
    if (!dlg.m_hWnd) return 1;
    // Watcher reports would interleave with ours; it has no part here.
    if (g_pWatcher && g_pWatcher->StopAndWait(10000)) delete g_pWatcher;
    g_pWatcher = nullptr;
    const HWND hDlg = dlg.m_hWnd;
    // At start-up the store is listed before the dialog is first shown.
    ::ShowWindow(hDlg, SW_HIDE);

    std::vector<double> load, fresh, listed, none, lyric;
    int rows = 0;
    for (int r = 0; r < reps; ++r) {
        EmptyTable(dlg);
        load.push_back(winbench::Seconds([&] { dlg.LoadStoredLyrics(); }));
        rows = dlg.m_listSongs.GetItemCount();
        if (rows == 0) {
            std::fprintf(stderr, "no stored lyric beside the exe\n");
            return 1;
        }

        const CString lastArtist = dlg.m_listSongs.GetItemText(rows - 1, 1);
        const CString lastTitle = dlg.m_listSongs.GetItemText(rows - 1, 2);
        CString newArtist, newTitle = "Not Listed";
        newArtist.Format("New Artist %d", r);
        fresh.push_back(winbench::Seconds([&] {
            ::SendMessageA(hDlg, WM_LIMEWIRE_SONG, reinterpret_cast<WPARAM>(&newArtist), reinterpret_cast<LPARAM>(&newTitle));
        }));
        listed.push_back(winbench::Seconds([&] {
            ::SendMessageA(hDlg, WM_LIMEWIRE_SONG, reinterpret_cast<WPARAM>(&lastArtist), reinterpret_cast<LPARAM>(&lastTitle));
        }));
        SongRecord record{lastArtist, lastTitle, 0};
        none.push_back(winbench::Seconds([&] { ::SendMessageA(hDlg, WM_LIMEWIRE_LYRIC, reinterpret_cast<WPARAM>(&record), 0); }));
        const CString text("la la\r\n");
        lyric.push_back(winbench::Seconds([&] {
            ::SendMessageA(hDlg, WM_LIMEWIRE_LYRIC, reinterpret_cast<WPARAM>(&record), reinterpret_cast<LPARAM>(&text));
        }));
    }
    ::DestroyWindow(hDlg);

    std::printf("main dialog in-process, %d stored lyrics; medians of %d repetitions\n", rows, reps);
    std::printf("  %-52s %10.2f ms (once)\n", "dialog created (start-up in-process)", created * 1000);
    std::printf("  %-52s %10.2f ms\n", "LoadStoredLyrics into an emptied table (hidden)", winbench::Median(load) * 1000);
    std::printf("  %-52s %10.3f ms\n", "report of a song not listed (search + append)", winbench::Median(fresh) * 1000);
    std::printf("  %-52s %10.3f ms\n", "report of the last listed song", winbench::Median(listed) * 1000);
    std::printf("  %-52s %10.3f ms\n", "finished fetch of the last song, no lyric", winbench::Median(none) * 1000);
    std::printf("  %-52s %10.3f ms\n", "finished fetch of the last song, lyric stored", winbench::Median(lyric) * 1000);
    return 0;
}
