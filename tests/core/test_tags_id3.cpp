// The ID3v2 block parser and the .mp3 reader that puts the name rule first.
#include "PathSyntaxes.h"
#include "TagBytes.h"
#include "core/tags/Id3Block.h"
#include "core/tags/Mp3Facts.h"
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

TEST(Id3Text, EachEncodingBecomesTheProcesssCodePage)
{
    const std::string kept = "<kept>";
    const struct {
        std::string content;  // encoding byte first
        std::string in1252;   // the artist in a code page 1252 process ("<kept>": untouched)
        std::string inUtf8;   // in a UTF-8 process
    } cases[] = {
        {std::string("\0Caf\xe9\0junk", 10), "Caf\xe9", "Caf\xc3\xa9"},
        {std::string("\0Don\x92t \x80", 8), "Don\x92t \x80", "Don\xe2\x80\x99t \xe2\x82\xac"},  // 1252's marks
        {std::string("\0Love?", 6), "Love?", "Love?"},
        {std::string("\x01\xff\xfe" "A\0\xe9\0", 7), "A\xe9", "A\xc3\xa9"},
        {std::string("\x01\xfe\xff" "\0A\0\xe9", 7), "A\xe9", "A\xc3\xa9"},
        {std::string("\x01\0\0\xff\xfe" "B\0", 7), "B", "B"},  // an empty string first
        {std::string("\x01\xff\xfe\x1a\x04\x38\x04", 7), kept, "\xd0\x9a\xd0\xb8"},  // Ки: lost on 1252
        {std::string("\x01\xff\xfe\x3d\xd8\x00\xde", 7), kept, "\xf0\x9f\x98\x80"},  // a pair
        {std::string("\x01\xff\xfe\x3d\xd8" "A\0", 7), kept, kept},  // an unpaired surrogate
        {std::string("\x02\0A\0\xe9\0\0\0B", 9), "A\xe9", "A\xc3\xa9"},
        {std::string("\x03\xc3\xa9t\xc3\xa9", 6), "\xe9t\xe9", "\xc3\xa9t\xc3\xa9"},
        {std::string("\x03\xef\xbb\xbfx", 5), "x", "x"},
        {std::string("\x03\xc3(", 3), kept, kept},
        {std::string("\x04" "AB", 3), kept, kept},
        {std::string(4, '\0'), kept, kept},
    };
    for (const auto& c : cases) {
        const std::string tag = Id3Header() + Frame("TPE1", c.content) + Latin1("TIT2", "T");
        for (const auto& process : {std::make_pair(songlark::ConvertTextFn(Utf8To1252), c.in1252),
                                    std::make_pair(songlark::ConvertTextFn(nullptr), c.inUtf8)}) {
            std::string artist = kept, title;
            ParseId3Block(reinterpret_cast<const unsigned char*>(tag.data()), tag.size(), artist, title, process.first);
            EXPECT_EQ(artist, process.second) << testing::PrintToString(c.content);
        }
    }
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

TEST(Mp3Reader, ArtistFromAFailedNameSurvivesAFrameWithoutText)
{
    const std::string unknown = std::string("\x05" "A\0", 3);
    g_file = Id3Header() + Frame("TPE1", unknown) + Latin1("TIT2", "Tag title");
    std::string artist, title;
    EXPECT_EQ(songlark::ReadMp3Tags("C:\\in\\T-1-Name Artist - no dot", artist, title, 1, FakeHead, kSingleByte), 1);
    EXPECT_EQ(artist + "|" + title, "Name Artist|Tag title");

    g_file = Id3Header() + Latin1("TPE1", "Tag artist") + Latin1("TIT2", "Tag title");
    EXPECT_EQ(songlark::ReadMp3Tags("C:\\in\\T-1-Name Artist - no dot", artist, title, 1, FakeHead, kSingleByte), 1);
    EXPECT_EQ(artist, "Tag artist");
}

namespace {

// A tag of the given version with a real (synchsafe) size, and its frames.
std::string Tag(int version, const std::string& frames, unsigned char flags = 0)
{
    const std::size_t n = frames.size();
    return std::string("ID3") + char(version) + '\0' + char(flags) + char((n >> 21) & 0x7f) + char((n >> 14) & 0x7f) +
           char((n >> 7) & 0x7f) + char(n & 0x7f) + frames;
}
std::string Frame24(const std::string& id, const std::string& content, unsigned char format = 0)
{
    const std::size_t n = content.size();
    return id + char((n >> 21) & 0x7f) + char((n >> 14) & 0x7f) + char((n >> 7) & 0x7f) + char(n & 0x7f) + '\0' +
           char(format) + content;
}
std::string Frame22(const std::string& id, const std::string& content)
{
    return id + char(content.size() >> 16) + char(content.size() >> 8) + char(content.size()) + content;
}
std::string Text(const std::string& text) { return std::string(1, '\0') + text; }

songlark::Id3TagFacts Facts(const std::string& bytes)
{
    return songlark::ReadId3TagFacts(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), nullptr);
}

// An MPEG audio frame header and a frame of its size (header included).
std::string MpegFrame(const char* header, std::size_t bytes, const std::string& inside = "")
{
    std::string f = std::string(header, 4) + inside;
    f.resize(bytes, '\x55');
    return f;
}
const char kMpeg1L3At128[] = "\xff\xfb\x90\x00";   // 417 bytes a frame, 1152 samples at 44.1 kHz
const char kMpeg2L3Mono64[] = "\xff\xf3\x80\xc0";  // 208 bytes, 576 samples at 22.05 kHz, side info 9

int Length(const std::string& bytes, std::uint64_t audioStart, std::uint64_t fileSize)
{
    return songlark::Mp3LengthMs(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), audioStart,
                                 fileSize);
}

}  // namespace

TEST(Id3Facts, FramesAsEachVersionDefinesThem)
{
    const std::string both = Frame("TPE1", Text("A")) + Frame("TALB", Text("Album")) + Frame("TLEN", Text("215000"));
    const std::string big(200, 'x');  // 200 is C8: a plain size, 01 48 synchsafe
    const struct {
        std::string bytes;
        const char* want;  // "artist|title|album|length"; the tag's bytes are all of them
    } cases[] = {
        {Tag(3, Frame("TXXX", big) + both), "A||Album|215000"},
        {Tag(4, Frame24("TXXX", big) + Frame24("TALB", Text("Album")) + Frame24("TPE1", Text("A"))), "A||Album|0"},
        {Tag(2, Frame22("TP1", Text("A")) + Frame22("TT2", Text("T")) + Frame22("TAL", Text("B")) +
                    Frame22("TLE", Text("1000"))),
         "A|T|B|1000"},
        // The extended header: 2.3 counts it without its size field, 2.4 with it.
        {Tag(3, std::string("\0\0\0\x06", 4) + std::string(6, '\x7f') + both, 0x40), "A||Album|215000"},
        {Tag(4, std::string("\0\0\0\x06\x01\0", 6) + Frame24("TALB", Text("Album")), 0x40), "||Album|0"},
        // Unsynchronised: a 0x00 after each 0xFF was put in.
        {Tag(3, Frame("TALB", Text("\xff\xe9")) .replace(11, 1, "\xff\0", 2), 0x80), "||\xc3\xbf\xc3\xa9|0"},
        {Tag(4, Frame24("TALB", std::string("\0\xff\0\xe9", 4), 0x02)), "||\xc3\xbf\xc3\xa9|0"},
        // A data length indicator before the text; a compressed frame is passed over.
        {Tag(4, Frame24("TALB", std::string("\0\0\0\x02", 4) + Text("B"), 0x01) +
                    Frame24("TPE1", std::string("xx\0A", 4), 0x08)),
         "||B|0"},
        // The first frame counts; the walk ends at padding and where the read ends.
        {Tag(3, Frame("TALB", Text("One")) + Frame("TALB", Text("Two"))), "||One|0"},
        {Tag(3, std::string(10, '\0') + Frame("TALB", Text("B"))), "|||0"},
        {Tag(4, Frame24("TALB", Text("B")), 0x10) + "3DI" + std::string(7, '\0'), "||B|0"},  // its footer counts
        {"ID3\x05" + std::string(6, '\0') + Frame("TALB", Text("B")), ""},  // no such version
    };
    for (const auto& c : cases) {
        const songlark::Id3TagFacts f = Facts(c.bytes);
        const std::string got =
            f.present ? f.artist + "|" + f.title + "|" + f.album + "|" + std::to_string(f.lengthMs) : "";
        EXPECT_EQ(got, c.want) << testing::PrintToString(c.bytes);
        if (f.present && c.bytes.size() > 20) {
            EXPECT_EQ(f.tagBytes, c.bytes.size());
        }
    }
}

TEST(Id3Facts, OnlyAPlausibleLengthCounts)
{
    const struct {
        const char* tlen;
        int want;
    } cases[] = {{"215000", 215000}, {" 1000 ", 1000}, {"999", 0}, {"3600000", 3600000}, {"3600001", 0},
                 {"0", 0},           {"215", 0},       {"3:35", 0}, {"", 0},             {"99999999999999", 0}};
    for (const auto& c : cases) EXPECT_EQ(Facts(Tag(3, Frame("TLEN", Text(c.tlen)))).lengthMs, c.want) << c.tlen;
}

TEST(Mp3Length, FrameCountsOrTheConstantBitRate)
{
    std::string xing(32, '\0');
    xing += "Xing" + Be32(1) + Be32(10000);
    std::string xingMono(9, '\0');
    xingMono += "Info" + Be32(3) + Be32(1000);
    std::string vbri(32, '\0');
    vbri += "VBRI" + std::string(10, '\0') + Be32(5000);
    const std::string cbr = MpegFrame(kMpeg1L3At128, 417) + MpegFrame(kMpeg1L3At128, 417);
    const struct {
        std::string bytes;
        std::uint64_t audioStart, fileSize;
        int want;
    } cases[] = {
        {cbr, 0, 4000000, 250000},                       // 4 000 000 bytes at 128 kbit/s
        {std::string(300, 'T') + cbr, 300, 4000300, 250000},  // the tag's bytes are no audio
        {std::string(300, 'T') + std::string(50, '\0') + cbr, 300, 4000350, 250000},  // nor padding after it
        {cbr, 0, 10000, 0},                              // 0.6 s: not believed
        {MpegFrame(kMpeg1L3At128, 417, xing) + cbr, 0, 0, 261224},   // 10000 frames of 1152 samples
        {MpegFrame(kMpeg1L3At128, 417, vbri) + cbr, 0, 99, 130612},
        {MpegFrame(kMpeg2L3Mono64, 208, xingMono) + MpegFrame(kMpeg2L3Mono64, 208), 0, 0, 26122},
        {MpegFrame(kMpeg1L3At128, 417, std::string(32, '\0') + "Xing" + Be32(0) + Be32(10000)) + cbr, 0, 4000000, 250000},
        // A sync the next frame does not confirm, then a real frame.
        {std::string("\xff\xfb\x90\x00", 4) + std::string(20, 'z') + cbr, 0, 4000024, 250000},
        {std::string("\xff\xfb\xf0\x00", 4) + std::string(500, 'z'), 0, 4000000, 0},  // bit rate index 15
        {std::string(5000, '\0'), 0, 4000000, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(Length(c.bytes, c.audioStart, c.fileSize), c.want) << c.want;
}

TEST(Mp3Facts, EverySourceAndTheRowAsTheReaderChoosesIt)
{
    const std::string apic = Frame("APIC", std::string(100 * 1024, 'p'));  // beyond the first read
    const std::string frames = MpegFrame(kMpeg1L3At128, 417) + MpegFrame(kMpeg1L3At128, 417);
    const std::string tag = Tag(3, Frame("TPE1", std::string("\x01\xff\xfe" "A\0\xe9\0", 7)) +
                                       Frame("TIT2", Text("Tag Title")) + Frame("TALB", Text("Album")));
    const std::string bigTag = Tag(3, apic + Frame("TALB", Text("Album")));
    const struct {
        std::string path, file;
        int result;
        const char* want;  // row | name | tag | album | length
    } cases[] = {
        {"C:\\in\\T-4000071-Name - Mr. Brightside.mp3", tag + frames, 1,
         "Name|Mr. Brightside  Name|Mr. Brightside  A\xe9|Tag Title  Album  250000"},
        {"C:\\in\\T-4000071-01-untitled.mp3", tag + frames, 1, "A\xe9|Tag Title  |  A\xe9|Tag Title  Album  250000"},
        {"C:\\in\\T-9-Name - Song.mp3", Tag(3, Frame("TLEN", Text("215000"))) + frames, 1,
         "Name|Song  Name|Song  |    215000"},
        {"C:\\in\\T-" + std::to_string(4000000 + bigTag.size()) + "-x.mp3", bigTag + frames, -1,
         "|  |  |  Album  250000"},
        {"C:\\in\\song.mp3", "", -1, "|  |  |    0"},
    };
    for (const auto& c : cases) {
        g_file = c.file;
        songlark::SongFacts f;
        f.album = "stale";
        EXPECT_EQ(songlark::ReadMp3Facts(c.path, f, FakeHead, k1252Process), c.result) << c.path;
        EXPECT_EQ(f.artist + "|" + f.title + "  " + f.nameArtist + "|" + f.nameTitle + "  " + f.tagArtist + "|" +
                      f.tagTitle + "  " + f.album + "  " + std::to_string(f.durationMs),
                  c.want);
        std::string artist, title;
        if (c.result == 1) {
            EXPECT_EQ(songlark::ReadMp3Tags(c.path, artist, title, 1, FakeHead, k1252Process), 1);
            EXPECT_EQ(artist + "|" + title, f.artist + "|" + f.title) << "the row as the watcher reads it";
        }
    }
}
