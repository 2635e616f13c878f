// songlark-cli fetch [--site HOST[:PORT] | --lrclib BASEURL] ARTIST TITLE
// Writes the lyric exactly as the program would store it, raw bytes, to
// standard output. Exit status 0 found, 1 no lyric, 2 usage error. Without an
// option it asks the built-in LRCLIB server, as the program does by default.
#include "core/lyrics/LrclibAddress.h"
#include "core/lyrics/LrclibLookup.h"
#include "core/lyrics/LyricsSiteAddress.h"
#include "lyrics/net/FetchLyric.h"
#include "lyrics/net/LrclibFetch.h"
#include "lyrics/net/LyricsSite.h"
#include "tools/cli/Commands.h"
#include "tools/cli/LrclibLookupCli.h"

#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <winsock.h>
#endif

namespace {
int RunFetch(int argc, char** argv);

const CliCommand kFetch = {"fetch", "fetch [--site HOST[:PORT] | --lrclib BASEURL] ARTIST TITLE", RunFetch};
const CliCommandRegistration kRegistration(kFetch);

int RunFetch(int argc, char** argv)
{
    int next = 1;
    std::string site;
    bool bLrclib = false;
    LrclibAddress lrclib;
    if (next < argc && std::strcmp(argv[next], "--site") == 0) {
        if (next + 1 >= argc) return CliUsage(kFetch);
        site = argv[next + 1];
        LyricsSiteAddress address;
        if (site.empty() || !ParseLyricsSite(site, &address)) return CliUsage(kFetch);
        next += 2;
    } else if (next < argc && std::strcmp(argv[next], "--lrclib") == 0) {
        if (next + 1 >= argc || !ParseLrclibUrl(argv[next + 1], &lrclib)) return CliUsage(kFetch);
        bLrclib = true;
        next += 2;
    }
    if (argc - next != 2) return CliUsage(kFetch);
    const char* artist = argv[next];
    const char* title = argv[next + 1];

    std::string lyric;
    if (bLrclib) {
        // The program's whole lookup, as for a file that told only these two names.
        HttpAskFn ask;
        if (!CliLrclibAsk(lrclib, &ask)) {
            std::fprintf(stderr, "songlark-cli: --lrclib needs the Windows build (it asks through WinHTTP)\n");
            return 2;
        }
        songlark::SongFacts song;
        if (CliAnsiToUtf8(artist, &song.artist) && CliAnsiToUtf8(title, &song.title)) {
            const LrclibLookupResult found = LookUpLrclib(song, ask);
            if (found.result.outcome == LyricOutcome::Found && !CliUtf8ToAnsi(found.result.lyric, &lyric)) lyric.clear();
            if (found.result.outcome == LyricOutcome::CouldNotAsk)
                std::fprintf(stderr, "songlark-cli: no answer from LRCLIB (%s)\n", found.result.reason.c_str());
        }
    } else {
        SetLyricsSite(site);
#ifdef _WIN32
        WSADATA data;
        if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
            std::fprintf(stderr, "songlark-cli: Windows sockets initialization failed.\n");
            return 1;
        }
#endif
        lyric = FetchLyric(artist, title).lyric;
#ifdef _WIN32
        WSACleanup();
#endif
    }
    if (lyric.empty()) return 1;
    std::fwrite(lyric.data(), 1, lyric.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
}  // namespace
