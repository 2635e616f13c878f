// The scraper given arbitrary pages. Input: title, song list response and
// song page response, separated by "\n=====\n" (missing parts are empty).
#include "core/lyrics/Scraper.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
const std::string kSeparator = "\n=====\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string parts[3];
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t next = i < 2 ? input.find(kSeparator, at) : std::string::npos;
        parts[i] = input.substr(at, next == std::string::npos ? std::string::npos : next - at);
        if (next == std::string::npos) break;
        at = next + kSeparator.size();
    }
    const std::string title = parts[0].c_str();  // up to a zero byte, as typed text would be
    int calls = 0;
    std::size_t songPathLength = 0;
    const std::string lyric = ScrapeLyric(
        LyricsSiteAddress(), "Night Owls", title.c_str(),
        [&](const char*, unsigned short, const char* path, char* buffer, int capacity, int* received) {
            const std::string& page = parts[1 + (calls++ > 0)];
            if (calls > 1) songPathLength = std::strlen(path);
            // What HttpGet guarantees: at most capacity - 1 bytes, then a zero.
            *received = static_cast<int>(std::min<std::size_t>(page.size(), capacity - 1));
            std::memcpy(buffer, page.data(), static_cast<std::size_t>(*received));
            buffer[*received] = '\0';
            return true;
        }).lyric;
    // Never more than two requests; the song path and the lyric come out of the pages.
    if (calls > 2 || songPathLength > parts[1].size() || lyric.size() > parts[2].size()) std::abort();
    return 0;
}
