#pragma once

// The lyrics site this process asks: the built-in one until the settings say
// otherwise (registry value "LyricsSite", "host" or "host:port").
#include "core/lyrics/LyricsSiteAddress.h"

#include <string>

// Sets the site from its text; an empty text means the built-in site, and so
// does a text that ParseLyricsSite cannot read. May be called at any time:
// lyric fetches running on other threads see either the old or the new site.
void SetLyricsSite(const std::string& site);

// A copy of the site in use.
LyricsSiteAddress GetLyricsSite();
