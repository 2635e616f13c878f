#include "core/store/LyricFile.h"

#include <cstring>

namespace songlark {

std::string FormatLyricFile(const char* artist, const char* title, const char* lyric)
{
    std::string text;
    text.reserve(std::strlen(artist) + std::strlen(title) + std::strlen(lyric) + 7);
    text += artist;
    text += " - ";
    text += title;
    text += "\r\n\r\n";
    text += lyric;
    return text;
}

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsNoCaseAscii(const std::string& a, const char* b)
{
    const size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (UpperAscii(a[i]) != b[i]) return false;
    return true;
}

// Windows opens a device for its name whatever extension follows, and it
// trims blanks before the extension ("nul .txt" is NUL).
bool IsDeviceName(const std::string& name)
{
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const kFixed[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kFixed)
        if (EqualsNoCaseAscii(base, device)) return true;
    // COM and LPT take any digit, and also the superscripts one to three
    // (their code page 1252 bytes).
    if (base.size() == 4) {
        const unsigned char n = static_cast<unsigned char>(base[3]);
        const bool number = (n >= '0' && n <= '9') || n == 0xB9 || n == 0xB2 || n == 0xB3;
        const std::string stem = base.substr(0, 3);
        if (number && (EqualsNoCaseAscii(stem, "COM") || EqualsNoCaseAscii(stem, "LPT"))) return true;
    }
    return false;
}

}  // namespace

bool IsPlainPathComponent(const std::string& name)
{
    if (name.empty()) return false;
    bool onlyDotsAndBlanks = true;
    for (char ch : name) {
        const unsigned char c = static_cast<unsigned char>(ch);
        // Bytes of a double-byte character may equal '\' in some code pages;
        // refusing those names too errs on the side of staying in the folder.
        if (c < 0x20 || std::strchr("\\/:*?\"<>|", ch)) return false;
        if (ch != '.' && ch != ' ') onlyDotsAndBlanks = false;
    }
    if (onlyDotsAndBlanks) return false;
    return !IsDeviceName(name);
}

std::string StoreName(const std::string& name)
{
    std::string mapped = name;
    bool onlyDotsAndBlanks = true;
    for (char& ch : mapped) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || std::strchr("\\/:*?\"<>|", ch)) ch = '_';
        if (ch != '.' && ch != ' ') onlyDotsAndBlanks = false;
    }
    if (onlyDotsAndBlanks) return "_";
    if (IsDeviceName(mapped)) mapped.insert(0, 1, '_');
    return mapped;
}

bool SplitLyricPath(const std::string& lyricsFolder, const std::string& path,
                    std::string* artist, std::string* title)
{
    static const std::string kExtension = ".lyric";
    if (lyricsFolder.empty() || lyricsFolder.back() != '\\') return false;
    if (path.size() < lyricsFolder.size() + kExtension.size()) return false;
    if (path.compare(0, lyricsFolder.size(), lyricsFolder) != 0) return false;
    if (path.compare(path.size() - kExtension.size(), kExtension.size(), kExtension) != 0) return false;

    const std::string rest = path.substr(lyricsFolder.size(), path.size() - lyricsFolder.size() - kExtension.size());
    const size_t slash = rest.find('\\');
    if (slash == std::string::npos) return false;
    const std::string a = rest.substr(0, slash);
    const std::string t = rest.substr(slash + 1);
    if (!IsPlainPathComponent(a) || !IsPlainPathComponent(t)) return false;
    if (artist) *artist = a;
    if (title) *title = t;
    return true;
}

bool NamesFromFirstLine(const std::string& text, const std::string& storedArtist, const std::string& storedTitle,
                        std::string* artist, std::string* title)
{
    const std::string line = text.substr(0, text.find("\r\n"));
    // The artist itself may hold " - ": every split is tried, first to last.
    for (std::size_t at = line.find(" - "); at != std::string::npos; at = line.find(" - ", at + 1)) {
        const std::string a = line.substr(0, at), t = line.substr(at + 3);
        if (StoreName(a) == storedArtist && StoreName(t) == storedTitle) {
            *artist = a;
            *title = t;
            return true;
        }
    }
    return false;
}

std::string TitleFromFileName(const std::string& fileName)
{
    const size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

std::string ArtistFromFilePath(const std::string& filePath, const PathSyntax& syntax)
{
    const size_t last = FindLastSeparator(filePath, syntax);
    if (last == std::string::npos) return std::string();
    // The text before a separator ends on a whole character: it reads alone.
    const size_t before = FindLastSeparator(filePath.substr(0, last), syntax);
    const size_t start = before == std::string::npos ? 0 : before + 1;
    return filePath.substr(start, last - start);
}

}  // namespace songlark
