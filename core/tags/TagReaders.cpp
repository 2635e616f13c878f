#include "core/tags/TagReaders.h"

#include "core/tags/Id3Block.h"
#include "core/tags/KazaaBlock.h"
#include "core/tags/Mp3Facts.h"
#include "core/tags/NameRules.h"

#include <algorithm>
#include <new>
#include <vector>

namespace songlark {
namespace {

// The complete file's size from LimeWire's incomplete name "T-<size>-...",
// or 0.
std::uint64_t LimeWireFileSize(const std::string& name)
{
    if (name.size() < 4 || name[0] != 'T' || name[1] != '-') return 0;
    std::uint64_t size = 0;
    std::size_t i = 2;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
        if (size > (std::uint64_t(1) << 40)) return 0;  // no song is a terabyte
        size = size * 10 + static_cast<unsigned>(name[i] - '0');
    }
    return i > 2 && i < name.size() && name[i] == '-' ? size : 0;
}

// Reads the head into `head`: a first read that holds most tags whole, and
// when the tag reaches beyond it, one more that holds the tag and the first
// audio frames (up to kMp3FactsMaxBytes). Returns the bytes read, or -1.
int ReadFactsHead(const std::string& path, ReadHeadFn readHead, std::vector<unsigned char>& head)
{
    head.resize(kMp3FactsFirstBytes);
    int n = readHead(path, head.data(), static_cast<int>(head.size()));
    if (n < 0) return -1;
    const Id3TagFacts tag = ReadId3TagFacts(head.data(), static_cast<std::size_t>(n), nullptr);
    const std::uint64_t wanted = tag.tagBytes + kMp3AudioSearchBytes;
    if (static_cast<std::size_t>(n) == head.size() && tag.present && wanted > head.size()) {
        try {
            std::vector<unsigned char> more(static_cast<std::size_t>(std::min<std::uint64_t>(wanted, kMp3FactsMaxBytes)));
            const int m = readHead(path, more.data(), static_cast<int>(more.size()));
            if (m > n) head.swap(more), n = m;
        } catch (const std::bad_alloc&) {
            // the first read's facts will do
        }
    }
    head.resize(static_cast<std::size_t>(n));
    return n;
}

}  // namespace

int ReadMp3Tags(std::string path, std::string& artist, std::string& title, int tryNameFirst, ReadHeadFn readHead,
                const PathSyntax& syntax)
{
    if (tryNameFirst) {
        const std::string::size_type slash = FindLastSeparator(path, syntax);
        // A name that fits spares opening the file at all.
        if (slash != std::string::npos && ParseLimeWireName(path.substr(slash + 1), artist, title) == 1) return 1;
    }
    unsigned char head[kMp3HeadBytes];
    const int n = readHead(path, head, static_cast<int>(sizeof head));
    if (n < 0) return -1;
    return ParseId3Block(head, static_cast<std::size_t>(n), artist, title, syntax.fromUtf8);
}

int ReadKazaaSong(std::string path, std::string& artist, std::string& title, int unused, ReadTailFn readTail)
{
    return ReadKazaaSong(path, artist, title, unused, readTail, PathSyntax{'\\', nullptr});
}

int ReadKazaaSong(std::string path, std::string& artist, std::string& title, int /*unused*/, ReadTailFn readTail,
                  const PathSyntax& syntax)
{
    unsigned char block[kKazaaMaxBlockBytes];
    const int n = readTail(path, static_cast<int>(kKazaaTrailerBytes), KazaaBlockLength, block,
                           static_cast<int>(sizeof block));
    if (n < 0) return -1;
    return ParseKazaaBlock(block, static_cast<std::size_t>(n), artist, title, syntax.fromLegacy);
}

int ReadMp3Facts(const std::string& path, SongFacts& facts, ReadHeadFn readHead, const PathSyntax& syntax)
{
    facts = SongFacts();
    const std::size_t slash = FindLastSeparator(path, syntax);
    const std::string name = slash == std::string::npos ? std::string() : path.substr(slash + 1);
    // The row's pair exactly as ReadMp3Tags chooses it, the name's leftovers included.
    std::string artist, title;
    const bool nameFits = slash != std::string::npos && ParseLimeWireName(name, artist, title) == 1;
    if (nameFits) facts.nameArtist = artist, facts.nameTitle = title;

    std::vector<unsigned char> head;
    const int n = ReadFactsHead(path, readHead, head);
    if (n >= 0) {
        const Id3TagFacts tag = ReadId3TagFacts(head.data(), head.size(), syntax.fromUtf8);
        facts.tagArtist = tag.artist;
        facts.tagTitle = tag.title;
        facts.album = tag.album;
        facts.durationMs = tag.lengthMs;
        if (!facts.durationMs)
            facts.durationMs = Mp3LengthMs(head.data(), head.size(), tag.present ? tag.tagBytes : 0, LimeWireFileSize(name));
    }

    int result = nameFits ? 1 : -1;
    if (!nameFits && n >= 0)
        result = ParseId3Block(head.data(), std::min<std::size_t>(head.size(), kMp3HeadBytes), artist, title,
                               syntax.fromUtf8);
    if (result == 1) facts.artist = artist, facts.title = title;
    return result;
}

int ReadKazaaFacts(const std::string& path, SongFacts& facts, ReadTailFn readTail, const PathSyntax& syntax)
{
    facts = SongFacts();
    unsigned char block[kKazaaMaxBlockBytes];
    const int n = readTail(path, static_cast<int>(kKazaaTrailerBytes), KazaaBlockLength, block,
                           static_cast<int>(sizeof block));
    if (n < 0) return -1;
    KazaaBlockText text;
    if (!ReadKazaaBlockText(block, static_cast<std::size_t>(n), syntax.fromLegacy, &text)) return -1;
    std::string artist, title;
    if (ParseKazaaName(text.name, artist, title) == 1) facts.nameArtist = artist, facts.nameTitle = title;
    facts.tagArtist = text.artist;
    facts.tagTitle = text.title;

    artist.clear(), title.clear();
    const int result = ParseKazaaBlock(block, static_cast<std::size_t>(n), artist, title, syntax.fromLegacy);
    if (result == 1) facts.artist = artist, facts.title = title;
    return result;
}

}  // namespace songlark
