#pragma once

// The lyric store's rules that need no file system: the file's text, which
// names may become a folder or file below the Lyrics folder, and the names
// read back from a listing.

#include "core/tags/PathSyntax.h"

#include <string>

namespace songlark {

// The whole text of a lyric file: "%s - %s\r\n\r\n%s" of artist, title and
// lyric. Each piece ends at its first zero byte, as with "%s".
std::string FormatLyricFile(const char* artist, const char* title, const char* lyric);

// True when name can only ever mean one entry inside its folder: not empty,
// no \ / : * ? " < > | and no byte below 0x20, not "." or ".." (nor any other
// name of only dots and blanks, which Windows trims towards those), and not
// a device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9, COM and LPT with a
// superscript 1, 2 or 3, CONIN$, CONOUT$), with or without an extension, in
// any case.
bool IsPlainPathComponent(const std::string& name);

// The name an artist or title gets as a folder or file in the store, so that
// every song can be stored: each byte Windows forbids in a name (\ / : * ? "
// < > | and those below 0x20) becomes '_', a device name gets a '_' in front,
// and a name of only dots and blanks (the empty one too) becomes "_". A
// plain name stays as it is, so every lyric stored before is found where it
// was; the result is always plain, and mapping it again changes nothing.
std::string StoreName(const std::string& name);

// Splits path into artist and title when it is exactly
// lyricsFolder + artist + "\" + title + ".lyric" with a plain artist and a
// plain title; lyricsFolder ends in a backslash. False (outputs untouched)
// for any other path.
bool SplitLyricPath(const std::string& lyricsFolder, const std::string& path,
                    std::string* artist, std::string* title);

// A listed file's title: its name up to, not including, its last full stop
// (the whole name when it has none).
std::string TitleFromFileName(const std::string& fileName);

// The real names of a listed lyric stored under mapped ones: its text's
// first line "<artist> - <title>" split where StoreName gives back the
// listed names. False (outputs untouched) when no split does, as for a file
// the user edited.
bool NamesFromFirstLine(const std::string& text, const std::string& storedArtist, const std::string& storedTitle,
                        std::string* artist, std::string* title);

// A listed file's artist: the part of its full path between its last two
// separators (from the start when there is only one; empty when none).
std::string ArtistFromFilePath(const std::string& filePath, const PathSyntax& syntax);

}  // namespace songlark
