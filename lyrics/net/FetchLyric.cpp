#include "lyrics/net/FetchLyric.h"

#include "core/lyrics/Scraper.h"
#include "lyrics/net/HttpGet.h"
#include "lyrics/net/LrclibFetch.h"
#include "lyrics/net/LyricsSite.h"
#include "lyrics/net/SiteText.h"

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
            std::string artist, title;
            if (!SiteTextFromAnsi(song.artist, &artist) || !SiteTextFromAnsi(song.title, &title))
                return LyricResult::NotFound();  // no page of the site can name it
            LyricResult result = ScrapeLyric(source.site, artist.c_str(), title.c_str(), &HttpGet);
            if (result.outcome == LyricOutcome::Found) result.lyric = AnsiFromSiteText(result.lyric);
            return result;
        }
        if (!source.lrclib.unusable.empty()) return LyricResult::CouldNotAsk(source.lrclib.unusable);
        return LookUpLrclibSong(source.lrclib, song).result;
    });
}

LyricResult FetchLyric(const char* artist, const char* title)
{
    songlark::SongFacts song;
    song.artist = artist;
    song.title = title;
    return FetchLyric(song);
}
