#pragma once

// WinSock 1.1 names for the HTTP client. On Windows this is <winsock.h> itself
// (linked with wsock32); natively the same names are mapped onto POSIX sockets
// so the one client builds in both places and the native tests, sanitizers and
// fuzzers exercise it.
#ifdef _WIN32

#include <winsock.h>

// A pending non-blocking connect reports WSAEWOULDBLOCK on WinSock.
inline bool SocketConnectPending() { return WSAGetLastError() == WSAEWOULDBLOCK; }
// WinSock's fd_set is a list of handles: any socket fits.
inline bool SocketFitsFdSet(SOCKET) { return true; }
typedef int SocketLength;

#else

#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

typedef int SOCKET;
#define INVALID_SOCKET (-1)
#define SOCKET_ERROR (-1)

inline int closesocket(SOCKET s) { return close(s); }
inline int ioctlsocket(SOCKET s, long command, unsigned long* argument)
{
    int value = static_cast<int>(*argument);
    return ioctl(s, static_cast<unsigned long>(command), &value);
}
inline int WSAGetLastError() { return errno; }
inline bool SocketConnectPending() { return errno == EINPROGRESS; }
// A POSIX fd_set is a bit array: a descriptor past FD_SETSIZE does not fit.
inline bool SocketFitsFdSet(SOCKET s) { return s >= 0 && s < FD_SETSIZE; }
typedef socklen_t SocketLength;

// WinSock's gethostbyname keeps its result per thread; glibc's shares one
// static block between threads. Lyrics are fetched on two threads at once.
struct hostent* SonglarkGetHostByName(const char* name);
#define gethostbyname SonglarkGetHostByName

#endif
