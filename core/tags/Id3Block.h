#pragma once

#include <cstddef>
#include <string>

namespace songlark {

// How much of an .mp3 file the tag reader looks at: one read from offset 0.
constexpr std::size_t kMp3HeadBytes = 1024;

// Finds the artist (TPE1) and title (TIT2) in the first bytes of an .mp3 file.
// Only the "ID3" marker is checked, never the version or the tag size; frame
// sizes are plain big-endian numbers whatever the version; only Latin-1 text
// is taken. Frames must end within the first 1014 bytes. Returns 1 once both
// frames were met and both strings are non-empty, -1 on anything else.
// A frame that was met but held no Latin-1 text leaves its string as it was,
// so a value set by the caller beforehand counts.
int ParseId3Block(const unsigned char* data, std::size_t size, std::string& artist, std::string& title);

}  // namespace songlark
