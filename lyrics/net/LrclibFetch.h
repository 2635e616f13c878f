#pragma once

// A song's lyric from an LRCLIB server: one GET of /api/get through WinHTTP,
// which brings TLS, certificate checks and the system's proxy settings.
#include "core/lyrics/LrclibAddress.h"

#include <string>

// The lyric as ANSI text (system code page, CR LF line ends), or an empty
// string when there is none or anything fails; nothing is asked when the
// artist or the title is empty. When error is given it receives the Win32 or
// WinHTTP error code of a failed exchange, or 0 (an answer came, whatever it
// said). Blocks its thread for at most 30 s; safe on several threads at once.
// Natively (no WinHTTP) it asks nothing, gives no lyric and *error is
// kLrclibUnsupported.
std::string FetchLrclibLyric(const LrclibAddress& server, const char* artist, const char* title,
                             unsigned long* error = nullptr);

constexpr unsigned long kLrclibUnsupported = 50;  // ERROR_NOT_SUPPORTED
