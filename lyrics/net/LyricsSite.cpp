#include "lyrics/net/LyricsSite.h"

#include <mutex>

namespace {
// The UI thread may set the site while the watcher thread fetches: readers
// take a copy under the lock and never hold it across a request.
std::mutex& SiteLock()
{
    static std::mutex lock;
    return lock;
}

LyricsSiteAddress& Site()
{
    static LyricsSiteAddress site;
    return site;
}
}  // namespace

void SetLyricsSite(const std::string& site)
{
    LyricsSiteAddress address;
    if (!ParseLyricsSite(site, &address)) address = LyricsSiteAddress();
    std::lock_guard<std::mutex> guard(SiteLock());
    Site() = address;
}

LyricsSiteAddress GetLyricsSite()
{
    std::lock_guard<std::mutex> guard(SiteLock());
    return Site();
}
