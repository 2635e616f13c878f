#include "core/lyrics/LyricsSiteAddress.h"

#include "core/lyrics/HttpRequest.h"

const char kBuiltInLyricsHost[] = "lyrics.songlark.invalid";

bool ParseLyricsSite(const std::string& text, LyricsSiteAddress* out)
{
    if (text.empty()) {
        *out = LyricsSiteAddress();
        return true;
    }
    const std::size_t colon = text.rfind(':');
    std::string host = text.substr(0, colon);
    unsigned long port = kBuiltInLyricsPort;
    if (colon != std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 5) return false;
        port = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return false;
            port = port * 10 + static_cast<unsigned long>(c - '0');
        }
        if (port == 0 || port > 65535) return false;
    }
    if (host.empty() || host.size() > kHttpHostMax || host.find('\0') != std::string::npos ||
        !IsPlainRequestText(host.c_str()))
        return false;
    out->host = host;
    out->port = static_cast<unsigned short>(port);
    return true;
}
