#include "lyrics/net/LrclibFetch.h"

// Native builds are for tests and tools of the platform-free code; they carry
// no HTTPS client, so LRCLIB is never asked from them.
HttpExchange LrclibAsk(const LrclibAddress&, const std::string&)
{
    HttpExchange exchange;
    exchange.reason = "needs the Windows build";
    return exchange;
}

LyricResult FetchLrclibLyric(const LrclibAddress&, const char*, const char*)
{
    return LyricResult::CouldNotAsk("needs the Windows build");
}
