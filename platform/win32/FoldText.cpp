#include "platform/FoldText.h"

#include <mbstring.h>

namespace songlark {

void FoldTextCase(char* text, size_t length)
{
    // A text of ASCII bytes alone, the usual one, is folded here: no code
    // page has a lead byte below 0x80, and Wine's _mbslwr costs a call per
    // byte. Anything else is the runtime's to fold.
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            _mbslwr(reinterpret_cast<unsigned char*>(text));
            return;
        }
        if (c >= 'A' && c <= 'Z') text[i] = static_cast<char>(c - 'A' + 'a');
    }
}

}  // namespace songlark
