#include "core/lyrics/LrclibChoice.h"

#include "core/lyrics/LrclibAnswer.h"
#include "core/lyrics/SongNameCleaning.h"

#include <cstdlib>
#include <tuple>

namespace {

// A JSON number's literal as milliseconds, or 0 when it is not a plausible
// length (negative, an exponent, over a day).
int LengthMs(const std::string& literal)
{
    long long whole = 0, fraction = 0, scale = 1;
    std::size_t i = 0;
    for (; i < literal.size() && literal[i] >= '0' && literal[i] <= '9'; ++i) {
        whole = whole * 10 + (literal[i] - '0');
        if (whole > 86400) return 0;
    }
    if (i == 0) return 0;
    if (i < literal.size() && literal[i] == '.') {
        for (++i; i < literal.size() && literal[i] >= '0' && literal[i] <= '9'; ++i)
            if (scale < 1000) fraction = fraction * 10 + (literal[i] - '0'), scale *= 10;
    }
    if (i != literal.size()) return 0;
    return static_cast<int>(whole * 1000 + fraction * 1000 / scale);
}

std::string TextOf(const JsonField& field) { return field.kind == JsonKind::String ? field.text : std::string(); }

struct Keys {
    std::string artist, title, titleWithoutVersion;
};

Keys KeysOf(const std::string& artist, const std::string& title)
{
    return Keys{ArtistKey(artist), TitleKey(title, false), TitleKey(title, true)};
}

// True when one artist is the other's leader: "bob marley" and "bob marley
// and the wailers". A band named "X and the Y" is X's band; any other longer
// name is another artist ("simon" is not "simon and garfunkel").
bool LeaderOf(const std::string& leader, const std::string& band)
{
    return band.size() > leader.size() + 9 && band.compare(0, leader.size(), leader) == 0 &&
           band.compare(leader.size(), 9, " and the ") == 0;
}

// 0 exact, 1 the artist's leader, 2 last resort, 3 both; -1 no agreement.
int Agreement(const Keys& file, const Keys& record)
{
    if (file.artist.empty() || file.title.empty()) return -1;
    int artist;
    if (file.artist == record.artist) artist = 0;
    else if (LeaderOf(file.artist, record.artist) || LeaderOf(record.artist, file.artist)) artist = 1;
    else return -1;
    if (file.title == record.title) return artist;
    const bool recordHasVersion = record.title != record.titleWithoutVersion;
    if (!recordHasVersion && file.titleWithoutVersion == record.title) return 2 + artist;
    return -1;
}

}  // namespace

bool ReadLrclibRecord(const std::string& objectText, LrclibRecord* out)
{
    JsonField fields[] = {JsonField("id"),       JsonField("trackName"), JsonField("artistName"),
                          JsonField("albumName"), JsonField("duration"),  JsonField("syncedLyrics")};
    if (!ReadJsonObject(objectText.data(), objectText.size(), fields, 6)) return false;
    const std::string& id = fields[0].text;
    const bool plainId = fields[0].kind == JsonKind::Number && !id.empty() && id.size() <= 19 &&
                         id.find_first_not_of("0123456789") == std::string::npos;
    out->id = plainId ? id : std::string();
    out->trackName = TextOf(fields[1]);
    out->artistName = TextOf(fields[2]);
    out->albumName = TextOf(fields[3]);
    out->durationMs = fields[4].kind == JsonKind::Number ? LengthMs(fields[4].text) : 0;
    out->synced = fields[5].kind == JsonKind::String && !fields[5].text.empty();
    // The same rules as a /api/get answer: a search element is the same object.
    out->lyric = LrclibLyricFromResponse(200, objectText);
    return true;
}

bool ReadLrclibSearchAnswer(const std::string& body, std::vector<LrclibRecord>* out)
{
    out->clear();
    std::vector<JsonSpan> spans;
    if (!ReadJsonArrayOfObjects(body.data(), body.size(), &spans)) return false;
    for (const JsonSpan& span : spans) {
        LrclibRecord record;
        if (!ReadLrclibRecord(body.substr(span.offset, span.length), &record)) return false;
        out->push_back(std::move(record));
    }
    return true;
}

bool LengthsMayAgree(int fileMs, int recordMs)
{
    return fileMs <= 0 || recordMs <= 0 || std::abs(fileMs - recordMs) <= kLengthToleranceSeconds * 1000;
}

int ChooseLrclibRecord(const std::vector<LrclibRecord>& records, const FileSong& song)
{
    std::vector<Keys> fileKeys;
    for (const NamePair& pair : song.pairs) fileKeys.push_back(KeysOf(pair.artist, pair.title));
    const Keys swapped = KeysOf(song.swapped.artist, song.swapped.title);
    const std::string album = LrclibNormalize(song.album);

    using Rank = std::tuple<int, int, bool, bool, bool, std::size_t, std::string>;
    int best = -1;
    Rank bestRank;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const LrclibRecord& record = records[i];
        const Keys keys = KeysOf(record.artistName, record.trackName);
        int agreement = -1;
        for (const Keys& file : fileKeys) {
            const int a = Agreement(file, keys);
            if (a >= 0 && (agreement < 0 || a < agreement)) agreement = a;
        }
        if (agreement < 0) {
            const int a = Agreement(swapped, keys);
            if (a >= 0) agreement = 4 + a;
        }
        if (agreement < 0) continue;

        if (!LengthsMayAgree(song.durationMs, record.durationMs)) continue;
        int lengthClass = 1;  // unknown
        if (song.durationMs > 0 && record.durationMs > 0)
            lengthClass = std::abs(song.durationMs - record.durationMs) <= kLengthCloseSeconds * 1000 ? 0 : 2;
        const bool albumDiffers = album.empty() || LrclibNormalize(record.albumName) != album;
        const Rank rank(agreement, lengthClass, record.lyric.empty(), !record.synced, albumDiffers, record.id.size(),
                        record.id);
        if (best < 0 || rank < bestRank) {
            best = static_cast<int>(i);
            bestRank = rank;
        }
    }
    return best;
}
