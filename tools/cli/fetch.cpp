// songlark-cli fetch [--site HOST[:PORT] | --lrclib BASEURL] ARTIST TITLE
// Writes the lyric exactly as the program would store it, raw bytes, to
// standard output. Exit status 0 found, 1 not found, 3 could not ask (the
// reason on standard error), 2 usage error. Without an option it asks the
// built-in LRCLIB server, as the program does by default.
#include "core/lyrics/LrclibAddress.h"
#include "core/lyrics/LyricsSiteAddress.h"
#include "lyrics/net/FetchLyric.h"
#include "lyrics/net/LyricsSite.h"
#include "tools/cli/Commands.h"

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
    std::string lrclibUrl;
    if (next < argc && std::strcmp(argv[next], "--site") == 0) {
        if (next + 1 >= argc) return CliUsage(kFetch);
        site = argv[next + 1];
        LyricsSiteAddress address;
        if (site.empty() || !ParseLyricsSite(site, &address)) return CliUsage(kFetch);
        next += 2;
    } else if (next < argc && std::strcmp(argv[next], "--lrclib") == 0) {
        LrclibAddress address;
        if (next + 1 >= argc || !ParseLrclibUrl(argv[next + 1], &address)) return CliUsage(kFetch);
        lrclibUrl = argv[next + 1];
        next += 2;
    }
    if (argc - next != 2) return CliUsage(kFetch);
#ifndef _WIN32
    if (site.empty()) {
        std::fprintf(stderr, "songlark-cli: LRCLIB needs the Windows build (it asks through WinHTTP)\n");
        return 2;
    }
#endif
    SetLyricsSite(site);
    SetLrclibUrl(lrclibUrl);
#ifdef _WIN32
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        std::fprintf(stderr, "songlark-cli: Windows sockets initialization failed.\n");
        return 3;
    }
#endif
    const LyricResult result = FetchLyric(argv[next], argv[next + 1]);
#ifdef _WIN32
    WSACleanup();
#endif
    switch (result.outcome) {
    case LyricOutcome::Found:
        std::fwrite(result.lyric.data(), 1, result.lyric.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 3;
    case LyricOutcome::NotFound:
        return 1;
    case LyricOutcome::CouldNotAsk:
        break;
    }
    std::fprintf(stderr, "songlark-cli: could not ask: %s", result.reason.c_str());
    if (result.retryAfterSeconds > 0) std::fprintf(stderr, " (retry after %d s)", result.retryAfterSeconds);
    std::fprintf(stderr, "\n");
    return 3;
}
}  // namespace
