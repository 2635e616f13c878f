#pragma once

// How the bytes of a stored lyric file are read: which encoding they are in,
// decided from the bytes alone. Files written under a UTF-8 process start
// with the UTF-8 byte-order mark; files of earlier versions are in the
// legacy ANSI code page of the system that wrote them.

#include <cstddef>
#include <string>

namespace songlark {

// The UTF-8 byte-order mark, written before a lyric file's text.
extern const char kUtf8Mark[4];

enum class LyricEncoding {
    Utf8,    // the text is UTF-8
    Legacy,  // the text is in the user's legacy ANSI code page
};

struct LyricBytes {
    LyricEncoding encoding;
    size_t textStart;  // 3 after a byte-order mark, else 0
};

// Starts with the mark: UTF-8 after it. Else valid UTF-8 throughout (ASCII
// alone included): UTF-8. Anything else: legacy.
LyricBytes ClassifyLyricBytes(const std::string& bytes);

// The length of the well-formed UTF-8 sequence at text[0..length), or 0 when
// there is none there (a stray continuation byte, a cut sequence, an overlong
// form, a surrogate, a value above U+10FFFF).
size_t Utf8SequenceLength(const char* text, size_t length);

bool IsValidUtf8(const char* text, size_t length);

}  // namespace songlark
