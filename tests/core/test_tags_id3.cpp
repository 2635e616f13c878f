// The ID3v2 block parser and the .mp3 reader that puts the name rule first.
#include "PathSyntaxes.h"
#include "TagBytes.h"
#include "core/tags/Id3Block.h"
#include "core/tags/TagReaders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace pathsyntaxes;
using namespace tagbytes;
using songlark::ParseId3Block;

namespace {

const std::string kPadding(300, '\0');
const std::string kBoth = Latin1("TPE1", "Artist") + Latin1("TIT2", "Title");

struct Parsed {
    int result;
    std::string artist, title;
};

Parsed Parse(const std::string& bytes, const std::string& artist = "", const std::string& title = "")
{
    Parsed p{0, artist, title};
    p.result = ParseId3Block(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), p.artist, p.title);
    return p;
}

}  // namespace

TEST(Id3Marker, OnlyTheThreeMarkerBytesAreChecked)
{
    EXPECT_EQ(Parse(Id3Header() + kBoth).result, 1);
    EXPECT_EQ(Parse(Id3Header(0, "id3") + kBoth).result, 1);
    EXPECT_EQ(Parse(Id3Header(0, "iD3") + kBoth).result, 1);
    EXPECT_EQ(Parse(Id3Header(0, "ID4") + kBoth).result, -1);
    // Version bytes and tag size are never looked at.
    std::string odd = Id3Header() + kBoth;
    odd[3] = 9, odd[4] = 9, odd[6] = odd[7] = odd[8] = odd[9] = '\xff';
    EXPECT_EQ(Parse(odd).title, "Title");
    EXPECT_EQ(Parse(std::string("ID3\x03\0\0\0\0\0", 9)).result, -1);
}

TEST(Id3Marker, ExtendedHeaderSizeIsSevenBitsAByteAndCountsItself)
{
    // 00 00 01 02 is 130 bytes, the four size bytes included.
    EXPECT_EQ(Parse(Id3Header(0x40) + std::string("\x00\x00\x01\x02", 4) + std::string(126, '\x7f') + kBoth).result, 1);
    // The bytes are not masked to seven bits: 8A is 138, not 10.
    EXPECT_EQ(Parse(Id3Header(0x40) + std::string("\x00\x00\x00\x8a", 4) + std::string(134, '\x7f') + kBoth).result, 1);
    // Without the flag the extended header's first byte reads as padding.
    EXPECT_EQ(Parse(Id3Header(0) + std::string("\x00\x00\x01\x02", 4) + std::string(126, '\x7f') + kBoth).result, -1);
    EXPECT_EQ(Parse(Id3Header(0x40) + std::string("\x00\x00\x08\x00", 4) + kBoth).result, -1);  // past the end
    EXPECT_EQ(Parse(Id3Header(0x40) + std::string(3, '\0')).result, -1);  // 13 bytes: no room for the size
}

TEST(Id3Frames, SizesArePlainBigEndianAndFramesMustEndWithin1014Bytes)
{
    // 0xC8 counts as 200, not as a negative byte: skipped forward by 210.
    EXPECT_EQ(Parse(Id3Header() + Frame("TXXX", std::string(200, 'x')) + kBoth + kPadding).result, 1);
    // A synchsafe reading of 00 00 01 00 would be 128; it is 256 here.
    EXPECT_EQ(Parse(Id3Header() + Frame("PRIV", std::string(256, 'p')) + kBoth).result, 1);

    const std::string big = Frame("APIC", std::string(1000, 'a'));  // ends at 1020
    EXPECT_EQ(Parse(Id3Header() + big + kBoth).result, -1);
    // Both frames ending exactly at byte 1014 are read; one byte later they are not.
    const std::string filler = Frame("TXXX", std::string(1014 - 10 - 10 - kBoth.size(), 'f'));
    EXPECT_EQ(Parse(Id3Header() + filler + kBoth + kPadding).result, 1);
    EXPECT_EQ(Parse(Id3Header() + Frame("TXXX", std::string(filler.size() - 9, 'f')) + kBoth).result, -1);
}

TEST(Id3Frames, WalkStopsAtPaddingOrWhenNoFrameHeaderFits)
{
    EXPECT_EQ(Parse(Id3Header() + Latin1("TPE1", "Artist") + kPadding + Latin1("TIT2", "Title")).result, -1);
    EXPECT_EQ(Parse(Id3Header() + Latin1("TPE1", "Artist")).result, -1);
    // An empty frame whose head ends the block exactly is not read either.
    EXPECT_EQ(Parse(Id3Header() + Latin1("TPE1", "Artist") + Frame("TIT2", ""), "", "Kept").result, -1);
    EXPECT_EQ(Parse(Id3Header() + Latin1("TPE1", "Artist") + Frame("TIT2", "") + "x", "", "Kept").result, 1);
    // ID3v2.2 frames (three-character IDs, six-byte heads) are walked as ten-byte ones.
    EXPECT_EQ(Parse(Id3Header() + std::string("TP1\0\0\x07\0Artist", 13) + std::string("TT2\0\0\x06\0Title", 12) +
                    kPadding).result,
              -1);
}

TEST(Id3Text, OnlyLatin1TextIsTakenAfterLeadingNuls)
{
    Parsed p = Parse(Id3Header() + Latin1("tpe1", "Artist") + Frame("tit2", std::string("\0\0AB\0", 5)));
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.artist, "Artist");
    EXPECT_EQ(p.title, "AB");

    p = Parse(Id3Header() + Frame("TIT2", std::string("\0Caf\xe9\0junk", 10)) + Latin1("TPE1", "X") + kPadding);
    EXPECT_EQ(p.title, "Caf\xe9");

    const std::string utf16 = std::string("\x01\xff\xfe" "A\0r\0", 7);
    EXPECT_EQ(Parse(Id3Header() + Frame("TPE1", utf16) + Frame("TIT2", utf16)).result, -1);
    // A seen frame without Latin-1 text keeps what the string held before.
    p = Parse(Id3Header() + Frame("TPE1", utf16) + Latin1("TIT2", "Title"), "From name");
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.artist, "From name");
    p = Parse(Id3Header() + Frame("TPE1", std::string(4, '\0')) + Latin1("TIT2", "Title"), "Kept");
    EXPECT_EQ(p.artist, "Kept");
    EXPECT_EQ(Parse(Id3Header() + Frame("TPE1", "") + Latin1("TIT2", "Title")).result, -1);
}

TEST(Id3Text, LaterFrameReplacesUntilBothAreSeen)
{
    Parsed p = Parse(Id3Header() + Latin1("TIT2", "One") + Latin1("TIT2", "Two") + Latin1("TPE1", "A") +
                     Latin1("TIT2", "Three"));
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.title, "Two");
}

namespace {
int g_opens = 0;
std::string g_file;
int FakeHead(const std::string&, unsigned char* buffer, int capacity)
{
    ++g_opens;
    const int n = static_cast<int>(g_file.size()) < capacity ? static_cast<int>(g_file.size()) : capacity;
    std::memcpy(buffer, g_file.data(), n);
    return n;
}
int Unopenable(const std::string&, unsigned char*, int) { return -1; }
}  // namespace

TEST(Mp3Reader, NameFirstOnlyForABackslashPath)
{
    g_opens = 0;
    g_file = Id3Header() + Latin1("TPE1", "Tag artist") + Latin1("TIT2", "Tag title");
    std::string artist, title;
    const std::string fits = "C:\\in\\T-1-Some Artist - A Song.mp3";
    EXPECT_EQ(songlark::ReadMp3Tags(fits, artist, title, 1, FakeHead, kSingleByte), 1);
    EXPECT_EQ(g_opens, 0);
    EXPECT_EQ(artist + "|" + title, "Some Artist|A Song");

    EXPECT_EQ(songlark::ReadMp3Tags(fits, artist, title, 0, FakeHead, kSingleByte), 1);
    EXPECT_EQ(artist + "|" + title, "Tag artist|Tag title");
    artist = title = "";
    EXPECT_EQ(songlark::ReadMp3Tags("T-1-Some Artist - A Song.mp3", artist, title, 1, FakeHead, kSingleByte), 1);
    EXPECT_EQ(artist + "|" + title, "Tag artist|Tag title");
    EXPECT_EQ(g_opens, 2);
    EXPECT_EQ(songlark::ReadMp3Tags("C:\\in\\song.mp3", artist, title, 1, Unopenable, kSingleByte), -1);

    // Code page 932: the artist 表 ends in 5C, which is no separator there;
    // the whole name fits the rule and the file is not opened.
    EXPECT_EQ(songlark::ReadMp3Tags("C:\\in\\T-1-\x95\\ - Song.mp3", artist, title, 1, FakeHead, kCp932), 1);
    EXPECT_EQ(artist + "|" + title, "\x95\\|Song");
    EXPECT_EQ(g_opens, 2);
}

TEST(PathSyntax, TheLastSeparatorIsACharacterOfItsOwn)
{
    const songlark::PathSyntax posix{'/', nullptr};
    const struct {
        const char* path;
        const songlark::PathSyntax& syntax;
        std::size_t want;
    } cases[] = {
        {"C:\\in\\T-1-\x95\\ - Song.mp3", kCp932, 5},
        {"C:\\in\\T-1-\x95\\ - Song.mp3", kSingleByte, 11},
        {"C:\\\x83\\\\x.mp3", kCp932, 5},    // ソ, then a separator
        {"\x81\x81\\x", kCp932, 2},            // a lead byte as second byte, then a separator
        {"\xB1\\x", kCp932, 1},                 // half-width katakana: one byte
        {"a\x81\\", kCp932, std::string::npos},  // the last 5C is a second byte
        {"ab\x81", kCp932, std::string::npos},   // a lead byte at the end
        {"dl/T-1-A - B.mp3", posix, 2},
        {"dl\\T-1-A - B.mp3", posix, std::string::npos},
    };
    for (const auto& c : cases) EXPECT_EQ(songlark::FindLastSeparator(c.path, c.syntax), c.want) << c.path;
}

TEST(Mp3Reader, ArtistFromAFailedNameSurvivesAUtf16Frame)
{
    const std::string utf16 = std::string("\x01\xff\xfe" "A\0", 5);
    g_file = Id3Header() + Frame("TPE1", utf16) + Latin1("TIT2", "Tag title");
    std::string artist, title;
    EXPECT_EQ(songlark::ReadMp3Tags("C:\\in\\T-1-Name Artist - no dot", artist, title, 1, FakeHead, kSingleByte), 1);
    EXPECT_EQ(artist + "|" + title, "Name Artist|Tag title");

    g_file = Id3Header() + Latin1("TPE1", "Tag artist") + Latin1("TIT2", "Tag title");
    EXPECT_EQ(songlark::ReadMp3Tags("C:\\in\\T-1-Name Artist - no dot", artist, title, 1, FakeHead, kSingleByte), 1);
    EXPECT_EQ(artist, "Tag artist");
}
