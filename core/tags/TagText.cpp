#include "core/tags/TagText.h"

#include <algorithm>
#include <cstdint>

namespace songlark {
namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

void AppendUtf8(std::uint32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// ISO-8859-1 as taggers really write it: the bytes 0x80-0x9F, control
// characters in ISO-8859-1, are code page 1252's letters and marks (the
// curly quote of "Don't"), as the web's encoding standard reads this label.
std::string FromLatin1(const unsigned char* p, std::size_t n)
{
    static const std::uint16_t k1252[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    for (std::size_t i = 0; i < n; ++i) AppendUtf8(p[i] >= 0x80 && p[i] <= 0x9F ? k1252[p[i] - 0x80] : p[i], out);
    return out;
}

// UTF-8 bytes checked: every malformed, overlong or surrogate sequence
// becomes U+FFFD, so the result is always valid; a leading mark is dropped.
std::string FromUtf8(const unsigned char* p, std::size_t n)
{
    std::string out;
    std::size_t i = 0;
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) i = 3;
    while (i < n) {
        const unsigned char b = p[i];
        const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        std::uint32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        int k = 0;
        while (extra > 0 && k < extra && i + 1 + k < n && (p[i + 1 + k] & 0xC0) == 0x80) c = (c << 6) | (p[i + 1 + k++] & 0x3F);
        static const std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (extra < 0 || k < extra || c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += kReplacement;
            i += 1 + k;  // the bytes that looked like continuation go with the bad lead
            continue;
        }
        AppendUtf8(c, out);
        i += 1 + extra;
    }
    return out;
}

// UTF-16 units, big- or little-endian; an unpaired surrogate becomes U+FFFD.
std::string FromUtf16(const unsigned char* p, std::size_t units, bool bigEndian)
{
    auto unit = [&](std::size_t i) {
        return bigEndian ? std::uint32_t(p[2 * i] << 8 | p[2 * i + 1]) : std::uint32_t(p[2 * i + 1] << 8 | p[2 * i]);
    };
    std::string out;
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            AppendUtf8(0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00), out);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += kReplacement;
        } else {
            AppendUtf8(u, out);
        }
    }
    return out;
}

}  // namespace

bool DecodeId3Text(const unsigned char* content, std::size_t size, std::string* utf8)
{
    if (size == 0 || content[0] > 3) return false;
    const unsigned char encoding = content[0];
    const unsigned char* p = content + 1;
    std::size_t n = size - 1;
    const bool wide = encoding == 1 || encoding == 2;
    const std::size_t step = wide ? 2 : 1;
    n -= n % step;
    // Several strings may follow one another, each ended by a zero unit; the
    // first that holds anything is the frame's text.
    std::size_t at = 0;
    while (at < n) {
        std::size_t end = at;
        while (end < n && !(p[end] == 0 && (!wide || p[end + 1] == 0))) end += step;
        std::size_t from = at;
        bool bigEndian = encoding == 2;
        if (encoding == 1 && end - from >= 2) {
            // Each string of a UTF-16 frame carries its own mark; without one,
            // little-endian, as Windows' taggers write.
            if (p[from] == 0xFE && p[from + 1] == 0xFF) bigEndian = true, from += 2;
            else if (p[from] == 0xFF && p[from + 1] == 0xFE) from += 2;
        }
        if (end > from) {
            const std::size_t len = end - from;
            *utf8 = encoding == 0 ? FromLatin1(p + from, len)
                  : encoding == 3 ? FromUtf8(p + from, len)
                                  : FromUtf16(p + from, len / 2, bigEndian);
            if (!utf8->empty()) return true;
        }
        at = end + step;
    }
    return false;
}

bool ConvertWhole(ConvertTextFn convert, const std::string& text, std::string* out)
{
    if (text.find(kReplacement) != std::string::npos) return false;
    if (!convert) {
        *out = text;
        return true;
    }
    std::string converted;
    if (!convert(text, &converted)) return false;
    if (std::count(converted.begin(), converted.end(), '?') > std::count(text.begin(), text.end(), '?')) return false;
    *out = std::move(converted);
    return true;
}

}  // namespace songlark
