// The Retry-After reader and the synced-lyric cleaning over arbitrary bytes:
// no crash, a wait within its bounds that never grows as the clock moves on,
// and a cleaning that only ever removes text (none from text without tags).
#include "core/lyrics/LrclibAnswer.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const long long now = 1700000000;
    const int wait = ParseRetryAfter(text, now);
    if (wait < 0 || wait > kRetryAfterMaxSeconds || ParseRetryAfter(text, now + 1) > wait) std::abort();

    const std::string clean = CleanSyncedLyric(text);
    if (clean.size() > text.size()) std::abort();
    if (text.find_first_of("[<") == std::string::npos && clean != text) std::abort();
    return 0;
}
