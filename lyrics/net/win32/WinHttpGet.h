#pragma once

// One HTTP(S) GET through WinHTTP, bounded in time and size.
#include "core/lyrics/LrclibAddress.h"

#include <string>

// Each wait (name resolution, connect, send, every receive) at most this
// long, and the whole call at most kWebTotalMs.
constexpr int kWebStepMs = 10000;
constexpr int kWebTotalMs = 30000;

// GETs path (already percent-encoded, sent as it is) from server with the
// program's User-Agent, the system's proxy settings, TLS 1.2 or newer and the
// system's certificate checks. On success returns 0 with the status code and
// the body (at most bodyMax bytes). Otherwise returns the Win32 or WinHTTP
// error: a transport or certificate failure, a wait or the whole call running
// out (ERROR_WINHTTP_TIMEOUT), a body over bodyMax (ERROR_FILE_TOO_LARGE).
unsigned long WinHttpGet(const LrclibAddress& server, const std::string& path, std::size_t bodyMax, int* status,
                         std::string* body);
