#pragma once

// Text between code pages, and the stored lyric file's bytes to and from the
// process's ANSI text. Win32 only.
#include <string>

namespace songlark {

// The process's ANSI code page (65001 under the UTF-8 manifest), and the
// legacy ANSI code page of the user's locale, in which earlier versions
// wrote their lyric files.
unsigned ProcessCodePage();
unsigned UserLegacyCodePage();

// text, in code page `from`, as code page `to`, through UTF-16. Each
// character `to` lacks becomes '?' (no best-fit look-alike); bytes `from`
// cannot read become what the system makes of them. Equal code pages:
// unchanged.
std::string ConvertCodePage(const std::string& text, unsigned from, unsigned to);

// The process's ANSI text as UTF-16.
std::wstring WideFromProcessText(const std::string& text);

// A stored lyric file's bytes (up to its first zero byte) as text of
// processCodePage, the byte-order mark left out. UTF-8 files are converted
// when the process is not UTF-8; legacy ones, taken to be in legacyCodePage,
// when it is. A legacy process reads a legacy file as it is, as it always
// did.
std::string LyricFileToText(const std::string& bytes, unsigned processCodePage, unsigned legacyCodePage);

// The bytes to store for text of processCodePage: under UTF-8 the mark
// first, so that every Notepad reads the file as UTF-8; else the text as it
// is.
std::string LyricTextToFile(const std::string& text, unsigned processCodePage);

}  // namespace songlark
