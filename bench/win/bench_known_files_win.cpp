// The watcher's pass over a LimeWire folder whose files are all known
// already, against a bare FindFirstFile/FindNextFile listing of the same
// folder ("*.mp3"), at 1 000, 10 000 and 100 000 files. The pass is the
// watcher's own (ScanLimeWireFolder), so it lists, forms each full path and
// asks the known-file set exactly as a real pass does; "+paths" is that
// listing without the lookups. Medians of interleaved repetitions, one run.
//
//   bench_known_files_win [--sizes 1000,10000,100000] [--reps 7] [--dir C:\path]
// (the folders are DIR-1000 and so on)
#include "bench/win/WinBench.h"
#include "framework/FileFind.h"
#include "watcher/ThreadLimeWire.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string FileName(size_t i)
{
    return "T-" + std::to_string(i) + "-Some Artist - Song Number " + std::to_string(i) + ".mp3";
}

// The bare listing: the files matching "*.mp3".
size_t BareFiles(const std::string& dir)
{
    size_t matches = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((dir + "\\*.mp3").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        matches += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    return matches;
}

// The listing as the pass makes it, each match's full path formed, without
// asking the known-file set: shows what of the pass's cost is the lookup.
size_t ListingWithPaths(const std::string& dir)
{
    size_t bytes = 0;
    CFileFind finder;
    BOOL bMore = finder.FindFile((dir + "\\*.mp3").c_str());
    while (bMore) {
        bMore = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory()) continue;
        bytes += static_cast<size_t>(finder.GetFilePath().GetLength());
    }
    return bytes;
}

// Files already there are kept: run-wine.sh makes them from the Linux side,
// since Wine creates files in a big folder slowly (each create searches the
// folder for a name differing only in case).
bool MakeFolder(const std::string& dir, size_t files)
{
    ::CreateDirectoryA(dir.c_str(), nullptr);
    if (BareFiles(dir) == files) return true;
    for (size_t i = 0; i < files; ++i) {
        const std::string path = dir + "\\" + FileName(i);
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        ::CloseHandle(h);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<size_t> sizes = {1000, 10000, 100000};
    int reps = 7;
    std::string root = "C:\\songlark-known";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--reps")) reps = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--dir")) root = argv[i + 1];
        if (!std::strcmp(argv[i], "--sizes")) {
            sizes.clear();
            for (char* p = std::strtok(argv[i + 1], ","); p; p = std::strtok(nullptr, ",")) sizes.push_back(std::strtoull(p, nullptr, 10));
        }
    }

    std::printf("watcher pass over known files against a bare listing; medians of %d interleaved repetitions\n", reps);
    std::printf("%10s %14s %14s %14s %8s\n", "files", "listing (ms)", "+paths (ms)", "pass (ms)", "ratio");
    bool met = true;
    for (size_t n : sizes) {
        const std::string dir = root + "-" + std::to_string(n);
        if (!MakeFolder(dir, n)) {
            std::fprintf(stderr, "cannot make %s\n", dir.c_str());
            return 1;
        }
        CThreadLimeWire watcher;
        watcher.m_strLimeWirePath = dir.c_str();
        // The first pass meets every file (and reads its name); later ones
        // find them all known.
        watcher.ScanLimeWireFolder();
        if (watcher.m_arrKnownFiles.size() != n) {
            std::fprintf(stderr, "the pass met %zu of %zu files\n", watcher.m_arrKnownFiles.size(), n);
            return 1;
        }
        std::vector<double> bare, paths, pass;
        size_t sink = 0;
        for (int r = 0; r < reps; ++r) {
            bare.push_back(winbench::Seconds([&] { sink += BareFiles(dir); }));
            paths.push_back(winbench::Seconds([&] { ListingWithPaths(dir); }));
            pass.push_back(winbench::Seconds([&] { watcher.ScanLimeWireFolder(); }));
        }
        const double b = winbench::Median(bare) * 1000, w = winbench::Median(paths) * 1000, p = winbench::Median(pass) * 1000;
        std::printf("%10zu %14.3f %14.3f %14.3f %8.2f\n", n, b, w, p, p / b);
        met = met && p / b <= 1.2 && sink == n * reps && watcher.m_arrKnownFiles.size() == n;
    }
    std::printf("goal (pass at most 1.2 x listing at every size): %s\n", met ? "met" : "missed");
    return 0;
}
