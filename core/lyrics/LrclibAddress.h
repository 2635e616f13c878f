#pragma once

// Where the LRCLIB server is: the built-in public one, or a base URL from the
// settings ("LrclibUrl") naming a self-hosted server.
#include <string>

extern const char kBuiltInLrclibUrl[];  // "https://lrclib.net"

struct LrclibAddress {
    bool secure = true;  // https
    std::string host = "lrclib.net";
    unsigned short port = 443;
    // "" or "/seg[/seg...]" with no closing "/": put before every request's
    // path, for a server that lives below the host's root.
    std::string pathPrefix;
    // Not empty: the setting named a server that cannot be used, and why.
    // Nothing is ever sent for such an address (to no other server either).
    std::string unusable;
};

// Reads a base URL: blanks around it ignored, "http://" or "https://"
// (either in any case), a host, an optional ":port" (decimal, 1 to 65535) and
// an optional path prefix of segments made of A-Z a-z 0-9 - . _ ~ and %XX,
// with at most one closing "/". The default port is 80 or 443 by the scheme.
// False, leaving out untouched, for anything else: no or another scheme, an
// empty host or one over 255 bytes, a host holding a byte outside letters,
// digits, '-', '.' and '_' (so no user part, no IPv6 brackets, nothing that
// could change the request), a bad port, an empty segment, a query or a
// fragment.
bool ParseLrclibUrl(const std::string& text, LrclibAddress* out);

// The server the "LrclibUrl" setting names: the built-in one when the value
// is absent or blank, the parsed URL when it reads, otherwise an address
// marked unusable (with the reason), never the built-in one.
LrclibAddress LrclibAddressFromSetting(const std::string& value);
