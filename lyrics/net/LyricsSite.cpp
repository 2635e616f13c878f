#include "lyrics/net/LyricsSite.h"

#include <mutex>

namespace {
// The UI thread may set the site while the watcher thread fetches: readers
// take a copy under the lock and never hold it across a request. Both live
// until the process is gone (never destroyed), because a watcher left
// running when the window ends may still be fetching while static objects
// are torn down at exit.
std::mutex& SiteLock()
{
    static std::mutex* lock = new std::mutex;
    return *lock;
}

LyricsSiteAddress& Site()
{
    static LyricsSiteAddress* site = new LyricsSiteAddress;
    return *site;
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
