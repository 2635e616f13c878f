#pragma once

// Name resolution with a bound: the system's resolver may wait far longer
// than a lookup may take (a dead DNS server), so it runs on a thread of its
// own and is left behind when the bound runs out.

// The first IPv4 address of host (network byte order) into *address. False
// when the name does not resolve to one, or not within ms. A dotted IPv4
// address is read as it is, without the resolver. WinSock must have been
// started by the caller.
bool ResolveWithin(const char* host, int ms, unsigned long* address);
