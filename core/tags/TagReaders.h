#pragma once

#include "core/tags/PathSyntax.h"
#include "core/tags/SongFacts.h"

#include <string>

namespace songlark {

// The file access the readers need, injected so that this code stays free of
// the platform. Both open the file for reading with full sharing (the
// download client may be writing it), read, and close before returning.
//
// Reads up to `capacity` bytes from offset 0 in one read. Returns the number
// of bytes read, or -1 when the file cannot be opened or read.
using ReadHeadFn = int (*)(const std::string& path, unsigned char* buffer, int capacity);
// Decides from a file's last bytes how many bytes before them to read, or
// returns a negative value to stop.
using BlockLengthFn = int (*)(const unsigned char* trailer);
// Reads the last `trailerSize` bytes; when all of them were read, asks
// `blockLength` and reads exactly that many bytes (at most `capacity`) that
// precede the trailer into `block`. Returns that number, or -1 when the file
// is too short, cannot be opened or read, or `blockLength` refused.
using ReadTailFn = int (*)(const std::string& path, int trailerSize, BlockLengthFn blockLength, unsigned char* block,
                           int capacity);

// Artist and title of a LimeWire download: from the file name (the text after
// the path's last separator) when `tryNameFirst` is nonzero and the path has
// a separator, else from the ID3v2 tag in the file's first kilobyte (text
// converted by syntax.fromUtf8). Returns
// 1 or -1; the out strings are not cleared on entry and may have been changed
// on -1.
int ReadMp3Tags(std::string path, std::string& artist, std::string& title, int tryNameFirst, ReadHeadFn readHead,
                const PathSyntax& syntax);

// Artist and title of a Kazaa download (.dat) from its metadata trailer.
// The fourth argument is not used. Returns 1 or -1, out strings as above.
// The trailer's texts are converted by syntax.fromLegacy; without a syntax
// they are taken as written.
int ReadKazaaSong(std::string path, std::string& artist, std::string& title, int unused, ReadTailFn readTail);
int ReadKazaaSong(std::string path, std::string& artist, std::string& title, int unused, ReadTailFn readTail,
                  const PathSyntax& syntax);

// The ID3v2 reads for a song's facts: the first holds most tags whole; a
// bigger tag (cover art) is read again up to its end and the first audio
// frames, at most kMp3FactsMaxBytes in all.
constexpr int kMp3FactsFirstBytes = 64 * 1024;
constexpr int kMp3AudioSearchBytes = 20 * 1024;
constexpr int kMp3FactsMaxBytes = 4 * 1024 * 1024;

// Everything an .mp3 download tells about its song, for the lookup: the
// LimeWire name rule's pair, the ID3v2 tag's artist, title, album (TALB) and
// length (TLEN, when 1 s to 1 h; else from the first MPEG audio frame: a
// Xing, Info or VBRI frame count, or the constant bit rate over the complete
// size that LimeWire's "T-<size>-" name gives). The row's artist and title
// are those ReadMp3Tags gives with the name tried first. Returns what
// ReadMp3Tags would; facts are cleared on entry and filled as far as known.
int ReadMp3Facts(const std::string& path, SongFacts& facts, ReadHeadFn readHead, const PathSyntax& syntax);

// The same for a Kazaa download: the name rule's pair from the download
// name and the trailer's artist and title items; the row's pair as
// ReadKazaaSong chooses it. Kazaa's trailer holds no album or length.
int ReadKazaaFacts(const std::string& path, SongFacts& facts, ReadTailFn readTail, const PathSyntax& syntax);

}  // namespace songlark
