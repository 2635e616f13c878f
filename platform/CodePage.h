#pragma once

// Text between the program's ANSI code page and UTF-8, by the system's own
// conversion tables. Win32 only: the native builds never ask LRCLIB, the one
// place that needs it.
#include <string>

// The ANSI text (system code page) as UTF-8. False only when the system
// cannot convert it.
bool AnsiToUtf8(const std::string& ansi, std::string* utf8);

// UTF-8 as ANSI text (Utf8ToCodePage with the system's ANSI code page).
bool Utf8ToAnsi(const std::string& utf8, std::string* ansi);

// UTF-8 in codePage. When that is UTF-8 itself (65001), the text as it is.
// Otherwise without best-fit look-alikes: every character the code page lacks
// becomes one '?' (a character outside the Basic Multilingual Plane too).
// False for bytes that are not UTF-8, or when the system cannot convert.
bool Utf8ToCodePage(const std::string& utf8, unsigned codePage, std::string* out);
