#pragma once

// What an .mp3 file's first bytes tell beyond artist and title: the ID3v2
// tag read as its version says (album, length), and the length the first
// MPEG audio frame gives.
#include "core/tags/TagText.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace songlark {

// A length is believed from 1 s to 1 h; anything else is a tag's mistake.
constexpr int kMinLengthMs = 1000;
constexpr int kMaxLengthMs = 3600 * 1000;

struct Id3TagFacts {
    bool present = false;    // the bytes start with an ID3v2 header of version 2, 3 or 4
    std::uint64_t tagBytes = 0;  // header, body and footer: where the audio begins
    std::string artist;      // TPE1 (TP1), in the process's code page; empty when absent or lost
    std::string title;       // TIT2 (TT2)
    std::string album;       // TALB (TAL)
    int lengthMs = 0;        // TLEN (TLE) in milliseconds, 0 unless plausible
};

// Walks the whole ID3v2 tag at the start of data (as far as data reaches):
// frame heads and sizes as versions 2.2, 2.3 and 2.4 define them, the
// extended header skipped, unsynchronisation undone, compressed or
// encrypted frames passed over. The first frame of each kind counts.
Id3TagFacts ReadId3TagFacts(const unsigned char* data, std::size_t size, ConvertTextFn fromUtf8);

// The song's length in milliseconds from the first MPEG audio frame at or
// after audioStart (within the next 16 KiB, confirmed by the frame after it
// when that lies in data): a Xing, Info or VBRI header's frame count, else,
// when fileSize (the complete file's size) is known, the constant bit rate
// over the bytes from audioStart to the end. 0 when unknown or implausible.
int Mp3LengthMs(const unsigned char* data, std::size_t size, std::uint64_t audioStart, std::uint64_t fileSize);

}  // namespace songlark
