// Finding the right LRCLIB record for a messy download: the cleaning of names,
// the choice among records, and the lookup's requests over a fake transport.
#include "core/lyrics/Json.h"
#include "core/lyrics/LrclibChoice.h"
#include "core/lyrics/LrclibLookup.h"
#include "core/lyrics/SongNameCleaning.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

struct CleanCase {
    bool title;  // else artist
    std::string in, out, lastResort;  // lastResort: the title with versions dropped ("" = same as out)
};

TEST(SongNameCleaning, StripsWhatDownloadsAddAndKeepsTheName)
{
    const CleanCase cases[] = {
        // Track numbers, and names that only look numbered.
        {true, "01 - Mr. Brightside", "Mr. Brightside", ""},
        {true, "07. Hey Ya!", "Hey Ya!", ""},
        {true, "03 Yellow", "Yellow", ""},
        {true, "[12] Creep", "Creep", ""},
        {true, "99 Problems", "99 Problems", ""},
        {true, "1979", "1979", ""},
        {true, "1-800-273-8255", "1-800-273-8255", ""},
        {false, "50 Cent", "50 Cent", ""},
        {false, "02 - Coldplay", "Coldplay", ""},
        // Underscores and blanks.
        {true, "Smells_Like__Teen_Spirit ", "Smells Like Teen Spirit", ""},
        // Guests, in either field; "with" only as the artist's or in brackets.
        {false, "Eminem feat. Rihanna", "Eminem", ""},
        {false, "Daft Punk ft Pharrell Williams", "Daft Punk", ""},
        {false, "Santana featuring Rob Thomas", "Santana", ""},
        {false, "Tom Petty with Stevie Nicks", "Tom Petty", ""},
        {false, "Little Feat", "Little Feat", ""},
        // Written as LRCLIB's records mostly are.
        {false, "Police , The", "The Police", ""},
        {false, "Hall and Oates", "Hall & Oates", ""},
        {true, "Smooth (feat. Rob Thomas)", "Smooth", ""},
        {true, "Stan ft. Dido (Remix)", "Stan (Remix)", "Stan"},
        {true, "Dancing with Myself", "Dancing with Myself", ""},
        {true, "Under Pressure (with David Bowie)", "Under Pressure", ""},
        // Junk suffixes go, versions stay until the last resort, the rest stays.
        {true, "Wonderwall (Remastered 2009) [Explicit]", "Wonderwall", ""},
        {true, "Hey Jude - Remastered 2015", "Hey Jude", ""},
        {true, "Creep (Radio Edit) (128kbps)", "Creep", ""},
        {true, "Numb (Album Version)", "Numb", ""},
        {true, "Layla (Acoustic) (Live)", "Layla (Acoustic) (Live)", "Layla"},
        {true, "Hurt - Live", "Hurt - Live", "Hurt"},
        {true, "(I Can't Get No) Satisfaction", "(I Can't Get No) Satisfaction", ""},
        {true, "Song 2 (Instrumental)", "Song 2 (Instrumental)", ""},
        {true, "Love - The Best", "Love - The Best", ""},
        // Copies and sites.
        {true, "Yellow - Copy (2)", "Yellow", ""},
        {true, "Yellow (1)", "Yellow", ""},
        {true, "Clocks [www.mp3-site.com]", "Clocks", ""},
        {true, "Clocks - www.mp3site.net", "Clocks", ""},
        {false, "Coldplay (musicbox.ru)", "Coldplay", ""},
        // Nothing but junk: the input stays rather than nothing.
        {true, "(Live)", "(Live)", "(Live)"},
        {true, "  ", "", ""},
    };
    for (const CleanCase& c : cases) {
        SCOPED_TRACE(c.in);
        if (c.title) {
            EXPECT_EQ(CleanTitle(c.in, false), c.out);
            EXPECT_EQ(CleanTitle(c.in, true), c.lastResort.empty() ? c.out : c.lastResort);
        } else {
            EXPECT_EQ(CleanArtist(c.in), c.out);
        }
    }
}

TEST(SongNameCleaning, NormalisesAsLrclibDoesAndKeysArtistsLoosely)
{
    const std::pair<std::string, std::string> normalised[] = {
        {"  Mr. Brightside!! ", "mr brightside"},
        {"Don't Stop Me Now", "dont stop me now"},
        {"Don\xE2\x80\x99t", "dont"},
        {"Beyonc\xC3\xA9 & Bj\xC3\xB6rk / Sigur R\xC3\xB3s", "beyonce bjork sigur ros"},
        {"Stra\xC3\x9F" "e \xC5\x81\xC3\xB3" "d\xC5\xBA \xC3\x86on", "strasse lodz aeon"},
        {"\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE", "\xD0\xBA\xD0\xB8\xD0\xBD\xD0\xBE"},  // Кино
        {"x\xC0\x80y", "x\xC0\x80y"},  // an overlong form is no blank
    };
    for (const auto& c : normalised) EXPECT_EQ(LrclibNormalize(c.first), c.second) << c.first;

    EXPECT_EQ(ArtistKey("The Killers"), ArtistKey("killers"));
    EXPECT_EQ(ArtistKey("Beatles, The"), ArtistKey("The Beatles"));
    EXPECT_EQ(TitleKey("Rock & Roll", false), TitleKey("Rock and Roll", false));
    EXPECT_EQ(ArtistKey("Simon & Garfunkel"), ArtistKey("Simon and Garfunkel"));
    EXPECT_EQ(ArtistKey("Guns N' Roses"), ArtistKey("Guns and Roses"));
    EXPECT_EQ(ArtistKey("Eminem feat. Dido"), ArtistKey("EMINEM"));
    EXPECT_NE(ArtistKey("Killers Tribute Band"), ArtistKey("The Killers"));
}

TEST(JsonArrayOfObjects, GivesEachElementOrRefusesTheWhole)
{
    std::vector<JsonSpan> spans;
    const std::string text = " [ {\"id\":1} ,{\"a\":[{}]}]\n";
    ASSERT_TRUE(ReadJsonArrayOfObjects(text.data(), text.size(), &spans));
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(text.substr(spans[0].offset, spans[0].length), "{\"id\":1}");
    EXPECT_EQ(text.substr(spans[1].offset, spans[1].length), "{\"a\":[{}]}");
    ASSERT_TRUE(ReadJsonArrayOfObjects("[]", 2, &spans));
    EXPECT_TRUE(spans.empty());
    for (const std::string bad : {"", "{}", "[1]", "[{},]", "[{}] x", "[{}", "[{},null]", "[{\"a\":\"\xC0\x80\"}]"})
        EXPECT_FALSE(ReadJsonArrayOfObjects(bad.data(), bad.size(), &spans)) << bad;
}

std::string Record(int id, const std::string& artist, const std::string& title, double seconds,
                   const std::string& plain = "words", const std::string& synced = "", const std::string& album = "")
{
    return "{\"id\":" + std::to_string(id) + ",\"trackName\":\"" + title + "\",\"artistName\":\"" + artist +
           "\",\"albumName\":\"" + album + "\",\"duration\":" + std::to_string(seconds) +
           ",\"instrumental\":false,\"plainLyrics\":" + (plain.empty() ? "null" : "\"" + plain + "\"") +
           ",\"syncedLyrics\":" + (synced.empty() ? "null" : "\"" + synced + "\"") + "}";
}

struct ChoiceCase {
    const char* what;
    NamePair file;
    int durationMs;
    std::vector<std::string> records;
    std::string chosenId;  // "" = none
    NamePair swapped = {};
    std::string album = "";
};

TEST(LrclibChoice, TakesTheSameSongOrNothing)
{
    const ChoiceCase cases[] = {
        {"same title by another artist", {"The Killers", "Mr. Brightside"}, 0,
         {Record(1, "Killers Tribute", "Mr. Brightside", 222), Record(2, "Killers", "Mr Brightside", 222)}, "2"},
        {"only another artist", {"Coldplay", "Yellow"}, 0, {Record(1, "Yellow Tribute", "Yellow", 266)}, ""},
        {"live and remix decoys", {"Coldplay", "Clocks"}, 307000,
         {Record(1, "Coldplay", "Clocks (Live)", 307), Record(2, "Coldplay", "Clocks - Remix", 307),
          Record(3, "Coldplay", "Clocks", 308)},
         "3"},
        {"only versions of a studio file", {"Coldplay", "Clocks"}, 0, {Record(1, "Coldplay", "Clocks (Live)", 307)}, ""},
        {"a live file takes its own version first", {"Coldplay", "Clocks (Live)"}, 0,
         {Record(1, "Coldplay", "Clocks", 307), Record(2, "Coldplay", "Clocks (Live)", 330)}, "2"},
        {"a live file may take the studio lyric last", {"Coldplay", "Clocks (Live)"}, 0,
         {Record(1, "Coldplay", "Clocks", 307)}, "1"},
        {"within 2 s beats lyric and id", {"Oasis", "Wonderwall"}, 258000,
         {Record(1, "Oasis", "Wonderwall", 262, "w", "[00:01.00] w"), Record(9, "Oasis", "Wonderwall", 259)}, "9"},
        {"over 10 s off is another recording", {"Oasis", "Wonderwall"}, 258000,
         {Record(1, "Oasis", "Wonderwall", 269)}, ""},
        {"unknown length: lyric, then synced, then lowest id", {"Oasis", "Wonderwall"}, 0,
         {Record(1, "Oasis", "Wonderwall", 258, ""), Record(5, "Oasis", "Wonderwall", 258),
          Record(7, "Oasis", "Wonderwall", 258, "w", "[00:01.00] w"), Record(6, "Oasis", "Wonderwall", 258, "w", "s")},
         "6"},
        {"album breaks a tie", {"Oasis", "Wonderwall"}, 0,
         {Record(3, "Oasis", "Wonderwall", 258, "w", "", "Stop the Clocks"),
          Record(4, "Oasis", "Wonderwall", 258, "w", "", "(What's the Story) Morning Glory?")},
         "4", {}, "(What's The Story) Morning Glory"},
        {"&, The and a guest part agree", {"Simon & Garfunkel feat. X", "The Boxer"}, 0,
         {Record(4, "Simon and Garfunkel", "The Boxer", 300)}, "4"},
        {"a band named after its leader agrees, ranked after the artist himself", {"Bob Marley", "Is This Love"}, 0,
         {Record(1, "Bob Marley & The Wailers", "Is This Love", 230), Record(2, "Bob Marley", "Is This Love", 230)},
         "2"},
        {"a longer name is another artist", {"Simon", "The Boxer"}, 0,
         {Record(1, "Simon & Garfunkel", "The Boxer", 300), Record(2, "Simon and the Boxers", "Boxer", 300)}, ""},
        {"a swapped name agrees only when offered", {"Mr. Brightside", "The Killers"}, 0,
         {Record(1, "The Killers", "Mr. Brightside", 222)}, ""},
        {"swapped, offered", {"Mr. Brightside", "The Killers"}, 0, {Record(1, "The Killers", "Mr. Brightside", 222)},
         "1", {"The Killers", "Mr. Brightside"}},
        {"empty names agree with nothing", {"", ""}, 0, {Record(1, "", "", 1)}, ""},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string body = "[";
        for (const std::string& r : c.records) body += (body.size() > 1 ? "," : "") + r;
        body += "]";
        std::vector<LrclibRecord> records;
        ASSERT_TRUE(ReadLrclibSearchAnswer(body, &records));
        FileSong song;
        song.pairs.push_back(c.file);
        song.swapped = c.swapped;
        song.album = c.album;
        song.durationMs = c.durationMs;
        const int chosen = ChooseLrclibRecord(records, song);
        EXPECT_EQ(chosen < 0 ? std::string() : records[chosen].id, c.chosenId);
    }
}

// A stand-in transport: answers by the path's exact text, else as LRCLIB
// answers what it lacks (404 to /api/get, an empty array to /api/search).
struct FakeLrclib {
    std::map<std::string, HttpExchange> answers;
    HttpExchange operator()(const std::string& path) const
    {
        auto it = answers.find(path);
        if (it != answers.end()) return it->second;
        HttpExchange none;
        none.answered = true;
        const bool search = path.compare(0, 12, "/api/search?") == 0;
        none.status = search ? 200 : 404;
        none.body = search ? "[]" : "{\"code\":404}";
        return none;
    }
};

HttpExchange Answer(int status, const std::string& body, const std::string& retryAfter = "")
{
    HttpExchange e;
    e.answered = true;
    e.status = status;
    e.body = body;
    e.retryAfter = retryAfter;
    return e;
}

HttpExchange NoAnswer(const std::string& why)
{
    HttpExchange e;
    e.reason = why;
    return e;
}

struct LookupCase {
    const char* what;
    songlark::SongFacts song;
    std::map<std::string, HttpExchange> answers;
    std::vector<std::string> expectedPaths;
    LyricOutcome outcome;
    std::string id;
    int retryAfter = 0;
};

songlark::SongFacts Facts(const std::string& artist, const std::string& title, int durationMs = 0, bool fromName = true)
{
    songlark::SongFacts s;
    s.artist = artist;
    s.title = title;
    if (fromName) s.nameArtist = artist, s.nameTitle = title;
    s.durationMs = durationMs;
    return s;
}

TEST(LrclibLookup, AsksAtMostFourTimesAndStopsWhenItCannotAsk)
{
    const std::string killers = Record(11, "The Killers", "Mr. Brightside", 222);
    const std::string getRaw = "/api/get?artist_name=The%20Killers&track_name=01%20-%20Mr.%20Brightside%20%28Live%29";
    const std::string getClean = "/api/get?artist_name=The%20Killers&track_name=Mr.%20Brightside%20%28Live%29";
    const std::string search = "/api/search?track_name=Mr.%20Brightside%20%28Live%29&artist_name=Killers";
    const std::string q = "/api/search?q=Killers%20Mr.%20Brightside";
    const LookupCase cases[] = {
        {"found at once, with the length sent",
         Facts("The Killers", "Mr. Brightside", 222400),
         {{"/api/get?artist_name=The%20Killers&track_name=Mr.%20Brightside&duration=222", Answer(200, killers)}},
         {"/api/get?artist_name=The%20Killers&track_name=Mr.%20Brightside&duration=222"},
         LyricOutcome::Found, "11"},
        {"every step in turn, the last resort finding it",
         Facts("The Killers", "01 - Mr. Brightside (Live)"),
         {{search, Answer(200, "[" + Record(3, "Killers Tribute", "Mr. Brightside (Live)", 222) + "]")},
          {q, Answer(200, "[" + killers + "]")}},
         {getRaw, getClean, search, q}, LyricOutcome::Found, "11"},
        {"nothing agrees: not found after four",
         Facts("The Killers", "01 - Mr. Brightside (Live)"),
         {{q, Answer(200, "[" + Record(3, "Killers Tribute", "Mr. Brightside", 222) + "]")}},
         {getRaw, getClean, search, q}, LyricOutcome::NotFound, ""},
        {"a swapped name found by q",
         Facts("Mr. Brightside", "The Killers"),
         {{"/api/search?q=Mr.%20Brightside%20The%20Killers", Answer(200, "[" + killers + "]")}},
         {"/api/get?artist_name=Mr.%20Brightside&track_name=The%20Killers",
          "/api/search?track_name=The%20Killers&artist_name=Mr.%20Brightside",
          "/api/search?q=Mr.%20Brightside%20The%20Killers"},
         LyricOutcome::Found, "11"},
        {"a swapped tag is never read the other way",
         Facts("Mr. Brightside", "The Killers", 0, false),
         {{"/api/search?q=Mr.%20Brightside%20The%20Killers", Answer(200, "[" + killers + "]")}},
         {"/api/get?artist_name=Mr.%20Brightside&track_name=The%20Killers",
          "/api/search?track_name=The%20Killers&artist_name=Mr.%20Brightside",
          "/api/search?q=Mr.%20Brightside%20The%20Killers"},
         LyricOutcome::NotFound, ""},
        {"a 429 ends the lookup with its wait",
         Facts("The Killers", "01 - Mr. Brightside (Live)"),
         {{getClean, Answer(429, "", "120")}}, {getRaw, getClean}, LyricOutcome::CouldNotAsk, "", 120},
        {"no answer ends it", Facts("The Killers", "Mr. Brightside"),
         {{"/api/get?artist_name=The%20Killers&track_name=Mr.%20Brightside", NoAnswer("timed out")}},
         {"/api/get?artist_name=The%20Killers&track_name=Mr.%20Brightside"}, LyricOutcome::CouldNotAsk, ""},
        {"a search answer that is not an array ends it", Facts("The Killers", "Mr. Brightside"),
         {{"/api/search?track_name=Mr.%20Brightside&artist_name=Killers", Answer(200, "<html>")}},
         {"/api/get?artist_name=The%20Killers&track_name=Mr.%20Brightside",
          "/api/search?track_name=Mr.%20Brightside&artist_name=Killers"},
         LyricOutcome::CouldNotAsk, ""},
        {"a record without a lyric is no find", Facts("The Killers", "Mr. Brightside"),
         {{"/api/get?artist_name=The%20Killers&track_name=Mr.%20Brightside",
           Answer(200, Record(11, "The Killers", "Mr. Brightside", 222, ""))}},
         {"/api/get?artist_name=The%20Killers&track_name=Mr.%20Brightside",
          "/api/search?track_name=Mr.%20Brightside&artist_name=Killers", q},
         LyricOutcome::NotFound, ""},
        {"/api/get's record needs no names, only a length that may agree", Facts("Coldplay", "Yellow", 266000),
         {{"/api/get?artist_name=Coldplay&track_name=Yellow&duration=266", Answer(200, "{\"plainLyrics\":\"words\"}")}},
         {"/api/get?artist_name=Coldplay&track_name=Yellow&duration=266"}, LyricOutcome::Found, ""},
        {"no title: nothing asked", Facts("The Killers", ""), {}, {}, LyricOutcome::NotFound, ""},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeLrclib fake{c.answers};
        std::vector<std::string> sent;
        const LrclibLookupResult r = LookUpLrclib(c.song, [&](const std::string& path) {
            sent.push_back(path);
            return fake(path);
        });
        EXPECT_EQ(sent, c.expectedPaths);
        ASSERT_EQ(r.requests.size(), sent.size());
        EXPECT_LE(sent.size(), static_cast<std::size_t>(kLrclibMaxRequests));
        EXPECT_EQ(r.result.outcome, c.outcome);
        EXPECT_EQ(r.recordId, c.id);
        EXPECT_EQ(r.result.retryAfterSeconds, c.retryAfter);
        EXPECT_EQ(r.result.lyric, c.outcome == LyricOutcome::Found ? "words" : "");
    }
}

}  // namespace
