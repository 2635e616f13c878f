// songlark-cli tags FILE...: what the watcher would take from each download,
// one line per file: PATH, the reader's result, artist and title.
#include "tools/cli/Commands.h"

#include "core/tags/TagReaders.h"
#include "platform/FileRead.h"
#include "platform/SystemPath.h"

#include <cstdio>
#include <string>

namespace {

bool EndsWithNoCase(const std::string& s, const char* suffix)
{
    const std::string::size_type n = std::char_traits<char>::length(suffix);
    if (s.size() < n) return false;
    for (std::string::size_type i = 0; i < n; ++i) {
        char c = s[s.size() - n + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

// Bytes outside printable ASCII, and the backslash, as \xNN: the output stays
// one exact line per file whatever the tag holds.
std::string Escaped(const std::string& s)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c <= 0x7E && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

int RunTags(int argc, char** argv);
const CliCommand kTags{"tags", "tags FILE...   (each .mp3 or .dat: PATH<TAB>RESULT<TAB>ARTIST<TAB>TITLE)", RunTags};
const CliCommandRegistration kRegistered(kTags);

int RunTags(int argc, char** argv)
{
    if (argc < 2) return CliUsage(kTags);
    bool allRead = true;
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        std::string artist, title;
        int result;
        if (EndsWithNoCase(path, ".mp3")) {
            result = songlark::ReadMp3Tags(path, artist, title, 1, songlark::ReadFileHead, songlark::SystemPathSyntax());
        } else if (EndsWithNoCase(path, ".dat")) {
            result = songlark::ReadKazaaSong(path, artist, title, 0, songlark::ReadFileTail, songlark::SystemPathSyntax());
        } else {
            std::fprintf(stderr, "songlark-cli tags: %s: not an .mp3 or .dat file, skipped\n", path.c_str());
            allRead = false;
            continue;
        }
        if (result != 1) artist.clear(), title.clear();
        std::printf("%s\t%d\t%s\t%s\n", path.c_str(), result, Escaped(artist).c_str(), Escaped(title).c_str());
    }
    std::fflush(stdout);
    return allRead ? 0 : 1;
}

}  // namespace
