// The .dat reader's byte side: the input is the end of a file, trailer last;
// the block its trailer announces is parsed, and the whole input (up to the
// largest block) is parsed as a block as well, its texts through a
// conversion that refuses some of them, as a code page refuses a byte it
// lacks: no refused text may reach a result.
#include "core/tags/KazaaBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
bool RefusesFf(const std::string& from, std::string* to)
{
    if (from.find('\xff') != std::string::npos) return false;
    *to = from;
    return true;
}

void Parse(const std::uint8_t* block, std::size_t size)
{
    std::string artist, title;
    int r = songlark::ParseKazaaBlock(block, size, artist, title);
    if (r != 1 && r != -1) __builtin_trap();
    artist.clear(), title.clear();
    r = songlark::ParseKazaaBlock(block, size, artist, title, RefusesFf);
    if (r != 1 && r != -1) __builtin_trap();
    if (r == 1 && (artist.find('\xff') != std::string::npos || title.find('\xff') != std::string::npos))
        __builtin_trap();
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
