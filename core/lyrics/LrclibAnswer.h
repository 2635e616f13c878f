#pragma once

// What LRCLIB's answer says: the lyric of one /api/get response, in UTF-8
// with CR LF line ends, ready to be turned into the ANSI code page.
#include <string>

// The lyric of a response with this status and body, or an empty string when
// it holds none. Only status 200 with a JSON object counts; of that object:
// "plainLyrics" when it is a non-empty string, else "syncedLyrics" when it
// is a non-empty string (its time tags removed), else "[Instrumental]" when
// "instrumental" is true. null stands for an absent member; any other type of
// these three members, bad JSON or bad UTF-8 means no lyric. Line ends ("\n"
// and "\r\n") become CR LF; nothing else changes.
std::string LrclibLyricFromResponse(int status, const std::string& body);

// Removes at the start of each line one or more time tags ("[" digits ":" two
// digits, optionally "." or ":" and digits, "]", as in "[01:02.34]") and
// one blank right after the last of them. Lines end at "\n".
std::string StripTimeTags(const std::string& synced);

// Every "\n" and "\r\n" as "\r\n"; a lone "\r" stays as it is.
std::string ToCrLf(const std::string& text);
