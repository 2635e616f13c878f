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

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trimmed(const std::string& text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// "/seg/seg" of unreserved bytes and %XX escapes, no empty segment: sent as
// it is, so it must be a path WinHTTP and the server read the same way.
bool IsPathPrefix(const std::string& path)
{
    bool segmentEmpty = true;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '/') {
            if (i > 0 && segmentEmpty) return false;
            segmentEmpty = true;
            continue;
        }
        segmentEmpty = false;
        if (c == '%') {
            if (i + 2 >= path.size() || !std::isxdigit(static_cast<unsigned char>(path[i + 1])) ||
                !std::isxdigit(static_cast<unsigned char>(path[i + 2])))
                return false;
            i += 2;
        } else if (!IsHostByte(c) && c != '~') {
            return false;
        }
    }
    return !segmentEmpty;
}
}  // namespace

bool ParseLrclibUrl(const std::string& untrimmed, LrclibAddress* out)
{
    const std::string text = Trimmed(untrimmed);
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
    const std::size_t slash = rest.find('/');
    if (slash != std::string::npos) {
        address.pathPrefix = rest.substr(slash);
        if (!IsPathPrefix(address.pathPrefix)) return false;
        rest.erase(slash);
    }

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

LrclibAddress LrclibAddressFromSetting(const std::string& value)
{
    LrclibAddress address;
    if (Trimmed(value).empty() || ParseLrclibUrl(value, &address)) return address;
    address.unusable = "LrclibUrl \"" + value + "\" is not an http:// or https:// base URL";
    return address;
}
