#include "core/lyrics/Entities.h"

#include <cstring>

const EntityEntry kEntityTable[] = {
    {"&quot;", '"'},  {"&#35;", '#'},  {"&#36;", '$'},  {"&#37;", '%'},  {"&#38;", '&'},
    {"&amp;", '&'},   {"&#39;", '\''}, {"&#40;", '('},  {"&#41;", ')'},  {"&#42;", '*'},
    {"&#43;", '+'},   {"&#44;", ','},  {"&#45;", '-'},  {"&#46;", '.'},  {"&#47;", '/'},
    {"&#48;", '0'},   {"&#49;", '1'},  {"&#50;", '2'},  {"&#51;", '3'},  {"&#52;", '4'},
    {"&#53;", '5'},   {"&#54;", '6'},  {"&#55;", '7'},  {"&#56;", '8'},  {"&#57;", '9'},
    {"&#58;", ':'},   {"&#59;", ';'},  {"&#60;", '<'},  {"&lt;", '<'},   {"&#61;", '='},
    {"&#62;", '>'},   {"&gt;", '>'},   {"&#63;", '?'},  {"&#64;", '@'},  {"&#91;", '['},
    {"&#92;", '\\'},  {"&#93;", ']'},  {"&#94;", '^'},  {"&#95;", '_'},  {"&#96;", '`'},
    {"&#123;", '{'},  {"&#124;", '|'}, {"&#125;", '}'}, {"&#126;", '~'}, {"&#127;", '\x7F'},
};
const int kEntityCount = static_cast<int>(sizeof(kEntityTable) / sizeof(kEntityTable[0]));
static_assert(sizeof(kEntityTable) / sizeof(kEntityTable[0]) == 45, "entity table size");

bool ReplaceEntity(char* pos, const char* entity, char replacement)
{
    const std::size_t length = std::strlen(entity);
    // strncmp stops at the text's terminating zero, so a short text never
    // matches and is never read past.
    if (std::strncmp(pos, entity, length) != 0) return false;
    pos[0] = replacement;
    std::memset(pos + 1, ' ', length - 1);
    return true;
}

void DecodeEntities(char* text)
{
    char* scan = text;
    while (*scan) {
        char* amp = std::strchr(scan, '&');
        if (!amp) return;
        bool replaced = false;
        for (int i = 0; i < kEntityCount && !replaced; ++i) {
            if (ReplaceEntity(amp, kEntityTable[i].text, kEntityTable[i].character)) {
                scan = amp + std::strlen(kEntityTable[i].text);
                replaced = true;
            }
        }
        if (replaced) continue;
        char* semicolon = std::strchr(amp + 1, ';');
        if (!semicolon) return;
        std::memset(amp, ' ', static_cast<std::size_t>(semicolon - amp) + 1);
        scan = semicolon + 1;
    }
}
