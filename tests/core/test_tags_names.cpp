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
        {"T-1- Leading blank kept-Title.mp3", 1, " Leading blank kept", "Title"},
        {"T-1-A Song Vol.2.mp3", 0, "<kept>", "<kept>"},  // two dashes only
        // The title ends at the extension's dot, not at the first one.
        {"T-1234-The Killers - Mr. Brightside.mp3", 1, "The Killers", "Mr. Brightside"},
        {"T-1-Artist - A Song Vol.2.mp3", 1, "Artist", "A Song Vol.2"},
        {"T-1-Michael Jackson - P.Y.T..mp3", 1, "Michael Jackson", "P.Y.T."},
        // More dashes: after LimeWire's own prefix, the first " - " ends the artist.
        {"T-5012-a-ha - Take On Me.mp3", 1, "a-ha", "Take On Me"},
        {"T-77-Jay-Z - 99 Problems.mp3", 1, "Jay-Z", "99 Problems"},
        {"T-1-A-B - C - D.mp3", 1, "A-B", "C - D"},
        {"T-1-a-ha  - Hunting High-and-Low.mp3", 1, "a-ha", "Hunting High-and-Low"},
        {"T-1-a-ha - No dot", 0, "a-ha", "<kept>"},
        {"T-1-Jay-Z-99 Problems.mp3", 0, "<kept>", "<kept>"},  // no " - "
        {"X-1-Jay-Z - 99.mp3", 0, "<kept>", "<kept>"},        // not LimeWire's prefix
    };
    for (const NameCase& c : cases) Check(ParseLimeWireName, c);
}

TEST(NameRules, NamesThatSayNothingDoNotFitAndLeaveTheStrings)
{
    const NameCase lime[] = {
        {"T-9-01-untitled.mp3", 0, "<kept>", "<kept>"},
        {"T-1--Empty artist.mp3", 0, "<kept>", "<kept>"},
        {"T-1-Artist - .mp3", 0, "<kept>", "<kept>"},
        {"T-1-UNKNOWN ARTIST - Track 04.mp3", 0, "<kept>", "<kept>"},
        {"T-1-untitled - track_12.mp3", 0, "<kept>", "<kept>"},
        {"T-1-Artist - 0042 .mp3", 0, "<kept>", "<kept>"},
        {"T-1-???? - ????.mp3", 0, "<kept>", "<kept>"},  // characters lost to the code page
        // Words that only begin like junk are names.
        {"T-1-Unknown Pleasures - Trackside.mp3", 1, "Unknown Pleasures", "Trackside"},
        {"T-1-Anne-Marie - 2002.mp3", 0, "<kept>", "<kept>"},  // digits only, even a year: the tag decides
        {"T-1-Blink 182 - 7 Years.mp3", 1, "Blink 182", "7 Years"},
    };
    for (const NameCase& c : lime) Check(ParseLimeWireName, c);
    const NameCase kazaa[] = {
        {"Artist - .mp3", 0, "<kept>", "<kept>"},
        {"Unknown Artist - Track 1.mp3", 0, "<kept>", "<kept>"},
        {"01 - Song.mp3", 0, "<kept>", "<kept>"},
    };
    for (const NameCase& c : kazaa) Check(ParseKazaaName, c);
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
        {"AB-C.mp3", 1, "AB", "C"},
        {"Artist - Title. With dot.mp3", 1, "Artist", "Title. With dot"},
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
