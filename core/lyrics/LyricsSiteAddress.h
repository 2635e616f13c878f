#pragma once

// Where the lyrics site is: a host name and a TCP port.
#include <string>

// The built-in site. ".invalid" never resolves, so a build that nobody has
// pointed at a real site fails fast instead of asking a stranger.
extern const char kBuiltInLyricsHost[];
constexpr unsigned short kBuiltInLyricsPort = 80;

struct LyricsSiteAddress {
    std::string host = kBuiltInLyricsHost;
    unsigned short port = kBuiltInLyricsPort;
};

// Reads a site text, "host" or "host:port" (decimal port 1 to 65535). An empty
// text is the built-in site. Returns false, leaving out untouched, for a text
// it cannot use: an empty host, a host over 255 bytes or holding a control
// byte, a missing, non-numeric or out-of-range port.
bool ParseLyricsSite(const std::string& text, LyricsSiteAddress* out);
