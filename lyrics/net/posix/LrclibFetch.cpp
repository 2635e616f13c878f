#include "lyrics/net/LrclibFetch.h"

// Native builds are for tests and tools of the platform-free code; they carry
// no HTTPS client, so LRCLIB is never asked from them.
std::string FetchLrclibLyric(const LrclibAddress&, const char*, const char*, unsigned long* error)
{
    if (error) *error = kLrclibUnsupported;
    return std::string();
}
