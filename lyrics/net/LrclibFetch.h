#pragma once

// Asking an LRCLIB server: one GET at a time through WinHTTP, which brings
// TLS, certificate checks and the system's proxy settings.
#include "core/lyrics/HttpExchange.h"
#include "core/lyrics/LrclibAddress.h"
#include "core/lyrics/LyricOutcome.h"

#include <string>

// Each wait (name resolution, connect, send, every receive) at most this
// long, and the whole exchange at most kLrclibTotalMs, whatever the server
// does (trickling bytes, never closing, a slow TLS handshake).
constexpr int kLrclibStepMs = 10000;
constexpr int kLrclibTotalMs = 30000;

// GETs server.pathPrefix + pathAndQuery (already percent-encoded, sent as it
// is) with the program's User-Agent, TLS 1.2 or newer, the system's
// certificate checks and proxy, and no redirect followed. Answered: the
// status, the Retry-After header's text, and for status 200 the whole body
// (at most kLrclibBodyMax bytes). Not answered, with a reason: an unusable
// address (nothing is sent), a transport or certificate failure, a wait or
// the whole exchange running out, a Content-Length over the cap (refused
// before reading) or a body shorter than its Content-Length. One request at
// a time in the process: a second caller waits for the first to end, and its
// own bounds start once it may send. Natively (no WinHTTP) nothing is asked:
// not answered, "needs the Windows build".
HttpExchange LrclibAsk(const LrclibAddress& server, const std::string& pathAndQuery);

// One song asked by artist and title (ANSI text): the /api/get exchange and
// its outcome (LrclibResultFromExchange), the lyric turned into the ANSI code
// page. An unusable address or text that does not convert could not ask.
LyricResult FetchLrclibLyric(const LrclibAddress& server, const char* artist, const char* title);
