#include "core/lyrics/Scraper.h"

#include "core/lyrics/Entities.h"
#include "core/lyrics/HttpRequest.h"

#include <cstring>
#include <memory>
#include <string>

namespace {
char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Position of needle in text[from, end), or end.
std::size_t Find(const char* text, std::size_t from, std::size_t end, const char* needle)
{
    const std::size_t n = std::strlen(needle);
    // memchr to the candidates: a song page is mostly text between tags.
    while (from + n <= end) {
        const void* hit = std::memchr(text + from, needle[0], end - from - n + 1);
        if (!hit) return end;
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - text);
        if (std::memcmp(text + at, needle, n) == 0) return at;
        from = at + 1;
    }
    return end;
}

std::size_t FindByte(const char* text, std::size_t from, std::size_t end, char c)
{
    if (from >= end) return end;
    const void* hit = std::memchr(text + from, c, end - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text) : end;
}

// Length of the text within its first length bytes: pages are read as
// zero-terminated text, and a stray zero byte ends them.
std::size_t TextLength(const char* text, std::size_t length)
{
    const void* zero = std::memchr(text, '\0', length);
    return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : length;
}

bool IsBreakTag(const char* text, std::size_t at)
{
    return std::memcmp(text + at, "<br>", 4) == 0;
}
}  // namespace

bool MakeSongListPath(const char* artist, std::string* path)
{
    const std::size_t length = std::strlen(artist);
    if (length == 0 || length > kArtistMax) return false;
    std::string slug(artist, length);
    for (char& c : slug) {
        c = LowerAscii(c);
        if (c == ' ') c = '-';
    }
    *path = "/" + slug.substr(0, 1) + "/" + slug + "/songs.html";
    return true;
}

bool MakeTitlePattern(const char* title, std::string* pattern)
{
    const std::size_t length = std::strlen(title);
    if (length == 0 || length > kTitleMax) return false;
    std::string text = std::string("title=\"") + title + " lyric";
    for (char& c : text) {
        c = LowerAscii(c);
        if (c == '\'') c = '\x92';
    }
    *pattern = text;
    return true;
}

bool FindSongPagePath(char* page, std::size_t length, const std::string& pattern, std::string* path)
{
    for (std::size_t i = 0; i < length; ++i) page[i] = LowerAscii(page[i]);
    const std::size_t end = TextLength(page, length);
    const std::size_t at = Find(page, 0, end, pattern.c_str());
    if (at == end) return false;
    // The nearest link tag before the title attribute is the song's link.
    std::size_t tag = at;
    bool found = false;
    while (tag > 0 && !found) {
        --tag;
        found = tag + 3 <= end && std::memcmp(page + tag, "<a ", 3) == 0;
    }
    if (!found) return false;
    const std::size_t open = FindByte(page, tag, end, '"');
    if (open == end) return false;
    const std::size_t close = FindByte(page, open + 1, end, '"');
    if (close == end) return false;
    path->assign(page + open + 1, close - open - 1);
    return true;
}

bool CutLyric(char* page, std::size_t length, std::size_t* begin, std::size_t* end)
{
    const std::size_t limit = TextLength(page, length);
    // Three "<br>" with only text between them; any '<' is a tag here.
    std::size_t p = 0;
    std::size_t first = limit;
    std::size_t third = limit;
    while (third == limit) {
        first = Find(page, p, limit, "<br>");
        if (first == limit) return false;
        p = first + 4;
        const std::size_t second = FindByte(page, p, limit, '<');
        if (second == limit || limit - second < 4) return false;
        if (!IsBreakTag(page, second)) continue;
        p = second + 4;
        const std::size_t next = FindByte(page, p, limit, '<');
        if (next == limit || limit - next < 4) return false;
        if (!IsBreakTag(page, next)) continue;
        third = next;
    }

    std::size_t start = first;
    while (start > 0 && page[start - 1] != '>') --start;

    // The lyric goes on over further line breaks and stops at any other tag.
    std::size_t stop = third + 4;
    for (;;) {
        const std::size_t tag = FindByte(page, stop, limit, '<');
        if (tag == limit || limit - tag < 4) {
            stop = limit;
            break;
        }
        if (!IsBreakTag(page, tag)) {
            stop = tag;
            break;
        }
        stop = tag + 4;
    }
    if (stop < limit) page[stop] = '\0';

    for (std::size_t i = Find(page, start, stop, "<br>"); i < stop; i = Find(page, i + 4, stop, "<br>"))
        std::memcpy(page + i, "  \r\n", 4);
    DecodeEntities(page + start);

    *begin = start;
    *end = stop;
    return true;
}

int HttpStatusOf(const char* response, std::size_t length)
{
    // "HTTP/" digit "." digit, a blank, three digits.
    if (length < 12 || std::memcmp(response, "HTTP/", 5) != 0) return 0;
    std::size_t i = 5;
    while (i < length && response[i] != ' ') ++i;
    while (i < length && response[i] == ' ') ++i;
    if (i + 3 > length) return 0;
    int status = 0;
    for (std::size_t k = i; k < i + 3; ++k) {
        if (response[k] < '0' || response[k] > '9') return 0;
        status = status * 10 + (response[k] - '0');
    }
    if (i + 3 < length && response[i + 3] != ' ' && response[i + 3] != '\r') return 0;
    return status;
}

namespace {
// One page into the buffer: nothing (empty result) when it can be scraped,
// else the lookup's outcome.
bool FetchPage(const LyricsSiteAddress& site, const std::string& path, const HttpFetch& fetch, char* page,
               int* received, LyricResult* stop)
{
    // A link the client would refuse to send (a control byte, too long) is
    // the page's fault: asking again would never work.
    char request[kHttpRequestBufferSize];
    if (FormatHttpRequest(site.host.c_str(), path.c_str(), request) < 0) {
        *stop = LyricResult::NotFound();
        return false;
    }
    *received = 0;
    page[0] = '\0';
    if (!fetch(site.host.c_str(), site.port, path.c_str(), page, kPageBufferSize, received) || *received < 0 ||
        *received >= kPageBufferSize) {
        *stop = LyricResult::CouldNotAsk("no answer from the lyrics site");
        return false;
    }
    page[*received] = '\0';  // whatever the fetch did, the text ends here
    const int status = HttpStatusOf(page, static_cast<std::size_t>(*received));
    if (status == 200) return true;
    *stop = status == 404 ? LyricResult::NotFound()
            : status == 0 ? LyricResult::CouldNotAsk("the lyrics site sent no status line")
                          : LyricResult::CouldNotAsk("the lyrics site answered status " + std::to_string(status));
    return false;
}
}  // namespace

LyricResult ScrapeLyric(const LyricsSiteAddress& site, const char* artist, const char* title,
                        const HttpFetch& fetch)
{
    std::string listPath;
    std::string pattern;
    if (!MakeSongListPath(artist, &listPath) || !MakeTitlePattern(title, &pattern)) return LyricResult::NotFound();

    // One block for both responses; freed on every way out.
    std::unique_ptr<char[]> page(new char[kPageBufferSize]);
    int received = 0;
    LyricResult stop;
    if (!FetchPage(site, listPath, fetch, page.get(), &received, &stop)) return stop;
    std::string songPath;
    if (!FindSongPagePath(page.get(), static_cast<std::size_t>(received), pattern, &songPath))
        return LyricResult::NotFound();

    if (!FetchPage(site, songPath, fetch, page.get(), &received, &stop)) return stop;
    std::size_t begin = 0;
    std::size_t end = 0;
    if (!CutLyric(page.get(), static_cast<std::size_t>(received), &begin, &end)) return LyricResult::NotFound();
    return LyricResult::Found(std::string(page.get() + begin, end - begin));
}
