// Both file-name rules over arbitrary names, with a few properties every
// accepted name must have, and the cut of a path before its file name.
#include "core/tags/NameRules.h"
#include "core/tags/PathSyntax.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
bool BlankOrDash(char c) { return c == ' ' || c == '-'; }
bool Cp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string name(reinterpret_cast<const char*>(data), size);

    std::string artist, title;
    int r = songlark::ParseLimeWireName(name, artist, title);
    if (r != 0 && r != 1) __builtin_trap();
    if (r == 1) {
        if (title.find('.') != std::string::npos || (!title.empty() && BlankOrDash(title[0]))) __builtin_trap();
        if (!artist.empty() && BlankOrDash(artist.back())) __builtin_trap();
        if (artist.size() + title.size() >= name.size()) __builtin_trap();
    }

    artist.clear(), title.clear();
    r = songlark::ParseKazaaName(name, artist, title);
    if (r != 0 && r != 1) __builtin_trap();
    if (r == 1) {
        if (artist.size() < 2 || name.compare(0, artist.size(), artist) != 0) __builtin_trap();
        if (BlankOrDash(artist.back()) || title.find('.') != std::string::npos) __builtin_trap();
    }

    // A double-byte text's last separator is a backslash, and none after the
    // last backslash byte; a single-byte text's is that byte.
    const std::size_t last = name.rfind('\\');
    const std::size_t cut = songlark::FindLastSeparator(name, songlark::PathSyntax{'\\', Cp932Lead});
    if (cut != std::string::npos && (name[cut] != '\\' || cut > last)) __builtin_trap();
    if (songlark::FindLastSeparator(name, songlark::PathSyntax{'\\', nullptr}) != last) __builtin_trap();
    return 0;
}
