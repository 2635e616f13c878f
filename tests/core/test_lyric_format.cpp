// The lyric store's platform-free rules: the file text, plain names, the
// path shape every disk operation insists on, and names read from a listing.
#include "PathSyntaxes.h"
#include "core/store/LyricFile.h"

#include <gtest/gtest.h>

#include <string>

using songlark::ArtistFromFilePath;
using songlark::FormatLyricFile;
using songlark::IsPlainPathComponent;
using songlark::NamesFromFirstLine;
using songlark::SplitLyricPath;
using songlark::StoreName;
using songlark::TitleFromFileName;
using namespace pathsyntaxes;

TEST(LyricFileText, HeaderBlankLineAndLyricWithNothingAdded)
{
    EXPECT_EQ(FormatLyricFile("Night Owls", "Blue Hour", "la  \r\nla"),
              std::string("Night Owls - Blue Hour\r\n\r\nla  \r\nla"));
    // Line ends inside the lyric stay as they are, and an empty lyric still
    // keeps the separator.
    EXPECT_EQ(FormatLyricFile("A", "B", "x\ny\r"), "A - B\r\n\r\nx\ny\r");
    EXPECT_EQ(FormatLyricFile("A", "B", ""), "A - B\r\n\r\n");
    EXPECT_EQ(FormatLyricFile("", "", ""), " - \r\n\r\n");
}

TEST(LyricFileText, EightBitBytesPassThrough)
{
    const std::string text = FormatLyricFile("Bj\xf6rk", "J\xf3ga", "\xe9\xe8\x80\xff");
    EXPECT_EQ(text, "Bj\xf6rk - J\xf3ga\r\n\r\n\xe9\xe8\x80\xff");
}

TEST(PlainPathComponent, OrdinaryNamesArePlain)
{
    for (const char* name : {"Night Owls", "a.b", "Wait...", "AC-DC", "x", "COM", "COM\xB4", "COM10",
                             "LPT", "CONSOLE", "Nullify", "auxiliary.txt", "Bj\xf6rk", " lead", ".hidden",
                             "con-artist", "PRN2"}) {
        EXPECT_TRUE(IsPlainPathComponent(name)) << name;
    }
}

TEST(PlainPathComponent, SeparatorsWildcardsAndControlBytesAreNot)
{
    for (const char* name : {"a\\b", "a/b", "C:x", "a*", "a?", "say \"hi\"", "<a>", "a>b", "a|b",
                             "tab\there", "line\r\n", "\x1f", "\x01x"}) {
        EXPECT_FALSE(IsPlainPathComponent(name)) << name;
    }
    EXPECT_FALSE(IsPlainPathComponent(""));
    // 0x7f and bytes above it are ordinary name bytes.
    EXPECT_TRUE(IsPlainPathComponent("\x7f\x80"));
}

TEST(PlainPathComponent, DotNamesAreNot)
{
    for (const char* name : {".", "..", "...", ". .", ".. ", " ", "  .  "})
        EXPECT_FALSE(IsPlainPathComponent(name)) << '[' << name << ']';
}

TEST(PlainPathComponent, DeviceNamesInAnyCaseWithOrWithoutExtension)
{
    for (const char* name : {"CON", "con", "Prn", "aux", "NUL", "nul.txt", "NUL.tar.gz", "COM1", "com9",
                             "LPT1", "lpt5.lyric", "CON .txt", "nul ", "AUX.", "conin$", "CONOUT$.x", "COM0",
                             "lpt0.txt", "COM\xB9", "com\xB2.lyric", "LPT\xB3", "Lpt\xB9 .x"}) {
        EXPECT_FALSE(IsPlainPathComponent(name)) << name;
    }
}

TEST(StoreNames, EverySongGetsAPlainNameAndPlainNamesStay)
{
    const struct {
        const char* name;
        const char* stored;
    } cases[] = {
        {"Night Owls", "Night Owls"},
        {"Wait...", "Wait..."},
        {"AC/DC", "AC_DC"},
        {"Where Is the Love?", "Where Is the Love_"},
        {"a\\b:c*d\"e<f>g|h", "a_b_c_d_e_f_g_h"},
        {"tab\there\x1f", "tab_here_"},
        {"..\\..\\x", ".._.._x"},
        {"CON", "_CON"},
        {"nul.txt", "_nul.txt"},
        {"lpt9 .lyric", "_lpt9 .lyric"},
        {"AUX?", "AUX_"},  // no device once mapped
        {"...", "_"},
        {"", "_"},
        {"Bj\xf6rk", "Bj\xf6rk"},
    };
    for (const auto& c : cases) {
        const std::string stored = StoreName(c.name);
        EXPECT_EQ(stored, c.stored) << c.name;
        EXPECT_TRUE(IsPlainPathComponent(stored)) << c.name;
        EXPECT_EQ(StoreName(stored), stored) << c.name;
    }
}

TEST(StoreNames, RealNamesComeBackFromTheFirstLine)
{
    const struct {
        const char* text;
        const char* storedArtist;
        const char* storedTitle;
        const char* want;  // "artist|title", or "" when the listed names stay
    } cases[] = {
        {"AC/DC - T.N.T.\r\n\r\nla", "AC_DC", "T.N.T.", "AC/DC|T.N.T."},
        {"A - B - C?\r\n\r\nla", "A - B", "C_", "A - B|C?"},      // the artist holds " - "
        {"A - B - C?\r\n\r\nla", "A", "B - C_", "A|B - C?"},
        {"edited by hand\r\nAC/DC - x", "AC_DC", "x", ""},
        {"AC/DC - Other\r\n", "AC_DC", "T.N.T.", ""},
        {"", "AC_DC", "x", ""},
    };
    for (const auto& c : cases) {
        std::string artist = "kept", title = "kept";
        const bool found = NamesFromFirstLine(c.text, c.storedArtist, c.storedTitle, &artist, &title);
        EXPECT_EQ(found ? artist + "|" + title : "", c.want) << c.text;
        if (!found) {
            EXPECT_EQ(artist + title, "keptkept");
        }
    }
}

TEST(LyricPathShape, AcceptsExactlyFolderArtistTitleLyric)
{
    const std::string folder = "C:\\Prog\\Lyrics\\";
    std::string artist = "unchanged", title = "unchanged";
    ASSERT_TRUE(SplitLyricPath(folder, folder + "Night Owls\\Blue Hour.lyric", &artist, &title));
    EXPECT_EQ(artist, "Night Owls");
    EXPECT_EQ(title, "Blue Hour");
    ASSERT_TRUE(SplitLyricPath(folder, folder + "a\\a.b.lyric", &artist, &title));
    EXPECT_EQ(title, "a.b");
    EXPECT_TRUE(SplitLyricPath(folder, folder + "a\\b.lyric", nullptr, nullptr));
}

TEST(LyricPathShape, RefusesEveryOtherPathAndLeavesOutputs)
{
    const std::string folder = "C:\\Prog\\Lyrics\\";
    const std::string refused[] = {
        folder + "Stray.lyric",                 // directly in the Lyrics folder
        folder + "a\\b\\c.lyric",               // one level too deep
        folder + "..\\x.lyric",                 // parent of the Lyrics folder
        folder + "a\\..\\..\\x.lyric",
        folder + "a\\..lyric",                  // title ".", so the file ".lyric"
        folder + "a\\b.txt",
        folder + "a\\b.LYRIC",
        folder + "a\\.lyric",                   // empty title
        folder + "\\b.lyric",                   // empty artist
        folder + "CON\\b.lyric",
        folder + "a\\nul.lyric",
        folder + "a\\C:\\x.lyric",
        folder + "a/b\\c.lyric",
        folder + "a\\b/c.lyric",
        "C:\\Prog\\Other\\a\\b.lyric",
        "C:\\Prog\\lyrics\\a\\b.lyric",         // the prefix is ours, byte for byte
        "C:\\Prog\\Lyrics",
        "",
    };
    for (const std::string& path : refused) {
        std::string artist = "keep", title = "keep";
        EXPECT_FALSE(SplitLyricPath(folder, path, &artist, &title)) << path;
        EXPECT_EQ(artist, "keep");
        EXPECT_EQ(title, "keep");
    }
    // A folder without its trailing backslash would let "LyricsX\..." through.
    EXPECT_FALSE(SplitLyricPath("C:\\Prog\\Lyrics", "C:\\Prog\\LyricsX\\a.lyric", nullptr, nullptr));
}

TEST(ListedNames, TitleEndsBeforeTheLastFullStop)
{
    EXPECT_EQ(TitleFromFileName("Blue Hour.lyric"), "Blue Hour");
    EXPECT_EQ(TitleFromFileName("a.b.lyric"), "a.b");
    EXPECT_EQ(TitleFromFileName(".lyric"), "");
    EXPECT_EQ(TitleFromFileName("NoDot"), "NoDot");
}

TEST(ListedNames, ArtistIsTheFolderBetweenTheLastTwoSeparators)
{
    const struct {
        const char* path;
        const songlark::PathSyntax& syntax;
        const char* want;
    } cases[] = {
        {"C:\\Prog\\Lyrics\\Night Owls\\Blue Hour.lyric", kSingleByte, "Night Owls"},
        {"Night Owls\\a.lyric", kSingleByte, "Night Owls"},
        {"\\a.lyric", kSingleByte, ""},
        {"a.lyric", kSingleByte, ""},
        {"C:\\x\\\\a.lyric", kSingleByte, ""},
        // Code page 932: 表 (95 5C) and ソ (83 5C) end in a byte that separates nothing.
        {"C:\\Lyrics\\\x95\\\\Song.lyric", kCp932, "\x95\\"},
        {"C:\\Lyrics\\\x83\\x\x83\\\\Song.lyric", kCp932, "\x83\\x\x83\\"},
        {"\x95\\\\Song.lyric", kCp932, "\x95\\"},
        {"C:\\Lyrics\\\x95\\\\Song.lyric", kSingleByte, ""},  // the same bytes in code page 1252
    };
    for (const auto& c : cases) EXPECT_EQ(ArtistFromFilePath(c.path, c.syntax), c.want) << c.path;
}
