#pragma once

// Everything a downloaded file tells about its song, for the lyric lookup.
// The row's artist and title are the ones the name and tag rules choose; the
// lookup may use the rest (the other source's names, album, length) to find
// the right song. Texts are in the process's ANSI code page.
#include <string>

namespace songlark {

struct SongFacts {
    std::string artist;      // the row's artist: what the rules chose
    std::string title;       // the row's title
    std::string nameArtist;  // what the file name says, empty when it does not fit
    std::string nameTitle;
    std::string tagArtist;   // what the ID3v2 tag or Kazaa's trailer says, empty when absent
    std::string tagTitle;
    std::string album;       // the tag's or the trailer's album, empty when unknown
    int durationMs = 0;      // the song's length, 0 when unknown
};

}  // namespace songlark
