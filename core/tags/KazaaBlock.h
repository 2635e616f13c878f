#pragma once

#include "core/tags/TagText.h"

#include <cstddef>
#include <string>

namespace songlark {

// Kazaa appends to each unfinished download (.dat) a metadata block followed
// by a 10-byte trailer: "KAZA", the block's length L (16-bit little-endian),
// four bytes we do not use.
constexpr std::size_t kKazaaTrailerBytes = 10;
constexpr std::size_t kKazaaMaxBlockBytes = 2048;

// The length of the block that precedes `trailer` (all 10 trailer bytes), or
// -1 when the trailer is not Kazaa's or announces a block that cannot be
// valid (negative, shorter than the block's fixed head, or over 2048 bytes).
int KazaaBlockLength(const unsigned char* trailer);

// The texts of a metadata block, converted from the legacy code page Kazaa
// wrote them in (a text that lost characters reads empty).
struct KazaaBlockText {
    std::string name;               // the download name
    bool hasArtist = false, hasTitle = false;
    std::string artist, title;      // the last items of type 6 and 4
};

// Reads a block: false when its head is not Kazaa's (size, the value 1) or
// its download name names no MP3 file.
bool ReadKazaaBlockText(const unsigned char* block, std::size_t size, ConvertTextFn fromLegacy, KazaaBlockText* text);

// Finds artist and title in a metadata block: the download name must name an
// MP3 file; the Kazaa file-name rule is tried on it first, then the block's
// artist (type 6) and title (type 4) items. Returns 1 or -1; the out strings
// are not cleared on entry and may have been changed on -1.
int ParseKazaaBlock(const unsigned char* block, std::size_t size, std::string& artist, std::string& title,
                    ConvertTextFn fromLegacy = nullptr);

}  // namespace songlark
