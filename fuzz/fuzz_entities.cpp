// Entity decoding over arbitrary text: the length is kept and a byte changes
// only into a blank, or into an entity's character where a '&' stood.
#include "core/lyrics/Entities.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    const std::vector<char> before = text;
    const std::size_t length = std::strlen(text.data());
    DecodeEntities(text.data());
    if (std::strlen(text.data()) != length) std::abort();
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != before[i] && text[i] != ' ' && before[i] != '&') std::abort();
    return 0;
}
