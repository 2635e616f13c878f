#include "platform/CodePage.h"

#include "platform/TextCodec.h"

#include <windows.h>


namespace {
bool ToWide(UINT codePage, DWORD flags, const std::string& text, std::wstring* wide)
{
    wide->clear();
    if (text.empty()) return true;
    const int size = static_cast<int>(text.size());
    const int count = ::MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (count <= 0) return false;
    wide->resize(static_cast<std::size_t>(count));
    return ::MultiByteToWideChar(codePage, flags, text.data(), size, &(*wide)[0], count) == count;
}

bool FromWide(UINT codePage, DWORD flags, const std::wstring& wide, std::string* text)
{
    text->clear();
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    // CP_UTF8 takes neither a default character nor the flag that asks for it.
    const char* fallback = codePage == CP_UTF8 ? nullptr : "?";
    const int count = ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, fallback, nullptr);
    if (count <= 0) return false;
    text->resize(static_cast<std::size_t>(count));
    return ::WideCharToMultiByte(codePage, flags, wide.data(), size, &(*text)[0], count, fallback, nullptr) ==
           count;
}
}  // namespace

bool AnsiToUtf8(const std::string& ansi, std::string* utf8)
{
    std::wstring wide;
    return ToWide(CP_ACP, 0, ansi, &wide) && FromWide(CP_UTF8, 0, wide, utf8);
}

bool Utf8ToAnsi(const std::string& utf8, std::string* ansi)
{
    return Utf8ToCodePage(utf8, ::GetACP(), ansi);
}

bool Utf8ToCodePage(const std::string& utf8, unsigned codePage, std::string* out)
{
    std::wstring wide;
    if (!ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, &wide)) return false;
    // A UTF-8 code page holds every character: the text stays as it came.
    if (codePage == CP_UTF8) {
        *out = utf8;
        return true;
    }
    // No other code page holds a character beyond U+FFFF; systems differ in
    // whether such a pair becomes one '?' or two, so it is made one here.
    std::wstring single;
    single.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const wchar_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            single.push_back(L'?');
            ++i;
        } else {
            single.push_back(c);
        }
    }
    // No best-fit look-alikes ('a' for a-macron, '8' for infinity): a
    // character the code page lacks is a '?'.
    return FromWide(codePage, WC_NO_BEST_FIT_CHARS, single, out);
}

bool UserAnsiToAnsi(const std::string& legacy, std::string* ansi)
{
    const unsigned from = songlark::UserLegacyCodePage();
    const unsigned to = songlark::ProcessCodePage();
    if (from == to || legacy.empty()) {
        *ansi = legacy;  // the same table: every byte stays, undefined ones too
        return true;
    }
    *ansi = songlark::ConvertCodePage(legacy, from, to);
    return !ansi->empty();
}
