#include "core/tags/KazaaBlock.h"

#include "core/tags/NameRules.h"

#include <cstdint>
#include <cstring>

namespace songlark {
namespace {

// Block offsets: 4 bytes we do not use, a 32-bit value that must be 1, the
// download name, a second text; the item count lies 140 bytes after the
// second text's NUL and the items follow it.
constexpr std::size_t kBlockHeadBytes = 8;
constexpr std::size_t kCountAfterText = 140;
constexpr std::size_t kItemsAfterText = 144;
constexpr std::uint32_t kArtistItem = 6;
constexpr std::uint32_t kTitleItem = 4;

std::uint32_t Le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

// Position of the first NUL at or after `from`, or `size` when there is none.
std::size_t NulOrEnd(const unsigned char* block, std::size_t size, std::size_t from)
{
    if (from >= size) return size;
    const void* nul = std::memchr(block + from, 0, size - from);
    return nul ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - block) : size;
}

// Text from `from` up to its NUL; the block's end bounds it, not the item's
// length: Kazaa's values carry their NUL, and a value without one runs on.
std::string TextAt(const unsigned char* block, std::size_t size, std::size_t from)
{
    const std::size_t end = NulOrEnd(block, size, from);
    return std::string(reinterpret_cast<const char*>(block + from), end - from);
}

}  // namespace

int KazaaBlockLength(const unsigned char* trailer)
{
    if (std::memcmp(trailer, "KAZA", 4) != 0) return -1;
    const int length = static_cast<std::int16_t>(std::uint16_t(trailer[4]) | (std::uint16_t(trailer[5]) << 8));
    if (length < static_cast<int>(kBlockHeadBytes) || length > static_cast<int>(kKazaaMaxBlockBytes)) return -1;
    return length;
}

bool ReadKazaaBlockText(const unsigned char* block, std::size_t size, ConvertTextFn fromLegacy, KazaaBlockText* text)
{
    if (size < kBlockHeadBytes || size > kKazaaMaxBlockBytes) return false;
    if (Le32(block + 4) != 1) return false;

    const std::size_t nameEnd = NulOrEnd(block, size, kBlockHeadBytes);
    const std::string name(reinterpret_cast<const char*>(block + kBlockHeadBytes), nameEnd - kBlockHeadBytes);
    // Only these two spellings: Kazaa writes one or the other.
    if (name.find(".mp3") == std::string::npos && name.find(".MP3") == std::string::npos) return false;
    // A text that lost characters in the conversion is no text: it could be another song's.
    if (!ConvertWhole(fromLegacy, name, &text->name)) text->name.clear();

    const std::size_t textEnd = NulOrEnd(block, size, nameEnd + 1);
    // A count that does not fit in the block leaves no room for items either.
    const std::uint32_t count = textEnd + kCountAfterText + 4 <= size ? Le32(block + textEnd + kCountAfterText) : 0;

    std::uint64_t item = textEnd + kItemsAfterText;
    // An item is read only when its 8-byte head lies wholly inside the block.
    for (std::uint32_t i = 0; i < count && item + 8 <= size; ++i) {
        const std::size_t at = static_cast<std::size_t>(item);
        const std::uint32_t type = Le32(block + at);
        const std::uint32_t length = Le32(block + at + 4);
        if (type == kArtistItem || type == kTitleItem) {
            std::string& value = type == kArtistItem ? text->artist : text->title;
            (type == kArtistItem ? text->hasArtist : text->hasTitle) = true;
            if (!ConvertWhole(fromLegacy, TextAt(block, size, at + 8), &value)) value.clear();
        }
        item = item + 8 + length;  // 64-bit: a huge length ends the walk
    }
    return true;
}

int ParseKazaaBlock(const unsigned char* block, std::size_t size, std::string& artist, std::string& title,
                    ConvertTextFn fromLegacy)
{
    KazaaBlockText text;
    if (!ReadKazaaBlockText(block, size, fromLegacy, &text)) return -1;
    if (ParseKazaaName(text.name, artist, title) == 1) return 1;
    if (text.hasArtist) artist = text.artist;
    if (text.hasTitle) title = text.title;
    if (!text.hasArtist || !text.hasTitle) return -1;
    return !artist.empty() && !title.empty() ? 1 : -1;
}

}  // namespace songlark
