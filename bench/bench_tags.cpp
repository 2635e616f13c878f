// How fast the .mp3 tag reader takes artist and title, against TagLib reading
// the same two fields from the same files, and against the floor: a bare
// open, read of 1024 bytes and close. 10 000 generated files of a typical
// shape (ID3v2.3, Latin-1 text frames among a few others, padding, ~40 KB of
// audio) in a temporary folder. Every file is read once by all three before
// timing so that all run from the page cache; repetitions are interleaved.
//   bench_tags [--files=N] [google benchmark flags]
#include "core/tags/NameRules.h"
#include "core/tags/TagReaders.h"
#include "platform/FileRead.h"
#include "platform/SystemPath.h"

#include <benchmark/benchmark.h>

#ifdef SONGLARK_BENCH_TAGLIB
#include <fileref.h>
#include <tag.h>
#endif

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_files;

std::string Be32(std::uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

std::string TextFrame(const char* id, const std::string& text)
{
    return std::string(id, 4) + Be32(std::uint32_t(text.size() + 1)) + std::string(2, '\0') + '\0' + text;
}

// One file as a tagger and an encoder leave it: album, title, track, artist,
// year, genre, a comment, padding to 2 KB, then MPEG-1 layer III frames.
std::string MakeFile(int i, std::mt19937& rng)
{
    const std::string artist = "Artist " + std::to_string(i % 997);
    const std::string title = "Title of song number " + std::to_string(i);
    std::string frames = TextFrame("TALB", "Album " + std::to_string(i % 131)) + TextFrame("TIT2", title) +
                         TextFrame("TRCK", std::to_string(i % 14 + 1)) + TextFrame("TPE1", artist) +
                         TextFrame("TYER", "2003") + TextFrame("TCON", "(17)Rock") +
                         std::string("COMM") + Be32(24) + std::string(2, '\0') + std::string("\0eng", 4) +
                         std::string("\0ripped with care here", 20);
    const std::size_t tagSize = 2048 - 10;
    frames.resize(tagSize, '\0');
    // Tag size, synchsafe as ID3v2.3 has it.
    const std::string header = std::string("ID3\x03\x00\x00", 6) + char((tagSize >> 21) & 0x7f) +
                               char((tagSize >> 14) & 0x7f) + char((tagSize >> 7) & 0x7f) + char(tagSize & 0x7f);
    std::string audio;
    std::uniform_int_distribution<int> byte(0, 255);
    while (audio.size() < 40 * 1024) {
        std::string frame = "\xff\xfb\x90\x64";
        for (int k = 0; k < 413; ++k) frame += char(byte(rng));
        audio += frame;
    }
    return header + frames + audio;
}

bool ReadOneWithSonglark(const std::string& path)
{
    std::string artist, title;
    return songlark::ReadMp3Tags(path, artist, title, 1, songlark::ReadFileHead, songlark::SystemPathSyntax()) == 1;
}

#ifdef SONGLARK_BENCH_TAGLIB
bool ReadOneWithTagLib(const std::string& path)
{
    TagLib::FileRef f(path.c_str(), false);
    if (f.isNull() || !f.tag()) return false;
    const std::string artist = f.tag()->artist().to8Bit(), title = f.tag()->title().to8Bit();
    return !artist.empty() && !title.empty();
}
#endif

bool ReadOneBare(const std::string& path)
{
    unsigned char buffer[1024];
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    benchmark::DoNotOptimize(buffer);
    return n == 1024;
}

template <bool (*Read)(const std::string&)>
void BM_Files(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        if (!Read(g_files[i])) {
            state.SkipWithError(("could not read " + g_files[i]).c_str());
            break;
        }
        if (++i == g_files.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

// ReadMp3Tags above tries each file's name ("track NNNNN.mp3") first, as the
// watcher does, and finds it does not fit; this is that miss on its own.
void BM_LimeWireNameRuleMiss(benchmark::State& state)
{
    const std::string name = "Title of song number 4821 by Artist 3.mp3";
    for (auto _ : state) {
        std::string artist, title;
        benchmark::DoNotOptimize(songlark::ParseLimeWireName(name, artist, title));
    }
    state.SetItemsProcessed(state.iterations());
}

// Keeps the console output and remembers each benchmark's median rate.
class RateReporter : public benchmark::ConsoleReporter {
public:
    RateReporter() : ConsoleReporter(OO_Tabular) {}
    std::map<std::string, double> medians;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Aggregate || r.aggregate_name != "median") continue;
            auto it = r.counters.find("items_per_second");
            if (it != r.counters.end()) medians[r.run_name.function_name] = it->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    int count = 10000;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--files=", 8) == 0) count = std::atoi(argv[i] + 8);
        else args.push_back(argv[i]);
    }
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    static char repetitions[] = "--benchmark_repetitions=6";
    static char onlyAggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {interleave, repetitions, onlyAggregates});  // later flags on the command line win
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());

    char dirTemplate[] = "/tmp/songlark-bench-tags-XXXXXX";
    if (!::mkdtemp(dirTemplate)) return 1;
    const std::string dir = dirTemplate;
    std::mt19937 rng(20030101);
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/track %05d.mp3", i);
        g_files.push_back(dir + name);
        std::ofstream(g_files.back(), std::ios::binary) << MakeFile(i, rng);
    }
    // Warm the page cache and check that every reader finds the tag.
    for (const std::string& f : g_files) {
        bool ok = ReadOneWithSonglark(f) && ReadOneBare(f);
#ifdef SONGLARK_BENCH_TAGLIB
        ok = ok && ReadOneWithTagLib(f);
#endif
        if (!ok) {
            std::fprintf(stderr, "warm-up read failed: %s\n", f.c_str());
            return 1;
        }
    }

    benchmark::RegisterBenchmark("ReadMp3Tags", BM_Files<ReadOneWithSonglark>)->MinTime(1.0)->UseRealTime();
#ifdef SONGLARK_BENCH_TAGLIB
    benchmark::RegisterBenchmark("TagLib", BM_Files<ReadOneWithTagLib>)->MinTime(1.0)->UseRealTime();
#endif
    benchmark::RegisterBenchmark("BareOpenRead1024Close", BM_Files<ReadOneBare>)->MinTime(1.0)->UseRealTime();
    benchmark::RegisterBenchmark("LimeWireNameRuleMiss", BM_LimeWireNameRuleMiss)->MinTime(0.2)->UseRealTime();

    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove_all(dir);

    const auto rate = [&](const char* name) { return reporter.medians.count(name) ? reporter.medians[name] : 0.0; };
    const double ours = rate("ReadMp3Tags"), floor = rate("BareOpenRead1024Close"), taglib = rate("TagLib");
    std::printf("\n%d files, median of interleaved repetitions, files per wall-clock second:\n", count);
    std::printf("  ReadMp3Tags            %12.0f\n", ours);
    if (taglib > 0) std::printf("  TagLib (artist+title)  %12.0f\n", taglib);
    std::printf("  open/read 1024/close   %12.0f\n", floor);
    if (ours > 0 && taglib > 0) std::printf("  ReadMp3Tags / TagLib    %6.2fx  (goal >= 5x)\n", ours / taglib);
    if (ours > 0 && floor > 0) std::printf("  floor / ReadMp3Tags     %6.2fx  (goal <= 1.3x)\n", floor / ours);
    return 0;
}
