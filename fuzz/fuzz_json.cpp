// The JSON reader and the reading of an LRCLIB answer over arbitrary bytes.
// Checks that tie the readers to each other and to the grammar, so a fault in
// one shows: a text is accepted as an object exactly when "[" text "]" is
// accepted as an array of one object; a kept string is valid UTF-8 and reads back the same after
// being written out again; an array's elements are each an object the object
// reader accepts; a lyric comes only from an accepted text, with CR LF ends.
#include "core/lyrics/Json.h"
#include "core/lyrics/LrclibAnswer.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// An independent check of well-formed UTF-8 (no overlong forms, no surrogates).
bool ValidUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        std::size_t n;
        std::uint32_t c;
        if (b < 0x80) n = 1, c = b;
        else if ((b & 0xE0) == 0xC0) n = 2, c = b & 0x1F;
        else if ((b & 0xF0) == 0xE0) n = 3, c = b & 0x0F;
        else if ((b & 0xF8) == 0xF0) n = 4, c = b & 0x07;
        else return false;
        if (i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            c = (c << 6) | (t & 0x3F);
        }
        static const std::uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kMin[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

// The string as a JSON string literal, control characters escaped.
std::string Quoted(const std::string& s)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int Openings(const std::string& s)
{
    int n = 0;
    for (char c : s) n += c == '{' || c == '[';
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    JsonField fields[] = {JsonField("plainLyrics"), JsonField("syncedLyrics"), JsonField("instrumental")};
    const bool valid = ReadJsonObject(body.data(), body.size(), fields, 3);

    for (const JsonField& f : fields) {
        if (!valid || f.kind != JsonKind::String) continue;
        if (!ValidUtf8(f.text)) std::abort();
        const std::string again = "{\"plainLyrics\":" + Quoted(f.text) + "}";
        JsonField back("plainLyrics");
        if (!ReadJsonObject(again.data(), again.size(), &back, 1) || back.kind != JsonKind::String ||
            back.text != f.text)
            std::abort();
    }

    // The same text as the one element of an array: the same verdict, while
    // the array's extra level stays within the nesting limit.
    if (Openings(body) < kJsonMaxDepth - 1) {
        std::vector<JsonSpan> spans;
        const std::string array = "[" + body + "]";
        const bool asElement = ReadJsonArrayOfObjects(array.data(), array.size(), &spans) && spans.size() == 1;
        if (asElement != valid) std::abort();
    }

    std::vector<JsonSpan> spans;
    if (ReadJsonArrayOfObjects(body.data(), body.size(), &spans)) {
        std::size_t end = 0;
        for (const JsonSpan& span : spans) {
            if (span.offset < end || span.length < 2 || span.offset + span.length > body.size()) std::abort();
            end = span.offset + span.length;
            if (body[span.offset] != '{' || body[end - 1] != '}') std::abort();
            if (!ReadJsonObject(body.data() + span.offset, span.length, nullptr, 0)) std::abort();
        }
    }

    const std::string lyric = LrclibLyricFromResponse(200, body);
    if (!lyric.empty() && !valid) std::abort();
    for (std::size_t i = 0; i < lyric.size(); ++i)
        if (lyric[i] == '\n' && (i == 0 || lyric[i - 1] != '\r')) std::abort();
    return 0;
}
