#include "core/tags/NameRules.h"

#include <cstddef>

namespace songlark {
namespace {

bool IsBlankOrDash(char c) { return c == ' ' || c == '-'; }

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
// that is neither blank nor dash and ends before the next '.'.
int TakeTitle(const std::string& name, std::size_t dash, std::string& title)
{
    std::size_t t = dash + 1;
    while (t < name.size() && IsBlankOrDash(name[t])) ++t;
    if (t >= name.size()) return 0;
    const std::size_t dot = name.find('.', t);
    if (dot == std::string::npos) return 0;
    title = name.substr(t, dot - t);
    return 1;
}

}  // namespace

int ParseLimeWireName(std::string name, std::string& artist, std::string& title)
{
    std::size_t dashes[3];
    std::size_t count = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '-') continue;
        if (count == 3) return 0;
        dashes[count++] = i;
    }
    if (count != 3) return 0;

    const std::size_t d2 = dashes[1], d3 = dashes[2];
    const std::size_t k = ArtistEnd(name, d3);
    if (k == 0) return 0;
    // Blanks right after the second dash stay; an artist of blanks only
    // ends up empty, because the walk above stepped over them.
    artist = k > d2 ? name.substr(d2 + 1, k - d2) : std::string();
    return TakeTitle(name, d3, title);
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
    artist = name.substr(0, k + 1);
    return TakeTitle(name, dash, title);
}

}  // namespace songlark
