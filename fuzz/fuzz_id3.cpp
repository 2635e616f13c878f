// The ID3v2 block parser over arbitrary first bytes of a file. An odd-sized
// input starts with a filled artist, as the name rule may leave it.
#include "core/tags/Id3Block.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string artist = (size & 1) ? "prior" : "", title;
    if (size > songlark::kMp3HeadBytes) size = songlark::kMp3HeadBytes;
    const int r = songlark::ParseId3Block(data, size, artist, title);
    if (r != 1 && r != -1) __builtin_trap();
    if (r == 1 && (artist.empty() || title.empty())) __builtin_trap();
    return 0;
}
