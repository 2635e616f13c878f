#pragma once

// A song's lyric from the source the settings choose (see LyricsSite.h):
// LRCLIB by default, or the classic lyrics site. Found, not found, or could
// not ask (see LyricOutcome.h). Blocks its thread for the requests, within
// the transport's bounds; safe to run on several threads at once. WinSock
// must have been started (for the classic site).
#include "core/lyrics/LyricOutcome.h"
#include "core/tags/SongFacts.h"

#include <functional>
#include <string>

// The lookup for a downloaded file: everything the file tells.
LyricResult FetchLyric(const songlark::SongFacts& song);
// A search by hand: the artist and title alone.
LyricResult FetchLyric(const char* artist, const char* title);

// The boundary every fetch runs behind: what the fetch gives, or could not
// ask when it throws (a failed allocation above all), so that no exception
// ends the watcher thread or leaves a search half done.
LyricResult LyricOrCouldNotAsk(const std::function<LyricResult()>& fetch);
