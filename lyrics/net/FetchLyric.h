#pragma once

// A song's lyric from the lyrics site (see LyricsSite.h), or an empty string
// when there is none or anything fails. Blocks its thread for both requests;
// safe to run on several threads at once. WinSock must have been started.
#include <string>

std::string FetchLyric(const char* artist, const char* title);
