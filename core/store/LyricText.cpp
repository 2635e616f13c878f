#include "core/store/LyricText.h"

namespace songlark {

const char kUtf8Mark[4] = "\xEF\xBB\xBF";

size_t Utf8SequenceLength(const char* text, size_t length)
{
    if (length == 0) return 0;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    const unsigned char c = s[0];
    if (c < 0x80) return 1;
    size_t n;
    // The second byte's range rules out overlong forms, surrogates and
    // values above U+10FFFF, as in RFC 3629's table.
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (length < n || s[1] < low || s[1] > high) return 0;
    for (size_t i = 2; i < n; ++i)
        if (s[i] < 0x80 || s[i] > 0xBF) return 0;
    return n;
}

bool IsValidUtf8(const char* text, size_t length)
{
    size_t i = 0;
    while (i < length) {
        const size_t n = Utf8SequenceLength(text + i, length - i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

LyricBytes ClassifyLyricBytes(const std::string& bytes)
{
    if (bytes.compare(0, 3, kUtf8Mark) == 0) return {LyricEncoding::Utf8, 3};
    return {IsValidUtf8(bytes.data(), bytes.size()) ? LyricEncoding::Utf8 : LyricEncoding::Legacy, 0};
}

}  // namespace songlark
