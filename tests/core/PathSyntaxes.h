#pragma once
// The path syntaxes the core tests cut paths with.
#include "core/tags/PathSyntax.h"

namespace pathsyntaxes {

// Code page 932's lead bytes; 0x5C is the second byte of characters such as
// ソ (83 5C) and 表 (95 5C).
inline bool Cp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

const songlark::PathSyntax kSingleByte{'\\', nullptr};
const songlark::PathSyntax kCp932{'\\', Cp932Lead};

}  // namespace pathsyntaxes
