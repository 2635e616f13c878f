// The .dat trailer and metadata block, and the Kazaa reader over real files.
#include "PathSyntaxes.h"
#include "TagBytes.h"
#include "core/tags/KazaaBlock.h"
#include "core/tags/TagReaders.h"
#include "platform/FileRead.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

using namespace tagbytes;
using songlark::KazaaBlockLength;

namespace {

const std::string kItems = KazaaItem(6, std::string("Item Artist\0", 12)) + KazaaItem(4, std::string("Item Title\0", 11));

struct Parsed {
    int result;
    std::string artist, title;
};

Parsed Parse(const std::string& block)
{
    Parsed p{0, "<kept>", "<kept>"};
    p.result = songlark::ParseKazaaBlock(reinterpret_cast<const unsigned char*>(block.data()), block.size(), p.artist,
                                         p.title);
    return p;
}

int Length(const std::string& trailer) { return KazaaBlockLength(reinterpret_cast<const unsigned char*>(trailer.data())); }

std::string WriteFile(const std::string& name, const std::string& bytes)
{
    const std::string path = ::testing::TempDir() + "songlark_kazaa_" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

}  // namespace

TEST(KazaaTrailer, MarkerAndLengthBounds)
{
    EXPECT_EQ(Length(KazaaTrailer(2048)), 2048);
    EXPECT_EQ(Length(KazaaTrailer(2049)), -1);
    EXPECT_EQ(Length(KazaaTrailer(8)), 8);
    EXPECT_EQ(Length(KazaaTrailer(7)), -1);  // shorter than the block's head
    EXPECT_EQ(Length(KazaaTrailer(0)), -1);
    EXPECT_EQ(Length(KazaaTrailer(-5)), -1);   // FB FF: signed
    EXPECT_EQ(Length(KazaaTrailer(300, "kaza")), -1);
    EXPECT_EQ(Length(KazaaTrailer(300, "KAZB")), -1);
}

TEST(KazaaBlock, HeadValueAndMp3Name)
{
    EXPECT_EQ(Parse(KazaaBlock("song.MP3", 2, kItems)).result, 1);
    EXPECT_EQ(Parse(KazaaBlock("song.mp3", 2, kItems)).result, 1);
    EXPECT_EQ(Parse(KazaaBlock("Song.Mp3", 2, kItems)).result, -1);
    EXPECT_EQ(Parse(KazaaBlock("song.mp3.part", 2, kItems)).title, "Item Title");
    EXPECT_EQ(Parse(KazaaBlock("song.mp3", 2, kItems, 2)).result, -1);
    EXPECT_EQ(Parse(KazaaBlock("song.mp3", 2, kItems, 0x101)).result, -1);
    EXPECT_EQ(Parse(std::string(8, '\0').replace(4, 1, "\x01")).result, -1);  // no name at all
}

TEST(KazaaBlock, NameRuleWinsWithoutLookingAtItems)
{
    Parsed p = Parse(KazaaBlock("Some Artist - A Song.mp3", 0, ""));
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.artist + "|" + p.title, "Some Artist|A Song");
    // An empty title says nothing, as do a one-character artist and two
    // dashes: the items are used.
    p = Parse(KazaaBlock("Artist - .mp3", 2, kItems));
    EXPECT_EQ(p.artist + "|" + p.title, "Item Artist|Item Title");
    p = Parse(KazaaBlock("A - Song.mp3", 2, kItems));
    EXPECT_EQ(p.artist + "|" + p.title, "Item Artist|Item Title");
    p = Parse(KazaaBlock("Some - Artist - Song.mp3", 2, kItems));
    EXPECT_EQ(p.artist + "|" + p.title, "Item Artist|Item Title");
}

TEST(KazaaItems, TypesSixAndFourLaterReplacingEarlier)
{
    const std::string items = KazaaItem(1, "x") + kItems + KazaaItem(6, std::string("Later\0", 6));
    Parsed p = Parse(KazaaBlock("song.mp3", 4, items));
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.artist, "Later");
    // The count stops the walk before the later item.
    EXPECT_EQ(Parse(KazaaBlock("song.mp3", 3, items)).artist, "Item Artist");
    EXPECT_EQ(Parse(KazaaBlock("song.mp3", 1, kItems)).result, -1);  // title never read
    EXPECT_EQ(Parse(KazaaBlock("song.mp3", 2, KazaaItem(6, std::string(1, '\0')) + KazaaItem(4, "T"))).result, -1);
    EXPECT_EQ(Parse(KazaaBlock("song.mp3", 2, KazaaItem(6, "A") + KazaaItem(4, std::string("\0x", 2)))).result, -1);
}

TEST(KazaaItems, WalkEndsAtTheBlocksEnd)
{
    // A count far above what the block holds, and a last value without its
    // NUL: the text stops at the end of the block.
    Parsed p = Parse(KazaaBlock("song.mp3", 0xffffffffu, KazaaItem(6, std::string("Artist\0", 7)) + KazaaItem(4, "Title")));
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.title, "Title");
    // A huge length ends the walk; wrapped around 32 bits it would land on the
    // title item hidden inside the artist's value.
    const std::string artist = KazaaItem(6, std::string("A\0", 2) + KazaaItem(4, std::string("Wrapped\0", 8)));
    const std::string huge = Le32(7) + Le32(0xffffffe8u);  // 2^32 - 24: back to offset 10 of `artist`
    EXPECT_EQ(Parse(KazaaBlock("song.mp3", 3, artist + huge)).result, -1);
    // An item head cut by the block's end is not read.
    EXPECT_EQ(Parse(KazaaBlock("song.mp3", 3, kItems.substr(0, 20) + Le32(4) + "\x01")).result, -1);
    EXPECT_EQ(Parse(KazaaBlock("song.mp3", 2, "").substr(0, 100)).result, -1);  // count beyond the block
}

TEST(KazaaReader, ReadsTheBlockBeforeTheTrailer)
{
    const std::string block = KazaaBlock("two - dashes - x.mp3", 2, kItems);
    std::string artist, title;
    const std::string good = WriteFile("good.dat", std::string(5000, '\xaa') + block + KazaaTrailer(int(block.size())));
    EXPECT_EQ(songlark::ReadKazaaSong(good, artist, title, 0, songlark::ReadFileTail), 1);
    EXPECT_EQ(artist + "|" + title, "Item Artist|Item Title");

    // The block is exactly the file's start: nothing before it is needed.
    const std::string bare = WriteFile("bare.dat", block + KazaaTrailer(int(block.size())));
    EXPECT_EQ(songlark::ReadKazaaSong(bare, artist, title, 0, songlark::ReadFileTail), 1);
    // L reaching before the file's start, a short file, a missing file.
    const std::string shortBlock = WriteFile("short.dat", block + KazaaTrailer(int(block.size()) + 1));
    EXPECT_EQ(songlark::ReadKazaaSong(shortBlock, artist, title, 0, songlark::ReadFileTail), -1);
    // The largest block accepted, and one byte more.
    const std::string full = block + std::string(2048 - block.size(), '\0');
    const std::string largest = WriteFile("2048.dat", "x" + full + KazaaTrailer(2048));
    EXPECT_EQ(songlark::ReadKazaaSong(largest, artist, title, 0, songlark::ReadFileTail), 1);
    const std::string over = WriteFile("2049.dat", full + '\0' + KazaaTrailer(2049));
    EXPECT_EQ(songlark::ReadKazaaSong(over, artist, title, 0, songlark::ReadFileTail), -1);
    const std::string tiny = WriteFile("tiny.dat", std::string("KAZA\x08\0\0\0\0", 9));
    EXPECT_EQ(songlark::ReadKazaaSong(tiny, artist, title, 0, songlark::ReadFileTail), -1);
    EXPECT_EQ(songlark::ReadKazaaSong(good + ".missing", artist, title, 0, songlark::ReadFileTail), -1);
    for (const std::string& p : {good, bare, shortBlock, largest, over, tiny}) std::remove(p.c_str());
}

TEST(KazaaFacts, NameAndItemsConvertedFromTheWritersCodePage)
{
    using pathsyntaxes::kUtf8Process;
    const std::string items = KazaaItem(6, std::string("Bj\xf6rk\0", 6)) + KazaaItem(4, std::string("J\xf3ga\0", 5));
    const struct {
        std::string block;
        int result;
        const char* want;  // row | name | items
    } cases[] = {
        {KazaaBlock("Bj\xf6rk - J\xf3ga.mp3", 2, items), 1, "Bj\xc3\xb6rk|J\xc3\xb3ga  Bj\xc3\xb6rk|J\xc3\xb3ga  Bj\xc3\xb6rk|J\xc3\xb3ga"},
        // A byte the writer's code page leaves undefined: that text is lost.
        {KazaaBlock("Bj\x81rk - J\xf3ga.mp3", 2, items), 1, "Bj\xc3\xb6rk|J\xc3\xb3ga  |  Bj\xc3\xb6rk|J\xc3\xb3ga"},
        {KazaaBlock("x.mp3", 2, KazaaItem(6, "A\x81") + KazaaItem(4, "T")), -1, "|  |  |T"},
        {KazaaBlock("Some Artist - A Song.mp3", 0, ""), 1, "Some Artist|A Song  Some Artist|A Song  |"},
    };
    for (const auto& c : cases) {
        const std::string path = WriteFile("facts.dat", std::string(100, '\xaa') + c.block + KazaaTrailer(int(c.block.size())));
        songlark::SongFacts f;
        EXPECT_EQ(songlark::ReadKazaaFacts(path, f, songlark::ReadFileTail, kUtf8Process), c.result) << c.want;
        EXPECT_EQ(f.artist + "|" + f.title + "  " + f.nameArtist + "|" + f.nameTitle + "  " + f.tagArtist + "|" +
                      f.tagTitle,
                  c.want);
        std::string artist, title;
        if (c.result == 1) {
            EXPECT_EQ(songlark::ReadKazaaSong(path, artist, title, 0, songlark::ReadFileTail, kUtf8Process), 1);
            EXPECT_EQ(artist + "|" + title, f.artist + "|" + f.title) << "the row as the watcher reads it";
        }
        std::remove(path.c_str());
    }
}
