#pragma once

// What LRCLIB's answer to /api/get says: found (the lyric in UTF-8 with CR LF
// line ends, ready to be turned into the ANSI code page), not found, or
// could not ask.
#include "core/lyrics/HttpExchange.h"
#include "core/lyrics/Json.h"
#include "core/lyrics/LyricOutcome.h"

#include <string>

// The outcome of one /api/get exchange. No answer: could not ask, for the
// transport's reason. 404: not found. 200 with a JSON object (at most
// kLrclibBodyMax bytes, UTF-8): the record's lyric (see
// LrclibResultFromRecord). 429 and 503: could not ask, with the wait their
// Retry-After asks for. Anything else (another status, a 200 that is not a
// JSON object or whose lyric members have the wrong type) could not ask.
// nowUnixSeconds reads a Retry-After that is a date; the one-argument form
// takes the system clock.
LyricResult LrclibResultFromExchange(const HttpExchange& exchange, long long nowUnixSeconds);
// The part of those rules that needs no body: true, with the outcome, for no
// answer, 404, any other status but 200 and a body over the cap; false for a
// 200 whose body is to be read.
bool LrclibAnswerWithoutBody(const HttpExchange& exchange, long long nowUnixSeconds, LyricResult* outcome);
LyricResult LrclibResultFromExchange(const HttpExchange& exchange);

// The lyric of one record, from its "plainLyrics", "syncedLyrics" and
// "instrumental" members as read: "plainLyrics" when it is a string that is
// not empty once NUL characters are dropped, else the cleaned "syncedLyrics"
// (CleanSyncedLyric) when that is not empty, else "[Instrumental]" when
// "instrumental" is true; none of these is not found. null stands for an
// absent member; any other type could not ask. Line ends become CR LF.
LyricResult LrclibResultFromRecord(const JsonField& plain, const JsonField& synced, const JsonField& instrumental);

// The lyric of a 200 answer with this body that LrclibResultFromExchange
// finds, or an empty string for every other outcome.
std::string LrclibLyricFromResponse(int status, const std::string& body);

// The seconds a Retry-After header's text asks to wait: decimal seconds, or
// an HTTP date (IMF-fixdate, RFC 850 or asctime form, GMT) less now. 0 when
// the text is empty, unreadable or a date already past; at most
// kRetryAfterMaxSeconds, so that a broken header cannot stop the lookups for
// the rest of a session.
int ParseRetryAfter(const std::string& text, long long nowUnixSeconds);
constexpr int kRetryAfterMaxSeconds = 24 * 60 * 60;

// A synced (LRC) lyric as text: header lines ([ar:], [ti:], [al:], [by:],
// [offset:], [length:], [re:], [ve:]) dropped with their line ends; at the
// start of each line one or more time tags ("[" digits ":" two digits,
// optionally "." or ":" and digits, "]", as in "[01:02.34]") removed with
// one blank right after the last of them; word time stamps ("<01:02.34>")
// removed anywhere, with one blank after a stamp that follows a blank or
// starts the line. Lines end at "\n".
std::string CleanSyncedLyric(const std::string& synced);

// Every "\n" and "\r\n" as "\r\n"; a lone "\r" stays as it is.
std::string ToCrLf(const std::string& text);
