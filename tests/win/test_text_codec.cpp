// Text in the process's code page: stored lyric files read and written under
// UTF-8 and under a legacy code page, and the case fold of names under each.
#include "framework/CString.h"
#include "lyrics/LyricStore.h"
#include "platform/FoldText.h"
#include "platform/TextCodec.h"
#include "tests/win/FsTestUtil.h"

#include <gtest/gtest.h>

#include <mbctype.h>
#include <string>

using songlark::LyricFileToText;
using songlark::LyricTextToFile;

namespace {
const std::string kMark = "\xEF\xBB\xBF";
// "Zoë - Été\r\n\r\nit’s" in code page 1252, as earlier versions stored it, and in UTF-8.
const std::string kOld1252 = "Zo\xEB - \xC9t\xE9\r\n\r\nit\x92s";
const std::string kOldAsUtf8 = "Zo\xC3\xAB - \xC3\x89t\xC3\xA9\r\n\r\nit\xE2\x80\x99s";
}  // namespace

TEST(TextCodec, LyricFilesReadInTheProcesssCodePage)
{
    const struct {
        std::string bytes;
        unsigned process, legacy;
        std::string text;
    } cases[] = {
        // Earlier versions' files: converted under UTF-8, as they are otherwise.
        {kOld1252, 65001, 1252, kOldAsUtf8},
        {kOld1252, 1252, 1252, kOld1252},
        {"\xCA\xE8\xED\xEE", 65001, 1251, "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE"},  // Кино, code page 1251
        {"\x95\x5C - x", 65001, 932, "\xE8\xA1\xA8 - x"},                       // 表, code page 932
        // UTF-8, with or without the mark: as it is under UTF-8; else
        // converted, '?' for what the code page lacks.
        {kMark + kOldAsUtf8, 65001, 1252, kOldAsUtf8},
        {kOldAsUtf8, 65001, 1252, kOldAsUtf8},
        {kMark + kOldAsUtf8, 1252, 1252, kOld1252},
        {kMark + "\xCE\xB1\xCE\xB2 \xC3\xA9", 1252, 1252, "?? \xE9"},
        // Up to the first zero byte, mark or not; a mark alone is no text.
        {std::string("la\0la", 5), 65001, 1252, "la"},
        {kMark + std::string("\xC3\xA9\0x", 4), 1252, 1252, "\xE9"},
        {kMark, 65001, 1252, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LyricFileToText(c.bytes, c.process, c.legacy), c.text) << c.bytes << " in " << c.process;

    EXPECT_EQ(LyricTextToFile(kOldAsUtf8, 65001), kMark + kOldAsUtf8);
    EXPECT_EQ(LyricTextToFile(kOld1252, 1252), kOld1252) << "written as before";
}

TEST(TextCodec, StoredUnderUtf8WithTheMarkAndReadBackWithout)
{
    ASSERT_EQ(songlark::ProcessCodePage(), 65001u) << "the tests carry the program's manifest";
    const CString artist("\xCE\x9D\xCF\x8D\xCF\x87\xCF\x84\xCE\xB1");  // Νύχτα
    const CString title("\xEB\xB0\xA4");                               // 밤
    const CString path = PrepareLyricPath(artist, title);
    StoreLyric(path, artist, title, "\xD0\xBD\xD0\xBE\xD1\x87\xD1\x8C \xF0\x9F\x8C\x99");
    const std::string text = artist.str() + " - " + title.str() + "\r\n\r\n\xD0\xBD\xD0\xBE\xD1\x87\xD1\x8C \xF0\x9F\x8C\x99";
    EXPECT_EQ(ReadBytes(path), kMark + text);
    EXPECT_EQ(ReadLyricFile(path).str(), text);

    // A file of an earlier version, in the user's legacy code page.
    WriteBytes(path.GetString(), kOld1252);
    EXPECT_EQ(ReadLyricFile(path).str(), kOldAsUtf8);
    ASSERT_TRUE(DeleteLyricFile(path));
    ::RemoveDirectoryA(LyricsFolderPath() + artist);
}

TEST(FoldText, LowerCaseInTheRuntimesCodePage)
{
    const struct {
        int codePage;
        std::string text, folded;
    } cases[] = {
        {65001, "Night OWLS", "night owls"},
        // ÉTÉ ΩΜΈΓΑ ЖИЗНЬ
        {65001, "\xC3\x89T\xC3\x89 \xCE\xA9\xCE\x9C\xCE\x88\xCE\x93\xCE\x91 \xD0\x96\xD0\x98\xD0\x97\xD0\x9D\xD0\xAC",
         "\xC3\xA9t\xC3\xA9 \xCF\x89\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xD0\xB6\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C"},
        // The Kelvin sign's lower case is one byte: it stays, the rest folds.
        {65001, "\xE2\x84\xAA \xC3\x89", "\xE2\x84\xAA \xC3\xA9"},
        // A byte that is not UTF-8 stays; the rest folds.
        {65001, "\xC9T\xC3\x89", "\xC9t\xC3\xA9"},
        // In code page 1252 those bytes are "Ã‰": never read as UTF-8.
        {1252, "\xC3\x89X", "\xC3\x89x"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(_setmbcp(c.codePage), 0);
        std::string text = c.text;
        songlark::FoldTextCase(&text[0], text.size());
        EXPECT_EQ(text, c.folded) << c.text << " in " << c.codePage;
        EXPECT_EQ(CString(c.text).MakeLower().str(), c.folded) << "the artist box's comparison";
    }
    _setmbcp(_MB_CP_ANSI);
}
