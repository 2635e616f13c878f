#pragma once

// What the lookup and fetch subcommands share to run the program's LRCLIB
// lookup from the command line.
#include "core/lyrics/HttpExchange.h"
#include "core/lyrics/LrclibAddress.h"

#include <string>

// An HttpAskFn to the LRCLIB server at address, through WinHTTP as the
// program asks. False in a native build, which has no HTTPS client.
bool CliLrclibAsk(const LrclibAddress& address, HttpAskFn* ask);

// Text between the process's ANSI code page and UTF-8 (natively the bytes
// are taken as UTF-8 already). False when the system cannot convert it.
bool CliAnsiToUtf8(const std::string& ansi, std::string* utf8);
bool CliUtf8ToAnsi(const std::string& utf8, std::string* ansi);
