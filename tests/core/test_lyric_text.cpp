// Which encoding a stored lyric file's bytes are read in.
#include "core/store/LyricText.h"

#include <gtest/gtest.h>

#include <string>

using songlark::ClassifyLyricBytes;
using songlark::LyricEncoding;

TEST(LyricText, EncodingFromTheBytesAlone)
{
    const LyricEncoding utf8 = LyricEncoding::Utf8, legacy = LyricEncoding::Legacy;
    const struct {
        std::string bytes;
        LyricEncoding encoding;
        size_t textStart;
    } cases[] = {
        {"", utf8, 0},
        {"A - B\r\n\r\nla la", utf8, 0},
        {"\xEF\xBB\xBF", utf8, 3},
        {"\xEF\xBB\xBFZo\xC3\xAB - \xC3\x89t\xC3\xA9", utf8, 3},
        // After the mark the bytes are UTF-8 even when they are not valid.
        {"\xEF\xBB\xBF\xE9t\xE9", utf8, 3},
        {"\xEF\xBB", legacy, 0},
        {"Zo\xC3\xAB \xCE\xB1\xCE\xB2 \xED\x95\x9C \xF0\x9F\x8C\x99", utf8, 0},
        // Code page 1252, as earlier versions wrote: é, ’, “ ”.
        {"Caf\xE9 it\x92s \x93x\x94", legacy, 0},
        // Code page 932: 表 (95 5C).
        {"\x95\x5C - Song", legacy, 0},
        // Not UTF-8: cut at the end, overlong, a surrogate, above U+10FFFF,
        // a lone continuation byte, bytes UTF-8 never uses.
        {"ok \xE3\x81", legacy, 0},
        {"\xC0\xAF", legacy, 0},
        {"\xE0\x80\xAF", legacy, 0},
        {"\xED\xA0\x80", legacy, 0},
        {"\xF4\x90\x80\x80", legacy, 0},
        {"\x80", legacy, 0},
        {"\xFE\xFF", legacy, 0},
        // The highest characters of each length are fine.
        {"\xDF\xBF\xEF\xBF\xBF\xF4\x8F\xBF\xBF\xED\x9F\xBF", utf8, 0},
    };
    for (const auto& c : cases) {
        const songlark::LyricBytes got = ClassifyLyricBytes(c.bytes);
        EXPECT_EQ(got.encoding, c.encoding) << c.bytes;
        EXPECT_EQ(got.textStart, c.textStart) << c.bytes;
    }
}
