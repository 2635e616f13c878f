#pragma once

// The one HTTP request Songlark ever sends, and the checks that come before it.
#include <cstddef>

// Working sizes of the request: the host is copied into 256 bytes and the
// request formatted into 1024, each with room for its terminating zero.
constexpr std::size_t kHttpHostMax = 255;
constexpr std::size_t kHttpRequestMax = 1023;
constexpr std::size_t kHttpRequestBufferSize = kHttpRequestMax + 1;

// True when the text holds no byte below 0x20 and no 0x7F. A host or path that
// fails this could add header lines to our request (CR LF above all).
bool IsPlainRequestText(const char* text);

// Formats the GET request for path and host into out and returns its length
// (without the terminating zero). Returns -1, leaving nothing useful in out,
// when the host is longer than kHttpHostMax, either text holds a control byte,
// or the request would not fit in kHttpRequestMax bytes: such input is
// refused, never cut.
int FormatHttpRequest(const char* host, const char* path, char (&out)[kHttpRequestBufferSize]);
