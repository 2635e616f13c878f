#include "core/watch/RetrySchedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One step of a story told to the schedule, at second `at`:
//   'a' add song, 'r' remove it, 'o' it was answered, 'f' it failed (with
//   retryAfter seconds), '?' the song asked now (0: none),
//   'w' when the next ask comes, in seconds (-1: never).
struct Step {
    int at;
    char op;
    int song;
    int value = 0;
};

struct Story {
    const char* name;
    std::vector<Step> steps;
};

// Seconds: the rules below use 30 s first, 1800 s at most.
int64_t Ms(int seconds) { return static_cast<int64_t>(seconds) * 1000; }

}  // namespace

TEST(RetrySchedule, FollowsEachStory)
{
    const Story stories[] = {
        {"new songs are asked at once, in the order they came",
         {{0, 'a', 1}, {0, 'a', 2}, {0, '?', 1}, {0, 'o', 1}, {0, '?', 2}, {1, 'o', 2}, {1, '?', 0}, {1, 'w', -1}}},
        {"a failed song waits 30 s, then doubles per song up to 30 min",
         {{0, 'a', 1},     {0, 'f', 1},      {29, '?', 0},     {30, 'w', 30},    {30, '?', 1},
          {30, 'f', 1},    {89, '?', 0},     {90, '?', 1},     {90, 'f', 1},     {210, 'w', 210},
          {210, 'f', 1},   {450, 'w', 450},  {450, 'f', 1},    {930, 'f', 1},    {1890, 'w', 1890},
          {1890, 'f', 1},  {3690, 'w', 3690}, {3690, 'f', 1},  {5490, 'w', 5490}}},
        {"while the source cannot be reached, one song probes and the rest wait for the source",
         {{0, 'a', 1}, {0, 'a', 2}, {0, 'a', 3}, {0, 'f', 1}, {1, '?', 0}, {30, 'w', 30},
          // the probe is the song waiting longest, not the one that failed
          {30, '?', 2}, {30, 'f', 2}, {60, '?', 0}, {89, '?', 0}, {90, 'w', 90}, {90, '?', 3}, {90, 'f', 3},
          // a third failure in a row: the source waits 120 s
          {209, '?', 0}, {210, '?', 1}, {210, 'f', 1}, {450, 'w', 450}}},
        {"once one succeeds the others follow, each at its own time",
         {{0, 'a', 1}, {0, 'a', 2}, {0, 'a', 3}, {0, 'f', 1}, {30, 'f', 2}, {90, '?', 3}, {90, 'o', 3},
          {90, '?', 1}, {90, 'o', 1}, {90, '?', 2}, {90, 'o', 2}, {90, 'w', -1}}},
        {"a song that is due does not wait behind one backing off",
         {{0, 'a', 1}, {0, 'f', 1}, {30, '?', 1}, {30, 'f', 1}, {31, 'a', 2}, {90, '?', 2}, {90, 'o', 2},
          {90, '?', 1}, {90, 'f', 1}, {130, 'a', 3}, {130, '?', 3}, {130, 'o', 3}, {130, '?', 0}, {210, '?', 1}}},
        {"after an answer, a song's own failures keep counting but the source starts again at 30 s",
         {{0, 'a', 1}, {0, 'a', 2}, {0, 'f', 1}, {30, 'f', 1}, {90, '?', 2}, {90, 'o', 2}, {90, 'w', 90},
          {90, 'f', 1}, {120, 'w', 210}, {210, '?', 1}}},
        {"Retry-After longer than the back-off pauses the whole source that long",
         {{0, 'a', 1}, {0, 'a', 2}, {0, 'f', 1, 120}, {30, '?', 0}, {119, '?', 0}, {120, 'w', 120}, {120, '?', 2}}},
        {"Retry-After shorter than the back-off changes nothing",
         {{0, 'a', 1}, {0, 'f', 1, 5}, {29, '?', 0}, {30, '?', 1}}},
        {"new songs join the queue while the source is paused, and wait for it",
         {{0, 'a', 1}, {0, 'f', 1}, {10, 'a', 2}, {10, '?', 0}, {30, '?', 2}}},
        {"a removed song is never asked",
         {{0, 'a', 1}, {0, 'a', 2}, {0, 'r', 1}, {0, '?', 2}, {0, 'f', 2}, {0, 'a', 3}, {30, 'r', 2},
          {30, '?', 3}, {30, 'r', 3}, {30, 'w', -1}, {31, '?', 0}}},
    };
    for (const Story& story : stories) {
        SCOPED_TRACE(story.name);
        songlark::RetrySchedule schedule(Ms(30), Ms(1800));
        for (size_t i = 0; i < story.steps.size(); ++i) {
            const Step& s = story.steps[i];
            SCOPED_TRACE("step " + std::to_string(i) + " at " + std::to_string(s.at) + " s");
            const int64_t now = Ms(s.at);
            uint64_t asked = 0;
            switch (s.op) {
            case 'a': schedule.Add(static_cast<uint64_t>(s.song), now); break;
            case 'r': EXPECT_TRUE(schedule.Remove(static_cast<uint64_t>(s.song))); break;
            case 'o': schedule.Answered(static_cast<uint64_t>(s.song)); break;
            case 'f': schedule.Failed(static_cast<uint64_t>(s.song), now, s.value); break;
            case '?':
                if (!schedule.Next(now, asked)) asked = 0;
                EXPECT_EQ(asked, static_cast<uint64_t>(s.song));
                break;
            case 'w':
                EXPECT_EQ(schedule.NextAskAt(), s.song < 0 ? INT64_MAX : Ms(s.song));
                break;
            default: FAIL() << "unknown step " << s.op;
            }
        }
    }
}

TEST(RetrySchedule, LongOutagesNeitherOverflowNorExceedTheCap)
{
    songlark::RetrySchedule schedule(Ms(30), Ms(1800));
    schedule.Add(1, 0);
    int64_t now = 0;
    for (int i = 0; i < 200; ++i) {
        schedule.Failed(1, now, i == 150 ? 2000000000 : 0);
        const int64_t wait = schedule.NextAskAt() - now;
        ASSERT_GT(wait, 0);
        ASSERT_LE(wait, i == 150 ? Ms(2000000000) : Ms(1800)) << "failure " << i;
        now = schedule.NextAskAt();
    }
}
