#include "lyrics/net/FetchLyric.h"

#include "core/lyrics/Scraper.h"
#include "lyrics/net/HttpGet.h"
#include "lyrics/net/LrclibFetch.h"
#include "lyrics/net/LyricsSite.h"

std::string LyricOrNothing(const std::function<std::string()>& fetch)
{
    try {
        return fetch();
    } catch (...) {
        return std::string();
    }
}

std::string FetchLyric(const char* artist, const char* title)
{
    return LyricOrNothing([&] {
        const LyricsSource source = GetLyricsSource();
        if (source.bLyricsSite) return ScrapeLyric(source.site, artist, title, &HttpGet);
        return FetchLrclibLyric(source.lrclib, artist, title);
    });
}
