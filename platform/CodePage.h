#pragma once

// Text between the program's ANSI code page and UTF-8, by the system's own
// conversion tables. Win32 only: the native builds never ask LRCLIB, the one
// place that needs it.
#include <string>

// The ANSI text (system code page) as UTF-8. False only when the system
// cannot convert it.
bool AnsiToUtf8(const std::string& ansi, std::string* utf8);

// UTF-8 as ANSI text, without best-fit look-alikes: every character the code
// page lacks becomes one '?' (a character outside the Basic Multilingual
// Plane too). False for bytes that are not UTF-8.
bool Utf8ToAnsi(const std::string& utf8, std::string* ansi);

// Text in the user's default ANSI code page (LOCALE_IDEFAULTANSICODEPAGE of
// the user's locale: what this user's legacy programs, such as a download
// client, wrote) in the process's code page, which differs from it when the
// process runs in UTF-8. Characters the process's code page lacks become
// '?', without best-fit look-alikes. False when the system cannot convert it.
bool UserAnsiToAnsi(const std::string& legacy, std::string* ansi);
