#include "core/lyrics/LrclibLookup.h"

#include "core/lyrics/LrclibAnswer.h"
#include "core/lyrics/LrclibChoice.h"
#include "core/lyrics/LrclibRequest.h"
#include "core/lyrics/SongNameCleaning.h"

#include <ctime>
#include <utility>

namespace {

std::string GetPath(const NamePair& pair, int durationMs)
{
    std::string path = LrclibRequestPath(pair.artist, pair.title);
    // LRCLIB takes 1 to 3600 s; rounded, its 2 s window still holds the record.
    const int seconds = (durationMs + 500) / 1000;
    if (seconds >= 1 && seconds <= 3600) path += "&duration=" + std::to_string(seconds);
    return path;
}

NamePair Cleaned(const NamePair& pair) { return NamePair{CleanArtist(pair.artist), CleanTitle(pair.title, false)}; }

bool SameSong(const NamePair& a, const NamePair& b)
{
    return ArtistKey(a.artist) == ArtistKey(b.artist) && TitleKey(a.title, false) == TitleKey(b.title, false);
}

enum class Step { Nothing, Found, CouldNotAsk };

class Lookup {
public:
    Lookup(const songlark::SongFacts& song, const HttpAskFn& ask) : ask_(ask)
    {
        row_ = NamePair{song.artist, song.title};
        file_.pairs.push_back(row_);
        tag_ = NamePair{song.tagArtist, song.tagTitle};
        const NamePair name{song.nameArtist, song.nameTitle};
        if (!tag_.artist.empty() && !tag_.title.empty() && !SameSong(tag_, row_)) {
            file_.pairs.push_back(tag_);
        } else {
            tag_ = NamePair();
        }
        if (!name.artist.empty() && !name.title.empty() && !SameSong(name, row_)) file_.pairs.push_back(name);
        nameIsRow_ = !name.artist.empty() && name.artist == row_.artist && name.title == row_.title;
        file_.album = song.album;
        file_.durationMs = song.durationMs;
    }

    LrclibLookupResult Run()
    {
        if (row_.artist.empty() || row_.title.empty()) {
            result_.result = LyricResult::NotFound();
            return std::move(result_);
        }
        const NamePair cleaned = Cleaned(row_);
        // Two /api/get at most, so that both searches keep their turn.
        const NamePair gets[] = {row_, cleaned, tag_.artist.empty() ? NamePair() : Cleaned(tag_)};
        for (const NamePair& pair : gets) {
            if (pair.artist.empty() || pair.title.empty() || result_.requests.size() >= 2) continue;
            if (Ask(GetPath(pair, file_.durationMs), false) != Step::Nothing) return std::move(result_);
        }

        // LRCLIB's search wants every word it is given: without "The" it
        // finds the band written with or without it.
        const std::string artistWords = WithoutLeadingThe(cleaned.artist);
        if (Ask("/api/search?track_name=" + PercentEncode(cleaned.title) + "&artist_name=" + PercentEncode(artistWords),
                true) != Step::Nothing)
            return std::move(result_);

        // Both orders of the words match q, so this one request also serves a
        // swapped name; only the name rule's pair may be read the other way.
        if (nameIsRow_) file_.swapped = NamePair{row_.title, row_.artist};
        const std::string words = artistWords + " " + CleanTitle(row_.title, true);
        if (Ask("/api/search?q=" + PercentEncode(words), true) != Step::Nothing) return std::move(result_);

        result_.result = LyricResult::NotFound();
        return std::move(result_);
    }

private:
    // Sends one request unless it was sent already or the budget is spent,
    // and takes what it brings.
    Step Ask(const std::string& path, bool search)
    {
        if (result_.requests.size() >= static_cast<std::size_t>(kLrclibMaxRequests)) return Step::Nothing;
        for (const LrclibAsked& asked : result_.requests)
            if (asked.pathAndQuery == path) return Step::Nothing;

        const HttpExchange exchange = ask_(path);
        LrclibAsked asked;
        asked.pathAndQuery = path;
        asked.answered = exchange.answered;
        asked.status = exchange.status;
        asked.reason = exchange.reason;
        result_.requests.push_back(asked);

        LyricResult early;
        if (LrclibAnswerWithoutBody(exchange, static_cast<long long>(std::time(nullptr)), &early)) {
            if (early.outcome == LyricOutcome::CouldNotAsk) return CouldNotAsk(early.reason, early.retryAfterSeconds);
            // 404: /api/get has no such song; a search always answers a list.
            if (!search) return Step::Nothing;
            return CouldNotAsk("status 404", 0);
        }

        std::vector<LrclibRecord> records(1);
        if (search ? !ReadLrclibSearchAnswer(exchange.body, &records) : !ReadLrclibRecord(exchange.body, &records[0]))
            return CouldNotAsk(search ? "answer is not a JSON array of objects" : "answer is not a JSON object", 0);

        // /api/get matched the names it was sent after LRCLIB's own
        // normalisation, a pair that agrees with the file's by construction;
        // its record may carry no names to compare (the answer rules need none).
        const int chosen = search ? ChooseLrclibRecord(records, file_)
                                  : LengthsMayAgree(file_.durationMs, records[0].durationMs) ? 0 : -1;
        if (chosen < 0 || records[chosen].lyric.empty()) return Step::Nothing;
        result_.result = LyricResult::Found(records[chosen].lyric);
        result_.recordId = records[chosen].id;
        return Step::Found;
    }

    Step CouldNotAsk(const std::string& why, int retryAfter)
    {
        result_.result = LyricResult::CouldNotAsk(why, retryAfter);
        return Step::CouldNotAsk;
    }

    const HttpAskFn& ask_;
    NamePair row_, tag_;
    FileSong file_;
    bool nameIsRow_ = false;
    LrclibLookupResult result_;
};

}  // namespace

LrclibLookupResult LookUpLrclib(const songlark::SongFacts& songUtf8, const HttpAskFn& ask)
{
    return Lookup(songUtf8, ask).Run();
}
