#include "lyrics/net/LrclibFetch.h"

#include "core/lyrics/LrclibAnswer.h"
#include "core/lyrics/LrclibRequest.h"
#include "lyrics/net/win32/WinHttpGet.h"
#include "platform/CodePage.h"

std::string FetchLrclibLyric(const LrclibAddress& server, const char* artist, const char* title,
                             unsigned long* error)
{
    unsigned long ignored = 0;
    if (!error) error = &ignored;
    *error = 0;
    if (!*artist || !*title) return std::string();

    std::string artistUtf8, titleUtf8;
    if (!AnsiToUtf8(artist, &artistUtf8) || !AnsiToUtf8(title, &titleUtf8)) return std::string();

    int status = 0;
    std::string body;
    *error = WinHttpGet(server, LrclibRequestPath(artistUtf8, titleUtf8), kLrclibBodyMax, &status, &body);
    if (*error != 0) return std::string();

    std::string ansi;
    if (!Utf8ToAnsi(LrclibLyricFromResponse(status, body), &ansi)) return std::string();
    return ansi;
}
