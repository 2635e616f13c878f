// The two file-name rules, case by case.
#include "core/tags/NameRules.h"

#include <gtest/gtest.h>

#include <string>

using songlark::ParseKazaaName;
using songlark::ParseLimeWireName;

namespace {

struct NameCase {
    const char* name;
    int result;
    const char* artist;  // after the call; "<kept>" when the rule never assigned it
    const char* title;
};

template <typename Rule>
void Check(Rule rule, const NameCase& c)
{
    std::string artist = "<kept>", title = "<kept>";
    EXPECT_EQ(rule(c.name, artist, title), c.result) << c.name;
    EXPECT_EQ(artist, c.artist) << c.name;
    EXPECT_EQ(title, c.title) << c.name;
}

}  // namespace

TEST(LimeWireName, CutsArtistAndTitleAfterTheThirdDash)
{
    const NameCase cases[] = {
        {"T-4821-Some Artist - A Song.mp3", 1, "Some Artist", "A Song"},
        {"T-1-A-B - C.mp3", 0, "<kept>", "<kept>"},  // four dashes
        {"T-1- Leading blank kept-Title.mp3", 1, " Leading blank kept", "Title"},
        {"T-1-   -Blank artist.mp3", 1, "", "Blank artist"},
        {"T-1--Empty artist.mp3", 1, "", "Empty artist"},
        {"T-1-A Song Vol.2.mp3", 0, "<kept>", "<kept>"},  // two dashes only
        {"T-1-Artist - A Song Vol.2.mp3", 1, "Artist", "A Song Vol"},
        {"T-1-Artist - .mp3", 1, "Artist", ""},
    };
    for (const NameCase& c : cases) Check(ParseLimeWireName, c);
}

TEST(LimeWireName, FailsLateKeepingTheArtist)
{
    const NameCase cases[] = {
        {"T-1-Artist - No dot", 0, "Artist", "<kept>"},
        {"T-1-Artist -   ", 0, "Artist", "<kept>"},
        {"T-1-Artist -", 0, "Artist", "<kept>"},
        // The walk back reaches the start of the name: nothing is assigned.
        {"x--- Title.mp3", 0, "<kept>", "<kept>"},
        {"---Title.mp3", 0, "<kept>", "<kept>"},
        {"", 0, "<kept>", "<kept>"},
    };
    for (const NameCase& c : cases) Check(ParseLimeWireName, c);
}

TEST(KazaaName, CutsArtistBeforeTheOnlyDash)
{
    const NameCase cases[] = {
        {"Some Artist - A Song.mp3", 1, "Some Artist", "A Song"},
        {"Artist - .mp3", 1, "Artist", ""},
        {"AB-C.mp3", 1, "AB", "C"},
        {"Artist - Title. With dot.mp3", 1, "Artist", "Title"},
        {"Some Artist - A - Song.mp3", 0, "<kept>", "<kept>"},
        {"No dash.mp3", 0, "<kept>", "<kept>"},
        // A one-character artist at the start is refused, letter or not.
        {"A - Song.mp3", 0, "<kept>", "<kept>"},
        {"A-Song.mp3", 0, "<kept>", "<kept>"},
        {"-Song.mp3", 0, "<kept>", "<kept>"},
        {"Artist - Song", 0, "Artist", "<kept>"},
        {"Artist -   ", 0, "Artist", "<kept>"},
    };
    for (const NameCase& c : cases) Check(ParseKazaaName, c);
}
