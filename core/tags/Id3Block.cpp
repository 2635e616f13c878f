#include "core/tags/Id3Block.h"

#include <cstdint>

namespace songlark {
namespace {

constexpr std::size_t kHeaderBytes = 10;
constexpr std::size_t kFrameHeaderBytes = 10;
// 1024 bytes are read; the last ten are kept out of the walk.
constexpr std::size_t kWalkLimit = 1014;

bool SameId(const unsigned char* id, const char* wanted)
{
    for (int i = 0; i < 4; ++i) {
        unsigned char c = id[i];
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
        if (c != static_cast<unsigned char>(wanted[i])) return false;
    }
    return true;
}

// Takes a text frame's text into `out`; a frame without text in a known
// encoding, or with text the process's code page cannot hold, leaves `out`
// untouched.
void TakeText(const unsigned char* content, std::size_t size, ConvertTextFn fromUtf8, std::string& out)
{
    std::string utf8;
    if (DecodeId3Text(content, size, &utf8)) ConvertWhole(fromUtf8, utf8, &out);
}

}  // namespace

int ParseId3Block(const unsigned char* data, std::size_t size, std::string& artist, std::string& title,
                  ConvertTextFn fromUtf8)
{
    if (size < kHeaderBytes) return -1;
    if ((data[0] != 'I' && data[0] != 'i') || (data[1] != 'D' && data[1] != 'd') || data[2] != '3') return -1;
    const std::size_t n = size > kWalkLimit ? kWalkLimit : size;

    std::uint64_t p = kHeaderBytes;
    if (data[5] & 0x40) {
        if (n < 14) return -1;
        // Seven bits a byte as in ID3v2.4, counting the whole extended header;
        // the bytes are not masked, so a malformed size just ends the walk.
        const std::uint64_t s = ((std::uint64_t(data[10]) * 128 + data[11]) * 128 + data[12]) * 128 + data[13];
        p = kHeaderBytes + s;
    }
    if (p >= n) return -1;

    bool sawArtist = false, sawTitle = false;
    for (;;) {
        if (p >= n - kFrameHeaderBytes) return -1;
        const unsigned char* frame = data + p;
        if (frame[0] == 0) return -1;  // padding: no more frames
        const std::uint64_t frameSize = (std::uint64_t(frame[4]) << 24) | (std::uint64_t(frame[5]) << 16) |
                                        (std::uint64_t(frame[6]) << 8) | std::uint64_t(frame[7]);
        if (p + kFrameHeaderBytes + frameSize > n) return -1;

        const unsigned char* content = frame + kFrameHeaderBytes;
        if (SameId(frame, "TPE1")) {
            sawArtist = true;
            TakeText(content, static_cast<std::size_t>(frameSize), fromUtf8, artist);
        } else if (SameId(frame, "TIT2")) {
            sawTitle = true;
            TakeText(content, static_cast<std::size_t>(frameSize), fromUtf8, title);
        }
        if (sawArtist && sawTitle) return !artist.empty() && !title.empty() ? 1 : -1;
        p += kFrameHeaderBytes + frameSize;
    }
}

}  // namespace songlark
