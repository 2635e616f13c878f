#include "platform/TextCodec.h"

#include "core/store/LyricText.h"

#include <windows.h>

#include <cstdlib>
#include <initializer_list>

namespace songlark {

unsigned ProcessCodePage()
{
    return ::GetACP();
}

unsigned UserLegacyCodePage()
{
    // A locale without an ANSI code page of its own (a Unicode-only one)
    // says 0: then the system locale's, in which the earlier version ran.
    for (LCID locale : {LOCALE_USER_DEFAULT, LOCALE_SYSTEM_DEFAULT}) {
        char digits[8];
        if (::GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof digits) > 0) {
            const unsigned codePage = static_cast<unsigned>(std::strtoul(digits, nullptr, 10));
            if (codePage != 0) return codePage;
        }
    }
    return 1252;
}

std::wstring WideFromProcessText(const std::string& text)
{
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int count = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (count <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(count), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], count);
    return wide;
}

std::string ConvertCodePage(const std::string& text, unsigned from, unsigned to)
{
    if (from == to || text.empty()) return text;
    const int size = static_cast<int>(text.size());
    const int wideCount = ::MultiByteToWideChar(from, 0, text.data(), size, nullptr, 0);
    if (wideCount <= 0) return std::string();
    std::wstring wide(static_cast<size_t>(wideCount), L'\0');
    ::MultiByteToWideChar(from, 0, text.data(), size, &wide[0], wideCount);

    // UTF-8 takes neither flags nor a default character; the others get
    // '?' for what they lack, never a look-alike that means something else.
    const bool utf8 = to == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = utf8 ? nullptr : "?";
    const int count = ::WideCharToMultiByte(to, flags, wide.data(), wideCount, nullptr, 0, fallback, nullptr);
    if (count <= 0) return std::string();
    std::string out(static_cast<size_t>(count), '\0');
    ::WideCharToMultiByte(to, flags, wide.data(), wideCount, &out[0], count, fallback, nullptr);
    return out;
}

std::string LyricFileToText(const std::string& bytes, unsigned processCodePage, unsigned legacyCodePage)
{
    const std::string whole = bytes.substr(0, bytes.find('\0'));
    const LyricBytes kind = ClassifyLyricBytes(whole);
    const std::string text = whole.substr(kind.textStart);
    if (kind.encoding == LyricEncoding::Utf8) return ConvertCodePage(text, CP_UTF8, processCodePage);
    if (processCodePage != CP_UTF8) return text;
    return ConvertCodePage(text, legacyCodePage, CP_UTF8);
}

std::string LyricTextToFile(const std::string& text, unsigned processCodePage)
{
    return processCodePage == CP_UTF8 ? kUtf8Mark + text : text;
}

}  // namespace songlark
