#include "platform/FoldText.h"

#include "core/store/LyricText.h"

#include <windows.h>

#include <cstring>
#include <mbctype.h>
#include <mbstring.h>
#include <string>

namespace songlark {
namespace {

// The lower case of UTF-8 text, or false when it is not UTF-8 or its
// length would change.
bool LowerUtf8(const char* text, size_t length, std::string* lower)
{
    const int size = static_cast<int>(length);
    const int count = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, size, nullptr, 0);
    if (count <= 0) return false;
    std::wstring wide(static_cast<size_t>(count), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, size, &wide[0], count);
    // The invariant locale: the same fold for every user, no Turkish dotless i.
    std::wstring folded(wide.size(), L'\0');
    if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_LOWERCASE, wide.data(), count, &folded[0], count) != count)
        return false;
    const int back = ::WideCharToMultiByte(CP_UTF8, 0, folded.data(), count, nullptr, 0, nullptr, nullptr);
    if (back != size) return false;
    lower->assign(length, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, folded.data(), count, &(*lower)[0], back, nullptr, nullptr);
    return true;
}

void FoldUtf8(char* text, size_t length)
{
    std::string lower;
    // One conversion for the whole text, the usual case.
    if (LowerUtf8(text, length, &lower)) {
        std::memcpy(text, lower.data(), length);
        return;
    }
    // Else character by character, each kept when it cannot be folded alone.
    for (size_t i = 0; i < length;) {
        const size_t n = Utf8SequenceLength(text + i, length - i);
        if (n == 0) {
            ++i;
        } else if (n == 1) {
            if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
            ++i;
        } else {
            if (LowerUtf8(text + i, n, &lower)) std::memcpy(text + i, lower.data(), n);
            i += n;
        }
    }
}

}  // namespace

void FoldTextCase(char* text, size_t length)
{
    // A text of ASCII bytes alone, the usual one, is folded here: no code
    // page has a lead byte below 0x80, and Wine's _mbslwr costs a call per
    // byte. Anything else is folded by the runtime's code page.
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (_getmbcp() == CP_UTF8)
                FoldUtf8(text, length);
            else
                _mbslwr(reinterpret_cast<unsigned char*>(text));
            return;
        }
        if (c >= 'A' && c <= 'Z') text[i] = static_cast<char>(c - 'A' + 'a');
    }
}

}  // namespace songlark
