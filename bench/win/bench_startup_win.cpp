// Start-up with lyric stores of several sizes, against the floor of listing
// them. For each folder given (each holds a copy of songlark.exe and its
// Lyrics store; the first is the empty store), starts songlark.exe and takes
// the time from CreateProcess until its main window answers a sent message,
// then closes it. In the same repetition it runs the floor program on the
// same store. Repetitions interleave the stores (the order rotates) and each
// figure is a median. Printed per store: songlark's start, its extra time
// over the empty store (the difference within each repetition), the floor's
// time, and extra / floor.
//
//   bench_startup_win [--reps 5] --floor bench_floor_win.exe DIR0 DIR1 ...
#include "bench/win/WinBench.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct FindArgs {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND hWnd, LPARAM lParam)
{
    auto* args = reinterpret_cast<FindArgs*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    char title[32] = {0};
    if (pid == args->pid && ::GetWindowTextA(hWnd, title, sizeof title) && std::strcmp(title, "Peerpal") == 0) {
        args->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

// Seconds from the start of songlark.exe in dir until its dialog answers; -1
// when it did not within two minutes. rows, artists: the song table's rows
// and the artist box's entries then.
double TimeStartup(const std::string& dir, int& rows, int& artists)
{
    std::string cmd = "\"" + dir + "\\songlark.exe\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double t0 = winbench::Now();
    if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) return -1;
    double seconds = -1;
    FindArgs args{pi.dwProcessId, nullptr};
    while (winbench::Now() - t0 < 120) {
        ::EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&args));
        if (args.found) break;
        if (::WaitForSingleObject(pi.hProcess, 2) == WAIT_OBJECT_0) break;
    }
    DWORD_PTR answer = 0;
    // The dialog's thread serves a sent message only once its start-up is over.
    if (args.found && ::SendMessageTimeoutA(args.found, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &answer))
        seconds = winbench::Now() - t0;
    rows = args.found ? static_cast<int>(::SendMessageA(::GetDlgItem(args.found, 1007), LVM_GETITEMCOUNT, 0, 0)) : -1;
    artists = args.found ? static_cast<int>(::SendMessageA(::GetDlgItem(args.found, 1008), CB_GETCOUNT, 0, 0)) : -1;
    if (args.found) ::PostMessageA(args.found, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(pi.hProcess, 1);
        ::WaitForSingleObject(pi.hProcess, 10000);
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return seconds;
}

// Runs the floor program on dir\Lyrics; its own timing of the work, and the
// rows and artist folders it listed.
double TimeFloor(const std::string& floorExe, const std::string& dir, int& rows, int& artists)
{
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE hRead = nullptr, hWrite = nullptr;
    if (!::CreatePipe(&hRead, &hWrite, &sa, 0)) return -1;
    ::SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
    std::string cmd = "\"" + floorExe + "\" \"" + dir + "\\Lyrics\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = hWrite;
    si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    ::CloseHandle(hWrite);
    std::string out;
    if (started) {
        char buf[256];
        DWORD n = 0;
        while (::ReadFile(hRead, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
        ::WaitForSingleObject(pi.hProcess, 120000);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::CloseHandle(hRead);
    double seconds = -1;
    if (std::sscanf(out.c_str(), "%d %d %lf", &rows, &artists, &seconds) != 3) return -1;
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    int reps = 5;
    std::string floorExe;
    std::vector<std::string> dirs;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--reps") && i + 1 < argc) reps = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--floor") && i + 1 < argc) floorExe = argv[++i];
        else dirs.push_back(argv[i]);
    }
    if (floorExe.empty() || dirs.size() < 2 || reps < 1) {
        std::fprintf(stderr, "usage: bench_startup_win [--reps N] --floor FLOOR_EXE EMPTY_DIR DIR...\n");
        return 2;
    }

    const size_t n = dirs.size();
    std::vector<std::vector<double>> start(n), floor(n);
    std::vector<int> rows(n, 0), listed(n, 0), artists(n, 0), entries(n, 0);
    bool failed = false;
    for (int r = 0; r < reps; ++r) {
        for (size_t k = 0; k < n; ++k) {
            const size_t i = (k + static_cast<size_t>(r)) % n;
            const double s = TimeStartup(dirs[i], listed[i], entries[i]);
            const double f = TimeFloor(floorExe, dirs[i], rows[i], artists[i]);
            if (s < 0 || f < 0 || listed[i] != rows[i] || entries[i] != artists[i]) failed = true;
            start[i].push_back(s);
            floor[i].push_back(f);
            std::fprintf(stderr, "rep %d  %-20s start %8.1f ms (%d rows, %d artists)  floor %8.1f ms (%d rows, %d artists)\n",
                         r + 1, dirs[i].c_str(), s * 1000, listed[i], entries[i], f * 1000, rows[i], artists[i]);
        }
    }

    std::printf("medians of %d interleaved repetitions; extra: a store's start less the empty store's of the same repetition\n", reps);
    std::printf("%8s %14s %16s %14s %14s\n", "lyrics", "start (ms)", "extra (ms)", "floor (ms)", "extra/floor");
    for (size_t i = 0; i < n; ++i) {
        const double s = winbench::Median(start[i]), f = winbench::Median(floor[i]);
        if (i == 0) {
            std::printf("%8d %14.1f %16s %14.1f %14s\n", rows[i], s * 1000, "-", f * 1000, "-");
            continue;
        }
        // Paired within each repetition, so that a slow spell of the machine
        // weighs on both starts alike.
        std::vector<double> extra;
        for (int r = 0; r < reps; ++r) extra.push_back(start[i][r] - start[0][r]);
        const double e = winbench::Median(extra);
        std::printf("%8d %14.1f %16.1f %14.1f %14.2f\n", rows[i], s * 1000, e * 1000, f * 1000, e / f);
    }
    if (failed) std::printf("some runs failed: a start that never answered, or rows or artists that differ from the floor's\n");
    return failed ? 1 : 0;
}
