#pragma once

// The whole LRCLIB lookup of one song: which requests to send, in which order,
// and what their answers come to. Pure logic over an HttpAskFn, so that every
// path is tested without a network.
//
// At most kLrclibMaxRequests requests, each made only while nothing was found
// and never the same one twice:
//  1. /api/get with the row's artist and title as they are, and the length
//     when known (LRCLIB then takes only a record within 2 s);
//  2. /api/get with both cleaned (see SongNameCleaning.h) when that differs,
//     else with the tag's pair cleaned when the tag names the song otherwise;
//  3. /api/search?track_name=..&artist_name=.. with the cleaned pair, the
//     artist without a leading "The" (a search wants every word it is given);
//  4. /api/search?q=<artist> <title>, likewise, the title without its
//     version suffix: it finds records whose fields are swapped or carry
//     other words too.
// The album is never sent: a compilation's or a rip's album name makes
// /api/get miss; it only ranks records that agree (LrclibChoice.h). A search's
// records must pass the choice rule; /api/get's record, which LRCLIB matched
// to the names sent, only its length check. The swapped pair agrees only in
// the q= search and only when the row's pair is the file name's. Any request
// that could not be asked ends the lookup: could not ask.
#include "core/lyrics/HttpExchange.h"
#include "core/lyrics/LyricOutcome.h"
#include "core/tags/SongFacts.h"

#include <string>
#include <vector>

constexpr int kLrclibMaxRequests = 4;

struct LrclibAsked {
    std::string pathAndQuery;
    bool answered = false;
    int status = 0;
    std::string reason;  // !answered: why
};

struct LrclibLookupResult {
    // Found: lyric in UTF-8 with CR LF line ends (the /api/get answer rules).
    LyricResult result;
    std::string recordId;  // Found: the chosen record's id
    std::vector<LrclibAsked> requests;
};

// songUtf8's texts are UTF-8. Nothing is asked when the row has no artist or no title.
LrclibLookupResult LookUpLrclib(const songlark::SongFacts& songUtf8, const HttpAskFn& ask);
