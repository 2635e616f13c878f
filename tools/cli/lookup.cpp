// songlark-cli lookup [--lrclib BASEURL] FILE...
// For each download: what its name and tag tell, each request the program's
// LRCLIB lookup sends with its answer's status, and the outcome. Exit status 0
// when every file was looked up (whatever the outcomes), 2 usage.
#include "core/tags/SongFacts.h"
#include "core/tags/TagReaders.h"
#include "lyrics/net/LrclibFetch.h"
#include "platform/FileRead.h"
#include "platform/SystemPath.h"
#include "tools/cli/Commands.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int RunLookup(int argc, char** argv);
const CliCommand kLookup = {"lookup", "lookup [--lrclib BASEURL] FILE...", RunLookup};
const CliCommandRegistration kRegistration(kLookup);

bool EndsWithNoCase(const std::string& s, const char* suffix)
{
    const std::size_t n = std::strlen(suffix);
    if (s.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = s[s.size() - n + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

// One line per field whatever the text holds: a control byte shows as '?'.
std::string Shown(const std::string& s)
{
    std::string out(s);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return out;
}

struct FileFacts {
    songlark::SongFacts song;  // ANSI, as the program reads it
    bool nameFits = false;
    bool hasTag = false;
};

// What the program's watcher takes from a download.
FileFacts ReadFacts(const std::string& path)
{
    FileFacts f;
    songlark::SongFacts& s = f.song;
    if (EndsWithNoCase(path, ".dat"))
        songlark::ReadKazaaFacts(path, s, songlark::ReadFileTail, songlark::SystemPathSyntax());
    else
        songlark::ReadMp3Facts(path, s, songlark::ReadFileHead, songlark::SystemPathSyntax());
    f.nameFits = !s.nameArtist.empty() || !s.nameTitle.empty();
    f.hasTag = !s.tagArtist.empty() || !s.tagTitle.empty() || !s.album.empty() || s.durationMs > 0;
    return f;
}

int RunLookup(int argc, char** argv)
{
    int next = 1;
    LrclibAddress address;
    if (next < argc && std::strcmp(argv[next], "--lrclib") == 0) {
        if (next + 1 >= argc || !ParseLrclibUrl(argv[next + 1], &address)) return CliUsage(kLookup);
        next += 2;
    }
    if (next >= argc) return CliUsage(kLookup);
#ifndef _WIN32
    std::fprintf(stderr, "songlark-cli: lookup needs the Windows build (it asks LRCLIB through WinHTTP)\n");
    return 2;
#endif
    for (; next < argc; ++next) {
        const std::string path = argv[next];
        const FileFacts f = ReadFacts(path);
        const songlark::SongFacts& s = f.song;
        std::printf("file: %s\n", path.c_str());
        if (f.nameFits)
            std::printf("  name: artist=\"%s\" title=\"%s\"\n", Shown(s.nameArtist).c_str(), Shown(s.nameTitle).c_str());
        else
            std::printf("  name: does not fit\n");
        if (f.hasTag)
            std::printf("  tag: artist=\"%s\" title=\"%s\" album=\"%s\" length=%d\n", Shown(s.tagArtist).c_str(),
                        Shown(s.tagTitle).c_str(), Shown(s.album).c_str(), s.durationMs);
        else
            std::printf("  tag: none\n");
        std::printf("  row: artist=\"%s\" title=\"%s\"\n", Shown(s.artist).c_str(), Shown(s.title).c_str());

        const LrclibLookupResult r = LookUpLrclibSong(address, s);
        for (const LrclibAsked& asked : r.requests) {
            if (asked.answered)
                std::printf("  request: %s -> %d\n", asked.pathAndQuery.c_str(), asked.status);
            else
                std::printf("  request: %s -> could not ask (%s)\n", asked.pathAndQuery.c_str(),
                            Shown(asked.reason).c_str());
        }
        switch (r.result.outcome) {
        case LyricOutcome::Found: std::printf("  outcome: found id=%s\n", r.recordId.c_str()); break;
        case LyricOutcome::NotFound: std::printf("  outcome: not found\n"); break;
        case LyricOutcome::CouldNotAsk:
            std::printf("  outcome: could not ask: %s\n", Shown(r.result.reason).c_str());
            break;
        }
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace
