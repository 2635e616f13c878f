#include "core/lyrics/LrclibRequest.h"

#include "core/Version.h"

const char kLrclibUserAgent[] = "Songlark/" SONGLARK_VERSION_TEXT;

std::string PercentEncode(const std::string& bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (unsigned char c : bytes) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~';
        if (plain) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
    return out;
}

std::string LrclibRequestPath(const std::string& artistUtf8, const std::string& titleUtf8)
{
    return "/api/get?artist_name=" + PercentEncode(artistUtf8) + "&track_name=" + PercentEncode(titleUtf8);
}
