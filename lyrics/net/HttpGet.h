#pragma once

// One blocking HTTP/1.0 GET over plain TCP (WinSock 1.1). The raw response,
// status line and headers included, lands in the caller's buffer.

// Waits of the product: a connect that does not complete, or a receive that
// brings no byte, gives up after kHttpWaitMs; the whole call after kHttpTotalMs.
constexpr int kHttpWaitMs = 30000;
constexpr int kHttpTotalMs = 60000;

// Sends the GET for path to host:port and receives into buffer in chunks of
// at most 1024 bytes until the server closes, a wait runs out, or the next
// chunk might not fit. One byte is always kept for the terminating zero, so on
// true *received < capacity and buffer[*received] == 0. capacity must be at
// least 1024 (a smaller one is refused).
//
// False, with *received untouched, when no complete answer came: input
// refused (host over 255 bytes, request over 1023, a control byte in host or
// path), host not resolved, socket, connect or send failed, connect timed
// out, a receive failed, a receive wait or the whole call ran out. True when
// the server closed the connection (also before sending a byte) or the buffer
// filled up.
// WinSock must have been started by the caller.
bool HttpGet(const char* host, unsigned short port, const char* path, char* buffer, int capacity,
             int* received);

// HttpGet with its waits given, so tests need not sit through the product's.
bool HttpGetWithin(const char* host, unsigned short port, const char* path, char* buffer, int capacity,
                   int* received, int waitMs, int totalMs);
