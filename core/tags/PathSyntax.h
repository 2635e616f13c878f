#pragma once

#include "core/tags/TagText.h"

#include <cstddef>
#include <string>

namespace songlark {

// True when a byte starts a two-byte character in the system's code page.
using IsLeadByteFn = bool (*)(unsigned char c);

// How the system's paths split into folders and a file name: the separator
// byte, and the code page's lead-byte test. In a double-byte code page the
// second byte of a character may equal the separator (0x5C, the backslash,
// is the second byte of many characters in code page 932); it separates
// nothing there. A null test means a single-byte code page.
//
// The same system's text conversions travel along, for the names read out
// of files: from UTF-8 (ID3v2 text) and from the user's legacy code page
// (Kazaa's trailer) into the process's code page. Null keeps the bytes as
// they are (a process that speaks UTF-8, and Kazaa's text as written).
struct PathSyntax {
    char separator;
    IsLeadByteFn isLeadByte;
    ConvertTextFn fromUtf8 = nullptr;
    ConvertTextFn fromLegacy = nullptr;
};

// The position of the last separator in path that is a character of its own,
// or npos when there is none.
std::size_t FindLastSeparator(const std::string& path, const PathSyntax& syntax);

}  // namespace songlark
