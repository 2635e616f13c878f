#pragma once

// Finding a song's lyric on the lyrics site: the artist's song list, the link
// to the song by its title attribute, the song page, the lyric between its
// line-break tags. Platform-free: the two responses come from a fetch function
// with HttpGet's shape, so this runs (and is fuzzed) without a network.
#include "core/lyrics/LyricOutcome.h"
#include "core/lyrics/LyricsSiteAddress.h"

#include <cstddef>
#include <functional>
#include <string>

// host, port, path, buffer, capacity, received count (out). Returns false when
// no complete answer came (nothing sent, or the receive failed or ran out of
// time). On true, *received bytes are in the buffer followed by
// a zero byte (so *received < capacity); a count outside that is taken as a
// failed request.
using HttpFetch = std::function<bool(const char* host, unsigned short port, const char* path,
                                     char* buffer, int capacity, int* received)>;

// Sizes of the working buffers: both hold 255 bytes of text. The title
// pattern's fixed text takes 13 of them.
constexpr std::size_t kArtistMax = 255;
constexpr std::size_t kTitleMax = 242;
constexpr int kPageBufferSize = 100000;

// "/" + first byte of the slug + "/" + slug + "/songs.html", where the slug is
// the artist with ASCII capitals lowered and blanks turned into hyphens.
// False for an empty artist or one over kArtistMax bytes.
bool MakeSongListPath(const char* artist, std::string* path);

// "title=\"" + title + " lyric", ASCII capitals lowered and every apostrophe
// turned into 0x92, the way the site writes it. False for an empty title or
// one over kTitleMax bytes.
bool MakeTitlePattern(const char* title, std::string* pattern);

// Lower-cases the song list page (its first length bytes) in place and finds
// the target of the first link carrying the pattern. The page is read as
// zero-terminated text within length.
bool FindSongPagePath(char* page, std::size_t length, const std::string& pattern, std::string* path);

// Cuts the lyric out of a song page (its first length bytes, read as
// zero-terminated text; page[length] must be a zero byte) in place: found by three "<br>" tags in a row, ended by
// the next other tag, line breaks turned into "  \r\n", entities decoded.
// Returns false when there is no lyric; else the lyric is page[*begin, *end).
bool CutLyric(char* page, std::size_t length, std::size_t* begin, std::size_t* end);

// The status code of a raw response ("HTTP/1.x NNN ..."), or 0 when it does
// not begin with a status line.
int HttpStatusOf(const char* response, std::size_t length);

// The whole lookup: two requests to site through fetch. Found: the lyric.
// Not found: the input is empty or too long (then nothing is fetched), a page
// answers 404, the song list lacks the title, or the song page holds no
// lyric. Could not ask: a fetch that gave no complete answer, an empty
// response, or any status other than 200 and 404.
LyricResult ScrapeLyric(const LyricsSiteAddress& site, const char* artist, const char* title,
                        const HttpFetch& fetch);
