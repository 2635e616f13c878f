#include "core/lyrics/LrclibAnswer.h"

#include "core/lyrics/LrclibRequest.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t CountDigits(const std::string& text, std::size_t at)
{
    std::size_t n = 0;
    while (at + n < text.size() && IsDigit(text[at + n])) ++n;
    return n;
}

// Length of the stamp at text[at] between open and close ("[01:02.34]" or
// "<01:02.34>"), or 0 when there is none.
std::size_t StampLength(const std::string& text, std::size_t at, char open, char close)
{
    std::size_t i = at;
    if (i >= text.size() || text[i] != open) return 0;
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
    if (i >= text.size() || text[i] != close) return 0;
    return i + 1 - at;
}

// A line that is one LRC header tag such as "[ar:Someone]", blanks after it.
bool IsHeaderLine(const std::string& text, std::size_t begin, std::size_t end)
{
    static const char* const kNames[] = {"ar", "ti", "al", "by", "offset", "length", "re", "ve"};
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) --end;
    if (end - begin < 4 || text[begin] != '[' || text[end - 1] != ']') return false;
    for (const char* name : kNames) {
        const std::size_t n = std::strlen(name);
        if (begin + 1 + n >= end || text[begin + 1 + n] != ':') continue;
        bool same = true;
        for (std::size_t i = 0; i < n && same; ++i) same = LowerAscii(text[begin + 1 + i]) == name[i];
        if (same) return true;
    }
    return false;
}

std::string WithoutNul(const std::string& text)
{
    std::string out = text;
    out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
    return out;
}

// True when the member is a string, null or absent (a usable shape); *text
// is the string's value without NUL characters.
bool TextMember(const JsonField& field, std::string* text)
{
    text->clear();
    if (field.kind == JsonKind::String) *text = WithoutNul(field.text);
    return field.kind == JsonKind::String || field.kind == JsonKind::Missing || field.kind == JsonKind::Null;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

bool ReadNumber(const std::string& text, std::size_t digits, int* value)
{
    if (text.size() != digits && !(digits == 0 && !text.empty() && text.size() <= 4)) return false;
    *value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return false;
        *value = *value * 10 + (c - '0');
    }
    return true;
}

bool ReadMonth(const std::string& text, int* month)
{
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int i = 0; i < 12; ++i)
        if (text == kMonths[i]) {
            *month = i + 1;
            return true;
        }
    return false;
}

bool ReadClock(const std::string& text, int* seconds)
{
    int h = 0, m = 0, s = 0;
    if (text.size() != 8 || text[2] != ':' || text[5] != ':' || !ReadNumber(text.substr(0, 2), 2, &h) ||
        !ReadNumber(text.substr(3, 2), 2, &m) || !ReadNumber(text.substr(6, 2), 2, &s) || h > 23 || m > 59 || s > 60)
        return false;
    *seconds = h * 3600 + m * 60 + s;
    return true;
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ') ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

// An HTTP date in any of its three forms, as Unix seconds.
bool ReadHttpDate(const std::string& text, long long* unixSeconds)
{
    std::vector<std::string> w = Words(text);
    int day = 0, month = 0, year = 0, clock = 0;
    if (w.size() == 6 && w[0].size() == 4 && w[0][3] == ',' && w[5] == "GMT") {  // Sun, 06 Nov 1994 08:49:37 GMT
        if (!ReadNumber(w[1], 2, &day) || !ReadMonth(w[2], &month) || !ReadNumber(w[3], 4, &year) ||
            !ReadClock(w[4], &clock))
            return false;
    } else if (w.size() == 4 && w[0].back() == ',' && w[3] == "GMT") {  // Sunday, 06-Nov-94 08:49:37 GMT
        if (w[1].size() != 9 || w[1][2] != '-' || w[1][6] != '-' || !ReadNumber(w[1].substr(0, 2), 2, &day) ||
            !ReadMonth(w[1].substr(3, 3), &month) || !ReadNumber(w[1].substr(7, 2), 2, &year) ||
            !ReadClock(w[2], &clock))
            return false;
        year += year < 70 ? 2000 : 1900;
    } else if (w.size() == 5 && w[0].size() == 3) {  // Sun Nov  6 08:49:37 1994
        if (!ReadMonth(w[1], &month) || w[2].size() > 2 || !ReadNumber(w[2], 0, &day) || !ReadClock(w[3], &clock) ||
            !ReadNumber(w[4], 4, &year))
            return false;
    } else {
        return false;
    }
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day < 1 || day > kDays[month - 1] || (month == 2 && day == 29 && !leap)) return false;
    *unixSeconds = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 + clock;
    return true;
}

std::string Trimmed(const std::string& text)
{
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
}
}  // namespace

int ParseRetryAfter(const std::string& text, long long nowUnixSeconds)
{
    const std::string value = Trimmed(text);
    if (value.empty()) return 0;
    if (CountDigits(value, 0) == value.size()) {
        long long seconds = 0;
        for (char c : value) seconds = std::min<long long>(seconds * 10 + (c - '0'), kRetryAfterMaxSeconds);
        return static_cast<int>(seconds);
    }
    long long when = 0;
    if (!ReadHttpDate(value, &when)) return 0;
    return static_cast<int>(std::max<long long>(0, std::min<long long>(when - nowUnixSeconds, kRetryAfterMaxSeconds)));
}

std::string CleanSyncedLyric(const std::string& synced)
{
    std::string out;
    out.reserve(synced.size());
    std::size_t line = 0;
    while (line < synced.size()) {
        std::size_t newline = synced.find('\n', line);
        const std::size_t lineEnd = newline == std::string::npos ? synced.size() : newline + 1;
        const std::size_t textEnd = newline == std::string::npos ? synced.size() : newline;
        if (IsHeaderLine(synced, line, textEnd)) {
            line = lineEnd;
            continue;
        }
        std::size_t at = line;
        bool tagged = false;
        while (const std::size_t length = StampLength(synced, at, '[', ']')) {
            at += length;
            tagged = true;
        }
        if (tagged && at < textEnd && synced[at] == ' ') ++at;
        const std::size_t lineStart = out.size();
        while (at < lineEnd) {
            if (const std::size_t length = StampLength(synced, at, '<', '>')) {
                at += length;
                const bool afterBlank = out.size() == lineStart || out.back() == ' ';
                if (afterBlank && at < textEnd && synced[at] == ' ') ++at;
                continue;
            }
            out.push_back(synced[at++]);
        }
        line = lineEnd;
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

LyricResult LrclibResultFromRecord(const JsonField& plain, const JsonField& synced, const JsonField& instrumental)
{
    std::string plainText, syncedText;
    if (!TextMember(plain, &plainText) || !TextMember(synced, &syncedText))
        return LyricResult::CouldNotAsk("a lyric member of the wrong type");
    const JsonKind flag = instrumental.kind;
    if (flag != JsonKind::True && flag != JsonKind::False && flag != JsonKind::Null && flag != JsonKind::Missing)
        return LyricResult::CouldNotAsk("\"instrumental\" of the wrong type");

    if (!plainText.empty()) return LyricResult::Found(ToCrLf(plainText));
    syncedText = CleanSyncedLyric(syncedText);
    if (!syncedText.empty()) return LyricResult::Found(ToCrLf(syncedText));
    if (flag == JsonKind::True) return LyricResult::Found("[Instrumental]");
    return LyricResult::NotFound();
}

bool LrclibAnswerWithoutBody(const HttpExchange& exchange, long long nowUnixSeconds, LyricResult* outcome)
{
    const int status = exchange.status;
    if (!exchange.answered)
        *outcome = LyricResult::CouldNotAsk(exchange.reason.empty() ? "no answer" : exchange.reason);
    else if (status == 404)
        *outcome = LyricResult::NotFound();
    else if (status == 429 || status == 503)
        *outcome = LyricResult::CouldNotAsk("status " + std::to_string(status),
                                            ParseRetryAfter(exchange.retryAfter, nowUnixSeconds));
    else if (status != 200)
        *outcome = LyricResult::CouldNotAsk("status " + std::to_string(status));
    else if (exchange.body.size() > kLrclibBodyMax)
        *outcome = LyricResult::CouldNotAsk("answer over 1 MiB");
    else
        return false;
    return true;
}

LyricResult LrclibResultFromExchange(const HttpExchange& exchange, long long nowUnixSeconds)
{
    LyricResult outcome;
    if (LrclibAnswerWithoutBody(exchange, nowUnixSeconds, &outcome)) return outcome;
    JsonField fields[] = {JsonField("plainLyrics"), JsonField("syncedLyrics"), JsonField("instrumental")};
    if (!ReadJsonObject(exchange.body.data(), exchange.body.size(), fields, 3))
        return LyricResult::CouldNotAsk("answer is not a JSON object in UTF-8");
    return LrclibResultFromRecord(fields[0], fields[1], fields[2]);
}

LyricResult LrclibResultFromExchange(const HttpExchange& exchange)
{
    return LrclibResultFromExchange(exchange, static_cast<long long>(std::time(nullptr)));
}

std::string LrclibLyricFromResponse(int status, const std::string& body)
{
    HttpExchange exchange;
    exchange.answered = true;
    exchange.status = status;
    exchange.body = body;
    LyricResult result = LrclibResultFromExchange(exchange, 0);
    return result.outcome == LyricOutcome::Found ? result.lyric : std::string();
}
