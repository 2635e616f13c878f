#pragma once

// What one lyric lookup came to. A lookup that could not be made (no network,
// a time-out, a busy or broken server) is not a song the source lacks: the
// caller asks again later instead of marking the song not found.
#include <string>
#include <utility>

enum class LyricOutcome {
    Found,       // a lyric
    NotFound,    // the source answered and has no lyric for this song
    CouldNotAsk  // no usable answer: transport failure, time-out, any other status, a broken body
};

struct LyricResult {
    LyricOutcome outcome = LyricOutcome::CouldNotAsk;
    std::string lyric;           // Found: the lyric as the store keeps it (ANSI text, CR LF)
    std::string reason;          // CouldNotAsk: why, in a few words (for the debugger output, stderr)
    int retryAfterSeconds = 0;   // CouldNotAsk: the source's own "wait this long" (429/503 Retry-After), else 0

    static LyricResult Found(std::string text)
    {
        LyricResult r;
        r.outcome = LyricOutcome::Found;
        r.lyric = std::move(text);
        return r;
    }
    static LyricResult NotFound()
    {
        LyricResult r;
        r.outcome = LyricOutcome::NotFound;
        return r;
    }
    static LyricResult CouldNotAsk(std::string why, int retryAfter = 0)
    {
        LyricResult r;
        r.reason = std::move(why);
        r.retryAfterSeconds = retryAfter;
        return r;
    }
};
