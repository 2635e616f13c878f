#include "core/tags/NameRules.h"

#include <cstddef>

namespace songlark {
namespace {

bool IsBlankOrDash(char c) { return c == ' ' || c == '-'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether text, from `at` on, is `word` in any case; returns the end or npos.
std::size_t SkipWord(const std::string& text, std::size_t at, const char* word)
{
    for (; *word; ++word, ++at)
        if (at >= text.size() || LowerAscii(text[at]) != *word) return std::string::npos;
    return at;
}

// Names that say nothing about the song: what rippers and players write when
// they know nothing. A '?' never stands in a Windows file name, so one there
// is a character the ANSI code page lacked: the name lost it on its way.
bool SaysNothing(const std::string& text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '_')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '_')) --e;
    const std::string t = text.substr(b, e - b);
    if (t.empty() || t.find('?') != std::string::npos) return true;

    std::size_t digits = 0;
    while (digits < t.size() && IsDigit(t[digits])) ++digits;
    if (digits == t.size()) return true;

    for (const char* word : {"untitled", "unknown artist", "unknown"})
        if (SkipWord(t, 0, word) == t.size()) return true;
    // "Track 4", "track_04", "Track-12", "Track"
    std::size_t at = SkipWord(t, 0, "track");
    if (at == std::string::npos) return false;
    while (at < t.size() && (t[at] == ' ' || t[at] == '_' || t[at] == '-')) ++at;
    while (at < t.size() && IsDigit(t[at])) ++at;
    return at == t.size();
}

// Steps back from just before `dash` over blanks and dashes; returns the last
// character of the artist, or 0 when the walk reaches the start of the name
// (a name whose artist would begin at position 0 and end there is refused).
std::size_t ArtistEnd(const std::string& name, std::size_t dash)
{
    if (dash == 0) return 0;
    std::size_t k = dash - 1;
    while (k > 0 && IsBlankOrDash(name[k])) --k;
    return k;
}

// Everything after the artist's dash: the title starts at the first character
// that is neither blank nor dash and ends before the extension's '.', the
// last one ("Mr. Brightside" stays whole).
int TakeTitle(const std::string& name, std::size_t dash, std::string& title)
{
    std::size_t t = dash + 1;
    while (t < name.size() && IsBlankOrDash(name[t])) ++t;
    if (t >= name.size()) return 0;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < t) return 0;
    title = name.substr(t, dot - t);
    return 1;
}

// A cut name whose artist or title says nothing does not fit: the caller
// reads the tag instead, and the outputs stay as they were so that no junk
// survives into the tag's result.
int Fits(const std::string& a, const std::string& t, std::string& artist, std::string& title)
{
    if (SaysNothing(a) || SaysNothing(t)) return 0;
    artist = a;
    title = t;
    return 1;
}

// The end of LimeWire's own "T-<digits>-" prefix, or npos.
std::size_t LimeWirePrefixEnd(const std::string& name)
{
    if (name.size() < 4 || name[0] != 'T' || name[1] != '-') return std::string::npos;
    std::size_t i = 2;
    while (i < name.size() && IsDigit(name[i])) ++i;
    if (i == 2 || i >= name.size() || name[i] != '-') return std::string::npos;
    return i + 1;
}

// The artist holds dashes itself ("a-ha", "Jay-Z"): after LimeWire's prefix
// the artist ends at the first " - ".
int ParseDashedLimeWireName(const std::string& name, std::string& artist, std::string& title)
{
    const std::size_t start = LimeWirePrefixEnd(name);
    if (start == std::string::npos) return 0;
    const std::size_t gap = name.find(" - ", start);
    if (gap == std::string::npos) return 0;
    std::size_t end = gap;
    while (end > start && IsBlankOrDash(name[end - 1])) --end;
    const std::string a = name.substr(start, end - start);
    std::string t;
    if (!TakeTitle(name, gap + 1, t)) {
        artist = a;  // as the three-dash rule: the artist is set before the title fails
        return 0;
    }
    return Fits(a, t, artist, title);
}

}  // namespace

int ParseLimeWireName(std::string name, std::string& artist, std::string& title)
{
    std::size_t dashes[3];
    std::size_t count = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '-') continue;
        if (count == 3) return ParseDashedLimeWireName(name, artist, title);
        dashes[count++] = i;
    }
    if (count != 3) return 0;

    const std::size_t d2 = dashes[1], d3 = dashes[2];
    const std::size_t k = ArtistEnd(name, d3);
    if (k == 0) return 0;
    // Blanks right after the second dash stay; an artist of blanks only
    // ends up empty, because the walk above stepped over them.
    const std::string a = k > d2 ? name.substr(d2 + 1, k - d2) : std::string();
    std::string t;
    if (!TakeTitle(name, d3, t)) {
        artist = a;
        return 0;
    }
    return Fits(a, t, artist, title);
}

int ParseKazaaName(std::string name, std::string& artist, std::string& title)
{
    std::size_t dash = std::string::npos;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '-') continue;
        if (dash != std::string::npos) return 0;
        dash = i;
    }
    if (dash == std::string::npos) return 0;

    const std::size_t k = ArtistEnd(name, dash);
    if (k == 0) return 0;
    const std::string a = name.substr(0, k + 1);
    std::string t;
    if (!TakeTitle(name, dash, t)) {
        artist = a;
        return 0;
    }
    return Fits(a, t, artist, title);
}

}  // namespace songlark
