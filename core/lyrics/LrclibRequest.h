#pragma once

// What every request to LRCLIB shares: the program's name, the body cap, and
// the encoding of names (UTF-8 already) into a query.
#include <cstddef>
#include <string>

// Sent as the User-Agent header, with the program's version.
extern const char kLrclibUserAgent[];  // "Songlark/2.25"

// The most response body read; a larger body is no answer at all.
constexpr std::size_t kLrclibBodyMax = 1024 * 1024;

// Every byte outside A-Z a-z 0-9 - . _ ~ as %XX with upper-case hex.
std::string PercentEncode(const std::string& bytes);

// "/api/get?artist_name=" + encoded artist + "&track_name=" + encoded title.
std::string LrclibRequestPath(const std::string& artistUtf8, const std::string& titleUtf8);
