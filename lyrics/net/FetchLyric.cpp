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
        if (source.bLyricsSite) {
            std::string lyric = ScrapeLyric(source.site, song.artist.c_str(), song.title.c_str(), &HttpGet);
            return lyric.empty() ? LyricResult::NotFound() : LyricResult::Found(std::move(lyric));
        }
        unsigned long error = 0;
        std::string lyric = FetchLrclibLyric(source.lrclib, song.artist.c_str(), song.title.c_str(), &error);
        if (error != 0) return LyricResult::CouldNotAsk("error " + std::to_string(error));
        return lyric.empty() ? LyricResult::NotFound() : LyricResult::Found(std::move(lyric));
    });
}

LyricResult FetchLyric(const char* artist, const char* title)
{
    songlark::SongFacts song;
    song.artist = artist;
    song.title = title;
    return FetchLyric(song);
}
