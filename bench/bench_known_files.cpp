// One watcher pass over a folder whose files are all known already, against
// a bare listing of the same folder, at 1 000, 10 000 and 100 000 files.
// The pass lists the folder, forms each full path and asks the known-file
// set; the listing only lists. Medians of interleaved repetitions, one run.
//
//   bench_known_files [--sizes 1000,10000,100000] [--reps 7]
#include "core/watch/KnownFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string MakeFolder(size_t files)
{
    char tmpl[] = "/tmp/songlark-known-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    if (!dir) std::exit(1);
    for (size_t i = 0; i < files; ++i) {
        const std::string name = std::string(dir) + "/T-" + std::to_string(i) + "-Some Artist - Song Number " +
                                 std::to_string(i) + ".mp3";
        FILE* f = std::fopen(name.c_str(), "wb");
        if (!f) std::exit(1);
        std::fclose(f);
    }
    return dir;
}

void RemoveFolder(const std::string& dir)
{
    DIR* d = opendir(dir.c_str());
    while (dirent* e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
            unlink((dir + "/" + e->d_name).c_str());
    }
    closedir(d);
    rmdir(dir.c_str());
}

bool IsMp3(const char* name)
{
    const size_t n = std::strlen(name);
    return n >= 4 && strcasecmp(name + n - 4, ".mp3") == 0;
}

// The bare listing: every entry matching *.mp3.
size_t BareListing(const std::string& dir)
{
    size_t matches = 0;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = readdir(d)) matches += IsMp3(e->d_name);
    closedir(d);
    return matches;
}

// The listing with each match's full path formed, as the pass needs it.
size_t ListingWithPaths(const std::string& dir)
{
    size_t bytes = 0;
    std::string path;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = readdir(d)) {
        if (!IsMp3(e->d_name)) continue;
        path.assign(dir).append("/").append(e->d_name);
        bytes += path.size();
    }
    closedir(d);
    return bytes;
}

// The pass: the same listing, each match's full path, one lookup each.
size_t KnownPass(const std::string& dir, const songlark::KnownFiles& known)
{
    size_t unknown = 0;
    std::string path;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = readdir(d)) {
        if (!IsMp3(e->d_name)) continue;
        path.assign(dir).append("/").append(e->d_name);
        unknown += !known.Contains(path);
    }
    closedir(d);
    return unknown;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F>
double Seconds(F&& f)
{
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<size_t> sizes = {1000, 10000, 100000};
    int reps = 7;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--reps") == 0) reps = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--sizes") == 0) {
            sizes.clear();
            for (char* p = std::strtok(argv[i + 1], ","); p; p = std::strtok(nullptr, ",")) sizes.push_back(std::strtoull(p, nullptr, 10));
        }
    }
    std::printf("%10s %14s %16s %14s %8s\n", "files", "listing (ms)", "+paths (ms)", "pass (ms)", "ratio");
    bool met = true;
    for (size_t n : sizes) {
        const std::string dir = MakeFolder(n);
        songlark::KnownFiles known;
        DIR* d = opendir(dir.c_str());
        while (dirent* e = readdir(d))
            if (IsMp3(e->d_name)) known.Add(dir + "/" + e->d_name);
        closedir(d);

        std::vector<double> bare, paths, pass;
        size_t sink = 0;
        BareListing(dir);  // warm the directory cache for both
        for (int r = 0; r < reps; ++r) {
            bare.push_back(Seconds([&] { sink += BareListing(dir); }));
            paths.push_back(Seconds([&] { sink += ListingWithPaths(dir); }));
            pass.push_back(Seconds([&] { sink += KnownPass(dir, known); }));
        }
        const double b = Median(bare) * 1000, w = Median(paths) * 1000, p = Median(pass) * 1000;
        std::printf("%10zu %14.3f %16.3f %14.3f %8.2f%s\n", n, b, w, p, p / b, sink == 0 ? "" : " ");
        met = met && p / b <= 1.5;
        RemoveFolder(dir);
    }
    std::printf("goal (pass at most 1.5 x listing at every size): %s\n", met ? "met" : "missed");
    return 0;
}
