#pragma once

#include <string>

namespace songlark {

// Reading files that another process may be writing at the same moment: each
// call opens the file for reading with full sharing, reads, and closes it
// before returning. They match the readers' ReadHeadFn and ReadTailFn.

// Reads up to `capacity` bytes from offset 0 in one read. Returns the number
// of bytes read, or -1 when the file cannot be opened or read.
int ReadFileHead(const std::string& path, unsigned char* buffer, int capacity);

// Reads the file's last `trailerSize` bytes into a buffer of its own; when all
// were read, `blockLength(trailer)` says how many bytes before the trailer to
// read into `block` (a negative answer stops). Returns that number, or -1 when
// the file cannot be opened or read, is too short, or the answer was refused
// or exceeds `capacity`. The file is opened once.
int ReadFileTail(const std::string& path, int trailerSize, int (*blockLength)(const unsigned char* trailer),
                 unsigned char* block, int capacity);

}  // namespace songlark
