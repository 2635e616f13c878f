#include "core/tags/TagReaders.h"

#include "core/tags/Id3Block.h"
#include "core/tags/KazaaBlock.h"
#include "core/tags/NameRules.h"

namespace songlark {

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
    return ParseId3Block(head, static_cast<std::size_t>(n), artist, title);
}

int ReadKazaaSong(std::string path, std::string& artist, std::string& title, int /*unused*/, ReadTailFn readTail)
{
    unsigned char block[kKazaaMaxBlockBytes];
    const int n = readTail(path, static_cast<int>(kKazaaTrailerBytes), KazaaBlockLength, block,
                           static_cast<int>(sizeof block));
    if (n < 0) return -1;
    return ParseKazaaBlock(block, static_cast<std::size_t>(n), artist, title);
}

}  // namespace songlark
