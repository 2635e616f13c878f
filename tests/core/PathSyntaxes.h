#pragma once
// The path syntaxes the core tests cut paths with.
#include "core/tags/PathSyntax.h"

#include <string>

namespace pathsyntaxes {

// Code page 932's lead bytes; 0x5C is the second byte of characters such as
// ソ (83 5C) and 表 (95 5C).
inline bool Cp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

const songlark::PathSyntax kSingleByte{'\\', nullptr};
const songlark::PathSyntax kCp932{'\\', Cp932Lead};

}  // namespace pathsyntaxes

namespace pathsyntaxes {

// A process in code page 1252, as far as the tag tests need it: Latin-1,
// the euro sign and the curly apostrophe; anything else becomes '?'.
inline bool Utf8To1252(const std::string& utf8, std::string* out)
{
    out->clear();
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        unsigned c = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t k = 1; k < n && i + 1 < utf8.size(); ++k) c = c << 6 | (utf8[++i] & 0x3F);
        out->push_back(c < 0x80 || (c >= 0xA0 && c <= 0xFF) ? char(c) : c == 0x20AC ? '\x80' : c == 0x2019 ? '\x92' : '?');
    }
    return true;
}

// A trailer written on a code page 1252 system, read by a UTF-8 process.
inline bool Legacy1252ToUtf8(const std::string& legacy, std::string* out)
{
    out->clear();
    for (unsigned char c : legacy) {
        if (c < 0x80) *out += char(c);
        else if (c == 0x81) *out += '?';  // undefined in that code page
        else *out += {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
    }
    return true;
}

const songlark::PathSyntax k1252Process{'\\', nullptr, Utf8To1252, nullptr};
const songlark::PathSyntax kUtf8Process{'\\', nullptr, nullptr, Legacy1252ToUtf8};

}  // namespace pathsyntaxes
