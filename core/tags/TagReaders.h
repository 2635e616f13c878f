#pragma once

#include "core/tags/PathSyntax.h"

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
// a separator, else from the ID3v2 tag in the file's first kilobyte. Returns
// 1 or -1; the out strings are not cleared on entry and may have been changed
// on -1.
int ReadMp3Tags(std::string path, std::string& artist, std::string& title, int tryNameFirst, ReadHeadFn readHead,
                const PathSyntax& syntax);

// Artist and title of a Kazaa download (.dat) from its metadata trailer.
// The fourth argument is not used. Returns 1 or -1, out strings as above.
int ReadKazaaSong(std::string path, std::string& artist, std::string& title, int unused, ReadTailFn readTail);

}  // namespace songlark
