#include "core/watch/RetrySchedule.h"

#include <algorithm>

namespace songlark {

RetrySchedule::RetrySchedule(int64_t firstDelayMs, int64_t maxDelayMs)
    : m_firstDelayMs(std::max<int64_t>(firstDelayMs, 0)), m_maxDelayMs(std::max(maxDelayMs, m_firstDelayMs))
{
}

int64_t RetrySchedule::Delay(int failures) const
{
    int64_t delay = m_firstDelayMs;
    for (int i = 1; i < failures && delay < m_maxDelayMs; ++i) delay *= 2;
    return std::min(delay, m_maxDelayMs);
}

void RetrySchedule::Add(uint64_t id, int64_t now)
{
    m_songs.push_back(Song{id, now, 0});
}

bool RetrySchedule::Remove(uint64_t id)
{
    const auto it = std::find_if(m_songs.begin(), m_songs.end(), [id](const Song& s) { return s.id == id; });
    if (it == m_songs.end()) return false;
    m_songs.erase(it);
    return true;
}

bool RetrySchedule::Contains(uint64_t id) const
{
    return std::any_of(m_songs.begin(), m_songs.end(), [id](const Song& s) { return s.id == id; });
}

bool RetrySchedule::Next(int64_t now, uint64_t& id) const
{
    if (m_songs.empty() || now < m_sourcePausedUntil) return false;
    // The earliest due; the first added among equals, so new songs keep their order.
    const Song* best = nullptr;
    for (const Song& s : m_songs)
        if (!best || s.dueAt < best->dueAt) best = &s;
    if (best->dueAt > now) return false;
    id = best->id;
    return true;
}

int64_t RetrySchedule::NextAskAt() const
{
    if (m_songs.empty()) return INT64_MAX;
    int64_t due = INT64_MAX;
    for (const Song& s : m_songs) due = std::min(due, s.dueAt);
    return std::max(due, m_sourcePausedUntil);
}

void RetrySchedule::Answered(uint64_t id)
{
    Remove(id);
    m_sourceFailures = 0;
    m_sourcePausedUntil = INT64_MIN;
}

void RetrySchedule::Failed(uint64_t id, int64_t now, int retryAfterSeconds)
{
    for (Song& s : m_songs) {
        if (s.id != id) continue;
        if (s.failures < 64) ++s.failures;
        s.dueAt = now + Delay(s.failures);
        break;
    }
    if (m_sourceFailures < 64) ++m_sourceFailures;
    const int64_t asked = retryAfterSeconds > 0 ? static_cast<int64_t>(retryAfterSeconds) * 1000 : 0;
    m_sourcePausedUntil = now + std::max(Delay(m_sourceFailures), asked);
}

}  // namespace songlark
