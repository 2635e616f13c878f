#pragma once

#include <cstddef>

namespace songlark {

// Folds a zero-terminated text of `length` bytes in place to lower case, so
// that two texts that differ only in letter case fold alike. In a legacy
// runtime code page the fold is _mbslwr's (as _mbsicmp compares); under
// UTF-8, where the runtime folds ASCII alone, every letter Windows knows a
// lower case for is folded, through UTF-16. The length stays the same: a
// character whose lower case is longer or shorter in UTF-8 (the Kelvin sign)
// and a byte that is not UTF-8 stay as they are.
void FoldTextCase(char* text, size_t length);

}  // namespace songlark
