#pragma once

// Which LRCLIB record, if any, is the song a file holds. A wrong lyric is worse
// than none: a record is taken only when its artist and title agree with the
// file's, and when in doubt none is.
//
// The rule:
//  1. Agreement. The record's TitleKey equals the file's (versions kept), or,
//     as a last resort, the file's title with its version suffix dropped
//     equals a record title that has none ("Song (Live)" may take "Song",
//     never "Song" take "Song (Live)"). Its ArtistKey equals the file's: "The",
//     "&"/"and" and a guest part make no difference, nor does a band named
//     after its leader ("Bob Marley" and "Bob Marley & The Wailers", ranked
//     after an equal artist); another artist always does. A swapped file ("Title - Artist") agrees only where the caller
//     gives the swapped pair, and ranks after every straight agreement.
//  2. Length. With both lengths known, a record more than kLengthToleranceSeconds
//     off is another recording and never taken; within kLengthCloseSeconds
//     (LRCLIB's own window) ranks first, unknown next, the rest last.
//  3. Then a record with a lyric, then one with synced lyrics, then one from
//     the file's album, then the lowest id (LRCLIB's own order).
#include "core/lyrics/Json.h"

#include <string>
#include <vector>

constexpr int kLengthCloseSeconds = 2;
constexpr int kLengthToleranceSeconds = 10;

// One track as LRCLIB describes it (a /api/get answer or a /api/search element).
struct LrclibRecord {
    std::string id;  // the number as written
    std::string trackName, artistName, albumName;
    int durationMs = 0;  // 0 when absent or unreadable
    std::string lyric;   // UTF-8, CR LF, by the /api/get answer rules; empty when none
    bool synced = false;
};

// One JSON object's text as a record. False when it is not a JSON object; an
// id that is absent or not a non-negative integer is left empty.
bool ReadLrclibRecord(const std::string& objectText, LrclibRecord* out);

// A /api/search answer: a JSON array of such objects. False for anything else.
bool ReadLrclibSearchAnswer(const std::string& body, std::vector<LrclibRecord>* out);

// An artist and title a file gives for its song (UTF-8).
struct NamePair {
    std::string artist, title;
};

// What the file says, for the agreement: every pair it gives, the album and the length.
struct FileSong {
    std::vector<NamePair> pairs;
    // When not empty, agrees too, ranked after every pair: the file name's
    // pair read the other way ("Title - Artist").
    NamePair swapped;
    std::string album;
    int durationMs = 0;
};

// False when both lengths are known and more than kLengthToleranceSeconds apart.
bool LengthsMayAgree(int fileMs, int recordMs);

// The index of the record the rule takes, or -1 when none agrees.
int ChooseLrclibRecord(const std::vector<LrclibRecord>& records, const FileSong& song);
