#pragma once

// Where this process asks for lyrics. By default LRCLIB (registry value
// "LrclibUrl" names a server other than the built-in one); when the settings
// name a classic lyrics site (registry value "LyricsSite", "host" or
// "host:port"), that site instead, and LRCLIB is never asked.
#include "core/lyrics/LrclibAddress.h"
#include "core/lyrics/LyricsSiteAddress.h"

#include <string>

// Sets the classic site from its text. An empty text means none: LRCLIB is
// asked. A text that ParseLyricsSite cannot read still means a classic site,
// the built-in one (which never answers): a user who named a site of their
// own never has their songs sent to LRCLIB by a typing error.
// May be called at any time: lyric fetches running on other threads see
// either the old or the new setting.
void SetLyricsSite(const std::string& site);

// Sets the LRCLIB server from a base URL (see LrclibAddressFromSetting): an
// empty or blank text means the built-in https://lrclib.net; an unusable one
// means could not ask for every song, never another server.
void SetLrclibUrl(const std::string& url);

// A copy of the classic site in use (the built-in one when none is set).
LyricsSiteAddress GetLyricsSite();

// One consistent copy of the whole choice.
struct LyricsSource {
    bool bLyricsSite = false;  // ask the classic site, not LRCLIB
    LyricsSiteAddress site;
    LrclibAddress lrclib;
};
LyricsSource GetLyricsSource();
