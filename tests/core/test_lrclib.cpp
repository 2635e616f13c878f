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

TEST(LrclibAnswer, WhichMemberGivesTheLyric)
{
    const std::string huge = "{\"plainLyrics\":\"" + std::string(kLrclibBodyMax, 'a') + "\"}";
    const struct {
        int status;
        std::string body;
        std::string lyric;
    } cases[] = {
        {200, R"({"plainLyrics":"a\nb\r\nc\rd\n","syncedLyrics":"[00:01.00]x","instrumental":true})",
         "a\r\nb\r\nc\rd\r\n"},
        {200, R"({"plainLyrics":"","syncedLyrics":"[00:01.00] x\n[00:02.00]y"})", "x\r\ny"},
        {200, R"({"plainLyrics":null,"syncedLyrics":null,"instrumental":true})", "[Instrumental]"},
        {200, R"({"plainLyrics":"","syncedLyrics":"","instrumental":true})", "[Instrumental]"},
        {200, R"({"plainLyrics":null,"syncedLyrics":null,"instrumental":false})", ""},
        {200, R"({"id":1})", ""},
        {200, R"({"plainLyrics":"  keep \t blanks  "})", "  keep \t blanks  "},
        // Any other status, whatever the body says.
        {404, R"({"code":404,"name":"TrackNotFound","plainLyrics":"no"})", ""},
        {500, R"({"plainLyrics":"no"})", ""},
        {201, R"({"plainLyrics":"no"})", ""},
        // A member of the wrong type spoils the answer.
        {200, R"({"plainLyrics":5,"syncedLyrics":"[00:01.00]x"})", ""},
        {200, R"({"plainLyrics":"x","syncedLyrics":["y"]})", ""},
        {200, R"({"plainLyrics":"x","instrumental":"true"})", ""},
        {200, R"({"plainLyrics":null,"instrumental":1})", ""},
        // Not a JSON object, not UTF-8, too large.
        {200, R"([{"plainLyrics":"x"}])", ""},
        {200, R"({"plainLyrics":"x")", ""},
        {200, "{\"plainLyrics\":\"caf\xE9\"}", ""},
        {200, huge, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LrclibLyricFromResponse(c.status, c.body), c.lyric) << c.status << " " << c.body.substr(0, 80);
    const std::string full = "{\"plainLyrics\":\"" + std::string(kLrclibBodyMax - 18, 'a') + "\"}";
    ASSERT_EQ(full.size(), kLrclibBodyMax);
    EXPECT_EQ(LrclibLyricFromResponse(200, full).size(), kLrclibBodyMax - 18) << "exactly the cap is fine";
}

TEST(LrclibAnswer, TimeTagsAtLineStartsAndLineEnds)
{
    const std::pair<std::string, std::string> tags[] = {
        {"[00:12.34] one\n[01:02]two\n[1:02:03]  three\n[123:45.6]x", "one\ntwo\n three\nx"},
        {"[00:01.00][00:30.00] both\n[00:02.00]\n[00:03.00] ", "both\n\n"},
        {"[0:2] short\n[00:2] short\n[00:123] long\n[aa:bb] words\n[00:01.] dot\n[00:01.5", 
         "[0:2] short\n[00:2] short\n[00:123] long\n[aa:bb] words\n[00:01.] dot\n[00:01.5"},
        {"mid [00:01.00] line\r\n[00:02.00] crlf\r\n", "mid [00:01.00] line\r\ncrlf\r\n"},
        {"[chorus] [00:01.00] x", "[chorus] [00:01.00] x"},
        {"", ""},
    };
    for (const auto& t : tags) EXPECT_EQ(StripTimeTags(t.first), t.second) << t.first;

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

TEST(LrclibAddress, BaseUrls)
{
    const struct {
        const char* text;
        bool secure;
        const char* host;
        unsigned short port;
    } accepted[] = {
        {"https://lrclib.net", true, "lrclib.net", 443},
        {"http://127.0.0.1:8080", false, "127.0.0.1", 8080},
        {"HTTPS://Lyrics.Example:8443/", true, "Lyrics.Example", 8443},
        {"http://my_host-1", false, "my_host-1", 80},
    };
    for (const auto& c : accepted) {
        LrclibAddress address;
        ASSERT_TRUE(ParseLrclibUrl(c.text, &address)) << c.text;
        EXPECT_EQ(address.secure, c.secure) << c.text;
        EXPECT_EQ(address.host, c.host) << c.text;
        EXPECT_EQ(address.port, c.port) << c.text;
    }
    const char* refused[] = {
        "", "lrclib.net", "ftp://lrclib.net", "https://", "https:///", "https://lrclib.net/api",
        "https://lrclib.net?x", "https://lrclib.net#x", "https://user@lrclib.net", "https://[::1]:80",
        "https://lrclib.net:0", "https://lrclib.net:65536", "https://lrclib.net:", "https://lrclib.net:8a",
        "https://lrc lib.net", "https://lrclib.net\r\nX: y", "https://lrclib.net//",
    };
    for (const char* text : refused) {
        LrclibAddress address;
        address.host = "untouched";
        EXPECT_FALSE(ParseLrclibUrl(text, &address)) << text;
        EXPECT_EQ(address.host, "untouched") << text;
    }
    LrclibAddress builtIn;
    builtIn.host.clear();
    ASSERT_TRUE(ParseLrclibUrl(kBuiltInLrclibUrl, &builtIn));
    EXPECT_EQ(builtIn.host, LrclibAddress().host) << "the default address is the built-in URL";
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

    SetLrclibUrl("http://127.0.0.1:9");
    EXPECT_EQ(GetLyricsSource().lrclib.port, 9);
    SetLrclibUrl("http://127.0.0.1/path");
    EXPECT_EQ(GetLyricsSource().lrclib.host, "lrclib.net") << "an unusable URL is the built-in one";

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
