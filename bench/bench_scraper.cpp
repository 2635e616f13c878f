// FetchLyric's scraping of a song page of about 100 000 bytes whose lyric
// sits near the end, against one memchr pass over the same bytes, in the same
// run. Prints the ratio of their times after the table.
#include "core/lyrics/Scraper.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {
const std::string kSongList =
    "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body><ul>"
    "<li><a href=\"/n/night-owls/blue-hour.html\" title=\"Blue Hour Lyrics\">Blue Hour</a></li></ul></body></html>";

std::string SongPage()
{
    std::string page = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><head><title>Blue Hour</title></head><body>\n";
    // Comments, links and lone line breaks, as a page full of other things has.
    const std::string filler =
        "<div class=\"comment\"><b>visitor</b> wrote:<br>what a song &amp; what a night, "
        "see <a href=\"/n/night-owls/songs.html\">more songs</a> &#33;</div>\n";
    std::string lyric = "<div class=\"lyric\">";
    for (int i = 0; i < 40; ++i) lyric += "the lamps come on along the quay &amp; the gulls go quiet<br>\n";
    lyric += "</div>\n<div class=\"footer\">Correct these lyrics</div></body></html>\n";
    while (page.size() + filler.size() + lyric.size() < 99000) page += filler;
    return page + lyric;
}

const std::string kSongPage = SongPage();

bool Fetch(const char*, unsigned short, const char* path, char* buffer, int capacity, int* received)
{
    const std::string& page = std::strcmp(path, "/n/night-owls/songs.html") == 0 ? kSongList : kSongPage;
    *received = static_cast<int>(std::min<std::size_t>(page.size(), capacity - 1));
    std::memcpy(buffer, page.data(), static_cast<std::size_t>(*received));
    buffer[*received] = '\0';
    return true;
}

void BM_ScrapeLyric(benchmark::State& state)
{
    const LyricsSiteAddress site;
    std::size_t length = 0;
    for (auto _ : state) {
        const std::string lyric = ScrapeLyric(site, "Night Owls", "Blue Hour", Fetch).lyric;
        length = lyric.size();
        benchmark::DoNotOptimize(lyric.data());
    }
    if (length == 0) state.SkipWithError("no lyric found");
    state.counters["page_bytes"] = static_cast<double>(kSongPage.size());
    state.counters["lyric_bytes"] = static_cast<double>(length);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSongPage.size()));
}
BENCHMARK(BM_ScrapeLyric);

void BM_MemchrPass(benchmark::State& state)
{
    for (auto _ : state) {
        const void* hit = std::memchr(kSongPage.data(), '\x01', kSongPage.size());  // not on the page
        benchmark::DoNotOptimize(hit);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSongPage.size()));
}
BENCHMARK(BM_MemchrPass);

// Keeps each benchmark's CPU time per iteration for the ratio: on a shared
// machine the wall clock also counts other people's work.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                seconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};
}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto scrape = reporter.seconds.find("BM_ScrapeLyric");
    const auto memchr = reporter.seconds.find("BM_MemchrPass");
    if (scrape == reporter.seconds.end() || memchr == reporter.seconds.end() || memchr->second <= 0) return 0;
    std::printf("scraping a %zu-byte song page takes %.1f times one memchr pass over it (CPU %.0f ns vs %.0f ns)\n",
                kSongPage.size(), scrape->second / memchr->second, scrape->second, memchr->second);
    return 0;
}
