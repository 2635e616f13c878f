// The .dat reader's byte side: the input is the end of a file, trailer last;
// the block its trailer announces is parsed, and the whole input (up to the
// largest block) is parsed as a block as well.
#include "core/tags/KazaaBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
void Parse(const std::uint8_t* block, std::size_t size)
{
    std::string artist, title;
    const int r = songlark::ParseKazaaBlock(block, size, artist, title);
    if (r != 1 && r != -1) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size >= songlark::kKazaaTrailerBytes) {
        const std::size_t trailerAt = size - songlark::kKazaaTrailerBytes;
        const int length = songlark::KazaaBlockLength(data + trailerAt);
        if (length > static_cast<int>(songlark::kKazaaMaxBlockBytes)) __builtin_trap();
        if (length >= 0 && static_cast<std::size_t>(length) <= trailerAt) Parse(data + trailerAt - length, length);
    }
    Parse(data, size < songlark::kKazaaMaxBlockBytes ? size : songlark::kKazaaMaxBlockBytes);
    return 0;
}
