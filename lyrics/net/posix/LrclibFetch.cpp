#include "lyrics/net/LrclibFetch.h"

// Native builds are for tests and tools of the platform-free code; they carry
// no HTTPS client, so LRCLIB is never asked from them.
HttpExchange LrclibAsk(const LrclibAddress&, const std::string&)
{
    HttpExchange exchange;
    exchange.reason = "needs the Windows build";
    return exchange;
}

LrclibLookupResult LookUpLrclibSong(const LrclibAddress&, const songlark::SongFacts&)
{
    LrclibLookupResult found;
    found.result = LyricResult::CouldNotAsk("needs the Windows build");
    return found;
}
