// The ID3v2 readers over arbitrary first bytes of a file. An odd-sized input
// starts with a filled artist, as the name rule may leave it. The facts
// reader and the MPEG length read the whole input; the file's size comes
// from its last bytes. Decoded text is always valid UTF-8.
#include "core/tags/Id3Block.h"
#include "core/tags/Mp3Facts.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool ValidUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        std::uint32_t c = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
            c = c << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        static const std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kLeast[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

bool PlausibleOrZero(int ms) { return ms == 0 || (ms >= songlark::kMinLengthMs && ms <= songlark::kMaxLengthMs); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string artist = (size & 1) ? "prior" : "", title;
    const std::size_t head = size > songlark::kMp3HeadBytes ? songlark::kMp3HeadBytes : size;
    const int r = songlark::ParseId3Block(data, head, artist, title);
    if (r != 1 && r != -1) __builtin_trap();
    if (r == 1 && (artist.empty() || title.empty())) __builtin_trap();
    if (r == 1 && (!ValidUtf8(artist) || !ValidUtf8(title))) __builtin_trap();

    std::string text;
    if (size > 0 && songlark::DecodeId3Text(data, size, &text) && (text.empty() || !ValidUtf8(text))) __builtin_trap();

    const songlark::Id3TagFacts facts = songlark::ReadId3TagFacts(data, size, nullptr);
    if (!PlausibleOrZero(facts.lengthMs)) __builtin_trap();
    if (facts.present ? facts.tagBytes < 10 : facts.tagBytes != 0) __builtin_trap();
    for (const std::string* s : {&facts.artist, &facts.title, &facts.album})
        if (!ValidUtf8(*s)) __builtin_trap();

    std::uint64_t fileSize = 0;
    for (std::size_t i = size >= 5 ? size - 5 : 0; i < size; ++i) fileSize = fileSize << 8 | data[i];
    if (!PlausibleOrZero(songlark::Mp3LengthMs(data, size, facts.tagBytes, fileSize))) __builtin_trap();
    return 0;
}
