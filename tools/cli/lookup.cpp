// songlark-cli lookup [--lrclib BASEURL] FILE...
// For each download: what its name and tag tell, each request the program's
// LRCLIB lookup sends with its answer's status, and the outcome. Exit status 0
// when every file was looked up (whatever the outcomes), 2 usage.
#include "core/lyrics/LrclibLookup.h"
#include "core/tags/NameRules.h"
#include "core/tags/SongFacts.h"
#include "core/tags/TagReaders.h"
#include "platform/FileRead.h"
#include "platform/SystemPath.h"
#include "tools/cli/Commands.h"
#include "tools/cli/LrclibLookupCli.h"

#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include "core/lyrics/LrclibRequest.h"
#include "lyrics/net/win32/WinHttpGet.h"
#include "platform/CodePage.h"
#endif

bool CliLrclibAsk(const LrclibAddress& address, HttpAskFn* ask)
{
#ifdef _WIN32
    *ask = [address](const std::string& path) {
        HttpExchange e;
        const unsigned long error = WinHttpGet(address, path, kLrclibBodyMax, &e.status, &e.body);
        e.answered = error == 0;
        if (!e.answered) e.reason = "error " + std::to_string(error);
        return e;
    };
    return true;
#else
    (void)address, (void)ask;
    return false;
#endif
}

bool CliAnsiToUtf8(const std::string& ansi, std::string* utf8)
{
#ifdef _WIN32
    return AnsiToUtf8(ansi, utf8);
#else
    *utf8 = ansi;
    return true;
#endif
}

bool CliUtf8ToAnsi(const std::string& utf8, std::string* ansi)
{
#ifdef _WIN32
    return Utf8ToAnsi(utf8, ansi);
#else
    *ansi = utf8;
    return true;
#endif
}

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

// What the program takes from a download: the name rule's and the tag's
// artist and title, and the row's as the rules choose.
FileFacts ReadFacts(const std::string& path)
{
    FileFacts f;
    songlark::SongFacts& s = f.song;
    const std::size_t slash = songlark::FindLastSeparator(path, songlark::SystemPathSyntax());
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (EndsWithNoCase(path, ".dat")) {
        // Kazaa's trailer gives the name rule's cut of the file name it holds
        // first, so its pair counts as the name's (a swapped name may agree).
        f.nameFits = songlark::ReadKazaaSong(path, s.nameArtist, s.nameTitle, 0, songlark::ReadFileTail) == 1;
        if (f.nameFits) s.artist = s.nameArtist, s.title = s.nameTitle;
    } else {
        f.nameFits = songlark::ParseLimeWireName(name, s.nameArtist, s.nameTitle) == 1;
        f.hasTag = songlark::ReadMp3Tags(path, s.tagArtist, s.tagTitle, 0, songlark::ReadFileHead,
                                         songlark::SystemPathSyntax()) == 1;
        if (f.nameFits) s.artist = s.nameArtist, s.title = s.nameTitle;
        else if (f.hasTag) s.artist = s.tagArtist, s.title = s.tagTitle;
    }
    if (!f.nameFits) s.nameArtist.clear(), s.nameTitle.clear();
    if (!f.hasTag) s.tagArtist.clear(), s.tagTitle.clear();
    return f;
}

bool ToUtf8(const songlark::SongFacts& in, songlark::SongFacts* out)
{
    *out = in;
    return CliAnsiToUtf8(in.artist, &out->artist) && CliAnsiToUtf8(in.title, &out->title) &&
           CliAnsiToUtf8(in.nameArtist, &out->nameArtist) && CliAnsiToUtf8(in.nameTitle, &out->nameTitle) &&
           CliAnsiToUtf8(in.tagArtist, &out->tagArtist) && CliAnsiToUtf8(in.tagTitle, &out->tagTitle) &&
           CliAnsiToUtf8(in.album, &out->album);
}

std::string Ansi(const std::string& utf8)
{
    std::string ansi;
    return CliUtf8ToAnsi(utf8, &ansi) ? ansi : utf8;
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
    HttpAskFn ask;
    if (!CliLrclibAsk(address, &ask)) {
        std::fprintf(stderr, "songlark-cli: lookup needs the Windows build (it asks LRCLIB through WinHTTP)\n");
        return 2;
    }
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

        songlark::SongFacts utf8;
        if (!ToUtf8(s, &utf8)) {
            std::printf("  outcome: could not ask: the names do not convert to UTF-8\n");
            continue;
        }
        const LrclibLookupResult r = LookUpLrclib(utf8, ask);
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
            std::printf("  outcome: could not ask: %s\n", Shown(Ansi(r.result.reason)).c_str());
            break;
        }
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace
