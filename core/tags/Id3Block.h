#pragma once

#include "core/tags/TagText.h"

#include <cstddef>
#include <string>

namespace songlark {

// How much of an .mp3 file the tag reader looks at: one read from offset 0.
constexpr std::size_t kMp3HeadBytes = 1024;

// Finds the artist (TPE1) and title (TIT2) in the first bytes of an .mp3 file.
// Only the "ID3" marker is checked, never the version or the tag size; frame
// sizes are plain big-endian numbers whatever the version. Text in
// ISO-8859-1, UTF-16 or UTF-8 is decoded and converted by fromUtf8 into the
// process's code page (null: kept in UTF-8). Frames must end within the
// first 1014 bytes. Returns 1 once both frames were met and both strings are
// non-empty, -1 on anything else. A frame that was met but held no text, or
// text the process's code page cannot hold, leaves its string as it was, so
// a value set by the caller beforehand counts.
int ParseId3Block(const unsigned char* data, std::size_t size, std::string& artist, std::string& title,
                  ConvertTextFn fromUtf8 = nullptr);

}  // namespace songlark
