// The JSON reader and the reading of an LRCLIB answer over arbitrary bytes:
// no crash, the same verdict twice, a lyric only from a text the reader
// accepts, and every line end of a lyric a CR LF.
#include "core/lyrics/Json.h"
#include "core/lyrics/LrclibAnswer.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    JsonField first[] = {JsonField("plainLyrics"), JsonField("syncedLyrics"), JsonField("instrumental")};
    JsonField second[] = {JsonField("plainLyrics"), JsonField("syncedLyrics"), JsonField("instrumental")};
    const bool valid = ReadJsonObject(body.data(), body.size(), first, 3);
    if (ReadJsonObject(body.data(), body.size(), second, 3) != valid) std::abort();
    for (int i = 0; valid && i < 3; ++i)
        if (first[i].kind != second[i].kind || first[i].text != second[i].text) std::abort();

    const std::string lyric = LrclibLyricFromResponse(200, body);
    if (!lyric.empty() && !valid) std::abort();
    for (std::size_t i = 0; i < lyric.size(); ++i)
        if (lyric[i] == '\n' && (i == 0 || lyric[i - 1] != '\r')) std::abort();
    return 0;
}
