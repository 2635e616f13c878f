#include "core/lyrics/HttpRequest.h"

#include <cstdio>
#include <cstring>

namespace {
// Sent byte for byte: some sites answer old browsers only.
const char kRequestTemplate[] =
    "GET %s HTTP/1.0\r\n"
    "Host: %s\r\n"
    "Accept: text/html; \r\n"
    "User-Agent: Mozilla/4.0 (compatible; MSIE 5.01; Windows NT 5.0)\r\n"
    "\r\n";
// The template without its two placeholders.
constexpr std::size_t kTemplateFixed = sizeof(kRequestTemplate) - 1 - 4;
static_assert(kTemplateFixed == 111, "the request template changed");
}  // namespace

bool IsPlainRequestText(const char* text)
{
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        if (*p < 0x20 || *p == 0x7F) return false;
    return true;
}

int FormatHttpRequest(const char* host, const char* path, char (&out)[kHttpRequestBufferSize])
{
    out[0] = '\0';
    const std::size_t hostLength = std::strlen(host);
    const std::size_t pathLength = std::strlen(path);
    if (hostLength > kHttpHostMax) return -1;
    if (!IsPlainRequestText(host) || !IsPlainRequestText(path)) return -1;
    // Measured before formatting, so nothing is ever cut.
    if (pathLength > kHttpRequestMax - kTemplateFixed - hostLength) return -1;
    const int length = std::snprintf(out, sizeof(out), kRequestTemplate, path, host);
    if (length < 0 || static_cast<std::size_t>(length) > kHttpRequestMax) return -1;
    return length;
}
