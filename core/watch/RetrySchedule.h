#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace songlark {

// When the watcher asks the lyrics source for each queued song. Times are
// milliseconds on the caller's monotonic clock, passed in, so that the rules
// run without waiting.
//
// A song that could not be asked waits firstDelay, then twice as long after
// each further failure, up to maxDelay. The source as a whole pauses after
// every failure, for its own delay doubling over consecutive failures (or
// the source's Retry-After, when longer): while it cannot be reached one
// song at a time probes it, and the first answer lets the others follow.
// Songs are asked one at a time; whatever is asked is reported back with
// Answered or Failed before the next Next.
class RetrySchedule {
public:
    static constexpr int64_t kFirstDelayMs = 30 * 1000;
    static constexpr int64_t kMaxDelayMs = 30 * 60 * 1000;

    explicit RetrySchedule(int64_t firstDelayMs = kFirstDelayMs, int64_t maxDelayMs = kMaxDelayMs);

    // Room for n songs, so that the Adds up to n cannot fail to allocate.
    void Reserve(size_t n) { m_songs.reserve(n); }
    // A new song, due at once. Ids are the caller's and unique.
    void Add(uint64_t id, int64_t now);
    // Forgets a song (the user deleted its row); false when it was not queued.
    bool Remove(uint64_t id);

    // The song to ask now: the one due longest, in the order added among
    // equals, unless the source is paused. False when there is none.
    bool Next(int64_t now, uint64_t& id) const;
    // When Next will next give a song (possibly now); INT64_MAX when the queue is empty.
    int64_t NextAskAt() const;

    // The source answered (found or not found): the song leaves the queue and
    // the source is reachable again.
    void Answered(uint64_t id);
    // The song could not be asked; retryAfterSeconds > 0 is the source's own
    // request to wait at least that long.
    void Failed(uint64_t id, int64_t now, int retryAfterSeconds);

    size_t size() const { return m_songs.size(); }
    bool Contains(uint64_t id) const;

private:
    struct Song {
        uint64_t id;
        int64_t dueAt;
        int failures;
    };
    // The wait after the n-th consecutive failure (n >= 1).
    int64_t Delay(int failures) const;

    int64_t m_firstDelayMs;
    int64_t m_maxDelayMs;
    std::vector<Song> m_songs;  // in the order added
    int m_sourceFailures = 0;
    int64_t m_sourcePausedUntil = INT64_MIN;
};

}  // namespace songlark
