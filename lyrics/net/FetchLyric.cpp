#include "lyrics/net/FetchLyric.h"

#include "core/lyrics/Scraper.h"
#include "lyrics/net/HttpGet.h"
#include "lyrics/net/LrclibFetch.h"
#include "lyrics/net/LyricsSite.h"

LyricResult LyricOrCouldNotAsk(const std::function<LyricResult()>& fetch)
{
    try {
        return fetch();
    } catch (...) {
        return LyricResult::CouldNotAsk("out of memory");
    }
}

LyricResult FetchLyric(const songlark::SongFacts& song)
{
    return LyricOrCouldNotAsk([&] {
        const LyricsSource source = GetLyricsSource();
        if (source.bLyricsSite) return ScrapeLyric(source.site, song.artist.c_str(), song.title.c_str(), &HttpGet);
        if (!source.lrclib.unusable.empty()) return LyricResult::CouldNotAsk(source.lrclib.unusable);
        return FetchLrclibLyric(source.lrclib, song.artist.c_str(), song.title.c_str());
    });
}

LyricResult FetchLyric(const char* artist, const char* title)
{
    songlark::SongFacts song;
    song.artist = artist;
    song.title = title;
    return FetchLyric(song);
}
