#pragma once

// Artist and title as file sharing writes them, made fit to ask LRCLIB and to
// compare with its records. Texts are UTF-8; only ASCII patterns are sought,
// so any other byte passes through unchanged.
#include <string>

// LRCLIB's own normalisation of a name before it compares: lower case,
// diacritics folded (Latin letters to ASCII), the characters
// `~!@#$%^&*()_|+-=?;:",.<>{}[]\/ as blanks, apostrophes (' and U+2019)
// removed, blanks collapsed and trimmed. Greek and Cyrillic capitals are
// lowered too; other scripts pass as they are.
std::string LrclibNormalize(const std::string& text);

// The artist without what a download adds to it: a leading track number,
// underscores for blanks, a "feat."/"ft."/"featuring"/"with" part, junk in
// brackets, a site name or URL, repeated blanks; and written as LRCLIB's
// records mostly are: "Police, The" as "The Police", "and" as "&". Never
// empty when the input holds more than blanks: cleaning that would leave
// nothing leaves the input with its blanks tidied.
std::string CleanArtist(const std::string& artist);

// The artist without a leading "The ": a search by words then finds the band
// written with or without it.
std::string WithoutLeadingThe(const std::string& artist);

// The title likewise, and also bracketed or " - " version and junk suffixes
// ("(Radio Edit)", "[Explicit]", "- Remastered 2009", "(128kbps)", "(1)",
// " - Copy"). Suffixes naming another recording ("(Live)", "(Acoustic)",
// "(Remix)"...) stay unless dropVersions: their words are usually the same,
// but may not be, so dropping them is a last resort.
std::string CleanTitle(const std::string& title, bool dropVersions);

// What two artists must share to be the same: the cleaned, normalised
// artist with "&", "+" and "N'" read as "and" and a leading "The" dropped.
std::string ArtistKey(const std::string& artist);

// What two titles must share to be the same song: the cleaned, normalised
// title with "&", "+" and "N'" read as "and".
std::string TitleKey(const std::string& title, bool dropVersions);
