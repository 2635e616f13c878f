// The cleaning of names and the whole LRCLIB lookup over arbitrary bytes. The
// input's first line is the artist, its second the title, the rest every
// answer's body. Checked: cleaning never grows a name and leaves no stray
// blank; LRCLIB's normalisation leaves no character it blanks, no capital,
// and is stable on valid UTF-8; the lookup sends at most its budget, takes
// /api/get's lyric by the answer rules, and a search's only from a record
// that agrees with the file's names.
#include "core/lyrics/LrclibAnswer.h"
#include "core/lyrics/LrclibChoice.h"
#include "core/lyrics/LrclibLookup.h"
#include "core/lyrics/SongNameCleaning.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ValidUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > s.size() || (n == 2 && b < 0xC2) || (n == 4 && b > 0xF4)) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        const unsigned char second = static_cast<unsigned char>(i + 1 < s.size() ? s[i + 1] : 0);
        if ((b == 0xE0 && second < 0xA0) || (b == 0xED && second > 0x9F) || (b == 0xF0 && second < 0x90) ||
            (b == 0xF4 && second > 0x8F))
            return false;
        i += n;
    }
    return true;
}

void CheckTidy(const std::string& in, const std::string& out)
{
    if (out.size() > in.size()) std::abort();
    if (!out.empty() && (out.front() == ' ' || out.back() == ' ')) std::abort();
    if (out.find("  ") != std::string::npos) std::abort();
}

void CheckNormalised(const std::string& in)
{
    const std::string n = LrclibNormalize(in);
    for (char c : n)
        if ((c >= 'A' && c <= 'Z') || c == '\'' || (c != 0 && std::strchr("`~!@#$%^&*()_|+-=?;:\",.<>{}[]\\/", c)))
            std::abort();
    if (n.find("  ") != std::string::npos || (!n.empty() && (n.front() == ' ' || n.back() == ' '))) std::abort();
    if (ValidUtf8(in) && (!ValidUtf8(n) || LrclibNormalize(n) != n)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t first = input.find('\n');
    const std::size_t second = first == std::string::npos ? std::string::npos : input.find('\n', first + 1);
    const std::string artist = input.substr(0, first);
    const std::string title = first == std::string::npos ? std::string() : input.substr(first + 1, second - first - 1);
    const std::string body = second == std::string::npos ? std::string() : input.substr(second + 1);

    for (const std::string* name : {&artist, &title}) {
        CheckTidy(*name, CleanArtist(*name));
        CheckTidy(*name, CleanTitle(*name, false));
        CheckTidy(*name, CleanTitle(*name, true));
        CheckNormalised(*name);
    }

    songlark::SongFacts song;
    song.artist = song.nameArtist = artist;
    song.title = song.nameTitle = title;
    song.durationMs = static_cast<int>(size * 1000);
    int asked = 0;
    const LrclibLookupResult r = LookUpLrclib(song, [&](const std::string& path) {
        ++asked;
        HttpExchange e;
        e.answered = true;
        e.status = 200;
        e.body = path.compare(0, 12, "/api/search?") == 0 ? "[" + body + "]" : body;
        return e;
    });
    if (asked > kLrclibMaxRequests || static_cast<std::size_t>(asked) != r.requests.size()) std::abort();
    if (r.result.outcome == LyricOutcome::Found) {
        if (r.result.lyric.empty()) std::abort();
        if (r.requests.back().pathAndQuery.compare(0, 9, "/api/get?") == 0) {
            // /api/get's record: its lyric by the answer rules, nothing else.
            if (r.result.lyric != LrclibLyricFromResponse(200, body)) std::abort();
        } else {
            // A search's record: one of the answers, agreeing with the file's names.
            std::vector<LrclibRecord> records;
            if (!ReadLrclibSearchAnswer("[" + body + "]", &records)) std::abort();
            FileSong file;
            file.pairs.push_back(NamePair{artist, title});
            file.swapped = NamePair{title, artist};
            const int chosen = ChooseLrclibRecord(records, file);
            if (chosen < 0) std::abort();
            const std::string key = ArtistKey(records[chosen].artistName);
            if (key != ArtistKey(artist) && key != ArtistKey(title)) std::abort();
        }
    }
    return 0;
}
