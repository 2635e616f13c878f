#include "core/lyrics/LrclibAnswer.h"

#include "core/lyrics/Json.h"
#include "core/lyrics/LrclibRequest.h"

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t CountDigits(const std::string& text, std::size_t at)
{
    std::size_t n = 0;
    while (at + n < text.size() && IsDigit(text[at + n])) ++n;
    return n;
}

// Length of the time tag at text[at], or 0 when there is none.
std::size_t TimeTagLength(const std::string& text, std::size_t at)
{
    std::size_t i = at;
    if (i >= text.size() || text[i] != '[') return 0;
    ++i;
    std::size_t n = CountDigits(text, i);
    if (n == 0) return 0;
    i += n;
    if (i >= text.size() || text[i] != ':') return 0;
    ++i;
    if (CountDigits(text, i) != 2) return 0;
    i += 2;
    if (i < text.size() && (text[i] == '.' || text[i] == ':')) {
        ++i;
        n = CountDigits(text, i);
        if (n == 0) return 0;
        i += n;
    }
    if (i >= text.size() || text[i] != ']') return 0;
    return i + 1 - at;
}

// True when the member is a string, null or absent (a usable shape); *usable
// when it is a non-empty string.
bool UsableText(const JsonField& field, bool* usable)
{
    *usable = field.kind == JsonKind::String && !field.text.empty();
    return field.kind == JsonKind::String || field.kind == JsonKind::Missing || field.kind == JsonKind::Null;
}
}  // namespace

std::string StripTimeTags(const std::string& synced)
{
    std::string out;
    out.reserve(synced.size());
    std::size_t line = 0;
    while (line <= synced.size()) {
        std::size_t at = line;
        bool tagged = false;
        while (const std::size_t length = TimeTagLength(synced, at)) {
            at += length;
            tagged = true;
        }
        if (tagged && at < synced.size() && synced[at] == ' ') ++at;
        const std::size_t newline = synced.find('\n', at);
        if (newline == std::string::npos) {
            out.append(synced, at, std::string::npos);
            break;
        }
        out.append(synced, at, newline + 1 - at);
        line = newline + 1;
    }
    return out;
}

std::string ToCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

std::string LrclibLyricFromResponse(int status, const std::string& body)
{
    if (status != 200 || body.size() > kLrclibBodyMax) return std::string();
    JsonField fields[] = {JsonField("plainLyrics"), JsonField("syncedLyrics"), JsonField("instrumental")};
    if (!ReadJsonObject(body.data(), body.size(), fields, 3)) return std::string();
    const JsonField& plain = fields[0];
    const JsonField& synced = fields[1];
    const JsonField& instrumental = fields[2];

    bool hasPlain = false, hasSynced = false;
    if (!UsableText(plain, &hasPlain) || !UsableText(synced, &hasSynced)) return std::string();
    const JsonKind flag = instrumental.kind;
    if (flag != JsonKind::True && flag != JsonKind::False && flag != JsonKind::Null && flag != JsonKind::Missing)
        return std::string();

    if (hasPlain) return ToCrLf(plain.text);
    if (hasSynced) return ToCrLf(StripTimeTags(synced.text));
    if (flag == JsonKind::True) return "[Instrumental]";
    return std::string();
}
