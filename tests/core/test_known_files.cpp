#include "core/watch/KnownFiles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <thread>
#include <vector>

namespace {
bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}
}  // namespace

TEST(KnownFiles, AnswersLikeALinearCaseInsensitiveSearchAsItGrows)
{
    songlark::KnownFiles known;
    std::vector<std::string> linear;
    // Enough paths to make the table grow several times; names that differ
    // only in case, in length by one byte, or at the very end.
    for (int i = 0; i < 3000; ++i) {
        const std::string path = "C:\\LimeWire\\Incomplete\\T-" + std::to_string(i % 1500) + "-Some Artist - Song" +
                                 (i % 3 == 0 ? "" : "s") + (i >= 1500 ? ".MP3" : ".mp3");
        bool inLinear = false;
        for (const std::string& p : linear) inLinear = inLinear || SameIgnoringCase(p, path);
        ASSERT_EQ(known.Contains(path), inLinear) << path;
        EXPECT_EQ(known.Add(path), !inLinear);
        if (!inLinear) linear.push_back(path);
        ASSERT_TRUE(known.Contains(path));
    }
    ASSERT_EQ(known.size(), linear.size());
    for (size_t i = 0; i < linear.size(); ++i) EXPECT_EQ(known[i], linear[i]) << "kept in the order met, as given";
    EXPECT_FALSE(known.Contains("C:\\LimeWire\\Incomplete\\T-1-Some Artist - Song.mp"));
    EXPECT_FALSE(known.Contains(""));
    EXPECT_TRUE(known.Add(""));
    EXPECT_TRUE(known.Contains(""));
}

TEST(KnownFiles, UsesTheGivenFolding)
{
    // A folding that also treats '/' and '\' alike shows it is the one used.
    songlark::KnownFiles known([](char* p, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            if (p[i] == '/') p[i] = '\\';
            p[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(p[i])));
        }
    });
    known.Add("C:\\Dl\\A.mp3");
    EXPECT_TRUE(known.Contains("c:/dl/a.MP3"));
    EXPECT_FALSE(known.Contains("c:/dl/b.mp3"));
    // Longer than any path of a watched folder: folded on the heap instead.
    const std::string longPath = "C:\\Dl\\" + std::string(3000, 'X') + ".mp3";
    known.Add(longPath);
    EXPECT_TRUE(known.Contains("c:/dl/" + std::string(3000, 'x') + ".MP3"));
    EXPECT_FALSE(known.Contains("c:/dl/" + std::string(2999, 'x') + ".MP3"));
}

TEST(KnownFiles, ThreadsMayAskAtOnce)
{
    // A lookup writes nothing: one thread's question never mixes with another's.
    songlark::KnownFiles known;
    const std::string mine = "C:\\Dl\\T-1-" + std::string(200, 'A') + " - Song.mp3";
    const std::string other = "C:\\Dl\\b.mp3";
    known.Add(mine);
    int wrong[2] = {0, 0};
    std::thread asker([&] {
        for (int i = 0; i < 1000000; ++i) wrong[0] += !known.Contains(mine);
    });
    for (int i = 0; i < 1000000; ++i) wrong[1] += known.Contains(other);
    asker.join();
    EXPECT_EQ(wrong[0], 0);
    EXPECT_EQ(wrong[1], 0);
}
