#include "lyrics/net/LyricsSite.h"

#include <mutex>

namespace {
// The UI thread may set the source while the watcher thread fetches: readers
// take a copy under the lock and never hold it across a request. Both live
// until the process is gone (never destroyed), because a watcher left
// running when the window ends may still be fetching while static objects
// are torn down at exit.
std::mutex& SourceLock()
{
    static std::mutex* lock = new std::mutex;
    return *lock;
}

LyricsSource& Source()
{
    static LyricsSource* source = new LyricsSource;
    return *source;
}
}  // namespace

void SetLyricsSite(const std::string& site)
{
    LyricsSiteAddress address;
    if (!ParseLyricsSite(site, &address)) address = LyricsSiteAddress();
    std::lock_guard<std::mutex> guard(SourceLock());
    Source().bLyricsSite = !site.empty();
    Source().site = address;
}

void SetLrclibUrl(const std::string& url)
{
    const LrclibAddress address = LrclibAddressFromSetting(url);
    std::lock_guard<std::mutex> guard(SourceLock());
    Source().lrclib = address;
}

LyricsSiteAddress GetLyricsSite()
{
    std::lock_guard<std::mutex> guard(SourceLock());
    return Source().site;
}

LyricsSource GetLyricsSource()
{
    std::lock_guard<std::mutex> guard(SourceLock());
    return Source();
}
