#pragma once

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
struct PathSyntax {
    char separator;
    IsLeadByteFn isLeadByte;
};

// The position of the last separator in path that is a character of its own,
// or npos when there is none.
std::size_t FindLastSeparator(const std::string& path, const PathSyntax& syntax);

}  // namespace songlark
