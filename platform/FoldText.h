#pragma once

#include <cstddef>

namespace songlark {

// Folds a zero-terminated text of `length` bytes in place to the system code
// page's lower case, so that two texts fold alike exactly when _mbsicmp calls
// them equal. The length stays the same.
void FoldTextCase(char* text, size_t length);

}  // namespace songlark
