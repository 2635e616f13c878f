#pragma once

#include "core/tags/PathSyntax.h"

namespace songlark {

// The running system's path syntax: on Windows the backslash and the ANSI
// code page's lead bytes, on POSIX the slash (no byte of a multibyte
// character there can equal it).
PathSyntax SystemPathSyntax();

}  // namespace songlark
