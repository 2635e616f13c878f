#include "core/watch/KnownFiles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
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
    songlark::KnownFiles known([](std::string& p) {
        for (char& c : p) {
            if (c == '/') c = '\\';
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    });
    known.Add("C:\\Dl\\A.mp3");
    EXPECT_TRUE(known.Contains("c:/dl/a.MP3"));
    EXPECT_FALSE(known.Contains("c:/dl/b.mp3"));
}
