#include "core/lyrics/SongNameCleaning.h"

#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// The patterns, in one place. Phrases are lower case and match whole words of
// the bracket's or suffix's text after LrclibNormalize.

// A part naming a guest: dropped wherever it stands. "with" counts in the
// artist, and in the title only inside brackets ("Dancing with Myself" stays).
const char* const kGuestWords[] = {"feat", "ft", "featuring"};
const char kWithWord[] = "with";

// Words naming another recording of the song: its lyric is usually the same,
// but may not be, so such a suffix is dropped only as a last resort.
const char* const kVersionWords[] = {"live", "acoustic", "remix", "rmx", "mix", "unplugged", "demo",
                                     "session", "sessions", "rehearsal", "reprise"};

// Words that name a release, an edit, an encoding or a copy, never other
// words to sing. A suffix made only of their words (and numbers, and bit
// rates such as "128kbps"), or holding one of the phrases of two words or
// more, is dropped. Checked after the version words, so "(Live Radio Edit)"
// stays a version.
const char* const kJunkPhrases[] = {"kbps", "kbit", "vbr", "cbr",
    "radio edit", "edit", "album version", "single version", "original version", "lp version", "version",
    "explicit", "clean", "dirty", "censored", "uncensored", "remaster", "remastered", "digitally remastered",
    "mono", "stereo", "bonus track", "bonus", "original mix", "official", "official video", "official audio",
    "video", "audio", "lyrics", "lyric", "hq", "hd", "high quality", "mp3", "copy", "full", "full song",
    "album", "single", "deluxe", "extended", "original", "new", "free download", "download"};

// A word ending like this, or beginning with "www." or "http", is a site's
// name: shared files are often signed with where they came from.
const char* const kSiteEndings[] = {".com", ".net", ".org", ".info", ".biz", ".ru", ".de", ".uk", ".fm",
                                    ".tk", ".to", ".cc", ".ws", ".us", ".eu", ".pl", ".ua"};

// A leading track number: "01 - ", "01. ", "1) ", "01_" or a zero-led
// "01 "; at most three digits, so "1979" and "99 Problems" stay.
const char kTrackNumberSeparators[] = "-.)_";
constexpr std::size_t kTrackNumberMaxDigits = 3;
// ---------------------------------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(const std::string& s)
{
    std::string out(s);
    for (char& c : out) c = Lower(c);
    return out;
}

bool EndsWith(const std::string& s, const char* suffix)
{
    const std::size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// Blanks collapsed to one ' ', and trimmed.
std::string Collapse(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    bool pendingBlank = false;
    for (char c : s) {
        if (IsBlank(c)) {
            pendingBlank = !out.empty();
        } else {
            if (pendingBlank) out.push_back(' ');
            pendingBlank = false;
            out.push_back(c);
        }
    }
    return out;
}

std::vector<std::string> Words(const std::string& normalised)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < normalised.size()) {
        std::size_t end = normalised.find(' ', at);
        if (end == std::string::npos) end = normalised.size();
        if (end > at) words.push_back(normalised.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

// True when wanted occurs as whole words, in a row, in words.
bool HasPhrase(const std::vector<std::string>& words, const std::vector<std::string>& wanted)
{
    if (wanted.empty() || wanted.size() > words.size()) return false;
    for (std::size_t i = 0; i + wanted.size() <= words.size(); ++i) {
        std::size_t k = 0;
        while (k < wanted.size() && words[i + k] == wanted[k]) ++k;
        if (k == wanted.size()) return true;
    }
    return false;
}

bool IsSiteWord(const std::string& word)
{
    const std::string w = LowerAscii(word);
    if (w.compare(0, 4, "www.") == 0 || w.compare(0, 7, "http://") == 0 || w.compare(0, 8, "https://") == 0)
        return true;
    for (const char* ending : kSiteEndings)
        if (w.size() > std::strlen(ending) + 1 && EndsWith(w, ending)) return true;
    return false;
}

bool HasSiteWord(const std::string& text)
{
    for (const std::string& word : Words(Collapse(text)))
        if (IsSiteWord(word)) return true;
    return false;
}

enum class SuffixKind { Keep, Version, Drop };

std::vector<std::vector<std::string>> Split(const char* const* phrases, std::size_t count)
{
    std::vector<std::vector<std::string>> out;
    for (std::size_t i = 0; i < count; ++i) out.push_back(Words(phrases[i]));
    return out;
}

// The tables as word lists, split once and never destroyed: a lookup left
// running on a thread when the process exits may still read them.
const std::vector<std::vector<std::string>>& kVersionSplit =
    *new std::vector<std::vector<std::string>>(Split(kVersionWords, sizeof kVersionWords / sizeof kVersionWords[0]));
const std::vector<std::vector<std::string>>& kJunkSplit =
    *new std::vector<std::vector<std::string>>(Split(kJunkPhrases, sizeof kJunkPhrases / sizeof kJunkPhrases[0]));

bool IsJunkWord(const std::string& word)
{
    if (word.find_first_not_of("0123456789") == std::string::npos || EndsWith(word, "kbps")) return true;
    for (const std::vector<std::string>& phrase : kJunkSplit)
        for (const std::string& w : phrase)
            if (w == word) return true;
    return false;
}

// What a bracket's or a " - " suffix's text is.
SuffixKind ClassifySuffix(const std::string& text)
{
    if (HasSiteWord(text)) return SuffixKind::Drop;
    const std::vector<std::string> words = Words(LrclibNormalize(text));
    if (words.empty()) return SuffixKind::Drop;
    for (const char* guest : kGuestWords)
        if (words[0] == guest && words.size() > 1) return SuffixKind::Drop;
    if (words[0] == kWithWord && words.size() > 1) return SuffixKind::Drop;
    for (const std::vector<std::string>& version : kVersionSplit)
        if (HasPhrase(words, version)) return SuffixKind::Version;
    bool allJunk = true;  // every word a digit run, a bit rate or part of a junk phrase
    for (const std::string& word : words) allJunk = allJunk && IsJunkWord(word);
    if (allJunk) return SuffixKind::Drop;
    for (const std::vector<std::string>& phrase : kJunkSplit)
        if (phrase.size() > 1 && HasPhrase(words, phrase)) return SuffixKind::Drop;
    return SuffixKind::Keep;
}

char ClosingOf(char open) { return open == '(' ? ')' : open == '[' ? ']' : open == '{' ? '}' : 0; }

// Removes bracket groups that are junk, guests or sites (and versions when
// dropVersions), wherever they stand; an unclosed bracket stays.
std::string DropBracketGroups(const std::string& s, bool dropVersions)
{
    std::string out;
    std::size_t at = 0;
    while (at < s.size()) {
        const char close = ClosingOf(s[at]);
        const std::size_t end = close ? s.find(close, at + 1) : std::string::npos;
        if (end == std::string::npos) {
            out.push_back(s[at++]);
            continue;
        }
        const SuffixKind kind = ClassifySuffix(s.substr(at + 1, end - at - 1));
        if (kind == SuffixKind::Drop || (kind == SuffixKind::Version && dropVersions)) {
            out.push_back(' ');
        } else {
            out.append(s, at, end + 1 - at);
        }
        at = end + 1;
    }
    return out;
}

// Cuts an unbracketed guest part: " feat. X", " ft X", " featuring X" (and
// " with X" in the artist) up to the next bracket or the end.
std::string DropGuestPart(const std::string& s, bool isArtist)
{
    const std::string lower = LowerAscii(s);
    std::vector<std::string> words(std::begin(kGuestWords), std::end(kGuestWords));
    if (isArtist) words.push_back(kWithWord);
    for (const std::string& word : words) {
        for (std::size_t at = lower.find(word); at != std::string::npos; at = lower.find(word, at + 1)) {
            if (at == 0 || !IsBlank(lower[at - 1])) continue;
            std::size_t after = at + word.size();
            if (after < lower.size() && lower[after] == '.') ++after;
            if (after >= lower.size() || !IsBlank(lower[after])) continue;
            // Something must follow: "Little Feat" is a band, not a guest part.
            const std::size_t guest = lower.find_first_not_of(" \t", after);
            if (guest == std::string::npos || ClosingOf(lower[guest])) continue;
            std::size_t end = lower.find_first_of("([{", guest);
            if (end == std::string::npos) end = lower.size();
            return s.substr(0, at) + " " + s.substr(end);
        }
    }
    return s;
}

std::string DropLeadingTrackNumber(const std::string& s)
{
    std::size_t at = 0;
    while (at < s.size() && IsBlank(s[at])) ++at;
    if (at < s.size() && (s[at] == '(' || s[at] == '[')) {
        std::size_t d = at + 1;
        while (d < s.size() && IsDigit(s[d])) ++d;
        if (d > at + 1 && d - at - 1 <= kTrackNumberMaxDigits && d < s.size() && s[d] == ClosingOf(s[at]))
            return s.substr(d + 1);
        return s;
    }
    std::size_t d = at;
    while (d < s.size() && IsDigit(s[d])) ++d;
    const std::size_t digits = d - at;
    if (digits == 0 || digits > kTrackNumberMaxDigits) return s;
    std::size_t rest = d;
    while (rest < s.size() && IsBlank(s[rest])) ++rest;
    bool numbered = false;
    if (rest < s.size() && std::strchr(kTrackNumberSeparators, s[rest])) {
        ++rest;
        // "1.5 Degrees" and "24-7" are names, not numbered tracks.
        numbered = rest < s.size() && !IsDigit(s[rest]);
    } else if (s[at] == '0' && digits >= 2 && rest > d) {
        numbered = true;
    }
    if (!numbered) return s;
    while (rest < s.size() && IsBlank(s[rest])) ++rest;
    return rest < s.size() ? s.substr(rest) : s;
}

std::string DropSiteWords(const std::string& s)
{
    std::string out;
    for (const std::string& word : Words(Collapse(s))) {
        if (IsSiteWord(word)) continue;
        if (!out.empty()) out.push_back(' ');
        out += word;
    }
    return out;
}

// Drops trailing " - <junk>" suffixes (and versions when dropVersions).
std::string DropDashSuffixes(std::string s, bool dropVersions)
{
    for (;;) {
        const std::size_t dash = s.rfind(" - ");
        if (dash == std::string::npos || dash == 0) return s;
        const SuffixKind kind = ClassifySuffix(s.substr(dash + 3));
        if (kind == SuffixKind::Keep || (kind == SuffixKind::Version && !dropVersions)) return s;
        s.erase(dash);
    }
}

// Blanks collapsed, and no separator dangling at either end.
std::string Tidy(const std::string& s)
{
    std::string out = Collapse(s);
    while (!out.empty() && (out.back() == '-' || out.back() == ' ' || out.back() == ',')) out.pop_back();
    std::size_t start = 0;
    while (start < out.size() && (out[start] == '-' || out[start] == ' ')) ++start;
    return out.substr(start);
}

std::string Clean(const std::string& text, bool isTitle, bool dropVersions)
{
    std::string s = text;
    for (char& c : s)
        if (c == '_') c = ' ';
    s = DropLeadingTrackNumber(Collapse(s));
    s = DropBracketGroups(s, dropVersions);
    s = DropGuestPart(s, !isTitle);
    s = DropSiteWords(s);
    if (isTitle) {
        // Suffixes peel from the end in turn: "Song - Copy (2)".
        std::string before;
        do {
            before = s;
            s = DropDashSuffixes(Tidy(DropBracketGroups(s, dropVersions)), dropVersions);
        } while (s != before);
    }
    s = Tidy(s);
    return s.empty() ? Tidy(text) : s;
}

// Each UTF-8 sequence: its code point and length (an invalid byte stands for itself, length 1).
unsigned DecodeUtf8(const std::string& s, std::size_t at, std::size_t* length)
{
    const unsigned char b = static_cast<unsigned char>(s[at]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || at + n > s.size()) {
        *length = 1;
        return 0xFFFFFFFF;
    }
    unsigned c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t i = 1; i < n; ++i) {
        const unsigned char t = static_cast<unsigned char>(s[at + i]);
        if ((t & 0xC0) != 0x80) {
            *length = 1;
            return 0xFFFFFFFF;
        }
        c = (c << 6) | (t & 0x3F);
    }
    static const unsigned kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[n]) {  // an overlong form stands for its bytes, never for ASCII
        *length = 1;
        return 0xFFFFFFFF;
    }
    *length = n;
    return c;
}

void AppendUtf8(unsigned c, std::string* out)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The base letters of U+00C0..U+00FF and U+0100..U+017F, lower case; '*'
// stands for a character without one (kept), and 'A', 'T', 'S', 'J', 'O' for
// "ae", "th", "ss", "ij", "oe".
const char kLatin1Fold[] = "aaaaaaAceeeeiiiidnooooo*ouuuuyTSaaaaaaAceeeeiiiidnooooo*ouuuuyTy";
const char kLatinAFold[] =
    "aaaaaa" "cccccccc" "dddd" "eeeeeeeeee" "gggggggg" "hhhh" "iiiiiiiiii" "JJ" "jj" "kkk" "llllllllll"
    "nnnnnnnnn" "oooooo" "OO" "rrrrrr" "ssssssss" "tttttt" "uuuuuuuuuuuu" "ww" "yyy" "zzzzzz" "s";
static_assert(sizeof kLatin1Fold == 0x40 + 1 && sizeof kLatinAFold == 0x80 + 1, "one letter per character");

const char* Expand(char c)
{
    switch (c) {
    case 'A': return "ae";
    case 'T': return "th";
    case 'S': return "ss";
    case 'J': return "ij";
    case 'O': return "oe";
    default: return nullptr;
    }
}

// "&" and "+" read as "and": LRCLIB's normalisation blanks them, so
// "Simon & Garfunkel" would otherwise differ from "Simon and Garfunkel".
std::string AndForAmpersand(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '&' || c == '+') out += " and ";
        else out.push_back(c);
    }
    return out;
}

// Normalised, with "&", "+" and a lone "n" ("Guns N' Roses") read as "and".
std::string KeyOf(const std::string& cleaned)
{
    std::string key;
    for (const std::string& word : Words(LrclibNormalize(AndForAmpersand(cleaned)))) {
        if (!key.empty()) key.push_back(' ');
        key += word == "n" ? "and" : word;
    }
    return key;
}

}  // namespace

std::string LrclibNormalize(const std::string& text)
{
    static const char kBlanked[] = "`~!@#$%^&*()_|+-=?;:\",.<>{}[]\\/";
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t length;
        unsigned c = DecodeUtf8(text, at, &length);
        if (c == 0xFFFFFFFF) {
            out.push_back(text[at]);
        } else if (c < 0x80) {
            const char a = Lower(static_cast<char>(c));
            if (a == '\'') {
                // removed
            } else if (a != 0 && std::strchr(kBlanked, a)) {
                out.push_back(' ');
            } else {
                out.push_back(a);
            }
        } else if (c == 0x2019) {
            // removed, as the straight apostrophe
        } else if ((c >= 0xC0 && c <= 0xFF) || (c >= 0x100 && c <= 0x17F)) {
            const char base = c <= 0xFF ? kLatin1Fold[c - 0xC0] : kLatinAFold[c - 0x100];
            if (base == '*') {
                AppendUtf8(c, &out);
            } else if (const char* pair = Expand(base)) {
                out += pair;
            } else {
                out.push_back(base);
            }
        } else {
            if (c >= 0x391 && c <= 0x3A9) c += 0x20;       // Greek capitals
            else if (c >= 0x410 && c <= 0x42F) c += 0x20;  // Cyrillic capitals
            else if (c >= 0x400 && c <= 0x40F) c += 0x50;  // Cyrillic capitals with marks
            if (length <= 3) AppendUtf8(c, &out);
            else out.append(text, at, length);
        }
        at += length;
    }
    return Collapse(out);
}

std::string CleanArtist(const std::string& artist)
{
    std::string s = Clean(artist, false, false);
    // "Police, The" as LRCLIB writes it: "The Police".
    if (s.size() > 5 && EndsWith(LowerAscii(s), ", the"))
        s = Tidy(s.substr(s.size() - 3) + " " + s.substr(0, s.size() - 5));
    // "and" as "&": LRCLIB blanks "&", so "Simon & Garfunkel" matches a request
    // written either way only when the request has "&".
    std::string out;
    const std::string lower = LowerAscii(s);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i > 0 && lower.compare(i, 5, " and ") == 0 && i + 5 < s.size()) {
            out += " & ";
            i += 4;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::string WithoutLeadingThe(const std::string& artist)
{
    return artist.size() > 4 && LowerAscii(artist.substr(0, 4)) == "the " ? artist.substr(4) : artist;
}

std::string CleanTitle(const std::string& title, bool dropVersions) { return Clean(title, true, dropVersions); }

std::string ArtistKey(const std::string& artist)
{
    std::string key = KeyOf(CleanArtist(artist));
    if (key.compare(0, 4, "the ") == 0) key.erase(0, 4);
    return key;
}

std::string TitleKey(const std::string& title, bool dropVersions)
{
    return KeyOf(CleanTitle(title, dropVersions));
}
