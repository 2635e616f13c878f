#pragma once

// Text inside tags, in whatever encoding its writer chose, turned into the
// process's code page. The core decodes to UTF-8; the conversions that need
// the system's tables are injected.
#include <cstddef>
#include <string>

namespace songlark {

// Converts text into the process's code page (from UTF-8, or from the legacy
// code page a trailer was written in). False when it cannot. A character the
// code page lacks becomes '?'.
using ConvertTextFn = bool (*)(const std::string& from, std::string* to);

// Decodes the first non-empty string of an ID3v2 text frame's content (the
// encoding byte first: 0 ISO-8859-1 (its 0x80-0x9F read as code page 1252's),
// 1 UTF-16 with a byte-order mark, 2
// UTF-16BE, 3 UTF-8) into UTF-8. Malformed units become U+FFFD. False when
// the frame holds no text or names an unknown encoding.
bool DecodeId3Text(const unsigned char* content, std::size_t size, std::string* utf8);

// `text` converted by `convert` (kept as it is when null). False when the
// conversion failed or lost a character: the result holds more '?' than the
// text had, or the text held U+FFFD. A name that lost characters could be
// another song's name, so it is never used.
bool ConvertWhole(ConvertTextFn convert, const std::string& text, std::string* out);

}  // namespace songlark
