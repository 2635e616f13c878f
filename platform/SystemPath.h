#pragma once

#include "core/tags/PathSyntax.h"

namespace songlark {

// The running system's path syntax: on Windows the backslash and the ANSI
// code page's lead bytes, on POSIX the slash (no byte of a multibyte
// character there can equal it). On Windows tag texts are converted into the
// process's code page (from UTF-8, and from the user's default ANSI code
// page); on POSIX they stay as they are.
PathSyntax SystemPathSyntax();

}  // namespace songlark
