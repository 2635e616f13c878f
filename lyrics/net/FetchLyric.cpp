#include "lyrics/net/FetchLyric.h"

#include "core/lyrics/Scraper.h"
#include "lyrics/net/HttpGet.h"
#include "lyrics/net/LyricsSite.h"

std::string FetchLyric(const char* artist, const char* title)
{
    return ScrapeLyric(GetLyricsSite(), artist, title, &HttpGet);
}
