// LRCLIB's side of the lyric fetch without a network: the JSON reader, what
// an answer gives, the time tags, line ends, the request's encoding, the base
// URL, the choice of source, and the fetch's exception boundary.
#include "core/lyrics/Json.h"
#include "core/lyrics/LrclibAddress.h"
#include "core/lyrics/LrclibAnswer.h"
#include "core/lyrics/LrclibRequest.h"
#include "lyrics/net/FetchLyric.h"
#include "lyrics/net/LyricsSite.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "platform/CodePage.h"
#endif

#include <new>
#include <string>

namespace {
struct JsonCase {
    std::string text;
    bool valid;
    JsonKind plainKind;
    std::string plainText;
};

std::string Nested(int arrays)
{
    return "{\"a\":" + std::string(arrays, '[') + std::string(arrays, ']') + ",\"plainLyrics\":\"deep\"}";
}
}  // namespace

TEST(JsonReader, GrammarEscapesUtf8AndNesting)
{
    const JsonKind M = JsonKind::Missing, S = JsonKind::String;
    const JsonCase cases[] = {
        {"{}", true, M, ""},
        {" \t\r\n{ \"plainLyrics\" : \"a\" } \n", true, S, "a"},
        {R"({"plainLyrics":"\"\\\/\b\f\n\r\t\u00e9\u20AC\ud83c\udf19"})", true, S,
         "\"\\/\b\f\n\r\t\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8C\x99"},
        {"{\"plainLyrics\":\"caf\xC3\xA9 \xE5\xA4\x9C \xF0\x9F\x8C\x99\x7F\"}", true, S,
         "caf\xC3\xA9 \xE5\xA4\x9C \xF0\x9F\x8C\x99\x7F"},
        {R"({"plain\u004cyrics":"escaped name"})", true, S, "escaped name"},
        {R"({"plainLyrics":"first","plainLyrics":-12.5e+3})", true, JsonKind::Number, "-12.5e+3"},
        {R"({"x":[1,-0,0.5,2E-2,{"y":[true,false,null,{}],"plainLyrics":"nested"}],"plainLyrics":null})", true,
         JsonKind::Null, ""},
        {R"({"plainLyrics":[]})", true, JsonKind::Array, ""},
        {R"({"plainLyrics":{"a":1}})", true, JsonKind::Object, ""},
        {R"({"plainLyrics":true})", true, JsonKind::True, ""},
        {Nested(kJsonMaxDepth - 1), true, S, "deep"},
        {Nested(kJsonMaxDepth), false, M, ""},
        // Not an object, or not JSON at all.
        {"", false, M, ""}, {"[]", false, M, ""}, {"\"s\"", false, M, ""}, {"null", false, M, ""},
        {"{\"a\":1,}", false, M, ""}, {"{,}", false, M, ""}, {"{\"a\" 1}", false, M, ""},
        {"{\"a\":[1,]}", false, M, ""}, {"{'a':1}", false, M, ""}, {"{a:1}", false, M, ""},
        {"{\"a\":1} x", false, M, ""}, {"{\"a\":1}{}", false, M, ""}, {"{\"a\":1", false, M, ""},
        {"{\"a\":tru}", false, M, ""}, {"{\"a\":NaN}", false, M, ""}, {"{\"a\":Infinity}", false, M, ""},
        {"{\"a\":01}", false, M, ""}, {"{\"a\":1.}", false, M, ""}, {"{\"a\":.5}", false, M, ""},
        {"{\"a\":+1}", false, M, ""}, {"{\"a\":1e}", false, M, ""}, {"{\"a\":-}", false, M, ""},
        {"{\"a\":\"x}", false, M, ""}, {"{\"a\":\"\\q\"}", false, M, ""}, {"{\"a\":\"\\u12\"}", false, M, ""},
        {"{\"a\":\"\\u12G4\"}", false, M, ""}, {"{\"a\":\"tab\there\"}", false, M, ""},
        {std::string("{\"a\":\"nul\0\"}", 11), false, M, ""},
        // Surrogates must come in pairs.
        {R"({"a":"\ud800"})", false, M, ""}, {R"({"a":"\udc00\ud800"})", false, M, ""},
        {R"({"a":"\ud800\u0041"})", false, M, ""}, {R"({"a":"\ud800x"})", false, M, ""},
        // Bytes that are not UTF-8: a bad second byte, overlong forms, an
        // encoded surrogate, beyond U+10FFFF, cut short, a stray byte, a BOM.
        {"{\"a\":\"\xC3\x28\"}", false, M, ""}, {"{\"a\":\"\xC0\xAF\"}", false, M, ""},
        {"{\"a\":\"\xE0\x80\xAF\"}", false, M, ""}, {"{\"a\":\"\xED\xA0\x80\"}", false, M, ""},
        {"{\"a\":\"\xF4\x90\x80\x80\"}", false, M, ""}, {"{\"a\":\"\xE2\x82\"}", false, M, ""},
        {"{\"a\":\"\x80\"}", false, M, ""}, {"{\"a\":\"\xFF\"}", false, M, ""}, {"\xEF\xBB\xBF{}", false, M, ""},
    };
    for (const JsonCase& c : cases) {
        JsonField fields[] = {JsonField("plainLyrics"), JsonField("other")};
        const bool valid = ReadJsonObject(c.text.data(), c.text.size(), fields, 2);
        EXPECT_EQ(valid, c.valid) << c.text;
        if (!valid || !c.valid) continue;
        EXPECT_EQ(fields[0].kind, c.plainKind) << c.text;
        EXPECT_EQ(fields[0].text, c.plainText) << c.text;
        EXPECT_EQ(fields[1].kind, JsonKind::Missing) << c.text;
    }
}

TEST(LrclibAnswer, OutcomeOfEachExchange)
{
    const LyricOutcome F = LyricOutcome::Found, N = LyricOutcome::NotFound, C = LyricOutcome::CouldNotAsk;
    const std::string huge = "{\"plainLyrics\":\"" + std::string(kLrclibBodyMax, 'a') + "\"}";
    const std::string full = "{\"plainLyrics\":\"" + std::string(kLrclibBodyMax - 18, 'a') + "\"}";
    const long long now = 1700000000;  // Tue, 14 Nov 2023 22:13:20 GMT
    const struct {
        bool answered;
        int status;
        std::string body, retryAfter;
        LyricOutcome outcome;
        std::string lyric;
        int retry;
    } cases[] = {
        {true, 200, R"({"plainLyrics":"a\nb\r\nc\rd\n","syncedLyrics":"[00:01.00]x","instrumental":true})", "", F,
         "a\r\nb\r\nc\rd\r\n", 0},
        {true, 200, R"({"plainLyrics":"","syncedLyrics":"[ar:A]\n[00:01.00] x\n[00:02.00]y"})", "", F, "x\r\ny", 0},
        {true, 200, R"({"plainLyrics":null,"syncedLyrics":null,"instrumental":true})", "", F, "[Instrumental]", 0},
        {true, 200, R"({"plainLyrics":"  keep \t blanks  "})", "", F, "  keep \t blanks  ", 0},
        // A NUL is dropped, never a cut; a lyric of NULs alone is none.
        {true, 200, R"({"plainLyrics":"a\u0000b\nc"})", "", F, "ab\r\nc", 0},
        {true, 200, R"({"plainLyrics":"\u0000","syncedLyrics":"[00:01.00]s\u0000t"})", "", F, "st", 0},
        {true, 200, full, "", F, std::string(kLrclibBodyMax - 18, 'a'), 0},
        // Answered, and no lyric.
        {true, 404, R"({"code":404,"name":"TrackNotFound","plainLyrics":"no"})", "", N, "", 0},
        {true, 404, "", "", N, "", 0},
        {true, 200, R"({"plainLyrics":null,"syncedLyrics":null,"instrumental":false})", "", N, "", 0},
        {true, 200, R"({"id":1})", "", N, "", 0},
        {true, 200, R"({"syncedLyrics":"[ti:Only]\n[length: 3:00]"})", "", N, "", 0},
        // Everything else could not ask.
        {false, 0, "", "", C, "", 0},
        {false, 200, R"({"plainLyrics":"partial"})", "", C, "", 0},
        {true, 500, R"({"plainLyrics":"no"})", "", C, "", 0},
        {true, 201, R"({"plainLyrics":"no"})", "", C, "", 0},
        {true, 302, "", "", C, "", 0},
        {true, 407, "", "", C, "", 0},
        {true, 429, "", "7", C, "", 7},
        {true, 503, "", "Tue, 14 Nov 2023 22:14:20 GMT", C, "", 60},
        {true, 429, "", "", C, "", 0},
        {true, 500, "", "30", C, "", 0},  // only 429 and 503 are read for a wait
        {true, 200, R"({"plainLyrics":5,"syncedLyrics":"[00:01.00]x"})", "", C, "", 0},
        {true, 200, R"({"plainLyrics":"x","syncedLyrics":["y"]})", "", C, "", 0},
        {true, 200, R"({"plainLyrics":"x","instrumental":"true"})", "", C, "", 0},
        {true, 200, R"([{"plainLyrics":"x"}])", "", C, "", 0},
        {true, 200, R"({"plainLyrics":"x")", "", C, "", 0},
        {true, 200, "<html>captive portal</html>", "", C, "", 0},
        {true, 200, "{\"plainLyrics\":\"caf\xE9\"}", "", C, "", 0},
        {true, 200, huge, "", C, "", 0},
    };
    for (const auto& c : cases) {
        HttpExchange exchange;
        exchange.answered = c.answered;
        exchange.status = c.status;
        exchange.body = c.body;
        exchange.retryAfter = c.retryAfter;
        exchange.reason = c.answered ? "" : "connect refused";
        const LyricResult r = LrclibResultFromExchange(exchange, now);
        const std::string what = std::to_string(c.status) + " " + c.body.substr(0, 80);
        EXPECT_EQ(r.outcome, c.outcome) << what;
        EXPECT_EQ(r.lyric, c.lyric) << what;
        EXPECT_EQ(r.retryAfterSeconds, c.retry) << what;
        EXPECT_EQ(r.reason.empty(), c.outcome != C) << what << ": " << r.reason;
    }
}

TEST(LrclibAnswer, RetryAfterSecondsOrDate)
{
    const long long now = 784111777;  // Sun, 06 Nov 1994 08:49:37 GMT
    const std::pair<const char*, int> cases[] = {
        {"120", 120}, {" 0 ", 0}, {"86400", 86400}, {"86401", 86400}, {"99999999999999999999", 86400},
        {"Sun, 06 Nov 1994 08:50:37 GMT", 60}, {"Sunday, 06-Nov-94 08:51:37 GMT", 120}, {"Sun Nov  6 08:52:37 1994", 180},
        {"Mon, 07 Nov 1994 08:49:37 GMT", 86400}, {"Sun, 06 Nov 1994 08:49:36 GMT", 0},  // a day ahead; past
        {"Thu, 01 Jan 1970 00:00:00 GMT", 0}, {"Wed, 29 Feb 1995 08:50:37 GMT", 0},       // past; no such day
        {"", 0}, {"-5", 0}, {"1.5", 0}, {"soon", 0}, {"Sun, 06 Nov 1994 08:50:37", 0}, {"Sun, 06 Nov 1994 8:50:37 GMT", 0},
        {"Sun, 06 Foo 1994 08:50:37 GMT", 0}, {"Sun, 06 Nov 1994 24:00:00 GMT", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseRetryAfter(c.first, now), c.second) << c.first;
}

TEST(LrclibAnswer, SyncedLyricCleaningAndLineEnds)
{
    const std::pair<std::string, std::string> synced[] = {
        {"[00:12.34] one\n[01:02]two\n[1:02:03]  three\n[123:45.6]x", "one\ntwo\n three\nx"},
        {"[00:01.00][00:30.00] both\n[00:02.00]\n[00:03.00] ", "both\n\n"},
        {"[0:2] short\n[00:2] short\n[00:123] long\n[aa:bb] words\n[00:01.] dot\n[00:01.5",
         "[0:2] short\n[00:2] short\n[00:123] long\n[aa:bb] words\n[00:01.] dot\n[00:01.5"},
        {"mid [00:01.00] line\r\n[00:02.00] crlf\r\n", "mid [00:01.00] line\r\ncrlf\r\n"},
        {"[chorus] [00:01.00] x", "[chorus] [00:01.00] x"},
        // Header lines go with their line ends, in any case, blanks after them too.
        {"[ar:Some One]\n[ti:A Song]\r\n[al:X]\n[by:me]\n[offset:+250]\n[length: 03:20]\n[re:tool]\n[VE:1.0] \n"
         "[00:01.00]first",
         "first"},
        {"[ar:A] trailing text\n[xx:y]\n[ar:A]x]\n[00:01.00]ok", "[ar:A] trailing text\n[xx:y]\nok"},
        // Word stamps anywhere, and the blank that would double.
        {"[00:01.00]<00:01.00> Keep <00:01.50> the <00:02.00>engine<00:02.40>\n", "Keep the engine\n"},
        {"[00:01.00] Wo<00:01.20>rd <1:2> <00:03.xx> <00:04.00>", "Word <1:2> <00:03.xx> "},
        {"", ""},
    };
    for (const auto& t : synced) EXPECT_EQ(CleanSyncedLyric(t.first), t.second) << t.first;

    const std::pair<std::string, std::string> ends[] = {
        {"a\nb", "a\r\nb"}, {"a\r\nb", "a\r\nb"}, {"\n\n", "\r\n\r\n"}, {"a\rb\r", "a\rb\r"}, {"\r\r\n", "\r\r\n"},
    };
    for (const auto& e : ends) EXPECT_EQ(ToCrLf(e.first), e.second);
}

TEST(LrclibRequest, EveryByteButTheUnreservedIsPercentEncoded)
{
    EXPECT_EQ(PercentEncode("AZaz09-._~"), "AZaz09-._~");
    EXPECT_EQ(PercentEncode(" &+/?#%'=;\"\\"), "%20%26%2B%2F%3F%23%25%27%3D%3B%22%5C");
    EXPECT_EQ(PercentEncode("\xC3\xA9\xE2\x82\xAC\x7F"), "%C3%A9%E2%82%AC%7F");
    EXPECT_EQ(PercentEncode(std::string("\0\x01", 2)), "%00%01");
    EXPECT_EQ(LrclibRequestPath("AC/DC & Co", "T\xC3\xA9 #1?"),
              "/api/get?artist_name=AC%2FDC%20%26%20Co&track_name=T%C3%A9%20%231%3F");
    EXPECT_STREQ(kLrclibUserAgent, "Songlark/2.25");
}

TEST(LrclibAddress, BaseUrlsAndTheSetting)
{
    const struct {
        const char* text;
        bool secure;
        const char* host;
        unsigned short port;
        const char* prefix;
    } accepted[] = {
        {"https://lrclib.net", true, "lrclib.net", 443, ""},
        {"http://127.0.0.1:8080", false, "127.0.0.1", 8080, ""},
        {"HTTPS://Lyrics.Example:8443/", true, "Lyrics.Example", 8443, ""},
        {"http://my_host-1", false, "my_host-1", 80, ""},
        {" \thttps://lrclib.net \r\n", true, "lrclib.net", 443, ""},
        {"https://host/lrclib", true, "host", 443, "/lrclib"},
        {"http://host:81/a/b-c.d_e~f%2F/", false, "host", 81, "/a/b-c.d_e~f%2F"},
    };
    for (const auto& c : accepted) {
        LrclibAddress address;
        ASSERT_TRUE(ParseLrclibUrl(c.text, &address)) << c.text;
        EXPECT_EQ(address.secure, c.secure) << c.text;
        EXPECT_EQ(address.host, c.host) << c.text;
        EXPECT_EQ(address.port, c.port) << c.text;
        EXPECT_EQ(address.pathPrefix, c.prefix) << c.text;
        EXPECT_EQ(LrclibAddressFromSetting(c.text).unusable, "") << c.text;
    }
    const char* refused[] = {
        "lrclib.net", "ftp://lrclib.net", "https://", "https:///", "https://lrclib.net?x", "https://lrclib.net/a?x",
        "https://lrclib.net#x", "https://lrclib.net/a#x", "https://user@lrclib.net", "https://[::1]:80",
        "https://lrclib.net:0", "https://lrclib.net:65536", "https://lrclib.net:", "https://lrclib.net:8a",
        "https://lrc lib.net", "https://lrclib.net/a b", "https://lrclib.net\r\nX: y", "https://lrclib.net//",
        "https://lrclib.net/a//b", "https://lrclib.net/%2", "https://lrclib.net/%zz", "https://lrclib.net/\xC3\xA9",
        "https://lrclib.net:443:1/x", "https:// lrclib.net",
    };
    for (const char* text : refused) {
        LrclibAddress address;
        address.host = "untouched";
        EXPECT_FALSE(ParseLrclibUrl(text, &address)) << text;
        EXPECT_EQ(address.host, "untouched") << text;
        EXPECT_NE(LrclibAddressFromSetting(text).unusable, "") << text;
    }
    for (const char* absent : {"", "  ", "\t\r\n", kBuiltInLrclibUrl}) {
        const LrclibAddress address = LrclibAddressFromSetting(absent);
        EXPECT_EQ(address.unusable, "") << absent;
        EXPECT_EQ(address.host, LrclibAddress().host) << "the default address is the built-in URL";
        EXPECT_EQ(address.pathPrefix, "");
    }
}

TEST(LyricsSource, LrclibUnlessAClassicSiteIsNamed)
{
    SetLyricsSite("");
    SetLrclibUrl("");
    LyricsSource source = GetLyricsSource();
    EXPECT_FALSE(source.bLyricsSite);
    EXPECT_TRUE(source.lrclib.secure);
    EXPECT_EQ(source.lrclib.host, "lrclib.net");
    EXPECT_EQ(source.lrclib.port, 443);

    SetLrclibUrl("http://127.0.0.1:9/lrclib ");
    EXPECT_EQ(GetLyricsSource().lrclib.port, 9);
    EXPECT_EQ(GetLyricsSource().lrclib.pathPrefix, "/lrclib");
    // An unusable URL asks nobody, the built-in server least of all.
    SetLrclibUrl("http://127.0.0.1:9/a?b");
    const LyricResult unusable = FetchLyric("Some Artist", "A Song");
    EXPECT_EQ(unusable.outcome, LyricOutcome::CouldNotAsk);
    EXPECT_NE(unusable.reason.find("LrclibUrl"), std::string::npos) << unusable.reason;
    SetLrclibUrl("");

    SetLyricsSite("127.0.0.1:8080");
    source = GetLyricsSource();
    EXPECT_TRUE(source.bLyricsSite);
    EXPECT_EQ(source.site.port, 8080);
    SetLyricsSite("bad:port");
    source = GetLyricsSource();
    EXPECT_TRUE(source.bLyricsSite) << "a site named, even badly, keeps songs away from LRCLIB";
    EXPECT_EQ(source.site.host, kBuiltInLyricsHost);
    SetLyricsSite("");
}

TEST(FetchBoundary, AThrowingFetchCouldNotAsk)
{
    EXPECT_EQ(LyricOrCouldNotAsk([]() -> LyricResult { throw std::bad_alloc(); }).outcome, LyricOutcome::CouldNotAsk);
    EXPECT_EQ(LyricOrCouldNotAsk([] { return LyricResult::Found("words"); }).lyric, "words");
}

#ifdef _WIN32
TEST(CodePage, NoLookAlikesInALegacyCodePageAndUtf8KeptAsItIs)
{
    // a-macron and infinity have best-fit look-alikes in 1252 ('a', '8'); the
    // moon is beyond U+FFFF.
    const std::string text = "\xC4\x81 \xE2\x88\x9E \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8C\x99";
    const struct {
        unsigned codePage;
        std::string utf8;
        bool ok;
        std::string out;
    } cases[] = {
        {1252, text, true, "? ? \xE9 \x80 ?"},
        {65001, text, true, text},
        {1252, "caf\xE9", false, ""},
        {65001, "caf\xE9", false, ""},
        {65001, std::string("a\0b", 3), true, std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(Utf8ToCodePage(c.utf8, c.codePage, &out), c.ok) << c.codePage << " " << c.utf8;
        if (c.ok) {
            EXPECT_EQ(out, c.out) << c.codePage << " " << c.utf8;
        }
    }
}
#endif
