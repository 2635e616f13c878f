// Both file-name rules over arbitrary names, with a few properties every
// accepted name must have, the cut of a path before its file name, and the
// store's name for it.
#include "core/store/LyricFile.h"
#include "core/tags/NameRules.h"
#include "core/tags/PathSyntax.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
bool BlankOrDash(char c) { return c == ' ' || c == '-'; }
bool Cp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The title ends right before the name's last '.', and neither part is empty
// or holds a '?'.
bool WellCut(const std::string& name, const std::string& artist, const std::string& title)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < title.size()) return false;
    if (name.compare(dot - title.size(), title.size(), title) != 0) return false;
    if (artist.empty() || title.empty()) return false;
    if (artist.find('?') != std::string::npos || title.find('?') != std::string::npos) return false;
    return !BlankOrDash(title[0]) && !BlankOrDash(artist.back()) && artist.size() + title.size() < name.size();
}

// A code page 932 path built character by character from the input, so the
// position of its last real separator is known without reading it back: a
// backslash, a double-byte character whose second byte is 0x5C (such as 表),
// another double-byte character, or a single-byte one.
std::string BuildCp932Path(const std::uint8_t* data, std::size_t size, std::size_t* lastSeparator)
{
    std::string path;
    *lastSeparator = std::string::npos;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned d = data[i] >> 2;
        switch (data[i] & 3) {
        case 0:
            *lastSeparator = path.size();
            path += '\\';
            break;
        case 1:
            path += static_cast<char>(0x81 + d % 31);
            path += '\\';
            break;
        case 2:
            path += static_cast<char>(0xE0 + d % 29);
            path += static_cast<char>(0x40 + d);
            break;
        default: {
            const char single = static_cast<char>(d < 32 ? 0x20 + d : 0xA1 + (d - 32));  // ASCII or katakana
            path += single == '\\' ? '_' : single;
            break;
        }
        }
    }
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string name(reinterpret_cast<const char*>(data), size);

    std::string artist, title;
    int r = songlark::ParseLimeWireName(name, artist, title);
    if (r != 0 && r != 1) __builtin_trap();
    if (r == 1 && !WellCut(name, artist, title)) __builtin_trap();

    artist.clear(), title.clear();
    r = songlark::ParseKazaaName(name, artist, title);
    if (r != 0 && r != 1) __builtin_trap();
    if (r == 1) {
        if (artist.size() < 2 || name.compare(0, artist.size(), artist) != 0) __builtin_trap();
        if (!WellCut(name, artist, title)) __builtin_trap();
    }

    std::size_t want;
    const std::string path = BuildCp932Path(data, size, &want);
    if (songlark::FindLastSeparator(path, songlark::PathSyntax{'\\', Cp932Lead}) != want) __builtin_trap();
    if (songlark::FindLastSeparator(name, songlark::PathSyntax{'\\', nullptr}) != name.rfind('\\')) __builtin_trap();

    // Every name can be stored, a plain one as it is, and only once mapped.
    const std::string stored = songlark::StoreName(name);
    if (!songlark::IsPlainPathComponent(stored) || songlark::StoreName(stored) != stored) __builtin_trap();
    if (songlark::IsPlainPathComponent(name) && stored != name) __builtin_trap();
    std::string realArtist, realTitle;
    if (songlark::NamesFromFirstLine(name, "a", stored, &realArtist, &realTitle) &&
        (songlark::StoreName(realArtist) != "a" || songlark::StoreName(realTitle) != stored))
        __builtin_trap();
    return 0;
}
