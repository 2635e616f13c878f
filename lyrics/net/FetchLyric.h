#pragma once

// A song's lyric from the source the settings choose (see LyricsSite.h):
// LRCLIB by default, or the classic lyrics site. Empty when there is none or
// anything fails. Blocks its thread for the requests; safe to run on several
// threads at once. WinSock must have been started (for the classic site).
#include <functional>
#include <string>

std::string FetchLyric(const char* artist, const char* title);

// The boundary every fetch runs behind: the lyric fetch gives, or an empty
// string when it throws (a failed allocation above all), so that no
// exception ends the watcher thread or leaves a search half done.
std::string LyricOrNothing(const std::function<std::string()>& fetch);
