#include "core/lyrics/LrclibAddress.h"

#include "core/lyrics/HttpRequest.h"

#include <cctype>

const char kBuiltInLrclibUrl[] = "https://lrclib.net";

namespace {
bool StartsWithNoCase(const std::string& text, const char* prefix, std::size_t* length)
{
    std::size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    *length = i;
    return true;
}

bool IsHostByte(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}
}  // namespace

bool ParseLrclibUrl(const std::string& text, LrclibAddress* out)
{
    LrclibAddress address;
    std::size_t at = 0;
    if (StartsWithNoCase(text, "https://", &at)) {
        address.secure = true;
        address.port = 443;
    } else if (StartsWithNoCase(text, "http://", &at)) {
        address.secure = false;
        address.port = 80;
    } else {
        return false;
    }
    std::string rest = text.substr(at);
    if (!rest.empty() && rest.back() == '/') rest.pop_back();

    const std::size_t colon = rest.find(':');
    address.host = rest.substr(0, colon);
    if (address.host.empty() || address.host.size() > kHttpHostMax) return false;
    for (char c : address.host)
        if (!IsHostByte(c)) return false;
    if (colon != std::string::npos) {
        const std::string digits = rest.substr(colon + 1);
        if (digits.empty() || digits.size() > 5) return false;
        unsigned long port = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return false;
            port = port * 10 + static_cast<unsigned long>(c - '0');
        }
        if (port == 0 || port > 65535) return false;
        address.port = static_cast<unsigned short>(port);
    }
    *out = address;
    return true;
}
