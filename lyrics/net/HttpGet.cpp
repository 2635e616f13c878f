#include "lyrics/net/HttpGet.h"

#include "core/lyrics/HttpRequest.h"
#include "lyrics/net/ResolveWithin.h"
#include "platform/SocketShim.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {
using Clock = std::chrono::steady_clock;

const int kChunk = 1024;

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

timeval ToTimeval(int ms)
{
    timeval tv;
    tv.tv_sec = ms / 1000;
    tv.tv_usec = (ms % 1000) * 1000;
    return tv;
}

bool SetNonBlocking(SOCKET s, bool on)
{
    unsigned long value = on ? 1 : 0;
    return ioctlsocket(s, FIONBIO, &value) != SOCKET_ERROR;
}

// connect, but never waiting longer than ms: the socket is non-blocking
// while the connection is made, then blocking again.
bool ConnectWithin(SOCKET s, const sockaddr_in& address, int ms)
{
    if (!SetNonBlocking(s, true)) return false;
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == SOCKET_ERROR) {
        if (!SocketConnectPending()) return false;
        fd_set writable;
        fd_set failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        timeval tv = ToTimeval(ms);
        if (select(static_cast<int>(s + 1), nullptr, &writable, &failed, &tv) <= 0) return false;
        // WinSock reports a refused connect in the exception set, POSIX as
        // a writable socket with an error pending.
        if (FD_ISSET(s, &failed)) return false;
        int error = 0;
        SocketLength length = sizeof(error);
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == SOCKET_ERROR ||
            error != 0)
            return false;
    }
    return SetNonBlocking(s, false);
}

// Waits up to ms for a byte (or the close) to arrive.
bool ReadableWithin(SOCKET s, int ms)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval tv = ToTimeval(ms);
    return select(static_cast<int>(s + 1), &readable, nullptr, nullptr, &tv) > 0;
}
}  // namespace

bool HttpGet(const char* host, unsigned short port, const char* path, char* buffer, int capacity,
             int* received)
{
    return HttpGetWithin(host, port, path, buffer, capacity, received, kHttpWaitMs, kHttpTotalMs);
}

bool HttpGetWithin(const char* host, unsigned short port, const char* path, char* buffer, int capacity,
                   int* received, int waitMs, int totalMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(totalMs);
    if (!buffer || !received || capacity < kChunk) return false;

    // Checked and formatted before anything touches the network: what is
    // refused here is never sent, not even in part.
    char request[kHttpRequestBufferSize];
    const int requestLength = FormatHttpRequest(host, path, request);
    if (requestLength < 0) return false;
    char hostBuffer[kHttpHostMax + 1];
    std::snprintf(hostBuffer, sizeof(hostBuffer), "%s", host);

    // The name is resolved within the connect's wait and the whole call.
    unsigned long ipv4 = 0;
    if (!ResolveWithin(hostBuffer, std::min(waitMs, MillisecondsLeft(deadline)), &ipv4)) return false;

    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return false;
    if (!SocketFitsFdSet(s)) {
        closesocket(s);
        return false;
    }

    sockaddr_in address;
    std::memset(&address, 0, sizeof(address));
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    std::memcpy(&address.sin_addr, &ipv4, 4);
    if (!ConnectWithin(s, address, std::min(waitMs, MillisecondsLeft(deadline)))) {
        closesocket(s);
        return false;
    }

    if (send(s, request, requestLength, 0) == SOCKET_ERROR) {
        closesocket(s);
        return false;
    }

    // The last byte of the buffer is never filled, so the text always ends
    // in a zero. The answer is complete when the server closes, or when the
    // buffer is full (the page is read that far); a receive that fails or a
    // wait or the whole call running out is no answer.
    const int usable = capacity - 1;
    int total = 0;
    bool complete = false;
    for (;;) {
        const int left = MillisecondsLeft(deadline);
        if (left <= 0 || !ReadableWithin(s, std::min(waitMs, left))) break;
        const int count = recv(s, buffer + total, std::min(kChunk, usable - total), 0);
        if (count < 0) break;
        total += count;
        if (count == 0 || total + kChunk > usable) {
            complete = true;
            break;
        }
    }
    closesocket(s);
    if (!complete) return false;
    *received = total;
    buffer[total] = '\0';
    return true;
}
