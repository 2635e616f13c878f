#pragma once

// Where the LRCLIB server is: the built-in public one, or a base URL from the
// settings ("LrclibUrl") naming a self-hosted server.
#include <string>

extern const char kBuiltInLrclibUrl[];  // "https://lrclib.net"

struct LrclibAddress {
    bool secure = true;  // https
    std::string host = "lrclib.net";
    unsigned short port = 443;
};

// Reads a base URL: "http://" or "https://" (either in any case), a host, an
// optional ":port" (decimal, 1 to 65535) and at most a closing "/". The
// default port is 80 or 443 by the scheme. False, leaving out untouched, for
// anything else: no or another scheme, an empty host or one over 255 bytes, a
// host holding a byte outside letters, digits, '-', '.' and '_' (so no user
// part, no IPv6 brackets, nothing that could change the request), a bad port,
// a path, a query or a fragment.
bool ParseLrclibUrl(const std::string& text, LrclibAddress* out);
