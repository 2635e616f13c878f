// Request formatting, site text, and the scraping of the two pages, with the
// responses handed over by a fake fetch instead of a network.
#include "core/lyrics/Entities.h"
#include "core/lyrics/HttpRequest.h"
#include "core/lyrics/LyricsSiteAddress.h"
#include "core/lyrics/Scraper.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {
// Serves responses by path like HttpGet would: the bytes, then a zero.
struct FakeSite {
    std::map<std::string, std::string> pages;
    std::vector<std::string> requested;
    std::string failPath;  // this request fails as if the connection did

    LyricResult Lyric(const char* artist, const char* title)
    {
        return ScrapeLyric(LyricsSiteAddress(), artist, title,
                           [this](const char*, unsigned short, const char* path, char* buffer, int capacity,
                                  int* received) {
                               requested.push_back(path);
                               if (path == failPath) return false;
                               const std::string& page = pages[path];
                               *received = static_cast<int>(std::min<std::size_t>(page.size(), capacity - 1));
                               std::memcpy(buffer, page.data(), static_cast<std::size_t>(*received));
                               buffer[*received] = '\0';
                               return true;
                           });
    }
};

std::string Decoded(std::string text)
{
    DecodeEntities(&text[0]);
    return text;
}

std::string Cut(std::string page)
{
    std::size_t begin = 0, end = 0;
    if (!CutLyric(&page[0], page.size(), &begin, &end)) return "(none)";
    return page.substr(begin, end - begin);
}

std::string SongPath(std::string page, const char* title)
{
    std::string pattern, path;
    EXPECT_TRUE(MakeTitlePattern(title, &pattern));
    return FindSongPagePath(&page[0], page.size(), pattern, &path) ? path : "(none)";
}
}  // namespace

TEST(HttpRequest, TemplateLimitsAndControlBytes)
{
    char out[kHttpRequestBufferSize];
    ASSERT_EQ(FormatHttpRequest("h.example", "/p", out), 111 + 2 + 9);
    EXPECT_STREQ(out, "GET /p HTTP/1.0\r\nHost: h.example\r\nAccept: text/html; \r\n"
                      "User-Agent: Mozilla/4.0 (compatible; MSIE 5.01; Windows NT 5.0)\r\n\r\n");
    const std::string host255(255, 'h');
    EXPECT_EQ(FormatHttpRequest(host255.c_str(), "/", out), 111 + 1 + 255);
    EXPECT_EQ(FormatHttpRequest((host255 + "h").c_str(), "/", out), -1);
    EXPECT_EQ(FormatHttpRequest(host255.c_str(), std::string(912 - 255, 'p').c_str(), out), 1023);
    EXPECT_EQ(FormatHttpRequest(host255.c_str(), std::string(913 - 255, 'p').c_str(), out), -1);
    for (const char* bad : {"\r", "\n", "\x01", "\t", "\x1f", "\x7f"}) {
        EXPECT_EQ(FormatHttpRequest("h", (std::string("/a") + bad).c_str(), out), -1) << int(bad[0]);
        EXPECT_EQ(FormatHttpRequest((std::string("h") + bad).c_str(), "/", out), -1) << int(bad[0]);
    }
    EXPECT_GT(FormatHttpRequest("h", "/a b\x80\x92\xff", out), 0);
}

TEST(LyricsSiteText, HostAndOptionalPort)
{
    LyricsSiteAddress site;
    ASSERT_TRUE(ParseLyricsSite("", &site));
    EXPECT_EQ(site.host, kBuiltInLyricsHost);
    EXPECT_EQ(site.port, 80);
    ASSERT_TRUE(ParseLyricsSite("127.0.0.1:8081", &site));
    EXPECT_EQ(site.host, "127.0.0.1");
    EXPECT_EQ(site.port, 8081);
    ASSERT_TRUE(ParseLyricsSite("lyrics.test", &site));
    EXPECT_EQ(site.port, 80);
    ASSERT_TRUE(ParseLyricsSite("h:65535", &site));
    for (const std::string& bad : std::vector<std::string>{"h:", ":80", "h:0", "h:65536", "h:8o", "h:-1", "h:000080", "h\r\n:80",
                                  std::string(256, 'h')}) {
        EXPECT_FALSE(ParseLyricsSite(bad, &site)) << bad;
        EXPECT_EQ(site.host, "h");  // untouched
    }
}

TEST(ScraperPaths, SlugPathAndTitlePattern)
{
    std::string s;
    ASSERT_TRUE(MakeSongListPath("Night Owls", &s));
    EXPECT_EQ(s, "/n/night-owls/songs.html");
    ASSERT_TRUE(MakeSongListPath(" Lead", &s));
    EXPECT_EQ(s, "/-/-lead/songs.html");
    ASSERT_TRUE(MakeSongListPath("AC.D'C & \xC9t\xE9", &s));  // nothing escaped, only ASCII lowered
    EXPECT_EQ(s, "/a/ac.d'c-&-\xC9t\xE9/songs.html");
    ASSERT_TRUE(MakeTitlePattern("Don't Stop", &s));
    EXPECT_EQ(s, "title=\"don\x92t stop lyric");
    EXPECT_TRUE(MakeSongListPath(std::string(255, 'a').c_str(), &s));
    EXPECT_FALSE(MakeSongListPath(std::string(256, 'a').c_str(), &s));
    EXPECT_TRUE(MakeTitlePattern(std::string(242, 't').c_str(), &s));
    EXPECT_FALSE(MakeTitlePattern(std::string(243, 't').c_str(), &s));
}

TEST(ScraperSongList, LinkFoundByTitleAttribute)
{
    const std::string link = "<a href=\"/n/night-owls/blue-hour.html\" title=\"Blue Hour Lyrics\">Blue Hour</a>";
    EXPECT_EQ(SongPath("<a href=\"/\">Home</a><br>" + link, "Blue Hour"), "/n/night-owls/blue-hour.html");
    // First of two wins; the first quoted value is taken, whatever attribute it is.
    EXPECT_EQ(SongPath("<a href=\"/one.html\" title=\"Blue Hour Lyrics\"> " + link, "Blue Hour"), "/one.html");
    EXPECT_EQ(SongPath("<a class=\"song\" href=\"/b.html\" title=\"Blue Hour Lyrics\">", "Blue Hour"), "song");
    // The page is lowered first: capitals match, and the path comes out lowered.
    EXPECT_EQ(SongPath("<A HREF=\"/N/Blue.HTML\" TITLE=\"BLUE HOUR LYRICS\">", "blue hour"), "/n/blue.html");
    EXPECT_EQ(SongPath("<a href=\"/d.html\" title=\"Don\x92t Stop Lyrics\">", "Don't Stop"), "/d.html");
    EXPECT_EQ(SongPath("<a href=\"/d.html\" title=\"Don't Stop Lyrics\">", "Don't Stop"), "(none)");
    EXPECT_EQ(SongPath("<b href=\"/d.html\" title=\"Blue Hour Lyrics\">", "Blue Hour"), "(none)");
    EXPECT_EQ(SongPath("<a href=/d.html title=\"Blue Hour Lyrics\">", "Blue Hour"), "blue hour lyrics");
    EXPECT_EQ(SongPath("<a href=/d.html title=\"Blue Hour Lyrics>", "Blue Hour"), "(none)");
    EXPECT_EQ(SongPath("<a href=/d.html title=\"blue hour lyric", "Blue Hour"), "(none)");
    EXPECT_EQ(SongPath(std::string("<a href=\"/d.html\"\0 title=\"Blue Hour Lyrics\">", 43), "Blue Hour"), "(none)");
}

TEST(ScraperSongPage, LyricBetweenLineBreaks)
{
    EXPECT_EQ(Cut("<div>one<br>two<br>three<br>four</div>"), "one  \r\ntwo  \r\nthree  \r\nfour");
    EXPECT_EQ(Cut("<div>one<br>two<br>three</div>"), "(none)");
    // A lone break first, then the run of three; the page's own line ends stay.
    EXPECT_EQ(Cut("<p>x<br>y</p><i>a<br>\nb<br>\nc<br>\n</i>"), "a  \r\n\nb  \r\n\nc  \r\n\n");
    EXPECT_EQ(Cut("<p>a<BR>b<br/>c<br>d<br>e</p>"), "(none)");
    EXPECT_EQ(Cut("a<br>b<br>c<br>d"), "a  \r\nb  \r\nc  \r\nd");  // no '>' before: from the first byte
    EXPECT_EQ(Cut("<p>a<br>b<br>c<br"), "(none)");                  // '<' too close to the end
    EXPECT_EQ(Cut("<p>a<br>b<br>c<br>d<b"), "a  \r\nb  \r\nc  \r\nd<b");
    EXPECT_EQ(Cut("<p>a<br>b<br>c<br>it&#39;s 1 < 2</p>"), "a  \r\nb  \r\nc  \r\nit'    s 1 ");
}

TEST(ScraperEntities, KnownUnknownAndBare)
{
    EXPECT_EQ(Decoded("don&#39;t"), "don'    t");
    EXPECT_EQ(Decoded("&amp;lt;"), "&    lt;");
    EXPECT_EQ(Decoded("a&nbsp;b"), "a      b");
    EXPECT_EQ(Decoded("rock & roll; yes &amp;"), "rock         yes &    ");
    EXPECT_EQ(Decoded("&quot;a & b &lt;"), "\"     a" + std::string(9, ' '));  // the bare '&' takes "&lt;" too
    EXPECT_EQ(Decoded("&#65;&#032;&#34;&"), std::string(16, ' ') + "&");
    // Every numeric entry is the character of its code; the named ones as HTML has them.
    const int codes[] = {35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55,
                         56, 57, 58, 59, 60, 61, 62, 63, 64, 91, 92, 93, 94, 95, 96, 123, 124, 125, 126, 127};
    for (int code : codes) {
        const std::string entity = "&#" + std::to_string(code) + ";";
        EXPECT_EQ(Decoded(entity), std::string(1, char(code)) + std::string(entity.size() - 1, ' '));
    }
    EXPECT_EQ(Decoded("&quot;&amp;&lt;&gt;"), "\"     &    <   >   ");
    char shortText[] = "&am";
    EXPECT_FALSE(ReplaceEntity(shortText, "&amp;", '&'));
    EXPECT_STREQ(shortText, "&am");
}

TEST(ScraperFetch, TwoRequestsAndEachOutcome)
{
    const LyricOutcome F = LyricOutcome::Found, N = LyricOutcome::NotFound, C = LyricOutcome::CouldNotAsk;
    const std::string list = "<a href=\"/n/b.html\" title=\"Blue Hour Lyrics\"><a href=\"/n/x\ty\" title=\"Tab Lyrics\">";
    const std::string song = "<div>x&amp;y<br>b<br>c<br></div>";
    const std::string tooLong(256, 'n');
    const struct {
        std::string listPage, songPage, failPath;
        const char* artist;
        const char* title;
        LyricOutcome outcome;
        std::size_t requests;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\n\r\n" + list, "HTTP/1.1 200 OK\r\n\r\n" + song, "", "Night Owls", "Blue Hour", F, 2},
        // Nothing to ask, or the site answers that it has no such song.
        {"", "", "", "", "Blue Hour", N, 0},
        {"", "", "", "Night Owls", "", N, 0},
        {"", "", "", tooLong.c_str(), "Blue Hour", N, 0},
        {"HTTP/1.0 200 OK\r\n\r\n" + list, "", "", "Night Owls", "Red Hour", N, 1},
        {"HTTP/1.0 404 Not Found\r\n\r\n" + list, "", "", "Night Owls", "Blue Hour", N, 1},
        {"HTTP/1.0 200 OK\r\n\r\n" + list, "HTTP/1.0 404 Not Found\r\n\r\n" + song, "", "Night Owls", "Blue Hour", N, 2},
        {"HTTP/1.0 200 OK\r\n\r\n" + list, "HTTP/1.0 200 OK\r\n\r\n<p>no breaks</p>", "", "Night Owls", "Blue Hour", N, 2},
        {"HTTP/1.0 200 OK\r\n\r\n" + list, "", "", "Night Owls", "Tab", N, 1},  // a link that would not be sent
        // No usable answer.
        {"HTTP/1.0 200 OK\r\n\r\n" + list, "", "/n/night-owls/songs.html", "Night Owls", "Blue Hour", C, 1},
        {"HTTP/1.0 200 OK\r\n\r\n" + list, "HTTP/1.0 200 OK\r\n\r\n" + song, "/n/b.html", "Night Owls", "Blue Hour", C, 2},
        {"", "", "", "Night Owls", "Blue Hour", C, 1},
        {list, "", "", "Night Owls", "Blue Hour", C, 1},
        {"HTTP/1.0 500 Internal Server Error\r\n\r\n" + list, "", "", "Night Owls", "Blue Hour", C, 1},
        {"HTTP/1.0 200 OK\r\n\r\n" + list, "HTTP/1.0 302 Found\r\n\r\n" + song, "", "Night Owls", "Blue Hour", C, 2},
        {"HTTP/1.0 200 OK\r\n\r\n" + list, "HTTP/1.0 20x OK\r\n\r\n" + song, "", "Night Owls", "Blue Hour", C, 2},
    };
    for (const auto& c : cases) {
        FakeSite site;
        site.pages["/n/night-owls/songs.html"] = c.listPage;
        site.pages["/n/b.html"] = c.songPage;
        site.failPath = c.failPath;
        const LyricResult r = site.Lyric(c.artist, c.title);
        const std::string what = c.listPage.substr(0, 24) + " / " + c.songPage.substr(0, 24) + " / " + c.title;
        EXPECT_EQ(r.outcome, c.outcome) << what;
        EXPECT_EQ(r.lyric, c.outcome == F ? "x&    y  \r\nb  \r\nc  \r\n" : "") << what;
        EXPECT_EQ(site.requested.size(), c.requests) << what;
    }
}
